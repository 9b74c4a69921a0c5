// Image compression through FFmpeg's encoders, one coded sequence per
// source pixel map.

#include "export/quicktime/QTInternal.h"

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
    int align;           // frame width and height must be multiples of this
    QualityControl control;
};

const CodecSpec codecs[] = {
    {fourCC("jpeg"), AV_CODEC_ID_MJPEG, "mjpeg", AV_PIX_FMT_YUVJ420P, 24, 1, QualityControl::FixedScale},
    {fourCC("raw "), AV_CODEC_ID_RAWVIDEO, "rawvideo", AV_PIX_FMT_RGB24, 24, 1, QualityControl::None},
    {fourCC("rle "), AV_CODEC_ID_QTRLE, "qtrle", AV_PIX_FMT_RGB24, 24, 1, QualityControl::None},
    {fourCC("cvid"), AV_CODEC_ID_CINEPAK, "cinepak", AV_PIX_FMT_RGB24, 24, 4, QualityControl::FixedScale},
    {fourCC("rpza"), AV_CODEC_ID_RPZA, "rpza", AV_PIX_FMT_RGB555LE, 16, 4, QualityControl::None},
    {fourCC("avc1"), AV_CODEC_ID_H264, "libx264", AV_PIX_FMT_YUV420P, 24, 2, QualityControl::X264},
    {fourCC("SVQ3"), AV_CODEC_ID_SVQ3, nullptr, AV_PIX_FMT_YUV420P, 24, 1, QualityControl::None},
    {fourCC("mp4v"), AV_CODEC_ID_MPEG4, "mpeg4", AV_PIX_FMT_YUV420P, 24, 2, QualityControl::FixedScale},
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
        av_frame_free(&frame);
        av_packet_free(&packet);
        avcodec_free_context(&context);
    }

    CodecType cType = 0;
    CodecQ quality = 0;
    int width = 0;
    int height = 0;
    bool h264 = false;
    AVCodecContext *context = nullptr;
    SwsContext *sws = nullptr;
    AVFrame *frame = nullptr;
    AVPacket *packet = nullptr;
    long maxSize = 0;
    QByteArray extension; // codec data for the image description
    int64_t nextPts = 0;
    std::vector<uint8_t> tail; // padded copy of the source's last rows
};

void CompressorDeleter::operator()(Compressor *compressor) const
{
    delete compressor;
}

namespace {

typedef std::unique_ptr<Compressor, CompressorDeleter> CompressorPtr;

OSErr openCompressor(CodecType cType, CodecQ quality, int width, int height, CompressorPtr *result)
{
    const CodecSpec *spec = specFor(cType);
    if (!spec || !spec->encoder)
        return noCodecErr;
    const bool lossless = clampQuality(quality) == codecLosslessQuality;
    const bool rgbH264 = lossless && spec->control == QualityControl::X264;
    const AVCodec *encoder = avcodec_find_encoder_by_name(rgbH264 ? "libx264rgb" : spec->encoder);
    if (!encoder)
        return noCodecErr;
    if (width <= 0 || height <= 0 || width % spec->align || height % spec->align)
        return codecSizeErr;

    CompressorPtr c(new Compressor);
    c->cType = cType;
    c->quality = quality;
    c->width = width;
    c->height = height;
    c->h264 = spec->control == QualityControl::X264;
    c->context = avcodec_alloc_context3(encoder);
    c->frame = av_frame_alloc();
    c->packet = av_packet_alloc();
    if (!c->context || !c->frame || !c->packet)
        return memFullErr;

    AVCodecContext *ctx = c->context;
    const AVPixelFormat format = rgbH264 ? AV_PIX_FMT_BGR24 : spec->format;
    ctx->width = width;
    ctx->height = height;
    ctx->pix_fmt = format;
    ctx->time_base = AVRational{1, 600};
    ctx->framerate = AVRational{30, 1};
    ctx->max_b_frames = 0;
    ctx->flags |= AV_CODEC_FLAG_GLOBAL_HEADER;
    // Slice threads only: frame threads would hold frames back.
    ctx->thread_count = 0;
    ctx->thread_type = FF_THREAD_SLICE;
    switch (spec->control) {
    case QualityControl::FixedScale:
        ctx->flags |= AV_CODEC_FLAG_QSCALE;
        ctx->global_quality = quantiserFor(quality) * FF_QP2LAMBDA;
        break;
    case QualityControl::X264:
        av_opt_set(ctx->priv_data, "preset", "veryfast", 0);
        av_opt_set(ctx->priv_data, "tune", "zerolatency", 0);
        if (lossless)
            av_opt_set_int(ctx->priv_data, "qp", 0, 0);
        else
            av_opt_set_double(ctx->priv_data, "crf", rateFactorFor(quality), 0);
        break;
    case QualityControl::None:
        break;
    }
    describeColour(format, &ctx->colorspace, &ctx->color_range, &ctx->color_primaries, &ctx->color_trc);
    if (avcodec_open2(ctx, encoder, nullptr) < 0)
        return codecSizeErr;

    c->frame->format = format;
    c->frame->width = width;
    c->frame->height = height;
    if (av_frame_get_buffer(c->frame, 0) < 0)
        return memFullErr;
    c->sws = sws_getContext(width, height, AV_PIX_FMT_BGRA, width, height, format, SWS_BICUBIC, nullptr,
                            nullptr, nullptr);
    if (!c->sws)
        return codecErr;

    const int imageSize = av_image_get_buffer_size(format, width, height, 1);
    c->maxSize = long(imageSize) * 2 + 65536;
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

bool validSource(PixMapHandle src, const Rect *rect)
{
    return src && rect && rect->top >= src->bounds.top && rect->left >= src->bounds.left
           && rect->bottom <= src->bounds.bottom && rect->right <= src->bounds.right
           && rect->bottom > rect->top && rect->right > rect->left;
}

// The pixel map's compressor for these settings, opened when it has none
// that fits.
OSErr compressorFor(PixMapHandle src, const Rect *rect, CodecQ quality, CodecType cType, Compressor **result)
{
    if (!validSource(src, rect))
        return paramErr;
    const int width = rect->right - rect->left;
    const int height = rect->bottom - rect->top;
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

// swscale's vector loads read up to this many bytes past the end of a
// source row.
constexpr int sourceOverRead = 64;

// Converts the source pixels into the compressor's frame. The caller's
// buffer may end right after the last pixel of its last row, so the rows
// whose over-read could leave it are converted from a padded copy.
void convert(Compressor *c, const uint8_t *pixels, int stride)
{
    const int rowLength = c->width * 4;
    const int direct = qMax(0, c->height - (sourceOverRead + stride - 1) / stride);
    const int tailRows = c->height - direct;
    if (direct > 0) {
        const uint8_t *const planes[4] = {pixels, nullptr, nullptr, nullptr};
        const int strides[4] = {stride, 0, 0, 0};
        sws_scale(c->sws, planes, strides, 0, direct, c->frame->data, c->frame->linesize);
    }
    c->tail.resize(size_t(tailRows * rowLength + sourceOverRead));
    for (int row = 0; row < tailRows; ++row)
        std::memcpy(c->tail.data() + row * rowLength, pixels + long(direct + row) * stride, size_t(rowLength));
    const uint8_t *const planes[4] = {c->tail.data(), nullptr, nullptr, nullptr};
    const int strides[4] = {rowLength, 0, 0, 0};
    sws_scale(c->sws, planes, strides, direct, tailRows, c->frame->data, c->frame->linesize);
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

OSErr CompressImage(PixMapHandle src, const Rect *srcRect, CodecQ quality, CodecType cType,
                    ImageDescriptionHandle desc, Ptr data)
{
    if (!desc || !data)
        return paramErr;
    Compressor *c = nullptr;
    OSErr err = compressorFor(src, srcRect, quality, cType, &c);
    if (err != noErr)
        return err;

    if (av_frame_make_writable(c->frame) < 0)
        return memFullErr;
    const uint8_t *pixels = src->baseAddr + long(srcRect->top - src->bounds.top) * src->rowBytes
                            + long(srcRect->left - src->bounds.left) * 4;
    convert(c, pixels, int(src->rowBytes));
    c->frame->pts = c->nextPts++ * 20;
    c->frame->quality = c->context->global_quality;
    c->frame->pict_type = AV_PICTURE_TYPE_NONE;
    if (avcodec_send_frame(c->context, c->frame) < 0 || avcodec_receive_packet(c->context, c->packet) < 0)
        return codecErr;

    QByteArray converted;
    const char *bytes = reinterpret_cast<const char *>(c->packet->data);
    long size = c->packet->size;
    if (c->h264) {
        converted = lengthPrefixed(c->packet->data, c->packet->size);
        bytes = converted.constData();
        size = converted.size();
    }
    // The first frame of a coded sequence stands on its own, whether or not
    // the encoder says so (Road Pizza flags no frame at all).
    const bool key = (c->packet->flags & AV_PKT_FLAG_KEY) || c->packet->pts == 0;
    err = size > c->maxSize ? OSErr(codecErr) : SetHandleSize(reinterpret_cast<Handle>(desc), descriptionSize(*c));
    if (err == noErr) {
        ImageDescription *d = *desc;
        describe(*c, d);
        d->dataSize = size;
        d->sampleFlags = key ? 0 : mediaSampleNotSync;
        std::memcpy(reinterpret_cast<char *>(d) + sizeof(ImageDescription), c->extension.constData(),
                    size_t(c->extension.size()));
        std::memcpy(data, bytes, size_t(size));
    }
    av_packet_unref(c->packet);
    return err;
}
