#include "app/Bindings.h"

#include "app/KeyNames.h"

#include <GLFW/glfw3.h>

#include <cstddef>
#include <initializer_list>
#include <vector>

namespace {

constexpr std::size_t indexOf(Action action) { return static_cast<std::size_t>(action); }

// The key of the frame's snapshot an action holds, if it has one.
std::optional<GameKey> gameKeyOf(Action action) {
  switch (action) {
  case Action::TurnLeft: return GameKey::Left;
  case Action::TurnRight: return GameKey::Right;
  case Action::Descend: return GameKey::Up;
  case Action::Climb: return GameKey::Down;
  case Action::Fire: return GameKey::Space;
  case Action::Boost: return GameKey::S;
  case Action::Brake: return GameKey::A;
  case Action::Tutorial: return GameKey::F1;
  case Action::Statistics: return GameKey::F2;
  case Action::Wireframe: return GameKey::F3;
  case Action::Filtering: return GameKey::F4;
  case Action::Mipmapping: return GameKey::F5;
  case Action::Culling: return GameKey::F8;
  case Action::Blending: return GameKey::F9;
  case Action::Sound: return GameKey::M;
  case Action::Pause:
  case Action::FullScreen: return std::nullopt;
  }
  return std::nullopt;
}

bool validCode(Device device, int code) { return device == Device::Keyboard ? knownKey(code) : knownPadControl(code); }

// Moves the codes to the front, so the first slot is filled first.
void compact(ActionBinding& binding) {
  if (binding[0] == kUnbound) {
    binding[0] = binding[1];
    binding[1] = kUnbound;
  }
}

// Whether the device's code is held now. Only codes of the device are asked
// about: a binding from elsewhere may hold anything.
bool codeHeld(Device device, int code, const std::function<bool(int)>& keyHeld, const PadControls& pads) {
  if (!validCode(device, code))
    return false;
  return device == Device::Keyboard ? keyHeld(code) : pads.test(static_cast<std::size_t>(code));
}

} // namespace

ActionBinding& Bindings::of(Action action, Device device) {
  return (device == Device::Keyboard ? keys : pad)[indexOf(action)];
}

const ActionBinding& Bindings::of(Action action, Device device) const {
  return (device == Device::Keyboard ? keys : pad)[indexOf(action)];
}

Bindings defaultBindings() {
  Bindings bindings;
  for (auto& binding : bindings.keys)
    binding = {kUnbound, kUnbound};
  for (auto& binding : bindings.pad)
    binding = {kUnbound, kUnbound};
  const auto keys = [&bindings](Action action, int first, int second = kUnbound) {
    bindings.of(action, Device::Keyboard) = {first, second};
  };
  const auto pad = [&bindings](Action action, PadControl first, int second = kUnbound) {
    bindings.of(action, Device::Pad) = {static_cast<int>(first), second};
  };
  keys(Action::TurnLeft, GLFW_KEY_LEFT);
  keys(Action::TurnRight, GLFW_KEY_RIGHT);
  keys(Action::Descend, GLFW_KEY_UP);
  keys(Action::Climb, GLFW_KEY_DOWN);
  keys(Action::Fire, GLFW_KEY_SPACE, GLFW_KEY_F);
  keys(Action::Boost, GLFW_KEY_S);
  keys(Action::Brake, GLFW_KEY_A);
  keys(Action::Tutorial, GLFW_KEY_F1);
  keys(Action::Statistics, GLFW_KEY_F2);
  keys(Action::Wireframe, GLFW_KEY_F3);
  keys(Action::Filtering, GLFW_KEY_F4);
  keys(Action::Mipmapping, GLFW_KEY_F5);
  keys(Action::Culling, GLFW_KEY_F8);
  keys(Action::Blending, GLFW_KEY_F9);
  keys(Action::Sound, GLFW_KEY_M);
  keys(Action::Pause, GLFW_KEY_P, GLFW_KEY_PAUSE);
  keys(Action::FullScreen, GLFW_KEY_F11);

  const auto control = [](PadControl c) { return static_cast<int>(c); };
  pad(Action::TurnLeft, PadControl::LeftStickLeft, control(PadControl::DpadLeft));
  pad(Action::TurnRight, PadControl::LeftStickRight, control(PadControl::DpadRight));
  pad(Action::Descend, PadControl::LeftStickUp, control(PadControl::DpadUp));
  pad(Action::Climb, PadControl::LeftStickDown, control(PadControl::DpadDown));
  pad(Action::Fire, PadControl::A, control(PadControl::RightTrigger));
  pad(Action::Boost, PadControl::RightBumper);
  pad(Action::Brake, PadControl::LeftBumper);
  pad(Action::Tutorial, PadControl::Y);
  pad(Action::Statistics, PadControl::Back);
  pad(Action::Pause, PadControl::Start);
  return bindings;
}

bool reservedKey(int glfwKey) { return glfwKey == GLFW_KEY_ESCAPE || glfwKey == GLFW_KEY_F10; }

bool reservedPadControl(int control) { return control == static_cast<int>(kOptionsPadButton); }

bool reserved(Device device, int code) {
  return device == Device::Keyboard ? reservedKey(code) : reservedPadControl(code);
}

BindResult bind(Bindings& bindings, Action action, Device device, int code) {
  BindResult result;
  if (!validCode(device, code) || reserved(device, code)) {
    result.refused = true;
    return result;
  }
  for (int a = 0; a < kActionCount; ++a) {
    const auto other = static_cast<Action>(a);
    if (other == action)
      continue;
    ActionBinding& binding = bindings.of(other, device);
    bool lost = false;
    for (int& slot : binding)
      if (slot == code) {
        slot = kUnbound;
        lost = true;
      }
    if (lost) {
      compact(binding);
      result.takenFrom = other;
    }
  }
  bindings.of(action, device) = {code, kUnbound};
  return result;
}

std::bitset<kActionCount> tidy(Bindings& bindings) {
  std::bitset<kActionCount> changed;
  for (Device device : {Device::Keyboard, Device::Pad}) {
    std::vector<int> seen;
    for (int a = 0; a < kActionCount; ++a) {
      ActionBinding& binding = bindings.of(static_cast<Action>(a), device);
      for (int& slot : binding) {
        if (slot == kUnbound)
          continue;
        bool duplicate = false;
        for (int code : seen)
          duplicate = duplicate || code == slot;
        if (duplicate || !validCode(device, slot) || reserved(device, slot)) {
          slot = kUnbound;
          changed.set(static_cast<std::size_t>(a));
        } else {
          seen.push_back(slot);
        }
      }
      compact(binding);
    }
  }
  return changed;
}

KeySnapshot snapshotOf(const Bindings& bindings, const std::function<bool(int glfwKey)>& keyHeld,
                       const PadControls& pads) {
  KeySnapshot snapshot;
  for (int a = 0; a < kActionCount; ++a) {
    const auto action = static_cast<Action>(a);
    const std::optional<GameKey> key = gameKeyOf(action);
    if (!key)
      continue;
    for (Device device : {Device::Keyboard, Device::Pad}) {
      const ActionBinding& binding = bindings.of(action, device);
      for (std::size_t slot = 0; slot < binding.size(); ++slot) {
        // NOTE: every bound key is asked, even when the action is held
        // already: asking uses up a press between two frames.
        if (!codeHeld(device, binding[slot], keyHeld, pads))
          continue;
        // fire's second key is the F of old: a recording tells the two apart
        const bool secondFireKey = action == Action::Fire && device == Device::Keyboard && slot == 1;
        snapshot.set(static_cast<std::size_t>(secondFireKey ? GameKey::F : *key));
      }
    }
  }
  return snapshot;
}

bool heldAction(const Bindings& bindings, Action action, const std::function<bool(int glfwKey)>& keyHeld,
                const PadControls& pads) {
  bool held = false;
  for (Device device : {Device::Keyboard, Device::Pad})
    for (int code : bindings.of(action, device))
      if (codeHeld(device, code, keyHeld, pads))
        held = true;
  return held;
}
