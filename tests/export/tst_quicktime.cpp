#include "export/quicktime/QuickTime.h"

#include <QtTest>
#include <cstring>

class TestQuickTime : public QObject
{
    Q_OBJECT
private slots:
    void startIsCounted();
    void handlesKeepTheirContents();
    void fixedRatios();
    void graphicsWorldChecksItsBuffer();
};

void TestQuickTime::startIsCounted()
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

void TestQuickTime::handlesKeepTheirContents()
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

void TestQuickTime::fixedRatios()
{
    QCOMPARE(FixRatio(640, 1), Fixed(640 << 16));
    QCOMPARE(FixRatio(1, 2), Fixed(0x8000));
    QCOMPARE(FixRatio(-3, 4), Fixed(-0xC000));
    QCOMPARE(FixRatio(1, 0), Fixed(INT32_MAX));
}

void TestQuickTime::graphicsWorldChecksItsBuffer()
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

QTEST_GUILESS_MAIN(TestQuickTime)
#include "tst_quicktime.moc"
