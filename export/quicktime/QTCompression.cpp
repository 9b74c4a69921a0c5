// Image compression through FFmpeg's encoders, one coded sequence per
// source pixel map.

#include "export/quicktime/QTInternal.h"

#include <algorithm>
#include <climits>
#include <cstring>

extern "C" {
#include <libavutil/imgutils.h>
#include <libavutil/opt.h>
#include <libswscale/swscale.h>
}

namespace {

enum class QualityControl { None, FixedScale, X264 };

struct CodecSpec
{
    CodecType cType;
    AVCodecID id;
    const char *encoder; // null: FFmpeg cannot encode it
    AVPixelFormat format;
    int depth;
    int align;           // coded sides are multiples of this: other frames are padded
    int block;           // the pixels coded together: a picture between bars starts and ends on these
    bool clipsBlocks;    // decoders show a padded frame at its sample description's size
    QualityControl control;
};

// Raw frames are 32-bit, as QuickTime keeps a 32-bit source: 24-bit rows
// of an odd width are padded to even bytes, which FFmpeg's decoder misreads.
// Cinepak and Road Pizza code 4 x 4 blocks: the sample description gives
// the frame's own size and decoders drop what the last blocks hold beyond
// it (FFmpeg's Road Pizza encoder also overruns its buffer on frames of
// fewer than 4 pixels a side). H.264 in 4:2:0 crops only by pairs of
// pixels: an odd side keeps its padding in the coded frame, and the track
// header gives the frame's size.
const CodecSpec codecs[] = {
    {fourCC("jpeg"), AV_CODEC_ID_MJPEG, "mjpeg", AV_PIX_FMT_YUVJ420P, 24, 1, 16, false, QualityControl::FixedScale},
    {fourCC("raw "), AV_CODEC_ID_RAWVIDEO, "rawvideo", AV_PIX_FMT_ARGB, 32, 1, 1, false, QualityControl::None},
    {fourCC("rle "), AV_CODEC_ID_QTRLE, "qtrle", AV_PIX_FMT_RGB24, 24, 1, 1, false, QualityControl::None},
    {fourCC("cvid"), AV_CODEC_ID_CINEPAK, "cinepak", AV_PIX_FMT_RGB24, 24, 4, 4, true, QualityControl::FixedScale},
    {fourCC("rpza"), AV_CODEC_ID_RPZA, "rpza", AV_PIX_FMT_RGB555LE, 16, 4, 4, true, QualityControl::None},
    {fourCC("avc1"), AV_CODEC_ID_H264, "libx264", AV_PIX_FMT_YUV420P, 24, 2, 16, false, QualityControl::X264},
    {fourCC("SVQ3"), AV_CODEC_ID_SVQ3, nullptr, AV_PIX_FMT_YUV420P, 24, 1, 16, false, QualityControl::None},
    {fourCC("mp4v"), AV_CODEC_ID_MPEG4, "mpeg4", AV_PIX_FMT_YUV420P, 24, 1, 16, false, QualityControl::FixedScale},
};

const CodecSpec *specFor(CodecType cType)
{
    for (const CodecSpec &spec : codecs)
        if (spec.cType == cType)
            return &spec;
    return nullptr;
}

CodecQ clampQuality(CodecQ quality)
{
    return qBound(codecMinQuality, quality, codecLosslessQuality);
}

// 0 (minimum) .. 1024 (lossless) onto the fixed quantiser scale 31 .. 1.
int quantiserFor(CodecQ quality)
{
    return 1 + (codecLosslessQuality - clampQuality(quality)) * 30 / codecLosslessQuality;
}

// 0 .. 1023 onto x264's constant rate factor 51 .. 1. A factor of 0 would
// code losslessly in the High 4:4:4 Predictive profile, which few players
// decode; that is kept for "Lossless".
int rateFactorFor(CodecQ quality)
{
    return 1 + (codecMaxQuality - qMin(clampQuality(quality), codecMaxQuality)) * 50 / codecMaxQuality;
}

// Splits an Annex B byte stream into NAL units (start codes removed).
std::vector<QByteArray> annexBUnits(const uint8_t *data, int size)
{
    std::vector<QByteArray> units;
    int start = -1;
    int i = 0;
    while (i + 2 < size) {
        if (data[i] == 0 && data[i + 1] == 0 && data[i + 2] == 1) {
            if (start >= 0) {
                int end = i;
                while (end > start && data[end - 1] == 0)
                    --end;
                units.emplace_back(reinterpret_cast<const char *>(data + start), end - start);
            }
            i += 3;
            start = i;
        } else {
            ++i;
        }
    }
    if (start >= 0 && start < size)
        units.emplace_back(reinterpret_cast<const char *>(data + start), size - start);
    return units;
}

int nalType(const QByteArray &unit)
{
    return unit.isEmpty() ? -1 : uint8_t(unit[0]) & 0x1f;
}

enum { NalSps = 7, NalPps = 8, NalAud = 9 };

void appendBigEndian(QByteArray &out, uint32_t value, int bytes)
{
    for (int b = bytes - 1; b >= 0; --b)
        out.append(char((value >> (8 * b)) & 0xff));
}

QByteArray avcCFromAnnexB(const uint8_t *data, int size)
{
    std::vector<QByteArray> sps, pps;
    for (const QByteArray &unit : annexBUnits(data, size)) {
        if (nalType(unit) == NalSps)
            sps.push_back(unit);
        else if (nalType(unit) == NalPps)
            pps.push_back(unit);
    }
    if (sps.empty() || pps.empty() || sps.front().size() < 4)
        return QByteArray();
    QByteArray avcC;
    avcC.append(char(1));
    avcC.append(sps.front().mid(1, 3)); // profile, compatibility, level
    avcC.append(char(0xff));            // 4-byte NAL lengths
    avcC.append(char(0xe0 | int(sps.size())));
    for (const QByteArray &unit : sps) {
        appendBigEndian(avcC, uint32_t(unit.size()), 2);
        avcC.append(unit);
    }
    avcC.append(char(pps.size()));
    for (const QByteArray &unit : pps) {
        appendBigEndian(avcC, uint32_t(unit.size()), 2);
        avcC.append(unit);
    }
    return avcC;
}

// The parameter sets of an 'avcC' record, SPS then PPS; empty when malformed.
std::vector<QByteArray> avcCParameterSets(const QByteArray &avcC)
{
    std::vector<QByteArray> sets;
    const auto *p = reinterpret_cast<const uint8_t *>(avcC.constData());
    const int size = avcC.size();
    if (size < 6 || p[0] != 1)
        return {};
    int pos = 5;
    for (int list = 0; list < 2; ++list) {
        if (pos >= size)
            return {};
        const int count = list == 0 ? p[pos] & 0x1f : p[pos];
        ++pos;
        for (int n = 0; n < count; ++n) {
            if (pos + 2 > size)
                return {};
            const int length = p[pos] << 8 | p[pos + 1];
            pos += 2;
            if (pos + length > size)
                return {};
            sets.emplace_back(avcC.mid(pos, length));
            pos += length;
        }
    }
    return sets;
}

} // namespace

struct Compressor
{
    ~Compressor()
    {
        sws_freeContext(sws);
        for (SwsContext *pass : passes)
            sws_freeContext(pass);
        av_frame_free(&scratch);
        av_frame_free(&frame);
        av_packet_free(&packet);
        avcodec_free_context(&context);
    }

    CodecType cType = 0;
    CodecQ quality = 0;
    int width = 0;       // the frame the samples show
    int height = 0;
    int codedWidth = 0;  // the frame padded to what the codec takes
    int codedHeight = 0;
    // The coded frame padded on to whole colour samples: what a conversion
    // writes, the picture's edge repeated.
    int paddedWidth = 0;
    int paddedHeight = 0;
    int block = 1;       // a picture between bars starts and ends on multiples of this
    bool h264 = false;
    bool rpza = false;
    AVCodecContext *context = nullptr;
    AVFrame *frame = nullptr; // its buffer holds paddedWidth x paddedHeight pixels
    AVPacket *packet = nullptr;
    long maxSize = 0;
    QByteArray extension; // codec data for the image description
    int64_t frames = 0;   // coded so far
    // The last source: its size, and the rectangle of the frame it fills.
    int sourceWidth = 0;
    int sourceHeight = 0;
    int fitX = 0;
    int fitY = 0;
    int fitWidth = 0;
    int fitHeight = 0;
    SwsContext *sws = nullptr;    // into the frame's pixel format
    std::vector<uint8_t> picture; // a source of another size or format in its place's size, opaque BGRA
    // Such a source goes to picture in passes (several where it shrinks
    // far): each one's context and (but the last's) the rows it writes.
    std::vector<SwsContext *> passes;
    std::vector<std::vector<uint8_t>> passRows;
    AVFrame *scratch = nullptr;   // the converted source, when a bar lies right of its place
    std::vector<uint8_t> rows;    // rows copied for the conversion, widened by their last pixel
};

void CompressorDeleter::operator()(Compressor *compressor) const
{
    delete compressor;
}

namespace {

int alignUp(int value, int align)
{
    return (value + align - 1) / align * align;
}

// FFmpeg takes a picture only where its sides, each 128 pixels longer,
// span at most INT_MAX / 8 pixels (av_image_check_size): its encoders, its
// frames and its decoders all check theirs.
bool imageFits(int64_t width, int64_t height)
{
    return (width + 128) * (height + 128) <= INT_MAX / 8;
}

int64_t blocks(int64_t width, int64_t height, int side)
{
    return (width + side - 1) / side * ((height + side - 1) / side);
}

// Cinepak and Road Pizza give the size of a frame in 24 bits.
constexpr int64_t size24 = 0xffffff;

// x264's constant rate factor sums what its look-ahead reckons each
// macroblock of a frame costs (up to 12,800 for fine black and white
// cells) in an int, and aborts the program when the sum overflows. Frames
// of more macroblocks are coded at the same factor as a fixed quantiser,
// which needs no such sum.
constexpr int64_t rateFactorBlocks = INT_MAX / 13000;

// FFmpeg's MPEG video encoders (MJPEG, MPEG-4) ask for a packet of 3100
// bytes a macroblock and 10000 more, and fail a frame that needs more.
int64_t mpegPacket(int64_t width, int64_t height)
{
    return blocks(width, height, 16) * 3100 + 10000;
}

// The most bytes a hundred pixels of an H.264 frame take, whatever the
// frame shows, as measured on the pictures found hardest (noise; cells of
// black and white whose every Hadamard coefficient is as large; patterns
// grown pixel by pixel towards the largest frame), with room to spare.
// Lossless: 5.88 bytes a pixel at most, of which 1-pixel black and white
// cells take 5.42. Lossy, at the fixed quantiser of large frames: 2.54 at
// quantisers of 3 and finer (x264 codes 1 to 3 alike), about 0.06 less a
// step above that. Counted as 2 bytes a pixel, every frame from quantiser
// 20 on is below FFmpeg's limit at every size x264 takes.
int64_t h264Bytes(bool lossless, CodecQ quality)
{
    if (lossless)
        return 650;
    return qMax(200, 300 - 6 * qMax(0, rateFactorFor(quality) - 3));
}

// Whether the codec codes every frame of these (coded) sides, whatever the
// frame shows, into a sample that a movie can hold and FFmpeg read back
// (of largestSample bytes at most). Where it depends on what a frame
// shows, the worst picture found counts: MJPEG and MPEG-4 code none in
// more than 1.35 and 2.91 bytes a pixel at their finest quantiser (below
// 512 MiB at every size they take), H.264 as h264Bytes says. Beyond
// FFmpeg's image size limit, each codec has limits of its own.
bool codesFrame(AVCodecID id, CodecQ quality, int width, int height)
{
    const int64_t w = width;
    const int64_t h = height;
    if (!imageFits(w, h))
        return false;
    switch (id) {
    case AV_CODEC_ID_MJPEG:
    case AV_CODEC_ID_MPEG4:
        // MPEG-4 gives its sides in 13 bits.
        return mpegPacket(w, h) <= INT_MAX - AV_INPUT_BUFFER_PADDING_SIZE
               && (id != AV_CODEC_ID_MPEG4 || (w < 8192 && h < 8192));
    case AV_CODEC_ID_H264:
        // x264 codes sides of up to 16384, and FFmpeg's decoder takes the
        // picture on whole macroblocks.
        return w <= 16384 && h <= 16384 && imageFits(alignUp(width, 16), alignUp(height, 16))
               && w * h * h264Bytes(clampQuality(quality) == codecLosslessQuality, quality) <= largestSample * 100;
    case AV_CODEC_ID_RAWVIDEO:
        return w * h * 4 <= largestSample;
    case AV_CODEC_ID_QTRLE:
        // Every line a skip code, runs of at most 127 literal pixels and an
        // end code; 15 bytes of frame header and end.
        return 15 + h * (3 * w + (w + 126) / 127 + 2) <= largestSample;
    case AV_CODEC_ID_CINEPAK: {
        // A frame header of 10 bytes and at most three strips (FFmpeg's
        // default), each of a 12-byte header, two codebooks of 256 entries
        // of 6 bytes and an image data chunk, each chunk behind a 4-byte
        // header; in that chunk every 4 x 4 block four codebook indices and
        // two flag bits (coded or skipped, then which codebook), the
        // flags of each strip in 32-bit words. FFmpeg writes whole
        // codebooks only, and gives the sizes in 24 bits.
        const int64_t b = blocks(w, h, 4);
        return 10 + 3 * (12 + 2 * (4 + 256 * 6) + 4) + 4 * b + 4 * ((b + 15) / 16 + 2) <= size24;
    }
    case AV_CODEC_ID_RPZA:
        // A chunk header, then at most 16 colours of 2 bytes a block.
        return 4 + 32 * blocks(w, h, 4) <= size24;
    default:
        return true;
    }
}

// A frame of its own buffer of width x height pixels; null when there is
// no memory for it.
AVFrame *allocFrame(AVPixelFormat format, int width, int height)
{
    AVFrame *frame = av_frame_alloc();
    if (!frame)
        return nullptr;
    frame->format = format;
    frame->width = width;
    frame->height = height;
    if (av_frame_get_buffer(frame, 0) < 0)
        av_frame_free(&frame);
    return frame;
}

// A frame of the compressor's pixel format over a buffer of its padded
// size, that says it is of the coded size.
AVFrame *newFrame(const Compressor &c)
{
    AVFrame *frame = allocFrame(c.context->pix_fmt, c.paddedWidth, c.paddedHeight);
    if (frame) {
        frame->width = c.codedWidth;
        frame->height = c.codedHeight;
    }
    return frame;
}

} // namespace

OSErr openCompressor(CodecType cType, CodecQ quality, int width, int height, CompressorPtr *result, bool delayed)
{
    const CodecSpec *spec = specFor(cType);
    if (!spec || !spec->encoder)
        return noCodecErr;
    const bool lossless = clampQuality(quality) == codecLosslessQuality;
    const bool rgbH264 = lossless && spec->control == QualityControl::X264;
    const AVCodec *encoder = avcodec_find_encoder_by_name(rgbH264 ? "libx264rgb" : spec->encoder);
    if (!encoder)
        return noCodecErr;
    // Lossless H.264 codes 4:4:4, which crops single pixels.
    const int align = rgbH264 ? 1 : spec->align;
    if (width <= 0 || height <= 0
        || !codesFrame(spec->id, quality, alignUp(width, align), alignUp(height, align)))
        return codecSizeErr;

    CompressorPtr c(new Compressor);
    c->cType = cType;
    c->quality = quality;
    c->width = width;
    c->height = height;
    c->codedWidth = alignUp(width, align);
    c->codedHeight = alignUp(height, align);
    c->block = rgbH264 ? 1 : spec->block;
    c->h264 = spec->control == QualityControl::X264;
    c->rpza = spec->id == AV_CODEC_ID_RPZA;
    c->context = avcodec_alloc_context3(encoder);
    c->packet = av_packet_alloc();
    if (!c->context || !c->packet)
        return memFullErr;

    AVCodecContext *ctx = c->context;
    const AVPixelFormat format = rgbH264 ? AV_PIX_FMT_BGR24 : spec->format;
    const AVPixFmtDescriptor *d = av_pix_fmt_desc_get(format);
    c->paddedWidth = alignUp(c->codedWidth, 1 << d->log2_chroma_w);
    c->paddedHeight = alignUp(c->codedHeight, 1 << d->log2_chroma_h);
    ctx->width = c->codedWidth;
    ctx->height = c->codedHeight;
    ctx->pix_fmt = format;
    ctx->time_base = AVRational{1, 600};
    ctx->framerate = AVRational{30, 1};
    ctx->max_b_frames = 0;
    ctx->flags |= AV_CODEC_FLAG_GLOBAL_HEADER;
    // Frame threads hold frames back: only a delayed compressor has them
    // (FFmpeg's default thread types).
    ctx->thread_count = 0;
    if (!delayed)
        ctx->thread_type = FF_THREAD_SLICE;
    switch (spec->control) {
    case QualityControl::FixedScale:
        ctx->flags |= AV_CODEC_FLAG_QSCALE;
        ctx->global_quality = quantiserFor(quality) * FF_QP2LAMBDA;
        break;
    case QualityControl::X264:
        av_opt_set(ctx->priv_data, "preset", "veryfast", 0);
        av_opt_set(ctx->priv_data, "tune", "zerolatency", 0);
        // Its tuning codes slices side by side; frames side by side go faster.
        if (delayed)
            av_opt_set(ctx->priv_data, "x264-params", "sliced-threads=0", 0);
        if (lossless)
            av_opt_set_int(ctx->priv_data, "qp", 0, 0);
        else if (blocks(c->codedWidth, c->codedHeight, 16) > rateFactorBlocks)
            av_opt_set_int(ctx->priv_data, "qp", rateFactorFor(quality), 0);
        else
            av_opt_set_double(ctx->priv_data, "crf", rateFactorFor(quality), 0);
        break;
    case QualityControl::None:
        break;
    }
    describeColour(format, &ctx->colorspace, &ctx->color_range, &ctx->color_primaries, &ctx->color_trc);
    if (avcodec_open2(ctx, encoder, nullptr) < 0)
        return codecSizeErr;

    c->frame = newFrame(*c);
    if (!c->frame)
        return memFullErr;

    const int imageSize = av_image_get_buffer_size(format, c->codedWidth, c->codedHeight, 1);
    if (imageSize < 0)
        return codecSizeErr;
    // The largest sample a frame gives: FFmpeg's MPEG video encoders fail
    // a larger one themselves; a movie holds none larger than FFmpeg reads.
    const int64_t largest = spec->id == AV_CODEC_ID_MJPEG || spec->id == AV_CODEC_ID_MPEG4
                                ? mpegPacket(c->codedWidth, c->codedHeight)
                                : int64_t(imageSize) * (rgbH264 ? 3 : 2) + 65536;
    c->maxSize = long(qMin(largest, largestSample));
    if (c->h264) {
        c->extension = avcCFromAnnexB(ctx->extradata, ctx->extradata_size);
        if (c->extension.isEmpty())
            return codecErr;
    } else if (ctx->extradata_size > 0) {
        c->extension = QByteArray(reinterpret_cast<const char *>(ctx->extradata), ctx->extradata_size);
    }
    *result = std::move(c);
    return noErr;
}

namespace {

bool validSource(PixMapHandle src, const Rect *rect)
{
    return src && rect && rect->top >= src->bounds.top && rect->left >= src->bounds.left
           && rect->bottom <= src->bounds.bottom && rect->right <= src->bounds.right
           && rect->bottom > rect->top && rect->right > rect->left;
}

// The pixel map's compressor for these settings, opened when it has none
// that fits. Its frames have the size set for the pixel map, else the
// source rectangle's.
OSErr compressorFor(PixMapHandle src, const Rect *rect, CodecQ quality, CodecType cType, Compressor **result)
{
    if (!validSource(src, rect))
        return paramErr;
    const int width = src->frameWidth > 0 ? src->frameWidth : rect->right - rect->left;
    const int height = src->frameHeight > 0 ? src->frameHeight : rect->bottom - rect->top;
    Compressor *held = src->compressor.get();
    if (!held || held->cType != cType || held->quality != quality || held->width != width
        || held->height != height) {
        CompressorPtr fresh;
        const OSErr err = openCompressor(cType, quality, width, height, &fresh);
        if (err != noErr)
            return err;
        src->compressor = std::move(fresh);
    }
    *result = src->compressor.get();
    return noErr;
}

// Rewrites an Annex B access unit as 4-byte length-prefixed NAL units,
// without the parameter sets and delimiters that live in the 'avcC' record.
QByteArray lengthPrefixed(const uint8_t *data, int size)
{
    QByteArray out;
    out.reserve(size + 16);
    for (const QByteArray &unit : annexBUnits(data, size)) {
        const int type = nalType(unit);
        if (type == NalSps || type == NalPps || type == NalAud)
            continue;
        appendBigEndian(out, uint32_t(unit.size()), 4);
        out.append(unit);
    }
    return out;
}

// FFmpeg's Road Pizza encoder writes the two colours of its four-colour
// blocks with red and blue exchanged (it picks such blocks where a block's
// pixels vary in one channel, the others nil: red or blue beside black).
// Exchanges them back, in place. A frame is one chunk, 0xe1 and its
// 24-bit size, then opcodes: 0x80 + n - 1 skips n blocks, 0xa0 + n - 1
// fills n blocks with one colour, 0xc0 + n - 1 gives n blocks two colours
// and 2 bits a pixel between them; a byte below 0x80 starts one block's
// first colour, followed by a second colour with its top bit set (four
// colours) or by 15 more (a colour a pixel).
void mendFourColourBlocks(uint8_t *data, int size)
{
    const auto exchange = [](uint8_t *colour) {
        const int v = colour[0] << 8 | colour[1];
        const int mended = (v & 0x83e0) | (v >> 10 & 0x1f) | (v & 0x1f) << 10;
        colour[0] = uint8_t(mended >> 8);
        colour[1] = uint8_t(mended);
    };
    if (size < 4 || data[0] != 0xe1)
        return;
    int pos = 4;
    while (pos < size) {
        const int opcode = data[pos];
        const int blocks = (opcode & 0x1f) + 1;
        if (!(opcode & 0x80)) {
            if (pos + 4 > size)
                return;
            if (!(data[pos + 2] & 0x80)) {
                pos += 32;
                continue;
            }
            if (pos + 8 > size)
                return;
            exchange(data + pos);
            exchange(data + pos + 2);
            pos += 8;
            continue;
        }
        switch (opcode & 0xe0) {
        case 0x80:
            pos += 1;
            break;
        case 0xa0:
            pos += 3;
            break;
        case 0xc0:
            if (pos + 5 + 4 * blocks > size)
                return;
            exchange(data + pos + 1);
            exchange(data + pos + 3);
            pos += 5 + 4 * blocks;
            break;
        default:
            return;
        }
    }
}

// A side of a picture fitted into a side of the frame: its length taken to
// whole steps (one at least), or the frame's whole side where it reaches it.
int fittedSide(int64_t length, int side, int step)
{
    if (length >= side)
        return side;
    return qMin(side, qMax(step, int(length + step / 2) / step * step));
}

// The steps a picture between bars is placed on along a side of the
// frame: the codec's blocks, or smaller ones where the side or the
// picture's length (which it would stretch) holds fewer than two, but
// whole colour samples.
int placementStep(int block, int side, int64_t length, int chroma)
{
    int step = qMax(block, chroma);
    while (step > chroma && (step > side / 2 || step > length / 2))
        step /= 2;
    return step;
}

// Where a source of this size goes in the frame: the whole frame when it
// has the frame's size, else scaled to fit it and centred, its sides
// beside bars on the codec's blocks (so no block holds both picture and
// bar). Whatever the source leaves of the frame is a black bar. False when
// the source keeps the place of the last.
bool placeSource(Compressor *c, int width, int height)
{
    if (c->sourceWidth == width && c->sourceHeight == height)
        return false;
    c->sourceWidth = width;
    c->sourceHeight = height;
    const AVPixFmtDescriptor *d = av_pix_fmt_desc_get(AVPixelFormat(c->frame->format));
    int stepX = 1;
    int stepY = 1;
    if (width == c->width && height == c->height) {
        c->fitWidth = width;
        c->fitHeight = height;
    } else if (int64_t(c->width) * height <= int64_t(c->height) * width) {
        const int64_t length = (int64_t(height) * c->width * 2 + width) / (2 * width);
        stepY = placementStep(c->block, c->height, length, 1 << d->log2_chroma_h);
        c->fitWidth = c->width;
        c->fitHeight = fittedSide(length, c->height, stepY);
    } else {
        const int64_t length = (int64_t(width) * c->height * 2 + height) / (2 * height);
        stepX = placementStep(c->block, c->width, length, 1 << d->log2_chroma_w);
        c->fitHeight = c->height;
        c->fitWidth = fittedSide(length, c->width, stepX);
    }
    c->fitX = (c->width - c->fitWidth) / 2 / stepX * stepX;
    c->fitY = (c->height - c->fitHeight) / 2 / stepY * stepY;
    return true;
}

// The planes of the frame from the top-left corner of the source's place.
void fitPlanes(const Compressor &c, uint8_t *planes[4], int strides[4])
{
    const AVPixFmtDescriptor *d = av_pix_fmt_desc_get(AVPixelFormat(c.frame->format));
    int steps[4] = {0, 0, 0, 0};
    for (int i = 0; i < d->nb_components; ++i)
        steps[d->comp[i].plane] = qMax(steps[d->comp[i].plane], d->comp[i].step);
    for (int p = 0; p < 4; ++p) {
        const bool chroma = p == 1 || p == 2;
        const int x = chroma ? c.fitX >> d->log2_chroma_w : c.fitX;
        const int y = chroma ? c.fitY >> d->log2_chroma_h : c.fitY;
        planes[p] = c.frame->data[p] ? c.frame->data[p] + long(y) * c.frame->linesize[p] + long(x) * steps[p]
                                     : nullptr;
        strides[p] = c.frame->linesize[p];
    }
}

// Makes the frame writable: one the encoder still holds is replaced by a
// new one, into which its pixels are copied only when kept.
OSErr makeFrameWritable(Compressor *c, bool keep)
{
    if (av_frame_is_writable(c->frame))
        return noErr;
    AVFrame *fresh = newFrame(*c);
    if (!fresh)
        return memFullErr;
    if (keep)
        av_image_copy(fresh->data, fresh->linesize, const_cast<const uint8_t **>(c->frame->data), c->frame->linesize,
                      AVPixelFormat(c->frame->format), c->paddedWidth, c->paddedHeight);
    av_frame_free(&c->frame);
    c->frame = fresh;
    return noErr;
}

// Makes the frame writable and ready for a source of this size: black
// where the source will not cover it. The frame keeps its pixels from one
// source to the next, so the bars around the source are blackened only
// when its place changes.
OSErr prepareFrame(Compressor *c, int width, int height)
{
    const bool moved = placeSource(c, width, height);
    const bool bars = c->fitWidth != c->width || c->fitHeight != c->height;
    OSErr err = makeFrameWritable(c, bars && !moved);
    if (err == noErr && bars && moved) {
        const ptrdiff_t linesizes[4] = {c->frame->linesize[0], c->frame->linesize[1], c->frame->linesize[2],
                                        c->frame->linesize[3]};
        const AVPixelFormat target = AVPixelFormat(c->frame->format);
        const AVColorRange range = target == AV_PIX_FMT_YUVJ420P ? AVCOL_RANGE_JPEG : AVCOL_RANGE_MPEG;
        if (av_image_fill_black(c->frame->data, linesizes, target, range, c->paddedWidth, c->paddedHeight) < 0)
            err = codecErr;
    }
    if (err != noErr)
        c->sourceWidth = c->sourceHeight = 0; // placed and blackened at the next try
    return err;
}

// swscale's vector loads read up to this many bytes past the end of a
// source row.
constexpr int sourceOverRead = 64;

// Feeds the rows of an opaque picture of width x height to a conversion of
// paddedWidth x paddedHeight (its last column and row repeated). Rows as
// wide as that are read in place, but for those whose over-read could
// leave their buffer (which may be read for readable bytes after the last
// row); the others are copied widened, a slice at a time.
void feedRows(Compressor *c, SwsContext *sws, const uint8_t *pixels, int stride, int width, int height,
              int paddedWidth, int paddedHeight, int readable, uint8_t *const dst[4], const int dstStrides[4])
{
    const int unsafe = (qMax(0, sourceOverRead - readable) + stride - 1) / stride;
    const int direct = paddedWidth == width ? qMax(0, height - unsafe) : 0;
    if (direct > 0) {
        const uint8_t *const planes[4] = {pixels, nullptr, nullptr, nullptr};
        const int strides[4] = {stride, 0, 0, 0};
        sws_scale(sws, planes, strides, 0, direct, dst, dstStrides);
    }
    constexpr int sliceRows = 16;
    const int rowLength = paddedWidth * 4;
    c->rows.resize(size_t(sliceRows) * size_t(rowLength) + sourceOverRead);
    for (int y = direct; y < paddedHeight; y += sliceRows) {
        const int slice = qMin(sliceRows, paddedHeight - y);
        for (int row = 0; row < slice; ++row) {
            uint8_t *out = c->rows.data() + long(row) * rowLength;
            const uint8_t *in = pixels + long(qMin(y + row, height - 1)) * stride;
            std::memcpy(out, in, size_t(width) * 4);
            for (int x = width; x < paddedWidth; ++x)
                std::memcpy(out + x * 4, in + (width - 1) * 4, 4);
        }
        const uint8_t *const planes[4] = {c->rows.data(), nullptr, nullptr, nullptr};
        const int strides[4] = {rowLength, 0, 0, 0};
        sws_scale(sws, planes, strides, y, slice, dst, dstStrides);
    }
}

// swscale fed a slice at a time crashes where it shrinks a side more than
// 64 times (a filter of over 256 taps); fed a whole picture, it shrinks
// such a side in steps of its own, which lose the colour of a picture one
// pixel wide unless its rows lie packed. It also leans towards the last
// rows and columns where it shrinks a side of very few pixels.
constexpr int passShrink = 32;

// The length of a side after pass k of passes that scale length to fit:
// fit times passShrink for each pass still to come, but no longer than it
// was. A side that grows does so in the last pass; one that shrinks, by at
// most passShrink times a pass, down to sides of passShrink times the
// last one's at least.
int sideAfterPass(int length, int fit, int k, int passes)
{
    int64_t side = fit;
    for (int left = passes - 1 - k; left > 0 && side < length; --left)
        side *= passShrink;
    return int(qMin<int64_t>(side, k == passes - 1 ? fit : length));
}

// The passes that scale length to fit.
int passesFor(int length, int fit)
{
    int passes = 1;
    for (int64_t reach = int64_t(fit) * passShrink; reach < length; reach *= passShrink)
        ++passes;
    return passes;
}

// Scales a source picture of width x height (the caller's rows: opaque
// BGRA, which go to swscale a slice at a time, through feedRows; or a
// picture in another pixel format) to the size of its place into dst, in
// passes that each shrink a side at most passShrink times. Each pass but
// the last writes rows with room after them, which the next one scales
// whole.
OSErr scaleSource(Compressor *c, const uint8_t *const planes[4], const int strides[4], int width, int height,
                  AVPixelFormat format, AVPixelFormat opaque, uint8_t *const dst[4], const int dstStrides[4])
{
    const int passes = qMax(passesFor(width, c->fitWidth), passesFor(height, c->fitHeight));
    if (c->passes.size() < size_t(passes)) {
        c->passes.resize(size_t(passes), nullptr);
        c->passRows.resize(size_t(passes));
    }
    int inWidth = width;
    int inHeight = height;
    const uint8_t *in[4] = {planes[0], planes[1], planes[2], planes[3]};
    int inStrides[4] = {strides[0], strides[1], strides[2], strides[3]};
    for (int k = 0; k < passes; ++k) {
        const bool last = k == passes - 1;
        const int outWidth = sideAfterPass(width, c->fitWidth, k, passes);
        const int outHeight = sideAfterPass(height, c->fitHeight, k, passes);
        const AVPixelFormat inFormat = k > 0 || format == AV_PIX_FMT_BGRA ? opaque : format;
        SwsContext *&sws = c->passes[size_t(k)];
        sws = sws_getCachedContext(sws, inWidth, inHeight, inFormat, outWidth, outHeight, opaque, SWS_BICUBIC,
                                   nullptr, nullptr, nullptr);
        if (!sws)
            return codecErr;
        uint8_t *out[4] = {dst[0], dst[1], dst[2], dst[3]};
        int outStrides[4] = {dstStrides[0], dstStrides[1], dstStrides[2], dstStrides[3]};
        if (!last) {
            std::vector<uint8_t> &rows = c->passRows[size_t(k)];
            outStrides[0] = (alignUp(outWidth, 16) + 16) * 4;
            rows.resize(size_t(outStrides[0]) * size_t(outHeight + 1));
            out[0] = rows.data();
        }
        if (k == 0 && format == AV_PIX_FMT_BGRA)
            feedRows(c, sws, in[0], inStrides[0], inWidth, inHeight, inWidth, inHeight, 0, out, outStrides);
        else
            sws_scale(sws, in, inStrides, 0, inHeight, out, outStrides);
        std::copy(out, out + 4, in);
        std::copy(outStrides, outStrides + 4, inStrides);
        inWidth = outWidth;
        inHeight = outHeight;
    }
    return noErr;
}

// Puts a source picture (width x height in its pixel format; BGRA is the
// caller's, read as opaque) into the frame, in its place. The frame's
// colour samples each cover the picture's own pixels only: the place is
// converted from opaque BGRA rows padded to whole samples and codec blocks
// by repeating the picture's last column and row, so that the padding of
// a frame shows its edge. A source of another size or pixel format is
// first scaled into such rows; a source in place that needs no padding
// converts straight. Where a bar lies right of the place, the conversion
// (whose vector stores run past the end of its rows) goes through scratch.
OSErr convertPicture(Compressor *c, const uint8_t *const planes[4], const int strides[4], int width, int height,
                     AVPixelFormat format)
{
    const OSErr err = prepareFrame(c, width, height);
    if (err != noErr)
        return err;
    const AVPixelFormat target = AVPixelFormat(c->frame->format);
    const AVPixelFormat opaque = av_pix_fmt_desc_get(target)->flags & AV_PIX_FMT_FLAG_ALPHA ? AV_PIX_FMT_BGR0
                                                                                            : AV_PIX_FMT_BGRA;
    const int placedWidth = c->fitWidth == c->width ? c->paddedWidth : c->fitWidth;
    const int placedHeight = c->fitHeight == c->height ? c->paddedHeight : c->fitHeight;
    const bool inPlace = width == c->fitWidth && height == c->fitHeight;
    uint8_t *dst[4];
    int dstStrides[4];
    const bool barRight = c->fitX + placedWidth < c->paddedWidth;
    if (barRight) {
        if (!c->scratch || c->scratch->width != placedWidth || c->scratch->height != placedHeight) {
            av_frame_free(&c->scratch);
            c->scratch = allocFrame(target, placedWidth, placedHeight);
            if (!c->scratch)
                return memFullErr;
        }
        std::copy(c->scratch->data, c->scratch->data + 4, dst);
        std::copy(c->scratch->linesize, c->scratch->linesize + 4, dstStrides);
    } else {
        fitPlanes(*c, dst, dstStrides);
    }

    if (inPlace && format != AV_PIX_FMT_BGRA && placedWidth == width && placedHeight == height) {
        c->sws = sws_getCachedContext(c->sws, width, height, format, width, height, target, SWS_BICUBIC, nullptr,
                                      nullptr, nullptr);
        if (!c->sws)
            return codecErr;
        sws_scale(c->sws, planes, strides, 0, height, dst, dstStrides);
    } else {
        const uint8_t *rows = planes[0];
        int rowStride = strides[0];
        int readable = 0;
        if (!inPlace || format != AV_PIX_FMT_BGRA) {
            // Whole rows of 16 pixels more: swscale's stores run past a row's end.
            rowStride = (alignUp(c->fitWidth, 16) + 16) * 4;
            readable = rowStride;
            c->picture.resize(size_t(rowStride) * size_t(c->fitHeight + 1));
            uint8_t *const scaled[4] = {c->picture.data(), nullptr, nullptr, nullptr};
            const int scaledStrides[4] = {rowStride, 0, 0, 0};
            const OSErr err = scaleSource(c, planes, strides, width, height, format, opaque, scaled, scaledStrides);
            if (err != noErr)
                return err;
            rows = c->picture.data();
        }
        c->sws = sws_getCachedContext(c->sws, placedWidth, placedHeight, opaque, placedWidth, placedHeight, target,
                                      SWS_BICUBIC, nullptr, nullptr, nullptr);
        if (!c->sws)
            return codecErr;
        feedRows(c, c->sws, rows, rowStride, c->fitWidth, c->fitHeight, placedWidth, placedHeight, readable, dst,
                 dstStrides);
    }
    if (barRight) {
        uint8_t *placed[4];
        int placedStrides[4];
        fitPlanes(*c, placed, placedStrides);
        av_image_copy(placed, placedStrides, const_cast<const uint8_t **>(c->scratch->data), c->scratch->linesize,
                      target, placedWidth, placedHeight);
    }
    return noErr;
}

// Hands the frame as it stands to the encoder; at the end, nothing.
OSErr sendFrame(Compressor *c, int64_t pts, bool end)
{
    if (end)
        return avcodec_send_frame(c->context, nullptr) < 0 ? OSErr(codecErr) : OSErr(noErr);
    c->frame->pts = pts;
    c->frame->quality = c->context->global_quality;
    c->frame->pict_type = AV_PICTURE_TYPE_NONE;
    return avcodec_send_frame(c->context, c->frame) < 0 ? OSErr(codecErr) : OSErr(noErr);
}

// The encoder's next sample, when it has one ready (*got), into bytes and
// size, which stay valid until the next call.
OSErr receiveSample(Compressor *c, QByteArray *converted, const char **bytes, long *size, bool *key, bool *got)
{
    *got = false;
    av_packet_unref(c->packet);
    const int received = avcodec_receive_packet(c->context, c->packet);
    if (received == AVERROR(EAGAIN) || received == AVERROR_EOF)
        return noErr;
    if (received < 0)
        return codecErr;
    *got = true;
    // A sample larger than a movie holds is not given, nor copied on its
    // way (an H.264 packet only grows as it is rewritten).
    if (c->packet->size > c->maxSize)
        return codecErr;
    if (c->rpza) {
        if (av_packet_make_writable(c->packet) < 0)
            return memFullErr;
        mendFourColourBlocks(c->packet->data, c->packet->size);
    }
    *bytes = reinterpret_cast<const char *>(c->packet->data);
    *size = c->packet->size;
    if (c->h264) {
        *converted = lengthPrefixed(c->packet->data, c->packet->size);
        *bytes = converted->constData();
        *size = converted->size();
    }
    // The first frame of a coded sequence stands on its own, whether or not
    // the encoder says so (Road Pizza flags no frame at all).
    *key = (c->packet->flags & AV_PKT_FLAG_KEY) || c->frames == 0;
    ++c->frames;
    return *size > c->maxSize ? OSErr(codecErr) : OSErr(noErr);
}

// Codes the frame as it stands, the sample at once.
OSErr encodeFrame(Compressor *c, int64_t pts, QByteArray *converted, const char **bytes, long *size, bool *key)
{
    bool got = false;
    OSErr err = sendFrame(c, pts, false);
    if (err == noErr)
        err = receiveSample(c, converted, bytes, size, key, &got);
    return err == noErr && !got ? OSErr(codecErr) : err;
}

// An image description with the compressor's codec data after it.
long descriptionSize(const Compressor &c)
{
    return long(sizeof(ImageDescription)) + c.extension.size();
}

void describe(const Compressor &c, ImageDescription *d)
{
    d->idSize = descriptionSize(c);
    d->cType = c.cType;
    d->width = int16_t(c.width);
    d->height = int16_t(c.height);
    d->depth = int16_t(specFor(c.cType)->depth);
    d->pixelFormat = c.context->pix_fmt;
    d->dataSize = 0;
    d->sampleFlags = 0;
}

} // namespace

OSErr compressPicture(Compressor *c, const AVFrame *picture, int64_t pts)
{
    if (!picture)
        return sendFrame(c, 0, true);
    // A picture padded up to what its codec takes shows the frame in its
    // top-left corner; any other size is scaled to fit.
    const int dx = picture->width - c->width;
    const int dy = picture->height - c->height;
    const bool padded = dx >= 0 && dx < 4 && dy >= 0 && dy < 4;
    const int width = padded ? c->width : picture->width;
    const int height = padded ? c->height : picture->height;
    OSErr err = convertPicture(c, picture->data, picture->linesize, width, height, AVPixelFormat(picture->format));
    if (err != noErr)
        return err;
    return sendFrame(c, pts, false);
}

OSErr nextSample(Compressor *c, QByteArray *sample, bool *key, bool *got)
{
    QByteArray converted;
    const char *bytes = nullptr;
    long size = 0;
    const OSErr err = receiveSample(c, &converted, &bytes, &size, key, got);
    if (err == noErr && *got)
        *sample = c->h264 ? converted : QByteArray(bytes, int(size));
    return err;
}

QByteArray compressorCodecData(const Compressor *c)
{
    return c->extension;
}

AVCodecID codecIdFor(CodecType cType)
{
    const CodecSpec *spec = specFor(cType);
    return spec ? spec->id : AV_CODEC_ID_NONE;
}

CodecType codecTypeFor(const AVCodecParameters *par)
{
    for (const CodecSpec &spec : codecs)
        if (spec.id == par->codec_id)
            return spec.cType;
    // FFmpeg keeps the file's four-character code least significant byte first.
    const uint32_t tag = par->codec_tag;
    return (tag & 0xff) << 24 | (tag & 0xff00) << 8 | (tag >> 8 & 0xff00) | tag >> 24;
}

void sampleDescriptionSize(const ImageDescription &desc, int *width, int *height)
{
    const CodecSpec *spec = specFor(desc.cType);
    // Lossless H.264 codes 4:4:4 (from BGR24 pixels), which needs no padding.
    const bool padded = spec && !spec->clipsBlocks && desc.pixelFormat != AV_PIX_FMT_BGR24;
    *width = padded ? alignUp(desc.width, spec->align) : desc.width;
    *height = padded ? alignUp(desc.height, spec->align) : desc.height;
}

OSErr probeCompression(CodecType cType, CodecQ quality, int width, int height, ImageDescription *desc,
                       QByteArray *extension)
{
    CompressorPtr probe;
    const OSErr err = openCompressor(cType, quality, width, height, &probe);
    if (err == noErr) {
        describe(*probe, desc);
        *extension = probe->extension;
    }
    return err;
}

// swscale turns the pixels into limited-range YUV with the BT.601 matrix;
// the source is sRGB, whose primaries are BT.709's. Untagged, HD-sized
// movies are shown with the BT.709 matrix, in shifted colours.
void describeColour(int pixelFormat, AVColorSpace *space, AVColorRange *range, AVColorPrimaries *primaries,
                    AVColorTransferCharacteristic *transfer)
{
    if (pixelFormat != AV_PIX_FMT_YUV420P)
        return;
    *space = AVCOL_SPC_SMPTE170M;
    *range = AVCOL_RANGE_MPEG;
    *primaries = AVCOL_PRI_BT709;
    *transfer = AVCOL_TRC_BT709;
}

bool sameParameterSets(const QByteArray &avcA, const QByteArray &avcB)
{
    const std::vector<QByteArray> a = avcCParameterSets(avcA);
    return !a.empty() && a == avcCParameterSets(avcB);
}

OSErr GetMaxCompressionSize(PixMapHandle src, const Rect *srcRect, short colorDepth, CodecQ quality,
                            CodecType cType, CompressorComponent codec, long *size)
{
    if (!size)
        return paramErr;
    Compressor *compressor = nullptr;
    const OSErr err = compressorFor(src, srcRect, quality, cType, &compressor);
    if (err == noErr)
        *size = compressor->maxSize;
    return err;
}

OSErr SetCompressedFrameSize(PixMapHandle src, int16_t width, int16_t height)
{
    if (!src || width < 0 || height < 0 || (width == 0) != (height == 0))
        return paramErr;
    src->frameWidth = width;
    src->frameHeight = height;
    return noErr;
}

OSErr CompressImage(PixMapHandle src, const Rect *srcRect, CodecQ quality, CodecType cType,
                    ImageDescriptionHandle desc, Ptr data)
{
    if (!desc || !data)
        return paramErr;
    Compressor *c = nullptr;
    OSErr err = compressorFor(src, srcRect, quality, cType, &c);
    if (err != noErr)
        return err;

    const uint8_t *pixels = src->baseAddr + long(srcRect->top - src->bounds.top) * src->rowBytes
                            + long(srcRect->left - src->bounds.left) * 4;
    const uint8_t *const planes[4] = {pixels, nullptr, nullptr, nullptr};
    const int strides[4] = {int(src->rowBytes), 0, 0, 0};
    err = convertPicture(c, planes, strides, srcRect->right - srcRect->left, srcRect->bottom - srcRect->top,
                         AV_PIX_FMT_BGRA);
    QByteArray converted;
    const char *bytes = nullptr;
    long size = 0;
    bool key = false;
    if (err == noErr) {
        err = encodeFrame(c, c->frames * 20, &converted, &bytes, &size, &key);
        // The frames that follow a frame given no sample must not depend
        // on it: they start a coded sequence of their own.
        if (err != noErr)
            src->compressor.reset();
    }
    if (err == noErr)
        err = SetHandleSize(reinterpret_cast<Handle>(desc), descriptionSize(*c));
    if (err == noErr) {
        ImageDescription *d = *desc;
        describe(*c, d);
        d->dataSize = size;
        d->sampleFlags = key ? 0 : mediaSampleNotSync;
        std::memcpy(reinterpret_cast<char *>(d) + sizeof(ImageDescription), c->extension.constData(),
                    size_t(c->extension.size()));
        std::memcpy(data, bytes, size_t(size));
    }
    return err;
}
