// The kinds of the drive tree's items. The kind is also the item's icon index.
#pragma once

#include <cstdint>

namespace tavik {

enum class NodeKind : int32_t {
    Unset = -1,
    PcRoot = 0,
    TiRoot = 1,
    TiRootActive = 2,
    EmulatorRoot = 3,
    EmulatorRootActive = 4,
    DatabaseClosed = 5,
    DatabaseOpen = 6,
    RemoteDevice = 7,
    PcFolder = 8,
    DummyFolder = 9,
    SectorImage = 10,
    TrackImage = 11,
    EmulatorDisk = 12,
    RemoteDrive = 13,
    DiskQuery = 14,
    FileQuery = 15,
    SqlQuery = 16,
    SavedQueries = 17,
    Parameters = 18,
    // An Archiver file of the disk above it, shown as a folder of its members. Never written to
    // a workspace: the folders are made again whenever their disk is listed.
    ArchiveFile = 19,
};

// Images and the drives of the TI-99/4A and the emulator: the nodes that own a drive.
inline bool IsDriveKind(NodeKind kind) {
    return kind >= NodeKind::SectorImage && kind <= NodeKind::RemoteDrive;
}
inline bool IsQueryKind(NodeKind kind) {
    return kind >= NodeKind::DiskQuery && kind <= NodeKind::SqlQuery;
}
inline bool IsFolderKind(NodeKind kind) {
    return kind == NodeKind::PcFolder || kind == NodeKind::DummyFolder;
}
inline bool IsImageKind(NodeKind kind) {
    return kind == NodeKind::SectorImage || kind == NodeKind::TrackImage;
}
// The icon of an item is its kind.
inline int IconIndex(NodeKind kind) {
    return static_cast<int>(kind);
}
// Folders and image files: what can be dismounted and moved into another folder.
inline bool IsFolderOrImageKind(NodeKind kind) {
    return kind >= NodeKind::PcFolder && kind <= NodeKind::TrackImage;
}

}  // namespace tavik
