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

const std::string kEmpty;

}  // namespace

CRecordListModel::CRecordListModel(QObject* parent) : CSortableTableModel(parent) {}

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
    // The rows are read before the model changes, so that the events let through by the abort
    // poll never find it half filled.
    std::vector<Row> rows;
    const int idPosition = freeSql ? -1 : set.FieldIndex("ID");
    if (set.IsOpen() && set.MoveFirst()) {
        const long total = set.GetRecordCount();
        for (long n = 0; !set.IsEOF(); set.MoveNext(), ++n) {
            if (n > 0 && n % kPollEvery == 0) {
                prompt.Progress("Listing records", static_cast<int>(n), static_cast<int>(total));
                if (AbortRequested(prompt, "Abort listing?")) break;
            }
            Row row;
            if (idPosition >= 0) {
                // A row deleted since the set was opened reads as nulls: it is gone.
                const CDbValue id = set.GetFieldValue(idPosition);
                if (id.IsNull()) continue;
                row.id = static_cast<int>(id.AsInteger());
            }
            row.cells.reserve(positions.size());
            for (int p : positions)
                row.cells.push_back(ValueToText(set.GetFieldValue(p), set.GetFieldInfo(p).type));
            rows.push_back(std::move(row));
        }
    }
    beginResetModel();
    m_mode = mode;
    m_columns = std::move(columns);
    m_headers = std::move(headers);
    m_rows = std::move(rows);
    endResetModel();
    return static_cast<int>(m_rows.size());
}

void CRecordListModel::Clear() {
    beginResetModel();
    m_columns.clear();
    m_headers.clear();
    m_rows.clear();
    endResetModel();
}

int CRecordListModel::RecordId(int row) const {
    if (row < 0 || row >= static_cast<int>(m_rows.size())) return 0;
    return m_rows[static_cast<size_t>(row)].id;
}

int CRecordListModel::RowOfId(int id) const {
    for (size_t r = 0; r < m_rows.size(); ++r)
        if (m_rows[r].id == id) return static_cast<int>(r);
    return -1;
}

const std::string& CRecordListModel::Cell(int row, int column) const {
    if (row < 0 || row >= static_cast<int>(m_rows.size()) || column < 0 ||
        column >= static_cast<int>(m_columns.size()))
        return kEmpty;
    return m_rows[static_cast<size_t>(row)].cells[static_cast<size_t>(column)];
}

const std::string& CRecordListModel::Header(int column) const {
    if (column < 0 || column >= static_cast<int>(m_headers.size())) return kEmpty;
    return m_headers[static_cast<size_t>(column)];
}

void CRecordListModel::SortByColumn(int column) {
    if (column < 0 || column >= static_cast<int>(m_columns.size())) return;
    const bool descending = ClickHeader(m_headers, column);
    emit headerDataChanged(Qt::Horizontal, 0, static_cast<int>(m_columns.size()) - 1);
    std::vector<std::string> keys;
    keys.reserve(m_rows.size());
    const bool numeric = m_columns[static_cast<size_t>(column)].numeric;
    for (const Row& r : m_rows)
        keys.push_back(SortKey(r.cells[static_cast<size_t>(column)], numeric));
    const std::vector<int> order = SortedOrder(keys, descending);
    Reorder(m_rows, order);
}

int CRecordListModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(m_rows.size());
}

int CRecordListModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(m_columns.size());
}

QVariant CRecordListModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= static_cast<int>(m_rows.size()) ||
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
    if (role == Qt::DisplayRole) return Q(m_headers[static_cast<size_t>(section)]);
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
    Row& row = m_rows[static_cast<size_t>(index.row())];
    const std::string text = S(value.toString());
    std::string& cell = row.cells[static_cast<size_t>(index.column())];
    if (text == cell) return false;
    if (!store || !store(row.id, m_columns[static_cast<size_t>(index.column())], text))
        return false;
    cell = text;
    emit dataChanged(index, index);
    return true;
}

}  // namespace tavik
