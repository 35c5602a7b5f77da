// A browser's pad in the standard layout read as GLFW's pad: every button and
// trigger lands on the control GLFW's pad of the same make would give, the
// sticks keep their direction, and a pad reporting fewer or broken values
// reads as at rest where it says nothing.
#include "app/PadState.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

namespace {

struct BrowserPad {
  std::vector<double> axes = std::vector<double>(4, 0.0);
  std::vector<double> values = std::vector<double>(17, 0.0);
  std::vector<int> pressed = std::vector<int>(17, 0);

  PadControls controls() const {
    StandardPad pad;
    pad.axes = axes.data();
    pad.axisCount = static_cast<int>(axes.size());
    pad.buttonValues = values.data();
    pad.buttonsPressed = pressed.data();
    pad.buttonCount = static_cast<int>(values.size());
    return padControls(padStateOf(pad));
  }
};

PadControls only(PadControl control) {
  PadControls held;
  held.set(static_cast<std::size_t>(control));
  return held;
}

TEST(PadStateTest, EveryStandardButtonIsGlfwsButtonOfTheSamePlace) {
  EXPECT_TRUE(BrowserPad().controls().none());
  const struct {
    int button;
    PadControl control;
  } cases[] = {
      {0, PadControl::A},           {1, PadControl::B},
      {2, PadControl::X},           {3, PadControl::Y},
      {4, PadControl::LeftBumper},  {5, PadControl::RightBumper},
      {6, PadControl::LeftTrigger}, {7, PadControl::RightTrigger},
      {8, PadControl::Back},        {9, PadControl::Start},
      {10, PadControl::LeftThumb},  {11, PadControl::RightThumb},
      {12, PadControl::DpadUp},     {13, PadControl::DpadDown},
      {14, PadControl::DpadLeft},   {15, PadControl::DpadRight},
      {16, PadControl::Guide},
  };
  for (const auto& c : cases) {
    BrowserPad pad;
    pad.values[c.button] = 1.0;
    pad.pressed[c.button] = 1;
    EXPECT_EQ(pad.controls(), only(c.control)) << "standard button " << c.button;
  }
}

TEST(PadStateTest, SticksKeepTheirDirectionAndTriggersFireBeyondHalfway) {
  const struct {
    int axis;
    double value;
    PadControl control;
  } sticks[] = {
      {0, -0.8, PadControl::LeftStickLeft},  {1, -0.8, PadControl::LeftStickUp},  {1, 0.8, PadControl::LeftStickDown},
      {2, 0.9, PadControl::RightStickRight}, {3, -0.9, PadControl::RightStickUp},
  };
  for (const auto& s : sticks) {
    BrowserPad pad;
    pad.axes[s.axis] = s.value;
    EXPECT_EQ(pad.controls(), only(s.control)) << "axis " << s.axis << " at " << s.value;
    pad.axes[s.axis] = s.value / 4; // within the dead zone
    EXPECT_TRUE(pad.controls().none()) << "axis " << s.axis;
  }

  BrowserPad analogue;
  analogue.values[7] = 0.4; // pressed as far as the browser cares, not as far as GLFW's pad
  analogue.pressed[7] = 1;
  EXPECT_TRUE(analogue.controls().none());
  analogue.values[7] = 0.6;
  EXPECT_EQ(analogue.controls(), only(PadControl::RightTrigger));

  BrowserPad digital; // a trigger that only says pressed
  digital.pressed[6] = 1;
  EXPECT_EQ(digital.controls(), only(PadControl::LeftTrigger));
}

TEST(PadStateTest, MissingAndBrokenValuesReadAsRest) {
  BrowserPad few;
  few.axes = {-0.9};            // one axis
  few.values = {1.0, 0.0, 0.0}; // three buttons: no triggers, no cross
  few.pressed = {1, 0, 0};
  PadControls expected = only(PadControl::A);
  expected.set(static_cast<std::size_t>(PadControl::LeftStickLeft));
  EXPECT_EQ(few.controls(), expected);

  BrowserPad broken;
  broken.axes[0] = std::nan("");
  broken.values[7] = std::nan("");
  EXPECT_TRUE(broken.controls().none());

  EXPECT_TRUE(padControls(padStateOf(StandardPad{})).none()); // no arrays at all
}

} // namespace
