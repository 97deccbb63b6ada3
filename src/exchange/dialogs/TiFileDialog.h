// "Files in TI format": the PC file chooser that lists each file with what it holds (a whole
// disk, a TI file with a header, or plain data), in six modes (mount, copy, import, export,
// create, upload). The listing itself is the exchange layer's; this is its window.
#pragma once

#include <QDialog>
#include <string>
#include <vector>

class QCheckBox;
class QComboBox;
class QLineEdit;
class QPushButton;
class QTreeWidget;
class QTreeWidgetItem;

namespace tavik {

class CTiFileDialog : public QDialog {
    Q_OBJECT
public:
    // recentFolders: the "Look in" history (up to 10 are shown); startFolder: where it opens.
    CTiFileDialog(int mode, const std::vector<std::string>& recentFolders,
                  const std::string& startFolder, QWidget* parent = nullptr);

    // The folder shown, with a trailing separator.
    std::string Folder() const { return m_folder; }
    // The chosen or typed files, as full paths.
    std::vector<std::string> Files() const { return m_files; }
    bool MountFolderToo() const;
    int ExportFormat() const;  // an ExportFormat value (export mode)

    // Export mode: the PC name and the format offered before the user chooses.
    void Propose(const std::string& pcName, int format);
    // Shows a folder (what "Look in" and double-clicks do).
    void ShowFolder(const std::string& folder);
    QTreeWidget* List() const { return m_list; }
    QLineEdit* NameEdit() const { return m_name; }
    QComboBox* FilterBox() const { return m_filter; }

    void accept() override;

private:
    void Refill();
    void RowActivated(QTreeWidgetItem* item);
    void SelectionChanged();
    std::vector<std::string> TypedNames() const;

    int m_mode;
    bool m_single;
    std::string m_folder;
    std::string m_pattern;
    std::vector<std::string> m_files;
    QComboBox* m_lookIn;
    QTreeWidget* m_list;
    QLineEdit* m_name;
    QComboBox* m_filter;
    QCheckBox* m_tiDisk;
    QCheckBox* m_tiFile;
    QCheckBox* m_other;
    QCheckBox* m_mountFolder;
    QComboBox* m_exportFormat;
};

}  // namespace tavik
