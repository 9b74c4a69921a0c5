#include "panels/HierarchyTreeWidget.h"

#include <QItemSelection>

namespace {

// Up to this many changed ranges the view repaints the region of each.
constexpr int RegionRanges = 16;

} // namespace

HierarchyTreeWidget::HierarchyTreeWidget(QWidget *parent)
    : QTreeWidget(parent)
{
}

HierarchyTreeWidget::~HierarchyTreeWidget() = default;

void HierarchyTreeWidget::beginRefresh()
{
    refreshing = true;
    rowsChanged = false;
    selectionDropped = false;
    selectionDiffers = false;
    keptRows.clear();
    keptPaths.clear();
}

QTreeWidgetItem *HierarchyTreeWidget::appendRow(QTreeWidgetItem *parent)
{
    insertNewRow();
    dropSelection();
    newRow = new QTreeWidgetItem(QStringList(QString()));
    newRowParent = parent ? parent : invisibleRootItem();
    return newRow;
}

void HierarchyTreeWidget::insertNewRow()
{
    if (!newRow)
        return;
    newRowParent->addChild(newRow);
    // Looked up once while it is the last of its siblings, the row is found
    // at once by every later lookup; the first lookup of a row searches its
    // siblings from the end.
    indexFromItem(newRow);
    newRow = nullptr;
}

void HierarchyTreeWidget::removeRows(QTreeWidgetItem *parent, int count)
{
    QTreeWidgetItem *rows = parent ? parent : invisibleRootItem();
    if (rows->childCount() <= count)
        return;
    dropSelection();
    rowsChanged = true;
    if (count == 0) {
        qDeleteAll(rows->takeChildren());
        return;
    }
    for (int k = rows->childCount(); k > count; --k)
        delete rows->takeChild(k - 1);
}

void HierarchyTreeWidget::dropSelection()
{
    if (selectionDropped)
        return;
    selectionDropped = true;
    if (selectionModel()->hasSelection()) {
        selectionModel()->clearSelection();
        selectionDiffers = true;
    }
}

void HierarchyTreeWidget::keepSelected(QTreeWidgetItem *row, bool selected, const int *path, int depth)
{
    if (selected) {
        keptRows.append(row);
        keptPaths.append(depth);
        for (int d = 0; d < depth; ++d)
            keptPaths.append(path[d]);
    }
    if (selected != row->isSelected())
        selectionDiffers = true;
}

QList<QTreeWidgetItem *> HierarchyTreeWidget::endRefresh()
{
    insertNewRow();
    if (selectionDiffers)
        selectKeptRows();
    refreshing = false;
    // The rows changed unseen: the view lays them out again now, and paints
    // once.
    if (rowsChanged)
        scheduleDelayedItemsLayout();
    executeDelayedItemsLayout();
    if (rowsChanged)
        viewport()->update();
    keptPaths.clear();
    QList<QTreeWidgetItem *> selected;
    // The selection model lists the rows of each of its ranges in turn: the
    // ranges just set are the runs of the rows named, in their order.
    selected.swap(keptRows);
    return selectionDiffers ? selected : selectedItems();
}

void HierarchyTreeWidget::selectKeptRows()
{
    // Each run of neighbouring siblings becomes one range over every column;
    // the indexes are made from the rows' paths, not looked up.
    QAbstractItemModel *rows = model();
    const int lastColumn = columnCount() - 1;
    QItemSelection selection;
    QModelIndex runParent;
    int runTop = -1;
    int runBottom = -1;
    const auto closeRun = [&] {
        if (runTop >= 0)
            selection.append(QItemSelectionRange(rows->index(runTop, 0, runParent), rows->index(runBottom, lastColumn, runParent)));
    };
    for (int at = 0; at < keptPaths.size();) {
        const int depth = keptPaths.at(at);
        const int *path = keptPaths.constData() + at + 1;
        at += 1 + depth;
        QModelIndex parent;
        for (int d = 0; d + 1 < depth; ++d)
            parent = rows->index(path[d], 0, parent);
        const int row = path[depth - 1];
        if (runTop >= 0 && row == runBottom + 1 && parent == runParent) {
            runBottom = row;
            continue;
        }
        closeRun();
        runParent = parent;
        runTop = runBottom = row;
    }
    closeRun();
    // From none: a change from one selection to another compares their
    // ranges pair by pair.
    if (selectionModel()->hasSelection())
        selectionModel()->clearSelection();
    selectionModel()->select(selection, QItemSelectionModel::Select);
}

void HierarchyTreeWidget::dataChanged(const QModelIndex &topLeft, const QModelIndex &bottomRight, const QVector<int> &roles)
{
    // The view would look the row up among the rows it shows; the refresh
    // lays them out and repaints them once instead.
    if (refreshing) {
        rowsChanged = true;
        return;
    }
    QTreeWidget::dataChanged(topLeft, bottomRight, roles);
}

void HierarchyTreeWidget::rowsInserted(const QModelIndex &parent, int start, int end)
{
    // With a layout pending, the view does not look for the parent among
    // the rows it shows.
    if (refreshing) {
        scheduleDelayedItemsLayout();
        rowsChanged = true;
    }
    QTreeWidget::rowsInserted(parent, start, end);
}

void HierarchyTreeWidget::selectionChanged(const QItemSelection &selected, const QItemSelection &deselected)
{
    // The view works out the region of every range that changed, looking
    // each one up among all the rows it shows. For the many ranges of a
    // refresh, or of a click that ends a large selection, it repaints the
    // whole viewport instead.
    if (refreshing || selected.size() + deselected.size() > RegionRanges) {
        viewport()->update();
        return;
    }
    QTreeWidget::selectionChanged(selected, deselected);
}
