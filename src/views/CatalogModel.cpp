#include "views/CatalogModel.h"

#include "app/ListSort.h"
#include "base/UserPrompt.h"
#include "database/DisplaySpec.h"
#include "disk/Catalog.h"
#include "disk/TiDateTime.h"
#include "disk/VirtualDrive.h"
#include "qt/Icons.h"
#include "qt/QtText.h"

namespace tavik {

namespace {

constexpr int kDateOrder = 5;  // four-digit year first, so that the text sorts by date

}  // namespace

// Until a specification is set: the columns of the default one.
const uint32_t kDefaultColumns[] = {
    ColumnCode(CCatalogModel::FileName, 100, JustifyDefault),
    ColumnCode(CCatalogModel::TypeField, 50, JustifyDefault),
    ColumnCode(CCatalogModel::SizeField, 45, JustifyRight),
    ColumnCode(CCatalogModel::ProtectedField, 60, JustifyDefault),
    ColumnCode(CCatalogModel::CreationDate, 95, JustifyDefault),
    ColumnCode(CCatalogModel::ModificationDate, 110, JustifyDefault),
    ColumnCode(CCatalogModel::FdrField, 45, JustifyRight)};

CCatalogModel::CCatalogModel(QObject* parent)
    : CSortableTableModel(parent),
      m_columns(std::begin(kDefaultColumns), std::end(kDefaultColumns)) {
    ResetHeaders();
}

void CCatalogModel::ResetHeaders() {
    const std::vector<std::string>& captions = ListCaptions(ListKind::DiskCatalog);
    m_headers.clear();
    for (uint32_t code : m_columns) {
        const auto field = static_cast<size_t>(CodeField(code));
        m_headers.push_back(field < captions.size() ? captions[field] : std::string());
    }
}

void CCatalogModel::SetSpecification(const std::string& spec, const std::vector<uint16_t>& sizes) {
    std::vector<uint32_t> columns =
        BuildColumns(spec, ListCaptions(ListKind::DiskCatalog), sizes, false);
    std::erase_if(columns, [](uint32_t code) { return CodeField(code) >= FieldCount; });
    if (columns.empty()) return;
    beginResetModel();
    m_columns = std::move(columns);
    ResetHeaders();
    endResetModel();
}

int CCatalogModel::FieldOfColumn(int column) const {
    if (column < 0 || column >= static_cast<int>(m_columns.size())) return -1;
    return CodeField(m_columns[static_cast<size_t>(column)]);
}

bool CCatalogModel::IsNumericField(int field) {
    switch (field) {
        case SizeField:
        case Records:
        case LastByte:
        case RecordsPerSector:
        case Clusters:
        case FdrField:
            return true;
        default:
            return false;
    }
}

int CCatalogModel::ListDisk(CVirtualDrive* drive, CUserPrompt& prompt) {
    beginResetModel();
    m_drive = drive;
    m_rows.clear();
    ResetHeaders();
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

bool CCatalogModel::SortByColumn(int column) {
    const int field = FieldOfColumn(column);
    if (field < 0) return false;
    const bool descending = ClickHeader(m_headers, column);
    emit headerDataChanged(Qt::Horizontal, 0, columnCount() - 1);
    const bool numeric = IsNumericField(field);
    std::vector<std::string> keys;
    for (const FileProperties& f : m_rows)
        keys.push_back(SortKey(S(CellText(f, field)), numeric));
    const std::vector<int> order = SortedOrder(keys, descending);
    Reorder(m_rows, order);
    return descending;
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
    return parent.isValid() ? 0 : static_cast<int>(m_columns.size());
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

QString CCatalogModel::CellText(const FileProperties& f, int field) {
    const auto date = [](uint16_t day, uint16_t time) {
        return day == 0 && time == 0 ? QString() : Q(DateText(day, kDateOrder));
    };
    const auto clock = [](uint16_t day, uint16_t time) {
        return day == 0 && time == 0 ? QString() : Q(TimeText(time, true));
    };
    switch (field) {
        case FileName:
            return Q(std::string(f.name.begin(), f.name.end()));
        case TypeField:
            return Q(CatalogTypeText(f.status, f.recordLength));
        case SizeField:
            return QString::number(f.sectors);
        case Records:
            return QString::number(f.records);
        case LastByte:
            return QString::number(f.eofOffset);
        case RecordsPerSector:
            return QString::number(f.recordsPerSector);
        case ProtectedField:
            return (f.status & kStatusProtected) ? QStringLiteral("P") : QStringLiteral(" ");
        case Clusters:
            return QString::number(f.clusters.size());
        case CreationDate:
            return date(f.creationDate, f.creationTime);
        case CreationTime:
            return clock(f.creationDate, f.creationTime);
        case ModificationDate:
            return date(f.updateDate, f.updateTime);
        case ModificationTime:
            return clock(f.updateDate, f.updateTime);
        case FdrField:
            return QString::number(f.fdrSector);
        default:
            return {};
    }
}

QVariant CCatalogModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= static_cast<int>(m_rows.size())) return {};
    const FileProperties& f = m_rows[static_cast<size_t>(index.row())];
    const int field = FieldOfColumn(index.column());
    if (role == Qt::DisplayRole) return CellText(f, field);
    if (role == Qt::EditRole && field == FileName) return CellText(f, field).trimmed();
    if (role == Qt::DecorationRole && index.column() == 0)
        return CatalogIcon(IconIndex(f.status, f.recordLength));
    if (role == Qt::TextAlignmentRole) {
        switch (CodeJustification(m_columns[static_cast<size_t>(index.column())])) {
            case JustifyRight:
                return QVariant(Qt::AlignRight | Qt::AlignVCenter);
            case JustifyCenter:
                return QVariant(Qt::AlignHCenter | Qt::AlignVCenter);
            default:
                return QVariant(Qt::AlignLeft | Qt::AlignVCenter);
        }
    }
    return {};
}

Qt::ItemFlags CCatalogModel::flags(const QModelIndex& index) const {
    Qt::ItemFlags f = QAbstractTableModel::flags(index);
    if (index.isValid() && FieldOfColumn(index.column()) == FileName && onRename)
        f |= Qt::ItemIsEditable;
    if (index.isValid()) f |= Qt::ItemIsDragEnabled;  // rows are dragged as their files
    return f;
}

bool CCatalogModel::setData(const QModelIndex& index, const QVariant& value, int role) {
    if (role != Qt::EditRole || !index.isValid() || FieldOfColumn(index.column()) != FileName ||
        !onRename)
        return false;
    if (index.row() >= static_cast<int>(m_rows.size())) return false;
    const int fdr = m_rows[index.row()].fdrSector;
    // The handler lists the disk again, which replaces every row.
    return onRename(fdr, S(value.toString()));
}

QVariant CCatalogModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole) return {};
    return section >= 0 && section < static_cast<int>(m_headers.size())
               ? QString::fromStdString(HeaderWithoutMark(m_headers[static_cast<size_t>(section)]))
               : QVariant();
}

}  // namespace tavik
