// The Hierarchy and History docks refreshed after one edit of a document of
// 10,000 glyphs, each beside its floor measured in the same run: a walk of
// the same text tree (or history) that reads everything a row shows and
// builds nothing. Prints the refresh time, the floor and their ratio.
// Target: a Hierarchy refresh well under one frame (33 ms), also when the
// selection of every row changes at once. Select All and Select None, each
// with its refresh, set the refresh beside the scene's own step.
//
// The main window's Properties refresh with all 10,000 glyphs selected,
// beside the reads of the document it shows (caret, selected text,
// selection bounds, the look of every selected glyph) without the dock.
#include "app/VorrelQt.h"
#include "commands/Cmd.h"
#include "commands/CmdMoveCaretGlyph.h"
#include "commands/CmdRemoveGlyph.h"
#include "model/Caret.h"
#include "model/Glyph.h"
#include "model/QVorrelScene.h"
#include "model/TextGroup.h"
#include "panels/HierarchyPanelDockWidget.h"
#include "panels/HistoryPanelDockWidget.h"

#include <QApplication>
#include <QElapsedTimer>
#include "BenchMain.h"
#include <benchmark/benchmark.h>

namespace {

constexpr int Glyphs = 10000;

// Passages of ten words of ten letters (or as many as given), a space
// between the words.
void fill(QVorrelScene &scene, int letters = 10)
{
    const QFont font(QStringLiteral("Arial"), 24);
    for (int n = 0; n < Glyphs;) {
        auto *passage = new TextGroup;
        for (int w = 0; w < 10 && n < Glyphs; ++w) {
            if (w > 0)
                passage->append(new Glyph(' ', font, Qt::black, Qt::black, 0, QPointF()));
            auto *word = new TextGroup;
            for (int i = 0; i < letters && n < Glyphs; ++i, ++n)
                word->append(new Glyph(QChar('a' + (n * 7 + i) % 26), font, Qt::black, Qt::black, 0, QPointF()));
            passage->append(word);
        }
        if (Glyph *first = passage->firstGlyph())
            first->setPos(0, 30 * (1 + scene.root()->count()));
        passage->relayout();
        scene.root()->append(passage);
    }
}

// The floor of a Hierarchy refresh: every value a row shows, read from the
// tree, without any row.
long readRows(const TextObject *object)
{
    long sum = object->text().size() + object->isVisible() + object->isLocked() + object->isSelected();
    if (object->isGlyph()) {
        if (!static_cast<const Glyph *>(object)->softTypes().isEmpty()) {
            for (const QString &name : object->softTypeNames())
                sum += name.size();
        }
        return sum;
    }
    sum += object->hasSelectedDescendant() + object->isPassage();
    for (const TextObject *child : static_cast<const TextGroup *>(object)->children()) {
        if (child->hasOutline())
            sum += readRows(child);
    }
    return sum;
}

long readTree(const TextGroup *root)
{
    long sum = 0;
    for (const TextObject *passage : root->children())
        sum += readRows(passage);
    return sum;
}

// The floor of a History refresh: each entry's text and state.
long readHistory(const QVorrelScene &scene)
{
    long sum = 0;
    const QList<Cmd *> &history = scene.history();
    for (int i = 0; i < history.size(); ++i)
        sum += history.at(i)->text().size() + (i < scene.historyIndex());
    return sum;
}

struct Document
{
    Document() : scene(-32768, -32768, 65535, 65535)
    {
        fill(scene);
        // The caret in the middle of the document, after a letter.
        Glyph *g = scene.root()->firstGlyph();
        for (int i = 0; i < Glyphs / 2; ++i)
            g = g->nextGlyph();
        scene.executeCommand(new CmdMoveCaretGlyph(&scene, g));
    }

    // One edit: typing a letter, or, every second time when mixed, taking
    // the last one back.
    void edit(int i, bool mixed = true)
    {
        if (!mixed || i % 2 == 0)
            scene.insertCharacterAtCaret(QLatin1Char('x'));
        else
            scene.executeCommand(new CmdRemoveGlyph(&scene));
    }

    QVorrelScene scene;
};

template<typename Edit, typename Refresh, typename Floor>
void measure(benchmark::State &state, Edit edit, Refresh refresh, Floor floor)
{
    double ms = 0;
    double floorMs = 0;
    long sink = 0;
    QElapsedTimer timer;
    for (auto _ : state) {
        edit();
        timer.start();
        refresh();
        const qint64 ns = timer.nsecsElapsed();
        state.SetIterationTime(ns / 1e9);
        ms += ns / 1e6;
        timer.start();
        sink += floor();
        floorMs += timer.nsecsElapsed() / 1e6;
    }
    benchmark::DoNotOptimize(sink);
    const double n = double(state.iterations());
    state.counters["refresh_ms"] = ms / n;
    state.counters["floor_ms"] = floorMs / n;
    state.counters["ratio"] = ms / floorMs;
}

void HierarchyRefresh(benchmark::State &state)
{
    Document doc;
    HierarchyPanelDockWidget dock;
    dock.resize(250, 600);
    dock.show();
    QApplication::processEvents();
    dock.updateTree(doc.scene.root());
    QApplication::processEvents();
    int i = 0;
    measure(state, [&] { doc.edit(i++); }, [&] { dock.updateTree(doc.scene.root()); }, [&] { return readTree(doc.scene.root()); });
    state.counters["rows"] = Glyphs;
}

// Typing only: each new entry pushes the oldest out, and every row keeps
// its text. Mixed edits: the texts alternate, so the same push changes the
// text of every row.
void HistoryRefresh(benchmark::State &state)
{
    const bool mixed = state.range(0);
    Document doc;
    // A full history: every entry the scene keeps.
    for (int i = 0; i < QVorrelScene::MaxHistory; ++i)
        doc.edit(i, mixed);
    HistoryPanelDockWidget dock;
    dock.resize(250, 600);
    dock.show();
    QApplication::processEvents();
    dock.setHistory(doc.scene.history(), doc.scene.historyIndex());
    QApplication::processEvents();
    int i = 0;
    measure(state, [&] { doc.edit(i++, mixed); }, [&] { dock.setHistory(doc.scene.history(), doc.scene.historyIndex()); },
            [&] { return readHistory(doc.scene); });
    state.SetLabel(mixed ? "mixed edits" : "typing");
    state.counters["rows"] = doc.scene.history().size();
}

// Every glyph row selected, then every one deselected again, in one
// refresh each: the selection of 10,000 rows changes at once. The floor is
// the same walk as above.
void HierarchySelectAll(benchmark::State &state)
{
    Document doc;
    QList<Glyph *> glyphs;
    for (Glyph *g = doc.scene.root()->firstGlyph(); g; g = g->nextGlyph()) {
        if (g->hasOutline())
            glyphs << g;
    }
    HierarchyPanelDockWidget dock;
    dock.resize(250, 600);
    dock.show();
    QApplication::processEvents();
    dock.updateTree(doc.scene.root());
    bool select = false;
    const auto edit = [&] {
        // The items' own selection: the scene's bookkeeping is not the dock's.
        select = !select;
        for (Glyph *g : qAsConst(glyphs))
            g->setSelected(select);
    };
    measure(state, edit, [&] { dock.updateTree(doc.scene.root()); }, [&] { return readTree(doc.scene.root()); });
    state.counters["rows"] = glyphs.size();
}

// Select > All Glyphs, then Select > None, through the scene's commands,
// each followed by a refresh: the floor is the scene's step itself, which
// the refresh should not exceed. Words of ten letters, or of two: five times
// as many runs of selected rows, each a range of the tree's selection.
void HierarchySelectAllStep(benchmark::State &state)
{
    QVorrelScene scene(-32768, -32768, 65535, 65535);
    fill(scene, int(state.range(0)));
    HierarchyPanelDockWidget dock;
    dock.resize(250, 600);
    dock.show();
    QApplication::processEvents();
    dock.updateTree(scene.root());
    QApplication::processEvents();
    bool select = false;
    double ms = 0;
    double floorMs = 0;
    QElapsedTimer timer;
    for (auto _ : state) {
        select = !select;
        timer.start();
        scene.selectAll(1, select ? 2 : 0);
        floorMs += timer.nsecsElapsed() / 1e6;
        timer.start();
        dock.updateTree(scene.root());
        const qint64 ns = timer.nsecsElapsed();
        state.SetIterationTime(ns / 1e9);
        ms += ns / 1e6;
    }
    const double n = double(state.iterations());
    state.SetLabel(QStringLiteral("words of %1 letters").arg(state.range(0)).toStdString());
    state.counters["refresh_ms"] = ms / n;
    state.counters["floor_ms"] = floorMs / n;
    state.counters["ratio"] = ms / floorMs;
    state.counters["words"] = scene.root()->count() * 10;
}

// The floor of a Properties refresh: what it reads of the document.
long readSelection(QVorrelScene &scene)
{
    long sum = scene.selectedText().size();
    const QRectF bounds = scene.selectionBoundingRect();
    const QPointF caret = scene.caret()->pos();
    sum += long(bounds.left() + bounds.bottom() + caret.x() + caret.y());
    for (TextObject *object : scene.selectedObjects()) {
        if (!object->hasOutline())
            continue;
        const Glyph *glyph = object->firstGlyph();
        sum += long(glyph->rotation()) + glyph->font().pointSize() + glyph->fillColor().alpha()
               + glyph->strokeColor().alpha() + long(glyph->strokeWidth());
    }
    return sum;
}

// Every glyph of the document selected; each edit turns the first one, so
// the rotation shown changes between refreshes.
void PropertiesRefresh(benchmark::State &state)
{
    VorrelQt *window = VorrelQt::instance();
    window->OnFileNew();
    QVorrelScene *scene = window->activeScene();
    fill(*scene);
    scene->selectAll(1, 2);
    QApplication::processEvents();
    window->updatePropertiesPanel();
    Glyph *first = scene->root()->firstGlyph();
    int i = 0;
    measure(state, [&] { first->setRotation(++i % 2 ? 10 : 0); }, [&] { window->updatePropertiesPanel(); },
            [&] { return readSelection(*scene); });
    state.counters["selected"] = scene->selectedObjects().size();
}

} // namespace

BENCHMARK(PropertiesRefresh)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK(HierarchyRefresh)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK(HierarchySelectAll)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK(HierarchySelectAllStep)->Arg(10)->Arg(2)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK(HistoryRefresh)->Arg(0)->Arg(1)->UseManualTime()->Unit(benchmark::kMillisecond);

int main(int argc, char **argv)
{
    return bench::runHeadless(argc, argv);
}
