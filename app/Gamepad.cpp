#include "app/Gamepad.h"

#include "base/Console.h"

#include <GLFW/glfw3.h>

#include <cstddef>
#include <fstream>
#include <iterator>
#include <ostream>

static_assert(GLFW_JOYSTICK_LAST + 1 == 16, "one announcement bit for every joystick slot");
// The buttons are PadControl's first members, by GLFW's numbers; each stick's
// four directions follow one another.
static_assert(static_cast<int>(PadControl::A) == GLFW_GAMEPAD_BUTTON_A &&
                  static_cast<int>(PadControl::DpadLeft) == GLFW_GAMEPAD_BUTTON_DPAD_LEFT &&
                  static_cast<int>(PadControl::Back) == GLFW_GAMEPAD_BUTTON_BACK &&
                  static_cast<int>(PadControl::LeftStickLeft) == GLFW_GAMEPAD_BUTTON_LAST + 1,
              "pad buttons numbered as GLFW numbers them");
static_assert(static_cast<int>(PadControl::LeftStickDown) == static_cast<int>(PadControl::LeftStickLeft) + 3 &&
                  static_cast<int>(PadControl::RightStickDown) == static_cast<int>(PadControl::RightStickLeft) + 3,
              "a stick's directions in the order left, right, up, down");

namespace {

// Sticks at rest read a little off centre, and worn ones more: this much of
// the travel counts as rest.
constexpr float kStickDeadZone = 0.3f;
// Triggers rest at -1 and read +1 fully pressed: beyond halfway they fire.
constexpr float kTriggerThreshold = 0.0f;

} // namespace

PadControls padControls(const GLFWgamepadstate& state) {
  PadControls held;
  const auto hold = [&held](PadControl control, bool down) {
    if (down)
      held.set(static_cast<std::size_t>(control));
  };
  for (int b = GLFW_GAMEPAD_BUTTON_A; b <= GLFW_GAMEPAD_BUTTON_LAST; ++b)
    hold(static_cast<PadControl>(b), state.buttons[b] == GLFW_PRESS);
  const auto stick = [&state, &hold](int xAxis, int yAxis, PadControl left) {
    const float x = state.axes[xAxis];
    const float y = state.axes[yAxis]; // positive towards the player
    const int first = static_cast<int>(left);
    hold(static_cast<PadControl>(first), x < -kStickDeadZone);
    hold(static_cast<PadControl>(first + 1), x > kStickDeadZone);
    hold(static_cast<PadControl>(first + 2), y < -kStickDeadZone);
    hold(static_cast<PadControl>(first + 3), y > kStickDeadZone);
  };
  stick(GLFW_GAMEPAD_AXIS_LEFT_X, GLFW_GAMEPAD_AXIS_LEFT_Y, PadControl::LeftStickLeft);
  stick(GLFW_GAMEPAD_AXIS_RIGHT_X, GLFW_GAMEPAD_AXIS_RIGHT_Y, PadControl::RightStickLeft);
  hold(PadControl::LeftTrigger, state.axes[GLFW_GAMEPAD_AXIS_LEFT_TRIGGER] > kTriggerThreshold);
  hold(PadControl::RightTrigger, state.axes[GLFW_GAMEPAD_AXIS_RIGHT_TRIGGER] > kTriggerThreshold);
  return held;
}

KeySnapshot mergeKeys(const KeySnapshot& keyboard, const KeySnapshot& pads) { return keyboard | pads; }

PadControls readGamepads() {
  PadControls all;
  for (int jid = GLFW_JOYSTICK_1; jid <= GLFW_JOYSTICK_LAST; ++jid) {
    GLFWgamepadstate state;
    if (!glfwJoystickIsGamepad(jid) || !glfwGetGamepadState(jid, &state))
      continue;
    all |= padControls(state);
  }
  return all;
}

bool loadGamepadMappings(const std::string& path) {
  std::ifstream file(path, std::ios::binary);
  if (!file)
    return false; // none beside the game: the built-in mappings serve
  const std::string mappings((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
  if (glfwUpdateGamepadMappings(mappings.c_str()) == GLFW_TRUE)
    return true;
  messageStream() << "Die Gamepad-Zuordnungen in " << path << " sind unbrauchbar." << std::endl;
  return false;
}

void announcePads(PadSlots& announced) {
  // NOTE: GLFW's joystick callback carries no pointer of ours; the pads are
  // looked at once a frame instead, as their state is read anyway.
  for (int jid = GLFW_JOYSTICK_1; jid <= GLFW_JOYSTICK_LAST; ++jid) {
    const auto slot = static_cast<std::size_t>(jid);
    const bool pad = glfwJoystickIsGamepad(jid) == GLFW_TRUE;
    if (pad && !announced.test(slot)) {
      announced.set(slot);
      const char* name = glfwGetGamepadName(jid);
      messageStream() << "Gamepad verbunden: " << (name ? name : "ohne Namen") << std::endl;
    } else if (!pad && announced.test(slot)) {
      announced.reset(slot);
      messageStream() << "Gamepad getrennt" << std::endl;
    }
  }
}
