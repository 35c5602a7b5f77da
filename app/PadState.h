// One pad's state in GLFW's gamepad layout, and the one mapping from it to the
// controls held. The desktop reads GLFW's gamepad state into it; the browser
// turns the pads of its gamepad API (the standard layout) into it; both then
// map it here, so a pad means the same in either. Plain C++: no GLFW.
#pragma once

#include "app/Bindings.h"

#include <array>

// GLFW's gamepad axes by their numbers (the sticks' y positive towards the
// player, triggers from -1 at rest to +1 pressed).
enum class PadAxis { LeftX, LeftY, RightX, RightY, LeftTrigger, RightTrigger };

constexpr int kPadButtonCount = static_cast<int>(PadControl::DpadLeft) + 1;
constexpr int kPadAxisCount = static_cast<int>(PadAxis::RightTrigger) + 1;

// GLFWgamepadstate's contents: the buttons numbered as PadControl numbers
// them, each pressed or not.
struct PadState {
  std::array<bool, kPadButtonCount> buttons{};
  std::array<float, kPadAxisCount> axes{0.0f, 0.0f, 0.0f, 0.0f, -1.0f, -1.0f}; // at rest

  bool& button(PadControl control) { return buttons[static_cast<std::size_t>(control)]; }
  float& axis(PadAxis which) { return axes[static_cast<std::size_t>(which)]; }
  float axis(PadAxis which) const { return axes[static_cast<std::size_t>(which)]; }
};

// The controls the state holds: its buttons as they are; a stick's direction
// beyond a dead zone (pushed away from the player is up); a trigger pressed
// beyond halfway.
PadControls padControls(const PadState& state);

// A pad of the browser's gamepad API in its "standard" layout: its axes (the
// two sticks, y positive towards the player) and its buttons, each with a
// value from 0 to 1 and whether it counts as pressed. Counts below the
// standard's (4 axes, 17 buttons) leave the rest at rest; any beyond are
// ignored.
struct StandardPad {
  const double* axes = nullptr;
  int axisCount = 0;
  const double* buttonValues = nullptr;
  const int* buttonsPressed = nullptr;
  int buttonCount = 0;
};

// The standard layout's pad in GLFW's: its buttons moved to GLFW's numbers,
// its analogue triggers (buttons there, from 0 to 1) turned into GLFW's
// trigger axes (-1 to 1).
PadState padStateOf(const StandardPad& pad);
