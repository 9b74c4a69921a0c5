#include "commands/CmdAddSoftType.h"
#include "commands/CmdArrange.h"
#include "commands/CmdCombo.h"
#include "commands/CmdConvertSelected.h"
#include "commands/CmdEditSoftType.h"
#include "commands/CmdMoveSelected.h"
#include "commands/CmdRemoveSelected.h"
#include "commands/CmdRemoveSoftType.h"
#include "commands/CmdResetSelected.h"
#include "commands/CmdResetSelectedDeform.h"
#include "commands/CmdRotateSelected.h"
#include "commands/CmdSelect.h"
#include "commands/CmdSelectAll.h"
#include "commands/CmdSelectPoint.h"
#include "commands/CmdSelectRect.h"
#include "commands/CmdSelectSame.h"
#include "commands/CmdSelectTextObject.h"
#include "commands/CmdSetCanvas.h"
#include "commands/CmdSetLock.h"
#include "commands/CmdSetSceneFillColor.h"
#include "commands/CmdSetSceneFont.h"
#include "commands/CmdSetSceneFontSize.h"
#include "commands/CmdSetSceneStrokeColor.h"
#include "commands/CmdSetSceneStrokeWidth.h"
#include "commands/CmdSetSelectedAsOriginal.h"
#include "commands/CmdSetSelectedFillColor.h"
#include "commands/CmdSetSelectedFont.h"
#include "commands/CmdSetSelectedFontSize.h"
#include "commands/CmdSetSelectedStrokeColor.h"
#include "commands/CmdSetSelectedStrokeWidth.h"
#include "commands/CmdSetVisible.h"
#include "commands/CmdSimulate.h"
#include "model/Caret.h"
#include "model/Glyph.h"
#include "model/GlyphIterator.h"
#include "model/GlyphPath.h"
#include "model/QVorrelScene.h"
#include "model/TextGroup.h"
#include "model/TextIterator.h"
#include "propertybrowser/QtVariantProperty.h"
#include "softtypes/SoftTypeOriginateAsymptotic.h"
#include "softtypes/SoftTypePull.h"
#include "softtypes/SoftTypeRubber.h"
#include "softtypes/SoftTypeTwirl.h"
#include "support/ProbeCmd.h"
#include "support/TestDocument.h"
#include "support/TestSoftType.h"
#include "support/TreeBuilder.h"
#include "support/TreeCheck.h"
#include "support/TreeDump.h"

#include <QRandomGenerator>
#include <QSignalSpy>
#include <QtTest>

namespace {

using Doc = TestDocument;
using Objects = QList<TextObject *>;

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
        return CmdResult(changes.isEmpty() || changes.takeFirst(), false);
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
    SelectOnlyCmd(QVorrelScene *scene, Objects targets)
        : CmdSelect(scene, 1, QStringLiteral("Select")), targets(std::move(targets))
    {
    }
    CmdResult execute() override
    {
        snapshot();
        const Objects before = scene()->selectedObjects();
        for (TextObject *o : before)
            scene()->setSelected(o, false, false);
        for (TextObject *o : qAsConst(targets))
            scene()->setSelected(o, true, false);
        const bool changed = scene()->selectedObjects() != before;
        return CmdResult(changed, changed);
    }
    Objects targets;
};

QList<Glyph *> glyphsOf(TextObject *root)
{
    QList<Glyph *> glyphs;
    GlyphIterator it(root, TextIterator::Forward | TextIterator::PostOrder);
    while (it.hasNext())
        glyphs << it.next();
    return glyphs;
}

QList<QPointF> positionsIn(TextObject *o)
{
    QList<QPointF> positions;
    for (Glyph *g : glyphsOf(o))
        positions << g->pos();
    return positions;
}

QList<QPointF> shifted(QList<QPointF> positions, const QPointF &by)
{
    for (QPointF &p : positions)
        p += by;
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

QString pointerText(const TextPointer &p)
{
    return QStringLiteral("%1/%2 %3/%4 %5/%6").arg(quintptr(p.passage)).arg(p.passageIndex).arg(quintptr(p.word))
        .arg(p.wordIndex).arg(quintptr(p.glyph)).arg(p.glyphIndex);
}

// The value commands by name: "selected fill" and so on, and "scene ...".
Cmd *valueCommand(QVorrelScene *s, const QString &kind, const QVariant &v)
{
    const QString what = kind.section(' ', 1);
    if (kind.startsWith(QLatin1String("scene")))
        return what == "fill" ? static_cast<Cmd *>(new CmdSetSceneFillColor(s, v.value<QColor>()))
             : what == "stroke" ? new CmdSetSceneStrokeColor(s, v.value<QColor>())
             : what == "width" ? new CmdSetSceneStrokeWidth(s, v.toFloat())
             : what == "font" ? static_cast<Cmd *>(new CmdSetSceneFont(s, v.value<QFont>()))
                              : new CmdSetSceneFontSize(s, v.toInt());
    return what == "fill" ? static_cast<Cmd *>(new CmdSetSelectedFillColor(s, v.value<QColor>()))
         : what == "stroke" ? new CmdSetSelectedStrokeColor(s, v.value<QColor>())
         : what == "width" ? new CmdSetSelectedStrokeWidth(s, v.toFloat())
         : what == "font" ? static_cast<Cmd *>(new CmdSetSelectedFont(s, v.value<QFont>()))
                          : new CmdSetSelectedFontSize(s, v.toInt());
}

QVariant valueOf(const Glyph *g, const QString &what)
{
    return what == "fill" ? QVariant(g->fillColor()) : what == "stroke" ? QVariant(g->strokeColor())
         : what == "width" ? QVariant(g->strokeWidth()) : what == "font" ? QVariant(g->font())
                           : QVariant(g->font().pointSize());
}

QVariant valueOf(const QVorrelScene &s, const QString &what)
{
    return what == "fill" ? QVariant(s.fillColor()) : what == "stroke" ? QVariant(s.strokeColor())
         : what == "width" ? QVariant(s.strokeWidth()) : what == "font" ? QVariant(s.textFont())
                           : QVariant(s.fontSize());
}

QString styleOf(const QVorrelScene &s)
{
    QString style;
    for (const char *what : {"fill", "stroke", "width", "font", "size"})
        style += valueOf(s, what).toString() + ';';
    return style;
}

const QFont dejavu(QStringLiteral("DejaVu Sans"), 40);

// A document of one passage, "ab cd".
struct AbCd : Doc
{
    TextGroup *p = add(QStringLiteral("ab cd"));
    TextGroup *ab = group(p->child(0));
    TextObject *space = p->child(1);
    TextGroup *cd = group(p->child(2));
};

} // namespace

namespace {

// A Pull that acts on every frame whatever the buttons.
SoftType *alwaysPull()
{
    SoftType *s = new SoftTypePull(QStringLiteral("pull-1"));
    s->property(QStringLiteral("trigger"))->setValue(0);
    return s;
}

// Moves every element of the current outline, as a play run would.
void deform(Glyph *g, double by)
{
    for (int i = 0; i < g->path()->current.elementCount(); ++i)
        g->moveElementBy(i, QPointF(by, -by / 2));
}

// A document of one passage, "abc de", with the mouse beside it.
struct Document : TestDocument
{
    TextGroup *passage = add(QStringLiteral("abc de"), QPointF(40, 100));
    QList<Glyph *> glyphs;

    Document()
    {
        for (Glyph *g = passage->firstGlyph(); g; g = g->nextGlyph())
            glyphs << g;
        scene.setMousePosition(QPointF(120, 60));
    }
    // A play run of n ticks as the view runs them.
    void play(int n, const std::function<void(int)> &during = {})
    {
        scene.setPlayState(true);
        for (int i = 0; i < n; ++i) {
            if (during)
                during(i);
            scene.setFrameCounter(scene.frameCounter() + 1);
            scene.stepSoftTypes();
        }
        scene.setPlayState(false);
    }
};

} // namespace

class TestCommands : public QObject
{
    Q_OBJECT
private slots:
    void init() { ProbeCmd::destroyed.clear(); }
    void comboRunsInOrderAndUndoesChangesInReverse();
    void comboMergeRules();
    void comboMergeKeepsTheAbsorbedChanges();
    void comboIgnoresANullCommand();
    void selectUndoRestoresTheExactSelection();
    void nothingToActOnLeavesNoEntry();
    void removeUndoRedoRoundTripsAMixedSelection();
    void removingElsewhereKeepsTheWordIndex();
    void arrange_data();
    void arrange();
    void moveMovesEveryGlyphOnce();
    void rotateTurnsEachGlyphOnce();
    void hidingDeselectsThroughTheScene();
    void visibilityIsTheObjectsOwn();
    void unlockUndoLocksOnlyWhatWasLocked();
    void doubleClicksClimbAndWrap();
    void doubleClickThatChangesNothingLeavesNoEntry();
    void rectangleSelectsTouchedGlyphsInsteadOfTheirWord();
    void selectSameAndAll();
    void selectTextObjectModes();
    void valueCommands_data();
    void valueCommands();
    void toolbarCompositesMergeEvenWhenTheFirstChangedNothing();
    void fontSizeUndoRestoresOutlinesAndPositionsExactly();
    void fontUndoRestoresTheDeformedOutline();
    void canvasCommand();
    void randomObjectEditsUndoAndRedoExactly();
    void playRunIsOneUndoStep();
    void glyphAddedDuringTheRunKeepsItsOutline();
    void lockedGlyphsAreNotRecordedHiddenOnesAre();
    void outlineCommandsUndoExactly();
    void addSoftTypeOwnership();
    void removeSoftTypeReturnsToItsPlace();
    void editSoftType();
};

void TestCommands::comboRunsInOrderAndUndoesChangesInReverse()
{
    QStringList log;
    CmdCombo combo(nullptr, QStringLiteral("Unknown Combo Command"));
    combo.add(new LogCmd(&log, "a"), false);
    combo.add(new LogCmd(&log, "b", {false, true}), true); // gives the composite its text
    combo.add(new LogCmd(&log, "c", {true, false}), false);
    QCOMPARE(combo.text(), QStringLiteral("b"));
    QVERIFY(log.isEmpty()); // added commands run only when the composite does
    const CmdResult done = combo.execute();
    QVERIFY(done.documentChanged() && !done.selectionChanged());
    QVERIFY(combo.undo().selectionChanged());
    // A redo replaces the results: now b changed and c did not.
    combo.execute();
    combo.undo();
    QCOMPARE(log, (QStringList{"do a", "do b", "do c", "undo c", "undo a", "do a", "do b", "do c", "undo b", "undo a"}));
    // A composite whose steps change nothing is discarded whole.
    QVorrelScene scene(0, 0, 10, 10);
    int counter = 0;
    auto *idle = new CmdCombo(&scene, QStringLiteral("Unknown Combo Command"));
    idle->add(new ProbeCmd(&scene, &counter, 0), false);
    idle->add(new ProbeCmd(&scene, &counter, 0), true);
    QVERIFY(!scene.executeCommand(idle));
    QCOMPARE(ProbeCmd::destroyed.size(), 2);
}

void TestCommands::comboMergeRules()
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
    ProbeCmd plain(nullptr, &counter, 1);
    QVERIFY(!combo({})->canMerge(&plain));

    auto into = combo({true, true});
    auto next = combo({true, true});
    qobject_cast<MergingProbeCmd *>(next->command(1))->delta = 5;
    QVERIFY(into->merge(next.data()));
    QCOMPARE(static_cast<ProbeCmd *>(into->command(1))->delta, 6);
    QCOMPARE(static_cast<ProbeCmd *>(next->command(1))->delta, 5);
}

void TestCommands::comboMergeKeepsTheAbsorbedChanges()
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

void TestCommands::comboIgnoresANullCommand()
{
    QStringList log;
    CmdCombo combo(nullptr, QStringLiteral("Insert String"));
    combo.add(nullptr, true);
    combo.add(nullptr, false);
    QCOMPARE(combo.count(), 0);
    QCOMPARE(combo.text(), QStringLiteral("Insert String"));
    combo.add(new LogCmd(&log, "Insert Glyph"), false);
    QVERIFY(combo.execute().documentChanged());
    QVERIFY(combo.undo().documentChanged());
    QCOMPARE(log, QStringList({"do Insert Glyph", "undo Insert Glyph"}));
}

void TestCommands::selectUndoRestoresTheExactSelection()
{
    // Seeded runs of selections in random order, nested ones included:
    // every undo gives back the selection list as it was, in its order.
    Doc d;
    d.add(QStringLiteral("ab cd"));
    d.add(QStringLiteral("efg"));
    TextIterator it(d.root, 5);
    Objects all;
    while (it.hasNext())
        all << it.next();
    all.removeLast();
    QRandomGenerator rng(11);
    QList<Objects> states{d.selected()};
    for (int step = 0; step < 200; ++step) {
        if (rng.bounded(3) == 0 && d.scene.canUndo()) {
            d.scene.undo();
            states.removeLast();
            QCOMPARE(d.selected(), states.last());
        } else {
            Objects targets;
            for (int n = rng.bounded(4); n > 0; --n)
                targets << all.at(rng.bounded(all.size()));
            // A selection equal to the current one changes nothing.
            const bool changed = d.scene.executeCommand(new SelectOnlyCmd(&d.scene, targets));
            QCOMPARE(changed, d.selected() != states.last());
            if (changed)
                states << d.selected();
        }
        const QString fault = TreeCheck::sceneFault(&d.scene);
        QVERIFY2(fault.isEmpty(), qPrintable(QStringLiteral("step %1: %2").arg(step).arg(fault)));
    }
}

void TestCommands::nothingToActOnLeavesNoEntry()
{
    // Nothing selected, then only locked text selected (a word with a
    // locked glyph counts as locked): no command acts, none is recorded.
    AbCd d;
    TextGroup *p = d.p;
    auto commands = [&d] {
        QVorrelScene *s = &d.scene;
        return QList<Cmd *>{new CmdMoveSelected(s, 5, 5), new CmdRotateSelected(s, 30, QPointF()),
                            new CmdRemoveSelected(s), new CmdSetSelectedFillColor(s, Qt::red),
                            new CmdSetSelectedFont(s, dejavu), new CmdSetSelectedFontSize(s, 20),
                            new CmdSetSelectedStrokeWidth(s, 3), new CmdSetSelectedStrokeColor(s, Qt::red),
                            new CmdResetSelected(s), new CmdConvertSelected(s, CmdConvertSelected::ToCurves),
                            new CmdResetSelectedDeform(s), new CmdSetSelectedAsOriginal(s)};
    };
    for (Glyph *g : glyphsOf(p))
        g->moveElementBy(0, QPointF(1, 1));
    const TreeDump before = d.dump();
    for (int round = 0; round < 2; ++round) {
        if (round == 1) {
            group(p->child(2))->child(1)->lock();
            d.select({p->child(0)->firstGlyph(), p->child(2)});
            p->child(0)->firstGlyph()->lock();
        }
        QList<Cmd *> all = commands();
        if (round == 0) // arranging needs a selection, of any object
            all << new CmdArrange(&d.scene, p, 0);
        for (Cmd *c : all)
            QVERIFY2(!d.scene.executeCommand(c), qPrintable(QStringLiteral("%1 %2").arg(round).arg(all.indexOf(c))));
    }
    // Values equal to the present ones change nothing either.
    p->unlock();
    d.select({p});
    for (Cmd *c : QList<Cmd *>{new CmdSetSelectedFillColor(&d.scene, Qt::black), new CmdSetSelectedFontSize(&d.scene, 72),
                               new CmdSetSelectedFont(&d.scene, arial), new CmdMoveSelected(&d.scene, 0, 0),
                               new CmdRotateSelected(&d.scene, 0, QPointF()),
                               new CmdSetSceneFillColor(&d.scene, d.scene.fillColor())})
        QVERIFY(!d.scene.executeCommand(c));
    QCOMPARE(d.entries(), 0);
    d.select({});
    VERIFY_SAME_TREE(d.dump(), before);
}

void TestCommands::removeUndoRedoRoundTripsAMixedSelection()
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
    QCOMPARE(d.lastText(), QStringLiteral("Remove Selection"));
    QCOMPARE(d.root->children(), Objects{p1});
    QCOMPARE(p1->text(), QStringLiteral("a ef"));
    QCOMPARE(d.selected(), Objects{locked});
    VERIFY_SCENE(&d.scene);
    const TreeDump after = d.dump();
    // The restored objects are selected again, so redo removes them again.
    for (int i = 0; i < 2; ++i) {
        d.scene.undo();
        VERIFY_SAME_TREE(d.dump(), before);
        QCOMPARE(d.selected(), selectedBefore);
        VERIFY_SCENE(&d.scene);
        d.scene.redo();
        VERIFY_SAME_TREE(d.dump(), after);
    }
}

void TestCommands::removingElsewhereKeepsTheWordIndex()
{
    AbCd d;
    TextGroup *p = d.p, *ab = d.ab, *cd = d.cd;
    TextObject *space = d.space, *c = cd->child(0);
    // The caret's position before and after removing the selection: at the
    // start of cd (the space's index must not replace the word's), between
    // words, behind a glyph whose index in its word changes, and behind a
    // removed glyph, which sends the caret to the press point, outside.
    const QList<QPair<TextPointer, Objects>> cases = {
        {pointer(p, 0, cd, 2, space, -1), {ab->child(0), ab->child(1)}},
        {pointer(p, 0, nullptr, 1, space, -1), {c}},
        {pointer(p, 0, cd, 2, cd->child(1), 1), {c}},
        {pointer(p, 0, ab, 0, ab->child(1), 1), {ab->child(1)}}};
    const QList<TextPointer> expected = {pointer(p, 0, cd, 1, space, -1), pointer(p, 0, nullptr, 1, space, -1),
                                         pointer(p, 0, cd, 2, cd->child(1), 0), pointer(nullptr, 0, nullptr, -1, nullptr, -1)};
    for (int i = 0; i < cases.size(); ++i) {
        d.scene.setTextPointer(cases.at(i).first);
        d.scene.placeCaretAt(250.5f, 101.25f);
        d.select(cases.at(i).second);
        QVERIFY(d.scene.executeCommand(new CmdRemoveSelected(&d.scene)));
        QCOMPARE(pointerText(d.scene.textPointer()), pointerText(expected.at(i)));
        QCOMPARE(d.scene.caret()->pos(), i == 3 ? QPointF(100, 100) : QPointF(250.5, 101.25));
        d.scene.undo();
        QCOMPARE(pointerText(d.scene.textPointer()), pointerText(cases.at(i).first));
        QCOMPARE(d.scene.caret()->pos(), QPointF(250.5, 101.25));
    }
}

void TestCommands::arrange_data()
{
    QTest::addColumn<bool>("words"); // the three words of a passage, or the passage
    QTest::addColumn<int>("mode");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QList<double>>("z");
    // The passage stands at 0 between passages at 2.7 and -1.5; its words
    // at 0.5, -1.25 and 3 beside blanks at 0. The ends go one past the
    // others, truncated toward zero.
    QTest::newRow("front") << false << 0 << "Bring to Front" << QList<double>{3};
    QTest::newRow("back") << false << 3 << "Send to Back" << QList<double>{-2};
    QTest::newRow("unknown") << false << 7 << "Arrange" << QList<double>{0};
    QTest::newRow("forward") << true << 1 << "Bring Forward" << QList<double>{1.5, -0.25, 4};
    QTest::newRow("backward") << true << 2 << "Send Backward" << QList<double>{-0.5, -2.25, 2};
}

void TestCommands::arrange()
{
    QFETCH(bool, words);
    QFETCH(int, mode);
    Doc d;
    TextGroup *p = d.add(QStringLiteral("ab cd ef"));
    d.add(QStringLiteral("x"))->setZValue(2.7);
    d.add(QStringLiteral("y"))->setZValue(-1.5);
    const Objects targets = words ? Objects{p->child(0), p->child(2), p->child(4)} : Objects{p};
    const QList<double> before = words ? QList<double>{0.5, -1.25, 3.0} : QList<double>{0};
    for (int i = 0; i < targets.size(); ++i)
        targets.at(i)->setZValue(before.at(i));
    d.select(targets);
    auto *combo = new CmdCombo(&d.scene, QString());
    for (TextObject *t : targets)
        combo->add(new CmdArrange(&d.scene, t, mode), true);
    QVERIFY(d.scene.executeCommand(combo));
    QTEST(combo->text(), "text");
    QList<double> z;
    for (TextObject *t : targets)
        z << t->zValue();
    QTEST(z, "z");
    d.scene.undo();
    for (int i = 0; i < targets.size(); ++i)
        QCOMPARE(targets.at(i)->zValue(), before.at(i));
}

void TestCommands::moveMovesEveryGlyphOnce()
{
    AbCd d;
    TextGroup *p = d.p, *ab = d.ab, *cd = d.cd;
    const QList<QPointF> at = positionsIn(p);
    const TreeDump before = d.dump();
    // A word and a glyph outside it; the word's first glyph is also
    // selected on the item alone, a nested selection the walk must not
    // count twice.
    d.select({ab, cd->child(1)});
    ab->child(0)->setSelected(true);
    QVERIFY(d.scene.executeCommand(new CmdMoveSelected(&d.scene, 10.5f, -4.25f)));
    QCOMPARE(d.lastText(), QStringLiteral("Move Selection"));
    const QPointF by(10.5, -4.25);
    QCOMPARE(positionsIn(p), (QList<QPointF>{at[0] + by, at[1] + by, at[2], at[3], at[4] + by}));
    QCOMPARE(ab->pos(), QPointF());
    ab->child(0)->setSelected(false);
    d.scene.undo();
    d.select({});
    VERIFY_SAME_TREE(d.dump(), before);
    d.select({cd});
    QVERIFY(d.scene.executeCommand(new CmdMoveSelected(&d.scene, QPointF(-2, 3))));
    QCOMPARE(positionsIn(cd), shifted(at.mid(3), QPointF(-2, 3)));
}

void TestCommands::rotateTurnsEachGlyphOnce()
{
    AbCd d;
    TextGroup *ab = d.ab, *cd = d.cd;
    const QPointF pivot = ab->child(0)->scenePos();
    d.select({ab, cd->child(0)});
    ab->child(1)->setSelected(true);
    QVERIFY(d.scene.executeCommand(new CmdRotateSelected(&d.scene, 90, pivot)));
    QCOMPARE(d.lastText(), QStringLiteral("Rotate Selection"));
    for (TextObject *o : {ab->child(0), ab->child(1), cd->child(0), cd->child(1)})
        QCOMPARE(o->rotation(), o == cd->child(1) ? 0.0 : 90.0);
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

void TestCommands::hidingDeselectsThroughTheScene()
{
    AbCd d;
    TextGroup *p = d.p, *ab = d.ab;
    TextObject *b = ab->child(1);
    d.select({p->child(2), b});
    QVERIFY(d.scene.executeCommand(new CmdSetVisible(&d.scene, ab, false)));
    QCOMPARE(d.lastText(), QStringLiteral("Hide"));
    QVERIFY(!b->isVisible());
    QCOMPARE(d.selected(), Objects{p->child(2)});
    VERIFY_SCENE(&d.scene);
    // Already hidden, or no object: no entry.
    QVERIFY(!d.scene.executeCommand(new CmdSetVisible(&d.scene, ab, false)));
    QVERIFY(!d.scene.executeCommand(new CmdSetVisible(&d.scene, nullptr, false)));
    QCOMPARE(d.entries(), 1);
    d.scene.undo();
    QVERIFY(b->isVisible());
    QCOMPARE(d.selected(), (Objects{p->child(2), b}));
    VERIFY_SCENE(&d.scene);
    d.scene.redo();
    QCOMPARE(d.selected(), Objects{p->child(2)});
    VERIFY_SCENE(&d.scene);
}

void TestCommands::visibilityIsTheObjectsOwn()
{
    AbCd d;
    TextGroup *p = d.p, *ab = d.ab;
    TextObject *a = ab->child(0);
    const TreeDump before = d.dump();
    QVERIFY(d.scene.executeCommand(new CmdSetVisible(&d.scene, p, false)));
    // a is hidden with its passage but its own state is visible: hiding it
    // is a change, and showing it is not.
    QVERIFY(!d.scene.executeCommand(new CmdSetVisible(&d.scene, a, true)));
    QVERIFY(d.scene.executeCommand(new CmdSetVisible(&d.scene, a, false)));
    QVERIFY(d.scene.executeCommand(new CmdSetVisible(&d.scene, p, true)));
    QCOMPARE(d.lastText(), QStringLiteral("Show"));
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

void TestCommands::unlockUndoLocksOnlyWhatWasLocked()
{
    // A word with one locked glyph counts as locked; unlocking it and
    // undoing gives back the one locked glyph, not a fully locked word.
    AbCd d;
    TextGroup *ab = d.ab;
    QVERIFY(!d.scene.executeCommand(new CmdSetLock(&d.scene, nullptr, true)));
    QVERIFY(!d.scene.executeCommand(new CmdSetLock(&d.scene, ab, false)));
    QVERIFY(d.scene.executeCommand(new CmdSetLock(&d.scene, ab->child(0), true)));
    QCOMPARE(d.lastText(), QStringLiteral("Lock"));
    QVERIFY(!d.scene.executeCommand(new CmdSetLock(&d.scene, ab->child(0), true)));
    QVERIFY(ab->isLocked());
    QVERIFY(d.scene.executeCommand(new CmdSetLock(&d.scene, ab, false)));
    QCOMPARE(d.lastText(), QStringLiteral("Unlock"));
    QVERIFY(!ab->child(0)->isLocked() && !ab->child(1)->isLocked());
    d.scene.undo();
    QVERIFY(ab->child(0)->isLocked());
    QVERIFY(!ab->child(1)->isLocked());
    d.scene.redo();
    QVERIFY(!ab->child(0)->isLocked() && !ab->child(1)->isLocked());
    d.scene.undo();
    d.scene.undo();
    QVERIFY(!ab->isLocked());
    QVERIFY(d.scene.executeCommand(new CmdSetLock(&d.scene, ab, true)));
    QVERIFY(ab->child(0)->isLocked() && ab->child(1)->isLocked());
}

void TestCommands::doubleClicksClimbAndWrap()
{
    AbCd d;
    TextGroup *p = d.p, *w = d.ab;
    TextObject *b = w->child(1);
    // From a glyph in a word, and from a blank in the passage.
    const QList<Objects> climbs[] = {{{b}, {w}, {p}, {b}}, {{p->child(1)}, {p}, {p->child(1)}}};
    for (const QList<Objects> &climb : climbs) {
        const QPointF at = centreOf(climb.first().first());
        const int entries = d.entries();
        for (const Objects &e : climb) {
            QVERIFY(d.scene.executeCommand(new CmdSelectPoint(&d.scene, 1, at)));
            QCOMPARE(d.selected(), e);
            VERIFY_SCENE(&d.scene);
        }
        QCOMPARE(d.entries() - entries, climb.size());
        QCOMPARE(d.lastText(), QStringLiteral("Select Object"));
    }
    for (int i = 1; i >= 0; --i) {
        d.scene.undo();
        QCOMPARE(d.selected(), climbs[1].at(i));
    }
}

void TestCommands::doubleClickThatChangesNothingLeavesNoEntry()
{
    Doc d;
    TextGroup *p = d.add(QStringLiteral("ab"));
    TextObject *a = group(p->child(0))->child(0);
    // Nothing under the point.
    QVERIFY(!d.scene.executeCommand(new CmdSelectPoint(&d.scene, 1, QPointF(-3000, -3000))));
    // Something under the point, but removing an unselected glyph or
    // toggling in a mode the click does not use changes nothing.
    QVERIFY(!d.scene.executeCommand(new CmdSelectPoint(&d.scene, 3, centreOf(a))));
    QVERIFY(!d.scene.executeCommand(new CmdSelectPoint(&d.scene, 4, centreOf(a))));
    QCOMPARE(d.entries(), 0);
    // Add, then remove with Alt.
    QVERIFY(d.scene.executeCommand(new CmdSelectPoint(&d.scene, 2, centreOf(a))));
    QCOMPARE(d.selected(), Objects{a});
    QVERIFY(d.scene.executeCommand(new CmdSelectPoint(&d.scene, 3, centreOf(a))));
    QVERIFY(d.selected().isEmpty());
    QCOMPARE(d.entries(), 2);
}

void TestCommands::rectangleSelectsTouchedGlyphsInsteadOfTheirWord()
{
    AbCd d;
    TextGroup *ab = d.ab, *cd = d.cd;
    for (const QRect &r : {QRect(0, 0, 0, 200), QRect(0, 0, 600, 0), QRect(QPoint(300, 0), QPoint(0, 200))})
        QVERIFY(!d.scene.executeCommand(new CmdSelectRect(&d.scene, r, 1, TextObject::GlyphType)));
    QCOMPARE(d.entries(), 0);
    d.select({cd});
    // A band over the middle of b only.
    const QRect band = ab->child(1)->sceneBoundingRect().adjusted(4, 4, -4, -4).toRect();
    QVERIFY(d.scene.executeCommand(new CmdSelectRect(&d.scene, band, 1, TextObject::GlyphType)));
    QCOMPARE(d.selected(), Objects{ab->child(1)});
    QCOMPARE(d.lastText(), QStringLiteral("Select Region"));
    // Mode 1 over the word ab and the c of cd: the word is deselected, its
    // touched glyphs selected.
    d.select({ab});
    const QRect wide =
        ab->sceneBoundingRect().united(cd->child(0)->sceneBoundingRect()).adjusted(2, 2, -2, -2).toRect();
    QVERIFY(d.scene.executeCommand(new CmdSelectRect(&d.scene, wide, 1, TextObject::GlyphType)));
    QCOMPARE(d.selected(), (Objects{ab->child(0), ab->child(1), cd->child(0)}));
    VERIFY_SCENE(&d.scene);
    // Toggle the same band: all three go.
    QVERIFY(d.scene.executeCommand(new CmdSelectRect(&d.scene, wide, 4, TextObject::GlyphType)));
    QVERIFY(d.selected().isEmpty());
}

void TestCommands::selectSameAndAll()
{
    Doc d;
    TextGroup *p = d.add(QStringLiteral("ab Ab ab a"));
    TextObject *a0 = group(p->child(0))->child(0);
    auto run = [&d](Cmd *c, const QString &text, const Objects &selected) {
        QVERIFY(d.scene.executeCommand(c));
        QCOMPARE(d.lastText(), text);
        QCOMPARE(d.selected(), selected);
        VERIFY_SCENE(&d.scene);
    };
    // Same glyphs and same words match case.
    d.select({a0});
    run(new CmdSelectSame(&d.scene, 1, 2), "Select Same Glyphs", {a0, p->child(4)->firstGlyph(), p->child(6)->firstGlyph()});
    d.select({p->child(0)});
    run(new CmdSelectSame(&d.scene, 1, 3), "Select Same Words", {p->child(0), p->child(4)});
    QVERIFY(!d.scene.executeCommand(new CmdSelectSame(&d.scene, 1, 3)));
    d.select({p->child(0), p->child(1)});
    run(new CmdSelectSame(&d.scene, 1, 4), "Select Same Passages", {});

    // Select All skips locked and hidden objects; a word holding a locked
    // glyph counts as locked: neither selected nor deselected. A glyph
    // selected before it was locked stays selected throughout.
    TextObject *A = p->child(2)->firstGlyph();
    p->child(6)->firstGlyph()->setVisible(false);
    d.select({A, p->child(0)});
    A->lock();
    run(new CmdSelectAll(&d.scene, 1, 3), "Select All Words", {A, p->child(0), p->child(4), p->child(6)});
    Objects glyphs{A};
    for (Glyph *g : glyphsOf(p))
        if (g != A && g->isVisible())
            glyphs << g;
    run(new CmdSelectAll(&d.scene, 1, 2), "Select All Glyphs", glyphs);
    QVERIFY(!d.scene.executeCommand(new CmdSelectAll(&d.scene, 1, 2)));
    // Level 0 clears what it may; undo restores the list in its order.
    const TreeDump before = d.dump();
    run(new CmdSelectAll(&d.scene, 1, 0), "Select All Unknown", {A});
    QVERIFY(!d.scene.executeCommand(new CmdSelectAll(&d.scene, 1, 0)));
    d.scene.undo();
    QCOMPARE(d.selected(), glyphs);
    VERIFY_SAME_TREE(d.dump(), before);
}

void TestCommands::selectTextObjectModes()
{
    AbCd d;
    TextObject *ab = d.ab, *cd = d.cd;
    QVERIFY(!d.scene.executeCommand(new CmdSelectTextObject(&d.scene, ab, 3)));
    QVERIFY(d.scene.executeCommand(new CmdSelectTextObject(&d.scene, ab, 2)));
    QVERIFY(d.scene.executeCommand(new CmdSelectTextObject(&d.scene, cd, 2)));
    QCOMPARE(d.selected(), (Objects{ab, cd}));
    QVERIFY(d.scene.executeCommand(new CmdSelectTextObject(&d.scene, cd, 1)));
    QCOMPARE(d.selected(), Objects{cd});
    QVERIFY(d.scene.executeCommand(new CmdSelectTextObject(&d.scene, cd, 4)));
    QVERIFY(d.selected().isEmpty());
    // A locked or hidden target, or one outside the tree, is left alone.
    group(ab)->child(0)->lock();
    QVERIFY(!d.scene.executeCommand(new CmdSelectTextObject(&d.scene, ab, 2)));
    cd->setVisible(false);
    QVERIFY(!d.scene.executeCommand(new CmdSelectTextObject(&d.scene, cd, 2)));
    Glyph *loose = TreeBuilder::glyph(QLatin1Char('x'));
    QVERIFY(!d.scene.executeCommand(new CmdSelectTextObject(&d.scene, loose, 2)));
    delete loose;
    QCOMPARE(d.entries(), 4);
}

void TestCommands::valueCommands_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QVariant>("first");
    QTest::addColumn<QVariant>("second");
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("entries"); // 1 when the second merges into the first
    const QVariant red = QColor(Qt::red), blue = QColor(Qt::blue);
    QTest::newRow("selected fill") << "selected fill" << red << blue << "Set Fill Color" << 1;
    QTest::newRow("selected fill back") << "selected fill" << red << QVariant(QColor(Qt::black)) << "Set Fill Color" << 1;
    QTest::newRow("selected stroke") << "selected stroke" << red << blue << "Set Stroke Color" << 1;
    QTest::newRow("selected width") << "selected width" << QVariant(4.0f) << QVariant(6.0f) << "Set Stroke Width" << 1;
    QTest::newRow("selected size") << "selected size" << QVariant(36) << QVariant(50) << "Set Font Size" << 1;
    QTest::newRow("selected size below 1") << "selected size" << QVariant(20) << QVariant(0) << "Set Font Size" << 1;
    QTest::newRow("selected font") << "selected font" << QVariant(dejavu) << QVariant(arial) << "Set Font" << 2;
    QTest::newRow("scene fill") << "scene fill" << red << blue << "Set Fill Color" << 1;
    QTest::newRow("scene stroke") << "scene stroke" << red << blue << "Set Stroke Color" << 1;
    QTest::newRow("scene width") << "scene width" << QVariant(1.5f) << QVariant(3.0f) << "Set Stroke Width" << 1;
    QTest::newRow("scene size below 1") << "scene size" << QVariant(40) << QVariant(-5) << "Set Font Size" << 1;
    QTest::newRow("scene font") << "scene font" << QVariant(dejavu) << QVariant(arial) << "Set Font" << 2;
}

// Two edits in a row on a selection of mixed values (one glyph with its
// own), and the unselected blank: texts, merging, the values, and undo and
// redo of each entry back to the exact trees and styles.
void TestCommands::valueCommands()
{
    QFETCH(QString, kind);
    QFETCH(QVariant, first);
    QFETCH(QVariant, second);
    QFETCH(int, entries);
    const QString what = kind.section(' ', 1);
    AbCd d;
    TextGroup *p = d.p;
    Glyph *b = p->child(0)->lastGlyph();
    if (!QByteArray(QTest::currentDataTag()).endsWith("back")) {
        b->setFillColor(Qt::green);
        b->setStrokeColor(Qt::green);
        b->setStrokeWidth(2.5f);
    }
    d.select({p->child(0), p->child(2)});
    QList<TreeDump> trees{d.dump()};
    QStringList styles{styleOf(d.scene)};
    const QVariant blank = valueOf(static_cast<Glyph *>(p->child(1)), what);
    for (const QVariant &v : {first, second}) {
        QVERIFY(d.scene.executeCommand(valueCommand(&d.scene, kind, v)));
        trees << d.dump();
        styles << styleOf(d.scene);
    }
    QCOMPARE(d.entries(), entries);
    QTEST(d.lastText(), "text");
    const QVariant expected = what == "size" ? QVariant(qMax(second.toInt(), 1)) : second;
    if (kind.startsWith(QLatin1String("scene"))) {
        QCOMPARE(valueOf(d.scene, what), expected);
        VERIFY_SAME_TREE(d.dump(), trees.first());
    } else {
        for (Glyph *g : glyphsOf(p))
            QCOMPARE(valueOf(g, what), g == p->child(1) ? blank : expected);
        QCOMPARE(styleOf(d.scene), styles.first());
    }
    // Each undo and redo gives back the tree and style of its entry. (A
    // merged size edit scales once on redo, so the last bits may differ
    // from the two scalings: the redone state must be the same each time.)
    auto stateAt = [entries](int index) { return index == entries ? 2 : index; };
    for (int i = 0; i < 2; ++i) {
        if (i == 0 && what == "size" && entries == 1 && !kind.startsWith(QLatin1String("scene"))) {
            d.scene.undo();
            d.scene.redo();
            trees[2] = d.dump();
            QCOMPARE(valueOf(p->firstGlyph(), what), expected);
        }
        while (d.entries() > 0) {
            d.scene.undo();
            VERIFY_SAME_TREE(d.dump(), trees.at(stateAt(d.entries())));
            QCOMPARE(styleOf(d.scene), styles.at(stateAt(d.entries())));
        }
        while (d.entries() < entries) {
            d.scene.redo();
            VERIFY_SAME_TREE(d.dump(), trees.at(stateAt(d.entries())));
            QCOMPARE(styleOf(d.scene), styles.at(stateAt(d.entries())));
        }
    }
    QCOMPARE(d.scene.history().size(), entries);
}

void TestCommands::toolbarCompositesMergeEvenWhenTheFirstChangedNothing()
{
    Doc d;
    TextGroup *p = d.add(QStringLiteral("ab"));
    p->setFillColor(Qt::red);
    d.select({p});
    const QColor sceneFill = d.scene.fillColor();
    // The toolbar's form: the style for new text and the selection in one
    // entry. The selection already is red: only the style changes.
    for (const QColor &c : {QColor(Qt::red), QColor(Qt::blue)}) {
        auto *combo = new CmdCombo(&d.scene, QStringLiteral("Unknown Combo Command"));
        combo->add(new CmdSetSceneFillColor(&d.scene, c), true);
        combo->add(new CmdSetSelectedFillColor(&d.scene, c), false);
        QVERIFY(d.scene.executeCommand(combo));
    }
    QCOMPARE(d.entries(), 1);
    QCOMPARE(d.lastText(), QStringLiteral("Set Fill Color"));
    QCOMPARE(p->firstGlyph()->fillColor(), QColor(Qt::blue));
    d.scene.undo();
    QCOMPARE(p->firstGlyph()->fillColor(), QColor(Qt::red));
    QCOMPARE(p->lastGlyph()->fillColor(), QColor(Qt::red));
    QCOMPARE(d.scene.fillColor(), sceneFill);
    d.scene.redo();
    QCOMPARE(p->lastGlyph()->fillColor(), QColor(Qt::blue));
    QCOMPARE(d.scene.fillColor(), QColor(Qt::blue));
}

void TestCommands::fontSizeUndoRestoresOutlinesAndPositionsExactly()
{
    AbCd d;
    TextGroup *ab = d.ab;
    Glyph *a = static_cast<Glyph *>(ab->child(0));
    Glyph *b = static_cast<Glyph *>(ab->child(1));
    // A deformed glyph and one whose deformation was set as original.
    a->moveElementBy(1, QPointF(3.25, -1.5));
    b->moveElementBy(2, QPointF(-2, 4));
    b->bakeDeform();
    b->moveElementBy(0, QPointF(0.5, 0.5));
    d.select({ab});
    const TreeDump start = d.dump();

    QVERIFY(d.scene.executeCommand(new CmdSetSelectedFontSize(&d.scene, 36)));
    QCOMPARE(a->font().pointSize(), 36);
    // b follows a by a's advance at the new size.
    QCOMPARE(b->pos().x() - a->pos().x(), a->advanceWidth());
    // A second size edit as a separate entry.
    auto *combo = new CmdCombo(&d.scene, QStringLiteral("Unknown Combo Command"));
    combo->add(new CmdSetSelectedFontSize(&d.scene, 50), true);
    QVERIFY(d.scene.executeCommand(combo));
    QCOMPARE(d.entries(), 2);
    QCOMPARE(b->font().pointSize(), 50);
    d.scene.undo();
    d.scene.undo();
    VERIFY_SAME_TREE(d.dump(), start);

    // The same through one merged entry, and a redo/undo cycle on top.
    QVERIFY(d.scene.executeCommand(new CmdSetSelectedFontSize(&d.scene, 36)));
    QVERIFY(d.scene.executeCommand(new CmdSetSelectedFontSize(&d.scene, 50)));
    QCOMPARE(d.entries(), 1);
    d.scene.undo();
    VERIFY_SAME_TREE(d.dump(), start);
    d.scene.redo();
    QCOMPARE(a->font().pointSize(), 50);
    d.scene.undo();
    VERIFY_SAME_TREE(d.dump(), start);
}

void TestCommands::fontUndoRestoresTheDeformedOutline()
{
    Doc d;
    TextGroup *p = d.add(QStringLiteral("ab"));
    Glyph *a = p->firstGlyph();
    a->moveElementBy(1, QPointF(7, 7));
    a->convertToLines();
    d.select({a, p->lastGlyph()});
    const TreeDump start = d.dump();
    QVERIFY(d.scene.executeCommand(new CmdSetSelectedFont(&d.scene, dejavu)));
    QCOMPARE(a->font(), dejavu);
    // The outline is the font's own again.
    QCOMPARE(a->path()->current, GlyphPath(QPointF(0, 0), dejavu, QStringLiteral("a")).current);
    QVERIFY(d.scene.executeCommand(new CmdSetSelectedFont(&d.scene, arial)));
    d.scene.undo();
    d.scene.undo();
    VERIFY_SAME_TREE(d.dump(), start);
}

void TestCommands::canvasCommand()
{
    Doc d;
    QVorrelScene &s = d.scene;
    auto canvas = [&s] {
        return QStringLiteral("%1 %2 %3 %4 %5 %6").arg(s.screenWidth()).arg(s.screenHeight()).arg(s.exportWidth())
            .arg(s.exportHeight()).arg(s.exportResolution()).arg(s.backgroundColor().name(QColor::HexArgb));
    };
    QVERIFY(!s.executeCommand(new CmdSetCanvas(&s, 1024, 768, 1024, 768, 72, Qt::white)));
    QVERIFY(s.executeCommand(new CmdSetCanvas(&s, 1024, 768, 1024, 768, 72, QColor(255, 255, 255, 128))));
    QCOMPARE(d.lastText(), QStringLiteral("Edit Canvas"));
    QVERIFY(s.executeCommand(new CmdSetCanvas(&s, 640, 480, 320, 240, 96, Qt::yellow)));
    QCOMPARE(canvas(), QStringLiteral("640 480 320 240 96 #ffffff00"));
    s.undo();
    QCOMPARE(canvas(), QStringLiteral("1024 768 1024 768 72 #80ffffff"));
    s.undo();
    QCOMPARE(canvas(), QStringLiteral("1024 768 1024 768 72 #ffffffff"));
}

void TestCommands::randomObjectEditsUndoAndRedoExactly()
{
    // Seeded runs of selection, arrange, move, remove, lock, visibility and
    // value commands on two passages: after each the scene is sound;
    // undoing all of them gives back the first tree (selection, lock,
    // visibility, z and style included) and the text position, redoing
    // all of them the last tree.
    for (quint32 seed = 1; seed <= 60; ++seed) {
        Doc d;
        d.add(QStringLiteral("ab cd\ref ab"));
        d.add(QStringLiteral("cd x"), QPointF(100, 400));
        QRandomGenerator rng(seed);
        const TreeDump first = d.dump();
        const QString pointerFirst = pointerText(d.scene.textPointer());
        for (int step = 0; step < 30; ++step) {
            TextIterator it(d.root, TextIterator::Forward | TextIterator::PostOrder);
            Objects all;
            while (it.hasNext())
                all << it.next();
            all.removeLast();
            if (all.isEmpty())
                break;
            TextObject *o = all.at(rng.bounded(all.size()));
            const int mode = 1 + rng.bounded(4);
            QVorrelScene *s = &d.scene;
            const QColor colour = QColor::fromRgb(rng.generate());
            Cmd *commands[] = {new CmdSelectTextObject(s, o, mode), new CmdSelectAll(s, mode, rng.bounded(5)),
                               new CmdArrange(s, o, rng.bounded(4)), new CmdMoveSelected(s, 3.5f, -2.25f),
                               new CmdRemoveSelected(s), new CmdSetLock(s, o, rng.bounded(2) == 1),
                               new CmdSetVisible(s, o, rng.bounded(2) == 1), new CmdSelectTextObject(s, o, 2),
                               new CmdSetSelectedFillColor(s, colour), new CmdSetSelectedFontSize(s, 18 << rng.bounded(5)),
                               new CmdSelectPoint(s, mode, centreOf(o)), new CmdSelectSame(s, mode, 1 + rng.bounded(4))};
            const int pick = rng.bounded(12);
            for (int i = 0; i < 12; ++i)
                i == pick ? void(s->executeCommand(commands[i])) : delete commands[i];
            QVERIFY2(TreeCheck::sceneFault(s).isEmpty(), qPrintable(TreeCheck::sceneFault(s)));
        }
        const TreeDump last = d.dump();
        while (d.scene.historyIndex() > 0)
            d.scene.undo();
        VERIFY_SAME_TREE(d.dump(), first);
        QCOMPARE(pointerText(d.scene.textPointer()), pointerFirst);
        while (d.scene.historyIndex() < d.scene.history().size())
            d.scene.redo();
        VERIFY_SAME_TREE(d.dump(), last);
    }
}

void TestCommands::playRunIsOneUndoStep()
{
    Document doc;
    doc.glyphs.at(0)->addSoftType(alwaysPull());
    doc.glyphs.at(2)->addSoftType(alwaysPull());
    doc.glyphs.at(2)->addSoftType(new SoftTypeTwirl(QStringLiteral("Twirl-1")));
    doc.glyphs.at(2)->softTypes().last()->property(QStringLiteral("trigger"))->setValue(0);
    doc.glyphs.last()->addSoftType(alwaysPull());
    doc.scene.setFrameCounter(7);
    const TreeDump before = doc.dump();
    Cmd *pending = nullptr;
    doc.play(6, [&](int) {
        QCOMPARE(doc.scene.playState(), 1);
        QVERIFY(!doc.scene.extrasVisible());
        QVERIFY(!doc.scene.canUndo());
        doc.scene.setPlayState(true); // already playing: the same pending run
        QVERIFY(!pending || doc.scene.pendingSimulate() == pending);
        pending = doc.scene.pendingSimulate();
    });
    QVERIFY(pending);
    for (int i : {0, 2, 5}) // every glyph of the document played its SoftTypes
        QVERIFY(!(doc.glyphs.at(i)->path()->current == doc.glyphs.at(i)->path()->rest));
    const TreeDump after = doc.dump();
    QVERIFY(after != before);
    QCOMPARE(doc.scene.playState(), 0);
    QVERIFY(doc.scene.extrasVisible());
    QVERIFY(!doc.scene.pendingSimulate());
    QCOMPARE(doc.scene.frameCounter(), 0);
    QCOMPARE(doc.scene.history().size(), 1);
    QCOMPARE(doc.lastText(), QStringLiteral("Apply SoftTypes"));
    for (int i = 0; i < 2; ++i) {
        doc.scene.undo();
        VERIFY_SAME_TREE(doc.dump(), before);
        QCOMPARE(doc.scene.frameCounter(), 7);
        doc.scene.redo();
        VERIFY_SAME_TREE(doc.dump(), after);
        QCOMPARE(doc.scene.frameCounter(), 0);
    }
    // A second run replaces the redo tail with its own single entry.
    doc.scene.undo();
    doc.play(2);
    QCOMPARE(doc.scene.history().size(), 1);
    QCOMPARE(doc.scene.historyIndex(), 1);

    // Stopping when stopped does nothing, not even reset the counter; a run
    // that moved nothing is still an entry; extras hidden before play stay
    // hidden after it.
    doc.scene.setFrameCounter(3);
    doc.scene.setPlayState(false);
    QCOMPARE(doc.scene.frameCounter(), 3);
    for (int i : {0, 2, 5})
        doc.glyphs.at(i)->lock();
    doc.scene.hideExtras();
    const TreeDump still = doc.dump();
    doc.play(2);
    QCOMPARE(doc.scene.history().size(), 2);
    QVERIFY(!doc.scene.extrasVisible());
    // Undo only sets the frame counter back; with nothing recorded, redo
    // records again and leaves the frame counter.
    doc.scene.undo();
    QCOMPARE(doc.scene.frameCounter(), 3);
    VERIFY_SAME_TREE(doc.dump(), still);
    doc.scene.redo();
    QCOMPARE(doc.scene.frameCounter(), 3);
}

void TestCommands::glyphAddedDuringTheRunKeepsItsOutline()
{
    Document doc;
    Glyph *b = doc.glyphs.at(1);
    Glyph *d = doc.glyphs.at(4);
    b->addSoftType(alwaysPull());
    d->addSoftType(alwaysPull());
    const GlyphPath bBefore = *b->path();
    const GlyphPath dBefore = *d->path();
    // A glyph with its own SoftType arrives at the front of the document,
    // ahead of every recorded glyph in the walk.
    Glyph *added = TreeBuilder::glyph(QLatin1Char('x'), arial, QPointF(0, 100));
    added->addSoftType(alwaysPull());
    doc.play(6, [&](int i) {
        if (i == 3)
            static_cast<TextGroup *>(doc.passage->child(0))->insert(0, added);
    });
    const GlyphPath addedAfter = *added->path();
    const GlyphPath bAfter = *b->path();
    QVERIFY(!(addedAfter.current == addedAfter.rest));

    doc.scene.undo();
    QVERIFY(b->path()->current == bBefore.current);
    QVERIFY(d->path()->current == dBefore.current);
    QVERIFY(added->path()->current == addedAfter.current);
    QVERIFY(added->path()->rest == addedAfter.rest);
    doc.scene.redo();
    QVERIFY(b->path()->current == bAfter.current);
    QVERIFY(added->path()->current == addedAfter.current);
}

void TestCommands::lockedGlyphsAreNotRecordedHiddenOnesAre()
{
    Document doc;
    Glyph *locked = doc.glyphs.at(0);
    Glyph *hidden = doc.glyphs.at(1);
    locked->addSoftType(alwaysPull());
    hidden->addSoftType(alwaysPull());
    locked->lock();
    hidden->setVisible(false);
    const QPainterPath hiddenBefore = hidden->path()->current;
    QPainterPath lockedDeformed;
    doc.play(2, [&](int i) {
        if (i == 1) {
            // Neither moves by its SoftTypes; something else changes both.
            QVERIFY(locked->path()->current == locked->path()->rest);
            deform(locked, 3);
            deform(hidden, 3);
            lockedDeformed = locked->path()->current;
        }
    });
    doc.scene.undo();
    QVERIFY(locked->path()->current == lockedDeformed);
    QVERIFY(hidden->path()->current == hiddenBefore);
}

void TestCommands::outlineCommandsUndoExactly()
{
    Document doc;
    for (Glyph *g : doc.glyphs)
        deform(g, 2);
    doc.select({doc.passage->child(0), doc.glyphs.at(5)}); // the word "abc" and "e"
    const TreeDump before = doc.dump();
    const QPainterPath deformed = doc.glyphs.at(5)->path()->current;
    const QPainterPath unselected = doc.glyphs.at(4)->path()->current; // "d"
    // Each built when it runs: it records the outlines it will restore.
    auto command = [&doc](int i) -> Cmd * {
        switch (i) {
        case 0: return new CmdConvertSelected(&doc.scene, CmdConvertSelected::ToCurves);
        case 1: return new CmdConvertSelected(&doc.scene, CmdConvertSelected::ToLines);
        case 2: return new CmdResetSelected(&doc.scene);
        case 3: return new CmdSetSelectedAsOriginal(&doc.scene);
        default: return new CmdResetSelectedDeform(&doc.scene);
        }
    };
    const QStringList texts{"Reset", "Reset", "Reset", "Set as Original", "Reset Deformations"};
    for (int i = 0; i < texts.size(); ++i) {
        const TreeDump prior = doc.dump();
        QVERIFY(doc.scene.executeCommand(command(i)));
        QCOMPARE(doc.lastText(), texts.at(i));
        const TreeDump after = doc.dump();
        QVERIFY(after != before);
        QVERIFY(doc.glyphs.at(4)->path()->current == unselected);
        const GlyphPath &e = *doc.glyphs.at(5)->path();
        for (int k = 0; k < e.current.elementCount(); ++k) {
            const QPainterPath::Element el = e.current.elementAt(k);
            // Curves only after ToCurves, lines only after ToLines, the
            // outline at rest after a reset.
            QVERIFY(i != 0 || el.type != QPainterPath::LineToElement);
            QVERIFY(i != 1 || el.type == QPainterPath::LineToElement || el.type == QPainterPath::MoveToElement);
            QVERIFY(i != 2 || (el.x == e.rest.elementAt(k).x && el.y == e.rest.elementAt(k).y));
        }
        // Set as Original, then Reset Deformations: the deformation stays.
        if (i >= 3)
            QVERIFY(e.current == deformed && e.rest == deformed);
        doc.scene.undo();
        VERIFY_SAME_TREE(doc.dump(), prior);
        doc.scene.redo();
        VERIFY_SAME_TREE(doc.dump(), after);
        if (i < 3)
            doc.scene.undo();
    }
    doc.scene.undo();
    doc.scene.undo();
    VERIFY_SAME_TREE(doc.dump(), before);
}

void TestCommands::addSoftTypeOwnership()
{
    Document doc;
    Glyph *a = doc.glyphs.at(0);
    TestSoftType::destroyed = 0;
    SoftType *s = new TestSoftType(QStringLiteral("t"));
    QVERIFY(doc.scene.executeCommand(new CmdAddSoftType(&doc.scene, a, s)));
    QCOMPARE(a->softTypes(), QList<SoftType *>{s});
    doc.scene.undo();
    QVERIFY(a->softTypes().isEmpty());
    QCOMPARE(TestSoftType::destroyed, 0);
    doc.scene.redo();
    QCOMPARE(a->softTypes(), QList<SoftType *>{s});
    doc.scene.undo();
    doc.scene.clearHistory(); // the undone command owned it
    QCOMPARE(TestSoftType::destroyed, 1);

    // A locked glyph takes nothing; the discarded command deletes its SoftType.
    a->lock();
    QVERIFY(!doc.scene.executeCommand(new CmdAddSoftType(&doc.scene, a, new TestSoftType(QStringLiteral("u")))));
    QVERIFY(a->softTypes().isEmpty());
    QCOMPARE(TestSoftType::destroyed, 2);
    QVERIFY(!doc.scene.executeCommand(new CmdAddSoftType(&doc.scene, doc.glyphs.at(1), nullptr)));
    QCOMPARE(CmdAddSoftType(&doc.scene, a, new SoftTypeRubber(QStringLiteral("r"))).text(),
             QStringLiteral("Add Rubber SoftType"));
    QCOMPARE(CmdAddSoftType(&doc.scene, a, nullptr).text(), QStringLiteral("Add SoftType"));
}

void TestCommands::removeSoftTypeReturnsToItsPlace()
{
    Document doc;
    Glyph *a = doc.glyphs.at(0);
    const QList<SoftType *> all{new TestSoftType(QStringLiteral("one")), new TestSoftType(QStringLiteral("two")),
                                new TestSoftType(QStringLiteral("three"))};
    for (SoftType *s : all)
        a->addSoftType(s);
    doc.glyphs.at(1)->addSoftType(new SoftTypeOriginateAsymptotic(QStringLiteral("oa")));
    QCOMPARE(CmdRemoveSoftType(&doc.scene, doc.glyphs.at(1), QStringLiteral("oa")).text(),
             QStringLiteral("Remove Originate asymptotic SoftType"));
    QCOMPARE(CmdRemoveSoftType(&doc.scene, a, QStringLiteral("none")).text(), QStringLiteral("Remove SoftType"));
    QVERIFY(doc.scene.executeCommand(new CmdRemoveSoftType(&doc.scene, a, QStringLiteral("one"))));
    QCOMPARE(a->softTypes(), all.mid(1));
    doc.scene.undo();
    QCOMPARE(a->softTypes(), all);
    doc.scene.redo();
    QCOMPARE(a->softTypes(), all.mid(1));

    // Executed and then dropped from the history, the command deletes it.
    TestSoftType::destroyed = 0;
    doc.scene.clearHistory();
    QCOMPARE(TestSoftType::destroyed, 1);

    QVERIFY(!doc.scene.executeCommand(new CmdRemoveSoftType(&doc.scene, a, QStringLiteral("one"))));
    a->lock();
    QVERIFY(!doc.scene.executeCommand(new CmdRemoveSoftType(&doc.scene, a, QStringLiteral("two"))));
    QCOMPARE(a->softTypes().size(), 2);

    // Inside a composite, a removal that found nothing is not undone.
    a->unlock();
    auto *combo = new CmdCombo(&doc.scene, QStringLiteral("Remove SoftType"));
    combo->add(new CmdRemoveSoftType(&doc.scene, a, QStringLiteral("three")), false);
    combo->add(new CmdRemoveSoftType(&doc.scene, a, QStringLiteral("none")), false);
    QVERIFY(doc.scene.executeCommand(combo));
    QCOMPARE(a->softTypes(), all.mid(1, 1));
    doc.scene.undo();
    QCOMPARE(a->softTypes(), all.mid(1));
}

void TestCommands::editSoftType()
{
    Document doc;
    SoftType *pull = new SoftTypePull(QStringLiteral("pull-1"));
    doc.glyphs.at(0)->addSoftType(pull);
    auto edit = [&](std::initializer_list<std::pair<QString, QVariant>> values) {
        QHash<QString, QVariant> hash;
        for (const auto &v : values)
            hash.insert(v.first, v.second);
        return doc.scene.executeCommand(new CmdEditSoftType(&doc.scene, pull, hash));
    };
    auto value = [pull](const char *name) { return pull->property(QLatin1String(name))->value(); };

    // Equal values change nothing and leave no entry; a change in the last
    // digit is a change.
    QVERIFY(!doc.scene.executeCommand(new CmdEditSoftType(&doc.scene, pull, pull->values())));
    QVERIFY(!edit({{"strength", 400.0}}));
    QCOMPARE(doc.scene.history().size(), 0);
    QVERIFY(edit({{"strength", 400.00000000000006}}));
    QVERIFY(value("strength").toDouble() == 400.00000000000006);
    doc.scene.undo();
    QVERIFY(value("strength").toDouble() == 400.0);

    QVERIFY(edit({{"radius", 30}, {"attenuation", 5.0}, {"note", QStringLiteral("new")}}));
    QCOMPARE(doc.lastText(), QStringLiteral("Edit Pull SoftType"));
    QCOMPARE(pull->radius(), 30);
    QCOMPARE(value("attenuation").toDouble(), 5.0);
    doc.scene.undo();
    QCOMPARE(pull->radius(), 0);
    QCOMPARE(value("attenuation").toDouble(), 25.0);
    // The property the edit created stays, with the value it gave it.
    QCOMPARE(value("note").toString(), QStringLiteral("new"));
    doc.scene.redo();
    QCOMPARE(pull->radius(), 30);
    QCOMPARE(CmdSimulate(&doc.scene).text(), QStringLiteral("Apply SoftTypes"));
}

QTEST_MAIN(TestCommands)
#include "tst_commands.moc"
