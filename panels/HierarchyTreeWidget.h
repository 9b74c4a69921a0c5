#ifndef HIERARCHYTREEWIDGET_H
#define HIERARCHYTREEWIDGET_H

#include <QList>
#include <QTreeWidget>

// The Hierarchy dock's tree. It sets the selection of many rows in one
// step: row by row, every change compares the whole selection again, and
// selecting or deselecting the rows of 10,000 glyphs took many seconds.
class HierarchyTreeWidget : public QTreeWidget
{
public:
    explicit HierarchyTreeWidget(QWidget *parent = nullptr);
    ~HierarchyTreeWidget() override;

    // Makes exactly these rows selected, whole, in one change of the
    // selection; each run of neighbouring siblings becomes one range. Rows
    // outside the tree are skipped.
    void setSelectedRows(const QList<QTreeWidgetItem *> &rows);
};

#endif // HIERARCHYTREEWIDGET_H
