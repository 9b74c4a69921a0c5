#include "ViewFixture.h"

#include "app/CanvasRenderer.h"
#include "model/Caret.h"
#include "model/Grid.h"
#include "support/Typist.h"

#include <QRegularExpression>
#include <QTemporaryDir>
#include <QtTest>

class TestCanvasRenderer : public QObject
{
    Q_OBJECT

private slots:
    void pdfPageHasTheExactSizeInWholePoints_data();
    void pdfPageHasTheExactSizeInWholePoints();
    void imageShowsTheCanvasWithoutExtras();
    void refusesWhatCannotBeRendered_data();
    void refusesWhatCannotBeRendered();

private:
    QTemporaryDir m_dir;
    QVorrelScene m_scene{-32768, -32768, 65535, 65535};
};

void TestCanvasRenderer::pdfPageHasTheExactSizeInWholePoints_data()
{
    QTest::addColumn<int>("width");
    QTest::addColumn<int>("height");
    QTest::addColumn<int>("resolution");
    QTest::addColumn<QString>("mediaBox");
    // 1001 / 300 x 72 = 240.24 and 500 / 300 x 72 = 120: no paper size near it.
    QTest::newRow("300 ppi") << 1001 << 500 << 300 << "0 0 240 120";
    QTest::newRow("72 ppi") << 1024 << 768 << 72 << "0 0 1024 768";
    QTest::newRow("near A4") << 597 << 842 << 72 << "0 0 597 842";
}

void TestCanvasRenderer::pdfPageHasTheExactSizeInWholePoints()
{
    QFETCH(int, width);
    QFETCH(int, height);
    QFETCH(int, resolution);
    QFETCH(QString, mediaBox);
    m_scene.setExportSettings(width, height, resolution);
    const QString name = m_dir.filePath(QStringLiteral("page.pdf"));
    QVERIFY(CanvasRenderer::renderToPDF(&m_scene, name));
    QFile pdf(name);
    QVERIFY(pdf.open(QIODevice::ReadOnly));
    const QByteArray bytes = pdf.readAll();
    const QRegularExpressionMatch box = QRegularExpression(QStringLiteral("/MediaBox \\[([^\\]]*)\\]"))
                                            .match(QString::fromLatin1(bytes.constData(), bytes.size()));
    QVERIFY(box.hasMatch());
    QStringList sides = box.captured(1).split(QLatin1Char(' '));
    for (QString &side : sides)
        side = QString::number(side.toDouble());
    QCOMPARE(sides.join(QLatin1Char(' ')), mediaBox);
}

void TestCanvasRenderer::imageShowsTheCanvasWithoutExtras()
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
    QCOMPARE(image.size(), QSize(200, 100));
    QCOMPARE(image.dotsPerMeterX(), 2835);
    QCOMPARE(image.dotsPerMeterY(), 2835);
    QCOMPARE(qAlpha(image.pixel(10, 50)), 0);
    QCOMPARE(qAlpha(image.pixel(190, 50)), 0);
    // Right of the letter, inside the page's frame: white canvas, no caret,
    // grid or selection box.
    for (int x = 100; x < 149; ++x) {
        for (int y = 1; y < 99; ++y)
            QCOMPARE(image.pixel(x, y), qRgb(255, 255, 255));
    }
    // The letter, black, where the canvas's left part shows.
    bool black = false;
    for (int x = 50; x < 100 && !black; ++x) {
        for (int y = 0; y < 100 && !black; ++y)
            black = image.pixel(x, y) == qRgb(0, 0, 0);
    }
    QVERIFY(black);
    QVERIFY(scene.grid()->isVisible());
    QVERIFY(scene.caret()->isVisible());
}

void TestCanvasRenderer::refusesWhatCannotBeRendered_data()
{
    QTest::addColumn<int>("side");
    QTest::addColumn<int>("resolution");
    QTest::addColumn<QString>("fileName");
    QTest::addColumn<QString>("warning");
    const QString noResolution = QStringLiteral("The export resolution must be at least 1 pixel per inch.");
    QTest::newRow("resolution 0") << 100 << 0 << "refused" << noResolution;
    QTest::newRow("resolution -5") << 100 << -5 << "refused" << noResolution;
    QTest::newRow("too large") << 40000 << 72 << "refused"
                               << "An image of 40000 x 40000 pixels is too large to export.";
    // A file that cannot be written is the caller's to report.
    QTest::newRow("no such folder") << 10 << 72 << "missing/frame" << QString();
}

void TestCanvasRenderer::refusesWhatCannotBeRendered()
{
    QFETCH(int, side);
    QFETCH(int, resolution);
    QFETCH(QString, fileName);
    QFETCH(QString, warning);
    m_scene.setExportSettings(side, side, resolution);
    const QString name = m_dir.filePath(fileName);
    ModalRecorder modal;
    QVERIFY(!CanvasRenderer::renderToImage(&m_scene, QStringLiteral("PNG"), name));
    const QStringList expected = warning.isEmpty() ? QStringList() : QStringList{"warning: Export: " + warning};
    QCOMPARE(modalLog(modal), expected);
    if (side < 40000) {
        QVERIFY(!CanvasRenderer::renderToPDF(&m_scene, name));
        QCOMPARE(modalLog(modal), expected + expected);
    }
    QVERIFY(!QFile::exists(name));
}

QTEST_MAIN(TestCanvasRenderer)
#include "tst_canvasrenderer.moc"
