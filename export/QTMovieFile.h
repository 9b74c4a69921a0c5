#ifndef QTMOVIEFILE_H
#define QTMOVIEFILE_H

#include "export/quicktime/QuickTime.h"

#include <QString>

// Writes a QuickTime movie with one video track from a pixel buffer that the
// caller owns and repaints before every frame. Opening an existing movie
// appends to its first video track. One writer serves one recording:
// construct, initQuickTime, setCompression, open, writeFrame per frame,
// destroy (which finishes the movie).
class QTMovieFile
{
public:
    QTMovieFile();
    virtual ~QTMovieFile();

    bool initQuickTime();
    void setCompression(CodecQ quality, CodecType codec);
    bool open(void *buffer, OSType pixelFormat, int16_t width, int16_t height, int32_t rowBytes,
              const QString &fileName);
    // Adds the buffer's present pixels as the next frame.
    bool writeFrame();

private:
    typedef bool (QTMovieFile::*Step)();

    bool ignoreFrame();
    bool beginFrame();
    bool addFrame();
    void release();
    bool reportFailure();
    bool fail(const QString &text);
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
    Handle dataHandle = nullptr;
    Ptr dataPtr = nullptr;
    ImageDescriptionHandle description = nullptr;
    CodecQ quality = codecNormalQuality;
    CodecType codec = fourCC("jpeg");
    QString lastError;
    int state = 0;
    Step steps[3];
};

#endif // QTMOVIEFILE_H
