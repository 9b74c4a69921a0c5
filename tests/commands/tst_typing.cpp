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
#include "support/TreeBuilder.h"
#include "support/TreeCheck.h"
#include "support/TreeDump.h"
#include "support/Typist.h"

#include <QFontMetrics>
#include <QPointer>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <QtTest>

using Typist::shape;
using Typist::type;

namespace {

int adv(QChar c)
{
    return QFontMetrics(QFont(QStringLiteral("Arial"), 72)).horizontalAdvance(c);
}

QList<TextObject *> objectsOf(TextGroup *root)
{
    QList<TextObject *> objects;
    TextIterator it(root, TextIterator::Forward | TextIterator::PostOrder);
    while (it.hasNext())
        objects << it.next();
    return objects;
}

// Characters and positions only: cheap enough to keep after every step.
QVector<double> layoutOf(TextGroup *root)
{
    QVector<double> v;
    TextIterator it(root, TextIterator::Forward | TextIterator::PreOrder);
    while (it.hasNext()) {
        TextObject *o = it.next();
        v << (o->isGlyph() ? static_cast<Glyph *>(o)->character().unicode() : -1) << o->x() << o->y();
    }
    return v;
}

// The text position, the caret and the document's objects and layout. A
// glyph index between words (no word) is not used and not compared.
struct State
{
    TextPointer t;
    QPointF caret;
    QVector<double> layout;
    QList<TextObject *> objects;

    static State of(QVorrelScene &s) { return {s.textPointer(), s.caret()->pos(), layoutOf(s.root()), objectsOf(s.root())}; }
    bool operator==(const State &o) const
    {
        return t.passage == o.t.passage && t.passageIndex == o.t.passageIndex && t.word == o.t.word
            && t.wordIndex == o.t.wordIndex && t.glyph == o.t.glyph && (!t.word || t.glyphIndex == o.t.glyphIndex)
            && caret == o.caret && layout == o.layout && objects == o.objects;
    }
};

// A document typed from the default caret: '/' starts a new passage 300
// lower at x 0, and each '~' is typed as a space that is taken out at the
// end, leaving the words beside it touching.
struct Doc
{
    QVorrelScene s{-32768, -32768, 65535, 65535};

    explicit Doc(const QString &text = QString())
    {
        QList<int> touching;
        int glyphs = 0;
        for (const QChar c : text) {
            if (c == QLatin1Char('/')) {
                s.executeCommand(new CmdMoveCaretPoint(&s, QPointF(0, 100 + 300 * s.root()->count())));
                continue;
            }
            if (c == QLatin1Char('~'))
                touching.prepend(glyphs);
            type(&s, c == QLatin1Char('~') ? QStringLiteral(" ") : QString(c));
            ++glyphs;
        }
        for (int i : touching) {
            Glyph *blank = nth(i);
            TextGroup *passage = blank->parentGroup();
            delete s.removeChild(passage, blank);
            passage->relayout();
        }
    }
    // Passages built directly, laid out from (0, 100 + 300 i); "//" makes
    // an empty one.
    static Doc *built(const QString &text)
    {
        Doc *d = new Doc;
        for (const QString &p : text.split(QLatin1Char('/')))
            d->s.root()->append(p.isEmpty() ? new TextGroup
                                           : TreeBuilder::passage(p, d->s.textFont(), QPointF(0, 100 + 300 * d->s.root()->count())));
        return d;
    }
    Glyph *nth(int n)
    {
        GlyphIterator it(s.root(), TextIterator::Forward | TextIterator::PostOrder);
        while (it.hasNext()) {
            Glyph *g = it.next();
            if (n-- == 0)
                return g;
        }
        return nullptr;
    }
    bool exec(Cmd *c) { return s.executeCommand(c); }
    TextGroup *passage(int i) { return static_cast<TextGroup *>(s.root()->child(i)); }
    // Sn: at passage n's start; Gn: behind glyph n; Pn: outside, at
    // passage index n; Q: a click beside the text.
    void placeCaret(const QString &at)
    {
        const int n = at.mid(1).toInt();
        if (at[0] == 'G') {
            exec(new CmdMoveCaretGlyph(&s, nth(n)));
        } else if (at[0] == 'Q') {
            exec(new CmdMoveCaretPoint(&s, 12.5f, 700.25f));
        } else {
            TextPointer t;
            t.passageIndex = n;
            if (at[0] == 'S') {
                t.passage = passage(n);
                if (qobject_cast<TextGroup *>(passage(n)->firstChild()))
                    (t.word = passage(n)->firstChild(), t.wordIndex = 0);
                if (Glyph *first = passage(n)->firstGlyph())
                    s.placeCaretAt(float(first->x()), float(first->y()));
            }
            s.setTextPointer(t);
        }
    }
};

QString typingFault(QVorrelScene *s)
{
    return TreeCheck::sceneFault(s) + Typist::pointerFault(s) + Typist::caretFault(s) + Typist::layoutFault(s->root());
}

} // namespace

#define VERIFY_TYPING(s)                                                                                     \
    do {                                                                                                     \
        const QString f_ = typingFault(s);                                                                   \
        QVERIFY2(f_.isEmpty(), qPrintable(f_ + QStringLiteral(" in ") + shape((s)->root())));               \
    } while (false)

class TestTyping : public QObject
{
    Q_OBJECT
private slots:
    void edits_data();
    void edits();
    void glyphAtOwnPositionMovesNothing();
    void unplaceableGlyphChangesNothingAndIsDeleted();
    void stringUndoRemovesExactlyWhatWasPlaced();
    void backspaceTakesByIdentityNotByIndex();
    void backspaceInPassageWithoutFirstGlyph();
    void commandsDeleteWhatTheyHold();
    void caretMoves_data();
    void caretMoves();
    void walkRightThenLeftRetracesEveryPlace();
    void leftWithoutPassagesAddsNoEntry();
    void caretMovesMerge();
    void randomEditing();
};

void TestTyping::edits_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("behind"); // the glyph the caret stands behind, -1 where typing left it
    QTest::addColumn<QString>("keys"); // \b is a backspace
    QTest::addColumn<QString>("result");

    QTest::newRow("first letter") << "" << -1 << "a" << "(a)";
    QTest::newRow("space at word end") << "ab" << -1 << " c" << "(ab)_(c)";
    QTest::newRow("space splits a word") << "hello" << 1 << " " << "(he)_(llo)";
    QTest::newRow("tab before a word") << "ab cd" << 2 << "\t" << "(ab)_>(cd)";
    QTest::newRow("return moves the rest down") << "ab cd\ref" << 0 << "\r" << "(a)|(b)_(cd)|(ef)";
    QTest::newRow("lineFeedBecomesLineBreak") << "" << -1 << "a\nb" << "(a)|(b)";
    QTest::newRow("backspace joins words") << "ab cd" << 2 << "\b" << "(abcd)";
    QTest::newRow("backspace joins lines") << "ab\rcd\ref" << 2 << "\b" << "(abcd)|(ef)";
    QTest::newRow("backspace lifts a passage") << "\rab" << 0 << "\b" << "(ab)";
    QTest::newRow("backspaceAfterLineBreakFollowingBlankOfEarlierPassage") << "a /\rb" << 2 << "\b" << "(a)_ / (b)";
    QTest::newRow("backspace leaves no glyph") << "a / b" << 2 << "\b" << "(a)_ / (b)";
    QTest::newRow("backspace empties a word") << "ab c de" << 3 << "\b" << "(ab)__(de)";
    QTest::newRow("backspaceEmptiesAdjacentWord") << "a~b" << 1 << "\b\b" << "";
    QTest::newRow("backspaceAtStartOfWordRightAfterAnotherWord") << "ab~cd" << 2 << "\b" << "(ab)(d)";
    QTest::newRow("spaceBetweenTouchingWordsUndoneKeepsThemApart") << "ab~cd" << 1 << " " << "(ab)_(cd)";
}

// Each key is one command; after each the tree, text position, caret and
// layout agree, every passage keeps its anchor, and undo and redo give
// back exactly the same objects, places and caret.
void TestTyping::edits()
{
    QFETCH(QString, text);
    QFETCH(int, behind);
    QFETCH(QString, keys);
    Doc d(text);
    if (behind >= 0)
        d.exec(new CmdMoveCaretGlyph(&d.s, d.nth(behind)));
    const int entries = d.s.historyIndex();
    const State before = State::of(d.s);
    const TreeDump beforeDump = TreeDump::of(d.s.root());
    for (const QChar k : keys) {
        const int n = d.s.historyIndex();
        k == QLatin1Char('\b') ? void(Typist::backspace(&d.s)) : type(&d.s, k);
        QCOMPARE(d.s.historyIndex(), n + 1);
        VERIFY_TYPING(&d.s);
    }
    QTEST(shape(d.s.root()), "result");
    QCOMPARE(d.s.history().last()->text(), QString(keys.endsWith('\b') ? "Remove Glyph" : "Insert Glyph"));
    for (int i = 0; i < d.s.root()->count(); ++i)
        QCOMPARE(d.passage(i)->firstGlyph()->pos(), QPointF(0, 100 + 300 * i));
    const State after = State::of(d.s);
    const TreeDump afterDump = TreeDump::of(d.s.root());
    while (d.s.historyIndex() > entries)
        d.s.undo();
    VERIFY_SAME_TREE(TreeDump::of(d.s.root()), beforeDump);
    QVERIFY(State::of(d.s) == before);
    for (int i = 0; i < keys.size(); ++i)
        d.s.redo();
    VERIFY_SAME_TREE(TreeDump::of(d.s.root()), afterDump);
    QVERIFY(State::of(d.s) == after);
}

void TestTyping::glyphAtOwnPositionMovesNothing()
{
    Doc d(QStringLiteral("ab"));
    d.exec(new CmdMoveCaretGlyph(&d.s, d.nth(0)));
    const State before = State::of(d.s);
    const QPointF b = d.nth(1)->pos();
    Glyph *x = Typist::glyph(&d.s, 'x');
    x->setPos(300, 400);
    QVERIFY(d.exec(new CmdInsertGlyph(&d.s, x, false)));
    QCOMPARE(shape(d.s.root()), QStringLiteral("(axb)"));
    QCOMPARE(x->pos(), QPointF(300, 400));
    QCOMPARE(d.nth(2)->pos(), b);
    QCOMPARE(d.s.caret()->pos(), QPointF(300 + adv('x'), 400));
    Glyph *r = Typist::glyph(&d.s, '\r');
    r->setPos(500, 600);
    QVERIFY(d.exec(new CmdInsertGlyph(&d.s, r, false)));
    QCOMPARE(d.nth(3)->pos(), b);
    QCOMPARE(d.s.caret()->pos(), QPointF(0, 400 + QFontMetrics(r->font()).lineSpacing()));
    d.s.undo();
    d.s.undo();
    QVERIFY(State::of(d.s) == before);
}

void TestTyping::unplaceableGlyphChangesNothingAndIsDeleted()
{
    Doc d;
    QPointer<Glyph> nbsp = Typist::glyph(&d.s, QChar(0x00A0)); // no outline, not a separator
    QSignalSpy changed(&d.s, &QVorrelScene::documentChanged);
    QVERIFY(!d.exec(new CmdInsertGlyph(&d.s, nbsp, true)));
    QVERIFY(nbsp.isNull());
    QCOMPARE(d.s.root()->count(), 0);
    QCOMPARE(changed.count(), 0);
    QCOMPARE(d.s.textPointer().passageIndex, -1);

    type(&d.s, QStringLiteral("ab"));
    const State before = State::of(d.s);
    type(&d.s, QString(QChar(0x200B)));
    QVERIFY(State::of(d.s) == before);
    QCOMPARE(d.s.history().size(), 2);
}

void TestTyping::stringUndoRemovesExactlyWhatWasPlaced()
{
    Doc d(QStringLiteral("xy"));
    const State before = State::of(d.s);
    Cmd *insertY = d.s.history().last();
    auto *combo = new CmdCombo(&d.s, QStringLiteral("Insert String"));
    QPointer<Glyph> nbsp = Typist::glyph(&d.s, QChar(0x00A0));
    for (Glyph *g : {Typist::glyph(&d.s, ' '), Typist::glyph(&d.s, 'a'), nbsp.data(), Typist::glyph(&d.s, 'b')})
        combo->add(new CmdInsertGlyph(&d.s, g, true), false);
    QVERIFY(d.exec(combo));
    QCOMPARE(shape(d.s.root()), QStringLiteral("(xy)_(ab)"));
    d.s.undo();
    QVERIFY(State::of(d.s) == before);
    d.s.redo();
    QCOMPARE(shape(d.s.root()), QStringLiteral("(xy)_(ab)"));
    QVERIFY(!nbsp.isNull());
    // An insertion is not undone while the caret stands elsewhere.
    QVERIFY(!insertY->undo().documentChanged());
    QCOMPARE(shape(d.s.root()), QStringLiteral("(xy)_(ab)"));
    d.s.clearHistory();
    QVERIFY(nbsp.isNull());
}

void TestTyping::backspaceTakesByIdentityNotByIndex()
{
    Doc d(QStringLiteral("ab cd"));
    Glyph *c = d.nth(3);
    TextPointer stale = d.s.textPointer();
    stale.glyph = c;
    stale.glyphIndex = 7;
    stale.wordIndex = 5;
    d.s.setTextPointer(stale);
    QVERIFY(Typist::backspace(&d.s));
    QCOMPARE(shape(d.s.root()), QStringLiteral("(ab)_(d)"));
    QVERIFY(!c->parentGroup());

    // A glyph that is no longer in the document is not removed again.
    TextPointer gone = d.s.textPointer();
    gone.glyph = c;
    d.s.setTextPointer(gone);
    const State before = State::of(d.s);
    QVERIFY(!Typist::backspace(&d.s));
    QVERIFY(State::of(d.s) == before);
}

void TestTyping::backspaceInPassageWithoutFirstGlyph()
{
    // Passages with a child that holds no glyph (an empty word from a
    // file): after the removal there is no first glyph to look at. The
    // glyph removed is a letter first in its passage, a space before the
    // empty word, and a space after it.
    Doc d;
    for (int variant = 0; variant < 3; ++variant) {
        TextGroup *passage = new TextGroup;
        TextGroup *empty = new TextGroup;
        Glyph *glyph = Typist::glyph(&d.s, variant == 0 ? 'a' : ' ');
        if (variant == 0) {
            passage->append(new TextGroup);
            static_cast<TextGroup *>(passage->child(0))->append(glyph);
        } else {
            passage->append(glyph);
        }
        passage->insert(variant == 2 ? 0 : 1, empty);
        d.s.root()->append(passage);
        d.exec(new CmdMoveCaretGlyph(&d.s, glyph));
        QVERIFY(Typist::backspace(&d.s));
        QCOMPARE(passage->children(), QList<TextObject *>{empty});
        QCOMPARE(d.s.textPointer().passage, passage);
        QCOMPARE(d.s.textPointer().glyph, nullptr);
        QCOMPARE(d.s.textPointer().word, empty);
        d.s.undo();
        QCOMPARE(passage->count(), 2);
        QCOMPARE(passage->firstGlyph(), glyph);
    }
}

void TestTyping::commandsDeleteWhatTheyHold()
{
    Doc d(QStringLiteral("x/a"));
    QPointer<Glyph> a = d.nth(1);
    QPointer<TextGroup> word = a->parentGroup();
    QPointer<TextGroup> passage = d.passage(1);
    QVERIFY(Typist::backspace(&d.s));
    // The emptied passage goes; the caret stays where the letter stood.
    QCOMPARE(shape(d.s.root()), QStringLiteral("(x)"));
    QCOMPARE(d.s.textPointer().passage, nullptr);
    QCOMPARE(d.s.textPointer().passageIndex, 0);
    QCOMPARE(d.s.caret()->pos(), QPointF(0, 400));
    d.s.clearHistory(); // the removal held all three
    QVERIFY(a.isNull() && word.isNull() && passage.isNull());

    type(&d.s, QStringLiteral("b"));
    QPointer<Glyph> b = d.nth(1);
    d.s.clearHistory(); // done: the document keeps the glyph
    QVERIFY(!b.isNull());
    type(&d.s, QStringLiteral("c"));
    QPointer<Glyph> c = d.nth(2);
    d.s.undo();
    d.s.clearHistory(); // undone: the insertion held the glyph
    QVERIFY(c.isNull() && !b.isNull());
}

void TestTyping::caretMoves_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("start"); // as Doc::placeCaret takes it
    QTest::addColumn<QString>("moves"); // L, R; l, r: a move that must be refused
    QTest::addColumn<int>("glyph");     // the glyph before the caret, -1 none
    QTest::addColumn<int>("passageIndex");
    QTest::addColumn<int>("wordIndex");
    QTest::addColumn<int>("glyphIndex");

    QTest::newRow("left into previous passage") << "ab/cd" << "S1" << "L" << 1 << 0 << 0 << 1;
    QTest::newRow("left onto a closing break") << "ab\r/cd" << "S1" << "L" << 2 << 0 << 1 << 0;
    QTest::newRow("right over a leading blank") << " ab/ \tc" << "S0" << "R" << 0 << 0 << 1 << -1;
    QTest::newRow("right over two blanks") << " ab/ \tc" << "S1" << "R" << 3 << 1 << 0 << 0;
    QTest::newRow("right into next passage") << "ab/cd" << "G0" << "RR" << -1 << 1 << 0 << -1;
    QTest::newRow("right over a break") << "a\rbc" << "G0" << "R" << 1 << 0 << 2 << -1;
    QTest::newRow("nowhere left") << "ab" << "S0" << "l" << -1 << 0 << 0 << -1;
    QTest::newRow("nowhere right") << "ab" << "G1" << "r" << 1 << 0 << 0 << 1;
    QTest::newRow("to a letter") << "ab cd /e" << "G1" << "" << 1 << 0 << 0 << 1;
    QTest::newRow("to a space before a word") << "ab cd /e" << "G2" << "" << 2 << 0 << 2 << -1;
    QTest::newRow("to a closing space") << "ab cd /e" << "G5" << "" << 5 << 0 << 3 << -1;
    QTest::newRow("beside the text") << "ab/cd" << "Q" << "" << -1 << 1 << -1 << -1;
    QTest::newRow("beside the text, back into it") << "ab/cd" << "Q" << "rL" << 3 << 1 << 0 << 1;
    QTest::newRow("outOfRangePassageIndexIsClamped") << "ab/cd" << "P7" << "L" << 3 << 1 << 0 << 1;
    QTest::newRow("emptyPassagesAreSkipped left") << "ab//cd/" << "S2" << "L" << 1 << 0 << 0 << 1;
    QTest::newRow("emptyPassagesAreSkipped right") << "ab//cd/" << "S2" << "LR" << -1 << 2 << 0 << -1;
    QTest::newRow("emptyPassagesAreSkipped from an empty one right") << "ab//cd/" << "S1" << "R" << -1 << 2 << 0 << -1;
    QTest::newRow("emptyPassagesAreSkipped from an empty one left") << "ab//cd/" << "S1" << "L" << 1 << 0 << 0 << 1;
    QTest::newRow("emptyPassagesAreSkipped from the last") << "ab//cd/" << "S3" << "rL" << 3 << 2 << 0 << 1;
}

void TestTyping::caretMoves()
{
    QFETCH(QString, text);
    QFETCH(QString, start);
    QFETCH(QString, moves);
    QScopedPointer<Doc> d(Doc::built(text));
    d->placeCaret(start);
    const int entries = d->s.historyIndex();
    for (const QChar m : moves) {
        Cmd *c = m.toUpper() == 'L' ? static_cast<Cmd *>(new CmdMoveCaretLeft(&d->s)) : new CmdMoveCaretRight(&d->s);
        QCOMPARE(d->exec(c), m.isUpper());
    }
    QCOMPARE(d->s.historyIndex() - entries, moves.count(QRegularExpression("[LR]")));
    const TextPointer &t = d->s.textPointer();
    QFETCH(int, glyph);
    QCOMPARE(t.glyph, glyph < 0 ? nullptr : d->nth(glyph));
    QTEST(t.passageIndex, "passageIndex");
    QTEST(t.wordIndex, "wordIndex");
    QTEST(t.glyphIndex, "glyphIndex");
    const QString fault = Typist::pointerFault(&d->s) + Typist::caretFault(&d->s);
    QVERIFY2(fault.isEmpty(), qPrintable(fault));
}

void TestTyping::walkRightThenLeftRetracesEveryPlace()
{
    QScopedPointer<Doc> d(Doc::built(QStringLiteral("ab c\t\rd\r/ e f/g\rh")));
    d->placeCaret(QStringLiteral("S0"));
    QList<State> places{State::of(d->s)};
    while (d->exec(new CmdMoveCaretRight(&d->s))) {
        places << State::of(d->s);
        VERIFY_TYPING(&d->s);
    }
    // Every glyph is passed once, and each later passage is entered once.
    QCOMPARE(places.size(), 1 + 8 + 4 + 3 + 2);
    for (int i = places.size() - 2; i >= 0; --i) {
        QVERIFY(d->exec(new CmdMoveCaretLeft(&d->s)));
        QVERIFY2(State::of(d->s) == places.at(i), qPrintable(QString::number(i)));
    }
    QVERIFY(!d->exec(new CmdMoveCaretLeft(&d->s)));
}

void TestTyping::leftWithoutPassagesAddsNoEntry()
{
    Doc d;
    const QPointF caret = d.s.caret()->pos();
    QSignalSpy changed(&d.s, &QVorrelScene::documentChanged);
    QVERIFY(!d.exec(new CmdMoveCaretLeft(&d.s)));
    QVERIFY(!d.exec(new CmdMoveCaretRight(&d.s)));
    QVERIFY(!Typist::backspace(&d.s));
    QCOMPARE(d.s.caret()->pos(), caret);
    QCOMPARE(d.s.textPointer().passageIndex, -1);
    // Nor at a passage's start, nor behind a glyph outside the document.
    type(&d.s, QStringLiteral("ab"));
    d.exec(new CmdMoveCaretGlyph(&d.s, d.nth(0)));
    d.exec(new CmdMoveCaretLeft(&d.s));
    const int entries = d.s.historyIndex();
    QVERIFY(!Typist::backspace(&d.s));
    Glyph *loose = Typist::glyph(&d.s, 'z');
    QVERIFY(!d.exec(new CmdMoveCaretGlyph(&d.s, loose)));
    delete loose;
    QCOMPARE(d.s.historyIndex(), entries);
    QCOMPARE(changed.count(), entries);
    // An index beyond the passages types into a new last passage.
    TextPointer t;
    t.passageIndex = 7;
    d.s.setTextPointer(t);
    type(&d.s, QStringLiteral("x"));
    QCOMPARE(shape(d.s.root()), QStringLiteral("(ab) / (x)"));
    VERIFY_SCENE(&d.s);
}

void TestTyping::caretMovesMerge()
{
    Doc d(QStringLiteral("ab"));
    Glyph *a = d.nth(0);
    const State typed = State::of(d.s);
    for (int i = 1; i <= 3; ++i)
        QVERIFY(d.exec(new CmdMoveCaretPoint(&d.s, QPointF(10 * i, 20 * i))));
    QCOMPARE(d.s.history().size(), 3);
    QCOMPARE(d.s.history().last()->text(), QStringLiteral("Move Caret"));
    QCOMPARE(d.s.caret()->pos(), QPointF(30, 60));
    d.s.undo();
    QVERIFY(State::of(d.s) == typed);
    // Moves to one glyph merge; to another, or after another move, not.
    QVERIFY(d.exec(new CmdMoveCaretGlyph(&d.s, a)));
    QVERIFY(d.exec(new CmdMoveCaretGlyph(&d.s, a)));
    QCOMPARE(d.s.history().last()->text(), QStringLiteral("Move Caret to Glyph"));
    QVERIFY(d.exec(new CmdMoveCaretGlyph(&d.s, d.nth(1))));
    QVERIFY(d.exec(new CmdMoveCaretLeft(&d.s)));
    QVERIFY(d.exec(new CmdMoveCaretLeft(&d.s)));
    QCOMPARE(d.s.history().size(), 2 + 4);
    CmdMoveCaretGlyph toA(&d.s, a);
    CmdMoveCaretPoint point(&d.s, QPointF());
    QVERIFY(!toA.canMerge(&point) && !point.canMerge(&toA));
}

void TestTyping::randomEditing()
{
    // Seeded runs of typing, backspace and caret moves. After every step
    // the document is sound; every undo and redo gives back exactly the
    // state recorded at that point of the history.
    QVorrelScene s(-32768, -32768, 65535, 65535);
    QRandomGenerator rng(20261206);
    const QString letters = QStringLiteral("abcdefghijklmnopqrstuvwxyzAEIOUW");
    int step = 0;
    for (int round = 0; round < 5; ++round) {
        s.clearHistory();
        QList<State> states{State::of(s)};
        const TreeDump first = TreeDump::of(s.root());
        for (int i = 0; i < 500; ++i, ++step) {
            const int roll = int(rng.bounded(100));
            const bool stepsBack = roll >= 95;
            if (roll < 36) {
                type(&s, QString(letters.at(int(rng.bounded(letters.size())))));
            } else if (roll < 51) {
                type(&s, roll < 44 ? QStringLiteral(" ") : roll < 47 ? QStringLiteral("\t") : QStringLiteral("\r"));
            } else if (roll < 71) {
                Typist::backspace(&s);
            } else if (roll < 79) {
                s.executeCommand(new CmdMoveCaretLeft(&s));
            } else if (roll < 87) {
                s.executeCommand(new CmdMoveCaretRight(&s));
            } else if (roll < 93) {
                const QList<TextObject *> all = objectsOf(s.root());
                if (Glyph *g = qobject_cast<Glyph *>(all.value(int(rng.bounded(qMax(all.size(), 1))))))
                    s.executeCommand(new CmdMoveCaretGlyph(&s, g));
            } else if (roll < 95) {
                s.executeCommand(new CmdMoveCaretPoint(&s, float(rng.bounded(2000.0) - 500),
                                                       float(rng.bounded(1500.0) - 200)));
            } else if (roll < 98) {
                s.undo();
                s.redo();
            } else {
                s.undo();
            }
            const QString fault = typingFault(&s);
            QVERIFY2(fault.isEmpty(), qPrintable(QStringLiteral("step %1: %2 in %3").arg(step).arg(fault, shape(s.root()))));
            // states[i] is the state at history index i.
            const int at = s.historyIndex();
            if (stepsBack) {
                QVERIFY2(State::of(s) == states.at(at), qPrintable(QStringLiteral("step %1").arg(step)));
            } else if (s.history().size() == at) {
                states = states.mid(0, at);
                states << State::of(s);
            }
        }
        const TreeDump last = TreeDump::of(s.root());
        const int done = s.historyIndex();
        QVERIFY(done > 200);
        while (s.canUndo()) {
            s.undo();
            QVERIFY(State::of(s) == states.at(s.historyIndex()));
        }
        VERIFY_SAME_TREE(TreeDump::of(s.root()), first);
        for (int i = 0; i < done; ++i)
            s.redo();
        VERIFY_SAME_TREE(TreeDump::of(s.root()), last);
        QVERIFY(State::of(s) == states.at(done));
    }
}

QTEST_MAIN(TestTyping)
#include "tst_typing.moc"
