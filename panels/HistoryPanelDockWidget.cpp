#include "panels/HistoryPanelDockWidget.h"

#include "commands/Cmd.h"
#include "model/QVorrelScene.h"
#include "panels/ActiveScene.h"

#include <QAction>
#include <QListWidget>
#include <QSignalBlocker>
#include <QToolBar>
#include <QVBoxLayout>

namespace {

QAction *makeAction(const QString &name, const QString &tip, const QString &icon, QObject *owner)
{
    QAction *action = new QAction(QIcon(icon), name, owner);
    action->setObjectName(name);
    action->setStatusTip(tip);
    return action;
}

void showRow(QListWidgetItem *item, const QString &text, bool done)
{
    static const QVariant black = QBrush(Qt::black);
    static const QVariant grey = QBrush(Qt::lightGray);
    // The item skips a text or a colour it already shows.
    item->setText(text);
    item->setData(Qt::ForegroundRole, done ? black : grey);
}

} // namespace

HistoryPanelDockWidget::HistoryPanelDockWidget(QWidget *parent)
    : QDockWidget(parent)
{
    if (objectName().isEmpty())
        setObjectName(QStringLiteral("HistoryPanelDockWidget"));
    resize(200, 317);
    setWindowTitle(tr("History"));

    QWidget *container = new QWidget;
    listWidget = new QListWidget;
    listWidget->setSelectionMode(QAbstractItemView::SingleSelection);
    toolBar = new QToolBar;
    undoAction = makeAction(QStringLiteral("Undo"), QStringLiteral("Undo Last Action"),
                            QStringLiteral(":/res/icon/HistoryWidget/png/undo.png"), this);
    redoAction = makeAction(QStringLiteral("Redo"), QStringLiteral("Redo Last Action"),
                            QStringLiteral(":/res/icon/HistoryWidget/png/redo.png"), this);
    toolBar->addAction(undoAction);
    toolBar->addSeparator();
    toolBar->addAction(redoAction);
    QVBoxLayout *layout = new QVBoxLayout(container);
    layout->addWidget(toolBar);
    layout->addWidget(listWidget);
    setWidget(container);

    connect(toolBar, &QToolBar::actionTriggered, this, &HistoryPanelDockWidget::OnHistoryUndoRedo);
    connect(listWidget, &QListWidget::itemClicked, this, &HistoryPanelDockWidget::OnHistorySelection);
}

HistoryPanelDockWidget::~HistoryPanelDockWidget() = default;

void HistoryPanelDockWidget::setHistory(const QList<Cmd *> &history, int doneCount)
{
    const QSignalBlocker blocker(listWidget);
    const int n = history.size();
    const int rows = listWidget->count();
    for (int i = 0; i < rows && i < n; ++i)
        showRow(listWidget->item(i), history.at(i)->text(), i < doneCount);
    for (int i = rows; i < n; ++i) {
        QListWidgetItem *item = new QListWidgetItem;
        showRow(item, history.at(i)->text(), i < doneCount);
        listWidget->addItem(item);
    }
    while (listWidget->count() > n)
        delete listWidget->takeItem(listWidget->count() - 1);
    if (doneCount > 0 && doneCount <= n) {
        listWidget->setCurrentRow(doneCount - 1);
    } else {
        listWidget->setCurrentRow(-1);
        listWidget->clearSelection();
    }
}

void HistoryPanelDockWidget::clear()
{
    const QSignalBlocker blocker(listWidget);
    listWidget->clear();
}

void HistoryPanelDockWidget::OnHistoryUndoRedo(QAction *action)
{
    const QString name = action->objectName();
    if (name == QLatin1String("Undo"))
        emit undoTriggered(1);
    else if (name == QLatin1String("Redo"))
        emit redoTriggered(1);
}

void HistoryPanelDockWidget::OnHistorySelection(QListWidgetItem *)
{
    const QVorrelScene *scene = ActiveScene::get();
    const int row = listWidget->currentRow();
    if (!scene || row < 0)
        return;
    const int steps = scene->historyIndex() - 1 - row;
    if (steps > 0)
        emit undoTriggered(steps);
    else if (steps < 0)
        emit redoTriggered(-steps);
}
