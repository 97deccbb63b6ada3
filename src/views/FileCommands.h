// The File menu of the catalog list in its disk-catalog mode: create, properties, rename,
// protect, purge, delete, undelete, view as text or hexadecimal, export and import, and the
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
#include "views/PaneContext.h"

class QDialog;
class QWidget;

namespace tavik {

class CCurrentDisk;
class CDiskView;
class COptions;
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
    void View(bool hex);
    void Export();
    // The chosen PC files (empty: the import chooser asks for them).
    void Import(std::vector<std::string> files = {});
    // Copy: the list's table on the clipboard and the file clip in the internal clip.
    void Copy();
    // Paste of a file clip: the files of its source disk are copied onto the shown disk.
    void Paste();
    bool CanPaste() const;

    // Tests see the view files instead of a viewer opening them.
    void SetViewer(std::function<void(const std::string&)> viewer) { m_viewer = std::move(viewer); }
    CViewFiles& ViewFiles() { return *m_viewFiles; }

private:
    CVirtualDrive* Drive() const;
    void Fail(CVirtualDrive& drive);
    void Relist();
    std::string DiskName() const;

    CDiskView& m_list;
    CTreeModel& m_tree;
    CCurrentDisk& m_disk;
    COptions& m_options;
    CUserPrompt& m_prompt;
    QWidget* m_window;
    std::string& m_clip;
    std::unique_ptr<CViewFiles> m_viewFiles;
    std::function<void(const std::string&)> m_viewer;
};

}  // namespace tavik
