// Gamepads through GLFW's gamepad mappings. A pad drives the same controls as
// the keyboard: its state becomes keys of the frame's snapshot and is merged
// with the keyboard's, so recording, replay and the key edges serve it
// unchanged. Any number of pads may be plugged in; they all count.
#pragma once

#include "app/KeyFlags.h"

#include <bitset>
#include <string>

struct GLFWgamepadstate;

// What one pad's state asks for in a frame.
struct PadInput {
  KeySnapshot keys;
  bool pause = false; // Start
};

// The mapping: left stick (beyond a dead zone) or d-pad turn and climb or
// descend as the arrow keys do (the stick pushed away from the player is Up,
// which descends); A or the right trigger (pressed beyond halfway) fires;
// right shoulder boosts, left shoulder brakes; Y starts the tutorial clip,
// Back toggles the statistics.
PadInput padInput(const GLFWgamepadstate& state);

// The frame's keys from the keyboard and every pad together: a control is held
// when either holds it.
KeySnapshot mergeKeys(const KeySnapshot& keyboard, const KeySnapshot& pads);

// Every connected pad read now, merged.
PadInput readGamepads();

// Reads extra SDL_GameControllerDB mappings from the file, if there is one, and
// prints one line when it cannot be used. Returns whether any were added.
bool loadGamepadMappings(const std::string& path);

// Which of the joystick slots hold a pad that was announced, so its
// unplugging is announced once.
using PadSlots = std::bitset<16>; // GLFW_JOYSTICK_LAST + 1, checked in the source

// Prints one line for each pad plugged in or out since the previous call (the
// first call: each pad plugged in before the start).
void announcePads(PadSlots& announced);
