// The play step of every SoftType kind over documents of 1,000 and 10,000
// glyphs of 72 pt letters, one SoftType per glyph, the mouse circling with
// the left button held. Each run also times the floor, a bare loop that
// moves every element of the same outlines by a constant, and prints both
// times per frame and step / floor. Target: 10,000 glyphs within 33 ms a
// frame on one core, and no kind above 4 x the floor.
#include "model/Glyph.h"
#include "model/GlyphPath.h"
#include "model/QVorrelScene.h"
#include "model/TextGroup.h"
#include "softtypes/SoftType.h"
#include "softtypes/SoftTypeFactory.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QGraphicsView>
#include <benchmark/benchmark.h>
#include <cmath>

namespace {

// Passages of ten words of ten letters, one passage a line.
QList<Glyph *> fill(QVorrelScene &scene, int glyphs)
{
    const QFont font(QStringLiteral("Arial"), 72);
    const QString letters = QStringLiteral("abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ");
    QList<Glyph *> all;
    for (int n = 0; n < glyphs;) {
        auto *passage = new TextGroup;
        for (int w = 0; w < 10 && n < glyphs; ++w) {
            if (w > 0)
                passage->append(new Glyph(' ', font, Qt::black, Qt::black, 0, QPointF()));
            auto *word = new TextGroup;
            for (int i = 0; i < 10 && n < glyphs; ++i, ++n) {
                auto *g = new Glyph(letters.at(n % letters.size()), font, Qt::black, Qt::black, 0, QPointF());
                word->append(g);
                all << g;
            }
            passage->append(word);
        }
        if (Glyph *first = passage->firstGlyph())
            first->setPos(0, 90 * (1 + scene.root()->count()));
        passage->relayout();
        scene.root()->append(passage);
    }
    return all;
}

// One frame of play as the view runs it, the mouse on a circle.
void tick(QVorrelScene &scene)
{
    const int f = scene.frameCounter() + 1;
    scene.setFrameCounter(f);
    scene.setMousePosition(QPointF(600 + 300 * std::cos(f * 0.05), 600 + 300 * std::sin(f * 0.05)));
    scene.stepSoftTypes();
}

// The scene's pass over the items a frame marked dirty runs from the event
// loop between two ticks of the play timer; it belongs to the repaint, not
// to the step, and is not timed.
void settle()
{
    QCoreApplication::processEvents();
}

// The floor: every element of every outline moved by a constant. It works
// on copies of the glyphs' outlines, so that it leaves the glyphs' own
// (and their cached bounds) to the step.
void moveAll(QList<QPainterPath> &outlines)
{
    for (QPainterPath &outline : outlines) {
        const int n = outline.elementCount();
        for (int i = 0; i < n; ++i) {
            const QPainterPath::Element &e = outline.elementAt(i);
            outline.setElementPositionAt(i, e.x + 0.001, e.y - 0.001);
        }
    }
}

void SoftTypeStep(benchmark::State &state)
{
    const QString key = SoftTypeFactory::typeKeys().at(int(state.range(0)));
    QVorrelScene scene(-32768, -32768, 65535, 65535);
    // A view that repaints nothing: the scene hands its repaint requests to
    // its views, as in the editor, and the view's own accounting of them is
    // not the step's work.
    QGraphicsView view(&scene);
    view.setViewportUpdateMode(QGraphicsView::NoViewportUpdate);
    const QList<Glyph *> glyphs = fill(scene, int(state.range(1)));
    long elements = 0;
    QList<QPainterPath> outlines;
    for (Glyph *g : glyphs) {
        g->addSoftType(SoftTypeFactory::create(key, key + QStringLiteral("-1")));
        elements += g->path()->current.elementCount();
        outlines << g->path()->current;
        outlines.last().setElementPositionAt(0, 0, 0); // its own copy
    }
    scene.setMouseButtons(Qt::LeftButton);
    tick(scene); // the first frame only records
    settle();

    // Each iteration times one step and, on the same outlines, the floor.
    double step = 0;
    double floor = 0;
    QElapsedTimer timer;
    for (auto _ : state) {
        timer.start();
        tick(scene);
        const qint64 stepTime = timer.nsecsElapsed();
        state.SetIterationTime(stepTime / 1e9);
        settle();
        timer.start();
        moveAll(outlines);
        floor += timer.nsecsElapsed() / 1e6;
        step += stepTime / 1e6;
    }
    const double n = double(state.iterations());
    state.SetLabel(key.toStdString());
    state.counters["elements"] = double(elements);
    state.counters["step_ms"] = step / n;
    state.counters["floor_ms"] = floor / n;
    state.counters["ratio"] = step / floor;
}

void kinds(benchmark::internal::Benchmark *b)
{
    for (const int glyphs : {1000, 10000}) {
        for (int k = 0; k < SoftTypeFactory::typeKeys().size(); ++k)
            b->Args({k, glyphs});
    }
}

} // namespace

BENCHMARK(SoftTypeStep)->Apply(kinds)->ArgNames({"kind", "glyphs"})->UseManualTime()
    ->Unit(benchmark::kMillisecond);

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    return 0;
}
