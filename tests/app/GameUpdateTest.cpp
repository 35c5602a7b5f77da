// The whole game in process: level set-up, the update with scoring and the
// outcome clips, and the function keys.
#include "app/FrameSource.h"
#include "app/Game.h"
#include "app/GameProgramCheck.h"
#include "app/Gamepad.h"
#include "app/KeyFlags.h"
#include "monitor/Monitor.h"
#include "monitor/VideoPlayback.h"
#include "objects/GegnerProjektil.h"
#include "objects/Hummelot.h"
#include "objects/LevelScene.h"
#include "objects/Projektil.h"
#include "objects/Schnecke.h"
#include "objects/WasserPlane.h"
#include "render/CollisionModel3D.h"
#include "render/Shader.h"
#include "tests/support/ColladaFixture.h"
#include "tests/support/GlContext.h"
#include "tests/support/MessageCapture.h"

#include <GL/glew.h>
#include <GLFW/glfw3.h>
#include <glm/gtc/type_ptr.hpp>
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

namespace {

class GameUpdateTest : public ::testing::Test {
protected:
  void SetUp() override {
    FELIDORA_REQUIRE_GL();
    KeyFlags = KeyFlagTable{};
    game = std::make_unique<Game>();
    game->assembleLevel();
    checkGamePrograms(*game); // the programs as the first frame finds them
    ASSERT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
  }
  void TearDown() override {
    game.reset();
    KeyFlags = KeyFlagTable{};
  }

  // One frame as the frame loop runs it.
  void frame(double dt) {
    game->handleFunctionKeys();
    game->update(dt);
  }

  std::unique_ptr<Game> game;
};

TEST_F(GameUpdateTest, LevelHoldsSeventeenEnemiesInSpawnOrderAndTheSharedScreenLight) {
  const float spawns[17][3] = {
      {-417, 213, 40},  {409, 359, 407},  {409, 359, 480},  {657, 252, -56},  {542, 252, -56},  {830, 217, -820},
      {830, 217, -924}, {851, 182, -880}, {666, 182, -880}, {118, 259, -880}, {118, 328, -880}, {-505, 202, -1015},
      {-972, 399, 588}, {-972, 399, 399}, {-972, 399, 832}, {-944, 415, 709}, {-1094, 415, 709}};
  ASSERT_EQ(game->enemies.size(), 17u);
  for (int i = 0; i < 17; ++i) {
    const glm::vec3 p = game->enemies[i]->position();
    EXPECT_EQ(p, glm::vec3(spawns[i][0], spawns[i][1], spawns[i][2])) << "enemy " << i;
  }
  EXPECT_EQ(game->player->position(), glm::vec3(0, 500, 400));
  EXPECT_EQ(game->water->position(), glm::vec3(0, 60, 0));

  const std::vector<Light*> levelLights = game->level->getLights();
  ASSERT_GE(levelLights.size(), 2u);
  EXPECT_EQ(levelLights.back(), game->monitor->getLights()[0]);
  EXPECT_EQ(game->monitor->screenLightIndex, static_cast<int>(levelLights.size()) - 1);
  // the lit program has a slot for every light, the screen light last
  const std::string last = "lichtquellenposition[" + std::to_string(levelLights.size() - 1) + "]";
  EXPECT_GE(glGetUniformLocation(game->mainShader->program, last.c_str()), 0);
}

TEST_F(GameUpdateTest, ProjectionIsSharedByTheLitAndDepthPrograms) {
  const float* lit = glm::value_ptr(game->mainShader->projectionMatrix);
  const float* depth = glm::value_ptr(game->shadowShader->projectionMatrix);
  const struct {
    int element;
    float value;
  } expected[] = {{0, 1.2990381f}, {5, 1.7320509f}, {10, -1.0000308f}, {11, -1.0f}, {14, -0.20000307f}};
  for (const auto& e : expected) {
    EXPECT_NEAR(lit[e.element], e.value, 1e-6f) << "element " << e.element;
    EXPECT_EQ(depth[e.element], lit[e.element]);
  }
  glm::mat4 uploaded;
  glGetUniformfv(game->mainShader->program, game->level->projectionMatrixLoc, glm::value_ptr(uploaded));
  EXPECT_EQ(uploaded, game->mainShader->projectionMatrix);
}

// The player carries the monitor half a unit left of, 1.3 below and 1.2 ahead
// of the eye (4 up, 6 behind), tilted 45 degrees about -x and at 0.4 size.
TEST_F(GameUpdateTest, MonitorHangsBelowLeftOfTheLineOfSightTiltedAndScaled) {
  KeyFlags.keyLeft = true; // a heading that is not an axis
  frame(0.6);
  KeyFlags.keyLeft = false;
  KeyFlags.keyDown = true; // and a climb
  frame(0.3);

  const glm::mat4 p = game->player->modelMatrix;
  const glm::vec3 right(p[0]), up(p[1]), back(p[2]), at(p[3]);
  ASSERT_GT(std::abs(right.z), 0.1f) << "the player has not turned";
  const glm::vec3 columns[4] = {0.4f * right, 0.28284271f * (up - back), 0.28284271f * (up + back),
                                at - 0.5f * right + 2.7f * up + 4.8f * back};
  const glm::mat4& monitor = game->monitor->modelMatrix;
  for (int c = 0; c < 4; ++c)
    for (int r = 0; r < 3; ++r)
      // float rounding of sums of coordinates near 500
      EXPECT_NEAR(monitor[c][r], columns[c][r], 1e-3f) << "column " << c << " row " << r;
  EXPECT_EQ(monitor[0][3], 0.0f);
  EXPECT_EQ(monitor[1][3], 0.0f);
  EXPECT_EQ(monitor[2][3], 0.0f);
  EXPECT_EQ(monitor[3][3], 1.0f);
}

TEST_F(GameUpdateTest, FrameRateSampleKeepsTheRemainder) {
  game->fpsTimer = 0.9;
  game->framesThisSecond = 41;
  game->update(0.25);
  EXPECT_EQ(game->fps, 42);
  EXPECT_EQ(game->framesThisSecond, 0);
  EXPECT_NEAR(game->fpsTimer, 0.15, 1e-12);
  EXPECT_FLOAT_EQ(game->elapsedTime, 0.25f);
}

TEST_F(GameUpdateTest, TwoKillsInOneFrameScoreWithTheRisingCombo) {
  Gegner* third = game->enemies[2];
  game->enemies[0]->dead = true;
  game->enemies[1]->dead = true;
  game->update(1.0 / 60.0);
  EXPECT_EQ(game->player->score, 300);
  EXPECT_EQ(game->player->combo, 3);
  ASSERT_EQ(game->enemies.size(), 15u);
  EXPECT_EQ(game->enemies[0], third); // order kept
}

TEST_F(GameUpdateTest, LastKillStartsTheVictoryClipAndItsEndStopsTheGame) {
  for (Gegner* enemy : game->enemies)
    enemy->dead = true;
  game->update(1.0 / 60.0);
  EXPECT_TRUE(game->enemies.empty());
  EXPECT_TRUE(game->outcomeShown);
  EXPECT_EQ(game->monitor->currentClip(), "Videos/Sieg.mpg");
  EXPECT_TRUE(game->running);

  int frames = 0;
  while (game->running && frames < 60 * 60) {
    game->update(0.04);
    ++frames;
    if (game->running) {
      EXPECT_EQ(game->monitor->currentClip(), "Videos/Sieg.mpg") << "frame " << frames;
    }
  }
  EXPECT_FALSE(game->running);
  // 3 to 6 s at 25 pictures per second, one picture per 40 ms frame
  EXPECT_GE(frames, 70);
  EXPECT_LE(frames, 160);
}

TEST_F(GameUpdateTest, LosingTheLastLifeStartsGameOverWhileEnemiesFlyOn) {
  game->player->health = 1;
  game->player->lives = 0;
  game->player->takeDamage(1, *game->events);
  ASSERT_TRUE(game->player->gameOver);
  const glm::vec3 before = game->enemies[0]->position();
  game->update(1.0 / 60.0);
  EXPECT_TRUE(game->outcomeShown);
  EXPECT_EQ(game->monitor->currentClip(), "Videos/GameOver.mpg");
  for (int i = 0; i < 30; ++i)
    game->update(1.0 / 60.0);
  EXPECT_NE(game->enemies[0]->position(), before);
  EXPECT_TRUE(game->running);
}

TEST_F(GameUpdateTest, F5CyclesMipmapModesAndEveryObjectFollows) {
  const struct {
    bool mipmapping, mipmapLinear;
    GLint minFilter;
  } cycle[] = {{false, true, GL_LINEAR},
               {true, false, GL_LINEAR_MIPMAP_NEAREST},
               {true, true, GL_LINEAR_MIPMAP_LINEAR},
               {false, true, GL_LINEAR}};
  for (const auto& step : cycle) {
    KeyFlags.keyF5 = true;
    frame(1.0 / 60.0);
    KeyFlags.keyF5 = false;
    frame(1.0 / 60.0);
    EXPECT_EQ(game->mipmapping, step.mipmapping);
    EXPECT_EQ(game->mipmapLinear, step.mipmapLinear);
    for (SceneObject* object : {static_cast<SceneObject*>(game->level), static_cast<SceneObject*>(game->player),
                                static_cast<SceneObject*>(game->enemies[16])}) {
      glBindTexture(GL_TEXTURE_2D, object->textures[0]);
      GLint minFilter = 0;
      glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, &minFilter);
      EXPECT_EQ(minFilter, step.minFilter);
    }
  }
  // the water keeps its own filtering
  glBindTexture(GL_TEXTURE_2D, game->water->textures[0]);
  GLint waterFilter = 0;
  glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, &waterFilter);
  EXPECT_EQ(waterFilter, GL_LINEAR_MIPMAP_LINEAR);
  EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

TEST_F(GameUpdateTest, HoldingF4SwitchesOnce) {
  KeyFlags.keyF4 = true;
  for (int i = 0; i < 100; ++i)
    frame(1.0 / 60.0);
  EXPECT_FALSE(game->linearFiltering);
  KeyFlags.keyF4 = false;
  frame(1.0 / 60.0);
  KeyFlags.keyF4 = true;
  frame(1.0 / 60.0);
  EXPECT_TRUE(game->linearFiltering);
}

TEST_F(GameUpdateTest, F1DuringTheOutcomeClipReplacesItWithTheTutorial) {
  for (Gegner* enemy : game->enemies)
    enemy->dead = true;
  frame(1.0 / 60.0);
  ASSERT_EQ(game->monitor->currentClip(), "Videos/Sieg.mpg");
  KeyFlags.keyF1 = true;
  frame(1.0 / 60.0);
  EXPECT_EQ(game->monitor->currentClip(), "Videos/Katzentutorial.mpg");
  EXPECT_TRUE(game->running); // the game now ends when the tutorial ends
}

TEST_F(GameUpdateTest, F2AndF8ToggleOnTheRisingEdge) {
  KeyFlags.keyF2 = KeyFlags.keyF8 = true;
  frame(1.0 / 60.0);
  frame(1.0 / 60.0);
  EXPECT_TRUE(game->showStats);
  EXPECT_FALSE(game->cullingEnabled);
}

TEST_F(GameUpdateTest, WithCullingOffEveryObjectCountsAsDrawn) {
  KeyFlags.keyFire = true; // a shot in flight
  frame(1.0 / 60.0);
  KeyFlags.keyFire = false;
  for (int i = 0; i < 70; ++i) // enemies fire after one second
    frame(1.0 / 60.0);
  game->cullingEnabled = false;
  game->render();
  int expected = 1 /* level */ + 1 /* player */ + static_cast<int>(game->player->projectiles.size()) + 1 /* monitor */;
  for (Gegner* enemy : game->enemies)
    expected += 2 /* body and rotor */ + static_cast<int>(static_cast<Hummelot*>(enemy)->shots.size());
  EXPECT_EQ(game->objectsDrawn, expected);
  EXPECT_GT(game->player->projectiles.size(), 0u);

  game->cullingEnabled = true;
  game->render();
  EXPECT_LT(game->objectsDrawn, expected); // most enemies are out of view at the start
  EXPECT_GE(game->objectsDrawn, 3);        // level, player and monitor are

  // shots flown on far beyond the landscape still lie where the shadow pass
  // draws (and so take the shadows of what stands between them and the sun)
  GegnerProjektil* laser = nullptr;
  for (Gegner* enemy : game->enemies)
    if (!static_cast<Hummelot*>(enemy)->shots.empty())
      laser = static_cast<Hummelot*>(enemy)->shots.front();
  ASSERT_NE(laser, nullptr);
  game->player->projectiles.front()->modelMatrix[3] = glm::vec4(20000, 300, 0, 1);
  laser->modelMatrix[3] = glm::vec4(0, 300, -20000, 1);
  const std::vector<ShadowRegion::Box> lit = game->litBoxes();
  EXPECT_TRUE(std::any_of(lit.begin(), lit.end(), [](const ShadowRegion::Box& box) { return box.max.x >= 20000.0f; }));
  EXPECT_TRUE(std::any_of(lit.begin(), lit.end(), [](const ShadowRegion::Box& box) { return box.min.z <= -20000.0f; }));
  EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

// A landscape that brings four lights, one more than the lit program has
// slots for with the monitor's: the sun and the screen light keep theirs,
// and each light left out is named once, when it loses its slot.
TEST(LightSlots, AFourLightLandscapeKeepsTheSunAndTheScreenLightAndNamesEachLightLeftOut) {
  FELIDORA_REQUIRE_GL();
  felidora::test::FixtureMesh ground;
  ground.positions = {-900, 50, 900, 900, 50, 900, 900, 50, -900, -900, 50, -900};
  ground.triangles = {0, 1, 2, 0, 2, 3};
  const std::string path = felidora::test::writeCollada("vierlichter.dae", {ground}, true, "",
                                                        {{0, 4000, 0}, {100, 900, 0}, {-100, 900, 0}, {0, 900, 100}});
  KeyFlags = KeyFlagTable{};
  felidora::test::MessageCapture messages;
  Game game;
  game.assembleLevel(path);
  game.update(1.0 / 60.0); // the monitor moves its light
  ASSERT_EQ(game.level->lights.size(), 5u);

  std::istringstream lines(messages.text());
  std::vector<std::string> named;
  for (std::string line; std::getline(lines, line);)
    named.push_back(line);
  ASSERT_EQ(named.size(), 2u) << messages.text();
  EXPECT_EQ(named[0].rfind("Licht 4 (bei ", 0), 0u) << named[0];
  EXPECT_EQ(named[1].rfind("Licht 3 (bei ", 0), 0u) << named[1];
  EXPECT_NE(named[0].find("keinen Platz"), std::string::npos) << named[0];

  const unsigned program = game.mainShader->program;
  const auto slot = [program](int k) {
    glm::vec3 position(0.0f);
    const std::string name = "lichtquellenposition[" + std::to_string(k) + "]";
    glGetUniformfv(program, glGetUniformLocation(program, name.c_str()), glm::value_ptr(position));
    return position;
  };
  const auto at = [](const Light* light) { return glm::make_vec3(light->position); };
  EXPECT_EQ(slot(0), at(game.level->lights[0])) << "the sun";
  EXPECT_EQ(slot(1), at(game.monitor->getLights()[0])) << "the screen light, where the monitor put it";
  EXPECT_EQ(slot(2), at(game.level->lights[1]));
  GLint count = 0;
  glGetUniformiv(program, game.level->lichtquellenanzahlLoc, &count);
  EXPECT_EQ(count, 5);
  EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

// The player lying on the ground with its last hit point: the half-second
// frame that ends the game is played in ten steps, several of them touching
// the ground. The game is over after the first, lives stays at -1 and the
// monitor reports it once; the contacts of the frames after cost nothing.
TEST_F(GameUpdateTest, GameOverInALongFrameOnTheGroundReportsMinusOneOnce) {
  Schnecke& player = *game->player;
  const auto intoTheGround = [&] {
    LevelScene& level = *game->level;
    level.meshCollisionModel->setTransform(glm::value_ptr(level.modelMatrix));
    glm::vec3 at = player.position();
    for (at.y = 3000.0f; at.y > -3000.0f; at.y -= 1.0f) // finer than the sphere: never jumps a surface
      if (level.meshCollisionModel->sphereCollision(glm::value_ptr(at), kLandscapeHitRadius))
        break;
    player.modelMatrix[3] = glm::vec4(at - glm::vec3(0.0f, 6.0f, 0.0f), 1.0f); // lifting off takes steps
  };
  frame(1.0 / 60.0); // the monitor shows the lives once
  player.lives = 0;
  player.health = 1;
  const felidora::test::MessageCapture messages;
  intoTheGround();
  frame(0.5);
  ASSERT_TRUE(player.gameOver);
  EXPECT_EQ(player.lives, -1);
  EXPECT_EQ(player.health, 0);
  const std::string report = "Fehler! Lebensanzahl hat einen ungueltigen Wert: -1\n";
  EXPECT_EQ(messages.text(), report);
  for (int i = 0; i < 4; ++i) {
    intoTheGround();
    frame(0.5);
  }
  EXPECT_EQ(player.lives, -1);
  EXPECT_EQ(player.health, 0);
  EXPECT_EQ(messages.text(), report);
}

// Long frames. A dive held on Up, replayed in half-second frames, meets the
// ground as the same dive in 60 frames a second does: contact, lost health,
// and the player stays at the height where the short frames kept it.
TEST_F(GameUpdateTest, ADiveInHalfSecondFramesTouchesTheGroundAndStaysAboveIt) {
  const auto dive = [this](double dt, double seconds, float& lowest) {
    game = std::make_unique<Game>();
    game->assembleLevel();
    KeySnapshot up;
    up.set(static_cast<std::size_t>(GameKey::Up));
    lowest = 1e9f;
    for (int i = 0; i * dt < seconds; ++i) {
      applyKeys(up);
      frame(dt);
      lowest = std::min(lowest, game->player->position().y);
    }
    return game->player->health + 6 * game->player->lives;
  };
  float fineLowest = 0.0f, coarseLowest = 0.0f;
  const int fineHealth = dive(1.0 / 60.0, 30.0, fineLowest);
  const int coarseHealth = dive(0.5, 30.0, coarseLowest);
  EXPECT_LT(fineHealth, 6);
  EXPECT_LT(coarseHealth, 6) << "the dive never touched the ground";
  // in contact a 1/20 s step lifts the player by 2.5 units where a 1/60 s
  // frame lifts it by 0.8; half-second steps reach 5.8 units deeper
  EXPECT_NEAR(coarseLowest, fineLowest, 3.0f);
  EXPECT_GT(game->player->position().y, fineLowest - 5.0f);
}

// A stall of an hour (a suspended machine) counts as two and a half seconds:
// the player is within that flight of where it was, and every enemy too.
TEST_F(GameUpdateTest, AFrameOfAnHourMovesTheWorldByTwoAndAHalfSeconds) {
  const glm::vec3 player = game->player->position();
  const glm::vec3 enemy = game->enemies[0]->position();
  frame(3600.0);
  // 40 units a second forward at most, the climb adds nothing without keys
  EXPECT_LE(glm::length(game->player->position() - player), 100.0f + 1e-3f);
  EXPECT_GT(glm::length(game->player->position() - player), 99.0f);
  EXPECT_LT(glm::length(game->enemies[0]->position() - enemy), 100.0f);
  EXPECT_FLOAT_EQ(game->elapsedTime, 2.5f);
  EXPECT_TRUE(game->running);
}

// The pause. A game steered for two seconds loses the window's focus, stays
// paused for a minute of frames and is resumed with P: player, enemies, the
// clip and every timer are where they were, and not a moment of the minute
// reaches the update.
double gClock = 0.0;
double testClock() { return gClock; }

TEST_F(GameUpdateTest, AMinutePausedByFocusLossAndEndedWithPResumesWhereItWas) {
  FrameSource source;
  source.useClock(testClock);
  FrameInput input; // what the next frame reads, used up by it
  source.useInput([&input] { return std::exchange(input, FrameInput{}); });
  gClock = 100.0;
  source.startClock();
  KeySnapshot keys;
  keys.set(static_cast<std::size_t>(GameKey::Left));
  keys.set(static_cast<std::size_t>(GameKey::S));
  keys.set(static_cast<std::size_t>(GameKey::Space));
  double played = 0.0;
  // one frame as the frame loop runs it, the keys scripted
  const auto step = [&](double dt) {
    gClock += dt;
    recording::Frame f;
    EXPECT_TRUE(source.next(f));
    f.keys = keys;
    const bool plays = source.applyAndRecord(f);
    if (plays) {
      game->handleFunctionKeys();
      game->update(f.dt);
      played += f.dt;
    }
    game->showPause(source.paused());
    return plays;
  };
  for (int i = 0; i < 120; ++i)
    step(1.0 / 60.0);

  input.windowLeft = true;
  EXPECT_TRUE(step(1.0 / 60.0)) << "the frame that sees the focus go is still played";
  EXPECT_TRUE(source.paused());
  EXPECT_TRUE(game->paused);
  const Schnecke& p = *game->player;
  const glm::mat4 player = p.modelMatrix;
  const double timers[] = {p.speedStages.speedTimer, p.invulnerableTime, p.fireTrigger.chargeTime, game->fpsTimer};
  const std::size_t shots = p.projectiles.size();
  const glm::vec3 enemy = game->enemies[5]->position();
  const double fireTimer = static_cast<Hummelot*>(game->enemies[5])->fireTimer;
  const double clipTime = game->monitor->videoPlayback().elapsedSinceFrame;
  const std::string clip = game->monitor->currentClip();
  const float elapsed = game->elapsedTime;

  // the notice lies over the middle of the clip
  std::vector<unsigned char> texels(static_cast<std::size_t>(game->monitor->screenWidth) *
                                    static_cast<std::size_t>(game->monitor->screenHeight) * 4);
  glBindTexture(GL_TEXTURE_2D, game->monitor->screenTexture);
  glGetTexImage(GL_TEXTURE_2D, 0, GL_RGBA, GL_UNSIGNED_BYTE, texels.data());
  const StatusImage& notice = game->monitor->pauseImage;
  ASSERT_TRUE(notice.fits(320, 120)) << "the pause notice is 320 x 120";
  for (const int row : {10, 60, 110})
    for (const int column : {10, 160, 300}) {
      const std::size_t at = ((564u + row) * static_cast<std::size_t>(game->monitor->screenWidth) + 180u + column) * 4u;
      const std::size_t from = (static_cast<std::size_t>(row) * 320u + column) * 4u;
      EXPECT_EQ(std::vector<unsigned char>(texels.begin() + at, texels.begin() + at + 4),
                std::vector<unsigned char>(notice.pixels.begin() + from, notice.pixels.begin() + from + 4))
          << "texel " << column << ", " << row << " of the notice";
    }

  for (int i = 0; i < 60 * 60; ++i)
    EXPECT_FALSE(step(1.0 / 60.0));
  keys.reset(); // what is held during the pause reaches nothing
  input.pause = true;
  EXPECT_FALSE(step(1.0 / 60.0)) << "the frame that ends the pause only starts the clock";
  EXPECT_FALSE(source.paused());
  EXPECT_FALSE(game->paused);

  EXPECT_EQ(p.modelMatrix, player);
  const double after[] = {p.speedStages.speedTimer, p.invulnerableTime, p.fireTrigger.chargeTime, game->fpsTimer};
  for (int i = 0; i < 4; ++i)
    EXPECT_EQ(after[i], timers[i]) << "timer " << i;
  EXPECT_EQ(p.projectiles.size(), shots);
  EXPECT_EQ(game->enemies[5]->position(), enemy);
  EXPECT_EQ(static_cast<Hummelot*>(game->enemies[5])->fireTimer, fireTimer);
  EXPECT_EQ(game->monitor->videoPlayback().elapsedSinceFrame, clipTime);
  EXPECT_EQ(game->monitor->currentClip(), clip);
  EXPECT_EQ(game->elapsedTime, elapsed);

  EXPECT_TRUE(step(0.02));
  EXPECT_NEAR(played, 121 / 60.0 + 0.02, 1e-9) << "the minute paused entered a frame time";
  EXPECT_NE(p.modelMatrix, player);
  EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

// A flight steered by a pad (its state mapped to keys and merged as a frame
// reads them), with a pause in the middle, recorded and replayed in a fresh
// game: the replay ends with the recording's summary, the pause left out.
TEST_F(GameUpdateTest, APadDrivenFlightWithAPauseReplaysToTheSameSummary) {
  const std::string path = ::testing::TempDir() + "pad-flight.rec";
  const auto summaryOf = [](const std::string& printed) { return printed.substr(printed.find(' ')); };
  std::string recorded;
  int pausedFrames = 0;
  {
    const felidora::test::MessageCapture messages;
    FrameSource source;
    ASSERT_TRUE(source.open("", path)) << source.error();
    source.useClock(testClock);
    FrameInput input;
    source.useInput([&input] { return std::exchange(input, FrameInput{}); });
    gClock = 0.0;
    source.startClock();
    GLFWgamepadstate pad{};
    pad.axes[GLFW_GAMEPAD_AXIS_RIGHT_TRIGGER] = -1.0f;
    for (int i = 0; i < 400; ++i) {
      pad.axes[GLFW_GAMEPAD_AXIS_LEFT_X] = i < 150 ? -0.8f : 0.1f;
      pad.axes[GLFW_GAMEPAD_AXIS_LEFT_Y] = i > 100 && i < 250 ? 0.9f : 0.0f;
      pad.axes[GLFW_GAMEPAD_AXIS_RIGHT_TRIGGER] = i > 330 && i < 350 ? 1.0f : -1.0f;
      pad.buttons[GLFW_GAMEPAD_BUTTON_A] = i % 20 < 3 ? GLFW_PRESS : GLFW_RELEASE;
      pad.buttons[GLFW_GAMEPAD_BUTTON_RIGHT_BUMPER] = i > 300 ? GLFW_PRESS : GLFW_RELEASE;
      if (i == 200 || i == 260)
        input.pause = true;                    // P, then Pause
      gClock += i % 7 == 0 ? 0.2 : 1.0 / 60.0; // some long frames among them
      recording::Frame f;
      ASSERT_TRUE(source.next(f));
      f.keys = mergeKeys(f.keys, snapshotOf(
                                     defaultBindings(), [](int) { return false; }, padControls(pad)));
      if (source.applyAndRecord(f)) {
        game->handleFunctionKeys();
        game->update(f.dt);
      } else {
        ++pausedFrames;
      }
      game->showPause(source.paused());
    }
    source.printSummaries(*game);
    recorded = messages.text();
  }
  EXPECT_EQ(pausedFrames, 60);
  ASSERT_EQ(recorded.rfind("Aufnahme: ", 0), 0u) << recorded;
  EXPECT_NE(recorded.find("Bilder"), std::string::npos);

  KeyFlags = KeyFlagTable{};
  game = std::make_unique<Game>();
  game->assembleLevel();
  const felidora::test::MessageCapture messages;
  FrameSource replay;
  ASSERT_TRUE(replay.open(path, "")) << replay.error();
  recording::Frame f;
  while (game->running && replay.next(f)) {
    ASSERT_TRUE(replay.applyAndRecord(f));
    game->handleFunctionKeys();
    game->update(f.dt);
  }
  replay.printSummaries(*game);
  EXPECT_EQ(summaryOf(messages.text()), summaryOf(recorded));
  EXPECT_EQ(messages.text().rfind("Wiedergabe: ", 0), 0u);
  std::remove(path.c_str());
}

} // namespace
