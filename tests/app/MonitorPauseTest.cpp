// Pausing and resuming the running game leaves the monitor exactly as it was,
// whatever its clip is doing at that moment: the notice goes, every texel
// under it comes back, and the record of translucent texels that the depth
// pre-pass trusts still tells the truth.
#include "app/Game.h"
#include "app/KeyFlags.h"
#include "monitor/Monitor.h"
#include "monitor/VideoPlayback.h"
#include "objects/Schnecke.h"
#include "tests/support/GlContext.h"
#include "tests/support/MessageCapture.h"

#include <GL/glew.h>
#include <gtest/gtest.h>

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

namespace {

class MonitorPauseTest : public ::testing::Test {
protected:
  void SetUp() override {
    FELIDORA_REQUIRE_GL();
    KeyFlags = KeyFlagTable{};
    game = std::make_unique<Game>();
    game->assembleLevel();
    monitor = game->monitor;
    ASSERT_NE(monitor->screenTexture, 0u);
    // the record can only be checked against the texels while the casing is opaque
    ASSERT_TRUE(monitor->hidesWhatIsBehind());
    ASSERT_TRUE(opaque(screen()));
  }
  void TearDown() override {
    game.reset();
    KeyFlags = KeyFlagTable{};
  }

  void frame(double dt) {
    game->handleFunctionKeys();
    game->update(dt);
  }

  // Level 0 of the screen texture.
  std::vector<std::uint8_t> screen() const {
    std::vector<std::uint8_t> texels(static_cast<std::size_t>(monitor->screenWidth) * monitor->screenHeight * 4);
    glActiveTexture(GL_TEXTURE0);
    glBindTexture(GL_TEXTURE_2D, monitor->screenTexture);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glGetTexImage(GL_TEXTURE_2D, 0, GL_RGBA, GL_UNSIGNED_BYTE, texels.data());
    glPixelStorei(GL_PACK_ALIGNMENT, 4);
    return texels;
  }

  static bool opaque(const std::vector<std::uint8_t>& texels) {
    for (std::size_t i = 3; i < texels.size(); i += 4)
      if (texels[i] != 255)
        return false;
    return true;
  }

  // P, then P again before the next frame is played.
  ::testing::AssertionResult pauseAndResumeRestoresTheScreen() {
    const std::vector<std::uint8_t> before = screen();
    game->showPause(true);
    if (screen() == before)
      return ::testing::AssertionFailure() << "the notice never showed";
    game->showPause(false);
    const std::vector<std::uint8_t> after = screen();
    std::size_t differing = 0, first = 0;
    for (std::size_t i = 0; i < after.size(); i += 4)
      if (std::memcmp(&before[i], &after[i], 4) != 0)
        first = differing++ ? first : i / 4;
    const bool recordTrue = monitor->hidesWhatIsBehind() == opaque(after);
    const GLenum error = glGetError();
    if (differing == 0 && recordTrue && error == GL_NO_ERROR)
      return ::testing::AssertionSuccess();
    ::testing::AssertionResult failure = ::testing::AssertionFailure();
    if (differing != 0)
      failure << differing << " texels differ after resuming, the first at (" << first % monitor->screenWidth << ", "
              << first / monitor->screenWidth << "); ";
    if (!recordTrue)
      failure << "the monitor counts itself " << (opaque(after) ? "translucent" : "opaque") << " but is not; ";
    return failure << "GL error " << error;
  }

  // Plays frames until the clip shows a new picture, pausing and resuming in
  // each of them and in the frame before the first.
  void pauseInEveryFrameUntilAPictureShows(const char* what) {
    const unsigned pictures = monitor->videoPlayback().uploadCount;
    EXPECT_TRUE(pauseAndResumeRestoresTheScreen()) << what;
    for (int i = 1; i <= 5 && monitor->videoPlayback().uploadCount == pictures; ++i) {
      frame(0.04);
      EXPECT_TRUE(pauseAndResumeRestoresTheScreen()) << what << ", " << i << " frames on";
    }
    EXPECT_NE(monitor->videoPlayback().uploadCount, pictures) << "the clip showed no picture";
  }

  std::unique_ptr<Game> game;
  Monitor* monitor = nullptr;
};

TEST_F(MonitorPauseTest, PausedInTheFramesAnOutcomeClipOpensResumesToTheSameScreen) {
  for (int i = 0; i < 10; ++i)
    frame(0.04);
  ASSERT_GT(monitor->videoPlayback().uploadCount, 0u) << "the default clip showed nothing";

  // the last life goes: the game-over clip opens after the monitor's step
  const felidora::test::MessageCapture messages;
  game->player->lives = -1;
  game->player->gameOver = true;
  frame(0.04);
  ASSERT_EQ(monitor->currentClip(), "Videos/GameOver.mpg");
  pauseInEveryFrameUntilAPictureShows("game-over clip");
}

TEST_F(MonitorPauseTest, PausedInTheFramesTheDefaultClipLoopsResumesToTheSameScreen) {
  game->outcomeShown = true; // no outcome clip replaces the default clip
  const felidora::test::MessageCapture messages;
  // 12 s of clip at 25 pictures a second, one picture a frame; a clip
  // reopened has shown nothing yet, so its interval is 0 again
  bool looped = false;
  for (int i = 0; i < 400 && !looped; ++i) {
    const bool showing = monitor->videoPlayback().frameIntervalMs > 0;
    frame(0.04);
    looped = showing && monitor->videoPlayback().frameIntervalMs == 0;
  }
  ASSERT_TRUE(looped) << "the default clip never looped";
  ASSERT_EQ(monitor->currentClip(), monitor->defaultClipPath);
  pauseInEveryFrameUntilAPictureShows("default clip looped");
}

// A clip that cannot be opened leaves the game running without one.
TEST_F(MonitorPauseTest, PausedWithoutAClipResumesWithoutTheNotice) {
  monitor->defaultClipPath = "Videos/GibtEsNicht.mpg";
  monitor->stopVideo();
  const felidora::test::MessageCapture messages;
  frame(0.04);
  ASSERT_FALSE(monitor->isPlaying());
  EXPECT_EQ(messages.text(), "could not open Videos/GibtEsNicht.mpg\n");
  EXPECT_TRUE(pauseAndResumeRestoresTheScreen());
}

} // namespace
