#include "model/Glyph.h"
#include "model/GlyphIterator.h"
#include "model/SelectedIterator.h"
#include "model/SelectedListIterator.h"
#include "model/TextGroup.h"
#include "model/TextIterator.h"
#include "support/TestDocument.h"
#include "support/TreeBuilder.h"
#include "support/TreeCheck.h"

#include <QFontMetrics>
#include <QGraphicsScene>
#include <QRandomGenerator>
#include <QtTest>

namespace {

template<typename Walk>
QList<TextObject *> walked(Walk &&walk)
{
    QList<TextObject *> out;
    while (walk.hasNext())
        out << walk.next();
    return out;
}

// The example tree: root R with one passage P1 holding word W1 (glyphs a, b), a space S and word W2 (glyph c); b, c and
// W1 selected; x a loose glyph.
struct ExampleTree
{
    TextGroup *R = new TextGroup;
    QHash<QString, TextObject *> o;

    ExampleTree()
    {
        R->append(TreeBuilder::passage(QStringLiteral("ab c")));
        const QList<QPair<const char *, QList<int>>> paths = {{"R", {}}, {"P1", {0}}, {"W1", {0, 0}}, {"a", {0, 0, 0}}, {"b", {1, 0, 0}}, {"S", {1, 0}}, {"W2", {2, 0}}, {"c", {0, 2, 0}}};
        for (const auto &p : paths)
            o[p.first] = R->objectAtPath(p.second);
        for (const char *name : {"W1", "b", "c"})
            o[name]->setSelected(true);
        o["x"] = TreeBuilder::glyph('x');
    }
    ~ExampleTree()
    {
        if (!o["x"]->parentGroup())
            delete o["x"];
        delete R;
    }
    QString names(const QList<TextObject *> &objects) const
    {
        QStringList out;
        for (const TextObject *x : objects)
            out << o.key(const_cast<TextObject *>(x), QStringLiteral("?"));
        return out.join(' ');
    }
};

} // namespace

class TestTextTree : public QObject
{
    Q_OBJECT
private slots:
    void randomInsertsAndTakesKeepEveryLink();
    void keptBoundsAndIndicesEqualAFreshPass();
    void insertRefusesBadArgumentsAndKeepsTheObjectWithTheCaller_data();
    void insertRefusesBadArgumentsAndKeepsTheObjectWithTheCaller();
    void arrangeToABadIndexKeepsTheObject();
    void groupsDeriveFromTheirChildren();
    void walks_data();
    void walks();
    void randomEditsKeepTheSelectionListInStep_data();
    void randomEditsKeepTheSelectionListInStep();
    void hitTestsFindTheTopmostUsableObject();
};

void TestTextTree::randomInsertsAndTakesKeepEveryLink()
{
    QRandomGenerator rng(20261206);
    TextGroup groups[2];
    QList<TextObject *> model[2];
    QList<TextObject *> loose;
    for (int i = 0; i < 12; ++i)
        loose << TreeBuilder::glyph(QChar('a' + i));
    for (int step = 0; step < 3000; ++step) {
        const int g = rng.bounded(2);
        const int count = model[g].size();
        if (!loose.isEmpty() && rng.bounded(2)) {
            const int at = rng.bounded(-1, count + 2);
            TextObject *o = loose.takeLast();
            const bool ok = groups[g].insert(at, o);
            QCOMPARE(ok, at >= 0 && at <= count);
            ok ? model[g].insert(at, o) : loose.append(o);
        } else {
            const int at = rng.bounded(-1, count + 1);
            TextObject *o = groups[g].takeAt(at);
            QCOMPARE(o, at >= 0 && at < count ? model[g].at(at) : nullptr);
            if (o) {
                model[g].removeAt(at);
                QVERIFY(!o->parentGroup() && !o->parentItem() && !o->previous() && !o->next());
                loose << o;
            }
        }
        for (int k = 0; k < 2; ++k) {
            QCOMPARE(groups[k].children(), model[k]);
            const QString fault = TreeCheck::linkFault(&groups[k]);
            QVERIFY2(fault.isEmpty(), qPrintable(QStringLiteral("step %1: %2").arg(step).arg(fault)));
        }
    }
    qDeleteAll(loose); // the groups delete their children
}

void TestTextTree::keptBoundsAndIndicesEqualAFreshPass()
{
    // A tree of groups in a scene changed at random (objects put in and taken out anywhere, glyphs moved, turned and
    // widened), with one group read now and then so that changes pile up between reads, and every group at the end.
    // Turned glyphs make the union's rounding depend on the order it runs in: kept bounds are the very ones a pass in
    // list order gives.
    QRandomGenerator rng(20260318);
    QGraphicsScene scene;
    auto *root = new TextGroup;
    scene.addItem(root);
    QList<TextGroup *> groups{root};
    QList<TextObject *> loose;
    for (int i = 0; i < 8; ++i)
        loose << (groups << new TextGroup).last();
    const QFont font(QStringLiteral("Arial"), 20);
    for (int i = 0; i < 60; ++i)
        loose << TreeBuilder::glyph(QChar('a' + i % 26), font, QPointF(rng.generateDouble() * 900 - 300, rng.generateDouble() * 90));
    Glyph stranger(QStringLiteral("s"), font, Qt::black, Qt::black, 1, QPointF());
    for (int step = 0; step < 6000; ++step) {
        TextGroup *g = groups.at(rng.bounded(groups.size()));
        const int n = g->count();
        TextObject *c = n ? g->child(rng.bounded(n)) : nullptr;
        switch (rng.bounded(5)) {
        case 0:
        case 1:
            if (!loose.isEmpty()) {
                TextObject *o = loose.takeAt(rng.bounded(loose.size()));
                if (!g->insert(rng.bounded(n + 1), o)) // an ancestor of g
                    loose << o;
            }
            break;
        case 2:
            if (c)
                loose << g->takeAt(g->indexOf(c));
            break;
        case 3:
            if (c)
                c->setPos(rng.generateDouble() * 900 - 300, rng.generateDouble() * 90);
            break;
        default:
            if (c && rng.bounded(2))
                c->setRotation(rng.generateDouble() * 360);
            else if (Glyph *glyph = qobject_cast<Glyph *>(c))
                glyph->setStrokeWidth(float(rng.generateDouble() * 6));
        }
        if (rng.bounded(4) == 0) {
            const TextGroup *read = groups.at(rng.bounded(groups.size()));
            const QString fault = TreeCheck::keptFault(read);
            QVERIFY2(fault.isEmpty() && read->indexOf(&stranger) == -1, qPrintable(QStringLiteral("step %1: %2").arg(step).arg(fault)));
        }
    }
    for (const TextGroup *g : qAsConst(groups))
        QVERIFY2(TreeCheck::keptFault(g).isEmpty(), qPrintable(TreeCheck::keptFault(g)));
    qDeleteAll(loose); // a loose group deletes what it holds
}

void TestTextTree::insertRefusesBadArgumentsAndKeepsTheObjectWithTheCaller_data()
{
    // Each insert (of an example tree object; "" null) is refused and leaves tree and object as they were.
    QTest::addColumn<QString>("into");
    QTest::addColumn<int>("index");
    QTest::addColumn<QString>("object");
    QTest::newRow("past the end") << "W1" << 3 << "x";
    QTest::newRow("before the start") << "W1" << -1 << "x";
    QTest::newRow("null") << "W1" << 0 << "";
    QTest::newRow("itself") << "W1" << 0 << "W1";
    QTest::newRow("itself, without a parent") << "R" << 0 << "R";
    QTest::newRow("already a child") << "W1" << 2 << "a";
    QTest::newRow("insertRefusesAnAncestorAndAnotherGroupsChild: parent") << "W1" << 0 << "P1";
    QTest::newRow("insertRefusesAnAncestorAndAnotherGroupsChild: root") << "W1" << 0 << "R";
    QTest::newRow("insertRefusesAnAncestorAndAnotherGroupsChild: child of another word") << "W1" << 0 << "c";
    QTest::newRow("insertRefusesAnAncestorAndAnotherGroupsChild: child into the root") << "R" << 1 << "c";
}

void TestTextTree::insertRefusesBadArgumentsAndKeepsTheObjectWithTheCaller()
{
    QFETCH(QString, into);
    QFETCH(int, index);
    QFETCH(QString, object);
    ExampleTree t;
    TextObject *o = t.o.value(object);
    TextGroup *parent = o ? o->parentGroup() : nullptr;
    QVERIFY(!group(t.o[into])->insert(index, o));
    QVERIFY(t.R->text() == QStringLiteral("ab c") && group(t.o["W1"])->count() == 2 && TreeCheck::linkFault(t.R).isEmpty());
    QVERIFY(!o || o->parentGroup() == parent);
    // Taken out, another group's child goes in.
    if (object == QLatin1String("c")) {
        QVERIFY(group(t.o[into])->insert(index, group(t.o["W2"])->takeAt(0)));
        QCOMPARE(o->parentGroup(), t.o[into]);
        QVERIFY(TreeCheck::linkFault(t.R).isEmpty());
    }
}

void TestTextTree::arrangeToABadIndexKeepsTheObject()
{
    QScopedPointer<TextGroup> p(TreeBuilder::passage(QStringLiteral("a b c")));
    TextObject *a = p->child(0);
    // Each move of a (first, back, forward, last or to an index), whether it moved, and the order it left.
    const QStringList moves = {"first|0|a b c", "back|0|a b c", "forward|1| ab c", "last|1| b ca", "forward|0| b ca",
        "back|1| b ac", "first|1|a b c", "2|1| ba c", "2|0| ba c", "5|0| ba c", "-1|0| ba c"};
    for (const QString &m : moves) {
        const QString how = m.section('|', 0, 0);
        const bool moved = how == "first" ? a->arrangeFirst() : how == "back" ? a->arrangeBackward()
                         : how == "forward" ? a->arrangeForward() : how == "last" ? a->arrangeLast() : a->arrangeTo(how.toInt());
        QCOMPARE(QStringLiteral("%1|%2|%3").arg(how).arg(moved).arg(p->text()), m);
        QVERIFY(a->parentGroup() == p.data() && TreeCheck::linkFault(p.data()).isEmpty());
    }
    TextGroup lone;
    QVERIFY(!lone.arrangeTo(0) && !lone.arrangeForward() && !lone.arrangeFirst());
}

void TestTextTree::groupsDeriveFromTheirChildren()
{
    // Leading line breaks keep their places, the layout starts at the first other glyph, a later break at its x a line
    // lower; breaks alone move nothing.
    const QChar cr(Glyph::LineBreak);
    TextGroup root;
    TextGroup *p = TreeBuilder::passage(QString(2, cr) + QStringLiteral("ab c") + cr + 'd', arial, QPointF(40, 10));
    TextGroup *breaks = TreeBuilder::passage(QString(2, cr));
    root.append(p);
    root.append(breaks);
    p->firstGlyph()->setPos(100, 200);
    breaks->firstGlyph()->setPos(30, 40);
    breaks->lastGlyph()->setPos(50, 60);
    Glyph *d = p->lastGlyph(), *c = group(p->child(4))->firstGlyph();
    p->child(2)->firstGlyph()->setPos(5, 7);
    p->relayout();
    breaks->relayout();
    QCOMPARE(p->firstGlyph()->pos(), QPointF(100, 200));
    const QFontMetrics big(arial);
    QCOMPARE(c->pos(), QPointF(5 + big.horizontalAdvance('a') + big.horizontalAdvance('b') + big.horizontalAdvance(' '), 7));
    QCOMPARE(d->pos(), QPointF(5, 7 + big.lineSpacing()));
    QVERIFY(breaks->firstGlyph()->pos() == QPointF(30, 40) && breaks->lastGlyph()->pos() == QPointF(50, 60));
    TextGroup().relayout();
    TextGroup *w = group(p->child(2));
    QVERIFY(p->isPassage() && !p->isWord() && w->isWord() && !w->isPassage() && !root.isPassage()); // by depth
    // Each part of a colour reaches every glyph; a font change lays the text out again.
    p->setFillColor(QColor(10, 20, 30));
    p->setFillAlpha(40);
    p->setStrokeRed(200);
    QVERIFY(c->fillColor() == QColor(10, 20, 30, 40) && c->strokeColor() == QColor(200, 0, 0) && d->fillColor() == c->fillColor());
    const QFontMetrics fm(QFont(QStringLiteral("Arial"), 20));
    p->setFont(QFont(QStringLiteral("Arial"), 20), true);
    QCOMPARE(c->pos(), QPointF(5 + fm.horizontalAdvance('a') + fm.horizontalAdvance('b') + fm.horizontalAdvance(' '), 7));
    // The leftmost x, also inside a word; an empty group makes it 0.
    c->setX(-5);
    QCOMPARE(p->leftmostX(), -5.0);
    QCOMPARE(breaks->leftmostX(), 30.0);
    breaks->append(new TextGroup);
    QCOMPARE(breaks->leftmostX(), 0.0);
}

void TestTextTree::walks_data()
{
    QTest::addColumn<QString>("walk"); // text, glyph or selected
    QTest::addColumn<QString>("from");
    QTest::addColumn<int>("flags");
    QTest::addColumn<QString>("met");
    QTest::newRow("forward post-order") << "text" << "R" << 5 << "a b W1 S c W2 P1 R";
    QTest::newRow("backward post-order") << "text" << "R" << 6 << "c W2 S b a W1 P1 R";
    QTest::newRow("forward pre-order") << "text" << "R" << 9 << "R P1 W1 a b S W2 c";
    QTest::newRow("backward pre-order") << "text" << "R" << 10 << "R P1 W2 c S W1 b a";
    QTest::newRow("inside a subtree") << "text" << "W1" << 5 << "a b W1";
    QTest::newRow("inside a subtree pre-order") << "text" << "W2" << 10 << "W2 c";
    QTest::newRow("a leaf alone") << "text" << "a" << 10 << "a";
    QTest::newRow("glyphs backward") << "glyph" << "R" << 6 << "c S b a";
    QTest::newRow("glyphs forward pre-order") << "glyph" << "R" << 9 << "a b S c";
    // Selected objects are met, also inside a selected group.
    QTest::newRow("selected forward") << "selected" << "R" << 5 << "b W1 c";
    QTest::newRow("selected backward pre-order") << "selected" << "R" << 10 << "c W1 b";
    QTest::newRow("selected, none there") << "selected" << "S" << 5 << "";
}

void TestTextTree::walks()
{
    QFETCH(QString, walk);
    QFETCH(QString, from);
    QFETCH(int, flags);
    ExampleTree t;
    TextObject *root = t.o.value(from);
    const QList<TextObject *> met = walk == "text" ? walked(TextIterator(root, flags))
                                  : walk == "glyph" ? walked(GlyphIterator(root, flags))
                                                    : walked(SelectedIterator(root, flags));
    QTEST(t.names(met), "met");
    QVERIFY(!t.R->objectAtPath({0, 1, 0}) && !t.R->objectAtPath({0, 0, 2})); // below the space glyph, past the end
    // Flags normalised to forward unless only backward, post-order unless only pre-order; an empty group is a leaf.
    for (int f = 0; f < 16; ++f) {
        QCOMPARE(TextIterator(nullptr, f).flags(), ((f & 3) == 2 ? 2 : 1) | ((f & 12) == 8 ? 8 : 4));
        QVERIFY(!TextIterator(nullptr, f).hasNext());
    }
    TextGroup outer;
    outer.append(new TextGroup);
    QCOMPARE(walked(TextIterator(&outer, 9)).size(), 2);
    QVERIFY(!GlyphIterator(&outer, 5).hasNext());
}

void TestTextTree::randomEditsKeepTheSelectionListInStep_data()
{
    // Edits: s/d (de)select, r either recursively, o restore, h hide or show, t take/put back/delete, c clear, v hover.
    QTest::addColumn<QString>("edits");
    QTest::newRow("selectingAnObjectDeselectsItsDescendants") << "sdr";
    QTest::newRow("hiddenObjectsAreNotSelected") << "sdrh";
    QTest::newRow("selection order and restoreSelection") << "sdo";
    QTest::newRow("takeOperationsDeselectTheWholeSubtree") << "srt";
    QTest::newRow("clearGroupGivesBackItsChildren") << "src";
    QTest::newRow("hoveredObjectNeverDangles") << "vtc";
    QTest::newRow("every edit") << "sdrohtcv";
}

void TestTextTree::randomEditsKeepTheSelectionListInStep()
{
    // Seeded edits against a model of the selection list (in order) and the hovered object.
    QFETCH(QString, edits);
    TestDocument d;
    for (int i = 0; i < 4; ++i)
        d.add(QStringLiteral("ab cd\tef"), QPointF(0, 100 + 90 * i));
    QList<TextObject *> model, loose;
    TextObject *hovered = nullptr;
    // Selecting deselects ancestors and descendants; a hidden object is not selected, a selected one keeps its place.
    auto related = [](TextObject *x, TextObject *o) { return x->isDescendantOf(group(o)) || o->isDescendantOf(group(x)); };
    auto selectOne = [&](TextObject *o) {
        model.erase(std::remove_if(model.begin(), model.end(), [&](TextObject *x) { return related(x, o); }), model.end());
        if (o->isVisible() && !model.contains(o))
            model << o;
    };
    auto drop = [&](TextObject *o) { // o and its subtree deselected
        model.erase(std::remove_if(model.begin(), model.end(), [&](TextObject *x) { return x == o || x->isDescendantOf(group(o)); }), model.end());
    };
    auto leaves = [&](TextObject *o) { // o and its subtree leave the tree
        drop(o);
        if (hovered && (hovered == o || hovered->isDescendantOf(group(o))))
            hovered = nullptr;
    };
    auto gone = [](TextObject *o) { return !o->scene() && !o->isSelected() && !o->hasSelectedDescendant() && !o->isHighlighted(); };
    QVERIFY(!d.scene.takeLastChild(nullptr) && !d.scene.removeChild(nullptr, d.root) && d.scene.clearGroup(nullptr).isEmpty());
    d.scene.setSelected(nullptr, true, true);
    QRandomGenerator rng(7);
    for (int step = 0; step < 400; ++step) {
        QList<TextObject *> all = walkList(d.root);
        all.removeLast(); // the root
        TextObject *o = all.at(rng.bounded(all.size()));
        TextGroup *parent = o->parentGroup();
        const QChar edit = edits.at(rng.bounded(edits.size()));
        if (edit == 's' || edit == 'd') {
            d.scene.setSelected(o, edit == 's', false);
            edit == 's' ? selectOne(o) : void(model.removeAll(o));
        } else if (edit == 'r' && rng.bounded(2)) {
            d.scene.setSelected(o, true, true);
            for (TextObject *x : walkList(o))
                selectOne(x);
        } else if (edit == 'r') {
            d.scene.setSelected(o, false, true);
            drop(o);
        } else if (edit == 'o') {
            const QList<TextObject *> chosen{all.at(rng.bounded(all.size())), o};
            d.scene.restoreSelection(chosen);
            model.clear();
            for (TextObject *x : chosen)
                selectOne(x);
        } else if (edit == 'h') {
            // Deselected through the scene first, as the commands do.
            if (o->isVisible()) {
                d.scene.setSelected(o, false, true);
                drop(o);
            }
            o->setVisible(!o->isVisible());
        } else if (edit == 't' && rng.bounded(2) && !loose.isEmpty()) {
            TextObject *back = loose.takeAt(rng.bounded(loose.size()));
            TextGroup *home = back->isGlyph() ? nullptr : group(d.root->child(1));
            for (TextObject *x : all)
                home = back->isGlyph() && x->isWord() ? group(x) : home;
            if (home && rng.bounded(4)) {
                QVERIFY(home->insert(rng.bounded(home->count() + 1), back));
                QCOMPARE(back->scene(), &d.scene);
            } else {
                delete back;
            }
        } else if (edit == 't' && parent->count() > 1 && (o->isGlyph() ? o->parentGroup()->isWord() : o->isWord())) {
            // A glyph from a word of more than one, or a word, so that the tree keeps its shape.
            QVERIFY(!d.scene.takeChildAt(parent, parent->count()));
            TextObject *taken = o->isGlyph() && rng.bounded(2) ? parent->lastChild() : o;
            leaves(taken);
            QCOMPARE(taken == o ? (rng.bounded(2) ? d.scene.removeChild(parent, o) : d.scene.takeChildAt(parent, parent->indexOf(o)))
                                : d.scene.takeLastChild(parent), taken);
            QVERIFY(gone(taken));
            loose << taken;
        } else if (edit == 'c' && o->isWord()) {
            const QList<TextObject *> children = group(o)->children();
            for (TextObject *x : children)
                leaves(x);
            QCOMPARE(d.scene.clearGroup(group(o)), children);
            QVERIFY(group(o)->count() == 0 && o->scene() == &d.scene);
            for (TextObject *x : children)
                QVERIFY(gone(x) && !x->parentGroup() && !x->previous() && !x->next());
            // Given back unlinked: one can go in again.
            group(o)->append(children.first());
            qDeleteAll(children.mid(1));
        } else if (edit == 'v') {
            hovered = rng.bounded(4) ? o : nullptr;
            d.scene.setHovered(hovered);
        }
        const QString fault = TreeCheck::sceneFault(&d.scene);
        QVERIFY2(fault.isEmpty(), qPrintable(QStringLiteral("step %1: %2").arg(step).arg(fault)));
        QCOMPARE(d.selected(), model);
        QCOMPARE(walked(SelectedListIterator(&d.scene)), model);
        QCOMPARE(d.scene.hoveredObject(), hovered);
        for (TextObject *x : walkList(d.root))
            QCOMPARE(x->isHighlighted(), x == hovered);
    }
    qDeleteAll(loose);
}

void TestTextTree::hitTestsFindTheTopmostUsableObject()
{
    TestDocument d;
    TextGroup *under = d.add(QStringLiteral("I"), QPointF(100, 200));
    TextGroup *over = d.add(QStringLiteral("I"), QPointF(100, 200));
    const QPointF at = centreOf(over->firstGlyph());
    QCOMPARE(d.scene.glyphAt(at), over->firstGlyph()); // drawn last
    QVERIFY(d.scene.isGlyphAt(at) && !d.scene.glyphAt(QPointF(-500, -500)));
    over->firstGlyph()->lock();
    QCOMPARE(d.scene.glyphAt(at), under->firstGlyph());
    under->setVisible(false);
    QVERIFY(!d.scene.glyphAt(at));
    under->setVisible(true);
    QVERIFY(!d.scene.selectedObjectAt(at));
    d.scene.setSelected(over, true, false);
    QVERIFY(!d.scene.selectedObjectAt(at)); // locked
    over->unlock();
    QCOMPARE(d.scene.selectedObjectAt(at), over);
    d.scene.setSelected(under->firstChild(), true, false);
    QCOMPARE(d.scene.selectedObjectAt(at), over);
    // Stacking decides, a word's before its glyph's.
    under->setZValue(1);
    QCOMPARE(d.scene.glyphAt(at), under->firstGlyph());
    TextGroup *p = d.add(QStringLiteral("I I"), QPointF(100, 200));
    p->lastGlyph()->setPos(p->firstGlyph()->pos());
    p->setZValue(2);
    QCOMPARE(d.scene.glyphAt(at), p->lastGlyph());
    p->firstGlyph()->setZValue(5);
    QCOMPARE(d.scene.glyphAt(at), p->lastGlyph());
    p->firstChild()->setZValue(1);
    QCOMPARE(d.scene.glyphAt(at), p->firstGlyph());
}

QTEST_MAIN(TestTextTree)
#include "tst_texttree.moc"
