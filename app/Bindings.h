// The controls and what drives them: each action has up to two keys of the
// keyboard (GLFW key codes) and up to two controls of a pad. The player
// changes them on the options screen or in the settings file; the frame reads
// the keyboard and the pads through them. Plain data and rules: nothing here
// calls GLFW.
//
// The rule for a key or control that another action already holds: the new
// action takes it, and the other action loses it (and shows so on the options
// screen until it is given a new one). Escape (quit, or back out of the
// options screen) and the options screen's own key and pad button are never
// bound, so no player can lock themselves out.
#pragma once

#include "app/KeyFlags.h"

#include <array>
#include <bitset>
#include <functional>
#include <optional>

// The rows of the controls, in the order the options screen lists them.
enum class Action {
  TurnLeft,
  TurnRight,
  Descend,
  Climb,
  Fire,
  Boost,
  Brake,
  Tutorial,
  Statistics,
  Wireframe,
  Filtering,
  Mipmapping,
  Culling,
  Blending,
  Sound,
  Pause,
  FullScreen,
};
constexpr int kActionCount = static_cast<int>(Action::FullScreen) + 1;

// A pad's controls: GLFW's gamepad buttons by their numbers, then the sticks'
// directions and the triggers, which count as pressed beyond a threshold.
enum class PadControl {
  A,
  B,
  X,
  Y,
  LeftBumper,
  RightBumper,
  Back,
  Start,
  Guide,
  LeftThumb,
  RightThumb,
  DpadUp,
  DpadRight,
  DpadDown,
  DpadLeft,
  LeftStickLeft,
  LeftStickRight,
  LeftStickUp, // pushed away from the player
  LeftStickDown,
  RightStickLeft,
  RightStickRight,
  RightStickUp,
  RightStickDown,
  LeftTrigger,
  RightTrigger,
};
constexpr int kPadControlCount = static_cast<int>(PadControl::RightTrigger) + 1;
// Which of a pad's controls are pressed in a frame, indexed by PadControl.
using PadControls = std::bitset<kPadControlCount>;

enum class Device { Keyboard, Pad };

constexpr int kUnbound = -1;
constexpr int kBindingsPerAction = 2;
// An action's codes on one device (GLFW key codes or PadControl numbers),
// kUnbound where a slot is free. The first slot is filled first.
using ActionBinding = std::array<int, kBindingsPerAction>;

struct Bindings {
  std::array<ActionBinding, kActionCount> keys;
  std::array<ActionBinding, kActionCount> pad;

  ActionBinding& of(Action action, Device device);
  const ActionBinding& of(Action action, Device device) const;
  bool operator==(const Bindings& other) const { return keys == other.keys && pad == other.pad; }
  bool operator!=(const Bindings& other) const { return !(*this == other); }
};

// The controls as the game has always had them (see the README's table).
Bindings defaultBindings();

// The keys and the pad button that are never bound to an action: Escape, and
// the options screen's own (F10 and X).
bool reservedKey(int glfwKey);
bool reservedPadControl(int control);
bool reserved(Device device, int code);
constexpr PadControl kOptionsPadButton = PadControl::X;

// What binding a code did.
struct BindResult {
  bool refused = false;            // reserved, or not a code of that device
  std::optional<Action> takenFrom; // the other action that held the code and lost it
};

// Binds the code alone to the action on that device (the action's other slot
// is cleared): a code another action holds is taken from it.
BindResult bind(Bindings& bindings, Action action, Device device, int code);

// Removes duplicates and reserved or invalid codes, keeping the first holder
// of each code in the order of the actions; what was removed is reported by
// action. Used on bindings read from a file a person may have edited.
std::bitset<kActionCount> tidy(Bindings& bindings);

// The frame's keys as the bindings read the keyboard and the pads: a key or
// pad control of an action held holds its key of the snapshot. Fire's first
// key holds GameKey::Space and its second GameKey::F, as the two fire keys
// always were; a pad's fire holds Space. Pause and full screen are no keys of
// the snapshot (see heldAction).
KeySnapshot snapshotOf(const Bindings& bindings, const std::function<bool(int glfwKey)>& keyHeld,
                       const PadControls& pads);

// Whether any key or pad control of the action is held.
bool heldAction(const Bindings& bindings, Action action, const std::function<bool(int glfwKey)>& keyHeld,
                const PadControls& pads);
