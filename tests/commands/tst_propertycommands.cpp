#include "commands/CmdCombo.h"
#include "commands/CmdSetCanvas.h"
#include "commands/CmdSetSceneFillColor.h"
#include "commands/CmdSetSceneFont.h"
#include "commands/CmdSetSceneFontSize.h"
#include "commands/CmdSetSceneStrokeColor.h"
#include "commands/CmdSetSceneStrokeWidth.h"
#include "commands/CmdSetSelectedFillColor.h"
#include "commands/CmdSetSelectedFont.h"
#include "commands/CmdSetSelectedFontSize.h"
#include "commands/CmdSetSelectedStrokeColor.h"
#include "commands/CmdSetSelectedStrokeWidth.h"
#include "model/Glyph.h"
#include "model/GlyphPath.h"
#include "model/QVorrelScene.h"
#include "model/TextGroup.h"
#include "support/TestDocument.h"
#include "support/TreeCheck.h"
#include "support/TreeDump.h"

#include <QtTest>

namespace {

using Doc = TestDocument;

Glyph *glyphOf(TextObject *o)
{
    return qobject_cast<Glyph *>(o);
}

QList<QColor> fillsOf(TextGroup *g)
{
    QList<QColor> colors;
    for (Glyph *x = g->firstGlyph(); x && x->isDescendantOf(g); x = x->nextGlyph())
        colors << x->fillColor();
    return colors;
}

QList<QColor> repeated(const QColor &c, int n)
{
    return QList<QColor>() << QVector<QColor>(n, c).toList();
}

// The toolbar's form of a fill colour edit: the style for new text and the
// selected text in one entry.
CmdCombo *toolbarFill(QVorrelScene *scene, const QColor &c)
{
    auto *combo = new CmdCombo(scene, QStringLiteral("Unknown Combo Command"));
    combo->add(new CmdSetSceneFillColor(scene, c), true);
    combo->add(new CmdSetSelectedFillColor(scene, c), false);
    return combo;
}

} // namespace

class TestPropertyCommands : public QObject
{
    Q_OBJECT
private slots:
    void fillChangesMergeIntoOneEntry();
    void mergedChangeBackToTheOldValuesStaysButChangesNothing();
    void toolbarCompositesMergeEvenWhenTheFirstChangedNothing();
    void unchangedValuesLeaveNoEntry();
    void lockedObjectsKeepTheirValues();
    void strokeCommandsAndTheirTexts();
    void fontSizeUndoRestoresOutlinesAndPositionsExactly();
    void fontUndoRestoresTheDeformedOutline();
    void fontSizeBelowOneIsOne();
    void sceneStyleCommands();
    void canvasCommand();
};

void TestPropertyCommands::fillChangesMergeIntoOneEntry()
{
    Doc d;
    TextGroup *p = d.add(QStringLiteral("ab cd"));
    TextGroup *ab = group(p->child(0));
    glyphOf(ab->child(1))->setFillColor(Qt::green);
    const QList<QColor> before = fillsOf(p);
    d.select({ab, p->child(2)});
    QVERIFY(d.scene.executeCommand(new CmdSetSelectedFillColor(&d.scene, Qt::red)));
    QVERIFY(d.scene.executeCommand(new CmdSetSelectedFillColor(&d.scene, Qt::blue)));
    QCOMPARE(d.entries(), 1);
    QCOMPARE(d.scene.history().last()->text(), QStringLiteral("Set Fill Color"));
    const QList<QColor> blue = {Qt::blue, Qt::blue, QColor(Qt::black), Qt::blue, Qt::blue};
    QCOMPARE(fillsOf(p), blue);
    d.scene.undo();
    QCOMPARE(fillsOf(p), before);
    d.scene.redo();
    QCOMPARE(fillsOf(p), blue);
}

void TestPropertyCommands::mergedChangeBackToTheOldValuesStaysButChangesNothing()
{
    Doc d;
    TextGroup *p = d.add(QStringLiteral("ab"));
    d.select({p});
    QVERIFY(d.scene.executeCommand(new CmdSetSelectedFillColor(&d.scene, Qt::red)));
    QVERIFY(d.scene.executeCommand(new CmdSetSelectedFillColor(&d.scene, Qt::black)));
    QCOMPARE(d.entries(), 1);
    QCOMPARE(fillsOf(p), repeated(Qt::black, 2));
    d.scene.undo();
    d.scene.redo();
    QCOMPARE(d.scene.history().size(), 1);
    QCOMPARE(fillsOf(p), repeated(Qt::black, 2));
}

void TestPropertyCommands::toolbarCompositesMergeEvenWhenTheFirstChangedNothing()
{
    Doc d;
    TextGroup *p = d.add(QStringLiteral("ab"));
    p->setFillColor(Qt::red);
    d.select({p});
    const QColor sceneFill = d.scene.fillColor();
    // The selection already is red: only the style changes.
    QVERIFY(d.scene.executeCommand(toolbarFill(&d.scene, Qt::red)));
    QVERIFY(d.scene.executeCommand(toolbarFill(&d.scene, Qt::blue)));
    QCOMPARE(d.entries(), 1);
    QCOMPARE(d.scene.history().last()->text(), QStringLiteral("Set Fill Color"));
    QCOMPARE(fillsOf(p), repeated(Qt::blue, 2));
    d.scene.undo();
    QCOMPARE(fillsOf(p), repeated(Qt::red, 2));
    QCOMPARE(d.scene.fillColor(), sceneFill);
    d.scene.redo();
    QCOMPARE(fillsOf(p), repeated(Qt::blue, 2));
    QCOMPARE(d.scene.fillColor(), QColor(Qt::blue));
}

void TestPropertyCommands::unchangedValuesLeaveNoEntry()
{
    Doc d;
    TextGroup *p = d.add(QStringLiteral("ab"));
    // Nothing selected: nothing recorded.
    QVERIFY(!d.scene.executeCommand(new CmdSetSelectedFillColor(&d.scene, Qt::red)));
    d.select({p});
    QVERIFY(!d.scene.executeCommand(new CmdSetSelectedFillColor(&d.scene, Qt::black)));
    QVERIFY(!d.scene.executeCommand(new CmdSetSelectedFontSize(&d.scene, 72)));
    QVERIFY(!d.scene.executeCommand(new CmdSetSelectedFont(&d.scene, arial)));
    QVERIFY(!d.scene.executeCommand(new CmdSetSceneFillColor(&d.scene, d.scene.fillColor())));
    QCOMPARE(d.entries(), 0);
}

void TestPropertyCommands::lockedObjectsKeepTheirValues()
{
    Doc d;
    TextGroup *p = d.add(QStringLiteral("ab cd"));
    TextGroup *ab = group(p->child(0));
    TextGroup *cd = group(p->child(2));
    cd->child(0)->lock();
    d.select({cd});
    QVERIFY(!d.scene.executeCommand(new CmdSetSelectedFillColor(&d.scene, Qt::red)));
    d.select({ab, cd});
    QVERIFY(d.scene.executeCommand(new CmdSetSelectedFillColor(&d.scene, Qt::red)));
    QCOMPARE(fillsOf(ab), repeated(Qt::red, 2));
    QCOMPARE(fillsOf(cd), repeated(Qt::black, 2));
    d.scene.undo();
    QCOMPARE(fillsOf(ab), repeated(Qt::black, 2));
}

void TestPropertyCommands::strokeCommandsAndTheirTexts()
{
    Doc d;
    TextGroup *p = d.add(QStringLiteral("ab"));
    TextGroup *ab = group(p->child(0));
    Glyph *a = glyphOf(ab->child(0));
    Glyph *b = glyphOf(ab->child(1));
    b->setStrokeWidth(2.5f);
    d.select({ab});
    QVERIFY(d.scene.executeCommand(new CmdSetSelectedStrokeWidth(&d.scene, 4.0f)));
    QVERIFY(d.scene.executeCommand(new CmdSetSelectedStrokeWidth(&d.scene, 6.0f)));
    QCOMPARE(d.entries(), 1);
    QCOMPARE(d.scene.history().last()->text(), QStringLiteral("Set Stroke Width"));
    QCOMPARE(a->strokeWidth(), 6.0f);
    QVERIFY(d.scene.executeCommand(new CmdSetSelectedStrokeColor(&d.scene, Qt::cyan)));
    QCOMPARE(d.entries(), 2);
    QCOMPARE(d.scene.history().last()->text(), QStringLiteral("Set Stroke Color"));
    QCOMPARE(b->strokeColor(), QColor(Qt::cyan));
    d.scene.undo();
    QCOMPARE(b->strokeColor(), QColor(Qt::black));
    d.scene.undo();
    QCOMPARE(a->strokeWidth(), 0.0f);
    QCOMPARE(b->strokeWidth(), 2.5f);
}

void TestPropertyCommands::fontSizeUndoRestoresOutlinesAndPositionsExactly()
{
    Doc d;
    TextGroup *p = d.add(QStringLiteral("ab cd"));
    TextGroup *ab = group(p->child(0));
    Glyph *a = glyphOf(ab->child(0));
    Glyph *b = glyphOf(ab->child(1));
    // A deformed glyph and one whose deformation was set as original.
    a->moveElementBy(1, QPointF(3.25, -1.5));
    b->moveElementBy(2, QPointF(-2, 4));
    b->bakeDeform();
    b->moveElementBy(0, QPointF(0.5, 0.5));
    d.select({ab});
    const TreeDump start = d.dump();

    QVERIFY(d.scene.executeCommand(new CmdSetSelectedFontSize(&d.scene, 36)));
    QCOMPARE(a->font().pointSize(), 36);
    // b follows a by a's advance at the new size.
    QCOMPARE(b->pos().x() - a->pos().x(), a->advanceWidth());
    // A second size edit as a separate entry.
    auto *combo = new CmdCombo(&d.scene, QStringLiteral("Unknown Combo Command"));
    combo->add(new CmdSetSelectedFontSize(&d.scene, 50), true);
    QVERIFY(d.scene.executeCommand(combo));
    QCOMPARE(d.entries(), 2);
    QCOMPARE(b->font().pointSize(), 50);
    d.scene.undo();
    d.scene.undo();
    VERIFY_SAME_TREE(d.dump(), start);

    // The same through one merged entry, and a redo/undo cycle on top.
    QVERIFY(d.scene.executeCommand(new CmdSetSelectedFontSize(&d.scene, 36)));
    QVERIFY(d.scene.executeCommand(new CmdSetSelectedFontSize(&d.scene, 50)));
    QCOMPARE(d.entries(), 1);
    d.scene.undo();
    VERIFY_SAME_TREE(d.dump(), start);
    d.scene.redo();
    QCOMPARE(a->font().pointSize(), 50);
    d.scene.undo();
    VERIFY_SAME_TREE(d.dump(), start);
}

void TestPropertyCommands::fontUndoRestoresTheDeformedOutline()
{
    Doc d;
    TextGroup *p = d.add(QStringLiteral("ab"));
    Glyph *a = glyphOf(group(p->child(0))->child(0));
    a->moveElementBy(1, QPointF(7, 7));
    a->convertToLines();
    d.select({a, group(p->child(0))->child(1)});
    const TreeDump start = d.dump();
    const QFont dejavu(QStringLiteral("DejaVu Sans"), 40);
    QVERIFY(d.scene.executeCommand(new CmdSetSelectedFont(&d.scene, dejavu)));
    QCOMPARE(d.scene.history().last()->text(), QStringLiteral("Set Font"));
    QCOMPARE(a->font(), dejavu);
    // The outline is the font's own again.
    QCOMPARE(a->path()->current, GlyphPath(QPointF(0, 0), dejavu, QStringLiteral("a")).current);
    // The font command never merges.
    QVERIFY(d.scene.executeCommand(new CmdSetSelectedFont(&d.scene, arial)));
    QCOMPARE(d.entries(), 2);
    d.scene.undo();
    d.scene.undo();
    VERIFY_SAME_TREE(d.dump(), start);
}

void TestPropertyCommands::fontSizeBelowOneIsOne()
{
    Doc d;
    TextGroup *p = d.add(QStringLiteral("a"));
    d.select({p});
    QVERIFY(d.scene.executeCommand(new CmdSetSelectedFontSize(&d.scene, 0)));
    QCOMPARE(p->firstGlyph()->font().pointSize(), 1);
    QVERIFY(d.scene.executeCommand(new CmdSetSceneFontSize(&d.scene, -5)));
    QCOMPARE(d.scene.fontSize(), 1);
    d.scene.undo();
    QCOMPARE(d.scene.fontSize(), 72);
}

void TestPropertyCommands::sceneStyleCommands()
{
    Doc d;
    const QColor stroke = d.scene.strokeColor();
    QVERIFY(d.scene.executeCommand(new CmdSetSceneStrokeColor(&d.scene, Qt::red)));
    QVERIFY(d.scene.executeCommand(new CmdSetSceneStrokeColor(&d.scene, Qt::green)));
    QCOMPARE(d.entries(), 1);
    QCOMPARE(d.scene.history().last()->text(), QStringLiteral("Set Stroke Color"));
    QCOMPARE(d.scene.strokeColor(), QColor(Qt::green));
    d.scene.undo();
    QCOMPARE(d.scene.strokeColor(), stroke);

    QVERIFY(d.scene.executeCommand(new CmdSetSceneStrokeWidth(&d.scene, 1.5f)));
    QVERIFY(d.scene.executeCommand(new CmdSetSceneStrokeWidth(&d.scene, 3.0f)));
    QCOMPARE(d.entries(), 1);
    QCOMPARE(d.scene.strokeWidth(), 3.0f);

    const QFont font(QStringLiteral("DejaVu Sans"), 20);
    QVERIFY(d.scene.executeCommand(new CmdSetSceneFont(&d.scene, font)));
    QVERIFY(d.scene.executeCommand(new CmdSetSceneFont(&d.scene, arial)));
    QCOMPARE(d.entries(), 3);
    d.scene.undo();
    QCOMPARE(d.scene.textFont(), font);
    d.scene.undo();
    QCOMPARE(d.scene.textFont(), arial);
    d.scene.undo();
    QCOMPARE(d.scene.strokeWidth(), 0.0f);
}

void TestPropertyCommands::canvasCommand()
{
    Doc d;
    QVorrelScene &s = d.scene;
    QVERIFY(!s.executeCommand(new CmdSetCanvas(&s, s.screenWidth(), s.screenHeight(), s.exportWidth(),
                                               s.exportHeight(), s.exportResolution(), s.backgroundColor())));
    QColor half = s.backgroundColor();
    half.setAlpha(128);
    QVERIFY(s.executeCommand(new CmdSetCanvas(&s, 1024, 768, 1024, 768, 72, half)));
    QCOMPARE(s.history().last()->text(), QStringLiteral("Edit Canvas"));
    QCOMPARE(s.backgroundColor().alpha(), 128);
    QVERIFY(s.executeCommand(new CmdSetCanvas(&s, 640, 480, 320, 240, 96, Qt::yellow)));
    QCOMPARE(s.historyIndex(), 2);
    QCOMPARE(s.screenWidth(), 640);
    QCOMPARE(s.exportHeight(), 240);
    QCOMPARE(s.exportResolution(), 96);
    s.undo();
    QCOMPARE(s.screenWidth(), 1024);
    QCOMPARE(s.exportResolution(), 72);
    QCOMPARE(s.backgroundColor(), half);
    s.undo();
    QCOMPARE(s.backgroundColor(), QColor(Qt::white));
}

QTEST_MAIN(TestPropertyCommands)
#include "tst_propertycommands.moc"
