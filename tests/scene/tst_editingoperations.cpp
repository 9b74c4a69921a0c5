#include "commands/Cmd.h"
#include "commands/CmdCombo.h"
#include "model/Glyph.h"
#include "model/QVorrelScene.h"
#include "model/TextGroup.h"
#include "softtypes/SoftType.h"
#include "softtypes/SoftTypeFactory.h"
#include "support/TestDocument.h"
#include "support/TreeCheck.h"
#include "support/TreeDump.h"

#include <QSignalSpy>
#include <QtTest>

#include <memory>

namespace {

using Objects = QList<TextObject *>;

using Doc = TestDocument;

Glyph *glyphAt(TextGroup *g, int index)
{
    return TestDocument::glyph(g, index);
}

QStringList namesOn(const Glyph *g)
{
    QStringList names;
    for (const SoftType *s : g->softTypes())
        names << s->name();
    return names;
}

SoftType *pulse(const QString &name, int radius)
{
    SoftType *s = SoftTypeFactory::create(QStringLiteral("pulse"), name);
    QHash<QString, QVariant> values;
    values.insert(QStringLiteral("radius"), radius);
    s->setValues(values);
    return s;
}

int radiusOf(Glyph *g, const QString &name)
{
    return g->findSoftType(name)->values().value(QStringLiteral("radius")).toInt();
}

} // namespace

class TestEditingOperations : public QObject
{
    Q_OBJECT

private slots:
    void sequenceFileName_data();
    void sequenceFileName();
    void arrangeSelected();
    void hideSelectedUndoesExactly();
    void lockSkipsLockedGlyphs();
    void objectVisibleAndLocked();
    void addSoftTypeEditsExistingName();
    void addSoftTypeOnLockedGlyphAddsNothing();
    void pasteSoftTypesOncePerName();
    void editAndRemoveSoftTypes();
    void removeSoftTypesOfKindMatchesCase();
    void queries();
    void removeAndSelect();
};

void TestEditingOperations::sequenceFileName_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<int>("frame");
    QTest::addColumn<QString>("expected");

    QTest::newRow("suffix") << "/out/clip.png" << 7 << "/out/clip_00007.png";
    QTest::newRow("no suffix") << "/out/clip" << 7 << "/out/clip_00007";
    QTest::newRow("two dots") << "/out/clip.take.tif" << 7 << "/out/clip_00007.tif";
    QTest::newRow("six digits") << "/out/clip.png" << 123456 << "/out/clip_123456.png";
    QTest::newRow("frame 0") << "/out/clip.png" << 0 << "/out/clip_00000.png";
}

void TestEditingOperations::sequenceFileName()
{
    QFETCH(QString, file);
    QFETCH(int, frame);
    QFETCH(QString, expected);
    Doc d;
    d.scene.setExportFileName(file);
    d.scene.setExportFrameNumber(frame);
    QCOMPARE(d.scene.sequenceFileName(), expected);
}

void TestEditingOperations::arrangeSelected()
{
    Doc d;
    TextGroup *p1 = d.add(QStringLiteral("A"));
    TextGroup *p2 = d.add(QStringLiteral("B"), QPointF(0, 300));
    TextGroup *p3 = d.add(QStringLiteral("C"), QPointF(0, 500));
    d.select({p3});
    d.scene.arrangeSelected(3);
    QCOMPARE(d.entries(), 1);
    QCOMPARE(d.last()->text(), QStringLiteral("Send to Back"));
    QVERIFY(p3->zValue() < p1->zValue());
    QVERIFY(p3->zValue() < p2->zValue());

    const TreeDump before = d.dump();
    d.scene.arrangeSelected(4);
    d.scene.arrangeSelected(-1);
    QCOMPARE(d.entries(), 1);
    VERIFY_SAME_TREE(d.dump(), before);

    d.scene.undo();
    d.select({p1});
    d.scene.arrangeSelected(0);
    QCOMPARE(d.last()->text(), QStringLiteral("Bring to Front"));
    QVERIFY(p1->zValue() > p2->zValue());
    QVERIFY(p1->zValue() > p3->zValue());
}

void TestEditingOperations::hideSelectedUndoesExactly()
{
    Doc d;
    TextGroup *p = d.add(QStringLiteral("AB CD"));
    TextGroup *w1 = group(p->child(0));
    TextGroup *w2 = group(p->child(2));
    d.select({w2, w1});
    const TreeDump before = d.dump();

    d.scene.hideSelected();
    QCOMPARE(d.entries(), 1);
    QCOMPARE(d.last()->text(), QStringLiteral("Hide"));
    QVERIFY(!w1->isVisible());
    QVERIFY(!w2->isVisible());
    QVERIFY(d.scene.selectedObjects().isEmpty());
    VERIFY_SCENE(&d.scene);

    d.scene.undo();
    VERIFY_SAME_TREE(d.dump(), before);
    QCOMPARE(d.scene.selectedObjects(), Objects({w2, w1}));
    d.scene.redo();
    QVERIFY(!w1->isVisible());
    QVERIFY(d.scene.selectedObjects().isEmpty());

    // Nothing selected: nothing to hide.
    d.scene.hideSelected();
    QCOMPARE(d.entries(), 1);
}

void TestEditingOperations::lockSkipsLockedGlyphs()
{
    Doc d;
    TextGroup *p = d.add(QStringLiteral("ABC"));
    TextGroup *w = group(p->child(0));
    glyphAt(p, 1)->lock();
    d.select({w});

    d.scene.lockSelected();
    QCOMPARE(d.entries(), 1);
    auto *combo = qobject_cast<CmdCombo *>(d.last());
    QVERIFY(combo);
    QCOMPARE(combo->text(), QStringLiteral("Lock"));
    QCOMPARE(combo->count(), 2);
    for (int i = 0; i < 3; ++i)
        QVERIFY(glyphAt(p, i)->isLocked());

    // Locking again finds nothing to do.
    d.scene.lockSelected();
    QCOMPARE(d.entries(), 1);

    d.scene.unlockSelected();
    QCOMPARE(d.entries(), 2);
    QCOMPARE(d.last()->text(), QStringLiteral("Unlock"));
    QCOMPARE(qobject_cast<CmdCombo *>(d.last())->count(), 3);
    QVERIFY(!w->isLocked());

    d.scene.undo();
    d.scene.undo();
    QVERIFY(!glyphAt(p, 0)->isLocked());
    QVERIFY(glyphAt(p, 1)->isLocked());
    QVERIFY(!glyphAt(p, 2)->isLocked());
}

void TestEditingOperations::objectVisibleAndLocked()
{
    Doc d;
    TextGroup *p = d.add(QStringLiteral("AB CD"));
    TextGroup *w1 = group(p->child(0));
    Glyph *c = glyphAt(p, 3);
    d.select({c, w1});

    d.scene.setObjectVisible(p, true);
    QCOMPARE(d.entries(), 0);

    d.scene.setObjectVisible(p, false);
    QCOMPARE(d.entries(), 1);
    QCOMPARE(d.last()->text(), QStringLiteral("Hide"));
    QVERIFY(!p->isVisible());
    QVERIFY(d.scene.selectedObjects().isEmpty());
    d.scene.setObjectVisible(p, false);
    QCOMPARE(d.entries(), 1);

    d.scene.setObjectVisible(p, true);
    QCOMPARE(d.last()->text(), QStringLiteral("Show"));
    QVERIFY(p->isVisible());
    d.scene.undo();
    d.scene.undo();
    QCOMPARE(d.scene.selectedObjects(), Objects({c, w1}));

    d.scene.setObjectLocked(w1, true);
    QCOMPARE(d.last()->text(), QStringLiteral("Lock"));
    QVERIFY(w1->isLocked());
    QVERIFY(!c->isLocked());
    // The space and the second word's glyphs are left to lock.
    d.scene.setObjectLocked(p, true);
    QCOMPARE(qobject_cast<CmdCombo *>(d.last())->count(), 3);
    d.scene.setObjectLocked(p, false);
    QCOMPARE(d.last()->text(), QStringLiteral("Unlock"));
    QVERIFY(!p->isLocked());
    d.scene.setObjectLocked(nullptr, true);
    d.scene.setObjectVisible(nullptr, false);
    QCOMPARE(d.entries(), 3);
}

void TestEditingOperations::addSoftTypeEditsExistingName()
{
    Doc d;
    TextGroup *p = d.add(QStringLiteral("AB"));
    Glyph *a = glyphAt(p, 0);
    Glyph *b = glyphAt(p, 1);
    b->addSoftType(pulse(QStringLiteral("pulse-1"), 10));
    d.select({p});

    std::unique_ptr<SoftType> prototype(pulse(QStringLiteral("pulse-1"), 40));
    d.scene.addSoftType(prototype.get());
    QCOMPARE(d.entries(), 1);
    QCOMPARE(d.last()->text(), QStringLiteral("Add Pulse SoftType"));
    QCOMPARE(namesOn(a), QStringList({QStringLiteral("pulse-1")}));
    QCOMPARE(namesOn(b), QStringList({QStringLiteral("pulse-1")}));
    QCOMPARE(radiusOf(a, QStringLiteral("pulse-1")), 40);
    QCOMPARE(radiusOf(b, QStringLiteral("pulse-1")), 40);
    // The copy is the prototype's clone: its own object, the same
    // parameters in the same order.
    QVERIFY(a->findSoftType(QStringLiteral("pulse-1")) != prototype.get());
    QCOMPARE(a->softTypes().first()->propertyNames(), prototype->propertyNames());

    d.scene.undo();
    QVERIFY(a->softTypes().isEmpty());
    QCOMPARE(radiusOf(b, QStringLiteral("pulse-1")), 10);
}

void TestEditingOperations::addSoftTypeOnLockedGlyphAddsNothing()
{
    Doc d;
    TextGroup *p = d.add(QStringLiteral("AB"));
    Glyph *a = glyphAt(p, 0);
    Glyph *b = glyphAt(p, 1);
    a->lock();
    d.select({a});
    std::unique_ptr<SoftType> prototype(pulse(QStringLiteral("pulse-2"), 5));
    d.scene.addSoftType(prototype.get());
    QCOMPARE(d.entries(), 0);
    QVERIFY(a->softTypes().isEmpty());

    // A word holding a locked glyph is locked as a whole.
    d.select({p});
    d.scene.addSoftType(prototype.get());
    QCOMPARE(d.entries(), 0);
    QVERIFY(b->softTypes().isEmpty());
    d.scene.addSoftType(nullptr);
    QCOMPARE(d.entries(), 0);
}

void TestEditingOperations::pasteSoftTypesOncePerName()
{
    Doc d;
    TextGroup *p = d.add(QStringLiteral("AB"));
    Glyph *a = glyphAt(p, 0);
    Glyph *b = glyphAt(p, 1);
    b->addSoftType(pulse(QStringLiteral("shared"), 1));
    d.select({a, b});

    // Copies of two glyphs carrying SoftTypes of the same names.
    QList<SoftType *> copies{pulse(QStringLiteral("shared"), 30), pulse(QStringLiteral("own"), 20),
                             pulse(QStringLiteral("shared"), 99), pulse(QStringLiteral("own"), 98)};
    const TreeDump before = d.dump();
    d.scene.pasteSoftTypes(copies);
    QCOMPARE(d.entries(), 1);
    QCOMPARE(d.last()->text(), QStringLiteral("Paste SoftTypes"));
    QCOMPARE(namesOn(a), QStringList({QStringLiteral("shared"), QStringLiteral("own")}));
    QCOMPARE(namesOn(b), QStringList({QStringLiteral("shared"), QStringLiteral("own")}));
    QCOMPARE(radiusOf(a, QStringLiteral("shared")), 30);
    QCOMPARE(radiusOf(b, QStringLiteral("shared")), 30);
    QCOMPARE(radiusOf(a, QStringLiteral("own")), 20);

    d.scene.undo();
    VERIFY_SAME_TREE(d.dump(), before);
    d.scene.pasteSoftTypes({});
    QCOMPARE(d.entries(), 0);
    qDeleteAll(copies);
}

void TestEditingOperations::editAndRemoveSoftTypes()
{
    Doc d;
    TextGroup *p = d.add(QStringLiteral("AB"));
    Glyph *a = glyphAt(p, 0);
    Glyph *b = glyphAt(p, 1);
    a->addSoftType(pulse(QStringLiteral("x"), 1));
    a->addSoftType(SoftTypeFactory::create(QStringLiteral("clay"), QStringLiteral("y")));
    b->addSoftType(pulse(QStringLiteral("x"), 2));
    d.select({p});
    const TreeDump before = d.dump();

    QHash<QString, QVariant> values;
    values.insert(QStringLiteral("radius"), 77);
    d.scene.editSoftType(QStringLiteral("x"), values);
    QCOMPARE(d.last()->text(), QStringLiteral("Edit Pulse SoftType"));
    QCOMPARE(radiusOf(a, QStringLiteral("x")), 77);
    QCOMPARE(radiusOf(b, QStringLiteral("x")), 77);
    d.scene.editSoftType(QStringLiteral("none"), values);
    QCOMPARE(d.entries(), 1);

    d.scene.removeSoftType(QStringLiteral("y"));
    QCOMPARE(d.last()->text(), QStringLiteral("Remove Clay SoftType"));
    QCOMPARE(namesOn(a), QStringList({QStringLiteral("x")}));

    d.scene.removeAllSoftTypes();
    QCOMPARE(d.last()->text(), QStringLiteral("Remove All SoftTypes"));
    QVERIFY(a->softTypes().isEmpty());
    QVERIFY(b->softTypes().isEmpty());
    QCOMPARE(d.entries(), 3);

    d.scene.undo();
    d.scene.undo();
    d.scene.undo();
    VERIFY_SAME_TREE(d.dump(), before);
}

void TestEditingOperations::removeSoftTypesOfKindMatchesCase()
{
    Doc d;
    TextGroup *p = d.add(QStringLiteral("A"));
    Glyph *a = glyphAt(p, 0);
    a->addSoftType(pulse(QStringLiteral("p"), 1));
    a->addSoftType(SoftTypeFactory::create(QStringLiteral("clay"), QStringLiteral("c")));
    a->addSoftType(pulse(QStringLiteral("q"), 1));
    d.select({a});

    d.scene.removeSoftTypesOfKind(QStringLiteral("PULSE"));
    QCOMPARE(d.entries(), 0);
    d.scene.removeSoftTypesOfKind(QStringLiteral("pulse"));
    QCOMPARE(d.entries(), 1);
    QCOMPARE(d.last()->text(), QStringLiteral("Remove Pulse SoftTypes"));
    QCOMPARE(namesOn(a), QStringList({QStringLiteral("c")}));
    d.scene.removeSoftTypesOfKind(QString());
    d.scene.removeSoftTypesOfKind(QStringLiteral(""));
    QCOMPARE(d.entries(), 1);
}

void TestEditingOperations::queries()
{
    Doc d;
    TextGroup *p = d.add(QStringLiteral("AB CD"));
    TextGroup *w2 = group(p->child(2));
    Glyph *a = glyphAt(p, 0);
    a->addSoftType(pulse(QStringLiteral("p"), 1));
    a->addSoftType(SoftTypeFactory::create(QStringLiteral("clay"), QStringLiteral("c")));
    glyphAt(p, 3)->addSoftType(SoftTypeFactory::create(QStringLiteral("Twirl"), QStringLiteral("t")));
    glyphAt(p, 4)->addSoftType(pulse(QStringLiteral("p2"), 1));

    QCOMPARE(d.scene.selectedText(), QString());
    QVERIFY(d.scene.selectedSoftTypeKinds().isEmpty());
    // Selected later, the second word still comes first in the text.
    d.select({w2, a});
    QCOMPARE(d.scene.selectedText(), QStringLiteral("ACD"));
    QCOMPARE(d.scene.selectedSoftTypeKinds(),
             QStringList({QStringLiteral("Twirl"), QStringLiteral("pulse"), QStringLiteral("clay")}));
}

void TestEditingOperations::removeAndSelect()
{
    Doc d;
    TextGroup *p = d.add(QStringLiteral("AB AD"));
    TextGroup *w1 = group(p->child(0));
    TextGroup *w2 = group(p->child(2));
    d.scene.selectAll(1, 3);
    QCOMPARE(d.scene.selectedObjects(), Objects({w1, w2}));
    d.scene.selectAll(1, 0);
    QVERIFY(d.scene.selectedObjects().isEmpty());
    d.select({glyphAt(p, 0)});
    d.scene.selectSame(1, 2);
    QCOMPARE(d.scene.selectedObjects().size(), 2);
    QVERIFY(d.scene.selectedObjects().contains(glyphAt(p, 3)));
    QCOMPARE(d.entries(), 3);

    d.select({glyphAt(p, 2)});
    const TreeDump before = d.dump();
    d.select({w1});
    d.scene.removeSelected();
    QCOMPARE(d.entries(), 4);
    QCOMPARE(p->count(), 2);
    VERIFY_SCENE(&d.scene);
    d.scene.undo();
    QCOMPARE(d.scene.selectedObjects(), Objects({w1}));
    d.select({glyphAt(p, 2)});
    VERIFY_SAME_TREE(d.dump(), before);
}

QTEST_MAIN(TestEditingOperations)
#include "tst_editingoperations.moc"
