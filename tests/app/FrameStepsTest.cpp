// How a frame's time is played, without GL: short frames are one step of
// exactly their own time (recorded games replay by it), long ones equal
// steps of at most 1/20 s, and a stall counts as two and a half seconds.
#include "app/FrameSteps.h"

#include <gtest/gtest.h>

namespace {

TEST(FrameSteps, ShortFramesAreOneStepOfTheirOwnTimeAndLongOnesEqualShortSteps) {
  for (const double dt : {0.0, 1.0 / 60.0, 1.0 / 20.0}) {
    const FrameSteps steps(dt);
    EXPECT_EQ(steps.count, 1) << dt;
    EXPECT_EQ(steps.length, dt);
    EXPECT_EQ(steps.frameTime, dt);
  }
  const FrameSteps justOver(0.0500001);
  EXPECT_EQ(justOver.count, 2);
  EXPECT_EQ(justOver.length, 0.0500001 / 2);

  const FrameSteps half(0.5);
  EXPECT_EQ(half.count, 10);
  EXPECT_EQ(half.length, 0.05);

  const FrameSteps hour(3600.0); // a suspended machine
  EXPECT_EQ(hour.frameTime, 2.5);
  EXPECT_EQ(hour.count, 50);
  EXPECT_EQ(hour.length, 0.05);
}

} // namespace
