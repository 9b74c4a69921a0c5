// The movie writer over the QuickTime layer; movies are read back through
// libavformat, and written from pixels that end right before an unreadable
// page (TestWriter).
#include "MovieReader.h"

#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

Q_DECLARE_METATYPE(CodecType)

namespace {
const CodecType jpeg = fourCC("jpeg");
const CodecType raw = fourCC("raw ");
const CodecType h264 = fourCC("avc1");
const CodecType mpeg4 = fourCC("mp4v");
const CodecQ normal = codecNormalQuality;
}

class TestQTMovieFile : public QObject
{
    Q_OBJECT
private slots:
    void newMoviePerCodec_data()
    {
        QTest::addColumn<CodecType>("codec");
        QTest::addColumn<CodecQ>("quality");
        QTest::addColumn<QSize>("size");
        QTest::addColumn<double>("tolerance"); // mean difference per channel; 0: the exact pixels
        QTest::addColumn<bool>("appends");     // a second run of 2 frames after the first 3
        // rpza keeps 5 bits a channel and smears the top rows; JPEG blurs the
        // chroma of a 5x3 frame. Rows shorter than what swscale reads at once
        // must be read only within the caller's buffer.
        const QSize size(64, 48);
        QTest::newRow("jpeg") << jpeg << normal << size << 7.0 << true;
        QTest::newRow("raw") << raw << normal << size << 0.0 << true;
        QTest::newRow("animation") << fourCC("rle ") << codecMinQuality << size << 0.0 << false;
        QTest::newRow("cinepak") << fourCC("cvid") << normal << size << 7.0 << false;
        QTest::newRow("road pizza") << fourCC("rpza") << normal << size << 12.0 << false;
        QTest::newRow("yuvMoviesNameTheirColourMatrix: h264") << h264 << normal << size << 7.0 << true;
        QTest::newRow("h264KeepsLosslessCodingForLossless") << h264 << codecLosslessQuality << size << 0.0 << false;
        QTest::newRow("yuvMoviesNameTheirColourMatrix: mpeg4") << mpeg4 << normal << size << 7.0 << true;
        QTest::newRow("pixelsAreReadOnlyWithinTheCallersBuffer: jpeg 63x47") << jpeg << normal << QSize(63, 47) << 7.0 << true;
        QTest::newRow("pixelsAreReadOnlyWithinTheCallersBuffer: jpeg 2x2") << jpeg << normal << QSize(2, 2) << 7.0 << false;
        QTest::newRow("pixelsAreReadOnlyWithinTheCallersBuffer: jpeg 5x3") << jpeg << normal << QSize(5, 3) << 16.0 << false;
        QTest::newRow("pixelsAreReadOnlyWithinTheCallersBuffer: h264 2x2") << h264 << normal << QSize(2, 2) << 7.0 << true;
        QTest::newRow("pixelsAreReadOnlyWithinTheCallersBuffer: mpeg4 6x4") << mpeg4 << normal << QSize(6, 4) << 7.0 << false;
        QTest::newRow("pixelsAreReadOnlyWithinTheCallersBuffer: rpza 4x4") << fourCC("rpza") << normal << QSize(4, 4) << 12.0 << false;
    }

    // Per codec, under a path and a name longer than 255 bytes together
    // (pathsAndNamesOfAnyLengthWork): its four-character code, time base 1/600,
    // 20 units and one sample a frame decoding close to (or exactly as) what
    // was written, no warning and no file but the movie. A second run appends,
    // keeping the file's permissions. H.264 is High profile but for "Lossless";
    // H.264 and MPEG-4 name the BT.601 matrix of their limited-range YUV, or
    // players show HD-sized movies with BT.709, in shifted colours.
    void newMoviePerCodec()
    {
        QFETCH(CodecType, codec);
        QFETCH(CodecQ, quality);
        QFETCH(QSize, size);
        QFETCH(double, tolerance);
        QFETCH(bool, appends);
        QTemporaryDir dir;
        const QString folder = dir.path() + QString("/%1/%1/%1/%1").arg(QString(80, 'a'));
        const QString name = QString(251, 'e') + ".mov";
        const QString path = folder + "/" + name;
        QVERIFY(QDir().mkpath(folder));
        ModalRecorder rec;
        QCOMPARE(record(path, {0, 1, 2}, codec, quality, size), 3);
        const QFile::Permissions permissions = QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup;
        QVERIFY(QFile::setPermissions(path, permissions));
        QVERIFY(!appends || record(path, {3, 4}, codec, quality, size) == 2);
        const int n = appends ? 5 : 3;
        QCOMPARE(warnings(rec), QStringList());
        QCOMPARE(QFile::permissions(path) & 0x7077, permissions);
        QCOMPARE(entries(folder), QStringList{name});
        const MovieReader movie(path);
        QCOMPARE(movie.streams, 1);
        QCOMPARE(movie.codec, codec);
        QCOMPARE(movie.timeBase, QString("1/600"));
        QCOMPARE(movie.duration, qint64(20 * n));
        QCOMPARE(movie.packetSizes.size(), n);
        QCOMPARE(movie.decodeErrors, 0);
        QCOMPARE(movie.frames.size(), n);
        QVERIFY(movie.keyPackets >= 1);
        for (int i = 0; i < n; ++i)
            QVERIFY2(meanDifference(movie.frames[i], expectedPicture(i, size)) <= tolerance, qPrintable(QString::number(i)));
        if (codec == h264)
            QCOMPARE(movie.profile, quality == codecLosslessQuality ? FF_PROFILE_H264_HIGH_444_PREDICTIVE : FF_PROFILE_H264_HIGH);
        if ((codec == h264 || codec == mpeg4) && quality != codecLosslessQuality) {
            QCOMPARE(movie.colorSpace, int(AVCOL_SPC_SMPTE170M));
            // A QuickTime 'nclc' colour atom implies limited range; H.264 says it too.
            QVERIFY(movie.colorRange != AVCOL_RANGE_JPEG);
            QVERIFY(codec != h264 || movie.colorRange == AVCOL_RANGE_MPEG);
        }
    }

    void qualityReachesEveryFrame_data()
    {
        QTest::addColumn<CodecType>("codec");
        QTest::newRow("jpeg") << jpeg;
        QTest::newRow("h264KeepsLosslessCodingForLossless: h264") << h264;
        QTest::newRow("mpeg4") << mpeg4;
    }

    // Each frame at "Minimum" is smaller than the same frame at "Maximum", and
    // "Maximum" comes back closer to what was written; H.264 stays lossy High.
    void qualityReachesEveryFrame()
    {
        QFETCH(CodecType, codec);
        QTemporaryDir dir;
        QCOMPARE(record(dir.filePath("min.mov"), {0, 1, 2, 3}, codec, codecMinQuality), 4);
        QCOMPARE(record(dir.filePath("max.mov"), {0, 1, 2, 3}, codec, codecMaxQuality), 4);
        const MovieReader low(dir.filePath("min.mov"));
        const MovieReader high(dir.filePath("max.mov"));
        QCOMPARE(low.frames.size(), 4);
        QCOMPARE(high.frames.size(), 4);
        for (int i = 0; i < 4; ++i) {
            QVERIFY2(low.packetSizes.value(i) < high.packetSizes.value(i), qPrintable(QString::number(i)));
            QVERIFY(meanDifference(high.frames[i], expectedPicture(i)) < meanDifference(low.frames[i], expectedPicture(i)));
        }
        QVERIFY(codec != h264 || (low.profile == FF_PROFILE_H264_HIGH && high.profile == FF_PROFILE_H264_HIGH));
    }

    void failedRunsLeaveFilesAsTheyWere_data()
    {
        QTest::addColumn<CodecType>("existing"); // 0: no file; a movie of 2 frames; "text": not a movie
        QTest::addColumn<CodecType>("codec");
        QTest::addColumn<CodecQ>("quality");
        QTest::addColumn<QSize>("size");
        QTest::addColumn<int>("frames");
        QTest::addColumn<int>("written"); // -1: open failed
        QTest::addColumn<QString>("warning");
        const QSize size(64, 48);
        const CodecType none = 0;
        const QString append = "Unable to Append to the previous Track";
        const QString compression = "Unable to Get Compression Size";
        QTest::newRow("appendRefusesAnotherCodecOrSize: codec") << jpeg << raw << normal << size << 2 << -1 << append;
        QTest::newRow("appendRefusesAnotherCodecOrSize: size") << jpeg << jpeg << normal << QSize(32, 48) << 2 << -1 << append;
        QTest::newRow("appendRefusesAnotherCodecOrSize: no encoder") << jpeg << fourCC("SVQ3") << normal << size << 2 << -1 << append;
        // H.264 at another quality has other parameter sets: the coded stream could not go on.
        QTest::newRow("appendRefusesAnotherCodecOrSize: h264 quality") << h264 << h264 << codecMinQuality << size << 2 << -1 << append;
        QTest::newRow("writerDestroyedBeforeTheFirstFrameLeavesFilesAsTheyWere") << jpeg << jpeg << normal << size << 0 << 0 << "";
        QTest::newRow("writerDestroyedBeforeTheFirstFrameLeavesFilesAsTheyWere: new") << none << jpeg << normal << size << 0 << 0 << "";
        // A first frame that fails warns once, and no later frame is taken.
        QTest::newRow("failingFirstFrameWarnsOnceAndLeavesNothing: no Sorenson 3 encoder") << none << fourCC("SVQ3") << normal << size << 3 << 0 << compression;
        QTest::newRow("failingFirstFrameWarnsOnceAndLeavesNothing: unknown codec") << none << fourCC("xxxx") << normal << size << 3 << 0 << compression;
        QTest::newRow("failingFirstFrameWarnsOnceAndLeavesNothing: odd width for H.264") << none << h264 << normal << QSize(63, 48) << 3 << 0 << compression;
        QTest::newRow("failingFirstFrameWarnsOnceAndLeavesNothing: Cinepak takes multiples of 4") << none << fourCC("cvid") << normal << QSize(62, 48) << 3 << 0 << compression;
        QTest::newRow("openFailuresNameTheFailedStep: no pixels") << jpeg << jpeg << normal << QSize(64, 0) << 1 << -1 << "Unable to Create New Quick Time World From the Buffer: -50";
        QTest::newRow("openFailuresNameTheFailedStep: not a movie") << fourCC("text") << jpeg << normal << size << 1 << -1 << "Unable to Open Movie File: -2048";
    }

    void failedRunsLeaveFilesAsTheyWere()
    {
        QFETCH(CodecType, existing);
        QFETCH(CodecType, codec);
        QFETCH(CodecQ, quality);
        QFETCH(QSize, size);
        QFETCH(int, frames);
        QFETCH(QString, warning);
        QTemporaryDir dir;
        const QString path = dir.filePath("clip.mov");
        QFile text(path);
        if (existing == fourCC("text"))
            QVERIFY(text.open(QIODevice::WriteOnly) && text.write("not a movie") == 11 && text.flush());
        else if (existing)
            QCOMPARE(record(path, {0, 1}, existing), 2);
        const QByteArray before = contents(path);
        ModalRecorder rec;
        QTEST(record(path, QVector<int>(frames, 2), codec, quality, size), "written");
        QCOMPARE(warnings(rec), warning.isEmpty() ? QStringList() : QStringList{warning});
        QCOMPARE(contents(path), before);
        QCOMPARE(entries(dir.path()), existing ? QStringList{"clip.mov"} : QStringList());
    }

    // Road Pizza codes a block that did not change as a skip of the previous
    // frame's block; such a frame cannot be shown on its own, so it must not
    // be a sync sample. The first frame of each run is coded on its own.
    void onlyIndependentFramesAreSyncSamples()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath("still.mov");
        ModalRecorder rec;
        QCOMPARE(record(path, {1, 1, 1}, fourCC("rpza")), 3);
        QCOMPARE(record(path, {1, 1, 1}, fourCC("rpza")), 3);
        QVERIFY(rec.calls.isEmpty());
        const MovieReader movie(path);
        QCOMPARE(movie.packetSizes.size(), 6);
        QCOMPARE(movie.decodeErrors, 0);
        // The unchanged frames are skips, far smaller than the first of each run.
        QVERIFY(movie.packetSizes[1] * 4 < movie.packetSizes[0] && movie.packetSizes[4] * 4 < movie.packetSizes[3]);
        QCOMPARE(movie.keyPackets, 2);
        QCOMPARE(movie.frames.size(), 6);
        for (int i = 0; i < 6; ++i)
            QVERIFY2(meanDifference(movie.frames[i], expectedPicture(1)) < 12, qPrintable(QString::number(i)));
    }

    void fileWithoutVideoGetsANewTrack()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath("sound.mov");
        QCOMPARE(QProcess::execute("ffmpeg", {"-v", "error", "-f", "lavfi", "-i", "sine=duration=0.5:sample_rate=8000",
                                               "-c:a", "pcm_s16be", path}), 0);
        const int sound = MovieReader(path).otherPackets;
        QVERIFY(sound > 0);
        ModalRecorder rec;
        QCOMPARE(record(path, {0, 1}, raw), 2);
        QVERIFY(rec.calls.isEmpty());
        const MovieReader movie(path);
        QCOMPARE(movie.streams, 2);
        QCOMPARE(movie.otherPackets, sound); // the sound is kept
        QCOMPARE(movie.codec, raw);
        QCOMPARE(movie.duration, qint64(40)); // no earlier frames: nothing appended to
        QCOMPARE(movie.frames.size(), 2);
        QCOMPARE(movie.frames[0], expectedPicture(0));
    }

    void secondOpenIsRefusedAndTheFirstMovieGoesOn()
    {
        QTemporaryDir dir;
        ModalRecorder rec;
        delete new QTMovieFile; // shuts down nothing it did not start
        {
            TestWriter w;
            QVERIFY(!w.movie.writeFrame()); // not open: nothing
            QVERIFY(w.open(dir.filePath("first.mov"), raw) && w.frame(0));
            QVERIFY(!w.movie.open(w.pixels, k32BGRAPixelFormat, 64, 48, 64 * 4, dir.filePath("second.mov")));
            QVERIFY(w.frame(1));
        }
        QVERIFY(rec.calls.isEmpty());
        QCOMPARE(entries(dir.path()), QStringList{"first.mov"});
        const MovieReader movie(dir.filePath("first.mov"));
        QCOMPARE(movie.frames.size(), 2);
        QCOMPARE(movie.frames[1], expectedPicture(1));
    }

    // No folder to create the movie in; a folder that goes while the movie is
    // written (told at the end); one without write permission (root may
    // write anywhere).
    void openFailuresNameTheFailedStep()
    {
        QTemporaryDir dir;
        ModalRecorder rec;
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
    }

    void fixedRatios()
    {
        QCOMPARE(FixRatio(640, 1), Fixed(640 << 16));
        QCOMPARE(FixRatio(1, 2), Fixed(0x8000));
        QCOMPARE(FixRatio(-3, 4), Fixed(-0xC000));
        QCOMPARE(FixRatio(1, 0), Fixed(INT32_MAX));
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
};

QTEST_GUILESS_MAIN(TestQTMovieFile)
#include "tst_qtmoviefile.moc"
