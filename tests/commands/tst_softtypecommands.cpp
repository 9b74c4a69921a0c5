#include "commands/CmdAddSoftType.h"
#include "commands/CmdCombo.h"
#include "commands/CmdConvertSelected.h"
#include "commands/CmdEditSoftType.h"
#include "commands/CmdRemoveSoftType.h"
#include "commands/CmdResetSelected.h"
#include "commands/CmdResetSelectedDeform.h"
#include "commands/CmdSetSelectedAsOriginal.h"
#include "commands/CmdSimulate.h"
#include "model/Glyph.h"
#include "model/GlyphIterator.h"
#include "model/GlyphPath.h"
#include "model/QVorrelScene.h"
#include "model/TextGroup.h"
#include "propertybrowser/QtVariantProperty.h"
#include "softtypes/SoftTypeOriginateAsymptotic.h"
#include "softtypes/SoftTypePull.h"
#include "softtypes/SoftTypeRubber.h"
#include "softtypes/SoftTypeTwirl.h"
#include "support/TestDocument.h"
#include "support/TestSoftType.h"
#include "support/TreeBuilder.h"
#include "support/TreeDump.h"

#include <QtTest>

namespace {

// A Pull that acts on every frame whatever the buttons.
SoftType *alwaysPull(const QString &name = QStringLiteral("pull-1"))
{
    SoftType *s = new SoftTypePull(name);
    s->property(QStringLiteral("trigger"))->setValue(0);
    return s;
}

QList<Glyph *> glyphsOf(TextObject *root)
{
    QList<Glyph *> glyphs;
    GlyphIterator it(root, TextIterator::Forward | TextIterator::PostOrder);
    while (it.hasNext())
        glyphs << it.next();
    return glyphs;
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
    TextGroup *passage;
    QList<Glyph *> glyphs;

    Document()
        : TestDocument(QRectF(-32768, -32768, 65535, 65535))
    {
        passage = add(QStringLiteral("abc de"), QPointF(40, 100));
        glyphs = glyphsOf(scene.root());
        scene.setMousePosition(QPointF(120, 60));
    }
    // n play ticks as the view runs them.
    void play(int n)
    {
        for (int i = 0; i < n; ++i) {
            scene.setFrameCounter(scene.frameCounter() + 1);
            scene.stepSoftTypes();
        }
    }
};

} // namespace

class TestSoftTypeCommands : public QObject
{
    Q_OBJECT
private slots:
    void playRunIsOneUndoStep();
    void glyphAddedDuringTheRunKeepsItsOutline();
    void emptyRunAndPlaySwitch();
    void lockedGlyphsAreNotRecordedHiddenOnesAre();
    void outlineCommandsNeedAnUnlockedSelection();
    void convertToCurvesUndoesExactly();
    void setAsOriginalThenResetDeformations();
    void addSoftTypeOwnership();
    void removeSoftTypeReturnsToItsPlace();
    void editSoftType();
    void displayTexts();
};

void TestSoftTypeCommands::playRunIsOneUndoStep()
{
    Document doc;
    doc.glyphs.at(0)->addSoftType(alwaysPull());
    doc.glyphs.at(2)->addSoftType(alwaysPull());
    doc.glyphs.at(2)->addSoftType(new SoftTypeTwirl(QStringLiteral("Twirl-1")));
    doc.glyphs.at(2)->softTypes().last()->property(QStringLiteral("trigger"))->setValue(0);
    doc.scene.setFrameCounter(7);
    const TreeDump before = doc.dump();

    doc.scene.setPlayState(true);
    QCOMPARE(doc.scene.playState(), 1);
    QVERIFY(!doc.scene.extrasVisible());
    QVERIFY(doc.scene.pendingSimulate());
    doc.play(6);
    QVERIFY(!(doc.glyphs.at(0)->path()->current == doc.glyphs.at(0)->path()->rest));
    QVERIFY(!doc.scene.canUndo());
    doc.scene.setPlayState(false);
    const TreeDump after = doc.dump();
    QVERIFY(after != before);

    QCOMPARE(doc.scene.playState(), 0);
    QVERIFY(doc.scene.extrasVisible());
    QVERIFY(!doc.scene.pendingSimulate());
    QCOMPARE(doc.scene.frameCounter(), 0);
    QCOMPARE(doc.scene.history().size(), 1);
    QCOMPARE(doc.scene.history().first()->text(), QStringLiteral("Apply SoftTypes"));
    QCOMPARE(doc.scene.historyIndex(), 1);
    VERIFY_SAME_TREE(doc.dump(), after); // stopping only records

    doc.scene.undo();
    VERIFY_SAME_TREE(doc.dump(), before);
    QCOMPARE(doc.scene.frameCounter(), 7);
    doc.scene.redo();
    VERIFY_SAME_TREE(doc.dump(), after);
    QCOMPARE(doc.scene.frameCounter(), 0);
    doc.scene.undo();
    VERIFY_SAME_TREE(doc.dump(), before);

    // A second run replaces the redo tail with its own single entry.
    doc.scene.setPlayState(true);
    doc.play(2);
    doc.scene.setPlayState(false);
    QCOMPARE(doc.scene.history().size(), 1);
    QCOMPARE(doc.scene.historyIndex(), 1);
}

void TestSoftTypeCommands::glyphAddedDuringTheRunKeepsItsOutline()
{
    Document doc;
    Glyph *b = doc.glyphs.at(1);
    Glyph *d = doc.glyphs.at(4);
    b->addSoftType(alwaysPull());
    d->addSoftType(alwaysPull());
    const GlyphPath bBefore = *b->path();
    const GlyphPath dBefore = *d->path();

    doc.scene.setPlayState(true);
    doc.play(3);
    // A glyph with its own SoftType arrives at the front of the document,
    // ahead of every recorded glyph in the walk.
    Glyph *added = TreeBuilder::glyph(QLatin1Char('x'), arial, QPointF(0, 100));
    added->addSoftType(alwaysPull());
    static_cast<TextGroup *>(doc.passage->child(0))->insert(0, added);
    doc.play(3);
    doc.scene.setPlayState(false);
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

void TestSoftTypeCommands::emptyRunAndPlaySwitch()
{
    Document doc;
    doc.scene.setFrameCounter(3);
    const TreeDump before = doc.dump();
    doc.scene.setPlayState(true);
    Cmd *pending = doc.scene.pendingSimulate();
    doc.scene.setPlayState(true); // already playing: the same pending run
    QCOMPARE(doc.scene.pendingSimulate(), pending);
    doc.play(4);
    doc.scene.setPlayState(false);
    QCOMPARE(doc.scene.history().size(), 1);
    QCOMPARE(doc.scene.history().first()->text(), QStringLiteral("Apply SoftTypes"));

    // Undo only sets the frame counter back; with nothing recorded, redo
    // records again and leaves the frame counter.
    doc.scene.undo();
    QCOMPARE(doc.scene.frameCounter(), 3);
    VERIFY_SAME_TREE(doc.dump(), before);
    doc.scene.redo();
    QCOMPARE(doc.scene.frameCounter(), 3);

    // Stopping when stopped does nothing, not even reset the counter.
    doc.scene.setPlayState(false);
    QCOMPARE(doc.scene.frameCounter(), 3);
    QCOMPARE(doc.scene.history().size(), 1);

    // Extras hidden before play stay hidden after it.
    doc.scene.hideExtras();
    doc.scene.setPlayState(true);
    doc.scene.setPlayState(false);
    QVERIFY(!doc.scene.extrasVisible());
}

void TestSoftTypeCommands::lockedGlyphsAreNotRecordedHiddenOnesAre()
{
    Document doc;
    Glyph *locked = doc.glyphs.at(0);
    Glyph *hidden = doc.glyphs.at(1);
    locked->addSoftType(alwaysPull());
    hidden->addSoftType(alwaysPull());
    locked->lock();
    hidden->setVisible(false);
    const QPainterPath hiddenBefore = hidden->path()->current;

    doc.scene.setPlayState(true);
    doc.play(2);
    // Neither moves by its SoftTypes; something else changes both.
    QVERIFY(locked->path()->current == locked->path()->rest);
    deform(locked, 3);
    deform(hidden, 3);
    const QPainterPath lockedDeformed = locked->path()->current;
    doc.scene.setPlayState(false);

    doc.scene.undo();
    QVERIFY(locked->path()->current == lockedDeformed);
    QVERIFY(hidden->path()->current == hiddenBefore);
}

void TestSoftTypeCommands::outlineCommandsNeedAnUnlockedSelection()
{
    Document doc;
    QVERIFY(!doc.scene.executeCommand(new CmdResetSelected(&doc.scene)));
    QVERIFY(!doc.scene.executeCommand(new CmdConvertSelected(&doc.scene, CmdConvertSelected::ToCurves)));
    doc.glyphs.at(0)->lock();
    doc.scene.setSelected(doc.glyphs.at(0), true, false);
    doc.scene.setSelected(doc.passage->child(2), true, false); // "de", unlocked
    doc.glyphs.at(4)->lock();                                    // now locked through "d"
    QVERIFY(!doc.scene.executeCommand(new CmdResetSelectedDeform(&doc.scene)));
    QVERIFY(!doc.scene.executeCommand(new CmdSetSelectedAsOriginal(&doc.scene)));
    QCOMPARE(doc.scene.history().size(), 0);
}

void TestSoftTypeCommands::convertToCurvesUndoesExactly()
{
    Document doc;
    for (Glyph *g : doc.glyphs)
        deform(g, 2);
    doc.scene.setSelected(doc.passage->child(0), true, false); // the word "abc"
    doc.scene.setSelected(doc.glyphs.at(5), true, false);      // "e"
    const TreeDump before = doc.dump();
    const QPainterPath unselected = doc.glyphs.at(4)->path()->current; // "d"

    QVERIFY(doc.scene.executeCommand(new CmdConvertSelected(&doc.scene, CmdConvertSelected::ToCurves)));
    QCOMPARE(doc.scene.history().last()->text(), QStringLiteral("Reset"));
    const TreeDump curved = doc.dump();
    QVERIFY(curved != before);
    QVERIFY(doc.glyphs.at(4)->path()->current == unselected);
    // "e" holds curves only now, "d" is untouched.
    const QPainterPath &e = doc.glyphs.at(5)->path()->current;
    for (int i = 0; i < e.elementCount(); ++i)
        QVERIFY(e.elementAt(i).type != QPainterPath::LineToElement);
    doc.scene.undo();
    VERIFY_SAME_TREE(doc.dump(), before);
    doc.scene.redo();
    VERIFY_SAME_TREE(doc.dump(), curved);
    doc.scene.undo();

    QVERIFY(doc.scene.executeCommand(new CmdConvertSelected(&doc.scene, CmdConvertSelected::ToLines)));
    doc.scene.undo();
    VERIFY_SAME_TREE(doc.dump(), before);

    QVERIFY(doc.scene.executeCommand(new CmdResetSelected(&doc.scene)));
    QCOMPARE(doc.scene.history().last()->text(), QStringLiteral("Reset"));
    QVERIFY(doc.glyphs.at(0)->path()->current == doc.glyphs.at(0)->path()->rest);
    doc.scene.undo();
    VERIFY_SAME_TREE(doc.dump(), before);
}

void TestSoftTypeCommands::setAsOriginalThenResetDeformations()
{
    Document doc;
    Glyph *a = doc.glyphs.at(0);
    const QPainterPath oldRest = a->path()->rest;
    deform(a, 5);
    const QPainterPath deformed = a->path()->current;
    doc.scene.setSelected(a, true, false);

    QVERIFY(doc.scene.executeCommand(new CmdSetSelectedAsOriginal(&doc.scene)));
    QCOMPARE(doc.scene.history().last()->text(), QStringLiteral("Set as Original"));
    QVERIFY(doc.scene.executeCommand(new CmdResetSelectedDeform(&doc.scene)));
    QCOMPARE(doc.scene.history().last()->text(), QStringLiteral("Reset Deformations"));
    QVERIFY(a->path()->current == deformed);
    QVERIFY(a->path()->rest == deformed);

    doc.scene.undo();
    doc.scene.undo();
    QVERIFY(a->path()->rest == oldRest);
    QVERIFY(a->path()->current == deformed);
}

void TestSoftTypeCommands::addSoftTypeOwnership()
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
}

void TestSoftTypeCommands::removeSoftTypeReturnsToItsPlace()
{
    Document doc;
    Glyph *a = doc.glyphs.at(0);
    SoftType *first = new TestSoftType(QStringLiteral("one"));
    SoftType *second = new TestSoftType(QStringLiteral("two"));
    SoftType *third = new TestSoftType(QStringLiteral("three"));
    a->addSoftType(first);
    a->addSoftType(second);
    a->addSoftType(third);

    QVERIFY(doc.scene.executeCommand(new CmdRemoveSoftType(&doc.scene, a, QStringLiteral("one"))));
    QCOMPARE(a->softTypes(), QList<SoftType *>({second, third}));
    doc.scene.undo();
    QCOMPARE(a->softTypes(), QList<SoftType *>({first, second, third}));
    doc.scene.redo();
    QCOMPARE(a->softTypes(), QList<SoftType *>({second, third}));

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
    QCOMPARE(a->softTypes(), QList<SoftType *>({second}));
    doc.scene.undo();
    QCOMPARE(a->softTypes(), QList<SoftType *>({second, third}));
}

void TestSoftTypeCommands::editSoftType()
{
    Document doc;
    SoftType *pull = new SoftTypePull(QStringLiteral("pull-1"));
    doc.glyphs.at(0)->addSoftType(pull);
    const QHash<QString, QVariant> original = pull->values();

    // Equal values change nothing and leave no entry.
    QVERIFY(!doc.scene.executeCommand(new CmdEditSoftType(&doc.scene, pull, original)));
    QHash<QString, QVariant> same;
    same.insert(QStringLiteral("strength"), 400.0);
    QVERIFY(!doc.scene.executeCommand(new CmdEditSoftType(&doc.scene, pull, same)));
    QCOMPARE(doc.scene.history().size(), 0);

    // A change in the last digit is a change.
    QHash<QString, QVariant> nudged;
    nudged.insert(QStringLiteral("strength"), 400.00000000000006);
    QVERIFY(doc.scene.executeCommand(new CmdEditSoftType(&doc.scene, pull, nudged)));
    QVERIFY(pull->property("strength")->value().toDouble() == 400.00000000000006);
    doc.scene.undo();
    QVERIFY(pull->property("strength")->value().toDouble() == 400.0);
    doc.scene.clearHistory();

    QHash<QString, QVariant> edit;
    edit.insert(QStringLiteral("radius"), 30);
    edit.insert(QStringLiteral("attenuation"), 5.0);
    edit.insert(QStringLiteral("note"), QStringLiteral("new"));
    QVERIFY(doc.scene.executeCommand(new CmdEditSoftType(&doc.scene, pull, edit)));
    QCOMPARE(doc.scene.history().last()->text(), QStringLiteral("Edit Pull SoftType"));
    QCOMPARE(pull->radius(), 30);
    QCOMPARE(pull->property("attenuation")->value().toDouble(), 5.0);
    doc.scene.undo();
    QCOMPARE(pull->radius(), 0);
    QCOMPARE(pull->property("attenuation")->value().toDouble(), 25.0);
    // The property the edit created stays, with the value it gave it.
    QCOMPARE(pull->property("note")->value().toString(), QStringLiteral("new"));
    doc.scene.redo();
    QCOMPARE(pull->radius(), 30);
}

void TestSoftTypeCommands::displayTexts()
{
    Document doc;
    Glyph *a = doc.glyphs.at(0);
    a->addSoftType(new SoftTypeOriginateAsymptotic(QStringLiteral("oa")));
    SoftTypeTwirl *twirl = new SoftTypeTwirl(QStringLiteral("tw"));
    a->addSoftType(twirl);
    const CmdAddSoftType add(&doc.scene, a, new SoftTypeRubber(QStringLiteral("r")));
    QCOMPARE(add.text(), QStringLiteral("Add Rubber SoftType"));
    QCOMPARE(CmdAddSoftType(&doc.scene, a, nullptr).text(), QStringLiteral("Add SoftType"));
    QCOMPARE(CmdRemoveSoftType(&doc.scene, a, QStringLiteral("oa")).text(),
             QStringLiteral("Remove Originate asymptotic SoftType"));
    QCOMPARE(CmdRemoveSoftType(&doc.scene, a, QStringLiteral("none")).text(), QStringLiteral("Remove SoftType"));
    QCOMPARE(CmdEditSoftType(&doc.scene, twirl, {}).text(), QStringLiteral("Edit Twirl SoftType"));
    QCOMPARE(CmdSimulate(&doc.scene).text(), QStringLiteral("Apply SoftTypes"));
}

QTEST_MAIN(TestSoftTypeCommands)
#include "tst_softtypecommands.moc"
