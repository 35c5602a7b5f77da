// Which texels of the monitor's screen texture let the scene behind show
// through (alpha below 1). While there are none the monitor hides what lies
// behind it, and its depth may go in before the scene is drawn. Kept on the
// processor beside every write into level 0 of the texture; the mipmap levels
// average level 0, so they are opaque exactly when it is.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

class ScreenOpacity {
public:
  // Starts from a texture of this size whose level 0 is rgba (width x height
  // x 4 bytes, rows bottom-up), or from an opaque one when rgba is empty.
  void reset(int width, int height, const std::vector<std::uint8_t>& rgba);
  // A write of rgba (width x height x 4 bytes) with its lower-left corner at
  // (x, y); the rectangle lies inside the texture.
  void write(int x, int y, int width, int height, const std::uint8_t* rgba);
  // A write of an opaque picture (the clips' pictures have no alpha).
  void writeOpaque(int x, int y, int width, int height);

  bool opaque() const { return translucentCount == 0; }

private:
  template <typename AlphaAt> void cover(int x, int y, int width, int height, AlphaAt alphaAt);

  int textureWidth = 0;
  int textureHeight = 0;
  // one byte a texel, 1 where it is translucent; made only once one is
  std::vector<std::uint8_t> translucent;
  std::size_t translucentCount = 0;
};
