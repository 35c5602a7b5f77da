// The whole game's picture against one kept from before the passes learned to
// skip what nobody sees: a fixed scene (the real level, fixed frame time,
// fixed keys) rendered through all four passes. The kept picture was rendered
// by the game as it stood before that work and checked by eye; it shows the
// river and the lakes with their reflections, trees and their shadows, shots
// in flight and the monitor playing its clip.
//
// FELIDORA_PICTURE_OUT=<file.ppm> writes the picture rendered here, to look at
// it or to keep a new one (after checking it by eye).
#include "app/Game.h"
#include "app/KeyFlags.h"
#include "render/ImageFile.h"
#include "tests/support/GlContext.h"

#include <GL/glew.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

namespace {

constexpr int kWidth = 800;
constexpr int kHeight = 600;
constexpr double kFrameTime = 1.0 / 60.0;
constexpr int kFrames = 90;

// The player turns left for half a second, then flies straight on and fires
// twice, so that two shots are on their way when the picture is taken.
void playFixedScene(Game& game) {
  for (int frame = 0; frame < kFrames; ++frame) {
    KeyFlags = KeyFlagTable{};
    KeyFlags.keyLeft = frame < 30;
    KeyFlags.keyFire = frame == 45 || frame == 46 || frame == 75 || frame == 76;
    game.handleFunctionKeys();
    game.update(kFrameTime);
  }
  KeyFlags = KeyFlagTable{};
}

// RGB, bottom row first, as glReadPixels gives it.
std::vector<unsigned char> renderedPicture(Game& game) {
  glBindFramebuffer(GL_FRAMEBUFFER, 0);
  glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
  game.render();
  std::vector<unsigned char> rgb(static_cast<std::size_t>(kWidth) * kHeight * 3);
  glPixelStorei(GL_PACK_ALIGNMENT, 1);
  glReadPixels(0, 0, kWidth, kHeight, GL_RGB, GL_UNSIGNED_BYTE, rgb.data());
  glPixelStorei(GL_PACK_ALIGNMENT, 4);
  return rgb;
}

// The kept picture as RGB, bottom row first; empty when it cannot be read.
std::vector<unsigned char> keptPicture(const std::string& path) {
  DecodedImage image;
  std::vector<unsigned char> rgb;
  if (!decodeImageFile(path, image) || image.width != kWidth || image.height != kHeight)
    return rgb;
  for (std::size_t p = 0; p < image.pixels.size(); p += 4)
    rgb.insert(rgb.end(), image.pixels.begin() + p, image.pixels.begin() + p + 3);
  return rgb;
}

void writePpm(const std::string& path, const std::vector<unsigned char>& rgb) {
  std::ofstream out(path, std::ios::binary);
  out << "P6\n" << kWidth << ' ' << kHeight << "\n255\n";
  for (int row = kHeight - 1; row >= 0; --row)
    out.write(reinterpret_cast<const char*>(&rgb[static_cast<std::size_t>(row) * kWidth * 3]), kWidth * 3);
}

TEST(PictureTest, TheFixedSceneLooksAsBefore) {
  FELIDORA_REQUIRE_GL();
  // the start-up state, whatever earlier tests of this process left behind
  glEnable(GL_DEPTH_TEST);
  glEnable(GL_BLEND);
  glEnable(GL_CULL_FACE);
  glPolygonMode(GL_FRONT_AND_BACK, GL_FILL);
  glClearColor(0.14f, 0.25f, 0.43f, 0.0f);
  glViewport(0, 0, kWidth, kHeight);
  resetKeyToggles();

  Game game;
  game.assembleLevel();
  playFixedScene(game);
  const std::vector<unsigned char> now = renderedPicture(game);
  ASSERT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
  if (const char* out = std::getenv("FELIDORA_PICTURE_OUT"))
    writePpm(out, now);

  const std::vector<unsigned char> before = keptPicture(FELIDORA_TEST_DATA "/fixed-scene.png");
  ASSERT_EQ(before.size(), now.size()) << "the kept picture is missing or not 800 x 600";

  // Mean difference per channel over the picture, and over each 16 x 16 tile:
  // a changed reflection, shadow edge or monitor would stand out in its tiles
  // long before it moved the whole picture's mean.
  constexpr int kTile = 16;
  double total = 0.0, worstTile = 0.0;
  int worstX = 0, worstY = 0;
  for (int ty = 0; ty < kHeight / kTile; ++ty)
    for (int tx = 0; tx < kWidth / kTile; ++tx) {
      double tile = 0.0;
      for (int y = ty * kTile; y < (ty + 1) * kTile; ++y)
        for (int x = tx * kTile; x < (tx + 1) * kTile; ++x)
          for (int c = 0; c < 3; ++c) {
            const std::size_t i = (static_cast<std::size_t>(y) * kWidth + x) * 3 + c;
            tile += std::abs(static_cast<int>(now[i]) - static_cast<int>(before[i]));
          }
      total += tile;
      tile /= kTile * kTile * 3 * 255.0;
      if (tile > worstTile)
        worstTile = tile, worstX = tx * kTile, worstY = ty * kTile;
    }
  const double mean = total / (static_cast<double>(kWidth) * kHeight * 3 * 255.0);
  // Not zero: the reflection is no longer drawn behind land, which a
  // ripple's lookup next to the shore may reach.
  EXPECT_LT(mean, 0.01) << "mean difference per channel " << mean * 100.0 << " %";
  EXPECT_LT(worstTile, 0.01) << "the 16 x 16 tile at (" << worstX << ", " << worstY
                             << ") from the bottom left differs by " << worstTile * 100.0
                             << " % on average (FELIDORA_PICTURE_OUT=file.ppm writes the picture)";
  std::printf("[ picture ] mean difference %.4f %%, worst 16 x 16 tile %.3f %% at (%d, %d)\n", mean * 100.0,
              worstTile * 100.0, worstX, worstY);
}

} // namespace
