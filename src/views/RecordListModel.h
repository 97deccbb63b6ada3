// The rows of the catalog list in its database modes: disk records, file records, saved
// queries, parameters and free SQL results, in the columns of a display specification's column
// codes. The model adapts a CRecordPages: rows are read a page at a time as the view shows them,
// a header click sorts them in SQL (the selection moves with its rows), and edited cells are
// handed to a store function that writes them through the catalogue.
#pragma once

#include <QAbstractTableModel>
#include <functional>
#include <string>
#include <vector>

#include "app/Command.h"
#include "database/RecordPages.h"

namespace tavik {

class CRecordSet;
class CUserPrompt;

class CRecordListModel : public QAbstractTableModel {
    Q_OBJECT
public:
    struct Column {
        std::string caption;  // the header without a sort mark
        std::string column;   // the record set's column ("Last" for the caption "Last byte")
        int field = 0;        // field number among the list's captions (free SQL: the set's)
        int width = 0;        // pixels; 0: as wide as the header and the cells need
        int justification = 0;
        bool numeric = false;
    };

    explicit CRecordListModel(QObject* parent = nullptr);

    // Lists the rows of the set in the columns of the codes (ListMode other than DiskCatalog);
    // an engine error is shown through the prompt. Returns the row count.
    int Fill(ListMode mode, CRecordSet& set, const std::vector<uint32_t>& codes,
             CUserPrompt& prompt);
    void Clear();
    ListMode Mode() const { return m_mode; }

    // The list's captions for a mode (empty for free SQL results and the disk catalog).
    static const std::vector<std::string>& Captions(ListMode mode);
    // The table whose rows a mode lists ("" for free SQL results).
    static std::string Table(ListMode mode);
    // Whether a field may be edited in place: disk records "Drive", "Info1" to "Info3"; file
    // records "Info1" to "Info3"; saved queries "Comments"; parameters every field but "ID".
    // Disk and file records only while editing is unlocked.
    static bool FieldEditable(ListMode mode, int field, bool unlocked);
    void SetEditingUnlocked(bool unlocked) { m_unlocked = unlocked; }

    // The ID of a row's record (0 when the rows carry none).
    int RecordId(int row) const;
    int RowOfId(int id) const;
    const std::vector<Column>& Columns() const { return m_columns; }
    // Cell and header texts in the code page of the catalogue.
    std::string Cell(int row, int column) const;
    const std::string& Header(int column) const;
    // Pages of rows read from the catalogue since the list was filled.
    size_t PagesRead() const { return m_pages.PagesRead(); }

    // A click on a column's header: marks it and orders the rows by it; true when the order is
    // now descending. Header() keeps the mark, the shown header text does not.
    bool SortByColumn(int column);

    // Writes an edited cell: (record ID, column, new text); false leaves the cell as it was.
    std::function<bool(int id, const Column& column, const std::string& text)> store;

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role) override;

private:
    ListMode m_mode = ListMode::DiskRecords;
    std::vector<Column> m_columns;
    std::vector<std::string> m_headers;
    mutable CRecordPages m_pages;
    bool m_unlocked = false;
};

}  // namespace tavik
