#include "Workspace.h"

#include <cerrno>
#include <filesystem>
#include <memory>

#include "app/PathRules.h"
#include "base/AtomicFile.h"

namespace tavik {

namespace {
constexpr int32_t kEntryFollows = 1;
constexpr int32_t kEndOfList = 0;

std::unique_ptr<CVirtualDrive> OpenImageFile(const std::string& path) {
    auto drive = std::make_unique<CVirtualDrive>();
    if (!drive->OpenImage(path)) return nullptr;
    return drive;
}

bool IsGroupOfDatabase(const CTreeItem& item) {
    return item.Kind() == NodeKind::SavedQueries || item.Kind() == NodeKind::Parameters;
}
}  // namespace

CWorkspace::CWorkspace(COptions& options, CTreeModel& tree, CUserPrompt& prompt)
    : m_options(options), m_tree(tree), m_prompt(prompt), m_openImage(OpenImageFile) {}

// ---- Writing -----------------------------------------------------------------------------

int CWorkspace::SaveWorkspace(const std::string& name) {
    const std::string file = name.empty() ? m_defaultPath : name;
    errno = 0;
    const bool ok = ReplaceFileAtomically(file, [&](CPcFile& f) { return Write(f); });
    if (!ok) {
        m_prompt.Message("Can't create file " + file + PcFileReason({}, errno), PromptIcon::Error);
        return 0;
    }
    return 1;
}

bool CWorkspace::Write(CPcFile& file) {
    if (m_layout) m_layout->CaptureLayout(m_options);
    if (!m_tree.PcRootItem()) m_tree.CreateRoots();
    CArchive ar(file, CArchive::Mode::Store);
    ar.WriteString(kWorkspaceMagic);
    m_options.Serialise(ar);
    WriteList(ar, *m_tree.PcRootItem());
    CTreeItem* database = m_tree.DatabaseRootItem();
    if (database && database->Kind() == NodeKind::DatabaseOpen) WriteList(ar, *database);
    ar.WriteInt32(kEndOfList);
    return ar.Flush();
}

void CWorkspace::WriteList(CArchive& ar, CTreeItem& parent) {
    for (int row = 0; row < parent.ChildCount(); ++row) {
        CTreeItem& child = *parent.Child(row);
        if (IsGroupOfDatabase(child)) continue;
        ar.WriteInt32(kEntryFollows);
        child.Node().Serialise(ar);
        if (IsFolderKind(child.Kind()))
            WriteList(ar, child);
        else
            ar.WriteInt32(kEndOfList);
    }
    ar.WriteInt32(kEndOfList);
}

// ---- Reading -----------------------------------------------------------------------------

int CWorkspace::LoadWorkspace(const std::string& name) {
    const bool isDefault = name.empty();
    const std::string path = isDefault ? m_defaultPath : name;
    errno = 0;
    std::unique_ptr<CDiskFile> file = CDiskFile::Open(path, OpenMode::ReadOnly);
    if (!file) {
        if (!isDefault)
            m_prompt.Message("Can't open file " + path + PcFileReason({}, errno),
                             PromptIcon::Error);
        return 0;
    }
    const ReadResult result = Read(*file);
    if (result == ReadResult::WrongFormat) {
        m_prompt.Message("Wrong file format " + path, PromptIcon::Error);
        return 0;
    }
    if (m_linkSettings) m_linkSettings(m_options);
    file->Close();
    if (m_layout) m_layout->ApplyLayout(m_options);
    if (result == ReadResult::Damaged) {
        m_prompt.Message("Damaged workspace file " + path, PromptIcon::Error);
        return 0;
    }
    return 1;
}

CWorkspace::ReadResult CWorkspace::Read(CPcFile& file) {
    CArchive ar(file, CArchive::Mode::Load);
    std::string magic;
    if (!ar.ReadString(magic) || magic != kWorkspaceMagic) return ReadResult::WrongFormat;
    if (m_options.Serialise(ar)) ReadTree(ar);
    return ar.Ok() ? ReadResult::Loaded : ReadResult::Damaged;
}

void CWorkspace::ReadTree(CArchive& ar) {
    if (!m_tree.PcRootItem() || !m_tree.DatabaseRootItem()) m_tree.CreateRoots();
    CTreeItem* pc = m_tree.PcRootItem();
    CTreeItem* database = m_tree.DatabaseRootItem();
    m_tree.RemoveChildren(pc);
    if (ReadList(ar, pc, 1)) {
        m_tree.RemoveChildren(database, IsGroupOfDatabase);
        ReadList(ar, database, 1);
    }
    m_tree.Expand(pc);
    m_tree.Expand(database);
}

bool CWorkspace::ReadList(CArchive& ar, CTreeItem* parent, int depth) {
    if (depth > kMaxWorkspaceDepth) {
        ar.Fail();
        return false;
    }
    for (;;) {
        int32_t flag = 0;
        if (!ar.ReadInt32(flag)) return false;
        if (flag == kEndOfList) return true;
        if (flag != kEntryFollows) {
            ar.Fail();
            return false;
        }
        if (!ReadEntry(ar, parent, depth)) return false;
    }
}

bool CWorkspace::ReadEntry(CArchive& ar, CTreeItem* parent, int depth) {
    CTreeNode node;
    if (!node.Serialise(ar)) return false;  // a half-read node is not shown
    if (!parent) return ReadList(ar, nullptr, depth + 1);

    std::string text = node.label;
    bool placed = false;  // an image or an existing folder: subject to the placement rule
    if (IsDriveKind(node.kind)) {
        std::unique_ptr<CVirtualDrive> drive = m_openImage(node.path);
        DiskInfo info;
        if (!drive || !drive->GetDiskInfo(info))
            return ReadList(ar, nullptr, depth + 1);  // gone: left out without a word
        node.label = info.name;
        node.kind =
            drive->Kind() == DriveKind::DoadImage ? NodeKind::SectorImage : NodeKind::TrackImage;
        node.drive = std::move(drive);
        text = node.label;
        placed = true;
    } else if (node.kind == NodeKind::PcFolder) {
        node.path = RemoveTrailingSeparator(node.path);
        std::error_code ec;
        if (!std::filesystem::exists(node.path, ec)) {
            node.kind = NodeKind::DummyFolder;
            text = node.path;
        } else {
            text = m_options.fullFolderNames ? node.path : node.label;
            placed = true;
        }
    }

    CTreeItem* target = parent;
    if (placed && parent->Kind() == NodeKind::PcFolder &&
        !BelongsInFolder(node.path, parent->Node().path))
        target = m_tree.PcRootItem();
    CTreeItem* item = m_tree.Insert(target, std::move(node), std::move(text));
    return ReadList(ar, item, depth + 1);
}

}  // namespace tavik
