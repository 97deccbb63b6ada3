// The File menu of the catalog list in its disk-catalog mode: create, properties, rename,
// protect, purge, delete, undelete, view as text, hexadecimal or BASIC, export and import, and the
// file clip that copy and paste carry between disks. Each acts on the selected rows by FDR
// sector through the drive; after each the disk is listed again, so that the list never shows
// a state the disk does not have.
#pragma once

#include <QObject>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "app/Command.h"
#include "exchange/FileView.h"
#include "views/PaneContext.h"

class QDialog;
class QString;
class QWidget;

namespace tavik {

class CArchiveCommands;
class CCurrentDisk;
class CDiskView;
class COptions;
struct ExportChoice;
class CTreeModel;
class CUserPrompt;
class CViewFiles;
class CVirtualDrive;

class CFileCommands : public QObject {
    Q_OBJECT
public:
    CFileCommands(CDiskView& list, const PaneContext& context, QWidget* window);
    ~CFileCommands() override;

    // The File menu's commands (and Delete, Copy and Paste of the list); false for others.
    bool Run(CommandId id);

    void Create();
    void Properties(int fdr);
    // The name typed over the row's name cell.
    bool Rename(int fdr, const std::string& newName);
    void Protect();
    void Purge();
    void Delete();
    void Undelete();
    // Opens the first selected file's view in a viewer window of the program, or with the
    // option "Open views in the desktop's viewer" in that one (the program's own when the
    // desktop's cannot be started).
    void View(ViewKind kind);
    // Whether the first selected file is a BASIC program ("View as BASIC" is offered).
    bool CanViewAsBasic();
    void Export();
    // The chosen PC files (empty: the import chooser asks for them).
    void Import(std::vector<std::string> files = {});
    // Copy: the list's table on the clipboard and the file clip in the internal clip.
    void Copy();
    // Paste of a file clip: the files of its source disk are copied onto the shown disk; of a
    // members clip: the members are taken out of their archive onto it.
    void Paste();
    bool CanPaste() const;
    // "Create archive...": a compressed archive of the selected files, under the name asked.
    void CreateArchive();

    // The export chooser for the TI file tiName; false when cancelled.
    bool ChooseExport(const std::string& tiName, ExportChoice& choice);
    // The commands of the list while it shows an archive's members.
    CArchiveCommands& Archives() { return *m_archives; }

    // What hands a view file to the desktop's viewer (tests put themselves there); false when
    // the viewer cannot be started.
    void SetDesktopOpener(std::function<bool(const std::string&)> opener) {
        m_desktopOpener = std::move(opener);
    }
    CViewFiles& ViewFiles() { return *m_viewFiles; }

private:
    CVirtualDrive* Drive() const;
    void Fail(CVirtualDrive& drive);
    void Relist();
    std::string DiskName() const;
    // "ALPHA on DISK1 (disk1.dsk) - Text": the file, the disk and its PC file, the view.
    QString ViewTitle(CVirtualDrive& drive, int fdr, ViewKind kind, bool protectedProgram);
    void OpenViewer(CVirtualDrive& drive, int fdr, ViewKind kind, const FileView& view);

    CDiskView& m_list;
    CTreeModel& m_tree;
    CCurrentDisk& m_disk;
    COptions& m_options;
    CUserPrompt& m_prompt;
    QWidget* m_window;
    std::string& m_clip;
    std::unique_ptr<CViewFiles> m_viewFiles;
    std::unique_ptr<CArchiveCommands> m_archives;
    std::function<bool(const std::string&)> m_desktopOpener;
    // The answer of CanViewAsBasic for a drive and FDR, until the list is listed again.
    CVirtualDrive* m_basicDrive = nullptr;
    int m_basicFdr = 0;
    bool m_basicAnswer = false;
};

}  // namespace tavik
