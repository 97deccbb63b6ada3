// The "Options..." property sheet: pages "General", "Convert", "Remote" and "Database", filled
// from the options when it opens; OK copies each page back, Cancel changes nothing. The Remote
// page's port and line lists change with the contact and the link mode.
#pragma once

#include <QDialog>
#include <QStringList>
#include <functional>

#include "app/OptionsPages.h"

class QButtonGroup;
class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QTabWidget;

namespace tavik {

// What the Remote page lists for a contact (0 cable, 1 emulator) and a link mode (0 parallel,
// 1 serial).
struct RemoteLists {
    QStringList ports;
    QString inLabel, outLabel;  // the two line combos' labels
    QStringList inLines, outLines;
    bool showLines = true;        // the line choices
    bool showSerialOnly = false;  // "CTS:" and "Pause before each byte"
};
RemoteLists RemoteListsFor(int contact, int linkMode);

class COptionsSheet : public QDialog {
    Q_OBJECT
public:
    COptionsSheet(COptions& options, QWidget* parent = nullptr);

    // Whoever hands the link settings to the cable link after OK.
    void SetLinkSettingsHandler(std::function<void(const COptions&)> handler) {
        m_linkSettings = std::move(handler);
    }

    void accept() override;

    QTabWidget* Pages() const { return m_pages; }
    // The pages as the controls show them now.
    GeneralPage General() const;
    ConvertPage Convert() const;
    RemotePage Remote() const;
    DatabasePage Database() const;

private:
    QWidget* MakeGeneral();
    QWidget* MakeConvert();
    QWidget* MakeRemote();
    QWidget* MakeDatabase();
    void FillRemoteLists();

    COptions& m_options;
    std::function<void(const COptions&)> m_linkSettings;
    QTabWidget* m_pages;
    // General
    QCheckBox* m_fullNames;
    QCheckBox* m_devices;
    QCheckBox* m_fileNames;
    QCheckBox* m_beyond;
    QLineEdit* m_perLine;
    QComboBox* m_saveOnExit;
    QComboBox* m_buffer;
    QCheckBox* m_saveVdp;
    // Convert
    QCheckBox* m_createTabs;
    QCheckBox* m_replaceTabs;
    QCheckBox* m_truncate;
    QCheckBox* m_crLf;
    QCheckBox* m_desktopViewer;
    QPlainTextEdit* m_tabStops;
    QLineEdit* m_replaceWidth;
    // Remote
    QComboBox* m_contact;
    QButtonGroup* m_mode;
    QComboBox* m_port;
    QLineEdit* m_timeout;
    QLabel* m_inLabel;
    QComboBox* m_in;
    QLabel* m_outLabel;
    QComboBox* m_out;
    QLabel* m_ctsLabel;
    QComboBox* m_cts;
    QComboBox* m_bauds;
    QComboBox* m_stopBits;
    QComboBox* m_parity;
    QLineEdit* m_xop;
    QLineEdit* m_hookAddress;
    QLineEdit* m_hookWorkspace;
    QCheckBox* m_pause;
    // Database
    QLabel* m_databasePath;
    QCheckBox* m_openOnStartup;
    QCheckBox* m_reviewDisk;
    QCheckBox* m_reviewFile;
    QComboBox* m_duplicates;
    QCheckBox* m_unlock;
};

}  // namespace tavik
