// One rectangle of the monitor's screen texture mirrored on the processor.
// Every write into the texture that reaches the rectangle is copied here as
// well, so whatever was there can be put back after something has lain over
// it for a while (the pause notice) without reading the texture back, which
// not every GL allows.
#pragma once

#include <cstdint>
#include <vector>

class CoveredTexels {
public:
  // Mirrors the part of the rectangle (x, y, width, height) that lies inside a
  // texture of this size, starting from the texture's level 0 (textureWidth x
  // textureHeight x 4 bytes RGBA, rows bottom-up), or from zeros when level0
  // has another size.
  void reset(int x, int y, int width, int height, int textureWidth, int textureHeight,
             const std::vector<std::uint8_t>& level0);
  // A write of rgba (width x height texels, rows rowLength texels apart,
  // bottom row first) with its lower-left corner at (x, y).
  void write(int x, int y, int width, int height, const std::uint8_t* rgba, int rowLength);

  // the mirrored rectangle and its texels, rows tightly packed bottom-up
  int x() const { return left; }
  int y() const { return bottom; }
  int width() const { return columns; }
  int height() const { return rows; }
  const std::vector<std::uint8_t>& texels() const { return rgba; }

private:
  int left = 0;
  int bottom = 0;
  int columns = 0;
  int rows = 0;
  std::vector<std::uint8_t> rgba;
};
