#include "model/Canvas.h"
#include "model/Caret.h"
#include "model/Exporter.h"
#include "model/Glyph.h"
#include "model/Grid.h"
#include "model/QVorrelScene.h"
#include "model/Selection.h"
#include "model/TextGroup.h"
#include "support/ProbeCmd.h"
#include "support/TestDocument.h"
#include "support/TreeBuilder.h"

#include <QFontDatabase>
#include <QFontMetrics>
#include <QPaintEngine>
#include <QPainter>
#include <QRandomGenerator>
#include <QSignalSpy>
#include <QStyleOptionGraphicsItem>
#include <QtTest>

namespace {

// An exporter that counts its destruction.
struct CountingExporter : Exporter
{
    explicit CountingExporter(int *deaths) : deaths(deaths) {}
    ~CountingExporter() override { ++*deaths; }
    bool exportFrame(QVorrelScene *) override { return true; }
    int *deaths;
};

const QRgb red = qRgb(255, 0, 0);

// Paints one item into an image filled with red, its origin at offset, as the scene would with the given exposed area.
QImage painted(QGraphicsItem *item, const QRectF &exposed, const QSize &size = QSize(120, 120), const QPointF &offset = QPointF())
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

// The colours at the points: r red, g Qt's gray, w white, k black, ? other.
QString pixels(const QImage &img, const QList<QPoint> &points)
{
    QString out;
    for (const QPoint &p : points) {
        const QRgb c = img.pixel(p);
        out += c == red ? 'r' : c == QColor(Qt::gray).rgb() ? 'g' : c == qRgb(255, 255, 255) ? 'w' : c == qRgb(0, 0, 0) ? 'k' : '?';
    }
    return out;
}

// A device 256 pixels a side that counts the rectangles and lines drawn on it.
struct CountingEngine : QPaintEngine
{
    CountingEngine() : QPaintEngine(AllFeatures) {}
    bool begin(QPaintDevice *) override { return true; }
    bool end() override { return true; }
    void updateState(const QPaintEngineState &) override {}
    void drawPixmap(const QRectF &, const QPixmap &, const QRectF &) override {}
    void drawRects(const QRectF *, int n) override { shapes += n; }
    void drawRects(const QRect *, int n) override { shapes += n; }
    void drawLines(const QLineF *, int n) override { shapes += n; }
    void drawLines(const QLine *, int n) override { shapes += n; }
    Type type() const override { return User; }
    int shapes = 0;
};

struct CountingDevice : QPaintDevice
{
    QPaintEngine *paintEngine() const override { return &engine; }
    int metric(PaintDeviceMetric m) const override
    {
        return m == PdmWidth || m == PdmHeight ? 256 : m == PdmDepth ? 32 : m == PdmDevicePixelRatio ? 1
            : m == PdmDevicePixelRatioScaled ? int(devicePixelRatioFScale()) : 72;
    }
    mutable CountingEngine engine;
};

int inkCount(const QImage &img)
{
    int n = 0;
    for (int i = 0; i < img.width() * img.height(); ++i)
        n += img.pixel(i % img.width(), i / img.width()) != red;
    return n;
}

// Grid, caret, work area (the page does not clip) and selection box shown; the view flags; the background (L light
// gray, - none), checkerboard shown and extras visible.
QString shown(const QVorrelScene &s)
{
    const QBrush b = s.backgroundBrush();
    return QStringLiteral("%1%2%3%4 %5 %6%7%8").arg(s.grid()->isVisible()).arg(s.caret()->isVisible())
        .arg(!(s.canvas()->flags() & QGraphicsItem::ItemClipsChildrenToShape)).arg(s.selection()->isVisible()).arg(s.viewFlags())
        .arg(b == QBrush(Qt::lightGray) ? 'L' : b.style() == Qt::NoBrush ? '-' : '?').arg(s.canvas()->isCheckerboardShown()).arg(s.extrasVisible());
}

} // namespace

class TestScene : public QObject
{
    Q_OBJECT
private slots:
    void historyFollowsItsModel();
    void selectionChangeRecentresTheBox();
    void titleOfTheDocument();
    void unknownFontStyleKeepsTheFont();
    void gridSpacingIsClampedWhileTheCellSizeFollows();
    void viewFlagsAndExtras();
    void exporterIsOwnedAndReplaced();
    void destroyingASceneFreesEveryItemOnce();
    void checkerboardPaintsOnlyTheExposedCells();
    void gridPaintsOnlyTheExposedLines();
    void zoomedOutPageDrawsNoMoreThanItsPixels();
    void snapToGrid();
    void selectionMarksItsRotateHandles();
};

void TestScene::historyFollowsItsModel()
{
    // Seeded commands, undo, redo, their switches and play against a model: merges, redo tail, 511 entries, signals.
    QVorrelScene scene(0, 0, 10, 10);
    QSignalSpy changed(&scene, &QVorrelScene::documentChanged);
    QVERIFY(!scene.executeCommand(nullptr));
    struct Entry { int id, delta; bool merging; };
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
        } else if (roll < 88) {
            const bool undo = roll < 75;
            if (!playing && (undo ? index > 0 && undoOn : index < model.size() && redoOn)) {
                expectedCounter += undo ? -model.at(--index).delta : model.at(index++).delta;
                ++emitted;
            }
            undo ? scene.undo() : scene.redo();
        } else if (roll < 98) {
            roll < 93 ? scene.setUndoEnabled(undoOn = !undoOn) : scene.setRedoEnabled(redoOn = !redoOn);
        } else {
            scene.setPlayStateValue((playing = !playing) ? 1 : 0);
        }
        longest = qMax(longest, model.size());
        QCOMPARE(scene.history().size(), model.size());
        for (int i = 0; i < model.size(); ++i)
            QCOMPARE(static_cast<ProbeCmd *>(scene.history().at(i))->id, model.at(i).id);
        QCOMPARE(ProbeCmd::destroyed, destroyed);
        // Index, counter, signals, can undo, can redo.
        QCOMPARE(QStringLiteral("%1 %2 %3 %4 %5").arg(scene.historyIndex()).arg(counter).arg(changed.count()).arg(scene.canUndo()).arg(scene.canRedo()),
                 QStringLiteral("%1 %2 %3 %4 %5").arg(index).arg(expectedCounter).arg(emitted).arg(index > 0 && undoOn && !playing).arg(index < model.size() && redoOn && !playing));
        QVERIFY(index == 0 || scene.isLastDone(scene.history().at(index - 1)));
    }
    QCOMPARE(longest, 511);
    // Clearing deletes every entry and switches undo and redo back on.
    scene.clearHistory();
    QCOMPARE(ProbeCmd::destroyed.size(), destroyed.size() + model.size());
    QVERIFY(scene.history().isEmpty() && scene.historyIndex() == 0 && scene.isUndoEnabled() && scene.isRedoEnabled());
}

void TestScene::selectionChangeRecentresTheBox()
{
    TestDocument d;
    int counter = 0;
    TextGroup *p = d.add(QStringLiteral("ab"), QPointF(100, 200));
    d.scene.setSelected(p, true, false);
    Selection *box = d.scene.selection();
    box->setRotation(30);
    box->setTransforming(true);
    d.scene.executeCommand(new ProbeCmd(&d.scene, &counter, 1));
    QCOMPARE(box->rotation(), 30.0);
    p->moveBy(10, 0);
    d.scene.executeCommand(new ProbeCmd(&d.scene, &counter, 1, true));
    const QRectF r = p->sceneBoundingRect().adjusted(-13, -13, 13, 13);
    QCOMPARE(box->pos(), QPointF(float(r.x()) + 0.5f * float(r.width()), float(r.y()) + 0.5f * float(r.height())));
    QVERIFY(box->rotation() == 0.0 && !box->isTransforming());
    QCOMPARE(d.scene.selectionBoundingRect(), p->sceneBoundingRect());
    box->setRotation(45);
    d.scene.undo();
    QCOMPARE(box->rotation(), 0.0);
}

void TestScene::titleOfTheDocument()
{
    // The name without its folder and its last ".vrl" (in that case only); "untitled" without one.
    const QList<QPair<QString, QString>> cases = {{"", "untitled"}, {"/docs/poem.vrl", "poem"}, {"/docs/poem", "poem"},
        {"/docs/a.vrl.vrl", "a.vrl"}, {"/docs/poem.VRL", "poem.VRL"}, {"poem.vrl", "poem"}, {"/docs.vrl/poem", "poem"}};
    QVorrelScene s(0, 0, 10, 10);
    for (const auto &c : cases) {
        s.setFileName(c.first);
        QCOMPARE(s.title(), c.second);
    }
}

void TestScene::unknownFontStyleKeepsTheFont()
{
    QVorrelScene s(0, 0, 10, 10);
    const QFont before = s.textFont();
    s.setFontStyle(QStringLiteral("Bold")); // "Arial" is an alias here and lists no styles
    s.setFontStyle(QStringLiteral("No Such Style"));
    QCOMPARE(s.textFont(), before);
    // The caret follows the text font; sizes below one are refused.
    auto caretIs = [&s](int size) {
        const QFontMetrics fm(QFont(QStringLiteral("DejaVu Sans"), size));
        return s.caret()->ascent() == fm.ascent() && s.caret()->descent() == fm.descent();
    };
    s.setFont(QFont(QStringLiteral("DejaVu Sans"), 20));
    QVERIFY(caretIs(20));
    s.setFontSize(40);
    s.setFontSize(0);
    s.setFillColor(QColor(1, 2, 3));
    QVERIFY(s.fontSize() == 40 && caretIs(40) && s.caret()->fillColor() == QColor(1, 2, 3));
    s.setFontStyle(QStringLiteral("Bold"));
    QVERIFY(s.textFont().family() == QStringLiteral("DejaVu Sans") && s.textFont().pointSize() == 40 && s.textFont().bold());
    QCOMPARE(s.fontStyleName(), QFontDatabase().styleString(s.textFont()));
}

void TestScene::gridSpacingIsClampedWhileTheCellSizeFollows()
{
    QVorrelScene s(-1000, -1000, 2000, 2000);
    // Spacing asked, grid spacing, checkerboard cell size.
    for (const QList<int> &c : QList<QList<int>>{{1, 2, 1}, {70000, 32767, 70000}, {-3, 2, 1}, {25, 25, 25}}) {
        s.setGridSpacing(c[0]);
        QCOMPARE(int(s.grid()->spacing()), c[1]);
        QCOMPARE(s.canvas()->cellSize(), c[2]);
    }
    // The page is at least one unit each way.
    s.setScreenSize(300, 200);
    QCOMPARE(s.canvasRect(), QRectF(0, 0, 300, 200));
    s.setScreenWidth(0);
    s.setScreenHeight(-5);
    QCOMPARE(s.canvasRect(), QRectF(0, 0, 1, 1));
}

void TestScene::viewFlagsAndExtras()
{
    // Steps: g c w s toggle grid, caret, work area, selection; x toggles the extras, h hides them, H shows them, e and
    // E set them hidden or shown; R and r begin a clipped or unclipped render, d ends it; "=n" sets the view flags.
    QVorrelScene s(0, 0, 10, 10);
    const QHash<QChar, std::function<void()>> act{{'g', [&] { s.toggleGridVisible(); }},
        {'c', [&] { s.toggleCaretVisible(); }}, {'w', [&] { s.toggleWorkAreaVisible(); }},
        {'s', [&] { s.toggleSelectionVisible(); }}, {'x', [&] { s.toggleExtrasVisible(); }}, {'h', [&] { s.hideExtras(); }},
        {'H', [&] { s.showExtras(); }}, {'e', [&] { s.setExtrasVisible(false); }}, {'E', [&] { s.setExtrasVisible(true); }},
        {'R', [&] { s.beginRender(true); }}, {'r', [&] { s.beginRender(false); }}, {'d', [&] { s.endRender(); }}};
    // The toggles act on the items while the extras are hidden; every item follows its bit, also when cleared.
    const QList<QPair<QString, QString>> steps{{"", "0111 14 L11"}, {"gcws", "1000 1 L11"}, {"h", "0000 1 L10"},
        {"c", "0100 3 L10"}, {"x", "1100 3 L11"}, {"=15", "1111 15 L11"}, {"=0", "0000 0 L11"}, {"e =14", "0000 14 L10"},
        {"E", "0111 14 L11"},
        // guards: renderWithoutClippingRestoresTheClipping (the page clips during and after the render as before it)
        {"R", "0000 14 -00"}, {"d", "0111 14 L11"}, {"w r", "0010 6 -00"}, {"d", "0101 6 L11"}, {"w h", "0000 14 L10"},
        {"r d", "0000 14 L10"}, {"H", "0111 14 L11"}};
    for (const auto &step : steps) {
        for (const QString &token : step.first.split(' ', Qt::SkipEmptyParts)) {
            for (int i = 0; i < token.size() && token[0] != '='; ++i)
                act.value(token[i])();
            if (token[0] == '=')
                s.setViewFlags(token.mid(1).toInt());
        }
        QCOMPARE(shown(s), step.second);
    }
}

void TestScene::exporterIsOwnedAndReplaced()
{
    int deaths = 0;
    {
        QVorrelScene s(0, 0, 10, 10);
        auto *first = new CountingExporter(&deaths);
        QVERIFY(first->begin(&s) && first->end());
        s.setExporter(6, first);
        s.setExporter(6, first); // the same exporter again stays alive
        QVERIFY(s.exporter() == first && s.exportKind() == 6 && deaths == 0);
        s.setExporter(6, new CountingExporter(&deaths));
        QCOMPARE(deaths, 1);
        s.setExporter(4, nullptr);
        QVERIFY(deaths == 2 && s.exportKind() == 4);
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
    QCOMPARE(s->items().size(), 6 + 1 + 1 + 2); // canvas, grid, root, caret, box, band; passage, word, glyphs
    for (QGraphicsItem *item : QList<QGraphicsItem *>{s->root(), s->caret(), s->grid(), s->selection(), s->selectionArea()})
        QCOMPARE(item->parentItem(), s->canvas());
    delete s;
}

void TestScene::checkerboardPaintsOnlyTheExposedCells()
{
    // Cells of 10: (2, 3) white, (3, 3) touching the area gray, those beside them not painted; the page's outline
    // black; the last row and column reach past the page (the item clips them).
    Canvas c(100, 100);
    c.setCellSize(10);
    c.setBrush(QColor(255, 255, 255, 0));
    QCOMPARE(pixels(painted(&c, QRectF(21, 31, 10, 5)), {{25, 35}, {35, 35}, {5, 35}, {55, 35}, {25, 5}, {25, 55}}), QStringLiteral("wgrrrr"));
    QCOMPARE(pixels(painted(&c, c.boundingRect()), {{15, 15}, {0, 50}, {99, 50}, {105, 105}}), QStringLiteral("gkkg"));
    // Hidden, it is not drawn.
    c.hideCheckerboard();
    QCOMPARE(pixels(painted(&c, c.boundingRect()), {{5, 5}}), QStringLiteral("r"));
    c.showCheckerboard();
    QCOMPARE(pixels(painted(&c, c.boundingRect()), {{5, 5}}), QStringLiteral("g"));
    // Cells of one pixel on a large page: only the area in view is drawn.
    Canvas big(30000, 30000);
    big.setCellSize(1);
    big.setBrush(Qt::transparent);
    QCOMPARE(pixels(painted(&big, QRectF(0, 0, 40, 40)), {{2, 2}, {3, 2}, {60, 60}}), QStringLiteral("gwr"));
    // Sizes below one are one.
    c.setSize(0, -5);
    c.setCellSize(-7);
    QVERIFY(c.boundingRect() == QRectF(0, 0, 1, 1) && c.cellSize() == 1);
}

void TestScene::gridPaintsOnlyTheExposedLines()
{
    // Lines every 50 on a 100 x 60 page, none on its border: one line each way, crossing once; a page one wider gets
    // the line at 100.
    Canvas page(100, 60);
    Grid grid(50, Qt::black, &page);
    QCOMPARE(grid.boundingRect(), QRectF(0, 0, 100, 60));
    const QImage img = painted(&grid, grid.boundingRect());
    QCOMPARE(pixels(img, {{50, 30}, {25, 50}, {0, 30}, {100, 30}, {25, 0}, {25, 30}}), QStringLiteral("kkrrrr"));
    QCOMPARE(inkCount(img), 60 + 100 - 1);
    page.setSize(101, 60);
    QCOMPARE(pixels(painted(&grid, grid.boundingRect()), {{50, 30}, {100, 30}, {100, 59}, {100, 60}}), QStringLiteral("kkkr"));
    // Only the lines crossing the exposed area are drawn.
    Canvas large(400, 400);
    Grid fine(10, Qt::black, &large);
    QCOMPARE(pixels(painted(&fine, QRectF(55, 55, 10, 10), QSize(400, 400)), {{60, 62}, {62, 60}, {20, 200}, {200, 20}}), QStringLiteral("kkrr"));
    // Without a page there is nothing to draw on.
    Grid orphan(50, Qt::black);
    QVERIFY(orphan.boundingRect().isNull());
    QCOMPARE(inkCount(painted(&orphan, QRectF(0, 0, 100, 100))), 0);
}

void TestScene::zoomedOutPageDrawsNoMoreThanItsPixels()
{
    // A page of 65536 a side shown 256 pixels wide. Cells of 50 are 0.195 pixels: squares of 6 cells (300, 1.17
    // pixels), 0..218 each way, and the page's outline. Lines every 2 are 1/128 pixel apart: every 128th, 128 to
    // 32640, each way.
    Canvas page(65536, 65536);
    page.setCellSize(50);
    page.setBrush(Qt::transparent);
    Grid grid(2, Qt::black, &page);
    QStyleOptionGraphicsItem option;
    option.exposedRect = page.boundingRect();
    QList<int> shapes;
    for (QGraphicsItem *item : QList<QGraphicsItem *>{&page, &grid}) {
        CountingDevice device;
        QPainter painter(&device);
        painter.scale(1.0 / 256, 1.0 / 256);
        item->paint(&painter, &option, nullptr);
        shapes << device.engine.shapes;
    }
    QCOMPARE(shapes, QList<int>({219 * 219 + 1, 2 * 255}));
}

void TestScene::snapToGrid()
{
    // Spacing, point, snapped point: half a step stays down, fractions are cut first, negatives go toward zero.
    const QList<QList<double>> cases = {{50, 26, 24, 50, 0}, {50, 25, 75, 0, 50}, {50, 25.9, 75.9, 0, 50}, {5, -9, -3, -5, 0},
        {5, -14.9, -1, -10, 0}, {5, 7, 8, 5, 10}, {20, 40, -40, 40, -40}};
    for (const QList<double> &c : cases)
        QCOMPARE(Grid(quint16(c[0]), Qt::black).snapToGrid(QPointF(c[1], c[2])), QPointF(c[3], c[4]));
}

void TestScene::selectionMarksItsRotateHandles()
{
    QVorrelScene scene(-1000, -1000, 2000, 2000);
    Selection *box = scene.selection();
    auto ink = [box] { // the box painted with a margin of 10
        const QRectF b = box->boundingRect();
        return inkCount(painted(box, b, (b.size() + QSizeF(20, 20)).toSize(), QPointF(10 - int(b.x()), 10 - int(b.y()))));
    };
    // Nothing selected: a box of 26 about its origin that paints nothing.
    QCOMPARE(box->sceneRect(), QRectF(-13, -13, 26, 26));
    QCOMPARE(ink(), 0);
    scene.root()->append(TreeBuilder::passage(QStringLiteral("HI"), arial, QPointF(100, 100)));
    Glyph *h = scene.root()->firstGlyph();
    scene.setSelected(h, true, false);
    const QRectF r = h->sceneBoundingRect().adjusted(-13, -13, 13, 13);
    QCOMPARE(box->sceneRect(), r);
    QCOMPARE(box->mapRectToScene(box->boundingRect()), r);
    // The handles: 6 x 6 squares inside the corners.
    for (const QPointF &p : {r.topLeft() + QPointF(5, 5), r.bottomRight() - QPointF(5, 5), QPointF(r.right() - 1, r.top() + 1)})
        QVERIFY(box->hitRotateHandle(p));
    for (const QPointF &p : {QPointF(r.center().x(), r.top() + 1), r.center(), r.topLeft() + QPointF(7, 1), QPointF(r.right() - 6.5, r.top() + 1)})
        QVERIFY(!box->hitRotateHandle(p));
    QCOMPARE(ink(), 4 * 2 * 7 - 4); // crosses of two 7-pixel lines mark them
    // Transforming, it previews the outlines of the unlocked glyphs instead.
    scene.setSelected(scene.root()->child(0), true, false);
    box->setTransforming(true);
    const int both = ink();
    scene.root()->lastGlyph()->lock();
    const int one = ink();
    QVERIFY(both > 0 && one > 0 && one < both);
    h->lock();
    QCOMPARE(ink(), 0);
}

QTEST_MAIN(TestScene)
#include "tst_scene.moc"
