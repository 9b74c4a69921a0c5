#include "panels/MainToolbar.h"

#include <QAction>
#include <QtTest>

class TestMainToolbar : public QObject
{
    Q_OBJECT

private slots:
    void actions();
    void stateIcons();
};

void TestMainToolbar::actions()
{
    MainToolbar bar(QStringLiteral("Main Toolbar"));
    QCOMPARE(bar.iconSize(), QSize(32, 32));
    QStringList names;
    for (const QAction *a : bar.actions()) {
        names << (a->isSeparator() ? QStringLiteral("-") : a->objectName());
        QVERIFY(a->isSeparator() || !a->icon().pixmap(32).isNull());
        QVERIFY(!a->isCheckable() && a->shortcut().isEmpty());
        QCOMPARE(a->statusTip(), a == bar.newAction ? QStringLiteral("Create a New File") : QString());
    }
    QCOMPARE(names.join(QLatin1Char(' ')),
             QStringLiteral("NewAction OpenAction SaveAction PrintAction - CutAction CopyAction PasteAction - "
                            "StartStopAction TurnExportOnOffAction SetExportFileAction"));
    QCOMPARE(bar.setExportFileAction->text(), QStringLiteral("Export File"));
}

void TestMainToolbar::stateIcons()
{
    MainToolbar bar(QStringLiteral("Main Toolbar"));
    QCOMPARE(bar.startStopAction->text(), QStringLiteral("Start"));
    QCOMPARE(bar.turnExportOnOffAction->text(), QStringLiteral("Export"));
    QCOMPARE(bar.startStopAction->icon().cacheKey(), bar.playIcon.cacheKey());
    QCOMPARE(bar.turnExportOnOffAction->icon().cacheKey(), bar.exportOffIcon.cacheKey());

    bar.setPlaying(true);
    bar.setExporting(true);
    QCOMPARE(bar.startStopAction->text(), QStringLiteral("Stop"));
    QCOMPARE(bar.startStopAction->icon().cacheKey(), bar.stopIcon.cacheKey());
    QCOMPARE(bar.turnExportOnOffAction->text(), QStringLiteral("Stop Export"));
    QCOMPARE(bar.turnExportOnOffAction->icon().cacheKey(), bar.exportOnIcon.cacheKey());

    bar.setPlaying(false);
    bar.setExporting(false);
    QCOMPARE(bar.startStopAction->text(), QStringLiteral("Start"));
    QCOMPARE(bar.startStopAction->icon().cacheKey(), bar.playIcon.cacheKey());
    QCOMPARE(bar.turnExportOnOffAction->text(), QStringLiteral("Export"));
    QCOMPARE(bar.turnExportOnOffAction->icon().cacheKey(), bar.exportOffIcon.cacheKey());
}

QTEST_MAIN(TestMainToolbar)
#include "tst_maintoolbar.moc"
