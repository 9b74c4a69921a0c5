#include "ViewFixture.h"

#include "commands/Cmd.h"
#include "commands/CmdMoveCaretPoint.h"
#include "model/Caret.h"
#include "model/Glyph.h"
#include "support/Typist.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QtTest>

namespace {

// Kept short so that waiting out a deferred click costs little.
constexpr int DoubleClickInterval = 150;

} // namespace

class TestViewInput : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void construction();

    // The deferred click.
    void clickOnEmptyCanvasReachesSceneAtOnce();
    void clickOnGlyphWaitsForDoubleClickInterval();
    void moveHandsWaitingPressOverAtOnce();
    void doubleClickDropsWaitingPress();
    void secondPressHandsWaitingClickOver();
    void pressWhilePlayingIsNeverDeferred();

    // Buttons and panning.
    void mouseButtonsWrittenAfterEveryEvent();
    void middleButtonPans();
    void panDividesByScale();
    void middleButtonDoesNotPanWhilePlaying();
    void middleDoubleClickResetsZoomAndCentre();

    // Zoom and offset.
    void wheelZoomKeepsPointUnderCursor_data();
    void wheelZoomKeepsPointUnderCursor();
    void zoomInThenOutRestoresScale();
    void zoomActualSizeKeepsCentre();
    void viewOffsetTakesWholeHalves();
    void resizeCentresOnCanvasPlusOffset();
};

void TestViewInput::initTestCase()
{
    QApplication::setDoubleClickInterval(DoubleClickInterval);
}

void TestViewInput::construction()
{
    ViewFixture f;
    QCOMPARE(f.scene->sceneRect(), QRectF(-32768, -32768, 65535, 65535));
    QCOMPARE(f.view->windowTitle(), QStringLiteral("untitled"));
    QVERIFY(f.view->testAttribute(Qt::WA_DeleteOnClose));
    QVERIFY(f.view->viewport()->hasMouseTracking());
    QVERIFY(!f.view->renderHints().testFlag(QPainter::Antialiasing));
    QCOMPARE(f.view->alignment(), Qt::AlignCenter);
    QVERIFY(!f.view->isModified());
    QVERIFY(!f.view->isPlaying());
    QCOMPARE(f.view->viewOffset(), QPointF(0, 0));
    // The canvas centre of the default 1024 x 768 canvas is in the middle.
    const QPointF c = f.centreInScene();
    QVERIFY2(qAbs(c.x() - 512) <= 0.5 && qAbs(c.y() - 384) <= 0.5, qPrintable(QStringLiteral("%1, %2").arg(c.x()).arg(c.y())));
}

// The deferred click ----------------------------------------------------

void TestViewInput::clickOnEmptyCanvasReachesSceneAtOnce()
{
    ViewFixture f;
    const QPoint p = f.emptyPoint();
    const QPointF sp = f.view->mapToScene(p);
    QVERIFY(!f.scene->isGlyphAt(sp));
    f.press(p);
    QCOMPARE(f.scene->pressPoint(), sp);
    f.release(p);
    // The release placed the caret at the point, before any timer ran.
    QCOMPARE(f.entries(), 1);
    QCOMPARE(f.scene->caret()->scenePos().x(), sp.x());
}

void TestViewInput::clickOnGlyphWaitsForDoubleClickInterval()
{
    ViewFixture f;
    Typist::type(f.scene, QStringLiteral("HI"));
    Glyph *h = f.glyph(0);
    const QPoint p = f.over(h);
    const QPointF sp = f.view->mapToScene(p);
    QVERIFY(f.scene->isGlyphAt(sp));
    const int before = f.entries();
    const QPointF caretBefore = f.scene->caret()->scenePos();

    QElapsedTimer clock;
    clock.start();
    f.press(p);
    f.release(p);
    QVERIFY(f.scene->pressPoint() != sp);
    QCOMPARE(f.entries(), before);

    QTRY_COMPARE_WITH_TIMEOUT(f.entries(), before + 1, 5 * DoubleClickInterval);
    QVERIFY2(clock.elapsed() >= DoubleClickInterval * 9 / 10, qPrintable(QString::number(clock.elapsed())));
    // Press first, release right after: a click that puts the caret behind
    // the glyph. A release handed over before its press would have pulled a
    // rubber band from the old press point instead.
    QCOMPARE(f.scene->pressPoint(), sp);
    QCOMPARE(f.scene->textPointer().glyph, h);
    QVERIFY(f.scene->caret()->scenePos() != caretBefore);
    QVERIFY(f.scene->selectedObjects().isEmpty());
}

void TestViewInput::moveHandsWaitingPressOverAtOnce()
{
    ViewFixture f;
    Typist::type(f.scene, QStringLiteral("HI"));
    Glyph *h = f.glyph(0);
    f.scene->restoreSelection({h});
    const QPointF startPos = h->pos();
    const QPoint p = f.over(h);
    const int before = f.entries();

    f.press(p);
    QVERIFY(f.scene->pressPoint() != f.view->mapToScene(p));
    f.move(p + QPoint(30, 0), Qt::LeftButton);
    QCOMPARE(f.scene->pressPoint(), f.view->mapToScene(p));
    f.release(p + QPoint(30, 0));

    // The drag moved from the press point: 30 pixels at scale 1.
    QCOMPARE(f.entries(), before + 1);
    QCOMPARE(h->pos(), startPos + QPointF(30, 0));
    // No press is left to come later.
    QTest::qWait(2 * DoubleClickInterval);
    QCOMPARE(f.entries(), before + 1);
    QCOMPARE(h->pos(), startPos + QPointF(30, 0));
}

void TestViewInput::doubleClickDropsWaitingPress()
{
    ViewFixture f;
    Typist::type(f.scene, QStringLiteral("HI"));
    Glyph *h = f.glyph(0);
    const QPoint p = f.over(h);
    const int before = f.entries();
    const TextPointer pointerBefore = f.scene->textPointer();

    f.press(p);
    f.release(p);
    f.doubleClick(p);
    f.release(p);
    QTest::qWait(2 * DoubleClickInterval);

    // Only the double click reached the scene: it selected the glyph. The
    // first click's press and release never came, so the caret stayed.
    QCOMPARE(f.entries(), before + 1);
    QCOMPARE(f.scene->selectedObjects(), QList<TextObject *>{h});
    QCOMPARE(f.scene->textPointer().glyph, pointerBefore.glyph);
}

void TestViewInput::secondPressHandsWaitingClickOver()
{
    // Two quick clicks too far apart to make a double click: each places
    // the caret, the first before the second.
    ViewFixture f;
    Typist::type(f.scene, QStringLiteral("HI"));
    Glyph *h = f.glyph(0);
    Glyph *i = f.glyph(1);
    f.scene->executeCommand(new CmdMoveCaretPoint(f.scene, 0, 300));
    const int before = f.entries();

    f.press(f.over(h));
    f.release(f.over(h));
    f.press(f.over(i));
    QCOMPARE(f.entries(), before + 1);
    QCOMPARE(f.scene->textPointer().glyph, h);
    f.release(f.over(i));
    QTRY_COMPARE_WITH_TIMEOUT(f.entries(), before + 2, 5 * DoubleClickInterval);
    QCOMPARE(f.scene->textPointer().glyph, i);
    QTest::qWait(2 * DoubleClickInterval);
    QCOMPARE(f.entries(), before + 2);
}

void TestViewInput::pressWhilePlayingIsNeverDeferred()
{
    ViewFixture f;
    Typist::type(f.scene, QStringLiteral("HI"));
    const QPoint p = f.over(f.glyph(0));
    const QPointF oldPress = f.scene->pressPoint();

    f.view->setPlaying(true);
    f.press(p);
    QCOMPARE(f.scene->mouseButtons(), Qt::MouseButtons(Qt::LeftButton));
    f.view->setPlaying(false);
    // Handed over at once, the press met a playing scene, which ignored it;
    // a deferred press would reach the stopped scene when its timer fired.
    QTest::qWait(2 * DoubleClickInterval);
    QCOMPARE(f.scene->pressPoint(), oldPress);
    f.release(p);
}

// Buttons and panning ----------------------------------------------------

void TestViewInput::mouseButtonsWrittenAfterEveryEvent()
{
    ViewFixture f;
    const QPoint p = f.emptyPoint();
    const Qt::MouseButtons leftRight = Qt::LeftButton | Qt::RightButton;

    f.mouse(QEvent::MouseButtonPress, p, Qt::RightButton, Qt::RightButton);
    QCOMPARE(f.scene->mouseButtons(), Qt::MouseButtons(Qt::RightButton));
    f.mouse(QEvent::MouseButtonPress, p, Qt::LeftButton, leftRight);
    QCOMPARE(f.scene->mouseButtons(), leftRight);
    f.mouse(QEvent::MouseMove, p + QPoint(1, 1), Qt::NoButton, leftRight);
    QCOMPARE(f.scene->mouseButtons(), leftRight);
    f.mouse(QEvent::MouseButtonRelease, p, Qt::RightButton, Qt::LeftButton);
    QCOMPARE(f.scene->mouseButtons(), Qt::MouseButtons(Qt::LeftButton));
    f.mouse(QEvent::MouseButtonRelease, p, Qt::LeftButton, Qt::NoButton);
    QCOMPARE(f.scene->mouseButtons(), Qt::MouseButtons(Qt::NoButton));
    f.mouse(QEvent::MouseButtonDblClick, p, Qt::LeftButton, Qt::LeftButton);
    QCOMPARE(f.scene->mouseButtons(), Qt::MouseButtons(Qt::LeftButton));
    f.mouse(QEvent::MouseButtonRelease, p, Qt::LeftButton, Qt::NoButton);
    f.mouse(QEvent::MouseButtonPress, p, Qt::MiddleButton, Qt::MiddleButton);
    QCOMPARE(f.scene->mouseButtons(), Qt::MouseButtons(Qt::MiddleButton));
    f.mouse(QEvent::MouseMove, p + QPoint(5, 0), Qt::NoButton, Qt::MiddleButton);
    QCOMPARE(f.scene->mouseButtons(), Qt::MouseButtons(Qt::MiddleButton));
    f.mouse(QEvent::MouseButtonRelease, p, Qt::MiddleButton, Qt::NoButton);
    QCOMPARE(f.scene->mouseButtons(), Qt::MouseButtons(Qt::NoButton));
}

void TestViewInput::middleButtonPans()
{
    ViewFixture f;
    f.move(QPoint(400, 300), Qt::NoButton);
    const QPointF mouseBefore = f.scene->mousePosition();
    f.press(QPoint(400, 300), Qt::MiddleButton);
    QCOMPARE(f.view->cursor().shape(), Qt::OpenHandCursor);
    f.move(QPoint(350, 280), Qt::MiddleButton);
    f.move(QPoint(340, 290), Qt::MiddleButton);
    // Dragging left and up shows what lies right and below: (50, 20) then
    // (10, -10) more.
    QCOMPARE(f.view->viewOffset(), QPointF(60, 10));
    const QPointF c = f.centreInScene();
    QVERIFY(qAbs(c.x() - 572) <= 0.5 && qAbs(c.y() - 394) <= 0.5);
    // The scene heard nothing of the pan.
    QCOMPARE(f.scene->mousePosition(), mouseBefore);
    QCOMPARE(f.entries(), 0);

    f.release(QPoint(340, 290), Qt::MiddleButton);
    QCOMPARE(f.view->cursor().shape(), Qt::ArrowCursor);
    f.move(QPoint(300, 290), Qt::NoButton);
    QCOMPARE(f.view->viewOffset(), QPointF(60, 10));
    QCOMPARE(f.scene->mousePosition(), f.view->mapToScene(QPoint(300, 290)));
}

void TestViewInput::panDividesByScale()
{
    ViewFixture f;
    f.view->setTransform(QTransform::fromScale(2, 4));
    f.move(QPoint(400, 300), Qt::NoButton);
    f.press(QPoint(400, 300), Qt::MiddleButton);
    f.move(QPoint(410, 290), Qt::MiddleButton);
    QCOMPARE(f.view->viewOffset(), QPointF(-5, 2.5));
    f.release(QPoint(410, 290), Qt::MiddleButton);
}

void TestViewInput::middleButtonDoesNotPanWhilePlaying()
{
    ViewFixture f;
    f.move(QPoint(400, 300), Qt::NoButton);
    f.view->setPlaying(true);
    f.press(QPoint(400, 300), Qt::MiddleButton);
    QVERIFY(f.view->cursor().shape() != Qt::OpenHandCursor);
    f.move(QPoint(350, 280), Qt::MiddleButton);
    QCOMPARE(f.view->viewOffset(), QPointF(0, 0));
    // The move went to the scene, which reports the mouse even while playing.
    QCOMPARE(f.scene->mousePosition(), f.view->mapToScene(QPoint(350, 280)));
    f.release(QPoint(350, 280), Qt::MiddleButton);
    f.view->setPlaying(false);
}

void TestViewInput::middleDoubleClickResetsZoomAndCentre()
{
    ViewFixture f;
    f.view->zoomIn(QPointF(100, 100));
    f.view->zoomIn(QPointF(100, 100));
    f.view->setViewOffset(QPointF(70, -30));
    f.doubleClick(QPoint(200, 200), Qt::MiddleButton);
    QCOMPARE(f.view->transform(), QTransform());
    QCOMPARE(f.view->viewOffset(), QPointF(0, 0));
    const QPointF c = f.centreInScene();
    QVERIFY(qAbs(c.x() - 512) <= 0.5 && qAbs(c.y() - 384) <= 0.5);
}

// Zoom and offset ---------------------------------------------------------

void TestViewInput::wheelZoomKeepsPointUnderCursor_data()
{
    QTest::addColumn<QPoint>("delta");
    QTest::addColumn<double>("scale");
    QTest::newRow("up zooms in") << QPoint(0, 120) << 1.15;
    QTest::newRow("down zooms out") << QPoint(0, -120) << 1 / 1.15;
    QTest::newRow("zero zooms out") << QPoint(0, 0) << 1 / 1.15;
    QTest::newRow("small step zooms in") << QPoint(0, 1) << 1.15;
    QTest::newRow("horizontal wheel right") << QPoint(120, 0) << 1.15;
    QTest::newRow("horizontal wheel left") << QPoint(-120, 0) << 1 / 1.15;
}

void TestViewInput::wheelZoomKeepsPointUnderCursor()
{
    QFETCH(QPoint, delta);
    QFETCH(double, scale);
    ViewFixture f;
    const QPoint p(123, 77);
    const QPointF before = f.view->mapToScene(p);
    f.wheel(p, delta);
    QVERIFY(qFuzzyCompare(f.view->transform().m11(), scale));
    QVERIFY(qFuzzyCompare(f.view->transform().m22(), scale));
    // Within one viewport pixel: the view scrolls in whole pixels.
    const QPointF after = f.view->mapToScene(p);
    const double tolerance = 1 / scale;
    QVERIFY2(qAbs(after.x() - before.x()) <= tolerance && qAbs(after.y() - before.y()) <= tolerance,
             qPrintable(QStringLiteral("(%1, %2) moved to (%3, %4)").arg(before.x()).arg(before.y()).arg(after.x()).arg(after.y())));
    // The offset tells the same: the viewport centre is canvas centre + offset.
    const QPointF c = f.centreInScene();
    const QPointF o = f.offsetCentre();
    QVERIFY(qAbs(c.x() - o.x()) <= tolerance && qAbs(c.y() - o.y()) <= tolerance);
}

void TestViewInput::zoomInThenOutRestoresScale()
{
    ViewFixture f;
    const QPoint p(600, 450);
    const QPointF before = f.view->mapToScene(p);
    for (int i = 0; i < 5; ++i)
        f.wheel(p, QPoint(0, 120));
    QVERIFY(qFuzzyCompare(f.view->transform().m11(), std::pow(1.15, 5)));
    for (int i = 0; i < 5; ++i)
        f.wheel(p, QPoint(0, -120));
    QVERIFY(qFuzzyCompare(f.view->transform().m11(), 1.0));
    // Each step keeps the point within a pixel, as the view scrolls in
    // whole pixels; ten steps stay within ten.
    const QPointF after = f.view->mapToScene(p);
    QVERIFY(qAbs(after.x() - before.x()) <= 10 && qAbs(after.y() - before.y()) <= 10);
}

void TestViewInput::zoomActualSizeKeepsCentre()
{
    ViewFixture f;
    f.view->zoomIn(QPointF(100, 100));
    f.view->zoomIn(QPointF(100, 100));
    const QPointF centre = f.centreInScene();
    f.view->zoomActualSize();
    QCOMPARE(f.view->transform(), QTransform());
    const QPointF c = f.centreInScene();
    QVERIFY(qAbs(c.x() - centre.x()) <= 1 && qAbs(c.y() - centre.y()) <= 1);
}

void TestViewInput::viewOffsetTakesWholeHalves()
{
    ViewFixture f;
    f.scene->setScreenSize(1023, 767);
    // At scale 4 a quarter unit is one pixel, so a half unit shows.
    f.view->setTransform(QTransform::fromScale(4, 4));
    f.view->setViewOffset(QPointF(-7, 12));
    QCOMPARE(f.view->viewOffset(), QPointF(-7, 12));
    const QPointF c = f.centreInScene();
    // 1023 / 2 = 511 and 767 / 2 = 383, not 511.5 and 383.5.
    QVERIFY2(qAbs(c.x() - 504) < 0.2 && qAbs(c.y() - 395) < 0.2,
             qPrintable(QStringLiteral("%1, %2").arg(c.x()).arg(c.y())));
    f.view->centerCanvas();
    QCOMPARE(f.view->viewOffset(), QPointF(0, 0));
    const QPointF d = f.centreInScene();
    QVERIFY(qAbs(d.x() - 511) < 0.2 && qAbs(d.y() - 383) < 0.2);
}

void TestViewInput::resizeCentresOnCanvasPlusOffset()
{
    ViewFixture f;
    f.view->setViewOffset(QPointF(40, -25));
    // A new canvas size moves the canvas centre; the next resize follows it.
    f.scene->setScreenSize(800, 600);
    f.view->resize(700, 500);
    QApplication::processEvents();
    const QPointF c = f.centreInScene();
    QVERIFY2(qAbs(c.x() - 440) <= 0.5 && qAbs(c.y() - 275) <= 0.5,
             qPrintable(QStringLiteral("%1, %2").arg(c.x()).arg(c.y())));
}

QTEST_MAIN(TestViewInput)
#include "tst_viewinput.moc"
