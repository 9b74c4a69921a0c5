#include "model/Glyph.h"
#include "model/GlyphIterator.h"
#include "model/QVorrelScene.h"
#include "model/SelectedIterator.h"
#include "model/SelectedListIterator.h"
#include "model/Selection.h"
#include "model/TextGroup.h"
#include "model/TextIterator.h"
#include "support/TestDocument.h"
#include "support/TreeBuilder.h"
#include "support/TreeCheck.h"

#include <QFontMetrics>
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

// The example tree: root R with one passage P1 holding word W1 (glyphs a,
// b), a space S and word W2 (glyph c); b, c and W1 selected.
struct ExampleTree
{
    TextGroup *R = new TextGroup;
    QHash<QString, TextObject *> o;

    ExampleTree()
    {
        R->append(TreeBuilder::passage(QStringLiteral("ab c")));
        o["P1"] = R->child(0);
        o["W1"] = R->objectAtPath({0, 0});
        o["a"] = R->objectAtPath({0, 0, 0});
        o["b"] = R->objectAtPath({1, 0, 0});
        o["S"] = R->objectAtPath({1, 0});
        o["W2"] = R->objectAtPath({2, 0});
        o["c"] = R->objectAtPath({0, 2, 0});
        o["R"] = R;
        for (const char *name : {"W1", "b", "c"})
            o[name]->setSelected(true);
    }
    ~ExampleTree() { delete R; }
    QString names(const QList<TextObject *> &objects) const
    {
        QStringList out;
        for (const TextObject *x : objects)
            out << o.key(const_cast<TextObject *>(x), QStringLiteral("?"));
        return out.join(' ');
    }
};

QString order(TextGroup *g)
{
    return g->text();
}

} // namespace

using Doc = TestDocument;

class TestTextTree : public QObject
{
    Q_OBJECT
private slots:
    void randomInsertsAndTakesKeepEveryLink();
    void insertRefusesBadArgumentsAndKeepsTheObjectWithTheCaller();
    void insertRefusesAnAncestorAndAnotherGroupsChild();
    void indexPathAndObjectAtPathAreInverse();
    void arrangeToABadIndexKeepsTheObject();
    void groupsDeriveFromTheirChildren();
    void layoutFollowsTheFontMetrics();
    void walks_data();
    void walks();
    void treeCheckFindsBrokenShapes();
    void selectingAnObjectDeselectsItsDescendants();
    void hiddenObjectsAreNotSelected();
    void selectionBoxFollowsTheSelection();
    void takeOperationsDeselectTheWholeSubtree();
    void clearGroupGivesBackItsChildren();
    void randomEditsKeepTheSelectionListInStep();
    void hoveredObjectNeverDangles();
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
            // Indices from -1 to count + 1: the two ends are refused.
            const int at = rng.bounded(-1, count + 2);
            TextObject *o = loose.takeLast();
            const bool ok = groups[g].insert(at, o);
            QCOMPARE(ok, at >= 0 && at <= count);
            if (ok)
                model[g].insert(at, o);
            else
                loose << o;
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
    for (auto &group : groups) {
        while (TextObject *o = group.takeLast())
            loose << o;
    }
    qDeleteAll(loose);
}

void TestTextTree::insertRefusesBadArgumentsAndKeepsTheObjectWithTheCaller()
{
    TextGroup g;
    Glyph *x = TreeBuilder::glyph('x');
    QVERIFY(!g.insert(1, x));
    QVERIFY(!g.insert(-1, x));
    QVERIFY(!x->parentGroup());
    QVERIFY(!g.insert(0, &g));
    QVERIFY(g.insert(0, x));
    QVERIFY(!g.insert(0, x));
    QVERIFY(!g.append(x));
    QVERIFY(g.append(TreeBuilder::glyph('y')));
    QCOMPARE(g.text(), QStringLiteral("xy"));
    QVERIFY(TreeCheck::linkFault(&g).isEmpty());
    QCOMPARE(x->parentItem(), &g);
}

void TestTextTree::insertRefusesAnAncestorAndAnotherGroupsChild()
{
    TextGroup root;
    TextGroup *p = TreeBuilder::passage(QStringLiteral("ab cd"));
    QVERIFY(root.append(p));
    TextGroup *first = qobject_cast<TextGroup *>(p->child(0));
    TextGroup *second = qobject_cast<TextGroup *>(p->child(2));
    // A group's ancestors would close the tree into a loop.
    QVERIFY(!first->insert(0, p));
    QVERIFY(!first->append(&root));
    // A child of another group must be taken out of it first, or two
    // groups would list it.
    TextObject *c = second->child(0);
    QVERIFY(!first->append(c));
    QVERIFY(!root.insert(0, c));
    QCOMPARE(c->parentGroup(), second);
    QCOMPARE(p->parentGroup(), &root);
    QCOMPARE(root.text(), QStringLiteral("ab cd"));
    QVERIFY(TreeCheck::linkFault(&root).isEmpty());
    // Taken out, it goes in.
    QVERIFY(first->append(second->takeAt(0)));
    QCOMPARE(root.text(), QStringLiteral("abc d"));
    QVERIFY(TreeCheck::linkFault(&root).isEmpty());
}

void TestTextTree::indexPathAndObjectAtPathAreInverse()
{
    TextGroup root;
    for (const QString &text : {QStringLiteral("one two"), QStringLiteral("x\ryz w"), QStringLiteral("  last")})
        root.append(TreeBuilder::passage(text));
    VERIFY_TREE(&root);
    const QList<TextObject *> all = walked(TextIterator(&root, TextIterator::Forward | TextIterator::PreOrder));
    QCOMPARE(all.size(), 1 + 3 + 6 + 19); // root, passages, words, glyphs
    for (TextObject *o : all)
        QCOMPARE(root.objectAtPath(o->indexPath()), o);
    // A glyph's path starts with its index in its word.
    QCOMPARE(root.objectAtPath({1, 2, 0})->text(), QStringLiteral("w"));
    QCOMPARE(root.objectAtPath({1, 2, 1})->indexPath(), (QList<int>{1, 2, 1}));
    QVERIFY(root.indexPath().isEmpty());
    // Paths that leave the tree lead nowhere.
    for (const QList<int> &path : QList<QList<int>>{{0, 0, 0, 0}, {0, 1, 0}, {0, 0, 3}, {0, -1, 0}, {9}})
        QVERIFY(!root.objectAtPath(path));
    QScopedPointer<Glyph> loose(TreeBuilder::glyph('q'));
    QVERIFY(loose->indexPath().isEmpty());
}

void TestTextTree::arrangeToABadIndexKeepsTheObject()
{
    TextGroup *p = TreeBuilder::passage(QStringLiteral("a b c"));
    TextObject *a = p->child(0);
    // Each move, whether it moved a, and the order it left.
    const QList<std::function<bool()>> moves = {
        [a] { return a->arrangeFirst(); }, [a] { return a->arrangeBackward(); }, [a] { return a->arrangeForward(); },
        [a] { return a->arrangeLast(); }, [a] { return a->arrangeForward(); }, [a] { return a->arrangeBackward(); },
        [a] { return a->arrangeFirst(); }, [a] { return a->arrangeTo(2); }, [a] { return a->arrangeTo(2); },
        [a] { return a->arrangeTo(5); }, [a] { return a->arrangeTo(-1); }};
    const QList<bool> moved = {false, false, true, true, false, true, true, true, false, false, false};
    const QStringList orders = {"a b c", "a b c", " ab c", " b ca", " b ca", " b ac", "a b c", " ba c", " ba c",
                                " ba c", " ba c"};
    for (int i = 0; i < moves.size(); ++i) {
        QCOMPARE(moves.at(i)(), moved.at(i));
        QCOMPARE(order(p), orders.at(i));
        QCOMPARE(a->parentGroup(), p);
        QVERIFY(TreeCheck::linkFault(p).isEmpty());
    }
    TextGroup lone;
    QVERIFY(!lone.arrangeTo(0) && !lone.arrangeForward() && !lone.arrangeFirst());
    delete p;
}

void TestTextTree::groupsDeriveFromTheirChildren()
{
    TextGroup *p = TreeBuilder::passage(QStringLiteral("ab c"), arial, QPointF(40, 10));
    // Depth decides passage and word.
    TextGroup root;
    root.append(p);
    TextGroup *w = qobject_cast<TextGroup *>(p->child(0));
    QVERIFY(p->isPassage() && !p->isWord() && w->isWord() && !w->isPassage() && !root.isPassage());
    // The leftmost x, an empty group counting 0.
    Glyph *c = p->lastGlyph();
    QCOMPARE(p->leftmostX(), 40.0);
    c->setX(-5);
    QCOMPARE(p->leftmostX(), -5.0);
    c->setX(3);
    p->append(new TextGroup);
    QCOMPARE(p->leftmostX(), 0.0);
    // Each part of a colour reaches every glyph.
    p->setFillColor(QColor(10, 20, 30));
    p->setFillAlpha(40);
    p->setStrokeRed(200);
    for (const Glyph *g : {p->firstGlyph(), c}) {
        QCOMPARE(g->fillColor(), QColor(10, 20, 30, 40));
        QCOMPARE(g->strokeColor(), QColor(200, 0, 0));
    }
    // A font change lays the text out again.
    const QFontMetrics fm(QFont(QStringLiteral("Arial"), 20));
    p->setFont(QFont(QStringLiteral("Arial"), 20), true);
    QCOMPARE(c->x(), 40.0 + fm.horizontalAdvance('a') + fm.horizontalAdvance('b') + fm.horizontalAdvance(' '));
}

void TestTextTree::layoutFollowsTheFontMetrics()
{
    // Leading line breaks keep their places; the layout starts at the first
    // other glyph. Without one it moves nothing.
    const QChar cr(Glyph::LineBreak);
    TextGroup root;
    TextGroup *p = TreeBuilder::passage(QString(2, cr) + QStringLiteral("xy"), arial, QPointF(5, 7));
    TextGroup *breaks = TreeBuilder::passage(QString(2, cr));
    root.append(p);
    root.append(breaks);
    p->firstGlyph()->setPos(100, 200);
    breaks->firstGlyph()->setPos(30, 40);
    breaks->lastGlyph()->setPos(50, 60);
    Glyph *x = p->child(2)->firstGlyph();
    x->setPos(5, 7);
    p->relayout();
    breaks->relayout();
    QCOMPARE(p->firstGlyph()->pos(), QPointF(100, 200));
    QCOMPARE(x->pos(), QPointF(5, 7));
    QCOMPARE(p->lastGlyph()->pos(), QPointF(5 + QFontMetrics(arial).horizontalAdvance('x'), 7));
    QCOMPARE(breaks->firstGlyph()->pos(), QPointF(30, 40));
    QCOMPARE(breaks->lastGlyph()->pos(), QPointF(50, 60));
    TextGroup().relayout();
}

void TestTextTree::walks_data()
{
    QTest::addColumn<QString>("walk"); // text, glyph or selected walk
    QTest::addColumn<QString>("from");
    QTest::addColumn<int>("flags");
    QTest::addColumn<QString>("met");
    QTest::newRow("forward post-order") << "text" << "R" << 5 << "a b W1 S c W2 P1 R";
    QTest::newRow("backward post-order") << "text" << "R" << 6 << "c W2 S b a W1 P1 R";
    QTest::newRow("forward pre-order") << "text" << "R" << 9 << "R P1 W1 a b S W2 c";
    QTest::newRow("backward pre-order") << "text" << "R" << 10 << "R P1 W2 c S W1 b a";
    QTest::newRow("inside a subtree") << "text" << "W1" << 5 << "a b W1";
    QTest::newRow("inside a subtree pre-order") << "text" << "W2" << 10 << "W2 c";
    QTest::newRow("no direction: forward post-order") << "text" << "R" << 0 << "a b W1 S c W2 P1 R";
    QTest::newRow("both directions") << "text" << "R" << 3 << "a b W1 S c W2 P1 R";
    QTest::newRow("both orders") << "text" << "R" << 12 << "a b W1 S c W2 P1 R";
    QTest::newRow("backward, both orders") << "text" << "R" << 14 << "c W2 S b a W1 P1 R";
    QTest::newRow("pre-order, no direction") << "text" << "R" << 8 << "R P1 W1 a b S W2 c";
    QTest::newRow("a leaf alone") << "text" << "a" << 10 << "a";
    QTest::newRow("glyphs backward") << "glyph" << "R" << 6 << "c S b a";
    QTest::newRow("glyphs forward pre-order") << "glyph" << "R" << 9 << "a b S c";
    // A selected group and its selected descendants are met; a selected
    // ancestor does not make a descendant qualify.
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
    // The flags are normalised: one direction, one order.
    const int normal = (flags & 3) == 2 ? 2 : 1;
    QCOMPARE(TextIterator(nullptr, flags).flags(), normal | ((flags & 12) == 8 ? 8 : 4));
}

void TestTextTree::treeCheckFindsBrokenShapes()
{
    // Walks of nothing, and of an empty group met like a leaf.
    QVERIFY(!TextIterator(nullptr, 5).hasNext());
    TextGroup outer;
    outer.append(new TextGroup);
    QCOMPARE(walked(TextIterator(&outer, 9)).size(), 2);
    QVERIFY(!GlyphIterator(&outer, 5).hasNext());
    QVorrelScene scene(-100, -100, 200, 200);
    QVERIFY(!SelectedListIterator(&scene).hasNext());

    // The shape checks the suites rely on see each broken shape.
    TextGroup *root = scene.root();
    root->append(TreeBuilder::passage(QStringLiteral("ab c")));
    VERIFY_TREE(root);
    Glyph *loose = TreeBuilder::glyph('x');
    root->append(loose);
    QVERIFY(TreeCheck::documentFault(root).contains(QStringLiteral("directly in the root")));
    root->takeLast();
    TextGroup *passage = qobject_cast<TextGroup *>(root->child(0));
    passage->append(loose);
    QVERIFY(TreeCheck::documentFault(root).contains(QStringLiteral("outside a word")));
    passage->takeLast();
    passage->append(new TextGroup);
    QVERIFY(TreeCheck::documentFault(root).contains(QStringLiteral("empty")));
    delete passage->takeLast();
    loose->setNext(passage->child(0));
    passage->child(1)->setNext(loose);
    QVERIFY(TreeCheck::documentFault(root).contains(QStringLiteral("next link")));
    passage->child(1)->setNext(passage->child(2));
    qobject_cast<TextGroup *>(passage->child(0))->append(TreeBuilder::glyph(' '));
    QVERIFY(TreeCheck::documentFault(root).contains(QStringLiteral("inside a word")));
    delete loose;
}

void TestTextTree::selectingAnObjectDeselectsItsDescendants()
{
    Doc d;
    TextGroup *p = d.add(QStringLiteral("ab cd"));
    TextGroup *w = group(p->child(2));
    Glyph *a = p->firstGlyph();
    // Selecting a glyph deselects its word; selecting the word its glyphs;
    // selecting the passage everything under it; each object once.
    const QList<QPair<TextObject *, QList<TextObject *>>> steps = {
        {w, {w}}, {w->child(1), {w->child(1)}}, {w->child(1), {w->child(1)}}, {a, {w->child(1), a}},
        {w->child(0), {w->child(1), a, w->child(0)}}, {w, {a, w}}, {p, {p}}};
    for (const auto &step : steps) {
        d.scene.setSelected(step.first, true, false);
        QCOMPARE(d.selected(), step.second);
        VERIFY_SCENE(&d.scene);
    }
    d.scene.setSelected(p, false, false);
    QVERIFY(d.selected().isEmpty() && !p->isSelected());
    // Recursively: one selected root, and nothing under it after.
    d.scene.setSelected(p, true, true);
    QCOMPARE(d.selected(), QList<TextObject *>{p});
    d.scene.setSelected(w->child(0), true, false);
    d.scene.setSelected(p->child(0), true, false);
    d.scene.setSelected(p, false, true);
    QVERIFY(d.selected().isEmpty() && !p->hasSelectedDescendant());
}

void TestTextTree::hiddenObjectsAreNotSelected()
{
    Doc d;
    TextGroup *p = d.add(QStringLiteral("ab cd"));
    Glyph *a = p->firstGlyph();
    a->setVisible(false);
    p->child(2)->setVisible(false);
    d.scene.setSelected(a, true, false);
    d.scene.setSelected(p->child(2)->firstGlyph(), true, false); // hidden through its word
    QVERIFY(d.selected().isEmpty() && !a->isSelected());
    VERIFY_SCENE(&d.scene);
}

void TestTextTree::selectionBoxFollowsTheSelection()
{
    Doc d;
    TextGroup *p = d.add(QStringLiteral("abc"), QPointF(300, 400));
    TextGroup *w = group(p->child(0));
    // The selected list walks in the order of selection; restoreSelection
    // makes exactly the given objects selected, in order.
    const QList<TextObject *> order{w->child(2), w->child(0), w->child(1)};
    for (TextObject *o : order)
        d.scene.setSelected(o, true, false);
    QList<TextObject *> walked;
    SelectedListIterator it(&d.scene);
    while (it.hasNext())
        walked << it.next();
    QCOMPARE(walked, order);
    d.scene.restoreSelection({w->child(1), p});
    QCOMPARE(d.selected(), QList<TextObject *>{p});
    d.scene.restoreSelection({w->child(1), w->child(0)});
    QCOMPARE(d.selected(), (QList<TextObject *>{w->child(1), w->child(0)}));
    VERIFY_SCENE(&d.scene);
}

void TestTextTree::takeOperationsDeselectTheWholeSubtree()
{
    Doc d;
    TextGroup *p = d.add(QStringLiteral("ab cd ef"));
    TextGroup *w1 = group(p->child(0));
    TextGroup *w3 = group(p->child(4));
    d.scene.setSelected(w1->child(1), true, false);
    d.scene.setSelected(w3, true, false);
    d.scene.setSelected(p->child(2)->firstGlyph(), true, false);

    TextObject *taken = d.scene.takeChildAt(p, 0);
    QCOMPARE(taken, w1);
    QVERIFY(!taken->scene());
    QVERIFY(!w1->child(1)->isSelected());
    QCOMPARE(d.selected().size(), 2);
    VERIFY_SCENE(&d.scene);

    QCOMPARE(d.scene.takeLastChild(p), w3);
    QVERIFY(!w3->isSelected() && !w3->scene());
    QVERIFY(!d.scene.takeChildAt(p, 7));
    QVERIFY(!d.scene.removeChild(p, w1));
    QVERIFY(!d.scene.takeLastChild(nullptr));
    QVERIFY(d.scene.clearGroup(nullptr).isEmpty());
    d.scene.setSelected(nullptr, true, true);
    QCOMPARE(p->text(), QStringLiteral(" cd "));
    VERIFY_SCENE(&d.scene);

    // Put back, the word joins the scene again, unselected.
    QVERIFY(p->insert(0, w1));
    QCOMPARE(w1->scene(), &d.scene);
    VERIFY_SCENE(&d.scene);
    delete w3;
}

void TestTextTree::clearGroupGivesBackItsChildren()
{
    Doc d;
    TextGroup *p = d.add(QStringLiteral("ab cd"));
    d.scene.setSelected(p->child(2)->firstGlyph(), true, false);
    d.scene.setSelected(p->child(0), true, false);
    const QList<TextObject *> before = p->children();
    const QList<TextObject *> children = d.scene.clearGroup(p);
    QCOMPARE(children, before);
    QCOMPARE(p->count(), 0);
    QVERIFY(d.selected().isEmpty());
    for (TextObject *c : children) {
        QVERIFY(!c->scene());
        QVERIFY(!c->isSelected() && !c->hasSelectedDescendant());
    }
    qDeleteAll(children);
    QVERIFY(d.scene.items().contains(p));
}

void TestTextTree::randomEditsKeepTheSelectionListInStep()
{
    Doc d;
    for (int i = 0; i < 4; ++i)
        d.add(QStringLiteral("ab cd\tef"), QPointF(0, 100 + 90 * i));
    group(d.root->child(3))->child(0)->setVisible(false);
    QRandomGenerator rng(7);
    QList<TextObject *> loose;
    auto everything = [&d] {
        QList<TextObject *> all;
        TextIterator it(d.root, 5);
        while (it.hasNext())
            all << it.next();
        all.removeLast(); // the root
        return all;
    };
    for (int step = 0; step < 400; ++step) {
        const QList<TextObject *> all = everything();
        TextObject *o = all.at(rng.bounded(all.size()));
        switch (rng.bounded(5)) {
        case 0:
        case 1:
            d.scene.setSelected(o, true, rng.bounded(2));
            break;
        case 2:
            d.scene.setSelected(o, false, rng.bounded(2));
            break;
        case 3:
            // Take a glyph from a word of more than one glyph, or a word
            // from a passage, so that the tree keeps its shape.
            if (o->parentGroup() != d.root && o->parentGroup()->count() > 1 && (o->isGlyph() ? !o->parentGroup()->isPassage() : true))
                loose << d.scene.removeChild(o->parentGroup(), o);
            break;
        case 4:
            if (!loose.isEmpty()) {
                TextObject *back = loose.takeLast();
                TextGroup *home = group(d.root->child(1));
                if (back->isGlyph()) {
                    for (TextObject *c : all) {
                        if (c->isWord())
                            home = group(c);
                    }
                }
                QVERIFY(home->insert(rng.bounded(home->count() + 1), back));
            }
            break;
        }
        const QString fault = TreeCheck::sceneFault(&d.scene);
        QVERIFY2(fault.isEmpty(), qPrintable(QStringLiteral("step %1: %2").arg(step).arg(fault)));
    }
    qDeleteAll(loose);
}

void TestTextTree::hoveredObjectNeverDangles()
{
    Doc d;
    TextGroup *p = d.add(QStringLiteral("ab cd"));
    TextGroup *w = group(p->child(0));
    Glyph *b = qobject_cast<Glyph *>(w->child(1));
    const QPointF overB = centreOf(b);
    d.scene.setHovered(d.scene.glyphAt(overB));
    QCOMPARE(d.scene.hoveredObject(), b);
    QVERIFY(b->isHighlighted());

    // Take the hovered glyph out, delete it, move the mouse on.
    QCOMPARE(d.scene.removeChild(w, b), b);
    QVERIFY(!d.scene.hoveredObject());
    QVERIFY(!b->isHighlighted());
    delete b;
    d.scene.setHovered(d.scene.glyphAt(overB));
    d.scene.setHovered(d.scene.glyphAt(centreOf(w->child(0))));
    QCOMPARE(d.scene.hoveredObject(), w->child(0));

    // An ancestor leaving the tree takes the hover with it.
    delete d.scene.takeChildAt(p, 0);
    QVERIFY(!d.scene.hoveredObject());
    d.scene.setHovered(d.scene.glyphAt(overB));

    d.scene.setHovered(p->lastGlyph());
    qDeleteAll(d.scene.clearGroup(p));
    QVERIFY(!d.scene.hoveredObject());
    d.scene.setHovered(nullptr);
    delete d.scene.takeChildAt(d.root, 0); // the emptied passage
    VERIFY_SCENE(&d.scene);
}

void TestTextTree::hitTestsFindTheTopmostUsableObject()
{
    Doc d;
    TextGroup *under = d.add(QStringLiteral("I"), QPointF(100, 200));
    TextGroup *over = d.add(QStringLiteral("I"), QPointF(100, 200));
    const QPointF at = centreOf(over->firstGlyph());
    QCOMPARE(d.scene.glyphAt(at), over->firstGlyph()); // drawn last
    QVERIFY(d.scene.isGlyphAt(at));
    QVERIFY(!d.scene.glyphAt(QPointF(-500, -500)));
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
