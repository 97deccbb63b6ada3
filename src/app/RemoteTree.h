// The drives of the TI-99/4A and emulator roots in the tree model: a scan's drives replace the
// old ones, device nodes group drives by their device key while "Devices" is on, the emulator's
// list of floppies shows under "Floppies", and a remote drive's text carries its disk name once
// the disk was read. Nothing here shows anything.
#pragma once

#include <string>
#include <vector>

#include "app/TreeModel.h"

namespace tavik {

struct ScannedDrive;

inline constexpr const char* kFloppiesText = "Floppies";

// The text cut before its first "[", trailing spaces removed, then " [" + the disk name without
// its padding + "]"; without brackets when the name is empty (the disk could not be read).
std::string RemoteDriveText(const std::string& text, const std::string& diskName);
// Reads the disk name of a remote drive item and shows it in the item's text.
void RefreshRemoteDriveText(CTreeModel& tree, CTreeItem* item);

// The device key of a drive: the card's CRU base for a remote drive, the emulator's tag for an
// emulator drive.
int DriveDeviceKey(const CVirtualDrive& drive);

// Everything under the root (drives, device nodes, "Floppies") goes; then each scanned drive is
// inserted with its label (RemoteDrive under the TI-99/4A root, EmulatorDisk under the emulator
// root), below its device node when devices is set. The root becomes active and is expanded.
void ReplaceRootDrives(CTreeModel& tree, CTreeItem* root, std::vector<ScannedDrive>& drives,
                       bool devices);
// The "Floppies" group (a dummy folder) as the last child of root, one child per line of the
// emulator's list.
CTreeItem* AddFloppies(CTreeModel& tree, CTreeItem* root, const std::string& list);
// The non-empty lines of a text, without their line ends.
std::vector<std::string> TextLines(const std::string& text);

// Everything under the root goes and the root is shown as before any scan.
void ClearRootDrives(CTreeModel& tree, CTreeItem* root);

// Under both roots: show groups every drive below a device node of its key (created as needed,
// appended and expanded); hide moves each grouped drive back to where its device node stands
// and deletes device nodes left empty.
void ShowDeviceNodes(CTreeModel& tree, bool show);

}  // namespace tavik
