#include "app/KeyFlags.h"

#include "app/Gamepad.h"

#include <GL/glew.h>
#include <GLFW/glfw3.h>

KeyFlagTable KeyFlags;

namespace {

// Presses seen by the key callback since the last poll, by GLFW key code.
bool gPressedSincePoll[GLFW_KEY_LAST + 1] = {};

bool gWindowModeRequested = false;
bool gWindowLeft = false;
bool gWindowExposed = false;
// the pads' Start as the last readKeys saw it
bool gPadPause = false;

bool knownKey(int glfwKey) { return glfwKey >= 0 && glfwKey <= GLFW_KEY_LAST; }

void onKey(GLFWwindow*, int key, int, int action, int mods) {
  recordKeyEvent(key, action);
  const bool altEnter = (key == GLFW_KEY_ENTER || key == GLFW_KEY_KP_ENTER) && (mods & GLFW_MOD_ALT);
  if (action == GLFW_PRESS && (key == GLFW_KEY_F11 || altEnter))
    gWindowModeRequested = true;
}

void onFocus(GLFWwindow*, int focused) {
  if (!focused)
    recordWindowLeft();
}

void onIconify(GLFWwindow*, int iconified) {
  if (iconified)
    recordWindowLeft();
}

void onRefresh(GLFWwindow*) { gWindowExposed = true; }

bool heldAtPoll(GLFWwindow* window, int glfwKey) {
  const bool down = window && glfwGetKey(window, glfwKey) == GLFW_PRESS;
  return mergeKeyState(glfwKey, down);
}

int glfwKeyOf(GameKey key) {
  switch (key) {
  case GameKey::Left: return GLFW_KEY_LEFT;
  case GameKey::Right: return GLFW_KEY_RIGHT;
  case GameKey::Up: return GLFW_KEY_UP;
  case GameKey::Down: return GLFW_KEY_DOWN;
  case GameKey::Space: return GLFW_KEY_SPACE;
  case GameKey::F: return GLFW_KEY_F;
  case GameKey::S: return GLFW_KEY_S;
  case GameKey::A: return GLFW_KEY_A;
  case GameKey::F1: return GLFW_KEY_F1;
  case GameKey::F2: return GLFW_KEY_F2;
  case GameKey::F3: return GLFW_KEY_F3;
  case GameKey::F4: return GLFW_KEY_F4;
  case GameKey::F5: return GLFW_KEY_F5;
  case GameKey::F8: return GLFW_KEY_F8;
  case GameKey::F9: return GLFW_KEY_F9;
  case GameKey::M: return GLFW_KEY_M;
  }
  return GLFW_KEY_UNKNOWN;
}

// Each key is read once per frame: the merge uses up the recorded press, so a
// second read in the same frame would see only the key's state.
KeySnapshot readKeyboard() {
  GLFWwindow* window = glfwGetCurrentContext();
  KeySnapshot keys;
  for (int k = 0; k < kGameKeyCount; ++k)
    keys[k] = heldAtPoll(window, glfwKeyOf(static_cast<GameKey>(k)));
  return keys;
}

} // namespace

KeySnapshot readKeys() {
  const PadInput pads = readGamepads();
  gPadPause = pads.pause;
  return mergeKeys(readKeyboard(), pads.keys);
}

void watchKeyPresses(GLFWwindow* window) {
  glfwSetKeyCallback(window, onKey);
  glfwSetWindowFocusCallback(window, onFocus);
  glfwSetWindowIconifyCallback(window, onIconify);
  glfwSetWindowRefreshCallback(window, onRefresh);
}

bool escapePressed() { return heldAtPoll(glfwGetCurrentContext(), GLFW_KEY_ESCAPE); }

bool pausePressed() {
  GLFWwindow* window = glfwGetCurrentContext();
  // each is read, so each press is used up
  const bool p = heldAtPoll(window, GLFW_KEY_P);
  const bool pause = heldAtPoll(window, GLFW_KEY_PAUSE);
  return p || pause || gPadPause;
}

bool windowModeRequested() {
  const bool requested = gWindowModeRequested;
  gWindowModeRequested = false;
  return requested;
}

bool windowLeft() {
  const bool left = gWindowLeft;
  gWindowLeft = false;
  return left;
}

bool windowExposed() {
  const bool exposed = gWindowExposed;
  gWindowExposed = false;
  return exposed;
}

void recordWindowLeft() { gWindowLeft = true; }

void recordKeyEvent(int glfwKey, int action) {
  // key repeats and releases change nothing: the poll reads the key's state
  if (action == GLFW_PRESS && knownKey(glfwKey))
    gPressedSincePoll[glfwKey] = true;
}

bool mergeKeyState(int glfwKey, bool downAtPoll) {
  if (!knownKey(glfwKey))
    return downAtPoll;
  const bool held = downAtPoll || gPressedSincePoll[glfwKey];
  gPressedSincePoll[glfwKey] = false;
  return held;
}

void applyKeys(const KeySnapshot& keys) {
  KeyFlagTable& k = KeyFlags;
  const auto isDown = [&keys](GameKey key) { return isHeld(keys, key); };

  // Setting pass: a held entry goes up with its key.
  if (isDown(GameKey::Left))
    k.keyLeft = true;
  if (isDown(GameKey::Right))
    k.keyRight = true;
  if (isDown(GameKey::Up))
    k.keyUp = true;
  if (isDown(GameKey::Down))
    k.keyDown = true;
  if (isDown(GameKey::Space) || isDown(GameKey::F))
    k.keyFire = true;
  if (isDown(GameKey::S))
    k.keyS = true;
  if (isDown(GameKey::A))
    k.keyA = true;
  if (isDown(GameKey::F1))
    k.keyF1 = true;
  if (isDown(GameKey::F2))
    k.keyF2 = true;

  if (isDown(GameKey::F3)) {
    if (!k.f3Latch) {
      k.wireframe = !k.wireframe;
      glPolygonMode(GL_FRONT_AND_BACK, k.wireframe ? GL_LINE : GL_FILL);
    }
    k.f3Latch = true;
  }

  if (isDown(GameKey::F4))
    k.keyF4 = true;
  if (isDown(GameKey::F5))
    k.keyF5 = true;
  if (isDown(GameKey::F8))
    k.keyF8 = true;

  if (isDown(GameKey::F9)) {
    if (!k.f9Latch) {
      k.blendDisabled = !k.blendDisabled;
      if (k.blendDisabled)
        glDisable(GL_BLEND);
      else
        glEnable(GL_BLEND);
    }
    k.f9Latch = true;
  }

  if (isDown(GameKey::M)) {
    if (!k.mLatch)
      k.soundMuted = !k.soundMuted;
    k.mLatch = true;
  }

  // Clearing pass: a held entry goes down with its key.
  if (!isDown(GameKey::Left))
    k.keyLeft = false;
  if (!isDown(GameKey::Right))
    k.keyRight = false;
  if (!isDown(GameKey::Up))
    k.keyUp = false;
  if (!isDown(GameKey::Down))
    k.keyDown = false;
  if (!isDown(GameKey::Space) && !isDown(GameKey::F))
    k.keyFire = false;
  if (!isDown(GameKey::S))
    k.keyS = false;
  if (!isDown(GameKey::A))
    k.keyA = false;
  if (!isDown(GameKey::F1))
    k.keyF1 = false;
  if (!isDown(GameKey::F2))
    k.keyF2 = false;
  if (!isDown(GameKey::F3))
    k.f3Latch = false;
  if (!isDown(GameKey::F4))
    k.keyF4 = false;
  if (!isDown(GameKey::F5))
    k.keyF5 = false;
  if (!isDown(GameKey::F8))
    k.keyF8 = false;
  if (!isDown(GameKey::F9))
    k.f9Latch = false;
  if (!isDown(GameKey::M))
    k.mLatch = false;
}

void resetKeyToggles() {
  KeyFlags.wireframe = false;
  KeyFlags.blendDisabled = false;
  KeyFlags.f3Latch = false;
  KeyFlags.f9Latch = false;
  KeyFlags.mLatch = false;
  KeyFlags.soundMuted = false;
}
