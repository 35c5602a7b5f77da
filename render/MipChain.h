// The mip levels of one texture brought back in line with its level 0 after
// a rectangle of it changed.
//
// glGenerateMipmap remakes every level whole. On a GPU that is nearly free;
// a software rasterizer draws each level through its pixel pipeline, and the
// monitor's 1024 x 1024 screen is remade for every clip picture, a tenth of
// it new. Where each level is exactly half the one above (sides that are
// powers of two), a texel of level L averages the 2 x 2 texels below it on
// level L - 1, so only the texels over the changed rectangle can differ:
// this blits just those, level by level, with the same linear filter the
// GL's own generation uses. Elsewhere it calls glGenerateMipmap.
#pragma once

class MipChain {
public:
  MipChain() = default;
  ~MipChain(); // with the context current, as every GL object's owner
  MipChain(const MipChain&) = delete;
  MipChain& operator=(const MipChain&) = delete;

  // Remakes the levels over [x, x + width) x [y, y + height) of level 0 of
  // the 2D texture, whose level 0 is textureWidth x textureHeight; binds it
  // on the active unit. Leaves the framebuffer bindings and the scissor test
  // as it found them.
  void regenerate(unsigned texture, int textureWidth, int textureHeight, int x, int y, int width, int height);

private:
  bool blitLevels(unsigned texture, int textureWidth, int textureHeight, int x0, int y0, int x1, int y1);
  unsigned readFramebuffer = 0, drawFramebuffer = 0;
  bool blitsFailed = false; // a framebuffer the GL refused: glGenerateMipmap from then on
};
