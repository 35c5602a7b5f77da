#include "render/MipChain.h"

#include "render/GlFlavour.h"

#include <GL/glew.h>

#include <algorithm>

namespace {

bool powerOfTwo(int n) { return n > 0 && (n & (n - 1)) == 0; }

} // namespace

MipChain::~MipChain() {
  if (readFramebuffer)
    glDeleteFramebuffers(1, &readFramebuffer);
  if (drawFramebuffer)
    glDeleteFramebuffers(1, &drawFramebuffer);
}

void MipChain::regenerate(unsigned texture, int textureWidth, int textureHeight, int x, int y, int width, int height) {
  glBindTexture(GL_TEXTURE_2D, texture);
  const int x0 = std::max(x, 0), y0 = std::max(y, 0);
  const int x1 = std::min(x + width, textureWidth), y1 = std::min(y + height, textureHeight);
  if (x0 >= x1 || y0 >= y1)
    return; // nothing changed
  const bool whole = x0 == 0 && y0 == 0 && x1 == textureWidth && y1 == textureHeight;
  if (!render::mipmapsByRegion() || blitsFailed || whole || !powerOfTwo(textureWidth) || !powerOfTwo(textureHeight) ||
      !blitLevels(texture, textureWidth, textureHeight, x0, y0, x1, y1))
    glGenerateMipmap(GL_TEXTURE_2D);
}

bool MipChain::blitLevels(unsigned texture, int textureWidth, int textureHeight, int x0, int y0, int x1, int y1) {
  GLint readBinding = 0, drawBinding = 0;
  glGetIntegerv(GL_READ_FRAMEBUFFER_BINDING, &readBinding);
  glGetIntegerv(GL_DRAW_FRAMEBUFFER_BINDING, &drawBinding);
  const GLboolean scissor = glIsEnabled(GL_SCISSOR_TEST);
  if (!readFramebuffer)
    glGenFramebuffers(1, &readFramebuffer);
  if (!drawFramebuffer)
    glGenFramebuffers(1, &drawFramebuffer);
  glBindFramebuffer(GL_READ_FRAMEBUFFER, readFramebuffer);
  glBindFramebuffer(GL_DRAW_FRAMEBUFFER, drawFramebuffer);
  glDisable(GL_SCISSOR_TEST); // a blit is scissored

  // Level by level: the texels of level L over the changed ones of level
  // L - 1 (halved outward), from the 2 x 2 texels under them; a side that is
  // down to one texel stays one.
  int width = textureWidth, height = textureHeight;
  bool blitted = true;
  for (int level = 1; width > 1 || height > 1; ++level) {
    const int nextWidth = std::max(width / 2, 1), nextHeight = std::max(height / 2, 1);
    const int nx0 = width > 1 ? x0 / 2 : 0, nx1 = width > 1 ? (x1 + 1) / 2 : 1;
    const int ny0 = height > 1 ? y0 / 2 : 0, ny1 = height > 1 ? (y1 + 1) / 2 : 1;
    const int sx0 = width > 1 ? 2 * nx0 : 0, sx1 = width > 1 ? 2 * nx1 : 1;
    const int sy0 = height > 1 ? 2 * ny0 : 0, sy1 = height > 1 ? 2 * ny1 : 1;
    glFramebufferTexture2D(GL_READ_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_TEXTURE_2D, texture, level - 1);
    glFramebufferTexture2D(GL_DRAW_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_TEXTURE_2D, texture, level);
    if (level == 1 && (glCheckFramebufferStatus(GL_READ_FRAMEBUFFER) != GL_FRAMEBUFFER_COMPLETE ||
                       glCheckFramebufferStatus(GL_DRAW_FRAMEBUFFER) != GL_FRAMEBUFFER_COMPLETE)) {
      blitted = false;
      blitsFailed = true;
      break;
    }
    glBlitFramebuffer(sx0, sy0, sx1, sy1, nx0, ny0, nx1, ny1, GL_COLOR_BUFFER_BIT, GL_LINEAR);
    x0 = nx0, y0 = ny0, x1 = nx1, y1 = ny1;
    width = nextWidth, height = nextHeight;
  }
  glFramebufferTexture2D(GL_READ_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_TEXTURE_2D, 0, 0);
  glFramebufferTexture2D(GL_DRAW_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_TEXTURE_2D, 0, 0);
  glBindFramebuffer(GL_READ_FRAMEBUFFER, static_cast<GLuint>(readBinding));
  glBindFramebuffer(GL_DRAW_FRAMEBUFFER, static_cast<GLuint>(drawBinding));
  if (scissor)
    glEnable(GL_SCISSOR_TEST);
  return blitted;
}
