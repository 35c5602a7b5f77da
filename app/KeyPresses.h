// The presses the key callback saw between two polls, by GLFW key code, so a
// tap shorter than a frame still reads as held in one frame; the same presses
// in the order they came, for the options screen and for keys that act once
// per press; and the window mode asked for with Alt+Enter.
#pragma once

#include <bitset>
#include <vector>

class KeyPresses {
public:
  // What the key callback does with one event (GLFW key code, action and
  // modifier bits). Key repeats and releases change nothing: the poll reads
  // the key's state.
  void keyEvent(int glfwKey, int action, int mods = 0);

  // A key reads as held in a frame if it is down at the poll or went down
  // since the previous poll; the recorded press is used up, so each key is
  // read once a frame.
  bool merge(int glfwKey, bool downAtPoll);

  // Alt+Enter pressed since the previous call.
  bool takeWindowModeRequest();

  // Every key pressed since the previous call, in order (at most kKeptPresses).
  std::vector<int> takePressedKeys();

private:
  static constexpr int kKeyCodes = 512;           // more than GLFW_KEY_LAST, checked in the source
  static constexpr std::size_t kKeptPresses = 64; // more than anyone types in a frame
  std::bitset<kKeyCodes> pressed;
  std::vector<int> inOrder;
  bool windowModeRequested = false;
};
