#include "export/QTMovieFile.h"

#include "modal/Modal.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace {
const char *const warningTitle = "Quicktime Export";

QString withError(const char *text, OSErr err)
{
    return QString::fromLatin1(text) + QString::number(err);
}
}

QTMovieFile::QTMovieFile()
    : steps{&QTMovieFile::ignoreFrame, &QTMovieFile::beginFrame, &QTMovieFile::addFrame}
{
}

QTMovieFile::~QTMovieFile()
{
    finish();
    ExitMovies();
    TerminateQTML();
}

bool QTMovieFile::finish()
{
    bool stored = false;
    if (state == 2) {
        stored = true;
        if (media && EndMediaEdits(media) != noErr) {
            warn("Unable to end Media edits");
            stored = false;
        }
        if (track && InsertMediaIntoTrack(track, 0, 0, GetMediaDuration(media), fixed1) != noErr) {
            warn("Unable to insert Media into Track");
            stored = false;
        }
        if (!movie || AddMovieToDataFork(movie, fileRefNum, movieInDataForkResID, fileName) != noErr) {
            if (movie)
                warn("Unable to add Movie resource");
            stored = false;
        }
    }
    release();
    return stored;
}

bool QTMovieFile::initQuickTime()
{
    if (InitializeQTML(0) != noErr) {
        TerminateQTML();
        warn("Unable to Initialize QuickTime Environment. Make sure you have QuickTime installed.");
        return false;
    }
    if (EnterMovies() != noErr) {
        TerminateQTML();
        warn("Unable to allocate QuickTime memory");
        return false;
    }
    return true;
}

void QTMovieFile::setCompression(CodecQ quality, CodecType codec)
{
    this->quality = quality;
    this->codec = codec;
}

void QTMovieFile::setProgressProc(MovieProgressProcPtr proc, long refcon)
{
    progressProc = proc;
    progressRefCon = refcon;
    SetMovieProgressProc(movie, proc, refcon);
}

bool QTMovieFile::open(void *buffer, OSType pixelFormat, int16_t width, int16_t height, int32_t rowBytes,
                       const QString &name, bool append, OSErr *refusal)
{
    if (refusal)
        *refusal = noErr;
    // A writer records one movie: opening it again would lose the first.
    if (gworld)
        return false;
    const Rect bounds = {0, 0, height, width};
    OSErr err = QTNewGWorldFromPtr(&gworld, pixelFormat, &bounds, nullptr, nullptr, 0, buffer, rowBytes);
    if (err != noErr)
        return fail(withError("Unable to Create New Quick Time World From the Buffer: ", err));
    GetGWorld(&savedPort, &savedDevice);
    SetGWorld(gworld, nullptr);

    fileName = QFile::encodeName(QDir::toNativeSeparators(QFileInfo(name).absoluteFilePath()));
    FSSpec spec;
    FSMakeFSSpec(0, 0, fileName, &spec);

    err = append ? OpenMovieFile(&spec, &fileRefNum, fsRdWrPerm) : OSErr(fnfErr);
    if (err == noErr) {
        err = NewMovieFromFile(&movie, fileRefNum, nullptr, nullptr, newMovieActive, nullptr);
        if (err != noErr)
            return fail(withError("Unable to Open Movie File: ", err));
    } else {
        // A movie another writer holds is not made anew either, even should
        // that writer finish meanwhile: its frames would be lost.
        if (err != fBsyErr)
            err = CreateMovieFile(&spec, fourCC("TVOD"), smCurrentScript, createMovieFileDontCreateResFile,
                                  &fileRefNum, &movie);
        if (err != noErr)
            return fail(withError("Unable to Create Movie File: ", err));
    }

    SetMovieProgressProc(movie, progressProc, progressRefCon);

    track = GetMovieIndTrack(movie, 1);
    if (!track)
        track = NewMovieTrack(movie, FixRatio(width, 1), FixRatio(height, 1), 0);
    if (!track)
        return fail("Unable to Create Track");

    frameRect = bounds;

    media = GetTrackMedia(track);
    if (!media)
        media = NewTrackMedia(track, VideoMediaType, 600, nullptr, 0);
    if (!media)
        return fail("Unable to Create Track Media");

    // Every frame of a movie has its first frame's size: frames of another
    // size are scaled to fit it.
    Fixed movieWidth = 0;
    Fixed movieHeight = 0;
    GetTrackDimensions(track, &movieWidth, &movieHeight);
    movieFrame = {0, 0, int16_t(movieHeight >> 16), int16_t(movieWidth >> 16)};
    if ((movieFrame.right != width || movieFrame.bottom != height)
        && SetCompressedFrameSize(GetGWorldPixMap(gworld), movieFrame.right, movieFrame.bottom) != noErr)
        return fail("Unable to Append to the previous Track");

    // Before the append step, which may code every earlier frame anew: can
    // frames be coded at the movie's frame size? The compressor this opens
    // is the one they are then coded with.
    if (refusal) {
        Rect rect = frameRect;
        long size = 0;
        const OSErr err = GetMaxCompressionSize(GetGWorldPixMap(gworld), &rect, 0, quality, codec, anyCodec, &size);
        if (err != noErr) {
            release();
            *refusal = err;
            return false;
        }
    }

    const TimeValue duration = GetMediaDuration(media);
    err = GetMoviesError();
    if (err == noErr && duration > 0)
        err = AppendToTrack(track, 0, duration, codec, quality, &movieFrame);
    if (err == userCanceledErr)
        return cancelled(refusal);
    if (err != noErr)
        return fail("Unable to Append to the previous Track");

    state = 1;
    return true;
}

bool QTMovieFile::writeFrame()
{
    return (this->*steps[state])();
}

bool QTMovieFile::ignoreFrame()
{
    return false;
}

bool QTMovieFile::beginFrame()
{
    Rect rect = frameRect;
    long size = 0;
    if (GetMaxCompressionSize(GetGWorldPixMap(gworld), &rect, 0, quality, codec, anyCodec, &size) != noErr)
        return fail("Unable to Get Compression Size");
    dataHandle = NewHandle(size);
    if (!dataHandle)
        return fail("Unable to Allocate Memory");
    MoveHHi(dataHandle);
    HLock(dataHandle);
    dataPtr = *dataHandle;
    description = reinterpret_cast<ImageDescriptionHandle>(NewHandle(4));
    if (!description)
        return fail("Unable to Allocate Memory Handle");
    if (BeginMediaEdits(media) != noErr)
        return fail("Unable to Begin Editing");
    state = 2;
    return addFrame();
}

bool QTMovieFile::addFrame()
{
    if (CompressImage(GetGWorldPixMap(gworld), &frameRect, quality, codec, description, dataPtr) != noErr)
        return false;
    return AddMediaSample(media, dataHandle, 0, (*description)->dataSize, 20,
                          reinterpret_cast<SampleDescriptionHandle>(description), 1, 0, nullptr)
           == noErr;
}

void QTMovieFile::release()
{
    state = 0;
    if (description) {
        DisposeHandle(reinterpret_cast<Handle>(description));
        description = nullptr;
    }
    if (dataHandle) {
        DisposeHandle(dataHandle);
        dataHandle = nullptr;
        dataPtr = nullptr;
    }
    if (fileRefNum != 0) {
        CloseMovieFile(fileRefNum);
        fileRefNum = 0;
    }
    if (movie) {
        DisposeMovie(movie);
        movie = nullptr;
        track = nullptr;
        media = nullptr;
    }
    if (savedPort) {
        SetGWorld(savedPort, savedDevice);
        savedPort = nullptr;
    }
    if (gworld) {
        DisposeGWorld(gworld);
        gworld = nullptr;
    }
}

bool QTMovieFile::reportFailure()
{
    release();
    warn(lastError);
    return false;
}

bool QTMovieFile::cancelled(OSErr *refusal)
{
    release();
    if (refusal)
        *refusal = userCanceledErr;
    return false;
}

bool QTMovieFile::fail(const QString &text)
{
    lastError = text;
    return reportFailure();
}

void QTMovieFile::warn(const QString &text)
{
    lastError = text;
    Modal::warning(nullptr, warningTitle, text);
}
