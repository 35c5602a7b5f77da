#include "app/FrameSteps.h"

#include <algorithm>
#include <cmath>

namespace {
// seconds: the longest movement step, short enough that nothing passes
// through the landscape between two collision tests, and the longest frame
// that counts as play
constexpr double kLongestStep = 1.0 / 20.0;
constexpr double kLongestFrame = 2.5;
} // namespace

FrameSteps::FrameSteps(double dt)
    : frameTime(std::min(dt, kLongestFrame)),
      count(frameTime > kLongestStep ? static_cast<int>(std::ceil(frameTime / kLongestStep)) : 1),
      length(frameTime / count) {}
