#include "views/ArchiveCommands.h"

#include <QApplication>
#include <QClipboard>

#include "app/ArchiveFolders.h"
#include "app/CurrentDisk.h"
#include "app/DeleteQuestions.h"
#include "app/Options.h"
#include "app/TreeOperations.h"
#include "base/UserPrompt.h"
#include "disk/DiskTypes.h"
#include "exchange/ArkTransfer.h"
#include "exchange/ExportCommand.h"
#include "views/DiskView.h"
#include "views/FileCommands.h"

namespace tavik {

CArchiveCommands::CArchiveCommands(CDiskView& list, const PaneContext& context,
                                   CFileCommands& files)
    : m_list(list),
      m_tree(context.tree),
      m_disk(context.disk),
      m_options(context.options),
      m_prompt(context.prompt),
      m_clip(context.clip),
      m_files(files) {}

CTreeItem* CArchiveCommands::Archive() const {
    return m_list.ShowsMembers() ? m_disk.Archive() : nullptr;
}

bool CArchiveCommands::Open(const CTreeItem& archive, CArkFile& ark) {
    std::string error;
    if (OpenArchiveItem(archive, ark, error)) return true;
    m_prompt.Message(error, PromptIcon::Warning);
    return false;
}

void CArchiveCommands::Changed() {
    m_disk.FilesChanged(nullptr);
}

bool CArchiveCommands::Run(CommandId id) {
    if (!Archive()) return false;
    switch (id) {
        case CommandId::EditCopy:
            Copy();
            return true;
        case CommandId::EditPaste:
            Paste();
            return true;
        case CommandId::FileDelete:
        case CommandId::DeleteKey:
            Remove();
            return true;
        case CommandId::FileExport:
            Export();
            return true;
        default:
            return id >= CommandId::FileCreate && id <= CommandId::FileCreateArchive;
    }
}

void CArchiveCommands::Copy() {
    QApplication::clipboard()->setText(m_list.ListAsText());
    if (CTreeItem* archive = Archive())
        m_clip = MembersClip(archive->Id(), m_list.SelectedMemberNames());
}

bool CArchiveCommands::CanPaste() const {
    return Archive() && IsFilesClip(m_clip);
}

void CArchiveCommands::Paste() {
    CTreeItem* archive = Archive();
    if (!archive || !CanPaste()) return;
    CTreeItem* source = m_tree.Find(ClipSourceNumber(m_clip));
    if (!source || !source->Drive()) return;
    std::string error;
    if (!PasteIntoArchive(*archive, *source->Drive(), ClipFileSectors(m_clip), error))
        m_prompt.Message(error, PromptIcon::Warning);
    Changed();
}

void CArchiveCommands::Remove() {
    CTreeItem* archive = Archive();
    const std::vector<std::string> names = m_list.SelectedMemberNames();
    if (!archive || names.empty()) return;
    CDeleteQuestions questions;
    if (!questions.Begin(m_prompt, names.size())) return;
    CArkFile ark;
    std::string error;
    if (!Open(*archive, ark)) return;
    std::vector<std::string> going;
    for (const std::string& name : names) {
        const int i = ark.Find(name);
        if (i >= 0 && !questions.MayDelete(ark.members[static_cast<size_t>(i)].image.file.status &
                                           kStatusProtected))
            continue;
        going.push_back(name);
    }
    if (going.empty()) return;
    const int fdr = ArchiveFdr(*archive, error);
    if (!fdr || !RemoveFromArk(*ArchiveDisk(*archive), fdr, going, error))
        m_prompt.Message(error, PromptIcon::Warning);
    Changed();
}

void CArchiveCommands::Export() {
    CTreeItem* archive = Archive();
    const std::vector<std::string> names = m_list.SelectedMemberNames();
    if (!archive || names.empty()) return;
    CArkFile ark;
    std::string error;
    if (!Open(*archive, ark)) return;
    for (const std::string& name : names) {
        const int i = ark.Find(name);
        if (i < 0) continue;
        ExportChoice choice;
        choice.format = ArchiveDisk(*archive)->ExportHeaderKind();
        if (!m_files.ChooseExport(name, choice)) break;
        if (!ExportArkMember(ark.members[static_cast<size_t>(i)], UnquotedPcName(choice.pcPath),
                             choice.format, m_options.tabList, error,
                             m_options.crLfOnExport != 0 || kPlatformCrLf)) {
            m_prompt.Message(error, PromptIcon::Warning);
            break;
        }
    }
}

}  // namespace tavik
