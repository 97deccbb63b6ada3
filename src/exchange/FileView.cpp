#include "exchange/FileView.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>

#include "base/AtomicFile.h"
#include "base/PcFile.h"
#include "exchange/ConversionSettings.h"
#include "exchange/FileTransfer.h"
#include "exchange/basic/BasicFile.h"

namespace tavik {

namespace {

int MakeTextView(CTiDisk& disk, int fdr, bool createTabs, const std::vector<uint16_t>& tabStops,
                 std::string& text) {
    disk.SetConversion(createTabs ? 1 : 0, -1, -1, -1, -1);
    CMemFile memory;
    if (!ExportTextTo(disk, fdr, memory, ConversionOf(disk, tabStops))) return 0;
    text.assign(memory.Bytes().begin(), memory.Bytes().end());
    return 1;
}

// The listing, then after a blank line the marks a reader must not miss.
int MakeBasicView(CTiDisk& disk, int fdr, FileView& view) {
    basic::BasicListing listing;
    if (!basic::ListBasicFile(disk, fdr, listing)) return 0;
    view.text = listing.text;
    view.protectedProgram = listing.isProtected;
    if (!listing.isProtected && listing.problem.empty()) return 1;
    view.text += "\n";
    if (listing.isProtected) view.text += "* Protected program\n";
    if (!listing.problem.empty())
        view.text += "* " + listing.problem +
                     (listing.lines > 0 ? " (the listing stopped there)" : "") + "\n";
    return 1;
}

}  // namespace

const char* ViewKindName(ViewKind kind) {
    switch (kind) {
        case ViewKind::Text:
            return "Text";
        case ViewKind::Hex:
            return "Hexadecimal";
        case ViewKind::Basic:
            return "BASIC";
    }
    return "";
}

int MakeFileView(CTiDisk& disk, int fdr, ViewKind kind, bool createTabs,
                 const std::vector<uint16_t>& tabStops, FileView& view) {
    view = FileView();
    switch (kind) {
        case ViewKind::Text:
            return MakeTextView(disk, fdr, createTabs, tabStops, view.text);
        case ViewKind::Hex:
            return HexDumpFile(disk, fdr, view.text);
        case ViewKind::Basic:
            return MakeBasicView(disk, fdr, view);
    }
    return 0;
}

bool SaveViewText(const std::string& path, const std::string& text, std::string& reason) {
    // A folder or a device is never replaced by a file.
    struct stat st {};
    if (::stat(path.c_str(), &st) == 0 && !S_ISREG(st.st_mode)) {
        reason = S_ISDIR(st.st_mode) ? "it is a folder" : "it is no regular file";
        return false;
    }
    // The replacement's steps leave errno behind them; the folder is asked first, so that the
    // usual reasons (no such folder, no right to write there) are told as the system words them.
    std::string folder = std::filesystem::path(path).parent_path().string();
    if (folder.empty()) folder = ".";
    struct stat place {};
    const bool known = ::stat(folder.c_str(), &place) == 0;
    if (!known || !S_ISDIR(place.st_mode) || ::access(folder.c_str(), W_OK) != 0) {
        reason = std::strerror(!known ? errno : !S_ISDIR(place.st_mode) ? ENOTDIR : errno);
        return false;
    }
    errno = 0;
    const bool saved = ReplaceFileAtomically(path, [&](CPcFile& file) {
        return file.WriteAt(0, text.data(), text.size()) == static_cast<int64_t>(text.size());
    });
    if (saved) return true;
    const int error = errno;
    reason = error == ENOSPC || error == EDQUOT || error == EIO || error == EROFS
                 ? std::strerror(error)
                 : "the file could not be written";
    return false;
}

}  // namespace tavik
