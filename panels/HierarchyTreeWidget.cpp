#include "panels/HierarchyTreeWidget.h"

#include <QItemSelection>

HierarchyTreeWidget::HierarchyTreeWidget(QWidget *parent)
    : QTreeWidget(parent)
{
}

HierarchyTreeWidget::~HierarchyTreeWidget() = default;

void HierarchyTreeWidget::setSelectedRows(const QList<QTreeWidgetItem *> &rows)
{
    // The ranges span every column already: asking the selection model to
    // widen them to rows would merge each range into all the ones before.
    const int lastColumn = columnCount() - 1;
    QItemSelection selection;
    for (QTreeWidgetItem *row : rows) {
        const QModelIndex first = indexFromItem(row, 0);
        if (!first.isValid())
            continue;
        const QModelIndex last = indexFromItem(row, lastColumn);
        if (!selection.isEmpty()) {
            QItemSelectionRange &run = selection.last();
            if (run.bottom() + 1 == first.row() && run.parent() == first.parent()) {
                run = QItemSelectionRange(run.topLeft(), last);
                continue;
            }
        }
        selection.append(QItemSelectionRange(first, last));
    }
    // Starting afresh keeps the comparison of the old and the new selection
    // linear: a partial change would be split against every range.
    selectionModel()->select(selection, QItemSelectionModel::ClearAndSelect);
}
