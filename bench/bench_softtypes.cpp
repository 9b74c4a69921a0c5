// The play step of every SoftType kind over documents of 1,000 and 10,000
// glyphs of 72 pt letters, one SoftType per glyph, the mouse circling with
// the left button held, with every core and with one (cores:1 keeps the
// process on one core, as `taskset -c 0` does). Each frame is followed,
// untimed, by the floor on the same glyphs: every glyph's own rest and
// current outline read and the current one written back. Figures are
// medians per frame and step / floor. Target, 10,000 glyphs with every
// core: no kind above 2 x the floor. Painting is measured by bench_frame.
#include "BenchDocument.h"

#include "softtypes/SoftType.h"
#include "softtypes/SoftTypeFactory.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QGraphicsView>
#include "BenchMain.h"
#include <benchmark/benchmark.h>

namespace {

// The scene's pass over the items a frame marked dirty runs from the event
// loop between two ticks of the play timer; it belongs to the repaint, not
// to the step, and is not timed.
void settle()
{
    QCoreApplication::processEvents();
}

void SoftTypeStep(benchmark::State &state)
{
    const QString key = SoftTypeFactory::typeKeys().at(int(state.range(0)));
    const bench::OneCore oneCore(state.range(2) == 1);
    QVorrelScene scene(-32768, -32768, 65535, 65535);
    // A view that repaints nothing: the scene hands its repaint requests to
    // its views, as in the editor, and the view's own accounting of them is
    // not the step's work.
    QGraphicsView view(&scene);
    view.setViewportUpdateMode(QGraphicsView::NoViewportUpdate);
    const QList<Glyph *> glyphs = bench::fill(scene, int(state.range(1)));
    long elements = 0;
    for (Glyph *g : glyphs) {
        g->addSoftType(SoftTypeFactory::create(key, key + QStringLiteral("-1")));
        elements += g->path()->current.elementCount();
    }
    scene.setMouseButtons(Qt::LeftButton);
    bench::tick(scene); // the first frame only records
    settle();

    QVector<double> step;
    QVector<double> floor;
    double sink = 0;
    QElapsedTimer timer;
    for (auto _ : state) {
        timer.start();
        bench::tick(scene);
        const qint64 stepTime = timer.nsecsElapsed();
        state.SetIterationTime(stepTime / 1e9);
        step << stepTime / 1e6;
        settle();
        timer.start();
        sink += bench::touchOutlines(glyphs);
        floor << timer.nsecsElapsed() / 1e6;
        bench::settleOutlines(glyphs);
    }
    benchmark::DoNotOptimize(sink);
    state.SetLabel(key.toStdString());
    state.counters["elements"] = double(elements);
    state.counters["step_ms"] = bench::median(step);
    state.counters["floor_ms"] = bench::median(floor);
    state.counters["ratio"] = bench::median(step) / bench::median(floor);
}

void kinds(benchmark::internal::Benchmark *b)
{
    for (const int cores : {0, 1}) {
        for (const int glyphs : {1000, 10000}) {
            for (int k = 0; k < SoftTypeFactory::typeKeys().size(); ++k)
                b->Args({k, glyphs, cores});
        }
    }
}

} // namespace

BENCHMARK(SoftTypeStep)->Apply(kinds)->ArgNames({"kind", "glyphs", "cores"})->UseManualTime()
    ->Unit(benchmark::kMillisecond);

int main(int argc, char **argv)
{
    return bench::runHeadless(argc, argv);
}
