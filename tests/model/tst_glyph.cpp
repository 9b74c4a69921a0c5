#include "model/Glyph.h"
#include "model/GlyphIterator.h"
#include "model/GlyphPath.h"
#include "model/QVorrelScene.h"
#include "model/TextGroup.h"
#include "support/ModalRecorder.h"
#include "support/TestSoftType.h"
#include "support/TreeBuilder.h"
#include "support/TreeDump.h"

#include <QFontMetricsF>
#include <QImage>
#include <QPainter>
#include <QtTest>

namespace {

const QFont arial(QStringLiteral("Arial"), 72);

// A path of elements written as "M x,y" (move), "L x,y" (line), "C x,y"
// (curve) and "D x,y" (curve data), built through the stream form so that
// shapes QPainterPath's own builders refuse can be made too.
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
    for (int i = 0; i < p.elementCount(); ++i)
        out << QStringLiteral("%1%2,%3").arg(QStringLiteral("MLCD").at(p.elementAt(i).type))
                   .arg(p.elementAt(i).x, 0, 'g', 17).arg(p.elementAt(i).y, 0, 'g', 17);
    return out.join(' ');
}

QString typesOf(const QPainterPath &p)
{
    QString types;
    for (int i = 0; i < p.elementCount(); ++i)
        types += QStringLiteral("MLCD").at(p.elementAt(i).type);
    return types;
}

// Moves every element of the current outline, as a play run would.
void deform(GlyphPath &path)
{
    for (int i = 0; i < path.current.elementCount(); ++i) {
        const QPainterPath::Element e = path.current.elementAt(i);
        path.current.setElementPositionAt(i, e.x + (i % 3) - 1, e.y + (i % 2) * 2);
    }
}

void deform(Glyph *g)
{
    for (int i = 0; i < g->path()->current.elementCount(); ++i)
        g->moveElementBy(i, QPointF(i % 4, -(i % 3)));
}

QImage rendered(const QPainterPath &p)
{
    QImage img(160, 160, QImage::Format_ARGB32);
    img.fill(Qt::white);
    QPainter painter(&img);
    painter.translate(30, 130);
    painter.setPen(Qt::NoPen);
    painter.setBrush(Qt::black);
    painter.drawPath(p);
    return img;
}

// Renders a scene with one passage a few pixels beyond the passage's
// bounding box, clear of the page border, the caret and the selection
// item's corner marks; counts the pixels that are not white, those neither
// white nor a pure stroke colour (only antialiasing leaves them), and gold.
struct Stage
{
    QVorrelScene scene{-1000, -1000, 2000, 2000};
    TextGroup *passage;
    Glyph *first;

    explicit Stage(const QString &text)
        : passage(TreeBuilder::passage(text, arial, QPointF(40, 100))), first(passage->firstGlyph())
    {
        scene.root()->append(passage);
        first->setFillColor(Qt::transparent);
    }
    QVector<int> ink()
    {
        const QRectF area = passage->sceneBoundingRect().adjusted(-3, -3, 3, 3);
        QImage img(area.size().toSize(), QImage::Format_ARGB32);
        img.fill(Qt::white);
        QPainter p(&img);
        scene.render(&p, QRectF(QPointF(0, 0), area.size()), area);
        QVector<int> counts(3);
        for (int y = 0; y < img.height(); ++y) {
            for (int x = 0; x < img.width(); ++x) {
                const QRgb c = img.pixel(x, y);
                counts[0] += c != qRgb(255, 255, 255);
                counts[1] += c != qRgb(255, 255, 255) && c != qRgb(0, 0, 0) && c != qRgb(160, 160, 164) && qRed(c) == qBlue(c);
                counts[2] += qRed(c) > qBlue(c) + 60;
            }
        }
        return counts;
    }
};

} // namespace

class TestGlyph : public QObject
{
    Q_OBJECT
private slots:
    void buildPlacesTheBaselineAtZero();
    void convertToCurvesKeepsShapeAndIsIdempotent_data();
    void convertToCurvesKeepsShapeAndIsIdempotent();
    void exactConversions_data();
    void exactConversions();
    void emptyOutlineStaysEmpty();
    void outlinesOfDifferentLengthAreEachWalkedByTheirOwnCount();
    void degenerateSegmentsOfADeformedOutlineAreKept();
    void setFontSizeRefusesSizesBelowOne();
    void setFontSizeOfAPixelSizedFontRebuilds();
    void setFontRebuildsOnlyWhenAsked();
    void moveElementByIgnoresBadInput();
    void applySoftTypesRunsEnabledOnesOnUsableGlyphs();
    void softTypeListOwnsWhatItHolds();
    void cloneCopiesLookAndOutlinesButNotState();
    void conversionsAndResetsKeepTheOutlinesAlike();
    void selectionBoxFollowsTheViewSwitches();
};

void TestGlyph::buildPlacesTheBaselineAtZero()
{
    const GlyphPath x(QPointF(0, 0), arial, QStringLiteral("x"));
    const QRectF r = x.rest.boundingRect();
    QVERIFY(qAbs(r.bottom()) < 1.0);
    QVERIFY2(qAbs(-r.top() - QFontMetricsF(arial).xHeight()) < 2.0, qPrintable(QString::number(r.top())));
    QCOMPARE(elementsOf(x.current), elementsOf(x.rest));
}

void TestGlyph::convertToCurvesKeepsShapeAndIsIdempotent_data()
{
    QTest::addColumn<QString>("text");
    QTest::newRow("curves") << "a";
    QTest::newRow("lines") << "1";
    QTest::newRow("holes") << "O";
    QTest::newRow("mixed") << "R";
}

void TestGlyph::convertToCurvesKeepsShapeAndIsIdempotent()
{
    QFETCH(QString, text);
    GlyphPath p(QPointF(0, 0), arial, text);
    const QImage before = rendered(p.current);
    p.convertToCurves();
    // Only moves and whole cubics (a curve-to and two data elements).
    const QRegularExpression cubics(QStringLiteral("^(M|CDD)*$"));
    QVERIFY(cubics.match(typesOf(p.rest)).hasMatch());
    QCOMPARE(elementsOf(p.current), elementsOf(p.rest));
    QCOMPARE(rendered(p.current), before);
    const QString once = elementsOf(p.rest);
    p.convertToCurves();
    QCOMPARE(elementsOf(p.rest), once);
    QCOMPARE(elementsOf(p.current), once);
    // Deformed: the two outlines keep one list of element types.
    deform(p);
    p.convertToCurves();
    QCOMPARE(typesOf(p.current), typesOf(p.rest));
    QVERIFY(cubics.match(typesOf(p.current)).hasMatch());
}

void TestGlyph::exactConversions_data()
{
    QTest::addColumn<bool>("toCurves");
    QTest::addColumn<QString>("path");
    QTest::addColumn<QString>("converted");
    // L -> Q becomes cubic(L + 2(Q-L)/3, L + (Q-L)/3, Q).
    QTest::newRow("lines become straight cubics") << true << "M0,0 L30,0 L30,60"
                                                  << "M0,0 C20,0 D10,0 D30,0 C30,40 D30,20 D30,60";
    QTest::newRow("convertToCurvesKeepsOverlongRunsAsCubicsWithoutAMessage: six points") << true << "M0,0 C1,1 D2,2 D3,3 D4,4 D5,5 D6,6"
                                               << "M0,0 C1,1 D2,2 D3,3 C4,4 D5,5 D6,6";
    QTest::newRow("convertToCurvesKeepsOverlongRunsAsCubicsWithoutAMessage: four points") << true << "M0,0 C3,0 D6,0 D9,0 D9,30"
                                                               << "M0,0 C3,0 D6,0 D9,0 C9,20 D9,10 D9,30";
    QTest::newRow("a curve ends at its first control point") << false << "M0,0 C10,20 D30,20 D40,0 L0,0"
                                                             << "M0,0 L10,20 L0,0";
    QTest::newRow("a polygon stays") << false << "M0,0 L10,0 L10,10 L0,10 L0,0" << "M0,0 L10,0 L10,10 L0,10 L0,0";
}

void TestGlyph::exactConversions()
{
    QFETCH(bool, toCurves);
    QFETCH(QString, path);
    QFETCH(QString, converted);
    ModalRecorder modal;
    GlyphPath p;
    // The current outline is the rest one moved by (3, 3): it converts alike.
    p.setPaths(pathOf(path), pathOf(path, QPointF(3, 3)));
    toCurves ? p.convertToCurves() : p.flattenToLines();
    QCOMPARE(elementsOf(p.rest), converted);
    QCOMPARE(elementsOf(p.current), elementsOf(pathOf(converted, QPointF(3, 3))));
    QVERIFY(modal.calls.isEmpty());
}

void TestGlyph::emptyOutlineStaysEmpty()
{
    GlyphPath space(QPointF(0, 0), arial, QStringLiteral(" "));
    GlyphPath none;
    for (GlyphPath *p : {&space, &none}) {
        p->scale(2);
        p->flattenToLines();
        p->convertToCurves();
        QVERIFY(p->rest.isEmpty() && p->current.isEmpty());
        QCOMPARE(p->rest.elementCount(), p->current.elementCount());
    }
    QCOMPARE(none.rest.elementCount(), 0);
}

void TestGlyph::outlinesOfDifferentLengthAreEachWalkedByTheirOwnCount()
{
    const QPainterPath longer = pathOf("M0,0 L10,0 L10,10 L0,0");
    const QPainterPath shorter = pathOf("M2,2 L12,2");
    GlyphPath p;
    p.setPaths(longer, shorter);
    p.scale(2);
    QCOMPARE(elementsOf(p.rest), QStringLiteral("M0,0 L20,0 L20,20 L0,0"));
    QCOMPARE(elementsOf(p.current), QStringLiteral("M4,4 L24,4"));
    p.setPaths(shorter, longer);
    p.scale(2);
    QCOMPARE(elementsOf(p.current), QStringLiteral("M0,0 L20,0 L20,20 L0,0"));
    p.setPaths(longer, QPainterPath());
    p.flattenToLines();
    QCOMPARE(elementsOf(p.rest), elementsOf(longer));
    p.convertToCurves();
    QCOMPARE(p.rest.elementCount(), 10);
    QCOMPARE(p.current.elementCount(), 0);
    p.setPaths(shorter, longer);
    p.convertToCurves();
    QCOMPARE(p.rest.elementCount(), 4);
    QCOMPARE(p.current.elementCount(), 10);
}

void TestGlyph::degenerateSegmentsOfADeformedOutlineAreKept()
{
    // A deformation can pull a point onto the one before it, or make it
    // not finite; converting must still keep both outlines element for
    // element alike.
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
    // Half the size: both outlines, the deformation with them, halve.
    g.setFontSize(36);
    QCOMPARE(g.font().pointSize(), 36);
    for (int i = 0; i < before.rest.elementCount(); ++i) {
        QCOMPARE(g.path()->rest.elementAt(i).x, before.rest.elementAt(i).x / 2);
        QCOMPARE(g.path()->rest.elementAt(i).y, before.rest.elementAt(i).y / 2);
        QCOMPARE(g.path()->current.elementAt(i).x, before.current.elementAt(i).x / 2);
        QCOMPARE(g.path()->current.elementAt(i).y, before.current.elementAt(i).y / 2);
    }
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
    QVERIFY(g.font().pointSizeF() <= 0);
    deform(&g);
    g.setFontSize(36);
    Glyph fresh('e', QFont(QStringLiteral("Arial"), 36), Qt::black, Qt::black, 0, QPointF());
    VERIFY_SAME_TREE(TreeDump::of(&g), TreeDump::of(&fresh));
}

void TestGlyph::setFontRebuildsOnlyWhenAsked()
{
    Glyph g('w', arial, Qt::black, Qt::black, 0, QPointF());
    deform(&g);
    const GlyphPath deformed = *g.path();
    const QFont serif(QStringLiteral("DejaVu Serif"), 30);
    g.setFont(serif, false);
    QCOMPARE(g.font(), serif);
    QCOMPARE(g.path()->current, deformed.current);
    g.resetGlyph();
    const GlyphPath built(QPointF(), serif, QStringLiteral("w"));
    QCOMPARE(g.path()->rest, built.rest);
    QCOMPARE(g.path()->current, built.rest);
    g.setCharacter(QStringLiteral("v"));
    QCOMPARE(g.text(), QStringLiteral("v"));
    QCOMPARE(g.path()->rest, GlyphPath(QPointF(), serif, QStringLiteral("v")).rest);
    deform(&g);
    g.setFont(arial, true);
    QCOMPARE(g.path()->current, GlyphPath(QPointF(), arial, QStringLiteral("v")).rest);
    // The bounding rectangle grows by half the stroke; a space has none.
    g.setStrokeWidth(4);
    QCOMPARE(g.boundingRect(), g.path()->current.boundingRect().adjusted(-2, -2, 2, 2));
    Glyph space(' ', arial, Qt::black, Qt::red, 4.0, QPointF());
    QVERIFY(!space.hasOutline());
    QCOMPARE(space.boundingRect(), space.path()->current.boundingRect());
}

void TestGlyph::moveElementByIgnoresBadInput()
{
    Glyph g('L', arial, Qt::black, Qt::black, 0, QPointF(50, 60));
    g.setRotation(90);
    const QPainterPath::Element e = g.path()->current.elementAt(2);
    // Turned by 90 degrees, a scene step right is a glyph step up; the rest
    // outline stays.
    g.moveElementBy(2, QPointF(10, 0));
    QCOMPARE(g.path()->current.elementAt(2).x, e.x);
    QCOMPARE(g.path()->current.elementAt(2).y, e.y - 10);
    QCOMPARE(g.path()->current.elementAt(2).type, e.type);
    QCOMPARE(g.path()->rest.elementAt(2).y, e.y);
    const TreeDump before = TreeDump::of(&g);
    const int n = g.path()->current.elementCount();
    g.moveElementBy(-1, QPointF(1, 1));
    g.moveElementBy(n, QPointF(1, 1));
    g.moveElementBy(0, QPointF(qQNaN(), 0));
    g.moveElementBy(0, QPointF(0, qInf()));
    VERIFY_SAME_TREE(TreeDump::of(&g), before);
    Glyph space(' ', arial, Qt::black, Qt::black, 0, QPointF());
    space.moveElementBy(0, QPointF(1, 1));
    space.moveElementBy(1, QPointF(1, 1));
    QVERIFY(!space.hasOutline());
}

void TestGlyph::applySoftTypesRunsEnabledOnesOnUsableGlyphs()
{
    Glyph g('x', arial, Qt::black, Qt::black, 0, QPointF());
    auto *on = new TestSoftType(QStringLiteral("on"), QPointF(3, 0));
    auto *off = new TestSoftType(QStringLiteral("off"), QPointF(100, 0));
    off->setEnabled(false);
    g.addSoftType(on);
    g.addSoftType(off);
    const double x0 = g.path()->current.elementAt(0).x;
    g.applySoftTypes();
    QCOMPARE(on->applied, 1);
    QCOMPARE(off->applied, 0);
    QCOMPARE(g.path()->current.elementAt(0).x, x0 + 3);
    QCOMPARE(g.path()->rest.elementAt(0).x, x0);
    // Neither a locked nor a hidden glyph deforms.
    g.lock();
    g.applySoftTypes();
    g.unlock();
    g.setVisible(false);
    g.applySoftTypes();
    QCOMPARE(on->applied, 1);
    // Names keep the first SoftType of a name, also over a group.
    g.addSoftType(new TestSoftType(QStringLiteral("on")));
    QCOMPARE(g.softTypeNames(), (QStringList{"on", "off"}));
    QCOMPARE(g.softTypesByName().value(QStringLiteral("on")), on);
    TextGroup *w = TreeBuilder::passage(QStringLiteral("xy"));
    auto *ay = new TestSoftType(QStringLiteral("a"));
    w->firstGlyph()->addSoftType(new TestSoftType(QStringLiteral("a")));
    w->firstGlyph()->addSoftType(new TestSoftType(QStringLiteral("c")));
    w->lastGlyph()->addSoftType(ay);
    QCOMPARE(w->softTypeNames(), (QStringList{"a", "c"}));
    QCOMPARE(w->softTypesByName().value(QStringLiteral("a")), ay);
    QCOMPARE(w->softTypeKinds(), QStringList{"test"});
    delete w;
}

void TestGlyph::softTypeListOwnsWhatItHolds()
{
    TestSoftType::destroyed = 0;
    Glyph *g = TreeBuilder::glyph('x');
    auto *a = new TestSoftType(QStringLiteral("a"));
    auto *b = new TestSoftType(QStringLiteral("b"));
    auto *c = new TestSoftType(QStringLiteral("c"));
    QVERIFY(g->insertSoftType(a, 0));
    QVERIFY(g->insertSoftType(c, 1));
    QVERIFY(g->insertSoftType(b, 1));
    QVERIFY(!g->insertSoftType(c, 4));
    QVERIFY(!g->insertSoftType(c, -1));
    QCOMPARE(g->softTypeNames(), (QStringList{"a", "b", "c"}));
    g->removeSoftTypeAt(3);
    g->removeSoftTypeAt(-1);
    g->removeSoftType(b);
    g->removeSoftType(b);
    QCOMPARE(g->softTypeNames(), (QStringList{"a", "c"}));
    QCOMPARE(TestSoftType::destroyed, 0);
    g->removeSoftTypeAt(0);
    QCOMPARE(g->softTypes(), QList<SoftType *>{c});
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
    QVERIFY(!copy->parentGroup());
    delete g;
    QCOMPARE(TestSoftType::destroyed, 1);
    delete copy;
    QCOMPARE(TestSoftType::destroyed, 2);
}

void TestGlyph::conversionsAndResetsKeepTheOutlinesAlike()
{
    TextGroup *p = TreeBuilder::passage(QStringLiteral("ag& O"));
    QList<Glyph *> glyphs;
    for (Glyph *g = p->firstGlyph(); g; g = g->nextGlyph())
        glyphs << g;
    auto alike = [&glyphs] {
        for (const Glyph *g : glyphs) {
            if (typesOf(g->path()->rest) != typesOf(g->path()->current))
                return false;
        }
        return true;
    };
    for (Glyph *g : glyphs)
        deform(g);
    p->convertToCurves();
    QVERIFY(alike());
    for (Glyph *g : glyphs)
        deform(g);
    p->convertToLines();
    QVERIFY(alike());
    p->setFontSize(20);
    QVERIFY(alike());
    p->bakeDeform();
    p->resetDeform();
    QVERIFY(alike());
    p->resetGlyph();
    QVERIFY(alike());
    QCOMPARE(glyphs.first()->path()->rest, GlyphPath(QPointF(), glyphs.first()->font(), QStringLiteral("a")).rest);
    delete p;
}

void TestGlyph::selectionBoxFollowsTheViewSwitches()
{
    Stage stage(QStringLiteral("I "));
    Glyph *space = stage.passage->lastGlyph();
    QCOMPARE(stage.ink()[0], 0);
    stage.first->setSelected(true);
    space->setSelected(true);
    const int box = stage.ink()[0];
    const QRectF r = stage.first->sceneBoundingRect();
    // Roughly the rectangle's perimeter; the space draws none.
    QVERIFY2(qAbs(box - 2 * (r.width() + r.height())) < 8, qPrintable(QString::number(box)));
    stage.scene.setExtrasVisible(false);
    QCOMPARE(stage.ink()[0], 0);
    stage.scene.setExtrasVisible(true);
    stage.scene.setViewFlags(QVorrelScene::CaretShown | QVorrelScene::WorkAreaShown);
    QCOMPARE(stage.ink()[0], 0);
    stage.scene.setViewFlags(QVorrelScene::SelectionShown);
    // A locked glyph's box is dashed: fewer pixels.
    stage.first->lock();
    const int dashed = stage.ink()[0];
    QVERIFY(dashed > 0 && dashed < box);
    // Crisp only at right angles.
    stage.first->unlock();
    stage.first->setRotation(90.5);
    QCOMPARE(stage.ink()[1], 0);
    stage.first->setRotation(-45.7);
    QVERIFY(stage.ink()[1] > 0);
    stage.first->setRotation(0);
    // A selected group draws its own box around its children.
    stage.first->setSelected(false);
    space->setSelected(false);
    stage.passage->setSelected(true);
    QVERIFY(stage.ink()[0] > 0);
    // The hover highlight draws the outline in gold.
    stage.passage->setSelected(false);
    QCOMPARE(stage.ink()[2], 0);
    stage.passage->setHighlighted(true);
    QVERIFY(stage.ink()[2] > 0);
    stage.scene.setExtrasVisible(false);
    QCOMPARE(stage.ink(), QVector<int>(3, 0));
}

QTEST_MAIN(TestGlyph)
#include "tst_glyph.moc"
