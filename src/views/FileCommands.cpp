#include "views/FileCommands.h"

#include <QApplication>
#include <QClipboard>
#include <QDesktopServices>
#include <QInputDialog>
#include <QUrl>
#include <algorithm>
#include <filesystem>

#include "app/ArchiveFolders.h"
#include "app/CurrentDisk.h"
#include "app/DeleteQuestions.h"
#include "app/Options.h"
#include "app/TreeModel.h"
#include "app/TreeOperations.h"
#include "base/Counted.h"
#include "base/Cp1252.h"
#include "base/UserPrompt.h"
#include "disk/Catalog.h"
#include "disk/FilePropertiesForm.h"
#include "disk/FileType.h"
#include "disk/VirtualDrive.h"
#include "disk/dialogs/FilePropertiesDialog.h"
#include "exchange/ArkTransfer.h"
#include "exchange/ExportCommand.h"
#include "exchange/ImportCommand.h"
#include "exchange/PcName.h"
#include "exchange/TiFileChooser.h"
#include "exchange/basic/BasicFile.h"
#include "exchange/dialogs/FileNameDialog.h"
#include "exchange/dialogs/TiFileDialog.h"
#include "qt/DialogRunner.h"
#include "qt/QtText.h"
#include "qt/TextViewer.h"
#include "views/ArchiveCommands.h"
#include "views/CatalogModel.h"
#include "views/DiskView.h"

namespace tavik {

namespace {

// The folder of a chosen file, with a trailing separator as the chooser gives folders.
std::string FolderOf(const std::string& path) {
    const std::string folder = std::filesystem::path(path).parent_path().string();
    return folder.empty() ? folder : folder + "/";
}

// The export chooser and the file-name dialog of an export or import.
class CChooserAnswers : public CExportChooserAnswers, public CFileNameAnswers {
public:
    CChooserAnswers(COptions& options, QWidget* window) : m_options(options), m_window(window) {}

    bool Choose(const std::string& tiName, ExportChoice& choice) override {
        CTiFileDialog chooser(ChooseExport, m_options.exportHistory, m_options.lastExchangeFolder,
                              m_window);
        chooser.Propose(PcNameOf(tiName), choice.format);
        if (RunDialog(chooser) != QDialog::Accepted || chooser.Files().empty()) return false;
        choice.pcPath = chooser.Files().front();
        choice.format = chooser.ExportFormat();
        m_chosen = UnquotedPcName(choice.pcPath);
        Remember(FolderOf(m_chosen));
        return true;
    }
    // The PC file of the last export chosen.
    const std::string& Chosen() const { return m_chosen; }

    bool Confirm(int mode, FileNameDialogState& state) override {
        CFileNameDialog dialog(mode, m_window);
        dialog.SetName(state.name);
        dialog.SetType(state.type);
        dialog.SetConvertText(state.convertText);
        dialog.SetConvertTabs(state.convertTabs);
        dialog.SetTruncate(state.truncate);
        if (RunDialog(dialog) != QDialog::Accepted) return false;
        state.name = dialog.Name();
        state.type = dialog.Type();
        state.convertText = dialog.ConvertText();
        state.convertTabs = dialog.ConvertTabs();
        state.truncate = dialog.Truncate();
        return true;
    }

    void Remember(const std::string& folder) {
        if (folder.empty()) return;
        m_options.lastExchangeFolder = folder;
        AddRecentFolder(m_options.exportHistory, folder);
    }

private:
    COptions& m_options;
    QWidget* m_window;
    std::string m_chosen;
};

// "3 files to /home/me/ti/", "PROG to /home/me/ti/prog.tfi"
std::string ExportedText(int count, const std::string& tiName, const std::string& lastPath) {
    if (count == 1) return "Exported " + TrimmedName(tiName) + " to " + Utf8ToCp1252(lastPath);
    return "Exported " + Counted(count, "file") + " to " + Utf8ToCp1252(FolderOf(lastPath));
}

bool OpenInDesktopViewer(const std::string& path) {
    return QDesktopServices::openUrl(QUrl::fromLocalFile(QString::fromStdString(path)));
}

// The PC file "Save as" proposes for a view: the file's PC name, marked with the view.
std::string ViewSaveName(const std::string& tiName, ViewKind kind) {
    const char* ending = kind == ViewKind::Hex     ? "-hex.txt"
                         : kind == ViewKind::Basic ? "-basic.txt"
                                                   : ".txt";
    return PcNameOf(tiName) + ending;
}

}  // namespace

CFileCommands::CFileCommands(CDiskView& list, const PaneContext& context, QWidget* window)
    : m_list(list),
      m_tree(context.tree),
      m_disk(context.disk),
      m_options(context.options),
      m_prompt(context.prompt),
      m_window(window),
      m_clip(context.clip),
      m_viewFiles(std::make_unique<CViewFiles>()),
      m_archives(std::make_unique<CArchiveCommands>(list, context, *this)),
      m_desktopOpener(OpenInDesktopViewer) {
    // A listing may show other files under the same FDRs: ask the disk again.
    connect(m_list.Model(), &QAbstractItemModel::modelReset, this,
            [this] { m_basicDrive = nullptr; });
}

CFileCommands::~CFileCommands() = default;

CVirtualDrive* CFileCommands::Drive() const {
    return m_list.Mode() == ListMode::DiskCatalog && !m_list.ShowsMembers() ? m_list.Drive()
                                                                            : nullptr;
}

void CFileCommands::Fail(CVirtualDrive& drive) {
    m_prompt.Message(drive.ErrorText(), PromptIcon::Warning);
}

std::string CFileCommands::DiskName() const {
    CVirtualDrive* drive = Drive();
    return drive ? TrimmedName(drive->GetDiskName()) : std::string();
}

void CFileCommands::Relist() {
    // The list and the map show what the disk now holds.
    m_disk.FilesChanged(nullptr);
}

bool CFileCommands::Run(CommandId id) {
    CVirtualDrive* drive = Drive();
    if (!drive) return false;
    drive->SetPrompt(&m_prompt);
    const std::vector<int> fdrs = m_list.SelectedFdrs();
    switch (id) {
        case CommandId::FileCreate:
            Create();
            return true;
        case CommandId::FileProperties:
            if (!fdrs.empty()) Properties(fdrs.front());
            return true;
        case CommandId::FileRename:
            m_list.StartRename();
            return true;
        case CommandId::FileProtect:
            Protect();
            return true;
        case CommandId::FilePurge:
            Purge();
            return true;
        case CommandId::FileDelete:
        case CommandId::DeleteKey:
            Delete();
            return true;
        case CommandId::FileUndelete:
            Undelete();
            return true;
        case CommandId::FileViewText:
            View(ViewKind::Text);
            return true;
        case CommandId::FileViewHex:
            View(ViewKind::Hex);
            return true;
        case CommandId::FileViewBasic:
            View(ViewKind::Basic);
            return true;
        case CommandId::FileExport:
            Export();
            return true;
        case CommandId::FileImport:
            Import();
            return true;
        case CommandId::FileCreateArchive:
            CreateArchive();
            return true;
        case CommandId::EditCopy:
            Copy();
            return true;
        case CommandId::EditPaste:
            Paste();
            return true;
        default:
            return false;
    }
}

void CFileCommands::Create() {
    CVirtualDrive* drive = Drive();
    if (!drive) return;
    CFilePropertiesDialog dialog(CFilePropertiesDialog::Create, m_prompt, m_window);
    dialog.SetForm(NewFileForm());
    if (RunDialog(dialog) != QDialog::Accepted) return;
    std::string message;
    if (!CreateFileFromForm(*drive, dialog.Form(), message))
        m_prompt.Message(message, PromptIcon::Warning);
    Relist();
}

void CFileCommands::Properties(int fdr) {
    CVirtualDrive* drive = Drive();
    if (!drive) return;
    FileProperties record;
    if (!drive->GetFileProperties(fdr, record)) {
        Fail(*drive);
        Relist();
        return;
    }
    CFilePropertiesDialog dialog(CFilePropertiesDialog::Properties, m_prompt, m_window);
    dialog.SetForm(FormOfRecord(record));
    dialog.SetFdrSector(fdr);
    if (RunDialog(dialog) != QDialog::Accepted) return;
    // The dialog checked the fields before it closed; reading them again cannot fail.
    if (ReadFilePropertiesForm(dialog.Form(), record).empty() &&
        !drive->SetFileProperties(fdr, record))
        Fail(*drive);
    Relist();
}

bool CFileCommands::Rename(int fdr, const std::string& newName) {
    CVirtualDrive* drive = Drive();
    if (!drive) return false;
    std::string name = newName;
    while (!name.empty() && name.back() == ' ')
        name.pop_back();
    if (name.empty()) return false;  // an empty edit changes nothing
    const bool renamed = drive->RenameFile(fdr, name) != 0;
    if (!renamed) Fail(*drive);
    Relist();
    return renamed;
}

void CFileCommands::Protect() {
    CVirtualDrive* drive = Drive();
    if (!drive) return;
    for (int fdr : m_list.SelectedFdrs())
        if (!drive->SetProtection(fdr, -1)) Fail(*drive);
    Relist();
}

void CFileCommands::Purge() {
    CVirtualDrive* drive = Drive();
    if (!drive || m_list.SelectedFdrs().empty()) return;
    if (m_prompt.Ask("This operation cannot be undone! Continue?", PromptButtons::YesNo) !=
        PromptAnswer::Yes)
        return;
    int purged = 0;
    for (int fdr : m_list.SelectedFdrs()) {
        if (drive->PurgeFile(fdr))
            ++purged;
        else
            Fail(*drive);
    }
    Relist();
    if (purged) m_prompt.Status("Purged " + Counted(purged, "file"));
}

void CFileCommands::Delete() {
    CVirtualDrive* drive = Drive();
    if (!drive) return;
    std::vector<int> fdrs = m_list.SelectedFdrs();
    if (fdrs.empty()) return;
    CDeleteQuestions questions;
    if (!questions.Begin(m_prompt, fdrs.size())) return;
    int deleted = 0;
    // From the last selected row to the first: deleting moves the index entries after a file.
    for (auto it = fdrs.rbegin(); it != fdrs.rend(); ++it) {
        FileProperties record;
        if (!drive->GetFileProperties(*it, record)) {
            Fail(*drive);
            continue;
        }
        if (!questions.MayDelete(record.status & 0x08)) continue;
        if (drive->DeleteFile(*it))
            ++deleted;
        else
            Fail(*drive);
    }
    Relist();
    if (deleted) m_prompt.Status("Deleted " + Counted(deleted, "file"));
}

void CFileCommands::Undelete() {
    CVirtualDrive* drive = Drive();
    if (!drive) return;
    CFileNameDialog dialog(0, m_window);
    if (RunDialog(dialog) != QDialog::Accepted) return;
    std::string name = dialog.Name();
    while (!name.empty() && name.back() == ' ')
        name.pop_back();
    if (name.empty()) {
        m_prompt.Message("Illegal file name", PromptIcon::Warning);
        return;
    }
    // A type that reads as none of the known ones means any type.
    ParsedType type;
    const int wanted = ParseDialogType(dialog.Type(), type) ? type.status : -1;
    const int fdr = drive->UndeleteFile(name, wanted);
    if (fdr == 0)
        m_prompt.Message("Not found, sorry", PromptIcon::Warning);
    else if (fdr < 0)
        Fail(*drive);
    Relist();
    if (fdr > 0) m_prompt.Status("Undeleted " + name);
}

void CFileCommands::View(ViewKind kind) {
    CVirtualDrive* drive = Drive();
    const std::vector<int> fdrs = m_list.SelectedFdrs();
    if (!drive || fdrs.empty()) return;
    const int fdr = fdrs.front();
    FileView view;
    if (!MakeFileView(*drive, fdr, kind, m_options.createTabsOnExport != 0, m_options.tabList,
                      view)) {
        Fail(*drive);
        return;
    }
    if (m_options.desktopViewer != 0) {
        const std::string path = m_viewFiles->Create(view.text);
        if (!path.empty() && m_desktopOpener(path)) return;
        m_prompt.Message((path.empty() ? "Could not create file in " + m_viewFiles->Folder()
                                       : "The desktop's viewer could not be started for " + path) +
                             "; the view opens in the program's own viewer.",
                         PromptIcon::Warning);
    }
    OpenViewer(*drive, fdr, kind, view);
}

bool CFileCommands::CanViewAsBasic() {
    CVirtualDrive* drive = Drive();
    const std::vector<int> fdrs = m_list.SelectedFdrs();
    if (!drive || fdrs.empty()) return false;
    if (drive != m_basicDrive || fdrs.front() != m_basicFdr) {
        m_basicDrive = drive;
        m_basicFdr = fdrs.front();
        m_basicAnswer = basic::IsBasicFile(*drive, m_basicFdr);
    }
    return m_basicAnswer;
}

QString CFileCommands::ViewTitle(CVirtualDrive& drive, int fdr, ViewKind kind,
                                 bool protectedProgram) {
    QString disk = Q(drive.GetDiskName()).trimmed();
    if (const CTreeItem* item = m_tree.Find(m_list.ItemId())) {
        disk = Q(item->Text()).trimmed();
        if (IsImageKind(item->Kind()) && !item->Node().path.empty())
            disk += " (" +
                    QString::fromStdString(
                        std::filesystem::path(item->Node().path).filename().string()) +
                    ")";
    }
    return Q(drive.GetFileName(fdr)).trimmed() + " on " + disk + " - " + ViewKindName(kind) +
           (protectedProgram ? ", protected" : "");
}

void CFileCommands::OpenViewer(CVirtualDrive& drive, int fdr, ViewKind kind, const FileView& view) {
    const std::string folder = m_options.lastExchangeFolder;
    const std::string name = ViewSaveName(drive.GetFileName(fdr), kind);
    const QString saveName = QString::fromStdString(
        folder.empty() ? name : (std::filesystem::path(folder) / name).string());
    auto* viewer = new CTextViewer(ViewTitle(drive, fdr, kind, view.protectedProgram), view.text,
                                   saveName, m_prompt, m_window);
    viewer->show();
}

void CFileCommands::Export() {
    CVirtualDrive* drive = Drive();
    if (!drive) return;
    CChooserAnswers chooser(m_options, m_window);
    int exported = 0;
    std::string name;
    for (int fdr : m_list.SelectedFdrs()) {
        name = drive->GetFileName(fdr);
        const int result = RunExportCommand(*drive, name, chooser, m_prompt, m_options.tabList,
                                            m_options.crLfOnExport != 0 || kPlatformCrLf);
        if (result < 0) break;
        exported += result;
    }
    Relist();
    if (exported) m_prompt.Status(ExportedText(exported, name, chooser.Chosen()));
}

void CFileCommands::Import(std::vector<std::string> files) {
    CVirtualDrive* drive = Drive();
    if (!drive) return;
    CChooserAnswers answers(m_options, m_window);
    if (files.empty()) {
        CTiFileDialog chooser(ChooseImport, m_options.exportHistory, m_options.lastExchangeFolder,
                              m_window);
        if (RunDialog(chooser) != QDialog::Accepted) return;
        files = chooser.Files();
        if (files.empty()) return;
    }
    answers.Remember(FolderOf(files.front()));
    ImportOptions options;
    options.replaceTabs = m_options.replaceTabsOnImport != 0;
    options.truncate = m_options.truncateOverlongLines != 0;
    options.tabStops = m_options.tabList;
    CImportCommand command(*drive, m_prompt, answers, options);
    const int imported = command.Run(files);
    Relist();
    if (imported) m_prompt.Status("Imported " + Counted(imported, "file") + " onto " + DiskName());
}

void CFileCommands::Copy() {
    QApplication::clipboard()->setText(m_list.ListAsText());
    if (m_list.ItemId() > 0) m_clip = FilesClip(m_list.ItemId(), m_list.SelectedFdrs());
}

bool CFileCommands::CanPaste() const {
    return Drive() && (IsFilesClip(m_clip) || IsMembersClip(m_clip));
}

void CFileCommands::Paste() {
    CVirtualDrive* target = Drive();
    if (!target || !CanPaste()) return;
    if (IsMembersClip(m_clip)) {
        std::string error;
        if (!PasteMembers(m_tree, m_clip, *target, error))
            m_prompt.Message(error, PromptIcon::Warning);
        Relist();
        return;
    }
    std::string error;
    const int result = PasteFilesClip(m_tree, m_clip, *target, m_prompt, error);
    if (result == 0) m_prompt.Message(error, PromptIcon::Warning);
    Relist();
    if (result == 1)
        m_prompt.Status("Copied " +
                        Counted(static_cast<int>(ClipFileSectors(m_clip).size()), "file") +
                        " onto " + DiskName());
}

void CFileCommands::CreateArchive() {
    CVirtualDrive* drive = Drive();
    const std::vector<int> fdrs = m_list.SelectedFdrs();
    if (!drive || fdrs.empty()) return;
    QInputDialog dialog(m_window);
    dialog.setWindowTitle("Create archive");
    dialog.setLabelText("Name of the new archive:");
    dialog.setTextValue("ARCHIVE");
    if (RunDialog(dialog) != QDialog::Accepted) return;
    std::string name = S(dialog.textValue().trimmed());
    if (name.empty()) return;
    std::string error;
    if (!CreateArk(*drive, name, *drive, fdrs, true, false, error))
        m_prompt.Message(error, PromptIcon::Warning);
    Relist();
}

bool CFileCommands::ChooseExport(const std::string& tiName, ExportChoice& choice) {
    CChooserAnswers chooser(m_options, m_window);
    return chooser.Choose(tiName, choice);
}

}  // namespace tavik
