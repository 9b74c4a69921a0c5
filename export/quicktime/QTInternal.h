#ifndef QTINTERNAL_H
#define QTINTERNAL_H

// The records behind the QuickTime layer's opaque types, shared by its
// sources only.

#include "export/quicktime/QuickTime.h"

#include <memory>
#include <vector>

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
}

struct Compressor;
struct CompressorDeleter
{
    void operator()(Compressor *compressor) const;
};
typedef std::unique_ptr<Compressor, CompressorDeleter> CompressorPtr;

struct PixMap
{
    uint8_t *baseAddr = nullptr;
    long rowBytes = 0;
    Rect bounds = {0, 0, 0, 0};
    int frameWidth = 0;    // the frames compressed from it; 0: the source rectangle's size
    int frameHeight = 0;
    CompressorPtr compressor; // kept between frames
};

struct GWorld
{
    PixMap pixMap;
};

struct AVCodecParametersDeleter
{
    void operator()(AVCodecParameters *par) const { avcodec_parameters_free(&par); }
};
typedef std::unique_ptr<AVCodecParameters, AVCodecParametersDeleter> CodecParameters;

struct MediaRecord
{
    TrackRecord *track = nullptr;
    TimeValue duration = 0;   // samples already in the file plus those added
    bool editing = false;
    CodecType cType = 0;      // 0 while the media has no sample format yet
    CodecParameters format;   // the coded format of every sample
    // The samples already in the file are coded anew in format, at this
    // quality, when they are copied.
    bool recode = false;
    CodecQ quality = 0;
};

struct TrackRecord
{
    MovieRecord *movie = nullptr;
    Fixed width = 0;           // the frame every sample shows, the track header's size
    Fixed height = 0;
    int sourceStream = -1;    // stream in the movie's source file, -1 for a new track
    int outputStream = -1;    // stream in the file being written, -1 until output starts
    std::unique_ptr<MediaRecord> media;
};

struct MovieRecord
{
    ~MovieRecord();
    short refNum = 0;
    QByteArray sourcePath;    // the movie file it was read from, empty for a new movie
    bool timesRead = true;    // the durations of the samples in the source file are known
    std::vector<std::unique_ptr<TrackRecord>> tracks;
    AVFormatContext *output = nullptr; // the temporary file being written
    MovieProgressProcPtr progressProc = nullptr;
    long progressRefCon = 0;
};

// The largest sample a movie holds: FFmpeg's QuickTime reader reads none
// of 512 MiB or more (it fails for want of memory) and stops there, so no
// frame from it on would show (nor could the movie be appended to).
constexpr int64_t largestSample = (int64_t(1) << 29) - 1;

// Codec helpers shared by compression and movies.
AVCodecID codecIdFor(CodecType cType);
// A compressor of its own, for frames of width x height (codecSizeErr for
// a size the codec cannot code, as GetMaxCompressionSize). A delayed one
// codes on every thread the encoder can use, frames side by side, and
// gives its samples some frames after their pictures (compressPicture,
// nextSample); the other gives each sample at once.
OSErr openCompressor(CodecType cType, CodecQ quality, int width, int height, CompressorPtr *result,
                     bool delayed = false);
// Hands a decoded picture to the compressor as its next frame, shown at
// pts (in 1/600 s): a picture padded up to what its codec takes by its
// frame's top-left corner, any other scaled to fit the frame. No picture:
// the end, after which nextSample gives the samples still held.
OSErr compressPicture(Compressor *compressor, const AVFrame *picture, int64_t pts);
// The compressor's next sample, in the order of the pictures, when it has
// one ready (*got): what a movie stores, key when it stands on its own.
OSErr nextSample(Compressor *compressor, QByteArray *sample, bool *key, bool *got);
// The codec data its image descriptions carry (for H.264 the 'avcC' record).
QByteArray compressorCodecData(const Compressor *compressor);
// The width and height a sample description gives: the frame's, or the
// padded frame's where decoders would not drop the padding.
void sampleDescriptionSize(const ImageDescription &desc, int *width, int *height);
CodecType codecTypeFor(const AVCodecParameters *par);
// The description (and its codec data) that compressing frames of this
// size would give; fails when no such encoder can be opened.
OSErr probeCompression(CodecType cType, CodecQ quality, int width, int height, ImageDescription *desc,
                       QByteArray *extension);
bool sameParameterSets(const QByteArray &avcA, const QByteArray &avcB);
// The colour description of frames coded from the source pixels in this
// pixel format; left unspecified where the format itself implies it.
void describeColour(int pixelFormat, AVColorSpace *space, AVColorRange *range, AVColorPrimaries *primaries,
                    AVColorTransferCharacteristic *transfer);

#endif // QTINTERNAL_H
