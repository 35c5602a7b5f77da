// The player's boost and brake without GL: the timed stages, the recovery,
// and the speed indicator's picture for each stage.
#include "objects/SpeedStages.h"

#include <gtest/gtest.h>

#include <set>

namespace {

// One frame as the player plays it: the keys, then one step.
SpeedStages::Start frame(SpeedStages& stages, bool s, bool a, double dt) {
  stages.readKeys(s, a);
  return stages.advance(dt);
}

// the picture number the monitor shows
int shown(const SpeedStages& stages) { return static_cast<int>(stages.speedDisplay); }

TEST(SpeedStages, SAndATogetherAreNeutral) {
  // nothing built up: neutral without recovery
  SpeedStages stages;
  frame(stages, true, true, 0.125);
  EXPECT_EQ(stages.speed, 40.0f);
  EXPECT_FALSE(stages.speedRecovering);
  EXPECT_FALSE(stages.boostActive || stages.brakeActive);
  EXPECT_EQ(shown(stages), 2);

  // one second of boost, then both keys: 40 at once and the recovery starts
  for (int i = 0; i < 8; ++i)
    frame(stages, true, false, 0.125);
  EXPECT_EQ(stages.speed, 80.0f);
  EXPECT_EQ(stages.speedTimer, 1.0);
  stages.readKeys(true, true);
  EXPECT_EQ(stages.speed, 40.0f);
  EXPECT_TRUE(stages.speedRecovering);
  stages.advance(0.125);
  EXPECT_EQ(shown(stages), 7);
  EXPECT_EQ(stages.speedTimer, 0.9375);
}

TEST(SpeedStages, HoldingSBoostsForThreeSecondsThenRecoversForSix) {
  SpeedStages stages;
  const double dt = 0.125;
  for (int i = 1; i <= 24; ++i) { // 0.125 .. 3.0 s
    const SpeedStages::Start start = frame(stages, true, false, dt);
    // the boost's sound starts with its first frame only
    ASSERT_EQ(start, i == 1 ? SpeedStages::Start::Boost : SpeedStages::Start::None) << "frame " << i;
    ASSERT_EQ(stages.speed, i <= 12 ? 80.0f : 120.0f) << "after " << i * dt << " s";
    ASSERT_EQ(shown(stages), i <= 12 ? 3 : 4);
  }
  // still holding S: three seconds are used up, six seconds of recovery at 40
  for (int i = 1; i <= 48; ++i) {
    ASSERT_EQ(frame(stages, true, false, dt), SpeedStages::Start::None);
    ASSERT_EQ(stages.speed, 40.0f) << "recovery frame " << i;
    if (i < 48) {
      ASSERT_EQ(shown(stages), stages.speedTimer <= 1.5 ? 7 : 8) << "recovery frame " << i;
    }
    if (i == 1) {
      ASSERT_EQ(shown(stages), 8);
    }
  }
  EXPECT_EQ(shown(stages), 2);
  EXPECT_FALSE(stages.speedRecovering);
  // S is heard again, and a new boost starts
  EXPECT_EQ(frame(stages, true, false, dt), SpeedStages::Start::Boost);
  EXPECT_EQ(stages.speed, 80.0f);
}

// A long frame is played as steps after one reading of the keys: the steps
// after the recovery ends stay neutral, as the next frame would on a fast
// machine with the key released, and no new boost is heard.
TEST(SpeedStages, ARecoveryEndingInsideALongFrameLeavesTheRestOfItNeutral) {
  SpeedStages stages;
  for (int i = 0; i < 8; ++i)
    frame(stages, true, false, 0.125); // one second of boost, two of recovery
  stages.readKeys(false, false);
  ASSERT_TRUE(stages.speedRecovering);
  for (int step = 0; step < 50; ++step) // 2.5 s in steps of 0.05 s
    ASSERT_EQ(stages.advance(0.05), SpeedStages::Start::None) << "step " << step;
  EXPECT_FALSE(stages.speedRecovering);
  EXPECT_EQ(stages.speed, 40.0f);
  EXPECT_EQ(stages.speedTimer, 0.0);
  EXPECT_EQ(shown(stages), 2);
}

TEST(SpeedStages, EverySpeedDisplayValueIsReached) {
  SpeedStages stages;
  std::set<int> seen;
  const auto run = [&](bool s, bool a, int frames) {
    for (int i = 0; i < frames; ++i) {
      frame(stages, s, a, 0.25);
      seen.insert(shown(stages));
    }
  };
  run(false, false, 2);  // neutral
  run(true, false, 12);  // boost to its end
  run(false, false, 30); // recovery back to neutral
  run(false, true, 12);  // brake to its end
  run(false, false, 30);
  EXPECT_EQ(seen, (std::set<int>{0, 1, 2, 3, 4, 5, 6, 7, 8}));
  EXPECT_EQ(shown(stages), 2);
}

TEST(SpeedStages, BrakeStagesAreTwentyThenAThird) {
  SpeedStages stages;
  EXPECT_EQ(frame(stages, false, true, 1.5), SpeedStages::Start::Brake);
  EXPECT_EQ(stages.speed, 20.0f);
  EXPECT_EQ(shown(stages), 1);
  EXPECT_EQ(frame(stages, false, true, 0.25), SpeedStages::Start::None);
  EXPECT_EQ(stages.speed, 13.333333f);
  EXPECT_EQ(shown(stages), 0);
  frame(stages, false, false, 0.25); // timer 1.75 - 0.125
  EXPECT_EQ(shown(stages), 5);
  EXPECT_EQ(stages.speed, 40.0f);
}

} // namespace
