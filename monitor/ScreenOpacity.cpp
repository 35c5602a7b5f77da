#include "monitor/ScreenOpacity.h"

namespace {

constexpr std::uint8_t kOpaqueAlpha = 255;

} // namespace

void ScreenOpacity::reset(int width, int height, const std::vector<std::uint8_t>& rgba) {
  textureWidth = width;
  textureHeight = height;
  translucent.clear();
  translucentCount = 0;
  if (width > 0 && height > 0 && rgba.size() == static_cast<std::size_t>(width) * height * 4)
    write(0, 0, width, height, rgba.data());
}

void ScreenOpacity::write(int x, int y, int width, int height, const std::uint8_t* rgba) {
  cover(x, y, width, height,
        [rgba, width](int column, int row) { return rgba[(static_cast<std::size_t>(row) * width + column) * 4 + 3]; });
}

void ScreenOpacity::writeOpaque(int x, int y, int width, int height) {
  // nothing translucent to cover: the common case costs nothing
  if (translucentCount == 0)
    return;
  cover(x, y, width, height, [](int, int) { return kOpaqueAlpha; });
}

template <typename AlphaAt> void ScreenOpacity::cover(int x, int y, int width, int height, AlphaAt alphaAt) {
  if (x < 0 || y < 0 || width <= 0 || height <= 0 || x + width > textureWidth || y + height > textureHeight)
    return;
  for (int row = 0; row < height; ++row)
    for (int column = 0; column < width; ++column) {
      const bool clear = alphaAt(column, row) < kOpaqueAlpha;
      if (translucent.empty()) {
        if (!clear)
          continue;
        translucent.assign(static_cast<std::size_t>(textureWidth) * textureHeight, 0);
      }
      std::uint8_t& texel = translucent[static_cast<std::size_t>(y + row) * textureWidth + x + column];
      translucentCount += clear && !texel;
      translucentCount -= !clear && texel;
      texel = clear;
    }
}
