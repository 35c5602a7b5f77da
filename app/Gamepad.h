// Gamepads: GLFW's gamepads on the desktop, the browser's gamepad API in a
// page. Either way a pad's state becomes a PadState, which PadState's one
// mapping turns into the set of its controls held (PadControls); the bindings
// turn them into keys of the frame's snapshot together with the keyboard's,
// so recording, replay and the key edges serve pads unchanged. Any number of
// pads may be plugged in; they all count.
#pragma once

#include "app/Bindings.h"
#include "app/KeyFlags.h"
#include "app/PadState.h"

#include <bitset>
#include <string>

struct GLFWgamepadstate;

// GLFW's gamepad state through the one mapping (the desktop's pads).
PadControls padControls(const GLFWgamepadstate& state);

// The frame's keys from the keyboard and every pad together: a control is held
// when either holds it.
KeySnapshot mergeKeys(const KeySnapshot& keyboard, const KeySnapshot& pads);

// Every connected pad read now: a control is held when any pad holds it.
PadControls readGamepads();

// Reads extra SDL_GameControllerDB mappings from the file, if there is one, and
// prints one line when it cannot be used. Returns whether any were added. (A
// browser maps its pads itself: there it reads nothing.)
bool loadGamepadMappings(const std::string& path);

// Which of the pad slots hold a pad that was announced, so its unplugging is
// announced once.
constexpr int kPadSlots = 16; // GLFW_JOYSTICK_LAST + 1, checked in the source
using PadSlots = std::bitset<kPadSlots>;

// Prints one line for each pad plugged in or out since the previous call (the
// first call: each pad plugged in before the start).
void announcePads(PadSlots& announced);
