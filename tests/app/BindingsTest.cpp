// The controls as bindings: what the default bindings make of the keyboard
// and the pads, the rule for a code another action holds, the codes no
// action gets, and the names of keys, pad controls and actions.
#include "app/Bindings.h"
#include "app/Gamepad.h"
#include "app/KeyNames.h"
#include "tests/support/KeySnapshots.h"

#include <GLFW/glfw3.h>
#include <gtest/gtest.h>

#include <cctype>
#include <map>
#include <set>
#include <string>

namespace {

using felidora::test::keysOf;

// A pad at rest: sticks centred, triggers released.
GLFWgamepadstate padAtRest() {
  GLFWgamepadstate pad{};
  pad.axes[GLFW_GAMEPAD_AXIS_LEFT_TRIGGER] = pad.axes[GLFW_GAMEPAD_AXIS_RIGHT_TRIGGER] = -1.0f;
  return pad;
}

// The frame's keys and pause with the default bindings.
KeySnapshot frameKeys(const std::set<int>& down, const GLFWgamepadstate& pad, bool& pause) {
  const Bindings bindings = defaultBindings();
  const auto keyHeld = [&down](int glfwKey) { return down.count(glfwKey) > 0; };
  pause = heldAction(bindings, Action::Pause, keyHeld, padControls(pad));
  return snapshotOf(bindings, keyHeld, padControls(pad));
}

// Keys and pad controls held together give what the game has always read
// from them; the program's own keys (Escape, F10, F11) and the free pad
// controls give nothing.
TEST(BindingsTest, DefaultsReadTheKeyboardAndPadsAsTheyAlwaysDid) {
  const auto stick = [](int axis, float value) {
    GLFWgamepadstate pad = padAtRest();
    pad.axes[axis] = value;
    return pad;
  };
  const auto buttons = [](std::initializer_list<int> held) {
    GLFWgamepadstate pad = padAtRest();
    for (int b : held)
      pad.buttons[b] = GLFW_PRESS;
    return pad;
  };
  const GLFWgamepadstate rest = padAtRest();
  const struct {
    std::set<int> keys;
    GLFWgamepadstate pad;
    KeySnapshot expected;
    bool pause;
  } cases[] = {
      {{}, rest, keysOf({}), false},
      {{GLFW_KEY_LEFT, GLFW_KEY_SPACE}, rest, keysOf({GameKey::Left, GameKey::Space}), false},
      {{GLFW_KEY_F}, rest, keysOf({GameKey::F}), false},
      {{GLFW_KEY_SPACE, GLFW_KEY_F, GLFW_KEY_RIGHT, GLFW_KEY_DOWN},
       rest,
       keysOf({GameKey::Space, GameKey::F, GameKey::Right, GameKey::Down}),
       false},
      {{GLFW_KEY_UP, GLFW_KEY_S, GLFW_KEY_A, GLFW_KEY_F1, GLFW_KEY_F2, GLFW_KEY_F3, GLFW_KEY_F4, GLFW_KEY_F5,
        GLFW_KEY_F8, GLFW_KEY_F9, GLFW_KEY_M},
       rest,
       keysOf({GameKey::Up, GameKey::S, GameKey::A, GameKey::F1, GameKey::F2, GameKey::F3, GameKey::F4, GameKey::F5,
               GameKey::F8, GameKey::F9, GameKey::M}),
       false},
      {{GLFW_KEY_P}, rest, keysOf({}), true},
      {{GLFW_KEY_PAUSE, GLFW_KEY_A}, rest, keysOf({GameKey::A}), true},
      {{GLFW_KEY_ESCAPE, GLFW_KEY_F10, GLFW_KEY_F11, GLFW_KEY_F6, GLFW_KEY_Q, GLFW_KEY_ENTER}, rest, keysOf({}), false},
      {{}, stick(GLFW_GAMEPAD_AXIS_LEFT_X, -0.5f), keysOf({GameKey::Left}), false},
      {{}, stick(GLFW_GAMEPAD_AXIS_LEFT_X, 0.25f), keysOf({}), false}, // within the dead zone
      {{}, stick(GLFW_GAMEPAD_AXIS_LEFT_Y, -0.9f), keysOf({GameKey::Up}), false},
      {{}, stick(GLFW_GAMEPAD_AXIS_RIGHT_TRIGGER, 0.2f), keysOf({GameKey::Space}), false},
      {{}, stick(GLFW_GAMEPAD_AXIS_LEFT_TRIGGER, 1.0f), keysOf({}), false},
      {{}, stick(GLFW_GAMEPAD_AXIS_RIGHT_X, -1.0f), keysOf({}), false},
      {{},
       buttons({GLFW_GAMEPAD_BUTTON_A, GLFW_GAMEPAD_BUTTON_DPAD_DOWN}),
       keysOf({GameKey::Space, GameKey::Down}),
       false},
      {{},
       buttons({GLFW_GAMEPAD_BUTTON_RIGHT_BUMPER, GLFW_GAMEPAD_BUTTON_LEFT_BUMPER, GLFW_GAMEPAD_BUTTON_Y,
                GLFW_GAMEPAD_BUTTON_BACK}),
       keysOf({GameKey::S, GameKey::A, GameKey::F1, GameKey::F2}),
       false},
      {{}, buttons({GLFW_GAMEPAD_BUTTON_START}), keysOf({}), true},
      {{},
       buttons({GLFW_GAMEPAD_BUTTON_X, GLFW_GAMEPAD_BUTTON_B, GLFW_GAMEPAD_BUTTON_GUIDE, GLFW_GAMEPAD_BUTTON_LEFT_THUMB,
                GLFW_GAMEPAD_BUTTON_RIGHT_THUMB}),
       keysOf({}),
       false},
      {{GLFW_KEY_LEFT, GLFW_KEY_F},
       stick(GLFW_GAMEPAD_AXIS_LEFT_X, 0.8f),
       keysOf({GameKey::Left, GameKey::Right, GameKey::F}),
       false},
  };
  // asking for a key uses up its press since the previous frame: every bound
  // key is asked exactly once, whatever else is held
  std::map<int, int> asked;
  const auto everyKeyHeld = [&asked](int glfwKey) { return ++asked[glfwKey] > 0; };
  const Bindings bindings = defaultBindings();
  snapshotOf(bindings, everyKeyHeld, padControls(buttons({GLFW_GAMEPAD_BUTTON_A})));
  heldAction(bindings, Action::Pause, everyKeyHeld, PadControls().set());
  EXPECT_EQ(asked.size(), 18u);
  for (const auto& [key, times] : asked)
    EXPECT_EQ(times, 1) << key;

  int row = 0;
  for (const auto& c : cases) {
    bool pause = false;
    EXPECT_EQ(frameKeys(c.keys, c.pad, pause), c.expected) << "case " << row;
    EXPECT_EQ(pause, c.pause) << "case " << row;
    ++row;
  }
}

// Taking a code from its holder leaves the holder's other code in its first
// slot; what may never be bound is refused and changes nothing.
TEST(BindingsTest, ACodeIsTakenFromItsHolderAndTheProgramsOwnCodesAreRefused) {
  Bindings bindings = defaultBindings();
  BindResult result = bind(bindings, Action::Boost, Device::Keyboard, GLFW_KEY_SPACE);
  EXPECT_FALSE(result.refused);
  EXPECT_EQ(result.takenFrom, Action::Fire);
  EXPECT_EQ(bindings.of(Action::Fire, Device::Keyboard), (ActionBinding{GLFW_KEY_F, kUnbound}));
  EXPECT_EQ(bindings.of(Action::Boost, Device::Keyboard), (ActionBinding{GLFW_KEY_SPACE, kUnbound}));
  // Space boosts now; the one fire key left fires as Space did
  const auto keys = [&bindings](int glfwKey) {
    return snapshotOf(
        bindings, [glfwKey](int k) { return k == glfwKey; }, PadControls());
  };
  EXPECT_EQ(keys(GLFW_KEY_SPACE), keysOf({GameKey::S}));
  EXPECT_EQ(keys(GLFW_KEY_F), keysOf({GameKey::Space}));
  EXPECT_EQ(keys(GLFW_KEY_S), keysOf({})); // bound alone: boost's key until now is free
  bind(bindings, Action::Fire, Device::Keyboard, GLFW_KEY_K);
  EXPECT_EQ(bindings.of(Action::Fire, Device::Keyboard), (ActionBinding{GLFW_KEY_K, kUnbound}));
  EXPECT_EQ(keys(GLFW_KEY_F), keysOf({}));
  result = bind(bindings, Action::Fire, Device::Keyboard, GLFW_KEY_K);
  EXPECT_FALSE(result.takenFrom.has_value()); // its own key is taken from nobody

  result = bind(bindings, Action::TurnLeft, Device::Pad, static_cast<int>(PadControl::A));
  EXPECT_EQ(result.takenFrom, Action::Fire);
  EXPECT_EQ(bindings.of(Action::Fire, Device::Pad),
            (ActionBinding{static_cast<int>(PadControl::RightTrigger), kUnbound}));
  EXPECT_EQ(bindings.of(Action::TurnLeft, Device::Pad), (ActionBinding{static_cast<int>(PadControl::A), kUnbound}));

  const Bindings before = bindings;
  for (int key : {GLFW_KEY_ESCAPE, GLFW_KEY_F10, GLFW_KEY_UNKNOWN, 33, GLFW_KEY_LAST + 1})
    EXPECT_TRUE(bind(bindings, Action::Pause, Device::Keyboard, key).refused) << key;
  for (int control : {static_cast<int>(kOptionsPadButton), kUnbound, kPadControlCount})
    EXPECT_TRUE(bind(bindings, Action::Pause, Device::Pad, control).refused) << control;
  EXPECT_EQ(bindings, before);
  EXPECT_TRUE(reserved(Device::Pad, static_cast<int>(PadControl::X)));

  // the defaults hold nothing twice and nothing reserved
  Bindings defaults = defaultBindings();
  EXPECT_TRUE(tidy(defaults).none());
  EXPECT_EQ(defaults, defaultBindings());
}

// A file a person wrote may give a code twice, a reserved one or one that is
// no code: the first holder keeps it, the rest is cleared and reported.
TEST(BindingsTest, TidyKeepsTheFirstHolderAndReportsWhatItCleared) {
  Bindings bindings = defaultBindings();
  bindings.of(Action::Boost, Device::Keyboard) = {GLFW_KEY_ESCAPE, GLFW_KEY_SPACE};
  bindings.of(Action::Brake, Device::Keyboard) = {GLFW_KEY_B, GLFW_KEY_B};
  bindings.of(Action::Sound, Device::Keyboard) = {kUnbound, GLFW_KEY_N};
  bindings.of(Action::Culling, Device::Keyboard) = {9999, GLFW_KEY_F8};
  bindings.of(Action::Pause, Device::Pad) = {static_cast<int>(PadControl::X), static_cast<int>(PadControl::A)};
  bindings.of(Action::FullScreen, Device::Pad) = {-7, static_cast<int>(PadControl::Guide)};
  const std::bitset<kActionCount> cleared = tidy(bindings);

  std::bitset<kActionCount> expected;
  for (Action a : {Action::Boost, Action::Brake, Action::Culling, Action::Pause, Action::FullScreen})
    expected.set(static_cast<std::size_t>(a));
  EXPECT_EQ(cleared, expected);
  EXPECT_EQ(bindings.of(Action::Fire, Device::Keyboard), (ActionBinding{GLFW_KEY_SPACE, GLFW_KEY_F}));
  EXPECT_EQ(bindings.of(Action::Boost, Device::Keyboard), (ActionBinding{kUnbound, kUnbound}));
  EXPECT_EQ(bindings.of(Action::Brake, Device::Keyboard), (ActionBinding{GLFW_KEY_B, kUnbound}));
  EXPECT_EQ(bindings.of(Action::Sound, Device::Keyboard), (ActionBinding{GLFW_KEY_N, kUnbound}));
  EXPECT_EQ(bindings.of(Action::Culling, Device::Keyboard), (ActionBinding{GLFW_KEY_F8, kUnbound}));
  EXPECT_EQ(bindings.of(Action::Pause, Device::Pad), (ActionBinding{kUnbound, kUnbound})); // A fires
  EXPECT_EQ(bindings.of(Action::FullScreen, Device::Pad),
            (ActionBinding{static_cast<int>(PadControl::Guide), kUnbound}));
}

// Counts the characters of a UTF-8 text, or -1 where one is not Latin-1.
int latin1Length(const std::string& text) {
  int length = 0;
  for (std::size_t i = 0; i < text.size(); ++i, ++length) {
    const auto byte = static_cast<unsigned char>(text[i]);
    if (byte >= 0x80) {
      if ((byte != 0xc2 && byte != 0xc3) || i + 1 == text.size() ||
          (static_cast<unsigned char>(text[i + 1]) & 0xc0) != 0x80)
        return -1;
      ++i;
    }
  }
  return length;
}

std::string lowerCase(std::string text) {
  for (char& c : text)
    c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return text;
}

// Every key and pad control is read back from its file name in any case, and
// shows a short Latin-1 name; a printable key shows the layout's letter.
TEST(BindingsTest, KeysAndPadControlsAreNamedForTheFileAndTheScreen) {
  int keys = 0;
  for (int code = -1; code <= GLFW_KEY_LAST + 1; ++code) {
    const char* name = keyFileName(code);
    if (!name)
      continue;
    ++keys;
    EXPECT_EQ(keyFromFileName(" \t" + lowerCase(name) + " "), code) << name;
    const std::string shown = keyDisplayName(code, nullptr);
    EXPECT_GE(latin1Length(shown), 1) << name;
    EXPECT_LE(latin1Length(shown), 14) << name << " shows as " << shown;
  }
  EXPECT_EQ(keys, 120); // every GLFW_KEY_ but UNKNOWN
  EXPECT_FALSE(keyFromFileName("QQ").has_value());
  EXPECT_FALSE(keyFromFileName("GLFW_KEY_A").has_value());
  EXPECT_FALSE(keyFromFileName("").has_value());
  EXPECT_EQ(keyFromFileName("kp_enter"), GLFW_KEY_KP_ENTER);

  EXPECT_EQ(keyDisplayName(GLFW_KEY_Q, "a"), "A");                       // AZERTY: the key at Q is labelled A
  EXPECT_EQ(keyDisplayName(GLFW_KEY_SEMICOLON, "\xc3\xb6"), "\xc3\x96"); // German: \u00f6 shows as \u00d6
  EXPECT_EQ(keyDisplayName(GLFW_KEY_MINUS, "\xc3\x9f"), "\xc3\x9f");     // \u00df has no capital in Latin-1
  EXPECT_EQ(keyDisplayName(GLFW_KEY_Q, "\xd0\xb9"), "Q");                // Cyrillic: ours
  EXPECT_EQ(keyDisplayName(GLFW_KEY_Q, "ab"), "Q");
  EXPECT_EQ(keyDisplayName(GLFW_KEY_Q, "\xc3"), "Q"); // broken UTF-8
  EXPECT_EQ(keyDisplayName(GLFW_KEY_KP_1, "1"), "Num 1");
  EXPECT_EQ(keyDisplayName(GLFW_KEY_SPACE, " "), "Leertaste");
  EXPECT_EQ(keyDisplayName(GLFW_KEY_LEFT, nullptr), "Pfeil links");
  EXPECT_EQ(keyDisplayName(GLFW_KEY_BACKSPACE, nullptr), "R\xc3\xbc"
                                                         "cktaste");
  EXPECT_EQ(keyDisplayName(33, nullptr), "Taste 33");
  EXPECT_EQ(keyDisplayName(kUnbound, nullptr), "");

  for (int control = 0; control < kPadControlCount; ++control) {
    const std::string name = padControlFileName(control);
    EXPECT_EQ(padControlFromFileName(lowerCase(name)), control) << name;
    EXPECT_GE(latin1Length(padControlDisplayName(control)), 1) << name;
    EXPECT_LE(latin1Length(padControlDisplayName(control)), 14) << name;
  }
  EXPECT_EQ(padControlFileName(kPadControlCount), nullptr);
  EXPECT_EQ(padControlFromFileName("LEFT_STICK_UP"), static_cast<int>(PadControl::LeftStickUp));
  EXPECT_EQ(padControlDisplayName(static_cast<int>(PadControl::RightBumper)), "RB");

  for (int a = 0; a < kActionCount; ++a) {
    const auto action = static_cast<Action>(a);
    EXPECT_EQ(actionFromFileName(actionFileName(action)), action);
    EXPECT_LE(latin1Length(actionLabel(action)), 14);
  }
  EXPECT_EQ(bindingLineName(Action::TurnLeft, Device::Pad), "pad_turn_left");
}

} // namespace
