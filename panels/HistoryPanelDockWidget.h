#ifndef HISTORYPANELDOCKWIDGET_H
#define HISTORYPANELDOCKWIDGET_H

#include <QDockWidget>
#include <QList>

class Cmd;
class QAction;
class QListWidget;
class QListWidgetItem;
class QToolBar;

// The active document's undo history, one row per command, oldest first:
// done commands in black, undone ones (which redo brings back) in light
// grey, the last done one current. Undo and Redo buttons ask for one step;
// a click on a row asks for as many steps as make it the last done command.
// The panel changes nothing itself: the main window pushes the history in
// and turns the two signals into steps of the active document.
class HistoryPanelDockWidget : public QDockWidget
{
    Q_OBJECT
public:
    explicit HistoryPanelDockWidget(QWidget *parent = nullptr);
    ~HistoryPanelDockWidget() override;

    // Brings the rows in line with the history, in place (a row's text is
    // written only where it differs, rows are added and removed at the end)
    // and makes row doneCount - 1 current. Emits nothing.
    void setHistory(const QList<Cmd *> &history, int doneCount);
    // Removes every row.
    void clear();

signals:
    void undoTriggered(int steps);
    void redoTriggered(int steps);

public slots:
    void OnHistoryUndoRedo(QAction *action);
    void OnHistorySelection(QListWidgetItem *item);

private:
    QListWidget *listWidget;
    QToolBar *toolBar;
    QAction *undoAction;
    QAction *redoAction;
};

#endif // HISTORYPANELDOCKWIDGET_H
