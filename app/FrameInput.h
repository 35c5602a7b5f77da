// What the player asks of one frame, read once at its start: the game's keys
// and the requests that steer the program rather than the game.
#pragma once

#include "app/KeyFlags.h"

struct FrameInput {
  KeySnapshot keys;        // keyboard and pads, merged
  bool quit = false;       // Escape, or the window was closed
  bool pause = false;      // P, Pause or a pad's Start: down now or pressed since the previous frame
  bool windowMode = false; // F11 or Alt+Enter pressed since the previous frame
  bool windowLeft = false; // the window lost its focus or was iconified since the previous frame
};
