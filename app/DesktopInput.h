// The desktop's input through GLFW: the keyboard of the game's window, every
// pad (both read through the player's bindings), and the window's events. GLFW hands a window's events to one object,
// this one (through the window's user pointer): it keeps the key presses
// itself and passes the window's own events on to WindowEvents. The frame
// asks it once, at its start, for everything in one FrameInput.
#pragma once

#include "app/FrameInput.h"
#include "app/Gamepad.h"
#include "app/KeyPresses.h"

struct GLFWwindow;
class WindowEvents;

class DesktopInput {
public:
  // Installs the window's callbacks, reads its framebuffer's size into events
  // and announces the pads already plugged in. Both must outlive the window's
  // callbacks, i.e. stay until glfwTerminate.
  // The bindings are read at every frame, so a change on the options screen
  // counts from the next frame on.
  DesktopInput(GLFWwindow* window, WindowEvents& events, const Bindings& bindings);
  DesktopInput(const DesktopInput&) = delete;
  DesktopInput& operator=(const DesktopInput&) = delete;

  // The keyboard and the pads as they are now, merged with the presses since
  // the previous read, and the program's requests. Once a frame: each read
  // uses up the presses it saw.
  FrameInput read();

private:
  static void onKey(GLFWwindow* window, int key, int scancode, int action, int mods);
  static void onFocus(GLFWwindow* window, int focused);
  static void onIconify(GLFWwindow* window, int iconified);
  static void onRefresh(GLFWwindow* window);
  static void onFramebufferSize(GLFWwindow* window, int width, int height);

  bool held(int glfwKey);

  GLFWwindow* window;
  WindowEvents& events;
  const Bindings& bindings;
  KeyPresses presses;
  PadSlots padsAnnounced;
  PadControls padsBefore; // the previous frame's, for the presses
};
