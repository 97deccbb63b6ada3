#include "Workspace.h"

#include <cerrno>
#include <filesystem>
#include <functional>
#include <memory>

#include "app/PathRules.h"
#include "base/AtomicFile.h"

namespace tavik {

namespace {
constexpr int32_t kEntryFollows = 1;
constexpr int32_t kEndOfList = 0;
constexpr int32_t kSectionsMark = 0x31545845;  // "EXT1"
constexpr const char* kColumnsSection = "Columns";
constexpr const char* kOptionsSection = "Options";

void WriteSection(CArchive& ar, const char* name, const std::function<void(CArchive&)>& write) {
    CMemFile contents;
    {
        CArchive section(contents, CArchive::Mode::Store);
        write(section);
    }
    ar.WriteString(name);
    ar.WriteString(std::string(contents.Bytes().begin(), contents.Bytes().end()));
}

// Reads a section's contents into a copy of the options; false when they are damaged.
bool ReadSection(const std::string& contents, const std::function<bool(CArchive&)>& read) {
    CMemFile file(std::vector<uint8_t>(contents.begin(), contents.end()));
    CArchive section(file, CArchive::Mode::Load);
    return read(section) && section.Remaining() == 0;
}

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
    WriteSections(ar);
    return ar.Flush();
}

void CWorkspace::WriteSections(CArchive& ar) {
    const bool columns = m_options.HasUserColumnWidths();
    const bool options = !m_options.LaterOptionsAreDefault();
    if (!columns && !options) return;
    ar.WriteInt32(kSectionsMark);
    if (columns)
        WriteSection(ar, kColumnsSection, [&](CArchive& s) { m_options.SerialiseColumnWidths(s); });
    if (options)
        WriteSection(ar, kOptionsSection, [&](CArchive& s) { m_options.SerialiseLaterOptions(s); });
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
    if (ar.Ok()) ReadSections(ar);
    return ar.Ok() ? ReadResult::Loaded : ReadResult::Damaged;
}

// With a database list the closing 0 is still unread here; without one it was read as the
// empty database list.
void CWorkspace::ReadSections(CArchive& ar) {
    m_options.ResetLaterSettings();  // a file without sections holds the defaults
    int32_t mark = 0;
    if (ar.Remaining() == 0 || !ar.ReadInt32(mark)) return;
    if (mark == kEndOfList && (ar.Remaining() == 0 || !ar.ReadInt32(mark))) return;
    if (mark != kSectionsMark) return;  // bytes a later format may define
    while (ar.Remaining() > 0) {
        std::string name, contents;
        if (!ar.ReadString(name) || !ar.ReadString(contents)) return;
        COptions read = m_options;
        bool ok = true;
        if (name == kColumnsSection) {
            read.userColumnWidths = {};
            ok = ReadSection(contents, [&](CArchive& s) { return read.SerialiseColumnWidths(s); });
            if (ok) m_options.userColumnWidths = read.userColumnWidths;
        } else if (name == kOptionsSection) {
            ok = ReadSection(contents, [&](CArchive& s) { return read.SerialiseLaterOptions(s); });
            if (ok) m_options = read;
        }
        if (!ok) {
            ar.Fail();
            return;
        }
    }
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
    // Archive folders are made from their disk's files, never read from a workspace.
    if (!parent || node.kind == NodeKind::ArchiveFile) return ReadList(ar, nullptr, depth + 1);

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
