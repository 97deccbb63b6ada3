#include "exchange/dialogs/TiFileDialog.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QDir>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStyle>
#include <QTreeWidget>
#include <QVBoxLayout>
#include <filesystem>

#include "exchange/PcFileKind.h"
#include "exchange/TiFileChooser.h"
#include "qt/Icons.h"
#include "qt/QtText.h"

namespace tavik {

namespace {

constexpr size_t kLookInEntries = 10;

int IconKind(int icon) {
    switch (icon) {
        case IconFolder:
            return 0;
        case IconDiskImage:
            return SectorDump;
        case IconTrackImage:
            return TrackImageSingle;
        case IconFiad:
            return FiadFile;
        case IconTifiles:
            return TifilesFile;
        default:
            return PlainFile;
    }
}

bool HasWildcard(const std::string& s) {
    return s.find_first_of("*?") != std::string::npos;
}

}  // namespace

CTiFileDialog::CTiFileDialog(int mode, const std::vector<std::string>& recentFolders,
                             const std::string& startFolder, QWidget* parent)
    : QDialog(parent), m_mode(mode) {
    const ChooserModeInfo info = ChooserModeOf(mode);
    m_single = info.singleSelection;
    setWindowTitle(Q(info.title));
    resize(640, 420);

    m_lookIn = new QComboBox;
    m_lookIn->setEditable(true);
    m_lookIn->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    for (size_t i = 0; i < recentFolders.size() && i < kLookInEntries; ++i)
        m_lookIn->addItem(QString::fromStdString(WithTrailingSeparator(recentFolders[i])));
    auto* up = new QPushButton(style()->standardIcon(QStyle::SP_FileDialogToParent), "");
    up->setToolTip("Up one level");

    m_list = new QTreeWidget;
    m_list->setRootIsDecorated(false);
    m_list->setUniformRowHeights(true);
    m_list->setSelectionMode(m_single ? QAbstractItemView::SingleSelection
                                      : QAbstractItemView::ExtendedSelection);
    QStringList heads;
    const auto& columns = ChooserColumns();
    for (const ChooserColumn& c : columns)
        heads << Q(c.caption);
    m_list->setHeaderLabels(heads);
    for (int i = 0; i < static_cast<int>(columns.size()); ++i)
        m_list->header()->resizeSection(i, columns[static_cast<size_t>(i)].width + 20);

    m_name = new QLineEdit;
    m_filter = new QComboBox;
    for (const std::string& f : ChooserFilters())
        m_filter->addItem(Q(f));
    m_tiDisk = new QCheckBox("TI disk");
    m_tiFile = new QCheckBox("TI file");
    m_other = new QCheckBox("Other");
    m_tiDisk->setChecked(info.tiDisk);
    m_tiFile->setChecked(info.tiFile);
    m_mountFolder = new QCheckBox("Mount folder too");
    m_mountFolder->setVisible(info.mountFolderBox);
    m_exportFormat = new QComboBox;
    for (int f = 0; f < kExportFormatCount; ++f)
        m_exportFormat->addItem(Q(ExportFormatText(f)));
    m_exportFormat->setCurrentIndex(TifilesHeader);

    auto* top = new QHBoxLayout;
    top->addWidget(new QLabel("Look in:"));
    top->addWidget(m_lookIn, 1);
    top->addWidget(up);
    auto* form = new QFormLayout;
    form->addRow("File name:", m_name);
    form->addRow("Files of type:", m_filter);
    if (info.exportFormats)
        form->addRow("Export as:", m_exportFormat);
    else
        m_exportFormat->hide();
    auto* content = new QHBoxLayout;
    content->addWidget(new QLabel("Show:"));
    content->addWidget(m_tiDisk);
    content->addWidget(m_tiFile);
    content->addWidget(m_other);
    content->addStretch(1);
    content->addWidget(m_mountFolder);

    auto* buttons = new QDialogButtonBox;
    buttons->addButton(Q(info.button), QDialogButtonBox::AcceptRole);
    buttons->addButton(QDialogButtonBox::Cancel);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(m_list, 1);
    layout->addLayout(content);
    layout->addLayout(form);
    layout->addWidget(buttons);

    connect(up, &QPushButton::clicked, this, [this] {
        const std::filesystem::path p(m_folder);
        ShowFolder(p.parent_path().parent_path().string());
    });
    connect(m_lookIn, &QComboBox::activated, this,
            [this](int) { ShowFolder(m_lookIn->currentText().toStdString()); });
    connect(m_lookIn->lineEdit(), &QLineEdit::returnPressed, this,
            [this] { ShowFolder(m_lookIn->currentText().toStdString()); });
    connect(m_filter, &QComboBox::currentIndexChanged, this, [this] {
        m_pattern.clear();
        Refill();
    });
    for (QCheckBox* b : {m_tiDisk, m_tiFile, m_other})
        connect(b, &QCheckBox::toggled, this, &CTiFileDialog::Refill);
    connect(m_list, &QTreeWidget::itemDoubleClicked, this,
            [this](QTreeWidgetItem* item, int) { RowActivated(item); });
    connect(m_list, &QTreeWidget::itemSelectionChanged, this, &CTiFileDialog::SelectionChanged);

    ShowFolder(startFolder.empty() ? QDir::currentPath().toStdString() : startFolder);
}

void CTiFileDialog::Propose(const std::string& pcName, int format) {
    m_name->setText(QString::fromStdString(pcName));
    if (format >= 0 && format < m_exportFormat->count()) m_exportFormat->setCurrentIndex(format);
}

void CTiFileDialog::ShowFolder(const std::string& folder) {
    std::string f = folder.empty() ? std::string(1, '/') : folder;
    m_folder = WithTrailingSeparator(f);
    const QString shown = QString::fromStdString(m_folder);
    const int at = m_lookIn->findText(shown);
    if (at < 0) m_lookIn->insertItem(0, shown);
    m_lookIn->setCurrentIndex(m_lookIn->findText(shown));
    Refill();
}

void CTiFileDialog::Refill() {
    m_list->clear();
    const std::string pattern =
        !m_pattern.empty() ? m_pattern : ChooserPattern("", m_filter->currentIndex());
    const ChooserContent content{m_tiDisk->isChecked(), m_tiFile->isChecked(),
                                 m_other->isChecked()};
    const auto& columns = ChooserColumns();
    QList<QTreeWidgetItem*> items;
    for (const ChooserRow& row : ListChooserFolder(m_folder, pattern, content)) {
        auto* item = new QTreeWidgetItem({QString::fromStdString(row.pcName), Q(row.format),
                                          Q(row.tiName), Q(row.type), Q(row.size)});
        item->setIcon(0, PcFileKindIcon(IconKind(row.icon)));
        item->setData(0, Qt::UserRole, row.folder);
        for (int c = 0; c < static_cast<int>(columns.size()); ++c)
            if (columns[static_cast<size_t>(c)].rightAligned)
                item->setTextAlignment(c, Qt::AlignRight | Qt::AlignVCenter);
        items << item;
    }
    m_list->addTopLevelItems(items);
}

void CTiFileDialog::RowActivated(QTreeWidgetItem* item) {
    if (!item) return;
    if (item->data(0, Qt::UserRole).toBool()) {
        ShowFolder(m_folder + item->text(0).toStdString());
        return;
    }
    m_name->setText(item->text(0));
    accept();
}

void CTiFileDialog::SelectionChanged() {
    QStringList names;
    for (QTreeWidgetItem* item : m_list->selectedItems())
        if (!item->data(0, Qt::UserRole).toBool()) names << item->text(0);
    if (names.isEmpty()) return;
    if (names.size() == 1) {
        m_name->setText(names.front());
        return;
    }
    for (QString& n : names)
        n = '"' + n + '"';
    m_name->setText(names.join(' '));
}

std::vector<std::string> CTiFileDialog::TypedNames() const {
    // Several names come quoted ("a" "b"); a single one may be typed without quotes.
    const std::string text = m_name->text().trimmed().toStdString();
    std::vector<std::string> names;
    if (text.find('"') == std::string::npos) {
        if (!text.empty()) names.push_back(text);
        return names;
    }
    size_t i = 0;
    while ((i = text.find('"', i)) != std::string::npos) {
        const size_t end = text.find('"', i + 1);
        if (end == std::string::npos) break;
        if (end > i + 1) names.push_back(text.substr(i + 1, end - i - 1));
        i = end + 1;
    }
    return names;
}

void CTiFileDialog::accept() {
    const std::vector<std::string> names = TypedNames();
    if (names.empty()) return;
    if (names.size() == 1 && HasWildcard(names.front())) {
        m_pattern = names.front();  // a typed pattern filters the listing
        Refill();
        return;
    }
    if (names.size() == 1) {
        const std::filesystem::path p = std::filesystem::path(names.front()).is_absolute()
                                            ? std::filesystem::path(names.front())
                                            : std::filesystem::path(m_folder) / names.front();
        std::error_code ec;
        if (std::filesystem::is_directory(p, ec)) {
            m_name->clear();
            ShowFolder(p.string());
            return;
        }
    }
    m_files.clear();
    for (const std::string& n : names) {
        const std::filesystem::path p(n);
        m_files.push_back(p.is_absolute() ? n : (std::filesystem::path(m_folder) / n).string());
        if (m_single) break;
    }
    QDialog::accept();
}

bool CTiFileDialog::MountFolderToo() const {
    return m_mountFolder->isChecked();
}

int CTiFileDialog::ExportFormat() const {
    return m_exportFormat->currentIndex();
}

}  // namespace tavik
