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
// The SoftType dialog of a SoftType read with 25,000, 50,000 and 100,000
// properties of its own, as the main window shows it: open, show and close
// (by Ok, Cancel and Escape) against the time to read the same document, and
// the memory it holds per property (see SoftTypeDialog below).
//
// The textpad of a document whose textpad text is one line without a space
// (25k, 50k, 100k, 4M and 16M letters, 16M being the largest textpad file
// read): reading the document, then the Textpad dock taking the text
// (open), drawn (show), a letter typed at the end of the line, a nozzle
// piece, and the dock taking another text (close); each against the time to
// read the same document.
#include "app/VorrelQt.h"
#include "model/DocumentStream.h"
#include "model/Glyph.h"
#include "model/QVorrelScene.h"
#include "model/TextGroup.h"
#include "panels/SoftTypePanelDockWidget.h"
#include "panels/TextpadPanelDockWidget.h"
#include "propertybrowser/QtPropertyRowList.h"
#include "propertybrowser/QtVariantProperty.h"
#include "softtypes/SoftType.h"
#include "support/HostileDocument.h"
#include "support/ModalRecorder.h"
#include "support/PeakMemory.h"

#include <QAbstractScrollArea>
#include <QApplication>
#include <QBuffer>
#include <QDialog>
#include <QKeyEvent>
#include <QListWidget>
#include <QPushButton>
#include <QTemporaryDir>
#include "BenchMain.h"
#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdio>
#include <functional>
#include <malloc.h>
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
    for (int letters : {25000, 50000, 100000, 4 << 20, 16 << 20})
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

// The SoftType dialog of a SoftType with many properties, opened as the
// user opens it: the document opened in the main window, its glyph selected
// and every dock refreshed ("docks": the SoftTypes dock clones the
// SoftType, the Hierarchy dock lists its row); then a click on its row in the
// SoftTypes dock clones it again and builds the dialog ("open"), which is
// shown and drawn ("show") and closed by Ok, Cancel or Escape ("close": until
// the click returns, after Ok with the edit command and the refresh that
// follows; before Ok the radius is edited, so that the command runs). Each
// against the time to read the same document. Memory: the heap held while the
// dialog shows above that before the click, of it what the SoftType's
// property sheet takes (made for the dialog, measured on a copy beforehand),
// and the rise of the resident peak over the click, per property; the
// figures between two sizes leave out what does not grow with the properties
// (the font's glyphs for the names' characters, first met at the smaller
// size).
struct DialogRun
{
    double read = 0, docks = 0, open = 0, show = 0, close = 0;
    qint64 heap = 0, sheet = 0, peak = 0;
};
std::map<int, std::map<int, DialogRun>> dialogRuns; // by closing, then size
const char *const Closings[] = {"Ok", "Cancel", "Escape"};

double secondsSince(std::chrono::steady_clock::time_point start)
{
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

// A document as the editor writes it: one glyph typed (it has an outline, so
// that the docks show it) carrying the SoftType of the shape "properties on
// one SoftType", its properties named as there.
QByteArray softTypeDocument(int count)
{
    QVorrelScene read(-32768, -32768, 65535, 65535);
    QBuffer hostile;
    hostile.setData(HostileDocument::build(HostileDocument::ManyProperties, count));
    hostile.open(QIODevice::ReadOnly);
    QVorrelScene scene(-32768, -32768, 65535, 65535);
    if (DocumentStream::read(&hostile, read) != DocumentStream::Ok)
        return QByteArray();
    auto *glyph = new Glyph(QLatin1Char('a'), QFont(QStringLiteral("Arial"), 72), Qt::black, Qt::black, 0, QPointF());
    glyph->addSoftType(read.root()->firstGlyph()->softTypes().first()->clone());
    auto *word = new TextGroup;
    word->append(glyph);
    auto *passage = new TextGroup;
    passage->append(word);
    scene.root()->append(passage);
    QBuffer written;
    written.open(QIODevice::WriteOnly);
    return DocumentStream::write(&written, scene) ? written.data() : QByteArray();
}

void SoftTypeDialog(benchmark::State &state)
{
    using Clock = std::chrono::steady_clock;
    const int count = int(state.range(0));
    const int closing = int(state.range(1));
    const QByteArray bytes = softTypeDocument(count);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("properties.vrl"));
    QFile file(path);
    if (bytes.isEmpty() || !file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size()) {
        state.SkipWithError("the document could not be written");
        return;
    }
    file.close();
    DialogRun run;
    run.read = readAndDiscard(bytes).seconds;
    VorrelQt *window = VorrelQt::instance();
    QListWidget *list = window->findChild<SoftTypePanelDockWidget *>()->findChild<QListWidget *>();
    ModalRecorder modal;
    for (auto _ : state) {
        window->openFile(path);
        QVorrelScene *scene = window->activeScene();
        if (!scene || !scene->root()->firstGlyph()) {
            state.SkipWithError("the document was not opened");
            return;
        }
        scene->restoreSelection({scene->root()->firstGlyph()});
        auto start = Clock::now();
        window->updateAll();
        run.docks = secondsSince(start);
        QApplication::processEvents();
        {
            const std::unique_ptr<SoftType> copy(scene->root()->firstGlyph()->softTypes().first()->clone());
            const qint64 before = PeakMemory::heapInUse();
            copy->propertyManager();
            run.sheet = PeakMemory::heapInUse() - before;
        }

        Clock::time_point closeStart;
        bool accepted = false;
        modal.execs.enqueue([&](QDialog *dialog) {
            run.open = secondsSince(start);
            dialog->show();
            QApplication::processEvents();
            dialog->grab();
            run.show = secondsSince(start) - run.open;
            run.heap = PeakMemory::heapInUse() - run.heap;
            closeStart = Clock::now();
            if (closing == 0)
                static_cast<QtVariantProperty *>(dialog->findChild<QtPropertyRowList *>()->rowProperty(3))->setValue(7);
            if (closing == 2) {
                QKeyEvent escape(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
                QApplication::sendEvent(QApplication::focusWidget() ? QApplication::focusWidget() : dialog, &escape);
            } else {
                dialog->findChild<QPushButton *>(closing == 0 ? QStringLiteral("OkButton") : QStringLiteral("CancelButton"))->click();
            }
            accepted = dialog->result() == QDialog::Accepted;
            return dialog->result();
        });
        malloc_trim(0);
        PeakMemory peak;
        run.heap = PeakMemory::heapInUse();
        start = Clock::now();
        if (list->count() != 1) {
            state.SkipWithError("the SoftTypes dock does not show the SoftType");
            return;
        }
        emit list->itemClicked(list->item(0));
        run.close = secondsSince(closeStart);
        run.peak = peak.rise();
        state.SetIterationTime(run.open + run.show + run.close);
        if (modal.calls.size() != 1 || accepted != (closing == 0) || accepted != (scene->historyIndex() > 0))
            state.SkipWithError("the dialog did not run or close as it should");
        modal.calls.clear();
        modal.buttons.enqueue(QMessageBox::No); // the edited document is not saved
        window->OnFileClose();
        modal.buttons.clear();
        QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
    state.counters["read s"] = run.read;
    state.counters["docks s"] = run.docks;
    state.counters["open s"] = run.open;
    state.counters["show s"] = run.show;
    state.counters["close s"] = run.close;
    state.counters["heap per property"] = double(run.heap) / count;
    state.counters["sheet per property"] = double(run.sheet) / count;
    dialogRuns[closing][count] = run;
}

void registerSoftTypeDialog()
{
    for (int closing = 0; closing < 3; ++closing) {
        for (int count : {25000, 50000, 100000}) {
            benchmark::RegisterBenchmark(qPrintable(QStringLiteral("SoftTypeDialog/%1/%2").arg(count).arg(Closings[closing])),
                                         SoftTypeDialog)
                ->Args({count, closing})
                ->Iterations(1)
                ->UseManualTime()
                ->Unit(benchmark::kMillisecond);
        }
    }
}

void printSoftTypeDialog()
{
    for (const auto &closing : dialogRuns) {
        const std::map<int, DialogRun> &runs = closing.second;
        for (const auto &sized : runs) {
            const DialogRun &r = sized.second;
            std::printf("SoftType dialog, %d properties, %s: read %.2f s; docks %.3f s; open %.2f s, show %.3f s, close "
                        "%.2f s (%.2f, %.2f, %.2f times the read); heap while shown %.0f (property sheet %.0f, dialog "
                        "%.0f), resident peak %.0f bytes per property\n",
                        sized.first, Closings[closing.first], r.read, r.docks, r.open, r.show, r.close, r.open / r.read,
                        r.show / r.read, r.close / r.read, double(r.heap) / sized.first, double(r.sheet) / sized.first,
                        double(r.heap - r.sheet) / sized.first, double(r.peak) / sized.first);
        }
        if (runs.count(50000) && runs.count(100000)) {
            const DialogRun &a = runs.at(50000), &b = runs.at(100000);
            std::printf("SoftType dialog, %s, from 50,000 to 100,000 properties: heap %.0f (property sheet %.0f, dialog "
                        "%.0f: aim at most 100), resident peak %.0f bytes per added property; open, show and close %.2f "
                        "times as long (linear is 2)\n",
                        Closings[closing.first], double(b.heap - a.heap) / 50000, double(b.sheet - a.sheet) / 50000,
                        double(b.heap - b.sheet - a.heap + a.sheet) / 50000, double(b.peak - a.peak) / 50000,
                        (b.open + b.show + b.close) / (a.open + a.show + a.close));
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
        registerSoftTypeDialog();
    };
    return bench::runHeadless(argc, argv, warmUp, [] {
        std::printf("worst memory per file byte: %.1f (%s; aim at most 32)\n", worstMemory,
                    qPrintable(worstMemoryShape));
        std::printf("worst time per byte at the double size over the size: %.2f (%s; linear is 1)\n",
                    worstLinearity, qPrintable(worstLinearityShape));
        printSoftTypeDialog();
        std::printf("textpad line: worst open and show %.0f ms (aim within 1000), time per letter at the double size "
                    "over the size at most %.2f (linear is 1)\n",
                    1e3 * textpadWorstShow, textpadWorstLinearity);
    });
}
