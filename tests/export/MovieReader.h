#ifndef MOVIEREADER_H
#define MOVIEREADER_H

// What the movie suites share: a reader of movie files that uses libavformat
// and libavcodec independently of the writer under test, test pictures, and
// a writer over a buffer that ends right before an unreadable page.

#include "export/QTMovieFile.h"
#include "support/ModalRecorder.h"

#include <QDir>
#include <QFile>
#include <QImage>
#include <QStringList>
#include <QVector>
#include <sys/mman.h>
#include <unistd.h>

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libswscale/swscale.h>
}

// Of the first video stream but streams and otherPackets (the packets of
// the other streams); frames are decoded as RGB32.
struct MovieReader
{
    int streams = 0;
    int otherPackets = 0;
    CodecType codec = 0;
    QString timeBase;           // "num/den"
    qint64 duration = 0;        // in the time base
    int profile = FF_PROFILE_UNKNOWN;
    int colorSpace = AVCOL_SPC_UNSPECIFIED;
    int colorRange = AVCOL_RANGE_UNSPECIFIED;
    int keyPackets = 0;
    QVector<int> packetSizes;
    int decodeErrors = 0;
    QVector<QImage> frames;

    explicit MovieReader(const QString &path)
    {
        AVFormatContext *input = nullptr;
        if (avformat_open_input(&input, QFile::encodeName(path).constData(), nullptr, nullptr) < 0)
            return;
        const int video = avformat_find_stream_info(input, nullptr) < 0
                              ? -1 : av_find_best_stream(input, AVMEDIA_TYPE_VIDEO, -1, -1, nullptr, 0);
        streams = int(input->nb_streams);
        AVCodecContext *decoder = nullptr;
        if (video >= 0) {
            const AVCodecParameters *par = input->streams[video]->codecpar;
            for (int b = 0; b < 4; ++b)
                codec = codec << 8 | (par->codec_tag >> (8 * b) & 0xff);
            const AVRational base = input->streams[video]->time_base;
            timeBase = QString("%1/%2").arg(base.num).arg(base.den);
            duration = input->streams[video]->duration;
            profile = par->profile;
            colorSpace = par->color_space;
            colorRange = par->color_range;
            decoder = avcodec_alloc_context3(avcodec_find_decoder(par->codec_id));
            avcodec_parameters_to_context(decoder, par);
            avcodec_open2(decoder, decoder->codec, nullptr);
        }
        AVPacket *packet = av_packet_alloc();
        while (av_read_frame(input, packet) >= 0) {
            if (packet->stream_index == video) {
                packetSizes.append(packet->size);
                keyPackets += (packet->flags & AV_PKT_FLAG_KEY) != 0;
                decodeErrors += avcodec_send_packet(decoder, packet) < 0;
                drain(decoder);
            } else {
                ++otherPackets;
            }
            av_packet_unref(packet);
        }
        if (decoder) {
            avcodec_send_packet(decoder, nullptr);
            drain(decoder);
        }
        av_packet_free(&packet);
        avcodec_free_context(&decoder);
        avformat_close_input(&input);
    }

    // Which test picture each frame shows, told by its red level.
    QVector<int> pictures() const
    {
        QVector<int> out;
        for (const QImage &f : frames)
            out << qRound((200 - qRed(f.pixel(f.width() / 2, f.height() / 2))) / 30.0);
        return out;
    }

private:
    void drain(AVCodecContext *decoder)
    {
        AVFrame *frame = av_frame_alloc();
        while (avcodec_receive_frame(decoder, frame) >= 0) {
            // swscale's vector stores run past the end of a row: convert into
            // rows with room to spare, then cut the frame out.
            QImage image(frame->width + 16, frame->height, QImage::Format_RGB32);
            SwsContext *sws = sws_getContext(frame->width, frame->height, AVPixelFormat(frame->format), frame->width,
                                             frame->height, AV_PIX_FMT_BGRA, SWS_POINT, nullptr, nullptr, nullptr);
            uint8_t *const dst[4] = {image.bits(), nullptr, nullptr, nullptr};
            const int stride[4] = {int(image.bytesPerLine()), 0, 0, 0};
            sws_scale(sws, frame->data, frame->linesize, 0, frame->height, dst, stride);
            sws_freeContext(sws);
            frames.append(image.copy(0, 0, frame->width, frame->height));
        }
        av_frame_free(&frame);
    }
};

// Test picture i: smooth and opaque, red 200 - 30 i everywhere, at least 15
// per channel away from pictures i - 1 and i + 1, so that even lossy codecs
// keep them apart.
inline void paintPicture(uchar *pixels, QSize size, int index)
{
    for (int y = 0; y < size.height(); ++y) {
        uchar *p = pixels + y * size.width() * 4;
        for (int x = 0; x < size.width(); ++x, p += 4) {
            p[0] = uchar(x * 2 + index * 20);
            p[1] = uchar(y * 3 + index * 15);
            p[2] = uchar(200 - index * 30);
            p[3] = 255;
        }
    }
}

inline QImage expectedPicture(int index, QSize size = QSize(64, 48))
{
    QImage image(size, QImage::Format_RGB32);
    paintPicture(image.bits(), size, index);
    return image;
}

// Mean absolute difference per channel; 255 for images of other sizes.
inline double meanDifference(const QImage &a, const QImage &b)
{
    if (a.size() != b.size())
        return 255;
    double sum = 0;
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x) {
            const QRgb p = a.pixel(x, y), q = b.pixel(x, y);
            sum += qAbs(qRed(p) - qRed(q)) + qAbs(qGreen(p) - qGreen(q)) + qAbs(qBlue(p) - qBlue(q));
        }
    return sum / (3.0 * a.width() * a.height());
}

// A movie writer whose pixels end with their last row right before a page
// that may not be read, so that reading past them crashes.
struct TestWriter
{
    const QSize size;
    const size_t page = size_t(sysconf(_SC_PAGESIZE));
    const size_t pages = (size_t(size.width() * size.height() * 4) + page - 1) / page;
    uchar *const region = static_cast<uchar *>(
        mmap(nullptr, (pages + 1) * page, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0));
    uchar *const pixels = region + pages * page - size.width() * size.height() * 4;
    QTMovieFile movie;

    explicit TestWriter(QSize size = QSize(64, 48)) : size(size) { mprotect(region + pages * page, page, PROT_NONE); }
    ~TestWriter()
    {
        movie.finish();
        munmap(region, (pages + 1) * page);
    }
    bool open(const QString &path, CodecType codec = fourCC("jpeg"), CodecQ quality = codecNormalQuality)
    {
        movie.setCompression(quality, codec);
        return movie.initQuickTime()
               && movie.open(pixels, k32BGRAPixelFormat, int16_t(size.width()), int16_t(size.height()),
                             size.width() * 4, path);
    }
    // Paints picture index and writes it as the next frame.
    bool frame(int index)
    {
        paintPicture(pixels, size, index);
        return movie.writeFrame();
    }
};

// One run of the writer: how many of the pictures writeFrame took, -1 when
// it could not start or open.
inline int record(const QString &path, const QVector<int> &pictures, CodecType codec = fourCC("jpeg"),
                  CodecQ quality = codecNormalQuality, QSize size = QSize(64, 48))
{
    TestWriter writer(size);
    int written = writer.open(path, codec, quality) ? 0 : -1;
    for (int i = 0; written >= 0 && i < pictures.size(); ++i)
        written += writer.frame(pictures.at(i));
    return written;
}

inline QByteArray contents(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// Every file in a folder, hidden ones too.
inline QStringList entries(const QString &dir)
{
    return QDir(dir).entryList(QDir::Files | QDir::Hidden | QDir::System);
}

// The texts of "Quicktime Export" warnings; any other modal call in full.
inline QStringList warnings(const ModalRecorder &recorder)
{
    QStringList texts;
    for (const ModalRecorder::Call &call : recorder.calls)
        texts << (call.what == "warning" && call.title == "Quicktime Export"
                      ? call.text : call.what + ": " + call.title + " / " + call.text);
    return texts;
}

#endif // MOVIEREADER_H
