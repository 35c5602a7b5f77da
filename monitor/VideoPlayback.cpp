// Clip decoding for the monitor. One clip at a time: the container, decoder,
// frame, packet, RGBA buffer and converter exist only while it plays and are
// released together, so every path out of a clip frees each of them once.
#include "monitor/VideoPlayback.h"

#include "base/Console.h"
#include "render/TextureUnits.h"

#include <GL/glew.h>

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/imgutils.h>
#include <libavutil/pixdesc.h>
#include <libswscale/swscale.h>
}

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <limits>

namespace {

// Lower-left texel of the video rectangle in the screen texture.
constexpr int kVideoX = 100;
constexpr int kVideoY = 444;

constexpr AVPixelFormat kRgbFormat = AV_PIX_FMT_RGBA;
constexpr int kRgbRowAlignment = 1;
constexpr int kScalerFlags = SWS_BILINEAR;
// NOTE: swscale's vector code writes RGBA rows in blocks of up to 16 texels,
// past the end of the last row when the width is not a multiple of the block.
// Measured here: up to 56 bytes; the slack leaves room for wider vectors.
constexpr int kScalerOverrunBytes = 256;
// The game runs on one thread; a threaded decoder would also delay the first picture.
constexpr int kDecoderThreads = 1;
constexpr int kFallbackIntervalMs = 40;

// Milliseconds one picture lasts at a frame rate, truncated; 0 when unknown.
int intervalFromRate(AVRational rate) {
  if (rate.num <= 0 || rate.den <= 0)
    return 0;
  const std::int64_t ms = std::int64_t{1000} * rate.den / rate.num;
  return ms <= std::numeric_limits<int>::max() ? static_cast<int>(ms) : 0;
}

} // namespace

VideoPlayback::VideoPlayback() = default;

VideoPlayback::~VideoPlayback() { release(); }

// A size below zero is none.
void VideoPlayback::setScreenTexture(unsigned texture, int width, int height) {
  screenTexture = texture;
  textureWidth = texture != 0 ? std::max(width, 0) : 0;
  textureHeight = texture != 0 ? std::max(height, 0) : 0;
}

bool VideoPlayback::playVideo(const char* path) {
  if (playing)
    stopVideo();
  if (path == nullptr || avformat_open_input(&formatContext, path, nullptr, nullptr) != 0) {
    // NOTE: a failed avformat_open_input frees the context it made.
    messageStream() << "could not open " << (path ? path : "") << std::endl;
    return false;
  }
  if (avformat_find_stream_info(formatContext, nullptr) < 0) {
    messageStream() << "Fehler bei avformat_find_stream_info" << std::endl;
    release();
    return false;
  }
  for (unsigned i = 0; i < formatContext->nb_streams; ++i) {
    if (formatContext->streams[i]->codecpar->codec_type == AVMEDIA_TYPE_VIDEO) {
      videoStream = formatContext->streams[i];
      break;
    }
  }
  if (videoStream == nullptr) {
    messageStream() << "kein Videostream gefunden in " << path << std::endl;
    release();
    return false;
  }
  decoder = avcodec_find_decoder(videoStream->codecpar->codec_id);
  if (decoder == nullptr) {
    messageStream() << "codec not found" << std::endl;
    release();
    return false;
  }

  // A stream whose picture size is still unknown cannot get its RGBA buffer,
  // so it fails like a decoder that does not open.
  codecContext = avcodec_alloc_context3(decoder);
  bool ready = codecContext != nullptr && avcodec_parameters_to_context(codecContext, videoStream->codecpar) >= 0;
  if (ready) {
    codecContext->thread_count = kDecoderThreads;
    ready = avcodec_open2(codecContext, decoder, nullptr) >= 0;
  }
  if (ready) {
    packet = av_packet_alloc();
    frame = av_frame_alloc();
    pictureWidth = codecContext->width;
    pictureHeight = codecContext->height;
    const int bufferSize = av_image_get_buffer_size(kRgbFormat, pictureWidth, pictureHeight, kRgbRowAlignment);
    if (bufferSize > 0)
      rgbBuffer = static_cast<std::uint8_t*>(av_malloc(std::size_t(bufferSize) + kScalerOverrunBytes));
    ready = packet && frame && rgbBuffer &&
            av_image_fill_arrays(rgbPicture.planes, rgbPicture.lineSizes, rgbBuffer, kRgbFormat, pictureWidth,
                                 pictureHeight, kRgbRowAlignment) > 0;
  }
  if (!ready) {
    messageStream() << "codec konnte nicht geoeffnet werden" << std::endl;
    release();
    return false;
  }

  packetBytesConsumed = 0;
  if (!readVideoPacket()) {
    // A clip without a single picture packet is simply not played.
    release();
    return false;
  }
  frameIntervalMs = 0;
  elapsedSinceFrame = 0.0;
  playing = true;
  clipPath = path;
  return true;
}

void VideoPlayback::stopVideo() {
  playing = false;
  clipPath.clear();
  release();
}

bool VideoPlayback::isPlaying() const { return playing; }

bool VideoPlayback::advanceVideo(double dt) {
  if (!playing)
    return true;
  elapsedSinceFrame += dt;
  if (elapsedSinceFrame * 1000.0 < static_cast<double>(frameIntervalMs))
    return true;

  switch (decodeStep()) {
  case DecodeResult::Stopped: return false;
  case DecodeResult::NoPicture:
    // The elapsed time stays, so the next update decodes again at once.
    return true;
  case DecodeResult::Picture: break;
  }
  if (!convertPicture())
    return false;
  if (uploadPicture())
    regenerateMipmaps();

  // Time beyond the interval is dropped: a slow game frame shows one picture,
  // so the clip runs slower than real time, never faster.
  updateFrameInterval();
  elapsedSinceFrame = 0.0;
  return true;
}

// Feeds the decoder at most one new packet and asks it for one picture.
VideoPlayback::DecodeResult VideoPlayback::decodeStep() {
  if (!playing)
    return DecodeResult::Stopped;
  if (packetBytesConsumed >= packet->size) {
    if (!readVideoPacket()) {
      // End of the clip: pictures still held inside the decoder are not shown.
      stopVideo();
      return DecodeResult::Stopped;
    }
    packetBytesConsumed = 0;
  }

  // NOTE: an empty packet would tell the decoder to drain, so none is sent.
  if (packetBytesConsumed < packet->size) {
    const int sent = avcodec_send_packet(codecContext, packet);
    if (sent == 0) {
      packetBytesConsumed = packet->size;
    } else if (sent != AVERROR(EAGAIN)) {
      // EAGAIN: a picture must be taken out first; the packet is sent again next time.
      messageStream() << "Error beim verarbeiten der Daten" << std::endl;
      stopVideo();
      return DecodeResult::Stopped;
    }
  }

  const int received = avcodec_receive_frame(codecContext, frame);
  if (received == AVERROR(EAGAIN))
    return DecodeResult::NoPicture;
  if (received < 0) {
    messageStream() << "Error beim verarbeiten der Daten" << std::endl;
    stopVideo();
    return DecodeResult::Stopped;
  }
  return DecodeResult::Picture;
}

// Converts the decoded picture to RGBA with its bottom row first, the row
// order of GL textures.
bool VideoPlayback::convertPicture() {
  if (!playing)
    return false;
  const auto format = static_cast<AVPixelFormat>(frame->format);
  // Made at the first picture; remade only if a clip changes its picture size
  // or format, and always scaled to the buffer, which was sized at opening.
  scaler = sws_getCachedContext(scaler, frame->width, frame->height, format, pictureWidth, pictureHeight, kRgbFormat,
                                kScalerFlags, nullptr, nullptr, nullptr);
  const AVPixFmtDescriptor* layout = av_pix_fmt_desc_get(format);
  if (scaler == nullptr || layout == nullptr) {
    messageStream() << "Error beim verwenden von sws_getContext" << std::endl;
    stopVideo();
    return false;
  }

  // Read every plane from its last row upward. Chroma planes of a subsampled
  // format have fewer rows; a palette (plane 1 of paletted formats, not
  // counted as a plane) is passed on unchanged.
  const std::uint8_t* source[4];
  int sourceStrides[4];
  for (int p = 0; p < 4; ++p) {
    source[p] = frame->data[p];
    sourceStrides[p] = frame->linesize[p];
  }
  const bool subsampledChroma = (layout->flags & AV_PIX_FMT_FLAG_RGB) == 0;
  const int planeCount = std::min(av_pix_fmt_count_planes(format), 4);
  for (int p = 0; p < planeCount; ++p) {
    const bool chroma = subsampledChroma && (p == 1 || p == 2);
    const int rows = chroma ? AV_CEIL_RSHIFT(frame->height, layout->log2_chroma_h) : frame->height;
    source[p] = frame->data[p] + static_cast<std::ptrdiff_t>(rows - 1) * frame->linesize[p];
    sourceStrides[p] = -frame->linesize[p];
  }

  const int rows = sws_scale(scaler, source, sourceStrides, 0, frame->height, rgbPicture.planes, rgbPicture.lineSizes);
  if (rows <= 0) {
    messageStream() << "pic slice ist <= 0" << std::endl;
    stopVideo();
    return false;
  }
  return true;
}

// Writes the picture at (100, 444). A picture larger than the rest of the
// texture is clipped: its bottom rows and left columns are written. Returns
// whether anything was written.
bool VideoPlayback::uploadPicture() {
  const int width = std::min(pictureWidth, textureWidth - kVideoX);
  const int height = std::min(pictureHeight, textureHeight - kVideoY);
  if (rgbBuffer == nullptr || screenTexture == 0 || width <= 0 || height <= 0)
    return false;

  glActiveTexture(GL_TEXTURE0 + render::kColorTextureUnit);
  glBindTexture(GL_TEXTURE_2D, screenTexture);
  GLint rowLength = 0;
  GLint alignment = 4;
  glGetIntegerv(GL_UNPACK_ROW_LENGTH, &rowLength);
  glGetIntegerv(GL_UNPACK_ALIGNMENT, &alignment);
  // The buffer's rows are pictureWidth texels long and tightly packed.
  glPixelStorei(GL_UNPACK_ROW_LENGTH, pictureWidth);
  glPixelStorei(GL_UNPACK_ALIGNMENT, 4);
  glTexSubImage2D(GL_TEXTURE_2D, 0, kVideoX, kVideoY, width, height, GL_RGBA, GL_UNSIGNED_BYTE, rgbBuffer);
  glPixelStorei(GL_UNPACK_ROW_LENGTH, rowLength);
  glPixelStorei(GL_UNPACK_ALIGNMENT, alignment);
  uploadedX = kVideoX, uploadedY = kVideoY, uploadedWidth = width, uploadedHeight = height;
  ++uploadCount;
  return true;
}

void VideoPlayback::regenerateMipmaps() {
  if (screenTexture == 0)
    return;
  glActiveTexture(GL_TEXTURE0 + render::kColorTextureUnit);
  mipChain.regenerate(screenTexture, textureWidth, textureHeight, uploadedX, uploadedY, uploadedWidth, uploadedHeight);
}

// Reads packets until one belongs to the video stream; packets of other
// streams never reach the video decoder.
bool VideoPlayback::readVideoPacket() {
  for (;;) {
    av_packet_unref(packet);
    if (av_read_frame(formatContext, packet) < 0)
      return false;
    if (packet->stream_index == videoStream->index)
      return true;
  }
}

// Milliseconds per picture from the decoder's time base, truncated. The
// decoder knows its time base only once it has produced a picture, and some
// decoders never report one (or one finer than a millisecond per picture):
// then the stream's frame rate decides.
void VideoPlayback::updateFrameInterval() {
  const AVRational timeBase = codecContext->time_base;
  const std::int64_t ticks = codecContext->ticks_per_frame;
  if (timeBase.num > 0 && timeBase.den > 0 && ticks > 0) {
    const std::int64_t product = ticks * timeBase.num * 1000;
    if (product <= std::numeric_limits<int>::max()) {
      frameIntervalMs = static_cast<int>(product) / timeBase.den;
      if (frameIntervalMs > 0)
        return;
    }
  }
  frameIntervalMs = intervalFromRate(videoStream->avg_frame_rate);
  if (frameIntervalMs <= 0)
    frameIntervalMs = intervalFromRate(videoStream->r_frame_rate);
  if (frameIntervalMs <= 0)
    frameIntervalMs = kFallbackIntervalMs;
}

void VideoPlayback::release() {
  sws_freeContext(scaler);
  scaler = nullptr;
  av_freep(&rgbBuffer);
  rgbPicture = RgbPicture();
  av_frame_free(&frame);
  av_packet_free(&packet);
  avcodec_free_context(&codecContext);
  avformat_close_input(&formatContext);
  videoStream = nullptr;
  decoder = nullptr;
  packetBytesConsumed = 0;
  pictureWidth = 0;
  pictureHeight = 0;
}
