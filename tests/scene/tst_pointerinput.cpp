#include "commands/Cmd.h"
#include "model/Caret.h"
#include "model/Glyph.h"
#include "model/QVorrelScene.h"
#include "model/Selection.h"
#include "model/TextGroup.h"
#include "support/TestDocument.h"
#include "support/TreeCheck.h"
#include "support/TreeDump.h"

#include <QGraphicsRectItem>
#include <QSignalSpy>
#include <QtTest>

#include <cmath>

namespace {

using Objects = QList<TextObject *>;

// A document driven the way the view drives it: each event goes to the
// scene, then the view records the buttons it carried.
struct Doc : TestDocument
{
    TextGroup *p = add(QStringLiteral("AB"));
    Glyph *a = glyph(p, 0);
    Glyph *b = glyph(p, 1);

    void press(const QPointF &at)
    {
        scene.handleMousePress(QEvent::GraphicsSceneMousePress, at);
        scene.setMouseButtons(Qt::LeftButton);
    }
    void move(const QPointF &at, Qt::KeyboardModifiers mods = Qt::NoModifier)
    {
        scene.handleMouseMove(QEvent::GraphicsSceneMouseMove, at, Qt::NoButton, scene.mouseButtons(), mods);
    }
    void release(const QPointF &at, Qt::KeyboardModifiers mods = Qt::NoModifier)
    {
        scene.handleMouseRelease(QEvent::GraphicsSceneMouseRelease, at, Qt::LeftButton, Qt::NoButton, mods);
        scene.setMouseButtons(Qt::NoButton);
    }
    void doubleClick(const QPointF &at, Qt::KeyboardModifiers mods = Qt::NoModifier)
    {
        scene.handleMouseDoubleClick(QEvent::GraphicsSceneMouseDoubleClick, at, Qt::LeftButton, Qt::LeftButton, mods);
    }
    void drag(const QPointF &from, const QPointF &to, Qt::KeyboardModifiers mods = Qt::NoModifier)
    {
        press(from);
        if (from != to)
            move(to, mods);
        release(to, mods);
    }
    QPointF centre() const { return scene.selection()->pos(); }
};

} // namespace

class TestPointerInput : public QObject
{
    Q_OBJECT

private slots:
    void clicksPlaceTheCaret();
    void caretFollowsMovedGlyph();
    void hoverPrefersSelectedObjects();
    void shortDragOnSelectionMovesNothing();
    void dragMovesSelectionAsOneEntry();
    void dragBackToStartLeavesNoPreview();
    void rotateHandleSnapsWithShift_data();
    void rotateHandleSnapsWithShift();
    void rubberBandSelectsBeyondTheThreshold();
    void selectionAreaOrdersCorners();
    void doubleClickWithSnappingSelectsGlyphUnderPointer();
    void playingReportsOnlyMousePosition();
    void releaseDuringPlayEndsRubberBand();
};

void TestPointerInput::clicksPlaceTheCaret()
{
    Doc d;
    // On empty canvas: the caret there, outside the text, and the
    // selection cleared in the same step.
    d.select({d.b, d.a});
    d.drag(QPointF(400, 300), QPointF(400, 300));
    QCOMPARE(d.entries(), 1);
    QCOMPARE(d.lastText(), QStringLiteral("Move Caret"));
    QCOMPARE(d.scene.caret()->pos(), QPointF(400, 300));
    QVERIFY(!d.scene.textPointer().passage && d.selected().isEmpty());
    d.scene.undo();
    QCOMPARE(d.selected(), (Objects{d.b, d.a}));
    QCOMPARE(d.scene.caret()->pos(), QPointF(0, 100));
    // On a glyph: behind it.
    d.select({});
    d.drag(centreOf(d.a), centreOf(d.a));
    QCOMPARE(d.lastText(), QStringLiteral("Move Caret to Glyph"));
    QCOMPARE(d.scene.textPointer().glyph, d.a);
    // Snapping takes the press point, and only it, to the grid.
    d.scene.setGridSpacing(50);
    QCOMPARE(d.scene.snapPoint(QPointF(74, 10)), QPointF(74, 10));
    d.scene.setSnapFlags(1);
    QCOMPARE(d.scene.snapPoint(QPointF(76, 26)), QPointF(100, 50));
    d.drag(QPointF(74, 10), QPointF(74, 10));
    QCOMPARE(d.scene.pressPoint(), QPointF(50, 0));
    QCOMPARE(d.scene.caret()->pos(), QPointF(50, 0));
    // A Ctrl click on empty canvas selects nothing and leaves the caret.
    d.scene.setSnapFlags(0);
    d.select({d.a});
    d.drag(QPointF(-300, -300), QPointF(-300, -300), Qt::ControlModifier);
    QCOMPARE(d.selected(), Objects{d.a});
    QCOMPARE(d.scene.caret()->pos(), QPointF(50, 0));
    QCOMPARE(d.entries(), 2);
}

void TestPointerInput::caretFollowsMovedGlyph()
{
    Doc d;
    d.drag(centreOf(d.b), centreOf(d.b));
    const QPointF caret = d.scene.caret()->pos();
    const QPointF posB = d.b->pos();
    // Moving another glyph leaves the caret.
    d.select({d.a});
    d.scene.moveSelected(15, 0);
    QCOMPARE(d.scene.caret()->pos(), caret);
    d.scene.undo();
    // Moving its glyph takes the caret along, in the same step.
    d.select({d.p});
    d.drag(centreOf(d.b), centreOf(d.b) + QPointF(40, 20));
    QCOMPARE(d.entries(), 2);
    QCOMPARE(d.lastText(), QStringLiteral("Move Selection"));
    QCOMPARE(d.b->pos(), posB + QPointF(40, 20));
    QCOMPARE(d.scene.caret()->pos(), caret + QPointF(40, 20));
    QCOMPARE(d.scene.textPointer().glyph, d.b);
    d.scene.undo();
    QCOMPARE(d.b->pos(), posB);
    QCOMPARE(d.scene.caret()->pos(), caret);
    d.scene.redo();
    // Rotation by the menu takes the caret along in one step too.
    d.scene.rotateSelectedAboutCentre(90);
    QCOMPARE(d.entries(), 3);
    QCOMPARE(d.lastText(), QStringLiteral("Rotate Selection"));
    QVERIFY(d.scene.caret()->pos() != caret + QPointF(40, 20));
    d.scene.undo();
    QCOMPARE(d.scene.caret()->pos(), caret + QPointF(40, 20));
}

void TestPointerInput::hoverPrefersSelectedObjects()
{
    Doc d;
    d.move(centreOf(d.a));
    QCOMPARE(d.scene.hoveredObject(), d.a);
    QVERIFY(d.a->isHighlighted());
    // Over a selected passage the passage is hovered, not its glyph.
    d.select({d.p});
    d.move(centreOf(d.a));
    QCOMPARE(d.scene.hoveredObject(), d.p);
    QVERIFY(!d.a->isHighlighted());
    d.move(QPointF(-2000, -2000));
    QCOMPARE(d.scene.hoveredObject(), nullptr);
    QVERIFY(!d.p->isHighlighted());
    QCOMPARE(d.entries(), 0);
}

void TestPointerInput::shortDragOnSelectionMovesNothing()
{
    Doc d;
    d.select({d.p});
    const TreeDump before = d.dump();
    const QPointF from = centreOf(d.a);
    const QPointF centre = d.centre();
    // A press on the selection with a hand tremor of 2.9 units is a click.
    d.press(from);
    QVERIFY(d.scene.pressedOnSelection());
    d.move(from + QPointF(2.0, 2.1));
    QCOMPARE(d.centre(), centre);
    QVERIFY(!d.scene.selection()->isTransforming());
    d.release(from + QPointF(2.0, 2.1));
    QCOMPARE(d.entries(), 0);
    VERIFY_SAME_TREE(d.dump(), before);
    QVERIFY(!d.scene.pressedOnSelection());
}

void TestPointerInput::dragMovesSelectionAsOneEntry()
{
    Doc d;
    const QPointF posA = d.a->pos();
    const QPointF posB = d.b->pos();
    d.select({d.p});
    const QPointF from = centreOf(d.a);
    const QPointF centre = d.centre();
    d.press(from);
    d.move(from + QPointF(10, 5));
    // The preview follows the pointer; the text stays until the release.
    QCOMPARE(d.centre(), centre + QPointF(10, 5));
    QVERIFY(d.scene.selection()->isTransforming());
    QCOMPARE(d.a->pos(), posA);
    d.move(from + QPointF(40, 20));
    d.release(from + QPointF(40, 20));
    QCOMPARE(d.entries(), 1);
    QCOMPARE(d.lastText(), QStringLiteral("Move Selection"));
    QCOMPARE(d.a->pos(), posA + QPointF(40, 20));
    QCOMPARE(d.b->pos(), posB + QPointF(40, 20));
    QVERIFY(!d.scene.selection()->isTransforming());
    QCOMPARE(d.centre(), centre + QPointF(40, 20));
    VERIFY_SCENE(&d.scene);
    d.scene.undo();
    QCOMPARE(d.a->pos(), posA);
    // With Shift the move keeps to its larger axis.
    d.drag(centreOf(d.a), centreOf(d.a) + QPointF(30, 10), Qt::ShiftModifier);
    d.drag(centreOf(d.a), centreOf(d.a) + QPointF(-8, 25), Qt::ShiftModifier);
    QCOMPARE(d.a->pos(), posA + QPointF(30, 25));
    QCOMPARE(d.entries(), 2);
}

void TestPointerInput::dragBackToStartLeavesNoPreview()
{
    Doc d;
    d.select({d.p});
    const TreeDump before = d.dump();
    const QPointF from = centreOf(d.a);
    const QPointF centre = d.centre();
    d.press(from);
    d.move(from + QPointF(40, 0));
    // Back within the threshold the preview still follows the pointer.
    d.move(from + QPointF(1, 0));
    QCOMPARE(d.centre(), centre + QPointF(1, 0));
    d.move(from);
    d.release(from);
    QCOMPARE(d.entries(), 0);
    VERIFY_SAME_TREE(d.dump(), before);
    QCOMPARE(d.centre(), centre);
    QVERIFY(!d.scene.selection()->isTransforming());
    // The next short tremor is a click again.
    d.press(from);
    d.move(from + QPointF(2, 0));
    QCOMPARE(d.centre(), centre);
    d.release(from + QPointF(2, 0));
    QCOMPARE(d.entries(), 0);
}

void TestPointerInput::rotateHandleSnapsWithShift_data()
{
    QTest::addColumn<double>("raw");
    QTest::addColumn<bool>("shift");
    QTest::addColumn<double>("degrees");
    QTest::newRow("0.2 rad snaps up") << 0.2 << true << 22.5;
    QTest::newRow("0.19 rad snaps down") << 0.19 << true << 0.0;
    QTest::newRow("-0.2 rad snaps down") << -0.2 << true << -22.5;
    QTest::newRow("0.6 rad snaps to 45") << 0.6 << true << 45.0;
    QTest::newRow("0.2 rad free") << 0.2 << false << 0.2 * 180 / M_PI;
}

void TestPointerInput::rotateHandleSnapsWithShift()
{
    QFETCH(double, raw);
    QFETCH(bool, shift);
    QFETCH(double, degrees);
    Doc d;
    d.select({d.p});
    const QRectF box = d.scene.selection()->sceneRect();
    const QPointF c = box.center();
    const QPointF handle = box.topLeft() + QPointF(2, 2);
    d.press(handle);
    QVERIFY(d.scene.pressedOnRotateHandle());
    QVERIFY(!d.scene.pressedOnSelection());
    // The same distance from the centre, turned by the raw angle.
    const double a0 = std::atan2(handle.y() - c.y(), handle.x() - c.x());
    const double radius = std::hypot(handle.x() - c.x(), handle.y() - c.y());
    const QPointF to = c + radius * QPointF(std::cos(a0 + raw), std::sin(a0 + raw));
    const Qt::KeyboardModifiers mods = shift ? Qt::ShiftModifier : Qt::NoModifier;
    d.move(to, mods);
    QVERIFY(qAbs(d.scene.selection()->rotation() - degrees) < 1e-3);
    d.release(to, mods);
    QCOMPARE(d.entries(), degrees == 0 ? 0 : 1);
    if (degrees != 0)
        QCOMPARE(d.lastText(), QStringLiteral("Rotate Selection"));
    QVERIFY(qAbs(d.a->rotation() - degrees) < 1e-3);
    QCOMPARE(d.scene.selection()->rotation(), 0.0);
    QVERIFY(!d.scene.pressedOnRotateHandle());
}

void TestPointerInput::rubberBandSelectsBeyondTheThreshold()
{
    Doc d;
    QSignalSpy areas(&d.scene, &QVorrelScene::selectionAreaChanged);
    d.press(QPointF(-100, -100));
    d.move(QPointF(-98, -98)); // 2.83 away
    QCOMPARE(areas.count(), 0);
    QVERIFY(!d.scene.selectionArea()->isVisible());
    d.move(QPointF(-40, -20));
    QCOMPARE(areas.count(), 1);
    QCOMPARE(areas.at(0).at(0).toRectF(), QRectF(-100, -100, 60, 80));
    QVERIFY(d.scene.selectionArea()->isVisible());
    d.release(QPointF(-40, -20));
    // The region holds no glyph: nothing selected, no entry; the band hides.
    QCOMPARE(d.entries(), 0);
    QCOMPARE(areas.count(), 2);
    QCOMPARE(areas.at(1).at(0).toRectF(), QRectF(0, 0, 0, 0));
    QVERIFY(!d.scene.selectionArea()->isVisible());

    // A band over the first glyph only; then Ctrl adds, Alt removes.
    const QRectF ra = d.a->sceneBoundingRect();
    const QPointF from = ra.topLeft() - QPointF(20, 20);
    const QPointF to(ra.center().x(), ra.bottom() + 10);
    d.drag(from, to);
    QCOMPARE(d.lastText(), QStringLiteral("Select Region"));
    QCOMPARE(d.selected(), Objects{d.a});
    d.drag(QPointF(ra.right() + 1, from.y()), QPointF(d.b->sceneBoundingRect().right() + 20, to.y()),
           Qt::ControlModifier);
    QCOMPARE(d.selected(), (Objects{d.a, d.b}));
    d.drag(from, to, Qt::AltModifier);
    QCOMPARE(d.selected(), Objects{d.b});
    QCOMPARE(d.entries(), 3);
    VERIFY_SCENE(&d.scene);
}

void TestPointerInput::selectionAreaOrdersCorners()
{
    Doc d;
    QSignalSpy areas(&d.scene, &QVorrelScene::selectionAreaChanged);
    d.scene.setSelectionArea(10.5f, 20.25f, 100.75f, 50.5f);
    QCOMPARE(d.scene.selectionArea()->rect(), QRectF(10.5, 20.25, 90.25, 30.25));
    // Swapped corners: the larger coordinate loses its fraction.
    d.scene.setSelectionArea(100.75f, 50.5f, 10.5f, 20.25f);
    QCOMPARE(d.scene.selectionArea()->rect(), QRectF(10.5, 20.25, 89.5, 29.75));
    QVERIFY(d.scene.selectionArea()->isVisible());
    // A line is still shown; a point is not.
    d.scene.setSelectionArea(5, 5, 5, 40);
    QVERIFY(d.scene.selectionArea()->isVisible());
    d.scene.setSelectionArea(5, 5, 5, 5);
    QVERIFY(!d.scene.selectionArea()->isVisible());
    QCOMPARE(areas.count(), 4);
    QCOMPARE(areas.last().at(0).toRectF(), QRectF(5, 5, 0, 0));
}

void TestPointerInput::doubleClickWithSnappingSelectsGlyphUnderPointer()
{
    Doc d;
    d.doubleClick(QPointF(-500, -500));
    QCOMPARE(d.entries(), 0);
    QVERIFY(!d.scene.pressedOnSelection());
    d.doubleClick(centreOf(d.a));
    QCOMPARE(d.lastText(), QStringLiteral("Select Object"));
    QCOMPARE(d.selected(), Objects{d.a});
    QVERIFY(d.scene.pressedOnSelection());
    d.release(centreOf(d.a));
    QVERIFY(!d.scene.pressedOnSelection());
    // Alt deselects by point.
    d.doubleClick(centreOf(d.a), Qt::AltModifier);
    QVERIFY(d.selected().isEmpty());
    QCOMPARE(d.entries(), 2);
    // The grid point (1000, 1000) lies beside the text.
    d.scene.setGridSpacing(1000);
    d.scene.setSnapFlags(1);
    QVERIFY(!d.scene.glyphAt(d.scene.snapPoint(centreOf(d.b))));
    d.doubleClick(centreOf(d.b));
    QCOMPARE(d.selected(), Objects{d.b});
    QCOMPARE(d.entries(), 3);
}

void TestPointerInput::playingReportsOnlyMousePosition()
{
    Doc d;
    d.select({d.p});
    const QPointF centre = d.centre();
    d.scene.setPlayStateValue(1);
    QSignalSpy positions(&d.scene, &QVorrelScene::mousePositionChanged);
    QSignalSpy areas(&d.scene, &QVorrelScene::selectionAreaChanged);
    QSignalSpy changes(&d.scene, &QVorrelScene::documentChanged);
    const TreeDump before = d.dump();
    // A drag from the selection and one from empty canvas.
    for (const QPointF &from : {centreOf(d.a), QPointF(-400, -400)}) {
        d.press(from);
        QVERIFY(!d.scene.pressedOnSelection());
        d.move(from + QPointF(30, 40));
        QCOMPARE(d.scene.mousePosition(), from + QPointF(30, 40));
        d.move(from + QPointF(60, 80));
        d.release(from + QPointF(60, 80));
        d.doubleClick(centreOf(d.a));
        d.release(centreOf(d.a));
    }
    QCOMPARE(positions.count(), 4);
    QCOMPARE(positions.last().at(0).toPointF(), QPointF(-340, -320));
    QCOMPARE(areas.count(), 0);
    QCOMPARE(changes.count(), 0);
    QCOMPARE(d.centre(), centre);
    QVERIFY(!d.scene.selection()->isTransforming());
    QCOMPARE(d.scene.hoveredObject(), nullptr);
    QCOMPARE(d.entries(), 0);
    VERIFY_SAME_TREE(d.dump(), before);
    QCOMPARE(d.selected(), Objects{d.p});
}

void TestPointerInput::releaseDuringPlayEndsRubberBand()
{
    Doc d;
    QSignalSpy areas(&d.scene, &QVorrelScene::selectionAreaChanged);
    // Play starts (Ctrl+Space) while a rubber band is being drawn over the
    // text; the button comes up during play.
    d.press(QPointF(-100, -100));
    d.move(QPointF(800, 800));
    QVERIFY(d.scene.selectionArea()->isVisible());
    d.scene.setPlayStateValue(1);
    d.release(QPointF(800, 800));
    // The gesture is over: its band is not left on the canvas, where it
    // would be drawn through the run and into exported frames.
    QVERIFY(!d.scene.selectionArea()->isVisible());
    QCOMPARE(areas.count(), 2);
    QCOMPARE(areas.last().at(0).toRectF(), QRectF(0, 0, 0, 0));
    d.scene.setPlayStateValue(0);
    // After play a Ctrl click far from the text selects nothing.
    d.press(QPointF(-900, -900));
    d.release(QPointF(-900, -900), Qt::ControlModifier);
    QVERIFY(d.selected().isEmpty() && !d.a->isSelected());
    QCOMPARE(d.entries(), 0);
}

QTEST_MAIN(TestPointerInput)
#include "tst_pointerinput.moc"
