// A play run with movie export armed: a 1280x720 canvas of 200 glyphs of
// 36 pt letters, each with a Twirl, the mouse circling with the left button
// held, 300 frames through ExporterMOV, JPEG and H.264 at "Normal" quality.
// Each frame is the play tick (frame counter and SoftType step) and the
// exporter's frame (render into its buffer, compression, sample). Beside it,
// on the same frames, the step alone, the render alone and the writer alone
// (QTMovieFile compressing the frames already rendered). The budget of a
// frame is the 33 ms play tick.

#include "export/ExporterMOV.h"
#include "export/QTMovieFile.h"
#include "model/Glyph.h"
#include "model/QVorrelScene.h"
#include "model/TextGroup.h"
#include "softtypes/SoftTypeFactory.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QPainter>
#include <QTemporaryDir>
#include "BenchMain.h"
#include <benchmark/benchmark.h>
#include <cmath>
#include <cstdio>
#include <map>
#include <memory>
#include <string>

namespace {

const int W = 1280;
const int H = 720;
const int Frames = 300;
const double Budget = 33.0;

struct Codec
{
    const char *name;
    int type;
};
const Codec jpeg = {"JPEG", int(fourCC("jpeg"))};
const Codec h264 = {"H.264", int(fourCC("avc1"))};

// Five lines of four ten-letter words, every glyph twirling.
std::unique_ptr<QVorrelScene> document(const QString &movie)
{
    auto scene = std::make_unique<QVorrelScene>(-32768, -32768, 65535, 65535);
    scene->setScreenSize(W, H);
    scene->setExportSettings(W, H, 72);
    scene->setBackgroundColor(QColor(250, 245, 230));
    scene->setExportFileName(movie);
    const QFont font(QStringLiteral("Arial"), 36);
    const QString letters = QStringLiteral("abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ");
    int n = 0;
    for (int line = 0; line < 5; ++line) {
        auto *passage = new TextGroup;
        for (int w = 0; w < 4; ++w) {
            if (w > 0)
                passage->append(new Glyph(' ', font, Qt::black, Qt::black, 0, QPointF()));
            auto *word = new TextGroup;
            for (int i = 0; i < 10; ++i, ++n) {
                auto *g = new Glyph(letters.at(n % letters.size()), font, QColor(20, 40, 120), Qt::black, 1,
                                    QPointF());
                g->addSoftType(SoftTypeFactory::create(QStringLiteral("Twirl"), QStringLiteral("Twirl-1")));
                word->append(g);
            }
            passage->append(word);
        }
        passage->firstGlyph()->setPos(60, 140 + 120 * line);
        passage->relayout();
        scene->root()->append(passage);
    }
    scene->setMouseButtons(Qt::LeftButton);
    return scene;
}

// One play tick as the view runs it, the mouse on a circle.
void tick(QVorrelScene &scene)
{
    const int f = scene.frameCounter() + 1;
    scene.setFrameCounter(f);
    scene.setMousePosition(QPointF(640 + 400 * std::cos(f * 0.05), 360 + 250 * std::sin(f * 0.05)));
    scene.stepSoftTypes();
}

// The exporter's render of a frame.
void render(QVorrelScene &scene, QImage &frame)
{
    QPainter painter(&frame);
    scene.beginRender(true);
    scene.render(&painter, QRectF(0, 0, W, H), scene.canvasRect(), Qt::KeepAspectRatio);
    scene.endRender();
}

std::map<std::string, double> perFrameMs;

void report(benchmark::State &state, const std::string &key, double ms)
{
    state.SetIterationTime(ms / 1000.0);
    perFrameMs[key] = ms / Frames;
    state.counters["ms/frame"] = perFrameMs[key];
}

// The armed play run: tick + exportFrame, timed together; begin and end
// (which finishes the movie) apart.
void PlayRun(benchmark::State &state, const Codec &codec)
{
    QTemporaryDir dir;
    for (auto _ : state) {
        QFile::remove(dir.filePath("run.mov"));
        std::unique_ptr<QVorrelScene> scene = document(dir.filePath("run"));
        ExporterMOV exporter(codecNormalQuality, codec.type, false);
        if (!exporter.begin(scene.get())) {
            state.SkipWithError("begin failed");
            return;
        }
        QElapsedTimer timer;
        double ms = 0;
        for (int i = 0; i < Frames; ++i) {
            timer.start();
            tick(*scene);
            const bool written = exporter.exportFrame(scene.get());
            ms += timer.nsecsElapsed() / 1e6;
            if (!written) {
                state.SkipWithError("frame failed");
                return;
            }
            QCoreApplication::processEvents(); // the view's repaint pass, between ticks
        }
        timer.start();
        exporter.end();
        state.counters["end_ms"] = timer.nsecsElapsed() / 1e6;
        report(state, std::string(codec.name) + " play", ms);
    }
}

// The same frames: step, render and compression each timed alone.
void Parts(benchmark::State &state, const Codec &codec)
{
    QTemporaryDir dir;
    for (auto _ : state) {
        std::unique_ptr<QVorrelScene> scene = document(dir.filePath("parts"));
        QImage frame(W, H, QImage::Format_ARGB32_Premultiplied);
        frame.fill(0);
        QTMovieFile writer;
        writer.initQuickTime();
        writer.setCompression(codecNormalQuality, CodecType(codec.type));
        if (!writer.open(frame.bits(), k32BGRAPixelFormat, W, H, W * 4, dir.filePath("parts.mov"), false)) {
            state.SkipWithError("open failed");
            return;
        }
        QElapsedTimer timer;
        double step = 0, draw = 0, write = 0;
        for (int i = 0; i < Frames; ++i) {
            timer.start();
            tick(*scene);
            step += timer.nsecsElapsed() / 1e6;
            timer.start();
            render(*scene, frame);
            draw += timer.nsecsElapsed() / 1e6;
            timer.start();
            writer.writeFrame();
            write += timer.nsecsElapsed() / 1e6;
            QCoreApplication::processEvents();
        }
        writer.finish();
        perFrameMs[std::string(codec.name) + " step"] = step / Frames;
        perFrameMs[std::string(codec.name) + " render"] = draw / Frames;
        report(state, std::string(codec.name) + " writer", write);
        state.counters["step_ms"] = step / Frames;
        state.counters["render_ms"] = draw / Frames;
    }
}

} // namespace

BENCHMARK_CAPTURE(PlayRun, jpeg, jpeg)->UseManualTime()->Iterations(1)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(Parts, jpeg, jpeg)->UseManualTime()->Iterations(1)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(PlayRun, h264, h264)->UseManualTime()->Iterations(1)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(Parts, h264, h264)->UseManualTime()->Iterations(1)->Unit(benchmark::kMillisecond);

int main(int argc, char **argv)
{
    return bench::runHeadless(argc, argv, {}, [] {
        for (const Codec *codec : {&jpeg, &h264}) {
            const std::string name = codec->name;
            if (!perFrameMs.count(name + " play") || !perFrameMs.count(name + " writer"))
                continue;
            const double play = perFrameMs[name + " play"];
            std::printf("%-6s play run %.2f ms/frame (step %.2f + render %.2f + writer alone %.2f); "
                        "%.2f x the writer alone; %.0f%% of the %.0f ms budget\n",
                        name.c_str(), play, perFrameMs[name + " step"], perFrameMs[name + " render"],
                        perFrameMs[name + " writer"], play / perFrameMs[name + " writer"], 100 * play / Budget,
                        Budget);
        }
    });
}
