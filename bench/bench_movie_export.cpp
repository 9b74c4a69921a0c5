// A play run with movie export armed: a 1280x720 canvas of 200 glyphs of
// 36 pt letters, each with a Twirl, the mouse circling with the left button
// held, 300 frames through ExporterMOV, JPEG and H.264 at "Normal" quality.
// Each frame is the play tick (frame counter and SoftType step) and the
// exporter's frame (render into its buffer, compression, sample). Beside it,
// on the same frames, the step alone, the render alone and the writer alone
// (QTMovieFile compressing the frames already rendered). The budget of a
// frame is the 33 ms play tick.
//
// Appending in another codec: a movie of 120 earlier frames of the run
// (JPEG, and H.264) opened by the writer for H.264 (and MPEG-4) frames,
// which decodes and codes anew every earlier frame off the calling thread
// while that thread takes the progress reports, as the exporter's begin
// does; per earlier frame, against the floor of FFmpeg alone reading,
// decoding, converting and coding the same frames with the same quality
// settings and FFmpeg's default threads (target: at most 1.2x).
//
// Frames the codec codes larger than they are: H.264 of odd sides, padded
// to even ones, JPEG of odd sides, converted padded to whole colour samples
// (both with their last column and row repeated), and frames of another
// shape appended to a 1280x720 movie, between black bars (JPEG and H.264);
// the writer alone on the run's frames at that size, against a writer of
// 1280x720 frames in the same codec on the same ticks.

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

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/opt.h>
#include <libswscale/swscale.h>
}
#include <benchmark/benchmark.h>
#include <algorithm>
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
const Codec mpeg4 = {"MPEG4", int(fourCC("mp4v"))};
const int Earlier = 120;

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
    scene.render(&painter, QRectF(frame.rect()), scene.canvasRect(), Qt::KeepAspectRatio);
    scene.endRender();
}

std::map<std::string, double> perFrameMs;

// The best of a row's runs: on a busy machine the others say more of the
// machine than of the code.
void keepBest(const std::string &key, double msPerFrame)
{
    const auto it = perFrameMs.find(key);
    perFrameMs[key] = it == perFrameMs.end() ? msPerFrame : std::min(it->second, msPerFrame);
}

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

struct Shape
{
    const char *name;
    const Codec *codec;
    int width;
    int height;
    bool appended; // to a movie of one 1280x720 frame: between bars
};
const Shape h264Padded = {"H.264 1279x719 padded", &h264, 1279, 719, false};
const Shape jpegPadded = {"JPEG 1279x719 padded", &jpeg, 1279, 719, false};
const Shape jpegBars = {"JPEG 1280x640 between bars", &jpeg, 1280, 640, true};
const Shape h264Bars = {"H.264 1280x640 between bars", &h264, 1280, 640, true};

// A writer of frames of this size, into a new movie or appended to one of
// a single 1280x720 frame.
std::unique_ptr<QTMovieFile> openWriter(const QString &path, const Codec &codec, QImage &frame, bool appended)
{
    auto writer = std::make_unique<QTMovieFile>();
    writer->initQuickTime();
    writer->setCompression(codecNormalQuality, CodecType(codec.type));
    if (appended) {
        QImage first(W, H, QImage::Format_ARGB32_Premultiplied);
        first.fill(0);
        QTMovieFile movie;
        movie.initQuickTime();
        movie.setCompression(codecNormalQuality, CodecType(codec.type));
        if (!movie.open(first.bits(), k32BGRAPixelFormat, W, H, W * 4, path, false) || !movie.writeFrame()
            || !movie.finish())
            return nullptr;
    }
    if (!writer->open(frame.bits(), k32BGRAPixelFormat, int16_t(frame.width()), int16_t(frame.height()),
                      frame.width() * 4, path, appended))
        return nullptr;
    return writer;
}

// The writer alone on the run's frames at the shape's size, and beside it,
// on the same ticks, a writer of 1280x720 frames in the same codec.
void Padded(benchmark::State &state, const Shape &shape)
{
    QTemporaryDir dir;
    for (auto _ : state) {
        std::unique_ptr<QVorrelScene> scene = document(dir.filePath("padded"));
        QImage frame(shape.width, shape.height, QImage::Format_ARGB32_Premultiplied);
        QImage whole(W, H, QImage::Format_ARGB32_Premultiplied);
        frame.fill(0);
        whole.fill(0);
        QFile::remove(dir.filePath("padded.mov"));
        const std::unique_ptr<QTMovieFile> writer = openWriter(dir.filePath("padded.mov"), *shape.codec, frame,
                                                               shape.appended);
        const std::unique_ptr<QTMovieFile> floor = openWriter(dir.filePath("whole.mov"), *shape.codec, whole, false);
        if (!writer || !floor) {
            state.SkipWithError("open failed");
            return;
        }
        QElapsedTimer timer;
        double write = 0, wholeWrite = 0;
        for (int i = 0; i < Frames; ++i) {
            tick(*scene);
            render(*scene, frame);
            render(*scene, whole);
            timer.start();
            const bool written = writer->writeFrame();
            write += timer.nsecsElapsed() / 1e6;
            timer.start();
            const bool wholeWritten = floor->writeFrame();
            wholeWrite += timer.nsecsElapsed() / 1e6;
            if (!written || !wholeWritten) {
                state.SkipWithError("frame failed");
                return;
            }
        }
        perFrameMs[std::string(shape.name) + " whole"] = wholeWrite / Frames;
        state.counters["whole_ms"] = wholeWrite / Frames;
        report(state, shape.name, write);
    }
}

// A movie of the run's first frames in this codec at "Normal".
bool writeEarlier(const QString &path, const Codec &codec)
{
    std::unique_ptr<QVorrelScene> scene = document(path);
    QImage frame(W, H, QImage::Format_ARGB32_Premultiplied);
    frame.fill(0);
    QTMovieFile writer;
    writer.initQuickTime();
    writer.setCompression(codecNormalQuality, CodecType(codec.type));
    if (!writer.open(frame.bits(), k32BGRAPixelFormat, W, H, W * 4, path, false))
        return false;
    for (int i = 0; i < Earlier; ++i) {
        tick(*scene);
        render(*scene, frame);
        if (!writer.writeFrame())
            return false;
    }
    return writer.finish();
}

struct Recode
{
    const Codec *from;
    const Codec *to;
    std::string name() const { return std::string(from->name) + " to " + to->name; }
};
const Recode jpegToH264 = {&jpeg, &h264};
const Recode h264ToMpeg4 = {&h264, &mpeg4};

double decodeAndCode(const QString &path, const Codec &to);

// Counts the progress reports and lets the work go on.
OSErr countReports(Movie, short, short, Fixed, long refcon)
{
    ++*reinterpret_cast<int *>(refcon);
    return noErr;
}

// The writer opening the earlier movie in the other codec: the append step
// codes every earlier frame anew into the file being written. The writer
// is then destroyed without frames, which leaves the movie as it was.
// Each round then runs the floor on the same file: on a busy machine both
// see the same load, and the best round of each is kept.
void AppendRecoded(benchmark::State &state, const Recode &recode)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("earlier.mov");
    if (!writeEarlier(path, *recode.from)) {
        state.SkipWithError("earlier movie failed");
        return;
    }
    std::vector<uchar> buffer(size_t(W) * H * 4);
    for (auto _ : state) {
        QElapsedTimer timer;
        QTMovieFile writer;
        writer.initQuickTime();
        writer.setCompression(codecNormalQuality, CodecType(recode.to->type));
        int reports = 0;
        writer.setProgressProc(countReports, reinterpret_cast<long>(&reports));
        timer.start();
        const bool opened = writer.open(buffer.data(), k32BGRAPixelFormat, W, H, W * 4, path);
        const double ms = timer.nsecsElapsed() / 1e6;
        if (!opened) {
            state.SkipWithError("append failed");
            return;
        }
        state.SetIterationTime(ms / 1000.0);
        keepBest(recode.name() + " recode", ms / Earlier);
        state.counters["ms/earlier frame"] = ms / Earlier;
        state.counters["reports"] = reports;
        const double floor = decodeAndCode(path, *recode.to);
        if (floor < 0) {
            state.SkipWithError("decoding failed");
            return;
        }
        keepBest(recode.name() + " floor", floor / Earlier);
        state.counters["floor ms/earlier frame"] = floor / Earlier;
    }
}

// FFmpeg alone on the same frames: read, decode, convert to the encoder's
// pixels, code with the writer's quality settings for "Normal"; the
// decoder's and the encoder's threads as FFmpeg chooses by default.
double decodeAndCode(const QString &path, const Codec &to)
{
    QElapsedTimer timer;
    timer.start();
    AVFormatContext *input = nullptr;
    if (avformat_open_input(&input, QFile::encodeName(path).constData(), nullptr, nullptr) < 0)
        return -1;
    avformat_find_stream_info(input, nullptr);
    const AVStream *stream = input->streams[0];
    const AVCodec *decoderCodec = avcodec_find_decoder(stream->codecpar->codec_id);
    AVCodecContext *decoder = avcodec_alloc_context3(decoderCodec);
    avcodec_parameters_to_context(decoder, stream->codecpar);
    decoder->pkt_timebase = stream->time_base;
    decoder->thread_count = 0;
    avcodec_open2(decoder, decoderCodec, nullptr);

    const bool x264 = to.type == int(fourCC("avc1"));
    const AVCodec *encoderCodec = avcodec_find_encoder_by_name(x264 ? "libx264" : "mpeg4");
    AVCodecContext *encoder = avcodec_alloc_context3(encoderCodec);
    encoder->width = W;
    encoder->height = H;
    encoder->pix_fmt = AV_PIX_FMT_YUV420P;
    encoder->time_base = AVRational{1, 600};
    encoder->framerate = AVRational{30, 1};
    encoder->max_b_frames = 0;
    encoder->flags |= AV_CODEC_FLAG_GLOBAL_HEADER;
    encoder->thread_count = 0;
    if (x264) {
        av_opt_set(encoder->priv_data, "preset", "veryfast", 0);
        av_opt_set(encoder->priv_data, "tune", "zerolatency", 0);
        av_opt_set(encoder->priv_data, "x264-params", "sliced-threads=0", 0);
        av_opt_set_double(encoder->priv_data, "crf", 25, 0);
    } else {
        encoder->flags |= AV_CODEC_FLAG_QSCALE;
        encoder->global_quality = 16 * FF_QP2LAMBDA;
    }
    avcodec_open2(encoder, encoderCodec, nullptr);
    AVFrame *decoded = av_frame_alloc();
    AVFrame *picture = av_frame_alloc();
    picture->format = AV_PIX_FMT_YUV420P;
    picture->width = W;
    picture->height = H;
    av_frame_get_buffer(picture, 0);
    AVPacket *packet = av_packet_alloc();
    AVPacket *coded = av_packet_alloc();
    SwsContext *sws = nullptr;
    int frames = 0;
    const auto drain = [&] {
        while (avcodec_receive_frame(decoder, decoded) >= 0) {
            sws = sws_getCachedContext(sws, decoded->width, decoded->height, AVPixelFormat(decoded->format), W, H,
                                       AV_PIX_FMT_YUV420P, SWS_BICUBIC, nullptr, nullptr, nullptr);
            av_frame_make_writable(picture);
            sws_scale(sws, decoded->data, decoded->linesize, 0, decoded->height, picture->data, picture->linesize);
            picture->pts = frames++ * 20;
            picture->quality = encoder->global_quality;
            avcodec_send_frame(encoder, picture);
            while (avcodec_receive_packet(encoder, coded) >= 0)
                av_packet_unref(coded);
            av_frame_unref(decoded);
        }
    };
    while (av_read_frame(input, packet) >= 0) {
        avcodec_send_packet(decoder, packet);
        av_packet_unref(packet);
        drain();
    }
    avcodec_send_packet(decoder, nullptr);
    drain();
    const double ms = timer.nsecsElapsed() / 1e6;
    sws_freeContext(sws);
    av_packet_free(&coded);
    av_packet_free(&packet);
    av_frame_free(&picture);
    av_frame_free(&decoded);
    avcodec_free_context(&encoder);
    avcodec_free_context(&decoder);
    avformat_close_input(&input);
    return frames == Earlier ? ms : -1;
}

} // namespace

BENCHMARK_CAPTURE(PlayRun, jpeg, jpeg)->UseManualTime()->Iterations(1)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(Parts, jpeg, jpeg)->UseManualTime()->Iterations(1)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(PlayRun, h264, h264)->UseManualTime()->Iterations(1)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(Parts, h264, h264)->UseManualTime()->Iterations(1)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(Padded, h264_padded, h264Padded)->UseManualTime()->Iterations(1)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(Padded, jpeg_padded, jpegPadded)->UseManualTime()->Iterations(1)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(Padded, jpeg_bars, jpegBars)->UseManualTime()->Iterations(1)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(Padded, h264_bars, h264Bars)->UseManualTime()->Iterations(1)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(AppendRecoded, jpeg_to_h264, jpegToH264)->UseManualTime()->Iterations(5)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(AppendRecoded, h264_to_mpeg4, h264ToMpeg4)->UseManualTime()->Iterations(5)->Unit(benchmark::kMillisecond);

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
        for (const Shape *shape : {&h264Padded, &jpegPadded, &jpegBars, &h264Bars}) {
            const std::string whole = std::string(shape->name) + " whole";
            if (!perFrameMs.count(shape->name) || !perFrameMs.count(whole))
                continue;
            std::printf("%s: writer alone %.2f ms/frame, beside it on 1280x720 frames %.2f; ratio %.2f\n", shape->name,
                        perFrameMs[shape->name], perFrameMs[whole], perFrameMs[shape->name] / perFrameMs[whole]);
        }
        for (const Recode *recode : {&jpegToH264, &h264ToMpeg4}) {
            const std::string name = recode->name();
            if (!perFrameMs.count(name + " recode") || !perFrameMs.count(name + " floor"))
                continue;
            const double ours = perFrameMs[name + " recode"];
            const double floor = perFrameMs[name + " floor"];
            std::printf("append %s: %.2f ms per earlier frame coded anew, FFmpeg alone %.2f ms (best of 5 rounds each); "
                        "ratio %.2f (target <= 1.20)\n",
                        name.c_str(), ours, floor, ours / floor);
        }
    });
}
