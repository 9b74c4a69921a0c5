#include "ViewFixture.h"

#include "app/CanvasRenderer.h"
#include "app/DocumentOpener.h"
#include "commands/CmdMoveCaretPoint.h"
#include "model/Caret.h"
#include "model/DocumentStream.h"
#include "model/Exporter.h"
#include "model/GlyphIterator.h"
#include "model/GlyphPath.h"
#include "model/Grid.h"
#include "propertybrowser/QtVariantProperty.h"
#include "softtypes/SoftType.h"
#include "softtypes/SoftTypeFactory.h"
#include "support/TestSoftType.h"
#include "support/TreeDump.h"
#include "support/Typist.h"

#include <QElapsedTimer>
#include <QImageReader>
#include <QLineEdit>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QtTest>

#include <csignal>
#include <sys/resource.h>
#include <sys/stat.h>

namespace {

constexpr int DoubleClickInterval = 150; // short, so that waiting out a deferred click costs little

// Counts the calls of a play run; begin answers as told.
struct CountingExporter : Exporter
{
    explicit CountingExporter(bool beginResult) : beginResult(beginResult) {}
    bool begin(QVorrelScene *) override { ++begins; return beginResult; }
    bool exportFrame(QVorrelScene *) override { ++frames; return true; }
    bool end() override { ++ends; return true; }
    bool beginResult;
    int begins = 0, frames = 0, ends = 0;
};

void playFrames(QVorrelView *view, int frames)
{
    view->setPlaying(true);
    for (int i = 0; i < frames; ++i)
        view->playFrame();
    view->setPlaying(false);
}

} // namespace

// The document view: input, play with sequence export and the nozzle, rendering, saving, closing, opening.
class TestView : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { QApplication::setDoubleClickInterval(DoubleClickInterval); }

    // The deferred click: a left press on a glyph waits for the double-click interval, elsewhere it does not;
    // a second press or a move hands the waiting press over at once, a double click drops it.
    void clickOnGlyphWaitsForDoubleClickInterval()
    {
        ViewFixture f(QStringLiteral("HI"));
        // Two quick clicks too far apart for a double click: each places the caret, the first first.
        f.scene->executeCommand(new CmdMoveCaretPoint(f.scene, 0, 300));
        f.click(f.over(0));
        f.press(f.over(1));
        QVERIFY(f.entries() == 4 && f.scene->textPointer().glyph == f.glyph(0));
        f.release(f.over(1));
        QTRY_COMPARE_WITH_TIMEOUT(f.entries(), 5, 5 * DoubleClickInterval);
        QCOMPARE(f.scene->textPointer().glyph, f.glyph(1));
        QTest::qWait(2 * DoubleClickInterval);
        QCOMPARE(f.entries(), 5);

        const QPointF empty = f.view->mapToScene(f.emptyPoint());
        f.press(f.emptyPoint());
        QCOMPARE(f.scene->pressPoint(), empty);
        f.release(f.emptyPoint());
        QVERIFY(f.entries() == 6 && f.scene->caret()->scenePos().x() == empty.x());
        QElapsedTimer clock;
        clock.start();
        f.click(f.over(0));
        QVERIFY(f.scene->pressPoint() == empty && f.entries() == 6);
        QTRY_COMPARE_WITH_TIMEOUT(f.entries(), 7, 5 * DoubleClickInterval);
        QVERIFY2(clock.elapsed() >= DoubleClickInterval * 9 / 10, qPrintable(QString::number(clock.elapsed())));
        // Press first, release right after: the caret goes behind the glyph. A release handed over
        // before its press would have pulled a rubber band from the old press point instead.
        QCOMPARE(f.scene->pressPoint(), f.view->mapToScene(f.over(0)));
        QVERIFY(f.scene->textPointer().glyph == f.glyph(0) && f.scene->selectedObjects().isEmpty());

        // A double click drops the waiting press: it alone reaches the scene and selects; the caret stays.
        f.click(f.over(1));
        f.doubleClick(f.over(1));
        f.release(f.over(1));
        QTest::qWait(2 * DoubleClickInterval);
        QCOMPARE(f.entries(), 8);
        QCOMPARE(f.scene->selectedObjects(), QList<TextObject *>{f.glyph(1)});
        QCOMPARE(f.scene->textPointer().glyph, f.glyph(0));

        // A drag moves from the press point, 30 pixels at scale 1, and leaves no press to come later.
        Glyph *h = f.glyph(0);
        f.scene->restoreSelection({h});
        const QPointF start = h->pos();
        const QPoint p = f.over(0);
        f.press(p);
        f.move(p + QPoint(30, 0), Qt::LeftButton);
        QCOMPARE(f.scene->pressPoint(), f.view->mapToScene(p));
        f.release(p + QPoint(30, 0));
        QTest::qWait(2 * DoubleClickInterval);
        QCOMPARE(f.entries(), 9);
        QCOMPARE(h->pos(), start + QPointF(30, 0));
        // While playing a press goes at once to the scene, which ignores it, never later to the stopped scene.
        f.view->setPlaying(true);
        f.press(f.over(1));
        f.view->setPlaying(false);
        QTest::qWait(2 * DoubleClickInterval);
        QCOMPARE(f.scene->pressPoint(), f.view->mapToScene(p));
    }

    // Dragging by (50, 20), then (10, -10), shows what lies right and below, in canvas units; not while playing.
    void middleButtonPans()
    {
        const struct { QTransform transform; bool playing; QPointF offset; } rows[] = {
            {QTransform(), false, QPointF(60, 10)}, {QTransform::fromScale(2, 4), false, QPointF(30, 2.5)},
            {QTransform(), true, QPointF()}};
        for (const auto &row : rows) {
            ViewFixture f;
            f.view->setTransform(row.transform);
            f.view->setPlaying(row.playing);
            f.move(QPoint(400, 300), Qt::NoButton);
            const QPointF heard = f.scene->mousePosition();
            f.press(QPoint(400, 300), Qt::MiddleButton);
            f.move(QPoint(350, 280), Qt::MiddleButton);
            f.move(QPoint(340, 290), Qt::MiddleButton);
            QCOMPARE(f.view->viewOffset(), row.offset);
            QCOMPARE(f.centreOff(QPointF(512, 384) + row.offset), QString());
            // A pan is the view's own: the scene hears the moves only while playing.
            QCOMPARE(f.scene->mousePosition(), row.playing ? f.view->mapToScene(QPoint(340, 290)) : heard);
            f.release(QPoint(340, 290), Qt::MiddleButton);
            f.move(QPoint(300, 290), Qt::NoButton);
            QCOMPARE(f.view->viewOffset(), row.offset);
            QCOMPARE(f.scene->mousePosition(), f.view->mapToScene(QPoint(300, 290)));
        }
    }

    // Up by 1 zooms in, zero and down zoom out, the larger delta counts; the point under the cursor stays.
    void wheelZoomKeepsPointUnderCursor()
    {
        const struct { QPoint delta; double scale; } rows[] = {
            {QPoint(0, 1), 1.15}, {QPoint(0, 0), 1 / 1.15}, {QPoint(0, -120), 1 / 1.15}, {QPoint(120, -60), 1.15}};
        for (const auto &row : rows) {
            ViewFixture f;
            const QPoint p(123, 77);
            const QPointF before = f.view->mapToScene(p);
            f.wheel(p, row.delta);
            QCOMPARE(QPointF(f.view->transform().m11(), f.view->transform().m22()), QPointF(row.scale, row.scale));
            // Within one pixel, as the view scrolls in whole pixels; the viewport centre is canvas centre + offset.
            const QPointF moved = f.view->mapToScene(p) - before;
            QVERIFY2(qAbs(moved.x()) <= 1 / row.scale && qAbs(moved.y()) <= 1 / row.scale,
                     qPrintable(QStringLiteral("moved by %1, %2").arg(moved.x()).arg(moved.y())));
            QCOMPARE(f.centreOff(QPointF(512, 384) + f.view->viewOffset(), 1 / row.scale), QString());
        }
    }

    void offsetAndZoomKeepTheCentre()
    {
        ViewFixture f;
        QCOMPARE(f.centreOff(QPointF(512, 384)), QString());
        QVERIFY(f.view->viewport()->hasMouseTracking() && f.view->testAttribute(Qt::WA_DeleteOnClose));
        // A middle double click resets both zoom and offset.
        f.view->zoomIn(QPointF(100, 100));
        f.view->setViewOffset(QPointF(70, -30));
        f.doubleClick(QPoint(200, 200), Qt::MiddleButton);
        QVERIFY(f.view->transform() == QTransform() && f.view->viewOffset() == QPointF(0, 0));
        QCOMPARE(f.centreOff(QPointF(512, 384)), QString());
        // At scale 4 a half unit would show: 1023 / 2 = 511 and 767 / 2 = 383, not 511.5 and 383.5.
        f.scene->setScreenSize(1023, 767);
        f.view->setTransform(QTransform::fromScale(4, 4));
        f.view->setViewOffset(QPointF(-7, 12));
        QCOMPARE(f.centreOff(QPointF(504, 395), 0.2), QString());
        f.view->centerCanvas();
        QCOMPARE(f.centreOff(QPointF(511, 383), 0.2), QString());
        // A new canvas size moves the canvas centre; the next resize follows it.
        f.view->setTransform(QTransform());
        f.view->setViewOffset(QPointF(40, -25));
        f.scene->setScreenSize(800, 600);
        f.view->resize(700, 500);
        QApplication::processEvents();
        QCOMPARE(f.centreOff(QPointF(440, 275)), QString());
        // The scene knows the buttons held after every mouse event.
        const Qt::MouseButton n = Qt::NoButton, l = Qt::LeftButton, r = Qt::RightButton, m = Qt::MiddleButton;
        const QEvent::Type press = QEvent::MouseButtonPress, release = QEvent::MouseButtonRelease, move = QEvent::MouseMove,
                           dbl = QEvent::MouseButtonDblClick;
        const struct { QEvent::Type type; Qt::MouseButton button; Qt::MouseButtons buttons; } events[] = {
            {press, r, r}, {press, l, l | r}, {move, n, l | r}, {release, r, l}, {release, l, n},
            {dbl, l, l},   {release, l, n},   {press, m, m},    {move, n, m},    {release, m, n}};
        for (const auto &e : events) {
            f.mouse(e.type, f.emptyPoint(), e.button, e.buttons);
            QCOMPARE(f.scene->mouseButtons(), e.buttons);
        }
    }

    // "AB", caret after B, B selected or not; the result: the shape, B's move (while B is there), entries added.
    // A line edit beside the view: Tab would move the focus on to it, in the view it is a character.
    void keyTable()
    {
        const int none = Qt::NoModifier, shift = Qt::ShiftModifier, ctrl = Qt::ControlModifier;
        const struct { const char *name; int key, modifiers; const char *text; bool selectB; const char *result; } rows[] = {
            {"Delete, nothing selected", Qt::Key_Delete, none, "\x7f", false, "(AB) 0,0 +0"},
            {"Delete, B selected", Qt::Key_Delete, none, "\x7f", true, "(A) +1"},
            {"Backspace, nothing selected", Qt::Key_Backspace, none, "\b", false, "(A) +1"},
            {"Tab, B selected", Qt::Key_Tab, none, "\t", true, "(AB)> 0,0 +1"},
            {"Space, B selected", Qt::Key_Space, none, " ", true, "(AB)_ 0,0 +1"},
            {"Return", Qt::Key_Return, none, "\r", false, "(AB)| 0,0 +1"},
            // Arrows move a selection, ten units with Shift. Without one Left and Right move the caret (a step
            // only when it moves) and Up and Down scroll the base view.
            {"Left, B selected", Qt::Key_Left, none, "", true, "(AB) -1,0 +1"},
            {"Shift+Right, B selected", Qt::Key_Right, shift, "", true, "(AB) 10,0 +1"},
            {"Up, B selected", Qt::Key_Up, none, "", true, "(AB) 0,-1 +1"},
            {"Shift+Down, B selected", Qt::Key_Down, shift, "", true, "(AB) 0,10 +1"},
            {"Left, nothing selected", Qt::Key_Left, none, "", false, "(AB) 0,0 +1"},
            {"Right at the end", Qt::Key_Right, none, "", false, "(AB) 0,0 +0"},
            {"Up, nothing selected", Qt::Key_Up, none, "", false, "(AB) 0,0 +0"},
            // Ctrl hands every key to the base view, which edits nothing.
            {"Ctrl+Right, B selected", Qt::Key_Right, ctrl, "", true, "(AB) 0,0 +0"},
            // Any other key types its text; a control character is none (Escape adds no invisible glyph).
            {"letter, B selected", Qt::Key_C, shift, "C", true, "(ABC) 0,0 +1"},
            {"Backtab types its tab", Qt::Key_Backtab, shift, "\t", false, "(AB)> 0,0 +1"},
            {"keypad Enter", Qt::Key_Enter, Qt::KeypadModifier, "\r", false, "(AB)| 0,0 +1"},
            {"Escape", Qt::Key_Escape, none, "\x1b", false, "(AB) 0,0 +0"},
        };
        for (const auto &row : rows) {
            ViewFixture f(QStringLiteral("AB"));
            QLineEdit beside(f.view.get());
            beside.show();
            Glyph *b = f.glyph(1);
            if (row.selectB)
                f.scene->restoreSelection({b});
            const QPointF bPos = b->pos();
            const int before = f.entries();
            f.key(row.key, Qt::KeyboardModifiers(row.modifiers), row.text);
            QString result = Typist::shape(f.scene->root());
            if (result.startsWith(QStringLiteral("(AB")))
                result += QStringLiteral(" %1,%2").arg(b->pos().x() - bPos.x()).arg(b->pos().y() - bPos.y());
            result += QStringLiteral(" +%1").arg(f.entries() - before);
            QVERIFY2(result == row.result, qPrintable(row.name + (": " + result)));
        }
    }

    void eachRunIsOneUndoStep()
    {
        ViewFixture f(QStringLiteral("I"));
        Glyph *g = f.glyph(0);
        auto *probe = new TestSoftType(QStringLiteral("probe"), QPointF(2, 0));
        g->addSoftType(probe);
        const QPainterPath rest = g->path()->current;
        const int before = f.entries();
        f.view->setPlaying(false);
        QCOMPARE(f.entries(), before);
        for (int run = 1; run <= 2; ++run) {
            // Started twice: a second timer would go on counting after the stop.
            const int applied = probe->applied;
            f.view->setPlaying(true);
            f.view->setPlaying(true);
            QCOMPARE(f.scene->playState(), 1);
            QTRY_VERIFY_WITH_TIMEOUT(f.scene->frameCounter() >= 3, 3000);
            // One step of the SoftTypes per frame of the 33 ms timer.
            QCOMPARE(probe->applied - applied, f.scene->frameCounter());
            f.view->setPlaying(false);
            QVERIFY(!f.view->isPlaying() && f.scene->playState() == 0);
            const int stopped = probe->applied;
            QTest::qWait(150);
            QVERIFY(f.scene->frameCounter() == 0 && probe->applied == stopped);
            QCOMPARE(f.entries(), before + run);
            QCOMPARE(f.scene->history().last()->text(), QStringLiteral("Apply SoftTypes"));
        }
        QVERIFY(g->path()->current != rest);
        f.scene->undo();
        f.scene->undo();
        QCOMPARE(g->path()->current, rest);
    }

    void exporterBracketsTheRun()
    {
        for (const bool begins : {true, false}) {
            ViewFixture f;
            auto *exporter = new CountingExporter(begins);
            f.scene->setExporter(6, exporter);
            f.scene->setExportArmed(true);
            playFrames(f.view.get(), 3);
            // A failed begin plays without export, and still gets its end.
            QCOMPARE(QString("begin %1 frames %2 end %3, armed %4, frame number %5, entries %6")
                         .arg(exporter->begins).arg(exporter->frames).arg(exporter->ends)
                         .arg(f.scene->exportArmed()).arg(f.scene->exportFrameNumber()).arg(f.entries()),
                     begins ? "begin 1 frames 3 end 1, armed 1, frame number 3, entries 1"
                            : "begin 1 frames 0 end 1, armed 0, frame number 0, entries 1");
        }
    }

    // Each frame of an armed sequence export is a numbered file of the kind's format (a PDF by its
    // header); a frame that cannot be written is reported once and disarms the export.
    void sequenceFramesAreNumberedFiles()
    {
        const struct { int kind; const char *fileName, *result; } rows[] = {
            {1, "clip.bmp", "clip_00009.bmp bmp, clip_00010.bmp bmp; 11 armed"},
            {2, "clip.jpg", "clip_00009.jpg jpeg, clip_00010.jpg jpeg; 11 armed"},
            {3, "clip.pdf", "clip_00009.pdf %PDF-, clip_00010.pdf %PDF-; 11 armed"},
            {4, "clip.png", "clip_00009.png png, clip_00010.png png; 11 armed"},
            {5, "clip.tif", "clip_00009.tif tiff, clip_00010.tif tiff; 11 armed"},
            {4, "missing/clip.png", "; 10 warning: Export Sequence: Unable to write the frame " // guards: unwritableFrameWarnsOnceAndDisarms
                                    "'DIR/missing/clip_00009.png'. The sequence export is turned off."}};
        for (const auto &row : rows) {
            ViewFixture f;
            QTemporaryDir dir;
            f.scene->setExportSettings(64, 48, 72);
            f.scene->setExportFileName(dir.filePath(row.fileName));
            f.scene->setExporter(row.kind, nullptr);
            f.scene->setExportArmed(true);
            f.scene->setExportFrameNumber(9);
            ModalRecorder modal;
            playFrames(f.view.get(), 2);
            QStringList files;
            for (const QString &name : QDir(dir.path()).entryList(QDir::Files)) {
                QFile file(dir.filePath(name));
                QVERIFY(file.open(QIODevice::ReadOnly));
                files << name + ' ' + (name.endsWith("pdf") ? file.read(5) : QImageReader(&file).format());
            }
            QString armed = f.scene->exportArmed() ? QStringLiteral(" armed") : modalLog(modal).join('\n').prepend(' ');
            armed.replace(dir.path(), "DIR");
            QCOMPARE(files.join(", ") + "; " + QString::number(f.scene->exportFrameNumber()) + armed, QString(row.result));
        }
    }

    void nozzleClickWithoutIntervalPlacesOnePiece()
    {
        ViewFixture f;
        f.host.interval = 0;
        f.host.pieces << QStringLiteral(" \t\n ") << QStringLiteral(" H\r\ni ") << QStringLiteral("there");
        f.view->setNozzleArmed(true);
        const QPoint p = f.emptyPoint();
        // A piece of white space alone places nothing; CR LF is one line break.
        f.click(p);
        QCOMPARE(f.entries(), 0);
        f.press(p);
        QTest::qWait(250);
        f.release(p);
        QCOMPARE(Typist::shape(f.scene->root()), QStringLiteral("(H)|(i)"));
        QVERIFY(f.host.pieces.size() == 1 && f.entries() == 1 && f.glyph(0)->scenePos() == f.view->mapToScene(p));

        // With an interval the passage nozzle places a passage at each tick, one undo step each, until the release.
        f.host.type = 4;
        f.host.interval = 20;
        f.host.pieces.clear();
        f.host.pieces.append(QVector<QString>(50, QStringLiteral("ab")).toList());
        f.press(p);
        QTRY_VERIFY(f.scene->root()->count() >= 4);
        f.release(p);
        const int passages = f.scene->root()->count();
        QTest::qWait(100);
        QVERIFY(f.scene->root()->count() == passages && f.entries() == passages);
        QCOMPARE(Typist::shape(f.scene->root()).split(QStringLiteral(" / ")).removeAll(QStringLiteral("(ab)")), passages - 1);
    }

    void pdfPageHasTheExactSizeInWholePoints()
    {
        // Sides truncated to whole points: 1003 / 300 x 72 = 240.72 and 500 / 300 x 72 = 120, no paper size
        // near it; 597 x 842 is near A4; 1 / 300 x 72 = 0.24 keeps one point.
        const QString name = m_dir.filePath(QStringLiteral("page.pdf"));
        QStringList boxes;
        for (const QVector<int> &size : {QVector<int>{1003, 500, 300}, QVector<int>{597, 842, 72}, QVector<int>{1, 1, 300}}) {
            m_scene.setExportSettings(size[0], size[1], size[2]);
            QVERIFY(CanvasRenderer::renderToPDF(&m_scene, name));
            const QByteArray bytes = contents(name);
            const QRegularExpressionMatch box = QRegularExpression(QStringLiteral("/MediaBox \\[([^\\]]*)\\]"))
                                                    .match(QString::fromLatin1(bytes.constData(), bytes.size()));
            for (const QString &side : box.captured(1).split(QLatin1Char(' ')))
                boxes << QString::number(side.toDouble());
        }
        QCOMPARE(boxes.join(' '), QStringLiteral("0 0 240 120 0 0 597 842 0 0 1 1"));
        // guards: refusesWhatCannotBeRendered. Resolution 0 and too large are told; a file that cannot be written (no
        // such folder) is the caller's to report. A PDF page of 40000 points a side is drawn; one of 999999999 / 1 x 72
        // points, past what a page layout holds, is refused as the image is.
        const struct { int side, resolution; const char *warning; } rows[] = {
            {100, 0, "The export resolution must be at least 1 pixel per inch."},
            {40000, 72, "An image of 40000 x 40000 pixels is too large to export."},
            {999999999, 1, "An image of 999999999 x 999999999 pixels is too large to export."}, {10, 72, ""}};
        for (const auto &row : rows) {
            m_scene.setExportSettings(row.side, row.side, row.resolution);
            const QString name = m_dir.filePath(*row.warning ? QStringLiteral("refused") : QStringLiteral("missing/frame"));
            ModalRecorder modal;
            QVERIFY(!CanvasRenderer::renderToImage(&m_scene, QStringLiteral("PNG"), name));
            const QStringList expected = *row.warning ? QStringList{QStringLiteral("warning: Export: ") + row.warning} : QStringList();
            QCOMPARE(modalLog(modal), expected);
            const bool drawn = row.side == 40000;
            QCOMPARE(CanvasRenderer::renderToPDF(&m_scene, name), drawn);
            QCOMPARE(modalLog(modal), drawn ? expected : expected + expected);
            QVERIFY(QFile::remove(name) == drawn);
        }
    }

    void imageShowsTheCanvasWithoutExtras()
    {
        // A square canvas on a wide image: transparent bands on both sides.
        QVorrelScene scene(-32768, -32768, 65535, 65535);
        scene.setScreenSize(100, 100);
        scene.setExportSettings(200, 100, 72);
        scene.setFont(QFont(QStringLiteral("Arial"), 30));
        scene.placeCaretAt(10, 80);
        Typist::type(&scene, QStringLiteral("I"));
        scene.selectAll(1, 2);
        scene.toggleGridVisible();
        const QString name = m_dir.filePath(QStringLiteral("canvas.png"));
        QVERIFY(CanvasRenderer::renderToImage(&scene, QStringLiteral("PNG"), name));
        const QImage image(name);
        QVERIFY(image.size() == QSize(200, 100) && image.dotsPerMeterX() == 2835 && image.dotsPerMeterY() == 2835);
        QVERIFY(qAlpha(image.pixel(10, 50)) == 0 && qAlpha(image.pixel(190, 50)) == 0);
        // Right of the letter white canvas, no caret, grid or selection box; the letter black left of it.
        bool black = false;
        for (int x = 50; x < 149; ++x)
            for (int y = 1; y < 99; ++y) {
                if (x >= 100)
                    QCOMPARE(image.pixel(x, y), qRgb(255, 255, 255));
                black |= image.pixel(x, y) == qRgb(0, 0, 0);
            }
        QVERIFY(black && scene.grid()->isVisible() && scene.caret()->isVisible());
    }

    // Documents edited at random: typing, deleting, moving, hiding, locking, a Pull on every glyph
    // (spaces included) and play runs that move them.
    void editedDocumentsReadBackAndSaveIdentically()
    {
        std::unique_ptr<SoftType> pull(SoftTypeFactory::create(QStringLiteral("pull"), QStringLiteral("pull-1")));
        pull->property(QStringLiteral("trigger"))->setValue(0);
        bool separatorMoved = false;
        for (quint32 seed = 1; seed <= 6; ++seed) {
            ViewFixture f;
            QVorrelScene *s = f.scene;
            QRandomGenerator random(seed);
            for (int step = 0; step < 60; ++step) {
                const int what = int(random.bounded(8));
                if (what < 3)
                    s->insertStringAtCaret(QString(QStringLiteral("ab \tc\rd e").at(int(random.bounded(9)))));
                else if (what == 3)
                    s->backspace();
                else if (what == 4)
                    s->selectAll(1, 2 + int(random.bounded(3)));
                s->moveSelected(float(random.bounded(9)) - 4, float(random.bounded(9)) - 4);
                if (what == 5) {
                    s->selectAll(1, 2);
                    s->addSoftType(pull.get());
                } else if (what == 6) {
                    s->setMousePosition(QPointF(random.bounded(400), random.bounded(300)));
                    playFrames(f.view.get(), 4);
                } else if (what == 7) {
                    s->selectAll(1, 2);
                    const QList<TextObject *> all = s->selectedObjects();
                    if (!all.isEmpty()) {
                        s->restoreSelection({all.at(int(random.bounded(all.size())))});
                        random.bounded(2) ? s->hideSelected() : s->lockSelected();
                    }
                    s->selectAll(1, 0);
                }
            }
            // A space, tab or line break has a one-point outline.
            for (GlyphIterator it(s->root(), TextIterator::Forward | TextIterator::PostOrder); it.hasNext();) {
                const GlyphPath *p = it.next()->path();
                separatorMoved |= p->rest.elementCount() == 1 && p->current != p->rest;
            }
            const QString first = m_dir.filePath(QStringLiteral("first.vrl")), second = m_dir.filePath(QStringLiteral("second.vrl"));
            QVERIFY(f.view->saveToFile(first, true));
            QByteArray body;
            QDataStream out(&body, QIODevice::WriteOnly);
            out.setVersion(QDataStream::Qt_4_6);
            out << *s;
            QCOMPARE(contents(first), QByteArray::fromHex("00564F5200000064") + body);

            ModalRecorder modal;
            const std::unique_ptr<QVorrelView> opened(DocumentOpener::open(first));
            QVERIFY2(opened, qPrintable(modalLog(modal).join('\n')));
            VERIFY_SAME_TREE(TreeDump::of(opened->scene()->root()), TreeDump::of(s->root()));
            QCOMPARE(opened->scene()->fileName(), first);
            QVERIFY(opened->windowTitle() == "first" && !opened->isModified() && opened->scene()->historyIndex() == 0);
            QVERIFY(opened->saveToFile(second, true));
            QCOMPARE(contents(second), contents(first));
        }
        QVERIFY2(separatorMoved, "no run moved the outline of a space, tab or line break");
    }

    // A file that is no readable document is reported and opens nothing (the window only adds what opened); a
    // later version than 100 is read like 100.
    void refusesUnreadableFiles()
    {
        ViewFixture f;
        Typist::type(f.scene, QStringLiteral("ab"));
        QByteArray body;
        QDataStream out(&body, QIODevice::WriteOnly);
        out.setVersion(QDataStream::Qt_4_6);
        out << *f.scene;
        const struct { const char *name; QByteArray bytes; const char *message, *path = nullptr; } rows[] = {
            {"missingFileReportsWhy", QByteArray(), "No such file or directory"}, {"empty file", "", "Not a Vorrel file"},
            {"version 99", QByteArray::fromHex("00564F5200000063") + body, "Unsupported file version."},
            {"laterVersionReadsLike100", QByteArray::fromHex("00564F52000000FA") + body, nullptr},
            {"version 101, body cut short", QByteArray::fromHex("00564F5200000065") + QByteArray(7, '\0'), "The file is damaged or incomplete."},
            {"fifoIsRefusedWithoutBlocking", QByteArray(), "Not a regular file", "pipe.vrl"}, {"device", QByteArray(), "Not a regular file", "/dev/zero"},
            {"directory", QByteArray(), "file to open is a directory", "."}};
        QCOMPARE(mkfifo(qPrintable(m_dir.filePath(QStringLiteral("pipe.vrl"))), 0600), 0);
        for (const auto &row : rows) {
            const QString name = QDir(m_dir.path()).filePath(QLatin1String(row.path ? row.path : "bad.vrl"));
            QVERIFY(row.path || !QFile::exists(name) || QFile::remove(name));
            QVERIFY(row.bytes.isNull() || writeFile(name, row.bytes));
            ModalRecorder modal;
            const std::unique_ptr<QVorrelView> view(DocumentOpener::open(name));
            QVERIFY2(bool(view) == !row.message, row.name);
            QCOMPARE(modalLog(modal), row.message ? QStringList{QStringLiteral("information: Unable to open file: ") + row.message} : QStringList());
            QVERIFY(!view || view->scene()->root()->text() == "ab");
        }
    }

    // Disk full (a read-only folder does not stop root: a file size limit stops anyone) and a folder that is a file.
    void failedSaveKeepsTheOldFile()
    {
        for (const QString &target : {QString(), QStringLiteral("old.vrl/new.vrl")}) {
            ViewFixture f;
            QTemporaryDir dir;
            const QString old = dir.filePath(QStringLiteral("old.vrl"));
            QVERIFY(f.view->saveToFile(old, true));
            const QByteArray before = contents(old);
            Typist::type(f.scene, QStringLiteral("more than the limit allows"));
            rlimit saved{};
            getrlimit(RLIMIT_FSIZE, &saved);
            rlimit limit = saved;
            limit.rlim_cur = rlim_t(before.size());
            std::signal(SIGXFSZ, SIG_IGN);
            QCOMPARE(setrlimit(RLIMIT_FSIZE, target.isEmpty() ? &limit : &saved), 0);
            ModalRecorder modal;
            const bool written = target.isEmpty() ? f.view->save() : f.view->saveToFile(dir.filePath(target), true);
            setrlimit(RLIMIT_FSIZE, &saved);

            QVERIFY(!written && modal.calls.size() == 1 && modal.calls.at(0).title == "Unable to open file");
            QCOMPARE(contents(old), before);
            QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList{QStringLiteral("old.vrl")});
            QVERIFY(f.view->windowTitle() == "old*" && f.view->isModified() && f.scene->fileName() == old);
        }
        // guards: writersKeepPipes. A document, an image or a PDF is not renamed over a pipe.
        ViewFixture f;
        const QString pipe = m_dir.filePath(QStringLiteral("written.pipe"));
        ModalRecorder modal;
        QVERIFY(mkfifo(qPrintable(pipe), 0600) == 0 && !f.view->saveToFile(pipe, true) && !f.view->exportPdfFrame(pipe));
        QVERIFY(!CanvasRenderer::renderToImage(f.scene, QStringLiteral("PNG"), pipe) && QFileInfo(pipe).isFile() == false);
        QCOMPARE(modalLog(modal).value(0), "information: Unable to open file: written.pipe is not a regular file.\nChoose another name.");
        QCOMPARE(modalLog(modal).value(1), QString("warning: Export Sequence: Unable to write the frame '%1'. The sequence export is turned off.").arg(pipe));
    }

    // Save of an untitled document asks for a name: cancelled it saves nothing, a chosen one is used unchanged, and an
    // existing file is asked about: No saves nothing, Yes replaces it.
    // Numbered saves: highest 3 wraps to 1; 10 follows 9; an upper-case suffix is stripped, another one kept.
    void numberedAutosave()
    {
        const struct { const char *name; int highest, next; QStringList written; } rows[] = {
            {"a.vrl", 3, 1, {"a_1.vrl", "a_2.vrl", "a_3.vrl", "a_1.vrl"}}, {"b.vrl", 10, 9, {"b_9.vrl", "b_10.vrl", "b_1.vrl"}},
            {"C.VRL", 10, 1, {"C_1.vrl"}}, {"d.txt", 10, 1, {"d.txt_1.vrl"}}};
        ViewFixture f;
        ModalRecorder modal;
        const QString typed = m_dir.filePath(QStringLiteral("no extension"));
        modal.fileNames << QString() << typed << typed << typed;
        modal.buttons << QMessageBox::No << QMessageBox::Yes;
        QVERIFY(!f.view->save() && f.view->save()); // guards: saveAsUsesTheChosenNameUnchanged
        const QByteArray saved = contents(typed);
        Typist::type(f.scene, QStringLiteral("x"));
        QVERIFY(!f.view->saveAs() && contents(typed) == saved && f.view->saveAs());
        const QString save = QStringLiteral("save: Save: Vorrel Files (*.vrl)"),
                      asked = QStringLiteral("warning: Save: no extension already exists.\nDo you want to replace it?");
        QCOMPARE(modalLog(modal), QStringList({save, save, save, asked, save, asked}));
        QVERIFY(!saved.isEmpty() && contents(typed) != saved && f.view->windowTitle() == "no extension");
        QTemporaryDir dir;
        for (const auto &row : rows) {
            f.view->setAutosaveSettings({false, 5, false, row.highest, row.next}); // on, minutes, numbered, highest, next
            f.scene->setFileName(dir.filePath(row.name));
            for (const QString &expected : row.written) {
                Typist::type(f.scene, QStringLiteral("x"));
                QVERIFY(f.view->saveNumbered());
                QVERIFY2(QFile::remove(dir.filePath(expected)), qPrintable(expected));
                // The document's own file was not written, yet the mark is gone.
                QVERIFY(!f.view->isModified() && f.view->windowTitle() == f.scene->title());
            }
            QVERIFY(QDir(dir.path()).isEmpty() && f.scene->fileName() == dir.filePath(row.name));
        }
        // Four characters or fewer: nothing is saved.
        f.scene->setFileName(QStringLiteral("a.vr"));
        Typist::type(f.scene, QStringLiteral("x"));
        QVERIFY(!f.view->saveNumbered() && f.view->isModified());
    }

    // Closing stops play first; a modified document asks whether to save: Yes, No, Cancel, Yes with a failing save
    // (told, the window stays). Unmodified it closes without asking.
    void closeAsksForModifiedDocuments()
    {
        const struct { QMessageBox::StandardButton answer; const char *fileName; bool closed; int messages; } rows[] = {
            {QMessageBox::Yes, "doc.vrl", true, 1}, {QMessageBox::No, "doc.vrl", true, 1},
            {QMessageBox::Yes, "doc.vrl/doc.vrl", false, 2},
            {QMessageBox::Cancel, "doc.vrl", false, 1}}; // guards: refusedCloseLeavesPlayStopped
        for (const auto &row : rows) {
            QTemporaryDir dir;
            QVERIFY(writeFile(dir.filePath(QStringLiteral("doc.vrl")), QByteArray()));
            ViewFixture f;
            f.view->setAttribute(Qt::WA_DeleteOnClose, false);
            f.scene->setFileName(dir.filePath(row.fileName));
            ModalRecorder modal;
            QVERIFY(f.view->close() && modal.calls.isEmpty());
            Typist::type(f.scene, QStringLiteral("a"));
            f.view->setPlaying(true);
            modal.buttons << row.answer;
            QCOMPARE(f.view->close(), row.closed);
            QVERIFY(!f.view->isPlaying() && f.scene->playState() == 0);
            QCOMPARE(f.scene->history().last()->text(), QStringLiteral("Apply SoftTypes"));
            QCOMPARE(modalLog(modal).value(0), QStringLiteral("information: Save: Save 'doc' before closing?"));
            QCOMPARE(modal.calls.size(), row.messages);
            QCOMPARE(contents(dir.filePath(QStringLiteral("doc.vrl"))).size() > 0, row.answer == QMessageBox::Yes && row.closed);
        }
    }

    // The text and file name are kept with the document, outside its history: a load marks it modified (guards:
    // textpadLoadMarksModified), a reload only when the text changed. A pipe, a device and a file over 16 MiB are
    // refused before they are read (guards: textpadRefusesPipesDevicesAndHugeFiles).
    void textpadFileIsReadAsUtf8()
    {
        ViewFixture f;
        const QString text = QStringLiteral("Grüße, ∂x\nzweite Zeile");
        const QString name = m_dir.filePath(QStringLiteral("pad.txt"));
        QVERIFY(writeFile(name, text.toUtf8()));
        QVERIFY(f.view->loadTextpadFile(name));
        QCOMPARE(f.scene->textpadText(), text);
        QVERIFY(f.scene->textpadFileName() == name && f.view->windowTitle() == "untitled*" && f.entries() == 0);
        QVERIFY(f.view->saveToFile(m_dir.filePath(QStringLiteral("pad.vrl")), false) && f.view->loadTextpadFile(name));
        QVERIFY(!f.view->isModified() && writeFile(name, "new") && f.view->loadTextpadFile(name) && f.view->isModified());
        QFile huge(m_dir.filePath(QStringLiteral("huge.txt")));
        QVERIFY(huge.open(QIODevice::WriteOnly) && huge.resize((16 << 20) + 1)); // sparse
        QCOMPARE(mkfifo(qPrintable(m_dir.filePath(QStringLiteral("pipe.txt"))), 0600), 0);
        ModalRecorder modal;
        for (const char *refused : {"missing.txt", "huge.txt", "pipe.txt", "/dev/zero"})
            QVERIFY(!f.view->loadTextpadFile(QDir(m_dir.path()).filePath(QLatin1String(refused))));
        const QString warning = QStringLiteral("warning: Load Textpad: "),
                      pipe = warning + "The textpad reads only a regular file, not a pipe or a device.";
        QCOMPARE(modalLog(modal), QStringList({warning + "It seems Vorrel can not open the file. ",
                                               warning + "The file is larger than the textpad takes (16 MiB).", pipe, pipe}));
        QVERIFY(f.scene->textpadFileName() == name && f.scene->textpadText() == "new");
    }

    void textpadSyncShowsOneWarningAtATime()
    {
        // A box that waits for Ok while the sync timer ticks on.
        struct Waiting : ModalRecorder
        {
            QMessageBox::StandardButton message(Modal::MessageKind kind, QWidget *parent, const QString &title, const QString &text,
                                                QMessageBox::StandardButtons buttons, QMessageBox::StandardButton defaultButton) override
            {
                maxOnScreen = qMax(maxOnScreen, ++onScreen);
                QTest::qWait(120);
                --onScreen;
                return ModalRecorder::message(kind, parent, title, text, buttons, defaultButton);
            }
            int onScreen = 0, maxOnScreen = 0;
        } modal;
        ViewFixture f;
        f.host.syncInterval = 10;
        f.scene->setTextpadFileName(m_dir.filePath(QStringLiteral("gone.txt")));
        f.view->setTextpadFileSync(true);
        QTRY_VERIFY(modal.calls.size() >= 2);
        f.view->setTextpadFileSync(false);
        QVERIFY(modal.maxOnScreen == 1 && f.host.textpadUpdates >= 2);
    }

private:
    QTemporaryDir m_dir;
    QVorrelScene m_scene{-32768, -32768, 65535, 65535};
};

QTEST_MAIN(TestView)
#include "tst_view.moc"
