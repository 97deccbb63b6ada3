#include "TestSupport.h"

#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <vector>

namespace tavik::test {

namespace {
struct Cleanup {
    std::vector<std::string> folders;
    ~Cleanup() {
        std::error_code ec;
        for (auto& f : folders)
            std::filesystem::remove_all(f, ec);
    }
};
Cleanup& Folders() {
    static Cleanup c;
    return c;
}
}  // namespace

std::string TempFolder() {
    std::string pattern = (std::filesystem::temp_directory_path() / "tavik-test-XXXXXX").string();
    if (!::mkdtemp(pattern.data())) return "/tmp";
    Folders().folders.push_back(pattern);
    return pattern;
}

std::string TestData(const std::string& name) {
    std::filesystem::path p = std::filesystem::path(TAVIK_TESTDATA) / name;
    std::error_code ec;
    if (!std::filesystem::is_directory(p, ec)) return {};
    return p.string();
}

}  // namespace tavik::test
