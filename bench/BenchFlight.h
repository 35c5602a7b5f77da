// What the frame and pass benchmarks share: the scripted flight, the four
// render passes in the frame's order with the pixels of their targets, and
// the processor clock of the whole process.
#pragma once

#include "app/Game.h"
#include "app/KeyFlags.h"
#include "render/RenderSizes.h"

#include <cmath>
#include <ctime>

namespace bench {

// The keys of frame i: turns both ways, climbs and descents, tapped and held
// fire, and boosts, repeating.
inline void scriptedKeys(int i) {
  KeyFlags.keyLeft = (i % 400) < 120;
  KeyFlags.keyRight = (i % 400) >= 200 && (i % 400) < 320;
  KeyFlags.keyDown = (i % 500) < 100; // climb
  KeyFlags.keyUp = (i % 500) >= 250 && (i % 500) < 330;
  KeyFlags.keyFire = (i % 300) >= 100 && (i % 300) < 280 ? true : (i % 8) < 2;
  KeyFlags.keyS = (i % 600) >= 400 && (i % 600) < 450;
}

// The keys at t seconds into a fight, as bench/blackbox_keys.sh plays it:
// turn right and dive towards the enemies, then rounds of 16 s of fire every
// half second (turning left at first, climbing in the middle 5 s, turning
// right at the end), a super shot (fire held 3.2 s), a turn and a dive.
inline void fightKeys(double t) {
  KeyFlags.keyLeft = KeyFlags.keyRight = KeyFlags.keyUp = KeyFlags.keyDown = KeyFlags.keyFire = false;
  KeyFlags.keyS = false;
  if (t < 3.5) {
    KeyFlags.keyRight = t < 1.5;
    KeyFlags.keyUp = t >= 1.5;
    return;
  }
  const double kRound = 21.7;
  const double r = std::fmod(t - 3.5, kRound);
  if (r < 16.0) {
    KeyFlags.keyFire = std::fmod(r, 0.5) < 0.1;
    KeyFlags.keyLeft = r < 1.5;
    KeyFlags.keyDown = r >= 5.5 && r < 10.5; // climb
    KeyFlags.keyRight = r >= 14.5;
  } else if (r < 19.2) {
    KeyFlags.keyFire = true;
  } else {
    KeyFlags.keyRight = r < 20.2;
    KeyFlags.keyUp = r >= 20.2;
  }
}

inline void (Game::*const kPasses[4])() = {&Game::renderShadowPass, &Game::renderReflectionPass, &Game::renderMainPass,
                                           &Game::renderWaterSurface};
inline const double kPassTargetPixels[4] = {static_cast<double>(render::kShadowMapSize) * render::kShadowMapSize,
                                            static_cast<double>(render::kFrameWidth) * render::kFrameHeight,
                                            static_cast<double>(render::kFrameWidth) * render::kFrameHeight,
                                            static_cast<double>(render::kFrameWidth) * render::kFrameHeight};

// Processor time of every thread of this process, the driver's rasterizer
// threads included: what a frame costs, however busy the machine is.
inline double processorMs() {
  timespec now{};
  clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
  return static_cast<double>(now.tv_sec) * 1e3 + static_cast<double>(now.tv_nsec) * 1e-6;
}

} // namespace bench
