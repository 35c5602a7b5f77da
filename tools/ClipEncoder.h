// Writes an MPEG-2 program stream picture by picture from cairo canvases.
// Encoder and muxer run in bit-exact mode, so equal pictures give equal files.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

class Canvas;
struct AVCodecContext;
struct AVFormatContext;
struct AVFrame;
struct AVPacket;
struct AVStream;

class ClipEncoder {
public:
  static constexpr int kFramesPerSecond = 25;

  ClipEncoder() = default;
  ~ClipEncoder();
  ClipEncoder(const ClipEncoder&) = delete;
  ClipEncoder& operator=(const ClipEncoder&) = delete;

  // Opens the file for pictures of the given size; false (with a message on
  // standard error) if the encoder or the file cannot be set up.
  bool open(const std::string& path, int width, int height);
  // Encodes the canvas (same size as opened) as the next picture.
  bool addPicture(const Canvas& canvas);
  // Flushes the encoder and closes the file.
  bool finish();

private:
  bool writePackets(const AVFrame* frame);
  void release();

  AVFormatContext* format = nullptr;
  AVCodecContext* codec = nullptr;
  AVStream* stream = nullptr;
  AVFrame* frame = nullptr;
  AVPacket* packet = nullptr;
  int64_t pictures = 0;
};
