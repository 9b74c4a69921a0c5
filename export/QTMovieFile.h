#ifndef QTMOVIEFILE_H
#define QTMOVIEFILE_H

#include "export/quicktime/QuickTime.h"

#include <QString>

// Writes a QuickTime movie with one video track from a pixel buffer that the
// caller owns and repaints before every frame. Opening an existing movie
// appends to its first video track, unless the caller asks for a new movie,
// which replaces the file only when it is finished. One writer serves one
// recording: construct, initQuickTime, setCompression, open, writeFrame per
// frame, finish or destroy (which finishes the movie).
class QTMovieFile
{
public:
    QTMovieFile();
    virtual ~QTMovieFile();

    bool initQuickTime();
    void setCompression(CodecQ quality, CodecType codec);
    // The progress procedure of the long steps of open (reading the movie,
    // copying or coding anew its earlier frames) and of finish (storing the
    // movie): they run off the calling thread, which calls it meanwhile. A
    // cancel makes open fail without a warning, *refusal userCanceledErr.
    void setProgressProc(MovieProgressProcPtr proc, long refcon);
    // With append false an existing file is not read: the new movie takes
    // its place when it is finished. Appended frames keep the movie's frame
    // size (frames of another size are scaled to fit it); earlier frames
    // that the codec and quality set cannot continue are coded anew in them.
    // Given refusal, open first makes sure that the codec and quality set
    // can compress frames of the size they are to be coded at (the movie's):
    // if not, it fails without a warning, leaving why in *refusal
    // (noCodecErr: the codec compresses nothing) for the caller to tell.
    // A file another writer (of any process) holds is busy: open fails
    // with "Unable to Create Movie File: -47", appending or not. It fails
    // without a warning when the progress procedure cancels.
    bool open(void *buffer, OSType pixelFormat, int16_t width, int16_t height, int32_t rowBytes,
              const QString &fileName, bool append = true, OSErr *refusal = nullptr);
    // Adds the buffer's present pixels as the next frame.
    bool writeFrame();
    // Frames have been added (or the first one tried): there is a movie to finish.
    bool isEditing() const { return state == 2; }
    // Finishes the movie being edited, warning of each finishing step that
    // fails, and closes the writer. True when the movie was stored in its
    // file; false also when there was nothing to store.
    bool finish();

private:
    typedef bool (QTMovieFile::*Step)();

    bool ignoreFrame();
    bool beginFrame();
    bool addFrame();
    void release();
    bool reportFailure();
    bool fail(const QString &text);
    bool cancelled(OSErr *refusal);
    void warn(const QString &text);

    CGrafPtr savedPort = nullptr;
    GDHandle savedDevice = nullptr;
    GWorldPtr gworld = nullptr;
    Track track = nullptr;
    Media media = nullptr;
    Movie movie = nullptr;
    StrFileName fileName;
    short fileRefNum = 0;
    Rect frameRect = {0, 0, 0, 0};
    Rect movieFrame = {0, 0, 0, 0};
    Handle dataHandle = nullptr;
    Ptr dataPtr = nullptr;
    ImageDescriptionHandle description = nullptr;
    CodecQ quality = codecNormalQuality;
    CodecType codec = fourCC("jpeg");
    MovieProgressProcPtr progressProc = nullptr;
    long progressRefCon = 0;
    QString lastError;
    int state = 0;
    Step steps[3];
};

#endif // QTMOVIEFILE_H
