// The keyboard table. applyKeys fills it with a played frame's keys (read by
// DesktopInput, or a replay's), and the player's input step and the
// function-key step read it later in the same frame. F3 (wireframe) and F9 (blending) act on the GL state as they are
// applied. The keys that steer the program rather than the game (Escape, the
// pause, the window mode) are read apart and never reach the table.
#pragma once

#include <bitset>

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
  // M mutes and unmutes the sound; the sound reads it after the update
  bool mLatch = false;
  bool soundMuted = false;
};

extern KeyFlagTable KeyFlags;

// The keys of the table, named by what they are rather than by any library's
// numbering. A recording stores them in this order: new keys go at the end.
enum class GameKey { Left, Right, Up, Down, Space, F, S, A, F1, F2, F3, F4, F5, F8, F9, M };
constexpr int kGameKeyCount = static_cast<int>(GameKey::M) + 1;

// The keys as one frame reads them, indexed by GameKey: what a recording
// keeps of the keyboard and a replay gives back.
using KeySnapshot = std::bitset<kGameKeyCount>;
inline bool isHeld(const KeySnapshot& keys, GameKey key) { return keys.test(static_cast<std::size_t>(key)); }

// The poll itself, with the key states supplied by the caller (the keyboard's,
// a replay's or a test's).
void applyKeys(const KeySnapshot& keys);

// Clears the toggle states and latches (wireframe, blending, muting) at program start.
void resetKeyToggles();
