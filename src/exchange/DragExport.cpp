#include "exchange/DragExport.h"

#include <cstdlib>
#include <filesystem>

#include "exchange/ExportCommand.h"
#include "exchange/PcFileKind.h"
#include "exchange/PcName.h"

namespace tavik {

namespace {

std::string TempFolder() {
    std::error_code ec;
    const auto tmp = std::filesystem::temp_directory_path(ec);
    return ec ? std::string("/tmp") : tmp.string();
}

}  // namespace

CDragExports::~CDragExports() {
    for (const std::string& folder : m_folders) {
        std::error_code ec;
        std::filesystem::remove_all(folder, ec);
    }
}

std::vector<std::string> CDragExports::Export(CTiDisk& disk, const std::vector<int>& fdrs,
                                              std::string& error) {
    std::string folder =
        (std::filesystem::path(m_parent.empty() ? TempFolder() : m_parent) / "TAVIKdrag-XXXXXX")
            .string();
    // mkdtemp makes the folder with mode 0700 under a name nobody else can take first.
    if (!::mkdtemp(folder.data())) {
        error = "Could not create folder " + folder;
        return {};
    }
    m_folders.push_back(folder);
    std::vector<std::string> paths;
    // The export dialog goes on proposing the header the user chose there last.
    const int headerKind = disk.ExportHeaderKind();
    for (int fdr : fdrs) {
        const std::string name = disk.GetFileName(fdr);
        const std::string pcName = PcNameOf(name);
        if (name.empty() || pcName.empty()) {
            error = "Sector " + std::to_string(fdr) + ": " + disk.ErrorText();
            break;
        }
        const std::string path = (std::filesystem::path(folder) / pcName).string();
        if (!ExportInFormat(disk, fdr, path, TifilesHeader, {})) {
            error = pcName + ": " + disk.ErrorText();
            break;
        }
        paths.push_back(path);
    }
    disk.SetConversion(-1, -1, headerKind, -1, -1);
    if (paths.size() == fdrs.size()) return paths;
    std::error_code ec;
    std::filesystem::remove_all(folder, ec);
    m_folders.pop_back();
    return {};
}

}  // namespace tavik
