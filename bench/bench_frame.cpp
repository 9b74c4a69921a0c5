// Whole play frames of a shown 1280 x 720 view: each kind's step, the step
// with the repaint of the view, the share of the frame spent painting, and
// their ratios to the honest floors measured in the same run (every
// glyph's own outlines read and written back; the same outlines filled with
// a bare QPainter into an image of the view's size). Each row is run with
// every core and with one (cores:1 keeps the process on one core, as
// `taskset -c 0` does). Figures are medians over the frames of a row.
// Targets, 10,000 glyphs with every core: frame_ms <= 33 for every kind,
// step_ratio <= 2, paint_ratio <= 1.5; a table at the end sets each kind's
// figures against them, its one-core frame beside them.
//
// Also undo + redo of selecting 5,000 to 40,000 glyphs, per glyph: it must
// stay flat as the selection grows.
//
// And pasting a string of 4,000 to 64,000 characters into a new document
// (the composite "Insert String"), its undo and its redo, per glyph, beside
// the floor measured in the same run: the same glyphs made and appended to
// one group of the document, with no command. Each glyph lands in the word,
// passage and line the glyphs before it made long: the time per glyph must
// stay flat, and the paste within a small factor of the floor.
//
// And Paste Glyphs of the same number of copied glyphs (the composite
// "Insert Glyphs", which selects every clone), its undo and its redo, per
// glyph, beside its floor: the same clones made and appended to one group.
#include "BenchDocument.h"

#include "app/QVorrelView.h"
#include "commands/CmdSelect.h"
#include "model/GlyphIterator.h"
#include "softtypes/SoftType.h"
#include "softtypes/SoftTypeFactory.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QMap>
#include "BenchMain.h"
#include <benchmark/benchmark.h>
#include <cstdio>
#include <functional>

namespace {

constexpr int TargetGlyphs = 10000;
constexpr double FrameBudgetMs = 33;
constexpr double StepRatioTarget = 2;
constexpr double PaintRatioTarget = 1.5;

// The figures of the rows of TargetGlyphs glyphs by kind, in the factory's
// order: with every core (frame, step ratio, paint ratio) and the frame with
// one.
struct Summary
{
    QString kind;
    double frameMs = -1;
    double stepRatio = -1;
    double paintRatio = -1;
    double oneCoreFrameMs = -1;
};
QMap<int, Summary> &summaries()
{
    static QMap<int, Summary> rows;
    return rows;
}

void printSummary()
{
    if (summaries().isEmpty())
        return;
    std::printf("\nTargets, %d glyphs, every core: frame <= %.0f ms, step <= %.1f x floor, paint <= %.1f x bare "
                "QPainter\n",
                TargetGlyphs, FrameBudgetMs, StepRatioTarget, PaintRatioTarget);
    std::printf("%-22s %9s %7s %7s %6s %14s\n", "kind", "frame_ms", "step_x", "paint_x", "met", "1-core frame");
    for (const Summary &s : qAsConst(summaries())) {
        const bool all = s.frameMs >= 0;
        const bool met = all && s.frameMs <= FrameBudgetMs && s.stepRatio <= StepRatioTarget
                         && s.paintRatio <= PaintRatioTarget;
        std::printf("%-22s %9.1f %7.2f %7.2f %6s %14.1f\n", qPrintable(s.kind), s.frameMs, s.stepRatio,
                    s.paintRatio, all ? (met ? "yes" : "NO") : "-", s.oneCoreFrameMs);
    }
}

// A document view that times its own painting.
class TimedView : public QVorrelView
{
public:
    qint64 paintNs = 0;
    int paints = 0;

protected:
    void paintEvent(QPaintEvent *event) override
    {
        QElapsedTimer timer;
        timer.start();
        QVorrelView::paintEvent(event);
        paintNs += timer.nsecsElapsed();
        ++paints;
    }
};

// Runs the event loop until the view has painted: the scene's pass over the
// items a frame changed, then the repaint of the viewport.
void repaint(TimedView &view)
{
    const int before = view.paints;
    for (int i = 0; i < 20 && view.paints == before; ++i)
        QCoreApplication::processEvents();
}

void Frame(benchmark::State &state)
{
    const QString key = SoftTypeFactory::typeKeys().at(int(state.range(0)));
    const bench::OneCore oneCore(state.range(2) == 1);
    TimedView view;
    view.resize(1280, 720);
    view.show();
    QVorrelScene &scene = *view.scene();
    const QList<Glyph *> glyphs = bench::fill(scene, int(state.range(1)));
    for (Glyph *g : glyphs)
        g->addSoftType(SoftTypeFactory::create(key, key + QStringLiteral("-1")));
    scene.setMouseButtons(Qt::LeftButton);
    for (int i = 0; i < 5; ++i)
        QCoreApplication::processEvents();
    bench::tick(scene); // the first frame only records
    repaint(view);
    bench::BarePainting bare(glyphs, view.viewportTransform(), view.viewport()->size());

    QVector<double> step, frame, paint, floor, paintFloor;
    double sink = 0;
    QElapsedTimer timer;
    for (auto _ : state) {
        timer.start();
        bench::tick(scene);
        const qint64 stepNs = timer.nsecsElapsed();
        const qint64 paintedBefore = view.paintNs;
        repaint(view);
        const qint64 frameNs = timer.nsecsElapsed();
        state.SetIterationTime(frameNs / 1e9);
        step << stepNs / 1e6;
        frame << frameNs / 1e6;
        paint << (view.paintNs - paintedBefore) / 1e6;

        timer.start();
        sink += bench::touchOutlines(glyphs);
        floor << timer.nsecsElapsed() / 1e6;
        bench::settleOutlines(glyphs);
        bare.take();
        timer.start();
        bare.paint();
        paintFloor << timer.nsecsElapsed() / 1e6;
    }
    benchmark::DoNotOptimize(sink);
    state.SetLabel(key.toStdString());
    state.counters["step_ms"] = bench::median(step);
    state.counters["frame_ms"] = bench::median(frame);
    state.counters["paint_ms"] = bench::median(paint);
    state.counters["paint_share"] = bench::median(paint) / bench::median(frame);
    state.counters["floor_ms"] = bench::median(floor);
    state.counters["paint_floor_ms"] = bench::median(paintFloor);
    state.counters["step_ratio"] = bench::median(step) / bench::median(floor);
    state.counters["paint_ratio"] = bench::median(paint) / bench::median(paintFloor);
    if (state.range(1) == TargetGlyphs) {
        Summary &s = summaries()[int(state.range(0))];
        s.kind = key;
        if (state.range(2) == 1) {
            s.oneCoreFrameMs = bench::median(frame);
        } else {
            s.frameMs = bench::median(frame);
            s.stepRatio = state.counters["step_ratio"];
            s.paintRatio = state.counters["paint_ratio"];
        }
    }
}

void kinds(benchmark::internal::Benchmark *b)
{
    for (const int cores : {0, 1}) {
        for (const int glyphs : {2000, 10000}) {
            for (int k = 0; k < SoftTypeFactory::typeKeys().size(); ++k)
                b->Args({k, glyphs, cores});
        }
    }
}

// Selects every glyph of the document that has an outline.
class SelectAllGlyphs : public CmdSelect
{
public:
    explicit SelectAllGlyphs(QVorrelScene *scene) : CmdSelect(scene, 1, QStringLiteral("Select All Glyphs")) {}
    CmdResult execute() override
    {
        snapshot();
        for (Glyph *g = scene()->root()->firstGlyph(); g; g = g->nextGlyph()) {
            if (g->hasOutline())
                scene()->setSelected(g, true, false);
        }
        return CmdResult(true, true);
    }
};

void UndoRedoSelection(benchmark::State &state)
{
    QVorrelScene scene(-32768, -32768, 65535, 65535);
    const int glyphs = int(state.range(0));
    bench::fill(scene, glyphs);
    scene.executeCommand(new SelectAllGlyphs(&scene));
    QVector<double> perGlyph;
    QElapsedTimer timer;
    for (auto _ : state) {
        timer.start();
        scene.undo();
        scene.redo();
        perGlyph << timer.nsecsElapsed() / 1e3 / glyphs;
    }
    state.counters["us_per_glyph"] = bench::median(perGlyph);
}

// A string of the given length: one word, or words of five letters on lines
// of two.
QString pastedText(int length, bool lines)
{
    const QString unit = lines ? QStringLiteral("abcde fghij\n") : QStringLiteral("x");
    return unit.repeated(length / unit.size() + 1).left(length);
}

// Times a step that puts `glyphs` glyphs into an empty document, its undo
// and its redo, per glyph, beside the floor: the same glyphs made and
// appended to one group by `made`, with no command.
void timeInsertion(benchmark::State &state, int glyphs, const std::string &name,
                   const std::function<void(QVorrelScene &)> &step,
                   const std::function<void(QVorrelScene &, TextGroup *)> &made)
{
    QVector<double> insert, undo, redo, floor;
    QElapsedTimer timer;
    const auto perGlyph = [&] { return timer.nsecsElapsed() / 1e3 / glyphs; };
    for (auto _ : state) {
        {
            QVorrelScene scene(-32768, -32768, 65535, 65535);
            timer.start();
            step(scene);
            insert << perGlyph();
            // The event loop runs between the user's steps.
            QCoreApplication::processEvents();
            timer.start();
            scene.undo();
            undo << perGlyph();
            QCoreApplication::processEvents();
            timer.start();
            scene.redo();
            redo << perGlyph();
        }
        QVorrelScene scene(-32768, -32768, 65535, 65535);
        timer.start();
        auto *group = new TextGroup;
        scene.root()->append(group);
        made(scene, group);
        floor << perGlyph();
    }
    state.counters[name + "_us"] = bench::median(insert);
    state.counters["undo_us"] = bench::median(undo);
    state.counters["redo_us"] = bench::median(redo);
    state.counters["floor_us"] = bench::median(floor);
    state.counters[name + "_x"] = bench::median(insert) / bench::median(floor);
}

void InsertString(benchmark::State &state)
{
    const int glyphs = int(state.range(0));
    const QString text = pastedText(glyphs, state.range(1) == 1);
    QString characters = text;
    characters.replace(QLatin1Char('\n'), QChar(Glyph::LineBreak));
    timeInsertion(
        state, glyphs, "insert", [&](QVorrelScene &scene) { scene.insertString(text, QPointF(0, 100), false); },
        [&](QVorrelScene &scene, TextGroup *group) {
            for (const QString &c : Glyph::characters(characters))
                group->append(new Glyph(c, scene.textFont(), scene.fillColor(), scene.strokeColor(),
                                        double(scene.strokeWidth()), QPointF(0, 100)));
        });
}

// Paste Glyphs (the composite "Insert Glyphs", which selects every clone)
// of copied glyphs on lines of words.
void InsertGlyphs(benchmark::State &state)
{
    const int glyphs = int(state.range(0));
    QVorrelScene source(-32768, -32768, 65535, 65535);
    source.insertString(pastedText(glyphs, true), QPointF(0, 100), false);
    const QList<Glyph *> copies = walkList<GlyphIterator>(source.root());
    timeInsertion(
        state, glyphs, "paste", [&](QVorrelScene &scene) { scene.insertGlyphs(copies); },
        [&](QVorrelScene &, TextGroup *group) {
            for (const Glyph *g : copies)
                group->append(g->cloneGlyph());
        });
}

} // namespace

BENCHMARK(Frame)->Apply(kinds)->ArgNames({"kind", "glyphs", "cores"})->UseManualTime()->Iterations(25)
    ->Unit(benchmark::kMillisecond);
BENCHMARK(UndoRedoSelection)->Arg(5000)->Arg(10000)->Arg(20000)->Arg(40000)->Iterations(9)
    ->Unit(benchmark::kMillisecond);
BENCHMARK(InsertString)->ArgsProduct({{4000, 16000, 64000}, {0, 1}})->ArgNames({"glyphs", "lines"})->Iterations(3)
    ->Unit(benchmark::kMillisecond);
BENCHMARK(InsertGlyphs)->Arg(4000)->Arg(16000)->Arg(64000)->ArgName("glyphs")->Iterations(3)
    ->Unit(benchmark::kMillisecond);

int main(int argc, char **argv)
{
    return bench::runHeadless(argc, argv, {}, printSummary);
}
