#include "app/Gamepad.h"

#include "base/Console.h"

#include <cstddef>
#include <ostream>

#ifdef __EMSCRIPTEN__
#include <emscripten/html5.h>

#include <algorithm>
#include <cstring>
#else
#include <GLFW/glfw3.h>

#include <fstream>
#include <iterator>
#endif

namespace {

const char* const kPadPluggedIn = "Gamepad verbunden: ";
const char* const kPadUnnamed = "ohne Namen";
const char* const kPadPluggedOut = "Gamepad getrennt";

// The announcement of one slot's pad, plugged in (with its name, asked for
// only then) or out.
template <typename Name> void announce(PadSlots& announced, int slot, bool pad, Name nameOf) {
  const auto bit = static_cast<std::size_t>(slot);
  if (pad && !announced.test(bit)) {
    announced.set(bit);
    const char* name = nameOf();
    messageStream() << kPadPluggedIn << (name ? name : kPadUnnamed) << std::endl;
  } else if (!pad && announced.test(bit)) {
    announced.reset(bit);
    messageStream() << kPadPluggedOut << std::endl;
  }
}

} // namespace

KeySnapshot mergeKeys(const KeySnapshot& keyboard, const KeySnapshot& pads) { return keyboard | pads; }

#ifdef __EMSCRIPTEN__

namespace {

// The browser's pads: only those it maps to the standard layout count, as
// GLFW counts only pads it has a mapping for.
bool standardPad(const EmscriptenGamepadEvent& pad) {
  return pad.connected && std::strcmp(pad.mapping, "standard") == 0;
}

// Calls use(slot, pad) for every slot the browser reports; false when it has
// no gamepad API.
template <typename Use> bool forEachBrowserPad(Use use) {
  if (emscripten_sample_gamepad_data() != EMSCRIPTEN_RESULT_SUCCESS)
    return false;
  const int count = std::min(emscripten_get_num_gamepads(), kPadSlots);
  for (int slot = 0; slot < count; ++slot) {
    EmscriptenGamepadEvent pad{};
    if (emscripten_get_gamepad_status(slot, &pad) != EMSCRIPTEN_RESULT_SUCCESS)
      pad.connected = false;
    use(slot, pad);
  }
  return true;
}

} // namespace

PadControls readGamepads() {
  PadControls all;
  forEachBrowserPad([&all](int, const EmscriptenGamepadEvent& pad) {
    if (!standardPad(pad))
      return;
    StandardPad standard;
    standard.axes = pad.axis;
    standard.axisCount = pad.numAxes;
    standard.buttonValues = pad.analogButton;
    standard.buttonsPressed = pad.digitalButton;
    standard.buttonCount = pad.numButtons;
    all |= padControls(padStateOf(standard));
  });
  return all;
}

bool loadGamepadMappings(const std::string&) { return false; }

void announcePads(PadSlots& announced) {
  PadSlots seen;
  forEachBrowserPad([&announced, &seen](int slot, const EmscriptenGamepadEvent& pad) {
    seen.set(static_cast<std::size_t>(slot));
    announce(announced, slot, standardPad(pad), [&pad] { return pad.id[0] ? pad.id : nullptr; });
  });
  // slots the browser no longer lists
  for (int slot = 0; slot < kPadSlots; ++slot)
    if (!seen.test(static_cast<std::size_t>(slot)))
      announce(announced, slot, false, [] { return nullptr; });
}

#else

static_assert(GLFW_JOYSTICK_LAST + 1 == kPadSlots, "one announcement bit for every joystick slot");
// PadState holds GLFW's gamepad state by GLFW's numbers.
static_assert(static_cast<int>(PadControl::A) == GLFW_GAMEPAD_BUTTON_A &&
                  static_cast<int>(PadControl::DpadLeft) == GLFW_GAMEPAD_BUTTON_DPAD_LEFT &&
                  static_cast<int>(PadControl::Back) == GLFW_GAMEPAD_BUTTON_BACK &&
                  kPadButtonCount == GLFW_GAMEPAD_BUTTON_LAST + 1,
              "pad buttons numbered as GLFW numbers them");
static_assert(static_cast<int>(PadAxis::LeftX) == GLFW_GAMEPAD_AXIS_LEFT_X &&
                  static_cast<int>(PadAxis::RightY) == GLFW_GAMEPAD_AXIS_RIGHT_Y &&
                  static_cast<int>(PadAxis::LeftTrigger) == GLFW_GAMEPAD_AXIS_LEFT_TRIGGER &&
                  kPadAxisCount == GLFW_GAMEPAD_AXIS_LAST + 1,
              "pad axes numbered as GLFW numbers them");

PadControls padControls(const GLFWgamepadstate& state) {
  PadState pad;
  for (int b = 0; b < kPadButtonCount; ++b)
    pad.buttons[static_cast<std::size_t>(b)] = state.buttons[b] == GLFW_PRESS;
  for (int a = 0; a < kPadAxisCount; ++a)
    pad.axes[static_cast<std::size_t>(a)] = state.axes[a];
  return padControls(pad);
}

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
    announce(announced, jid, glfwJoystickIsGamepad(jid) == GLFW_TRUE, [jid] { return glfwGetGamepadName(jid); });
  }
}

#endif
