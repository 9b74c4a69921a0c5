#include "commands/CmdArrange.h"
#include "commands/CmdCombo.h"
#include "commands/CmdMoveSelected.h"
#include "commands/CmdRemoveSelected.h"
#include "commands/CmdRotateSelected.h"
#include "commands/CmdSelectAll.h"
#include "commands/CmdSelectTextObject.h"
#include "commands/CmdSetLock.h"
#include "commands/CmdSetVisible.h"
#include "model/Caret.h"
#include "model/Glyph.h"
#include "model/QVorrelScene.h"
#include "model/TextGroup.h"
#include "model/TextIterator.h"
#include "support/TestDocument.h"
#include "support/TreeCheck.h"
#include "support/TreeDump.h"

#include <QRandomGenerator>
#include <QtTest>

namespace {

using Doc = TestDocument;

using Objects = QList<TextObject *>;

// Every glyph position of a subtree, in walk order.
QList<QPointF> positionsIn(TextGroup *g)
{
    QList<QPointF> positions;
    for (Glyph *x = g->firstGlyph(); x && x->isDescendantOf(g); x = x->nextGlyph())
        positions << x->pos();
    return positions;
}

QList<QPointF> shifted(QList<QPointF> positions, double dx, double dy)
{
    for (QPointF &p : positions)
        p += QPointF(dx, dy);
    return positions;
}

TextPointer pointer(TextObject *passage, int pi, TextObject *word, int wi, TextObject *glyph, int gi)
{
    TextPointer p;
    p.passage = passage;
    p.passageIndex = pi;
    p.word = word;
    p.wordIndex = wi;
    p.glyph = glyph;
    p.glyphIndex = gi;
    return p;
}

void comparePointers(const TextPointer &a, const TextPointer &b)
{
    QCOMPARE(a.passage, b.passage);
    QCOMPARE(a.passageIndex, b.passageIndex);
    QCOMPARE(a.word, b.word);
    QCOMPARE(a.wordIndex, b.wordIndex);
    QCOMPARE(a.glyph, b.glyph);
    QCOMPARE(a.glyphIndex, b.glyphIndex);
}

} // namespace

class TestObjectCommands : public QObject
{
    Q_OBJECT
private slots:
    void removeUndoRedoRoundTripsAMixedSelection();
    void removingAWholeWordTakesItsEmptiedGroups();
    void removingTheCaretGlyphResetsThePointer();
    void removingElsewhereKeepsTheWordIndex();
    void removeWithNothingToRemoveLeavesNoEntry();
    void arrangeGivesTheStackingValues();
    void bringForwardRaisesEachByOne();
    void moveMovesEveryGlyphOnce();
    void moveAndRotateSkipLockedObjects();
    void rotateTurnsEachGlyphOnce();
    void hidingDeselectsThroughTheScene();
    void visibilityIsTheObjectsOwn();
    void lockAndUnlock();
    void unlockUndoLocksOnlyWhatWasLocked();
    void randomObjectEditsUndoAndRedoExactly();
};

void TestObjectCommands::removeUndoRedoRoundTripsAMixedSelection()
{
    Doc d;
    TextGroup *p1 = d.add(QStringLiteral("ab cd ef"));
    TextGroup *p2 = d.add(QStringLiteral("gh ij"), QPointF(0, 300));
    TextGroup *ef = group(p1->child(4));
    ef->child(1)->setVisible(false);
    ef->child(0)->setRotation(12.5);
    // Glyphs, a blank, a word, a passage and a locked glyph.
    TextObject *locked = ef->child(0);
    d.select({group(p1->child(0))->child(1), p1->child(3), p1->child(2), p2, locked});
    locked->lock();
    const TreeDump before = d.dump();
    const Objects selectedBefore = d.selected();

    QVERIFY(d.scene.executeCommand(new CmdRemoveSelected(&d.scene)));
    QCOMPARE(d.scene.history().last()->text(), QStringLiteral("Remove Selection"));
    QCOMPARE(d.root->count(), 1);
    QCOMPARE(p1->text(), QStringLiteral("a ef"));
    QCOMPARE(d.selected(), Objects{locked});
    VERIFY_SCENE(&d.scene);
    const TreeDump after = d.dump();

    d.scene.undo();
    VERIFY_SAME_TREE(d.dump(), before);
    QCOMPARE(d.selected(), selectedBefore);
    VERIFY_SCENE(&d.scene);

    // The restored objects are selected again, so redo removes them again.
    d.scene.redo();
    VERIFY_SAME_TREE(d.dump(), after);
    d.scene.undo();
    VERIFY_SAME_TREE(d.dump(), before);
    VERIFY_SCENE(&d.scene);
}

void TestObjectCommands::removingAWholeWordTakesItsEmptiedGroups()
{
    Doc d;
    TextGroup *p1 = d.add(QStringLiteral("ab"));
    TextGroup *p2 = d.add(QStringLiteral("cd"), QPointF(0, 300));
    TextGroup *ab = group(p1->child(0));
    const TreeDump before = d.dump();
    d.select({ab->child(0), ab->child(1)});
    QVERIFY(d.scene.executeCommand(new CmdRemoveSelected(&d.scene)));
    QCOMPARE(d.root->children(), Objects{p2});
    VERIFY_SCENE(&d.scene);
    d.scene.undo();
    QCOMPARE(d.root->children(), (Objects{p1, p2}));
    QCOMPARE(p1->children(), Objects{ab});
    d.scene.restoreSelection({});
    VERIFY_SAME_TREE(d.dump(), before);
}

void TestObjectCommands::removingTheCaretGlyphResetsThePointer()
{
    Doc d;
    TextGroup *p = d.add(QStringLiteral("ab cd"));
    TextGroup *ab = group(p->child(0));
    const TextPointer at = pointer(p, 0, ab, 0, ab->child(1), 1);
    d.scene.setTextPointer(at);
    d.scene.placeCaretAt(250.5f, 101.25f);
    d.select({ab->child(1)});
    QVERIFY(d.scene.executeCommand(new CmdRemoveSelected(&d.scene)));
    QCOMPARE(d.scene.caret()->pos(), QPointF(100, 100));
    comparePointers(d.scene.textPointer(), pointer(nullptr, 0, nullptr, -1, nullptr, -1));
    d.scene.undo();
    QCOMPARE(d.scene.caret()->pos(), QPointF(250.5, 101.25));
    comparePointers(d.scene.textPointer(), at);
}

void TestObjectCommands::removingElsewhereKeepsTheWordIndex()
{
    Doc d;
    TextGroup *p = d.add(QStringLiteral("ab cd"));
    TextGroup *ab = group(p->child(0));
    TextObject *space = p->child(1);
    TextGroup *cd = group(p->child(2));
    // The caret at the start of cd, just after the space.
    d.scene.setTextPointer(pointer(p, 0, cd, 2, space, -1));
    d.scene.placeCaretAt(300, 100);
    d.select({ab->child(0), ab->child(1)});
    QVERIFY(d.scene.executeCommand(new CmdRemoveSelected(&d.scene)));
    // cd now stands at 1 in the passage; the space's index 0 must not
    // replace the word's.
    comparePointers(d.scene.textPointer(), pointer(p, 0, cd, 1, space, -1));
    QCOMPARE(d.scene.caret()->pos(), QPointF(300, 100));

    // Between words, the blank's place stands in for the word index.
    d.scene.undo();
    TextObject *c = cd->child(0);
    d.scene.setTextPointer(pointer(p, 0, nullptr, 1, space, -1));
    d.select({c});
    QVERIFY(d.scene.executeCommand(new CmdRemoveSelected(&d.scene)));
    comparePointers(d.scene.textPointer(), pointer(p, 0, nullptr, 1, space, -1));
    d.scene.undo();
    // A glyph with an outline: its index in its word is recomputed.
    d.scene.setTextPointer(pointer(p, 0, cd, 2, cd->child(1), 1));
    d.select({c});
    QVERIFY(d.scene.executeCommand(new CmdRemoveSelected(&d.scene)));
    comparePointers(d.scene.textPointer(), pointer(p, 0, cd, 2, cd->child(0), 0));
}

void TestObjectCommands::removeWithNothingToRemoveLeavesNoEntry()
{
    Doc d;
    TextGroup *p = d.add(QStringLiteral("ab"));
    QVERIFY(!d.scene.executeCommand(new CmdRemoveSelected(&d.scene)));
    d.select({p});
    group(p->child(0))->child(0)->lock();
    QVERIFY(!d.scene.executeCommand(new CmdRemoveSelected(&d.scene)));
    QCOMPARE(d.entries(), 0);
    QCOMPARE(p->text(), QStringLiteral("ab"));
}

void TestObjectCommands::arrangeGivesTheStackingValues()
{
    Doc d;
    TextGroup *a = d.add(QStringLiteral("a"));
    TextGroup *b = d.add(QStringLiteral("b"));
    TextGroup *c = d.add(QStringLiteral("c"));
    b->setZValue(2.7);
    c->setZValue(-1.5);
    // No selection: nothing to arrange.
    QVERIFY(!d.scene.executeCommand(new CmdArrange(&d.scene, a, 3)));
    d.select({a});
    // Truncation toward zero: -1.5 counts as -1, 2.7 as 2.
    QVERIFY(d.scene.executeCommand(new CmdArrange(&d.scene, a, 3)));
    QCOMPARE(d.scene.history().last()->text(), QStringLiteral("Send to Back"));
    QCOMPARE(a->zValue(), -2.0);
    d.scene.undo();
    QCOMPARE(a->zValue(), 0.0);
    QVERIFY(d.scene.executeCommand(new CmdArrange(&d.scene, a, 0)));
    QCOMPARE(d.scene.history().last()->text(), QStringLiteral("Bring to Front"));
    QCOMPARE(a->zValue(), 3.0);
    d.scene.undo();
    QCOMPARE(a->zValue(), 0.0);
    QVERIFY(d.scene.executeCommand(new CmdArrange(&d.scene, a, 7)));
    QCOMPARE(d.scene.history().last()->text(), QStringLiteral("Arrange"));
    QCOMPARE(a->zValue(), 0.0);
}

void TestObjectCommands::bringForwardRaisesEachByOne()
{
    Doc d;
    TextGroup *p = d.add(QStringLiteral("ab cd ef"));
    const Objects words{p->child(0), p->child(2), p->child(4)};
    const double z[] = {0.5, -1.25, 3.0};
    for (int i = 0; i < 3; ++i)
        words.at(i)->setZValue(z[i]);
    d.select(words);
    auto *combo = new CmdCombo(&d.scene, QString());
    for (TextObject *w : words)
        combo->add(new CmdArrange(&d.scene, w, 1), true);
    QVERIFY(d.scene.executeCommand(combo));
    QCOMPARE(d.scene.history().last()->text(), QStringLiteral("Bring Forward"));
    QCOMPARE(words.at(0)->zValue(), 1.5);
    QCOMPARE(words.at(1)->zValue(), -0.25);
    QCOMPARE(words.at(2)->zValue(), 4.0);
    d.scene.undo();
    for (int i = 0; i < 3; ++i)
        QCOMPARE(words.at(i)->zValue(), z[i]);
}

void TestObjectCommands::moveMovesEveryGlyphOnce()
{
    Doc d;
    TextGroup *p = d.add(QStringLiteral("ab cd"));
    TextGroup *ab = group(p->child(0));
    TextGroup *cd = group(p->child(2));
    const QList<QPointF> abAt = positionsIn(ab);
    const QList<QPointF> cdAt = positionsIn(cd);
    const QPointF spaceAt = p->child(1)->pos();
    const TreeDump before = d.dump();
    // A word and a glyph outside it; the word's first glyph is also
    // selected on the item alone, a nested selection the walk must not
    // count twice.
    d.select({ab, cd->child(1)});
    ab->child(0)->setSelected(true);
    QVERIFY(d.scene.executeCommand(new CmdMoveSelected(&d.scene, 10.5f, -4.25f)));
    QCOMPARE(d.scene.history().last()->text(), QStringLiteral("Move Selection"));
    QCOMPARE(positionsIn(ab), shifted(abAt, 10.5, -4.25));
    QCOMPARE(cd->child(0)->pos(), cdAt.at(0));
    QCOMPARE(cd->child(1)->pos(), cdAt.at(1) + QPointF(10.5, -4.25));
    QCOMPARE(p->child(1)->pos(), spaceAt);
    QCOMPARE(ab->pos(), QPointF());
    ab->child(0)->setSelected(false);
    d.scene.undo();
    d.scene.restoreSelection({});
    VERIFY_SAME_TREE(d.dump(), before);
    // The QPointF form and a zero offset.
    d.select({cd});
    QVERIFY(!d.scene.executeCommand(new CmdMoveSelected(&d.scene, QPointF(0, 0))));
    QVERIFY(d.scene.executeCommand(new CmdMoveSelected(&d.scene, QPointF(-2, 3))));
    QCOMPARE(positionsIn(cd), shifted(cdAt, -2, 3));
}

void TestObjectCommands::moveAndRotateSkipLockedObjects()
{
    Doc d;
    TextGroup *p = d.add(QStringLiteral("ab cd"));
    TextGroup *ab = group(p->child(0));
    ab->child(1)->lock();
    d.select({ab});
    const TreeDump before = d.dump();
    QVERIFY(!d.scene.executeCommand(new CmdMoveSelected(&d.scene, 5, 5)));
    QVERIFY(!d.scene.executeCommand(new CmdRotateSelected(&d.scene, 30, QPointF(0, 0))));
    QVERIFY(!d.scene.executeCommand(new CmdRemoveSelected(&d.scene)));
    VERIFY_SAME_TREE(d.dump(), before);
    QCOMPARE(d.entries(), 0);
}

void TestObjectCommands::rotateTurnsEachGlyphOnce()
{
    Doc d;
    TextGroup *p = d.add(QStringLiteral("ab cd"));
    TextGroup *ab = group(p->child(0));
    TextGroup *cd = group(p->child(2));
    const QPointF pivot = ab->child(0)->scenePos();
    d.select({ab, cd->child(0)});
    ab->child(1)->setSelected(true);
    QVERIFY(!d.scene.executeCommand(new CmdRotateSelected(&d.scene, 0, pivot)));
    QVERIFY(d.scene.executeCommand(new CmdRotateSelected(&d.scene, 90, pivot)));
    QCOMPARE(d.scene.history().last()->text(), QStringLiteral("Rotate Selection"));
    for (TextObject *o : {ab->child(0), ab->child(1), cd->child(0)})
        QCOMPARE(o->rotation(), 90.0);
    QCOMPARE(cd->child(1)->rotation(), 0.0);
    // The glyph on the pivot stays put; b, one advance to the right, now
    // stands one advance below it (y grows downwards).
    const double advance = static_cast<Glyph *>(ab->child(0))->advanceWidth();
    QVERIFY(qAbs(ab->child(0)->scenePos().x() - pivot.x()) < 1e-9);
    QVERIFY(qAbs(ab->child(1)->scenePos().x() - pivot.x()) < 1e-3);
    QVERIFY(qAbs(ab->child(1)->scenePos().y() - (pivot.y() + advance)) < 1e-3);
    d.scene.undo();
    for (TextObject *o : {ab->child(0), ab->child(1), cd->child(0)})
        QCOMPARE(o->rotation(), 0.0);
}

void TestObjectCommands::hidingDeselectsThroughTheScene()
{
    Doc d;
    TextGroup *p = d.add(QStringLiteral("ab cd"));
    TextGroup *ab = group(p->child(0));
    TextObject *b = ab->child(1);
    d.select({p->child(2), b});
    QVERIFY(d.scene.executeCommand(new CmdSetVisible(&d.scene, ab, false)));
    QCOMPARE(d.scene.history().last()->text(), QStringLiteral("Hide"));
    QVERIFY(!b->isVisible());
    QCOMPARE(d.selected(), Objects{p->child(2)});
    VERIFY_SCENE(&d.scene);
    // Already hidden: no entry.
    QVERIFY(!d.scene.executeCommand(new CmdSetVisible(&d.scene, ab, false)));
    QCOMPARE(d.entries(), 1);
    d.scene.undo();
    QVERIFY(b->isVisible());
    QCOMPARE(d.selected(), (Objects{p->child(2), b}));
    VERIFY_SCENE(&d.scene);
    d.scene.redo();
    QCOMPARE(d.selected(), Objects{p->child(2)});
    VERIFY_SCENE(&d.scene);
}

void TestObjectCommands::visibilityIsTheObjectsOwn()
{
    Doc d;
    TextGroup *p = d.add(QStringLiteral("ab cd"));
    TextGroup *ab = group(p->child(0));
    TextObject *a = ab->child(0);
    const TreeDump before = d.dump();
    QVERIFY(d.scene.executeCommand(new CmdSetVisible(&d.scene, p, false)));
    // a is hidden with its passage but its own state is visible: hiding it
    // is a change, and showing it is not.
    QVERIFY(!d.scene.executeCommand(new CmdSetVisible(&d.scene, a, true)));
    QVERIFY(d.scene.executeCommand(new CmdSetVisible(&d.scene, a, false)));
    QVERIFY(d.scene.executeCommand(new CmdSetVisible(&d.scene, p, true)));
    QCOMPARE(d.scene.history().last()->text(), QStringLiteral("Show"));
    QVERIFY(!a->isVisible());
    QVERIFY(ab->child(1)->isVisible());
    d.scene.undo();
    d.scene.undo();
    QVERIFY(!a->isVisible());
    // Undo of the hide under a hidden parent restores a's own state.
    d.scene.undo();
    QVERIFY(a->isVisibleTo(ab));
    VERIFY_SAME_TREE(d.dump(), before);
}

void TestObjectCommands::lockAndUnlock()
{
    Doc d;
    TextGroup *p = d.add(QStringLiteral("ab cd"));
    TextGroup *ab = group(p->child(0));
    QVERIFY(!d.scene.executeCommand(new CmdSetLock(&d.scene, nullptr, true)));
    QVERIFY(!d.scene.executeCommand(new CmdSetLock(&d.scene, ab, false)));
    QVERIFY(d.scene.executeCommand(new CmdSetLock(&d.scene, ab, true)));
    QCOMPARE(d.scene.history().last()->text(), QStringLiteral("Lock"));
    QVERIFY(ab->child(0)->isLocked() && ab->child(1)->isLocked());
    QVERIFY(!d.scene.executeCommand(new CmdSetLock(&d.scene, ab->child(0), true)));
    QVERIFY(d.scene.executeCommand(new CmdSetLock(&d.scene, ab->child(0), false)));
    QCOMPARE(d.scene.history().last()->text(), QStringLiteral("Unlock"));
    QVERIFY(ab->isLocked());
    d.scene.undo();
    d.scene.undo();
    QVERIFY(!ab->child(0)->isLocked() && !ab->child(1)->isLocked());
    d.scene.redo();
    QVERIFY(ab->child(0)->isLocked() && ab->child(1)->isLocked());
    QVERIFY(!d.scene.executeCommand(new CmdSetVisible(&d.scene, nullptr, false)));
}

void TestObjectCommands::unlockUndoLocksOnlyWhatWasLocked()
{
    // A word with one locked glyph counts as locked; unlocking it and
    // undoing gives back the one locked glyph, not a fully locked word.
    Doc d;
    TextGroup *p = d.add(QStringLiteral("ab cd"));
    TextGroup *ab = group(p->child(0));
    QVERIFY(d.scene.executeCommand(new CmdSetLock(&d.scene, ab->child(0), true)));
    QVERIFY(ab->isLocked());
    QVERIFY(d.scene.executeCommand(new CmdSetLock(&d.scene, ab, false)));
    QVERIFY(!ab->child(0)->isLocked() && !ab->child(1)->isLocked());
    d.scene.undo();
    QVERIFY(ab->child(0)->isLocked());
    QVERIFY(!ab->child(1)->isLocked());
    d.scene.redo();
    QVERIFY(!ab->child(0)->isLocked() && !ab->child(1)->isLocked());
    d.scene.undo();
    d.scene.undo();
    QVERIFY(!ab->isLocked());
}

void TestObjectCommands::randomObjectEditsUndoAndRedoExactly()
{
    // Seeded runs of selection, arrange, move, remove, lock and visibility
    // commands on two passages: undoing all of them gives back the first
    // tree (selection, lock, visibility and z included) and the text
    // position, redoing all of them the last tree.
    for (quint32 seed = 1; seed <= 60; ++seed) {
        Doc d;
        d.add(QStringLiteral("ab cd\ref ab"));
        d.add(QStringLiteral("cd x"), QPointF(100, 400));
        QRandomGenerator rng(seed);
        const TreeDump first = d.dump();
        const TextPointer pointerFirst = d.scene.textPointer();
        for (int step = 0; step < 30; ++step) {
            Objects all;
            TextIterator it(d.root, TextIterator::Forward | TextIterator::PostOrder);
            while (it.hasNext()) {
                TextObject *o = it.next();
                if (o != d.root)
                    all << o;
            }
            if (all.isEmpty())
                break;
            TextObject *o = all.at(rng.bounded(all.size()));
            const int mode = 1 + rng.bounded(4);
            switch (rng.bounded(8)) {
            case 0:
                d.scene.executeCommand(new CmdSelectTextObject(&d.scene, o, mode));
                break;
            case 1:
                d.scene.executeCommand(new CmdSelectAll(&d.scene, mode, rng.bounded(5)));
                break;
            case 2:
                d.scene.executeCommand(new CmdArrange(&d.scene, o, rng.bounded(4)));
                break;
            case 3:
                d.scene.executeCommand(new CmdMoveSelected(&d.scene, 3.5f, -2.25f));
                break;
            case 4:
                d.scene.executeCommand(new CmdRemoveSelected(&d.scene));
                break;
            case 5:
                d.scene.executeCommand(new CmdSetLock(&d.scene, o, rng.bounded(2) == 1));
                break;
            case 6:
                d.scene.executeCommand(new CmdSetVisible(&d.scene, o, rng.bounded(2) == 1));
                break;
            default:
                d.scene.executeCommand(new CmdSelectTextObject(&d.scene, o, 2));
                break;
            }
        }
        const TreeDump last = d.dump();
        while (d.scene.historyIndex() > 0)
            d.scene.undo();
        VERIFY_SAME_TREE(d.dump(), first);
        comparePointers(d.scene.textPointer(), pointerFirst);
        while (d.scene.historyIndex() < d.scene.history().size())
            d.scene.redo();
        VERIFY_SAME_TREE(d.dump(), last);
    }
}

QTEST_MAIN(TestObjectCommands)
#include "tst_objectcommands.moc"
