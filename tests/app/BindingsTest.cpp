// The controls as bindings: what the default bindings make of the keyboard
// and the pads.
#include "app/Gamepad.h"
#include "tests/support/KeySnapshots.h"

#include <GLFW/glfw3.h>
#include <gtest/gtest.h>

#include <set>
#include <vector>

namespace {

using felidora::test::keysOf;

// A pad at rest: sticks centred, triggers released.
GLFWgamepadstate padAtRest() {
  GLFWgamepadstate pad{};
  pad.axes[GLFW_GAMEPAD_AXIS_LEFT_TRIGGER] = pad.axes[GLFW_GAMEPAD_AXIS_RIGHT_TRIGGER] = -1.0f;
  return pad;
}

// The keys the keyboard gave before there were bindings.
KeySnapshot frameKeys(const std::set<int>& down, const GLFWgamepadstate& pad, bool& pause) {
  static const int kKeys[] = {GLFW_KEY_LEFT, GLFW_KEY_RIGHT, GLFW_KEY_UP, GLFW_KEY_DOWN, GLFW_KEY_SPACE, GLFW_KEY_F,
                              GLFW_KEY_S,    GLFW_KEY_A,     GLFW_KEY_F1, GLFW_KEY_F2,   GLFW_KEY_F3,    GLFW_KEY_F4,
                              GLFW_KEY_F5,   GLFW_KEY_F8,    GLFW_KEY_F9, GLFW_KEY_M};
  KeySnapshot keyboard;
  for (int k = 0; k < kGameKeyCount; ++k)
    keyboard[static_cast<std::size_t>(k)] = down.count(kKeys[k]) > 0;
  const PadInput pads = padInput(pad);
  pause = down.count(GLFW_KEY_P) || down.count(GLFW_KEY_PAUSE) || pads.pause;
  return mergeKeys(keyboard, pads.keys);
}

// Keys and pad controls held together give what the game has always read
// from them; the program's own keys (Escape, F10, F11) and the free pad
// controls give nothing.
TEST(BindingsTest, DefaultsReadTheKeyboardAndPadsAsTheyAlwaysDid) {
  const auto stick = [](int axis, float value) {
    GLFWgamepadstate pad = padAtRest();
    pad.axes[axis] = value;
    return pad;
  };
  const auto buttons = [](std::initializer_list<int> held) {
    GLFWgamepadstate pad = padAtRest();
    for (int b : held)
      pad.buttons[b] = GLFW_PRESS;
    return pad;
  };
  const GLFWgamepadstate rest = padAtRest();
  const struct {
    std::set<int> keys;
    GLFWgamepadstate pad;
    KeySnapshot expected;
    bool pause;
  } cases[] = {
      {{}, rest, keysOf({}), false},
      {{GLFW_KEY_LEFT, GLFW_KEY_SPACE}, rest, keysOf({GameKey::Left, GameKey::Space}), false},
      {{GLFW_KEY_F}, rest, keysOf({GameKey::F}), false},
      {{GLFW_KEY_SPACE, GLFW_KEY_F, GLFW_KEY_RIGHT, GLFW_KEY_DOWN},
       rest,
       keysOf({GameKey::Space, GameKey::F, GameKey::Right, GameKey::Down}),
       false},
      {{GLFW_KEY_UP, GLFW_KEY_S, GLFW_KEY_A, GLFW_KEY_F1, GLFW_KEY_F2, GLFW_KEY_F3, GLFW_KEY_F4, GLFW_KEY_F5,
        GLFW_KEY_F8, GLFW_KEY_F9, GLFW_KEY_M},
       rest,
       keysOf({GameKey::Up, GameKey::S, GameKey::A, GameKey::F1, GameKey::F2, GameKey::F3, GameKey::F4, GameKey::F5,
               GameKey::F8, GameKey::F9, GameKey::M}),
       false},
      {{GLFW_KEY_P}, rest, keysOf({}), true},
      {{GLFW_KEY_PAUSE, GLFW_KEY_A}, rest, keysOf({GameKey::A}), true},
      {{GLFW_KEY_ESCAPE, GLFW_KEY_F10, GLFW_KEY_F11, GLFW_KEY_F6, GLFW_KEY_Q, GLFW_KEY_ENTER}, rest, keysOf({}), false},
      {{}, stick(GLFW_GAMEPAD_AXIS_LEFT_X, -0.5f), keysOf({GameKey::Left}), false},
      {{}, stick(GLFW_GAMEPAD_AXIS_LEFT_X, 0.25f), keysOf({}), false}, // within the dead zone
      {{}, stick(GLFW_GAMEPAD_AXIS_LEFT_Y, -0.9f), keysOf({GameKey::Up}), false},
      {{}, stick(GLFW_GAMEPAD_AXIS_RIGHT_TRIGGER, 0.2f), keysOf({GameKey::Space}), false},
      {{}, stick(GLFW_GAMEPAD_AXIS_LEFT_TRIGGER, 1.0f), keysOf({}), false},
      {{}, stick(GLFW_GAMEPAD_AXIS_RIGHT_X, -1.0f), keysOf({}), false},
      {{},
       buttons({GLFW_GAMEPAD_BUTTON_A, GLFW_GAMEPAD_BUTTON_DPAD_DOWN}),
       keysOf({GameKey::Space, GameKey::Down}),
       false},
      {{},
       buttons({GLFW_GAMEPAD_BUTTON_RIGHT_BUMPER, GLFW_GAMEPAD_BUTTON_LEFT_BUMPER, GLFW_GAMEPAD_BUTTON_Y,
                GLFW_GAMEPAD_BUTTON_BACK}),
       keysOf({GameKey::S, GameKey::A, GameKey::F1, GameKey::F2}),
       false},
      {{}, buttons({GLFW_GAMEPAD_BUTTON_START}), keysOf({}), true},
      {{},
       buttons({GLFW_GAMEPAD_BUTTON_X, GLFW_GAMEPAD_BUTTON_B, GLFW_GAMEPAD_BUTTON_GUIDE, GLFW_GAMEPAD_BUTTON_LEFT_THUMB,
                GLFW_GAMEPAD_BUTTON_RIGHT_THUMB}),
       keysOf({}),
       false},
      {{GLFW_KEY_LEFT, GLFW_KEY_F},
       stick(GLFW_GAMEPAD_AXIS_LEFT_X, 0.8f),
       keysOf({GameKey::Left, GameKey::Right, GameKey::F}),
       false},
  };
  int row = 0;
  for (const auto& c : cases) {
    bool pause = false;
    EXPECT_EQ(frameKeys(c.keys, c.pad, pause), c.expected) << "case " << row;
    EXPECT_EQ(pause, c.pause) << "case " << row;
    ++row;
  }
}

} // namespace
