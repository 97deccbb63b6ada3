#include "views/CatalogModel.h"

#include "base/Cp1252.h"
#include "base/UserPrompt.h"
#include "disk/Catalog.h"
#include "disk/TiDateTime.h"
#include "disk/VirtualDrive.h"
#include "views/DialogText.h"
#include "views/Icons.h"
#include "views/ListSort.h"

namespace tavik {

namespace {

QString FromCp1252(const std::string& s) {
    return dialogs::Q(s);
}

constexpr int kDateOrder = 5;  // four-digit year first, so that the text sorts by date

}  // namespace

const char* const kHeaders[] = {"File name",         "Type", "Size", "Protected", "Creation date",
                                "Modification date", "FDR"};

CCatalogModel::CCatalogModel(QObject* parent)
    : QAbstractTableModel(parent), m_headers(std::begin(kHeaders), std::end(kHeaders)) {}

int CCatalogModel::ListDisk(CVirtualDrive* drive, CUserPrompt& prompt) {
    beginResetModel();
    m_drive = drive;
    m_rows.clear();
    m_headers.assign(std::begin(kHeaders), std::end(kHeaders));
    endResetModel();
    if (!drive) return 0;
    std::vector<FileProperties> rows;
    int position = 0;
    bool failed = false;
    for (int guard = 0; guard < 128; ++guard) {
        const int fdr = drive->NextFdr(position);
        if (fdr < 0) {
            failed = true;
            break;
        }
        if (fdr == 0) break;
        if (!rows.empty() && AbortRequested(prompt, "Abort listing?")) break;
        FileProperties file;
        if (!drive->GetFileProperties(fdr, file)) {
            failed = true;
            break;
        }
        file.fdrSector = static_cast<uint16_t>(fdr);
        rows.push_back(std::move(file));
    }
    beginInsertRows({}, 0, static_cast<int>(rows.size()) - 1);
    m_rows = std::move(rows);
    endInsertRows();
    if (failed) prompt.Message(drive->ErrorText(), PromptIcon::Error);
    return static_cast<int>(m_rows.size());
}

void CCatalogModel::SortByColumn(int column) {
    if (column < 0 || column >= ColumnCount) return;
    const bool descending = ClickHeader(m_headers, column);
    emit headerDataChanged(Qt::Horizontal, 0, ColumnCount - 1);
    const bool numeric = column == Size || column == Fdr;
    std::vector<std::string> keys;
    for (const FileProperties& f : m_rows)
        keys.push_back(SortKey(Utf8ToCp1252(CellText(f, column).toStdString()), numeric));
    const std::vector<int> order = SortedOrder(keys, descending);
    emit layoutAboutToBeChanged();
    const QModelIndexList before = persistentIndexList();
    std::vector<int> newRowOf(m_rows.size());
    std::vector<FileProperties> sorted;
    for (size_t i = 0; i < order.size(); ++i) {
        newRowOf[static_cast<size_t>(order[i])] = static_cast<int>(i);
        sorted.push_back(std::move(m_rows[static_cast<size_t>(order[i])]));
    }
    m_rows = std::move(sorted);
    QModelIndexList after;
    for (const QModelIndex& i : before)
        after << index(newRowOf[static_cast<size_t>(i.row())], i.column());
    changePersistentIndexList(before, after);
    emit layoutChanged();
}

void CCatalogModel::Clear() {
    beginResetModel();
    m_drive = nullptr;
    m_rows.clear();
    endResetModel();
}

int CCatalogModel::FdrOfRow(int row) const {
    if (row < 0 || row >= static_cast<int>(m_rows.size())) return 0;
    return m_rows[row].fdrSector;
}

int CCatalogModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(m_rows.size());
}

int CCatalogModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : ColumnCount;
}

int CCatalogModel::IconIndex(uint8_t status, uint8_t recordLength) {
    switch (status & kTypeMask) {
        case kStatusProgram:
            return 0;
        case 0x00:
            return 1;
        case kStatusVariable:
            return 2;
        case kStatusInternal:
            return recordLength == 1 ? 5 : 3;
        case kStatusVariable | kStatusInternal:
            return recordLength == 1 ? 5 : 4;
        default:
            return 0;
    }
}

QString CCatalogModel::CellText(const FileProperties& f, int column) {
    switch (column) {
        case Name:
            return FromCp1252(std::string(f.name.begin(), f.name.end()));
        case Type:
            return FromCp1252(CatalogTypeText(f.status, f.recordLength));
        case Size:
            return QString::number(f.sectors);
        case Protected:
            return (f.status & kStatusProtected) ? QStringLiteral("P") : QStringLiteral(" ");
        case Created:
            return f.creationDate == 0 && f.creationTime == 0
                       ? QString()
                       : FromCp1252(DateText(f.creationDate, kDateOrder));
        case Modified:
            return f.updateDate == 0 && f.updateTime == 0
                       ? QString()
                       : FromCp1252(DateText(f.updateDate, kDateOrder));
        case Fdr:
            return QString::number(f.fdrSector);
        default:
            return {};
    }
}

QVariant CCatalogModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= static_cast<int>(m_rows.size())) return {};
    const FileProperties& f = m_rows[index.row()];
    if (role == Qt::DisplayRole) return CellText(f, index.column());
    if (role == Qt::EditRole && index.column() == Name) return CellText(f, Name).trimmed();
    if (role == Qt::DecorationRole && index.column() == Name)
        return CatalogIcon(IconIndex(f.status, f.recordLength));
    if (role == Qt::TextAlignmentRole && (index.column() == Size || index.column() == Fdr))
        return QVariant(Qt::AlignRight | Qt::AlignVCenter);
    return {};
}

Qt::ItemFlags CCatalogModel::flags(const QModelIndex& index) const {
    Qt::ItemFlags f = QAbstractTableModel::flags(index);
    if (index.isValid() && index.column() == Name && onRename) f |= Qt::ItemIsEditable;
    return f;
}

bool CCatalogModel::setData(const QModelIndex& index, const QVariant& value, int role) {
    if (role != Qt::EditRole || !index.isValid() || index.column() != Name || !onRename)
        return false;
    if (index.row() >= static_cast<int>(m_rows.size())) return false;
    const int fdr = m_rows[index.row()].fdrSector;
    // The handler lists the disk again, which replaces every row.
    return onRename(fdr, Utf8ToCp1252(value.toString().toStdString()));
}

QVariant CCatalogModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole) return {};
    return section >= 0 && section < ColumnCount ? QString::fromStdString(m_headers[section])
                                                 : QVariant();
}

}  // namespace tavik
