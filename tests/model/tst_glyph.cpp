#include "model/Glyph.h"
#include "model/GlyphPath.h"
#include "model/QVorrelScene.h"
#include "model/TextGroup.h"
#include "support/ModalRecorder.h"
#include "support/TestDocument.h"
#include "support/TestSoftType.h"
#include "support/TreeBuilder.h"

#include <QPainter>
#include <QtTest>

namespace {

// A path of "M|L|C|D x,y" elements (move, line, curve, curve data), streamed in so that Qt keeps every element.
QPainterPath pathOf(const QString &elements, const QPointF &shift = QPointF())
{
    const QStringList parts = elements.split(' ', Qt::SkipEmptyParts);
    QByteArray bytes;
    QDataStream out(&bytes, QIODevice::WriteOnly);
    out << qint32(parts.size());
    for (const QString &e : parts)
        out << qint32(QStringLiteral("MLCD").indexOf(e[0])) << e.mid(1).section(',', 0, 0).toDouble() + shift.x()
            << e.section(',', 1).toDouble() + shift.y();
    out << qint32(0) << qint32(Qt::OddEvenFill);
    QDataStream in(bytes);
    QPainterPath p;
    in >> p;
    return p;
}

QString elementsOf(const QPainterPath &p)
{
    QStringList out;
    for (int i = 0; i < p.elementCount(); ++i) {
        const QPainterPath::Element e = p.elementAt(i);
        out << QStringLiteral("MLCD").at(e.type) + QStringLiteral("%1,%2").arg(e.x, 0, 'g', 17).arg(e.y, 0, 'g', 17);
    }
    return out.join(' ');
}

void deform(Glyph *g)
{
    for (int i = 0; i < g->path()->current.elementCount(); ++i)
        g->moveElementBy(i, QPointF(i % 4, -(i % 3)));
}

} // namespace

class TestGlyph : public QObject
{
    Q_OBJECT
private slots:
    void exactConversions_data();
    void exactConversions();
    void degenerateSegmentsOfADeformedOutlineAreKept();
    void setFontSizeRefusesSizesBelowOne();
    void setFontSizeOfAPixelSizedFontRebuilds();
    void setFontRebuildsOnlyWhenAsked();
    void moveElementByIgnoresBadInput();
    void applySoftTypesRunsEnabledOnesOnUsableGlyphs();
    void softTypeListOwnsWhatItHolds();
    void cloneCopiesLookAndOutlinesButNotState();
    void selectionBoxFollowsTheViewSwitches();
};

void TestGlyph::exactConversions_data()
{
    // Outlines after one operation ("rest | current"; current "moved" is the rest moved by (3, 3)); L -> Q becomes
    // cubic(L + 2(Q-L)/3, L + (Q-L)/3, Q).
    QTest::addColumn<QString>("op");
    QTest::addColumn<QString>("rest");
    QTest::addColumn<QString>("current");
    QTest::addColumn<QString>("after");
    QTest::newRow("lines become straight cubics") << "curves" << "M0,0 L30,0 L30,60" << "moved" << "M0,0 C20,0 D10,0 D30,0 C30,40 D30,20 D30,60";
    QTest::newRow("convertToCurvesKeepsOverlongRunsAsCubicsWithoutAMessage: six points") << "curves" << "M0,0 C1,1 D2,2 D3,3 D4,4 D5,5 D6,6" << "moved" << "M0,0 C1,1 D2,2 D3,3 C4,4 D5,5 D6,6";
    QTest::newRow("convertToCurvesKeepsOverlongRunsAsCubicsWithoutAMessage: four points") << "curves" << "M0,0 C3,0 D6,0 D9,0 D9,30" << "moved" << "M0,0 C3,0 D6,0 D9,0 C9,20 D9,10 D9,30";
    QTest::newRow("a quadratic is raised to a cubic") << "curves" << "M0,0 C30,30 D60,0" << "moved" << "M0,0 C20,20 D40,20 D60,0";
    QTest::newRow("a line from x 1 is kept") << "lines" << "M1,0 L1,5" << "moved" << "M1,0 L1,5";
    QTest::newRow("a curve ends at its first control point") << "lines" << "M0,0 C10,20 D30,20 D40,0 L0,0" << "moved" << "M0,0 L10,20 L0,0";
    QTest::newRow("a polygon stays") << "lines" << "M0,0 L10,0 L10,10 L0,10 L0,0" << "moved" << "M0,0 L10,0 L10,10 L0,10 L0,0";
    QTest::newRow("outlinesOfDifferentLengthAreEachWalkedByTheirOwnCount: scale, longer rest") << "scale" << "M0,0 L10,0 L10,10 L0,0" << "M2,2 L12,2" << "M0,0 L20,0 L20,20 L0,0 | M4,4 L24,4";
    QTest::newRow("outlinesOfDifferentLengthAreEachWalkedByTheirOwnCount: scale, longer current") << "scale" << "M2,2 L12,2" << "M0,0 L10,0 L10,10 L0,0" << "M4,4 L24,4 | M0,0 L20,0 L20,20 L0,0";
    QTest::newRow("outlinesOfDifferentLengthAreEachWalkedByTheirOwnCount: lines, no current") << "lines" << "M0,0 L30,0 L30,30 L0,0" << "" << "M0,0 L30,0 L30,30 L0,0 | ";
    QTest::newRow("outlinesOfDifferentLengthAreEachWalkedByTheirOwnCount: curves, no current") << "curves" << "M0,0 L30,0 L30,30 L0,0" << "" << "M0,0 C20,0 D10,0 D30,0 C30,20 D30,10 D30,30 C10,10 D20,20 D0,0 | ";
    QTest::newRow("outlinesOfDifferentLengthAreEachWalkedByTheirOwnCount: curves, longer current") << "curves" << "M3,3 L33,3" << "M0,0 L30,0 L30,30 L0,0" << "M3,3 C23,3 D13,3 D33,3 | M0,0 C20,0 D10,0 D30,0 C30,20 D30,10 D30,30 C10,10 D20,20 D0,0";
    for (const char *op : {"scale", "lines", "curves"}) {
        QTest::addRow("emptyOutlineStaysEmpty: %s, no elements", op) << op << "" << "" << " | ";
        QTest::addRow("emptyOutlineStaysEmpty: %s, a lone move", op) << op << "M5,5" << "moved" << (op == QByteArray("scale") ? "M10,10" : "M5,5");
    }
}

void TestGlyph::exactConversions()
{
    QFETCH(QString, op);
    QFETCH(QString, rest);
    QFETCH(QString, current);
    QFETCH(QString, after);
    const bool moved = current == QLatin1String("moved");
    ModalRecorder modal;
    GlyphPath p;
    p.setPaths(pathOf(rest), moved ? pathOf(rest, QPointF(3, 3)) : pathOf(current));
    if (op == QLatin1String("scale"))
        p.scale(2);
    else
        op == QLatin1String("lines") ? p.flattenToLines() : p.convertToCurves();
    const QString restAfter = after.section(QStringLiteral(" | "), 0, 0);
    QCOMPARE(elementsOf(p.rest), restAfter);
    const QPointF shift = op == QLatin1String("scale") ? QPointF(6, 6) : QPointF(3, 3);
    QCOMPARE(elementsOf(p.current), moved ? elementsOf(pathOf(restAfter, shift)) : after.section(QStringLiteral(" | "), 1));
    QVERIFY(modal.calls.isEmpty());
}

void TestGlyph::degenerateSegmentsOfADeformedOutlineAreKept()
{
    // A point pulled onto the one before it, or not finite: both outlines keep every element.
    auto typesOf = [](const QPainterPath &p) { return elementsOf(p).remove(QRegularExpression(QStringLiteral("[^MLCD]"))); };
    GlyphPath p(QPointF(0, 0), arial, QStringLiteral("H"));
    p.current.setElementPositionAt(1, p.current.elementAt(0).x, p.current.elementAt(0).y);
    p.current.setElementPositionAt(3, qQNaN(), 0);
    p.convertToCurves();
    QCOMPARE(typesOf(p.current), typesOf(p.rest));
    QVERIFY(qIsNaN(p.current.elementAt(9).x));
    GlyphPath q(QPointF(0, 0), arial, QStringLiteral("o"));
    q.current.setElementPositionAt(1, q.current.elementAt(0).x, q.current.elementAt(0).y);
    q.flattenToLines();
    QCOMPARE(typesOf(q.current), typesOf(q.rest));
    QCOMPARE(q.current.elementAt(1).x, q.current.elementAt(0).x);
}

void TestGlyph::setFontSizeRefusesSizesBelowOne()
{
    Glyph g('S', arial, Qt::black, Qt::black, 0, QPointF());
    deform(&g);
    const GlyphPath before = *g.path();
    // Half the size: both outlines, the deformation with them, halve exactly.
    g.setFontSize(36);
    QCOMPARE(g.font().pointSize(), 36);
    QCOMPARE(elementsOf(g.path()->rest), elementsOf(QTransform::fromScale(0.5, 0.5).map(before.rest)));
    QCOMPARE(elementsOf(g.path()->current), elementsOf(QTransform::fromScale(0.5, 0.5).map(before.current)));
    const TreeDump half = TreeDump::of(&g);
    g.setFontSize(0);
    g.setFontSize(-12);
    VERIFY_SAME_TREE(TreeDump::of(&g), half);
}

void TestGlyph::setFontSizeOfAPixelSizedFontRebuilds()
{
    QFont pixels(QStringLiteral("Arial"));
    pixels.setPixelSize(50);
    Glyph g('e', pixels, Qt::black, Qt::black, 0, QPointF());
    deform(&g);
    g.setFontSize(36);
    Glyph fresh('e', QFont(QStringLiteral("Arial"), 36), Qt::black, Qt::black, 0, QPointF());
    VERIFY_SAME_TREE(TreeDump::of(&g), TreeDump::of(&fresh));
}

void TestGlyph::setFontRebuildsOnlyWhenAsked()
{
    Glyph g('w', arial, Qt::black, Qt::black, 0, QPointF());
    deform(&g);
    const QPainterPath deformed = g.path()->current;
    const QFont serif(QStringLiteral("DejaVu Serif"), 30);
    g.setFont(serif, false);
    QCOMPARE(g.path()->current, deformed);
    g.resetGlyph();
    QCOMPARE(g.path()->rest, GlyphPath(QPointF(), serif, QStringLiteral("w")).rest);
    QCOMPARE(g.path()->current, g.path()->rest);
    g.setCharacter(QChar('v'));
    QCOMPARE(g.path()->rest, GlyphPath(QPointF(), serif, QStringLiteral("v")).rest);
    deform(&g);
    g.setFont(arial, true);
    QCOMPARE(g.path()->current, GlyphPath(QPointF(), arial, QStringLiteral("v")).rest);
    // The bounding rectangle grows by half the stroke; a space has none.
    g.setStrokeWidth(4);
    QCOMPARE(g.boundingRect(), g.path()->current.boundingRect().adjusted(-2, -2, 2, 2));
    Glyph space(' ', arial, Qt::black, Qt::red, 4.0, QPointF());
    QCOMPARE(space.boundingRect(), space.path()->current.boundingRect());
}

void TestGlyph::moveElementByIgnoresBadInput()
{
    Glyph g('L', arial, Qt::black, Qt::black, 0, QPointF(50, 60));
    g.setRotation(90);
    const QPainterPath::Element e = g.path()->current.elementAt(2);
    // Turned by 90 degrees, a scene step right is a glyph step up; the rest outline stays.
    g.moveElementBy(2, QPointF(10, 0));
    QCOMPARE(QPointF(g.path()->current.elementAt(2)), QPointF(e.x, e.y - 10));
    QCOMPARE(g.path()->current.elementAt(2).type, e.type);
    QCOMPARE(g.path()->rest.elementAt(2).y, e.y);
    const TreeDump before = TreeDump::of(&g);
    for (const auto &bad : QList<QPair<int, QPointF>>{{-1, {1, 1}}, {g.path()->current.elementCount(), {1, 1}}, {0, {qQNaN(), 0}}, {0, {0, qInf()}}})
        g.moveElementBy(bad.first, bad.second);
    VERIFY_SAME_TREE(TreeDump::of(&g), before);
}

void TestGlyph::applySoftTypesRunsEnabledOnesOnUsableGlyphs()
{
    Glyph g('x', arial, Qt::black, Qt::black, 0, QPointF());
    auto *on = new TestSoftType(QStringLiteral("on"), QPointF(3, 0)), *off = new TestSoftType(QStringLiteral("off"), QPointF(100, 0));
    off->setEnabled(false);
    g.addSoftType(on);
    g.addSoftType(off);
    const double x0 = g.path()->current.elementAt(0).x;
    g.applySoftTypes();
    g.setVisible(false); // a hidden glyph does not deform
    g.applySoftTypes();
    QVERIFY(on->applied == 1 && off->applied == 0);
    QVERIFY(g.path()->current.elementAt(0).x == x0 + 3 && g.path()->rest.elementAt(0).x == x0);
    // Names keep the first SoftType of a name on a glyph, the last glyph's over a group.
    g.addSoftType(new TestSoftType(QStringLiteral("on")));
    QCOMPARE(g.softTypeNames(), (QStringList{"on", "off"}));
    QCOMPARE(g.softTypesByName().value(QStringLiteral("on")), on);
    QScopedPointer<TextGroup> w(TreeBuilder::passage(QStringLiteral("xy")));
    auto *ay = new TestSoftType(QStringLiteral("a"));
    w->firstGlyph()->addSoftType(new TestSoftType(QStringLiteral("a")));
    w->firstGlyph()->addSoftType(new TestSoftType(QStringLiteral("c")));
    w->lastGlyph()->addSoftType(ay);
    QCOMPARE(w->softTypeNames(), (QStringList{"a", "c"}));
    QCOMPARE(w->softTypesByName().value(QStringLiteral("a")), ay);
    QCOMPARE(w->softTypeKinds(), QStringList{"test"});
}

void TestGlyph::softTypeListOwnsWhatItHolds()
{
    TestSoftType::destroyed = 0;
    Glyph *g = TreeBuilder::glyph('x');
    auto *a = new TestSoftType(QStringLiteral("a")), *b = new TestSoftType(QStringLiteral("b")), *c = new TestSoftType(QStringLiteral("c"));
    QVERIFY(g->insertSoftType(a, 0) && g->insertSoftType(c, 1) && g->insertSoftType(b, 1));
    QVERIFY(!g->insertSoftType(c, 4) && !g->insertSoftType(c, -1));
    QCOMPARE(g->softTypeNames(), (QStringList{"a", "b", "c"}));
    g->removeSoftTypeAt(3);
    g->removeSoftTypeAt(-1);
    g->removeSoftType(b);
    g->removeSoftType(b);
    g->removeSoftTypeAt(0);
    QCOMPARE(g->softTypes(), QList<SoftType *>{c});
    QCOMPARE(TestSoftType::destroyed, 0);
    delete g;
    QCOMPARE(TestSoftType::destroyed, 1); // c; a and b belong to the caller
    delete a;
    delete b;
}

void TestGlyph::cloneCopiesLookAndOutlinesButNotState()
{
    TestSoftType::destroyed = 0;
    Glyph *g = new Glyph('R', arial, QColor(1, 2, 3, 4), QColor(5, 6, 7), 2.5, QPointF(12, 34));
    g->setRotation(30);
    deform(g);
    auto *s = new TestSoftType(QStringLiteral("wave"), QPointF(2, 2));
    s->setEnabled(false);
    g->addSoftType(s);
    const TreeDump look = TreeDump::of(g);
    g->setZValue(3);
    g->lock();
    g->setVisible(false);
    g->setSelected(true);
    Glyph *copy = g->cloneGlyph();
    VERIFY_SAME_TREE(TreeDump::of(copy), look);
    QVERIFY(copy->softTypes().first() != s);
    delete g;
    QCOMPARE(TestSoftType::destroyed, 1);
    delete copy;
    QCOMPARE(TestSoftType::destroyed, 2);
}

void TestGlyph::selectionBoxFollowsTheViewSwitches()
{
    // ink(): the pixels not white, and the gold ones, a few pixels around the passage.
    TestDocument d(QRectF(-1000, -1000, 2000, 2000));
    TextGroup *passage = d.add(QStringLiteral("I "), QPointF(40, 100));
    Glyph *first = passage->firstGlyph(), *space = passage->lastGlyph();
    first->setFillColor(Qt::transparent);
    auto ink = [&] {
        const QRectF area = passage->sceneBoundingRect().adjusted(-3, -3, 3, 3);
        QImage img(area.size().toSize(), QImage::Format_ARGB32);
        img.fill(Qt::white);
        QPainter p(&img);
        d.scene.render(&p, QRectF(QPointF(0, 0), area.size()), area);
        QPoint counts;
        for (int i = 0; i < img.width() * img.height(); ++i) {
            const QRgb c = img.pixel(i % img.width(), i / img.width());
            counts += QPoint(c != qRgb(255, 255, 255), qRed(c) > qBlue(c) + 60);
        }
        return counts;
    };
    QCOMPARE(ink(), QPoint(0, 0));
    first->setSelected(true);
    space->setSelected(true);
    const int box = ink().x();
    const QRectF r = first->sceneBoundingRect();
    // Roughly the rectangle's perimeter (the space draws none); none without the selection shown.
    QVERIFY2(qAbs(box - 2 * (r.width() + r.height())) < 8, qPrintable(QString::number(box)));
    d.scene.setViewFlags(QVorrelScene::CaretShown | QVorrelScene::WorkAreaShown);
    QCOMPARE(ink().x(), 0);
    d.scene.setViewFlags(QVorrelScene::SelectionShown);
    // A locked glyph's box is dashed: fewer pixels; a selected group draws its own box.
    first->lock();
    QVERIFY(ink().x() > 0 && ink().x() < box);
    first->setSelected(false);
    space->setSelected(false);
    passage->setSelected(true);
    QVERIFY(ink().x() > 0);
    // The hover highlight is gold, shown with the extras only.
    passage->setSelected(false);
    QCOMPARE(ink(), QPoint(0, 0));
    passage->setHighlighted(true);
    QVERIFY(ink().y() > 0);
    d.scene.setExtrasVisible(false);
    QCOMPARE(ink(), QPoint(0, 0));
}

QTEST_MAIN(TestGlyph)
#include "tst_glyph.moc"
