#include "monitor/RgbaPicture.h"

#include <algorithm>

void RgbaPicture::fill(int newWidth, int newHeight, Rgb colour) {
  width = std::max(newWidth, 0);
  height = std::max(newHeight, 0);
  rgba.resize(static_cast<std::size_t>(width) * static_cast<std::size_t>(height) * 4);
  fillRectangle(0, 0, width, height, colour);
}

void RgbaPicture::fillRectangle(int x, int y, int rectWidth, int rectHeight, Rgb colour) {
  if (!whole())
    return;
  const int left = std::max(x, 0), right = std::min(x + std::max(rectWidth, 0), width);
  const int bottom = std::max(y, 0), top = std::min(y + std::max(rectHeight, 0), height);
  for (int row = bottom; row < top; ++row)
    for (int column = left; column < right; ++column) {
      std::uint8_t* texel = &rgba[(static_cast<std::size_t>(row) * width + column) * 4];
      texel[0] = colour.r, texel[1] = colour.g, texel[2] = colour.b, texel[3] = 255;
    }
}
