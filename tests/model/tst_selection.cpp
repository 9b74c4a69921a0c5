#include "model/Glyph.h"
#include "model/GlyphIterator.h"
#include "model/QVorrelScene.h"
#include "model/SelectedListIterator.h"
#include "model/Selection.h"
#include "model/TextGroup.h"
#include "support/TestDocument.h"
#include "support/TreeCheck.h"

#include <QRandomGenerator>
#include <QtTest>

using Doc = TestDocument;

class TestSelection : public QObject
{
    Q_OBJECT
private slots:
    void selectingAnObjectDeselectsItsDescendants();
    void hiddenObjectsAreNotSelected();
    void selectionBoxFollowsTheSelection();
    void takeOperationsDeselectTheWholeSubtree();
    void clearGroupGivesBackItsChildren();
    void randomEditsKeepTheSelectionListInStep();
    void hoveredObjectNeverDangles();
    void hitTestsFindTheTopmostUsableObject();
};

void TestSelection::selectingAnObjectDeselectsItsDescendants()
{
    Doc d;
    TextGroup *p = d.add(QStringLiteral("ab cd"));
    TextGroup *w = group(p->child(2));
    Glyph *a = p->firstGlyph();
    // Selecting a glyph deselects its word; selecting the word its glyphs;
    // selecting the passage everything under it; each object once.
    const QList<QPair<TextObject *, QList<TextObject *>>> steps = {
        {w, {w}}, {w->child(1), {w->child(1)}}, {w->child(1), {w->child(1)}}, {a, {w->child(1), a}},
        {w->child(0), {w->child(1), a, w->child(0)}}, {w, {a, w}}, {p, {p}}};
    for (const auto &step : steps) {
        d.scene.setSelected(step.first, true, false);
        QCOMPARE(d.selected(), step.second);
        VERIFY_SCENE(&d.scene);
    }
    d.scene.setSelected(p, false, false);
    QVERIFY(d.selected().isEmpty() && !p->isSelected());
    // Recursively: one selected root, and nothing under it after.
    d.scene.setSelected(p, true, true);
    QCOMPARE(d.selected(), QList<TextObject *>{p});
    d.scene.setSelected(w->child(0), true, false);
    d.scene.setSelected(p->child(0), true, false);
    d.scene.setSelected(p, false, true);
    QVERIFY(d.selected().isEmpty() && !p->hasSelectedDescendant());
}

void TestSelection::hiddenObjectsAreNotSelected()
{
    Doc d;
    TextGroup *p = d.add(QStringLiteral("ab cd"));
    Glyph *a = p->firstGlyph();
    a->setVisible(false);
    p->child(2)->setVisible(false);
    d.scene.setSelected(a, true, false);
    d.scene.setSelected(p->child(2)->firstGlyph(), true, false); // hidden through its word
    QVERIFY(d.selected().isEmpty() && !a->isSelected());
    VERIFY_SCENE(&d.scene);
}

void TestSelection::selectionBoxFollowsTheSelection()
{
    Doc d;
    TextGroup *p = d.add(QStringLiteral("abc"), QPointF(300, 400));
    TextGroup *w = group(p->child(0));
    Selection *box = d.scene.selection();
    box->setRotation(20);
    d.scene.setSelected(p->lastGlyph(), true, false);
    const QRectF r = p->lastGlyph()->sceneBoundingRect().adjusted(-13, -13, 13, 13);
    QCOMPARE(box->pos(), QPointF(float(r.x()) + 0.5f * float(r.width()), float(r.y()) + 0.5f * float(r.height())));
    QCOMPARE(box->rotation(), 20.0); // only commands reset the rotation
    d.scene.setSelected(p->lastGlyph(), false, false);
    QCOMPARE(box->pos(), QPointF(0, 0));

    // The selected list walks in the order of selection; restoreSelection
    // makes exactly the given objects selected, in order.
    const QList<TextObject *> order{w->child(2), w->child(0), w->child(1)};
    for (TextObject *o : order)
        d.scene.setSelected(o, true, false);
    QList<TextObject *> walked;
    SelectedListIterator it(&d.scene);
    while (it.hasNext())
        walked << it.next();
    QCOMPARE(walked, order);
    d.scene.restoreSelection({w->child(1), p});
    QCOMPARE(d.selected(), QList<TextObject *>{p});
    d.scene.restoreSelection({w->child(1), w->child(0)});
    QCOMPARE(d.selected(), (QList<TextObject *>{w->child(1), w->child(0)}));
    VERIFY_SCENE(&d.scene);
}

void TestSelection::takeOperationsDeselectTheWholeSubtree()
{
    Doc d;
    TextGroup *p = d.add(QStringLiteral("ab cd ef"));
    TextGroup *w1 = group(p->child(0));
    TextGroup *w3 = group(p->child(4));
    d.scene.setSelected(w1->child(1), true, false);
    d.scene.setSelected(w3, true, false);
    d.scene.setSelected(p->child(2)->firstGlyph(), true, false);

    TextObject *taken = d.scene.takeChildAt(p, 0);
    QCOMPARE(taken, w1);
    QVERIFY(!taken->scene());
    QVERIFY(!w1->child(1)->isSelected());
    QCOMPARE(d.selected().size(), 2);
    VERIFY_SCENE(&d.scene);

    QCOMPARE(d.scene.takeLastChild(p), w3);
    QVERIFY(!w3->isSelected() && !w3->scene());
    QVERIFY(!d.scene.takeChildAt(p, 7));
    QVERIFY(!d.scene.removeChild(p, w1));
    QVERIFY(!d.scene.takeLastChild(nullptr));
    QVERIFY(d.scene.clearGroup(nullptr).isEmpty());
    d.scene.setSelected(nullptr, true, true);
    QCOMPARE(p->text(), QStringLiteral(" cd "));
    VERIFY_SCENE(&d.scene);

    // Put back, the word joins the scene again, unselected.
    QVERIFY(p->insert(0, w1));
    QCOMPARE(w1->scene(), &d.scene);
    VERIFY_SCENE(&d.scene);
    delete w3;
}

void TestSelection::clearGroupGivesBackItsChildren()
{
    Doc d;
    TextGroup *p = d.add(QStringLiteral("ab cd"));
    d.scene.setSelected(p->child(2)->firstGlyph(), true, false);
    d.scene.setSelected(p->child(0), true, false);
    const QList<TextObject *> before = p->children();
    const QList<TextObject *> children = d.scene.clearGroup(p);
    QCOMPARE(children, before);
    QCOMPARE(p->count(), 0);
    QVERIFY(d.selected().isEmpty());
    for (TextObject *c : children) {
        QVERIFY(!c->scene());
        QVERIFY(!c->isSelected() && !c->hasSelectedDescendant());
    }
    qDeleteAll(children);
    QVERIFY(d.scene.items().contains(p));
}

void TestSelection::randomEditsKeepTheSelectionListInStep()
{
    Doc d;
    for (int i = 0; i < 4; ++i)
        d.add(QStringLiteral("ab cd\tef"), QPointF(0, 100 + 90 * i));
    group(d.root->child(3))->child(0)->setVisible(false);
    QRandomGenerator rng(7);
    QList<TextObject *> loose;
    auto everything = [&d] {
        QList<TextObject *> all;
        TextIterator it(d.root, 5);
        while (it.hasNext())
            all << it.next();
        all.removeLast(); // the root
        return all;
    };
    for (int step = 0; step < 400; ++step) {
        const QList<TextObject *> all = everything();
        TextObject *o = all.at(rng.bounded(all.size()));
        switch (rng.bounded(5)) {
        case 0:
        case 1:
            d.scene.setSelected(o, true, rng.bounded(2));
            break;
        case 2:
            d.scene.setSelected(o, false, rng.bounded(2));
            break;
        case 3:
            // Take a glyph from a word of more than one glyph, or a word
            // from a passage, so that the tree keeps its shape.
            if (o->parentGroup() != d.root && o->parentGroup()->count() > 1 && (o->isGlyph() ? !o->parentGroup()->isPassage() : true))
                loose << d.scene.removeChild(o->parentGroup(), o);
            break;
        case 4:
            if (!loose.isEmpty()) {
                TextObject *back = loose.takeLast();
                TextGroup *home = group(d.root->child(1));
                if (back->isGlyph()) {
                    for (TextObject *c : all) {
                        if (c->isWord())
                            home = group(c);
                    }
                }
                QVERIFY(home->insert(rng.bounded(home->count() + 1), back));
            }
            break;
        }
        const QString fault = TreeCheck::sceneFault(&d.scene);
        QVERIFY2(fault.isEmpty(), qPrintable(QStringLiteral("step %1: %2").arg(step).arg(fault)));
    }
    qDeleteAll(loose);
}

void TestSelection::hoveredObjectNeverDangles()
{
    Doc d;
    TextGroup *p = d.add(QStringLiteral("ab cd"));
    TextGroup *w = group(p->child(0));
    Glyph *b = qobject_cast<Glyph *>(w->child(1));
    const QPointF overB = centreOf(b);
    d.scene.setHovered(d.scene.glyphAt(overB));
    QCOMPARE(d.scene.hoveredObject(), b);
    QVERIFY(b->isHighlighted());

    // Take the hovered glyph out, delete it, move the mouse on.
    QCOMPARE(d.scene.removeChild(w, b), b);
    QVERIFY(!d.scene.hoveredObject());
    QVERIFY(!b->isHighlighted());
    delete b;
    d.scene.setHovered(d.scene.glyphAt(overB));
    d.scene.setHovered(d.scene.glyphAt(centreOf(w->child(0))));
    QCOMPARE(d.scene.hoveredObject(), w->child(0));

    // An ancestor leaving the tree takes the hover with it.
    delete d.scene.takeChildAt(p, 0);
    QVERIFY(!d.scene.hoveredObject());
    d.scene.setHovered(d.scene.glyphAt(overB));

    d.scene.setHovered(p->lastGlyph());
    qDeleteAll(d.scene.clearGroup(p));
    QVERIFY(!d.scene.hoveredObject());
    d.scene.setHovered(nullptr);
    delete d.scene.takeChildAt(d.root, 0); // the emptied passage
    VERIFY_SCENE(&d.scene);
}

void TestSelection::hitTestsFindTheTopmostUsableObject()
{
    Doc d;
    TextGroup *under = d.add(QStringLiteral("I"), QPointF(100, 200));
    TextGroup *over = d.add(QStringLiteral("I"), QPointF(100, 200));
    const QPointF at = centreOf(over->firstGlyph());
    QCOMPARE(d.scene.glyphAt(at), over->firstGlyph()); // drawn last
    QVERIFY(d.scene.isGlyphAt(at));
    QVERIFY(!d.scene.glyphAt(QPointF(-500, -500)));
    over->firstGlyph()->lock();
    QCOMPARE(d.scene.glyphAt(at), under->firstGlyph());
    under->setVisible(false);
    QVERIFY(!d.scene.glyphAt(at));
    under->setVisible(true);
    QVERIFY(!d.scene.selectedObjectAt(at));
    d.scene.setSelected(over, true, false);
    QVERIFY(!d.scene.selectedObjectAt(at)); // locked
    over->unlock();
    QCOMPARE(d.scene.selectedObjectAt(at), over);
    d.scene.setSelected(under->firstChild(), true, false);
    QCOMPARE(d.scene.selectedObjectAt(at), over);

    // Stacking decides, a word's before its glyph's.
    under->setZValue(1);
    QCOMPARE(d.scene.glyphAt(at), under->firstGlyph());
    TextGroup *p = d.add(QStringLiteral("I I"), QPointF(100, 200));
    p->lastGlyph()->setPos(p->firstGlyph()->pos());
    p->setZValue(2);
    QCOMPARE(d.scene.glyphAt(at), p->lastGlyph());
    p->firstGlyph()->setZValue(5);
    QCOMPARE(d.scene.glyphAt(at), p->lastGlyph());
    p->firstChild()->setZValue(1);
    QCOMPARE(d.scene.glyphAt(at), p->firstGlyph());
}

QTEST_MAIN(TestSelection)
#include "tst_selection.moc"
