#include "commands/Cmd.h"
#include "model/QVorrelScene.h"
#include "panels/ActiveScene.h"
#include "panels/HistoryPanelDockWidget.h"

#include <QAction>
#include <QListWidget>
#include <QToolBar>
#include <QtTest>

namespace {

class NamedCmd : public Cmd
{
public:
    using Cmd::Cmd;
    CmdResult execute() override { return CmdResult(true, false); }
    CmdResult undo() override { return CmdResult(true, false); }
};

} // namespace

class TstHistoryDock : public QObject
{
    Q_OBJECT
private slots:
    void rowsAndClicks_data();
    void rowsAndClicks();
};

void TstHistoryDock::rowsAndClicks_data()
{
    QTest::addColumn<int>("undone");     // of the five steps A to E
    QTest::addColumn<QString>("edit");   // a new step after the undos, dropping the undone ones
    QTest::addColumn<QString>("rows");   // b black, g light grey; @ current row, # selected row
    QTest::addColumn<QString>("target"); // a row or a button
    QTest::addColumn<QString>("signal");
    QTest::newRow("all done, three rows back") << 0 << "" << "Ab Bb Cb Db Eb @4 #4" << "1" << "undo 3";
    QTest::newRow("last done row") << 0 << "" << "Ab Bb Cb Db Eb @4 #4" << "4" << "";
    QTest::newRow("forward") << 4 << "" << "Ab Bg Cg Dg Eg @0 #0" << "3" << "redo 3";
    QTest::newRow("nothing done") << 5 << "" << "Ag Bg Cg Dg Eg @-1 #-1" << "0" << "redo 1";
    QTest::newRow("redo dropped") << 3 << "F" << "Ab Bb Fb @2 #2" << "0" << "undo 2";
    QTest::newRow("Undo button") << 5 << "" << "Ag Bg Cg Dg Eg @-1 #-1" << "Undo" << "undo 1";
    QTest::newRow("Redo button") << 0 << "" << "Ab Bb Cb Db Eb @4 #4" << "Redo" << "redo 1";
}

void TstHistoryDock::rowsAndClicks()
{
    QFETCH(int, undone);
    QFETCH(QString, edit);
    QFETCH(QString, rows);
    QFETCH(QString, target);
    QFETCH(QString, signal);
    QVorrelScene scene(0, 0, 100, 100);
    for (const char *text : {"A", "B", "C", "D", "E"})
        scene.executeCommand(new NamedCmd(&scene, text));
    HistoryPanelDockWidget dock;
    auto *list = dock.findChild<QListWidget *>();
    dock.setHistory(scene.history(), scene.historyIndex());
    QListWidgetItem *firstRow = list->item(0);
    for (int i = 0; i < undone; ++i)
        scene.undo();
    if (!edit.isEmpty())
        scene.executeCommand(new NamedCmd(&scene, edit));
    dock.setHistory(scene.history(), scene.historyIndex());
    QString shown;
    for (int i = 0; i < list->count(); ++i) {
        const QBrush colour = list->item(i)->foreground();
        shown += list->item(i)->text() + (colour == Qt::black ? "b " : colour == Qt::lightGray ? "g " : "? ");
    }
    const QList<QListWidgetItem *> selected = list->selectedItems();
    QCOMPARE(shown + QString("@%1 #%2").arg(list->currentRow()).arg(list->row(selected.value(0))), rows);
    QCOMPARE(list->item(0), firstRow); // rows are reused in place

    ActiveScene::setProvider([&scene] { return &scene; });
    QStringList log;
    connect(&dock, &HistoryPanelDockWidget::undoTriggered, [&](int n) { log << QString("undo %1").arg(n); });
    connect(&dock, &HistoryPanelDockWidget::redoTriggered, [&](int n) { log << QString("redo %1").arg(n); });
    dock.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dock));
    if (QAction *action = dock.findChild<QAction *>(target))
        QTest::mouseClick(dock.findChild<QToolBar *>()->widgetForAction(action), Qt::LeftButton);
    else
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualItemRect(list->item(target.toInt())).center());
    QCOMPARE(log.join(','), signal);
    ActiveScene::setProvider(nullptr);
    dock.clear();
    QCOMPARE(list->count(), 0);
}

QTEST_MAIN(TstHistoryDock)
#include "tst_historydock.moc"
