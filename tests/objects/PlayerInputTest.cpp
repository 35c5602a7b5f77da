// The player's keys: steering, boost and brake with their timed stages and
// recovery, and the fire key with its charged super shot.
#include "objects/Projektil.h"
#include "tests/objects/ObjectWorld.h"
#include "tests/support/RecordedEvents.h"

#include <set>
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

TEST_F(PlayerInput, SAndATogetherAreNeutral) {
  // nothing built up: neutral without recovery
  KeyFlags.keyS = KeyFlags.keyA = true;
  frame(0.125);
  EXPECT_EQ(player->speed, 40.0f);
  EXPECT_FALSE(player->speedRecovering);
  EXPECT_FALSE(player->boostActive || player->brakeActive);
  EXPECT_EQ(player->speedDisplay, 2);

  // one second of boost, then both keys: 40 at once and the recovery starts
  KeyFlags.keyA = false;
  for (int i = 0; i < 8; ++i)
    frame(0.125);
  EXPECT_EQ(player->speed, 80.0f);
  EXPECT_EQ(player->speedTimer, 1.0);
  KeyFlags.keyA = true;
  player->handleInput(game);
  EXPECT_EQ(player->speed, 40.0f);
  EXPECT_TRUE(player->speedRecovering);
  player->update(0.125, game);
  EXPECT_EQ(player->speedDisplay, 7);
  EXPECT_EQ(player->speedTimer, 0.9375);
}

TEST_F(PlayerInput, HoldingSBoostsForThreeSecondsThenRecoversForSix) {
  KeyFlags.keyS = true;
  const double dt = 0.125;
  for (int i = 1; i <= 24; ++i) { // 0.125 .. 3.0 s
    const glm::vec3 before = player->position();
    frame(dt);
    const float expected = i <= 12 ? 80.0f : 120.0f;
    ASSERT_EQ(player->speed, expected) << "after " << i * dt << " s";
    ASSERT_EQ(player->speedDisplay, i <= 12 ? 3 : 4);
    ASSERT_NEAR(glm::length(player->position() - before), expected * dt, 1e-3);
  }
  // still holding S: three seconds are used up, six seconds of recovery at 40
  for (int i = 1; i <= 48; ++i) {
    const glm::vec3 before = player->position();
    frame(dt);
    ASSERT_EQ(player->speed, 40.0f) << "recovery frame " << i;
    ASSERT_NEAR(glm::length(player->position() - before), 40.0f * dt, 1e-3);
    if (i < 48) {
      ASSERT_EQ(player->speedDisplay, player->speedTimer <= 1.5 ? 7 : 8) << "recovery frame " << i;
    }
    if (i == 1) {
      ASSERT_EQ(player->speedDisplay, 8);
    }
  }
  EXPECT_EQ(player->speedDisplay, 2);
  EXPECT_FALSE(player->speedRecovering);
  frame(dt); // S is heard again
  EXPECT_EQ(player->speed, 80.0f);
}

TEST_F(PlayerInput, EverySpeedDisplayValueIsReached) {
  std::set<int> seen;
  const auto run = [&](bool s, bool a, int frames) {
    KeyFlags.keyS = s;
    KeyFlags.keyA = a;
    for (int i = 0; i < frames; ++i) {
      frame(0.25);
      seen.insert(player->speedDisplay);
    }
  };
  run(false, false, 2);  // neutral
  run(true, false, 12);  // boost to its end
  run(false, false, 30); // recovery back to neutral
  run(false, true, 12);  // brake to its end
  run(false, false, 30);
  EXPECT_EQ(seen, (std::set<int>{0, 1, 2, 3, 4, 5, 6, 7, 8}));
  EXPECT_EQ(player->speedDisplay, 2);
}

TEST_F(PlayerInput, BrakeStagesAreTwentyThenAThird) {
  KeyFlags.keyA = true;
  frame(1.5);
  EXPECT_EQ(player->speed, 20.0f);
  EXPECT_EQ(player->speedDisplay, 1);
  frame(0.25);
  EXPECT_EQ(player->speed, 13.333333f);
  EXPECT_EQ(player->speedDisplay, 0);
  KeyFlags.keyA = false;
  frame(0.25); // timer 1.75 - 0.125
  EXPECT_EQ(player->speedDisplay, 5);
  EXPECT_EQ(player->speed, 40.0f);
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
  EXPECT_FALSE(player->speedRecovering);
  EXPECT_EQ(player->speed, 80.0f);
  EXPECT_EQ(events.count("boostStarted"), 3);
  EXPECT_EQ(events.count("brakeStarted"), 1);
}

TEST_F(PlayerInput, TapFiresOneNormalShot) {
  KeyFlags.keyFire = true;
  frame(0.1);
  KeyFlags.keyFire = false;
  for (int i = 0; i < 5; ++i)
    frame(0.1);
  ASSERT_EQ(player->projectiles.size(), 1u);
  EXPECT_EQ(player->projectiles[0]->shotType, 0);
  EXPECT_EQ(player->projectiles[0]->damage, 1);
  EXPECT_EQ(player->chargeTime, 0.0);
}

TEST_F(PlayerInput, ReleaseAfterThreeSecondsOfHoldingFiresASuperShotToo) {
  KeyFlags.keyFire = true;
  frame(0.125); // the press: a normal shot, no charge
  for (int i = 0; i < 24; ++i)
    frame(0.125);
  EXPECT_EQ(player->chargeTime, 3.0);
  ASSERT_EQ(player->projectiles.size(), 1u);
  KeyFlags.keyFire = false;
  frame(0.125);
  ASSERT_EQ(player->projectiles.size(), 2u);
  EXPECT_EQ(player->projectiles[0]->shotType, 0);
  EXPECT_EQ(player->projectiles[1]->shotType, 1);
  EXPECT_EQ(player->projectiles[1]->damage, 2);
  EXPECT_EQ(player->chargeTime, 0.0);
}

TEST_F(PlayerInput, HoldOfExactlyThreeSecondsFromThePressFallsShort) {
  KeyFlags.keyFire = true;
  frame(0.125); // the press
  for (int i = 0; i < 23; ++i)
    frame(0.125);
  KeyFlags.keyFire = false; // released 3.0 s after the press
  frame(0.125);
  EXPECT_EQ(player->projectiles.size(), 1u);
  EXPECT_EQ(player->chargeTime, 0.0);
}

// A long frame is played in short steps; its press still fires once and
// adds nothing to the charge, however many steps the frame takes.
TEST_F(PlayerInput, APressInAHalfSecondFrameAddsNothingToTheCharge) {
  KeyFlags.keyFire = true;
  game->handleFunctionKeys();
  game->update(0.5);
  EXPECT_EQ(player->chargeTime, 0.0);
  EXPECT_EQ(player->projectiles.size(), 1u);
  game->handleFunctionKeys();
  game->update(0.5); // held: the whole frame counts
  EXPECT_DOUBLE_EQ(player->chargeTime, 0.5);
  EXPECT_EQ(player->projectiles.size(), 1u);
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
