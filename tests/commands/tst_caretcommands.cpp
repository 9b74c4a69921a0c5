#include "commands/CmdInsertGlyph.h"
#include "commands/CmdMoveCaretGlyph.h"
#include "commands/CmdMoveCaretLeft.h"
#include "commands/CmdMoveCaretPoint.h"
#include "commands/CmdMoveCaretRight.h"
#include "model/Caret.h"
#include "model/Glyph.h"
#include "model/QVorrelScene.h"
#include "model/TextGroup.h"
#include "support/TreeBuilder.h"
#include "support/TreeCheck.h"
#include "support/Typist.h"

#include <QFontMetrics>
#include <QSignalSpy>
#include <QtTest>

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

TextGroup *passageAt(QVorrelScene &s, int i)
{
    return static_cast<TextGroup *>(s.root()->child(i));
}

// Puts passages of text into the document, the i-th laid out from
// (0, 100 + 300 i), and the caret outside them.
void build(QVorrelScene &s, const QStringList &passages)
{
    for (int i = 0; i < passages.size(); ++i) {
        if (passages.at(i).isEmpty())
            s.root()->append(new TextGroup);
        else
            s.root()->append(TreeBuilder::passage(passages.at(i), arial(), QPointF(0, 100 + 300 * i)));
    }
}

// The caret at the start of passage i.
void caretAtStart(QVorrelScene &s, int i)
{
    TextPointer t;
    t.passage = s.root()->child(i);
    t.passageIndex = i;
    if (passageAt(s, i)->firstChild() && passageAt(s, i)->firstChild()->textType() == TextObject::GroupType) {
        t.word = passageAt(s, i)->firstChild();
        t.wordIndex = 0;
    }
    s.setTextPointer(t);
    if (Glyph *g = passageAt(s, i)->firstGlyph())
        s.placeCaretAt(float(g->x()), float(g->y()));
}

bool left(QVorrelScene &s)
{
    return s.executeCommand(new CmdMoveCaretLeft(&s));
}

bool right(QVorrelScene &s)
{
    return s.executeCommand(new CmdMoveCaretRight(&s));
}

struct Place
{
    TextObject *passage, *word, *glyph;
    int passageIndex, wordIndex, glyphIndex;
    QPointF caret;
    bool operator==(const Place &o) const
    {
        return passage == o.passage && word == o.word && glyph == o.glyph && passageIndex == o.passageIndex
            && wordIndex == o.wordIndex && glyphIndex == o.glyphIndex && caret == o.caret;
    }
};

Place placeOf(const QVorrelScene &s)
{
    const TextPointer &t = s.textPointer();
    return {t.passage, t.word, t.glyph, t.passageIndex, t.wordIndex, t.glyphIndex, s.caret()->pos()};
}

} // namespace

class TestCaretCommands : public QObject
{
    Q_OBJECT
private slots:
    void nowhereToGoAddsNoEntry();
    void leftWithoutPassagesAddsNoEntry();
    void leftFromPassageStartEntersPreviousPassageEnd();
    void leftFromPassageStartAfterLineBreak();
    void rightFromPassageStartOverBlank();
    void rightOverLastLetterEntersNextPassage();
    void rightOverLineBreakGoesToNextLine();
    void moveToGlyph();
    void moveToPoint();
    void walkRightThenLeftRetracesEveryPlace();
    void emptyPassagesAreSkipped();
    void outOfRangePassageIndexIsClamped();
    void undoRestoresEveryField();
    void pointMovesMerge();
    void glyphMovesMergeOnlyForTheSameGlyph();
    void moveAfterInsertIsItsOwnEntry();
};

void TestCaretCommands::nowhereToGoAddsNoEntry()
{
    QVorrelScene s(-32768, -32768, 65535, 65535);
    build(s, {QStringLiteral("ab")});
    caretAtStart(s, 0);
    QSignalSpy changed(&s, &QVorrelScene::documentChanged);
    QVERIFY(!left(s));
    s.executeCommand(new CmdMoveCaretGlyph(&s, passageAt(s, 0)->lastGlyph()));
    QVERIFY(!right(s));
    QCOMPARE(s.history().size(), 1);
    QCOMPARE(changed.count(), 1);
}

void TestCaretCommands::leftWithoutPassagesAddsNoEntry()
{
    QVorrelScene s(-32768, -32768, 65535, 65535);
    const QPointF caret = s.caret()->pos();
    QVERIFY(!left(s));
    QVERIFY(!right(s));
    QCOMPARE(s.history().size(), 0);
    QCOMPARE(s.caret()->pos(), caret);
    QCOMPARE(s.textPointer().passageIndex, -1);
}

void TestCaretCommands::leftFromPassageStartEntersPreviousPassageEnd()
{
    QVorrelScene s(-32768, -32768, 65535, 65535);
    build(s, {QStringLiteral("ab"), QStringLiteral("cd")});
    caretAtStart(s, 1);
    QVERIFY(left(s));
    TextGroup *ab = static_cast<TextGroup *>(passageAt(s, 0)->child(0));
    QCOMPARE(s.textPointer().passage, passageAt(s, 0));
    QCOMPARE(s.textPointer().passageIndex, 0);
    QCOMPARE(s.textPointer().word, ab);
    QCOMPARE(s.textPointer().wordIndex, 0);
    QCOMPARE(s.textPointer().glyph, ab->child(1));
    QCOMPARE(s.textPointer().glyphIndex, 1);
    QCOMPARE(s.caret()->pos(), QPointF(adv('a') + adv('b'), 100));
}

void TestCaretCommands::leftFromPassageStartAfterLineBreak()
{
    QVorrelScene s(-32768, -32768, 65535, 65535);
    build(s, {QStringLiteral("ab\r"), QStringLiteral("cd")});
    caretAtStart(s, 1);
    QVERIFY(left(s));
    QCOMPARE(s.textPointer().glyph, passageAt(s, 0)->child(1));
    QCOMPARE(s.textPointer().word, nullptr);
    QCOMPARE(s.textPointer().wordIndex, 1);
    QCOMPARE(s.textPointer().glyphIndex, 0);
    QCOMPARE(s.caret()->pos(), QPointF(0, 100 + QFontMetrics(arial()).lineSpacing()));
}

void TestCaretCommands::rightFromPassageStartOverBlank()
{
    QVorrelScene s(-32768, -32768, 65535, 65535);
    build(s, {QStringLiteral(" ab"), QStringLiteral(" \tc")});
    caretAtStart(s, 0);
    QVERIFY(right(s));
    QCOMPARE(s.textPointer().glyph, passageAt(s, 0)->child(0));
    QCOMPARE(s.textPointer().word, passageAt(s, 0)->child(1));
    QCOMPARE(s.textPointer().wordIndex, 1);
    QCOMPARE(s.textPointer().glyphIndex, -1);
    QCOMPARE(s.caret()->pos(), QPointF(adv(' '), 100));

    caretAtStart(s, 1);
    QVERIFY(right(s));
    QCOMPARE(s.textPointer().glyph, passageAt(s, 1)->child(0));
    QCOMPARE(s.textPointer().word, nullptr);
    QCOMPARE(s.textPointer().wordIndex, 0);
    QCOMPARE(s.textPointer().glyphIndex, 0);
    QCOMPARE(s.caret()->pos(), QPointF(adv(' '), 400));
}

void TestCaretCommands::rightOverLastLetterEntersNextPassage()
{
    QVorrelScene s(-32768, -32768, 65535, 65535);
    build(s, {QStringLiteral("ab"), QStringLiteral("cd")});
    s.executeCommand(new CmdMoveCaretGlyph(&s, passageAt(s, 0)->firstGlyph()));
    QVERIFY(right(s));
    QCOMPARE(s.textPointer().glyph, passageAt(s, 0)->lastGlyph());
    QVERIFY(right(s));
    QCOMPARE(s.textPointer().passage, passageAt(s, 1));
    QCOMPARE(s.textPointer().passageIndex, 1);
    QCOMPARE(s.textPointer().word, passageAt(s, 1)->child(0));
    QCOMPARE(s.textPointer().wordIndex, 0);
    QCOMPARE(s.textPointer().glyph, nullptr);
    QCOMPARE(s.textPointer().glyphIndex, -1);
    QCOMPARE(s.caret()->pos(), QPointF(0, 400));
}

void TestCaretCommands::rightOverLineBreakGoesToNextLine()
{
    QVorrelScene s(-32768, -32768, 65535, 65535);
    build(s, {QStringLiteral("a\rbc")});
    s.executeCommand(new CmdMoveCaretGlyph(&s, passageAt(s, 0)->firstGlyph()));
    QVERIFY(right(s));
    QCOMPARE(s.textPointer().glyph, passageAt(s, 0)->child(1));
    QCOMPARE(s.textPointer().word, passageAt(s, 0)->child(2));
    QCOMPARE(s.textPointer().glyphIndex, -1);
    QCOMPARE(s.caret()->pos(), QPointF(0, 100 + QFontMetrics(arial()).lineSpacing()));
}

void TestCaretCommands::moveToGlyph()
{
    QVorrelScene s(-32768, -32768, 65535, 65535);
    build(s, {QStringLiteral("ab cd "), QStringLiteral("e")});
    TextGroup *p = passageAt(s, 0);
    Glyph *b = p->children().at(0)->lastGlyph();
    QVERIFY(s.executeCommand(new CmdMoveCaretGlyph(&s, b)));
    QVERIFY(placeOf(s) == (Place{p, p->child(0), b, 0, 0, 1, QPointF(adv('a') + adv('b'), 100)}));
    Glyph *space = static_cast<Glyph *>(p->child(1));
    QVERIFY(s.executeCommand(new CmdMoveCaretGlyph(&s, space)));
    QVERIFY(placeOf(s) == (Place{p, p->child(2), space, 0, 2, -1, QPointF(adv('a') + adv('b') + adv(' '), 100)}));
    Glyph *last = static_cast<Glyph *>(p->child(3));
    QVERIFY(s.executeCommand(new CmdMoveCaretGlyph(&s, last)));
    const double end = adv('a') + adv('b') + adv('c') + adv('d') + 2 * adv(' ');
    QVERIFY(placeOf(s) == (Place{p, nullptr, last, 0, 3, -1, QPointF(end, 100)}));
    Glyph *loose = Typist::glyph(&s, 'z');
    QVERIFY(!s.executeCommand(new CmdMoveCaretGlyph(&s, loose)));
    delete loose;
}

void TestCaretCommands::moveToPoint()
{
    QVorrelScene s(-32768, -32768, 65535, 65535);
    build(s, {QStringLiteral("ab"), QStringLiteral("cd")});
    QVERIFY(s.executeCommand(new CmdMoveCaretPoint(&s, 12.5f, 700.25f)));
    QVERIFY(placeOf(s) == (Place{nullptr, nullptr, nullptr, 1, -1, -1, QPointF(12.5, 700.25)}));
    QVERIFY(!right(s));
    QVERIFY(left(s));
    QCOMPARE(s.textPointer().glyph, passageAt(s, 1)->lastGlyph());
    QCOMPARE(s.caret()->pos(), QPointF(adv('c') + adv('d'), 400));
}

void TestCaretCommands::walkRightThenLeftRetracesEveryPlace()
{
    QVorrelScene s(-32768, -32768, 65535, 65535);
    build(s, {QStringLiteral("ab c\t\rd\r"), QStringLiteral(" e f"), QStringLiteral("g\rh")});
    caretAtStart(s, 0);
    QList<Place> places{placeOf(s)};
    while (right(s)) {
        places << placeOf(s);
        QVERIFY2(Typist::pointerFault(&s).isEmpty(), qPrintable(Typist::pointerFault(&s)));
        QVERIFY2(Typist::caretFault(&s).isEmpty(), qPrintable(Typist::caretFault(&s)));
    }
    // Every glyph is passed once, and each later passage is entered once.
    QCOMPARE(places.size(), 1 + 8 + 4 + 3 + 2);
    for (int i = places.size() - 2; i >= 0; --i) {
        QVERIFY(left(s));
        Place p = placeOf(s);
        Place expected = places.at(i);
        // Entering a passage from its end at a blank records glyph index 0.
        if (!expected.word && p.glyph == expected.glyph)
            expected.glyphIndex = p.glyphIndex;
        QVERIFY2(p == expected, qPrintable(QStringLiteral("place %1: %2 %3 %4 (%5, %6) / %7 %8 %9 (%10, %11)").arg(i)
            .arg(p.passageIndex).arg(p.wordIndex).arg(p.glyphIndex).arg(p.caret.x()).arg(p.caret.y())
            .arg(expected.passageIndex).arg(expected.wordIndex).arg(expected.glyphIndex).arg(expected.caret.x()).arg(expected.caret.y())));
    }
    QVERIFY(!left(s));
}

void TestCaretCommands::emptyPassagesAreSkipped()
{
    QVorrelScene s(-32768, -32768, 65535, 65535);
    build(s, {QStringLiteral("ab"), QString(), QStringLiteral("cd"), QString()});
    caretAtStart(s, 2);
    QVERIFY(left(s));
    QCOMPARE(s.textPointer().glyph, passageAt(s, 0)->lastGlyph());
    QVERIFY(right(s));
    QCOMPARE(s.textPointer().passage, passageAt(s, 2));
    QCOMPARE(s.textPointer().glyph, nullptr);

    caretAtStart(s, 1); // inside the empty passage
    QVERIFY(right(s));
    QCOMPARE(s.textPointer().passage, passageAt(s, 2));
    QCOMPARE(s.caret()->pos(), QPointF(0, 700));
    caretAtStart(s, 1);
    QVERIFY(left(s));
    QCOMPARE(s.textPointer().glyph, passageAt(s, 0)->lastGlyph());
    caretAtStart(s, 3);
    QVERIFY(!right(s));
    QVERIFY(left(s));
    QCOMPARE(s.textPointer().glyph, passageAt(s, 2)->lastGlyph());
}

void TestCaretCommands::outOfRangePassageIndexIsClamped()
{
    QVorrelScene s(-32768, -32768, 65535, 65535);
    build(s, {QStringLiteral("ab"), QStringLiteral("cd")});
    TextPointer t;
    t.passageIndex = 7;
    s.setTextPointer(t);
    QVERIFY(left(s));
    QCOMPARE(s.textPointer().glyph, passageAt(s, 1)->lastGlyph());

    s.setTextPointer(t);
    Typist::type(&s, QStringLiteral("x"));
    QCOMPARE(s.root()->count(), 3);
    QCOMPARE(Typist::shape(s.root()), QStringLiteral("(ab) / (cd) / (x)"));
    VERIFY_SCENE(&s);
}

void TestCaretCommands::undoRestoresEveryField()
{
    QVorrelScene s(-32768, -32768, 65535, 65535);
    Typist::type(&s, QStringLiteral("ab "));
    const Place before = placeOf(s);
    QCOMPARE(before.word, nullptr);
    QCOMPARE(before.wordIndex, 1);
    for (Cmd *move : QList<Cmd *>{new CmdMoveCaretLeft(&s), new CmdMoveCaretPoint(&s, QPointF(3, 4)),
                                  new CmdMoveCaretGlyph(&s, passageAt(s, 0)->firstGlyph())}) {
        QVERIFY(s.executeCommand(move));
        QVERIFY(!(placeOf(s) == before));
        s.undo();
        QVERIFY(placeOf(s) == before);
    }
    s.executeCommand(new CmdMoveCaretLeft(&s));
    s.executeCommand(new CmdMoveCaretLeft(&s));
    const Place inWord = placeOf(s);
    QVERIFY(right(s));
    s.undo();
    QVERIFY(placeOf(s) == inWord);
}

void TestCaretCommands::pointMovesMerge()
{
    QVorrelScene s(-32768, -32768, 65535, 65535);
    build(s, {QStringLiteral("ab")});
    s.executeCommand(new CmdMoveCaretGlyph(&s, passageAt(s, 0)->lastGlyph()));
    const Place before = placeOf(s);
    for (int i = 1; i <= 3; ++i)
        QVERIFY(s.executeCommand(new CmdMoveCaretPoint(&s, QPointF(10 * i, 20 * i))));
    QCOMPARE(s.history().size(), 2);
    QCOMPARE(s.history().last()->text(), QStringLiteral("Move Caret"));
    s.undo();
    QVERIFY(placeOf(s) == before);
    s.redo();
    QCOMPARE(s.caret()->pos(), QPointF(30, 60));
    QVERIFY(left(s));
    QVERIFY(left(s));
    QCOMPARE(s.history().size(), 4);
}

void TestCaretCommands::glyphMovesMergeOnlyForTheSameGlyph()
{
    QVorrelScene s(-32768, -32768, 65535, 65535);
    build(s, {QStringLiteral("ab")});
    Glyph *a = passageAt(s, 0)->firstGlyph();
    Glyph *b = passageAt(s, 0)->lastGlyph();
    QVERIFY(s.executeCommand(new CmdMoveCaretGlyph(&s, a)));
    QVERIFY(s.executeCommand(new CmdMoveCaretGlyph(&s, a)));
    QCOMPARE(s.history().size(), 1);
    QCOMPARE(s.history().last()->text(), QStringLiteral("Move Caret to Glyph"));
    QVERIFY(s.executeCommand(new CmdMoveCaretGlyph(&s, b)));
    QCOMPARE(s.history().size(), 2);
    CmdMoveCaretGlyph toA(&s, a);
    CmdMoveCaretPoint point(&s, QPointF());
    QVERIFY(!toA.canMerge(&point));
    QVERIFY(!point.canMerge(&toA));
}

void TestCaretCommands::moveAfterInsertIsItsOwnEntry()
{
    QVorrelScene s(-32768, -32768, 65535, 65535);
    Typist::type(&s, QStringLiteral("a"));
    QVERIFY(s.executeCommand(new CmdMoveCaretPoint(&s, QPointF(5, 5))));
    QVERIFY(s.executeCommand(new CmdMoveCaretGlyph(&s, passageAt(s, 0)->firstGlyph())));
    QCOMPARE(s.history().size(), 3);
    QCOMPARE(s.history().at(0)->text(), QStringLiteral("Insert Glyph"));
    s.undo();
    s.undo();
    QCOMPARE(Typist::shape(s.root()), QStringLiteral("(a)"));
}

QTEST_MAIN(TestCaretCommands)
#include "tst_caretcommands.moc"
