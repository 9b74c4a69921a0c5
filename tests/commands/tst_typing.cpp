#include "commands/CmdCombo.h"
#include "commands/CmdInsertGlyph.h"
#include "commands/CmdMoveCaretGlyph.h"
#include "commands/CmdMoveCaretLeft.h"
#include "commands/CmdMoveCaretPoint.h"
#include "commands/CmdMoveCaretRight.h"
#include "commands/CmdRemoveGlyph.h"
#include "model/Caret.h"
#include "model/Glyph.h"
#include "model/GlyphIterator.h"
#include "model/QVorrelScene.h"
#include "model/TextGroup.h"
#include "model/TextIterator.h"
#include "support/TreeCheck.h"
#include "support/TreeDump.h"
#include "support/Typist.h"

#include <QFontMetrics>
#include <QPointer>
#include <QRandomGenerator>
#include <QtTest>

using Typist::shape;
using Typist::type;

namespace {

// The scene's default text style; built on use, after the application.
QFont arial()
{
    return QFont(QStringLiteral("Arial"), 72);
}

int adv(QChar c)
{
    return QFontMetrics(arial()).horizontalAdvance(c);
}

int lineSpacing()
{
    return QFontMetrics(arial()).lineSpacing();
}

TextGroup *passageAt(QVorrelScene &s, int i)
{
    return static_cast<TextGroup *>(s.root()->child(i));
}

TextGroup *childGroup(TextGroup *g, int i)
{
    return static_cast<TextGroup *>(g->child(i));
}

Glyph *glyphAt(TextGroup *g, int i)
{
    return static_cast<Glyph *>(g->child(i));
}

// The n-th glyph of the document, in reading order.
Glyph *nthGlyph(QVorrelScene &s, int n)
{
    GlyphIterator it(s.root(), TextIterator::Forward | TextIterator::PostOrder);
    for (Glyph *g = nullptr; it.hasNext();) {
        g = it.next();
        if (n-- == 0)
            return g;
    }
    return nullptr;
}

void caretBehind(QVorrelScene &s, int n)
{
    s.executeCommand(new CmdMoveCaretGlyph(&s, nthGlyph(s, n)));
}

QList<TextObject *> objectsOf(TextGroup *root)
{
    QList<TextObject *> objects;
    TextIterator it(root, TextIterator::Forward | TextIterator::PostOrder);
    while (it.hasNext())
        objects << it.next();
    return objects;
}

// Characters and positions only: cheap enough to compare after every step.
QString layoutOf(TextGroup *root)
{
    QString s;
    TextIterator it(root, TextIterator::Forward | TextIterator::PreOrder);
    while (it.hasNext()) {
        const TextObject *o = it.next();
        s += QStringLiteral("%1%2@%3,%4;").arg(o->textType()).arg(o->text()).arg(o->x(), 0, 'g', 17).arg(o->y(), 0, 'g', 17);
    }
    return s;
}

struct CaretState
{
    TextPointer pointer;
    QPointF caret;

    static CaretState of(const QVorrelScene &s) { return {s.textPointer(), s.caret()->pos()}; }
    bool operator==(const CaretState &o) const
    {
        return pointer.passage == o.pointer.passage && pointer.passageIndex == o.pointer.passageIndex
            && pointer.word == o.pointer.word && pointer.wordIndex == o.pointer.wordIndex
            && pointer.glyph == o.pointer.glyph && pointer.glyphIndex == o.pointer.glyphIndex && caret == o.caret;
    }
};

} // namespace

#define VERIFY_TEXT_POSITION(scene)                                                      \
    do {                                                                                 \
        const QString f_ = Typist::pointerFault(scene) + Typist::caretFault(scene);     \
        QVERIFY2(f_.isEmpty(), qPrintable(f_));                                          \
    } while (false)

class TestTyping : public QObject
{
    Q_OBJECT
private slots:
    void typingIntoEmptyDocumentCreatesPassageAndWord();
    void spaceAtWordEndStandsBetweenWords();
    void spaceInsideWordSplitsIt();
    void spaceBeforeWordDoesNotSplit();
    void returnMovesRestOfLineAndLaterLinesDown();
    void glyphAtOwnPositionMovesNothing();
    void unplaceableGlyphChangesNothingAndIsDeleted();
    void lineFeedBecomesLineBreak();
    void stringUndoRemovesExactlyWhatWasPlaced();
    void insertUndoRefusesWhenCaretIsElsewhere();

    void backspaceRemovesLastGlyphWordAndPassage();
    void backspaceAfterSpaceJoinsWords();
    void backspaceAfterLineBreakJoinsLines();
    void backspaceAfterLeadingLineBreakLiftsPassage();
    void backspaceAfterLineBreakFollowingBlankOfEarlierPassage();
    void backspaceAfterLeadingSpaceLeavesNoGlyph();
    void backspaceRemovesEmptiedWordInMiddle();
    void backspaceAtPassageStartChangesNothing();
    void backspaceEmptiesAdjacentWord();
    void backspaceTakesByIdentityNotByIndex();
    void backspaceInPassageWithoutFirstGlyph();
    void backspaceAtStartOfWordRightAfterAnotherWord();
    void spaceBetweenTouchingWordsUndoneKeepsThemApart();

    void commandsDeleteWhatTheyHold();

    void randomEditing();
};

void TestTyping::typingIntoEmptyDocumentCreatesPassageAndWord()
{
    QVorrelScene s(-32768, -32768, 65535, 65535);
    type(&s, QStringLiteral("a"));
    QCOMPARE(shape(s.root()), QStringLiteral("(a)"));
    Glyph *a = nthGlyph(s, 0);
    QCOMPARE(a->pos(), QPointF(0, 100));
    QCOMPARE(s.caret()->pos(), QPointF(adv('a'), 100));
    const TextPointer &t = s.textPointer();
    QCOMPARE(t.passage, s.root()->child(0));
    QCOMPARE(t.passageIndex, 0);
    QCOMPARE(t.word, passageAt(s, 0)->child(0));
    QCOMPARE(t.wordIndex, 0);
    QCOMPARE(t.glyph, a);
    QCOMPARE(t.glyphIndex, 0);
    QCOMPARE(s.history().size(), 1);
    QCOMPARE(s.history().first()->text(), QStringLiteral("Insert Glyph"));
}

void TestTyping::spaceAtWordEndStandsBetweenWords()
{
    QVorrelScene s(-32768, -32768, 65535, 65535);
    type(&s, QStringLiteral("ab "));
    QCOMPARE(shape(s.root()), QStringLiteral("(ab)_"));
    QCOMPARE(s.textPointer().word, nullptr);
    QCOMPARE(s.textPointer().wordIndex, 1);
    QCOMPARE(s.textPointer().glyph, passageAt(s, 0)->child(1));
    type(&s, QStringLiteral("c"));
    QCOMPARE(shape(s.root()), QStringLiteral("(ab)_(c)"));
    QCOMPARE(s.textPointer().word, passageAt(s, 0)->child(2));
    QCOMPARE(s.textPointer().wordIndex, 2);
    QCOMPARE(nthGlyph(s, 3)->pos(), QPointF(adv('a') + adv('b') + adv(' '), 100));
    VERIFY_SCENE(&s);
    VERIFY_TEXT_POSITION(&s);
}

void TestTyping::spaceInsideWordSplitsIt()
{
    QVorrelScene s(-32768, -32768, 65535, 65535);
    type(&s, QStringLiteral("hello"));
    caretBehind(s, 1);
    const TreeDump before = TreeDump::of(s.root());
    const QPointF caretBefore = s.caret()->pos();
    TextGroup *word = childGroup(passageAt(s, 0), 0);
    const double lx = nthGlyph(s, 2)->x();

    type(&s, QStringLiteral(" "));
    QCOMPARE(shape(s.root()), QStringLiteral("(he)_(llo)"));
    QCOMPARE(childGroup(passageAt(s, 0), 0), word);
    TextGroup *tail = childGroup(passageAt(s, 0), 2);
    QCOMPARE(nthGlyph(s, 3)->x(), lx + adv(' '));
    QCOMPARE(s.textPointer().word, tail);
    QCOMPARE(s.textPointer().wordIndex, 2);
    QCOMPARE(s.textPointer().glyphIndex, -1);
    QCOMPARE(s.textPointer().glyph, passageAt(s, 0)->child(1));
    QCOMPARE(s.caret()->pos(), QPointF(lx + adv(' '), 100));
    VERIFY_SCENE(&s);
    const TreeDump after = TreeDump::of(s.root());

    s.undo();
    QCOMPARE(shape(s.root()), QStringLiteral("(hello)"));
    VERIFY_SAME_TREE(TreeDump::of(s.root()), before);
    QCOMPARE(s.caret()->pos(), caretBefore);
    QCOMPARE(s.textPointer().glyph, nthGlyph(s, 1));
    QVERIFY(!tail->parentGroup());

    s.redo();
    VERIFY_SAME_TREE(TreeDump::of(s.root()), after);
    QCOMPARE(childGroup(passageAt(s, 0), 2), tail);
    VERIFY_TEXT_POSITION(&s);
}

void TestTyping::spaceBeforeWordDoesNotSplit()
{
    QVorrelScene s(-32768, -32768, 65535, 65535);
    type(&s, QStringLiteral("ab cd"));
    caretBehind(s, 2); // behind the space, before "cd"
    QCOMPARE(s.textPointer().glyphIndex, -1);
    TextGroup *cd = childGroup(passageAt(s, 0), 2);
    QCOMPARE(s.textPointer().word, cd);
    const double cx = nthGlyph(s, 3)->x();
    type(&s, QStringLiteral("\t"));
    QCOMPARE(shape(s.root()), QStringLiteral("(ab)_>(cd)"));
    QCOMPARE(childGroup(passageAt(s, 0), 3), cd);
    QCOMPARE(cd->child(0)->x(), cx + adv('\t'));
    QCOMPARE(s.textPointer().word, cd);
    QCOMPARE(s.textPointer().wordIndex, 3);
    VERIFY_TEXT_POSITION(&s);
}

void TestTyping::returnMovesRestOfLineAndLaterLinesDown()
{
    QVorrelScene s(-32768, -32768, 65535, 65535);
    type(&s, QStringLiteral("ab cd\ref"));
    const int ls = lineSpacing();
    QCOMPARE(nthGlyph(s, 6)->pos(), QPointF(0, 100 + ls));
    const TreeDump before = TreeDump::of(s.root());
    caretBehind(s, 0);
    type(&s, QStringLiteral("\r"));
    QCOMPARE(shape(s.root()), QStringLiteral("(a)|(b)_(cd)|(ef)"));
    QCOMPARE(nthGlyph(s, 2)->pos(), QPointF(0, 100 + ls));                             // b
    QCOMPARE(nthGlyph(s, 4)->pos(), QPointF(adv('b') + adv(' '), 100 + ls));          // c
    QCOMPARE(nthGlyph(s, 6)->pos(), QPointF(adv('b') + adv(' ') + adv('c') + adv('d'), 100 + ls)); // old break
    QCOMPARE(nthGlyph(s, 7)->pos(), QPointF(0, 100 + 2 * ls));                         // e
    QCOMPARE(nthGlyph(s, 8)->pos(), QPointF(adv('e'), 100 + 2 * ls));
    QCOMPARE(s.caret()->pos(), QPointF(0, 100 + ls));
    QCOMPARE(s.textPointer().word, passageAt(s, 0)->child(2));
    VERIFY_TEXT_POSITION(&s);
    s.undo();
    VERIFY_SAME_TREE(TreeDump::of(s.root()), before);
}

void TestTyping::glyphAtOwnPositionMovesNothing()
{
    QVorrelScene s(-32768, -32768, 65535, 65535);
    type(&s, QStringLiteral("ab"));
    caretBehind(s, 0);
    const QPointF b = nthGlyph(s, 1)->pos();
    const QPointF caretBefore = s.caret()->pos();
    Glyph *x = Typist::glyph(&s, 'x');
    x->setPos(300, 400);
    QVERIFY(s.executeCommand(new CmdInsertGlyph(&s, x, false)));
    QCOMPARE(shape(s.root()), QStringLiteral("(axb)"));
    QCOMPARE(x->pos(), QPointF(300, 400));
    QCOMPARE(nthGlyph(s, 2)->pos(), b);
    QCOMPARE(s.caret()->pos(), QPointF(300 + adv('x'), 400));

    Glyph *r = Typist::glyph(&s, '\r');
    r->setPos(500, 600);
    QVERIFY(s.executeCommand(new CmdInsertGlyph(&s, r, false)));
    QCOMPARE(nthGlyph(s, 3)->pos(), b);
    QCOMPARE(s.caret()->pos(), QPointF(0, 400 + lineSpacing()));
    s.undo();
    s.undo();
    QCOMPARE(shape(s.root()), QStringLiteral("(ab)"));
    QCOMPARE(nthGlyph(s, 1)->pos(), b);
    QCOMPARE(s.caret()->pos(), caretBefore);
}

void TestTyping::unplaceableGlyphChangesNothingAndIsDeleted()
{
    QVorrelScene s(-32768, -32768, 65535, 65535);
    QPointer<Glyph> nbsp = Typist::glyph(&s, QChar(0x00A0)); // no outline, not a separator
    QSignalSpy changed(&s, &QVorrelScene::documentChanged);
    QVERIFY(!s.executeCommand(new CmdInsertGlyph(&s, nbsp, true)));
    QVERIFY(nbsp.isNull());
    QCOMPARE(s.root()->count(), 0);
    QCOMPARE(s.history().size(), 0);
    QCOMPARE(changed.count(), 0);
    QCOMPARE(s.textPointer().passageIndex, -1);

    type(&s, QStringLiteral("ab"));
    const TreeDump before = TreeDump::of(s.root());
    const CaretState caret = CaretState::of(s);
    type(&s, QString(QChar(0x200B)));
    VERIFY_SAME_TREE(TreeDump::of(s.root()), before);
    QVERIFY(CaretState::of(s) == caret);
    QCOMPARE(s.history().size(), 2);
}

void TestTyping::lineFeedBecomesLineBreak()
{
    QVorrelScene s(-32768, -32768, 65535, 65535);
    type(&s, QStringLiteral("a\nb"));
    QCOMPARE(shape(s.root()), QStringLiteral("(a)|(b)"));
    QCOMPARE(nthGlyph(s, 1)->character().unicode(), ushort(13));
    QCOMPARE(nthGlyph(s, 2)->pos(), QPointF(0, 100 + lineSpacing()));
}

void TestTyping::stringUndoRemovesExactlyWhatWasPlaced()
{
    QVorrelScene s(-32768, -32768, 65535, 65535);
    type(&s, QStringLiteral("xy"));
    const TreeDump before = TreeDump::of(s.root());
    const CaretState caret = CaretState::of(s);
    auto *combo = new CmdCombo(&s, QStringLiteral("Insert String"));
    QPointer<Glyph> nbsp = Typist::glyph(&s, QChar(0x00A0));
    for (Glyph *g : {Typist::glyph(&s, ' '), Typist::glyph(&s, 'a'), nbsp.data(), Typist::glyph(&s, 'b')})
        combo->add(new CmdInsertGlyph(&s, g, true), false);
    QVERIFY(s.executeCommand(combo));
    QCOMPARE(shape(s.root()), QStringLiteral("(xy)_(ab)"));
    s.undo();
    VERIFY_SAME_TREE(TreeDump::of(s.root()), before);
    QVERIFY(CaretState::of(s) == caret);
    s.redo();
    QCOMPARE(shape(s.root()), QStringLiteral("(xy)_(ab)"));
    QVERIFY(!nbsp.isNull());
    s.clearHistory();
    QVERIFY(nbsp.isNull());
}

void TestTyping::insertUndoRefusesWhenCaretIsElsewhere()
{
    QVorrelScene s(-32768, -32768, 65535, 65535);
    type(&s, QStringLiteral("ab"));
    Cmd *insertB = s.history().last();
    caretBehind(s, 0);
    const TreeDump before = TreeDump::of(s.root());
    QVERIFY(!insertB->undo().documentChanged());
    VERIFY_SAME_TREE(TreeDump::of(s.root()), before);
}

void TestTyping::backspaceRemovesLastGlyphWordAndPassage()
{
    QVorrelScene s(-32768, -32768, 65535, 65535);
    type(&s, QStringLiteral("x"));
    s.executeCommand(new CmdMoveCaretPoint(&s, QPointF(0, 400)));
    type(&s, QStringLiteral("a"));
    QPointer<TextGroup> passage = passageAt(s, 1);
    QPointer<TextGroup> word = childGroup(passage, 0);
    QPointer<Glyph> a = glyphAt(word, 0);
    QVERIFY(Typist::backspace(&s));
    QCOMPARE(shape(s.root()), QStringLiteral("(x)"));
    auto *remove = static_cast<CmdRemoveGlyph *>(s.history().last());
    QCOMPARE(remove->removedGlyph(), a.data());
    QCOMPARE(remove->removedWord(), word.data());
    QCOMPARE(remove->removedPassage(), passage.data());
    QCOMPARE(s.textPointer().passage, nullptr);
    QCOMPARE(s.textPointer().passageIndex, 0);
    QCOMPARE(s.caret()->pos(), QPointF(0, 400));
    s.undo();
    QCOMPARE(s.root()->child(1), passage.data());
    QCOMPARE(passage->child(0), word.data());
    QCOMPARE(word->child(0), a.data());
    QCOMPARE(remove->removedGlyph(), nullptr);
    QCOMPARE(s.caret()->pos(), QPointF(adv('a'), 400));
    VERIFY_TEXT_POSITION(&s);
}

void TestTyping::backspaceAfterSpaceJoinsWords()
{
    QVorrelScene s(-32768, -32768, 65535, 65535);
    type(&s, QStringLiteral("ab cd"));
    const TreeDump before = TreeDump::of(s.root());
    QPointer<TextGroup> cd = childGroup(passageAt(s, 0), 2);
    caretBehind(s, 2);
    QVERIFY(Typist::backspace(&s));
    QCOMPARE(shape(s.root()), QStringLiteral("(abcd)"));
    QCOMPARE(nthGlyph(s, 2)->pos(), QPointF(adv('a') + adv('b'), 100));
    QCOMPARE(nthGlyph(s, 3)->pos(), QPointF(adv('a') + adv('b') + adv('c'), 100));
    QCOMPARE(s.caret()->pos(), QPointF(adv('a') + adv('b'), 100));
    QCOMPARE(s.textPointer().glyph, nthGlyph(s, 1));
    QCOMPARE(s.textPointer().glyphIndex, 1);
    QVERIFY(cd && !cd->parentGroup());
    QCOMPARE(static_cast<CmdRemoveGlyph *>(s.history().last())->removedWord(), cd.data());
    VERIFY_TEXT_POSITION(&s);
    s.undo();
    QCOMPARE(childGroup(passageAt(s, 0), 2), cd.data());
    s.undo(); // the caret move
    VERIFY_SAME_TREE(TreeDump::of(s.root()), before);
}

void TestTyping::backspaceAfterLineBreakJoinsLines()
{
    QVorrelScene s(-32768, -32768, 65535, 65535);
    type(&s, QStringLiteral("ab\rcd\ref"));
    const int ls = lineSpacing();
    caretBehind(s, 2);
    QCOMPARE(s.caret()->pos(), QPointF(0, 100 + ls));
    QVERIFY(Typist::backspace(&s));
    QCOMPARE(shape(s.root()), QStringLiteral("(abcd)|(ef)"));
    const double end = adv('a') + adv('b');
    QCOMPARE(nthGlyph(s, 2)->pos(), QPointF(end, 100));
    QCOMPARE(nthGlyph(s, 4)->pos(), QPointF(end + adv('c') + adv('d'), 100));
    QCOMPARE(nthGlyph(s, 5)->pos(), QPointF(0, 100 + ls));
    QCOMPARE(s.caret()->pos(), QPointF(end, 100));
    VERIFY_TEXT_POSITION(&s);
}

void TestTyping::backspaceAfterLeadingLineBreakLiftsPassage()
{
    QVorrelScene s(-32768, -32768, 65535, 65535);
    type(&s, QStringLiteral("\rab"));
    const int ls = lineSpacing();
    QCOMPARE(nthGlyph(s, 1)->pos(), QPointF(0, 100 + ls));
    caretBehind(s, 0);
    QVERIFY(Typist::backspace(&s));
    QCOMPARE(shape(s.root()), QStringLiteral("(ab)"));
    QCOMPARE(nthGlyph(s, 0)->pos(), QPointF(0, 100));
    QCOMPARE(s.caret()->pos(), QPointF(0, 100));
    QCOMPARE(s.textPointer().glyph, nullptr);
    QCOMPARE(s.textPointer().word, passageAt(s, 0)->child(0));
    VERIFY_TEXT_POSITION(&s);
}

void TestTyping::backspaceAfterLineBreakFollowingBlankOfEarlierPassage()
{
    // The line break opens the second passage; the glyph before it is the
    // first passage's closing space. Only the second passage moves, up by
    // one line, and the caret goes up with it.
    QVorrelScene s(-32768, -32768, 65535, 65535);
    type(&s, QStringLiteral("a "));
    s.executeCommand(new CmdMoveCaretPoint(&s, QPointF(0, 400)));
    type(&s, QStringLiteral("\rb"));
    const int ls = lineSpacing();
    const TreeDump before = TreeDump::of(s.root());
    caretBehind(s, 2);
    QCOMPARE(s.caret()->pos(), QPointF(0, 400 + ls));
    QVERIFY(Typist::backspace(&s));
    QCOMPARE(shape(s.root()), QStringLiteral("(a)_ / (b)"));
    QCOMPARE(nthGlyph(s, 2)->pos(), QPointF(0, 400));
    QCOMPARE(nthGlyph(s, 1)->pos(), QPointF(adv('a'), 100));
    QCOMPARE(s.caret()->pos(), QPointF(0, 400));
    VERIFY_TEXT_POSITION(&s);
    s.undo();
    s.undo();
    VERIFY_SAME_TREE(TreeDump::of(s.root()), before);
}

void TestTyping::backspaceAfterLeadingSpaceLeavesNoGlyph()
{
    QVorrelScene s(-32768, -32768, 65535, 65535);
    type(&s, QStringLiteral("a "));
    s.executeCommand(new CmdMoveCaretPoint(&s, QPointF(0, 400)));
    type(&s, QStringLiteral(" b"));
    caretBehind(s, 2);
    QVERIFY(Typist::backspace(&s));
    QCOMPARE(shape(s.root()), QStringLiteral("(a)_ / (b)"));
    QCOMPARE(s.textPointer().glyph, nullptr);
    QCOMPARE(s.textPointer().passage, s.root()->child(1));
    QCOMPARE(s.textPointer().word, passageAt(s, 1)->child(0));
    QCOMPARE(nthGlyph(s, 2)->pos(), QPointF(0, 400));
    VERIFY_TEXT_POSITION(&s);
}

void TestTyping::backspaceRemovesEmptiedWordInMiddle()
{
    QVorrelScene s(-32768, -32768, 65535, 65535);
    type(&s, QStringLiteral("ab c de"));
    QPointer<TextGroup> c = childGroup(passageAt(s, 0), 2);
    caretBehind(s, 3);
    QVERIFY(Typist::backspace(&s));
    QCOMPARE(shape(s.root()), QStringLiteral("(ab)__(de)"));
    QVERIFY(c && !c->parentGroup());
    QCOMPARE(s.textPointer().glyph, passageAt(s, 0)->child(1));
    QCOMPARE(s.textPointer().word, nullptr);
    QCOMPARE(s.textPointer().wordIndex, 1);
    QCOMPARE(nthGlyph(s, 4)->x(), double(adv('a') + adv('b') + 2 * adv(' ')));
    VERIFY_TEXT_POSITION(&s);
}

void TestTyping::backspaceAtPassageStartChangesNothing()
{
    QVorrelScene s(-32768, -32768, 65535, 65535);
    type(&s, QStringLiteral("ab"));
    s.executeCommand(new CmdMoveCaretLeft(&s));
    s.executeCommand(new CmdMoveCaretLeft(&s));
    QCOMPARE(s.textPointer().glyph, nullptr);
    const int entries = s.history().size();
    QVERIFY(!Typist::backspace(&s));
    QCOMPARE(s.history().size(), entries);
    QCOMPARE(shape(s.root()), QStringLiteral("(ab)"));
    s.executeCommand(new CmdMoveCaretPoint(&s, QPointF(0, 400)));
    QVERIFY(!Typist::backspace(&s));
}

void TestTyping::backspaceEmptiesAdjacentWord()
{
    // Two words without a blank between them, as a document file may hold.
    QVorrelScene s(-32768, -32768, 65535, 65535);
    TextGroup *passage = new TextGroup;
    TextGroup *first = new TextGroup;
    TextGroup *second = new TextGroup;
    first->append(Typist::glyph(&s, 'a'));
    second->append(Typist::glyph(&s, 'b'));
    second->child(0)->setPos(adv('a'), 0);
    passage->append(first);
    passage->append(second);
    s.root()->append(passage);
    const TreeDump before = TreeDump::of(s.root());
    caretBehind(s, 1);
    QVERIFY(Typist::backspace(&s));
    QCOMPARE(shape(s.root()), QStringLiteral("(a)"));
    QCOMPARE(s.textPointer().word, first);
    QCOMPARE(s.textPointer().wordIndex, 0);
    QCOMPARE(s.textPointer().glyphIndex, 0);
    VERIFY_SCENE(&s);
    QVERIFY(Typist::backspace(&s));
    QCOMPARE(s.root()->count(), 0);
    s.undo();
    s.undo();
    s.undo();
    VERIFY_SAME_TREE(TreeDump::of(s.root()), before);
    QCOMPARE(passage->child(1), second);
}

void TestTyping::backspaceTakesByIdentityNotByIndex()
{
    QVorrelScene s(-32768, -32768, 65535, 65535);
    type(&s, QStringLiteral("ab cd"));
    Glyph *c = nthGlyph(s, 3);
    TextPointer stale = s.textPointer();
    stale.glyph = c;
    stale.glyphIndex = 7;
    stale.wordIndex = 5;
    s.setTextPointer(stale);
    QVERIFY(Typist::backspace(&s));
    QCOMPARE(shape(s.root()), QStringLiteral("(ab)_(d)"));
    QVERIFY(!c->parentGroup());

    // A glyph that is no longer in the document is not removed again.
    TextPointer gone = s.textPointer();
    gone.glyph = c;
    s.setTextPointer(gone);
    const TreeDump before = TreeDump::of(s.root());
    QVERIFY(!Typist::backspace(&s));
    VERIFY_SAME_TREE(TreeDump::of(s.root()), before);
}

void TestTyping::backspaceInPassageWithoutFirstGlyph()
{
    // Passages with a child that holds no glyph (an empty word from a
    // file): after the removal there is no first glyph to look at. The
    // glyph removed is a letter first in its passage, a space before the
    // empty word, and a space after it.
    QVorrelScene s(-32768, -32768, 65535, 65535);
    for (int variant = 0; variant < 3; ++variant) {
        TextGroup *passage = new TextGroup;
        TextGroup *empty = new TextGroup;
        Glyph *glyph = Typist::glyph(&s, variant == 0 ? 'a' : ' ');
        if (variant == 0) {
            passage->append(new TextGroup);
            childGroup(passage, 0)->append(glyph);
        } else {
            passage->append(glyph);
        }
        passage->insert(variant == 2 ? 0 : 1, empty);
        s.root()->append(passage);
        s.executeCommand(new CmdMoveCaretGlyph(&s, glyph));
        QVERIFY(Typist::backspace(&s));
        QCOMPARE(passage->count(), 1);
        QCOMPARE(passage->child(0), empty);
        QCOMPARE(s.textPointer().passage, passage);
        QCOMPARE(s.textPointer().glyph, nullptr);
        QCOMPARE(s.textPointer().word, empty);
        s.undo();
        QCOMPARE(passage->count(), 2);
        QCOMPARE(passage->firstGlyph(), glyph);
    }
}

void TestTyping::backspaceAtStartOfWordRightAfterAnotherWord()
{
    // Two words with no blank between them, as Remove Selection leaves them
    // when it takes out the space: the first letter of the second word goes
    // back into the second word on undo, not onto the end of the first.
    QVorrelScene s(-32768, -32768, 65535, 65535);
    type(&s, QStringLiteral("ab cd"));
    TextGroup *passage = passageAt(s, 0);
    TextGroup *cd = childGroup(passage, 2);
    delete s.removeChild(passage, passage->child(1));
    QCOMPARE(shape(s.root()), QStringLiteral("(ab)(cd)"));
    caretBehind(s, 2); // behind the c
    const TreeDump before = TreeDump::of(s.root());
    const CaretState caretBefore = CaretState::of(s);

    QVERIFY(Typist::backspace(&s));
    QCOMPARE(shape(s.root()), QStringLiteral("(ab)(d)"));
    QCOMPARE(childGroup(passage, 1), cd);
    const TreeDump after = TreeDump::of(s.root());

    s.undo();
    QCOMPARE(shape(s.root()), QStringLiteral("(ab)(cd)"));
    QCOMPARE(childGroup(passage, 1), cd);
    VERIFY_SAME_TREE(TreeDump::of(s.root()), before);
    QVERIFY(CaretState::of(s) == caretBefore);
    s.redo();
    VERIFY_SAME_TREE(TreeDump::of(s.root()), after);
}

void TestTyping::spaceBetweenTouchingWordsUndoneKeepsThemApart()
{
    // Undoing a space typed between two words that touch (no blank between
    // them) takes the space away and leaves the two words as they were.
    QVorrelScene s(-32768, -32768, 65535, 65535);
    type(&s, QStringLiteral("ab cd"));
    TextGroup *passage = passageAt(s, 0);
    delete s.removeChild(passage, passage->child(1));
    caretBehind(s, 1); // behind the b, at the end of "ab"
    const TreeDump before = TreeDump::of(s.root());
    const CaretState caretBefore = CaretState::of(s);

    type(&s, QStringLiteral(" "));
    QCOMPARE(shape(s.root()), QStringLiteral("(ab)_(cd)"));
    const TreeDump after = TreeDump::of(s.root());

    s.undo();
    QCOMPARE(shape(s.root()), QStringLiteral("(ab)(cd)"));
    VERIFY_SAME_TREE(TreeDump::of(s.root()), before);
    QVERIFY(CaretState::of(s) == caretBefore);
    s.redo();
    VERIFY_SAME_TREE(TreeDump::of(s.root()), after);
}

void TestTyping::commandsDeleteWhatTheyHold()
{
    QVorrelScene s(-32768, -32768, 65535, 65535);
    type(&s, QStringLiteral("a"));
    QPointer<Glyph> a = nthGlyph(s, 0);
    QPointer<TextGroup> word = passageAt(s, 0)->childAt(0) ? childGroup(passageAt(s, 0), 0) : nullptr;
    QPointer<TextGroup> passage = passageAt(s, 0);
    QVERIFY(Typist::backspace(&s));
    s.clearHistory(); // the removal held all three
    QVERIFY(a.isNull() && word.isNull() && passage.isNull());

    type(&s, QStringLiteral("b"));
    QPointer<Glyph> b = nthGlyph(s, 0);
    s.clearHistory(); // done: the document keeps the glyph
    QVERIFY(!b.isNull());
    type(&s, QStringLiteral("c"));
    QPointer<Glyph> c = nthGlyph(s, 1);
    s.undo();
    s.clearHistory(); // undone: the insertion held the glyph
    QVERIFY(c.isNull());
    QVERIFY(!b.isNull());
}

void TestTyping::randomEditing()
{
    QVorrelScene s(-32768, -32768, 65535, 65535);
    QRandomGenerator rng(20261206);
    const QString letters = QStringLiteral("abcdefghijklmnopqrstuvwxyzAEIOUW");
    int step = 0;
    for (int round = 0; round < 5; ++round) {
        s.clearHistory();
        const TreeDump first = TreeDump::of(s.root());
        const CaretState firstCaret = CaretState::of(s);
        for (int i = 0; i < 500; ++i, ++step) {
            const int roll = int(rng.bounded(100));
            if (roll < 36) {
                type(&s, QString(letters.at(int(rng.bounded(letters.size())))));
            } else if (roll < 44) {
                type(&s, QStringLiteral(" "));
            } else if (roll < 47) {
                type(&s, QStringLiteral("\t"));
            } else if (roll < 51) {
                type(&s, QStringLiteral("\r"));
            } else if (roll < 71) {
                Typist::backspace(&s);
            } else if (roll < 79) {
                s.executeCommand(new CmdMoveCaretLeft(&s));
            } else if (roll < 87) {
                s.executeCommand(new CmdMoveCaretRight(&s));
            } else if (roll < 93) {
                const int count = objectsOf(s.root()).size();
                if (Glyph *g = nthGlyph(s, int(rng.bounded(qMax(count, 1)))))
                    s.executeCommand(new CmdMoveCaretGlyph(&s, g));
            } else if (roll < 95) {
                s.executeCommand(new CmdMoveCaretPoint(&s, float(rng.bounded(2000.0) - 500),
                                                       float(rng.bounded(1500.0) - 200)));
            } else if (roll < 98) {
                // Undo and redo of the last step give back exactly what it made.
                if (!s.canUndo())
                    continue;
                const QString layout = layoutOf(s.root());
                const CaretState caret = CaretState::of(s);
                s.undo();
                VERIFY_SCENE(&s);
                VERIFY_TEXT_POSITION(&s);
                s.redo();
                QVERIFY2(layoutOf(s.root()) == layout, qPrintable(QStringLiteral("step %1").arg(step)));
                QVERIFY2(CaretState::of(s) == caret, qPrintable(QStringLiteral("step %1").arg(step)));
            } else {
                s.undo();
            }
            const QString fault = TreeCheck::sceneFault(&s) + Typist::pointerFault(&s) + Typist::caretFault(&s);
            QVERIFY2(fault.isEmpty(), qPrintable(QStringLiteral("step %1: %2 in %3").arg(step).arg(fault, shape(s.root()))));
        }
        const TreeDump last = TreeDump::of(s.root());
        const QList<TextObject *> lastObjects = objectsOf(s.root());
        const CaretState lastCaret = CaretState::of(s);
        const int done = s.historyIndex();
        QVERIFY(done > 200);
        while (s.canUndo())
            s.undo();
        VERIFY_SAME_TREE(TreeDump::of(s.root()), first);
        QVERIFY(CaretState::of(s) == firstCaret);
        for (int i = 0; i < done; ++i)
            s.redo();
        VERIFY_SAME_TREE(TreeDump::of(s.root()), last);
        QCOMPARE(objectsOf(s.root()), lastObjects);
        QVERIFY(CaretState::of(s) == lastCaret);
    }
}

QTEST_MAIN(TestTyping)
#include "tst_typing.moc"
