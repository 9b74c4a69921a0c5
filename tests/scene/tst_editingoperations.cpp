#include "commands/Cmd.h"
#include "commands/CmdCombo.h"
#include "model/Caret.h"
#include "model/Glyph.h"
#include "model/GlyphIterator.h"
#include "model/QVorrelScene.h"
#include "model/Selection.h"
#include "model/TextGroup.h"
#include "softtypes/SoftType.h"
#include "softtypes/SoftTypeFactory.h"
#include "support/TestDocument.h"
#include "support/TreeCheck.h"
#include "support/TreeDump.h"

#include <QFontMetrics>
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

QString characters(TextObject *root)
{
    QString text;
    GlyphIterator it(root, TextIterator::Forward | TextIterator::PostOrder);
    while (it.hasNext())
        text += it.next()->character();
    return text;
}

// The SoftTypes on a glyph as name=radius.
QStringList softTypesOn(const Glyph *g)
{
    QStringList names;
    for (const SoftType *s : g->softTypes())
        names << QStringLiteral("%1=%2").arg(s->name()).arg(s->values().value(QStringLiteral("radius")).toInt());
    return names;
}

SoftType *pulse(const QString &name, int radius)
{
    SoftType *s = SoftTypeFactory::create(QStringLiteral("pulse"), name);
    s->setValues({{QStringLiteral("radius"), radius}});
    return s;
}

} // namespace

class TestEditingOperations : public QObject
{
    Q_OBJECT

private slots:
    void sequenceFileName_data();
    void sequenceFileName();
    void insertStringLineEnds_data();
    void insertStringLineEnds();
    void typingReplacesTheSelection();
    void backspace();
    void nothingMovedWithCaretOnSelectionAddsNothing();
    void insertGlyphsPastesClonesSelected();
    void arrangeSelected();
    void objectVisibleAndLocked();
    void addSoftTypeEditsExistingName();
    void pasteSoftTypesOncePerName();
    void editAndRemoveSoftTypes();
    void selectedSoftTypeKinds();
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
    Doc d;
    d.scene.setExportFileName(file);
    d.scene.setExportFrameNumber(frame);
    QTEST(d.scene.sequenceFileName(), "expected");
}

void TestEditingOperations::insertStringLineEnds_data()
{
    QTest::addColumn<QString>("text");
    QTest::newRow("CRLF") << QStringLiteral("Ab c\td\r\nef");
    QTest::newRow("LF") << QStringLiteral("Ab c\td\nef");
    QTest::newRow("CR") << QStringLiteral("Ab c\td\ref");
}

// A string is one entry, its line ends one line break each; undo restores
// the selection the typing cleared.
void TestEditingOperations::insertStringLineEnds()
{
    QFETCH(QString, text);
    Doc d;
    TextGroup *p = d.add(QStringLiteral("XY Z"), QPointF(0, 600));
    d.select({glyphAt(p, 3), p->child(0)});
    const TreeDump before = d.dump();
    const QPointF caret = d.scene.caret()->pos();
    d.scene.insertStringAtCaret(text);
    QCOMPARE(d.entries(), 1);
    QCOMPARE(d.lastText(), QStringLiteral("Insert String"));
    QVERIFY(d.selected().isEmpty());
    VERIFY_SCENE(&d.scene);
    TextGroup *typed = group(d.root->child(0) == p ? d.root->child(1) : d.root->child(0));
    QCOMPARE(characters(typed), QStringLiteral("Ab c\td") + QChar(Glyph::LineBreak) + QStringLiteral("ef"));
    // Words and the glyphs between them: Ab, space, c, tab, d, break, ef.
    QCOMPARE(typed->count(), 7);
    QCOMPARE(glyphAt(typed, 7)->pos(), QPointF(glyphAt(typed, 0)->x(), glyphAt(typed, 0)->y() +
                                                   QFontMetrics(d.scene.textFont()).lineSpacing()));
    const TreeDump after = d.dump();
    d.scene.undo();
    VERIFY_SAME_TREE(d.dump(), before);
    QCOMPARE(d.selected(), (Objects{glyphAt(p, 3), p->child(0)}));
    QCOMPARE(d.scene.caret()->pos(), caret);
    d.scene.redo();
    VERIFY_SAME_TREE(d.dump(), after);
    // A lone line feed is one line break too, typed as one glyph.
    d.scene.insertStringAtCaret(QStringLiteral("\n"));
    QCOMPARE(characters(typed).right(1), QString(QChar(Glyph::LineBreak)));
    QCOMPARE(d.lastText(), QStringLiteral("Insert Glyph"));
}

void TestEditingOperations::typingReplacesTheSelection()
{
    Doc d;
    d.scene.insertStringAtCaret(QString());
    d.scene.insertString(QString(), QPointF(5, 5), false);
    d.scene.insertGlyphs({});
    QCOMPARE(d.entries(), 0);
    // A string at a point of its own: its first glyph there, the rest after.
    d.scene.insertString(QStringLiteral("ab"), QPointF(300, 400), false);
    QCOMPARE(d.lastText(), QStringLiteral("Insert String"));
    TextGroup *passage = group(d.root->child(0));
    QCOMPARE(glyphAt(passage, 0)->pos(), QPointF(300, 400));
    QCOMPARE(glyphAt(passage, 1)->pos(), QPointF(300 + QFontMetrics(d.scene.textFont()).horizontalAdvance('a'), 400));
    // A typed character deselects in the same step.
    d.select({passage});
    d.scene.insertCharacterAtCaret(QLatin1Char('a'));
    QCOMPARE(d.entries(), 2);
    QCOMPARE(d.lastText(), QStringLiteral("Insert Glyph"));
    QVERIFY(d.selected().isEmpty());
    d.scene.undo();
    QCOMPARE(d.selected(), Objects{passage});
    QCOMPARE(characters(d.root), QStringLiteral("ab"));
}

void TestEditingOperations::backspace()
{
    Doc d;
    d.scene.insertStringAtCaret(QStringLiteral("ab"));
    d.scene.backspace();
    QCOMPARE(d.entries(), 2);
    QCOMPARE(d.lastText(), QStringLiteral("Remove Glyph"));
    QCOMPARE(characters(d.root), QStringLiteral("a"));
    // With a selection the removal deselects in the same step.
    TextGroup *passage = group(d.root->child(0));
    d.select({glyphAt(passage, 0)});
    d.scene.backspace();
    QCOMPARE(d.entries(), 3);
    QCOMPARE(d.root->count(), 0);
    d.scene.undo();
    QCOMPARE(d.selected().size(), 1);
    // At the start of the only passage there is nothing to remove.
    d.scene.moveCaretLeft();
    QVERIFY(!d.scene.textPointer().glyph);
    const int entries = d.entries();
    d.scene.backspace();
    QCOMPARE(d.entries(), entries);
    // Outside every passage the caret moves left, to the end of the text.
    d.scene.placeCaretAt(600, 600);
    d.scene.setTextPointer(TextPointer());
    d.scene.backspace();
    QCOMPARE(d.lastText(), QStringLiteral("Move Caret Left"));
    QCOMPARE(d.scene.textPointer().glyph, glyphAt(passage, 0));
    QCOMPARE(characters(d.root), QStringLiteral("a"));
}

void TestEditingOperations::nothingMovedWithCaretOnSelectionAddsNothing()
{
    Doc d;
    TextGroup *p = d.add(QStringLiteral("AB"));
    Glyph *b = glyphAt(p, 1);
    const QPointF atB = b->sceneBoundingRect().center();
    auto click = [&d](const QPointF &at) {
        d.scene.handleMousePress(QEvent::GraphicsSceneMousePress, at);
        d.scene.setMouseButtons(Qt::LeftButton);
        d.scene.handleMouseRelease(QEvent::GraphicsSceneMouseRelease, at, Qt::LeftButton, Qt::NoButton, Qt::NoModifier);
        d.scene.setMouseButtons(Qt::NoButton);
    };
    click(atB);
    QCOMPARE(d.scene.textPointer().glyph, b);
    d.select({p});
    const QPointF caret = d.scene.caret()->pos();
    const TreeDump before = d.dump();
    QSignalSpy changes(&d.scene, &QVorrelScene::documentChanged);
    // A plain click on the selected text: the press lands on the selection
    // and the release moves it by nothing. The same through the arrow keys'
    // and the menu's operations.
    click(atB);
    d.scene.moveSelected(0, 0);
    d.scene.rotateSelectedAboutCentre(0);
    // A double click on the caret's glyph selects it; the release that
    // follows moves nothing.
    d.scene.handleMouseDoubleClick(QEvent::GraphicsSceneMouseDoubleClick, atB, Qt::LeftButton, Qt::LeftButton,
                                   Qt::NoModifier);
    QCOMPARE(d.entries(), 2);
    QCOMPARE(d.lastText(), QStringLiteral("Select Object"));
    d.scene.handleMouseRelease(QEvent::GraphicsSceneMouseRelease, atB, Qt::LeftButton, Qt::NoButton, Qt::NoModifier);
    QCOMPARE(d.entries(), 2);
    QCOMPARE(changes.count(), 1);
    // A locked selection stays where it is, and so does the caret.
    d.select({p});
    b->lock();
    d.scene.moveSelected(10, 0);
    d.scene.rotateSelectedAboutCentre(30);
    QCOMPARE(d.entries(), 2);
    QCOMPARE(changes.count(), 1);
    QCOMPARE(d.scene.caret()->pos(), caret);
    b->unlock();
    VERIFY_SAME_TREE(d.dump(), before);
}

void TestEditingOperations::insertGlyphsPastesClonesSelected()
{
    Doc d;
    TextGroup *p = d.add(QStringLiteral("AB"));
    std::unique_ptr<Glyph> c1(glyphAt(p, 0)->cloneGlyph());
    std::unique_ptr<Glyph> c2(glyphAt(p, 1)->cloneGlyph());
    c1->setPos(500, 300);
    c2->setPos(560, 300);
    d.select({p});
    const TreeDump before = d.dump();
    d.scene.insertGlyphs({c1.get(), c2.get()});
    QCOMPARE(d.entries(), 1);
    QCOMPARE(d.lastText(), QStringLiteral("Insert Glyphs"));
    QCOMPARE(d.selected().size(), 2);
    auto *g1 = qobject_cast<Glyph *>(d.selected().at(0));
    auto *g2 = qobject_cast<Glyph *>(d.selected().at(1));
    QVERIFY(g1 && g2 && g1 != c1.get());
    QCOMPARE(g1->character(), QLatin1Char('A'));
    QCOMPARE(g1->scenePos(), QPointF(500, 300));
    QCOMPARE(g2->scenePos(), QPointF(560, 300));
    VERIFY_SCENE(&d.scene);
    d.scene.undo();
    VERIFY_SAME_TREE(d.dump(), before);
    QCOMPARE(d.selected(), Objects({p}));
}

void TestEditingOperations::arrangeSelected()
{
    Doc d;
    TextGroup *p1 = d.add(QStringLiteral("A"));
    TextGroup *p2 = d.add(QStringLiteral("B"), QPointF(0, 300));
    TextGroup *p3 = d.add(QStringLiteral("C"), QPointF(0, 500));
    d.select({p3});
    d.scene.arrangeSelected(3);
    QCOMPARE(d.lastText(), QStringLiteral("Send to Back"));
    QVERIFY(p3->zValue() < p1->zValue() && p3->zValue() < p2->zValue());
    const TreeDump before = d.dump();
    d.scene.arrangeSelected(4);
    d.scene.arrangeSelected(-1);
    QCOMPARE(d.entries(), 1);
    VERIFY_SAME_TREE(d.dump(), before);
    d.scene.undo();
    d.select({p1});
    d.scene.arrangeSelected(0);
    QCOMPARE(d.lastText(), QStringLiteral("Bring to Front"));
    QVERIFY(p1->zValue() > p2->zValue() && p1->zValue() > p3->zValue());
}

void TestEditingOperations::objectVisibleAndLocked()
{
    Doc d;
    TextGroup *p = d.add(QStringLiteral("AB CD"));
    TextGroup *w1 = group(p->child(0));
    TextGroup *w2 = group(p->child(2));
    Glyph *c = glyphAt(p, 3);
    // Hiding the selection: one step that deselects; nothing selected,
    // nothing to hide.
    d.select({w2, w1});
    const TreeDump before = d.dump();
    d.scene.hideSelected();
    QCOMPARE(d.lastText(), QStringLiteral("Hide"));
    QVERIFY(!w1->isVisible() && !w2->isVisible() && d.selected().isEmpty());
    d.scene.hideSelected();
    QCOMPARE(d.entries(), 1);
    d.scene.undo();
    VERIFY_SAME_TREE(d.dump(), before);
    QCOMPARE(d.selected(), Objects({w2, w1}));
    // One object: no entry when it is already so.
    d.select({c, w1});
    d.scene.setObjectVisible(p, true);
    QCOMPARE(d.entries(), 0);
    d.scene.setObjectVisible(p, false);
    QCOMPARE(d.lastText(), QStringLiteral("Hide"));
    QVERIFY(!p->isVisible() && d.selected().isEmpty());
    d.scene.setObjectVisible(p, false);
    QCOMPARE(d.entries(), 1);
    d.scene.setObjectVisible(p, true);
    QCOMPARE(d.lastText(), QStringLiteral("Show"));
    d.scene.undo();
    d.scene.undo();
    QCOMPARE(d.selected(), Objects({c, w1}));
    d.scene.setObjectLocked(nullptr, true);
    d.scene.setObjectVisible(nullptr, false);
    QCOMPARE(d.entries(), 0);

    // Locking takes only the glyphs not locked yet, each its own step of
    // one entry; unlocking takes them all.
    glyphAt(p, 1)->lock();
    d.select({w1, w2});
    d.scene.lockSelected();
    QCOMPARE(d.lastText(), QStringLiteral("Lock"));
    QCOMPARE(qobject_cast<CmdCombo *>(d.last())->count(), 3);
    d.scene.lockSelected();
    QCOMPARE(d.entries(), 1);
    d.scene.setObjectLocked(p, true); // the space is left to lock
    QCOMPARE(qobject_cast<CmdCombo *>(d.last())->count(), 1);
    d.scene.unlockSelected();
    QCOMPARE(d.lastText(), QStringLiteral("Unlock"));
    QCOMPARE(qobject_cast<CmdCombo *>(d.last())->count(), 4);
    QVERIFY(!w1->isLocked());
    d.scene.undo();
    d.scene.undo();
    d.scene.undo();
    for (int i = 0; i < 5; ++i)
        QCOMPARE(glyphAt(p, i)->isLocked(), i == 1);
    d.scene.setObjectLocked(w1, true);
    QVERIFY(w1->isLocked() && !c->isLocked());
    d.scene.setObjectLocked(p, false);
    QCOMPARE(d.lastText(), QStringLiteral("Unlock"));
    QVERIFY(!p->isLocked());
}

void TestEditingOperations::addSoftTypeEditsExistingName()
{
    Doc d;
    TextGroup *p = d.add(QStringLiteral("AB C"));
    Glyph *a = glyphAt(p, 0);
    Glyph *b = glyphAt(p, 1);
    b->addSoftType(pulse(QStringLiteral("pulse-1"), 10));
    d.select({p->child(0)});
    std::unique_ptr<SoftType> prototype(pulse(QStringLiteral("pulse-1"), 40));
    d.scene.addSoftType(prototype.get());
    QCOMPARE(d.entries(), 1);
    QCOMPARE(d.lastText(), QStringLiteral("Add Pulse SoftType"));
    QCOMPARE(softTypesOn(a), QStringList{"pulse-1=40"});
    QCOMPARE(softTypesOn(b), QStringList{"pulse-1=40"});
    // The copy is the prototype's clone: its own object, the same
    // parameters in the same order.
    QVERIFY(a->softTypes().first() != prototype.get());
    QCOMPARE(a->softTypes().first()->propertyNames(), prototype->propertyNames());
    d.scene.undo();
    QVERIFY(a->softTypes().isEmpty());
    QCOMPARE(softTypesOn(b), QStringList{"pulse-1=10"});
    // A locked glyph, or a word holding one, takes nothing.
    b->lock();
    d.scene.addSoftType(prototype.get());
    d.select({b});
    d.scene.addSoftType(prototype.get());
    d.scene.addSoftType(nullptr);
    QCOMPARE(d.entries(), 0);
    QVERIFY(a->softTypes().isEmpty());
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
    QCOMPARE(d.lastText(), QStringLiteral("Paste SoftTypes"));
    QCOMPARE(softTypesOn(a), (QStringList{"shared=30", "own=20"}));
    QCOMPARE(softTypesOn(b), (QStringList{"shared=30", "own=20"}));
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
    a->addSoftType(pulse(QStringLiteral("z"), 3));
    b->addSoftType(pulse(QStringLiteral("x"), 2));
    d.select({p});
    const TreeDump before = d.dump();
    d.scene.editSoftType(QStringLiteral("x"), {{QStringLiteral("radius"), 77}});
    QCOMPARE(d.lastText(), QStringLiteral("Edit Pulse SoftType"));
    QCOMPARE(softTypesOn(a), (QStringList{"x=77", "y=0", "z=3"}));
    QCOMPARE(softTypesOn(b), QStringList{"x=77"});
    d.scene.editSoftType(QStringLiteral("none"), {{QStringLiteral("radius"), 7}});
    d.scene.removeSoftType(QStringLiteral("y"));
    QCOMPARE(d.lastText(), QStringLiteral("Remove Clay SoftType"));
    QCOMPARE(softTypesOn(a), (QStringList{"x=77", "z=3"}));
    // By kind the name must match its case; nothing to remove, no entry.
    for (const QString &kind : {QStringLiteral("PULSE"), QString(), QStringLiteral("")})
        d.scene.removeSoftTypesOfKind(kind);
    QCOMPARE(d.entries(), 2);
    d.scene.removeSoftTypesOfKind(QStringLiteral("pulse"));
    QCOMPARE(d.lastText(), QStringLiteral("Remove Pulse SoftTypes"));
    QVERIFY(a->softTypes().isEmpty() && b->softTypes().isEmpty());
    d.scene.undo();
    d.scene.removeAllSoftTypes();
    QCOMPARE(d.lastText(), QStringLiteral("Remove All SoftTypes"));
    QVERIFY(a->softTypes().isEmpty() && b->softTypes().isEmpty());
    while (d.scene.canUndo())
        d.scene.undo();
    VERIFY_SAME_TREE(d.dump(), before);
}

void TestEditingOperations::selectedSoftTypeKinds()
{
    Doc d;
    TextGroup *p = d.add(QStringLiteral("AB CD"));
    Glyph *a = glyphAt(p, 0);
    a->addSoftType(pulse(QStringLiteral("p"), 1));
    a->addSoftType(SoftTypeFactory::create(QStringLiteral("clay"), QStringLiteral("c")));
    glyphAt(p, 3)->addSoftType(SoftTypeFactory::create(QStringLiteral("Twirl"), QStringLiteral("t")));
    glyphAt(p, 4)->addSoftType(pulse(QStringLiteral("p2"), 1));
    QCOMPARE(d.scene.selectedText(), QString());
    QVERIFY(d.scene.selectedSoftTypeKinds().isEmpty());
    // Selected later, the second word still comes first in the text.
    d.select({p->child(2), a});
    QCOMPARE(d.scene.selectedText(), QStringLiteral("ACD"));
    QCOMPARE(d.scene.selectedSoftTypeKinds(),
             QStringList({QStringLiteral("Twirl"), QStringLiteral("pulse"), QStringLiteral("clay")}));
}

QTEST_MAIN(TestEditingOperations)
#include "tst_editingoperations.moc"
