#include "MovieReader.h"
#include "export/QTMovieFile.h"
#include "export/quicktime/QuickTime.h"
#include "support/ModalRecorder.h"

#include <QDir>
#include <QTemporaryDir>
#include <QtTest>
#include <cstring>
#include <sys/mman.h>
#include <unistd.h>
#include <vector>

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
}

Q_DECLARE_METATYPE(CodecType)

namespace {

const int W = 64;
const int H = 48;
const QString title = "Quicktime Export";

// Smooth, opaque frames that differ by at least 15 per channel from one
// index to the next, so that even lossy codecs keep them apart.
void paint(std::vector<uchar> &buffer, int width, int height, int index)
{
    for (int y = 0; y < height; ++y) {
        uchar *p = buffer.data() + y * width * 4;
        for (int x = 0; x < width; ++x, p += 4) {
            p[0] = uchar(x * 2 + index * 20);
            p[1] = uchar(y * 3 + index * 15);
            p[2] = uchar(200 - index * 30);
            p[3] = 255;
        }
    }
}

QImage expectedFrame(int index, int width = W, int height = H)
{
    std::vector<uchar> buffer(size_t(width * height * 4));
    paint(buffer, width, height, index);
    return QImage(buffer.data(), width, height, QImage::Format_ARGB32_Premultiplied)
        .convertToFormat(QImage::Format_RGB32);
}

// Mean absolute difference per channel.
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

const char *encoderFor(CodecType codec)
{
    switch (codec) {
    case fourCC("jpeg"): return "mjpeg";
    case fourCC("raw "): return "rawvideo";
    case fourCC("rle "): return "qtrle";
    case fourCC("cvid"): return "cinepak";
    case fourCC("rpza"): return "rpza";
    case fourCC("avc1"): return "libx264";
    case fourCC("mp4v"): return "mpeg4";
    default: return "";
    }
}

#define SKIP_WITHOUT_ENCODER(codec)                                                                    \
    if (!avcodec_find_encoder_by_name(encoderFor(codec)))                                              \
        QSKIP(qPrintable(QString("FFmpeg has no %1 encoder here").arg(encoderFor(codec))));

// One run of the writer: frames first .. first + count - 1 into path.
// Returns how many frames writeFrame accepted, or -1 when a step before
// the first frame failed.
int record(const QString &path, CodecType codec, CodecQ quality, int first, int count, int width = W,
           int height = H)
{
    std::vector<uchar> buffer(size_t(width * height * 4));
    QTMovieFile writer;
    if (!writer.initQuickTime())
        return -1;
    writer.setCompression(quality, codec);
    if (!writer.open(buffer.data(), k32BGRAPixelFormat, int16_t(width), int16_t(height), width * 4, path))
        return -1;
    int written = 0;
    for (int i = 0; i < count; ++i) {
        paint(buffer, width, height, first + i);
        written += writer.writeFrame();
    }
    return written;
}

QByteArray contents(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QStringList warnings(const ModalRecorder &rec)
{
    QStringList texts;
    for (const ModalRecorder::Call &call : rec.calls) {
        if (call.what == "warning" && call.title == title)
            texts << call.text;
        else
            texts << call.what + ": " + call.title + " / " + call.text;
    }
    return texts;
}

// A QuickTime file holding one PCM sound track and no video.
void writeSoundOnlyMovie(const QString &path, int packets)
{
    AVFormatContext *output = nullptr;
    QVERIFY(avformat_alloc_output_context2(&output, nullptr, "mov", QFile::encodeName(path).constData()) >= 0);
    AVStream *stream = avformat_new_stream(output, nullptr);
    stream->codecpar->codec_type = AVMEDIA_TYPE_AUDIO;
    stream->codecpar->codec_id = AV_CODEC_ID_PCM_S16BE;
    stream->codecpar->sample_rate = 8000;
    av_channel_layout_default(&stream->codecpar->ch_layout, 1);
    stream->time_base = AVRational{1, 8000};
    QVERIFY(avio_open(&output->pb, QFile::encodeName(path).constData(), AVIO_FLAG_WRITE) >= 0);
    QVERIFY(avformat_write_header(output, nullptr) >= 0);
    for (int i = 0; i < packets; ++i) {
        AVPacket *packet = av_packet_alloc();
        av_new_packet(packet, 1600);
        memset(packet->data, i, 1600);
        packet->pts = packet->dts = i * 800;
        packet->duration = 800;
        packet->stream_index = 0;
        packet->flags = AV_PKT_FLAG_KEY;
        QVERIFY(av_write_frame(output, packet) >= 0);
        av_packet_free(&packet);
    }
    QVERIFY(av_write_trailer(output) >= 0);
    avio_closep(&output->pb);
    avformat_free_context(output);
}

QStringList times(int n, const QString &text)
{
    QStringList list;
    for (int i = 0; i < n; ++i)
        list << text;
    return list;
}

QStringList entries(const QString &dir)
{
    return QDir(dir).entryList(QDir::Files | QDir::Hidden | QDir::System);
}

} // namespace

class TestQTMovieFile : public QObject
{
    Q_OBJECT
private slots:
    void newMoviePerCodec_data();
    void newMoviePerCodec();
    void qualityReachesEveryFrame_data();
    void qualityReachesEveryFrame();
    void h264KeepsLosslessCodingForLossless();
    void appendRefusesAnotherCodecOrSize();
    void onlyIndependentFramesAreSyncSamples();
    void fileWithoutVideoGetsANewTrack();
    void secondOpenIsRefusedAndTheFirstMovieGoesOn();
    void failingFirstFrameWarnsOnceAndLeavesNothing_data();
    void failingFirstFrameWarnsOnceAndLeavesNothing();
    void writerDestroyedBeforeTheFirstFrameLeavesFilesAsTheyWere();
    void openFailuresNameTheFailedStep();
    void pathsAndNamesOfAnyLengthWork();
    void pixelsAreReadOnlyWithinTheCallersBuffer_data();
    void pixelsAreReadOnlyWithinTheCallersBuffer();
    void startIsCounted();
    void handlesKeepTheirContents();
    void fixedRatios();
    void graphicsWorldChecksItsBuffer();
    void movieCallsCheckTheirArguments();
    void movieWithoutSamplesIsNotStored();
};

void TestQTMovieFile::newMoviePerCodec_data()
{
    QTest::addColumn<QString>("code");
    QTest::addColumn<CodecQ>("quality");
    QTest::addColumn<double>("tolerance"); // mean difference per channel; 0 for the exact pixels
    QTest::addColumn<bool>("appends");     // a second run of 2 frames after the first 3
    // rpza keeps 5 bits a channel and smears the top rows; the others stay
    // close; raw, Animation and lossless H.264 give back the exact pixels.
    QTest::newRow("jpeg") << "jpeg" << codecNormalQuality << 7.0 << true;
    QTest::newRow("raw") << "raw " << codecNormalQuality << 0.0 << true;
    QTest::newRow("animation") << "rle " << codecMinQuality << 0.0 << false;
    QTest::newRow("cinepak") << "cvid" << codecNormalQuality << 7.0 << false;
    QTest::newRow("road pizza") << "rpza" << codecNormalQuality << 12.0 << false;
    QTest::newRow("yuvMoviesNameTheirColourMatrix: h264") << "avc1" << codecNormalQuality << 7.0 << true;
    QTest::newRow("h264 lossless") << "avc1" << codecLosslessQuality << 0.0 << false;
    QTest::newRow("yuvMoviesNameTheirColourMatrix: mpeg4") << "mp4v" << codecNormalQuality << 7.0 << true;
}

// Per codec: its four-character code, time base 1/600, 20 units a frame,
// one sample a frame decoding close to (or exactly as) what was written,
// no warning and no file but the movie. A second run appends after the
// first, keeping the file's permissions. H.264 and MPEG-4 name the BT.601
// matrix of their limited-range YUV: a movie that does not say so is shown
// with BT.709 by players once it is HD-sized, with shifted colours.
void TestQTMovieFile::newMoviePerCodec()
{
    QFETCH(QString, code);
    QFETCH(CodecQ, quality);
    QFETCH(double, tolerance);
    QFETCH(bool, appends);
    const QByteArray c = code.toLatin1();
    const CodecType codec = OSType(uchar(c[0])) << 24 | OSType(uchar(c[1])) << 16 | OSType(uchar(c[2])) << 8 | uchar(c[3]);
    SKIP_WITHOUT_ENCODER(codec);
    QTemporaryDir dir;
    const QString path = dir.filePath("clip.mov");
    ModalRecorder rec;
    QCOMPARE(record(path, codec, quality, 0, 3), 3);
    const QFile::Permissions permissions = QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup;
    QVERIFY(QFile::setPermissions(path, permissions));
    const int n = appends ? 5 : 3;
    if (appends)
        QCOMPARE(record(path, codec, quality, 3, 2), 2);
    QCOMPARE(warnings(rec), QStringList());
    QCOMPARE(QFile::permissions(path) & 0x7077, permissions);
    QCOMPARE(entries(dir.path()), QStringList{"clip.mov"});
    MovieReader movie(path);
    QVERIFY(movie.opened);
    QCOMPARE(movie.streams, 1);
    QCOMPARE(movie.fourCC, code);
    QCOMPARE(movie.timeBaseNum, 1);
    QCOMPARE(movie.timeBaseDen, 600);
    QCOMPARE(movie.duration, qint64(20 * n));
    QCOMPARE(movie.packets, n);
    QCOMPARE(QSize(movie.width, movie.height), QSize(W, H));
    QCOMPARE(movie.decodeErrors, 0);
    QCOMPARE(movie.frames.size(), n);
    QVERIFY(movie.keyPackets >= 1);
    for (int i = 0; i < n; ++i) {
        if (tolerance == 0)
            QCOMPARE(movie.frames[i], expectedFrame(i));
        else
            QVERIFY2(meanDifference(movie.frames[i], expectedFrame(i)) < tolerance, qPrintable(QString::number(i)));
    }
    if ((code == "avc1" || code == "mp4v") && quality != codecLosslessQuality) {
        QCOMPARE(movie.colorSpace, int(AVCOL_SPC_SMPTE170M));
        // A QuickTime 'nclc' colour atom implies limited range; H.264 says it too.
        QVERIFY(movie.colorRange != AVCOL_RANGE_JPEG);
        if (code == "avc1")
            QCOMPARE(movie.colorRange, int(AVCOL_RANGE_MPEG));
    }
}

void TestQTMovieFile::qualityReachesEveryFrame_data()
{
    QTest::addColumn<CodecType>("codec");
    QTest::newRow("jpeg") << fourCC("jpeg");
    QTest::newRow("h264") << fourCC("avc1");
    QTest::newRow("mpeg4") << fourCC("mp4v");
}

// Each frame at "Minimum" is smaller than the same frame at "Maximum", and
// "Maximum" comes back closer to what was written.
void TestQTMovieFile::qualityReachesEveryFrame()
{
    QFETCH(CodecType, codec);
    SKIP_WITHOUT_ENCODER(codec);
    QTemporaryDir dir;
    QCOMPARE(record(dir.filePath("min.mov"), codec, codecMinQuality, 0, 4), 4);
    QCOMPARE(record(dir.filePath("max.mov"), codec, codecMaxQuality, 0, 4), 4);
    const MovieReader low(dir.filePath("min.mov"));
    const MovieReader high(dir.filePath("max.mov"));
    QCOMPARE(low.packetSizes.size(), 4);
    QCOMPARE(high.packetSizes.size(), 4);
    QCOMPARE(high.frames.size(), 4);
    for (int i = 0; i < 4; ++i) {
        QVERIFY2(low.packetSizes[i] < high.packetSizes[i], qPrintable(QString::number(i)));
        QVERIFY(meanDifference(high.frames[i], expectedFrame(i)) < meanDifference(low.frames[i], expectedFrame(i)));
    }
}

// "Maximum" is the best lossy H.264, in the High profile that players
// decode; only "Lossless" codes losslessly (High 4:4:4 Predictive).
void TestQTMovieFile::h264KeepsLosslessCodingForLossless()
{
    SKIP_WITHOUT_ENCODER(fourCC("avc1"));
    QTemporaryDir dir;
    const CodecQ levels[] = {codecMinQuality, codecLowQuality, codecNormalQuality, codecHighQuality,
                             codecMaxQuality, codecLosslessQuality};
    for (CodecQ quality : levels) {
        const QString path = dir.filePath(QString("q%1.mov").arg(quality));
        QCOMPARE(record(path, fourCC("avc1"), quality, 0, 2), 2);
        const int expected = quality == codecLosslessQuality ? FF_PROFILE_H264_HIGH_444_PREDICTIVE
                                                             : FF_PROFILE_H264_HIGH;
        QVERIFY2(MovieReader(path).profile == expected, qPrintable(QString::number(quality)));
    }
}

void TestQTMovieFile::appendRefusesAnotherCodecOrSize()
{
    QTemporaryDir dir;
    const QString path = dir.filePath("jpeg.mov");
    QCOMPARE(record(path, fourCC("jpeg"), codecNormalQuality, 0, 2), 2);
    const QByteArray before = contents(path);

    ModalRecorder rec;
    QCOMPARE(record(path, fourCC("raw "), codecNormalQuality, 2, 2), -1);
    QCOMPARE(record(path, fourCC("jpeg"), codecNormalQuality, 2, 2, 32, 48), -1);
    QCOMPARE(record(path, fourCC("SVQ3"), codecNormalQuality, 2, 2), -1);
    QCOMPARE(warnings(rec), times(3, "Unable to Append to the previous Track"));
    QCOMPARE(contents(path), before);
    QCOMPARE(entries(dir.path()), QStringList{"jpeg.mov"});
    // H.264 at another quality has other parameter sets: the coded stream
    // could not continue.
    SKIP_WITHOUT_ENCODER(fourCC("avc1"));
    const QString h264 = dir.filePath("h264.mov");
    QCOMPARE(record(h264, fourCC("avc1"), codecNormalQuality, 0, 2), 2);
    const QByteArray h264Before = contents(h264);
    rec.calls.clear();
    QCOMPARE(record(h264, fourCC("avc1"), codecMinQuality, 2, 2), -1);
    QCOMPARE(warnings(rec), QStringList{"Unable to Append to the previous Track"});
    QCOMPARE(contents(h264), h264Before);
}

// Road Pizza codes a block that did not change as a skip of the previous
// frame's block; such a frame cannot be shown on its own, so it must not be
// a sync sample. The first frame of each run is coded on its own.
void TestQTMovieFile::onlyIndependentFramesAreSyncSamples()
{
    SKIP_WITHOUT_ENCODER(fourCC("rpza"));
    QTemporaryDir dir;
    const QString path = dir.filePath("still.mov");
    ModalRecorder rec;
    for (int run = 0; run < 2; ++run) {
        std::vector<uchar> buffer(size_t(W * H * 4));
        paint(buffer, W, H, 1);
        QTMovieFile writer;
        QVERIFY(writer.initQuickTime());
        writer.setCompression(codecNormalQuality, fourCC("rpza"));
        QVERIFY(writer.open(buffer.data(), k32BGRAPixelFormat, W, H, W * 4, path));
        for (int i = 0; i < 3; ++i)
            QVERIFY(writer.writeFrame());
    }
    QVERIFY(rec.calls.isEmpty());
    const MovieReader movie(path);
    QCOMPARE(movie.packets, 6);
    QCOMPARE(movie.decodeErrors, 0);
    // The unchanged frames are skips, far smaller than the first of each run.
    QVERIFY(movie.packetSizes[1] * 4 < movie.packetSizes[0]);
    QVERIFY(movie.packetSizes[4] * 4 < movie.packetSizes[3]);
    QCOMPARE(movie.keyPackets, 2);
    QCOMPARE(movie.frames.size(), 6);
    for (int i = 0; i < 6; ++i)
        QVERIFY2(meanDifference(movie.frames[i], expectedFrame(1)) < 12, qPrintable(QString::number(i)));
}

void TestQTMovieFile::fileWithoutVideoGetsANewTrack()
{
    QTemporaryDir dir;
    const QString path = dir.filePath("sound.mov");
    writeSoundOnlyMovie(path, 4);
    ModalRecorder rec;
    QCOMPARE(record(path, fourCC("raw "), codecNormalQuality, 0, 2), 2);
    QVERIFY(rec.calls.isEmpty());
    MovieReader movie(path);
    QCOMPARE(movie.streams, 2);
    QCOMPARE(movie.otherPackets, 4); // the sound is kept
    QCOMPARE(movie.fourCC, QString("raw "));
    QCOMPARE(movie.packets, 2);
    QCOMPARE(movie.duration, qint64(40)); // no earlier frames: nothing appended to
    QCOMPARE(movie.frames.size(), 2);
    QCOMPARE(movie.frames[0], expectedFrame(0));
}

void TestQTMovieFile::secondOpenIsRefusedAndTheFirstMovieGoesOn()
{
    QTemporaryDir dir;
    const QString first = dir.filePath("first.mov");
    const QString second = dir.filePath("second.mov");
    ModalRecorder rec;
    std::vector<uchar> buffer(size_t(W * H * 4));
    {
        QTMovieFile writer;
        QVERIFY(!writer.writeFrame()); // before start-up and open: nothing
        QVERIFY(writer.initQuickTime());
        QVERIFY(!writer.writeFrame());
        writer.setCompression(codecNormalQuality, fourCC("raw "));
        QVERIFY(writer.open(buffer.data(), k32BGRAPixelFormat, int16_t(W), int16_t(H), W * 4, first));
        paint(buffer, W, H, 0);
        QVERIFY(writer.writeFrame());
        QVERIFY(!writer.open(buffer.data(), k32BGRAPixelFormat, int16_t(W), int16_t(H), W * 4, second));
        paint(buffer, W, H, 1);
        QVERIFY(writer.writeFrame());
    }
    QVERIFY(rec.calls.isEmpty());
    QVERIFY(!QFileInfo::exists(second));
    MovieReader movie(first);
    QCOMPARE(movie.packets, 2);
    QCOMPARE(movie.frames.size(), 2);
    QCOMPARE(movie.frames[1], expectedFrame(1));
    QCOMPARE(entries(dir.path()), QStringList{"first.mov"});
}

void TestQTMovieFile::failingFirstFrameWarnsOnceAndLeavesNothing_data()
{
    QTest::addColumn<CodecType>("codec");
    QTest::addColumn<int>("width");
    QTest::newRow("no Sorenson 3 encoder") << fourCC("SVQ3") << 64;
    QTest::newRow("odd width for H.264") << fourCC("avc1") << 63;
    QTest::newRow("Cinepak needs multiples of 4") << fourCC("cvid") << 62;
}

void TestQTMovieFile::failingFirstFrameWarnsOnceAndLeavesNothing()
{
    QFETCH(CodecType, codec);
    QFETCH(int, width);
    QTemporaryDir dir;
    const QString path = dir.filePath("none.mov");
    ModalRecorder rec;
    {
        std::vector<uchar> buffer(size_t(width * H * 4));
        QTMovieFile writer;
        QVERIFY(writer.initQuickTime());
        writer.setCompression(codecNormalQuality, codec);
        QVERIFY(writer.open(buffer.data(), k32BGRAPixelFormat, int16_t(width), H, width * 4, path));
        QVERIFY(!writer.writeFrame());
        QCOMPARE(warnings(rec), QStringList{"Unable to Get Compression Size"});
        QVERIFY(!writer.writeFrame());
        QVERIFY(!writer.writeFrame());
    }
    QCOMPARE(warnings(rec), QStringList{"Unable to Get Compression Size"});
    QCOMPARE(entries(dir.path()), QStringList());
}

void TestQTMovieFile::writerDestroyedBeforeTheFirstFrameLeavesFilesAsTheyWere()
{
    QTemporaryDir dir;
    const QString fresh = dir.filePath("fresh.mov");
    const QString existing = dir.filePath("existing.mov");
    QCOMPARE(record(existing, fourCC("jpeg"), codecNormalQuality, 0, 2), 2);
    const QByteArray before = contents(existing);
    ModalRecorder rec;
    QCOMPARE(record(fresh, fourCC("jpeg"), codecNormalQuality, 0, 0), 0);
    QCOMPARE(record(existing, fourCC("jpeg"), codecNormalQuality, 0, 0), 0);
    QVERIFY(rec.calls.isEmpty());
    QCOMPARE(entries(dir.path()), QStringList{"existing.mov"});
    QCOMPARE(contents(existing), before);
}

void TestQTMovieFile::openFailuresNameTheFailedStep()
{
    QTemporaryDir dir;
    ModalRecorder rec;
    std::vector<uchar> buffer(size_t(W * H * 4));
    {
        QTMovieFile writer;
        QVERIFY(writer.initQuickTime());
        QVERIFY(!writer.open(nullptr, k32BGRAPixelFormat, W, H, W * 4, dir.filePath("a.mov")));
        QVERIFY(!writer.open(buffer.data(), fourCC("ARGB"), W, H, W * 4, dir.filePath("a.mov")));
        QVERIFY(!writer.open(buffer.data(), k32BGRAPixelFormat, W, H, W * 4 - 1, dir.filePath("a.mov")));
        QVERIFY(!writer.writeFrame());
    }
    QCOMPARE(warnings(rec), times(3, "Unable to Create New Quick Time World From the Buffer: -50"));
    rec.calls.clear();

    // A file that is not a movie is left alone.
    const QString text = dir.filePath("notes.mov");
    QFile file(text);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write("not a movie at all");
    file.close();
    QCOMPARE(record(text, fourCC("jpeg"), codecNormalQuality, 0, 1), -1);
    QCOMPARE(warnings(rec), QStringList{"Unable to Open Movie File: -2048"});
    QCOMPARE(contents(text), QByteArray("not a movie at all"));
    rec.calls.clear();

    // No folder to create the movie in.
    QCOMPARE(record(dir.filePath("missing/clip.mov"), fourCC("jpeg"), codecNormalQuality, 0, 1), -1);
    QCOMPARE(warnings(rec), QStringList{"Unable to Create Movie File: -43"});
    rec.calls.clear();

    // A folder that goes while the movie is written: reported at the end.
    {
        QVERIFY(QDir(dir.path()).mkdir("gone"));
        QTMovieFile writer;
        QVERIFY(writer.initQuickTime());
        writer.setCompression(codecNormalQuality, fourCC("raw "));
        QVERIFY(writer.open(buffer.data(), k32BGRAPixelFormat, W, H, W * 4, dir.filePath("gone/clip.mov")));
        QVERIFY(writer.writeFrame());
        QVERIFY(QDir(dir.filePath("gone")).removeRecursively());
    }
    QCOMPARE(warnings(rec), QStringList{"Unable to add Movie resource"});
    rec.calls.clear();

    // A folder without write permission (root may write anywhere).
    if (geteuid() != 0) {
        QDir(dir.path()).mkdir("locked");
        QFile::setPermissions(dir.filePath("locked"), QFile::ReadOwner | QFile::ExeOwner);
        QCOMPARE(record(dir.filePath("locked/clip.mov"), fourCC("jpeg"), codecNormalQuality, 0, 1), -1);
        QCOMPARE(warnings(rec), QStringList{"Unable to Create Movie File: -54"});
        QFile::setPermissions(dir.filePath("locked"), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    }
}

void TestQTMovieFile::pathsAndNamesOfAnyLengthWork()
{
    QTemporaryDir dir;
    QString folder = dir.path();
    for (int i = 0; i < 4; ++i) {
        folder += "/" + QString(80, QChar('a' + i));
        QVERIFY(QDir().mkpath(folder));
    }
    // The longest name a folder can hold.
    const QString path = folder + "/" + QString(251, QChar('e')) + ".mov";
    QVERIFY(QFile::encodeName(path).size() > 255);
    ModalRecorder rec;
    QCOMPARE(record(path, fourCC("raw "), codecNormalQuality, 0, 2), 2);
    QCOMPARE(record(path, fourCC("raw "), codecNormalQuality, 2, 1), 1);
    QVERIFY(rec.calls.isEmpty());
    QCOMPARE(MovieReader(path).packets, 3);
}

void TestQTMovieFile::pixelsAreReadOnlyWithinTheCallersBuffer_data()
{
    QTest::addColumn<CodecType>("codec");
    QTest::addColumn<int>("width");
    QTest::addColumn<int>("height");
    QTest::newRow("jpeg 63x47") << fourCC("jpeg") << 63 << 47;
    QTest::newRow("jpeg 2x2") << fourCC("jpeg") << 2 << 2;
    QTest::newRow("jpeg 5x3") << fourCC("jpeg") << 5 << 3;
    QTest::newRow("h264 2x2") << fourCC("avc1") << 2 << 2;
    QTest::newRow("mpeg4 6x4") << fourCC("mp4v") << 6 << 4;
    QTest::newRow("raw 3x3") << fourCC("raw ") << 3 << 3;
    QTest::newRow("rpza 4x4") << fourCC("rpza") << 4 << 4;
}

// The caller's buffer ends with its last row, right before a page that may
// not be read: converting its pixels must stay inside it.
void TestQTMovieFile::pixelsAreReadOnlyWithinTheCallersBuffer()
{
    QFETCH(CodecType, codec);
    QFETCH(int, width);
    QFETCH(int, height);
    SKIP_WITHOUT_ENCODER(codec);
    const size_t page = size_t(sysconf(_SC_PAGESIZE));
    const size_t size = size_t(width * height * 4);
    const size_t pages = (size + page - 1) / page;
    auto *region = static_cast<uchar *>(
        mmap(nullptr, (pages + 1) * page, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0));
    QVERIFY(region != MAP_FAILED);
    QCOMPARE(mprotect(region + pages * page, page, PROT_NONE), 0);
    uchar *pixels = region + pages * page - size;
    std::vector<uchar> painted(size);
    QTemporaryDir dir;
    const QString path = dir.filePath("edge.mov");
    ModalRecorder rec;
    {
        QTMovieFile writer;
        QVERIFY(writer.initQuickTime());
        writer.setCompression(codecNormalQuality, codec);
        QVERIFY(writer.open(pixels, k32BGRAPixelFormat, int16_t(width), int16_t(height), width * 4, path));
        for (int i = 0; i < 2; ++i) {
            paint(painted, width, height, i);
            std::memcpy(pixels, painted.data(), size);
            QVERIFY(writer.writeFrame());
        }
    }
    munmap(region, (pages + 1) * page);
    QVERIFY(rec.calls.isEmpty());
    const MovieReader movie(path);
    QCOMPARE(movie.packets, 2);
    QCOMPARE(movie.decodeErrors, 0);
}

void TestQTMovieFile::startIsCounted()
{
    // A terminate without an initialise does nothing.
    TerminateQTML();
    QCOMPARE(EnterMovies(), OSErr(qtmlUninitialized));
    QCOMPARE(InitializeQTML(0), OSErr(noErr));
    QCOMPARE(InitializeQTML(0), OSErr(noErr));
    TerminateQTML();
    QCOMPARE(EnterMovies(), OSErr(noErr));
    ExitMovies();
    TerminateQTML();
    QCOMPARE(EnterMovies(), OSErr(qtmlUninitialized));
}

void TestQTMovieFile::handlesKeepTheirContents()
{
    Handle h = NewHandle(4);
    QVERIFY(h);
    QCOMPARE(GetHandleSize(h), Size(4));
    QCOMPARE(QByteArray(*h, 4), QByteArray(4, '\0'));
    std::memcpy(*h, "abcd", 4);
    QCOMPARE(SetHandleSize(h, 8), OSErr(noErr));
    QCOMPARE(QByteArray(*h, 8), QByteArray("abcd\0\0\0\0", 8));
    QCOMPARE(SetHandleSize(h, 2), OSErr(noErr));
    QCOMPARE(QByteArray(*h, 2), QByteArray("ab"));
    QCOMPARE(SetHandleSize(h, -1), OSErr(paramErr));
    DisposeHandle(h);
    QVERIFY(!NewHandle(-1));
}

void TestQTMovieFile::fixedRatios()
{
    QCOMPARE(FixRatio(640, 1), Fixed(640 << 16));
    QCOMPARE(FixRatio(1, 2), Fixed(0x8000));
    QCOMPARE(FixRatio(-3, 4), Fixed(-0xC000));
    QCOMPARE(FixRatio(1, 0), Fixed(INT32_MAX));
}

void TestQTMovieFile::graphicsWorldChecksItsBuffer()
{
    uchar pixels[8 * 4 * 4];
    const Rect bounds = {0, 0, 4, 8};
    GWorldPtr world = nullptr;
    QCOMPARE(QTNewGWorldFromPtr(&world, k32BGRAPixelFormat, &bounds, nullptr, nullptr, 0, pixels, 31),
             OSErr(paramErr));
    const Rect empty = {0, 0, 0, 8};
    QCOMPARE(QTNewGWorldFromPtr(&world, k32BGRAPixelFormat, &empty, nullptr, nullptr, 0, pixels, 32),
             OSErr(paramErr));
    QVERIFY(!world);
    QCOMPARE(QTNewGWorldFromPtr(&world, k32BGRAPixelFormat, &bounds, nullptr, nullptr, 0, pixels, 32),
             OSErr(noErr));
    QVERIFY(world);

    CGrafPtr port = nullptr;
    GDHandle device = nullptr;
    GetGWorld(&port, &device);
    SetGWorld(world, nullptr);
    CGrafPtr current = nullptr;
    GetGWorld(&current, &device);
    QCOMPARE(current, world);
    SetGWorld(port, device);

    // Asking for a size checks the source rectangle and the codec.
    long size = 0;
    const Rect outside = {0, 0, 5, 8};
    QCOMPARE(GetMaxCompressionSize(GetGWorldPixMap(world), &outside, 0, codecNormalQuality, fourCC("raw "),
                                   anyCodec, &size),
             OSErr(paramErr));
    QCOMPARE(GetMaxCompressionSize(GetGWorldPixMap(world), &bounds, 0, codecNormalQuality, fourCC("xxxx"),
                                   anyCodec, &size),
             OSErr(noCodecErr));
    QCOMPARE(GetMaxCompressionSize(GetGWorldPixMap(world), &bounds, 0, codecNormalQuality, fourCC("raw "),
                                   anyCodec, &size),
             OSErr(noErr));
    QVERIFY(size >= 8 * 4 * 3);
    DisposeGWorld(world);
}

void TestQTMovieFile::movieCallsCheckTheirArguments()
{
    QTemporaryDir dir;
    const StrFileName name = QFile::encodeName(dir.filePath("m.mov"));
    FSSpec spec;
    QCOMPARE(FSMakeFSSpec(0, 0, name, &spec), OSErr(noErr));
    short refNum = 0;
    QCOMPARE(OpenMovieFile(&spec, &refNum, fsRdWrPerm), OSErr(fnfErr));
    Movie movie = nullptr;
    QCOMPARE(CreateMovieFile(&spec, fourCC("TVOD"), smCurrentScript, createMovieFileDontCreateResFile, &refNum,
                             &movie),
             OSErr(noErr));
    QVERIFY(!GetMovieIndTrack(movie, 1));
    Track track = NewMovieTrack(movie, FixRatio(8, 1), FixRatio(4, 1), 0);
    QCOMPARE(GetMovieIndTrack(movie, 1), track);
    QVERIFY(!GetTrackMedia(track));
    QVERIFY(!NewTrackMedia(track, VideoMediaType, 1000, nullptr, 0));
    Media media = NewTrackMedia(track, VideoMediaType, 600, nullptr, 0);
    QVERIFY(media);
    QCOMPARE(GetTrackMedia(track), media);

    uchar pixels[8 * 4 * 4] = {};
    const Rect whole = {0, 0, 4, 8};
    const Rect half = {0, 0, 4, 4};
    GWorldPtr world = nullptr;
    QCOMPARE(QTNewGWorldFromPtr(&world, k32BGRAPixelFormat, &whole, nullptr, nullptr, 0, pixels, 32), OSErr(noErr));
    long size = 0;
    QCOMPARE(GetMaxCompressionSize(GetGWorldPixMap(world), &whole, 0, codecNormalQuality, fourCC("raw "), anyCodec,
                                   &size),
             OSErr(noErr));
    Handle data = NewHandle(size);
    auto desc = reinterpret_cast<ImageDescriptionHandle>(NewHandle(4));
    QCOMPARE(CompressImage(GetGWorldPixMap(world), &whole, codecNormalQuality, fourCC("raw "), desc, *data),
             OSErr(noErr));
    QCOMPARE((*desc)->dataSize, long(8 * 4 * 3));
    QCOMPARE((*desc)->width, int16_t(8));
    const auto sample = reinterpret_cast<SampleDescriptionHandle>(desc);

    // Samples only while editing, within the data handle, of the track's size.
    QCOMPARE(AddMediaSample(media, data, 0, 96, 20, sample, 1, 0, nullptr), OSErr(invalidMedia));
    QCOMPARE(BeginMediaEdits(media), OSErr(noErr));
    QCOMPARE(AddMediaSample(media, data, size - 10, 96, 20, sample, 1, 0, nullptr), OSErr(paramErr));
    QCOMPARE(AddMediaSample(media, data, 0, 96, 20, sample, 2, 0, nullptr), OSErr(paramErr));
    TimeValue at = -1;
    QCOMPARE(AddMediaSample(media, data, 0, 96, 20, sample, 1, 0, &at), OSErr(noErr));
    QCOMPARE(at, TimeValue(0));
    QCOMPARE(AddMediaSample(media, data, 0, 96, 20, sample, 1, 0, &at), OSErr(noErr));
    QCOMPARE(at, TimeValue(20));
    QCOMPARE(GetMediaDuration(media), TimeValue(40));
    QCOMPARE(CompressImage(GetGWorldPixMap(world), &half, codecNormalQuality, fourCC("raw "), desc, *data),
             OSErr(noErr));
    QCOMPARE(AddMediaSample(media, data, 0, 48, 20, sample, 1, 0, nullptr), OSErr(badEditList));
    QCOMPARE(GetMediaDuration(media), TimeValue(40));

    // The track always shows its whole media from time 0.
    QCOMPARE(AppendToTrack(track, 0, 20, fourCC("raw "), codecNormalQuality, &whole), OSErr(badEditList));
    QCOMPARE(AppendToTrack(track, 0, 40, fourCC("raw "), codecNormalQuality, &whole), OSErr(noErr));
    QCOMPARE(AppendToTrack(track, 0, 40, fourCC("raw "), codecNormalQuality, &half), OSErr(badEditList));
    QCOMPARE(EndMediaEdits(media), OSErr(noErr));
    QCOMPARE(EndMediaEdits(media), OSErr(invalidMedia));
    QCOMPARE(InsertMediaIntoTrack(track, 0, 0, 20, fixed1), OSErr(badEditList));
    QCOMPARE(InsertMediaIntoTrack(track, 0, 0, 40, 2 * fixed1), OSErr(badEditList));
    QCOMPARE(InsertMediaIntoTrack(track, 0, 0, 40, fixed1), OSErr(noErr));

    QCOMPARE(AddMovieToDataFork(movie, refNum, 128, name), OSErr(paramErr));
    QCOMPARE(AddMovieToDataFork(movie, refNum, movieInDataForkResID, name + "x"), OSErr(paramErr));
    QVERIFY(!QFile::exists(dir.filePath("m.mov")));
    QCOMPARE(AddMovieToDataFork(movie, refNum, movieInDataForkResID, name), OSErr(noErr));
    QCOMPARE(AddMovieToDataFork(movie, refNum, movieInDataForkResID, name), OSErr(invalidMovie));
    CloseMovieFile(refNum);
    DisposeMovie(movie);
    DisposeHandle(reinterpret_cast<Handle>(desc));
    DisposeHandle(data);
    DisposeGWorld(world);
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{"m.mov"});

    // Read back: one track of two samples.
    QCOMPARE(OpenMovieFile(&spec, &refNum, fsRdWrPerm), OSErr(noErr));
    QCOMPARE(NewMovieFromFile(&movie, refNum, nullptr, nullptr, newMovieActive, nullptr), OSErr(noErr));
    QVERIFY(GetMovieIndTrack(movie, 1));
    QVERIFY(!GetMovieIndTrack(movie, 2));
    QCOMPARE(GetMediaDuration(GetTrackMedia(GetMovieIndTrack(movie, 1))), TimeValue(40));
    CloseMovieFile(refNum);
    DisposeMovie(movie);
}

void TestQTMovieFile::movieWithoutSamplesIsNotStored()
{
    QTemporaryDir dir;
    const StrFileName name = QFile::encodeName(dir.filePath("empty.mov"));
    FSSpec spec;
    FSMakeFSSpec(0, 0, name, &spec);
    short refNum = 0;
    Movie movie = nullptr;
    QCOMPARE(CreateMovieFile(&spec, fourCC("TVOD"), smCurrentScript, createMovieFileDontCreateResFile, &refNum,
                             &movie),
             OSErr(noErr));
    NewTrackMedia(NewMovieTrack(movie, FixRatio(8, 1), FixRatio(4, 1), 0), VideoMediaType, 600, nullptr, 0);
    QCOMPARE(AddMovieToDataFork(movie, refNum, movieInDataForkResID, name), OSErr(invalidMovie));
    CloseMovieFile(refNum);
    DisposeMovie(movie);
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList());
}

QTEST_GUILESS_MAIN(TestQTMovieFile)
#include "tst_qtmoviefile.moc"
