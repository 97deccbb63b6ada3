#include "AtomicFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>

namespace tavik {

namespace {
bool g_failNext = false;

void SyncFolder(const std::string& path) {
    std::string folder = std::filesystem::path(path).parent_path().string();
    if (folder.empty()) folder = ".";
    int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0) {
        ::fsync(fd);
        ::close(fd);
    }
}
}  // namespace

void FailNextReplacementForTesting() {
    g_failNext = true;
}

bool ReplaceFileAtomically(const std::string& path, const std::function<bool(CPcFile&)>& write) {
    std::string pattern = path + ".tavik-XXXXXX";
    int fd = ::mkstemp(pattern.data());
    if (fd < 0) return false;
    ::close(fd);
    const std::string temp = pattern;
    bool ok = false;
    {
        auto file = CDiskFile::Open(temp, OpenMode::ReadWrite);
        if (file) {
            ok = write(*file) && file->Flush();
            file->Close();
        }
    }
    struct stat st {};
    if (ok && ::stat(path.c_str(), &st) == 0) ::chmod(temp.c_str(), st.st_mode & 07777);
    if (ok && g_failNext) {
        g_failNext = false;
        ok = false;
    }
    if (ok) ok = std::rename(temp.c_str(), path.c_str()) == 0;
    if (!ok) {
        std::remove(temp.c_str());
        return false;
    }
    SyncFolder(path);
    return true;
}

}  // namespace tavik
