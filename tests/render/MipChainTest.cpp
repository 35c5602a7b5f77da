// The mip levels remade under a changed rectangle must be the very texels
// glGenerateMipmap makes of the whole level 0: an edge of the rectangle
// rounded the wrong way on some level, or a filter that samples differently
// from the GL's own, would show on the monitor's screen from afar.
#include "render/MipChain.h"
#include "render/GlFlavour.h"
#include "tests/support/GlContext.h"

#include <GL/glew.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <iterator>
#include <random>
#include <string>
#include <vector>

namespace {

struct Rect {
  int x, y, width, height;
};

unsigned makeTexture(const std::vector<std::uint8_t>& level0, int width, int height) {
  GLuint texture = 0;
  glGenTextures(1, &texture);
  glBindTexture(GL_TEXTURE_2D, texture);
  glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
  glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, width, height, 0, GL_RGBA, GL_UNSIGNED_BYTE, level0.data());
  glGenerateMipmap(GL_TEXTURE_2D);
  return texture;
}

void write(unsigned texture, const Rect& r, const std::uint8_t* rgba) {
  glBindTexture(GL_TEXTURE_2D, texture);
  glTexSubImage2D(GL_TEXTURE_2D, 0, r.x, r.y, r.width, r.height, GL_RGBA, GL_UNSIGNED_BYTE, rgba);
}

// Every level, level 0 first.
std::vector<std::vector<std::uint8_t>> levels(unsigned texture, int width, int height) {
  std::vector<std::vector<std::uint8_t>> all;
  glBindTexture(GL_TEXTURE_2D, texture);
  glPixelStorei(GL_PACK_ALIGNMENT, 1);
  for (int level = 0;; ++level) {
    all.emplace_back(static_cast<std::size_t>(width) * height * 4);
    glGetTexImage(GL_TEXTURE_2D, level, GL_RGBA, GL_UNSIGNED_BYTE, all.back().data());
    if (width == 1 && height == 1)
      return all;
    width = std::max(width / 2, 1), height = std::max(height / 2, 1);
  }
}

TEST(MipChain, RemadeRectanglesGiveTheLevelsOfAWholeRegeneration) {
  FELIDORA_REQUIRE_GL();
  const bool byRegion = render::mipmapsByRegion();
  render::regenerateMipmapsByRegion(true);
  std::mt19937 random(11);
  std::uniform_int_distribution<int> byte(0, 255);
  const auto noise = [&](std::size_t texels) {
    std::vector<std::uint8_t> rgba(texels * 4);
    for (std::uint8_t& b : rgba)
      b = static_cast<std::uint8_t>(byte(random));
    return rgba;
  };
  // the monitor's screen; a wide one whose height runs out first; one whose
  // sides are not powers of two (remade whole)
  const struct { int width, height; } sizes[] = {{1024, 1024}, {256, 32}, {200, 120}};
  // odd and even edges, a single texel, a rectangle against the far corner,
  // the monitor's clip picture
  const Rect rects[] = {{100, 444, 320, 240}, {3, 5, 1, 1}, {7, 1, 90, 13}, {0, 0, 2, 2}};
  for (const auto& size : sizes) {
    SCOPED_TRACE(std::to_string(size.width) + " x " + std::to_string(size.height));
    const std::vector<std::uint8_t> start = noise(static_cast<std::size_t>(size.width) * size.height);
    const unsigned byBlits = makeTexture(start, size.width, size.height);
    const unsigned whole = makeTexture(start, size.width, size.height);
    MipChain chain;
    std::vector<Rect> changes(std::begin(rects), std::end(rects));
    changes.push_back({size.width - 9, size.height - 3, 9, 3});
    for (Rect r : changes) {
      if (r.x >= size.width || r.y >= size.height)
        continue;
      r.width = std::min(r.width, size.width - r.x), r.height = std::min(r.height, size.height - r.y);
      const std::vector<std::uint8_t> picture = noise(static_cast<std::size_t>(r.width) * r.height);
      write(byBlits, r, picture.data());
      chain.regenerate(byBlits, size.width, size.height, r.x, r.y, r.width, r.height);
      write(whole, r, picture.data());
      glBindTexture(GL_TEXTURE_2D, whole);
      glGenerateMipmap(GL_TEXTURE_2D);
    }
    const auto got = levels(byBlits, size.width, size.height);
    const auto expected = levels(whole, size.width, size.height);
    ASSERT_EQ(got.size(), expected.size());
    for (std::size_t level = 0; level < got.size(); ++level)
      EXPECT_TRUE(got[level] == expected[level]) << "level " << level << " differs";
    const GLuint textures[] = {byBlits, whole};
    glDeleteTextures(2, textures);
  }
  render::regenerateMipmapsByRegion(byRegion);
}

TEST(MipChain, LeavesTheFramebuffersAndTheScissorAsItFoundThem) {
  FELIDORA_REQUIRE_GL();
  const bool byRegion = render::mipmapsByRegion();
  render::regenerateMipmapsByRegion(true);
  const std::vector<std::uint8_t> grey(64 * 64 * 4, 128);
  const unsigned texture = makeTexture(grey, 64, 64);
  const unsigned target = makeTexture(grey, 64, 64);
  GLuint framebuffer = 0;
  glGenFramebuffers(1, &framebuffer);
  glBindFramebuffer(GL_FRAMEBUFFER, framebuffer);
  glFramebufferTexture2D(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_TEXTURE_2D, target, 0);
  glEnable(GL_SCISSOR_TEST);
  glScissor(1, 2, 3, 4);

  MipChain chain;
  chain.regenerate(texture, 64, 64, 10, 10, 5, 5);
  GLint read = 0, draw = 0, box[4] = {};
  glGetIntegerv(GL_READ_FRAMEBUFFER_BINDING, &read);
  glGetIntegerv(GL_DRAW_FRAMEBUFFER_BINDING, &draw);
  glGetIntegerv(GL_SCISSOR_BOX, box);
  EXPECT_EQ(static_cast<GLuint>(read), framebuffer);
  EXPECT_EQ(static_cast<GLuint>(draw), framebuffer);
  EXPECT_TRUE(glIsEnabled(GL_SCISSOR_TEST));
  EXPECT_EQ(box[0] + box[1] + box[2] + box[3], 10);
  EXPECT_EQ(felidora::test::drainGlErrors(), 0u);

  glDisable(GL_SCISSOR_TEST);
  glBindFramebuffer(GL_FRAMEBUFFER, 0);
  glDeleteFramebuffers(1, &framebuffer);
  const GLuint textures[] = {texture, target};
  glDeleteTextures(2, textures);
  render::regenerateMipmapsByRegion(byRegion);
}

} // namespace
