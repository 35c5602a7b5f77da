// The monitor's video player: opens an MPEG clip with FFmpeg, decodes one
// picture at a time in step with the game's frame time, converts it to RGBA
// and writes it into a fixed rectangle of the monitor's screen texture.
// Everything runs on the main thread with the GL context current.
#pragma once

#include "render/MipChain.h"

#include <cstdint>
#include <string>

struct AVCodec;
struct AVCodecContext;
struct AVFormatContext;
struct AVFrame;
struct AVPacket;
struct AVStream;
struct SwsContext;

class VideoPlayback {
public:
  explicit VideoPlayback();
  ~VideoPlayback();
  VideoPlayback(const VideoPlayback&) = delete;
  VideoPlayback& operator=(const VideoPlayback&) = delete;

  // The texture the pictures are written into, with the size of its level 0
  // (as uploaded: ES cannot ask GL), to which pictures are clipped.
  void setScreenTexture(unsigned texture, int width, int height);

  // Stops the current clip (even when the new one fails), opens the path and
  // reads its first packet. False, with a message on the game's stream for
  // every failure but an empty clip, leaves the player idle.
  bool playVideo(const char* path);
  void stopVideo();
  bool isPlaying() const;
  // The path of the clip that plays, empty when idle.
  const std::string& currentClip() const { return clipPath; }

  // The per-frame video step. False when the clip ended or failed in this
  // step; true otherwise, also when no clip plays.
  bool advanceVideo(double dt);

  // The parts of one video step in the order advanceVideo runs them, public so
  // the benchmark can time each. A step that fails stops the clip.
  enum class DecodeResult { Picture, NoPicture, Stopped };
  DecodeResult decodeStep();
  bool convertPicture();
  bool uploadPicture(); // false when nothing of the picture fits
  void regenerateMipmaps();

  // where the last picture went (its level-0 rectangle) and how many went
  int uploadedX = 0, uploadedY = 0, uploadedWidth = 0, uploadedHeight = 0;
  unsigned uploadCount = 0;
  // The last picture written, rows uploadedRowLength() texels apart, bottom
  // row first. Only right after an upload: the buffer belongs to the clip and
  // holds nothing of it before its first picture is converted.
  const std::uint8_t* uploadedPixels() const { return rgbBuffer; }
  int uploadedRowLength() const { return pictureWidth; }

  // pacing
  bool playing = false;
  int frameIntervalMs = 0;
  double elapsedSinceFrame = 0.0;

private:
  // Plane pointers and line sizes laid over rgbBuffer.
  struct RgbPicture {
    std::uint8_t* planes[4] = {};
    int lineSizes[4] = {};
  };

  bool readVideoPacket();
  void updateFrameInterval();
  void release();

  // clip
  AVFormatContext* formatContext = nullptr;
  AVStream* videoStream = nullptr;
  const AVCodec* decoder = nullptr;
  AVCodecContext* codecContext = nullptr;
  AVFrame* frame = nullptr;
  AVPacket* packet = nullptr;
  int packetBytesConsumed = 0;

  // conversion
  RgbPicture rgbPicture;
  std::uint8_t* rgbBuffer = nullptr;
  int pictureWidth = 0;
  int pictureHeight = 0;
  SwsContext* scaler = nullptr;

  // destination
  unsigned screenTexture = 0;
  std::string clipPath;
  int textureWidth = 0;
  int textureHeight = 0;
  MipChain mipChain; // the levels over each picture
};
