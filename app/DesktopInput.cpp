#include "app/DesktopInput.h"

#include "app/WindowEvents.h"

#include <GLFW/glfw3.h>

namespace {

DesktopInput& inputOf(GLFWwindow* window) { return *static_cast<DesktopInput*>(glfwGetWindowUserPointer(window)); }

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

} // namespace

DesktopInput::DesktopInput(GLFWwindow* window, WindowEvents& events) : window(window), events(events) {
  glfwSetWindowUserPointer(window, this);
  glfwSetKeyCallback(window, onKey);
  glfwSetWindowFocusCallback(window, onFocus);
  glfwSetWindowIconifyCallback(window, onIconify);
  glfwSetWindowRefreshCallback(window, onRefresh);
  // NOTE: a screen without an 800 x 600 mode gives the window its own size;
  // the frame is scaled into whatever the framebuffer is.
  int width = 0, height = 0;
  glfwGetFramebufferSize(window, &width, &height);
  events.framebufferResized(width, height);
  glfwSetFramebufferSizeCallback(window, onFramebufferSize);
  announcePads(padsAnnounced);
}

void DesktopInput::onKey(GLFWwindow* window, int key, int, int action, int mods) {
  inputOf(window).presses.keyEvent(key, action, mods);
}

void DesktopInput::onFocus(GLFWwindow* window, int focused) { inputOf(window).events.focusChanged(focused != 0); }

void DesktopInput::onIconify(GLFWwindow* window, int iconified) {
  inputOf(window).events.iconifyChanged(iconified != 0);
}

void DesktopInput::onRefresh(GLFWwindow* window) { inputOf(window).events.pictureNeeded(); }

void DesktopInput::onFramebufferSize(GLFWwindow* window, int width, int height) {
  inputOf(window).events.framebufferResized(width, height);
}

bool DesktopInput::held(int glfwKey) { return presses.merge(glfwKey, glfwGetKey(window, glfwKey) == GLFW_PRESS); }

FrameInput DesktopInput::read() {
  FrameInput input;
  announcePads(padsAnnounced);
  const PadInput pads = readGamepads();
  KeySnapshot keyboard;
  for (int k = 0; k < kGameKeyCount; ++k)
    keyboard[static_cast<std::size_t>(k)] = held(glfwKeyOf(static_cast<GameKey>(k)));
  input.keys = mergeKeys(keyboard, pads.keys);
  // each is read, so each press is used up
  const bool p = held(GLFW_KEY_P);
  const bool pauseKey = held(GLFW_KEY_PAUSE);
  input.pause = p || pauseKey || pads.pause;
  input.quit = held(GLFW_KEY_ESCAPE) || glfwWindowShouldClose(window);
  input.windowMode = presses.takeWindowModeRequest();
  input.windowLeft = events.takeLeft();
  return input;
}
