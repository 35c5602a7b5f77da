// Decoding an image file (PNG) through DevIL into plain RGBA bytes, 8 bits a
// channel, rows bottom-up as GL wants them. Used for mesh textures and for
// the monitor's status images.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

struct DecodedImage {
  std::vector<std::uint8_t> pixels; // exactly width x height x 4 bytes
  int width = 0;
  int height = 0;
};

// False, with an empty image, when the file does not load or DevIL's data does
// not hold the width x height x 4 bytes its dimensions promise.
bool decodeImageFile(const std::string& path, DecodedImage& image);
