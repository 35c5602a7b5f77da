// What the player asks of one frame, read once at its start: the game's keys,
// the requests that steer the program rather than the game, and the presses
// the options screen reads while it is open.
#pragma once

#include "app/Bindings.h"
#include "app/KeyFlags.h"

#include <vector>

struct FrameInput {
  KeySnapshot keys;             // keyboard and pads through the bindings, merged
  bool quit = false;            // the window was closed
  bool escape = false;          // Escape pressed since the previous frame
  bool options = false;         // F10 or a pad's X pressed since the previous frame
  bool pause = false;           // the pause's key or pad button: down now or pressed since the previous frame
  bool windowMode = false;      // the full screen's key or Alt+Enter pressed since the previous frame
  bool windowLeft = false;      // the window lost its focus or was iconified since the previous frame
  std::vector<int> keysPressed; // every key pressed since the previous frame, in order (GLFW key codes)
  PadControls padPressed;       // the pads' controls that went down since the previous frame
};
