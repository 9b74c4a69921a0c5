#include "commands/Cmd.h"
#include "model/Caret.h"
#include "model/Glyph.h"
#include "model/GlyphIterator.h"
#include "model/Grid.h"
#include "model/QVorrelScene.h"
#include "model/Selection.h"
#include "model/TextGroup.h"
#include "support/TestDocument.h"
#include "support/TreeCheck.h"
#include "support/TreeDump.h"

#include <QFontMetrics>
#include <QSignalSpy>
#include <QtTest>

#include <memory>

namespace {

using Objects = QList<TextObject *>;

struct Doc : TestDocument
{
    Doc() { scene.setFont(arial); }

    void click(const QPointF &p, Qt::KeyboardModifiers mods = Qt::NoModifier)
    {
        drag(p, p, mods);
    }
    void drag(const QPointF &from, const QPointF &to, Qt::KeyboardModifiers mods = Qt::NoModifier)
    {
        const Qt::MouseButtons none = Qt::NoButton;
        scene.handleMousePress(QEvent::GraphicsSceneMousePress, from);
        scene.setMouseButtons(Qt::LeftButton);
        const Qt::MouseButtons left = Qt::LeftButton;
        if (from != to)
            scene.handleMouseMove(QEvent::GraphicsSceneMouseMove, to, Qt::NoButton, left, mods);
        scene.handleMouseRelease(QEvent::GraphicsSceneMouseRelease, to, Qt::LeftButton, none, mods);
        scene.setMouseButtons(Qt::NoButton);
    }
};

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

double advance(QChar c)
{
    return QFontMetrics(arial).horizontalAdvance(c);
}

} // namespace

class TestTypingOperations : public QObject
{
    Q_OBJECT

private slots:
    void clickOnEmptyCanvas();
    void clickOnEmptyCanvasDeselectsInSameStep();
    void clickOnGlyph();
    void snappedClickPlacesCaretOnGrid();
    void caretFollowsMovedGlyph();
    void caretStaysWhenItsGlyphIsNotMoved();
    void nothingMovedWithCaretOnSelectionAddsNothing();
    void insertStringIsOneEntry();
    void insertStringLineEnds_data();
    void insertStringLineEnds();
    void insertStringKeepsFirstPoint();
    void typingWithSelection();
    void emptyStringAddsNothing();
    void backspace();
    void insertGlyphsPastesClonesSelected();
};

void TestTypingOperations::clickOnEmptyCanvas()
{
    Doc d;
    d.add(QStringLiteral("AB"));
    d.click(QPointF(400, 300));
    QCOMPARE(d.entries(), 1);
    QCOMPARE(d.lastText(), QStringLiteral("Move Caret"));
    QCOMPARE(d.scene.caret()->pos(), QPointF(400, 300));
    QVERIFY(!d.scene.textPointer().passage);
}

void TestTypingOperations::clickOnEmptyCanvasDeselectsInSameStep()
{
    Doc d;
    TextGroup *p = d.add(QStringLiteral("AB"));
    d.select({glyphAt(p, 1), glyphAt(p, 0)});
    d.click(QPointF(400, 300));
    QCOMPARE(d.entries(), 1);
    QCOMPARE(d.lastText(), QStringLiteral("Move Caret"));
    QVERIFY(d.scene.selectedObjects().isEmpty());
    QCOMPARE(d.scene.caret()->pos(), QPointF(400, 300));
    d.scene.undo();
    QCOMPARE(d.scene.selectedObjects(), Objects({glyphAt(p, 1), glyphAt(p, 0)}));
    QCOMPARE(d.scene.caret()->pos(), QPointF(0, 100));
}

void TestTypingOperations::clickOnGlyph()
{
    Doc d;
    TextGroup *p = d.add(QStringLiteral("AB"));
    Glyph *a = glyphAt(p, 0);
    d.click(a->sceneBoundingRect().center());
    QCOMPARE(d.entries(), 1);
    QCOMPARE(d.lastText(), QStringLiteral("Move Caret to Glyph"));
    QCOMPARE(d.scene.textPointer().glyph, a);
}

void TestTypingOperations::snappedClickPlacesCaretOnGrid()
{
    Doc d;
    d.scene.setGridSpacing(50);
    d.scene.setSnapFlags(1);
    d.click(QPointF(74, 10));
    QCOMPARE(d.entries(), 1);
    QCOMPARE(d.scene.caret()->pos(), QPointF(50, 0));
}

void TestTypingOperations::caretFollowsMovedGlyph()
{
    Doc d;
    TextGroup *p = d.add(QStringLiteral("AB"));
    Glyph *b = glyphAt(p, 1);
    d.click(b->sceneBoundingRect().center());
    QCOMPARE(d.scene.textPointer().glyph, b);
    const QPointF caret = d.scene.caret()->pos();
    const QPointF posB = b->pos();
    d.select({p});

    const QPointF from = b->sceneBoundingRect().center();
    d.drag(from, from + QPointF(40, 20));
    QCOMPARE(d.entries(), 2);
    QCOMPARE(d.lastText(), QStringLiteral("Move Selection"));
    QCOMPARE(b->pos(), posB + QPointF(40, 20));
    QCOMPARE(d.scene.caret()->pos(), caret + QPointF(40, 20));
    QCOMPARE(d.scene.textPointer().glyph, b);

    d.scene.undo();
    QCOMPARE(b->pos(), posB);
    QCOMPARE(d.scene.caret()->pos(), caret);
    d.scene.redo();
    QCOMPARE(d.scene.caret()->pos(), caret + QPointF(40, 20));

    // Rotation by the menu takes the caret along in one step too.
    d.scene.rotateSelectedAboutCentre(90);
    QCOMPARE(d.entries(), 3);
    QCOMPARE(d.lastText(), QStringLiteral("Rotate Selection"));
    d.scene.undo();
    QCOMPARE(d.scene.caret()->pos(), caret + QPointF(40, 20));
}

void TestTypingOperations::caretStaysWhenItsGlyphIsNotMoved()
{
    Doc d;
    TextGroup *p = d.add(QStringLiteral("AB"));
    Glyph *a = glyphAt(p, 0);
    Glyph *b = glyphAt(p, 1);
    d.click(b->sceneBoundingRect().center());
    const QPointF caret = d.scene.caret()->pos();
    d.select({a});
    d.scene.moveSelected(15, 0);
    QCOMPARE(d.entries(), 2);
    QCOMPARE(d.scene.caret()->pos(), caret);
}

void TestTypingOperations::nothingMovedWithCaretOnSelectionAddsNothing()
{
    Doc d;
    TextGroup *p = d.add(QStringLiteral("AB"));
    Glyph *b = glyphAt(p, 1);
    d.click(b->sceneBoundingRect().center());
    QCOMPARE(d.scene.textPointer().glyph, b);
    d.select({p});
    const QPointF caret = d.scene.caret()->pos();
    const TreeDump before = d.dump();
    QSignalSpy changes(&d.scene, &QVorrelScene::documentChanged);

    // A plain click on the selected text: the press lands on the selection
    // and the release moves it by nothing.
    d.click(b->sceneBoundingRect().center());
    // The same through the arrow keys' and the menu's operations.
    d.scene.moveSelected(0, 0);
    d.scene.rotateSelectedAboutCentre(0);
    // A double click on the caret's glyph selects it; the release that
    // follows moves nothing.
    d.scene.handleMouseDoubleClick(QEvent::GraphicsSceneMouseDoubleClick, b->sceneBoundingRect().center(),
                                   Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
    QCOMPARE(d.entries(), 2);
    QCOMPARE(d.lastText(), QStringLiteral("Select Object"));
    d.scene.handleMouseRelease(QEvent::GraphicsSceneMouseRelease, b->sceneBoundingRect().center(), Qt::LeftButton,
                               Qt::NoButton, Qt::NoModifier);
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

void TestTypingOperations::insertStringIsOneEntry()
{
    Doc d;
    TextGroup *p = d.add(QStringLiteral("XY Z"), QPointF(0, 600));
    d.select({glyphAt(p, 3), p->child(0)});
    const TreeDump before = d.dump();
    const QPointF caret = d.scene.caret()->pos();

    d.scene.insertStringAtCaret(QStringLiteral("Ab c\td\nef"));
    QCOMPARE(d.entries(), 1);
    QCOMPARE(d.lastText(), QStringLiteral("Insert String"));
    QVERIFY(d.scene.selectedObjects().isEmpty());
    VERIFY_SCENE(&d.scene);
    TextGroup *typed = qobject_cast<TextGroup *>(d.root->child(0) == p ? d.root->child(1) : d.root->child(0));
    QVERIFY(typed);
    QCOMPARE(characters(typed), QStringLiteral("Ab c\td") + QChar(Glyph::LineBreak) + QStringLiteral("ef"));
    // Words and the glyphs between them: Ab, space, c, tab, d, break, ef.
    QCOMPARE(typed->count(), 7);
    QCOMPARE(glyphAt(typed, 1)->pos(), glyphAt(typed, 0)->pos() + QPointF(advance(QLatin1Char('A')), 0));
    const TreeDump after = d.dump();

    d.scene.undo();
    VERIFY_SAME_TREE(d.dump(), before);
    QCOMPARE(d.scene.selectedObjects(), Objects({glyphAt(p, 3), p->child(0)}));
    QCOMPARE(d.scene.caret()->pos(), caret);
    d.scene.redo();
    VERIFY_SAME_TREE(d.dump(), after);
    QVERIFY(d.scene.selectedObjects().isEmpty());
}

void TestTypingOperations::insertStringLineEnds_data()
{
    QTest::addColumn<QString>("text");
    QTest::newRow("CRLF") << QStringLiteral("a\r\nb");
    QTest::newRow("LF") << QStringLiteral("a\nb");
    QTest::newRow("CR") << QStringLiteral("a\rb");
}

void TestTypingOperations::insertStringLineEnds()
{
    QFETCH(QString, text);
    Doc d;
    d.scene.insertStringAtCaret(text);
    QCOMPARE(d.entries(), 1);
    QCOMPARE(characters(d.root), QStringLiteral("a") + QChar(Glyph::LineBreak) + QStringLiteral("b"));
    // The second line starts below the first.
    TextGroup *passage = qobject_cast<TextGroup *>(d.root->child(0));
    QVERIFY(glyphAt(passage, 2)->pos().y() > glyphAt(passage, 0)->pos().y());
    QCOMPARE(glyphAt(passage, 2)->pos().x(), glyphAt(passage, 0)->pos().x());

    // A lone line feed is one line break too.
    d.scene.insertStringAtCaret(QStringLiteral("\n"));
    QCOMPARE(characters(d.root).right(1), QString(QChar(Glyph::LineBreak)));
    QCOMPARE(d.lastText(), QStringLiteral("Insert Glyph"));
}

void TestTypingOperations::insertStringKeepsFirstPoint()
{
    Doc d;
    d.scene.insertString(QStringLiteral("ab"), QPointF(300, 400), false);
    QCOMPARE(d.entries(), 1);
    QCOMPARE(d.lastText(), QStringLiteral("Insert String"));
    TextGroup *passage = qobject_cast<TextGroup *>(d.root->child(0));
    QCOMPARE(glyphAt(passage, 0)->pos(), QPointF(300, 400));
    QCOMPARE(glyphAt(passage, 1)->pos(), QPointF(300 + advance(QLatin1Char('a')), 400));
}

void TestTypingOperations::typingWithSelection()
{
    Doc d;
    TextGroup *p = d.add(QStringLiteral("XY"), QPointF(0, 600));
    d.select({p});
    d.scene.insertCharacterAtCaret(QLatin1Char('a'));
    QCOMPARE(d.entries(), 1);
    QCOMPARE(d.lastText(), QStringLiteral("Insert Glyph"));
    QVERIFY(d.scene.selectedObjects().isEmpty());
    d.scene.undo();
    QCOMPARE(d.scene.selectedObjects(), Objects({p}));
    QCOMPARE(d.root->count(), 1);

    // One typed character through the string entry is an "Insert Glyph".
    d.scene.insertStringAtCaret(QStringLiteral("z"));
    QCOMPARE(d.lastText(), QStringLiteral("Insert Glyph"));
    QCOMPARE(d.entries(), 1);
}

void TestTypingOperations::emptyStringAddsNothing()
{
    Doc d;
    d.scene.insertStringAtCaret(QString());
    d.scene.insertString(QString(), QPointF(5, 5), false);
    d.scene.insertGlyphs({});
    QCOMPARE(d.entries(), 0);
    QCOMPARE(d.root->count(), 0);
}

void TestTypingOperations::backspace()
{
    Doc d;
    d.scene.insertStringAtCaret(QStringLiteral("ab"));
    QCOMPARE(d.entries(), 1);
    d.scene.backspace();
    QCOMPARE(d.entries(), 2);
    QCOMPARE(d.lastText(), QStringLiteral("Remove Glyph"));
    QCOMPARE(characters(d.root), QStringLiteral("a"));

    // With a selection the removal deselects in the same step.
    TextGroup *passage = qobject_cast<TextGroup *>(d.root->child(0));
    d.select({glyphAt(passage, 0)});
    d.scene.backspace();
    QCOMPARE(d.entries(), 3);
    QCOMPARE(d.lastText(), QStringLiteral("Remove Glyph"));
    QCOMPARE(d.root->count(), 0);
    d.scene.undo();
    QCOMPARE(characters(d.root), QStringLiteral("a"));
    QCOMPARE(d.scene.selectedObjects().size(), 1);

    // At the start of the only passage there is no glyph to remove and
    // nowhere further left to go.
    d.scene.moveCaretLeft();
    QVERIFY(!d.scene.textPointer().glyph);
    const int entries = d.entries();
    d.scene.backspace();
    QCOMPARE(characters(d.root), QStringLiteral("a"));
    QCOMPARE(d.entries(), entries);

    // Outside every passage the caret moves left, to the end of the text.
    d.click(QPointF(600, 600));
    QVERIFY(!d.scene.textPointer().passage);
    d.scene.backspace();
    QCOMPARE(d.lastText(), QStringLiteral("Move Caret Left"));
    QCOMPARE(d.scene.textPointer().glyph, glyphAt(passage, 0));
    QCOMPARE(characters(d.root), QStringLiteral("a"));
}

void TestTypingOperations::insertGlyphsPastesClonesSelected()
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
    QCOMPARE(d.scene.selectedObjects().size(), 2);
    auto *g1 = qobject_cast<Glyph *>(d.scene.selectedObjects().at(0));
    auto *g2 = qobject_cast<Glyph *>(d.scene.selectedObjects().at(1));
    QVERIFY(g1 && g2 && g1 != c1.get());
    QCOMPARE(g1->character(), QLatin1Char('A'));
    QCOMPARE(g1->scenePos(), QPointF(500, 300));
    QCOMPARE(g2->scenePos(), QPointF(560, 300));
    VERIFY_SCENE(&d.scene);
    d.scene.undo();
    VERIFY_SAME_TREE(d.dump(), before);
    QCOMPARE(d.scene.selectedObjects(), Objects({p}));
}

QTEST_MAIN(TestTypingOperations)
#include "tst_typingoperations.moc"
