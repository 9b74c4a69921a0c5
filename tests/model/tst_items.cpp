#include "model/Canvas.h"
#include "model/Caret.h"
#include "model/Glyph.h"
#include "model/Grid.h"
#include "model/QVorrelScene.h"
#include "model/Selection.h"
#include "model/TextGroup.h"
#include "support/TreeBuilder.h"

#include <QImage>
#include <QPainter>
#include <QStyleOptionGraphicsItem>
#include <QtTest>

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

class TestItems : public QObject
{
    Q_OBJECT
private slots:
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

void TestItems::checkerboardPaintsOnlyTheExposedCells()
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

void TestItems::sceneRenderingShowsTheCheckerboard()
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

void TestItems::gridLinesStayOffThePageBorder()
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

void TestItems::gridPaintsOnlyTheExposedLines()
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

void TestItems::snapToGrid_data()
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

void TestItems::snapToGrid()
{
    QFETCH(int, spacing);
    QFETCH(QPointF, point);
    QFETCH(QPointF, snapped);
    Grid grid(quint16(spacing), Qt::black);
    QCOMPARE(grid.snapToGrid(point), snapped);
}

void TestItems::caretFollowsItsMetricsAndColours()
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

void TestItems::selectionWithoutObjectsPaintsNothing()
{
    QVorrelScene scene(0, 0, 10, 10);
    QCOMPARE(scene.selection()->sceneRect(), QRectF(-13, -13, 26, 26));
    QCOMPARE(scene.selection()->boundingRect(), QRectF(-13, -13, 26, 26));
    QCOMPARE(inkCount(painted(scene.selection(), QRectF(-13, -13, 26, 26), QSize(60, 60), QPointF(30, 30))), 0);
    scene.selection()->setTransforming(true);
    QCOMPARE(inkCount(painted(scene.selection(), QRectF(-13, -13, 26, 26), QSize(60, 60), QPointF(30, 30))), 0);
}

void TestItems::selectionMarksItsRotateHandles()
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

void TestItems::selectionPreviewsUnlockedGlyphsWhileTransforming()
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

QTEST_MAIN(TestItems)
#include "tst_items.moc"
