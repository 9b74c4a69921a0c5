#include "commands/CmdAddSoftType.h"
#include "commands/CmdArrange.h"
#include "commands/CmdCombo.h"
#include "commands/CmdConvertSelected.h"
#include "commands/CmdEditSoftType.h"
#include "commands/CmdInsertGlyph.h"
#include "commands/CmdMoveCaretGlyph.h"
#include "commands/CmdMoveCaretLeft.h"
#include "commands/CmdMoveCaretPoint.h"
#include "commands/CmdMoveCaretRight.h"
#include "commands/CmdMoveSelected.h"
#include "commands/CmdRemoveGlyph.h"
#include "commands/CmdRemoveSelected.h"
#include "commands/CmdRemoveSoftType.h"
#include "commands/CmdResetSelected.h"
#include "commands/CmdResetSelectedDeform.h"
#include "commands/CmdRotateSelected.h"
#include "commands/CmdSelectAll.h"
#include "commands/CmdSelectPoint.h"
#include "commands/CmdSelectRect.h"
#include "commands/CmdSelectSame.h"
#include "commands/CmdSelectTextObject.h"
#include "commands/CmdSetCanvas.h"
#include "commands/CmdSetLock.h"
#include "commands/CmdSetSceneFillColor.h"
#include "commands/CmdSetSceneFont.h"
#include "commands/CmdSetSceneFontSize.h"
#include "commands/CmdSetSceneStrokeColor.h"
#include "commands/CmdSetSceneStrokeWidth.h"
#include "commands/CmdSetSelectedAsOriginal.h"
#include "commands/CmdSetSelectedFillColor.h"
#include "commands/CmdSetSelectedFont.h"
#include "commands/CmdSetSelectedFontSize.h"
#include "commands/CmdSetSelectedStrokeColor.h"
#include "commands/CmdSetSelectedStrokeWidth.h"
#include "commands/CmdSetVisible.h"
#include "commands/CmdSimulate.h"
#include "commands/TextPlace.h"
#include "model/Caret.h"
#include "model/Glyph.h"
#include "model/GlyphIterator.h"
#include "model/GlyphPath.h"
#include "propertybrowser/QtVariantProperty.h"
#include "softtypes/SoftTypeOriginateAsymptotic.h"
#include "softtypes/SoftTypePull.h"
#include "support/ProbeCmd.h"
#include "support/TestDocument.h"
#include "support/TestSoftType.h"
#include "support/TreeCheck.h"
#include "support/Typist.h"

#include <QPointer>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QtTest>

namespace {

using Objects = QList<TextObject *>;

const QFont dejavu(QStringLiteral("DejaVu Sans"), 36);

void deform(Glyph *g, double by)
{
    for (int i = 0; i < g->path()->current.elementCount(); ++i)
        g->moveElementBy(i, QPointF(by, -by / 2));
}

// A Pull that acts on every frame whatever the buttons.
SoftType *alwaysPull()
{
    SoftType *s = new SoftTypePull(QStringLiteral("pull-1"));
    s->property(QStringLiteral("trigger"))->setValue(0);
    return s;
}

QString typingFault(QVorrelScene *s)
{
    return TreeCheck::sceneFault(s) + Typist::pointerFault(s) + Typist::caretFault(s) + Typist::layoutFault(s->root());
}

// The "fill", "stroke", "width", "font" or "size" of a glyph or the style for new text, shown: colours as #argb, fonts
// by family.
template<typename T>
QString valueOf(const T &t, const QFont &font, int size, const QString &what)
{
    return what == "fill" ? t.fillColor().name(QColor::HexArgb) : what == "stroke" ? t.strokeColor().name(QColor::HexArgb)
         : what == "width" ? QString::number(t.strokeWidth()) : what == "font" ? font.family() : QString::number(size);
}

// Passages split by '/', built each 300 below the one before ("" an empty one), or typed from the default caret, '/'
// starting a new passage 300 lower; a '~' is a space and a '#' a letter taken out at the end, leaving the words
// beside it touching or its word empty. Parts by name: "p" the first passage, "p<i>" passage i, "w<i>" child i of the
// first, "g<i>" glyph i of the document, "o<i>" object i of its walk; any other name none.
struct Doc : TestDocument
{
    TextGroup *p = nullptr;
    // Whether a removal was undone: selections are then compared no more (State::matches).
    bool removalUndone = false;
    void undo()
    {
        removalUndone = removalUndone || (entries() && lastText() == QStringLiteral("Remove Selection"));
        scene.undo();
    }

    explicit Doc(const QString &text = QStringLiteral("ab cd"), bool typed = false)
    {
        QList<int> touching;
        for (const QString &t : text.isEmpty() ? QStringList() : text.split('/')) {
            if (typed && root->count())
                run(new CmdMoveCaretPoint(&scene, QPointF(0, 100 + 300 * root->count())));
            for (int i = 0; i < t.size(); ++i) {
                if (t.at(i) == '~' || t.at(i) == '#')
                    touching.prepend(walkList<GlyphIterator>(root).size() + i);
            }
            if (typed)
                Typist::type(&scene, QString(t).replace('~', ' '));
            else
                add(QString(t).replace('~', ' '), QPointF(0, 100 + 300 * root->count()));
        }
        for (int i : touching) {
            TextGroup *passage = g(i)->parentGroup();
            delete scene.removeChild(passage, g(i));
            passage->relayout();
        }
        p = group(root->child(0));
    }
    TextGroup *w(int i) const { return group(p->child(i)); }
    Glyph *g(int i) const { return walkList<GlyphIterator>(root).value(i); }
    TextObject *at(const QString &name) const
    {
        const int i = name.mid(1).toInt();
        return name.startsWith('p') ? root->child(i) : name.startsWith('w') && p ? p->child(i) : name.startsWith('g') ? g(i)
             : name.startsWith('o') ? walkList(root).value(i) : nullptr;
    }
    Objects all(const QString &names) const
    {
        Objects objects;
        for (const QString &n : names.split(' ', Qt::SkipEmptyParts))
            objects << at(n);
        return objects;
    }
    QHash<const TextObject *, QString> names() const
    {
        QHash<const TextObject *, QString> names;
        for (int k = 0; k < root->count(); ++k) {
            const QString passage = k ? QStringLiteral("p%1").arg(k) : QStringLiteral("p");
            names.insert(root->child(k), passage);
            for (int i = 0; i < group(root->child(k))->count(); ++i)
                names.insert(group(root->child(k))->child(i), (k ? passage : QString()) + QStringLiteral("w%1").arg(i));
        }
        const QList<Glyph *> glyphs = walkList<GlyphIterator>(root);
        for (int i = 0; i < glyphs.size(); ++i)
            names.insert(glyphs.at(i), QStringLiteral("g%1").arg(i));
        return names;
    }
    // The entries, the last one's text and the selection by name ("2 Hide: w2 g1"), then for each further part
    // "<what>: <values>" of the expected text (split by " | ") what it names: "shape" (Typist::shape), "locked" and
    // "hidden" glyphs, "at" the text position ("<passage> <word> <glyph> <passage index>/<word index>/<glyph index>",
    // "-" none), "caret" its place, "canvas" the settings, "scene <fill|stroke|width|size|font>" the style's value,
    // and for "<kind> <names>" each object's "z" value, "outline" (Doc::outline), or "fill", "stroke", "width",
    // "size" or "font" value, each value once.
    QString read(const QString &expected) const
    {
        const QHash<const TextObject *, QString> n = names();
        const TextPointer &t = scene.textPointer();
        QStringList selection;
        for (const TextObject *o : selected())
            selection << n.value(o);
        QStringList out{(QStringLiteral("%1%2: ").arg(entries()).arg(entries() ? ' ' + lastText() : QString()) + selection.join(' ')).trimmed()};
        for (const QString &part : expected.split(" | ").mid(1)) {
            const QString what = part.section(':', 0, 0), key = what.section(' ', 0, 0);
            QStringList v;
            if (key == "shape")
                v << Typist::shape(root);
            if (key == "at")
                v << n.value(t.passage, "-") << n.value(t.word, "-") << n.value(t.glyph, "-")
                  << QStringLiteral("%1/%2/%3").arg(t.passageIndex).arg(t.wordIndex).arg(t.glyphIndex);
            if (key == "caret")
                v << QStringLiteral("%1,%2").arg(scene.caret()->x()).arg(scene.caret()->y());
            if (key == "canvas")
                v << QStringLiteral("%1 %2 %3 %4 %5 %6").arg(scene.screenWidth()).arg(scene.screenHeight()).arg(scene.exportWidth())
                         .arg(scene.exportHeight()).arg(scene.exportResolution()).arg(scene.backgroundColor().name(QColor::HexArgb));
            const QString of = what.section(' ', 1);
            if (key == "scene")
                v << valueOf(scene, scene.textFont(), scene.fontSize(), of);
            for (Glyph *g : key == "locked" || key == "hidden" ? walkList<GlyphIterator>(root) : QList<Glyph *>()) {
                if (key == "locked" ? g->isLocked() : !g->isVisible())
                    v << n.value(g);
            }
            for (TextObject *o : QStringList{"z", "outline", "fill", "stroke", "width", "size", "font"}.contains(key) ? all(of) : Objects()) {
                const Glyph *g = qobject_cast<Glyph *>(o);
                const QString x = key == "z" ? QString::number(o->zValue()) : key == "outline" ? outline(g)
                                                                         : valueOf(*g, g->font(), g->font().pointSize(), key);
                if (key == "z" || key == "outline" || !v.contains(x))
                    v << x;
            }
            out << (what + ": " + v.join(' ')).trimmed();
        }
        return out.join(" | ");
    }
    // A glyph's current outline: the font's own, the rest outline, only lines, no lines ("curves") or "mixed".
    static QString outline(const Glyph *g)
    {
        const QPainterPath &c = g->path()->current;
        int lines = 0, moves = 0;
        for (int i = 0; i < c.elementCount(); ++i) {
            lines += c.elementAt(i).type == QPainterPath::LineToElement;
            moves += c.elementAt(i).type == QPainterPath::MoveToElement;
        }
        return c == GlyphPath(QPointF(), g->font(), g->text()).current ? "font" : c == g->path()->rest ? "rest"
             : lines + moves == c.elementCount() ? "lines" : lines ? "mixed" : "curves";
    }
    // "x,y,w,h", or the bounds of the objects named, joined by '+'.
    QRectF areaOf(const QString &v) const
    {
        const QStringList n = v.split(',');
        QRectF area = n.size() == 4 ? QRectF(n[0].toDouble(), n[1].toDouble(), n[2].toDouble(), n[3].toDouble()) : QRectF();
        for (TextObject *o : all(QString(v).replace('+', ' ')))
            area |= o ? o->sceneBoundingRect() : QRectF();
        return area;
    }
    // "x,y", or the centre of areaOf.
    QPointF pointOf(const QString &v) const
    {
        const QStringList n = v.split(',');
        return n.size() == 2 ? QPointF(n[0].toDouble(), n[1].toDouble()) : areaOf(v).center();
    }
    // A command by its key in the table below and its arguments: parts by name, points as "x,y", bands as "x,y,w,h" or
    // names joined by '+' (less a margin), colours by name, fonts "arial" or "dejavu", "scene ..." the style for new
    // text; "arrange <mode> <names>" and "combo <form> + <form>..." one entry each, the combo with the first one's text.
    Cmd *command(const QString &form)
    {
        QVorrelScene *s = &scene;
        const QStringList a = form.split(' ', Qt::SkipEmptyParts);
        const QString k = a.at(0), v = a.value(1), last = a.last();
        const int mode = a.value(2).toInt();
        const QStringList n = v.split(',');
        const QRectF area = areaOf(v);
        const QPointF point = pointOf(v);
        const QChar typed = v == "space" ? ' ' : v == "tab" ? '\t' : v == "return" ? '\r' : v == "newline" ? '\n' : v.isEmpty() ? QChar() : v.at(0);
        const QColor c(last);
        const QFont f = last == "arial" ? arial : dejavu;
        const QHash<QString, std::function<Cmd *()>> make{
            {"object", [&] { return new CmdSelectTextObject(s, at(v), mode); }},
            {"point", [&] { return new CmdSelectPoint(s, mode, point); }},
            {"rect", [&] { return new CmdSelectRect(s, (n.size() == 4 ? area : area.adjusted(3, 3, -3, -3)).toRect(), mode, 2); }},
            {"all", [&] { return new CmdSelectAll(s, mode, v.toInt()); }},
            {"same", [&] { return new CmdSelectSame(s, mode, v.toInt()); }},
            {"move", [&] { return new CmdMoveSelected(s, v.toFloat(), last.toFloat()); }},
            {"rotate", [&] { return new CmdRotateSelected(s, v.toFloat(), QPointF()); }},
            {"remove", [&] { return new CmdRemoveSelected(s); }},
            {"visible", [&] { return new CmdSetVisible(s, at(last), v == "1"); }},
            {"lock", [&] { return new CmdSetLock(s, at(last), v == "1"); }},
            {"curves", [&] { return new CmdConvertSelected(s, CmdConvertSelected::ToCurves); }},
            {"lines", [&] { return new CmdConvertSelected(s, CmdConvertSelected::ToLines); }},
            {"reset", [&] { return new CmdResetSelected(s); }},
            {"original", [&] { return new CmdSetSelectedAsOriginal(s); }},
            {"undeform", [&] { return new CmdResetSelectedDeform(s); }},
            {"canvas", [&] { return new CmdSetCanvas(s, v.toInt(), a[2].toInt(), a[3].toInt(), a[4].toInt(), a[5].toInt(), c); }},
            {"fill", [&] { return new CmdSetSelectedFillColor(s, c); }},
            {"stroke", [&] { return new CmdSetSelectedStrokeColor(s, c); }},
            {"width", [&] { return new CmdSetSelectedStrokeWidth(s, last.toFloat()); }},
            {"size", [&] { return new CmdSetSelectedFontSize(s, last.toInt()); }},
            {"font", [&] { return new CmdSetSelectedFont(s, f); }},
            {"scene fill", [&] { return new CmdSetSceneFillColor(s, c); }},
            {"scene stroke", [&] { return new CmdSetSceneStrokeColor(s, c); }},
            {"scene width", [&] { return new CmdSetSceneStrokeWidth(s, last.toFloat()); }},
            {"scene size", [&] { return new CmdSetSceneFontSize(s, last.toInt()); }},
            {"scene font", [&] { return new CmdSetSceneFont(s, f); }},
            {"type", [&] { return new CmdInsertGlyph(s, Typist::glyph(s, typed), true); }},
            {"backspace", [&] { return new CmdRemoveGlyph(s); }},
            {"left", [&] { return new CmdMoveCaretLeft(s); }},
            {"right", [&] { return new CmdMoveCaretRight(s); }},
            {"caret", [&] { return n.size() == 2 ? static_cast<Cmd *>(new CmdMoveCaretPoint(s, point)) : new CmdMoveCaretGlyph(s, qobject_cast<Glyph *>(at(v))); }},
            {"arrange", [&] {
                 auto *combo = new CmdCombo(s, QString());
                 for (TextObject *o : all(a.mid(2).join(' ')))
                     combo->add(new CmdArrange(s, o, v.toInt()), true);
                 return combo;
             }},
            {"combo", [&] {
                 auto *combo = new CmdCombo(s, QStringLiteral("Unknown Combo Command"));
                 for (const QString &part : form.mid(6).split(" + "))
                     combo->add(command(part), combo->count() == 0);
                 return combo;
             }}};
        return make.value(k == "scene" ? k + ' ' + v : k)();
    }
    TextPointer pointer(const QString &form) const
    {
        const QStringList a = form.split(QRegularExpression("[ /]"));
        TextPointer t;
        t.passage = at(a[0]);
        t.passageIndex = a[1].toInt();
        t.word = at(a[2]);
        t.wordIndex = a[3].toInt();
        t.glyph = at(a[4]);
        t.glyphIndex = a[5].toInt();
        return t;
    }
    bool run(Cmd *c) { return scene.executeCommand(c); }
    bool run(const QString &form) { return run(command(form)); }
    // A play run of n ticks as the view runs them, the mouse above the text.
    void play(int n, const std::function<void(int)> &during = {})
    {
        scene.setMousePosition(QPointF(120, 60));
        scene.setPlayState(true);
        for (int i = 0; i < n; ++i) {
            if (during)
                during(i);
            scene.setFrameCounter(scene.frameCounter() + 1);
            scene.stepSoftTypes();
        }
        scene.setPlayState(false);
    }
};

// What undo and redo give back exactly: each object's place, turn, stacking, own visibility, selection, lock and glyph
// data (font by hash, outlines in full); the selection order, text position (a glyph index between words is not
// used), caret, canvas and style for new text.
struct State
{
    Objects objects, selected, flagged;
    QVector<double> numbers;

    static State of(const Doc &d, bool outlines = true)
    {
        const QVorrelScene &s = d.scene;
        State st{walkList(d.root), s.selectedObjects(), {}, {double(qHash(s.textFont()))}};
        for (TextObject *o : st.objects) {
            if (o->isSelected())
                st.flagged << o;
            st.numbers << o->x() << o->y() << o->rotation() << o->zValue() << o->isVisibleTo(o->parentItem()) << o->isLocked();
            if (const Glyph *g = qobject_cast<Glyph *>(o)) {
                st.numbers << g->character().unicode() << g->strokeWidth() << qHash(g->font()) << g->fillColor().rgba()
                           << g->strokeColor().rgba();
                for (const QPainterPath *path : {&g->path()->rest, &g->path()->current}) {
                    for (int i = 0; outlines && i < path->elementCount(); ++i)
                        st.numbers << path->elementAt(i).type << path->elementAt(i).x << path->elementAt(i).y;
                    st.numbers << -1;
                }
            }
        }
        const TextPointer &t = s.textPointer();
        st.numbers << quintptr(t.passage) << t.passageIndex << quintptr(t.word) << t.wordIndex << quintptr(t.glyph)
                   << (t.word ? t.glyphIndex : 0) << s.caret()->x() << s.caret()->y() << s.strokeWidth() << s.screenWidth()
                   << s.screenHeight() << s.exportWidth() << s.exportHeight() << s.exportResolution();
        st.numbers << s.fillColor().rgba() << s.strokeColor().rgba() << s.backgroundColor().rgba();
        return st;
    }
    // With the selection or without: an undone removal puts its objects back unselected, a selection no command made.
    bool matches(const State &o, bool selection) const
    {
        return objects == o.objects && numbers == o.numbers && (!selection || (selected == o.selected && flagged == o.flagged));
    }
    bool operator==(const State &o) const { return matches(o, true); }
};

// Runs a command, "undo" or "redo", keeping states[i] the state at history index i. Returns the form when it broke
// something: a change reported wrongly (for selections: other than the one made) or a state not given back.
QString step(Doc &d, const QString &form, QList<State> &states, bool full)
{
    const Objects selected = d.selected();
    const QString key = form.section(' ', 0, 0);
    const QPointF point = key == "point" ? d.pointOf(form.section(' ', 1, 1)) : QPointF();
    const bool hit = key == "point" && (d.scene.glyphAt(point) || d.scene.selectedObjectAt(point));
    bool changed = false;
    if (form == "undo" || form == "redo")
        form == "undo" ? d.undo() : d.scene.redo();
    else
        changed = d.run(form);
    const State now = State::of(d, full);
    if (changed)
        states = states.mid(0, d.entries()) << now;
    // A selection command is an entry when it changed the selection; one by point whenever it hit something.
    const bool selecting = QStringList{"object", "all", "same"}.contains(key);
    return (changed || now.matches(states.at(d.entries()), !d.removalUndone)) && (!selecting || changed == (selected != d.selected()))
                   && (key != "point" || changed == hit) ? QString() : form;
}

// Undoes every entry, then redoes them: each gives back the state recorded at its point of the history (but for the
// first one when the set-up left it unsettled). Returns where not ("" when all did).
QString replay(Doc &d, const QList<State> &states, bool full, bool first = true)
{
    for (const int to : {0, d.entries()}) {
        while (d.entries() != to) {
            to ? d.scene.redo() : d.undo();
            if ((first || d.entries()) && !State::of(d, full).matches(states.at(d.entries()), !d.removalUndone))
                return QStringLiteral("%1 to %2").arg(to ? "redo" : "undo").arg(d.entries());
        }
    }
    return QString();
}

} // namespace

class TestCommands : public QObject
{
    Q_OBJECT
private slots:
    void comboRunsItsStepsAndMerges()
    {
        // Execute runs every step, undo those whose latest run changed something; one step gives the text (one of
        // steps changing nothing is dropped: the "combo" scenarios). Null steps are ignored. Composites merge when each
        // pair of steps at one position merges.
        int counter = 0;
        auto *a = new ProbeCmd(nullptr, &counter, 1, true), *b = new ProbeCmd(nullptr, &counter, 0);
        CmdCombo combo(nullptr, QStringLiteral("Unknown Combo Command"));
        for (Cmd *c : QList<Cmd *>{nullptr, a, nullptr, b})
            combo.add(c, c != a); // guards: comboIgnoresANullCommand
        const CmdResult done = combo.execute();
        QVERIFY(combo.count() == 2 && combo.text() == QStringLiteral("Probe") && done.documentChanged() && done.selectionChanged());
        QVERIFY(combo.undo().selectionChanged() && a->undone == 1 && b->undone == 0);
        b->delta = 2; // a redo replaces the results
        combo.execute();
        combo.undo();
        QVERIFY(counter == 0 && a->undone == 2 && b->undone == 1);
        auto make = [&counter](QList<bool> merging) {
            auto *c = new CmdCombo(nullptr, QString());
            for (bool m : merging)
                c->add(m ? new MergingProbeCmd(nullptr, &counter, 1) : new ProbeCmd(nullptr, &counter, 1), false);
            return QSharedPointer<CmdCombo>(c);
        };
        QVERIFY(make({})->merge(make({}).data()) && make({true, true})->canMerge(make({true, true}).data()));
        QVERIFY(!make({true})->canMerge(make({true, true}).data()) && !make({true, false})->canMerge(make({true, false}).data()));
        QVERIFY(!make({true, true})->merge(make({true, false}).data()) && !make({})->canMerge(a));
    }

    void randomEdits_data()
    {
        // A document (empty: typed), command forms (Doc::command; "%o" an object, "%g" a glyph, "%m" a mode, "%n" 0
        // to 4, "%b" 0 or 1, "%c" a colour, "%s" a size, "%f" a font, "%l" a letter, "%x" a point, each drawn afresh;
        // forms repeated weigh more), runs and steps per run.
        QTest::addColumn<QString>("text");
        QTest::addColumn<QStringList>("kinds");
        QTest::addColumn<int>("runs");
        QTest::addColumn<int>("steps");
        const QStringList typing = (QStringLiteral("type %l;").repeated(18) + QStringLiteral("type space;").repeated(4)
                                    + QStringLiteral("backspace;").repeated(10) + QStringLiteral("left;right;").repeated(4)
                                    + "type tab;type return;type return;caret %g;caret %g;caret %g;caret %x").split(';');
        const QStringList select{"object %o %m", "all %n %m", "point %o %m", "same %n %m"};
        QTest::newRow("randomEditing") << "" << typing << 5 << 500;
        QTest::newRow("selectUndoRestoresTheExactSelection") << "ab cd\ref ab/cd x" << select << 20 << 30;
        QTest::newRow("randomObjectEditsUndoAndRedoExactly") << "ab cd\ref ab/cd x" << select + QStringList{
            "object %o 2", "object %o 2", "arrange %n %o", "move 3.5 -2.25", "remove", "lock %b %o", "lock %b %o",
            "visible %b %o", "visible %b %o", "curves", "lines", "reset", "original", "undeform",
            "canvas 64%b 480 320 240 72 %c", "fill %c", "stroke %c", "width %n", "size %s", "font %f", "scene fill %c",
            "scene stroke %c", "scene width %n", "scene size %s", "scene font %f"} << 60 << 30;
    }

    // Seeded runs of commands, undos and redos on a deformed document: after each step the scene is sound (typing: with
    // text position, caret and layout) and step() finds nothing; at the end every undo and redo gives back its state.
    void randomEdits()
    {
        QFETCH(QString, text);
        QFETCH(QStringList, kinds);
        QFETCH(int, steps);
        const bool typing = text.isEmpty();
        QRandomGenerator rng(20261206);
        std::unique_ptr<Doc> d;
        QFETCH(int, runs);
        for (int run = 0; run < runs; ++run) {
            if (!d || !typing) {
                d.reset(new Doc(text));
                for (Glyph *g : walkList<GlyphIterator>(d->root))
                    deform(g, 1.5);
            }
            d->scene.clearHistory();
            QList<State> states{State::of(*d, !typing)};
            for (int n = 0; n < steps; ++n) {
                const int objects = qMax(walkList(d->root).size() - 1, 1), pick = rng.bounded(kinds.size() + 2);
                QString form = pick < kinds.size() ? kinds.at(pick) : pick == kinds.size() ? "undo" : "redo";
                const QStringList drawn{QStringLiteral("o%1").arg(rng.bounded(objects)), QStringLiteral("g%1").arg(rng.bounded(objects)),
                                        QString::number(1 + rng.bounded(4)), QString::number(rng.bounded(5)),
                                        QString::number(rng.bounded(2)), QStringList{"black", "red", "blue"}.at(rng.bounded(3)),
                                        QString::number(12 + rng.bounded(60)), rng.bounded(2) ? "arial" : "dejavu",
                                        QStringLiteral("abcdefghijklmnopqrstuvwxyzAEIOUW").at(rng.bounded(32)),
                                        QStringLiteral("%1,%2").arg(rng.bounded(2000) - 500).arg(rng.bounded(1500) - 200)};
                for (int i = 0; i < drawn.size(); ++i)
                    form.replace(QStringLiteral("%") + QLatin1Char("ogmnbcsflx"[i]), drawn.at(i));
                const QString where = QStringLiteral("run %1 step %2: %3 in %4").arg(run).arg(n).arg(form, Typist::shape(d->root));
                QVERIFY2(step(*d, form, states, !typing).isEmpty(), qPrintable(where));
                const QString fault = typing ? typingFault(&d->scene) : TreeCheck::sceneFault(&d->scene);
                QVERIFY2(fault.isEmpty(), qPrintable(where + ": " + fault));
            }
            const QString broke = replay(*d, states, !typing);
            QVERIFY2(broke.isEmpty(), qPrintable(broke));
        }
    }

    void scenarios_data()
    {
        // A document (Doc; typed after '>'), set-up steps ("sel <names>"; text position by "start <passage>", "outside
        // <index>", "pointer <passage>/<i> <word>/<i> <glyph>/<i>"; "z <value> <names>", "deform <names>"; commands,
        // their entries dropped), commands (Doc::command) and what they leave (Doc::read).
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("setup");
        QTest::addColumn<QString>("commands");
        QTest::addColumn<QString>("expected");
        const QString ab = "ab cd", same = "ab Ab ab a", lockHide = "; lock 1 g3; visible 0 g9", glyphs = "g3 g0 g1 g2 g4 g5 g6 g7 g8";
        const QString z = "z 2.7 p1; z -1.5 p2; sel p", words = "z 0.5 w0; z -1.25 w2; z 3 w4; sel w0 w2 w4";
        auto row = [](const char *name, const QString &text, const QString &setup, const QString &commands, const QString &expected) {
            QTest::newRow(name) << text << setup << commands << expected;
        };
        // Commands that find nothing to act on, or values as they are, change nothing and leave no entry.
        const QString all = "move 5 5;rotate 30;remove;fill red;font dejavu;size 20;width 3;stroke red;reset;curves;undeform;original";
        row("nothing selected", ab, "", all + ";arrange 0 p", "0:");
        row("only locked text selected", ab, "sel g0 w2; lock 1 g0; lock 1 g4", all, "0: g0 w2");
        row("values as they are", ab, "sel p", "fill black;size 72;font arial;move 0 0;rotate 0;scene fill black", "0: p");
        row("object: add", ab, "sel w0", "object w2 2", "1 Select Object: w0 w2");
        row("object: only", ab, "sel w0 w2", "object w2 1", "1 Select Object: w2");
        row("object: toggle", ab, "sel w2", "object w2 4", "1 Select Object:");
        row("object: locked, hidden, none", ab, "lock 1 g0; visible 0 w2", "object w0 2;object w2 2;object - 2", "0:");
        row("same glyphs", same, "sel g0", "same 2 1", "1 Select Same Glyphs: g0 g6 g9");
        row("same words", same, "sel w0", "same 3 1;same 3 1", "1 Select Same Words: w0 w4");
        // Locked and hidden objects are neither selected nor deselected; a word with a locked glyph is locked.
        row("all words", same, "sel g3 w0" + lockHide, "all 3 1", "1 Select All Words: g3 w0 w4 w6");
        row("all glyphs", same, "sel g3 w0" + lockHide, "all 2 1;all 2 1", "1 Select All Glyphs: " + glyphs);
        row("all of level 0", same, "sel " + glyphs + lockHide, "all 0 1;all 0 1", "1 Select All Unknown: g3");
        row("bands without width or height, swapped", ab, "", "rect 0,0,0,200 1;rect 0,0,600,0 1;rect 300,0,-299,200 1", "0:");
        row("band over a word", ab, "sel w0", "rect w0+g3 1", "1 Select Region: g0 g1 g3");
        row("band toggles", ab, "sel g0 g1 g3", "rect w0+g3 4", "1 Select Region:");
        // Double-clicks on one spot climb from a glyph to its word, its passage and the glyph again.
        row("points climb", ab, "", "point g1 1;point g1 1;point g1 1;point g1 1", "4 Select Object: g1");
        row("points climb from a blank", ab, "", "point g2 1;point g2 1;point g2 1", "3 Select Object: g2");
        row("point adds and removes", ab, "", "point g0 2;point g0 3", "2 Select Object:");
        // A point over an object is an entry even when the mode changes nothing there; beside all objects none.
        row("selectPointOverAnObjectAddsAnEntry", ab, "", "point -3000,-3000 1;point g0 3;point g0 4", "2 Select Object:");
        // Glyphs, a blank, a word, a passage and a locked glyph (turned; its neighbour hidden): undo puts them back
        // unselected, redo takes the same objects again; the locked glyph stays, selected.
        const QString mixed = "sel g6; rotate 12.5; visible 0 g7; sel g1 w3 w2 p1 g6; lock 1 g6";
        row("removeUndoLeavesTheObjectsUnselected", "ab cd ef/gh ij", mixed, "remove;undo", "0: g6 | shape: (ab)_(cd)_(ef) / (gh)_(ij) | locked: g6");
        row("removeRedoTakesTheSameObjects", "ab cd ef/gh ij", mixed, "remove;undo;redo", "1 Remove Selection: g2 | shape: (a)_(ef) | locked: g2 | hidden: g3");
        // Undone past a removal, the commands before it act on their own objects, no longer selected (the replay).
        row("undoPastARemovalActsOnTheSameObjects", ab, "sel w0 g4", "move 3.5 -2.25;arrange 1 w0 g4;fill red;size 36;curves;remove",
            "6 Remove Selection: | shape: _(c)");
        row("hidingDeselectsThroughTheScene", ab, "sel g1 w2", "visible 0 w0;visible 0 w0;visible 0 -", "1 Hide: w2 | hidden: g0 g1");
        row("visibilityIsTheObjectsOwn", ab, "visible 0 p", "visible 1 g0;visible 0 g0;visible 1 p", "2 Show: | hidden: g0");
        row("unlockUndoLocksOnlyWhatWasLocked", ab, "lock 1 g0", "lock 1 -;lock 1 g0;lock 0 w0", "1 Unlock: | locked:");
        // Passages at 0 (p), 2.7 and -1.5, words at 0.5, -1.25, 3 and blanks at 0: ends go one past, truncated to 0.
        row("front", "ab cd ef/x/y", z, "arrange 0 p", "1 Bring to Front: p | z p: 3");
        row("back", "ab cd ef/x/y", z, "arrange 3 p", "1 Send to Back: p | z p: -2");
        row("arrange unknown", "ab cd ef/x/y", z, "arrange 7 p", "1 Arrange: p | z p: 0");
        row("forward", "ab cd ef/x/y", words, "arrange 1 w0 w2 w4", "1 Bring Forward: w0 w2 w4 | z w0 w2 w4: 1.5 -0.25 4");
        row("backward", "ab cd ef/x/y", words, "arrange 2 w0 w2 w4", "1 Send Backward: w0 w2 w4 | z w0 w2 w4: -0.5 -2.25 2");
        row("space at word end", ">ab", "", "type space;type c", "2 Insert Glyph: | shape: (ab)_(c)");
        row("space splits a word", ">hello", "caret g1", "type space", "1 Insert Glyph: | shape: (he)_(llo)");
        row("tab before a word", ">ab cd", "caret g2", "type tab", "1 Insert Glyph: | shape: (ab)_>(cd)");
        row("return moves the rest down", ">ab cd\ref", "caret g0", "type return", "1 Insert Glyph: | shape: (a)|(b)_(cd)|(ef)");
        row("lineFeedBecomesLineBreak", ">", "", "type a;type newline;type b", "3 Insert Glyph: | shape: (a)|(b)");
        row("backspace joins words", ">ab cd", "caret g2", "backspace", "1 Remove Glyph: | shape: (abcd)");
        row("backspace joins lines", ">ab\rcd\ref", "caret g2", "backspace", "1 Remove Glyph: | shape: (abcd)|(ef)");
        row("backspace lifts a passage", ">\rab", "caret g0", "backspace", "1 Remove Glyph: | shape: (ab)");
        row("backspaceAfterLineBreakFollowingBlankOfEarlierPassage", ">a /\rb", "caret g2", "backspace", "1 Remove Glyph: | shape: (a)_ / (b)");
        row("backspace leaves no glyph", ">a / b", "caret g2", "backspace", "1 Remove Glyph: | shape: (a)_ / (b)");
        row("backspace empties a word", ">ab c de", "caret g3", "backspace", "1 Remove Glyph: | shape: (ab)__(de)");
        row("backspaceEmptiesAdjacentWord", ">a~b", "caret g1", "backspace;backspace", "2 Remove Glyph: | shape:");
        row("backspaceAtStartOfWordRightAfterAnotherWord", ">ab~cd", "caret g2", "backspace", "1 Remove Glyph: | shape: (ab)(d)");
        row("spaceBetweenTouchingWordsUndoneKeepsThemApart", ">ab~cd", "caret g1", "type space", "1 Insert Glyph: | shape: (ab)_(cd)");
        // The text position behind glyphs that stay keeps them with their new indices, the caret its place: at the
        // start of cd (the space's index must not replace the word's), between words, behind a glyph whose index
        // changes; behind a removed glyph the caret goes outside, to (100, 100).
        const QString from = "caret 250.5,101.25; pointer ", removed = "1 Remove Selection: | at: ", kept = " | caret: 250.5,101.25";
        row("removingElsewhereKeepsTheWordIndex at a word's start", ab, from + "p/0 w2/2 g2/-1; sel g0 g1", "remove", removed + "p w1 g0 0/1/-1" + kept);
        row("removingElsewhereKeepsTheWordIndex between words", ab, from + "p/0 -/1 g2/-1; sel g3", "remove", removed + "p - g2 0/1/-1" + kept);
        row("removingElsewhereKeepsTheWordIndex in a word", ab, from + "p/0 w2/2 g4/1; sel g3", "remove", removed + "p w2 g3 0/2/0" + kept);
        row("removing the caret's glyph", ab, from + "p/0 w0/0 g1/1; sel g1", "remove", removed + "- - - 0/-1/-1 | caret: 100,100");
        // Left without passages is an entry that keeps all; no change at a passage's start or to a glyph outside; an
        // index beyond types a new passage.
        row("an emptied passage goes, the caret stays", ">x/a", "", "backspace", "1 Remove Glyph: | shape: (x) | at: - - - 0/-1/-1 | caret: 0,400");
        row("leftWithoutPassagesAddsAnEntry", ">", "", "left;right;backspace", "1 Move Caret Left: | at: - - - -1/-1/-1 | caret: 0,100");
        row("leftWithoutPassagesAddsNoEntry at a start", ">ab", "caret g0; left", "backspace;caret -", "0: | at: p w0 - 0/0/-1");
        row("leftWithoutPassagesAddsNoEntry beyond", ">ab", "caret 0,400; outside 7", "type x", "1 Insert Glyph: | shape: (ab) / (x)");
        // The outline commands on the word "ab" and the glyph d of deformed text; c stays.
        const QString deformed = "deform g0 g1 g3 g4; sel w0 g4";
        row("to curves", ab, deformed, "curves", "1 Reset: w0 g4 | outline g0 g3 g4: curves mixed curves");
        row("to lines", ab, deformed, "lines", "1 Reset: w0 g4 | outline g0 g3 g4: lines mixed lines");
        row("reset", ab, deformed, "reset", "1 Reset: w0 g4 | outline g0 g3 g4: font mixed font");
        row("set as original, then reset deformations", ab, deformed, "original;undeform", "2 Reset Deformations: w0 g4 | outline g0 g3 g4: rest mixed rest");
        // Two edits of a selection of mixed values (b has its own) beside an unselected blank, or of the style for
        // new text: the second merges into the first (not for fonts); a size is at least 1.
        const QString own = "sel g1; fill green; stroke green; width 2.5; sel w0 w2", sel = ": w0 w2 | ";
        row("selected fill", ab, own, "fill red;fill blue", "1 Set Fill Color" + sel + "fill g0 g1 g3 g4: #ff0000ff | fill g2: #ff000000 | scene fill: #ff000000");
        row("selected stroke", ab, own, "stroke red;stroke blue", "1 Set Stroke Color" + sel + "stroke g0 g1 g3 g4: #ff0000ff | stroke g2: #ff000000 | scene stroke: #ff000000");
        row("selected width", ab, own, "width 4;width 6", "1 Set Stroke Width" + sel + "width g0 g1 g3 g4: 6 | width g2: 0 | scene width: 0");
        row("selected size", ab, own, "size 36;size 18", "1 Set Font Size" + sel + "size g0 g1 g3 g4: 18 | size g2: 72 | scene size: 72");
        row("selected size below 1", ab, own, "size 2;size 0", "1 Set Font Size" + sel + "size g0 g1 g3 g4: 1 | size g2: 72");
        row("selected font", ab, own, "font dejavu;font arial", "2 Set Font" + sel + "font g0 g1 g2 g3 g4: Arial | scene font: Arial");
        row("scene fill", ab, own, "scene fill red;scene fill blue", "1 Set Fill Color" + sel + "scene fill: #ff0000ff | fill g0 g1 g2: #ff000000 #ff008000");
        row("scene stroke", ab, own, "scene stroke red;scene stroke blue", "1 Set Stroke Color" + sel + "scene stroke: #ff0000ff | stroke g0 g1: #ff000000 #ff008000");
        row("scene width", ab, own, "scene width 1.5;scene width 3", "1 Set Stroke Width" + sel + "scene width: 3 | width g0 g1: 0 2.5");
        row("scene size below 1", ab, own, "scene size 40;scene size -5", "1 Set Font Size" + sel + "scene size: 1 | size g0: 72");
        row("scene font", ab, own, "scene font dejavu;scene font arial", "2 Set Font" + sel + "scene font: Arial | font g0: Arial");
        // Toolbar composites merge; a step that changed nothing at first is undone too (guards: comboMergeKeepsTheAbsorbedChanges).
        row("a composite of steps changing nothing", ab, "", "combo fill red + stroke red", "0:");
        row("toolbarCompositesMergeEvenWhenTheFirstChangedNothing", ab, "sel p; fill red", "combo scene fill red + fill red;combo scene fill blue + fill blue",
            "1 Set Fill Color: p | fill g0 g1 g3 g4: #ff0000ff | scene fill: #ff0000ff");
        row("fontUndoRestoresTheDeformedOutline", "ab", "deform g0; sel g0; lines; sel g0 g1", "font dejavu", "1 Set Font: g0 g1 | font g0 g1: DejaVu Sans | outline g0: font");
        row("canvas", ab, "", "canvas 1024 768 1024 768 72 white;canvas 640 480 320 240 96 #80ffff00", "1 Edit Canvas: | canvas: 640 480 320 240 96 #80ffff00");
        // An empty word after a letter first in its passage, or after a space: no first glyph left after the removal.
        row("backspaceInPassageWithoutFirstGlyph", "a~#", "caret g0", "backspace", "1 Remove Glyph: | at: p w0 - 0/0/-1");
        row("backspace after an empty word", "#~ ", "caret g0", "backspace", "1 Remove Glyph: | at: p w0 - 0/0/-1");
        row("left into previous passage", "ab/cd", "start 1", "left", "1 Move Caret Left: | at: p w0 g1 0/0/1");
        row("left onto a closing break", "ab\r/cd", "start 1", "left", "1 Move Caret Left: | at: p - g2 0/1/0");
        row("right over a leading blank", " ab/ \tc", "start 0", "right", "1 Move Caret Right: | at: p w1 g0 0/1/-1");
        row("right over two blanks", " ab/ \tc", "start 1", "right", "1 Move Caret Right: | at: p1 - g3 1/0/0");
        row("right into next passage", "ab/cd", "caret g0", "right;right", "2 Move Caret Right: | at: p1 p1w0 - 1/0/-1");
        row("right over a break", "a\rbc", "caret g0", "right", "1 Move Caret Right: | at: p w2 g1 0/2/-1");
        row("nowhere left", "ab", "start 0", "left", "0: | at: p w0 - 0/0/-1");
        row("nowhere right", "ab", "caret g1", "right", "0: | at: p w0 g1 0/0/1");
        row("beside the text, back into it", "ab/cd", "", "caret 12.5,700.25;right;left", "2 Move Caret Left: | at: p1 p1w0 g3 1/0/1");
        row("outOfRangePassageIndexIsClamped", "ab/cd", "outside 7", "left", "1 Move Caret Left: | at: p1 p1w0 g3 1/0/1");
        row("emptyPassagesAreSkipped left", "ab//cd/", "start 2", "left", "1 Move Caret Left: | at: p w0 g1 0/0/1");
        row("emptyPassagesAreSkipped right", "ab//cd/", "start 2", "left;right", "2 Move Caret Right: | at: p2 p2w0 - 2/0/-1");
        row("emptyPassagesAreSkipped from an empty one right", "ab//cd/", "start 1", "right", "1 Move Caret Right: | at: p2 p2w0 - 2/0/-1");
        // Moves to free points merge into one entry, to one glyph too; to another glyph or after another move not.
        row("caret points merge", ">ab", "", "caret g0;caret 10,20;caret 20,40;caret 30,60", "2 Move Caret: | at: - - - 0/-1/-1 | caret: 30,60");
        row("caret moves to one glyph merge", ">ab", "", "caret 5,5;caret g0;caret g0;caret g1;left;left", "5 Move Caret Left: | at: p w0 - 0/0/-1");
    }

    // As randomEdits, step by step; typed passages keep their anchors; undo and redo run twice.
    void scenarios()
    {
        QFETCH(QString, text);
        QFETCH(QString, setup);
        QFETCH(QString, commands);
        Doc d(text.mid(text.startsWith('>')), text.startsWith('>'));
        for (const QString &first : setup.split("; ", Qt::SkipEmptyParts)) {
            const QString op = first.section(' ', 0, 0), arg = first.section(' ', 1);
            TextGroup *passage = group(d.root->child(arg.toInt()));
            if (op == "sel")
                d.select(d.all(arg));
            else if (op == "z")
                d.at(arg.section(' ', 1))->setZValue(arg.section(' ', 0, 0).toDouble());
            else if (op == "outside")
                d.scene.setTextPointer(TextPlace::outside(arg.toInt()));
            else if (op == "deform")
                for (TextObject *o : d.all(arg))
                    deform(static_cast<Glyph *>(o), 2);
            else if (op == "pointer")
                d.scene.setTextPointer(d.pointer(arg));
            else if (op == "start")
                d.scene.setTextPointer(TextPlace::inPassage(d.root, passage, nullptr));
            else
                d.run(first);
            if (op == "start" && passage->firstGlyph())
                d.scene.placeCaretAt(float(passage->firstGlyph()->x()), float(passage->firstGlyph()->y()));
        }
        d.scene.clearHistory();
        bool typing = true;
        // Built passages may be empty: only text position and caret are checked there.
        auto fault = [&] {
            return !typing ? TreeCheck::sceneFault(&d.scene) : text.startsWith('>') ? typingFault(&d.scene)
                                                            : Typist::pointerFault(&d.scene) + Typist::caretFault(&d.scene);
        };
        QList<State> states{State::of(d)};
        for (const QString &c : commands.split(';', Qt::SkipEmptyParts)) {
            typing = typing && QStringList{"type", "backspace", "left", "right", "caret"}.contains(c.section(' ', 0, 0));
            QVERIFY2(step(d, c, states, true).isEmpty() && fault().isEmpty(), qPrintable(c + ": " + fault()));
        }
        QFETCH(QString, expected);
        QCOMPARE(d.read(expected), expected);
        for (int i = 0; text.startsWith('>') && i < d.root->count(); ++i)
            QCOMPARE(group(d.root->child(i))->firstGlyph()->pos(), QPointF(0, 100 + 300 * i));
        // Twice; a text position set up outside the passages comes back within them.
        for (int round = 0; round < 2; ++round)
            QCOMPARE(replay(d, states, true, !setup.contains("outside")), QString());
    }

    void moveAndRotateActOnEachGlyphOnce()
    {
        // The word ab, the glyph c, and b also selected on its item alone, a nested selection the walk must not count
        // twice. Turned about a, b (one advance to the right) stands one advance below a.
        Doc d;
        d.select({d.w(0), d.g(3)});
        d.g(1)->setSelected(true);
        const State before = State::of(d);
        QList<QPointF> at;
        for (Glyph *g : walkList<GlyphIterator>(d.p))
            at << g->pos() + (g == d.g(2) || g == d.g(4) ? QPointF() : QPointF(10.5, -4.25));
        QVERIFY(d.run(QStringLiteral("move 10.5 -4.25")) && d.lastText() == QStringLiteral("Move Selection"));
        for (int i = 0; i < at.size(); ++i)
            QCOMPARE(d.g(i)->pos(), at[i]);
        QCOMPARE(d.w(0)->pos(), QPointF());
        d.scene.undo();
        QVERIFY(State::of(d) == before);
        const QPointF pivot = d.g(0)->scenePos();
        QVERIFY(d.run(new CmdRotateSelected(&d.scene, 90, pivot)) && d.lastText() == QStringLiteral("Rotate Selection"));
        QVERIFY(d.g(0)->rotation() == 90 && d.g(1)->rotation() == 90 && d.g(3)->rotation() == 90 && d.g(4)->rotation() == 0);
        QVERIFY(qAbs(d.g(0)->scenePos().x() - pivot.x()) < 1e-9 && qAbs(d.g(1)->scenePos().x() - pivot.x()) < 1e-3);
        QVERIFY(qAbs(d.g(1)->scenePos().y() - (pivot.y() + d.g(0)->advanceWidth())) < 1e-3);
        // Removed and put back unselected, the turned glyphs are still the turn's to take back (guards:
        // turnUndoneAfterARemovalUndo).
        QVERIFY(d.run(QStringLiteral("remove")));
        d.scene.undo();
        QVERIFY(d.selected().isEmpty());
        d.scene.undo();
        QVERIFY(qFuzzyIsNull(d.g(0)->rotation()) && qFuzzyIsNull(d.g(1)->rotation()) && qFuzzyIsNull(d.g(3)->rotation()));
    }

    // The word ab selected, and a and b too on their items alone: emptied by its glyphs and selected itself, the word
    // is taken once (listed twice, it was deleted twice with the command).
    void removeTakesAGroupSelectedWithItsGlyphsOnce()
    {
        Doc d;
        d.select({d.w(0)});
        d.g(0)->setSelected(true);
        d.g(1)->setSelected(true);
        const Objects before = walkList(d.root);
        const QString removed = QStringLiteral("1 Remove Selection: | shape: _(cd)");
        QVERIFY(d.run(QStringLiteral("remove")));
        QCOMPARE(d.read(removed), removed);
        d.scene.undo();
        QVERIFY(walkList(d.root) == before && d.selected().isEmpty());
        d.scene.redo();
        QCOMPARE(d.read(removed), removed);
    }

    void fontSizeUndoRestoresOutlinesAndPositionsExactly()
    {
        // A deformed glyph and one whose deformation was set as original: b follows a by a's advance at the new size.
        // Two steps undone, then one merged entry, whose redo gives the outlines of the two steps, not one scaling.
        Doc d;
        Glyph *a = d.g(0), *b = d.g(1);
        a->moveElementBy(1, QPointF(3.25, -1.5));
        b->moveElementBy(2, QPointF(-2, 4));
        b->bakeDeform();
        b->moveElementBy(0, QPointF(0.5, 0.5));
        d.select({d.w(0)});
        const TreeDump start = d.dump();
        QVERIFY(d.run(QStringLiteral("size 36")) && a->font().pointSize() == 36 && b->pos().x() - a->pos().x() == a->advanceWidth());
        QVERIFY(d.run(QStringLiteral("combo size 50")) && d.entries() == 2 && b->font().pointSize() == 50);
        d.scene.undo();
        d.scene.undo();
        VERIFY_SAME_TREE(d.dump(), start);
        QVERIFY(d.run(QStringLiteral("size 37")) && d.run(QStringLiteral("size 50")) && d.entries() == 1);
        const TreeDump done = d.dump();
        for (const TreeDump &expected : {start, done, start}) {
            expected == done ? d.scene.redo() : d.scene.undo();
            VERIFY_SAME_TREE(d.dump(), expected);
        }
    }

    void playRunIsOneUndoStep()
    {
        // One entry giving back outlines and frame counter; a start while playing keeps the pending run; extras
        // hidden while playing, then as they were. A run that moved nothing is an entry that leaves the counter.
        Doc d(QStringLiteral("abc de"));
        for (int i : {0, 2, 5})
            d.g(i)->addSoftType(alwaysPull());
        d.scene.setFrameCounter(7);
        const TreeDump before = d.dump();
        Cmd *pending = nullptr;
        d.play(6, [&](int) {
            d.scene.setPlayState(true);
            QVERIFY(!d.scene.extrasVisible() && (!pending || d.scene.pendingSimulate() == pending));
            pending = d.scene.pendingSimulate();
        });
        for (int i : {0, 2, 5})
            QVERIFY(d.g(i)->path()->current != d.g(i)->path()->rest);
        const TreeDump after = d.dump();
        QVERIFY(pending && d.scene.extrasVisible() && !d.scene.pendingSimulate() && d.scene.frameCounter() == 0);
        QCOMPARE(d.read(QString()), QStringLiteral("1 Apply SoftTypes:"));
        for (int i = 0; i < 2; ++i) {
            d.scene.undo();
            QVERIFY(d.dump() == before && d.scene.frameCounter() == 7);
            d.scene.redo();
            QVERIFY(d.dump() == after && d.scene.frameCounter() == 0);
        }
        d.scene.setFrameCounter(3);
        d.scene.setPlayState(false); // stopping when stopped does nothing
        for (int i : {0, 2, 5})
            d.g(i)->lock();
        d.scene.hideExtras();
        const TreeDump still = d.dump();
        d.play(2);
        QVERIFY(!d.scene.extrasVisible() && d.read(QString()) == QStringLiteral("2 Apply SoftTypes:"));
        d.scene.undo();
        QVERIFY(d.dump() == still && d.scene.frameCounter() == 3);
        d.scene.redo();
        QCOMPARE(d.scene.frameCounter(), 3);
    }

    void glyphAddedDuringTheRunKeepsItsOutline()
    {
        // A run records the unlocked glyphs with SoftTypes, hidden ones too, and gives each outline back to its own
        // glyph: one arriving during the run ahead of the others, and a locked one, keep what they got.
        Doc d(QStringLiteral("abc de"));
        Glyph *a = d.g(0), *b = d.g(1), *c = d.g(2), *e = d.g(4), *added = Typist::glyph(&d.scene, 'x');
        for (Glyph *g : {a, b, c, e, added})
            g->addSoftType(alwaysPull());
        a->lock();
        c->setVisible(false);
        const GlyphPath bBefore = *b->path(), cBefore = *c->path(), eBefore = *e->path();
        QPainterPath locked;
        d.play(6, [&](int i) {
            if (i == 1) { // neither a nor c moves by its SoftTypes; something else changes both
                QVERIFY(a->path()->current == a->path()->rest && c->path()->current == cBefore.current);
                deform(a, 3);
                deform(c, 3);
                locked = a->path()->current;
            }
            if (i == 3)
                d.w(0)->insert(0, added);
        });
        const GlyphPath addedAfter = *added->path(), bAfter = *b->path();
        QVERIFY(addedAfter.current != addedAfter.rest);
        d.scene.undo();
        QVERIFY(b->path()->current == bBefore.current && e->path()->current == eBefore.current && c->path()->current == cBefore.current);
        QVERIFY(added->path()->current == addedAfter.current && added->path()->rest == addedAfter.rest && a->path()->current == locked);
        d.scene.redo();
        QVERIFY(b->path()->current == bAfter.current && added->path()->current == addedAfter.current);
    }

    void softTypeCommands()
    {
        // removeSoftTypeReturnsToItsPlace: executed and then dropped, the command deletes the SoftType; nothing is
        // removed again, nor from a locked glyph; inside a composite, a removal that found nothing is not undone.
        Doc d;
        Glyph *a = d.g(0);
        const QList<SoftType *> all{new TestSoftType("one"), new TestSoftType("two"), new TestSoftType("three")};
        for (SoftType *s : all)
            a->addSoftType(s);
        d.g(1)->addSoftType(new SoftTypeOriginateAsymptotic(QStringLiteral("oa")));
        QCOMPARE(CmdRemoveSoftType(&d.scene, d.g(1), QStringLiteral("oa")).text(), QStringLiteral("Remove Originate asymptotic SoftType"));
        QCOMPARE(CmdRemoveSoftType(&d.scene, a, QStringLiteral("none")).text(), QStringLiteral("Remove SoftType"));
        QVERIFY(d.run(new CmdRemoveSoftType(&d.scene, a, QStringLiteral("one"))) && a->softTypes() == all.mid(1));
        d.scene.undo();
        QCOMPARE(a->softTypes(), all);
        d.scene.redo();
        TestSoftType::destroyed = 0;
        d.scene.clearHistory();
        QVERIFY(a->softTypes() == all.mid(1) && TestSoftType::destroyed == 1 && !d.run(new CmdRemoveSoftType(&d.scene, a, QStringLiteral("one"))));
        a->lock();
        QVERIFY(!d.run(new CmdRemoveSoftType(&d.scene, a, QStringLiteral("two"))) && a->softTypes().size() == 2);
        a->unlock();
        auto *combo = new CmdCombo(&d.scene, QStringLiteral("Remove SoftType"));
        combo->add(new CmdRemoveSoftType(&d.scene, a, QStringLiteral("three")), false);
        combo->add(new CmdRemoveSoftType(&d.scene, a, QStringLiteral("none")), false);
        QVERIFY(d.run(combo) && a->softTypes() == all.mid(1, 1));
        d.scene.undo();
        QCOMPARE(a->softTypes(), all.mid(1));
        // editSoftType: equal values change nothing and leave no entry; a change in the last digit is a change. The
        // property the edit created stays, with the value it gave it.
        SoftType *pull = new SoftTypePull(QStringLiteral("pull-1"));
        d.g(3)->addSoftType(pull);
        auto edit = [&](const QHash<QString, QVariant> &values) { return d.run(new CmdEditSoftType(&d.scene, pull, values)); };
        auto value = [pull](const char *name) { return pull->property(QLatin1String(name))->value().toDouble(); };
        QVERIFY(!edit(pull->values()) && !edit({{"strength", 400.0}}));
        QVERIFY(edit({{"strength", 400.00000000000006}}) && value("strength") == 400.00000000000006 && d.entries() == 1);
        d.scene.undo();
        QVERIFY(value("strength") == 400.0 && edit({{"radius", 30}, {"attenuation", 5.0}, {"note", QStringLiteral("new")}}));
        QVERIFY(d.lastText() == QStringLiteral("Edit Pull SoftType") && pull->radius() == 30 && value("attenuation") == 5.0);
        d.scene.undo();
        QVERIFY(pull->radius() == 0 && value("attenuation") == 25.0 && pull->property(QStringLiteral("note"))->value() == QStringLiteral("new"));
        d.scene.redo();
        QVERIFY(pull->radius() == 30 && CmdSimulate(&d.scene).text() == QStringLiteral("Apply SoftTypes"));
        // addSoftTypeOwnership: undone, the command owns the SoftType; a locked glyph takes nothing (the discarded
        // command deletes it), nor does a null one.
        Glyph *e = d.g(4);
        TestSoftType::destroyed = 0;
        SoftType *s = new TestSoftType(QStringLiteral("t"));
        QVERIFY(d.run(new CmdAddSoftType(&d.scene, e, s)) && e->softTypes() == QList<SoftType *>{s});
        d.scene.undo();
        QVERIFY(e->softTypes().isEmpty() && TestSoftType::destroyed == 0);
        d.scene.redo();
        QCOMPARE(e->softTypes(), QList<SoftType *>{s});
        d.scene.undo();
        d.scene.clearHistory();
        e->lock();
        QVERIFY(TestSoftType::destroyed == 1 && !d.run(new CmdAddSoftType(&d.scene, e, new TestSoftType(QStringLiteral("u")))));
        QVERIFY(e->softTypes().isEmpty() && TestSoftType::destroyed == 2 && !d.run(new CmdAddSoftType(&d.scene, d.g(1), nullptr)));
        QCOMPARE(CmdAddSoftType(&d.scene, e, nullptr).text(), QStringLiteral("Add SoftType"));
    }

    void unplaceableGlyphChangesNothingAndIsDeleted()
    {
        // No outline, not a separator: alone it is deleted at once, in a string it stays with the command. The string's
        // insertion is not undone while the caret stands elsewhere (stringUndoRemovesExactlyWhatWasPlaced).
        Doc d(QString(), true);
        QPointer<Glyph> nbsp = Typist::glyph(&d.scene, QChar(0x00A0));
        QSignalSpy changed(&d.scene, &QVorrelScene::documentChanged);
        QVERIFY(!d.run(new CmdInsertGlyph(&d.scene, nbsp, true)));
        QVERIFY(nbsp.isNull() && d.root->count() == 0 && changed.count() == 0 && d.scene.textPointer().passageIndex == -1);
        Typist::type(&d.scene, QStringLiteral("xy"));
        const State before = State::of(d);
        Cmd *insertY = d.last();
        QVERIFY(!d.run(new CmdInsertGlyph(&d.scene, Typist::glyph(&d.scene, QChar(0x200B)), true)));
        QVERIFY(State::of(d) == before && d.scene.history().size() == 2);
        auto *combo = new CmdCombo(&d.scene, QStringLiteral("Insert String"));
        nbsp = Typist::glyph(&d.scene, QChar(0x00A0));
        for (Glyph *g : {Typist::glyph(&d.scene, ' '), Typist::glyph(&d.scene, 'a'), nbsp.data(), Typist::glyph(&d.scene, 'b')})
            combo->add(new CmdInsertGlyph(&d.scene, g, true), false);
        QVERIFY(d.run(combo) && Typist::shape(d.root) == QStringLiteral("(xy)_(ab)"));
        d.scene.undo();
        QVERIFY(State::of(d) == before);
        d.scene.redo();
        QVERIFY(Typist::shape(d.root) == QStringLiteral("(xy)_(ab)") && !nbsp.isNull());
        QVERIFY(!insertY->undo().documentChanged() && Typist::shape(d.root) == QStringLiteral("(xy)_(ab)"));
        d.scene.clearHistory();
        QVERIFY(nbsp.isNull());
        // glyphAtOwnPositionMovesNothing: placed where it stands, the following text stays, the caret goes behind it
        // (behind a line break: to the passage's left edge a line lower).
        Doc e(QStringLiteral("ab"), true);
        e.run(QStringLiteral("caret g0"));
        const State unplaced = State::of(e);
        const QPointF b = e.g(1)->pos();
        const QFontMetrics metrics(e.scene.textFont());
        Glyph *x = Typist::glyph(&e.scene, 'x'), *r = Typist::glyph(&e.scene, '\r');
        x->setPos(300, 400);
        r->setPos(500, 600);
        QVERIFY(e.run(new CmdInsertGlyph(&e.scene, x, false)) && Typist::shape(e.root) == QStringLiteral("(axb)"));
        QVERIFY(x->pos() == QPointF(300, 400) && e.g(2)->pos() == b && e.scene.caret()->pos() == QPointF(300 + metrics.horizontalAdvance('x'), 400));
        QVERIFY(e.run(new CmdInsertGlyph(&e.scene, r, false)) && e.g(3)->pos() == b);
        QCOMPARE(e.scene.caret()->pos(), QPointF(0, 400 + metrics.lineSpacing()));
        e.scene.undo();
        e.scene.undo();
        QVERIFY(State::of(e) == unplaced);
    }

    void backspaceTakesByIdentityNotByIndex()
    {
        // Stale indices; then a glyph no longer in the document, which is not removed again; as in
        // backspaceInPassageWithoutFirstGlyph, a space before an empty word, which undo puts back behind the word.
        Doc d(QStringLiteral("ab cd"), true);
        Glyph *c = d.g(3);
        d.scene.setTextPointer(d.pointer(QStringLiteral("p/0 w2/5 g3/7")));
        QVERIFY(Typist::backspace(&d.scene) && Typist::shape(d.root) == QStringLiteral("(ab)_(d)") && !c->parentGroup());
        TextPointer stale = d.scene.textPointer();
        stale.glyph = c;
        d.scene.setTextPointer(stale);
        const State before = State::of(d);
        QVERIFY(!Typist::backspace(&d.scene) && State::of(d) == before);
        Doc e(QStringLiteral(" #"));
        Glyph *space = e.g(0);
        TextObject *empty = e.at("w1");
        QVERIFY(e.run(QStringLiteral("caret g0")) && e.run(QStringLiteral("backspace")) && e.p->children() == Objects{empty});
        QCOMPARE(e.read(" | at:"), QStringLiteral("2 Remove Glyph: | at: p w0 - 0/0/-1"));
        e.scene.undo();
        QVERIFY(e.p->count() == 2 && e.p->firstGlyph() == space);
        // commandsDeleteWhatTheyHold: a removal holds glyph, word and passage; a done insertion leaves its glyph to the
        // document, an undone one deletes it.
        Doc f(QStringLiteral("x/a"), true);
        QPointer<Glyph> removed = f.g(1);
        QPointer<TextGroup> word = removed->parentGroup(), passage = group(f.root->child(1));
        QVERIFY(Typist::backspace(&f.scene));
        f.scene.clearHistory();
        Typist::type(&f.scene, QStringLiteral("bc"));
        QPointer<Glyph> kept = f.g(1), undone = f.g(2);
        f.scene.undo();
        f.scene.clearHistory();
        QVERIFY(removed.isNull() && word.isNull() && passage.isNull() && undone.isNull() && !kept.isNull());
    }
};

QTEST_MAIN(TestCommands)
#include "tst_commands.moc"
