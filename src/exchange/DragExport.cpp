#include "exchange/DragExport.h"

#include <cstdlib>
#include <filesystem>

#include "exchange/ArkTransfer.h"
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

std::string CDragExports::NewFolder(std::string& error) {
    std::string folder =
        (std::filesystem::path(m_parent.empty() ? TempFolder() : m_parent) / "TAVIKdrag-XXXXXX")
            .string();
    // mkdtemp makes the folder with mode 0700 under a name nobody else can take first.
    if (!::mkdtemp(folder.data())) {
        error = "Could not create folder " + folder;
        return {};
    }
    m_folders.push_back(folder);
    return folder;
}

std::vector<std::string> CDragExports::Kept(std::vector<std::string> paths, size_t wanted) {
    if (paths.size() == wanted) return paths;
    std::error_code ec;
    std::filesystem::remove_all(m_folders.back(), ec);
    m_folders.pop_back();
    return {};
}

std::vector<std::string> CDragExports::Export(CTiDisk& disk, const std::vector<int>& fdrs,
                                              std::string& error) {
    const std::string folder = NewFolder(error);
    if (folder.empty()) return {};
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
    return Kept(std::move(paths), fdrs.size());
}

std::vector<std::string> CDragExports::Export(const CArkFile& ark,
                                              const std::vector<std::string>& names,
                                              std::string& error) {
    const std::string folder = NewFolder(error);
    if (folder.empty()) return {};
    std::vector<std::string> paths;
    for (const std::string& name : names) {
        const int i = ark.Find(name);
        const std::string pcName = PcNameOf(name);
        if (i < 0 || pcName.empty()) {
            error = name + ": File not found";
            break;
        }
        const std::string path = (std::filesystem::path(folder) / pcName).string();
        if (!ExportArkMember(ark.members[static_cast<size_t>(i)], path, TifilesHeader, {}, error))
            break;
        paths.push_back(path);
    }
    return Kept(std::move(paths), names.size());
}

}  // namespace tavik
