// The keyboard table. pollKeys fills it once per frame from GLFW; the player's
// input step and the function-key step read it later in the same frame.
// F3 (wireframe) and F9 (blending) act on the GL state inside the poll.
#pragma once

#include <functional>

struct KeyFlagTable {
  // held: true exactly in the frames in which the key is down
  bool keyLeft = false;
  bool keyRight = false;
  bool keyUp = false;
  bool keyDown = false;
  bool keyFire = false; // Space or F
  bool keyS = false;
  bool keyA = false;
  bool keyF1 = false;
  bool keyF2 = false;
  bool keyF4 = false;
  bool keyF5 = false;
  bool keyF8 = false;
  // debugging toggles handled by the poll itself
  bool f3Latch = false;
  bool wireframe = false;
  bool f9Latch = false;
  bool blendDisabled = false;
};

extern KeyFlagTable KeyFlags;

// The keys of the table, named by what they are rather than by any library's
// numbering.
enum class GameKey { Left, Right, Up, Down, Space, F, S, A, F1, F2, F3, F4, F5, F8, F9 };

// Reads the key states of the window whose context is current.
void pollKeys();

// The poll itself, with the key states supplied by the caller (pollKeys passes
// GLFW's; tests pass their own).
void applyKeys(const std::function<bool(GameKey)>& isDown);

// Clears the toggle states and latches at program start.
void resetKeyToggles();
