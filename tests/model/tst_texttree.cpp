#include "model/Glyph.h"
#include "model/GlyphIterator.h"
#include "model/QVorrelScene.h"
#include "model/SelectedIterator.h"
#include "model/SelectedListIterator.h"
#include "model/TextGroup.h"
#include "model/TextIterator.h"
#include "support/TreeBuilder.h"
#include "support/TreeCheck.h"

#include <QFontMetrics>
#include <QRandomGenerator>
#include <QtTest>

namespace {

const QFont arial(QStringLiteral("Arial"), 72);

QString names(const QList<TextObject *> &objects, const QHash<const TextObject *, QString> &name)
{
    QStringList out;
    for (const TextObject *o : objects)
        out << name.value(o, QStringLiteral("?"));
    return out.join(QLatin1Char(' '));
}

template<typename Walk>
QList<TextObject *> walked(Walk &&walk)
{
    QList<TextObject *> out;
    while (walk.hasNext())
        out << walk.next();
    return out;
}

// The example tree: root R with one passage P1 holding word W1 (glyphs a,
// b), a space S and word W2 (glyph c).
struct ExampleTree
{
    TextGroup *R = new TextGroup;
    TextGroup *P1 = new TextGroup;
    TextGroup *W1 = new TextGroup;
    TextGroup *W2 = new TextGroup;
    Glyph *a = TreeBuilder::glyph('a');
    Glyph *b = TreeBuilder::glyph('b');
    Glyph *S = TreeBuilder::glyph(' ');
    Glyph *c = TreeBuilder::glyph('c');
    QHash<const TextObject *, QString> name;

    ExampleTree()
    {
        R->append(P1);
        P1->append(W1);
        P1->append(S);
        P1->append(W2);
        W1->append(a);
        W1->append(b);
        W2->append(c);
        name = {{R, "R"}, {P1, "P1"}, {W1, "W1"}, {W2, "W2"}, {a, "a"}, {b, "b"}, {S, "S"}, {c, "c"}};
    }
    ~ExampleTree() { delete R; }
    QString walk(int flags) { return names(walked(TextIterator(R, flags)), name); }
};

} // namespace

class TestTextTree : public QObject
{
    Q_OBJECT
private slots:
    void randomInsertsAndTakesKeepEveryLink();
    void insertRefusesBadArgumentsAndKeepsTheObjectWithTheCaller();
    void insertRefusesAnAncestorAndAnotherGroupsChild();
    void takeOperationsUnlink();
    void indexPathAndObjectAtPathAreInverse();
    void objectAtPathRefusesPathsThatLeaveTheTree();
    void depthDecidesPassageAndWord();
    void glyphNeighboursCrossGroups();
    void arrangeMovesWithinTheParent();
    void arrangeToABadIndexKeepsTheObject();
    void leftmostXAndLockOfGroups();
    void groupsForwardToTheirGlyphs();
    void layoutFollowsTheFontMetrics();
    void layoutSkipsLeadingLineBreaks();
    void layoutOfAGroupWithoutOrdinaryGlyphsMovesNothing();
    void walksVisitTheExampleTreeInTheFourOrders();
    void walkFlagsAreNormalised();
    void walksOfDegenerateTrees();
    void glyphAndSelectedWalks();
    void selectedListWalkOfAnEmptySelection();
    void treeCheckFindsBrokenShapes();
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
    QCOMPARE(g.count(), 1);
    QVERIFY(g.append(TreeBuilder::glyph('y')));
    QCOMPARE(g.text(), QStringLiteral("xy"));
    QCOMPARE(g.indexOf(x), 0);
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
    QVERIFY(first && second);

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
    QCOMPARE(first->count(), 2);
    QCOMPARE(root.count(), 1);
    QCOMPARE(root.text(), QStringLiteral("ab cd"));
    QVERIFY(TreeCheck::linkFault(&root).isEmpty());

    // Taken out, it goes in.
    QVERIFY(first->append(second->takeAt(0)));
    QCOMPARE(root.text(), QStringLiteral("abc d"));
    QVERIFY(TreeCheck::linkFault(&root).isEmpty());
}

void TestTextTree::takeOperationsUnlink()
{
    TextGroup *p = TreeBuilder::passage(QStringLiteral("ab cd"));
    TextObject *space = p->child(1);
    QCOMPARE(p->remove(space), space);
    QVERIFY(!space->parentGroup() && !space->previous() && !space->next());
    QCOMPARE(p->child(0)->next(), p->child(1));
    QCOMPARE(p->child(1)->previous(), p->child(0));
    QVERIFY(!p->remove(space));
    TextObject *last = p->takeLast();
    QCOMPARE(last->text(), QStringLiteral("cd"));
    QVERIFY(!p->child(0)->next());
    QVERIFY(!p->takeAt(1));
    QVERIFY(!p->child(-1) && !p->childAt(1));
    QCOMPARE(p->firstChild(), p->lastChild());

    // Clearing keeps the former children's links: the scene takes them out
    // of itself first.
    TextObject *word = p->firstChild();
    p->clearChildren();
    QCOMPARE(p->count(), 0);
    QCOMPARE(word->parentGroup(), p);
    QVERIFY(!p->firstChild());
    delete space;
    delete last;
    delete p; // the word goes with its graphics parent
}

void TestTextTree::indexPathAndObjectAtPathAreInverse()
{
    TextGroup root;
    for (const QString &text : {QStringLiteral("one two"), QStringLiteral("x\ryz w"), QStringLiteral("  last")})
        root.append(TreeBuilder::passage(text));
    VERIFY_TREE(&root);
    int objects = 0;
    TextIterator walk(&root, TextIterator::Forward | TextIterator::PreOrder);
    while (walk.hasNext()) {
        TextObject *o = walk.next();
        QCOMPARE(root.objectAtPath(o->indexPath()), o);
        ++objects;
    }
    QCOMPARE(objects, 1 + 3 + 6 + 19); // root, passages, words, glyphs
    // The third glyph of the second word of the first passage.
    TextGroup *p = qobject_cast<TextGroup *>(root.child(0));
    TextGroup *source = TreeBuilder::passage(QStringLiteral("abc"));
    TextObject *w = source->takeAt(0);
    delete source;
    QVERIFY(p->append(w));
    QCOMPARE(qobject_cast<TextGroup *>(w)->child(2)->indexPath(), (QList<int>{2, 3, 0}));
    QCOMPARE(p->child(2)->indexPath(), (QList<int>{2, 0}));
    QVERIFY(root.indexPath().isEmpty());
}

void TestTextTree::objectAtPathRefusesPathsThatLeaveTheTree()
{
    TextGroup root;
    root.append(TreeBuilder::passage(QStringLiteral("ab c")));
    QCOMPARE(root.objectAtPath({}), &root);
    QVERIFY(root.objectAtPath({0, 0}));
    QVERIFY(!root.objectAtPath({0, 0, 0, 0}));  // below a glyph
    QVERIFY(!root.objectAtPath({0, 1, 0}));     // through the space glyph
    QVERIFY(!root.objectAtPath({2, 0, 0}));
    QVERIFY(!root.objectAtPath({0, -1, 0}));
    QVERIFY(!root.objectAtPath({0, 1}));
    Glyph loose('q', arial, Qt::black, Qt::black, 0, QPointF());
    QVERIFY(loose.indexPath().isEmpty());
}

void TestTextTree::depthDecidesPassageAndWord()
{
    TextGroup root;
    TextGroup *p = TreeBuilder::passage(QStringLiteral("ab c"));
    QVERIFY(!p->isPassage());
    root.append(p);
    TextGroup *w = qobject_cast<TextGroup *>(p->child(0));
    QVERIFY(p->isPassage() && !p->isWord() && !p->isGlyph());
    QVERIFY(w->isWord() && !w->isPassage());
    QVERIFY(!root.isPassage() && !root.isWord());
    QVERIFY(w->child(0)->isGlyph() && !w->child(0)->isWord());
    QVERIFY(w->child(0)->isDescendantOf(&root));
    QVERIFY(!w->isDescendantOf(w));
    QCOMPARE(root.text(), QStringLiteral("ab c"));
}

void TestTextTree::glyphNeighboursCrossGroups()
{
    TextGroup root;
    root.append(TreeBuilder::passage(QStringLiteral("ab c")));
    root.append(new TextGroup); // an empty passage is skipped
    root.append(TreeBuilder::passage(QStringLiteral("d")));
    Glyph *b = root.firstGlyph()->nextGlyph();
    QCOMPARE(b->text(), QStringLiteral("b"));
    QCOMPARE(b->nextGlyph()->text(), QStringLiteral(" "));
    Glyph *c = root.child(0)->lastGlyph();
    QCOMPARE(c->text(), QStringLiteral("c"));
    QCOMPARE(c->nextGlyph()->text(), QStringLiteral("d"));
    QCOMPARE(root.lastGlyph()->previousGlyph(), c);
    QVERIFY(!root.firstGlyph()->previousGlyph());
    QVERIFY(!root.lastGlyph()->nextGlyph());
    QVERIFY(!root.child(1)->firstGlyph());
}

void TestTextTree::arrangeMovesWithinTheParent()
{
    TextGroup *p = TreeBuilder::passage(QStringLiteral("a b c"));
    auto order = [p] { return p->text(); };
    TextObject *a = p->child(0);
    QVERIFY(!a->arrangeFirst() && !a->arrangeBackward());
    QVERIFY(a->arrangeForward());
    QCOMPARE(order(), QStringLiteral(" ab c"));
    QVERIFY(a->arrangeLast());
    QCOMPARE(order(), QStringLiteral(" b ca"));
    QVERIFY(!a->arrangeLast() && !a->arrangeForward());
    QVERIFY(a->arrangeBackward());
    QCOMPARE(order(), QStringLiteral(" b ac"));
    QVERIFY(a->arrangeFirst());
    QCOMPARE(order(), QStringLiteral("a b c"));
    QVERIFY(a->arrangeTo(2));
    QVERIFY(!a->arrangeTo(2));
    QCOMPARE(order(), QStringLiteral(" ba c"));
    QVERIFY(TreeCheck::linkFault(p).isEmpty());
    TextGroup lone;
    QVERIFY(!lone.arrangeTo(0) && !lone.arrangeForward() && !lone.arrangeFirst());
    delete p;
}

void TestTextTree::arrangeToABadIndexKeepsTheObject()
{
    TextGroup *p = TreeBuilder::passage(QStringLiteral("a b"));
    TextObject *a = p->child(0);
    QVERIFY(!a->arrangeTo(3));
    QVERIFY(!a->arrangeTo(-1));
    QCOMPARE(a->parentGroup(), p);
    QCOMPARE(p->text(), QStringLiteral("a b"));
    QVERIFY(TreeCheck::linkFault(p).isEmpty());
    delete p;
}

void TestTextTree::leftmostXAndLockOfGroups()
{
    TextGroup empty;
    QCOMPARE(empty.leftmostX(), 0.0);
    QVERIFY(!empty.isLocked());
    TextGroup *p = TreeBuilder::passage(QStringLiteral("ab c"), arial, QPointF(40, 10));
    QCOMPARE(p->leftmostX(), 40.0);
    p->child(2)->firstGlyph()->setX(-5);
    QCOMPARE(p->leftmostX(), -5.0);
    p->append(new TextGroup); // an empty group takes part with 0.0
    p->child(2)->firstGlyph()->setX(3);
    QCOMPARE(p->leftmostX(), 0.0);

    QVERIFY(!p->isLocked());
    p->child(2)->lock();
    QVERIFY(p->isLocked());
    QVERIFY(!p->child(0)->isLocked());
    p->unlock();
    QVERIFY(!p->isLocked());
    p->lock();
    QVERIFY(p->firstGlyph()->isLocked() && p->lastGlyph()->isLocked());
    delete p;
}

void TestTextTree::groupsForwardToTheirGlyphs()
{
    TextGroup *p = TreeBuilder::passage(QStringLiteral("ab c"));
    p->setFillColor(QColor(10, 20, 30));
    p->setFillAlpha(40);
    p->setStrokeRed(200);
    p->setStrokeWidth(2.5f);
    GlyphIterator it(p, TextIterator::Forward);
    int glyphs = 0;
    while (it.hasNext()) {
        const Glyph *g = it.next();
        QCOMPARE(g->fillColor(), QColor(10, 20, 30, 40));
        QCOMPARE(g->strokeColor(), QColor(200, 0, 0));
        QCOMPARE(g->strokeWidth(), 2.5f);
        ++glyphs;
    }
    QCOMPARE(glyphs, 4);
    // Font changes lay the passage out again.
    const QFont small(QStringLiteral("Arial"), 20);
    p->setFont(small, true);
    QCOMPARE(p->child(2)->firstGlyph()->x(),
             double(QFontMetrics(small).horizontalAdvance('a') + QFontMetrics(small).horizontalAdvance('b')
                    + QFontMetrics(small).horizontalAdvance(' ')));
    delete p;
}

void TestTextTree::layoutFollowsTheFontMetrics()
{
    const QString text = QStringLiteral("ab") + QChar(Glyph::LineBreak) + QStringLiteral("c");
    TextGroup *p = TreeBuilder::passage(text, arial, QPointF(10, 20));
    const QFontMetrics fm(arial);
    Glyph *a = p->firstGlyph();
    Glyph *b = a->nextGlyph();
    Glyph *cr = b->nextGlyph();
    Glyph *c = cr->nextGlyph();
    QCOMPARE(a->pos(), QPointF(10, 20));
    QCOMPARE(b->pos(), QPointF(10 + fm.horizontalAdvance('a'), 20));
    QCOMPARE(cr->pos(), QPointF(10 + fm.horizontalAdvance('a') + fm.horizontalAdvance('b'), 20));
    QCOMPARE(c->pos(), QPointF(10, 20 + fm.lineSpacing()));
    QCOMPARE(a->advanceWidth(), double(fm.horizontalAdvance('a')));
    // Positions are relative to each glyph's own parent group: the word.
    QCOMPARE(c->parentGroup()->pos(), QPointF(0, 0));
    delete p;
}

void TestTextTree::layoutSkipsLeadingLineBreaks()
{
    const QString text = QString(2, QChar(Glyph::LineBreak)) + QStringLiteral("xy");
    TextGroup *p = TreeBuilder::passage(text, arial, QPointF(5, 7));
    Glyph *first = p->firstGlyph();
    first->setPos(100, 200);
    Glyph *x = first->nextGlyph()->nextGlyph();
    x->setPos(5, 7);
    p->relayout();
    QCOMPARE(first->pos(), QPointF(100, 200));
    QCOMPARE(x->pos(), QPointF(5, 7));
    QCOMPARE(x->nextGlyph()->pos(), QPointF(5 + QFontMetrics(arial).horizontalAdvance('x'), 7));
    delete p;
}

void TestTextTree::layoutOfAGroupWithoutOrdinaryGlyphsMovesNothing()
{
    TextGroup root;
    TextGroup *breaks = TreeBuilder::passage(QString(2, QChar(Glyph::LineBreak)));
    root.append(breaks);
    root.append(TreeBuilder::passage(QStringLiteral("zz"), arial, QPointF(1, 2)));
    breaks->child(0)->setPos(30, 40);
    breaks->child(1)->setPos(50, 60);
    const QPointF z2 = root.lastGlyph()->pos();
    breaks->relayout();
    QCOMPARE(breaks->child(0)->pos(), QPointF(30, 40));
    QCOMPARE(breaks->child(1)->pos(), QPointF(50, 60));
    QCOMPARE(root.lastGlyph()->pos(), z2); // the later passage is left alone
    TextGroup empty;
    empty.relayout();
}

void TestTextTree::walksVisitTheExampleTreeInTheFourOrders()
{
    ExampleTree t;
    QCOMPARE(t.walk(TextIterator::Forward | TextIterator::PostOrder), QStringLiteral("a b W1 S c W2 P1 R"));
    QCOMPARE(t.walk(TextIterator::Backward | TextIterator::PostOrder), QStringLiteral("c W2 S b a W1 P1 R"));
    QCOMPARE(t.walk(TextIterator::Forward | TextIterator::PreOrder), QStringLiteral("R P1 W1 a b S W2 c"));
    QCOMPARE(t.walk(TextIterator::Backward | TextIterator::PreOrder), QStringLiteral("R P1 W2 c S W1 b a"));
    // A walk stays inside its root's subtree.
    QCOMPARE(names(walked(TextIterator(t.W1, 5)), t.name), QStringLiteral("a b W1"));
    QCOMPARE(names(walked(TextIterator(t.W2, 10)), t.name), QStringLiteral("W2 c"));
}

void TestTextTree::walkFlagsAreNormalised()
{
    ExampleTree t;
    const QString forwardPost = t.walk(5);
    QCOMPARE(TextIterator(nullptr, 0).flags(), 5);
    QCOMPARE(TextIterator(nullptr, 3).flags(), 5);
    QCOMPARE(TextIterator(nullptr, 12).flags(), 5);
    QCOMPARE(TextIterator(nullptr, 14).flags(), 6);
    QCOMPARE(TextIterator(nullptr, 8).flags(), 9);
    QCOMPARE(t.walk(0), forwardPost);
    QCOMPARE(t.walk(3), forwardPost);
    QCOMPARE(t.walk(12), forwardPost);
}

void TestTextTree::walksOfDegenerateTrees()
{
    for (int flags : {5, 6, 9, 10}) {
        TextIterator none(nullptr, flags);
        QVERIFY(!none.hasNext());
        Glyph *g = TreeBuilder::glyph('g');
        QCOMPARE(walked(TextIterator(g, flags)), QList<TextObject *>{g});
        TextGroup outer;
        TextGroup *inner = new TextGroup;
        outer.append(inner);
        // A group without children is met like a leaf.
        QCOMPARE(walked(TextIterator(&outer, flags)).size(), 2);
        QVERIFY(!GlyphIterator(&outer, flags).hasNext());
        delete g;
    }
}

void TestTextTree::glyphAndSelectedWalks()
{
    ExampleTree t;
    QCOMPARE(names(walked(GlyphIterator(t.R, 6)), t.name), QStringLiteral("c S b a"));
    QCOMPARE(names(walked(GlyphIterator(t.R, 9)), t.name), QStringLiteral("a b S c"));
    t.W1->setSelected(true);
    t.b->setSelected(true);
    t.c->setSelected(true);
    // A selected group and its selected descendants are met; a selected
    // ancestor does not make a descendant qualify.
    QCOMPARE(names(walked(SelectedIterator(t.R, 5)), t.name), QStringLiteral("b W1 c"));
    QCOMPARE(names(walked(SelectedIterator(t.R, 10)), t.name), QStringLiteral("c W1 b"));
    QVERIFY(!SelectedIterator(t.S, 5).hasNext());
}

void TestTextTree::selectedListWalkOfAnEmptySelection()
{
    QVorrelScene scene(-100, -100, 200, 200);
    SelectedListIterator it(&scene);
    QVERIFY(!it.hasNext());
}

void TestTextTree::treeCheckFindsBrokenShapes()
{
    QVorrelScene scene(-100, -100, 200, 200);
    TextGroup *root = scene.root();
    VERIFY_TREE(root);
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

QTEST_MAIN(TestTextTree)
#include "tst_texttree.moc"
