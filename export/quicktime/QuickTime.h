#ifndef QUICKTIME_H
#define QUICKTIME_H

// Vorrel's own QuickTime layer: the handful of QuickTime types and calls the
// movie writer needs, written over FFmpeg. Every call that can fail returns
// an OSErr (0 on success) and leaves its outputs untouched on failure.
//
// Movies live in the data fork of an ordinary .mov file. A movie opened from
// a file is never written in place: everything goes to a temporary file
// beside it, which is flushed to disk and replaces the original only when
// the movie is stored. A file named through symbolic links is the file they
// lead to; the links stay. One writer at a time, in this process or any
// other: opening or creating a movie file that another writer holds fails
// with fBsyErr until that writer closes it (or its process dies).

#include <QByteArray>
#include <cstdint>

typedef int16_t OSErr;
typedef uint32_t OSType;
typedef OSType CodecType;
typedef int32_t CodecQ;
typedef int32_t Fixed;
typedef int32_t TimeValue;
typedef int32_t TimeScale;
typedef long Size;
typedef char *Ptr;
typedef Ptr *Handle;

constexpr OSType fourCC(const char (&c)[5])
{
    return OSType(uint8_t(c[0])) << 24 | OSType(uint8_t(c[1])) << 16 | OSType(uint8_t(c[2])) << 8
           | OSType(uint8_t(c[3]));
}

enum : OSErr {
    noErr = 0,
    ioErr = -36,
    userCanceledErr = -128,
    fnfErr = -43,
    fBsyErr = -47,
    paramErr = -50,
    permErr = -54,
    memFullErr = -108,
    invalidMedia = -2008,
    invalidTrack = -2009,
    invalidMovie = -2010,
    badEditList = -2017,
    noMovieFound = -2048,
    qtmlUninitialized = -2093,
    codecErr = -8960,
    noCodecErr = -8961,
    codecSizeErr = -8964
};

constexpr CodecQ codecMinQuality = 0;
constexpr CodecQ codecLowQuality = 256;
constexpr CodecQ codecNormalQuality = 512;
constexpr CodecQ codecHighQuality = 768;
constexpr CodecQ codecMaxQuality = 1023;
constexpr CodecQ codecLosslessQuality = 1024;

constexpr OSType k32BGRAPixelFormat = fourCC("BGRA");
constexpr OSType VideoMediaType = fourCC("vide");
constexpr short fsRdWrPerm = 3;
constexpr short smCurrentScript = -2;
constexpr long createMovieFileDontCreateResFile = 0x10000000;
constexpr short newMovieActive = 1;
constexpr short movieInDataForkResID = -1;
constexpr short mediaSampleNotSync = 1;
constexpr Fixed fixed1 = 0x10000;

struct Rect
{
    int16_t top;
    int16_t left;
    int16_t bottom;
    int16_t right;
};

// A file name of any length: the native path in the local 8-bit encoding.
// (QuickTime's Str255 caps it at 255 bytes; this layer does not.)
typedef QByteArray StrFileName;

struct FSSpec
{
    StrFileName name;
};

// What a compression produced. The codec-specific data (for H.264 the
// 'avcC' record) follows the structure inside the handle; idSize covers
// both. width and height are the frame the sample shows, even where the
// codec coded it padded to the sides it takes. sampleFlags tells whether
// the frame depends on earlier ones.
struct ImageDescription
{
    long idSize;
    CodecType cType;
    int16_t width;
    int16_t height;
    int16_t depth;
    int32_t pixelFormat; // FFmpeg pixel format of the coded frames
    long dataSize;
    short sampleFlags;
};
typedef ImageDescription **ImageDescriptionHandle;
typedef Handle SampleDescriptionHandle;

struct GWorld;
struct PixMap;
struct MovieRecord;
struct TrackRecord;
struct MediaRecord;
typedef GWorld *GWorldPtr;
typedef GWorld *CGrafPtr;
typedef void *GDHandle;
typedef PixMap *PixMapHandle;
typedef MovieRecord *Movie;
typedef TrackRecord *Track;
typedef MediaRecord *Media;
typedef void *CompressorComponent;
constexpr CompressorComponent anyCodec = nullptr;

// Client layer and movie toolbox. Initialisations are counted; a terminate
// without a matching initialise does nothing.
OSErr InitializeQTML(long flags);
void TerminateQTML();
OSErr EnterMovies();
void ExitMovies();

// Memory.
Handle NewHandle(Size size);
void DisposeHandle(Handle h);
OSErr SetHandleSize(Handle h, Size size);
Size GetHandleSize(Handle h);
void MoveHHi(Handle h);
void HLock(Handle h);

// Graphics worlds over a caller's pixel buffer (32-bit BGRA only).
Fixed FixRatio(int16_t numerator, int16_t denominator);
OSErr QTNewGWorldFromPtr(GWorldPtr *world, OSType pixelFormat, const Rect *bounds, void *colorTable,
                         GDHandle device, long flags, void *baseAddr, long rowBytes);
void DisposeGWorld(GWorldPtr world);
void GetGWorld(CGrafPtr *port, GDHandle *device);
void SetGWorld(CGrafPtr port, GDHandle device);
PixMapHandle GetGWorldPixMap(GWorldPtr world);

// Compression. The encoder is kept with the pixel map between frames, so
// successive frames of one source form one coded sequence. A frame whose
// sides the codec does not take is coded padded with black to the next
// sides it takes. GetMaxCompressionSize fails (codecSizeErr) for a frame
// size the codec cannot code whatever the frame shows, into a sample that
// FFmpeg reads back: its sides, and an area of its own.
OSErr GetMaxCompressionSize(PixMapHandle src, const Rect *srcRect, short colorDepth, CodecQ quality,
                            CodecType cType, CompressorComponent codec, long *size);
OSErr CompressImage(PixMapHandle src, const Rect *srcRect, CodecQ quality, CodecType cType,
                    ImageDescriptionHandle desc, Ptr data);
// Frames compressed from the pixel map from now on have this size: the
// source rectangle is scaled to fit it, centred between black bars. 0 x 0
// (as at first) gives frames of the source rectangle's size.
OSErr SetCompressedFrameSize(PixMapHandle src, int16_t width, int16_t height);

// Movie files, movies, tracks and media.
OSErr FSMakeFSSpec(short vRefNum, long dirID, const StrFileName &fileName, FSSpec *spec);
OSErr OpenMovieFile(const FSSpec *spec, short *resRefNum, short permission);
OSErr CreateMovieFile(const FSSpec *spec, OSType creator, short scriptTag, long flags, short *resRefNum,
                      Movie *movie);
OSErr NewMovieFromFile(Movie *movie, short resRefNum, short *resId, StrFileName *resName, short flags,
                       bool *dataRefWasChanged);
void CloseMovieFile(short resRefNum);
void DisposeMovie(Movie movie);
Track GetMovieIndTrack(Movie movie, long index);
Track NewMovieTrack(Movie movie, Fixed width, Fixed height, int16_t volume);
Media GetTrackMedia(Track track);
// The frame the track shows, its header's width and height.
void GetTrackDimensions(Track track, Fixed *width, Fixed *height);
Media NewTrackMedia(Track track, OSType mediaType, TimeScale timeScale, Handle dataRef, OSType dataRefType);
// Reads the times of the samples already in the movie's file the first
// time: a failure (or a cancel) gives 0, and GetMoviesError tells it.
TimeValue GetMediaDuration(Media media);
OSErr BeginMediaEdits(Media media);
OSErr EndMediaEdits(Media media);
OSErr AddMediaSample(Media media, Handle data, long offset, unsigned long size, TimeValue duration,
                     SampleDescriptionHandle desc, long numberOfSamples, short sampleFlags,
                     TimeValue *sampleTime);
OSErr InsertMediaIntoTrack(Track track, TimeValue trackStart, TimeValue mediaTime, TimeValue mediaDuration,
                           Fixed mediaRate);

// Prepares a track whose media already holds [start, start + duration) for
// more samples of the given codec, quality and frame (the track's). Where
// they could not continue the coded stream as it is stored (another codec,
// frame size or, for H.264, other parameter sets), the samples already
// there are decoded and coded anew in the given codec and quality, into
// the file being written: fails when they cannot be.
OSErr AppendToTrack(Track track, TimeValue start, TimeValue duration, CodecType cType, CodecQ quality,
                    const Rect *frame);

// Stores the movie in the data fork of its file (resId movieInDataForkResID),
// replacing the file named fileName (the name the file was opened or
// created with).
OSErr AddMovieToDataFork(Movie movie, short resRefNum, short resId, const StrFileName &fileName);

// Long operations on a movie: reading the times of the samples already in
// its file (GetMediaDuration, the first time), copying those samples into
// the file being written or coding them anew (AppendToTrack), and storing
// the movie (AddMovieToDataFork). With a progress procedure set, the layer
// does such work on a thread of its own and calls the procedure on the
// calling thread: movieProgressOpen first, movieProgressUpdatePercent every
// few tens of milliseconds with the share done (a Fixed number from 0 to
// 1), movieProgressClose last. A result other than noErr cancels the
// operation, which then fails with userCanceledErr and leaves the movie
// file as it was; storing, once begun, is not cancelled. The procedure
// must not use the movie it reports on. Without one, the work runs on the
// calling thread.
enum : short { movieProgressOpen = 0, movieProgressUpdatePercent = 1, movieProgressClose = 2 };
enum : short {
    progressOpFlatten = 1,          // storing the movie in its file
    progressOpCopy = 6,             // copying the samples already in the file
    progressOpLoadMovieIntoRam = 8, // reading the times of those samples
    progressOpExportMovie = 12      // coding those samples anew
};
typedef OSErr (*MovieProgressProcPtr)(Movie movie, short message, short operation, Fixed percentDone, long refcon);
void SetMovieProgressProc(Movie movie, MovieProgressProcPtr proc, long refcon);

// The result of this thread's last call that returns none (GetMediaDuration).
OSErr GetMoviesError();

#endif // QUICKTIME_H
