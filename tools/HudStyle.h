// Colours shared by the monitor's screen texture and the status images, so
// every element written into the screen sits seamlessly on its background.
#pragma once

#include "base/MonitorScreen.h"

namespace hud {

struct Colour {
  double r, g, b;
};

constexpr Colour kPanel{0.063, 0.086, 0.141}; // screen background
constexpr Colour kWell{0.024, 0.035, 0.063};  // dark inset behind numbers
constexpr Colour kFrame{0.24, 0.36, 0.56};    // thin frames and rules
constexpr Colour kText{0.86, 0.92, 1.0};      // labels
constexpr Colour kAccent{1.0, 0.78, 0.26};    // gold: score digits, title
constexpr Colour kGood{0.36, 0.86, 0.42};
constexpr Colour kWarn{1.0, 0.66, 0.20};
constexpr Colour kBad{0.95, 0.25, 0.22};
constexpr Colour kCool{0.35, 0.75, 1.0};

// The screen texture and the part of it that the monitor's screen shows.
constexpr int kScreenTextureSize = monitorscreen::kTextureSize;
constexpr int kScreenLeft = monitorscreen::kShownLeft, kScreenRight = monitorscreen::kShownRight;
constexpr int kScreenBottom = monitorscreen::kShownBottom, kScreenTop = monitorscreen::kShownTop;

} // namespace hud
