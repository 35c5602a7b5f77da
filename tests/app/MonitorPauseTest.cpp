// Pausing and resuming the running game leaves the monitor exactly as it was,
// whatever its clip is doing at that moment: the notice goes, every texel
// under it comes back, and the record of translucent texels that the depth
// pre-pass trusts still tells the truth. The same for the options page, which
// covers the whole screen and brings the monitor into the middle of the view.
#include "app/Game.h"
#include "app/KeyFlags.h"
#include "monitor/Monitor.h"
#include "monitor/OptionsPage.h"
#include "monitor/VideoPlayback.h"
#include "objects/LevelScene.h"
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

  static std::size_t differingTexels(const std::vector<std::uint8_t>& a, const std::vector<std::uint8_t>& b) {
    std::size_t differing = 0;
    for (std::size_t i = 0; i + 3 < a.size() && i + 3 < b.size(); i += 4)
      differing += std::memcmp(&a[i], &b[i], 4) != 0;
    return differing + (a.size() != b.size());
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

// The page opens over the playing clip and the status display, the game is
// paused under it (the notice, made translucent here, waits under the page),
// the selection moves, the page closes: the notice is there over exactly the
// screen of before, and resuming leaves nothing of either; the monitor hangs
// where it hung, and the record of translucent texels agrees all the way.
TEST_F(MonitorPauseTest, TheOptionsPageClosesToTheScreenItCovered) {
  for (int i = 0; i < 10; ++i)
    frame(0.04);
  ASSERT_GT(monitor->videoPlayback().uploadCount, 0u) << "the default clip showed nothing";
  const std::vector<std::uint8_t> before = screen();
  const glm::mat4 hung = monitor->modelMatrix;
  const Light& screenLight = *game->level->lights.at(static_cast<std::size_t>(monitor->screenLightIndex));
  const glm::vec3 lightBefore(screenLight.position[0], screenLight.position[1], screenLight.position[2]);
  for (std::size_t i = 3; i < monitor->pauseImage.pixels.size(); i += 4)
    monitor->pauseImage.pixels[i] = 128;

  OptionsPage page;
  page.title = "Optionen";
  page.keysHeading = "Tastatur";
  page.padHeading = "Gamepad";
  for (const char* label : {"Links drehen", "Rechts drehen", "Sinken", "Steigen", "Feuern", "Schub"})
    page.rows.push_back({label, "Pfeil links", "A"});
  page.rows[0].selected = true;
  page.help = "Esc: zurück";
  game->showOptions(&page);
  const std::vector<std::uint8_t> opened = screen();
  EXPECT_GT(differingTexels(opened, before), before.size() / 4 / 8) << "the page does not cover the screen";
  EXPECT_NE(monitor->modelMatrix, hung) << "the monitor stayed where it hung";
  EXPECT_TRUE(opaque(opened));
  EXPECT_TRUE(monitor->hidesWhatIsBehind());

  game->showPause(true);
  EXPECT_EQ(differingTexels(screen(), opened), 0u) << "the pause notice was drawn over the page";
  EXPECT_TRUE(monitor->hidesWhatIsBehind());
  page.rows[0].selected = false;
  page.rows[1].selected = true;
  game->showOptions(&page);
  EXPECT_GT(differingTexels(screen(), opened), 0u) << "the changed page was not drawn";

  game->showOptions(nullptr);
  std::vector<std::uint8_t> paused = before;
  const StatusWrite notice = StatusDisplay::pauseNotice();
  for (int row = 0; row < notice.height; ++row)
    std::memcpy(&paused[(static_cast<std::size_t>(notice.y + row) * monitor->screenWidth + notice.x) * 4],
                &monitor->pauseImage.pixels[static_cast<std::size_t>(row) * notice.width * 4],
                static_cast<std::size_t>(notice.width) * 4);
  const std::vector<std::uint8_t> closed = screen();
  EXPECT_EQ(differingTexels(closed, paused), 0u) << "closed, the screen is not the paused one";
  EXPECT_FALSE(opaque(closed));
  EXPECT_FALSE(monitor->hidesWhatIsBehind()) << "the record missed the translucent notice under the page";
  EXPECT_EQ(monitor->modelMatrix, hung);
  EXPECT_EQ(glm::vec3(screenLight.position[0], screenLight.position[1], screenLight.position[2]), lightBefore);

  game->showPause(false);
  const std::vector<std::uint8_t> resumed = screen();
  EXPECT_EQ(differingTexels(resumed, before), 0u) << "resumed, the screen is not the one of before";
  EXPECT_TRUE(monitor->hidesWhatIsBehind());
  EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

} // namespace
