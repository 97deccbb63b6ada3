// The drive tree's model as a Qt item model: it shows the Qt-free CTreeModel and passes its
// before/after notifications on as Qt's begin/end pairs. Item texts are code page 1252 in the
// core and converted here.
#pragma once

#include <QAbstractItemModel>

#include <functional>

#include "app/DiskLabels.h"
#include "app/TreeModel.h"

namespace tavik {

class CTreeItemModel : public QAbstractItemModel, public CTreeObserver {
    Q_OBJECT
public:
    explicit CTreeItemModel(CTreeModel& tree, QObject* parent = nullptr);
    ~CTreeItemModel() override;

    CTreeModel& Tree() const { return m_tree; }
    CTreeItem* ItemOf(const QModelIndex& index) const;
    QModelIndex IndexOf(const CTreeItem* item) const;

    QModelIndex index(int row, int column, const QModelIndex& parent = {}) const override;
    QModelIndex parent(const QModelIndex& child) const override;
    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    // A non-empty new text becomes the item's text and its node's label; an empty one is ignored.
    bool setData(const QModelIndex& index, const QVariant& value, int role) override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

    // Whether an image whose disk name another image shares shows its PC file's name too.
    std::function<bool()> fileNamesOnClash;
    // Shows every label again (after the option changed).
    void RefreshLabels();

signals:
    void ExpandIndex(const QModelIndex& index);

private:
    void AboutToInsert(CTreeItem* parent, int row) override;
    void Inserted(CTreeItem* parent, int row) override;
    void AboutToRemove(CTreeItem* item) override;
    void Removed(CTreeItem* parent, int row) override;
    void AboutToMove(CTreeItem* item, CTreeItem* destination, int destinationRow) override;
    void Moved(CTreeItem* item) override;
    void AboutToReorder(CTreeItem* parent) override;
    void Reordered(CTreeItem* parent) override;
    void Changed(CTreeItem* item) override;
    void ExpandRequested(CTreeItem* item) override;

    // The image names are counted again when a label is next shown after the tree changed.
    const CDiskNameClashes& Clashes() const;
    void ImagesCameOrWent();

    CTreeModel& m_tree;
    mutable CDiskNameClashes m_clashes;
    mutable bool m_clashesCounted = false;
    bool m_removingImages = false;
    bool m_moveAsLayout = false;
    QModelIndexList m_reorderIndexes;
    std::vector<CTreeItem*> m_reorderItems;
};

}  // namespace tavik
