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
#include <QGraphicsRectItem>
#include <QSignalSpy>
#include <QtTest>
#include <cmath>
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

namespace {

using Objects = QList<TextObject *>;

// A document driven the way the view drives it: each event goes to the
// scene, then the view records the buttons it carried.
struct Pointer : TestDocument
{
    TextGroup *p = add(QStringLiteral("AB"));
    Glyph *a = glyph(p, 0);
    Glyph *b = glyph(p, 1);

    void press(const QPointF &at)
    {
        scene.handleMousePress(QEvent::GraphicsSceneMousePress, at);
        scene.setMouseButtons(Qt::LeftButton);
    }
    void move(const QPointF &at, Qt::KeyboardModifiers mods = Qt::NoModifier)
    {
        scene.handleMouseMove(QEvent::GraphicsSceneMouseMove, at, Qt::NoButton, scene.mouseButtons(), mods);
    }
    void release(const QPointF &at, Qt::KeyboardModifiers mods = Qt::NoModifier)
    {
        scene.handleMouseRelease(QEvent::GraphicsSceneMouseRelease, at, Qt::LeftButton, Qt::NoButton, mods);
        scene.setMouseButtons(Qt::NoButton);
    }
    void doubleClick(const QPointF &at, Qt::KeyboardModifiers mods = Qt::NoModifier)
    {
        scene.handleMouseDoubleClick(QEvent::GraphicsSceneMouseDoubleClick, at, Qt::LeftButton, Qt::LeftButton, mods);
    }
    void drag(const QPointF &from, const QPointF &to, Qt::KeyboardModifiers mods = Qt::NoModifier)
    {
        press(from);
        if (from != to)
            move(to, mods);
        release(to, mods);
    }
    QPointF centre() const { return scene.selection()->pos(); }
};

} // namespace

class TestSceneOperations : public QObject
{
    Q_OBJECT
private slots:
    void sequenceFileName_data();
    void sequenceFileName();
    void insertStringLineEnds_data();
    void insertStringLineEnds();
    void insertStringSurrogatePair();
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
    void clicksPlaceTheCaret();
    void caretFollowsMovedGlyph();
    void hoverPrefersSelectedObjects();
    void shortDragOnSelectionMovesNothing();
    void dragMovesSelectionAsOneEntry();
    void dragBackToStartLeavesNoPreview();
    void rotateHandleSnapsWithShift_data();
    void rotateHandleSnapsWithShift();
    void rubberBandSelectsBeyondTheThreshold();
    void selectionAreaOrdersCorners();
    void doubleClickWithSnappingSelectsGlyphUnderPointer();
    void playingReportsOnlyMousePosition();
    void releaseDuringPlayEndsRubberBand();
};

void TestSceneOperations::sequenceFileName_data()
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

void TestSceneOperations::sequenceFileName()
{
    QFETCH(QString, file);
    QFETCH(int, frame);
    Doc d;
    d.scene.setExportFileName(file);
    d.scene.setExportFrameNumber(frame);
    QTEST(d.scene.sequenceFileName(), "expected");
}

void TestSceneOperations::insertStringLineEnds_data()
{
    QTest::addColumn<QString>("text");
    QTest::newRow("CRLF") << QStringLiteral("Ab c\td\r\nef");
    QTest::newRow("LF") << QStringLiteral("Ab c\td\nef");
    QTest::newRow("CR") << QStringLiteral("Ab c\td\ref");
}

// A string is one entry, its line ends one line break each; undo restores
// the selection the typing cleared.
void TestSceneOperations::insertStringLineEnds()
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

// A character outside the Basic Multilingual Plane is one glyph; a lone
// surrogate is a glyph of its own.
void TestSceneOperations::insertStringSurrogatePair()
{
    Doc d;
    const QString emoji = QString::fromUcs4(U"\U0001F600", 1);
    d.scene.insertStringAtCaret(QLatin1Char('a') + emoji + QLatin1Char('b') + emoji.at(0));
    TextGroup *typed = group(d.root->child(0));
    QCOMPARE(group(typed->child(0))->count(), 4); // a, emoji, b, lone surrogate
    QCOMPARE(glyphAt(typed, 1)->text(), emoji);
}

void TestSceneOperations::typingReplacesTheSelection()
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

void TestSceneOperations::backspace()
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

void TestSceneOperations::nothingMovedWithCaretOnSelectionAddsNothing()
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

void TestSceneOperations::insertGlyphsPastesClonesSelected()
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

void TestSceneOperations::arrangeSelected()
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

void TestSceneOperations::objectVisibleAndLocked()
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

void TestSceneOperations::addSoftTypeEditsExistingName()
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

void TestSceneOperations::pasteSoftTypesOncePerName()
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

void TestSceneOperations::editAndRemoveSoftTypes()
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

void TestSceneOperations::selectedSoftTypeKinds()
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

void TestSceneOperations::clicksPlaceTheCaret()
{
    Pointer d;
    // On empty canvas: the caret there, outside the text, and the
    // selection cleared in the same step.
    d.select({d.b, d.a});
    d.drag(QPointF(400, 300), QPointF(400, 300));
    QCOMPARE(d.entries(), 1);
    QCOMPARE(d.lastText(), QStringLiteral("Move Caret"));
    QCOMPARE(d.scene.caret()->pos(), QPointF(400, 300));
    QVERIFY(!d.scene.textPointer().passage && d.selected().isEmpty());
    d.scene.undo();
    QCOMPARE(d.selected(), (Objects{d.b, d.a}));
    QCOMPARE(d.scene.caret()->pos(), QPointF(0, 100));
    // On a glyph: behind it.
    d.select({});
    d.drag(centreOf(d.a), centreOf(d.a));
    QCOMPARE(d.lastText(), QStringLiteral("Move Caret to Glyph"));
    QCOMPARE(d.scene.textPointer().glyph, d.a);
    // Snapping takes the press point, and only it, to the grid.
    d.scene.setGridSpacing(50);
    QCOMPARE(d.scene.snapPoint(QPointF(74, 10)), QPointF(74, 10));
    d.scene.setSnapFlags(1);
    QCOMPARE(d.scene.snapPoint(QPointF(76, 26)), QPointF(100, 50));
    d.drag(QPointF(74, 10), QPointF(74, 10));
    QCOMPARE(d.scene.pressPoint(), QPointF(50, 0));
    QCOMPARE(d.scene.caret()->pos(), QPointF(50, 0));
    // A Ctrl click on empty canvas selects nothing and leaves the caret.
    d.scene.setSnapFlags(0);
    d.select({d.a});
    d.drag(QPointF(-300, -300), QPointF(-300, -300), Qt::ControlModifier);
    QCOMPARE(d.selected(), Objects{d.a});
    QCOMPARE(d.scene.caret()->pos(), QPointF(50, 0));
    QCOMPARE(d.entries(), 2);
}

void TestSceneOperations::caretFollowsMovedGlyph()
{
    Pointer d;
    d.drag(centreOf(d.b), centreOf(d.b));
    const QPointF caret = d.scene.caret()->pos();
    const QPointF posB = d.b->pos();
    // Moving another glyph leaves the caret.
    d.select({d.a});
    d.scene.moveSelected(15, 0);
    QCOMPARE(d.scene.caret()->pos(), caret);
    d.scene.undo();
    // Moving its glyph takes the caret along, in the same step.
    d.select({d.p});
    d.drag(centreOf(d.b), centreOf(d.b) + QPointF(40, 20));
    QCOMPARE(d.entries(), 2);
    QCOMPARE(d.lastText(), QStringLiteral("Move Selection"));
    QCOMPARE(d.b->pos(), posB + QPointF(40, 20));
    QCOMPARE(d.scene.caret()->pos(), caret + QPointF(40, 20));
    QCOMPARE(d.scene.textPointer().glyph, d.b);
    d.scene.undo();
    QCOMPARE(d.b->pos(), posB);
    QCOMPARE(d.scene.caret()->pos(), caret);
    d.scene.redo();
    // Rotation by the menu takes the caret along in one step too.
    d.scene.rotateSelectedAboutCentre(90);
    QCOMPARE(d.entries(), 3);
    QCOMPARE(d.lastText(), QStringLiteral("Rotate Selection"));
    QVERIFY(d.scene.caret()->pos() != caret + QPointF(40, 20));
    d.scene.undo();
    QCOMPARE(d.scene.caret()->pos(), caret + QPointF(40, 20));
}

void TestSceneOperations::hoverPrefersSelectedObjects()
{
    Pointer d;
    d.move(centreOf(d.a));
    QCOMPARE(d.scene.hoveredObject(), d.a);
    QVERIFY(d.a->isHighlighted());
    // Over a selected passage the passage is hovered, not its glyph.
    d.select({d.p});
    d.move(centreOf(d.a));
    QCOMPARE(d.scene.hoveredObject(), d.p);
    QVERIFY(!d.a->isHighlighted());
    d.move(QPointF(-2000, -2000));
    QCOMPARE(d.scene.hoveredObject(), nullptr);
    QVERIFY(!d.p->isHighlighted());
    QCOMPARE(d.entries(), 0);
}

void TestSceneOperations::shortDragOnSelectionMovesNothing()
{
    Pointer d;
    d.select({d.p});
    const TreeDump before = d.dump();
    const QPointF from = centreOf(d.a);
    const QPointF centre = d.centre();
    // A press on the selection with a hand tremor of 2.9 units is a click.
    d.press(from);
    QVERIFY(d.scene.pressedOnSelection());
    d.move(from + QPointF(2.0, 2.1));
    QCOMPARE(d.centre(), centre);
    QVERIFY(!d.scene.selection()->isTransforming());
    d.release(from + QPointF(2.0, 2.1));
    QCOMPARE(d.entries(), 0);
    VERIFY_SAME_TREE(d.dump(), before);
    QVERIFY(!d.scene.pressedOnSelection());
}

void TestSceneOperations::dragMovesSelectionAsOneEntry()
{
    Pointer d;
    const QPointF posA = d.a->pos();
    const QPointF posB = d.b->pos();
    d.select({d.p});
    const QPointF from = centreOf(d.a);
    const QPointF centre = d.centre();
    d.press(from);
    d.move(from + QPointF(10, 5));
    // The preview follows the pointer; the text stays until the release.
    QCOMPARE(d.centre(), centre + QPointF(10, 5));
    QVERIFY(d.scene.selection()->isTransforming());
    QCOMPARE(d.a->pos(), posA);
    d.move(from + QPointF(40, 20));
    d.release(from + QPointF(40, 20));
    QCOMPARE(d.entries(), 1);
    QCOMPARE(d.lastText(), QStringLiteral("Move Selection"));
    QCOMPARE(d.a->pos(), posA + QPointF(40, 20));
    QCOMPARE(d.b->pos(), posB + QPointF(40, 20));
    QVERIFY(!d.scene.selection()->isTransforming());
    QCOMPARE(d.centre(), centre + QPointF(40, 20));
    VERIFY_SCENE(&d.scene);
    d.scene.undo();
    QCOMPARE(d.a->pos(), posA);
    // With Shift the move keeps to its larger axis.
    d.drag(centreOf(d.a), centreOf(d.a) + QPointF(30, 10), Qt::ShiftModifier);
    d.drag(centreOf(d.a), centreOf(d.a) + QPointF(-8, 25), Qt::ShiftModifier);
    QCOMPARE(d.a->pos(), posA + QPointF(30, 25));
    QCOMPARE(d.entries(), 2);
}

void TestSceneOperations::dragBackToStartLeavesNoPreview()
{
    Pointer d;
    d.select({d.p});
    const TreeDump before = d.dump();
    const QPointF from = centreOf(d.a);
    const QPointF centre = d.centre();
    d.press(from);
    d.move(from + QPointF(40, 0));
    // Back within the threshold the preview still follows the pointer.
    d.move(from + QPointF(1, 0));
    QCOMPARE(d.centre(), centre + QPointF(1, 0));
    d.move(from);
    d.release(from);
    QCOMPARE(d.entries(), 0);
    VERIFY_SAME_TREE(d.dump(), before);
    QCOMPARE(d.centre(), centre);
    QVERIFY(!d.scene.selection()->isTransforming());
    // The next short tremor is a click again.
    d.press(from);
    d.move(from + QPointF(2, 0));
    QCOMPARE(d.centre(), centre);
    d.release(from + QPointF(2, 0));
    QCOMPARE(d.entries(), 0);
}

void TestSceneOperations::rotateHandleSnapsWithShift_data()
{
    QTest::addColumn<double>("raw");
    QTest::addColumn<bool>("shift");
    QTest::addColumn<double>("degrees");
    QTest::newRow("0.2 rad snaps up") << 0.2 << true << 22.5;
    QTest::newRow("0.19 rad snaps down") << 0.19 << true << 0.0;
    QTest::newRow("-0.2 rad snaps down") << -0.2 << true << -22.5;
    QTest::newRow("0.6 rad snaps to 45") << 0.6 << true << 45.0;
    QTest::newRow("0.2 rad free") << 0.2 << false << 0.2 * 180 / M_PI;
}

void TestSceneOperations::rotateHandleSnapsWithShift()
{
    QFETCH(double, raw);
    QFETCH(bool, shift);
    QFETCH(double, degrees);
    Pointer d;
    d.select({d.p});
    const QRectF box = d.scene.selection()->sceneRect();
    const QPointF c = box.center();
    const QPointF handle = box.topLeft() + QPointF(2, 2);
    d.press(handle);
    QVERIFY(d.scene.pressedOnRotateHandle());
    QVERIFY(!d.scene.pressedOnSelection());
    // The same distance from the centre, turned by the raw angle.
    const double a0 = std::atan2(handle.y() - c.y(), handle.x() - c.x());
    const double radius = std::hypot(handle.x() - c.x(), handle.y() - c.y());
    const QPointF to = c + radius * QPointF(std::cos(a0 + raw), std::sin(a0 + raw));
    const Qt::KeyboardModifiers mods = shift ? Qt::ShiftModifier : Qt::NoModifier;
    d.move(to, mods);
    QVERIFY(qAbs(d.scene.selection()->rotation() - degrees) < 1e-3);
    d.release(to, mods);
    QCOMPARE(d.entries(), degrees == 0 ? 0 : 1);
    if (degrees != 0)
        QCOMPARE(d.lastText(), QStringLiteral("Rotate Selection"));
    QVERIFY(qAbs(d.a->rotation() - degrees) < 1e-3);
    QCOMPARE(d.scene.selection()->rotation(), 0.0);
    QVERIFY(!d.scene.pressedOnRotateHandle());
}

void TestSceneOperations::rubberBandSelectsBeyondTheThreshold()
{
    Pointer d;
    QSignalSpy areas(&d.scene, &QVorrelScene::selectionAreaChanged);
    d.press(QPointF(-100, -100));
    d.move(QPointF(-98, -98)); // 2.83 away
    QCOMPARE(areas.count(), 0);
    QVERIFY(!d.scene.selectionArea()->isVisible());
    d.move(QPointF(-40, -20));
    QCOMPARE(areas.count(), 1);
    QCOMPARE(areas.at(0).at(0).toRectF(), QRectF(-100, -100, 60, 80));
    QVERIFY(d.scene.selectionArea()->isVisible());
    d.release(QPointF(-40, -20));
    // The region holds no glyph: nothing selected, no entry; the band hides.
    QCOMPARE(d.entries(), 0);
    QCOMPARE(areas.count(), 2);
    QCOMPARE(areas.at(1).at(0).toRectF(), QRectF(0, 0, 0, 0));
    QVERIFY(!d.scene.selectionArea()->isVisible());

    // A band over the first glyph only; then Ctrl adds, Alt removes.
    const QRectF ra = d.a->sceneBoundingRect();
    const QPointF from = ra.topLeft() - QPointF(20, 20);
    const QPointF to(ra.center().x(), ra.bottom() + 10);
    d.drag(from, to);
    QCOMPARE(d.lastText(), QStringLiteral("Select Region"));
    QCOMPARE(d.selected(), Objects{d.a});
    d.drag(QPointF(ra.right() + 1, from.y()), QPointF(d.b->sceneBoundingRect().right() + 20, to.y()),
           Qt::ControlModifier);
    QCOMPARE(d.selected(), (Objects{d.a, d.b}));
    d.drag(from, to, Qt::AltModifier);
    QCOMPARE(d.selected(), Objects{d.b});
    QCOMPARE(d.entries(), 3);
    VERIFY_SCENE(&d.scene);
}

void TestSceneOperations::selectionAreaOrdersCorners()
{
    Pointer d;
    QSignalSpy areas(&d.scene, &QVorrelScene::selectionAreaChanged);
    d.scene.setSelectionArea(10.5f, 20.25f, 100.75f, 50.5f);
    QCOMPARE(d.scene.selectionArea()->rect(), QRectF(10.5, 20.25, 90.25, 30.25));
    // Swapped corners: the larger coordinate loses its fraction.
    d.scene.setSelectionArea(100.75f, 50.5f, 10.5f, 20.25f);
    QCOMPARE(d.scene.selectionArea()->rect(), QRectF(10.5, 20.25, 89.5, 29.75));
    QVERIFY(d.scene.selectionArea()->isVisible());
    // A line is still shown; a point is not.
    d.scene.setSelectionArea(5, 5, 5, 40);
    QVERIFY(d.scene.selectionArea()->isVisible());
    d.scene.setSelectionArea(5, 5, 5, 5);
    QVERIFY(!d.scene.selectionArea()->isVisible());
    QCOMPARE(areas.count(), 4);
    QCOMPARE(areas.last().at(0).toRectF(), QRectF(5, 5, 0, 0));
}

void TestSceneOperations::doubleClickWithSnappingSelectsGlyphUnderPointer()
{
    Pointer d;
    d.doubleClick(QPointF(-500, -500));
    QCOMPARE(d.entries(), 0);
    QVERIFY(!d.scene.pressedOnSelection());
    d.doubleClick(centreOf(d.a));
    QCOMPARE(d.lastText(), QStringLiteral("Select Object"));
    QCOMPARE(d.selected(), Objects{d.a});
    QVERIFY(d.scene.pressedOnSelection());
    d.release(centreOf(d.a));
    QVERIFY(!d.scene.pressedOnSelection());
    // Alt deselects by point.
    d.doubleClick(centreOf(d.a), Qt::AltModifier);
    QVERIFY(d.selected().isEmpty());
    QCOMPARE(d.entries(), 2);
    // The grid point (1000, 1000) lies beside the text.
    d.scene.setGridSpacing(1000);
    d.scene.setSnapFlags(1);
    QVERIFY(!d.scene.glyphAt(d.scene.snapPoint(centreOf(d.b))));
    d.doubleClick(centreOf(d.b));
    QCOMPARE(d.selected(), Objects{d.b});
    QCOMPARE(d.entries(), 3);
}

void TestSceneOperations::playingReportsOnlyMousePosition()
{
    Pointer d;
    d.select({d.p});
    const QPointF centre = d.centre();
    d.scene.setPlayStateValue(1);
    QSignalSpy positions(&d.scene, &QVorrelScene::mousePositionChanged);
    QSignalSpy areas(&d.scene, &QVorrelScene::selectionAreaChanged);
    QSignalSpy changes(&d.scene, &QVorrelScene::documentChanged);
    const TreeDump before = d.dump();
    // A drag from the selection and one from empty canvas.
    for (const QPointF &from : {centreOf(d.a), QPointF(-400, -400)}) {
        d.press(from);
        QVERIFY(!d.scene.pressedOnSelection());
        d.move(from + QPointF(30, 40));
        QCOMPARE(d.scene.mousePosition(), from + QPointF(30, 40));
        d.move(from + QPointF(60, 80));
        d.release(from + QPointF(60, 80));
        d.doubleClick(centreOf(d.a));
        d.release(centreOf(d.a));
    }
    QCOMPARE(positions.count(), 4);
    QCOMPARE(positions.last().at(0).toPointF(), QPointF(-340, -320));
    QCOMPARE(areas.count(), 0);
    QCOMPARE(changes.count(), 0);
    QCOMPARE(d.centre(), centre);
    QVERIFY(!d.scene.selection()->isTransforming());
    QCOMPARE(d.scene.hoveredObject(), nullptr);
    QCOMPARE(d.entries(), 0);
    VERIFY_SAME_TREE(d.dump(), before);
    QCOMPARE(d.selected(), Objects{d.p});
}

void TestSceneOperations::releaseDuringPlayEndsRubberBand()
{
    Pointer d;
    QSignalSpy areas(&d.scene, &QVorrelScene::selectionAreaChanged);
    // Play starts (Ctrl+Space) while a rubber band is being drawn over the
    // text; the button comes up during play.
    d.press(QPointF(-100, -100));
    d.move(QPointF(800, 800));
    QVERIFY(d.scene.selectionArea()->isVisible());
    d.scene.setPlayStateValue(1);
    d.release(QPointF(800, 800));
    // The gesture is over: its band is not left on the canvas, where it
    // would be drawn through the run and into exported frames.
    QVERIFY(!d.scene.selectionArea()->isVisible());
    QCOMPARE(areas.count(), 2);
    QCOMPARE(areas.last().at(0).toRectF(), QRectF(0, 0, 0, 0));
    d.scene.setPlayStateValue(0);
    // After play a Ctrl click far from the text selects nothing.
    d.press(QPointF(-900, -900));
    d.release(QPointF(-900, -900), Qt::ControlModifier);
    QVERIFY(d.selected().isEmpty() && !d.a->isSelected());
    QCOMPARE(d.entries(), 0);
}

QTEST_MAIN(TestSceneOperations)
#include "tst_sceneoperations.moc"
