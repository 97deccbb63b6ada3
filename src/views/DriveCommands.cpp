#include "views/DriveCommands.h"

#include <QDialog>
#include <algorithm>
#include <memory>

#include "app/Options.h"
#include "app/PathRules.h"
#include "app/TreeOperations.h"
#include "base/Cp1252.h"
#include "base/UserPrompt.h"
#include "disk/Catalog.h"
#include "disk/CheckReport.h"
#include "disk/DiskPropertiesForm.h"
#include "disk/DrivePropertiesForm.h"
#include "disk/ImageConversion.h"
#include "disk/dialogs/CopyModeDialog.h"
#include "disk/dialogs/DiskPropertiesDialog.h"
#include "disk/dialogs/DrivePropertiesDialog.h"
#include "exchange/TiFileChooser.h"
#include "exchange/dialogs/TiFileDialog.h"
#include "qt/DialogRunner.h"
#include "qt/FileChooser.h"
#include "qt/QtText.h"
#include "qt/QtUserPrompt.h"
#include "views/DiskView.h"

namespace tavik {

namespace {

NodeKind NodeKindOf(const CVirtualDrive& drive) {
    return drive.Kind() == DriveKind::DoadImage ? NodeKind::SectorImage : NodeKind::TrackImage;
}

}  // namespace

CDriveCommands::CDriveCommands(CDriveView& tree, COptions& options, CQtUserPrompt& prompt,
                               QWidget* window)
    : QObject(window), m_tree(tree), m_options(options), m_prompt(prompt), m_window(window) {}

void CDriveCommands::Fail(const std::string& text) {
    m_prompt.Message(text, PromptIcon::Error);
}

void CDriveCommands::Relabel(CTreeItem* item) {
    if (!item || !item->Drive()) return;
    const std::string name = item->Drive()->GetDiskName();
    if (!name.empty()) {
        item->Node().label = name;
        m_tree.Tree().SetText(item, name);
    }
}

std::vector<std::string> CDriveCommands::RecentFolders(const std::vector<std::string>& paths) {
    std::vector<std::string> folders;
    for (const std::string& p : paths) {
        const std::string folder = FolderPart(p);
        if (!folder.empty() && std::find(folders.begin(), folders.end(), folder) == folders.end())
            folders.push_back(folder);
    }
    return folders;
}

bool CDriveCommands::ChooseImages(const std::string& startFolder, std::vector<std::string>& files,
                                  bool& mountFolderToo) {
    CTiFileDialog chooser(ChooseMount, RecentFolders(m_options.mountFileHistory), startFolder,
                          m_window);
    if (RunDialog(chooser) != QDialog::Accepted) return false;
    files = chooser.Files();
    mountFolderToo = chooser.MountFolderToo();
    return !files.empty();
}

std::string CDriveCommands::ChooseImageFile(int mode, const std::string& start) {
    CTiFileDialog chooser(mode, RecentFolders(m_copyTargets), start, m_window);
    if (RunDialog(chooser) != QDialog::Accepted || chooser.Files().empty()) return {};
    return chooser.Files().front();
}

bool CDriveCommands::ChooseFolder(const std::string& title, std::string& folder) {
    folder = ChooseFile(m_window, FileChoice::Folder, Q(title),
                        QString::fromStdString(m_options.lastMountFolder))
                 .toStdString();
    return !folder.empty();
}

bool CDriveCommands::RunDiskCommand(CommandId id, CTreeItem* item, CTreeItem* other) {
    // Long loops on these drives poll the keys and show their progress through the prompt.
    for (CTreeItem* i : {item, other})
        if (i && i->Drive()) i->Drive()->SetPrompt(&m_prompt);
    switch (id) {
        case CommandId::NewPcFile:
            return NewPcFile(item, other);
        case CommandId::DriveProperties:
            return DriveProperties(item);
        case CommandId::DiskProperties:
            return DiskProperties(item);
        case CommandId::DiskFormat:
            return Format(item);
        case CommandId::DiskDiagnose:
            Diagnose(item);
            return true;
        case CommandId::DiskDefragment:
            Defragment(item);
            return true;
        case CommandId::DiskCopy:
            CopyDisk(item, other);
            return true;
        case CommandId::DiskPurge:
            Purge(item);
            return true;
        case CommandId::DiskSortFiles:
            SortFiles(item);
            return true;
        default:
            return false;
    }
}

bool CDriveCommands::NewPcFile(CTreeItem* folder, CTreeItem* source) {
    CDrivePropertiesDialog dialog(CDrivePropertiesDialog::Mode::PcFile, m_window);
    DrivePropertiesForm form;  // DOAD, start 0, size 0, no maximum
    form.start = "0";
    form.size = "0";
    form.maxSize = "None";
    if (source && source->Drive()) {
        DiskInfo info;
        if (!source->Drive()->GetDiskInfo(info)) {
            Fail(source->Drive()->ErrorText());
            return false;
        }
        const NewImageDefaults defaults = SuggestNewImage(*source->Drive());
        dialog.SetPath(QString::fromStdString(defaults.fileName));
        form.doubleSided = defaults.doubleSided;
        form.doubleDensity = defaults.doubleDensity;
    }
    dialog.SetForm(form);
    dialog.SetBrowse([this](const QString& current) {
        return QString::fromStdString(
            ChooseImageFile(ChooseCreate, FolderPart(current.toStdString())));
    });
    if (RunDialog(dialog) != QDialog::Accepted) return false;
    const DrivePropertiesForm chosen = dialog.Form();
    NewImageChoice choice;
    choice.path = dialog.Path().toStdString();
    choice.pc99 = chosen.format == FormatPc99;
    choice.hfe = chosen.format == FormatHfe;
    choice.doubleSided = chosen.doubleSided;
    choice.doubleDensity = chosen.doubleDensity;
    choice.start = chosen.start;
    choice.size = chosen.size;
    choice.maxSize = chosen.maxSize;
    if (choice.path.empty()) return false;

    auto drive = std::make_unique<CVirtualDrive>();
    drive->SetPrompt(&m_prompt);
    const bool created = CreateNewImage(*drive, choice, source ? source->Drive() : nullptr) != 0;
    if (!created) {
        // A user who chose not to replace a file has been answered already.
        if (drive->LastError() != DiskError::UserAborted) Fail(drive->ErrorText());
        return false;
    }
    CTreeModel& tree = m_tree.Tree();
    CTreeItem* parent =
        folder && (folder->Kind() == NodeKind::PcRoot || IsFolderKind(folder->Kind()))
            ? folder
            : tree.PcRootItem();
    CTreeNode node(NodeKindOf(*drive), choice.path, kNotFormattedText);
    node.drive = std::move(drive);
    CTreeItem* item = tree.Insert(parent, std::move(node), kNotFormattedText);
    tree.Expand(parent);
    m_tree.Select(item);
    if (source) {
        Relabel(item);
        m_tree.ShowItem(item);
        return true;
    }
    Format(item);
    return true;
}

bool CDriveCommands::DriveProperties(CTreeItem* item) {
    CVirtualDrive* drive = item ? item->Drive() : nullptr;
    if (!drive) return false;
    tavik::DriveProperties record;
    if (!drive->GetDriveProperties(record)) {
        Fail(drive->ErrorText());
        return false;
    }
    using Mode = CDrivePropertiesDialog::Mode;
    const Mode mode = record.kind == DriveKind::RemoteTi        ? Mode::Remote
                      : record.kind == DriveKind::EmulatorDrive ? Mode::Emulator
                                                                : Mode::PcFile;
    CDrivePropertiesDialog dialog(mode, m_window);
    if (mode == Mode::PcFile) {
        dialog.SetForm(DriveFormFor(*drive));
        dialog.SetPath(QString::fromStdString(record.path));
    } else if (mode == Mode::Remote) {
        dialog.SetPath(Q(item->Text()));
        dialog.SetRemoteFields(QString::asprintf("0x%04X", record.remoteWords[1]),
                               QString::asprintf("0x%04X", record.remoteWords[0]));
    } else {
        dialog.SetPath(Q(record.emulatorName));
        dialog.SetEmulatorDevice(QString::number(record.emulatorDevice));
    }
    if (RunDialog(dialog) != QDialog::Accepted || mode != Mode::PcFile) return false;
    const bool ok = ApplyDrivePropertiesForm(*drive, dialog.Form()) != 0;
    if (!ok) {
        Fail(drive->ErrorText());
        return false;
    }
    // A conversion may have turned a sector dump into a track image or back.
    if (item->Kind() != NodeKindOf(*drive)) {
        item->Node().kind = NodeKindOf(*drive);
        m_tree.Tree().SetKind(item, NodeKindOf(*drive));
    }
    m_tree.ShowCurrentAgain();
    return true;
}

bool CDriveCommands::DiskProperties(CTreeItem* item) {
    CVirtualDrive* drive = item ? item->Drive() : nullptr;
    if (!drive) return false;
    tavik::DiskProperties record;
    if (!drive->GetDiskProperties(record)) {
        Fail(drive->ErrorText());
        return false;
    }
    CDiskPropertiesDialog dialog(m_prompt, m_window);
    dialog.SetRecord(record);
    if (RunDialog(dialog) != QDialog::Accepted) return false;
    std::string message;
    if (!SetDiskPropertiesFromForm(*drive, dialog.Form(), message)) {
        Fail(message);
        return false;
    }
    Relabel(item);
    m_tree.ShowCurrentAgain();
    return true;
}

bool CDriveCommands::Format(CTreeItem* item) {
    CVirtualDrive* drive = item ? item->Drive() : nullptr;
    if (!drive) return false;
    tavik::DiskProperties record;
    const bool formatted = drive->GetDiskProperties(record) && record.dsk[0] == 'D' &&
                           record.dsk[1] == 'S' && record.dsk[2] == 'K';
    CDiskPropertiesDialog dialog(m_prompt, m_window);
    if (formatted) {
        dialog.SetRecord(record);
    } else {
        dialog.SetForm(BlankImageForm(*drive));
    }
    if (RunDialog(dialog) != QDialog::Accepted) return false;
    std::string message;
    if (!FormatFromForm(*drive, dialog.Form(), message)) {
        Fail(message);
        return false;
    }
    Relabel(item);
    m_tree.ShowItem(item);
    m_prompt.Status("Formatted " + TrimmedName(item->Text()));
    return true;
}

std::string CDriveCommands::CheckMessage(const std::string& report) {
    return report.empty() ? "No problems found" : report;
}

void CDriveCommands::Diagnose(CTreeItem* item) {
    CVirtualDrive* drive = item ? item->Drive() : nullptr;
    if (!drive) return;
    int flags = 0;
    auto usage = std::make_unique<DiskUsage>();
    const bool checked = drive->CheckDisk(flags, *usage) != 0;
    // A stopped or failed check reports what it had found.
    const std::string report = CheckReport(flags, *usage);
    if (checked)
        m_prompt.Status("Checked " + TrimmedName(item->Text()) +
                        (report.empty() ? ": no problems found" : ": problems found"));
    m_prompt.Message(CheckMessage(report),
                     report.empty() ? PromptIcon::Information : PromptIcon::Warning);
}

void CDriveCommands::Defragment(CTreeItem* item) {
    CVirtualDrive* drive = item ? item->Drive() : nullptr;
    if (!drive) return;
    const bool done = drive->Defragment() != 0;
    if (!done) Fail(drive->ErrorText());
    m_tree.ShowCurrentAgain();
    if (done) m_prompt.Status("Defragmented " + TrimmedName(item->Text()));
}

void CDriveCommands::CopyDisk(CTreeItem* source, CTreeItem* target) {
    CVirtualDrive* from = source ? source->Drive() : nullptr;
    if (!from) return;
    std::unique_ptr<CVirtualDrive> fileTarget;
    std::string targetPath;
    CVirtualDrive* to = target ? target->Drive() : nullptr;
    if (!to) {
        const QString path = QString::fromStdString(ChooseImageFile(
            ChooseCopy, m_copyTargets.empty() ? std::string() : FolderPart(m_copyTargets.front())));
        if (path.isEmpty()) return;
        fileTarget = std::make_unique<CVirtualDrive>();
        fileTarget->SetPrompt(&m_prompt);
        const std::string p = path.toStdString();
        targetPath = p;
        if (!OpenCopyTarget(*from, p, *fileTarget)) {
            Fail(fileTarget->ErrorText());
            return;
        }
        AddToHistory(m_copyTargets, p);
        to = fileTarget.get();
    }
    CCopyModeDialog modes(m_window);
    if (RunDialog(modes) != QDialog::Accepted) return;
    const std::string targetName = target ? TrimmedName(target->Text()) : std::string();
    const bool ok = from->CopyDisk(*to, modes.Mode()) != 0;
    if (!ok) Fail(from->ErrorText());
    if (fileTarget) {
        fileTarget->Close();  // a target made from a PC file is released afterwards
        if (ok)
            m_prompt.Status("Copied " + TrimmedName(source->Text()) + " to " +
                            Utf8ToCp1252(targetPath));
        return;
    }
    if (ok) m_prompt.Status("Copied " + TrimmedName(source->Text()) + " onto " + targetName);
    const std::string name = to->GetDiskName();
    if (name.empty()) {
        Fail(to->ErrorText());
    } else {
        target->Node().label = name;
        m_tree.Tree().SetText(target, name);
    }
    m_tree.Select(target);
    m_tree.ShowItem(target);
}

void CDriveCommands::Purge(CTreeItem* item) {
    CVirtualDrive* drive = item ? item->Drive() : nullptr;
    if (!drive) return;
    if (m_prompt.Ask("This will wipe out disk contents!", PromptButtons::OkCancel) !=
        PromptAnswer::Ok)
        return;
    const bool purged = drive->PurgeDisk() != 0;
    if (!purged) Fail(drive->ErrorText());
    m_tree.ShowCurrentAgain();
    if (purged) m_prompt.Status("Wiped " + TrimmedName(item->Text()));
}

void CDriveCommands::SortFiles(CTreeItem* item) {
    CVirtualDrive* drive = item ? item->Drive() : nullptr;
    if (!drive) return;
    if (!drive->SortIndex()) Fail(drive->ErrorText());
    m_tree.ShowCurrentAgain();
}

}  // namespace tavik
