#include "app/Gamepad.h"

#include "base/Console.h"

#include <GLFW/glfw3.h>

#include <fstream>
#include <iterator>
#include <ostream>

static_assert(GLFW_JOYSTICK_LAST + 1 == 16, "one announcement bit for every joystick slot");

namespace {

// Sticks at rest read a little off centre, and worn ones more: this much of
// the travel counts as rest.
constexpr float kStickDeadZone = 0.3f;
// Triggers rest at -1 and read +1 fully pressed: beyond halfway they fire.
constexpr float kTriggerThreshold = 0.0f;

} // namespace

PadInput padInput(const GLFWgamepadstate& state) {
  PadInput input;
  const auto press = [&input](GameKey key) { input.keys.set(static_cast<std::size_t>(key)); };
  const auto button = [&state](int b) { return state.buttons[b] == GLFW_PRESS; };
  const float x = state.axes[GLFW_GAMEPAD_AXIS_LEFT_X];
  const float y = state.axes[GLFW_GAMEPAD_AXIS_LEFT_Y]; // positive towards the player

  if (x < -kStickDeadZone || button(GLFW_GAMEPAD_BUTTON_DPAD_LEFT))
    press(GameKey::Left);
  if (x > kStickDeadZone || button(GLFW_GAMEPAD_BUTTON_DPAD_RIGHT))
    press(GameKey::Right);
  if (y < -kStickDeadZone || button(GLFW_GAMEPAD_BUTTON_DPAD_UP))
    press(GameKey::Up);
  if (y > kStickDeadZone || button(GLFW_GAMEPAD_BUTTON_DPAD_DOWN))
    press(GameKey::Down);
  if (button(GLFW_GAMEPAD_BUTTON_A) || state.axes[GLFW_GAMEPAD_AXIS_RIGHT_TRIGGER] > kTriggerThreshold)
    press(GameKey::Space);
  if (button(GLFW_GAMEPAD_BUTTON_RIGHT_BUMPER))
    press(GameKey::S);
  if (button(GLFW_GAMEPAD_BUTTON_LEFT_BUMPER))
    press(GameKey::A);
  if (button(GLFW_GAMEPAD_BUTTON_Y))
    press(GameKey::F1);
  if (button(GLFW_GAMEPAD_BUTTON_BACK))
    press(GameKey::F2);
  input.pause = button(GLFW_GAMEPAD_BUTTON_START);
  return input;
}

KeySnapshot mergeKeys(const KeySnapshot& keyboard, const KeySnapshot& pads) { return keyboard | pads; }

PadInput readGamepads() {
  PadInput all;
  for (int jid = GLFW_JOYSTICK_1; jid <= GLFW_JOYSTICK_LAST; ++jid) {
    GLFWgamepadstate state;
    if (!glfwJoystickIsGamepad(jid) || !glfwGetGamepadState(jid, &state))
      continue;
    const PadInput pad = padInput(state);
    all.keys = mergeKeys(all.keys, pad.keys);
    all.pause = all.pause || pad.pause;
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
