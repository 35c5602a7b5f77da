// A picture composed on the processor before it goes into a texture: RGBA, 8
// bits a channel, rows bottom-up like the texture's, exactly
// width x height x 4 bytes while it holds one. The colour it is tinted or
// filled with is one opaque RGB triple.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

struct Rgb {
  std::uint8_t r, g, b;
};

struct RgbaPicture {
  int width = 0;
  int height = 0;
  std::vector<std::uint8_t> rgba;

  // Makes it width x height, every texel the colour, opaque.
  void fill(int newWidth, int newHeight, Rgb colour);
  // Whether the bytes hold width x height texels, the only case anything may
  // be written into it.
  bool whole() const {
    return width > 0 && height > 0 &&
           rgba.size() == static_cast<std::size_t>(width) * static_cast<std::size_t>(height) * 4;
  }
  // An opaque rectangle (lower-left corner x, y), cut at the picture's edges.
  void fillRectangle(int x, int y, int rectWidth, int rectHeight, Rgb colour);
};
