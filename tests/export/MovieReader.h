#ifndef MOVIEREADER_H
#define MOVIEREADER_H

#include <QImage>
#include <QString>
#include <QVector>

// Reads a movie file back with libavformat and libavcodec, independently of
// the writer under test.
struct MovieReader
{
    explicit MovieReader(const QString &path);

    bool opened = false;
    int streams = 0;
    int otherPackets = 0;       // packets of streams other than the first video one
    QString fourCC;             // of the first video stream
    int timeBaseNum = 0;
    int timeBaseDen = 0;
    qint64 duration = 0;        // of the first video stream, in its time base
    int width = 0;
    int height = 0;
    int profile = -99;          // FF_PROFILE_UNKNOWN when the codec names none
    int colorSpace = 2;         // AVCOL_SPC_UNSPECIFIED unless the file says
    int colorRange = 0;         // AVCOL_RANGE_UNSPECIFIED unless the file says
    int packets = 0;
    int keyPackets = 0;
    QVector<int> packetSizes;   // of the first video stream
    int decodeErrors = 0;
    QVector<QImage> frames;     // decoded, as RGB32
};

#endif // MOVIEREADER_H
