#include "app/gui/OptionsSheet.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QRadioButton>
#include <QTabWidget>
#include <QVBoxLayout>

#include "qt/QtText.h"

namespace tavik {

namespace {

QComboBox* Combo(const QStringList& items) {
    auto* c = new QComboBox;
    c->addItems(items);
    return c;
}

// The multi-line "Tab stops" field keeps CR LF line ends, as the copy-back reads them.
QString WithCrLf(const std::string& text) {
    return Q(text).replace("\r\n", "\n");
}
std::string FromEditor(const QString& text) {
    QString t = text;
    t.replace("\r\n", "\n");
    t.replace('\n', "\r\n");
    return S(t);
}

}  // namespace

RemoteLists RemoteListsFor(int contact, int linkMode) {
    RemoteLists l;
    const bool serial = linkMode == LinkSerial;
    if (contact == ContactEmulator) {
        l.ports = serial ? QStringList{"RS232/1", "RS232/2", "RS232/3", "RS232/4"}
                         : QStringList{"PIO/1", "PIO/2"};
        l.showLines = false;
        l.inLabel = "Handshake in:";
        l.outLabel = "Handshake out:";
        return l;
    }
    if (serial) {
        l.ports = {"COM1", "COM2", "COM3", "COM4"};
        l.inLabel = "DTR:";
        l.inLines = {"None", "DTR", "RTS"};
        l.outLabel = "DCD:";
        l.outLines = {"None", "CTS", "DCD", "DSR"};
        l.showSerialOnly = true;
    } else {
        l.ports = {"LPT1 single port", "LPT1 two ports",   "LPT1 three ports",
                   "LPT2 two ports",   "LPT2 three ports", "LPT3"};
        l.inLabel = "Handshake in:";
        l.inLines = {"Select*", "Init", "AutoLF*", "Strobe*"};
        l.outLabel = "Handshake out:";
        l.outLines = {"Busy*", "Ack", "PaperOut", "SelectIn", "Error"};
    }
    return l;
}

COptionsSheet::COptionsSheet(COptions& options, QWidget* parent)
    : QDialog(parent), m_options(options) {
    setWindowTitle("Options");
    m_pages = new QTabWidget;
    m_pages->addTab(MakeGeneral(), "General");
    m_pages->addTab(MakeConvert(), "Convert");
    m_pages->addTab(MakeRemote(), "Remote");
    m_pages->addTab(MakeDatabase(), "Database");
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_pages);
    layout->addWidget(buttons);
}

QWidget* COptionsSheet::MakeGeneral() {
    const GeneralPage p = FillGeneralPage(m_options);
    auto* page = new QWidget;
    m_fullNames = new QCheckBox("Use full folder names");
    m_devices = new QCheckBox("Show remote devices");
    m_fileNames = new QCheckBox("Show the PC file name where disk names clash");
    m_fileNames->setChecked(p.fileNameOnNameClash);
    m_beyond = new QCheckBox("Show sectors beyond disk size");
    m_perLine = new QLineEdit(Q(p.sectorsPerLine));
    m_perLine->setObjectName("sectorsPerLine");
    m_saveOnExit = Combo({"Always", "Never", "Ask me"});
    m_buffer = Combo({"Nothing", "Sec 0+1+FDR", "Whole disk"});
    m_saveVdp = new QCheckBox("Save VDP mem");
    m_fullNames->setChecked(p.fullFolderNames);
    m_devices->setChecked(p.showRemoteDevices);
    m_beyond->setChecked(p.showBeyondDiskSize);
    m_saveOnExit->setCurrentIndex(p.saveOnExit);
    m_buffer->setCurrentIndex(p.remoteBuffer);
    m_saveVdp->setChecked(p.saveVdpMemory);

    auto* tree = new QGroupBox("Drive tree");
    auto* tl = new QVBoxLayout(tree);
    tl->addWidget(m_fullNames);
    tl->addWidget(m_devices);
    tl->addWidget(m_fileNames);
    auto* map = new QGroupBox("Sector map");
    auto* ml = new QFormLayout(map);
    ml->addRow("Sectors per line:", m_perLine);
    ml->addRow(m_beyond);
    auto* remote = new QGroupBox("Remote drives");
    auto* rl = new QFormLayout(remote);
    rl->addRow("Buffer:", m_buffer);
    rl->addRow(m_saveVdp);
    auto* exit = new QFormLayout;
    exit->addRow("Save on exit:", m_saveOnExit);
    auto* layout = new QVBoxLayout(page);
    layout->addWidget(tree);
    layout->addWidget(map);
    layout->addWidget(remote);
    layout->addLayout(exit);
    layout->addStretch(1);
    return page;
}

QWidget* COptionsSheet::MakeConvert() {
    const ConvertPage p = FillConvertPage(m_options);
    auto* page = new QWidget;
    m_createTabs = new QCheckBox("Create tabs on export");
    m_replaceTabs = new QCheckBox("Replace tabs on import");
    m_truncate = new QCheckBox("Truncate overlong lines");
    m_crLf = new QCheckBox("End exported lines in CR LF");
    m_tabStops = new QPlainTextEdit;
    m_tabStops->setPlainText(WithCrLf(p.tabStops));
    m_tabStops->setFixedWidth(120);
    m_replaceWidth = new QLineEdit(Q(p.replaceWidth));
    m_replaceWidth->setFixedWidth(50);
    m_createTabs->setChecked(p.createTabsOnExport);
    m_replaceTabs->setChecked(p.replaceTabsOnImport);
    m_truncate->setChecked(p.truncateOverlongLines);
    m_crLf->setChecked(p.crLfOnExport);
    m_desktopViewer = new QCheckBox("Open views in the desktop's viewer");
    m_desktopViewer->setChecked(p.desktopViewer);

    auto* layout = new QVBoxLayout(page);
    layout->addWidget(m_createTabs);
    layout->addWidget(m_replaceTabs);
    layout->addWidget(m_truncate);
    layout->addWidget(m_crLf);
    layout->addWidget(m_desktopViewer);
    auto* tabs = new QGroupBox("Tab stops");
    auto* tl = new QVBoxLayout(tabs);
    tl->addWidget(m_tabStops);
    auto* replace = new QHBoxLayout;
    replace->addWidget(new QLabel("Then replace tab with "));
    replace->addWidget(m_replaceWidth);
    replace->addWidget(new QLabel("spaces"));
    replace->addStretch(1);
    tl->addLayout(replace);
    layout->addWidget(tabs);
    layout->addStretch(1);
    return page;
}

QWidget* COptionsSheet::MakeRemote() {
    const RemotePage p = FillRemotePage(m_options);
    auto* page = new QWidget;
    m_contact = Combo({"TI-99/4A via cable", "Third-party emulator"});
    m_contact->setCurrentIndex(p.contact == ContactCable ? 0 : 1);
    auto* parallel = new QRadioButton("Parallel");
    auto* serial = new QRadioButton("Serial");
    m_mode = new QButtonGroup(page);
    m_mode->addButton(parallel, LinkParallel);
    m_mode->addButton(serial, LinkSerial);
    (p.linkMode == LinkSerial ? serial : parallel)->setChecked(true);
    m_port = new QComboBox;
    m_port->setEditable(true);
    m_timeout = new QLineEdit(Q(p.linkTimeout));
    m_inLabel = new QLabel;
    m_in = new QComboBox;
    m_outLabel = new QLabel;
    m_out = new QComboBox;
    m_ctsLabel = new QLabel("CTS:");
    m_cts = Combo({"None", "CTS", "DCD", "DSR"});
    m_bauds =
        Combo({"38400.", "19200.", "9600.", "4800.", "2400.", "1200.", "600.", "300.", "110."});
    m_stopBits = Combo({"1", "1.5", "2"});
    m_parity = Combo({"None", "Odd", "Even"});
    m_xop = new QLineEdit(Q(p.breakpointXop));
    m_xop->setEnabled(false);
    m_hookAddress = new QLineEdit(Q(p.hookAddress));
    m_hookWorkspace = new QLineEdit(Q(p.hookWorkspace));
    for (QLineEdit* e : {m_xop, m_hookAddress, m_hookWorkspace})
        e->setMinimumWidth(80);
    m_pause = new QCheckBox("Pause before each byte");
    m_pause->setChecked(p.pauseBeforeEachByte);
    m_cts->setCurrentIndex(p.ctsLine);
    const int baud = BaudRateIndex(p.baudRate);
    m_bauds->setCurrentIndex(baud < 0 ? 2 : baud);
    m_stopBits->setCurrentIndex(p.stopBits);
    m_parity->setCurrentIndex(p.parity);

    auto* link = new QGroupBox("Link");
    auto* ll = new QFormLayout(link);
    ll->addRow("Contact:", m_contact);
    auto* modes = new QHBoxLayout;
    modes->addWidget(parallel);
    modes->addWidget(serial);
    modes->addStretch(1);
    ll->addRow("", modes);
    ll->addRow("PC port used:", m_port);
    ll->addRow("Timeout value:", m_timeout);
    ll->addRow(m_inLabel, m_in);
    ll->addRow(m_outLabel, m_out);
    ll->addRow(m_ctsLabel, m_cts);
    ll->addRow(m_pause);
    auto* line = new QGroupBox("Serial line");
    auto* sl = new QFormLayout(line);
    sl->addRow("Bauds:", m_bauds);
    sl->addRow("Stop bits:", m_stopBits);
    sl->addRow("Parity:", m_parity);
    auto* hook = new QGroupBox("Hook routine");
    auto* hl = new QFormLayout(hook);
    hl->addRow("Hook routine location:", m_hookAddress);
    hl->addRow("Hook routine workspace:", m_hookWorkspace);
    hl->addRow("XOP used for breakpoints:", m_xop);

    auto* layout = new QGridLayout(page);
    layout->addWidget(link, 0, 0, 2, 1);
    layout->addWidget(line, 0, 1);
    layout->addWidget(hook, 1, 1);
    layout->setRowStretch(2, 1);

    FillRemoteLists();
    m_port->setEditText(Q(p.linkPortName));
    m_in->setCurrentIndex(p.handshakeIn);
    m_out->setCurrentIndex(p.handshakeOut);
    auto refill = [this] {
        FillRemoteLists();
        m_port->setCurrentIndex(0);
    };
    connect(m_contact, &QComboBox::currentIndexChanged, this, refill);
    connect(m_mode, &QButtonGroup::idClicked, this, refill);
    return page;
}

void COptionsSheet::FillRemoteLists() {
    const RemoteLists l = RemoteListsFor(m_contact->currentIndex(), m_mode->checkedId());
    const QString port = m_port->currentText();
    m_port->clear();
    m_port->addItems(l.ports);
    m_port->setEditText(port);
    m_inLabel->setText(l.inLabel);
    m_outLabel->setText(l.outLabel);
    m_in->clear();
    m_in->addItems(l.inLines);
    m_out->clear();
    m_out->addItems(l.outLines);
    for (QWidget* w : {static_cast<QWidget*>(m_inLabel), static_cast<QWidget*>(m_in),
                       static_cast<QWidget*>(m_outLabel), static_cast<QWidget*>(m_out)})
        w->setVisible(l.showLines);
    m_ctsLabel->setVisible(l.showSerialOnly);
    m_cts->setVisible(l.showSerialOnly);
    m_pause->setVisible(l.showSerialOnly);
}

QWidget* COptionsSheet::MakeDatabase() {
    const DatabasePage p = FillDatabasePage(m_options);
    auto* page = new QWidget;
    m_openOnStartup = new QCheckBox("Open on startup:");
    m_openOnStartup->setChecked(p.openDatabaseOnStartup);
    m_databasePath = new QLabel(Q(p.databasePath));
    m_reviewDisk = new QCheckBox("Review disk info");
    m_reviewDisk->setChecked(p.reviewDiskInfo);
    m_reviewFile = new QCheckBox("Review each file info");
    m_reviewFile->setChecked(p.reviewFileInfo);
    m_duplicates =
        Combo({"Ask me", "Create new record", "Use old record as such", "Update old record"});
    m_duplicates->setCurrentIndex(p.fileDuplicates);
    m_unlock = new QCheckBox("Unlock editing");
    m_unlock->setChecked(p.unlockEditing);

    auto* layout = new QVBoxLayout(page);
    auto* open = new QHBoxLayout;
    open->addWidget(m_openOnStartup);
    open->addWidget(m_databasePath, 1);
    layout->addLayout(open);
    auto* adding = new QGroupBox("Adding disks");
    auto* al = new QFormLayout(adding);
    al->addRow(m_reviewDisk);
    al->addRow(m_reviewFile);
    al->addRow("File duplicates:", m_duplicates);
    layout->addWidget(adding);
    layout->addWidget(m_unlock);
    layout->addStretch(1);
    return page;
}

GeneralPage COptionsSheet::General() const {
    GeneralPage p;
    p.showRemoteDevices = m_devices->isChecked();
    p.fullFolderNames = m_fullNames->isChecked();
    p.fileNameOnNameClash = m_fileNames->isChecked();
    p.showBeyondDiskSize = m_beyond->isChecked();
    p.saveOnExit = m_saveOnExit->currentIndex();
    p.remoteBuffer = m_buffer->currentIndex();
    p.saveVdpMemory = m_saveVdp->isChecked();
    p.sectorsPerLine = S(m_perLine->text());
    return p;
}

ConvertPage COptionsSheet::Convert() const {
    ConvertPage p;
    p.createTabsOnExport = m_createTabs->isChecked();
    p.replaceTabsOnImport = m_replaceTabs->isChecked();
    p.truncateOverlongLines = m_truncate->isChecked();
    p.crLfOnExport = m_crLf->isChecked();
    p.desktopViewer = m_desktopViewer->isChecked();
    p.tabStops = FromEditor(m_tabStops->toPlainText());
    p.replaceWidth = S(m_replaceWidth->text());
    return p;
}

RemotePage COptionsSheet::Remote() const {
    RemotePage p = FillRemotePage(m_options);
    p.linkPortName = S(m_port->currentText());
    p.linkMode = m_mode->checkedId();
    p.linkTimeout = S(m_timeout->text());
    p.handshakeIn = m_in->currentIndex() < 0 ? 0 : m_in->currentIndex();
    p.handshakeOut = m_out->currentIndex() < 0 ? 0 : m_out->currentIndex();
    p.ctsLine = m_cts->currentIndex();
    p.baudRate = kBaudRates[m_bauds->currentIndex()];
    p.stopBits = m_stopBits->currentIndex();
    p.parity = m_parity->currentIndex();
    p.hookAddress = S(m_hookAddress->text());
    p.hookWorkspace = S(m_hookWorkspace->text());
    p.contact = m_contact->currentIndex() == 0 ? ContactCable : ContactEmulator;
    p.pauseBeforeEachByte = m_pause->isChecked();
    return p;
}

DatabasePage COptionsSheet::Database() const {
    DatabasePage p;
    p.databasePath = S(m_databasePath->text());
    p.openDatabaseOnStartup = m_openOnStartup->isChecked();
    p.reviewDiskInfo = m_reviewDisk->isChecked();
    p.reviewFileInfo = m_reviewFile->isChecked();
    p.fileDuplicates = m_duplicates->currentIndex();
    p.unlockEditing = m_unlock->isChecked();
    return p;
}

void COptionsSheet::accept() {
    ApplyGeneralPage(General(), m_options);
    ApplyConvertPage(Convert(), m_options);
    ApplyRemotePage(Remote(), m_options);
    if (m_linkSettings) m_linkSettings(m_options);
    ApplyDatabasePage(Database(), m_options);
    QDialog::accept();
}

}  // namespace tavik
