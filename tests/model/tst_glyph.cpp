#include "model/Glyph.h"
#include "model/GlyphIterator.h"
#include "model/GlyphPath.h"
#include "model/QVorrelScene.h"
#include "model/TextGroup.h"
#include "support/TestSoftType.h"
#include "support/TreeBuilder.h"
#include "support/TreeDump.h"

#include <QImage>
#include <QPainter>
#include <QtTest>

namespace {

const QFont arial(QStringLiteral("Arial"), 72);

Glyph *makeGlyph(QChar c, const QPointF &pos = QPointF())
{
    return new Glyph(c, arial, QColor(0, 0, 0), QColor(0, 0, 0), 0.0, pos);
}

// Moves every element of the current outline, as a play run would.
void deform(Glyph *g)
{
    for (int i = 0; i < g->path()->current.elementCount(); ++i)
        g->moveElementBy(i, QPointF(i % 4, -(i % 3)));
}

// A scene with one passage, rendered around the passage's first line: a
// few pixels beyond its bounding box, clear of the page border, the caret
// and the selection item's corner marks.
struct Stage
{
    QVorrelScene scene{-1000, -1000, 2000, 2000};
    TextGroup *passage = nullptr;

    explicit Stage(const QString &text)
    {
        passage = TreeBuilder::passage(text, arial, QPointF(40, 100));
        scene.root()->append(passage);
    }
    QImage render()
    {
        const QRectF area = passage->sceneBoundingRect().adjusted(-3, -3, 3, 3);
        QImage img(area.size().toSize(), QImage::Format_ARGB32);
        img.fill(Qt::white);
        QPainter p(&img);
        scene.render(&p, QRectF(QPointF(0, 0), area.size()), area);
        return img;
    }
};

// Counts pixels that are not white; greys counts those neither white nor
// a pure stroke colour, which only antialiasing leaves.
struct Ink
{
    int pixels = 0;
    int greys = 0;
    int gold = 0;
    explicit Ink(const QImage &img)
    {
        for (int y = 0; y < img.height(); ++y) {
            for (int x = 0; x < img.width(); ++x) {
                const QRgb c = img.pixel(x, y);
                if (c == qRgb(255, 255, 255))
                    continue;
                ++pixels;
                if (c != qRgb(0, 0, 0) && c != qRgb(160, 160, 164) && qRed(c) == qBlue(c))
                    ++greys;
                if (qRed(c) > qBlue(c) + 60)
                    ++gold;
            }
        }
    }
};

} // namespace

class TestGlyph : public QObject
{
    Q_OBJECT
private slots:
    void setFontSizeScalesBothOutlines();
    void setFontSizeOfAPixelSizedFontRebuilds();
    void setFontSizeRefusesSizesBelowOne();
    void setFontRebuildsOnlyWhenAsked();
    void moveElementByWorksInSceneCoordinates();
    void moveElementByIgnoresBadInput();
    void boundingRectGrowsByHalfTheStroke();
    void rotateAboutAPoint();
    void applySoftTypesRunsEnabledOnesOnUsableGlyphs();
    void softTypeListOwnsWhatItHolds();
    void softTypeNamesAndMapsKeepTheFirstOnAGlyph();
    void groupsMergeSoftTypesOfTheirChildren();
    void cloneCopiesLookAndOutlinesButNotState();
    void conversionsAndResetsKeepTheOutlinesAlike();
    void selectionBoxFollowsTheViewSwitches();
    void selectionBoxIsCrispOnlyAtRightAngles();
    void hoverHighlightDrawsTheOutlineInGold();
};

void TestGlyph::setFontSizeScalesBothOutlines()
{
    Glyph *g = makeGlyph('S');
    deform(g);
    const GlyphPath before = *g->path();
    g->setFontSize(36);
    QCOMPARE(g->font().pointSize(), 36);
    for (int i = 0; i < before.rest.elementCount(); ++i) {
        QCOMPARE(g->path()->rest.elementAt(i).x, before.rest.elementAt(i).x / 2);
        QCOMPARE(g->path()->rest.elementAt(i).y, before.rest.elementAt(i).y / 2);
        QCOMPARE(g->path()->current.elementAt(i).x, before.current.elementAt(i).x / 2);
        QCOMPARE(g->path()->current.elementAt(i).y, before.current.elementAt(i).y / 2);
    }
    delete g;
}

void TestGlyph::setFontSizeOfAPixelSizedFontRebuilds()
{
    QFont pixels(QStringLiteral("Arial"));
    pixels.setPixelSize(50);
    Glyph g('e', pixels, Qt::black, Qt::black, 0, QPointF());
    QVERIFY(g.font().pointSizeF() <= 0);
    deform(&g);
    g.setFontSize(36);
    QCOMPARE(g.font().pointSize(), 36);
    Glyph fresh('e', QFont(QStringLiteral("Arial"), 36), Qt::black, Qt::black, 0, QPointF());
    VERIFY_SAME_TREE(TreeDump::of(&g), TreeDump::of(&fresh));
}

void TestGlyph::setFontSizeRefusesSizesBelowOne()
{
    Glyph *g = makeGlyph('k');
    deform(g);
    const TreeDump before = TreeDump::of(g);
    g->setFontSize(0);
    g->setFontSize(-12);
    VERIFY_SAME_TREE(TreeDump::of(g), before);
    delete g;
}

void TestGlyph::setFontRebuildsOnlyWhenAsked()
{
    Glyph *g = makeGlyph('w');
    deform(g);
    const GlyphPath deformed = *g->path();
    const QFont serif(QStringLiteral("DejaVu Serif"), 30);
    g->setFont(serif, false);
    QCOMPARE(g->font(), serif);
    QCOMPARE(g->path()->current, deformed.current);
    g->resetGlyph();
    const GlyphPath built(QPointF(), serif, QStringLiteral("w"));
    QCOMPARE(g->path()->rest, built.rest);
    QCOMPARE(g->path()->current, built.rest);

    g->setCharacter('v');
    QCOMPARE(g->text(), QStringLiteral("v"));
    QCOMPARE(g->path()->rest, GlyphPath(QPointF(), serif, QStringLiteral("v")).rest);
    deform(g);
    g->setFont(arial, true);
    QCOMPARE(g->path()->current, GlyphPath(QPointF(), arial, QStringLiteral("v")).rest);
    delete g;
}

void TestGlyph::moveElementByWorksInSceneCoordinates()
{
    Glyph *g = makeGlyph('L', QPointF(50, 60));
    g->setRotation(90);
    const QPainterPath::Element e = g->path()->current.elementAt(2);
    // With the item turned by 90 degrees a scene step right is an item
    // step up.
    g->moveElementBy(2, QPointF(10, 0));
    QCOMPARE(g->path()->current.elementAt(2).x, e.x);
    QCOMPARE(g->path()->current.elementAt(2).y, e.y - 10);
    QCOMPARE(g->path()->current.elementAt(2).type, e.type);
    QCOMPARE(g->path()->rest.elementAt(2).y, e.y);
    delete g;
}

void TestGlyph::moveElementByIgnoresBadInput()
{
    Glyph *g = makeGlyph('L');
    const TreeDump before = TreeDump::of(g);
    const int n = g->path()->current.elementCount();
    g->moveElementBy(-1, QPointF(1, 1));
    g->moveElementBy(n, QPointF(1, 1));
    g->moveElementBy(0, QPointF(qQNaN(), 0));
    g->moveElementBy(0, QPointF(0, qInf()));
    VERIFY_SAME_TREE(TreeDump::of(g), before);
    Glyph space(' ', arial, Qt::black, Qt::black, 0, QPointF());
    space.moveElementBy(0, QPointF(1, 1));
    space.moveElementBy(1, QPointF(1, 1));
    QVERIFY(!space.hasOutline());
    delete g;
}

void TestGlyph::boundingRectGrowsByHalfTheStroke()
{
    Glyph g('T', arial, Qt::black, Qt::red, 4.0, QPointF());
    const QRectF outline = g.path()->current.boundingRect();
    QCOMPARE(g.boundingRect(), outline.adjusted(-2, -2, 2, 2));
    g.setStrokeWidth(0);
    QCOMPARE(g.boundingRect(), outline);
    Glyph space(' ', arial, Qt::black, Qt::red, 4.0, QPointF());
    QVERIFY(!space.hasOutline());
    QCOMPARE(space.boundingRect(), space.path()->current.boundingRect());
}

void TestGlyph::rotateAboutAPoint()
{
    Glyph *g = makeGlyph('x', QPointF(10, 20));
    g->rotateAbout(90, QPointF(10, 20));
    QCOMPARE(g->rotation(), 90.0);
    QCOMPARE(g->pos(), QPointF(10, 20));
    // About the scene origin: (10, 20) turns to (-20, 10).
    g->setRotation(0);
    g->rotateAbout(90, QPointF(0, 0));
    QCOMPARE(g->rotation(), 90.0);
    QVERIFY(qAbs(g->pos().x() + 20) < 1e-5);
    QVERIFY(qAbs(g->pos().y() - 10) < 1e-5);
    // Turning back restores it within single precision.
    g->rotateAbout(-90, QPointF(0, 0));
    QVERIFY(qAbs(g->pos().x() - 10) < 1e-5 && qAbs(g->pos().y() - 20) < 1e-5);
    QCOMPARE(g->rotation(), 0.0);
    delete g;
}

void TestGlyph::applySoftTypesRunsEnabledOnesOnUsableGlyphs()
{
    Glyph *g = makeGlyph('x');
    auto *on = new TestSoftType(QStringLiteral("on"), QPointF(3, 0));
    auto *off = new TestSoftType(QStringLiteral("off"), QPointF(100, 0));
    off->setEnabled(false);
    g->addSoftType(on);
    g->addSoftType(off);
    const double x0 = g->path()->current.elementAt(0).x;
    g->applySoftTypes();
    QCOMPARE(on->applied, 1);
    QCOMPARE(off->applied, 0);
    QCOMPARE(g->path()->current.elementAt(0).x, x0 + 3);
    QCOMPARE(g->path()->rest.elementAt(0).x, x0);

    g->lock();
    g->applySoftTypes();
    g->unlock();
    g->setVisible(false);
    g->applySoftTypes();
    QCOMPARE(on->applied, 1);
    g->setVisible(true);
    g->applySoftTypes();
    QCOMPARE(on->applied, 2);

    g->bakeDeform();
    QCOMPARE(g->path()->rest.elementAt(0).x, x0 + 6);
    g->applySoftTypes();
    g->resetDeform();
    QCOMPARE(g->path()->current, g->path()->rest);
    delete g;
}

void TestGlyph::softTypeListOwnsWhatItHolds()
{
    TestSoftType::destroyed = 0;
    Glyph *g = makeGlyph('x');
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

void TestGlyph::softTypeNamesAndMapsKeepTheFirstOnAGlyph()
{
    Glyph g('x', arial, Qt::black, Qt::black, 0, QPointF());
    auto *first = new TestSoftType(QStringLiteral("a"));
    auto *second = new TestSoftType(QStringLiteral("a"));
    g.addSoftType(first);
    g.addSoftType(second);
    g.addSoftType(new TestSoftType(QStringLiteral("b")));
    QCOMPARE(g.softTypeNames(), (QStringList{"a", "b"}));
    QCOMPARE(g.softTypeKinds(), QStringList{"test"});
    QCOMPARE(g.softTypesByName().value(QStringLiteral("a")), first);
    QCOMPARE(g.findSoftType(QStringLiteral("a")), first);
    QVERIFY(!g.findSoftType(QStringLiteral("A")));
    QCOMPARE(g.findSoftTypeConst(QStringLiteral("b")), g.softTypes().at(2));
}

void TestGlyph::groupsMergeSoftTypesOfTheirChildren()
{
    TextGroup *w = TreeBuilder::passage(QStringLiteral("xy"));
    Glyph *x = w->firstGlyph();
    Glyph *y = w->lastGlyph();
    auto *ax = new TestSoftType(QStringLiteral("a"));
    auto *ay = new TestSoftType(QStringLiteral("a"));
    x->addSoftType(ax);
    x->addSoftType(new TestSoftType(QStringLiteral("c")));
    y->addSoftType(new TestSoftType(QStringLiteral("b")));
    y->addSoftType(ay);
    QCOMPARE(w->softTypeNames(), (QStringList{"a", "c", "b"}));
    QCOMPARE(w->softTypesByName().value(QStringLiteral("a")), ay);
    QCOMPARE(w->softTypeKinds(), QStringList{"test"});
    delete w;
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
    GlyphIterator all(p, 5);
    QList<Glyph *> glyphs;
    while (all.hasNext())
        glyphs << all.next();
    auto alike = [&glyphs] {
        for (const Glyph *g : glyphs) {
            const QPainterPath &r = g->path()->rest;
            const QPainterPath &c = g->path()->current;
            if (r.elementCount() != c.elementCount())
                return false;
            for (int i = 0; i < r.elementCount(); ++i) {
                if (r.elementAt(i).type != c.elementAt(i).type)
                    return false;
            }
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
    QCOMPARE(glyphs.first()->path()->rest,
             GlyphPath(QPointF(), glyphs.first()->font(), QStringLiteral("a")).rest);
    delete p;
}

void TestGlyph::selectionBoxFollowsTheViewSwitches()
{
    Stage stage(QStringLiteral("I "));
    Glyph *i = stage.passage->firstGlyph();
    Glyph *space = stage.passage->lastGlyph();
    i->setFillColor(Qt::transparent);
    QCOMPARE(Ink(stage.render()).pixels, 0);
    i->setSelected(true);
    space->setSelected(true);
    const int box = Ink(stage.render()).pixels;
    const QRectF r = i->sceneBoundingRect();
    // Roughly the rectangle's perimeter; the space draws none.
    QVERIFY2(box > 2 * (r.width() + r.height()) - 8, qPrintable(QString::number(box)));
    QVERIFY(box < 2 * (r.width() + r.height()) + 8);

    stage.scene.setExtrasVisible(false);
    QCOMPARE(Ink(stage.render()).pixels, 0);
    stage.scene.setExtrasVisible(true);
    stage.scene.setViewFlags(QVorrelScene::CaretShown | QVorrelScene::WorkAreaShown);
    QCOMPARE(Ink(stage.render()).pixels, 0);
    stage.scene.setViewFlags(QVorrelScene::SelectionShown);

    // A locked glyph's box is dashed: fewer pixels.
    i->lock();
    const int dashed = Ink(stage.render()).pixels;
    QVERIFY(dashed > 0 && dashed < box);

    // A selected group draws its own box around its children.
    i->unlock();
    i->setSelected(false);
    space->setSelected(false);
    stage.passage->setSelected(true);
    QVERIFY(Ink(stage.render()).pixels > 0);
    stage.scene.setExtrasVisible(false);
    QCOMPARE(Ink(stage.render()).pixels, 0);
}

void TestGlyph::selectionBoxIsCrispOnlyAtRightAngles()
{
    Stage stage(QStringLiteral("I"));
    Glyph *i = stage.passage->firstGlyph();
    i->setFillColor(Qt::transparent);
    i->setSelected(true);
    i->setRotation(90.5);
    QCOMPARE(Ink(stage.render()).greys, 0);
    i->setRotation(-45.7);
    QVERIFY(Ink(stage.render()).greys > 0);
}

void TestGlyph::hoverHighlightDrawsTheOutlineInGold()
{
    Stage stage(QStringLiteral("I"));
    stage.passage->firstGlyph()->setFillColor(Qt::transparent);
    QCOMPARE(Ink(stage.render()).gold, 0);
    stage.passage->setHighlighted(true);
    QVERIFY(Ink(stage.render()).gold > 0);
    stage.scene.setExtrasVisible(false);
    QCOMPARE(Ink(stage.render()).gold, 0);
}

QTEST_MAIN(TestGlyph)
#include "tst_glyph.moc"
