// The player's keys in flight: steering, the speed of the boost and brake
// stages, and the shots the fire key leaves.
#include "objects/Projektil.h"
#include "tests/objects/ObjectWorld.h"
#include "tests/support/RecordedEvents.h"

#include <string>
#include <vector>

namespace felidora::test {
namespace {

class PlayerInput : public ObjectWorld {
protected:
  void SetUp() override {
    ObjectWorld::SetUp();
    if (IsSkipped() || HasFatalFailure())
      return;
    player = addPlayer({0.0f, kSky, 0.0f});
  }
  Schnecke* player = nullptr;
};

TEST_F(PlayerInput, UpAndDownTogetherGiveNoClimb) {
  KeyFlags.keyUp = KeyFlags.keyDown = true;
  frame(0.5);
  EXPECT_EQ(player->verticalInput, 0);
  EXPECT_FLOAT_EQ(player->position().y, kSky);

  KeyFlags.keyUp = false; // Down alone climbs 20 units per second
  frame(0.5);
  EXPECT_EQ(player->verticalInput, 1);
  EXPECT_NEAR(player->position().y, kSky + 10.0f, 1e-3);

  KeyFlags.keyDown = false;
  KeyFlags.keyUp = true; // Up alone descends
  frame(0.5);
  EXPECT_EQ(player->verticalInput, -1);
  EXPECT_NEAR(player->position().y, kSky, 1e-3);
}

TEST_F(PlayerInput, LeftAndRightTogetherGiveNoTurn) {
  const glm::mat4 before = player->modelMatrix;
  KeyFlags.keyLeft = KeyFlags.keyRight = true;
  frame(0.5);
  EXPECT_EQ(player->turnInput, 0);
  for (int c = 0; c < 3; ++c)
    EXPECT_EQ(player->modelMatrix[c], before[c]) << "column " << c;

  // Left alone: counter-clockwise seen from above, 45 degrees per second, so
  // the heading (-Z) swings towards -X.
  KeyFlags.keyRight = false;
  frame(1.0);
  const glm::vec3 heading = -glm::vec3(player->modelMatrix[2]);
  EXPECT_NEAR(heading.x, -0.70710678f, 1e-5);
  EXPECT_NEAR(heading.z, -0.70710678f, 1e-5);

  KeyFlags.keyLeft = false;
  KeyFlags.keyRight = true; // and Right turns back
  frame(1.0);
  EXPECT_NEAR(player->modelMatrix[2].x, 0.0f, 1e-5);
  EXPECT_NEAR(player->modelMatrix[2].z, 1.0f, 1e-5);
}

// The stages themselves are SpeedStagesTest's; here the player flies at
// their speed.
TEST_F(PlayerInput, HoldingSFliesAtTheBoostStagesSpeedThenRecoversAtForty) {
  KeyFlags.keyS = true;
  const double dt = 0.125;
  for (int i = 1; i <= 24 + 48; ++i) { // 3 s of boost, 6 s of recovery
    const glm::vec3 before = player->position();
    frame(dt);
    const float expected = i <= 12 ? 80.0f : i <= 24 ? 120.0f : 40.0f;
    ASSERT_NEAR(glm::length(player->position() - before), expected * dt, 1e-3) << "frame " << i;
  }
  EXPECT_EQ(player->speedStages.speedDisplay, SpeedDisplay::Neutral);
}

// Heard as each starts: a switch straight from one to the other starts the
// other, and S held through its recovery starts a new boost after it.
TEST_F(PlayerInput, BoostAndBrakeAreHeardOnceAsTheyStart) {
  RecordedEvents events;
  game->reportTo(&events);
  const auto hold = [&](bool s, bool a, int frames) {
    KeyFlags.keyS = s;
    KeyFlags.keyA = a;
    for (int i = 0; i < frames; ++i)
      frame(0.25);
  };
  hold(true, false, 4); // one second of boost
  hold(false, true, 2); // half a second of brake, the same timer
  hold(true, false, 2); // boost again: 2.5 s built up
  EXPECT_EQ(events.heard, (std::vector<std::string>{"boostStarted", "brakeStarted", "boostStarted"}));
  hold(true, false, 4 + 24 + 1); // to three seconds, six of recovery, and a new boost
  EXPECT_FALSE(player->speedStages.speedRecovering);
  EXPECT_EQ(player->speedStages.speed, 80.0f);
  EXPECT_EQ(events.count("boostStarted"), 3);
  EXPECT_EQ(events.count("brakeStarted"), 1);
}

// The trigger itself is FireTriggerTest's; here its shots leave as shots of
// their kind, and a long frame played in steps fires its press once.
TEST_F(PlayerInput, TheFireKeysShotsLeaveAsNormalAndSuperShots) {
  KeyFlags.keyFire = true;
  frame(0.125); // the press: a normal shot, no charge
  for (int i = 0; i < 24; ++i)
    frame(0.125);
  ASSERT_EQ(player->projectiles.size(), 1u);
  KeyFlags.keyFire = false;
  frame(0.125);
  ASSERT_EQ(player->projectiles.size(), 2u);
  EXPECT_EQ(player->projectiles[0]->shotType, 0);
  EXPECT_EQ(player->projectiles[0]->damage, 1);
  EXPECT_EQ(player->projectiles[1]->shotType, 1);
  EXPECT_EQ(player->projectiles[1]->damage, 2);

  KeyFlags.keyFire = true;
  game->handleFunctionKeys();
  game->update(0.5); // ten steps
  EXPECT_EQ(player->fireTrigger.chargeTime, 0.0);
  EXPECT_EQ(player->projectiles.size(), 3u);
  game->handleFunctionKeys();
  game->update(0.5); // held: the whole frame counts
  EXPECT_DOUBLE_EQ(player->fireTrigger.chargeTime, 0.5);
  EXPECT_EQ(player->projectiles.size(), 3u);
}

TEST_F(PlayerInput, ASuperShotLeavesPointingThePlayersWay) {
  KeyFlags.keyLeft = true;
  frame(0.5);
  player->fire(1, *game->events);
  ASSERT_EQ(player->projectiles.size(), 1u);
  EXPECT_EQ(player->projectiles[0]->modelMatrix, player->modelMatrix);
  player->fire(7, *game->events); // no such shot type
  EXPECT_EQ(player->projectiles.size(), 1u);
}

} // namespace
} // namespace felidora::test
