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
    QStringList namesOn(int glyph) const { return glyphs.at(glyph)->softTypeNames(); }
};

} // namespace

class TestSoftTypeCommands : public QObject
{
    Q_OBJECT
private slots:
    void playRunIsOneUndoStep();
    void glyphAddedDuringTheRunKeepsItsOutline();
    void lockedGlyphsAreNotRecordedHiddenOnesAre();
    void outlineCommandsUndoExactly();
    void addSoftTypeOwnership();
    void removeSoftTypeReturnsToItsPlace();
    void editSoftType();
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
    doc.glyphs.at(0)->lock();
    doc.glyphs.at(2)->lock();
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

void TestSoftTypeCommands::glyphAddedDuringTheRunKeepsItsOutline()
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

void TestSoftTypeCommands::outlineCommandsUndoExactly()
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
    QCOMPARE(CmdAddSoftType(&doc.scene, a, new SoftTypeRubber(QStringLiteral("r"))).text(),
             QStringLiteral("Add Rubber SoftType"));
    QCOMPARE(CmdAddSoftType(&doc.scene, a, nullptr).text(), QStringLiteral("Add SoftType"));
}

void TestSoftTypeCommands::removeSoftTypeReturnsToItsPlace()
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

void TestSoftTypeCommands::editSoftType()
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

QTEST_MAIN(TestSoftTypeCommands)
#include "tst_softtypecommands.moc"
