#include "commands/CmdCombo.h"
#include "model/Caret.h"
#include "model/Glyph.h"
#include "model/GlyphIterator.h"
#include "model/QVorrelScene.h"
#include "model/Selection.h"
#include "softtypes/SoftType.h"
#include "softtypes/SoftTypeFactory.h"
#include "support/DoublingRatio.h"
#include "support/TestDocument.h"
#include "support/TreeCheck.h"
#include "support/TreeDump.h"
#include "support/Typist.h"

#include <QGraphicsView>
#include <QSignalSpy>
#include <QtTest>

namespace {

SoftType *softType(const QString &kind, const QString &name, int radius)
{
    SoftType *s = SoftTypeFactory::create(kind, name);
    s->setValues({{QStringLiteral("radius"), radius}});
    return s;
}

QString xy(const QPointF &p, int precision = 6)
{
    return QStringLiteral("%1,%2").arg(p.x(), 0, 'g', precision).arg(p.y(), 0, 'g', precision);
}

// Passages split by '/', from y 400 every 300. Names: "p" the first passage, "p<i>", "w<i>" its child i, "g<i>" glyphs.
struct Doc : TestDocument
{
    QSignalSpy changes{&scene, &QVorrelScene::documentChanged};
    QSignalSpy areas{&scene, &QVorrelScene::selectionAreaChanged};
    QSignalSpy positions{&scene, &QVorrelScene::mousePositionChanged};

    explicit Doc(const QString &text)
    {
        for (const QString &t : text.isEmpty() ? QStringList() : text.split('/'))
            add(t, QPointF(0, 400 + 300 * root->count()));
    }
    TextObject *at(const QString &name) const
    {
        const int i = name.mid(1).toInt();
        return name.startsWith('p') ? root->child(i) : name.startsWith('w') ? group(root->child(0))->child(i)
             : name.startsWith('g') ? walkList<GlyphIterator>(root).value(i) : nullptr;
    }
    QList<TextObject *> all(const QString &names) const
    {
        QList<TextObject *> objects;
        for (const QString &n : names.split(' ', Qt::SkipEmptyParts))
            objects << at(n);
        return objects;
    }
    QHash<const TextObject *, QString> names() const // a glyph's name wins over its name as a passage's child
    {
        QHash<const TextObject *, QString> names;
        for (const QString &kind : {QStringLiteral("p"), QStringLiteral("w"), QStringLiteral("g")}) {
            for (int i = 0; root->count() && at(kind + QString::number(i)); ++i)
                names.insert(at(kind + QString::number(i)), kind == "p" && i == 0 ? kind : kind + QString::number(i));
        }
        return names;
    }
    // "x,y", or "<name>[+dx,dy]": the centre of the object, moved.
    QPointF point(const QString &form) const
    {
        const QString name = form.section('+', 0, 0);
        const QStringList n = (name.contains(',') ? name : form.section('+', 1)).split(',');
        const QPointF offset = n.size() == 2 ? QPointF(n[0].toDouble(), n[1].toDouble()) : QPointF();
        return name.contains(',') ? offset : centreOf(at(name)) + offset;
    }
    // One step: pointer input "press|to|release|click|drag|double <point>..." or "turn[ing] <radians>" (the top left
    // rotate handle) with "shift", "ctrl" or "alt" last; an operation or setting named as in the steps table below.
    void run(const QString &form)
    {
        const QStringList a = form.split(' ', Qt::SkipEmptyParts);
        const QString k = a.value(0), rest = form.mid(k.size() + 1);
        const Qt::KeyboardModifiers mods = a.last() == "shift" ? Qt::ShiftModifier : a.last() == "ctrl" ? Qt::ControlModifier
                                         : a.last() == "alt" ? Qt::AltModifier : Qt::NoModifier;
        QVorrelScene &s = scene;
        const QRectF box = s.selection()->sceneRect();
        const bool turn = k.startsWith("turn"), drag = k == "drag" || turn;
        const QPointF from = turn ? box.topLeft() + QPointF(2, 2)
                           : QStringList{"press", "to", "release", "click", "drag", "double"}.contains(k) ? point(a[1]) : QPointF();
        const QPointF to = k == "drag" ? point(a[2]) : turn ? box.center() + QTransform().rotateRadians(a[1].toDouble()).map(from - box.center()) : from;
        if (k == "press" || k == "click" || drag) {
            s.handleMousePress(QEvent::GraphicsSceneMousePress, from);
            s.setMouseButtons(Qt::LeftButton);
        }
        if (k == "to" || (drag && from != to))
            s.handleMouseMove(QEvent::GraphicsSceneMouseMove, to, Qt::NoButton, s.mouseButtons(), mods);
        if (k == "release" || k == "click" || k == "drag" || k == "turn") {
            s.handleMouseRelease(QEvent::GraphicsSceneMouseRelease, to, Qt::LeftButton, Qt::NoButton, mods);
            s.setMouseButtons(Qt::NoButton);
        }
        if (k == "double")
            s.handleMouseDoubleClick(QEvent::GraphicsSceneMouseDoubleClick, from, Qt::LeftButton, Qt::LeftButton, mods);
        QList<Glyph *> clones;
        QList<SoftType *> softTypes;
        for (const QString &item : a.mid(1)) {
            if (k == "paste") {
                clones << static_cast<Glyph *>(at(item.section('@', 0, 0)))->cloneGlyph();
                clones.last()->setPos(point(item.section('@', 1)));
            } else if ((k == "types" || k == "add") && item != "-") {
                softTypes << softType(item.section(':', 0, 0), item.section(':', 1, 1), item.section(':', 2).toInt());
            }
        }
        const QHash<QString, std::function<void()>> steps{
            {"insert", [&] { s.insertStringAtCaret(rest); }},
            {"insertAt", [&] { s.insertString(rest.section(' ', 1), point(a[1]), false); }},
            {"char", [&] { s.insertCharacterAtCaret(a[1][0]); }}, {"backspace", [&] { s.backspace(); }},
            {"left", [&] { s.moveCaretLeft(); }}, {"paste", [&] { s.insertGlyphs(clones); }},
            {"arrange", [&] { s.arrangeSelected(a[1].toInt()); }}, {"hide", [&] { s.hideSelected(); }},
            {"lock", [&] { s.lockSelected(); }}, {"unlock", [&] { s.unlockSelected(); }},
            {"lockObject", [&] { s.setObjectLocked(at(a[1]), a[2] == "1"); }},
            {"showObject", [&] { s.setObjectVisible(at(a[1]), a[2] == "1"); }},
            {"move", [&] { s.moveSelected(a[1].toFloat(), a[2].toFloat()); }},
            {"rotate", [&] { s.rotateSelectedAboutCentre(a[1].toFloat()); }},
            {"add", [&] { s.addSoftType(softTypes.value(0)); }}, {"types", [&] { s.pasteSoftTypes(softTypes); }},
            {"edit", [&] { s.editSoftType(a[1], {{QStringLiteral("radius"), a[2].toInt()}}); }},
            {"removeType", [&] { s.removeSoftType(a[1]); }},
            {"removeKind", [&] { s.removeSoftTypesOfKind(a.value(1)); }},
            {"removeAll", [&] { s.removeAllSoftTypes(); }}, {"sel", [&] { select(all(rest)); }},
            {"give", [&] { static_cast<Glyph *>(at(a[1]))->addSoftType(softType(a[2], a[3], a[4].toInt())); }},
            {"grid", [&] { s.setGridSpacing(a[1].toInt()); }}, {"snap", [&] { s.setSnapFlags(a[1].toInt()); }},
            {"play", [&] { s.setPlayStateValue(a[1].toInt()); }},
            {"area", [&] { s.setSelectionArea(a[1].toFloat(), a[2].toFloat(), a[3].toFloat(), a[4].toFloat()); }},
            {"export", [&] {
                 s.setExportFileName(a[1]);
                 s.setExportFrameNumber(a[2].toInt());
             }},
            {"nowhere", [&] {
                 s.setTextPointer(TextPointer());
                 s.placeCaretAt(float(point(a[1]).x()), float(point(a[1]).y()));
             }}};
        steps.value(k, [] {})();
        qDeleteAll(clones);
        qDeleteAll(softTypes);
    }
};

// The document before the steps: names, glyph places, the caret's and the selection box's, the tree.
struct Before
{
    QHash<const TextObject *, QString> names;
    QHash<QString, QPointF> places;
    TreeDump tree;

    explicit Before(const Doc &d) : names(d.names()), tree(d.dump())
    {
        for (Glyph *g : walkList<GlyphIterator>(d.root))
            places.insert(names.value(g), g->scenePos());
        places.insert(QStringLiteral("caret"), d.scene.caret()->pos());
        places.insert(QStringLiteral("centre"), d.scene.selection()->pos());
    }
};

// The entries, the last one's text and the selection ("2 Hide: w2 g1"), then each "<key> [names]: <values>" part of
// expected read back; "moved" lists each distance once, "centre" is the selection box, "box" its rotation.
QString read(const Doc &d, const QString &expected, const Before &b)
{
    const QVorrelScene &s = d.scene;
    const QHash<const TextObject *, QString> n = d.names();
    QStringList selection;
    for (const TextObject *o : d.selected())
        selection << n.value(o);
    QStringList out{(QStringLiteral("%1%2: ").arg(d.entries()).arg(d.entries() ? ' ' + d.lastText() : QString()) + selection.join(' ')).trimmed()};
    for (const QString &part : expected.split(" | ").mid(1)) {
        const QString what = part.section(':', 0, 0), key = what.section(' ', 0, 0);
        const QStringList named = what.split(' ').mid(1);
        QStringList v;
        if (key == "moved" || key == "pos") {
            for (const QString &name : named) {
                const TextObject *o = key == "pos" ? d.at(name) : b.names.key(name);
                const QPointF now = name == "caret" ? s.caret()->pos() : name == "centre" ? s.selection()->pos() : o->scenePos();
                const QString x = xy(key == "pos" ? now : now - b.places.value(name));
                if (key == "pos" || !v.contains(x))
                    v << x;
            }
        } else if (key == "glyphs") {
            for (Glyph *g : walkList<GlyphIterator>(d.root))
                v << g->text();
        } else if (key == "locked" || key == "hidden" || key == "lit") {
            for (TextObject *o : walkList(d.root)) {
                if (key == "locked" ? o->isGlyph() && o->isLocked() : key == "hidden" ? o->isGlyph() && !o->isVisible() : o->isHighlighted())
                    v << n.value(o);
            }
        } else if (key == "z" || key == "rot") {
            for (const QString &name : named)
                v << QString::number(key == "z" ? d.at(name)->zValue() : name == "box" ? s.selection()->rotation() : d.at(name)->rotation(), 'g', 4);
        } else if (key == "soft" || key == "fresh") {
            for (const SoftType *t : static_cast<Glyph *>(d.at(named.value(0)))->softTypes()) {
                const std::unique_ptr<SoftType> fresh(SoftTypeFactory::create(t->typeKey(), t->name()));
                v << (key == "soft" ? t->name() + '=' + t->values().value(QStringLiteral("radius")).toString()
                                    : fresh->propertyNames() == t->propertyNames() ? "yes" : "no");
            }
        } else if (key == "areas" || key == "positions") {
            const QSignalSpy &spy = key == "areas" ? d.areas : d.positions;
            const QRectF r = key == "areas" && spy.count() ? spy.last().at(0).toRectF() : QRectF();
            v << QString::number(spy.count());
            if (spy.count())
                v << (key == "areas" ? xy(r.topLeft()) + QStringLiteral(" %1x%2").arg(r.width()).arg(r.height()) : xy(spy.last().at(0).toPointF()));
        } else {
            v << (key == "shape" ? Typist::shape(d.root) : key == "layout" ? Typist::layoutFault(d.root)
                : key == "pressed" ? (s.pressedOnSelection() ? "selection" : s.pressedOnRotateHandle() ? "rotate" : "none")
                : key == "at" ? n.value(s.textPointer().passage, "-") + ' ' + n.value(s.textPointer().glyph, "-")
                : key == "caret" ? xy(s.caret()->pos()) : key == "press" ? xy(s.pressPoint())
                : key == "hover" ? n.value(s.hoveredObject(), "-") : key == "text" ? s.selectedText()
                : key == "kinds" ? s.selectedSoftTypeKinds().join(' ') : key == "sequence" ? s.sequenceFileName() : key == "tree" ? (d.dump() == b.tree ? "same" : "changed")
                : key == "preview" ? (s.selection()->isTransforming() ? "yes" : "no")
                : key == "band" ? (s.selectionArea()->isVisible() ? "shown" : "hidden")
                : key == "steps" ? QString::number(qobject_cast<CmdCombo *>(d.last())->count())
                : QString::number(d.changes.count()));
        }
        out << (what + ": " + v.join(' ')).trimmed();
    }
    return out.join(" | ");
}

// What undo and redo give back exactly: tree, SoftType values, selection in order, text position, caret.
QStringList state(const Doc &d)
{
    QStringList lines = d.dump().lines;
    for (Glyph *g : walkList<GlyphIterator>(d.root)) {
        for (const SoftType *t : g->softTypes())
            lines << t->name() + ' ' + t->values().value(QStringLiteral("radius")).toString();
    }
    const QHash<const TextObject *, QString> n = d.names();
    for (const TextObject *o : d.selected())
        lines << n.value(o, QString::number(quintptr(o)));
    const TextPointer &t = d.scene.textPointer();
    return lines << QStringLiteral("%1 %2 %3 %4 %5").arg(n.value(t.passage, "-"), n.value(t.glyph, "-")).arg(t.passageIndex)
                        .arg(t.glyphIndex).arg(xy(d.scene.caret()->pos(), 17));
}

} // namespace

class TestSceneOperations : public QObject
{
    Q_OBJECT
private slots:
    void scenarios_data()
    {
        // Document, set-up steps (split by "; ", entries and signals dropped), steps (split by ';'), what they leave.
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("setup");
        QTest::addColumn<QString>("steps");
        QTest::addColumn<QString>("expected");
        auto row = [](const char *name, const QString &text, const QString &setup, const QString &steps, const QString &expected) {
            QTest::newRow(name) << text << setup << steps << expected;
        };
        // A string is one entry, its line ends one line break each; it deselects in the same step.
        row("insertStringLineEnds CRLF", "XY Z", "sel g3 w0", "insert Ab c\td\r\nef", "1 Insert String: | shape: (Ab)_(c)>(d)|(ef) / (XY)_(Z) | layout:");
        row("insertStringLineEnds CR", "XY Z", "sel g3 w0", "insert Ab c\td\ref;insert \n", "2 Insert Glyph: | shape: (Ab)_(c)>(d)|(ef)| / (XY)_(Z)");
        // A character beyond the basic plane is one glyph, a lone surrogate one of its own.
        const QString emoji = QString::fromUcs4(U"\U0001F600", 1), pair = 'a' + emoji + 'b' + emoji.at(0);
        row("insertStringSurrogatePair", "", "", "insert " + pair, "1 Insert String: | glyphs: a " + emoji + " b " + emoji.at(0));
        row("nothing to insert", "", "", "insert ;insertAt 5,5 ;paste", "0:");
        row("a string at a point", "", "", "insertAt 300,400 ab", "1 Insert String: | pos g0: 300,400 | layout:");
        row("typing replaces the selection", "", "insertAt 300,400 ab; sel p", "char a", "1 Insert Glyph: | shape: (aba)");
        row("backspace", "", "insert ab", "backspace", "1 Remove Glyph: | shape: (a)");
        row("backspace replaces the selection", "", "insert a; sel g0", "backspace", "1 Remove Glyph: | shape:");
        row("backspace at the start", "", "insert a; left", "backspace", "0: | at: p -");
        row("backspace outside moves left", "", "insert a; nowhere 600,600", "backspace", "1 Move Caret Left: | at: p g0 | shape: (a)");
        row("insertGlyphs", "AB", "sel p", "paste g0@500,300 g1@560,300", "1 Insert Glyphs: g2 g3 | shape: (AB) / (AB) | pos g2 g3: 500,300 560,300");
        // Nothing moved or turned on a click: one entry, the double-click's; a locked selection moves nothing.
        row("nothingMovedWithCaretOnSelectionAddsNothing", "AB", "click g1; sel p", "click g1;move 0 0;rotate 0;double g1;release g1", "1 Select Object: g1 | changes: 1");
        row("locked", "AB", "click g1; sel p; lockObject g1 1", "move 10 0;rotate 30", "0: p | changes: 0 | moved caret: 0,0 | tree: same");
        row("arrangeSelected", "A/B/C", "sel p2", "arrange 3;arrange 4;arrange -1", "1 Send to Back: p2 | z p p1 p2: 0 0 -1");
        row("arrangeSelected to front", "A/B/C", "sel p", "arrange 0", "1 Bring to Front: p | z p p1 p2: 1 0 0");
        // Hiding deselects in the same step; lock takes the unlocked glyphs (one step each), unlock all.
        const QString show = "showObject p 1;showObject p 0;showObject p 0;showObject p 1", lock = "lockObject g1 1; sel w0 w2";
        row("objectVisibleAndLocked", "AB CD", "sel w2 w0", "hide;hide", "1 Hide: | hidden: g0 g1 g3 g4");
        row("show and hide one object", "AB CD", "sel g3 w0", show, "2 Show: | hidden:");
        row("no object", "AB CD", "", "lockObject - 1;showObject - 0", "0:");
        row("lock", "AB CD", lock, "lock;lock", "1 Lock: w0 w2 | steps: 3 | locked: g0 g1 g3 g4");
        row("lock the passage", "AB CD", lock + "; lock", "lockObject p 1", "1 Lock: w0 w2 | steps: 1 | locked: g0 g1 g2 g3 g4");
        row("unlock", "AB CD", lock + "; lock; lockObject p 1", "unlock", "1 Unlock: w0 w2 | steps: 4 | locked: g2");
        row("unlock the passage", "AB CD", "lockObject g1 1", "lockObject p 0", "1 Unlock: | locked:");
        // A name is unique on a glyph and a locked glyph takes none; pasted, the first of each name counts.
        const QString one = "give g1 pulse pulse-1 10", four = "give g0 pulse x 1; give g0 clay y 0; give g0 pulse z 3; give g1 pulse x 2; sel p";
        row("addSoftTypeEditsExistingName", "AB C", one + "; sel w0", "add pulse:pulse-1:40", "1 Add Pulse SoftType: w0 | soft g0: pulse-1=40 | soft g1: pulse-1=40 | fresh g0: yes");
        row("add to the locked", "AB C", one + "; lockObject g1 1; sel w0", "add pulse:pulse-1:40;sel g1;add pulse:pulse-1:40;add -", "0: g1 | soft g0: | soft g1: pulse-1=10");
        row("pasteSoftTypesOncePerName", "AB", "give g1 pulse shared 1; sel g0 g1", "types pulse:shared:30 pulse:own:20 pulse:shared:99 pulse:own:98;types",
            "1 Paste SoftTypes: g0 g1 | soft g0: shared=30 own=20 | soft g1: shared=30 own=20");
        row("edit SoftTypes", "AB", four, "edit x 77;edit none 7", "1 Edit Pulse SoftType: p | soft g0: x=77 y=0 z=3 | soft g1: x=77");
        row("remove a SoftType", "AB", four, "removeType y", "1 Remove Clay SoftType: p | soft g0: x=1 z=3");
        row("remove a kind, its case matching", "AB", four, "removeKind PULSE;removeKind", "0: p | soft g0: x=1 y=0 z=3");
        row("remove a kind", "AB", four, "removeKind pulse", "1 Remove Pulse SoftTypes: p | soft g0: y=0 | soft g1:");
        row("remove all SoftTypes", "AB", four, "removeAll", "1 Remove All SoftTypes: p | soft g0: | soft g1:");
        // The selected text in reading order; the kinds in selection order, each once.
        row("selected text and kinds, word later", "AB CD", "give g0 pulse p 1; give g0 clay c 0; give g3 Twirl t 0; give g4 pulse p2 1; sel w2 g0", "", "0: w2 g0 | text: ACD | kinds: Twirl pulse clay");
        // Clicks place the caret (outside the text, behind a glyph, snapped; Ctrl nowhere); it follows its glyph.
        row("click on empty canvas", "AB", "sel g1 g0", "click 400,300", "1 Move Caret: | caret: 400,300 | at: - -");
        row("click on a glyph", "AB", "", "click g0", "1 Move Caret to Glyph: | at: p g0");
        row("click snapped", "AB", "grid 50; snap 1", "click 74,10", "1 Move Caret: | press: 50,0 | caret: 50,0");
        row("ctrl click on empty canvas", "AB", "sel g0", "click -300,-300 ctrl", "0: g0 | moved caret: 0,0");
        row("caret stays by another glyph", "AB", "click g1; sel g0", "move 15 0", "1 Move Selection: g0 | moved caret: 0,0");
        row("caret follows its glyph", "AB", "click g1; sel p", "drag g1 g1+40,20", "1 Move Selection: p | moved g1 caret: 40,20 | at: p g1");
        // Hover finds a selected object before its glyphs.
        row("hover", "AB", "", "to g0", "0: | hover: g0 | lit: g0");
        row("hover a selected passage", "AB", "sel p", "to g0", "0: p | hover: p | lit: p");
        row("hover nothing", "AB", "sel p", "to g0;to -2000,-2000", "0: p | hover: - | lit:");
        // On the selection there is no dead zone: a travel of 2.8 moves it, the handle turns by 0.01 rad (0.573 degrees).
        row("dragOnSelectionPreviewsFromTheFirstMove", "AB", "sel p", "press g0;to g0+2,2", "0: p | pressed: selection | moved centre: 2,2 | preview: yes");
        row("short drag released", "AB", "sel p", "press g0;to g0+2,2;release g0+2,2", "1 Move Selection: p | pressed: none | moved g0 g1 centre: 2,2");
        row("rotateHandlePreviewsFromTheFirstMove", "AB", "sel p", "turning 0.01", "0: p | pressed: rotate | rot box: 0.573 | preview: yes");
        // The preview follows the pointer, the text the release, in one entry; with Shift along the larger axis.
        row("drag preview", "AB", "sel p", "press g0;to g0+10,5", "0: p | moved centre: 10,5 | moved g0: 0,0 | preview: yes");
        row("drag", "AB", "sel p", "press g0;to g0+10,5;to g0+40,20;release g0+40,20", "1 Move Selection: p | moved g0 g1 centre: 40,20 | preview: no");
        row("drag with shift", "AB", "sel p", "drag g0 g0+30,10 shift;drag g0 g0+-8,25 shift", "2 Move Selection: p | moved g0: 30,25");
        // The handle previews, the release turns, Shift in steps of 22.5 degrees (0.2 rad = 11.46; set-up: not exact).
        row("rotate handle", "AB", "sel p", "turning 0.2", "0: p | pressed: rotate | rot box g0: 11.46 0");
        row("rotate handle released", "AB", "sel p; turn 0.2", "", "0: p | pressed: none | rot box g0 g1: 0 11.46 11.46");
        row("rotate handle with shift, 0.19 rounded down", "AB", "sel p; turn 0.19 shift; turn 0.2 shift; turn -0.2 shift; turn 0.6 shift", "", "0: p | rot g0: 45");
        // Back near its start the preview still follows; back at the start nothing is made.
        const QString back = "press g0;to g0+40,0;to g0+1,0";
        row("dragBackToStartLeavesNoPreview", "AB", "sel p", back, "0: p | moved centre: 1,0");
        row("drag back released", "AB", "sel p", back + ";to g0;release g0", "0: p | moved centre: 0,0 | preview: no | tree: same");
        // The rubber band shows past the threshold; a band over no glyph selects nothing; Ctrl adds, Alt removes.
        const QString a = "drag g0+-200,-200 g0+0,200";
        row("rubber band below the threshold", "AB", "", "press -100,-100;to -98,-98", "0: | areas: 0 | band: hidden");
        row("rubber band", "AB", "", "press -100,-100;to -98,-98;to -40,-20", "0: | areas: 1 -100,-100 60x80 | band: shown");
        row("rubber band over nothing", "AB", "", "press -100,-100;to -40,-20;release -40,-20", "0: | areas: 2 0,0 0x0 | band: hidden");
        row("rubber band selects", "AB", "", a, "1 Select Region: g0");
        row("rubber band adds and removes", "AB", "", a + ";drag g1+0,-200 g1+200,200 ctrl;" + a + " alt", "3 Select Region: g1");
        // Swapped corners are ordered, the larger coordinate losing its fraction; a line is shown, a point not.
        row("selection area", "AB", "", "area 10.5 20.25 100.75 50.5", "0: | areas: 1 10.5,20.25 90.25x30.25 | band: shown");
        row("selection area swapped", "AB", "", "area 100.75 50.5 10.5 20.25", "0: | areas: 1 10.5,20.25 89.5x29.75 | band: shown");
        row("selection area a line", "AB", "", "area 5 5 5 40", "0: | areas: 1 5,5 0x35 | band: shown");
        row("selection area a point", "AB", "", "area 5 5 5 5", "0: | areas: 1 5,5 0x0 | band: hidden");
        // A double-click selects the glyph under the pointer, not the snapped point; a drag may go on from it.
        row("doubleClickWithSnappingSelectsGlyphUnderPointer", "AB", "grid 1000; snap 1", "double g1", "1 Select Object: g1 | pressed: selection");
        row("double-click on nothing", "AB", "", "double -500,-500", "0: | pressed: none");
        row("double-click released, with alt", "AB", "", "double g0;release g0;double g0 alt;release g0", "2 Select Object: | pressed: none");
        // A sequence frame's file: the frame number, five digits at least, before the suffix.
        row("sequenceFileName", "", "export /out/clip.png 7", "", "0: | sequence: /out/clip_00007.png");
        row("sequence with two dots", "", "export /out/clip.take.tif 7", "", "0: | sequence: /out/clip_00007.tif");
        row("sequence of six digits, without suffix", "", "export /out/clip 123456", "", "0: | sequence: /out/clip_123456");
        // While playing only the mouse position is reported; a band begun before play ends with its gesture.
        row("playing: a press on the selection", "AB", "sel p; play 1", "press g0", "0: p | pressed: none");
        row("playing reports only the mouse position", "AB", "sel p; play 1", "press g0;to g0+30,40;to g0+60,80;release g0+60,80;double g0;"
            "release g0;press -400,-400;to -370,-360;to -340,-320;release -340,-320",
            "0: p | positions: 4 -340,-320 | areas: 0 | changes: 0 | moved centre: 0,0 | preview: no | pressed: none | hover: - | tree: same");
        row("releaseDuringPlayEndsRubberBand", "AB", "", "press -100,-100;to 800,800;play 1", "0: | band: shown");
        row("released during play", "AB", "", "press -100,-100;to 800,800;play 1;release 800,800", "0: | areas: 2 0,0 0x0 | band: hidden");
        row("after play", "AB", "", "press -100,-100;to 800,800;play 1;release 800,800;play 0;press -900,-900;release -900,-900 ctrl", "0:");
    }

    // After every step the scene is sound; undo and redo give back exactly the state of every entry.
    void scenarios()
    {
        QFETCH(QString, text);
        QFETCH(QString, setup);
        QFETCH(QString, steps);
        Doc d(text);
        for (const QString &step : setup.split("; ", Qt::SkipEmptyParts))
            d.run(step);
        d.scene.clearHistory();
        for (QSignalSpy *spy : {&d.changes, &d.areas, &d.positions})
            spy->clear();
        const Before before(d);
        QList<QStringList> states{state(d)};
        for (const QString &step : steps.split(';', Qt::SkipEmptyParts)) {
            d.run(step);
            VERIFY_SCENE(&d.scene);
            states = states.mid(0, d.entries()) << state(d);
        }
        QFETCH(QString, expected);
        QCOMPARE(read(d, expected, before), expected);
        const int done = d.entries();
        for (const bool undo : {true, false}) {
            while (undo ? d.scene.canUndo() : d.entries() < done) {
                undo ? d.scene.undo() : d.scene.redo();
                QCOMPARE(state(d), states.at(d.entries()));
            }
        }
    }

    // By the menu or the handle a turn is one entry that takes the caret along with its glyph; undo brings it back.
    void caretTurnsWithItsGlyph()
    {
        Doc d(QStringLiteral("AB"));
        d.run(QStringLiteral("click g1"));
        d.run(QStringLiteral("sel p"));
        const QPointF caret = d.scene.caret()->pos();
        d.run(QStringLiteral("rotate 90"));
        QVERIFY(d.scene.caret()->pos() != caret);
        d.run(QStringLiteral("turn 0.2"));
        QCOMPARE(read(d, "3 Rotate Selection: p | steps: 2", Before(d)), QStringLiteral("3 Rotate Selection: p | steps: 2"));
        d.scene.undo();
        d.scene.undo();
        QCOMPARE(d.scene.caret()->pos(), caret);
    }

    // A pasted string, its undo and its redo take time linear in its length, though each glyph lands in a word, a
    // passage and a line that the glyphs before it made long.
    void insertingAStringTakesLinearTime_data()
    {
        QTest::addColumn<QString>("unit");
        QTest::addColumn<int>("length");
        QTest::newRow("one word") << "x" << 16000;
        QTest::newRow("words and lines") << "abcde fghij\n" << 2000;
        QTest::newRow("line breaks") << "\n" << 4000;
    }
    void insertingAStringTakesLinearTime()
    {
        QFETCH(QString, unit);
        QFETCH(int, length);
        const auto run = [&](int factor) {
            QString text = unit.repeated(factor * length / unit.size() + 1).left(factor * length);
            TestDocument d;
            QGraphicsView view(&d.scene); // painted before the undo, as the program shows the text
            const double start = DoublingRatio::cpuSeconds();
            d.scene.insertString(text, QPointF(10, 100), false);
            const QPointF caret = d.scene.caret()->pos();
            view.grab();
            d.scene.undo();
            const bool undone = d.root->count() == 0 && d.scene.caret()->pos() == QPointF(0, 100);
            d.scene.redo();
            const double seconds = DoublingRatio::cpuSeconds() - start;
            const bool done = d.entries() == 1 && d.lastText() == "Insert String" && d.scene.caret()->pos() == caret
                           && d.root->text() == text.replace('\n', QChar(Glyph::LineBreak));
            return undone && done ? seconds : -1;
        };
        const QString slow = DoublingRatio::nonLinear(run, QStringLiteral("the text"));
        QVERIFY2(slow.isEmpty(), qPrintable(slow));
    }

    // Steps over all glyphs of a passage (of spaces: all its children), undone and redone, take linear time against walks
    // over the same glyphs (whose cache misses grow as theirs do): pasted clones stand selected where their copies stand,
    // to front (back) puts the k-th at k (-k), hide leaves all hidden, none selected. Delete and Cut (its copy as the
    // window's) over passages ('/' parts them) leave no object, their undo the very objects back unselected, against Hide
    // timed alike; "delete" times the step alone, "delete undone and redone" its undo and redo alone.
    void stepsOverManyGlyphsTakeLinearTime_data()
    {
        QTest::addColumn<int>("mode"); // an arrange mode, -1 hide, -2 paste, -3 delete, -4 delete timed back, -5 cut
        QTest::addColumn<QString>("text");
        QTest::newRow("paste beside as many selected") << -2 << (QStringLiteral("abcde fghij") + QChar(Glyph::LineBreak)).repeated(100);
        QTest::newRow("to front") << 0 << QString(1000, ' ');
        QTest::newRow("to back") << 3 << QString(1000, ' ');
        QTest::newRow("hide") << -1 << QString(1000, ' ');
        QTest::newRow("delete") << -3 << QStringLiteral("x/").repeated(2000);
        QTest::newRow("delete undone and redone") << -4 << QStringLiteral("x/").repeated(2000);
        QTest::newRow("cut") << -5 << QStringLiteral("x/").repeated(2000);
    }
    void stepsOverManyGlyphsTakeLinearTime()
    {
        QFETCH(int, mode);
        QFETCH(QString, text);
        const auto run = [&](int factor) {
            TestDocument d;
            for (const QString &passage : text.repeated(5 * factor).split('/', Qt::SkipEmptyParts))
                d.add(passage);
            const QList<Glyph *> copies = walkList<GlyphIterator>(d.root);
            d.scene.selectAll(1, 2);
            double walks = 0, steps = 0, untimed = 0;
            const auto state = [&] { // the very objects, the selection, each glyph's stacking value (hidden: plus 0.5)
                QVector<double> z;
                for (const Glyph *g : walkList<GlyphIterator>(d.root))
                    z << g->zValue() + (g->isVisible() ? 0 : 0.5);
                return std::make_pair(walkList(d.root) + d.selected(), z);
            };
            const auto timed = [&](double &sum, auto work) {
                const double start = DoublingRatio::cpuSeconds();
                auto result = work();
                sum += DoublingRatio::cpuSeconds() - start;
                return result;
            };
            QString cutText;
            QList<Glyph *> clones;
            const auto copy = [&] { // for a cut, as the window's Copy: the selected text, a clone of each selected glyph
                for (TextObject *o : mode == -5 ? d.selected() : QList<TextObject *>())
                    clones += walkList<GlyphIterator>(o);
                std::transform(clones.cbegin(), clones.cend(), clones.begin(), [](const Glyph *g) { return g->cloneGlyph(); });
                return cutText = mode == -5 ? d.scene.selectedText() : QString(), 0;
            };
            const auto hiding = [&](double seconds = 0) { // Hide on the same selection (after the same copy), timed as the removal is
                timed(mode == -4 ? untimed : seconds, [&] { return copy(), d.scene.hideSelected(), 0; });
                timed(mode == -3 ? untimed : seconds, [&] { return d.scene.undo(), d.scene.redo(), 0; });
                qDeleteAll(std::exchange(clones, {}));
                return d.scene.undo(), seconds;
            };
            const bool removal = mode <= -3;
            double floor = removal ? hiding() : 0; // a removal's, the lesser of a turn before its steps and one after
            const auto before = state();
            const auto undone = removal ? std::make_pair(walkList(d.root), before.second) : before;
            timed(mode == -4 ? untimed : steps, [&] { return copy(), mode == -2 ? d.scene.insertGlyphs(copies) : mode == -1
                ? d.scene.hideSelected() : removal ? d.scene.removeSelected() : d.scene.arrangeSelected(mode), 0; });
            const auto after = timed(walks, state);
            const QList<TextObject *> selected = d.selected();
            const QList<Glyph *> placed = walkList<GlyphIterator>(d.root->lastChild());
            bool exact = removal ? after.first == QList<TextObject *>{d.root} && d.lastText() == "Remove Selection"
                       : mode == -1 ? selected.isEmpty() : selected.size() == copies.size();
            for (int k = 0; k < copies.size() && !removal; ++k)
                exact = exact && (mode == -2 ? selected.at(k) == placed.at(k) && placed.at(k)->pos() == copies.at(k)->pos()
                                  : mode == -1 ? !copies.at(k)->isVisible() : selected.at(k)->zValue() == (mode ? -k - 1 : k + 1));
            exact = exact && clones.size() == (mode == -5 ? copies.size() : 0) && cutText == QString(text).remove('/').repeated(5 * factor).left(clones.size());
            qDeleteAll(std::exchange(clones, {}));
            timed(mode == -3 ? untimed : steps, [&] { return d.scene.undo(), 0; });
            exact = exact && timed(walks, state) == undone;
            timed(mode == -3 ? untimed : steps, [&] { return d.scene.redo(), 0; });
            exact = exact && timed(walks, state) == after;
            floor = removal ? qMin(floor, (d.scene.undo(), d.scene.selectAll(1, 2), hiding())) : 0;
            return exact ? factor * steps / (removal ? floor : walks) : -1;
        };
        const QString slow = DoublingRatio::nonLinear(run, QStringLiteral("the glyphs"));
        QVERIFY2(slow.isEmpty(), qPrintable(slow));
    }
};

QTEST_MAIN(TestSceneOperations)
#include "tst_sceneoperations.moc"
