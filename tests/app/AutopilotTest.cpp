// A small autopilot plays the real game to victory. It sees only what a
// player sees (where the player and the enemies are) and acts only through the
// keys: it turns towards the nearest enemy, climbs or descends to its height
// and fires when the enemy is ahead. One of its wins is kept as a recording,
// and its replay must end the same way.
//
// The kept win must replay with the content the build makes. After a change
// of the content, scripts/restamp-recording.sh re-stamps its fingerprint and
// checks that the real game replays it to its summary; after a change of the
// game's rules, scripts/restamp-recording.sh --record plays it anew here
// (FELIDORA_AUTOPILOT_RECORD=BASE writes BASE.rec and its summary BASE.txt).
#include "app/Game.h"
#include "app/GameSummary.h"
#include "app/KeyFlags.h"
#include "app/Recording.h"
#include "app/RecordingFormat.h"
#include "app/Replay.h"
#include "monitor/Monitor.h"
#include "objects/Gegner.h"
#include "objects/Schnecke.h"
#include "tests/support/GlContext.h"

#include <GL/glew.h>
#include <glm/glm.hpp>
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <memory>
#include <string>

namespace {

constexpr double kFrameTime = 1.0 / 60.0;
const std::string kRecordedWin = FELIDORA_TEST_DATA "/autopilot-win";

class Autopilot {
public:
  // The keys for this frame, from the positions a player can see.
  KeySnapshot steer(const Game& game, int frame) {
    KeySnapshot keys;
    const auto press = [&keys](GameKey key) { keys.set(static_cast<std::size_t>(key)); };
    const Schnecke& me = *game.player;
    const glm::vec3 position = me.position();
    const glm::vec3 forward = -glm::vec3(me.modelMatrix[2]);

    const Gegner* target = nullptr;
    float best = 1e30f;
    for (const Gegner* enemy : game.enemies) {
      const float d = glm::length(enemy->position() - position);
      if (d < best)
        best = d, target = enemy;
    }
    if (!target)
      return keys;

    // Lead the target: where it will be when a shot at 80 units/s arrives.
    const glm::vec3 seen = target->position();
    const glm::vec3 velocity =
        lastTarget == target ? (seen - lastSeen) / static_cast<float>(kFrameTime) : glm::vec3(0.0f);
    lastTarget = target, lastSeen = seen;
    const float flight = glm::length(seen - position) / 80.0f;
    const glm::vec3 aim = seen + velocity * flight;

    const glm::vec3 toAim = aim - position;
    const float horizontal = glm::length(glm::vec2(toAim.x, toAim.z));
    // heading error in the horizontal plane, positive when the aim is to the left
    const glm::vec2 f = glm::normalize(glm::vec2(forward.x, forward.z));
    const glm::vec2 a = glm::vec2(toAim.x, toAim.z) / std::max(horizontal, 1e-3f);
    const float cross = f.x * a.y - f.y * a.x;
    const float angle = std::atan2(-cross, f.x * a.x + f.y * a.y); // left turn is positive
    if (angle > 0.01f)
      press(GameKey::Left);
    else if (angle < -0.01f)
      press(GameKey::Right);

    // Far away, keep above the hills; close in, match the target's height.
    const float cruise = horizontal > 450.0f ? std::max(aim.y, 420.0f) : aim.y;
    if (position.y < cruise - 1.0f)
      press(GameKey::Down); // Down climbs
    else if (position.y > cruise + 1.0f)
      press(GameKey::Up); // Up descends

    // Too close to turn round in time: brake; far and lined up: boost.
    if (horizontal > 600.0f && std::fabs(angle) < 0.2f)
      press(GameKey::S);

    // Fire on every other frame while the enemy is ahead and in range.
    if (std::fabs(angle) < 0.08f && horizontal < 380.0f && std::fabs(toAim.y) < 8.0f && frame % 2 == 0)
      press(GameKey::Space);
    return keys;
  }

private:
  const Gegner* lastTarget = nullptr;
  glm::vec3 lastSeen{0.0f};
};

TEST(AutopilotTest, WinsTheWholeGameAndTheScoreFollowsTheComboRule) {
  FELIDORA_REQUIRE_GL();
  KeyFlags = KeyFlagTable{};
  Game game;
  game.assembleLevel();
  Autopilot pilot;
  std::unique_ptr<Recording> recording;
  if (const char* base = std::getenv("FELIDORA_AUTOPILOT_RECORD")) {
    recording = std::make_unique<Recording>();
    ASSERT_TRUE(recording->open(std::string(base) + ".rec", recording::contentFingerprint())) << recording->error();
  }

  long long expectedScore = 0;
  int kills = 0, hitsTaken = 0, frame = 0;
  double victoryAt = -1.0;
  const int maxFrames = static_cast<int>(30 * 60 / kFrameTime); // half an hour of game time
  for (; game.running && frame < maxFrames; ++frame) {
    const KeySnapshot keys = pilot.steer(game, frame);
    applyKeys(keys);
    if (recording)
      recording->writeFrame(kFrameTime, keys);
    const std::size_t enemiesBefore = game.enemies.size();
    const int healthBefore = game.player->health + 6 * game.player->lives;
    game.handleFunctionKeys();
    game.update(kFrameTime);
    if (frame % 60 == 0)
      game.render(); // the passes and the monitor run too

    if (game.player->health + 6 * game.player->lives < healthBefore)
      ++hitsTaken;
    const int killed = static_cast<int>(enemiesBefore - game.enemies.size());
    if (killed > 0) {
      // combo after the removal = combo at the first removal + kills
      const int firstCombo = game.player->combo - killed;
      for (int j = 0; j < killed; ++j)
        expectedScore += 100LL * (firstCombo + j);
      kills += killed;
      if (game.enemies.empty())
        victoryAt = frame * kFrameTime;
    }
    ASSERT_FALSE(game.player->gameOver) << "the autopilot lost at " << frame * kFrameTime << " s with "
                                        << game.enemies.size() << " enemies left, " << hitsTaken << " hits taken";
  }

  EXPECT_EQ(kills, 17);
  EXPECT_TRUE(game.enemies.empty());
  EXPECT_EQ(game.player->score, expectedScore);
  EXPECT_TRUE(game.outcomeShown);
  EXPECT_FALSE(game.running) << "the victory clip should have ended the game";
  EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
  std::printf("[ autopilot ] victory after %.1f s of game time, the game ended at %.1f s, score %d, hits taken %d\n",
              victoryAt, frame * kFrameTime, game.player->score, hitsTaken);
  if (recording) {
    recording->close();
    std::ofstream(std::getenv("FELIDORA_AUTOPILOT_RECORD") + std::string(".txt"))
        << gameSummary(game, recording->frames()) << "\n";
  }
  KeyFlags = KeyFlagTable{};
}

// The kept win, replayed frame by frame with its own times and keys: the same
// frames, score, lives, health and position, and no enemy left.
TEST(AutopilotTest, TheRecordedWinReplaysToTheSameEnd) {
  FELIDORA_REQUIRE_GL();
  std::ifstream summaryFile(kRecordedWin + ".txt");
  std::string expected;
  ASSERT_TRUE(std::getline(summaryFile, expected)) << "no " << kRecordedWin << ".txt";

  // Loaded as the game loads it: with the fingerprint of the content beside
  // the build, so a recording the game would refuse fails here too.
  Replay replay;
  ASSERT_TRUE(replay.load(kRecordedWin + ".rec", recording::contentFingerprint()))
      << replay.error() << "\nThe content changed since the win was recorded: run scripts/restamp-recording.sh";

  KeyFlags = KeyFlagTable{};
  Game game;
  game.assembleLevel();
  recording::Frame frame;
  while (game.running && replay.nextFrame(frame)) {
    applyKeys(frame.keys);
    game.handleFunctionKeys();
    game.update(frame.dt);
    if ((replay.framesPlayed() - 1) % 60 == 0)
      game.render(); // on the frames the autopilot rendered
  }
  EXPECT_TRUE(game.enemies.empty());
  EXPECT_FALSE(game.running) << "the victory clip should have ended the game";
  EXPECT_EQ(replay.framesPlayed(), replay.frames());
  EXPECT_EQ(gameSummary(game, replay.framesPlayed()), expected)
      << "if the game's rules changed on purpose, record the win anew: scripts/restamp-recording.sh --record";
  EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
  KeyFlags = KeyFlagTable{};
}

} // namespace
