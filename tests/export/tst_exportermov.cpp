// The movie exporter driven as the play loop drives it, on a real scene, and
// movie files through crashes and links; movies are read back through
// libavformat.
#include "MovieReader.h"
#include "export/ExporterMOV.h"
#include "support/TestDocument.h"

#include <QTemporaryDir>
#include <QtTest>
#include <csignal>
#include <dlfcn.h>
#include <sys/wait.h>

namespace {

// This program's write, fsync and rename log what concerns movie files and
// can make the writing of a movie's temporary file fail, as on a full disk.
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

const int jpeg = int(fourCC("jpeg"));
const int raw = int(fourCC("raw "));
const CodecQ normal = codecNormalQuality;
const QColor blue(40, 160, 220);
const QColor yellow(230, 200, 30);

// A play run: begin, then per tick the frame counter, the SoftType step and
// the frame (the temporary file unwritable from tick failFrom on), then end
// unless told not to. How many frames exportFrame took, -1 when begin refused.
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

// JPEG keeps a flat colour within a few levels, a little more in chroma.
bool near(QRgb p, const QColor &c)
{
    return qAbs(qRed(p) - c.red()) <= 24 && qAbs(qGreen(p) - c.green()) <= 24 && qAbs(qBlue(p) - c.blue()) <= 24;
}

} // namespace

class TestExporterMOV : public QObject
{
    Q_OBJECT
private slots:
    void oneRun_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("movie");
        QTest::addColumn<int>("ppi");
        QTest::addColumn<int>("dotsPerMetre"); // ppi / 0.0254: 2834.65, 11811.02
        QTest::addColumn<bool>("clear");
        QTest::addColumn<QVector<int>>("reds");
        // Red at alpha 128 premultiplies to 128; over opaque black it stays 128,
        // over the frame before r' = 128 + r * 127 / 255, from a cleared buffer.
        const QVector<int> cleared{128, 128, 128};
        QTest::newRow("clearBackground: cleared") << "clip" << "clip.mov" << 72 << 2835 << true << cleared;
        QTest::newRow("clearBackground: not cleared") << "clip.MOV" << "clip.MOV" << 300 << 11811 << false << QVector<int>{128, 192, 224};
        QTest::newRow("mov inside the name") << "clip.mov.txt" << "clip.mov.txt.mov" << 72 << 2835 << true << cleared;
    }

    // A run of three raw 64 x 48 frames of a translucent red canvas: the
    // movie's name, the frames' resolution and what shows through the canvas.
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
        ExporterMOV exporter(normal, raw, false);
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
        // Export switched off during play: no end came. The next begin
        // finishes that run's movie, and the next run appends to it.
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
        ExporterMOV exporter(normal, jpeg, false);
        ExporterMOV again(normal, jpeg, second == 1);
        QVERIFY(!exporter.exportFrame(&doc.scene)); // no run yet
        QCOMPARE(play(exporter, doc.scene, 30, -1, second != 3), 30);
        doc.scene.setBackgroundColor(yellow);
        QCOMPARE(play(second == 1 || second == 2 ? again : exporter, doc.scene, 30), 30);
        QVERIFY(rec.calls.isEmpty());
        QCOMPARE(entries(dir.path()), QStringList{"clip.mov"});
        const MovieReader movie(dir.filePath("clip.mov"));
        QCOMPARE(movie.decodeErrors, 0);
        QCOMPARE(movie.frames.size(), frames);
        QCOMPARE(movie.duration, qint64(frames * 20));
        for (int i = 0; i < frames; ++i) {
            const QColor background = i < frames - 30 ? blue : yellow;
            const QImage &f = movie.frames.at(i);
            QVERIFY2(near(f.pixel(10, 10), background) && near(f.pixel(300, 220), background), qPrintable(QString::number(i)));
        }
        // The canvas fills the frame at 320 / 1024: black letters cover part of the text's box.
        const QRectF text = doc.scene.textSceneRect();
        const QRect box(QPointF(text.topLeft() * 0.3125).toPoint(), QPointF(text.bottomRight() * 0.3125).toPoint());
        int dark = 0;
        for (int y = box.top(); y <= box.bottom(); ++y)
            for (int x = box.left(); x <= box.right(); ++x)
                dark += qGray(movie.frames.first().pixel(x, y)) < 60;
        QVERIFY(dark > box.width() * box.height() / 10);
    }

    void failedRunLeavesTheMovie_data()
    {
        QTest::addColumn<int>("codec");
        QTest::addColumn<QSize>("size");
        QTest::addColumn<bool>("keepExisting");
        QTest::addColumn<int>("failFrom");
        QTest::addColumn<int>("accepted");
        QTest::addColumn<QStringList>("warnings");
        const QSize size(320, 240);
        QTest::newRow("size the codec cannot take") << int(fourCC("avc1")) << QSize(321, 240) << false << -1 << -1 << QStringList{"This codec cannot compress frames of 321 x 240 pixels."};
        QTest::newRow("size beyond the writer") << jpeg << QSize(40000, 10) << false << -1 << -1 << QStringList{"Unable to export frames of 40000 x 10 pixels."};
        QTest::newRow("appending another codec") << int(fourCC("mp4v")) << size << true << -1 << -1 << QStringList{"Unable to Append to the previous Track", "Unable to initialize Quicktime Graphics World"};
        QTest::newRow("run without frames") << jpeg << size << false << 0 << 0 << QStringList();
        // Raw frames of 320 x 240 outgrow the writer's output buffer: each one
        // reaches the file at once. Lost frames are told once, at the end.
        QTest::newRow("disk full in the run") << raw << size << false << 10 << 10 << QStringList{"20 of 30 frames could not be added to the movie.", "Unable to add Movie resource"};
    }

    void failedRunLeavesTheMovie()
    {
        QFETCH(int, codec);
        QFETCH(QSize, size);
        QFETCH(bool, keepExisting);
        QFETCH(int, failFrom);
        QTemporaryDir dir;
        Document doc(dir);
        ExporterMOV first(normal, jpeg, false);
        QCOMPARE(play(first, doc.scene, 3), 3);
        const QByteArray before = contents(dir.filePath("clip.mov"));
        ModalRecorder rec;
        doc.scene.setExportSettings(size.width(), size.height(), 72);
        ExporterMOV exporter(normal, codec, keepExisting);
        QTEST(play(exporter, doc.scene, failFrom == 0 ? 0 : 30, failFrom), "accepted");
        QTEST(warnings(rec), "warnings");
        QCOMPARE(contents(dir.filePath("clip.mov")), before);
        QCOMPARE(entries(dir.path()), QStringList{"clip.mov"});
        QCOMPARE(exporter.keepExisting(), keepExisting);
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
        QCOMPARE(record(path, {2}), 1); // and leaves a live writer's
        QCOMPARE(entries(dir.path()), now);
        QVERIFY(live.movie.finish());
        QCOMPARE(entries(dir.path()), (QStringList{"clip.mov", "other.mov"}));
        QCOMPARE(MovieReader(path).pictures(), (QVector<int>{0, 1, 5}));
        QVERIFY(rec.calls.isEmpty());
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

    // A movie named through links is written where they lead, the links
    // stay. Its new contents reach the disk before they take its name, and
    // the rename reaches the disk too.
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
};

QTEST_MAIN(TestExporterMOV)
#include "tst_exportermov.moc"
