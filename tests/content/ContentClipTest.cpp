// The clips open with libavformat like the monitor opens them, hold one MPEG
// video stream of 480 x 360 at 25 pictures per second, and decode without an
// error from the first to the last picture.
#include <gtest/gtest.h>

#include <string>

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
}

namespace {

struct ClipFacts {
  bool opened = false;
  unsigned streams = 0;
  AVMediaType type = AVMEDIA_TYPE_UNKNOWN;
  AVCodecID codec = AV_CODEC_ID_NONE;
  int width = 0, height = 0;
  AVRational rate{0, 1};
  int pictures = 0;
  int badPictures = 0; // decoded at another size or format
  int errors = 0;
};

ClipFacts decodeAll(const std::string& path) {
  ClipFacts facts;
  AVFormatContext* format = nullptr;
  if (avformat_open_input(&format, path.c_str(), nullptr, nullptr) != 0)
    return facts;
  facts.opened = avformat_find_stream_info(format, nullptr) >= 0;
  facts.streams = format->nb_streams;
  if (!facts.opened || facts.streams == 0) {
    avformat_close_input(&format);
    return facts;
  }
  const AVStream* stream = format->streams[0];
  facts.type = stream->codecpar->codec_type;
  facts.codec = stream->codecpar->codec_id;
  facts.width = stream->codecpar->width;
  facts.height = stream->codecpar->height;
  facts.rate = stream->avg_frame_rate;
  const AVCodec* decoder = avcodec_find_decoder(facts.codec);
  AVCodecContext* context = avcodec_alloc_context3(decoder);
  avcodec_parameters_to_context(context, stream->codecpar);
  if (!decoder || avcodec_open2(context, decoder, nullptr) < 0) {
    ++facts.errors;
  } else {
    AVPacket* packet = av_packet_alloc();
    AVFrame* frame = av_frame_alloc();
    auto drain = [&] {
      while (avcodec_receive_frame(context, frame) == 0) {
        ++facts.pictures;
        facts.badPictures += frame->width != 480 || frame->height != 360 || frame->format != AV_PIX_FMT_YUV420P;
        av_frame_unref(frame);
      }
    };
    while (av_read_frame(format, packet) >= 0) {
      if (packet->stream_index == 0) {
        facts.errors += avcodec_send_packet(context, packet) < 0;
        drain();
      }
      av_packet_unref(packet);
    }
    avcodec_send_packet(context, nullptr);
    drain();
    av_frame_free(&frame);
    av_packet_free(&packet);
  }
  avcodec_free_context(&context);
  avformat_close_input(&format);
  return facts;
}

struct Clip {
  const char* path;
  double shortest, longest; // seconds
};

class ContentClip : public ::testing::TestWithParam<Clip> {};

} // namespace

TEST_P(ContentClip, OneMpegVideoStreamThatDecodesToItsFullLength) {
  const Clip clip = GetParam();
  const ClipFacts facts = decodeAll(clip.path);
  ASSERT_TRUE(facts.opened);
  EXPECT_EQ(facts.streams, 1u);
  EXPECT_EQ(facts.type, AVMEDIA_TYPE_VIDEO);
  EXPECT_TRUE(facts.codec == AV_CODEC_ID_MPEG2VIDEO || facts.codec == AV_CODEC_ID_MPEG1VIDEO);
  // 480 x 360 placed at (100, 444): the setting notices (x 100..536) lie on
  // the picture and its top (y 804) stays below the statistics row (y 957).
  EXPECT_EQ(facts.width, 480);
  EXPECT_EQ(facts.height, 360);
  EXPECT_EQ(facts.rate.num, 25);
  EXPECT_EQ(facts.rate.den, 1);
  EXPECT_EQ(facts.errors, 0);
  EXPECT_EQ(facts.badPictures, 0);
  EXPECT_GE(facts.pictures, clip.shortest * 25);
  EXPECT_LE(facts.pictures, clip.longest * 25);
}

INSTANTIATE_TEST_SUITE_P(EveryClip, ContentClip,
                         ::testing::Values(Clip{"Videos/Katzenvideo.mpg", 8, 15},
                                           Clip{"Videos/Katzentutorial.mpg", 15, 30}, Clip{"Videos/GameOver.mpg", 3, 6},
                                           Clip{"Videos/Sieg.mpg", 3, 6}),
                         [](const auto& info) {
                           std::string name = info.param.path + 7;
                           return name.substr(0, name.find('.'));
                         });

// The default clip loops: its last picture leads back into its first without a jump.
TEST(ContentClipLoop, DefaultClipEndsWhereItBegins) {
  AVFormatContext* format = nullptr;
  ASSERT_EQ(avformat_open_input(&format, "Videos/Katzenvideo.mpg", nullptr, nullptr), 0);
  ASSERT_GE(avformat_find_stream_info(format, nullptr), 0);
  const AVCodec* decoder = avcodec_find_decoder(format->streams[0]->codecpar->codec_id);
  AVCodecContext* context = avcodec_alloc_context3(decoder);
  avcodec_parameters_to_context(context, format->streams[0]->codecpar);
  ASSERT_GE(avcodec_open2(context, decoder, nullptr), 0);
  AVPacket* packet = av_packet_alloc();
  AVFrame* frame = av_frame_alloc();
  std::string first, second, last;
  auto keep = [&] {
    while (avcodec_receive_frame(context, frame) == 0) {
      std::string luma;
      for (int y = 0; y < frame->height; ++y)
        luma.append(reinterpret_cast<const char*>(frame->data[0] + y * frame->linesize[0]), frame->width);
      if (first.empty())
        first = luma;
      else if (second.empty())
        second = luma;
      last = luma;
      av_frame_unref(frame);
    }
  };
  while (av_read_frame(format, packet) >= 0) {
    avcodec_send_packet(context, packet);
    keep();
    av_packet_unref(packet);
  }
  avcodec_send_packet(context, nullptr);
  keep();
  auto difference = [](const std::string& a, const std::string& b) {
    double sum = 0;
    for (size_t i = 0; i < a.size() && i < b.size(); ++i)
      sum += std::abs(static_cast<int>(static_cast<unsigned char>(a[i])) - static_cast<unsigned char>(b[i]));
    return sum / static_cast<double>(a.size());
  };
  ASSERT_FALSE(last.empty());
  // The step from the last picture to the first is no bigger than an ordinary
  // step between two pictures (with room for coding noise).
  EXPECT_LE(difference(last, first), 2.0 * difference(first, second) + 1.0);
  av_frame_free(&frame);
  av_packet_free(&packet);
  avcodec_free_context(&context);
  avformat_close_input(&format);
}
