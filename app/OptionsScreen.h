// The options screen's decisions, kept apart from GL and GLFW: which row is
// selected, a rebinding that waits for its key or pad button, the settings
// each press changes, and the page the monitor shows. The frame opens it with
// F10 or a pad's X and hands it each frame's presses while it is open; the
// game is paused meanwhile.
//
// Up and Down (arrows, d-pad or left stick) select a row; Left and Right
// change a value; Enter or the pad's A starts a rebinding on an action's row
// (the next key pressed becomes its key, the next pad control its pad
// binding), changes a value's row or resets; Delete or Backspace clears an
// action's keys. Escape cancels a waiting rebinding, or else closes the
// screen, as do F10, the pad's B and X. The menu's own keys are fixed, so a
// player cannot lose them to a binding.
#pragma once

#include "app/Settings.h"
#include "monitor/OptionsPage.h"

#include <functional>
#include <string>
#include <vector>

class OptionsScreen {
public:
  // What a frame's presses changed, as bits.
  enum Change : unsigned {
    kNothing = 0,
    kPage = 1u << 0,     // the page shows something else
    kBindings = 1u << 1, // a control was bound, cleared or reset
    kVolume = 1u << 2,
    kWindow = 1u << 3, // full screen or a window
    kVsync = 1u << 4,
    kClosed = 1u << 5,
  };

  // layoutName gives the keyboard layout's name of a key (glfwGetKeyName in the
  // game; none in a test), so keys show as their caps are labelled.
  OptionsScreen(Settings& settings, std::function<const char*(int glfwKey)> layoutName);

  bool isOpen() const { return opened; }
  // Opens on the first row, or closes (a waiting rebinding is cancelled).
  void open();
  void close();

  // One frame of the open screen: the keys pressed since the previous frame,
  // in order (GLFW key codes), and the pad controls that went down. The
  // settings change at once; the bits say what changed.
  unsigned handle(const std::vector<int>& keysPressed, const PadControls& padPressed);

  // The page as it stands now.
  const OptionsPage& page() const { return shown; }
  int selectedRow() const { return selected; }
  bool waiting() const { return waitingForBinding; }

private:
  enum class Row { Action, Volume, Window, Vsync, Reset, OptionsKey, QuitKey };
  Row rowKind(int row) const;
  int rowCount() const;
  unsigned press(int glfwKey);
  unsigned pressPad(int control);
  unsigned activate();
  unsigned change(int step);
  unsigned select(int step);
  unsigned bindTo(Device device, int code);
  std::string displayName(Device device, int code) const;
  std::string bindingText(Action action, Device device) const;
  void compose();

  Settings& settings;
  std::function<const char*(int)> layoutName;
  bool opened = false;
  int selected = 0;
  bool waitingForBinding = false;
  // actions that lost their key or pad binding to another and have none since
  std::bitset<kActionCount> keysLost;
  std::bitset<kActionCount> padLost;
  std::string notice;
  OptionsPage shown;
};
