#include "ViewFixture.h"

#include "commands/Cmd.h"
#include "model/Exporter.h"
#include "model/Glyph.h"
#include "model/GlyphPath.h"
#include "model/TextGroup.h"
#include "softtypes/SoftTypeFactory.h"
#include "support/TestSoftType.h"
#include "support/Typist.h"

#include <QImageReader>
#include <QTemporaryDir>
#include <QtTest>

#include <memory>

namespace {

// Play ticks every 33 ms; a few frames come well within this.
constexpr int Patience = 3000;

QStringList entryTexts(const QVorrelScene *scene)
{
    QStringList texts;
    for (int i = 0; i < scene->historyIndex(); ++i)
        texts << scene->history().at(i)->text();
    return texts;
}

// Counts the calls of a play run; begin answers as told.
struct CountingExporter : Exporter
{
    explicit CountingExporter(bool beginResult) : beginResult(beginResult) {}
    bool begin(QVorrelScene *) override { ++begins; return beginResult; }
    bool exportFrame(QVorrelScene *) override { ++frames; return true; }
    bool end() override { ++ends; return true; }
    bool beginResult;
    int begins = 0;
    int frames = 0;
    int ends = 0;
};

void playFrames(QVorrelView *view, int frames)
{
    view->setPlaying(true);
    for (int i = 0; i < frames; ++i)
        view->playFrame();
    view->setPlaying(false);
}

} // namespace

class TestViewPlay : public QObject
{
    Q_OBJECT

private slots:
    void ticksAdvanceFramesAndStepSoftTypes();
    void startingTwiceRunsOneTimer();
    void stoppingAStoppedViewDoesNothing();
    void eachRunIsOneUndoStep();
    void twirlFollowsTheHeldButton();
    void documentChangeMarksTitle();
    void exporterBracketsTheRun_data();
    void exporterBracketsTheRun();
    void sequenceFramesAreNumberedFiles_data();
    void sequenceFramesAreNumberedFiles();
    void unwritableFrameWarnsOnceAndDisarms();
    void nozzleClickWithoutIntervalPlacesOnePiece();
    void passageNozzleStartsAPassagePerTick();
};

void TestViewPlay::ticksAdvanceFramesAndStepSoftTypes()
{
    ViewFixture f;
    Typist::type(f.scene, QStringLiteral("I"));
    auto *probe = new TestSoftType(QStringLiteral("probe"));
    f.glyph(0)->addSoftType(probe);
    const int before = f.entries();

    f.view->setPlaying(true);
    QVERIFY(f.view->isPlaying());
    QCOMPARE(f.scene->playState(), 1);
    QCOMPARE(f.scene->frameCounter(), 0);
    QTRY_VERIFY_WITH_TIMEOUT(f.scene->frameCounter() >= 3, Patience);
    // One step of the SoftTypes per frame.
    QCOMPARE(probe->applied, f.scene->frameCounter());

    f.view->setPlaying(false);
    QVERIFY(!f.view->isPlaying());
    QCOMPARE(f.scene->playState(), 0);
    QCOMPARE(f.scene->frameCounter(), 0);
    QCOMPARE(f.entries(), before + 1);
    QCOMPARE(entryTexts(f.scene).last(), QStringLiteral("Apply SoftTypes"));
    const int applied = probe->applied;
    QTest::qWait(150);
    QCOMPARE(probe->applied, applied);
}

void TestViewPlay::startingTwiceRunsOneTimer()
{
    ViewFixture f;
    f.view->setPlaying(true);
    f.view->setPlaying(true);
    QTRY_VERIFY_WITH_TIMEOUT(f.scene->frameCounter() >= 1, Patience);
    f.view->setPlaying(false);
    // A second timer would go on counting frames after the stop.
    QTest::qWait(150);
    QCOMPARE(f.scene->frameCounter(), 0);
    QCOMPARE(entryTexts(f.scene), QStringList{QStringLiteral("Apply SoftTypes")});
}

void TestViewPlay::stoppingAStoppedViewDoesNothing()
{
    ViewFixture f;
    f.view->setPlaying(false);
    QCOMPARE(f.entries(), 0);
    QVERIFY(!f.view->isModified());
    QCOMPARE(f.view->windowTitle(), QStringLiteral("untitled"));
}

void TestViewPlay::eachRunIsOneUndoStep()
{
    ViewFixture f;
    Typist::type(f.scene, QStringLiteral("I"));
    Glyph *g = f.glyph(0);
    g->addSoftType(new TestSoftType(QStringLiteral("probe"), QPointF(2, 0)));
    const QPainterPath rest = g->path()->current;
    const int before = f.entries();

    for (int run = 0; run < 2; ++run) {
        const int frames = f.entries();
        f.view->setPlaying(true);
        QTRY_VERIFY_WITH_TIMEOUT(f.scene->frameCounter() >= 2, Patience);
        f.view->setPlaying(false);
        QCOMPARE(f.entries(), frames + 1);
    }
    QCOMPARE(entryTexts(f.scene).mid(before), QStringList({QStringLiteral("Apply SoftTypes"), QStringLiteral("Apply SoftTypes")}));
    QVERIFY(g->path()->current != rest);
    f.scene->undo();
    f.scene->undo();
    QCOMPARE(g->path()->current, rest);
}

void TestViewPlay::twirlFollowsTheHeldButton()
{
    ViewFixture f;
    Typist::type(f.scene, QStringLiteral("O"));
    Glyph *o = f.glyph(0);
    f.scene->restoreSelection({o});
    const std::unique_ptr<SoftType> twirl(SoftTypeFactory::create(QStringLiteral("Twirl"), QStringLiteral("Twirl-1")));
    f.scene->addSoftType(twirl.get());
    QCOMPARE(o->softTypes().size(), 1);
    const QPainterPath rest = o->path()->current;

    // The pointer beside the letter, where the twirl pulls hardest.
    const QPoint p = f.view->mapFromScene(o->sceneBoundingRect().center() + QPointF(20, 0));
    f.view->setPlaying(true);
    f.move(p, Qt::NoButton);
    QTest::qWait(150);
    // Twirl acts while the left button is held, which the view tells the scene.
    QCOMPARE(o->path()->current, rest);
    f.press(p);
    QTRY_VERIFY_WITH_TIMEOUT(o->path()->current != rest, Patience);
    f.release(p);
    QTest::qWait(60);
    const QPainterPath released = o->path()->current;
    QTest::qWait(150);
    QCOMPARE(o->path()->current, released);
    f.view->setPlaying(false);
    QCOMPARE(f.scene->history().at(f.entries() - 1)->text(), QStringLiteral("Apply SoftTypes"));
}

void TestViewPlay::documentChangeMarksTitle()
{
    ViewFixture f;
    f.scene->setFileName(QStringLiteral("/tmp/letters.vrl"));
    QVERIFY(!f.view->isModified());
    Typist::type(f.scene, QStringLiteral("a"));
    QCOMPARE(f.view->windowTitle(), QStringLiteral("letters*"));
    QVERIFY(f.view->isModified());
}

void TestViewPlay::exporterBracketsTheRun_data()
{
    QTest::addColumn<bool>("begins");
    QTest::newRow("begin succeeds") << true;
    QTest::newRow("begin fails") << false;
}

void TestViewPlay::exporterBracketsTheRun()
{
    QFETCH(bool, begins);
    ViewFixture f;
    auto *exporter = new CountingExporter(begins);
    f.scene->setExporter(6, exporter);
    f.scene->setExportArmed(true);
    playFrames(f.view.get(), 3);
    QCOMPARE(exporter->begins, 1);
    // A failed begin plays without export, and still gets its end.
    QCOMPARE(exporter->frames, begins ? 3 : 0);
    QCOMPARE(exporter->ends, 1);
    QCOMPARE(f.scene->exportArmed(), begins);
    QCOMPARE(f.scene->exportFrameNumber(), begins ? 3 : 0);
    QCOMPARE(entryTexts(f.scene), QStringList{QStringLiteral("Apply SoftTypes")});
}

void TestViewPlay::sequenceFramesAreNumberedFiles_data()
{
    QTest::addColumn<int>("kind");
    QTest::addColumn<QString>("suffix");
    QTest::addColumn<QByteArray>("format");
    QTest::newRow("BMP") << 1 << "bmp" << QByteArray("bmp");
    QTest::newRow("JPEG") << 2 << "jpg" << QByteArray("jpeg");
    QTest::newRow("PDF") << 3 << "pdf" << QByteArray();
    QTest::newRow("PNG") << 4 << "png" << QByteArray("png");
    QTest::newRow("TIFF") << 5 << "tif" << QByteArray("tiff");
}

void TestViewPlay::sequenceFramesAreNumberedFiles()
{
    QFETCH(int, kind);
    QFETCH(QString, suffix);
    QFETCH(QByteArray, format);
    ViewFixture f;
    QTemporaryDir dir;
    f.scene->setExportSettings(64, 48, 72);
    f.scene->setExportFileName(dir.filePath(QStringLiteral("clip.") + suffix));
    f.scene->setExporter(kind, nullptr);
    f.scene->setExportArmed(true);
    f.scene->setExportFrameNumber(9);
    playFrames(f.view.get(), 2);
    const QStringList expected = {QStringLiteral("clip_00009.") + suffix, QStringLiteral("clip_00010.") + suffix};
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files), expected);
    for (const QString &name : expected) {
        if (format.isEmpty()) {
            QFile pdf(dir.filePath(name));
            QVERIFY(pdf.open(QIODevice::ReadOnly));
            QCOMPARE(pdf.read(5), QByteArray("%PDF-"));
        } else {
            QCOMPARE(QImageReader(dir.filePath(name)).format(), format);
        }
    }
}

void TestViewPlay::unwritableFrameWarnsOnceAndDisarms()
{
    ViewFixture f;
    QTemporaryDir dir;
    QFile(dir.filePath(QStringLiteral("file"))).open(QIODevice::WriteOnly);
    f.scene->setExportSettings(32, 32, 72);
    f.scene->setExportFileName(dir.filePath(QStringLiteral("file/clip.png")));
    f.scene->setExporter(4, nullptr);
    f.scene->setExportArmed(true);
    ModalRecorder modal;
    playFrames(f.view.get(), 3);
    QCOMPARE(modalLog(modal), QStringList{"warning: Export Sequence: Unable to write the frame '"
                                          + dir.filePath(QStringLiteral("file/clip_00000.png"))
                                          + "'. The sequence export is turned off."});
    QVERIFY(!f.scene->exportArmed());
    QCOMPARE(f.scene->exportFrameNumber(), 1);
}

void TestViewPlay::nozzleClickWithoutIntervalPlacesOnePiece()
{
    ViewFixture f;
    f.host.interval = 0;
    f.host.pieces << QStringLiteral(" \t\n ") << QStringLiteral(" Hi ") << QStringLiteral("there");
    f.view->setNozzleArmed(true);
    const QPoint p = f.emptyPoint();
    // A piece of white space alone places nothing.
    f.press(p);
    f.release(p);
    QCOMPARE(f.entries(), 0);
    f.press(p);
    QTest::qWait(250);
    f.release(p);
    QCOMPARE(Typist::shape(f.scene->root()), QStringLiteral("(Hi)"));
    QCOMPARE(f.host.pieces.size(), 1);
    QCOMPARE(f.entries(), 1);
    QCOMPARE(f.glyph(0)->scenePos(), f.view->mapToScene(p));
}

void TestViewPlay::passageNozzleStartsAPassagePerTick()
{
    ViewFixture f;
    f.host.type = 4;
    f.host.interval = 20;
    for (int i = 0; i < 50; ++i)
        f.host.pieces << QStringLiteral("ab");
    f.view->setNozzleArmed(true);
    const QPoint p = f.emptyPoint();
    f.press(p);
    QTRY_VERIFY(f.scene->root()->count() >= 3);
    f.release(p);
    const int passages = f.scene->root()->count();
    QTest::qWait(100);
    // Each tick a passage of its own, at the pointer; the release stops it.
    QCOMPARE(f.scene->root()->count(), passages);
    QCOMPARE(f.entries(), passages);
    QCOMPARE(Typist::shape(f.scene->root()).split(QStringLiteral(" / ")).removeAll(QStringLiteral("(ab)")), passages);
}

QTEST_MAIN(TestViewPlay)
#include "tst_viewplay.moc"
