// The drive tree's commands that open dialogs: choosing images and folders, new images, drive
// and disk properties, format, check, defragment, copy, purge and sort. The work itself is the
// drive's; this class fills the dialogs, calls the drive and shows its error text.
#pragma once

#include <QObject>
#include <functional>
#include <string>
#include <vector>

#include "views/DriveView.h"

class QDialog;
class QWidget;

namespace tavik {

class COptions;
class CQtUserPrompt;

class CDriveCommands : public QObject, public CDriveDialogs {
    Q_OBJECT
public:
    CDriveCommands(CDriveView& tree, COptions& options, CQtUserPrompt& prompt, QWidget* window);

    bool ChooseImages(const std::string& startFolder, std::vector<std::string>& files,
                      bool& mountFolderToo) override;
    bool ChooseFolder(const std::string& title, std::string& folder) override;
    bool RunDiskCommand(CommandId id, CTreeItem* item, CTreeItem* other) override;

    // The steps, each on a drive item.
    bool NewPcFile(CTreeItem* folder, CTreeItem* source);
    bool DriveProperties(CTreeItem* item);
    bool DiskProperties(CTreeItem* item);
    bool Format(CTreeItem* item);
    void Diagnose(CTreeItem* item);
    void Defragment(CTreeItem* item);
    // Onto another drive item, or (target null) into a PC file the user chooses.
    void CopyDisk(CTreeItem* source, CTreeItem* target);
    void Purge(CTreeItem* item);
    void SortFiles(CTreeItem* item);

    // The check-disk command's message: "No problems found" or the report.
    static std::string CheckMessage(const std::string& report);

    // The folders of a list of paths, newest first, each once (the chooser's "Look in" list).
    static std::vector<std::string> RecentFolders(const std::vector<std::string>& paths);

private:
    // The chooser in copy or create mode; "" when cancelled.
    std::string ChooseImageFile(int mode, const std::string& start);
    void Fail(const std::string& text);
    void Relabel(CTreeItem* item);

    CDriveView& m_tree;
    COptions& m_options;
    CQtUserPrompt& m_prompt;
    QWidget* m_window;
    std::vector<std::string> m_copyTargets;  // recently chosen target files, newest first
};

}  // namespace tavik
