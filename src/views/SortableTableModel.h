// A table model whose rows a header click puts in a new order: the rows move, and every
// persistent index (the selection, the current row) moves with its row.
#pragma once

#include <QAbstractTableModel>
#include <vector>

namespace tavik {

class CSortableTableModel : public QAbstractTableModel {
public:
    using QAbstractTableModel::QAbstractTableModel;

protected:
    // order[i] is the old index of the row that becomes row i.
    template <class Row>
    void Reorder(std::vector<Row>& rows, const std::vector<int>& order) {
        emit layoutAboutToBeChanged();
        const QModelIndexList before = persistentIndexList();
        std::vector<int> newRowOf(rows.size());
        std::vector<Row> sorted;
        sorted.reserve(rows.size());
        for (size_t i = 0; i < order.size(); ++i) {
            newRowOf[static_cast<size_t>(order[i])] = static_cast<int>(i);
            sorted.push_back(std::move(rows[static_cast<size_t>(order[i])]));
        }
        rows = std::move(sorted);
        QModelIndexList after;
        for (const QModelIndex& i : before)
            after << index(newRowOf[static_cast<size_t>(i.row())], i.column());
        changePersistentIndexList(before, after);
        emit layoutChanged();
    }
};

}  // namespace tavik
