// The player's fire key without GL: a normal shot on the press, a super shot
// on a release after three seconds of holding, and a press in a long frame.
#include "objects/FireTrigger.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

using Shot = FireTrigger::Shot;

// One frame as the player plays it: the key, then one step.
Shot frame(FireTrigger& trigger, bool fireKey, double dt) {
  trigger.readKey(fireKey);
  return trigger.advance(dt);
}

TEST(FireTrigger, TapFiresOneNormalShot) {
  FireTrigger trigger;
  std::vector<Shot> shots{frame(trigger, true, 0.1)};
  for (int i = 0; i < 5; ++i)
    shots.push_back(frame(trigger, false, 0.1));
  EXPECT_EQ(shots, (std::vector<Shot>{Shot::Normal, Shot::None, Shot::None, Shot::None, Shot::None, Shot::None}));
  EXPECT_EQ(trigger.chargeTime, 0.0);
}

TEST(FireTrigger, ReleaseAfterThreeSecondsOfHoldingFiresASuperShotToo) {
  FireTrigger trigger;
  EXPECT_EQ(frame(trigger, true, 0.125), Shot::Normal); // the press, no charge
  for (int i = 0; i < 24; ++i)
    ASSERT_EQ(frame(trigger, true, 0.125), Shot::None);
  EXPECT_EQ(trigger.chargeTime, 3.0);
  EXPECT_EQ(frame(trigger, false, 0.125), Shot::Super);
  EXPECT_EQ(trigger.chargeTime, 0.0);
}

TEST(FireTrigger, HoldOfExactlyThreeSecondsFromThePressFallsShort) {
  FireTrigger trigger;
  frame(trigger, true, 0.125); // the press
  for (int i = 0; i < 23; ++i)
    frame(trigger, true, 0.125);
  // released 3.0 s after the press
  EXPECT_EQ(frame(trigger, false, 0.125), Shot::None);
  EXPECT_EQ(trigger.chargeTime, 0.0);
}

// A long frame is played in short steps; its press still fires once and
// adds nothing to the charge, however many steps the frame takes.
TEST(FireTrigger, APressInAHalfSecondFrameAddsNothingToTheCharge) {
  FireTrigger trigger;
  const auto halfSecond = [&trigger] {
    std::vector<Shot> shots;
    trigger.readKey(true);
    for (int step = 0; step < 10; ++step) {
      if (step > 0)
        trigger.continueFrame();
      if (const Shot shot = trigger.advance(0.05); shot != Shot::None)
        shots.push_back(shot);
    }
    return shots;
  };
  EXPECT_EQ(halfSecond(), std::vector<Shot>{Shot::Normal});
  EXPECT_EQ(trigger.chargeTime, 0.0);
  EXPECT_EQ(halfSecond(), std::vector<Shot>{}); // held: the whole frame counts
  EXPECT_DOUBLE_EQ(trigger.chargeTime, 0.5);
}

} // namespace
