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
#include "monitor/Monitor.h"
#include "objects/Schnecke.h"
#include "render/GlFlavour.h"
#include "render/ImageFile.h"
#include "tests/support/ColladaFixture.h"
#include "tests/support/GlContext.h"
#include "tests/support/PngFile.h"

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

// The start-up state, whatever earlier tests of this process left behind.
void startUpState() {
  glEnable(GL_DEPTH_TEST);
  glEnable(GL_BLEND);
  glEnable(GL_CULL_FACE);
  render::showWireframe(false);
  glClearColor(0.14f, 0.25f, 0.43f, 0.0f);
  glViewport(0, 0, kWidth, kHeight);
  resetKeyToggles();
}

int differingPixels(const std::vector<unsigned char>& a, const std::vector<unsigned char>& b) {
  int differing = 0;
  for (std::size_t p = 0; p + 2 < a.size() && p + 2 < b.size(); p += 3)
    differing += a[p] != b[p] || a[p + 1] != b[p + 1] || a[p + 2] != b[p + 2];
  return differing;
}

TEST(PictureTest, TheFixedSceneLooksAsBefore) {
  FELIDORA_REQUIRE_GL();
  startUpState();

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
  // Not zero: some 400 pixels differ by rounding since the lit program's
  // vertex stage hands the material and lights on.
  EXPECT_LT(mean, 0.01) << "mean difference per channel " << mean * 100.0 << " %";
  EXPECT_LT(worstTile, 0.01) << "the 16 x 16 tile at (" << worstX << ", " << worstY
                             << ") from the bottom left differs by " << worstTile * 100.0
                             << " % on average (FELIDORA_PICTURE_OUT=file.ppm writes the picture)";
  std::printf("[ picture ] mean difference %.4f %%, worst 16 x 16 tile %.3f %% at (%d, %d)\n", mean * 100.0,
              worstTile * 100.0, worstX, worstY);
}

// What the passes leave out to save time must never show: the frame with
// every shortcut is the frame without any, pixel for pixel, filled, in
// wireframe (F3) and with a translucent status picture on the monitor.
TEST(PictureTest, TheShortcutsChangeNoPixel) {
  FELIDORA_REQUIRE_GL();
  startUpState();
  Game game;
  game.assembleLevel();
  playFixedScene(game);
  const auto withAndWithout = [&game] {
    game.monitorDepthFirst = true;
    const std::vector<unsigned char> with = renderedPicture(game);
    game.monitorDepthFirst = false;
    const std::vector<unsigned char> without = renderedPicture(game);
    game.monitorDepthFirst = true;
    return differingPixels(with, without);
  };

  EXPECT_EQ(withAndWithout(), 0) << "filled";

  render::showWireframe(true);
  EXPECT_EQ(withAndWithout(), 0) << "wireframe";
  render::showWireframe(false);

  // the die of the health display let through at 40 %
  const std::string translucent = felidora::test::fixturePath("WuerfelDurchscheinend.png");
  ASSERT_TRUE(felidora::test::writeSolidPng(translucent, 128, 128, {250, 250, 250, 153}));
  for (StatusImage& image : game.monitor->healthImages)
    ASSERT_TRUE(image.load(translucent));
  game.player->health -= 1;
  game.monitor->refreshStatus(0.0, game);
  ASSERT_FALSE(game.monitor->hidesWhatIsBehind());
  EXPECT_EQ(withAndWithout(), 0) << "translucent health display";
  EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

} // namespace
