#include "model/Canvas.h"
#include "model/Caret.h"
#include "model/Exporter.h"
#include "model/Glyph.h"
#include "model/Grid.h"
#include "model/QVorrelScene.h"
#include "model/Selection.h"
#include "model/TextGroup.h"
#include "support/ProbeCmd.h"
#include "support/TestSoftType.h"
#include "support/TreeBuilder.h"

#include <QFontDatabase>
#include <QFontMetrics>
#include <QGraphicsRectItem>
#include <QSignalSpy>
#include <QtTest>

namespace {

// An exporter that counts its destruction.
class CountingExporter : public Exporter
{
public:
    explicit CountingExporter(int *deaths) : deaths(deaths) {}
    ~CountingExporter() override { ++*deaths; }
    bool exportFrame(QVorrelScene *) override { return true; }
    int *deaths;
};

struct Scene
{
    QVorrelScene scene{-32768, -32768, 65535, 65535};
    int counter = 0;
    QSignalSpy changed{&scene, &QVorrelScene::documentChanged};

    ProbeCmd *probe(int delta, bool movesSelection = false)
    {
        return new ProbeCmd(&scene, &counter, delta, movesSelection);
    }
    MergingProbeCmd *merging(int delta) { return new MergingProbeCmd(&scene, &counter, delta); }
};

} // namespace

class TestScene : public QObject
{
    Q_OBJECT
private slots:
    void init() { ProbeCmd::destroyed.clear(); }
    void newSceneDefaults();
    void historyKeepsAtMost511Commands();
    void commandWithoutChangeIsDiscardedSilently();
    void newCommandDropsTheRedoTail();
    void mergeAbsorbsTheNewCommandAndStillSignals();
    void undoAndRedoStepOneCommandEach();
    void undoAndRedoAreRefusedWhilePlaying();
    void selectionChangeRecentresTheBox();
    void clearHistoryDeletesEverything();
    void titleOfTheDocument_data();
    void titleOfTheDocument();
    void textStyleForNewGlyphs();
    void unknownFontStyleKeepsTheFont();
    void canvasSettings();
    void gridSpacingIsClampedWhileTheCellSizeFollows();
    void viewFlagsAndExtras();
    void renderBracketHidesAndRestores();
    void renderWithoutClippingRestoresTheClipping();
    void exporterIsOwnedAndReplaced();
    void stepSoftTypesRunsEveryGlyph();
    void destroyingASceneFreesEveryItemOnce();
};

void TestScene::newSceneDefaults()
{
    QVorrelScene s(-32768, -32768, 65535, 65535);
    QCOMPARE(s.sceneRect(), QRectF(-32768, -32768, 65535, 65535));
    QCOMPARE(s.backgroundBrush(), QBrush(Qt::lightGray));
    QCOMPARE(s.root()->parentItem(), s.canvas());
    QVERIFY(!s.textPointer().passage && !s.textPointer().word && !s.textPointer().glyph);
    QCOMPARE(s.textPointer().passageIndex + s.textPointer().wordIndex + s.textPointer().glyphIndex, -3);
    QCOMPARE(s.screenWidth(), 1024);
    QCOMPARE(s.screenHeight(), 768);
    QCOMPARE(s.exportWidth(), 1024);
    QCOMPARE(s.exportHeight(), 768);
    QCOMPARE(s.exportResolution(), 72);
    QCOMPARE(s.backgroundColor(), QColor(Qt::white));
    QVERIFY(s.extrasVisible());
    QCOMPARE(s.viewFlags(), 14);
    QCOMPARE(s.textFont().family(), QStringLiteral("Arial"));
    QCOMPARE(s.textFont().pointSize(), 72);
    QCOMPARE(s.textFont().weight(), int(QFont::Normal));
    QVERIFY(!s.textFont().italic());
    QCOMPARE(s.fillColor(), QColor(0, 0, 0, 255));
    QCOMPARE(s.strokeColor(), QColor(0, 0, 0, 255));
    QCOMPARE(s.strokeWidth(), 0.0f);
    QVERIFY(s.fileName().isEmpty() && s.exportFileName().isEmpty());
    QVERIFY(!s.exportArmed());
    QCOMPARE(s.exportKind(), -1);
    QVERIFY(!s.exporter());
    QCOMPARE(s.exportFrameNumber(), 0);

    QVERIFY(!s.canvas()->parentItem());
    QCOMPARE(s.canvas()->scene(), &s);
    QCOMPARE(s.canvas()->boundingRect(), QRectF(0, 0, 1024, 768));
    QCOMPARE(s.canvas()->brush(), QBrush(Qt::white));
    QVERIFY(s.canvas()->flags() & QGraphicsItem::ItemClipsToShape);
    QVERIFY(!(s.canvas()->flags() & QGraphicsItem::ItemClipsChildrenToShape));
    QVERIFY(s.canvas()->isCheckerboardShown());
    QCOMPARE(s.canvas()->cellSize(), 50);
    QCOMPARE(s.caret()->parentItem(), s.canvas());
    QCOMPARE(s.caret()->pos(), QPointF(0, 100));
    const QFontMetrics fm(QFont(QStringLiteral("Arial"), 72));
    QCOMPARE(s.caret()->ascent(), fm.ascent());
    QCOMPARE(s.caret()->descent(), fm.descent());
    QVERIFY(s.caret()->isVisible());
    QCOMPARE(s.grid()->parentItem(), s.canvas());
    QCOMPARE(int(s.grid()->spacing()), 50);
    QCOMPARE(s.grid()->color(), QColor(0, 0, 0, 25));
    QVERIFY(!s.grid()->isVisible());
    QCOMPARE(s.selection()->parentItem(), s.canvas());
    QCOMPARE(s.selection()->color(), QColor(0, 0, 0, 150));
    QVERIFY(s.selection()->isVisible() && !s.selection()->isTransforming());
    QCOMPARE(s.selectionArea()->parentItem(), s.canvas());
    QVERIFY(s.selectionArea()->rect().isEmpty());
    QVERIFY(!s.selectionArea()->isVisible());
    QCOMPARE(s.selectionArea()->pen().style(), Qt::DashLine);
    QCOMPARE(s.snapFlags(), 0);
    QVERIFY(s.history().isEmpty());
    QCOMPARE(s.historyIndex(), 0);
    QVERIFY(s.isUndoEnabled() && s.isRedoEnabled());
    QVERIFY(!s.canUndo() && !s.canRedo());
    QVERIFY(s.textpadText().isEmpty() && s.textpadFileName().isEmpty());
    QCOMPARE(s.playState(), 0);
    QCOMPARE(s.mousePosition(), QPointF(0, 0));
    QCOMPARE(s.mouseButtons(), Qt::MouseButtons(Qt::NoButton));
    QCOMPARE(s.pressPoint(), QPointF(0, 0));
    QVERIFY(!s.pressedOnSelection() && !s.pressedOnRotateHandle());
    QVERIFY(!s.pendingSimulate());
    QCOMPARE(s.frameCounter(), 0);
    QVERIFY(s.playSavedExtras());
    QVERIFY(s.selectedObjects().isEmpty());
    QVERIFY(!s.hoveredObject());
    QCOMPARE(s.title(), QStringLiteral("untitled"));
}

void TestScene::historyKeepsAtMost511Commands()
{
    Scene t;
    QList<ProbeCmd *> cmds;
    int firstId = -1;
    for (int i = 0; i < 512; ++i) {
        cmds << t.probe(1);
        if (i == 0)
            firstId = cmds.first()->id;
        QVERIFY(t.scene.executeCommand(cmds.last()));
    }
    QCOMPARE(t.counter, 512);
    QCOMPARE(t.scene.history().size(), 511);
    QCOMPARE(t.scene.historyIndex(), 511);
    QCOMPARE(ProbeCmd::destroyed, QList<int>{firstId});
    QCOMPARE(t.scene.history().first(), cmds.at(1));
    QVERIFY(t.scene.isLastDone(cmds.last()));
    QCOMPARE(t.changed.count(), 512);
    // Undo reaches back 511 steps and no further.
    for (int i = 0; i < 600; ++i)
        t.scene.undo();
    QCOMPARE(t.counter, 1);
    QCOMPARE(t.scene.historyIndex(), 0);
}

void TestScene::commandWithoutChangeIsDiscardedSilently()
{
    Scene t;
    QVERIFY(!t.scene.executeCommand(nullptr));
    t.scene.executeCommand(t.probe(1));
    t.scene.executeCommand(t.probe(2));
    t.scene.undo();
    t.changed.clear();
    ProbeCmd *idle = t.probe(0);
    const int id = idle->id;
    QVERIFY(!t.scene.executeCommand(idle));
    QCOMPARE(ProbeCmd::destroyed, QList<int>{id});
    QCOMPARE(t.changed.count(), 0);
    // The redo tail survives a command that changed nothing.
    QCOMPARE(t.scene.history().size(), 2);
    QCOMPARE(t.scene.historyIndex(), 1);
    t.scene.redo();
    QCOMPARE(t.counter, 3);
}

void TestScene::newCommandDropsTheRedoTail()
{
    Scene t;
    ProbeCmd *a = t.probe(1);
    ProbeCmd *b = t.probe(10);
    ProbeCmd *c = t.probe(100);
    for (ProbeCmd *cmd : {a, b, c})
        t.scene.executeCommand(cmd);
    const int bId = b->id;
    const int cId = c->id;
    t.scene.undo();
    t.scene.undo();
    QCOMPARE(t.counter, 1);
    QVERIFY(ProbeCmd::destroyed.isEmpty());
    ProbeCmd *d = t.probe(1000);
    t.scene.executeCommand(d);
    QCOMPARE(ProbeCmd::destroyed, (QList<int>{cId, bId}));
    QCOMPARE(t.scene.history(), (QList<Cmd *>{a, d}));
    QCOMPARE(t.scene.historyIndex(), 2);
    QVERIFY(!t.scene.canRedo());
    QCOMPARE(t.counter, 1001);
}

void TestScene::mergeAbsorbsTheNewCommandAndStillSignals()
{
    Scene t;
    MergingProbeCmd *first = t.merging(5);
    t.scene.executeCommand(first);
    MergingProbeCmd *second = t.merging(7);
    const int secondId = second->id;
    QVERIFY(t.scene.executeCommand(second));
    QCOMPARE(ProbeCmd::destroyed, QList<int>{secondId});
    QCOMPARE(t.scene.history().size(), 1);
    QCOMPARE(t.changed.count(), 2);
    QCOMPARE(t.counter, 12);
    t.scene.undo();
    QCOMPARE(t.counter, 0);
    t.scene.redo();
    QCOMPARE(t.counter, 12);

    // Another kind of command is never absorbed, nor is one after an undo
    // merged into the undone entry.
    t.scene.executeCommand(t.probe(1));
    QCOMPARE(t.scene.history().size(), 2);
    t.scene.executeCommand(t.merging(1));
    QCOMPARE(t.scene.history().size(), 3);
    t.scene.undo();
    t.scene.undo();
    t.scene.executeCommand(t.merging(100));
    QCOMPARE(t.scene.history().size(), 1);
    QCOMPARE(t.counter, 112);
}

void TestScene::undoAndRedoStepOneCommandEach()
{
    Scene t;
    ProbeCmd *a = t.probe(1);
    ProbeCmd *b = t.probe(10);
    t.scene.executeCommand(a);
    t.scene.executeCommand(b);
    t.changed.clear();
    t.scene.undo();
    QCOMPARE(t.counter, 1);
    QCOMPARE(b->undone, 1);
    QCOMPARE(a->undone, 0);
    QVERIFY(t.scene.isLastDone(a));
    t.scene.undo();
    t.scene.undo();
    QCOMPARE(t.counter, 0);
    QCOMPARE(a->undone, 1);
    QCOMPARE(t.changed.count(), 2);
    QVERIFY(!t.scene.isLastDone(a));
    t.scene.redo();
    QCOMPARE(a->executed, 2);
    QCOMPARE(t.counter, 1);
    t.scene.redo();
    t.scene.redo();
    QCOMPARE(t.counter, 11);
    QCOMPARE(t.changed.count(), 4);

    t.scene.setUndoEnabled(false);
    t.scene.undo();
    QCOMPARE(t.counter, 11);
    t.scene.setUndoEnabled(true);
    t.scene.undo();
    t.scene.setRedoEnabled(false);
    QVERIFY(!t.scene.canRedo());
    t.scene.redo();
    QCOMPARE(t.counter, 1);
}

void TestScene::undoAndRedoAreRefusedWhilePlaying()
{
    Scene t;
    t.scene.executeCommand(t.probe(1));
    t.scene.executeCommand(t.probe(10));
    t.scene.undo();
    t.scene.setPlayStateValue(1);
    QVERIFY(!t.scene.canUndo() && !t.scene.canRedo());
    t.changed.clear();
    t.scene.undo();
    t.scene.redo();
    QCOMPARE(t.counter, 1);
    QCOMPARE(t.scene.historyIndex(), 1);
    QCOMPARE(t.changed.count(), 0);
    t.scene.setPlayStateValue(0);
    QVERIFY(t.scene.canUndo() && t.scene.canRedo());
}

void TestScene::selectionChangeRecentresTheBox()
{
    Scene t;
    TextGroup *p = TreeBuilder::passage(QStringLiteral("ab"), QFont(QStringLiteral("Arial"), 72), QPointF(100, 200));
    t.scene.root()->append(p);
    t.scene.setSelected(p, true, false);
    Selection *box = t.scene.selection();
    box->setRotation(30);
    box->setTransforming(true);
    // A command that leaves the selection's geometry alone leaves the box.
    t.scene.executeCommand(t.probe(1));
    QCOMPARE(box->rotation(), 30.0);
    p->moveBy(10, 0);
    t.scene.executeCommand(t.probe(1, true));
    const QRectF r = p->sceneBoundingRect().adjusted(-13, -13, 13, 13);
    QCOMPARE(box->pos(), QPointF(float(r.x()) + 0.5f * float(r.width()), float(r.y()) + 0.5f * float(r.height())));
    QCOMPARE(box->rotation(), 0.0);
    QVERIFY(!box->isTransforming());
    QCOMPARE(t.scene.selectionBoundingRect(), p->sceneBoundingRect());

    box->setRotation(45);
    t.scene.undo();
    QCOMPARE(box->rotation(), 0.0);
}

void TestScene::clearHistoryDeletesEverything()
{
    Scene t;
    t.scene.executeCommand(t.probe(1));
    t.scene.executeCommand(t.probe(1));
    t.scene.undo();
    t.scene.setUndoEnabled(false);
    t.scene.setRedoEnabled(false);
    t.scene.clearHistory();
    QCOMPARE(ProbeCmd::destroyed.size(), 2);
    QVERIFY(t.scene.history().isEmpty());
    QCOMPARE(t.scene.historyIndex(), 0);
    QVERIFY(t.scene.isUndoEnabled() && t.scene.isRedoEnabled());
}

void TestScene::titleOfTheDocument_data()
{
    QTest::addColumn<QString>("fileName");
    QTest::addColumn<QString>("title");
    QTest::newRow("empty") << QString() << "untitled";
    QTest::newRow("suffix") << "/docs/poem.vrl" << "poem";
    QTest::newRow("no suffix") << "/docs/poem" << "poem";
    QTest::newRow("twice") << "/docs/a.vrl.vrl" << "a.vrl";
    QTest::newRow("other case") << "/docs/poem.VRL" << "poem.VRL";
    QTest::newRow("no folder") << "poem.vrl" << "poem";
    QTest::newRow("in the folder name") << "/docs.vrl/poem" << "poem";
}

void TestScene::titleOfTheDocument()
{
    QFETCH(QString, fileName);
    QFETCH(QString, title);
    QVorrelScene s(0, 0, 10, 10);
    s.setFileName(fileName);
    QCOMPARE(s.title(), title);
}

void TestScene::textStyleForNewGlyphs()
{
    QVorrelScene s(0, 0, 10, 10);
    const QFont small(QStringLiteral("DejaVu Sans"), 20);
    s.setFont(small);
    QCOMPARE(s.textFont(), small);
    QCOMPARE(s.caret()->ascent(), QFontMetrics(small).ascent());
    QCOMPARE(s.caret()->descent(), QFontMetrics(small).descent());
    s.setFontSize(40);
    QCOMPARE(s.fontSize(), 40);
    QCOMPARE(s.caret()->ascent(), QFontMetrics(QFont(QStringLiteral("DejaVu Sans"), 40)).ascent());
    s.setFontSize(0);
    QCOMPARE(s.fontSize(), 40);
    s.setFillColor(QColor(1, 2, 3));
    s.setStrokeColor(QColor(4, 5, 6, 7));
    s.setStrokeWidth(1.5f);
    QCOMPARE(s.caret()->fillColor(), QColor(1, 2, 3));
    QCOMPARE(s.caret()->strokeColor(), QColor(4, 5, 6, 7));
    QCOMPARE(s.strokeWidth(), 1.5f);
    QVERIFY(!s.caret()->color().isValid());

    const QStringList styles = QFontDatabase().styles(QStringLiteral("DejaVu Sans"));
    QVERIFY(styles.contains(QStringLiteral("Bold")));
    s.setFontStyle(QStringLiteral("Bold"));
    QCOMPARE(s.textFont().family(), QStringLiteral("DejaVu Sans"));
    QCOMPARE(s.textFont().pointSize(), 40);
    QVERIFY(s.textFont().bold());
    QCOMPARE(s.fontStyleName(), QFontDatabase().styleString(s.textFont()));
}

void TestScene::unknownFontStyleKeepsTheFont()
{
    QVorrelScene s(0, 0, 10, 10);
    const QFont before = s.textFont();
    s.setFontStyle(QStringLiteral("Bold")); // "Arial" is an alias here and lists no styles
    s.setFontStyle(QStringLiteral("No Such Style"));
    QCOMPARE(s.textFont(), before);
}

void TestScene::canvasSettings()
{
    QVorrelScene s(-1000, -1000, 2000, 2000);
    s.setScreenSize(300, 200);
    QCOMPARE(s.canvasRect(), QRectF(0, 0, 300, 200));
    s.setScreenWidth(0);
    QCOMPARE(s.screenWidth(), 0);
    QCOMPARE(s.canvasRect(), QRectF(0, 0, 1, 200));
    s.setScreenHeight(-5);
    QCOMPARE(s.canvasRect(), QRectF(0, 0, 1, 1));
    s.setBackgroundColor(QColor(10, 20, 30, 40));
    QCOMPARE(s.canvas()->brush(), QBrush(QColor(10, 20, 30, 40)));
    s.setExportSettings(640, 480, 300);
    QCOMPARE(s.exportWidth(), 640);
    QCOMPARE(s.exportHeight(), 480);
    QCOMPARE(s.exportResolution(), 300);
    QCOMPARE(s.canvasRect(), QRectF(0, 0, 1, 1));

    QVERIFY(s.textSceneRect().isNull());
    s.root()->append(TreeBuilder::passage(QStringLiteral("T"), QFont(QStringLiteral("Arial"), 72), QPointF(5, 80)));
    QCOMPARE(s.textSceneRect(), s.root()->firstGlyph()->sceneBoundingRect());
    s.moveCaretBy(2.5f, -1);
    QCOMPARE(s.caret()->pos(), QPointF(2.5, 99));
    s.placeCaretAt(7, 8);
    QCOMPARE(s.caret()->pos(), QPointF(7, 8));
}

void TestScene::gridSpacingIsClampedWhileTheCellSizeFollows()
{
    QVorrelScene s(0, 0, 10, 10);
    s.setGridSpacing(1);
    QCOMPARE(int(s.grid()->spacing()), 2);
    QCOMPARE(s.canvas()->cellSize(), 1);
    s.setGridSpacing(70000);
    QCOMPARE(int(s.grid()->spacing()), 32767);
    QCOMPARE(s.canvas()->cellSize(), 70000);
    s.setGridSpacing(-3);
    QCOMPARE(int(s.grid()->spacing()), 2);
    QCOMPARE(s.canvas()->cellSize(), 1);
    s.setGridSpacing(25);
    QCOMPARE(int(s.grid()->spacing()), 25);
    QCOMPARE(s.canvas()->cellSize(), 25);
}

void TestScene::viewFlagsAndExtras()
{
    QVorrelScene s(0, 0, 10, 10);
    auto clipping = [&s] { return bool(s.canvas()->flags() & QGraphicsItem::ItemClipsChildrenToShape); };
    s.toggleGridVisible();
    QVERIFY(s.isGridVisible() && s.grid()->isVisible());
    s.toggleCaretVisible();
    QVERIFY(!s.isCaretVisible() && !s.caret()->isVisible());
    s.toggleWorkAreaVisible();
    QVERIFY(!s.isWorkAreaVisible() && clipping());
    s.toggleSelectionVisible();
    QVERIFY(!s.isSelectionVisible() && !s.selection()->isVisible());
    QCOMPARE(s.viewFlags(), 1);

    s.hideExtras();
    QVERIFY(!s.extrasVisible() && !s.grid()->isVisible() && clipping());
    QCOMPARE(s.viewFlags(), 1);
    // The toggles act on the items even while the extras are hidden.
    s.toggleCaretVisible();
    QVERIFY(s.caret()->isVisible());
    s.toggleExtrasVisible();
    QVERIFY(s.extrasVisible() && s.grid()->isVisible() && s.caret()->isVisible());
    QVERIFY(!s.selection()->isVisible() && clipping());

    // Every item follows its bit, also when a bit is cleared.
    s.setViewFlags(15);
    QVERIFY(s.grid()->isVisible() && s.caret()->isVisible() && s.selection()->isVisible() && !clipping());
    s.setViewFlags(0);
    QVERIFY(!s.grid()->isVisible() && !s.caret()->isVisible() && !s.selection()->isVisible() && clipping());
    s.setExtrasVisible(false);
    s.setViewFlags(14);
    QVERIFY(!s.caret()->isVisible() && clipping());
    s.setExtrasVisible(true);
    QVERIFY(!s.grid()->isVisible() && s.caret()->isVisible() && s.selection()->isVisible() && !clipping());
}

void TestScene::renderBracketHidesAndRestores()
{
    QVorrelScene s(0, 0, 10, 10);
    s.beginRender(true);
    QCOMPARE(s.backgroundBrush().style(), Qt::NoBrush);
    QVERIFY(!s.canvas()->isCheckerboardShown());
    QVERIFY(!s.extrasVisible() && !s.caret()->isVisible() && !s.selection()->isVisible());
    QVERIFY(s.canvas()->flags() & QGraphicsItem::ItemClipsChildrenToShape);
    s.endRender();
    QCOMPARE(s.backgroundBrush(), QBrush(Qt::lightGray));
    QVERIFY(s.canvas()->isCheckerboardShown());
    QVERIFY(s.extrasVisible() && s.caret()->isVisible() && s.selection()->isVisible());
    QVERIFY(!(s.canvas()->flags() & QGraphicsItem::ItemClipsChildrenToShape));

    // Extras hidden before the render stay hidden after it.
    s.hideExtras();
    s.beginRender(false);
    QVERIFY(!(s.canvas()->flags() & QGraphicsItem::ItemClipsChildrenToShape));
    s.endRender();
    QVERIFY(!s.extrasVisible() && !s.caret()->isVisible());
}

void TestScene::renderWithoutClippingRestoresTheClipping()
{
    QVorrelScene s(0, 0, 10, 10);
    auto clipping = [&s] { return bool(s.canvas()->flags() & QGraphicsItem::ItemClipsChildrenToShape); };
    // The work area hidden: the page clips the text, also after a render
    // of the whole text.
    s.toggleWorkAreaVisible();
    QVERIFY(clipping());
    s.beginRender(false);
    QVERIFY(!clipping());
    s.endRender();
    QVERIFY(clipping() && !s.isWorkAreaVisible());
    QVERIFY(s.extrasVisible() && s.caret()->isVisible());

    // The extras hidden: the page clips before and after.
    s.toggleWorkAreaVisible();
    s.hideExtras();
    QVERIFY(clipping());
    s.beginRender(false);
    s.endRender();
    QVERIFY(clipping() && !s.extrasVisible());
    s.showExtras();
    QVERIFY(!clipping());

    // The work area shown: a clipped render leaves it shown.
    s.beginRender(true);
    QVERIFY(clipping());
    s.endRender();
    QVERIFY(!clipping());
}

void TestScene::exporterIsOwnedAndReplaced()
{
    int deaths = 0;
    {
        QVorrelScene s(0, 0, 10, 10);
        auto *first = new CountingExporter(&deaths);
        QVERIFY(first->begin(&s) && first->end());
        s.setExporter(6, first);
        QCOMPARE(s.exporter(), first);
        QCOMPARE(s.exportKind(), 6);
        // Handing the same exporter again keeps it alive.
        s.setExporter(6, first);
        QCOMPARE(deaths, 0);
        s.setExporter(6, new CountingExporter(&deaths));
        QCOMPARE(deaths, 1);
        s.setExporter(4, nullptr);
        QCOMPARE(deaths, 2);
        QCOMPARE(s.exportKind(), 4);
        s.setExporter(6, new CountingExporter(&deaths));
    }
    QCOMPARE(deaths, 3);
}

void TestScene::stepSoftTypesRunsEveryGlyph()
{
    QVorrelScene s(0, 0, 10, 10);
    s.root()->append(TreeBuilder::passage(QStringLiteral("ab c")));
    s.root()->append(TreeBuilder::passage(QStringLiteral("d")));
    QList<TestSoftType *> kinds;
    for (Glyph *g = s.root()->firstGlyph(); g; g = g->nextGlyph()) {
        kinds << new TestSoftType(QStringLiteral("t"));
        g->addSoftType(kinds.last());
    }
    s.root()->lastGlyph()->lock();
    s.stepSoftTypes();
    QList<int> applied;
    for (const TestSoftType *k : kinds)
        applied << k->applied;
    QCOMPARE(applied, (QList<int>{1, 1, 1, 1, 0}));
}

void TestScene::destroyingASceneFreesEveryItemOnce()
{
    // Under AddressSanitizer this catches any item freed twice.
    auto *s = new QVorrelScene(0, 0, 10, 10);
    s->root()->append(TreeBuilder::passage(QStringLiteral("ab")));
    s->setSelected(s->root()->child(0), true, false);
    s->selectionArea()->setRect(0, 0, 5, 5);
    s->selectionArea()->setVisible(true);
    const int items = s->items().size();
    QCOMPARE(items, 1 + 1 + 1 + 1 + 1 + 1 + 1 + 1 + 2); // canvas, grid, root, caret, box, band, passage, word, glyphs
    delete s;
}

QTEST_MAIN(TestScene)
#include "tst_scene.moc"
