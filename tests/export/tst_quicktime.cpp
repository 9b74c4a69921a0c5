#include "export/quicktime/QuickTime.h"

#include <QDir>
#include <QTemporaryDir>
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
    void movieCallsCheckTheirArguments();
    void movieWithoutSamplesIsNotStored();
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

void TestQuickTime::movieCallsCheckTheirArguments()
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

void TestQuickTime::movieWithoutSamplesIsNotStored()
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

QTEST_GUILESS_MAIN(TestQuickTime)
#include "tst_quicktime.moc"
