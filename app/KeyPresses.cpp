#include "app/KeyPresses.h"

#include <GLFW/glfw3.h>

static_assert(GLFW_KEY_LAST < 512, "one press bit for every GLFW key code");

namespace {
bool knownKey(int glfwKey) { return glfwKey >= 0 && glfwKey <= GLFW_KEY_LAST; }
} // namespace

void KeyPresses::keyEvent(int glfwKey, int action, int mods) {
  if (action != GLFW_PRESS)
    return;
  if (!knownKey(glfwKey))
    return;
  pressed.set(static_cast<std::size_t>(glfwKey));
  if (inOrder.size() < kKeptPresses)
    inOrder.push_back(glfwKey);
  const bool enter = glfwKey == GLFW_KEY_ENTER || glfwKey == GLFW_KEY_KP_ENTER;
  if (enter && (mods & GLFW_MOD_ALT))
    windowModeRequested = true;
}

bool KeyPresses::merge(int glfwKey, bool downAtPoll) {
  if (!knownKey(glfwKey))
    return downAtPoll;
  const auto bit = static_cast<std::size_t>(glfwKey);
  const bool held = downAtPoll || pressed.test(bit);
  pressed.reset(bit);
  return held;
}

bool KeyPresses::takeWindowModeRequest() {
  const bool requested = windowModeRequested;
  windowModeRequested = false;
  return requested;
}

std::vector<int> KeyPresses::takePressedKeys() {
  std::vector<int> keys;
  keys.swap(inOrder);
  return keys;
}
