#include "app/PadState.h"

#include <algorithm>
#include <cstddef>

namespace {

// Sticks at rest read a little off centre, and worn ones more: this much of
// the travel counts as rest.
constexpr float kStickDeadZone = 0.3f;
// Triggers rest at -1 and read +1 fully pressed: beyond halfway they fire.
constexpr float kTriggerThreshold = 0.0f;

// The standard layout's buttons, by their numbers there: face buttons,
// bumpers, triggers, back, start, stick presses, the pad's cross, guide.
enum StandardButton {
  kBottom,
  kRight,
  kLeft,
  kTop,
  kLeftBumper,
  kRightBumper,
  kLeftTrigger,
  kRightTrigger,
  kBack,
  kStart,
  kLeftStick,
  kRightStick,
  kCrossUp,
  kCrossDown,
  kCrossLeft,
  kCrossRight,
  kGuide,
};

// Where each of GLFW's buttons (PadControl's numbers) is in the standard
// layout.
constexpr StandardButton kStandardButtonOf[kPadButtonCount] = {
    kBottom, kRight,     kLeft,       kTop,     kLeftBumper, kRightBumper, kBack,      kStart,
    kGuide,  kLeftStick, kRightStick, kCrossUp, kCrossRight, kCrossDown,   kCrossLeft,
};

} // namespace

PadControls padControls(const PadState& state) {
  PadControls held;
  const auto hold = [&held](PadControl control, bool down) {
    if (down)
      held.set(static_cast<std::size_t>(control));
  };
  for (int b = 0; b < kPadButtonCount; ++b)
    hold(static_cast<PadControl>(b), state.buttons[static_cast<std::size_t>(b)]);
  const auto stick = [&state, &hold](PadAxis xAxis, PadAxis yAxis, PadControl left) {
    const float x = state.axis(xAxis);
    const float y = state.axis(yAxis); // positive towards the player
    const int first = static_cast<int>(left);
    hold(static_cast<PadControl>(first), x < -kStickDeadZone);
    hold(static_cast<PadControl>(first + 1), x > kStickDeadZone);
    hold(static_cast<PadControl>(first + 2), y < -kStickDeadZone);
    hold(static_cast<PadControl>(first + 3), y > kStickDeadZone);
  };
  stick(PadAxis::LeftX, PadAxis::LeftY, PadControl::LeftStickLeft);
  stick(PadAxis::RightX, PadAxis::RightY, PadControl::RightStickLeft);
  hold(PadControl::LeftTrigger, state.axis(PadAxis::LeftTrigger) > kTriggerThreshold);
  hold(PadControl::RightTrigger, state.axis(PadAxis::RightTrigger) > kTriggerThreshold);
  return held;
}

PadState padStateOf(const StandardPad& pad) {
  PadState state;
  const int buttonCount = pad.buttonValues && pad.buttonsPressed ? pad.buttonCount : 0;
  const auto pressed = [&pad, buttonCount](int b) { return b < buttonCount && pad.buttonsPressed[b] != 0; };
  // An analogue button's value decides (a trigger fires beyond halfway, as
  // GLFW's would); a digital trigger reads pressed with value 0.
  const auto value = [&pad, buttonCount, &pressed](int b) {
    if (b >= buttonCount)
      return 0.0;
    double v = pad.buttonValues[b];
    v = v >= 0.0 ? std::min(v, 1.0) : 0.0; // NaN too
    return pressed(b) && v == 0.0 ? 1.0 : v;
  };
  for (int b = 0; b < kPadButtonCount; ++b)
    state.buttons[static_cast<std::size_t>(b)] = pressed(kStandardButtonOf[b]);
  const int axisCount = pad.axes ? std::min(pad.axisCount, 4) : 0;
  for (int a = 0; a < axisCount; ++a) {
    const double v = pad.axes[a];
    // NaN reads as rest
    state.axes[static_cast<std::size_t>(a)] = v == v ? static_cast<float>(std::clamp(v, -1.0, 1.0)) : 0.0f;
  }
  state.axis(PadAxis::LeftTrigger) = static_cast<float>(value(kLeftTrigger) * 2.0 - 1.0);
  state.axis(PadAxis::RightTrigger) = static_cast<float>(value(kRightTrigger) * 2.0 - 1.0);
  return state;
}
