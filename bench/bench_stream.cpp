// Saving and loading a document of 100,000 glyphs, beside the floor: the
// same outlines written and read as bare QPainterPaths with QDataStream.
// The document's own times should stay within 1.5x of the floor.
#include "model/DocumentStream.h"
#include "model/Glyph.h"
#include "model/GlyphPath.h"
#include "model/QVorrelScene.h"
#include "model/TextGroup.h"
#include "softtypes/SoftTypeFactory.h"

#include <QApplication>
#include <QBuffer>
#include <QHash>
#include "BenchMain.h"
#include <benchmark/benchmark.h>

#include <chrono>
#include <memory>

namespace {

constexpr int Glyphs = 100000;

std::unique_ptr<QVorrelScene> newScene()
{
    return std::make_unique<QVorrelScene>(-32768, -32768, 65535, 65535);
}

// 1,000 passages of ten words of nine letters, each word followed by a
// space or, at the passage's end, a line break: 100,000 glyphs. Each
// letter's outline is built once and shared by every glyph of that letter.
std::unique_ptr<QVorrelScene> document()
{
    auto scene = newScene();
    const QFont font(QStringLiteral("Arial"), 24);
    QHash<QChar, GlyphPath> outlines;
    auto glyph = [&](QChar c, double x, double y) {
        if (!outlines.contains(c))
            outlines.insert(c, GlyphPath(QPointF(0, 0), font, QString(c)));
        return new Glyph(c, font, Qt::black, Qt::black, 1.0, QPointF(x, y), outlines.value(c));
    };
    for (int line = 0, n = 0; n < Glyphs; ++line) {
        auto *passage = new TextGroup;
        double x = 0;
        const double y = 30.0 * line;
        for (int w = 0; w < 10; ++w) {
            auto *word = new TextGroup;
            for (int i = 0; i < 9; ++i, ++n, x += 14)
                word->append(glyph(QChar('a' + (n * 7) % 26), x, y));
            passage->append(word);
            passage->append(glyph(w < 9 ? QChar(' ') : QChar(Glyph::LineBreak), x, y));
            x += 7;
            ++n;
        }
        scene->root()->append(passage);
    }
    return scene;
}

const QVorrelScene &sharedDocument()
{
    static const std::unique_ptr<QVorrelScene> scene = document();
    return *scene;
}

QByteArray savedDocument()
{
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    DocumentStream::write(&buffer, sharedDocument());
    return buffer.data();
}

// Every outline of the document, rest and current, in document order.
QVector<QPainterPath> outlines()
{
    QVector<QPainterPath> paths;
    for (const Glyph *g = sharedDocument().root()->firstGlyph(); g; g = g->nextGlyph())
        paths << g->path()->rest << g->path()->current;
    return paths;
}

QByteArray savedOutlines(const QVector<QPainterPath> &paths)
{
    QByteArray bytes;
    QDataStream out(&bytes, QIODevice::WriteOnly);
    out.setVersion(QDataStream::Qt_4_6);
    for (const QPainterPath &p : paths)
        out << p;
    return bytes;
}

// Seconds per iteration of the floor, for the ratio the document's runs
// report.
double floorWrite = 0;
double floorRead = 0;

// Times what a step brackets with start and stop.
class Clock
{
public:
    void start() { m_start = std::chrono::steady_clock::now(); }
    void stop() { m_last = std::chrono::duration<double>(std::chrono::steady_clock::now() - m_start).count(); }
    double last() const { return m_last; }

private:
    std::chrono::steady_clock::time_point m_start;
    double m_last = 0;
};

// Runs step once per iteration, reporting only the time it brackets;
// returns the mean seconds per iteration.
template<typename Step>
double timed(benchmark::State &state, Step step)
{
    Clock clock;
    double total = 0;
    int runs = 0;
    for (auto _ : state) {
        step(clock);
        state.SetIterationTime(clock.last());
        total += clock.last();
        ++runs;
    }
    return runs ? total / runs : 0;
}

void FloorWriteOutlines(benchmark::State &state)
{
    const QVector<QPainterPath> paths = outlines();
    floorWrite = timed(state, [&](Clock &clock) {
        clock.start();
        benchmark::DoNotOptimize(savedOutlines(paths));
        clock.stop();
    });
    state.counters["outlines"] = paths.size();
}

void FloorReadOutlines(benchmark::State &state)
{
    const QVector<QPainterPath> paths = outlines();
    const QByteArray bytes = savedOutlines(paths);
    floorRead = timed(state, [&](Clock &clock) {
        QVector<QPainterPath> read(paths.size());
        clock.start();
        QDataStream in(bytes);
        in.setVersion(QDataStream::Qt_4_6);
        for (QPainterPath &p : read)
            in >> p;
        clock.stop();
        benchmark::DoNotOptimize(read);
    });
    state.counters["bytes"] = bytes.size();
}

void SaveDocument(benchmark::State &state)
{
    sharedDocument();
    const double seconds = timed(state, [](Clock &clock) {
        clock.start();
        benchmark::DoNotOptimize(savedDocument());
        clock.stop();
    });
    if (floorWrite > 0)
        state.counters["x floor"] = seconds / floorWrite;
}

// Seconds per read of a document from its bytes into a new scene. The view
// creates the scene before the file is read, and the document is closed
// long after: neither is loading.
double timedRead(benchmark::State &state, const QByteArray &bytes)
{
    return timed(state, [&](Clock &clock) {
        std::unique_ptr<QVorrelScene> scene = newScene();
        QBuffer buffer;
        buffer.setData(bytes);
        buffer.open(QIODevice::ReadOnly);
        clock.start();
        const DocumentStream::Result result = DocumentStream::read(&buffer, *scene);
        clock.stop();
        if (result != DocumentStream::Ok)
            state.SkipWithError("the document did not read");
    });
}

void LoadDocument(benchmark::State &state)
{
    const QByteArray bytes = savedDocument();
    const double seconds = timedRead(state, bytes);
    if (floorRead > 0)
        state.counters["x floor"] = seconds / floorRead;
    state.counters["bytes"] = bytes.size();
}

// A passage of state.range(0) glyphs in two words: a file may hold any
// number of glyphs in one group, and loading it must stay linear (the time
// per glyph flat as the words grow). With state.range(1) every glyph and the
// second word are marked selected, which the reader settles.
void LoadWideWords(benchmark::State &state)
{
    const int glyphs = int(state.range(0));
    const bool selected = state.range(1) != 0;
    QByteArray bytes;
    {
        auto scene = newScene();
        const QFont font(QStringLiteral("Arial"), 24);
        const GlyphPath outline(QPointF(0, 0), font, QStringLiteral("x"));
        auto *passage = new TextGroup;
        for (int w = 0; w < 2; ++w) {
            auto *word = new TextGroup;
            for (int i = 0; i < glyphs / 2; ++i) {
                auto *g = new Glyph(QChar('x'), font, Qt::black, Qt::black, 1.0, QPointF(14.0 * i, 0), outline);
                g->setSelected(selected);
                word->append(g);
            }
            word->setSelected(selected && w == 1);
            if (w == 1)
                passage->append(new Glyph(QChar(' '), font, Qt::black, Qt::black, 1.0, QPointF(0, 0)));
            passage->append(word);
        }
        scene->root()->append(passage);
        QBuffer buffer;
        buffer.open(QIODevice::WriteOnly);
        DocumentStream::write(&buffer, *scene);
        bytes = buffer.data();
    }
    const double seconds = timedRead(state, bytes);
    state.counters["ns per glyph"] = 1e9 * seconds / glyphs;
}

// One glyph carrying state.range(0) SoftTypes of distinct names, as a file
// may give it: saving must stay linear (the time per SoftType flat as their
// number grows).
void SaveManySoftTypes(benchmark::State &state)
{
    const int count = int(state.range(0));
    auto scene = newScene();
    const QFont font(QStringLiteral("Arial"), 24);
    auto *glyph = new Glyph(QChar('x'), font, Qt::black, Qt::black, 1.0, QPointF(0, 0),
                            GlyphPath(QPointF(0, 0), font, QStringLiteral("x")));
    for (int i = 0; i < count; ++i)
        glyph->addSoftType(SoftTypeFactory::create(QStringLiteral("pull"), QString::number(i)));
    auto *word = new TextGroup;
    word->append(glyph);
    auto *passage = new TextGroup;
    passage->append(word);
    scene->root()->append(passage);
    const double seconds = timed(state, [&](Clock &clock) {
        QBuffer buffer;
        buffer.open(QIODevice::WriteOnly);
        clock.start();
        DocumentStream::write(&buffer, *scene);
        clock.stop();
    });
    state.counters["ns per SoftType"] = 1e9 * seconds / count;
}

} // namespace

BENCHMARK(FloorWriteOutlines)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK(SaveDocument)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK(FloorReadOutlines)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK(LoadDocument)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK(SaveManySoftTypes)->Arg(5000)->Arg(20000)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK(LoadWideWords)
    ->ArgsProduct({{25000, 100000, 200000}, {0, 1}})
    ->UseManualTime()->Unit(benchmark::kMillisecond);

int main(int argc, char **argv)
{
    return bench::runHeadless(argc, argv);
}
