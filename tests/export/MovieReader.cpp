#include "MovieReader.h"

#include <QFile>

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libswscale/swscale.h>
}

namespace {
QImage toImage(const AVFrame *frame)
{
    // swscale's vector stores run past the end of a row: convert into rows
    // with room to spare, then cut the frame out.
    QImage image(frame->width + 16, frame->height, QImage::Format_RGB32);
    SwsContext *sws = sws_getContext(frame->width, frame->height, AVPixelFormat(frame->format), frame->width,
                                     frame->height, AV_PIX_FMT_BGRA, SWS_POINT, nullptr, nullptr, nullptr);
    uint8_t *const dst[4] = {image.bits(), nullptr, nullptr, nullptr};
    const int stride[4] = {int(image.bytesPerLine()), 0, 0, 0};
    sws_scale(sws, frame->data, frame->linesize, 0, frame->height, dst, stride);
    sws_freeContext(sws);
    return image.copy(0, 0, frame->width, frame->height);
}
}

MovieReader::MovieReader(const QString &path)
{
    AVFormatContext *input = nullptr;
    if (avformat_open_input(&input, QFile::encodeName(path).constData(), nullptr, nullptr) < 0)
        return;
    if (avformat_find_stream_info(input, nullptr) < 0) {
        avformat_close_input(&input);
        return;
    }
    opened = true;
    streams = int(input->nb_streams);
    const int video = av_find_best_stream(input, AVMEDIA_TYPE_VIDEO, -1, -1, nullptr, 0);
    AVCodecContext *decoder = nullptr;
    if (video >= 0) {
        const AVStream *stream = input->streams[video];
        const uint32_t tag = stream->codecpar->codec_tag;
        for (int b = 0; b < 4; ++b)
            fourCC.append(QChar(char(tag >> (8 * b))));
        timeBaseNum = stream->time_base.num;
        timeBaseDen = stream->time_base.den;
        duration = stream->duration;
        width = stream->codecpar->width;
        height = stream->codecpar->height;
        profile = stream->codecpar->profile;
        colorSpace = stream->codecpar->color_space;
        colorRange = stream->codecpar->color_range;
        const AVCodec *codec = avcodec_find_decoder(stream->codecpar->codec_id);
        decoder = avcodec_alloc_context3(codec);
        avcodec_parameters_to_context(decoder, stream->codecpar);
        avcodec_open2(decoder, codec, nullptr);
    }
    AVPacket *packet = av_packet_alloc();
    AVFrame *frame = av_frame_alloc();
    auto drain = [&] {
        while (avcodec_receive_frame(decoder, frame) >= 0)
            frames.append(toImage(frame));
    };
    while (av_read_frame(input, packet) >= 0) {
        if (packet->stream_index == video) {
            ++packets;
            packetSizes.append(packet->size);
            if (packet->flags & AV_PKT_FLAG_KEY)
                ++keyPackets;
            if (avcodec_send_packet(decoder, packet) < 0)
                ++decodeErrors;
            drain();
        } else {
            ++otherPackets;
        }
        av_packet_unref(packet);
    }
    if (decoder) {
        avcodec_send_packet(decoder, nullptr);
        drain();
    }
    av_frame_free(&frame);
    av_packet_free(&packet);
    avcodec_free_context(&decoder);
    avformat_close_input(&input);
}
