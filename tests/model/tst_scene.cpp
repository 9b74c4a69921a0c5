#include "model/Canvas.h"
#include "model/Caret.h"
#include "model/Exporter.h"
#include "model/Glyph.h"
#include "model/Grid.h"
#include "model/QVorrelScene.h"
#include "model/Selection.h"
#include "model/TextGroup.h"
#include "support/ProbeCmd.h"
#include "support/TreeBuilder.h"

#include <QFontDatabase>
#include <QFontMetrics>
#include <QGraphicsRectItem>
#include <QImage>
#include <QPainter>
#include <QRandomGenerator>
#include <QSignalSpy>
#include <QStyleOptionGraphicsItem>
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

} // namespace

namespace {

const QRgb red = qRgb(255, 0, 0);
const QRgb gray = QColor(Qt::gray).rgb();
const QRgb white = qRgb(255, 255, 255);
const QRgb black = qRgb(0, 0, 0);

// Paints one item into an image filled with red, its origin at offset, as
// the scene would with the given exposed area.
QImage painted(QGraphicsItem *item, const QRectF &exposed, const QSize &size = QSize(120, 120),
               const QPointF &offset = QPointF())
{
    QImage img(size, QImage::Format_RGB32);
    img.fill(red);
    QPainter p(&img);
    p.translate(offset);
    QStyleOptionGraphicsItem option;
    option.exposedRect = exposed;
    item->paint(&p, &option, nullptr);
    return img;
}

int inkCount(const QImage &img)
{
    int n = 0;
    for (int y = 0; y < img.height(); ++y) {
        for (int x = 0; x < img.width(); ++x)
            n += img.pixel(x, y) != red;
    }
    return n;
}

} // namespace

class TestScene : public QObject
{
    Q_OBJECT
private slots:
    void historyFollowsItsModel();
    void selectionChangeRecentresTheBox();
    void titleOfTheDocument_data();
    void titleOfTheDocument();
    void unknownFontStyleKeepsTheFont();
    void gridSpacingIsClampedWhileTheCellSizeFollows();
    void viewFlagsAndExtras();
    void renderWithoutClippingRestoresTheClipping();
    void exporterIsOwnedAndReplaced();
    void destroyingASceneFreesEveryItemOnce();
    void checkerboardPaintsOnlyTheExposedCells();
    void sceneRenderingShowsTheCheckerboard();
    void gridLinesStayOffThePageBorder();
    void gridPaintsOnlyTheExposedLines();
    void snapToGrid_data();
    void snapToGrid();
    void caretFollowsItsMetricsAndColours();
    void selectionWithoutObjectsPaintsNothing();
    void selectionMarksItsRotateHandles();
    void selectionPreviewsUnlockedGlyphsWhileTransforming();
};

void TestScene::historyFollowsItsModel()
{
    // Seeded runs of commands, merging commands, commands that change
    // nothing, undo, redo, their switches and play, against a model: an
    // entry per change, a merge into the last done entry, the redo tail
    // dropped only by a new entry, at most 511 entries, a signal per step
    // that changed something.
    QVorrelScene scene(0, 0, 10, 10);
    QSignalSpy changed(&scene, &QVorrelScene::documentChanged);
    QVERIFY(!scene.executeCommand(nullptr));
    struct Entry
    {
        int id, delta;
        bool merging;
    };
    QList<Entry> model;
    QList<int> destroyed;
    int index = 0, counter = 0, expectedCounter = 0, emitted = 0, longest = 0;
    bool undoOn = true, redoOn = true, playing = false;
    ProbeCmd::destroyed.clear();
    QRandomGenerator rng(5);
    for (int step = 0; step < 4000; ++step) {
        const int roll = rng.bounded(100);
        if (roll < 60) {
            const int delta = rng.bounded(5) == 0 ? 0 : 1 + rng.bounded(9);
            const bool merging = rng.bounded(2);
            ProbeCmd *c = merging ? new MergingProbeCmd(&scene, &counter, delta) : new ProbeCmd(&scene, &counter, delta);
            const int id = c->id;
            QCOMPARE(scene.executeCommand(c), delta != 0);
            if (delta == 0) {
                destroyed << id;
            } else {
                while (model.size() > index)
                    destroyed << model.takeLast().id;
                expectedCounter += delta;
                ++emitted;
                if (index >= 1 && merging && model.last().merging) {
                    model.last().delta += delta;
                    destroyed << id;
                } else {
                    model << Entry{id, delta, merging};
                    if (++index > 511) {
                        destroyed << model.takeFirst().id;
                        --index;
                    }
                }
            }
        } else if (roll < 75) {
            if (index > 0 && undoOn && !playing)
                (expectedCounter -= model.at(--index).delta, ++emitted);
            scene.undo();
        } else if (roll < 88) {
            if (index < model.size() && redoOn && !playing)
                (expectedCounter += model.at(index++).delta, ++emitted);
            scene.redo();
        } else if (roll < 93) {
            scene.setUndoEnabled(undoOn = !undoOn);
        } else if (roll < 98) {
            scene.setRedoEnabled(redoOn = !redoOn);
        } else {
            scene.setPlayStateValue((playing = !playing) ? 1 : 0);
        }
        longest = qMax(longest, model.size());
        QList<int> ids;
        for (Cmd *c : scene.history())
            ids << static_cast<ProbeCmd *>(c)->id;
        QList<int> expectedIds;
        for (const Entry &e : qAsConst(model))
            expectedIds << e.id;
        QCOMPARE(ids, expectedIds);
        QCOMPARE(scene.historyIndex(), index);
        QCOMPARE(counter, expectedCounter);
        QCOMPARE(changed.count(), emitted);
        QCOMPARE(ProbeCmd::destroyed, destroyed);
        QCOMPARE(scene.canUndo(), index > 0 && undoOn && !playing);
        QCOMPARE(scene.canRedo(), index < model.size() && redoOn && !playing);
        QVERIFY(index == 0 || scene.isLastDone(scene.history().at(index - 1)));
    }
    QCOMPARE(longest, 511);
    // Clearing deletes every entry and switches undo and redo back on.
    scene.clearHistory();
    QCOMPARE(ProbeCmd::destroyed.size(), destroyed.size() + model.size());
    QVERIFY(scene.history().isEmpty() && scene.historyIndex() == 0);
    QVERIFY(scene.isUndoEnabled() && scene.isRedoEnabled());
}

void TestScene::selectionChangeRecentresTheBox()
{
    QVorrelScene scene(-1000, -1000, 2000, 2000);
    int counter = 0;
    TextGroup *p = TreeBuilder::passage(QStringLiteral("ab"), QFont(QStringLiteral("Arial"), 72), QPointF(100, 200));
    scene.root()->append(p);
    scene.setSelected(p, true, false);
    Selection *box = scene.selection();
    box->setRotation(30);
    box->setTransforming(true);
    // A command that leaves the selection's geometry alone leaves the box.
    scene.executeCommand(new ProbeCmd(&scene, &counter, 1));
    QCOMPARE(box->rotation(), 30.0);
    p->moveBy(10, 0);
    scene.executeCommand(new ProbeCmd(&scene, &counter, 1, true));
    const QRectF r = p->sceneBoundingRect().adjusted(-13, -13, 13, 13);
    QCOMPARE(box->pos(), QPointF(float(r.x()) + 0.5f * float(r.width()), float(r.y()) + 0.5f * float(r.height())));
    QCOMPARE(box->rotation(), 0.0);
    QVERIFY(!box->isTransforming());
    QCOMPARE(scene.selectionBoundingRect(), p->sceneBoundingRect());
    box->setRotation(45);
    scene.undo();
    QCOMPARE(box->rotation(), 0.0);
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
    QVorrelScene s(0, 0, 10, 10);
    s.setFileName(fileName);
    QTEST(s.title(), "title");
}

void TestScene::unknownFontStyleKeepsTheFont()
{
    QVorrelScene s(0, 0, 10, 10);
    const QFont before = s.textFont();
    s.setFontStyle(QStringLiteral("Bold")); // "Arial" is an alias here and lists no styles
    s.setFontStyle(QStringLiteral("No Such Style"));
    QCOMPARE(s.textFont(), before);

    // The caret follows the text style for new glyphs.
    const QFont small(QStringLiteral("DejaVu Sans"), 20);
    s.setFont(small);
    QCOMPARE(s.caret()->ascent(), QFontMetrics(small).ascent());
    QCOMPARE(s.caret()->descent(), QFontMetrics(small).descent());
    s.setFontSize(40);
    s.setFontSize(0);
    QCOMPARE(s.fontSize(), 40);
    QCOMPARE(s.caret()->ascent(), QFontMetrics(QFont(QStringLiteral("DejaVu Sans"), 40)).ascent());
    s.setFillColor(QColor(1, 2, 3));
    s.setStrokeColor(QColor(4, 5, 6, 7));
    QCOMPARE(s.caret()->fillColor(), QColor(1, 2, 3));
    QCOMPARE(s.caret()->strokeColor(), QColor(4, 5, 6, 7));
    QVERIFY(!s.caret()->color().isValid());
    QVERIFY(QFontDatabase().styles(QStringLiteral("DejaVu Sans")).contains(QStringLiteral("Bold")));
    s.setFontStyle(QStringLiteral("Bold"));
    QCOMPARE(s.textFont().family(), QStringLiteral("DejaVu Sans"));
    QCOMPARE(s.textFont().pointSize(), 40);
    QVERIFY(s.textFont().bold());
    QCOMPARE(s.fontStyleName(), QFontDatabase().styleString(s.textFont()));
}

void TestScene::gridSpacingIsClampedWhileTheCellSizeFollows()
{
    QVorrelScene s(-1000, -1000, 2000, 2000);
    const QList<QList<int>> cases = {{1, 2, 1}, {70000, 32767, 70000}, {-3, 2, 1}, {25, 25, 25}};
    for (const QList<int> &c : cases) {
        s.setGridSpacing(c[0]);
        QCOMPARE(int(s.grid()->spacing()), c[1]);
        QCOMPARE(s.canvas()->cellSize(), c[2]);
    }
    // The page is at least one unit each way; the caret moves in floats.
    s.setScreenSize(300, 200);
    QCOMPARE(s.canvasRect(), QRectF(0, 0, 300, 200));
    s.setScreenWidth(0);
    s.setScreenHeight(-5);
    QCOMPARE(s.canvasRect(), QRectF(0, 0, 1, 1));
    s.setBackgroundColor(QColor(10, 20, 30, 40));
    QCOMPARE(s.canvas()->brush(), QBrush(QColor(10, 20, 30, 40)));
    QVERIFY(s.textSceneRect().isNull());
    s.root()->append(TreeBuilder::passage(QStringLiteral("T"), QFont(QStringLiteral("Arial"), 72), QPointF(5, 80)));
    QCOMPARE(s.textSceneRect(), s.root()->firstGlyph()->sceneBoundingRect());
    s.moveCaretBy(2.5f, -1);
    QCOMPARE(s.caret()->pos(), QPointF(2.5, 99));
}

void TestScene::viewFlagsAndExtras()
{
    QVorrelScene s(0, 0, 10, 10);
    // Grid, caret, work area (the page does not clip) and selection box.
    auto shown = [&s] {
        return QString::number(s.grid()->isVisible()) + QString::number(s.caret()->isVisible())
            + QString::number(!(s.canvas()->flags() & QGraphicsItem::ItemClipsChildrenToShape))
            + QString::number(s.selection()->isVisible());
    };
    QCOMPARE(shown(), QStringLiteral("0111"));
    QCOMPARE(s.viewFlags(), 14);
    s.toggleGridVisible();
    s.toggleCaretVisible();
    s.toggleWorkAreaVisible();
    s.toggleSelectionVisible();
    QCOMPARE(shown(), QStringLiteral("1000"));
    QVERIFY(s.isGridVisible() && !s.isCaretVisible() && !s.isWorkAreaVisible() && !s.isSelectionVisible());
    QCOMPARE(s.viewFlags(), 1);
    s.hideExtras();
    QCOMPARE(shown(), QStringLiteral("0000"));
    QCOMPARE(s.viewFlags(), 1);
    // The toggles act on the items even while the extras are hidden.
    s.toggleCaretVisible();
    QCOMPARE(shown(), QStringLiteral("0100"));
    s.toggleExtrasVisible();
    QCOMPARE(shown(), QStringLiteral("1100"));
    // Every item follows its bit, also when a bit is cleared.
    s.setViewFlags(15);
    QCOMPARE(shown(), QStringLiteral("1111"));
    s.setViewFlags(0);
    QCOMPARE(shown(), QStringLiteral("0000"));
    s.setExtrasVisible(false);
    s.setViewFlags(14);
    QCOMPARE(shown(), QStringLiteral("0000"));
    s.setExtrasVisible(true);
    QCOMPARE(shown(), QStringLiteral("0111"));
}

void TestScene::renderWithoutClippingRestoresTheClipping()
{
    QVorrelScene s(0, 0, 10, 10);
    auto clipping = [&s] { return bool(s.canvas()->flags() & QGraphicsItem::ItemClipsChildrenToShape); };
    // A render hides the background, checkerboard and extras, clips or not
    // as asked, and puts everything back.
    s.beginRender(true);
    QCOMPARE(s.backgroundBrush().style(), Qt::NoBrush);
    QVERIFY(!s.canvas()->isCheckerboardShown() && !s.extrasVisible() && !s.caret()->isVisible());
    QVERIFY(!s.selection()->isVisible() && clipping());
    s.endRender();
    QCOMPARE(s.backgroundBrush(), QBrush(Qt::lightGray));
    QVERIFY(s.canvas()->isCheckerboardShown() && s.extrasVisible() && s.caret()->isVisible());
    QVERIFY(s.selection()->isVisible() && !clipping());

    // The work area hidden: the page clips the text, also after a render
    // of the whole text.
    s.toggleWorkAreaVisible();
    s.beginRender(false);
    QVERIFY(!clipping());
    s.endRender();
    QVERIFY(clipping() && !s.isWorkAreaVisible());
    QVERIFY(s.extrasVisible() && s.caret()->isVisible());

    // The extras hidden: the page clips before and after, and the extras
    // stay hidden.
    s.toggleWorkAreaVisible();
    s.hideExtras();
    QVERIFY(clipping());
    s.beginRender(false);
    s.endRender();
    QVERIFY(clipping() && !s.extrasVisible() && !s.caret()->isVisible());
    s.showExtras();
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

void TestScene::destroyingASceneFreesEveryItemOnce()
{
    // Under AddressSanitizer this catches any item freed twice.
    auto *s = new QVorrelScene(0, 0, 10, 10);
    s->root()->append(TreeBuilder::passage(QStringLiteral("ab")));
    s->setSelected(s->root()->child(0), true, false);
    s->selectionArea()->setRect(0, 0, 5, 5);
    s->selectionArea()->setVisible(true);
    QCOMPARE(s->items().size(), 1 + 1 + 1 + 1 + 1 + 1 + 1 + 1 + 2); // canvas, grid, root, caret, box, band, passage, word, glyphs
    QCOMPARE(s->root()->parentItem(), s->canvas());
    for (QGraphicsItem *item : QList<QGraphicsItem *>{s->caret(), s->grid(), s->selection(), s->selectionArea()})
        QCOMPARE(item->parentItem(), s->canvas());
    delete s;
}

void TestScene::checkerboardPaintsOnlyTheExposedCells()
{
    Canvas c(100, 100);
    c.setCellSize(10);
    c.setBrush(QColor(255, 255, 255, 0));
    QImage img = painted(&c, QRectF(21, 31, 10, 5));
    QCOMPARE(img.pixel(25, 35), white); // cell (2, 3)
    QCOMPARE(img.pixel(35, 35), gray);  // cell (3, 3) touches the area
    QCOMPARE(img.pixel(5, 5), red);     // far away: not painted
    QCOMPARE(img.pixel(55, 55), red);
    img = painted(&c, c.boundingRect());
    QCOMPARE(img.pixel(15, 15), gray);  // cell (1, 1)
    QCOMPARE(img.pixel(0, 50), black);  // the page's outline
    QCOMPARE(img.pixel(99, 50), black);
    // The last row and column reach past the page (the item clips them).
    QCOMPARE(img.pixel(105, 105), gray);
    // An opaque page hides the checkerboard; hidden, it is not drawn.
    c.setBrush(QColor(255, 255, 255, 255));
    QCOMPARE(painted(&c, c.boundingRect()).pixel(5, 5), white);
    c.setBrush(QColor(255, 255, 255, 0));
    c.hideCheckerboard();
    QCOMPARE(painted(&c, c.boundingRect()).pixel(5, 5), red);
    c.showCheckerboard();
    QCOMPARE(painted(&c, c.boundingRect()).pixel(5, 5), gray);

    // Cells of one pixel on a large page: only the area in view is drawn.
    Canvas big(30000, 30000);
    big.setCellSize(1);
    big.setBrush(Qt::transparent);
    const QImage fine = painted(&big, QRectF(0, 0, 40, 40));
    QCOMPARE(fine.pixel(2, 2), gray);
    QCOMPARE(fine.pixel(3, 2), white);
    QCOMPARE(fine.pixel(60, 60), red);
    // Sizes below one are one.
    c.setSize(0, -5);
    QCOMPARE(c.boundingRect(), QRectF(0, 0, 1, 1));
    c.setCellSize(-7);
    QCOMPARE(c.cellSize(), 1);
}

void TestScene::sceneRenderingShowsTheCheckerboard()
{
    QVorrelScene scene(-1000, -1000, 2000, 2000);
    scene.setGridSpacing(10);
    scene.setBackgroundColor(QColor(255, 255, 255, 0));
    QImage img(60, 60, QImage::Format_RGB32);
    img.fill(red);
    {
        QPainter p(&img);
        scene.render(&p, QRectF(0, 0, 60, 60), QRectF(20, 20, 60, 60));
    }
    QCOMPARE(img.pixel(5, 5), gray);   // cell (2, 2)
    QCOMPARE(img.pixel(15, 5), white); // cell (3, 2)
    scene.beginRender(true);
    img.fill(red);
    {
        QPainter p(&img);
        scene.render(&p, QRectF(0, 0, 60, 60), QRectF(20, 20, 60, 60));
    }
    QCOMPARE(img.pixel(5, 5), red); // no checkerboard, no background around the page
    scene.endRender();
}

void TestScene::gridLinesStayOffThePageBorder()
{
    Canvas page(100, 60);
    Grid grid(50, Qt::black, &page);
    QCOMPARE(grid.boundingRect(), QRectF(0, 0, 100, 60));
    QImage img = painted(&grid, grid.boundingRect());
    QCOMPARE(img.pixel(50, 30), black);
    QCOMPARE(img.pixel(25, 50), black);
    QCOMPARE(img.pixel(0, 30), red);
    QCOMPARE(img.pixel(100, 30), red);
    QCOMPARE(img.pixel(25, 0), red);
    QCOMPARE(img.pixel(25, 30), red);
    QCOMPARE(inkCount(img), 60 + 100 - 1); // one line each way, crossing once

    page.setSize(101, 60);
    img = painted(&grid, grid.boundingRect());
    QCOMPARE(img.pixel(50, 30), black);
    QCOMPARE(img.pixel(100, 30), black);
    QCOMPARE(img.pixel(100, 59), black);
    QCOMPARE(img.pixel(100, 60), red);

    Grid orphan(50, Qt::black);
    QVERIFY(orphan.boundingRect().isNull());
    QCOMPARE(inkCount(painted(&orphan, QRectF(0, 0, 100, 100))), 0);
}

void TestScene::gridPaintsOnlyTheExposedLines()
{
    Canvas page(400, 400);
    Grid grid(10, Qt::black, &page);
    const QImage img = painted(&grid, QRectF(55, 55, 10, 10), QSize(400, 400));
    QCOMPARE(img.pixel(60, 62), black);
    QCOMPARE(img.pixel(62, 60), black);
    QCOMPARE(img.pixel(20, 200), red); // a line away from the area is not drawn
    QCOMPARE(img.pixel(200, 20), red);
    grid.setSpacing(100000);
    QCOMPARE(int(grid.spacing()), 32767);
    grid.setSpacing(0);
    QCOMPARE(int(grid.spacing()), 2);
}

void TestScene::snapToGrid_data()
{
    QTest::addColumn<int>("spacing");
    QTest::addColumn<QPointF>("point");
    QTest::addColumn<QPointF>("snapped");
    QTest::newRow("up and down") << 50 << QPointF(26, 24) << QPointF(50, 0);
    QTest::newRow("half stays down") << 50 << QPointF(25, 75) << QPointF(0, 50);
    QTest::newRow("fractions truncate") << 50 << QPointF(25.9, 75.9) << QPointF(0, 50);
    QTest::newRow("negative toward zero") << 5 << QPointF(-9, -3) << QPointF(-5, 0);
    QTest::newRow("negative far") << 5 << QPointF(-14.9, -1) << QPointF(-10, 0);
    QTest::newRow("odd spacing") << 5 << QPointF(7, 8) << QPointF(5, 10);
    QTest::newRow("on a line") << 20 << QPointF(40, -40) << QPointF(40, -40);
}

void TestScene::snapToGrid()
{
    QFETCH(int, spacing);
    QFETCH(QPointF, point);
    QFETCH(QPointF, snapped);
    Grid grid(quint16(spacing), Qt::black);
    QCOMPARE(grid.snapToGrid(point), snapped);
}

void TestScene::caretFollowsItsMetricsAndColours()
{
    Caret caret(10, 5);
    QVERIFY(!caret.color().isValid() && !caret.fillColor().isValid() && !caret.strokeColor().isValid());
    caret.setMetrics(60, 15);
    QCOMPARE(caret.boundingRect(), QRectF(-2, -60, 12, 75));
    caret.setColor(Qt::red);
    caret.setFillColor(Qt::green);
    caret.setStrokeColor(Qt::blue);
    QImage img(40, 100, QImage::Format_RGB32);
    img.fill(Qt::white);
    QPainter p(&img);
    p.translate(10, 70);
    QStyleOptionGraphicsItem option;
    caret.paint(&p, &option, nullptr);
    p.end();
    QCOMPARE(img.pixel(10, 70 - 60), qRgb(255, 0, 0)); // bar top
    QCOMPARE(img.pixel(10, 70 - 4), qRgb(255, 0, 0));
    QCOMPARE(img.pixel(10, 70 + 15), qRgb(255, 0, 0)); // bar bottom
    QCOMPARE(img.pixel(10, 70 + 16), white);
    QCOMPARE(img.pixel(10 + 8, 70), qRgb(255, 0, 0)); // tick
    QCOMPARE(img.pixel(10 - 2, 70), qRgb(0, 0, 255)); // marker outline
    QCOMPARE(img.pixel(10, 70), qRgb(0, 255, 0));     // marker fill
}

void TestScene::selectionWithoutObjectsPaintsNothing()
{
    QVorrelScene scene(0, 0, 10, 10);
    QCOMPARE(scene.selection()->sceneRect(), QRectF(-13, -13, 26, 26));
    QCOMPARE(scene.selection()->boundingRect(), QRectF(-13, -13, 26, 26));
    QCOMPARE(inkCount(painted(scene.selection(), QRectF(-13, -13, 26, 26), QSize(60, 60), QPointF(30, 30))), 0);
    scene.selection()->setTransforming(true);
    QCOMPARE(inkCount(painted(scene.selection(), QRectF(-13, -13, 26, 26), QSize(60, 60), QPointF(30, 30))), 0);
}

void TestScene::selectionMarksItsRotateHandles()
{
    QVorrelScene scene(-1000, -1000, 2000, 2000);
    scene.root()->append(TreeBuilder::passage(QStringLiteral("H"), QFont(QStringLiteral("Arial"), 72), QPointF(100, 100)));
    Glyph *h = scene.root()->firstGlyph();
    scene.setSelected(h, true, false);
    Selection *box = scene.selection();
    const QRectF r = h->sceneBoundingRect().adjusted(-13, -13, 13, 13);
    QCOMPARE(box->sceneRect(), r);
    QCOMPARE(box->mapRectToScene(box->boundingRect()), r);
    QVERIFY(box->hitRotateHandle(r.topLeft() + QPointF(5, 5)));
    QVERIFY(box->hitRotateHandle(r.bottomRight() - QPointF(5, 5)));
    QVERIFY(box->hitRotateHandle(QPointF(r.right() - 1, r.top() + 1)));
    QVERIFY(!box->hitRotateHandle(QPointF(r.center().x(), r.top() + 1)));
    QVERIFY(!box->hitRotateHandle(r.center()));
    QVERIFY(!box->hitRotateHandle(r.topLeft() + QPointF(7, 1)));

    // Crosses three in from each corner.
    const QRectF b = box->boundingRect();
    // The crosses sit on the box's corners truncated to whole pixels.
    const QPoint offset(10 - int(b.x()), 10 - int(b.y()));
    const QImage img = painted(box, b, (b.size() + QSizeF(20, 20)).toSize(), offset);
    const int x = int(b.x()) + offset.x();
    const int y = int(b.y()) + offset.y();
    const int right = int(b.x() + b.width()) + offset.x();
    const int bottom = int(b.y() + b.height()) + offset.y();
    QCOMPARE(img.pixel(x + 3, y + 1), black);
    QCOMPARE(img.pixel(x + 1, y + 3), black);
    QCOMPARE(img.pixel(right - 3, bottom - 1), black);
    QCOMPARE(img.pixel(right - 1, bottom - 3), black);
    QCOMPARE(img.pixel(x + 10, y + 3), red);
    QCOMPARE(inkCount(img), 4 * 2 * 7 - 4); // two crossing 7-pixel lines per corner
}

void TestScene::selectionPreviewsUnlockedGlyphsWhileTransforming()
{
    QVorrelScene scene(-1000, -1000, 2000, 2000);
    scene.root()->append(TreeBuilder::passage(QStringLiteral("HI"), QFont(QStringLiteral("Arial"), 72), QPointF(100, 100)));
    scene.setSelected(scene.root()->child(0), true, false);
    Selection *box = scene.selection();
    box->setTransforming(true);
    const QRectF b = box->boundingRect();
    const QPointF offset(-b.x(), -b.y());
    const QSize size = b.size().toSize();
    const int both = inkCount(painted(box, b, size, offset));
    QVERIFY(both > 0);
    scene.root()->lastGlyph()->lock();
    const int one = inkCount(painted(box, b, size, offset));
    QVERIFY(one > 0 && one < both);
    scene.root()->firstGlyph()->lock();
    QCOMPARE(inkCount(painted(box, b, size, offset)), 0);
}

QTEST_MAIN(TestScene)
#include "tst_scene.moc"
