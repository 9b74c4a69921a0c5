#include "commands/CmdSelectAll.h"
#include "commands/CmdSelectPoint.h"
#include "commands/CmdSelectRect.h"
#include "commands/CmdSelectSame.h"
#include "commands/CmdSelectTextObject.h"
#include "model/Glyph.h"
#include "model/QVorrelScene.h"
#include "model/TextGroup.h"
#include "support/TestDocument.h"
#include "support/TreeBuilder.h"
#include "support/TreeCheck.h"
#include "support/TreeDump.h"

#include <QtTest>

namespace {

using Doc = TestDocument;

using Objects = QList<TextObject *>;

} // namespace

class TestSelectionCommands : public QObject
{
    Q_OBJECT
private slots:
    void doubleClicksClimbAndWrap();
    void doubleClickOnABlankClimbsToItsPassage();
    void doubleClickThatChangesNothingLeavesNoEntry();
    void emptyRectanglesSelectNothing();
    void rectangleSelectsTouchedGlyphsInsteadOfTheirWord();
    void selectSameIsCaseSensitive();
    void selectSameWithoutAnythingOfTheLevelClearsTheSelection();
    void selectAllSkipsLockedAndHiddenObjects();
    void selectAllLevelZeroClearsTheSelection();
    void selectTextObjectModes();
    void undoRestoresTheSelectionOfLockedAndHiddenObjects();
};

void TestSelectionCommands::doubleClicksClimbAndWrap()
{
    Doc d;
    TextGroup *p = d.add(QStringLiteral("ab cd"));
    TextGroup *w = group(p->child(0));
    TextObject *b = w->child(1);
    const QPointF at = centreOf(b);
    const Objects expected[] = {{b}, {w}, {p}, {b}};
    for (const Objects &e : expected) {
        QVERIFY(d.scene.executeCommand(new CmdSelectPoint(&d.scene, 1, at)));
        QCOMPARE(d.selected(), e);
        VERIFY_SCENE(&d.scene);
    }
    QCOMPARE(d.entries(), 4);
    QCOMPARE(d.scene.history().last()->text(), QStringLiteral("Select Object"));
    for (int i = 2; i >= 0; --i) {
        d.scene.undo();
        QCOMPARE(d.selected(), expected[i]);
    }
}

void TestSelectionCommands::doubleClickOnABlankClimbsToItsPassage()
{
    Doc d;
    TextGroup *p = d.add(QStringLiteral("ab cd"));
    TextObject *space = p->child(1);
    const QPointF at = centreOf(space);
    QVERIFY(d.scene.executeCommand(new CmdSelectPoint(&d.scene, 1, at)));
    QCOMPARE(d.selected(), Objects{space});
    QVERIFY(d.scene.executeCommand(new CmdSelectPoint(&d.scene, 1, at)));
    QCOMPARE(d.selected(), Objects{p});
    QVERIFY(d.scene.executeCommand(new CmdSelectPoint(&d.scene, 1, at)));
    QCOMPARE(d.selected(), Objects{space});
}

void TestSelectionCommands::doubleClickThatChangesNothingLeavesNoEntry()
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

void TestSelectionCommands::emptyRectanglesSelectNothing()
{
    Doc d;
    d.add(QStringLiteral("ab cd"));
    const QRect bad[] = {QRect(0, 0, 0, 200), QRect(0, 0, 600, 0), QRect(QPoint(300, 0), QPoint(0, 200))};
    for (const QRect &r : bad)
        QVERIFY(!d.scene.executeCommand(new CmdSelectRect(&d.scene, r, 1, TextObject::GlyphType)));
    QCOMPARE(d.entries(), 0);
    QVERIFY(d.selected().isEmpty());
}

void TestSelectionCommands::rectangleSelectsTouchedGlyphsInsteadOfTheirWord()
{
    Doc d;
    TextGroup *p = d.add(QStringLiteral("ab cd"));
    TextGroup *ab = group(p->child(0));
    TextGroup *cd = group(p->child(2));
    d.select({cd});
    // A band over the middle of b only.
    const QRect band = ab->child(1)->sceneBoundingRect().adjusted(4, 4, -4, -4).toRect();
    QVERIFY(d.scene.executeCommand(new CmdSelectRect(&d.scene, band, 1, TextObject::GlyphType)));
    QCOMPARE(d.selected(), Objects{ab->child(1)});
    QCOMPARE(d.scene.history().last()->text(), QStringLiteral("Select Region"));
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

void TestSelectionCommands::selectSameIsCaseSensitive()
{
    Doc d;
    TextGroup *p = d.add(QStringLiteral("ab Ab ab a"));
    TextObject *a0 = group(p->child(0))->child(0);
    d.select({a0});
    QVERIFY(d.scene.executeCommand(new CmdSelectSame(&d.scene, 1, 2)));
    QCOMPARE(d.scene.history().last()->text(), QStringLiteral("Select Same Glyphs"));
    QCOMPARE(d.selected(), (Objects{a0, group(p->child(4))->child(0), group(p->child(6))->child(0)}));
    // Words: "ab" brings in the other "ab" only.
    d.select({p->child(0)});
    QVERIFY(d.scene.executeCommand(new CmdSelectSame(&d.scene, 1, 3)));
    QCOMPARE(d.scene.history().last()->text(), QStringLiteral("Select Same Words"));
    QCOMPARE(d.selected(), (Objects{p->child(0), p->child(4)}));
    // Again: nothing changes, no entry.
    const int entries = d.entries();
    QVERIFY(!d.scene.executeCommand(new CmdSelectSame(&d.scene, 1, 3)));
    QCOMPARE(d.entries(), entries);
}

void TestSelectionCommands::selectSameWithoutAnythingOfTheLevelClearsTheSelection()
{
    Doc d;
    TextGroup *p = d.add(QStringLiteral("ab cd"));
    d.select({p->child(0), p->child(1)});
    QVERIFY(d.scene.executeCommand(new CmdSelectSame(&d.scene, 1, 4)));
    QCOMPARE(d.scene.history().last()->text(), QStringLiteral("Select Same Passages"));
    QVERIFY(d.selected().isEmpty());
}

void TestSelectionCommands::selectAllSkipsLockedAndHiddenObjects()
{
    Doc d;
    TextGroup *p = d.add(QStringLiteral("ab cd ef"));
    TextGroup *ab = group(p->child(0));
    TextGroup *cd = group(p->child(2));
    TextGroup *ef = group(p->child(4));
    TextObject *c = cd->child(0);
    ef->child(1)->setVisible(false);
    // c was selected before it was locked: it stays selected throughout.
    d.select({c, ab});
    c->lock();

    QVERIFY(d.scene.executeCommand(new CmdSelectAll(&d.scene, 1, 3)));
    QCOMPARE(d.scene.history().last()->text(), QStringLiteral("Select All Words"));
    // cd holds a locked glyph and counts as locked: neither selected nor
    // deselected.
    QCOMPARE(d.selected(), (Objects{c, ab, ef}));

    QVERIFY(d.scene.executeCommand(new CmdSelectAll(&d.scene, 1, 2)));
    QCOMPARE(d.scene.history().last()->text(), QStringLiteral("Select All Glyphs"));
    // Every visible, unlocked glyph, blanks included; the hidden f is left.
    QCOMPARE(d.selected(), (Objects{c, ab->child(0), ab->child(1), p->child(1), cd->child(1), p->child(3),
                                    ef->child(0)}));
    const int entries = d.entries();
    QVERIFY(!d.scene.executeCommand(new CmdSelectAll(&d.scene, 1, 2)));
    QCOMPARE(d.entries(), entries);
    VERIFY_SCENE(&d.scene);
}

void TestSelectionCommands::selectAllLevelZeroClearsTheSelection()
{
    Doc d;
    TextGroup *p = d.add(QStringLiteral("ab cd"));
    QVERIFY(!d.scene.executeCommand(new CmdSelectAll(&d.scene, 1, 0)));
    QCOMPARE(d.entries(), 0);
    d.select({p->child(0), p->child(2)});
    QVERIFY(d.scene.executeCommand(new CmdSelectAll(&d.scene, 1, 0)));
    QCOMPARE(d.scene.history().last()->text(), QStringLiteral("Select All Unknown"));
    QVERIFY(d.selected().isEmpty());
    d.scene.undo();
    QCOMPARE(d.selected(), (Objects{p->child(0), p->child(2)}));
}

void TestSelectionCommands::selectTextObjectModes()
{
    Doc d;
    TextGroup *p = d.add(QStringLiteral("ab cd"));
    TextObject *ab = p->child(0);
    TextObject *cd = p->child(2);
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

void TestSelectionCommands::undoRestoresTheSelectionOfLockedAndHiddenObjects()
{
    Doc d;
    TextGroup *p = d.add(QStringLiteral("ab cd ef"));
    TextObject *a = group(p->child(0))->child(0);
    TextObject *e = group(p->child(4))->child(0);
    d.select({e, a, p->child(2)});
    a->lock();
    const TreeDump before = TreeDump::of(d.root);
    QVERIFY(d.scene.executeCommand(new CmdSelectAll(&d.scene, 1, 0)));
    QCOMPARE(d.selected(), Objects{a});
    d.scene.undo();
    VERIFY_SAME_TREE(TreeDump::of(d.root), before);
    QCOMPARE(d.selected(), (Objects{e, a, p->child(2)}));
    d.scene.redo();
    QCOMPARE(d.selected(), Objects{a});
}

QTEST_MAIN(TestSelectionCommands)
#include "tst_selectioncommands.moc"
