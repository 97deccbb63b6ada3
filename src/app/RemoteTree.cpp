#include "app/RemoteTree.h"

#include "remote/DriveScan.h"

namespace tavik {

namespace {

bool IsRemoteOrEmulatorDrive(NodeKind kind) {
    return kind == NodeKind::RemoteDrive || kind == NodeKind::EmulatorDisk;
}

std::string WithoutTrailingSpaces(std::string text) {
    while (!text.empty() && text.back() == ' ')
        text.pop_back();
    return text;
}

CTreeItem* DeviceNode(CTreeModel& tree, CTreeItem* root, int key) {
    for (int i = 0; i < root->ChildCount(); ++i) {
        CTreeItem* child = root->Child(i);
        if (child->Kind() == NodeKind::RemoteDevice && child->Node().deviceKey == key) return child;
    }
    const std::string name = RemoteDeviceName(key);
    CTreeNode node(NodeKind::RemoteDevice, {}, name);
    node.deviceKey = key;
    CTreeItem* device = tree.Insert(root, std::move(node), name);
    tree.Expand(root);
    return device;
}

void GroupDrives(CTreeModel& tree, CTreeItem* root) {
    std::vector<CTreeItem*> drives;
    for (int i = 0; i < root->ChildCount(); ++i)
        if (IsRemoteOrEmulatorDrive(root->Child(i)->Kind())) drives.push_back(root->Child(i));
    for (CTreeItem* drive : drives) {
        CTreeItem* device = DeviceNode(tree, root, drive->Node().deviceKey);
        tree.Move(drive, device);
        tree.Expand(device);
    }
}

void UngroupDrives(CTreeModel& tree, CTreeItem* root) {
    std::vector<CTreeItem*> devices;
    for (int i = 0; i < root->ChildCount(); ++i)
        if (root->Child(i)->Kind() == NodeKind::RemoteDevice) devices.push_back(root->Child(i));
    for (CTreeItem* device : devices) {
        std::vector<CTreeItem*> drives;
        for (int i = 0; i < device->ChildCount(); ++i)
            if (IsRemoteOrEmulatorDrive(device->Child(i)->Kind()))
                drives.push_back(device->Child(i));
        for (CTreeItem* drive : drives)
            tree.Move(drive, root, device->Row());
        if (device->ChildCount() == 0) tree.Remove(device);
    }
    tree.Expand(root);
}

}  // namespace

std::string RemoteDriveText(const std::string& text, const std::string& diskName) {
    std::string base = WithoutTrailingSpaces(text.substr(0, text.find('[')));
    const std::string name = WithoutTrailingSpaces(diskName);
    if (name.empty()) return base;
    return base + " [" + name + "]";
}

void RefreshRemoteDriveText(CTreeModel& tree, CTreeItem* item) {
    if (!item || item->Kind() != NodeKind::RemoteDrive || !item->Drive()) return;
    const std::string text = RemoteDriveText(item->Text(), item->Drive()->GetDiskName());
    if (text != item->Text()) tree.SetText(item, text);
}

int DriveDeviceKey(const CVirtualDrive& drive) {
    if (drive.Kind() == DriveKind::EmulatorDrive) return drive.m_emulatorDevice;
    return drive.m_remoteWords[RemoteCru];
}

void ReplaceRootDrives(CTreeModel& tree, CTreeItem* root, std::vector<ScannedDrive>& drives,
                       bool devices) {
    const bool ti = root == tree.TiRootItem();
    tree.RemoveChildren(root);
    for (ScannedDrive& scanned : drives) {
        if (!scanned.drive) continue;
        CTreeNode node(ti ? NodeKind::RemoteDrive : NodeKind::EmulatorDisk, {}, scanned.label);
        node.deviceKey = DriveDeviceKey(*scanned.drive);
        node.drive = std::move(scanned.drive);
        CTreeItem* parent = devices ? DeviceNode(tree, root, node.deviceKey) : root;
        tree.Insert(parent, std::move(node), scanned.label);
        if (parent != root) tree.Expand(parent);
    }
    tree.SetKind(root, ti ? NodeKind::TiRootActive : NodeKind::EmulatorRootActive);
    tree.Expand(root);
}

std::vector<std::string> TextLines(const std::string& text) {
    std::vector<std::string> lines;
    size_t start = 0;
    while (start <= text.size()) {
        size_t end = text.find_first_of("\r\n", start);
        if (end == std::string::npos) end = text.size();
        if (end > start) lines.push_back(text.substr(start, end - start));
        start = end + 1;
    }
    return lines;
}

CTreeItem* AddFloppies(CTreeModel& tree, CTreeItem* root, const std::string& list) {
    CTreeItem* group =
        tree.Insert(root, CTreeNode(NodeKind::DummyFolder, {}, kFloppiesText), kFloppiesText);
    for (const std::string& line : TextLines(list))
        tree.Insert(group, CTreeNode(NodeKind::DummyFolder, {}, line), line);
    return group;
}

void ClearRootDrives(CTreeModel& tree, CTreeItem* root) {
    tree.RemoveChildren(root);
    tree.SetKind(root, root == tree.TiRootItem() ? NodeKind::TiRoot : NodeKind::EmulatorRoot);
}

void ShowDeviceNodes(CTreeModel& tree, bool show) {
    for (CTreeItem* root : {tree.TiRootItem(), tree.EmulatorRootItem()}) {
        if (!root) continue;
        if (show)
            GroupDrives(tree, root);
        else
            UngroupDrives(tree, root);
    }
}

}  // namespace tavik
