// The movie exporter driven as the play loop drives it, on a real scene, and
// movie files through crashes and links; movies are read back through
// libavformat.
#include "MovieReader.h"
#include "export/ExporterMOV.h"
#include "export/QTMovieFile.h"
#include "support/ModalRecorder.h"
#include "support/TestDocument.h"

#include <QDir>
#include <QTemporaryDir>
#include <QtTest>
#include <csignal>
#include <dlfcn.h>
#include <sys/wait.h>
#include <unistd.h>

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
template<typename F>
F libc(const char *name)
{
    return reinterpret_cast<F>(dlsym(RTLD_NEXT, name));
}
} // namespace

extern "C" ssize_t write(int fd, const void *data, size_t size)
{
    if (failTempWrites && fd > 2 && pathOf(fd).contains("/.vorrel-movie-")) {
        errno = ENOSPC;
        return -1;
    }
    return libc<ssize_t (*)(int, const void *, size_t)>("write")(fd, data, size);
}
extern "C" int fsync(int fd)
{
    fileCalls << "fsync " + pathOf(fd);
    return libc<int (*)(int)>("fsync")(fd);
}
extern "C" int rename(const char *from, const char *to)
{
    fileCalls << QString("rename %1 %2").arg(QFile::decodeName(from), QFile::decodeName(to));
    return libc<int (*)(const char *, const char *)>("rename")(from, to);
}

namespace {

const int jpeg = int(fourCC("jpeg"));
const int raw = int(fourCC("raw "));
const QColor blue(40, 160, 220);
const QColor yellow(230, 200, 30);

// A play run: begin, then per tick the frame counter, the SoftType step and
// the frame (the temporary file unwritable from tick failFrom on), then end.
// How many frames exportFrame accepted, -1 when begin refused.
int play(Exporter &exporter, QVorrelScene &scene, int ticks, int failFrom = -1)
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

// The writer alone, 64 x 48 JPEG frames: frame i is a flat grey 40 * i.
struct Writer
{
    QVector<uchar> buffer = QVector<uchar>(64 * 48 * 4);
    QTMovieFile movie;
    bool open(const QString &path)
    {
        return movie.initQuickTime() && movie.open(buffer.data(), k32BGRAPixelFormat, 64, 48, 64 * 4, path);
    }
    bool frame(int i)
    {
        for (int p = 0; p < buffer.size(); ++p)
            buffer[p] = p % 4 == 3 ? 255 : uchar(40 * i);
        return movie.writeFrame();
    }
};
bool record(const QString &path, int first, int count)
{
    Writer w;
    bool ok = w.open(path);
    for (int i = first; ok && i < first + count; ++i)
        ok = w.frame(i);
    return ok && w.movie.finish();
}
QVector<int> greys(const QString &path)
{
    QVector<int> out;
    for (const QImage &f : MovieReader(path).frames)
        out << (qRed(f.pixel(32, 24)) + 20) / 40;
    return out;
}

QByteArray contents(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}
QStringList entries(const QString &dir)
{
    return QDir(dir).entryList(QDir::Files | QDir::Hidden | QDir::System);
}
QStringList texts(const ModalRecorder &rec)
{
    QStringList out;
    for (const ModalRecorder::Call &call : rec.calls)
        out << call.what + " " + call.title + ": " + call.text;
    return out;
}

} // namespace

class TestExporterMOV : public QObject
{
    Q_OBJECT
private slots:
    void movieNameAndResolution_data();
    void movieNameAndResolution();
    void playRunRecordsTheCanvas();
    void laterRunsAppend_data();
    void laterRunsAppend();
    void clearBackground_data();
    void clearBackground();
    void failedRunLeavesTheMovie_data();
    void failedRunLeavesTheMovie();
    void beginFinishesARunThatNeverEnded();
    void killedAppendLeavesTheMovieAndItsTempGoesNextTime();
    void storeFlushesBeforeTheRename();
    void linksAreWrittenThrough_data();
    void linksAreWrittenThrough();
};

void TestExporterMOV::movieNameAndResolution_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("movie");
    QTest::addColumn<int>("ppi");
    QTest::addColumn<int>("dotsPerMetre");
    QTest::newRow("no suffix") << "clip" << "clip.mov" << 72 << 2835; // 72 / 0.0254 = 2834.65
    QTest::newRow("upper case") << "clip.MOV" << "clip.MOV" << 300 << 11811; // 11811.02
    QTest::newRow("mov inside") << "clip.mov.txt" << "clip.mov.txt.mov" << 72 << 2835;
}

void TestExporterMOV::movieNameAndResolution()
{
    QFETCH(QString, name);
    QFETCH(QString, movie);
    QFETCH(int, ppi);
    QFETCH(int, dotsPerMetre);
    QTemporaryDir dir;
    Document doc(dir);
    doc.scene.setExportFileName(dir.filePath(name));
    doc.scene.setExportSettings(320, 240, ppi);
    ExporterMOV exporter(codecNormalQuality, jpeg, false);
    QVERIFY(exporter.begin(&doc.scene));
    QCOMPARE(exporter.frame().dotsPerMeterX(), dotsPerMetre);
    QCOMPARE(exporter.frame().dotsPerMeterY(), dotsPerMetre);
    QVERIFY(exporter.exportFrame(&doc.scene));
    QVERIFY(exporter.end());
    QCOMPARE(entries(dir.path()), QStringList{movie});
    QCOMPARE(doc.scene.exportFileName(), dir.filePath(name));
}

void TestExporterMOV::playRunRecordsTheCanvas()
{
    QTemporaryDir dir;
    Document doc(dir);
    doc.add("Vorrel", QPointF(100, 300));
    ModalRecorder rec;
    ExporterMOV exporter(codecNormalQuality, jpeg, false);
    QCOMPARE(play(exporter, doc.scene, 30), 30);
    QVERIFY(rec.calls.isEmpty());
    const MovieReader movie(dir.filePath("clip.mov"));
    QCOMPARE(movie.packets, 30);
    QCOMPARE(movie.timeBaseNum, 1);
    QCOMPARE(movie.timeBaseDen, 600);
    QCOMPARE(movie.duration, qint64(600)); // 1.0 s
    QCOMPARE(movie.decodeErrors, 0);
    QCOMPARE(movie.frames.size(), 30);
    // The canvas fills the frame at 320 / 1024: the background where there
    // is no text, and black letters covering part of the text's box.
    const QImage first = movie.frames.first();
    for (const QPoint &p : {QPoint(10, 10), QPoint(300, 220), QPoint(160, 40)})
        QVERIFY(near(first.pixel(p), blue));
    const QRectF text = doc.scene.textSceneRect();
    const QRect box(QPointF(text.topLeft() * 0.3125).toPoint(), QPointF(text.bottomRight() * 0.3125).toPoint());
    int dark = 0;
    for (int y = box.top(); y <= box.bottom(); ++y)
        for (int x = box.left(); x <= box.right(); ++x)
            dark += qGray(first.pixel(x, y)) < 60;
    QVERIFY(dark > box.width() * box.height() / 10);
}

void TestExporterMOV::laterRunsAppend_data()
{
    QTest::addColumn<int>("second"); // 0 the same exporter; a new one keeping (1) or not (2)
    QTest::addColumn<int>("frames");
    QTest::newRow("same exporter") << 0 << 60;
    QTest::newRow("same file chosen again") << 1 << 60;
    QTest::newRow("file chosen anew") << 2 << 30;
}

// A new movie in blue, then a second run in yellow.
void TestExporterMOV::laterRunsAppend()
{
    QFETCH(int, second);
    QFETCH(int, frames);
    QTemporaryDir dir;
    Document doc(dir);
    ModalRecorder rec;
    ExporterMOV exporter(codecNormalQuality, jpeg, false);
    ExporterMOV again(codecNormalQuality, jpeg, second == 1);
    QCOMPARE(play(exporter, doc.scene, 30), 30);
    doc.scene.setBackgroundColor(yellow);
    QCOMPARE(play(second ? again : exporter, doc.scene, 30), 30);
    QVERIFY(rec.calls.isEmpty());
    const MovieReader movie(dir.filePath("clip.mov"));
    QCOMPARE(movie.frames.size(), frames);
    QCOMPARE(movie.duration, qint64(frames * 20));
    for (int i = 0; i < frames; ++i)
        QVERIFY2(near(movie.frames.at(i).pixel(10, 10), i < frames - 30 ? blue : yellow),
                 qPrintable(QString::number(i)));
    QCOMPARE(entries(dir.path()), QStringList{"clip.mov"});
}

void TestExporterMOV::clearBackground_data()
{
    QTest::addColumn<bool>("clear");
    QTest::addColumn<QVector<int>>("reds");
    // Red at alpha 128 premultiplies to 128; over opaque black it stays 128,
    // over the frame before r' = 128 + r * 127 / 255, from a cleared buffer.
    QTest::newRow("cleared") << true << QVector<int>{128, 128, 128};
    QTest::newRow("not cleared") << false << QVector<int>{128, 192, 224};
}

void TestExporterMOV::clearBackground()
{
    QFETCH(bool, clear);
    QFETCH(QVector<int>, reds);
    QTemporaryDir dir;
    Document doc(dir, QColor(255, 0, 0, 128));
    doc.scene.setExportSettings(64, 48, 72);
    ExporterMOV exporter(codecNormalQuality, raw, false);
    exporter.setClearBackground(clear);
    QCOMPARE(play(exporter, doc.scene, 3), 3);
    const MovieReader movie(dir.filePath("clip.mov"));
    QCOMPARE(movie.frames.size(), 3);
    for (int i = 0; i < 3; ++i) {
        const QRgb p = movie.frames.at(i).pixel(32, 24);
        QVERIFY2(qAbs(qRed(p) - reds.at(i)) <= 1 && (p & 0xffff) == 0, qPrintable(QString::number(p, 16)));
    }
}

void TestExporterMOV::failedRunLeavesTheMovie_data()
{
    QTest::addColumn<int>("codec");
    QTest::addColumn<QSize>("size");
    QTest::addColumn<bool>("keepExisting");
    QTest::addColumn<int>("failFrom");
    QTest::addColumn<int>("accepted");
    QTest::addColumn<QStringList>("warnings");
    const QString w = "warning Quicktime Export: ";
    QTest::newRow("size the codec cannot take") << int(fourCC("avc1")) << QSize(321, 240) << false << -1 << -1
        << QStringList{w + "This codec cannot compress frames of 321 x 240 pixels."};
    QTest::newRow("size beyond the writer") << jpeg << QSize(40000, 10) << false << -1 << -1
        << QStringList{w + "Unable to export frames of 40000 x 10 pixels."};
    QTest::newRow("appending another codec") << int(fourCC("mp4v")) << QSize(320, 240) << true << -1 << -1
        << QStringList{w + "Unable to Append to the previous Track",
                       w + "Unable to initialize Quicktime Graphics World"};
    QTest::newRow("run without frames") << jpeg << QSize(320, 240) << false << 0 << 0 << QStringList();
    // Raw frames of 320 x 240 outgrow the writer's output buffer: each one
    // reaches the file at once. Lost frames are told once, at the end.
    QTest::newRow("disk full in the run") << raw << QSize(320, 240) << false << 10 << 10
        << QStringList{w + "20 of 30 frames could not be added to the movie.", w + "Unable to add Movie resource"};
}

void TestExporterMOV::failedRunLeavesTheMovie()
{
    QFETCH(int, codec);
    QFETCH(QSize, size);
    QFETCH(bool, keepExisting);
    QFETCH(int, failFrom);
    QFETCH(int, accepted);
    QFETCH(QStringList, warnings);
    QTemporaryDir dir;
    Document doc(dir);
    ExporterMOV first(codecNormalQuality, jpeg, false);
    QCOMPARE(play(first, doc.scene, 3), 3);
    const QByteArray before = contents(dir.filePath("clip.mov"));
    ModalRecorder rec;
    doc.scene.setExportSettings(size.width(), size.height(), 72);
    ExporterMOV exporter(codecNormalQuality, codec, keepExisting);
    QCOMPARE(play(exporter, doc.scene, failFrom == 0 ? 0 : 30, failFrom), accepted);
    QCOMPARE(texts(rec), warnings);
    QCOMPARE(contents(dir.filePath("clip.mov")), before);
    QCOMPARE(entries(dir.path()), QStringList{"clip.mov"});
    QCOMPARE(exporter.keepExisting(), keepExisting);
}

// Export switched off during play: no end came. The next begin finishes
// that run's movie, and the next run appends to it.
void TestExporterMOV::beginFinishesARunThatNeverEnded()
{
    QTemporaryDir dir;
    Document doc(dir);
    ModalRecorder rec;
    ExporterMOV exporter(codecNormalQuality, jpeg, false);
    QVERIFY(!exporter.exportFrame(&doc.scene));
    QVERIFY(exporter.begin(&doc.scene));
    for (int i = 0; i < 5; ++i)
        QVERIFY(exporter.exportFrame(&doc.scene));
    QCOMPARE(play(exporter, doc.scene, 4), 4);
    QVERIFY(rec.calls.isEmpty());
    QCOMPARE(MovieReader(dir.filePath("clip.mov")).packets, 9);
}

void TestExporterMOV::killedAppendLeavesTheMovieAndItsTempGoesNextTime()
{
    QTemporaryDir dir;
    const QString path = dir.filePath("clip.mov");
    ModalRecorder rec;
    QVERIFY(record(path, 0, 2));
    const QByteArray before = contents(path);
    int ready[2];
    QCOMPARE(pipe(ready), 0);
    const pid_t child = fork();
    if (child == 0) { // appends until killed, telling the parent after 4 frames
        close(ready[0]);
        Writer w;
        for (int i = 0; i < 2000 && (i > 0 || w.open(path)) && w.frame(i % 7); ++i)
            if (i == 3 && ::write(ready[1], "x", 1) == 1)
                pause();
        _exit(1);
    }
    close(ready[1]);
    char byte = 0;
    const bool appending = read(ready[0], &byte, 1) == 1;
    kill(child, SIGKILL);
    int status = 0;
    waitpid(child, &status, 0);
    close(ready[0]);
    QVERIFY(appending && WIFSIGNALED(status));
    QCOMPARE(contents(path), before);
    const QStringList left = entries(dir.path());
    QVERIFY(left.size() == 2 && left.at(0).startsWith(".vorrel-movie-"));
    QVERIFY(record(dir.filePath("other.mov"), 0, 1)); // another movie's write leaves it
    QCOMPARE(entries(dir.path()), left + QStringList{"other.mov"});
    Writer live; // the next write of this movie removes it
    QVERIFY(live.open(path) && live.frame(5));
    const QStringList now = entries(dir.path());
    QVERIFY(now.size() == 3 && !now.contains(left.at(0)));
    QVERIFY(record(path, 2, 1)); // and leaves a live writer's
    QCOMPARE(entries(dir.path()), now);
    QVERIFY(live.movie.finish());
    QCOMPARE(entries(dir.path()), (QStringList{"clip.mov", "other.mov"}));
    QCOMPARE(greys(path), (QVector<int>{0, 1, 5}));
    QVERIFY(rec.calls.isEmpty());
}

void TestExporterMOV::storeFlushesBeforeTheRename()
{
    QTemporaryDir dir;
    fileCalls.clear();
    QVERIFY(record(dir.filePath("clip.mov"), 0, 1));
    const QStringList log = fileCalls.filter(dir.path());
    QCOMPARE(log.size(), 3);
    const QString temp = log.at(0).mid(6);
    QVERIFY(temp.startsWith(dir.filePath(".vorrel-movie-")));
    QCOMPARE(log.mid(1), (QStringList{"rename " + temp + " " + dir.filePath("clip.mov"), "fsync " + dir.path()}));
}

void TestExporterMOV::linksAreWrittenThrough_data()
{
    QTest::addColumn<QStringList>("links"); // pairs: link, where it points (@ the folder)
    QTest::addColumn<bool>("existing");
    QTest::newRow("relative") << QStringList{"link.mov", "real/clip.mov"} << true;
    QTest::newRow("chain") << QStringList{"a.mov", "b.mov", "b.mov", "real/clip.mov"} << true;
    QTest::newRow("absolute") << QStringList{"link.mov", "@/real/clip.mov"} << true;
    QTest::newRow("to no file yet") << QStringList{"link.mov", "real/clip.mov"} << false;
}

void TestExporterMOV::linksAreWrittenThrough()
{
    QFETCH(QStringList, links);
    QFETCH(bool, existing);
    QTemporaryDir dir;
    QVERIFY(QDir(dir.path()).mkdir("real"));
    const QString target = dir.filePath("real/clip.mov");
    QVERIFY(!existing || record(target, 0, 2));
    for (int i = 0; i < links.size(); i += 2)
        QVERIFY(QFile::link(QString(links.at(i + 1)).replace('@', dir.path()), dir.filePath(links.at(i))));
    ModalRecorder rec;
    QVERIFY(record(dir.filePath(links.first()), 2, 1));
    QVERIFY(rec.calls.isEmpty());
    for (int i = 0; i < links.size(); i += 2)
        QVERIFY(QFileInfo(dir.filePath(links.at(i))).isSymLink());
    QCOMPARE(greys(target), existing ? (QVector<int>{0, 1, 2}) : QVector<int>{2});
    QCOMPARE(entries(dir.filePath("real")), QStringList{"clip.mov"});
    QCOMPARE(entries(dir.path()).size(), links.size() / 2);
}

QTEST_MAIN(TestExporterMOV)
#include "tst_exportermov.moc"
