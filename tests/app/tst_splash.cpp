#include "app/VorrelSplash.h"

#include <QApplication>
#include <QtTest>

class TestSplash : public QObject
{
    Q_OBJECT

private slots:
    void texts();
    void layout_data();
    void layout();
    void paintedBox();
    void imagesOneAndTwo();
    void showFor();
};

void TestSplash::texts()
{
    QCOMPARE(VorrelSplash::aboutLines.size(), 9);
    for (int i : {1, 5, 8})
        QVERIFY(VorrelSplash::aboutLines.at(i).isEmpty());
    QCOMPARE(VorrelSplash::aboutLines.join(QString()).count(QLatin1Char('\n')), 2);
    QVERIFY(VorrelSplash::aboutLines.at(6).contains(QLatin1Char('\n')));
    QVERIFY(VorrelSplash::aboutLines.at(7).contains(QLatin1Char('\n')));

    VorrelSplash splash;
    QCOMPARE(splash.text(), QStringLiteral("Version 1.0.2\n") + VorrelSplash::aboutLines.first() + QLatin1Char('\n')
                                + VorrelSplash::closingLine);
    splash.about = true;
    // The version line, the nine lines (two of them in two lines) and the
    // closing line.
    QCOMPARE(splash.text().split(QLatin1Char('\n')).size(), 13);
    QVERIFY(splash.text().endsWith(QStringLiteral("\n\n") + VorrelSplash::closingLine));
}

void TestSplash::layout_data()
{
    QTest::addColumn<int>("lines");
    QTest::addColumn<int>("spacing");
    QTest::addColumn<QRect>("text");
    QTest::addColumn<QRect>("box");
    // 370 x 255: the text ends at row 241, the box at row 251.
    QTest::newRow("start-up") << 3 << 13 << QRect(125, 203, 240, 39) << QRect(3, 190, 364, 62);
    QTest::newRow("about") << 13 << 13 << QRect(125, 73, 240, 169) << QRect(3, 63, 364, 189);
    QTest::newRow("text top 192") << 5 << 10 << QRect(125, 192, 240, 50) << QRect(3, 182, 364, 70);
    QTest::newRow("text top 193") << 7 << 7 << QRect(125, 193, 240, 49) << QRect(3, 190, 364, 62);
}

void TestSplash::layout()
{
    QFETCH(int, lines);
    QFETCH(int, spacing);
    QFETCH(QRect, text);
    QFETCH(QRect, box);
    const QSize size(370, 255);
    QCOMPARE(VorrelSplash::textRect(size, lines, spacing), text);
    QCOMPARE(VorrelSplash::boxRect(size, text.top()), box);
}

void TestSplash::paintedBox()
{
    VorrelSplash splash;
    QCOMPARE(splash.pixmap().size(), QSize(370, 255));
    const QImage raw = splash.pixmap().toImage().convertToFormat(QImage::Format_RGB32);
    QFont eleven = QApplication::font();
    eleven.setPixelSize(11);
    // The first paint lays out three lines of the application's font, the
    // next ones three lines of the 11-pixel font; the box, white at alpha
    // 170, covers columns 3 to 366 down to row 251.
    for (const QFont &font : {QApplication::font(), eleven}) {
        const int textTop = 255 - 13 - 3 * QFontMetrics(font).lineSpacing();
        const int top = textTop <= 192 ? textTop - 10 : 190;
        const QImage shown = splash.grab().toImage().convertToFormat(QImage::Format_RGB32);
        QCOMPARE(splash.textFont.pixelSize(), 11);
        auto blended = [&](int x, int y) {
            const QRgb c = raw.pixel(x, y), s = shown.pixel(x, y);
            const auto near = [](int got, int base) { return qAbs(got - (255 * 170 + base * 85 + 127) / 255) <= 1; };
            return near(qRed(s), qRed(c)) && near(qGreen(s), qGreen(c)) && near(qBlue(s), qBlue(c));
        };
        auto untouched = [&](int x, int y) { return raw.pixel(x, y) == shown.pixel(x, y); };
        QVERIFY(untouched(10, top - 1) && blended(10, top) && blended(10, 251) && untouched(10, 252));
        QVERIFY(untouched(2, 240) && blended(3, 240) && blended(366, 240) && untouched(367, 240));
    }
}

void TestSplash::imagesOneAndTwo()
{
    VorrelSplash::seedRandom(7);
    VorrelSplash splash;
    QSet<int> seen;
    for (int i = 0; i < 40; ++i) {
        splash.randomizePixmap();
        seen.insert(splash.imageNumber());
        QCOMPARE(splash.pixmap().size(), QSize(370, 255));
    }
    QCOMPARE(seen, QSet<int>({1, 2}));
}

void TestSplash::showFor()
{
    VorrelSplash splash;
    splash.showFor(1);
    QTRY_VERIFY(!splash.isVisible());
    for (int ms : {0, -5}) {
        splash.showFor(ms);
        QTest::qWait(20);
        QVERIFY(splash.isVisible());
        splash.close();
    }
}

QTEST_MAIN(TestSplash)
#include "tst_splash.moc"
