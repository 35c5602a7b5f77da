// The status display in the real screen texture: a Monitor built from the
// game's monitor model inside a Game with a real player, its elements read
// back with glGetTexImage. Every status image is replaced by a solid colour of
// its own, so the colour of a texel names the image that was written there.
#include "app/Game.h"
#include "app/KeyFlags.h"
#include "monitor/Monitor.h"
#include "monitor/VideoPlayback.h"
#include "objects/LevelScene.h"
#include "objects/Schnecke.h"
#include "render/Shader.h"
#include "tests/support/GameWithPlayer.h"
#include "tests/support/GlContext.h"
#include "tests/support/MessageCapture.h"

#include <GL/glew.h>
#include <glm/gtc/matrix_transform.hpp>
#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

namespace felidora::test {
namespace {

using P = StatusPicture;
using Colour = std::array<std::uint8_t, 4>;

// A colour for every image: the picture in red, the index in green.
Colour colourOf(P picture, int index = 0) {
  return {static_cast<std::uint8_t>(20 + 15 * static_cast<int>(picture)), static_cast<std::uint8_t>(10 + 20 * index),
          200, 255};
}

StatusImage solid(int width, int height, Colour colour) {
  StatusImage image;
  image.width = width;
  image.height = height;
  image.pixels.resize(static_cast<std::size_t>(width) * height * 4);
  for (std::size_t i = 0; i < image.pixels.size(); i += 4)
    for (int c = 0; c < 4; ++c)
      image.pixels[i + c] = colour[c];
  return image;
}

// Level 0 of the screen texture, rows bottom-up.
struct Texels {
  int width = 0;
  int height = 0;
  std::vector<std::uint8_t> bytes;

  Colour at(int x, int y) const {
    const std::size_t i = (static_cast<std::size_t>(y) * width + x) * 4;
    return {bytes[i], bytes[i + 1], bytes[i + 2], bytes[i + 3]};
  }
};

::testing::AssertionResult filled(const Texels& texels, int x, int y, int width, int height, Colour colour) {
  for (int row = y; row < y + height; ++row)
    for (int column = x; column < x + width; ++column)
      if (texels.at(column, row) != colour) {
        const Colour found = texels.at(column, row);
        return ::testing::AssertionFailure()
               << "texel (" << column << ", " << row << ") is (" << int(found[0]) << ", " << int(found[1]) << ", "
               << int(found[2]) << ", " << int(found[3]) << "), expected (" << int(colour[0]) << ", " << int(colour[1])
               << ", " << int(colour[2]) << ", " << int(colour[3]) << ")";
      }
  return ::testing::AssertionSuccess();
}

::testing::AssertionResult unchanged(const Texels& before, const Texels& after, int x, int y, int width, int height) {
  for (int row = y; row < y + height; ++row)
    for (int column = x; column < x + width; ++column)
      if (before.at(column, row) != after.at(column, row))
        return ::testing::AssertionFailure() << "texel (" << column << ", " << row << ") changed";
  return ::testing::AssertionSuccess();
}

#define EXPECT_NO_GL_ERROR() EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR))

class MonitorStatus : public GameWithPlayer {
protected:
  void SetUp() override {
    GameWithPlayer::SetUp();
    if (IsSkipped() || HasFatalFailure())
      return;
    game->showStats = false;
    game->linearFiltering = game->mipmapping = game->mipmapLinear = true;
    game->f5Latch = false;
    game->fps = 0;
    game->objectsDrawn = 0;
    Schnecke* player = game->player;
    player->lives = 0;
    player->health = 6;
    player->score = 0;
    player->speedStages.speedDisplay = SpeedDisplay::Neutral;

    monitor = new Monitor(glm::mat4(1.0f), game->mainShader, game->shadowShader);
    game->monitor = monitor;
    ASSERT_NE(monitor->screenTexture, 0u) << "the monitor model brought no screen texture";
    ASSERT_GE(monitor->screenWidth, 679);
    ASSERT_GE(monitor->screenHeight, 1009);
    // the clip would cover the notices; the tests that need one start their own
    monitor->stopVideo();
    paint();
    drainGlErrors();
  }

  void TearDown() override {
    KeyFlags = KeyFlagTable{};
    if (!game)
      return;
    delete game->monitor;
    game->monitor = nullptr;
    delete game->level;
    game->level = nullptr;
  }

  void paint() {
    for (int i = 0; i < 7; ++i)
      monitor->healthImages[i] = solid(128, 128, colourOf(P::Health, i));
    for (int i = 0; i < 10; ++i) {
      monitor->livesImages[i] = solid(128, 64, colourOf(P::Lives, i));
      monitor->digitImages[i] = solid(32, 44, colourOf(P::Digit, i));
    }
    for (int i = 0; i < 9; ++i)
      monitor->speedImages[i] = solid(242, 86, colourOf(P::Speed, i));
    monitor->scorePanelImage = solid(340, 88, colourOf(P::ScorePanel));
    monitor->fpsLabelImage = solid(90, 52, colourOf(P::FpsLabel));
    monitor->emptySlotImage = solid(218, 52, colourOf(P::EmptySlot));
    monitor->objectsLabelImage = solid(218, 52, colourOf(P::ObjectsLabel));
    monitor->samplingLabelImage = solid(218, 52, colourOf(P::SamplingLabel));
    monitor->mipmapLabelImage = solid(218, 52, colourOf(P::MipmapLabel));
    monitor->linearImage = solid(218, 52, colourOf(P::Linear));
    monitor->bilinearImage = solid(218, 52, colourOf(P::Bilinear));
    monitor->nearestImage = solid(218, 52, colourOf(P::Nearest));
    monitor->offImage = solid(218, 52, colourOf(P::Off));
  }

  Texels screen() const {
    Texels texels;
    texels.width = monitor->screenWidth;
    texels.height = monitor->screenHeight;
    texels.bytes.resize(static_cast<std::size_t>(texels.width) * texels.height * 4);
    glActiveTexture(GL_TEXTURE0);
    glBindTexture(GL_TEXTURE_2D, monitor->screenTexture);
    glGetTexImage(GL_TEXTURE_2D, 0, GL_RGBA, GL_UNSIGNED_BYTE, texels.bytes.data());
    return texels;
  }

  void update(double dt) {
    monitor->update(dt, game);
    EXPECT_NO_GL_ERROR();
  }

  // Overwrites a rectangle by hand, so a later write there can be seen.
  void scribble(int x, int y, int width, int height) {
    const StatusImage black = solid(width, height, {0, 0, 0, 255});
    glActiveTexture(GL_TEXTURE0);
    glBindTexture(GL_TEXTURE_2D, monitor->screenTexture);
    glTexSubImage2D(GL_TEXTURE_2D, 0, x, y, width, height, GL_RGBA, GL_UNSIGNED_BYTE, black.pixels.data());
  }

  // One edge of a function key, as the frame loop delivers it.
  void press(bool KeyFlagTable::*key) {
    KeyFlags.*key = true;
    game->handleFunctionKeys();
    KeyFlags.*key = false;
    game->handleFunctionKeys();
    EXPECT_NO_GL_ERROR();
  }

  Monitor* monitor = nullptr;
};

TEST_F(MonitorStatus, RealImageLandsRowForRowWithItsBottomRowAtTheRectanglesBottom) {
  StatusImage& lives = monitor->livesImages[3];
  ASSERT_TRUE(lives.load("Bilder/LebensanzahlGross3.png"));
  ASSERT_TRUE(lives.fits(128, 64));
  std::vector<std::uint8_t> flipped;
  for (int row = 63; row >= 0; --row)
    flipped.insert(flipped.end(), lives.pixels.begin() + row * 128 * 4, lives.pixels.begin() + (row + 1) * 128 * 4);
  ASSERT_NE(flipped, lives.pixels) << "a picture that reads the same upside down proves nothing here";
  game->player->lives = 3;
  update(0.016);
  const Texels after = screen();
  for (int row = 0; row < 64; ++row)
    for (int column = 0; column < 128; ++column) {
      const std::uint8_t* expected = &lives.pixels[(static_cast<std::size_t>(row) * 128 + column) * 4];
      ASSERT_EQ(after.at(100 + column, 212 + row), (Colour{expected[0], expected[1], expected[2], expected[3]}))
          << "texel (" << column << ", " << row << ") of the image";
    }
}

TEST_F(MonitorStatus, NineDigitScoreCoversX290To578) {
  update(0.016);
  game->player->score = 123456789;
  update(0.016);
  const Texels after = screen();
  for (int k = 0; k < 9; ++k)
    EXPECT_TRUE(filled(after, 290 + 32 * k, 306, 32, 44, colourOf(P::Digit, k + 1))) << "digit " << k + 1;
  EXPECT_TRUE(filled(after, 248, 306, 42, 44, colourOf(P::ScorePanel))) << "left of x 290";
  EXPECT_TRUE(filled(after, 578, 306, 10, 44, colourOf(P::ScorePanel))) << "right of x 578";
}

TEST_F(MonitorStatus, StatisticsRowShowsWhileOnAndIsBlankedOnceWhenTurnedOff) {
  update(0.016);
  game->showStats = true;
  game->fps = 57;
  game->objectsDrawn = 21;
  update(0.016);
  Texels row = screen();
  EXPECT_TRUE(filled(row, 25, 957, 90, 52, colourOf(P::FpsLabel)));
  EXPECT_TRUE(filled(row, 115, 957, 32, 52, colourOf(P::EmptySlot)));
  EXPECT_TRUE(filled(row, 179, 965, 32, 44, colourOf(P::Digit, 5)));
  EXPECT_TRUE(filled(row, 211, 965, 32, 44, colourOf(P::Digit, 7)));
  EXPECT_TRUE(filled(row, 243, 957, 218, 52, colourOf(P::ObjectsLabel)));
  EXPECT_TRUE(filled(row, 615, 965, 32, 44, colourOf(P::Digit, 2)));
  EXPECT_TRUE(filled(row, 647, 965, 32, 44, colourOf(P::Digit, 1)));
  EXPECT_TRUE(filled(row, 461, 957, 154, 52, colourOf(P::EmptySlot)));

  // rewritten every frame while shown: a one-digit rate leaves no old digit behind
  game->fps = 8;
  update(0.016);
  row = screen();
  EXPECT_TRUE(filled(row, 211, 965, 32, 44, colourOf(P::Digit, 8)));
  EXPECT_TRUE(filled(row, 179, 965, 32, 44, colourOf(P::EmptySlot)));

  game->showStats = false;
  update(0.016);
  row = screen();
  for (int x : {25, 243, 461})
    EXPECT_TRUE(filled(row, x, 957, 218, 52, colourOf(P::EmptySlot))) << "slot at " << x;

  monitor->emptySlotImage = solid(218, 52, {9, 9, 9, 255});
  update(0.016);
  EXPECT_TRUE(filled(screen(), 25, 957, 654, 52, colourOf(P::EmptySlot))) << "blanked only once";
}

// The function keys' settings travel from the Game to the screen: each press
// shows the notice of the setting it changed, with the setting's new value.
TEST_F(MonitorStatus, FunctionKeySettingsReachTheScreenAsNotices) {
  update(0.016);
  const auto expectNotice = [this](P label, P value) {
    update(0.016);
    const Texels notice = screen();
    EXPECT_TRUE(filled(notice, 100, 444, 218, 52, colourOf(label)));
    EXPECT_TRUE(filled(notice, 318, 444, 218, 52, colourOf(value)));
  };
  press(&KeyFlagTable::keyF4); // linear -> nearest texels
  expectNotice(P::SamplingLabel, P::Nearest);
  press(&KeyFlagTable::keyF5); // linear between levels -> no mipmaps
  expectNotice(P::MipmapLabel, P::Off);
  press(&KeyFlagTable::keyF5); // no mipmaps -> nearest between levels
  expectNotice(P::MipmapLabel, P::Nearest);
  press(&KeyFlagTable::keyF5); // nearest -> linear between levels
  expectNotice(P::MipmapLabel, P::Linear);
}

TEST_F(MonitorStatus, LivesMinusOnePrintsOnceAndShowsImageZero) {
  game->player->lives = 2;
  update(0.016);
  MessageCapture messages;
  game->player->lives = -1;
  update(0.016);
  EXPECT_TRUE(filled(screen(), 100, 212, 128, 64, colourOf(P::Lives, 0)));
  update(0.016);
  update(0.016);
  EXPECT_EQ(messages.text(), "Fehler! Lebensanzahl hat einen ungueltigen Wert: -1\n");
}

// A short clip made by the ffmpeg tool; empty when the tool is missing.
std::string makeShortClip() {
  const std::string path = ::testing::TempDir() + "monitor_status_short.mpg";
  const std::string command = "ffmpeg -v error -y -f lavfi -i testsrc=size=64x48:rate=25 -frames:v 3 "
                              "-c:v mpeg1video -pix_fmt yuv420p '" +
                              path + "'";
  if (std::system(command.c_str()) != 0 || !std::filesystem::exists(path))
    return "";
  return path;
}

TEST_F(MonitorStatus, FrameInWhichTheClipEndsLeavesTheDisplayUnchanged) {
  const std::string clip = makeShortClip();
  ASSERT_FALSE(clip.empty()) << "the ffmpeg tool could not make a clip";
  update(0.016);
  ASSERT_TRUE(monitor->playVideo(clip.c_str()));

  bool ended = false;
  for (int frame = 1; frame <= 50 && !ended; ++frame) {
    game->player->score = frame;
    game->player->lives = frame % 10;
    game->showStats = true;
    const Texels before = screen();
    update(1.0);
    if (monitor->isPlaying()) {
      ASSERT_TRUE(filled(screen(), 546, 306, 32, 44, colourOf(P::Digit, frame % 10))) << "frame " << frame;
      continue;
    }
    ended = true;
    const Texels after = screen();
    EXPECT_EQ(before.bytes, after.bytes) << "the clip ended in frame " << frame;
    EXPECT_EQ(monitor->elementsWritten, 0);

    update(0.016); // the changes come with the next frame
    const Texels next = screen();
    EXPECT_TRUE(filled(next, 546, 306, 32, 44, colourOf(P::Digit, frame % 10)));
    EXPECT_TRUE(filled(next, 100, 212, 128, 64, colourOf(P::Lives, frame % 10)));
  }
  EXPECT_TRUE(ended) << "the clip never ended";
}

TEST_F(MonitorStatus, MissingOrWrongSizeImageIsSkippedAndTheRestStillWorks) {
  StatusImage missing;
  EXPECT_FALSE(missing.load("Bilder/GibtEsNicht.png"));
  monitor->livesImages[3] = missing;
  ASSERT_TRUE(monitor->healthImages[6].load("Bilder/FPS.png")); // a real file, 90 x 52
  EXPECT_FALSE(monitor->healthImages[6].fits(128, 128));
  ASSERT_TRUE(monitor->digitImages[0].load("Bilder/PunkteanzeigeGrossOhneTrans.png")); // larger than a digit
  game->player->lives = 3;

  const Texels before = screen();
  update(0.016);
  const Texels after = screen();
  EXPECT_TRUE(unchanged(before, after, 100, 212, 128, 64)) << "missing lives image";
  EXPECT_TRUE(unchanged(before, after, 100, 296, 128, 128)) << "health image of another size";
  EXPECT_TRUE(filled(after, 248, 296, 340, 62, colourOf(P::ScorePanel))) << "the panel, without its digit 0";
  EXPECT_TRUE(filled(after, 297, 358, 242, 86, colourOf(P::Speed, 2)));

  game->player->lives = 4;
  game->player->health = 5;
  update(0.016);
  const Texels next = screen();
  EXPECT_TRUE(filled(next, 100, 212, 128, 64, colourOf(P::Lives, 4))) << "the element works for other values";
  EXPECT_TRUE(filled(next, 100, 296, 128, 128, colourOf(P::Health, 5)));
}

TEST_F(MonitorStatus, StatisticsTooLongForTheirSlotShowNinesInsideIt) {
  game->showStats = true;
  game->fps = 1234567890; // ten digits from x 211 leftward would run past the texture's left edge
  const Texels before = screen();
  update(0.016);
  const Texels row = screen();
  EXPECT_TRUE(filled(row, 211, 965, 32, 44, colourOf(P::Digit, 9)));
  EXPECT_TRUE(filled(row, 51, 965, 32, 44, colourOf(P::Digit, 9))) << "six nines, the last from x 51";
  EXPECT_TRUE(unchanged(before, row, 0, 957, 19, 52)) << "nothing left of the slot";
}

TEST_F(MonitorStatus, ScreenLightFollowsTheMonitor) {
  game->level = new LevelScene({0.0f, 0.0f, 0.0f}, game->mainShader, game->shadowShader, "Modelle/Monitor.dae");
  ASSERT_FALSE(monitor->getLights().empty()) << "the monitor model brings no light";
  monitor->screenLightIndex = game->level->addLight(monitor->getLights()[0]);
  game->level->uploadLights();
  monitor->modelMatrix = glm::scale(
      glm::rotate(glm::translate(glm::mat4(1.0f), glm::vec3(10.0f, 20.0f, 30.0f)), glm::radians(90.0f), {0, 1, 0}),
      glm::vec3(0.4f));
  update(0.016);

  // 1.75 along local z, turned to +x, scaled by 0.4
  const Light* light = game->level->lights[static_cast<std::size_t>(monitor->screenLightIndex)];
  EXPECT_NEAR(light->position[0], 10.7f, 1e-4);
  EXPECT_NEAR(light->position[1], 20.0f, 1e-4);
  EXPECT_NEAR(light->position[2], 30.0f, 1e-4);
  const std::string name = "lichtquellenposition[" + std::to_string(monitor->screenLightIndex) + "]";
  const GLint location = glGetUniformLocation(game->mainShader->program, name.c_str());
  ASSERT_GE(location, 0);
  GLfloat uploaded[3] = {0, 0, 0};
  glGetUniformfv(game->mainShader->program, location, uploaded);
  EXPECT_NEAR(uploaded[0], 10.7f, 1e-4);
  EXPECT_NEAR(uploaded[2], 30.0f, 1e-4);
  EXPECT_NO_GL_ERROR();
}

// The content itself: every status file exists with exactly the size of its rectangle.
TEST(MonitorContent, EveryStatusImageHasTheSizeOfItsRectangle) {
  FELIDORA_REQUIRE_GL();
  Game game;
  Monitor monitor(glm::mat4(1.0f), game.mainShader, game.shadowShader);
  for (const StatusImage& image : monitor.healthImages)
    EXPECT_TRUE(image.fits(128, 128));
  for (const StatusImage& image : monitor.livesImages)
    EXPECT_TRUE(image.fits(128, 64));
  for (const StatusImage& image : monitor.digitImages)
    EXPECT_TRUE(image.fits(32, 44));
  for (const StatusImage& image : monitor.speedImages)
    EXPECT_TRUE(image.fits(242, 86));
  EXPECT_TRUE(monitor.scorePanelImage.fits(340, 88));
  EXPECT_TRUE(monitor.fpsLabelImage.fits(90, 52));
  for (const StatusImage* image :
       {&monitor.emptySlotImage, &monitor.objectsLabelImage, &monitor.samplingLabelImage, &monitor.mipmapLabelImage,
        &monitor.linearImage, &monitor.bilinearImage, &monitor.nearestImage, &monitor.onImage, &monitor.offImage})
    EXPECT_TRUE(image->fits(218, 52));
  EXPECT_TRUE(monitor.isPlaying()) << "the default clip starts with the monitor";
  EXPECT_EQ(monitor.defaultClipPath, "Videos/Katzenvideo.mpg");
  GLint source = 0, destination = 0;
  glGetIntegerv(GL_BLEND_SRC_ALPHA, &source);
  glGetIntegerv(GL_BLEND_DST_ALPHA, &destination);
  EXPECT_EQ(source, GL_SRC_ALPHA);
  EXPECT_EQ(destination, GL_ONE_MINUS_SRC_ALPHA);
  EXPECT_NO_GL_ERROR();
}

} // namespace
} // namespace felidora::test
