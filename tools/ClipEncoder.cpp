// MPEG-2 encoding with libavcodec into an MPEG program stream with libavformat.
#include "tools/ClipEncoder.h"

#include <cstdio>
#include <cstring>

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/opt.h>
}

#include "tools/Canvas.h"

namespace {

constexpr int64_t kBitRate = 3500000;
constexpr int64_t kMaxBitRate = 8000000;
constexpr int kBufferBits = 224 * 1024 * 8; // the DVD video buffer
constexpr int kPicturesPerGroup = 12;

bool failed(int result, const char* what) {
  if (result >= 0)
    return false;
  char text[AV_ERROR_MAX_STRING_SIZE] = {};
  av_strerror(result, text, sizeof(text));
  std::fprintf(stderr, "%s: %s\n", what, text);
  return true;
}

} // namespace

ClipEncoder::~ClipEncoder() { release(); }

void ClipEncoder::release() {
  if (format && !(format->oformat->flags & AVFMT_NOFILE) && format->pb)
    avio_closep(&format->pb);
  avformat_free_context(format);
  format = nullptr;
  avcodec_free_context(&codec);
  av_frame_free(&frame);
  av_packet_free(&packet);
}

bool ClipEncoder::open(const std::string& path, int width, int height) {
  // "vob" is the plain MPEG-2 program stream muxer.
  if (failed(avformat_alloc_output_context2(&format, nullptr, "vob", path.c_str()), "muxer"))
    return false;
  format->flags |= AVFMT_FLAG_BITEXACT;
  const AVCodec* encoder = avcodec_find_encoder(AV_CODEC_ID_MPEG2VIDEO);
  if (!encoder) {
    std::fprintf(stderr, "no MPEG-2 video encoder\n");
    return false;
  }
  stream = avformat_new_stream(format, nullptr);
  codec = avcodec_alloc_context3(encoder);
  frame = av_frame_alloc();
  packet = av_packet_alloc();
  if (!stream || !codec || !frame || !packet) {
    std::fprintf(stderr, "out of memory\n");
    return false;
  }
  codec->width = width;
  codec->height = height;
  codec->pix_fmt = AV_PIX_FMT_YUV420P;
  codec->time_base = AVRational{1, kFramesPerSecond};
  codec->framerate = AVRational{kFramesPerSecond, 1};
  codec->gop_size = kPicturesPerGroup;
  codec->max_b_frames = 2;
  codec->bit_rate = kBitRate;
  codec->rc_max_rate = kMaxBitRate;
  codec->rc_buffer_size = kBufferBits;
  codec->thread_count = 1;
  codec->flags |= AV_CODEC_FLAG_BITEXACT;
  if (format->oformat->flags & AVFMT_GLOBALHEADER)
    codec->flags |= AV_CODEC_FLAG_GLOBAL_HEADER;
  if (failed(avcodec_open2(codec, encoder, nullptr), "encoder"))
    return false;
  if (failed(avcodec_parameters_from_context(stream->codecpar, codec), "stream parameters"))
    return false;
  stream->time_base = codec->time_base;
  // The muxer sizes its buffers from the encoder's buffer properties.
  for (int i = 0; i < codec->nb_coded_side_data; ++i) {
    const AVPacketSideData& side = codec->coded_side_data[i];
    if (side.type != AV_PKT_DATA_CPB_PROPERTIES)
      continue;
    uint8_t* copy = av_stream_new_side_data(stream, side.type, side.size);
    if (copy)
      std::memcpy(copy, side.data, side.size);
  }
  frame->format = codec->pix_fmt;
  frame->width = width;
  frame->height = height;
  if (failed(av_frame_get_buffer(frame, 0), "picture buffer"))
    return false;
  if (failed(avio_open(&format->pb, path.c_str(), AVIO_FLAG_WRITE), path.c_str()))
    return false;
  return !failed(avformat_write_header(format, nullptr), "header");
}

bool ClipEncoder::addPicture(const Canvas& canvas) {
  if (failed(av_frame_make_writable(frame), "picture buffer"))
    return false;
  cairo_surface_t* surface = canvas.surface();
  cairo_surface_flush(surface);
  const unsigned char* pixels = cairo_image_surface_get_data(surface);
  const int stride = cairo_image_surface_get_stride(surface);
  // RGB to studio-range YCbCr (BT.601), chroma averaged over 2 x 2 pixels.
  auto rgb = [&](int x, int y, int& r, int& g, int& b) {
    const uint32_t p = reinterpret_cast<const uint32_t*>(pixels + y * stride)[x];
    r = (p >> 16) & 255;
    g = (p >> 8) & 255;
    b = p & 255;
  };
  for (int y = 0; y < frame->height; ++y)
    for (int x = 0; x < frame->width; ++x) {
      int r, g, b;
      rgb(x, y, r, g, b);
      frame->data[0][y * frame->linesize[0] + x] = static_cast<uint8_t>(((66 * r + 129 * g + 25 * b + 128) >> 8) + 16);
    }
  for (int y = 0; y < frame->height / 2; ++y)
    for (int x = 0; x < frame->width / 2; ++x) {
      int sr = 0, sg = 0, sb = 0;
      for (int k = 0; k < 4; ++k) {
        int r, g, b;
        rgb(2 * x + (k & 1), 2 * y + (k >> 1), r, g, b);
        sr += r;
        sg += g;
        sb += b;
      }
      sr = (sr + 2) / 4;
      sg = (sg + 2) / 4;
      sb = (sb + 2) / 4;
      frame->data[1][y * frame->linesize[1] + x] =
          static_cast<uint8_t>(((-38 * sr - 74 * sg + 112 * sb + 128) >> 8) + 128);
      frame->data[2][y * frame->linesize[2] + x] =
          static_cast<uint8_t>(((112 * sr - 94 * sg - 18 * sb + 128) >> 8) + 128);
    }
  frame->pts = pictures++;
  return writePackets(frame);
}

bool ClipEncoder::writePackets(const AVFrame* picture) {
  if (failed(avcodec_send_frame(codec, picture), "encoding"))
    return false;
  for (;;) {
    const int result = avcodec_receive_packet(codec, packet);
    if (result == AVERROR(EAGAIN) || result == AVERROR_EOF)
      return true;
    if (failed(result, "encoding"))
      return false;
    av_packet_rescale_ts(packet, codec->time_base, stream->time_base);
    packet->stream_index = stream->index;
    if (failed(av_interleaved_write_frame(format, packet), "writing"))
      return false;
  }
}

bool ClipEncoder::finish() {
  const bool ok = writePackets(nullptr) && !failed(av_write_trailer(format), "trailer");
  release();
  return ok;
}
