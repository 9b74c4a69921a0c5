// The movie writer and the exporter (driven as the play loop drives it); movies read back through libav*,
// frames written from pixels right before an unreadable page, files followed through crashes and links.
#include "export/ExporterMOV.h"
#include "export/QTMovieFile.h"
#include "support/FileBytes.h"
#include "support/ModalRecorder.h"
#include "support/TestDocument.h"

#include <QElapsedTimer>
#include <QPainter>
#include <QProcess>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <dlfcn.h>
#include <sys/mman.h>
#include <sys/wait.h>
#include <unistd.h>

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libswscale/swscale.h>
}

Q_DECLARE_METATYPE(CodecType)

namespace {

// write, fsync and rename log what concerns movie files; a movie's temporary file may fail as on a full disk.
QStringList fileCalls;
bool failTempWrites = false;

QString pathOf(int fd)
{
    char path[4096];
    const ssize_t n = readlink(("/proc/self/fd/" + QByteArray::number(fd)).constData(), path, sizeof path);
    return n > 0 ? QString::fromLocal8Bit(path, int(n)) : QString();
}
} // namespace

extern "C" ssize_t write(int fd, const void *data, size_t size)
{
    if (failTempWrites && fd > 2 && pathOf(fd).contains("/.vorrel-movie-")) {
        errno = ENOSPC;
        return -1;
    }
    return reinterpret_cast<ssize_t (*)(int, const void *, size_t)>(dlsym(RTLD_NEXT, "write"))(fd, data, size);
}
// Calls of FFmpeg's fill of a frame with black.
int blackFills = 0;
extern "C" int av_image_fill_black(uint8_t *const data[4], const ptrdiff_t linesize[4], enum AVPixelFormat format, enum AVColorRange range, int width, int height)
{
    ++blackFills;
    using Fill = int (*)(uint8_t *const[4], const ptrdiff_t[4], enum AVPixelFormat, enum AVColorRange, int, int);
    return reinterpret_cast<Fill>(dlsym(RTLD_NEXT, "av_image_fill_black"))(data, linesize, format, range, width, height);
}
int packetsReceived = 0, oversizeAt = -1; // the encoders' packet numbered oversizeAt grows to 2^29 bytes, one more than FFmpeg reads
extern "C" int avcodec_receive_packet(AVCodecContext *context, AVPacket *packet)
{
    const int received = reinterpret_cast<int (*)(AVCodecContext *, AVPacket *)>(dlsym(RTLD_NEXT, "avcodec_receive_packet"))(context, packet);
    return received == 0 && packetsReceived++ == oversizeAt ? av_grow_packet(packet, (1 << 29) - packet->size) : received; // pages untouched
}
extern "C" int fsync(int fd)
{
    fileCalls << "fsync " + pathOf(fd);
    return reinterpret_cast<int (*)(int)>(dlsym(RTLD_NEXT, "fsync"))(fd);
}
extern "C" int rename(const char *from, const char *to)
{
    fileCalls << QString("rename %1 %2").arg(QFile::decodeName(from), QFile::decodeName(to));
    return reinterpret_cast<int (*)(const char *, const char *)>(dlsym(RTLD_NEXT, "rename"))(from, to);
}

namespace {

const CodecType jpeg = fourCC("jpeg"), raw = fourCC("raw "), h264 = fourCC("avc1"), mpeg4 = fourCC("mp4v"), rpza = fourCC("rpza");
const CodecQ normal = codecNormalQuality;
const QColor blue(40, 160, 220), yellow(230, 200, 30);

// Of the first video stream but streams and otherPackets (the other streams'); frames decoded as RGB32.
struct MovieReader
{
    int streams = 0, otherPackets = 0, keyPackets = 0, decodeErrors = 0;
    int profile = FF_PROFILE_UNKNOWN, colorSpace = AVCOL_SPC_UNSPECIFIED, colorRange = AVCOL_RANGE_UNSPECIFIED;
    CodecType codec = 0;
    QString timeBase; // "num/den"
    qint64 duration = 0;
    QVector<int> packetSizes;
    QVector<QImage> frames;

    explicit MovieReader(const QString &path)
    {
        AVFormatContext *input = nullptr;
        if (avformat_open_input(&input, QFile::encodeName(path).constData(), nullptr, nullptr) < 0)
            return;
        const int video = avformat_find_stream_info(input, nullptr) < 0 ? -1 : av_find_best_stream(input, AVMEDIA_TYPE_VIDEO, -1, -1, nullptr, 0);
        streams = int(input->nb_streams);
        AVCodecContext *decoder = nullptr;
        if (video >= 0) {
            const AVCodecParameters *par = input->streams[video]->codecpar;
            codec = qbswap(par->codec_tag); // its characters first to last
            const AVRational base = input->streams[video]->time_base;
            timeBase = QString("%1/%2").arg(base.num).arg(base.den);
            duration = input->streams[video]->duration;
            profile = par->profile;
            colorSpace = par->color_space;
            colorRange = par->color_range;
            decoder = avcodec_alloc_context3(avcodec_find_decoder(par->codec_id));
            avcodec_parameters_to_context(decoder, par);
            avcodec_open2(decoder, decoder->codec, nullptr);
        }
        AVPacket *packet = av_packet_alloc();
        while (av_read_frame(input, packet) >= 0) {
            if (packet->stream_index == video) {
                packetSizes.append(packet->size);
                keyPackets += (packet->flags & AV_PKT_FLAG_KEY) != 0;
                decodeErrors += avcodec_send_packet(decoder, packet) < 0;
                drain(decoder);
            } else {
                ++otherPackets;
            }
            av_packet_unref(packet);
        }
        if (decoder) {
            avcodec_send_packet(decoder, nullptr);
            drain(decoder);
        }
        av_packet_free(&packet);
        avcodec_free_context(&decoder);
        avformat_close_input(&input);
    }

    QString summary() const
    {
        return QString("streams %1, %2, %3 units, %4 packets, %5 frames, %6 errors").arg(streams).arg(timeBase).arg(duration).arg(packetSizes.size()).arg(frames.size()).arg(decodeErrors);
    }

    // Which test picture each frame shows, told by its red level.
    QVector<int> pictures() const
    {
        QVector<int> out;
        for (const QImage &f : frames)
            out << qRound((200 - qRed(f.pixel(f.width() / 2, f.height() / 2))) / 30.0);
        return out;
    }

private:
    void drain(AVCodecContext *decoder)
    {
        AVFrame *frame = av_frame_alloc();
        while (avcodec_receive_frame(decoder, frame) >= 0) {
            // swscale's vector stores run past the end of a row: convert into wider rows, then cut the frame out.
            QImage image(frame->width + 16, frame->height, QImage::Format_RGB32);
            SwsContext *sws = sws_getContext(frame->width, frame->height, AVPixelFormat(frame->format), frame->width, frame->height,
                                             AV_PIX_FMT_BGRA, SWS_POINT, nullptr, nullptr, nullptr);
            uint8_t *const dst[4] = {image.bits(), nullptr, nullptr, nullptr};
            const int stride[4] = {int(image.bytesPerLine()), 0, 0, 0};
            sws_scale(sws, frame->data, frame->linesize, 0, frame->height, dst, stride);
            sws_freeContext(sws);
            frames.append(image.copy(0, 0, frame->width, frame->height));
        }
        av_frame_free(&frame);
    }
};

const QRgb solid = qRgb(200, 40, 60); // test picture -1, every pixel

// Test picture i: smooth, opaque, red 200 - 30 i, at least 15 a channel from its neighbours even after lossy codecs.
void paintPicture(uchar *pixels, QSize size, int index)
{
    if (index < 0) {
        std::fill_n(reinterpret_cast<quint32 *>(pixels), size.width() * size.height(), solid);
        return;
    }
    for (int y = 0; y < size.height(); ++y) {
        uchar *p = pixels + y * size.width() * 4;
        for (int x = 0; x < size.width(); ++x, p += 4) {
            p[0] = uchar(x * 2 + index * 20);
            p[1] = uchar(y * 3 + index * 15);
            p[2] = uchar(200 - index * 30);
            p[3] = 255;
        }
    }
}

QImage expectedPicture(int index, QSize size = QSize(64, 48))
{
    QImage image(size, QImage::Format_RGB32);
    paintPicture(image.bits(), size, index);
    return image;
}

// Mean absolute difference per channel; 255 for images of other sizes.
double meanDifference(const QImage &a, const QImage &b)
{
    if (a.size() != b.size())
        return 255;
    double sum = 0;
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x) {
            const QRgb p = a.pixel(x, y), q = b.pixel(x, y);
            sum += qAbs(qRed(p) - qRed(q)) + qAbs(qGreen(p) - qGreen(q)) + qAbs(qBlue(p) - qBlue(q));
        }
    return sum / (3.0 * a.width() * a.height());
}

// The largest difference of a channel from colour within area of the image; 255 when the image has no such area.
int largestError(const QImage &image, const QRect &area, QRgb colour)
{
    if (!image.rect().contains(area))
        return 255;
    int largest = 0;
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x) {
            const QRgb p = image.pixel(x, y);
            largest = std::max({largest, qAbs(qRed(p) - qRed(colour)), qAbs(qGreen(p) - qGreen(colour)), qAbs(qBlue(p) - qBlue(colour))});
        }
    return largest;
}

// Of the last row and column of a frame of size.
int edgeError(const QImage &image, QSize size, QRgb colour)
{
    const int w = size.width(), h = size.height();
    return qMax(largestError(image, QRect(0, h - 1, w, 1), colour), largestError(image, QRect(w - 1, 0, 1, h), colour));
}

// A movie writer whose pixels end with their last row right before a page that may not be read.
struct TestWriter
{
    const QSize size;
    const size_t page = size_t(sysconf(_SC_PAGESIZE));
    const size_t pages = (size_t(size.width() * size.height() * 4) + page - 1) / page;
    uchar *const region = static_cast<uchar *>(mmap(nullptr, (pages + 1) * page, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0));
    uchar *const pixels = region + pages * page - size.width() * size.height() * 4;
    QTMovieFile movie;

    explicit TestWriter(QSize size = QSize(64, 48)) : size(size) { mprotect(region + pages * page, page, PROT_NONE); }
    ~TestWriter()
    {
        movie.finish();
        munmap(region, (pages + 1) * page);
    }
    bool open(const QString &path, CodecType codec = jpeg, CodecQ quality = normal, bool append = true)
    {
        movie.setCompression(quality, codec);
        return movie.initQuickTime() && movie.open(pixels, k32BGRAPixelFormat, int16_t(size.width()), int16_t(size.height()), size.width() * 4, path, append);
    }
    bool frame(int index)
    {
        paintPicture(pixels, size, index);
        return movie.writeFrame();
    }
};

// The first run of oneWriterPerMovie in a process of its own: adds picture 2 to the movie, says "open", and once a
// line comes in adds pictures 3 and 4 and finishes. 0 when all went well, without a warning.
int holdMovie(const QString &path, bool append)
{
    ModalRecorder rec;
    TestWriter writer;
    if (!writer.open(path, jpeg, normal, append) || !writer.frame(2))
        return 1;
    std::puts("open");
    std::fflush(stdout);
    return std::getchar() != EOF && writer.frame(3) && writer.frame(4) && writer.movie.finish() && rec.calls.isEmpty() ? 0 : 1;
}

// One run of the writer: how many of the pictures writeFrame took, -1 when it could not start or open.
int record(const QString &path, const QVector<int> &pictures, CodecType codec = jpeg, CodecQ quality = normal, QSize size = QSize(64, 48))
{
    TestWriter writer(size);
    int written = writer.open(path, codec, quality) ? 0 : -1;
    for (int i = 0; written >= 0 && i < pictures.size(); ++i)
        written += writer.frame(pictures.at(i));
    return written;
}

QStringList entries(const QString &dir) { return QDir(dir).entryList(QDir::Files | QDir::Hidden | QDir::System); }

// The frame the last track header ('tkhd') gives: its atom ends in width and height, 16.16 numbers.
QSize trackHeaderSize(const QString &path)
{
    const QByteArray bytes = contents(path);
    const int type = bytes.lastIndexOf("tkhd");
    if (type < 4)
        return QSize();
    const auto number = [&](int at) { return int(qFromBigEndian<quint32>(bytes.constData() + at)); };
    const int end = type - 4 + number(type - 4);
    return QSize(number(end - 8) >> 16, number(end - 4) >> 16);
}

// The texts of "Quicktime Export" warnings; any other modal call in full.
QStringList warnings(const ModalRecorder &recorder)
{
    QStringList texts;
    for (const ModalRecorder::Call &call : recorder.calls)
        texts << (call.what == "warning" && call.title == "Quicktime Export" ? call.text : call.what + ": " + call.title + " / " + call.text);
    return texts;
}

// FFmpeg's own scale of an opaque picture to size in one pass, through files in folder: zscale, bicubic (swscale shrinks far in steps of its own).
QImage oneScale(const QImage &picture, QSize size, const QDir &folder)
{
    const QString in = folder.filePath("in.png"), out = folder.filePath("out.png"), filter = QString("zscale=w=%1:h=%2:filter=bicubic").arg(size.width()).arg(size.height());
    return picture.save(in) && QProcess::execute("ffmpeg", {"-v", "error", "-y", "-i", in, "-vf", filter, "-pix_fmt", "rgb24", out}) == 0 ? QImage(out).convertToFormat(QImage::Format_RGB32) : QImage();
}

// The premultiplied frame as opaque pixels.
QImage opaque(const QImage &frame) { return frame.convertToFormat(QImage::Format_RGB32); }

// A play run: begin, per tick frame counter, SoftType step, frame (temp file unwritable from tick failFrom on), end if ends.
// Frames taken, -1 when begin refused.
int play(Exporter &exporter, QVorrelScene &scene, int ticks, int failFrom = -1, bool ends = true)
{
    if (!exporter.begin(&scene))
        return -1;
    int accepted = 0;
    for (int i = 0; i < ticks; ++i) {
        failTempWrites = failTempWrites || i == failFrom;
        scene.setFrameCounter(scene.frameCounter() + 1);
        scene.stepSoftTypes();
        accepted += exporter.exportFrame(&scene);
    }
    if (ends)
        exporter.end();
    failTempWrites = false;
    return accepted;
}

// Movie dir/clip, frames of 320 x 240 from the 1024 x 768 canvas.
struct Document : TestDocument
{
    explicit Document(const QTemporaryDir &dir, const QColor &background = blue)
    {
        scene.setExportFileName(dir.filePath("clip"));
        scene.setExportSettings(320, 240, 72);
        scene.setBackgroundColor(background);
    }
};

} // namespace

class TestMovies : public QObject
{
    Q_OBJECT
private slots:
    void newMoviePerCodec_data()
    {
        QTest::addColumn<CodecType>("codec");
        QTest::addColumn<CodecQ>("quality");
        QTest::addColumn<QSize>("size");
        QTest::addColumn<double>("tolerance"); // mean difference per channel; 0: the exact pixels
        QTest::addColumn<int>("mode"); // 0: 3 frames; 1: 2 more appended; 2: as 1, every frame picture 1; 3: into a sound-only file;
                                       // 4: into a file whose one (sound) track holds no sample, of which the muxer writes no track
        // rpza keeps 5 bits a channel and smears the top rows; tiny frames: rows shorter than what swscale reads at once.
        const QSize size(64, 48);
        QTest::newRow("jpeg") << jpeg << normal << size << 7.0 << 1;
        QTest::newRow("raw") << raw << normal << size << 0.0 << 1;
        QTest::newRow("animation") << fourCC("rle ") << codecMinQuality << size << 0.0 << 0;
        QTest::newRow("cinepak") << fourCC("cvid") << normal << size << 7.0 << 0;
        QTest::newRow("road pizza") << rpza << normal << size << 12.0 << 0;
        QTest::newRow("yuvMoviesNameTheirColourMatrix, h264KeepsLosslessCodingForLossless: h264") << h264 << normal << size << 7.0 << 1;
        QTest::newRow("h264KeepsLosslessCodingForLossless") << h264 << codecLosslessQuality << size << 0.0 << 0;
        QTest::newRow("yuvMoviesNameTheirColourMatrix: mpeg4") << mpeg4 << normal << size << 7.0 << 1;
        QTest::newRow("pixelsAreReadOnlyWithinTheCallersBuffer: jpeg 63x47") << jpeg << normal << QSize(63, 47) << 7.0 << 1;
        QTest::newRow("pixelsAreReadOnlyWithinTheCallersBuffer: h264 2x2") << h264 << normal << QSize(2, 2) << 7.0 << 1;
        QTest::newRow("onlyIndependentFramesAreSyncSamples: road pizza, still") << rpza << normal << size << 11.99 << 2;
        QTest::newRow("pixelsAreReadOnlyWithinTheCallersBuffer: rpza 4x4") << rpza << normal << QSize(4, 4) << 12.0 << 0;
        QTest::newRow("fileWithoutVideoGetsANewTrack: raw") << raw << normal << size << 0.0 << 3;
        QTest::newRow("finishingSkipsTracksWithoutSamples: jpeg") << jpeg << normal << size << 7.0 << 4;
        QTest::newRow("finishingSkipsTracksWithoutSamples: h264 63x47, its header set") << h264 << normal << QSize(63, 47) << 7.0 << 4;
        // Padded frames (H.264 decodes to 64 x 48) continue as well: the earlier samples are copied as they are.
        QTest::newRow("appendingWithTheSameSettingsCopiesTheFrames: cinepak 63x47") << fourCC("cvid") << normal << QSize(63, 47) << 7.0 << 1;
        QTest::newRow("appendingWithTheSameSettingsCopiesTheFrames: rpza 63x47") << rpza << normal << QSize(63, 47) << 12.0 << 1;
        QTest::newRow("appendingWithTheSameSettingsCopiesTheFrames: h264 63x47") << h264 << normal << QSize(63, 47) << 7.0 << 1;
    }

    // Per codec, under a path and name of over 255 bytes (pathsAndNamesOfAnyLengthWork): code, time base 1/600, 20 units
    // and a sample a frame decoding as written (or close), no warning, no other file; appends keep the permissions; the
    // video track's header gives the frame, also beside a track the muxer leaves out (finishingSkipsTracksWithoutSamples). H.264
    // is High but for "Lossless"; H.264, MPEG-4 name BT.601. A Road Pizza frame of skipped blocks (a still) is no sync
    // sample, the first of a run is (onlyIndependentFramesAreSyncSamples). qualityReachesEveryFrame: "Minimum" is smaller
    // and farther off, frame by frame.
    void newMoviePerCodec()
    {
        QFETCH(CodecType, codec);
        QFETCH(CodecQ, quality);
        QFETCH(QSize, size);
        QFETCH(double, tolerance);
        QFETCH(int, mode);
        const bool appends = mode == 1 || mode == 2, still = mode == 2;
        const auto picture = [still](int i) { return still ? 1 : i; };
        QTemporaryDir dir;
        const QString folder = dir.path() + QString("/%1/%1/%1/%1").arg(QString(80, 'a')), name = QString(251, 'e') + ".mov";
        const QString path = folder + "/" + name;
        QVERIFY(QDir().mkpath(folder));
        const QStringList empty{"-frames:a", "0", "-movflags", "frag_keyframe+empty_moov"}; // fragmented: the track stays
        if (mode >= 3) // its sound is kept; its no frames are nothing to append to
            QCOMPARE(QProcess::execute("ffmpeg", QStringList{"-v", "error", "-f", "lavfi", "-i", "sine=duration=0.5:sample_rate=8000", "-c:a", "pcm_s16be"} + (mode == 4 ? empty : QStringList()) + QStringList{path}), 0);
        const int sound = MovieReader(path).otherPackets;
        ModalRecorder rec;
        QCOMPARE(record(path, {picture(0), picture(1), picture(2)}, codec, quality, size), 3);
        const QVector<int> firstRun = MovieReader(path).packetSizes;
        const QFile::Permissions permissions = QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup;
        QVERIFY(QFile::setPermissions(path, permissions));
        QVERIFY(!appends || record(path, {picture(3), picture(4)}, codec, quality, size) == 2);
        const int n = appends ? 5 : 3;
        QCOMPARE(warnings(rec), QStringList());
        QCOMPARE(QFile::permissions(path) & 0x7077, permissions);
        QCOMPARE(entries(folder), QStringList{name});
        QCOMPARE(trackHeaderSize(path), size);
        const MovieReader movie(path);
        QCOMPARE(movie.summary(), QString("streams %1, 1/600, %2 units, %3 packets, %3 frames, 0 errors").arg(1 + (mode == 3)).arg(20 * n).arg(n));
        QVERIFY(movie.codec == codec && movie.keyPackets >= 1 && movie.otherPackets == sound && (mode != 3 || sound > 0));
        for (int i = 0; i < n; ++i)
            QVERIFY2(meanDifference(movie.frames[i].copy(QRect(QPoint(), size)), expectedPicture(picture(i), size)) <= tolerance, qPrintable(QString::number(i)));
        const QVector<int> &sizes = movie.packetSizes;
        QCOMPARE(sizes.mid(0, 3), firstRun);
        QVERIFY2(!still || (movie.keyPackets == 2 && sizes[1] * 4 < sizes[0] && sizes[4] * 4 < sizes[3]), qPrintable(QString::number(movie.keyPackets)));
        if (codec == h264)
            QCOMPARE(movie.profile, quality == codecLosslessQuality ? FF_PROFILE_H264_HIGH_444_PREDICTIVE : FF_PROFILE_H264_HIGH);
        if ((codec == h264 || codec == mpeg4) && quality != codecLosslessQuality) {
            QCOMPARE(movie.colorSpace, int(AVCOL_SPC_SMPTE170M));
            // A QuickTime 'nclc' colour atom implies limited range; H.264 says it too.
            QVERIFY(movie.colorRange != AVCOL_RANGE_JPEG && (codec != h264 || movie.colorRange == AVCOL_RANGE_MPEG));
        }
        if (quality != normal || size != QSize(64, 48) || !(codec == jpeg || codec == h264 || codec == mpeg4))
            return;
        QCOMPARE(record(dir.filePath("min.mov"), {0, 1, 2, 3}, codec, codecMinQuality), 4);
        QCOMPARE(record(dir.filePath("max.mov"), {0, 1, 2, 3}, codec, codecMaxQuality), 4);
        const MovieReader low(dir.filePath("min.mov")), high(dir.filePath("max.mov"));
        QVERIFY(low.frames.size() == 4 && high.frames.size() == 4);
        for (int i = 0; i < 4; ++i) {
            QVERIFY2(low.packetSizes.value(i) < high.packetSizes.value(i), qPrintable(QString::number(i)));
            QVERIFY(meanDifference(high.frames[i], expectedPicture(i)) < meanDifference(low.frames[i], expectedPicture(i)));
        }
        QVERIFY(codec != h264 || (low.profile == FF_PROFILE_H264_HIGH && high.profile == FF_PROFILE_H264_HIGH));
    }

    void everyExportSizeWorks_data()
    {
        QTest::addColumn<CodecType>("codec");
        QTest::addColumn<QSize>("size");
        QTest::addColumn<bool>("lossy");
        const struct { const char *name; CodecType codec; int widest; bool lossy; } codecs[] = {
            {"JPEG", jpeg, 32767, true}, {"RAW", raw, 32767, false}, {"Animation", fourCC("rle "), 32767, false}, {"Cinepak", fourCC("cvid"), 32767, true},
            {"Video", rpza, 32767, true}, {"H.264", h264, 16384, true}, {"MPEG4", mpeg4, 8191, true}};
        for (const auto &c : codecs)
            for (const QSize &size : {QSize(1, 1), QSize(2, 3), QSize(23, 17), QSize(63, 47), QSize(66, 50), QSize(1023, 767), QSize(c.widest, 15)})
                QTest::newRow(qPrintable(QString("%1 %2 x %3").arg(c.name).arg(size.width()).arg(size.height()))) << c.codec << size << c.lossy;
    }

    // Two frames of a canvas of the export size (blue, its outline black, "Vorrel" on it) through
    // the exporter, at any size up to the widest the codec takes. They decode as rendered, the centre of the canvas too;
    // the track header gives the export size. H.264 keeps odd sides padded to even ones in its coded frames (4:2:0
    // crops only pairs of pixels). frameBlackenedOncePerPlacement: what a codec pads is blackened for the first frame only.
    void everyExportSizeWorks()
    {
        QFETCH(CodecType, codec);
        QFETCH(QSize, size);
        QFETCH(bool, lossy);
        QTemporaryDir dir;
        Document doc(dir);
        doc.add("Vorrel", QPointF(100, 300));
        doc.scene.setScreenSize(size.width(), size.height());
        doc.scene.setExportSettings(size.width(), size.height(), 72);
        ModalRecorder rec;
        ExporterMOV exporter(normal, int(codec), false);
        blackFills = 0;
        QVERIFY(exporter.begin(&doc.scene));
        QVERIFY(exporter.exportFrame(&doc.scene) && exporter.exportFrame(&doc.scene));
        const QImage rendered = opaque(exporter.frame());
        QVERIFY(exporter.end());
        QVERIFY2(blackFills <= 1, qPrintable(QString::number(blackFills)));
        QCOMPARE(warnings(rec), QStringList());
        const QString path = dir.filePath("clip.mov");
        const MovieReader movie(path);
        QCOMPARE(movie.summary(), QString("streams 1, 1/600, 40 units, 2 packets, 2 frames, 0 errors"));
        const int pad = codec == h264 ? 2 : 1;
        QCOMPARE(movie.frames.last().size(), QSize((size.width() + pad - 1) / pad * pad, (size.height() + pad - 1) / pad * pad));
        QCOMPARE(trackHeaderSize(path), size);
        const QImage shown = movie.frames.last().copy(QRect(QPoint(), size));
        // Mean difference per channel: lossy codecs blur the outline, the more the larger its share of the pixels.
        const double difference = meanDifference(shown, rendered);
        const double outline = 2.0 * (size.width() + size.height()) / (size.width() * size.height());
        QVERIFY2(difference <= (lossy ? 5 + 100 * outline : 0), qPrintable(QString::number(difference)));
        // The whole canvas, up to its outline in the frame's last column and row.
        const int w = size.width(), h = size.height();
        QVERIFY(w < 16 || h < 16 || (qGray(shown.pixel(w - 1, h / 2)) < 90 && qGray(shown.pixel(w / 2, h - 1)) < 90 && qGray(shown.pixel(w - 4, h / 2)) > 90));
        const QRgb centre = shown.pixel(size.width() / 2, size.height() / 2), expected = rendered.pixel(size.width() / 2, size.height() / 2);
        const int near = lossy ? 24 : 0;
        QVERIFY2(qAbs(qRed(centre) - qRed(expected)) <= near && qAbs(qGreen(centre) - qGreen(expected)) <= near && qAbs(qBlue(centre) - qBlue(expected)) <= near,
                 qPrintable(QString::number(centre, 16) + " " + QString::number(expected, 16)));
        QVERIFY(size.width() < 3 || size.height() < 3 || expected == blue.rgb());
    }

    void lastRowAndColumnAsTrueAsTheMiddle_data()
    {
        QTest::addColumn<CodecType>("codec");
        QTest::addColumn<QSize>("size");
        const struct { const char *name; CodecType codec; } codecs[] = {{"JPEG", jpeg}, {"MPEG4", mpeg4}, {"H.264", h264}, {"Cinepak", fourCC("cvid")}, {"Video", rpza}};
        for (const auto &c : codecs)
            for (const QSize &size : {QSize(1, 1), QSize(3, 3), QSize(33, 33), QSize(101, 37)})
                QTest::newRow(qPrintable(QString("%1 %2 x %3").arg(c.name).arg(size.width()).arg(size.height()))) << c.codec << size;
    }

    // A frame of one colour at "High": no pixel of its last row and column is farther off than the middle of a
    // large frame of that colour in the same codec, as FFmpeg decodes both.
    void lastRowAndColumnAsTrueAsTheMiddle()
    {
        QFETCH(CodecType, codec);
        QFETCH(QSize, size);
        QTemporaryDir dir;
        QCOMPARE(record(dir.filePath("large.mov"), {-1}, codec, codecHighQuality, QSize(128, 128)), 1);
        const int middle = largestError(MovieReader(dir.filePath("large.mov")).frames.value(0), QRect(32, 32, 64, 64), solid);
        QCOMPARE(record(dir.filePath("small.mov"), {-1}, codec, codecHighQuality, size), 1);
        const int edge = edgeError(MovieReader(dir.filePath("small.mov")).frames.value(0), size, solid);
        QVERIFY2(edge <= middle, qPrintable(QString("edge %1, middle %2").arg(edge).arg(middle)));
    }

    // Road Pizza blocks of two colours (pure red or blue beside black) and frames of pure red, padded to whole blocks
    // (2 x 1: one block, most of it padding; 101 x 37: the last blocks): every pixel decodes as written.
    void roadPizzaKeepsRedAndBlue()
    {
        QTemporaryDir dir;
        for (const QSize &size : {QSize(8, 4), QSize(2, 1), QSize(101, 37)}) {
            const QString path = dir.filePath(QString("%1x%2.mov").arg(size.width()).arg(size.height()));
            QImage written(size, QImage::Format_RGB32);
            written.fill(Qt::red);
            for (int y = 0; size == QSize(8, 4) && y < 4; ++y)
                for (int x = 0; x < 8; ++x)
                    written.setPixel(x, y, x % 4 >= 2 ? qRgb(0, 0, 0) : x < 4 ? qRgb(255, 0, 0) : qRgb(0, 0, 255));
            {
                TestWriter writer(size);
                QVERIFY(writer.open(path, rpza));
                std::memcpy(writer.pixels, written.constBits(), size_t(written.sizeInBytes()));
                QVERIFY(writer.movie.writeFrame());
            }
            const QImage shown = MovieReader(path).frames.value(0);
            QCOMPARE(shown.size(), size);
            QCOMPARE(meanDifference(shown, written), 0.0);
        }
    }

    // x264's rate factor summed the look-ahead's costs of a frame's macroblocks in an int and aborted the program past
    // 168,000 of them in cells of black and white whose every Hadamard coefficient is as large (6560 x 6560: 168,100).
    void h264CodesFineCellsBeyondTheRateFactorsSum()
    {
        QTemporaryDir dir;
        const QSize size(6560, 6560);
        TestWriter writer(size);
        QVERIFY(writer.open(dir.filePath("cells.mov"), h264));
        auto *pixel = reinterpret_cast<quint32 *>(writer.pixels);
        for (int y = 0; y < size.height(); ++y)
            for (int x = 0; x < size.width(); ++x)
                *pixel++ = qPopulationCount(quint32((x / 2 % 8) & (y / 2 % 8))) % 2 ? 0xffffffffu : 0xff000000u;
        QVERIFY(writer.movie.writeFrame());
        QVERIFY(writer.movie.finish());
        const MovieReader movie(dir.filePath("cells.mov"));
        QCOMPARE(movie.summary(), QString("streams 1, 1/600, 20 units, 1 packets, 1 frames, 0 errors"));
    }

    void appendingAfterAChangeOfSettings_data()
    {
        QTest::addColumn<CodecType>("first");
        QTest::addColumn<CodecQ>("firstQuality");
        QTest::addColumn<QSize>("firstSize");
        QTest::addColumn<CodecType>("second");
        QTest::addColumn<CodecQ>("secondQuality");
        QTest::addColumn<QSize>("secondSize");
        QTest::addColumn<QRect>("placed");     // where the second run's frames land in the movie's frame
        QTest::addColumn<double>("tolerance"); // mean difference per channel, every frame
        QTest::addColumn<int>("black");        // the most a channel shows in the bars around placed; -1: no bars
        QTest::addColumn<int>("appends");      // runs appended, in the second settings, then the first, and so on
        QTest::addColumn<QStringList>("failure"); // the temporary file unwritable in the second run: its warnings
        const QSize size(64, 48), odd(63, 47);
        const QRect whole(0, 0, 64, 48), wholeOdd(0, 0, 63, 47);
        QTest::newRow("JPEG then MPEG4") << jpeg << normal << size << mpeg4 << normal << size << whole << 10.0 << -1 << 1 << QStringList();
        QTest::newRow("Video then Animation") << rpza << normal << size << fourCC("rle ") << normal << size << whole << 12.0 << -1 << 1 << QStringList();
        QTest::newRow("H.264 at one quality then another") << h264 << normal << size << h264 << codecHighQuality << size << whole << 8.0 << -1 << 1 << QStringList();
        QTest::newRow("one codec, smaller frames scaled up") << jpeg << normal << size << jpeg << normal << QSize(32, 24) << whole << 8.0 << -1 << 1 << QStringList();
        // 32 x 32 scaled to 48 x 48, centred: bars of 8 columns. 96 x 48 to 64 x 32, on H.264's blocks of 16 pixels: a bar of 16 rows below.
        QTest::newRow("another shape, between bars") << raw << normal << size << raw << normal << QSize(32, 32) << QRect(8, 0, 48, 48) << 3.0 << 0 << 1 << QStringList();
        QTest::newRow("another codec and shape") << jpeg << normal << size << h264 << normal << QSize(96, 48) << QRect(0, 0, 64, 32) << 8.0 << 2 << 1 << QStringList();
        // The earlier frames decode padded to 64 x 48: their 63 x 47 are coded anew.
        QTest::newRow("H.264 with odd sides then JPEG") << h264 << normal << odd << jpeg << normal << odd << wholeOdd << 10.0 << -1 << 1 << QStringList();
        QTest::newRow("Cinepak with odd sides then RAW") << fourCC("cvid") << normal << odd << raw << normal << odd << wholeOdd << 8.0 << -1 << 1 << QStringList();
        // The earlier frames are coded anew at open, into a file that takes no byte.
        QTest::newRow("failedAppendLeavesTheMovie") << jpeg << normal << QSize(320, 240) << raw << normal << QSize(320, 240) << QRect() << 0.0 << -1 << 1 << QStringList{"Unable to Append to the previous Track"};
        // 128 x 72 into 101 x 37: 65.8 x 37, its sides beside the bars on the codec's blocks of 16 pixels: 64 x 37 from column 16.
        // Black decodes as 0 in all three; H.264's loop filter may lift a bar's pixel next to the picture a little.
        const QSize narrow(101, 37), wide(128, 72);
        QTest::newRow("barsStayBlack: JPEG") << jpeg << normal << narrow << jpeg << normal << wide << QRect(16, 0, 64, 37) << 10.0 << 0 << 1 << QStringList();
        QTest::newRow("barsStayBlack: MPEG4") << mpeg4 << normal << narrow << mpeg4 << normal << wide << QRect(16, 0, 64, 37) << 10.0 << 0 << 1 << QStringList();
        QTest::newRow("barsStayBlack: H.264") << h264 << normal << narrow << h264 << normal << wide << QRect(16, 0, 64, 37) << 10.0 << 2 << 1 << QStringList();
        // 100 x 72 into 101 x 37: 51.4 x 37 on Road Pizza's blocks of 4 pixels, not on swscale's vectors.
        QTest::newRow("barsStayBlack: Video") << raw << normal << narrow << rpza << normal << QSize(100, 72) << QRect(24, 0, 52, 37) << 12.0 << 0 << 1 << QStringList();
        // Frames scaled from a caller's buffer that ends right after their last pixel: 7 x 5 to 64 x 45.7, on H.264's blocks the whole frame.
        QTest::newRow("pixelsAreReadOnlyWithinTheCallersBuffer: scaled") << raw << normal << size << h264 << normal << QSize(7, 5) << whole << 3.0 << -1 << 1 << QStringList();
        // shrinkingFarIntoTheMovie (a side shrunk over 64 times crashed swscale): 0.48 pixels wide or high, one centred.
        QTest::newRow("shrinkingFarIntoTheMovie: 64 x 6400") << raw << normal << size << raw << normal << QSize(64, 6400) << QRect(31, 0, 1, 48) << 3.0 << 0 << 1 << QStringList();
        QTest::newRow("shrinkingFarIntoTheMovie: 6400 x 48") << raw << normal << size << raw << normal << QSize(6400, 48) << QRect(0, 23, 64, 1) << 3.0 << 0 << 1 << QStringList();
        // farTallerOrWiderFramesKeepTheirColour: a side shrunk 32767 times (more than 256 times lost the colour).
        for (int side : {1, 2, 8})
            for (bool tall : {true, false})
                QTest::newRow(qPrintable(QString("far %1: %2 x %2 movie, 32767 long").arg(tall ? "taller" : "wider").arg(side))) << raw << normal << QSize(side, side) << (side == 8 ? fourCC("rle ") : raw) << normal
                    << (tall ? QSize(side, 32767) : QSize(32767, side)) << (tall ? QRect((side - 1) / 2, 0, 1, side) : QRect(0, (side - 1) / 2, side, 1)) << 3.0 << 0 << 1 << QStringList();
        // Frame 0 of one colour coded anew at every append.
        QTest::newRow("codingAnewKeepsTheEdges: JPEG and H.264") << jpeg << normal << narrow << h264 << normal << narrow << QRect(0, 0, 101, 37) << 12.0 << -1 << 8 << QStringList();
        QTest::newRow("codingAnewKeepsTheEdges: H.264 and MPEG4") << h264 << normal << QSize(33, 33) << mpeg4 << normal << QSize(33, 33) << QRect(0, 0, 33, 33) << 12.0 << -1 << 8 << QStringList();
        QTest::newRow("codingAnewKeepsTheEdges: Cinepak and JPEG") << fourCC("cvid") << normal << QSize(33, 33) << jpeg << normal << QSize(33, 33) << QRect(0, 0, 33, 33) << 12.0 << -1 << 8 << QStringList();
    }

    // Runs of pictures 0, 1 then 2, 3 give 4 frames of the first run's size in the second run's codec, each showing
    // its picture (the second run's scaled to fit, centred, black around); the bars stay black. A failed append leaves
    // the movie as it was, byte for byte. Runs appended in turn in the second and the first settings code the earlier
    // frames anew each time: frame 0, of one colour then, keeps its last row and column as true as its middle.
    void appendingAfterAChangeOfSettings()
    {
        QFETCH(QSize, firstSize);
        QFETCH(CodecType, second);
        QFETCH(QSize, secondSize);
        QFETCH(QRect, placed);
        QFETCH(double, tolerance);
        QFETCH(int, black);
        QFETCH(int, appends);
        QFETCH(QStringList, failure);
        QTemporaryDir dir;
        const QString path = dir.filePath("clip.mov");
        ModalRecorder rec;
        QFETCH(CodecType, first);
        QFETCH(CodecQ, firstQuality);
        const QVector<int> firstRun = appends > 1 ? QVector<int>{-1, 1} : QVector<int>{0, 1};
        QCOMPARE(record(path, firstRun, first, firstQuality, firstSize), 2);
        const QByteArray before = contents(path);
        failTempWrites = !failure.isEmpty();
        QFETCH(CodecQ, secondQuality);
        int written = 0;
        for (int run = 0; run < appends; ++run)
            written = record(path, {2, 3}, run % 2 ? first : second, run % 2 ? firstQuality : secondQuality, secondSize);
        failTempWrites = false;
        QCOMPARE(warnings(rec), failure);
        QCOMPARE(entries(dir.path()), QStringList{"clip.mov"});
        if (!failure.isEmpty()) {
            QCOMPARE(contents(path), before);
            return;
        }
        QCOMPARE(written, 2);
        const MovieReader movie(path);
        const int frames = 2 + 2 * appends;
        QCOMPARE(movie.summary(), QString("streams 1, 1/600, %1 units, %2 packets, %2 frames, 0 errors").arg(20 * frames).arg(frames));
        QCOMPARE(movie.codec, appends % 2 ? second : first);
        QCOMPARE(trackHeaderSize(path), firstSize);
        if (appends > 1) {
            const QImage &shown = movie.frames[0];
            const int middle = largestError(shown, QRect(firstSize.width() / 4, firstSize.height() / 4, firstSize.width() / 2, firstSize.height() / 2), solid);
            QVERIFY2(edgeError(shown, firstSize, solid) <= middle, qPrintable(QString("edge %1, middle %2").arg(edgeError(shown, firstSize, solid)).arg(middle)));
        }
        const bool far = (second == raw || second == fourCC("rle ")) && qMax(secondSize.width() / placed.width(), secondSize.height() / placed.height()) > 256;
        for (int i = 0; i < 4; ++i) {
            const QImage shown = movie.frames[i].copy(QRect(QPoint(), firstSize));
            for (int y = 0; i >= 2 && black >= 0 && y < firstSize.height(); ++y)
                for (int x = 0; x < firstSize.width(); ++x)
                    QVERIFY2(placed.contains(x, y) || largestError(shown, QRect(x, y, 1, 1), qRgb(0, 0, 0)) <= black, qPrintable(QString("%1: %2, %3: %4").arg(i).arg(x).arg(y).arg(shown.pixel(x, y), 0, 16)));
            QImage expected = expectedPicture(i < 2 ? firstRun[i] : i, firstSize);
            if (i >= 2) {
                expected.fill(Qt::black);
                QPainter(&expected).drawImage(placed, far ? oneScale(expectedPicture(i, secondSize), placed.size(), dir.path()) : expectedPicture(i, secondSize).scaled(placed.size(), Qt::IgnoreAspectRatio, Qt::SmoothTransformation));
            }
            // Lossless, a picture shrunk over 256 times (far) shows as FFmpeg scales it in one pass, within 3 levels a channel.
            for (QPoint at = placed.topLeft(); far && i >= 2 && placed.contains(at); at = at.x() < placed.right() ? at + QPoint(1, 0) : QPoint(placed.x(), at.y() + 1))
                QVERIFY2(largestError(shown, QRect(at, QSize(1, 1)), expected.pixel(at)) <= 3, qPrintable(QString("%1, %2").arg(at.x()).arg(at.y())));
            const double difference = meanDifference(shown, expected);
            QVERIFY2(difference <= tolerance, qPrintable(QString("%1: %2").arg(i).arg(difference)));
        }
    }

    void failedRunsLeaveFilesAsTheyWere_data()
    {
        QTest::addColumn<CodecType>("existing"); // 0: no file; a movie of 2 frames; "text": not a movie; "huge": RAW, samples of 2^29 bytes
        QTest::addColumn<CodecType>("codec");
        QTest::addColumn<CodecQ>("quality");
        QTest::addColumn<QSize>("size");
        QTest::addColumn<int>("frames");
        QTest::addColumn<int>("failFrom"); // the temporary file unwritable from this frame on
        QTest::addColumn<int>("via");      // the writer (0), a play run of the exporter (1), one keeping the movie (2)
        QTest::addColumn<int>("written");  // frames taken; -1: open (begin) failed
        QTest::addColumn<QStringList>("warnings");
        const QSize size(64, 48), frame(320, 240);
        const QStringList append{"Unable to Append to the previous Track"}, compression{"Unable to Get Compression Size"};
        QTest::newRow("appendRefusesAnotherCodecOrSize: no encoder") << jpeg << fourCC("SVQ3") << normal << size << 2 << -1 << 0 << -1 << append;
        QTest::newRow("writerDestroyedBeforeTheFirstFrameLeavesFilesAsTheyWere") << jpeg << jpeg << normal << size << 0 << -1 << 0 << 0 << QStringList();
        QTest::newRow("writerDestroyedBeforeTheFirstFrameLeavesFilesAsTheyWere: new") << CodecType(0) << jpeg << normal << size << 0 << -1 << 0 << 0 << QStringList();
        QTest::newRow("failingFirstFrameWarnsOnceAndLeavesNothing: no Sorenson 3 encoder") << CodecType(0) << fourCC("SVQ3") << normal << size << 3 << -1 << 0 << 0 << compression;
        QTest::newRow("failingFirstFrameWarnsOnceAndLeavesNothing: unknown codec") << CodecType(0) << fourCC("xxxx") << normal << size << 3 << -1 << 0 << 0 << compression;
        QTest::newRow("openFailuresNameTheFailedStep: no pixels") << jpeg << jpeg << normal << QSize(64, 0) << 1 << -1 << 0 << -1 << QStringList{"Unable to Create New Quick Time World From the Buffer: -50"};
        QTest::newRow("openFailuresNameTheFailedStep: not a movie") << fourCC("text") << jpeg << normal << size << 1 << -1 << 0 << -1 << QStringList{"Unable to Open Movie File: -2048"};
        QTest::newRow("failedRunLeavesTheMovie: size the codec cannot take") << jpeg << mpeg4 << normal << QSize(8192, 240) << 30 << -1 << 1 << -1 << compression;
        QTest::newRow("codecLimits: JPEG 16000 x 16000 refused as play starts") << jpeg << jpeg << normal << QSize(16000, 16000) << 2 << -1 << 1 << -1 << compression;
        QTest::newRow("failedRunLeavesTheMovie: size beyond the writer") << jpeg << jpeg << normal << QSize(40000, 10) << 30 << -1 << 1 << -1 << QStringList{"Unable to export frames of 40000 x 10 pixels."};
        QTest::newRow("sorenson3WarnsThatItCannotCompress") << jpeg << fourCC("SVQ3") << normal << frame << 30 << -1 << 2 << -1 << compression;
        QTest::newRow("appendRefusesAMovieFFmpegCannotRead") << fourCC("huge") << raw << normal << size << 2 << -1 << 0 << -1 << append;
        QTest::newRow("failedRunLeavesTheMovie: run without frames") << jpeg << jpeg << normal << frame << 0 << -1 << 1 << 0 << QStringList();
        // Raw 320 x 240 frames outgrow the writer's buffer and reach the file at once; losses told once, at the end.
        QTest::newRow("failedRunLeavesTheMovie: disk full in the run") << jpeg << raw << normal << frame << 30 << 10 << 1 << 10 << QStringList{"20 of 30 frames could not be added to the movie.", "Unable to add Movie resource"};
    }

    void failedRunsLeaveFilesAsTheyWere()
    {
        QFETCH(CodecType, existing);
        QFETCH(CodecType, codec);
        QFETCH(CodecQ, quality);
        QFETCH(QSize, size);
        QFETCH(int, frames);
        QFETCH(int, failFrom);
        QFETCH(int, via);
        QTemporaryDir dir;
        const QString path = dir.filePath("clip.mov");
        QFile text(path);
        if (existing == fourCC("text"))
            QVERIFY(text.open(QIODevice::WriteOnly) && text.write("not a movie") == 11 && text.flush());
        else if (existing)
            QCOMPARE(record(path, {0, 1}, existing == fourCC("huge") ? raw : existing, normal, via ? QSize(320, 240) : QSize(64, 48)), 2);
        if (existing == fourCC("huge")) { // the size all samples share, which FFmpeg refuses to read
            QByteArray bytes = contents(path);
            const int stsz = bytes.indexOf("stsz");
            QVERIFY(stsz > 0 && qFromBigEndian<quint32>(bytes.constData() + stsz + 8) == 64 * 48 * 4);
            qToBigEndian<quint32>(1u << 29, bytes.data() + stsz + 8);
            QVERIFY(text.open(QIODevice::WriteOnly) && text.write(bytes) == bytes.size() && text.flush());
        }
        const QByteArray before = contents(path);
        ModalRecorder rec;
        if (via) {
            Document doc(dir);
            doc.scene.setExportSettings(size.width(), size.height(), 72);
            ExporterMOV exporter(quality, int(codec), via == 2);
            QTEST(play(exporter, doc.scene, frames, failFrom), "written");
            QCOMPARE(exporter.keepExisting(), via == 2);
        } else {
            QTEST(record(path, QVector<int>(frames, 2), codec, quality, size), "written");
        }
        QTEST(warnings(rec), "warnings");
        QCOMPARE(contents(path), before);
        QCOMPARE(entries(dir.path()), existing ? QStringList{"clip.mov"} : QStringList());
    }

    // Of pictures 0 to 4 (H.264, "Lossless"), 2 coded into 2^29 bytes is not added; the rest show, a new sequence after it (not against it).
    void unreadableSamplesAreNotAdded()
    {
        ModalRecorder rec;
        packetsReceived = 0, oversizeAt = 2;
        QCOMPARE(record(m_earlier.filePath("unreadable.mov"), {0, 1, 2, 3, 4}, h264, codecLosslessQuality), 4);
        const MovieReader movie(m_earlier.filePath("unreadable.mov"));
        QVERIFY(movie.pictures() == (QVector<int>{0, 1, 3, 4}) && movie.keyPackets == 2 && movie.decodeErrors == 0 && rec.calls.isEmpty());
    }

    void appendChecksTheCodecAtTheMovieFrameSize_data()
    {
        QTest::addColumn<QSize>("movieSize"); // of the RAW movie appended to in MPEG4 (at most 8191 a side)
        QTest::addColumn<QSize>("exportSize");
        QTest::addColumn<QStringList>("warnings");
        QTest::newRow("movie wider than the codec takes") << QSize(10000, 2) << QSize(320, 240) << QStringList{"Unable to Get Compression Size"};
        QTest::newRow("export size wider than the codec takes, scaled into the movie") << QSize(320, 240) << QSize(8192, 240) << QStringList();
    }

    // A run of two frames appended by the exporter: refused with one warning, the movie as it was; or taken,
    // its frames between bars (8192 x 240 into 320 x 240: 9 rows from row 114) after the earlier ones coded anew.
    // Either way the codec is checked at the movie's frame size, the size it codes.
    void appendChecksTheCodecAtTheMovieFrameSize()
    {
        QFETCH(QSize, movieSize);
        QFETCH(QSize, exportSize);
        QFETCH(QStringList, warnings);
        QTemporaryDir dir;
        const QString path = dir.filePath("clip.mov");
        QCOMPARE(record(path, {0, 1}, raw, normal, movieSize), 2);
        const QByteArray before = contents(path);
        Document doc(dir);
        doc.scene.setExportSettings(exportSize.width(), exportSize.height(), 72);
        ModalRecorder rec;
        ExporterMOV exporter(normal, int(mpeg4), true);
        QCOMPARE(play(exporter, doc.scene, 2), warnings.isEmpty() ? 2 : -1);
        QCOMPARE(::warnings(rec), warnings);
        QCOMPARE(entries(dir.path()), QStringList{"clip.mov"});
        if (!warnings.isEmpty()) {
            QCOMPARE(contents(path), before);
            return;
        }
        const MovieReader movie(path);
        QCOMPARE(movie.summary(), QString("streams 1, 1/600, 80 units, 4 packets, 4 frames, 0 errors"));
        QVERIFY(movie.codec == mpeg4 && trackHeaderSize(path) == movieSize && movie.pictures().mid(0, 2) == (QVector<int>{0, 1}));
        // The canvas is rendered at the left of the export frame: 12.5 of the 320 columns.
        const QImage &last = movie.frames[3];
        QVERIFY(qGray(last.pixel(4, 110)) < 30 && qGray(last.pixel(4, 118)) > 90 && qGray(last.pixel(4, 126)) < 30 && qGray(last.pixel(160, 118)) < 30);
    }

    void codecLimits_data()
    {
        QTest::addColumn<CodecType>("codec");
        QTest::addColumn<CodecQ>("quality");
        QTest::addColumn<QSize>("size");
        QTest::addColumn<bool>("codes");
        // The largest size taken, then one beyond, by hand. JPEG: 3100 bytes a macroblock + 10000 within 2^31 - 65, 692733 macroblocks (799 x 867). MPEG4: 13-bit sides. H.264: 16384 a
        // side, whole macroblocks within FFmpeg's (w + 128)(h + 128) < 2^28 (16512 x 16256), even sides lossy. Below 2^29 bytes: H.264 6.5 bytes a pixel lossless (82595524 pixels), 3 at
        // "Maximum" (178956970), 2.4 at "High" (223696213); RAW 4; Animation 15 + 21351 lines of 3 x 8359 + 66 + 2. Below 2^24: Cinepak 9306 + 4 bytes a 4 x 4 block + 4 every 16
        // (3945390 blocks: 1895 x 2082; 638 x 6184 the least beyond), Video 4 + 32 a block (524287).
        const struct { const char *name; CodecType codec; CodecQ quality; QSize codes, beyond; } limits[] = {
            {"JPEG", jpeg, normal, {12784, 13872}, {12784, 13873}}, {"JPEG", jpeg, codecLosslessQuality, {32767, 5408}, {32767, 5409}}, {"JPEG", jpeg, normal, {8000, 8000}, {16000, 16000}},
            {"MPEG4", mpeg4, codecLosslessQuality, {8191, 8191}, {16, 8192}}, {"H.264", h264, normal, {16384, 16128}, {16384, 16129}}, {"H.264", h264, codecMaxQuality, {16384, 10922}, {16384, 10923}},
            {"H.264", h264, codecMaxQuality, {13376, 13376}, {16385, 16}}, {"H.264", h264, codecHighQuality, {16384, 13652}, {14957, 14957}}, {"H.264", h264, codecMinQuality, {16240, 16240}, {16241, 16241}},
            {"H.264 lossless", h264, codecLosslessQuality, {16384, 5041}, {9089, 9089}}, {"RAW", raw, normal, {8191, 16386}, {8192, 16384}}, {"Animation", fourCC("rle "), normal, {8359, 21351}, {8359, 21352}},
            {"Cinepak", fourCC("cvid"), normal, {8000, 7888}, {8000, 7889}}, {"Cinepak", fourCC("cvid"), normal, {7580, 8328}, {2552, 24736}}, {"Video", rpza, normal, {4096, 2044}, {4096, 2045}}};
        for (const auto &l : limits)
            for (const QSize &size : {l.codes, l.beyond})
                QTest::newRow(qPrintable(QString("%1 %2 x %3").arg(l.name).arg(size.width()).arg(size.height()))) << l.codec << l.quality << size << (size == l.codes);
    }

    // Every size a codec fails on is refused by GetMaxCompressionSize, the sizes right below each limit taken. A small
    // pixel map asks for frames of the size, as a movie of that size appended to does: no pixel is coded.
    void codecLimits()
    {
        QFETCH(QSize, size);
        QFETCH(CodecQ, quality);
        QFETCH(CodecType, codec);
        uchar pixels[16 * 16 * 4] = {};
        Rect rect = {0, 0, 16, 16};
        GWorldPtr world = nullptr;
        long bytes = 0;
        QVERIFY(QTNewGWorldFromPtr(&world, k32BGRAPixelFormat, &rect, nullptr, nullptr, 0, pixels, 16 * 4) == noErr
                && SetCompressedFrameSize(GetGWorldPixMap(world), int16_t(size.width()), int16_t(size.height())) == noErr);
        const OSErr err = GetMaxCompressionSize(GetGWorldPixMap(world), &rect, 0, quality, codec, anyCodec, &bytes);
        DisposeGWorld(world);
        QTEST(err == noErr && bytes > 0, "codes");
    }

    // No folder; a folder gone while the movie is written (told at the end); one not writable (but for root).
    void openFailuresNameTheFailedStep()
    {
        QTemporaryDir dir;
        ModalRecorder rec;
        delete new QTMovieFile; // shuts down nothing it did not start
        {
            TestWriter w; // guards: secondOpenIsRefusedAndTheFirstMovieGoesOn (no warning: the exact list below)
            QVERIFY(!w.movie.writeFrame()); // not open: nothing
            QVERIFY(w.open(dir.filePath("first.mov"), raw) && w.frame(0));
            QVERIFY(!w.movie.open(w.pixels, k32BGRAPixelFormat, 64, 48, 64 * 4, dir.filePath("second.mov")));
            QVERIFY(w.frame(1));
        }
        const MovieReader first(dir.filePath("first.mov"));
        QVERIFY(first.frames.size() == 2 && first.frames[1] == expectedPicture(1));
        QCOMPARE(record(dir.filePath("missing/clip.mov"), {0}), -1);
        QVERIFY(QDir(dir.path()).mkdir("gone") && QDir(dir.path()).mkdir("locked"));
        {
            TestWriter w;
            QVERIFY(w.open(dir.filePath("gone/clip.mov"), raw) && w.frame(0));
            QVERIFY(QDir(dir.filePath("gone")).removeRecursively());
        }
        QStringList expected{"Unable to Create Movie File: -43", "Unable to add Movie resource"};
        QVERIFY(QFile::setPermissions(dir.filePath("locked"), QFile::ReadOwner | QFile::ExeOwner));
        if (geteuid() != 0) {
            QCOMPARE(record(dir.filePath("locked/clip.mov"), {0}), -1);
            expected << "Unable to Create Movie File: -54";
        }
        QCOMPARE(warnings(rec), expected);
        QCOMPARE(entries(dir.path()), QStringList{"first.mov"});
    }

    void fixedRatios()
    {
        const QVector<Fixed> ratios{FixRatio(640, 1), FixRatio(1, 2), FixRatio(-3, 4), FixRatio(1, 0)};
        QCOMPARE(ratios, (QVector<Fixed>{640 << 16, 0x8000, -0xC000, INT32_MAX}));
    }

    void codingEarlierFramesAnewKeepsTheWindowAlive_data()
    {
        QTest::addColumn<CodecType>("codec");
        QTest::addColumn<QString>("step"); // the dialog of the earlier frames
        QTest::addColumn<int>("cancelAt"); // its update that answers Cancel; -1: none
        const QString converting = "Converting the movie's earlier frames...";
        QTest::newRow("coded anew") << h264 << converting << -1;
        QTest::newRow("cancelled as it opens") << h264 << converting << 0;
        QTest::newRow("cancelled mid-way") << h264 << converting << 4;
        QTest::newRow("same settings: copied at begin") << jpeg << "Copying the movie's earlier frames..." << -1;
    }

    // 400 earlier JPEG frames of 1280 x 720 (one flat colour, from FFmpeg) coded anew in H.264 (or copied) by a run of
    // two frames: from begin to end a 10 ms timer never waits 300 ms, and each long step shows its progress dialog.
    // Cancel: begin fails without a word, the movie as it was, nothing held; the run exports nothing.
    void codingEarlierFramesAnewKeepsTheWindowAlive()
    {
        QFETCH(CodecType, codec);
        QFETCH(QString, step);
        QFETCH(int, cancelAt);
        QTemporaryDir dir;
        const QString path = dir.filePath("clip.mov");
        if (!QFile::exists(m_earlier.filePath("jpeg.mov")))
            QCOMPARE(QProcess::execute("ffmpeg", {"-v", "error", "-f", "lavfi", "-i", "color=c=0x3050a0:s=1280x720:r=30", "-frames:v", "400", "-c:v", "mjpeg", "-q:v", "31", m_earlier.filePath("jpeg.mov")}), 0);
        QVERIFY(QFile::copy(m_earlier.filePath("jpeg.mov"), path));
        const QByteArray before = contents(path);
        Document doc(dir);
        doc.scene.setExportSettings(1280, 720, 72);
        ModalRecorder rec;
        rec.cancelProgress = cancelAt < 0 ? QString() : step;
        rec.cancelAtUpdate = cancelAt;
        QElapsedTimer clock;
        qint64 last = 0, longest = 0;
        QTimer timer;
        connect(&timer, &QTimer::timeout, [&] { longest = qMax(longest, clock.elapsed() - last); last = clock.elapsed(); });
        timer.start(10);
        ExporterMOV exporter(normal, int(codec), true);
        clock.start();
        QCOMPARE(play(exporter, doc.scene, 2), cancelAt < 0 ? 2 : -1);
        longest = qMax(longest, clock.elapsed() - last);
        QVERIFY2(longest < 300, qPrintable(QString("%1 ms").arg(longest)));
        QVERIFY(rec.calls.isEmpty());
        QStringList dialogs;
        for (const ModalRecorder::Call &call : rec.progressDialogs)
            dialogs << call.title + " / " + call.text;
        QStringList steps{"Quicktime Export / Reading the movie...", "Quicktime Export / " + step};
        QCOMPARE(dialogs, cancelAt < 0 ? steps << "Quicktime Export / Finishing the movie..." : steps);
        QCOMPARE(rec.openProgress, 0);
        QCOMPARE(entries(dir.path()), QStringList{"clip.mov"});
        if (cancelAt >= 0) {
            QVERIFY(exporter.frame().isNull() && !exporter.exportFrame(&doc.scene));
            QVERIFY(exporter.end());
            QCOMPARE(contents(path), before);
            return;
        }
        QProcess probe;
        probe.start("ffprobe", {"-v", "error", "-show_entries", "stream=codec_tag_string,time_base,duration_ts,nb_frames", "-of", "csv=p=0", path});
        QVERIFY(probe.waitForFinished());
        QCOMPARE(QString(probe.readAllStandardOutput()).trimmed(), QString("%1,1/600,8040,402").arg(codec == h264 ? "avc1" : "jpeg"));
    }

    void movieWithoutSamplesIsNotStored()
    {
        QTemporaryDir dir;
        const StrFileName name = QFile::encodeName(dir.filePath("empty.mov"));
        FSSpec spec;
        FSMakeFSSpec(0, 0, name, &spec);
        short refNum = 0;
        Movie movie = nullptr;
        QCOMPARE(CreateMovieFile(&spec, fourCC("TVOD"), smCurrentScript, createMovieFileDontCreateResFile, &refNum, &movie), OSErr(noErr));
        NewTrackMedia(NewMovieTrack(movie, FixRatio(8, 1), FixRatio(4, 1), 0), VideoMediaType, 600, nullptr, 0);
        QCOMPARE(AddMovieToDataFork(movie, refNum, movieInDataForkResID, name), OSErr(invalidMovie));
        CloseMovieFile(refNum);
        DisposeMovie(movie);
        QCOMPARE(entries(dir.path()), QStringList());
    }

    void oneRun_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("movie");
        QTest::addColumn<int>("ppi");
        QTest::addColumn<int>("dotsPerMetre"); // ppi / 0.0254: 2834.65, 11811.02
        QTest::addColumn<bool>("clear");
        QTest::addColumn<QVector<int>>("reds");
        // Red at alpha 128 premultiplies to 128: 128 over a cleared (opaque black) buffer, 128 + r * 127 / 255 over the last frame.
        const QVector<int> cleared{128, 128, 128};
        QTest::newRow("clearBackground: cleared") << "clip" << "clip.mov" << 72 << 2835 << true << cleared;
        QTest::newRow("clearBackground: not cleared") << "clip.MOV" << "clip.MOV" << 300 << 11811 << false << QVector<int>{128, 192, 224};
        QTest::newRow("mov inside the name") << "clip.mov.txt" << "clip.mov.txt.mov" << 72 << 2835 << true << cleared;
    }

    // Three raw 64 x 48 frames of a translucent red canvas: the movie's name, resolution and what shows through.
    void oneRun()
    {
        QFETCH(QString, name);
        QFETCH(QString, movie);
        QFETCH(int, ppi);
        QFETCH(bool, clear);
        QFETCH(QVector<int>, reds);
        QTemporaryDir dir;
        Document doc(dir, QColor(255, 0, 0, 128));
        doc.scene.setExportFileName(dir.filePath(name));
        doc.scene.setExportSettings(64, 48, ppi);
        ExporterMOV exporter(normal, int(raw), false);
        exporter.setClearBackground(clear);
        QVERIFY(exporter.begin(&doc.scene));
        QTEST(exporter.frame().dotsPerMeterX(), "dotsPerMetre");
        QTEST(exporter.frame().dotsPerMeterY(), "dotsPerMetre");
        for (int i = 0; i < 3; ++i)
            QVERIFY(exporter.exportFrame(&doc.scene));
        QVERIFY(exporter.end());
        QCOMPARE(entries(dir.path()), QStringList{movie});
        QCOMPARE(doc.scene.exportFileName(), dir.filePath(name));
        const QVector<QImage> frames = MovieReader(dir.filePath(movie)).frames;
        QCOMPARE(frames.size(), 3);
        for (int i = 0; i < 3; ++i) {
            const QRgb p = frames.at(i).pixel(32, 24);
            QVERIFY2(qAbs(qRed(p) - reds.at(i)) <= 1 && (p & 0xffff) == 0, qPrintable(QString::number(p, 16)));
        }
    }

    void laterRunsAppend_data()
    {
        QTest::addColumn<int>("second"); // the same exporter (0), a new one keeping (1) or not (2)
        QTest::addColumn<int>("frames");
        QTest::newRow("same exporter") << 0 << 60;
        QTest::newRow("same file chosen again") << 1 << 60;
        QTest::newRow("file chosen anew") << 2 << 30;
        // Export switched off during play, no end: the next begin finishes that movie, the next run appends.
        QTest::newRow("beginFinishesARunThatNeverEnded") << 3 << 60;
    }

    // A new movie of text over blue, then a second run over yellow.
    void laterRunsAppend()
    {
        QFETCH(int, second);
        QFETCH(int, frames);
        QTemporaryDir dir;
        Document doc(dir);
        doc.add("Vorrel", QPointF(100, 300));
        ModalRecorder rec;
        ExporterMOV exporter(normal, int(jpeg), false);
        ExporterMOV again(normal, int(jpeg), second == 1);
        QVERIFY(!exporter.exportFrame(&doc.scene)); // no run yet
        QCOMPARE(play(exporter, doc.scene, 30, -1, second != 3), 30);
        doc.scene.setBackgroundColor(yellow);
        QCOMPARE(play(second == 1 || second == 2 ? again : exporter, doc.scene, 30), 30);
        QVERIFY(rec.calls.isEmpty());
        QCOMPARE(entries(dir.path()), QStringList{"clip.mov"});
        const MovieReader movie(dir.filePath("clip.mov"));
        QCOMPARE(movie.summary(), QString("streams 1, 1/600, %1 units, %2 packets, %2 frames, 0 errors").arg(20 * frames).arg(frames));
        // JPEG keeps a flat colour within a few levels, a little more in chroma.
        const auto near = [](QRgb p, const QColor &c) { return qAbs(qRed(p) - c.red()) <= 24 && qAbs(qGreen(p) - c.green()) <= 24 && qAbs(qBlue(p) - c.blue()) <= 24; };
        for (int i = 0; i < frames; ++i) {
            const QColor background = i < frames - 30 ? blue : yellow;
            QVERIFY2(near(movie.frames.at(i).pixel(10, 10), background) && near(movie.frames.at(i).pixel(300, 220), background), qPrintable(QString::number(i)));
        }
        // The canvas fills the frame at 320 / 1024: black letters cover part of the text's box.
        const QRect box = QTransform::fromScale(0.3125, 0.3125).mapRect(doc.scene.textSceneRect()).toRect();
        int dark = 0;
        for (int y = box.top(); y <= box.bottom(); ++y)
            for (int x = box.left(); x <= box.right(); ++x)
                dark += qGray(movie.frames.first().pixel(x, y)) < 60;
        QVERIFY(dark > box.width() * box.height() / 10);
    }

    void killedAppendLeavesTheMovieAndItsTempGoesNextTime()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath("clip.mov");
        ModalRecorder rec;
        QCOMPARE(record(path, {0, 1}), 2);
        const QByteArray before = contents(path);
        const pid_t child = fork();
        if (child == 0) { // appends four frames and dies before storing them
            TestWriter w;
            if (w.open(path) && w.frame(2) && w.frame(3) && w.frame(4) && w.frame(5))
                raise(SIGKILL);
            _exit(1);
        }
        int status = 0;
        QCOMPARE(waitpid(child, &status, 0), child);
        QVERIFY(WIFSIGNALED(status));
        QCOMPARE(contents(path), before);
        const QStringList left = entries(dir.path());
        QVERIFY(left.size() == 2 && left.at(0).startsWith(".vorrel-movie-"));
        QCOMPARE(record(dir.filePath("other.mov"), {0}), 1); // another movie's write leaves it
        QCOMPARE(entries(dir.path()), left + QStringList{"other.mov"});
        TestWriter live; // the next write of this movie removes it
        QVERIFY(live.open(path) && live.frame(5));
        const QStringList now = entries(dir.path());
        QVERIFY(now.size() == 3 && !now.contains(left.at(0)));
        QCOMPARE(record(path, {2}), -1); // and leaves a live writer's, refused
        QCOMPARE(entries(dir.path()), now);
        QVERIFY(live.movie.finish());
        QCOMPARE(entries(dir.path()), (QStringList{"clip.mov", "other.mov"}));
        QCOMPARE(MovieReader(path).pictures(), (QVector<int>{0, 1, 5}));
        QCOMPARE(warnings(rec), QStringList{"Unable to Create Movie File: -47"});
    }

    void oneWriterPerMovie_data()
    {
        QTest::addColumn<bool>("append");    // both runs append to the movie of pictures 0, 1, or make a new one in its place
        QTest::addColumn<int>("first");      // the first run: in this process (0), in another (1), another killed midway (2)
        QTest::addColumn<QString>("second"); // the export file of the second run, another document's
        QTest::newRow("append") << true << 0 << "clip";
        QTest::newRow("new movie") << false << 0 << "clip";
        QTest::newRow("append, named through a link in another folder") << true << 0 << "sub/link";
        QTest::newRow("append, another process") << true << 1 << "clip";
        QTest::newRow("new movie, another process") << false << 1 << "clip";
        QTest::newRow("append, another process killed") << true << 2 << "clip";
    }

    // While a run writes the movie (picture 2, later 3 and 4), a second run on the file is refused at its begin, and
    // the first one stores all its frames. Once the first has finished, or its process was killed, the second goes ahead.
    void oneWriterPerMovie()
    {
        QFETCH(bool, append);
        QFETCH(int, first);
        QFETCH(QString, second);
        QTemporaryDir dir;
        const QString path = dir.filePath("clip.mov");
        QCOMPARE(record(path, {0, 1}), 2);
        QVERIFY(QDir(dir.path()).mkdir("sub") && QFile::link("../clip.mov", dir.filePath("sub/link.mov")));
        ModalRecorder rec;
        TestWriter here;
        QProcess other;
        if (first == 0) {
            QVERIFY(here.open(path, jpeg, normal, append) && here.frame(2));
        } else {
            other.start(QCoreApplication::applicationFilePath(), {"--hold", path, append ? "1" : "0"});
            QVERIFY(other.waitForReadyRead(10000));
            QCOMPARE(other.readLine(), QByteArray("open\n"));
        }
        Document doc(dir);
        doc.scene.setExportFileName(dir.filePath(second));
        doc.scene.setExportSettings(64, 48, 72);
        ExporterMOV exporter(normal, int(jpeg), append);
        QCOMPARE(play(exporter, doc.scene, 2), -1);
        const QStringList refused{"Unable to Create Movie File: -47", "Unable to initialize Quicktime Graphics World"};
        QCOMPARE(warnings(rec), refused);
        if (first == 0) {
            QVERIFY(here.frame(3) && here.frame(4) && here.movie.finish());
        } else {
            if (first == 1)
                other.write("go\n");
            else
                other.kill();
            QVERIFY(other.waitForFinished(10000));
            QCOMPARE(other.exitStatus() == QProcess::NormalExit && other.exitCode() == 0, first == 1);
        }
        const QVector<int> stored = first == 2 ? QVector<int>{0, 1} : append ? QVector<int>{0, 1, 2, 3, 4} : QVector<int>{2, 3, 4};
        QCOMPARE(MovieReader(path).pictures(), stored);
        QCOMPARE(play(exporter, doc.scene, 2), 2);
        QCOMPARE(MovieReader(path).frames.size(), append ? stored.size() + 2 : 2);
        QCOMPARE(warnings(rec), refused);
        QCOMPARE(entries(dir.path()), QStringList{"clip.mov"});
    }

    void linksAreWrittenThrough_data()
    {
        QTest::addColumn<QStringList>("links"); // pairs: link, where it points (@ the folder)
        QTest::addColumn<bool>("existing");
        QTest::newRow("storeFlushesBeforeTheRename: no link") << QStringList() << true;
        QTest::newRow("relative") << QStringList{"link.mov", "real/clip.mov"} << true;
        QTest::newRow("chain") << QStringList{"a.mov", "b.mov", "b.mov", "real/clip.mov"} << true;
        QTest::newRow("absolute") << QStringList{"link.mov", "@/real/clip.mov"} << true;
        QTest::newRow("to no file yet") << QStringList{"link.mov", "real/clip.mov"} << false;
    }

    // Written where the links lead, the links stay; the contents reach the disk before the rename, then the rename.
    void linksAreWrittenThrough()
    {
        QFETCH(QStringList, links);
        QFETCH(bool, existing);
        QTemporaryDir dir;
        QVERIFY(QDir(dir.path()).mkdir("real"));
        const QString target = dir.filePath("real/clip.mov");
        QVERIFY(!existing || record(target, {0, 1}) == 2);
        for (int i = 0; i < links.size(); i += 2)
            QVERIFY(QFile::link(QString(links.at(i + 1)).replace('@', dir.path()), dir.filePath(links.at(i))));
        ModalRecorder rec;
        fileCalls.clear();
        QCOMPARE(record(links.isEmpty() ? target : dir.filePath(links.first()), {2}), 1);
        QVERIFY(rec.calls.isEmpty());
        const QStringList log = fileCalls.filter(dir.path());
        QCOMPARE(log.size(), 3);
        const QString temp = log.at(0).mid(6);
        QVERIFY(temp.startsWith(dir.filePath("real/.vorrel-movie-")));
        QCOMPARE(log.mid(1), (QStringList{"rename " + temp + " " + target, "fsync " + dir.filePath("real")}));
        for (int i = 0; i < links.size(); i += 2)
            QVERIFY(QFileInfo(dir.filePath(links.at(i))).isSymLink());
        QCOMPARE(MovieReader(target).pictures(), existing ? (QVector<int>{0, 1, 2}) : QVector<int>{2});
        QCOMPARE(entries(dir.filePath("real")), QStringList{"clip.mov"});
        QCOMPARE(entries(dir.path()).size(), links.size() / 2);
    }

private:
    QTemporaryDir m_earlier; // movies that several tests append to
};

// Run as "--hold <movie> <1: append, 0: new movie>", the program is oneWriterPerMovie's first run in another process.
int main(int argc, char *argv[])
{
    if (argc == 4 && qstrcmp(argv[1], "--hold") == 0)
        return holdMovie(QFile::decodeName(argv[2]), qstrcmp(argv[3], "1") == 0);
    QTEST_MAIN_IMPL(TestMovies)
}
#include "tst_movies.moc"
