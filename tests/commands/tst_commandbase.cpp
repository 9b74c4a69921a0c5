#include "commands/CmdCombo.h"
#include "commands/CmdEditing.h"
#include "commands/CmdMoveCaret.h"
#include "commands/CmdSelect.h"
#include "model/Caret.h"
#include "model/Glyph.h"
#include "model/QVorrelScene.h"
#include "model/TextGroup.h"
#include "model/TextIterator.h"
#include "support/ProbeCmd.h"
#include "support/TreeBuilder.h"
#include "support/TreeCheck.h"

#include <QRandomGenerator>
#include <QSignalSpy>
#include <QtTest>

namespace {

// Logs its runs; answers execute from a queue of change flags (changing
// by default).
class LogCmd : public Cmd
{
public:
    LogCmd(QStringList *log, const QString &name, QList<bool> changes = {})
        : Cmd(nullptr, name), log(log), changes(std::move(changes))
    {
    }
    CmdResult execute() override
    {
        *log << "do " + text();
        const bool changed = changes.isEmpty() ? true : changes.takeFirst();
        return CmdResult(changed, false);
    }
    CmdResult undo() override
    {
        *log << "undo " + text();
        return CmdResult(true, true);
    }
    QStringList *log;
    QList<bool> changes;
};

// Selects exactly the given objects, in order, as a selection command.
class SelectOnlyCmd : public CmdSelect
{
public:
    SelectOnlyCmd(QVorrelScene *scene, QList<TextObject *> targets)
        : CmdSelect(scene, 1, QStringLiteral("Select")), targets(std::move(targets))
    {
    }
    CmdResult execute() override
    {
        snapshot();
        const QList<TextObject *> before = scene()->selectedObjects();
        for (TextObject *o : before)
            scene()->setSelected(o, false, false);
        for (TextObject *o : qAsConst(targets))
            scene()->setSelected(o, true, false);
        const bool changed = scene()->selectedObjects() != before;
        return CmdResult(changed, changed);
    }
    QList<TextObject *> targets;
};

// Puts the caret at a place in the text.
class PlaceCaretCmd : public CmdMoveCaret
{
public:
    PlaceCaretCmd(QVorrelScene *scene, const TextPointer &to, const QPointF &at)
        : CmdMoveCaret(scene, QStringLiteral("Move Caret")), to(to), at(at)
    {
    }
    CmdResult execute() override
    {
        saveCaret();
        scene()->setTextPointer(to);
        scene()->placeCaretAt(float(at.x()), float(at.y()));
        return CmdResult(true, true);
    }
    TextPointer to;
    QPointF at;
};

struct Shift : CmdEditing
{
    using CmdEditing::shiftGlyphs;
};

bool samePointer(const TextPointer &a, const TextPointer &b)
{
    return a.passage == b.passage && a.passageIndex == b.passageIndex && a.word == b.word
           && a.wordIndex == b.wordIndex && a.glyph == b.glyph && a.glyphIndex == b.glyphIndex;
}

QList<QPointF> positions(TextGroup *root)
{
    QList<QPointF> out;
    for (Glyph *g = root->firstGlyph(); g; g = g->nextGlyph())
        out << g->pos();
    return out;
}

} // namespace

class TestCommandBase : public QObject
{
    Q_OBJECT
private slots:
    void init() { ProbeCmd::destroyed.clear(); }
    void mergingIsRefusedByDefault();
    void resultKeepsBothFlags();
    void comboRunsInOrderAndUndoesChangesInReverse();
    void comboWithoutChangesIsDiscardedWhole();
    void comboRedoReplacesItsResults();
    void comboMergeRules();
    void comboMergeKeepsTheAbsorbedChanges();
    void comboTextAndAccess();
    void comboIgnoresANullCommand();
    void selectUndoRestoresTheExactSelection();
    void randomSelectCommandsKeepTheListInStep();
    void moveCaretUndoRestoresPlaceAndPosition();
    void shiftGlyphsMovesTheRestOfTheLine();
    void shiftGlyphsMovesTheRestOfThePassage();
};

void TestCommandBase::mergingIsRefusedByDefault()
{
    int counter = 0;
    ProbeCmd first(nullptr, &counter, 1);
    ProbeCmd second(nullptr, &counter, 1);
    QVERIFY(!first.canMerge(&second));
    QVERIFY(!first.merge(&second));
    // A refused merge leaves both commands as they were.
    QCOMPARE(first.delta + second.delta, 2);
    QCOMPARE(first.executed + first.undone + second.executed + second.undone, 0);
    QCOMPARE(first.text(), QStringLiteral("Probe"));
    QVERIFY(!first.scene());
}

void TestCommandBase::resultKeepsBothFlags()
{
    const CmdResult styleOnly(true, false);
    CmdResult r(false, true);
    QVERIFY(!r.documentChanged());
    QVERIFY(r.selectionChanged());
    r = styleOnly;
    QVERIFY(r.documentChanged());
    QVERIFY(!r.selectionChanged());
}

void TestCommandBase::comboRunsInOrderAndUndoesChangesInReverse()
{
    QStringList log;
    CmdCombo combo(nullptr, QStringLiteral("Insert String"));
    combo.add(new LogCmd(&log, "a"), false);
    combo.add(new LogCmd(&log, "b", {false}), false);
    combo.add(new LogCmd(&log, "c"), false);
    const CmdResult done = combo.execute();
    QVERIFY(done.documentChanged() && !done.selectionChanged());
    const CmdResult undone = combo.undo();
    QVERIFY(undone.documentChanged() && undone.selectionChanged());
    QCOMPARE(log, (QStringList{"do a", "do b", "do c", "undo c", "undo a"}));
}

void TestCommandBase::comboWithoutChangesIsDiscardedWhole()
{
    QVorrelScene scene(0, 0, 10, 10);
    QSignalSpy changed(&scene, &QVorrelScene::documentChanged);
    int counter = 0;
    auto *combo = new CmdCombo(&scene, QStringLiteral("Unknown Combo Command"));
    auto *a = new ProbeCmd(&scene, &counter, 0);
    auto *b = new ProbeCmd(&scene, &counter, 0);
    const QList<int> ids{a->id, b->id};
    combo->add(a, false);
    combo->add(b, true);
    QVERIFY(!scene.executeCommand(combo));
    QCOMPARE(ProbeCmd::destroyed, ids);
    QVERIFY(scene.history().isEmpty());
    QCOMPARE(changed.count(), 0);
    CmdCombo empty(&scene, QStringLiteral("Unknown Combo Command"));
    QVERIFY(!empty.execute().documentChanged());
    QVERIFY(!empty.undo().documentChanged());
}

void TestCommandBase::comboRedoReplacesItsResults()
{
    QStringList log;
    CmdCombo combo(nullptr, QStringLiteral("Unknown Combo Command"));
    combo.add(new LogCmd(&log, "a", {true, false}), false);
    combo.add(new LogCmd(&log, "b", {false, true}), false);
    combo.execute();
    combo.undo();
    combo.execute();
    log.clear();
    combo.undo();
    QCOMPARE(log, QStringList{"undo b"});
}

void TestCommandBase::comboMergeRules()
{
    int counter = 0;
    auto combo = [&counter](QList<bool> merging) {
        auto *c = new CmdCombo(nullptr, QStringLiteral("Unknown Combo Command"));
        for (bool m : merging)
            c->add(m ? new MergingProbeCmd(nullptr, &counter, 1) : new ProbeCmd(nullptr, &counter, 1), false);
        return QSharedPointer<CmdCombo>(c);
    };
    QVERIFY(combo({})->merge(combo({}).data()));
    QVERIFY(combo({true, true})->canMerge(combo({true, true}).data()));
    QVERIFY(!combo({true})->canMerge(combo({true, true}).data()));
    QVERIFY(!combo({true, false})->canMerge(combo({true, false}).data()));
    QVERIFY(!combo({true, true})->merge(combo({true, false}).data()));
    int other = 0;
    ProbeCmd plain(nullptr, &other, 1);
    QVERIFY(!combo({})->canMerge(&plain));

    auto into = combo({true, true});
    auto next = combo({true, true});
    qobject_cast<MergingProbeCmd *>(next->command(1))->delta = 5;
    QVERIFY(into->merge(next.data()));
    QCOMPARE(static_cast<ProbeCmd *>(into->command(1))->delta, 6);
    QCOMPARE(static_cast<ProbeCmd *>(next->command(1))->delta, 5);
}

void TestCommandBase::comboMergeKeepsTheAbsorbedChanges()
{
    QVorrelScene scene(0, 0, 10, 10);
    int counter = 0;
    // The first composite's first step changes nothing; the second's does.
    auto *first = new CmdCombo(&scene, QStringLiteral("Unknown Combo Command"));
    first->add(new MergingProbeCmd(&scene, &counter, 0), false);
    first->add(new MergingProbeCmd(&scene, &counter, 5), false);
    auto *second = new CmdCombo(&scene, QStringLiteral("Unknown Combo Command"));
    second->add(new MergingProbeCmd(&scene, &counter, 3), false);
    second->add(new MergingProbeCmd(&scene, &counter, 1), false);
    QSignalSpy changed(&scene, &QVorrelScene::documentChanged);
    scene.executeCommand(first);
    scene.executeCommand(second);
    QCOMPARE(scene.history().size(), 1);
    QCOMPARE(changed.count(), 2);
    QCOMPARE(counter, 9);
    scene.undo();
    QCOMPARE(counter, 0);
    scene.redo();
    QCOMPARE(counter, 9);
}

void TestCommandBase::comboTextAndAccess()
{
    QStringList log;
    CmdCombo combo(nullptr, QStringLiteral("Unknown Combo Command"));
    auto *deselect = new LogCmd(&log, "Select None");
    auto *insert = new LogCmd(&log, "Insert Glyph");
    combo.add(deselect, false);
    QCOMPARE(combo.text(), QStringLiteral("Unknown Combo Command"));
    combo.add(insert, true);
    QCOMPARE(combo.text(), QStringLiteral("Insert Glyph"));
    QCOMPARE(combo.count(), 2);
    QCOMPARE(combo.command(0), deselect);
    QCOMPARE(combo.command(1), insert);
    QVERIFY(!combo.command(-1));
    QVERIFY(!combo.command(2));
    // Added commands run only when the composite does.
    QVERIFY(log.isEmpty());
}

void TestCommandBase::comboIgnoresANullCommand()
{
    QStringList log;
    CmdCombo combo(nullptr, QStringLiteral("Insert String"));
    combo.add(nullptr, true);
    combo.add(nullptr, false);
    QCOMPARE(combo.count(), 0);
    QCOMPARE(combo.text(), QStringLiteral("Insert String"));
    combo.add(new LogCmd(&log, "Insert Glyph"), false);
    const CmdResult r = combo.execute();
    QVERIFY(r.documentChanged());
    QVERIFY(combo.undo().documentChanged());
    QCOMPARE(log, QStringList({"do Insert Glyph", "undo Insert Glyph"}));
}

void TestCommandBase::selectUndoRestoresTheExactSelection()
{
    QVorrelScene scene(-1000, -1000, 2000, 2000);
    TextGroup *p = TreeBuilder::passage(QStringLiteral("abc de"));
    scene.root()->append(p);
    TextGroup *w = qobject_cast<TextGroup *>(p->child(0));
    // Selected out of document order: c, then a.
    scene.setSelected(w->child(2), true, false);
    scene.setSelected(w->child(0), true, false);
    const QList<TextObject *> before = scene.selectedObjects();
    QVERIFY(scene.executeCommand(new SelectOnlyCmd(&scene, {p->child(2), w->child(1)})));
    QCOMPARE(scene.selectedObjects(), (QList<TextObject *>{p->child(2), w->child(1)}));
    scene.undo();
    QCOMPARE(scene.selectedObjects(), before);
    VERIFY_SCENE(&scene);
    scene.redo();
    QCOMPARE(scene.selectedObjects(), (QList<TextObject *>{p->child(2), w->child(1)}));
    // A selection equal to the current one changes nothing.
    QVERIFY(!scene.executeCommand(new SelectOnlyCmd(&scene, {p->child(2), w->child(1)})));
    QCOMPARE(scene.history().size(), 1);
}

void TestCommandBase::randomSelectCommandsKeepTheListInStep()
{
    QVorrelScene scene(-1000, -1000, 2000, 2000);
    scene.root()->append(TreeBuilder::passage(QStringLiteral("ab cd")));
    scene.root()->append(TreeBuilder::passage(QStringLiteral("efg")));
    QList<TextObject *> all;
    TextIterator it(scene.root(), 5);
    while (it.hasNext())
        all << it.next();
    all.removeLast();
    QRandomGenerator rng(11);
    QList<QList<TextObject *>> states{scene.selectedObjects()};
    for (int step = 0; step < 200; ++step) {
        if (rng.bounded(3) == 0 && scene.canUndo()) {
            scene.undo();
            states.removeLast();
            QCOMPARE(scene.selectedObjects(), states.last());
        } else {
            QList<TextObject *> targets;
            for (int n = rng.bounded(4); n > 0; --n)
                targets << all.at(rng.bounded(all.size()));
            if (scene.executeCommand(new SelectOnlyCmd(&scene, targets)))
                states << scene.selectedObjects();
        }
        const QString fault = TreeCheck::sceneFault(&scene);
        QVERIFY2(fault.isEmpty(), qPrintable(QStringLiteral("step %1: %2").arg(step).arg(fault)));
    }
}

void TestCommandBase::moveCaretUndoRestoresPlaceAndPosition()
{
    QVorrelScene scene(-1000, -1000, 2000, 2000);
    TextGroup *p = TreeBuilder::passage(QStringLiteral("ab"));
    scene.root()->append(p);
    TextPointer start;
    start.passage = p;
    start.passageIndex = 0;
    start.word = p->child(0);
    start.wordIndex = 0;
    start.glyph = p->firstGlyph();
    start.glyphIndex = 0;
    scene.setTextPointer(start);
    scene.placeCaretAt(12.25f, 30.5f);
    TextPointer end = start;
    end.glyph = p->lastGlyph();
    end.glyphIndex = 1;
    scene.executeCommand(new PlaceCaretCmd(&scene, end, QPointF(99.1, 40)));
    QVERIFY(samePointer(scene.textPointer(), end));
    QCOMPARE(scene.caret()->pos(), QPointF(double(99.1f), 40));
    scene.undo();
    QVERIFY(samePointer(scene.textPointer(), start));
    QCOMPARE(scene.caret()->pos(), QPointF(12.25, 30.5));
    scene.redo();
    QVERIFY(samePointer(scene.textPointer(), end));
}

void TestCommandBase::shiftGlyphsMovesTheRestOfTheLine()
{
    TextGroup root;
    const QString text = QStringLiteral("ab cd") + QChar(Glyph::LineBreak) + QStringLiteral("ef");
    TextGroup *p = TreeBuilder::passage(text);
    root.append(p);
    root.append(TreeBuilder::passage(QStringLiteral("x")));
    const QList<QPointF> before = positions(&root);
    Glyph *a = p->firstGlyph();
    Shift::shiftGlyphs(a, qobject_cast<TextGroup *>(p->child(0)), p, 10, 2, true);
    QList<QPointF> expected = before;
    for (int i = 1; i <= 5; ++i) // b, space, c, d and the line break
        expected[i] += QPointF(10, 2);
    QCOMPARE(positions(&root), expected);

    // From the start of a word when no glyph precedes the edit point.
    Shift::shiftGlyphs(nullptr, qobject_cast<TextGroup *>(p->child(2)), p, -1, 0, true);
    for (int i = 3; i <= 5; ++i)
        expected[i] += QPointF(-1, 0);
    QCOMPARE(positions(&root), expected);

    // Nothing to start from, or a passage the glyphs are not in: nothing.
    Shift::shiftGlyphs(nullptr, nullptr, nullptr, 5, 5, true);
    Shift::shiftGlyphs(a, nullptr, qobject_cast<TextGroup *>(root.child(1)), 5, 5, false);
    QCOMPARE(positions(&root), expected);
}

void TestCommandBase::shiftGlyphsMovesTheRestOfThePassage()
{
    TextGroup root;
    const QString text = QStringLiteral("ab c") + QChar(Glyph::LineBreak) + QStringLiteral("d e")
                         + QChar(Glyph::LineBreak) + QStringLiteral("f");
    TextGroup *p = TreeBuilder::passage(text);
    root.append(p);
    root.append(TreeBuilder::passage(QStringLiteral("xy")));
    const QList<QPointF> before = positions(&root);
    Shift::shiftGlyphs(p->firstGlyph(), qobject_cast<TextGroup *>(p->child(0)), p, 7, 3, false);
    QList<QPointF> expected = before;
    // b, space, c and the first line break move by (7, 3); the later lines
    // only down; the next passage stays.
    for (int i = 1; i <= 4; ++i)
        expected[i] += QPointF(7, 3);
    for (int i = 5; i <= 9; ++i)
        expected[i] += QPointF(0, 3);
    QCOMPARE(positions(&root), expected);
}

QTEST_MAIN(TestCommandBase)
#include "tst_commandbase.moc"
