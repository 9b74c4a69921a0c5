#ifndef HIERARCHYTREEWIDGET_H
#define HIERARCHYTREEWIDGET_H

#include <QTreeWidget>
#include <QVector>

// The Hierarchy dock's tree, refreshed as a whole. A refresh may change the
// tint, icons and selection of every row at once; Qt's tree widget handles
// such changes row by row, and several of its steps cost as much as all
// rows together, so refreshing many rows took time growing with their
// square:
// - the model looks a changed row up among its siblings, from the end for a
//   row not looked up before, and the view among all the rows it shows
//   (all of them, for a row under a closed one);
// - the view works out the screen region of every selected range that
//   changed, looking it up the same way, and the selection model compares
//   new ranges with old ones pair by pair;
// - an insertion or removal of rows goes over every selected range.
// So a refresh runs between beginRefresh and endRefresh. Rows are added
// through appendRow, filled before they enter the tree and looked up once
// while they are the last of their siblings, and removed through
// removeRows; both drop the selection first.
// Values are written to the rows as usual, but the view takes no row on its
// own: it lays out and repaints once at the end. The rows to select are
// named by their place in the tree (keepSelected) and selected together at
// the end, from none.
class HierarchyTreeWidget : public QTreeWidget
{
public:
    explicit HierarchyTreeWidget(QWidget *parent = nullptr);
    ~HierarchyTreeWidget() override;

    void beginRefresh();
    // A new empty row after the last child of parent (null: at the top
    // level). It enters the tree when the next row is appended, anywhere,
    // or at the end of the refresh: its own values are written before, and
    // its children after.
    QTreeWidgetItem *appendRow(QTreeWidgetItem *parent);
    // Destroys the children of parent (null: the top-level rows) from
    // position count on.
    void removeRows(QTreeWidgetItem *parent, int count);
    // Clears the selection for the rest of the refresh. Called before a
    // selected row stops being selectable: the tree passes over such rows
    // when it deselects.
    void dropSelection();
    // Whether the row is to be selected, given with its path: its position
    // under each of its ancestors from the top level down, depth entries.
    // Rows not named end unselected.
    void keepSelected(QTreeWidgetItem *row, bool selected, const int *path, int depth);
    // Selects the rows named, when the selection differs, and lays out and
    // repaints what changed. Returns the selected rows as selectedItems
    // gives them.
    QList<QTreeWidgetItem *> endRefresh();

protected:
    void dataChanged(const QModelIndex &topLeft, const QModelIndex &bottomRight, const QVector<int> &roles) override;
    void rowsInserted(const QModelIndex &parent, int start, int end) override;
    void selectionChanged(const QItemSelection &selected, const QItemSelection &deselected) override;

private:
    void insertNewRow();
    void selectKeptRows();

    bool refreshing = false;
    bool rowsChanged = false;
    bool selectionDropped = false;
    bool selectionDiffers = false;
    // The rows to select, and each one's depth followed by its path.
    QList<QTreeWidgetItem *> keptRows;
    QVector<int> keptPaths;
    // The row appendRow gave last, while it waits to enter the tree.
    QTreeWidgetItem *newRow = nullptr;
    QTreeWidgetItem *newRowParent = nullptr;
};

#endif // HIERARCHYTREEWIDGET_H
