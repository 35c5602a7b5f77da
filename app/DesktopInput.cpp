#include "app/DesktopInput.h"

#include "app/WindowEvents.h"

#include <GLFW/glfw3.h>

#include <algorithm>

namespace {

DesktopInput& inputOf(GLFWwindow* window) { return *static_cast<DesktopInput*>(glfwGetWindowUserPointer(window)); }

bool pressedIn(const std::vector<int>& keys, int key) { return std::find(keys.begin(), keys.end(), key) != keys.end(); }

} // namespace

DesktopInput::DesktopInput(GLFWwindow* window, WindowEvents& events, const Bindings& bindings)
    : window(window), events(events), bindings(bindings) {
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
  const PadControls pads = readGamepads();
  input.padPressed = pads & ~padsBefore;
  padsBefore = pads;
  input.keysPressed = presses.takePressedKeys();
  // each key is read once, so each press is used up
  const auto keyHeld = [this](int key) { return held(key); };
  input.keys = snapshotOf(bindings, keyHeld, pads);
  input.pause = heldAction(bindings, Action::Pause, keyHeld, pads);
  const auto keyPressed = [&input](int key) { return pressedIn(input.keysPressed, key); };
  input.windowMode =
      presses.takeWindowModeRequest() || heldAction(bindings, Action::FullScreen, keyPressed, input.padPressed);
  input.escape = pressedIn(input.keysPressed, GLFW_KEY_ESCAPE);
  input.options =
      pressedIn(input.keysPressed, GLFW_KEY_F10) || input.padPressed.test(static_cast<std::size_t>(kOptionsPadButton));
  input.quit = glfwWindowShouldClose(window);
  input.windowLeft = events.takeLeft();
  return input;
}
