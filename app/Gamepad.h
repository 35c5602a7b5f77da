// Gamepads through GLFW's gamepad mappings. A pad's state becomes the set of
// its controls held (PadControls); the bindings turn them into keys of the
// frame's snapshot together with the keyboard's, so recording, replay and the
// key edges serve pads unchanged. Any number of pads may be plugged in; they
// all count.
#pragma once

#include "app/Bindings.h"
#include "app/KeyFlags.h"

#include <bitset>
#include <string>

struct GLFWgamepadstate;

// The controls one pad's state holds: its buttons as they are; a stick's
// direction beyond a dead zone (pushed away from the player is up); a
// trigger pressed beyond halfway.
PadControls padControls(const GLFWgamepadstate& state);

// The frame's keys from the keyboard and every pad together: a control is held
// when either holds it.
KeySnapshot mergeKeys(const KeySnapshot& keyboard, const KeySnapshot& pads);

// Every connected pad read now: a control is held when any pad holds it.
PadControls readGamepads();

// Reads extra SDL_GameControllerDB mappings from the file, if there is one, and
// prints one line when it cannot be used. Returns whether any were added.
bool loadGamepadMappings(const std::string& path);

// Which of the joystick slots hold a pad that was announced, so its
// unplugging is announced once.
using PadSlots = std::bitset<16>; // GLFW_JOYSTICK_LAST + 1, checked in the source

// Prints one line for each pad plugged in or out since the previous call (the
// first call: each pad plugged in before the start).
void announcePads(PadSlots& announced);
