// The PC files a drag out of the catalog list hands to the desktop: the dragged TI files (or
// members of an archive) exported with a TIFILES header, under their PC names, into a folder made
// for that one drag (private to the user, in the system's temporary folder). The receiving program
// copies them from there when the drop happens, possibly after the drag has ended, so every folder
// stays until this object goes at the end of the program.
#pragma once

#include <string>
#include <vector>

#include "disk/VirtualDrive.h"
#include "exchange/ArkFile.h"

namespace tavik {

class CDragExports {
public:
    CDragExports() = default;
    explicit CDragExports(std::string folder) : m_parent(std::move(folder)) {}
    ~CDragExports();
    CDragExports(const CDragExports&) = delete;
    CDragExports& operator=(const CDragExports&) = delete;

    // The exported files' paths, in the order of fdrs; empty after a failure, with error
    // naming the file and the reason (nothing of that drag is left behind).
    std::vector<std::string> Export(CTiDisk& disk, const std::vector<int>& fdrs,
                                    std::string& error);
    // The same for the named members of an archive, in the order of names.
    std::vector<std::string> Export(const CArkFile& ark, const std::vector<std::string>& names,
                                    std::string& error);
    const std::vector<std::string>& Folders() const { return m_folders; }

private:
    // A new folder for one drag; empty after saying why it could not be made.
    std::string NewFolder(std::string& error);
    // The paths when all `wanted` files were exported; otherwise nothing of the drag is kept.
    std::vector<std::string> Kept(std::vector<std::string> paths, size_t wanted);

    std::string m_parent;
    std::vector<std::string> m_folders;
};

}  // namespace tavik
