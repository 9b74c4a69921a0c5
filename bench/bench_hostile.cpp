// Reading hostile documents: files of one small record repeated (SoftTypes
// on one glyph, bare or with a property of their own, properties on one
// SoftType, passages, words, glyphs), each
// read into a new scene and discarded, accepted as written and refused for
// one trailing byte. Each shape is read at a size and at its double.
// Figures per file byte: peak resident memory (the aim is at most 32 bytes
// beyond a fixed base), and time against the floor of reading the same
// bytes as plain 32-bit numbers. Reading must stay linear: the time per byte
// at the double size over the time per byte at the size stays near 1.
//
// The textpad of a document whose textpad text is one line without a space
// (25k, 50k, 100k and 4M letters): reading the document, then the Textpad dock
// taking the text (open), drawn (show), a letter typed at the end of the line,
// a nozzle piece, and the dock taking another text (close); each against the
// time to read the same document.
#include "model/DocumentStream.h"
#include "model/QVorrelScene.h"
#include "panels/TextpadPanelDockWidget.h"
#include "support/HostileDocument.h"
#include "support/PeakMemory.h"

#include <QAbstractScrollArea>
#include <QApplication>
#include <QBuffer>
#include <QKeyEvent>
#include "BenchMain.h"
#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdio>
#include <functional>
#include <map>
#include <memory>

namespace {

using HostileDocument::Shape;

// Records per file at the smaller size; the files are 1.3 to 3 MB.
int baseCount(Shape shape)
{
    switch (shape) {
    case HostileDocument::ManySoftTypes:
    case HostileDocument::ManyOwnProperties:
    case HostileDocument::ManyProperties:
        return 100000;
    case HostileDocument::LongTextpadLine:
        return 1000000;
    default:
        return 20000;
    }
}

struct Reading
{
    double seconds = 0;
    qint64 peak = 0;
    bool accepted = false;
};

// Reads the bytes into a new scene and deletes it, as opening a file and
// closing it (or refusing it) does; the time and memory cover both.
Reading readAndDiscard(const QByteArray &bytes)
{
    Reading r;
    PeakMemory memory;
    const auto start = std::chrono::steady_clock::now();
    {
        auto scene = std::make_unique<QVorrelScene>(-32768, -32768, 65535, 65535);
        QBuffer buffer;
        buffer.setData(bytes);
        buffer.open(QIODevice::ReadOnly);
        r.accepted = DocumentStream::read(&buffer, *scene) == DocumentStream::Ok;
    }
    r.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    r.peak = memory.rise();
    return r;
}

// Seconds per byte of reading the bytes as 32-bit numbers, the least any
// reader of them spends.
double floorPerByte(const QByteArray &bytes)
{
    const auto start = std::chrono::steady_clock::now();
    QDataStream in(bytes);
    qint32 sum = 0;
    for (int i = 0; i + 4 <= bytes.size(); i += 4) {
        qint32 v;
        in >> v;
        sum += v;
    }
    benchmark::DoNotOptimize(sum);
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count() / bytes.size();
}

// Per shape, the time per byte at the smaller size, and the worst figures.
std::map<int, double> smallerPerByte;
double worstMemory = 0;
double worstLinearity = 0;
QString worstMemoryShape;
QString worstLinearityShape;

void ReadHostile(benchmark::State &state)
{
    const Shape shape = Shape(state.range(0));
    const int factor = int(state.range(1));
    const bool refused = state.range(2) != 0;
    QByteArray bytes = HostileDocument::build(shape, baseCount(shape) * factor);
    if (refused)
        bytes.append('\0');
    double best = 0;
    qint64 peak = 0;
    for (auto _ : state) {
        const Reading r = readAndDiscard(bytes);
        if (r.accepted == refused)
            state.SkipWithError("the file was not read as it should be");
        state.SetIterationTime(r.seconds);
        best = best == 0 ? r.seconds : qMin(best, r.seconds);
        peak = qMax(peak, r.peak);
    }
    const double perByte = best / bytes.size();
    const double memoryPerByte = double(peak) / bytes.size();
    state.counters["bytes"] = bytes.size();
    state.counters["ns per byte"] = 1e9 * perByte;
    state.counters["x floor"] = perByte / floorPerByte(bytes);
    state.counters["memory per byte"] = memoryPerByte;
    const QString name = HostileDocument::name(shape) + (refused ? QStringLiteral(" (refused)") : QString());
    if (memoryPerByte > worstMemory) {
        worstMemory = memoryPerByte;
        worstMemoryShape = name;
    }
    const int key = int(shape) * 2 + (refused ? 1 : 0);
    if (factor == 1) {
        smallerPerByte[key] = perByte;
    } else if (smallerPerByte.count(key)) {
        const double linearity = perByte / smallerPerByte[key];
        state.counters["x smaller"] = linearity;
        if (linearity > worstLinearity) {
            worstLinearity = linearity;
            worstLinearityShape = name;
        }
    }
}

// The textpad of a document whose textpad holds one line of letters.
double textpadLastPerChar = 0;
double textpadWorstLinearity = 0;
double textpadWorstShow = 0;

double secondsOf(const std::function<void()> &work)
{
    const auto start = std::chrono::steady_clock::now();
    work();
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

void TextpadLine(benchmark::State &state)
{
    const int letters = int(state.range(0));
    const QByteArray bytes = HostileDocument::build(HostileDocument::LongTextpadLine, letters);
    double read = 0, open = 0, show = 0, type = 0, nozzle = 0, close = 0;
    for (auto _ : state) {
        QVorrelScene scene(-32768, -32768, 65535, 65535);
        QBuffer buffer;
        buffer.setData(bytes);
        buffer.open(QIODevice::ReadOnly);
        read = secondsOf([&] { DocumentStream::read(&buffer, scene); });
        TextpadPanelDockWidget dock;
        dock.resize(300, 600);
        QWidget *edit = dock.findChild<QAbstractScrollArea *>();
        open = secondsOf([&] { dock.setText(scene.textpadText()); });
        show = secondsOf([&] {
            dock.show();
            QApplication::processEvents();
            dock.grab();
        });
        QKeyEvent end(QEvent::KeyPress, Qt::Key_End, Qt::ControlModifier);
        QApplication::sendEvent(edit, &end);
        type = secondsOf([&] {
            QKeyEvent press(QEvent::KeyPress, Qt::Key_Z, Qt::NoModifier, QStringLiteral("z"));
            QApplication::sendEvent(edit, &press);
            dock.grab();
        });
        nozzle = secondsOf([&] {
            dock.nextPiece();
            dock.grab();
        });
        close = secondsOf([&] {
            dock.setText(QStringLiteral("closed"));
            dock.grab();
        });
        state.SetIterationTime(open + show + close);
        if (scene.textpadText().size() != letters)
            state.SkipWithError("the document was not read");
    }
    state.counters["read ms"] = 1e3 * read;
    state.counters["open ms"] = 1e3 * open;
    state.counters["show ms"] = 1e3 * show;
    state.counters["type ms"] = 1e3 * type;
    state.counters["nozzle ms"] = 1e3 * nozzle;
    state.counters["close ms"] = 1e3 * close;
    state.counters["x read"] = (open + show + close) / read;
    const double perChar = (open + show + close) / letters;
    if (textpadLastPerChar > 0 && letters <= 100000) {
        state.counters["x smaller"] = perChar / textpadLastPerChar;
        textpadWorstLinearity = qMax(textpadWorstLinearity, perChar / textpadLastPerChar);
    }
    textpadLastPerChar = perChar;
    textpadWorstShow = qMax(textpadWorstShow, open + show);
}

void registerAll()
{
    for (int letters : {25000, 50000, 100000, 4 << 20})
        benchmark::RegisterBenchmark(qPrintable(QStringLiteral("TextpadLine/%1").arg(letters)), TextpadLine)
            ->Arg(letters)
            ->Iterations(3)
            ->UseManualTime()
            ->Unit(benchmark::kMillisecond);
    for (int shape = 0; shape < HostileDocument::ShapeCount; ++shape) {
        for (int refused = 0; refused < 2; ++refused) {
            for (int factor : {1, 2}) {
                benchmark::RegisterBenchmark(
                    qPrintable(QStringLiteral("ReadHostile/%1%2/x%3")
                                   .arg(HostileDocument::name(Shape(shape)), refused ? QStringLiteral(" refused")
                                                                                       : QString())
                                   .arg(factor)),
                    ReadHostile)
                    ->Args({shape, factor, refused})
                    ->Iterations(3)
                    ->UseManualTime()
                    ->Unit(benchmark::kMillisecond);
            }
        }
    }
}

} // namespace

int main(int argc, char **argv)
{
    // Fonts and the first scene are made once, outside every figure.
    const auto warmUp = [] {
        readAndDiscard(HostileDocument::build(HostileDocument::ManyGlyphs, 100));
        registerAll();
    };
    return bench::runHeadless(argc, argv, warmUp, [] {
        std::printf("worst memory per file byte: %.1f (%s; aim at most 32)\n", worstMemory,
                    qPrintable(worstMemoryShape));
        std::printf("worst time per byte at the double size over the size: %.2f (%s; linear is 1)\n",
                    worstLinearity, qPrintable(worstLinearityShape));
        std::printf("textpad line: worst open and show %.0f ms (aim within 1000), time per letter at the double size "
                    "over the size at most %.2f (linear is 1)\n",
                    1e3 * textpadWorstShow, textpadWorstLinearity);
    });
}
