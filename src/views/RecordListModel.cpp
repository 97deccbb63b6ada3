#include "views/RecordListModel.h"

#include "app/ListSort.h"
#include "base/UserPrompt.h"
#include "database/DisplaySpec.h"
#include "database/RecordSet.h"
#include "database/query/CatalogueExport.h"
#include "qt/QtText.h"

namespace tavik {

namespace {

bool IsNumber(DbType type) {
    return type == DbType::Byte || type == DbType::Short || type == DbType::Long;
}

}  // namespace

CRecordListModel::CRecordListModel(QObject* parent) : QAbstractTableModel(parent) {}

const std::vector<std::string>& CRecordListModel::Captions(ListMode mode) {
    static const std::vector<std::string> none;
    switch (mode) {
        case ListMode::DiskRecords:
            return ListCaptions(ListKind::DiskQuery);
        case ListMode::FileRecords:
            return ListCaptions(ListKind::FileQuery);
        case ListMode::SavedQueries:
            return ListCaptions(ListKind::QueryList);
        case ListMode::Parameters:
            return ListCaptions(ListKind::ParamList);
        default:
            return none;
    }
}

std::string CRecordListModel::Table(ListMode mode) {
    switch (mode) {
        case ListMode::DiskRecords:
            return "Disks";
        case ListMode::FileRecords:
            return "Files";
        case ListMode::SavedQueries:
            return "Queries";
        case ListMode::Parameters:
            return "Params";
        default:
            return {};
    }
}

bool CRecordListModel::FieldEditable(ListMode mode, int field, bool unlocked) {
    switch (mode) {
        case ListMode::DiskRecords:
            return unlocked && field >= 17;
        case ListMode::FileRecords:
            return unlocked && field >= 14;
        case ListMode::SavedQueries:
            return field == 11;
        case ListMode::Parameters:
            return field != 1;
        default:
            return false;
    }
}

int CRecordListModel::Fill(ListMode mode, CRecordSet& set, const std::vector<uint32_t>& codes,
                           CUserPrompt& prompt) {
    const bool freeSql = mode == ListMode::SqlResults;
    const std::vector<ExportColumn>& names = ExportColumns(Table(mode));
    std::vector<Column> columns;
    std::vector<std::string> headers;
    std::vector<int> positions;
    for (uint32_t code : codes) {
        Column c;
        c.field = CodeField(code);
        if (freeSql) {
            if (c.field >= set.GetFieldCount()) continue;
            c.caption = c.column = set.GetFieldInfo(c.field).name;
        } else {
            if (c.field >= static_cast<int>(names.size())) continue;
            c.caption = names[static_cast<size_t>(c.field)].caption;
            c.column = names[static_cast<size_t>(c.field)].column;
        }
        const int position = freeSql ? c.field : set.FieldIndex(c.column);
        if (position < 0) continue;
        c.width = CodeWidth(code);
        c.justification = CodeJustification(code);
        c.numeric = IsNumber(set.GetFieldInfo(position).type);
        positions.push_back(position);
        headers.push_back(c.caption);
        columns.push_back(std::move(c));
    }
    CRecordPages pages;
    if (!pages.Open(set, positions) && set.Database())
        prompt.Message(set.Database()->ErrorText(), PromptIcon::Error);
    beginResetModel();
    m_mode = mode;
    m_columns = std::move(columns);
    m_headers = std::move(headers);
    m_pages = std::move(pages);
    endResetModel();
    return rowCount();
}

void CRecordListModel::Clear() {
    beginResetModel();
    m_columns.clear();
    m_headers.clear();
    m_pages.Clear();
    endResetModel();
}

int CRecordListModel::RecordId(int row) const {
    return row < 0 ? 0 : static_cast<int>(m_pages.RecordId(static_cast<size_t>(row)));
}

int CRecordListModel::RowOfId(int id) const {
    return static_cast<int>(m_pages.RowOfId(id));
}

std::string CRecordListModel::Cell(int row, int column) const {
    if (row < 0 || column < 0) return {};
    return m_pages.Cell(static_cast<size_t>(row), static_cast<size_t>(column));
}

const std::string& CRecordListModel::Header(int column) const {
    static const std::string kNone;
    if (column < 0 || column >= static_cast<int>(m_headers.size())) return kNone;
    return m_headers[static_cast<size_t>(column)];
}

// The rows are put in order in the catalogue; the selection and the current row move with their
// records.
bool CRecordListModel::SortByColumn(int column) {
    if (column < 0 || column >= static_cast<int>(m_columns.size())) return false;
    const bool descending = ClickHeader(m_headers, column);
    emit headerDataChanged(Qt::Horizontal, 0, static_cast<int>(m_columns.size()) - 1);
    emit layoutAboutToBeChanged();
    const QModelIndexList before = persistentIndexList();
    std::vector<int64_t> ids;
    for (const QModelIndex& i : before)
        ids.push_back(m_pages.RecordId(static_cast<size_t>(i.row())));
    m_pages.SortBy(static_cast<size_t>(column), descending);
    QModelIndexList after;
    for (int k = 0; k < before.size(); ++k) {
        const long row = m_pages.RowOfId(ids[static_cast<size_t>(k)]);
        after << (row < 0 ? QModelIndex() : index(static_cast<int>(row), before[k].column()));
    }
    changePersistentIndexList(before, after);
    emit layoutChanged();
    return descending;
}

int CRecordListModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(m_pages.RowCount());
}

int CRecordListModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(m_columns.size());
}

QVariant CRecordListModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= rowCount() ||
        index.column() >= static_cast<int>(m_columns.size()))
        return {};
    if (role == Qt::DisplayRole || role == Qt::EditRole)
        return Q(Cell(index.row(), index.column()));
    if (role == Qt::TextAlignmentRole) {
        switch (m_columns[static_cast<size_t>(index.column())].justification) {
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

QVariant CRecordListModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || section < 0 ||
        section >= static_cast<int>(m_columns.size()))
        return {};
    if (role == Qt::DisplayRole)
        return Q(HeaderWithoutMark(m_headers[static_cast<size_t>(section)]));
    if (role == Qt::TextAlignmentRole) return data(index(0, section), role);
    return {};
}

Qt::ItemFlags CRecordListModel::flags(const QModelIndex& index) const {
    Qt::ItemFlags f = QAbstractTableModel::flags(index);
    if (index.isValid() && index.column() < static_cast<int>(m_columns.size()) &&
        FieldEditable(m_mode, m_columns[static_cast<size_t>(index.column())].field, m_unlocked))
        f |= Qt::ItemIsEditable;
    return f;
}

bool CRecordListModel::setData(const QModelIndex& index, const QVariant& value, int role) {
    if (role != Qt::EditRole || !(flags(index) & Qt::ItemIsEditable)) return false;
    const int id = RecordId(index.row());
    const std::string text = S(value.toString());
    if (text == Cell(index.row(), index.column())) return false;
    if (!store || !store(id, m_columns[static_cast<size_t>(index.column())], text)) return false;
    m_pages.Forget(id);
    emit dataChanged(this->index(index.row(), 0), this->index(index.row(), columnCount() - 1));
    return true;
}

}  // namespace tavik
