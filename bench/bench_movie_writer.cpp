// 300 frames of 1280x720 through QTMovieFile, beside the same frames piped
// as raw BGRA into the ffmpeg command with the same codec and settings.
// Prints the time per frame of both and their ratio (target: within 1.1x).

#include "export/QTMovieFile.h"

#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <map>
#include <string>
#include <vector>

namespace {

const int W = 1280;
const int H = 720;
const int Frames = 300;

struct Codec
{
    const char *name;
    CodecType type;
    const char *ffmpegArgs; // the writer's settings for "Normal" quality
};

const Codec jpeg = {"JPEG", fourCC("jpeg"), "-c:v mjpeg -pix_fmt yuvj420p -q:v 16"};
const Codec h264 = {"H.264", fourCC("avc1"),
                    "-c:v libx264 -pix_fmt yuv420p -preset veryfast -tune zerolatency -crf 25"};

// A short loop of moving shapes over a gradient, as a document might play.
const std::vector<QImage> &loop()
{
    static std::vector<QImage> frames;
    if (frames.empty()) {
        for (int i = 0; i < 16; ++i) {
            QImage image(W, H, QImage::Format_ARGB32_Premultiplied);
            QPainter painter(&image);
            painter.setRenderHint(QPainter::Antialiasing);
            QLinearGradient gradient(0, 0, W, H);
            gradient.setColorAt(0, QColor::fromHsv((i * 12) % 360, 120, 230));
            gradient.setColorAt(1, QColor::fromHsv((i * 12 + 180) % 360, 160, 90));
            painter.fillRect(image.rect(), gradient);
            for (int k = 0; k < 60; ++k) {
                painter.setBrush(QColor::fromHsv((k * 37) % 360, 200, 220, 200));
                painter.setPen(QPen(Qt::black, 2));
                const double x = (k * 97 + i * 11) % W;
                const double y = (k * 53 + i * 7) % H;
                painter.drawEllipse(QPointF(x, y), 20 + k % 30, 12 + k % 20);
            }
            painter.end();
            frames.push_back(image);
        }
    }
    return frames;
}

std::map<std::string, double> perFrameMs;

void record(benchmark::State &state, const std::string &key, double seconds)
{
    state.SetIterationTime(seconds);
    perFrameMs[key] = seconds * 1000.0 / Frames;
    state.counters["ms/frame"] = perFrameMs[key];
}

double secondsSince(std::chrono::steady_clock::time_point start)
{
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

void ours(benchmark::State &state, const Codec &codec)
{
    const std::vector<QImage> &frames = loop();
    QTemporaryDir dir;
    std::vector<uchar> buffer(size_t(W) * H * 4);
    for (auto _ : state) {
        const auto start = std::chrono::steady_clock::now();
        {
            QTMovieFile writer;
            writer.initQuickTime();
            writer.setCompression(codecNormalQuality, codec.type);
            if (!writer.open(buffer.data(), k32BGRAPixelFormat, W, H, W * 4, dir.filePath("ours.mov"))) {
                state.SkipWithError("open failed");
                return;
            }
            for (int i = 0; i < Frames; ++i) {
                std::memcpy(buffer.data(), frames[size_t(i) % frames.size()].constBits(), buffer.size());
                if (!writer.writeFrame()) {
                    state.SkipWithError("frame failed");
                    return;
                }
            }
        }
        record(state, std::string(codec.name) + " ours", secondsSince(start));
        QFile::remove(dir.filePath("ours.mov"));
    }
}

void peer(benchmark::State &state, const Codec &codec)
{
    const std::vector<QImage> &frames = loop();
    QTemporaryDir dir;
    const std::string command = "ffmpeg -y -v error -f rawvideo -pix_fmt bgra -s 1280x720 -r 30 -i - "
                                + std::string(codec.ffmpegArgs)
                                + " -thread_type slice -video_track_timescale 600 -movie_timescale 600 '"
                                + dir.filePath("peer.mov").toStdString() + "'";
    for (auto _ : state) {
        const auto start = std::chrono::steady_clock::now();
        FILE *pipe = popen(command.c_str(), "w");
        if (!pipe) {
            state.SkipWithError("cannot run ffmpeg");
            return;
        }
        for (int i = 0; i < Frames; ++i) {
            const QImage &frame = frames[size_t(i) % frames.size()];
            fwrite(frame.constBits(), 1, size_t(frame.sizeInBytes()), pipe);
        }
        if (pclose(pipe) != 0) {
            state.SkipWithError("ffmpeg failed");
            return;
        }
        record(state, std::string(codec.name) + " ffmpeg", secondsSince(start));
    }
}

} // namespace

BENCHMARK_CAPTURE(ours, jpeg, jpeg)->UseManualTime()->Iterations(1)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(peer, jpeg, jpeg)->UseManualTime()->Iterations(1)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(ours, h264, h264)->UseManualTime()->Iterations(1)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(peer, h264, h264)->UseManualTime()->Iterations(1)->Unit(benchmark::kMillisecond);

int main(int argc, char **argv)
{
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    for (const Codec *codec : {&jpeg, &h264}) {
        const std::string name = codec->name;
        if (!perFrameMs.count(name + " ours") || !perFrameMs.count(name + " ffmpeg"))
            continue;
        const double a = perFrameMs[name + " ours"];
        const double b = perFrameMs[name + " ffmpeg"];
        std::printf("%-6s QTMovieFile %.2f ms/frame, ffmpeg %.2f ms/frame, ratio %.2f (target <= 1.10)\n",
                    name.c_str(), a, b, a / b);
    }
    return 0;
}
