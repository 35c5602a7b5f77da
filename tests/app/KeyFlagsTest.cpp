// Keyboard polling: held entries follow their keys, F3 and F9 toggle GL state
// once per press however long the key is held.
#include "app/KeyFlags.h"

#include "app/Gamepad.h"
#include "app/KeyPresses.h"
#include "render/GlFlavour.h"
#include "tests/support/GlContext.h"

#include <GL/glew.h>
#include <GLFW/glfw3.h>
#include <gtest/gtest.h>

#include <set>
#include <utility>

namespace {

struct Keyboard {
  std::set<GameKey> down;
  void poll() {
    KeySnapshot keys;
    for (GameKey k : down)
      keys.set(static_cast<std::size_t>(k));
    applyKeys(keys);
  }
};

class KeyFlagsTest : public ::testing::Test {
protected:
  void SetUp() override {
    FELIDORA_REQUIRE_GL();
    KeyFlags = KeyFlagTable{};
    render::showWireframe(false);
    glEnable(GL_BLEND);
  }
  void TearDown() override {
    render::showWireframe(false);
    glEnable(GL_BLEND);
    KeyFlags = KeyFlagTable{};
  }
  // the context's polygon mode, or where there is none the draws' own
  static GLint polygonMode() {
    if (!render::glFeatures().polygonMode)
      return render::wireframeShown() ? GL_LINE : GL_FILL;
    GLint mode[2] = {0, 0};
    glGetIntegerv(GL_POLYGON_MODE, mode);
    return mode[0];
  }
  Keyboard keyboard;
};

TEST_F(KeyFlagsTest, HeldF3SwitchesToWireframeOnceAndTheNextPressBack) {
  keyboard.down = {GameKey::F3};
  for (int frame = 0; frame < 50; ++frame) {
    keyboard.poll();
    EXPECT_EQ(polygonMode(), GL_LINE) << "frame " << frame;
  }
  EXPECT_TRUE(KeyFlags.wireframe);

  keyboard.down.clear();
  keyboard.poll();
  EXPECT_EQ(polygonMode(), GL_LINE);
  EXPECT_FALSE(KeyFlags.f3Latch);

  keyboard.down = {GameKey::F3};
  keyboard.poll();
  keyboard.poll();
  EXPECT_EQ(polygonMode(), GL_FILL);
  EXPECT_FALSE(KeyFlags.wireframe);
  EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

TEST_F(KeyFlagsTest, HeldF9DisablesBlendingOnceAndTheNextPressEnablesIt) {
  keyboard.down = {GameKey::F9};
  for (int frame = 0; frame < 50; ++frame)
    keyboard.poll();
  EXPECT_FALSE(glIsEnabled(GL_BLEND));
  EXPECT_TRUE(KeyFlags.blendDisabled);

  keyboard.down.clear();
  keyboard.poll();
  EXPECT_FALSE(glIsEnabled(GL_BLEND));

  keyboard.down = {GameKey::F9};
  keyboard.poll();
  EXPECT_TRUE(glIsEnabled(GL_BLEND));
  EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

TEST_F(KeyFlagsTest, FireStaysSetWhileSpaceOrFIsDown) {
  keyboard.down = {GameKey::Space};
  keyboard.poll();
  EXPECT_TRUE(KeyFlags.keyFire);
  keyboard.down = {GameKey::Space, GameKey::F};
  keyboard.poll();
  EXPECT_TRUE(KeyFlags.keyFire);
  keyboard.down = {GameKey::F}; // Space released, F still down
  keyboard.poll();
  EXPECT_TRUE(KeyFlags.keyFire);
  keyboard.down = {GameKey::Space, GameKey::F};
  keyboard.poll();
  keyboard.down = {GameKey::Space}; // F released, Space still down
  keyboard.poll();
  EXPECT_TRUE(KeyFlags.keyFire);
  keyboard.down.clear();
  keyboard.poll();
  EXPECT_FALSE(KeyFlags.keyFire);
}

TEST_F(KeyFlagsTest, HeldEntriesEqualTheirKeysEveryFrame) {
  const GameKey keys[] = {GameKey::Left, GameKey::Right, GameKey::Up, GameKey::Down, GameKey::S, GameKey::A,
                          GameKey::F1,   GameKey::F2,    GameKey::F4, GameKey::F5,   GameKey::F8};
  bool KeyFlagTable::*entries[] = {&KeyFlagTable::keyLeft, &KeyFlagTable::keyRight, &KeyFlagTable::keyUp,
                                   &KeyFlagTable::keyDown, &KeyFlagTable::keyS,     &KeyFlagTable::keyA,
                                   &KeyFlagTable::keyF1,   &KeyFlagTable::keyF2,    &KeyFlagTable::keyF4,
                                   &KeyFlagTable::keyF5,   &KeyFlagTable::keyF8};
  for (std::size_t i = 0; i < std::size(keys); ++i) {
    keyboard.down = {keys[i]};
    keyboard.poll();
    for (std::size_t j = 0; j < std::size(keys); ++j)
      EXPECT_EQ(KeyFlags.*entries[j], i == j) << "key " << i << " entry " << j;
  }
  keyboard.down.clear();
  keyboard.poll();
  for (auto entry : entries)
    EXPECT_FALSE(KeyFlags.*entry);
}

// The key callback's presses merged with the key states at each poll: a held
// key reads as held in exactly the polls at which it is down, a tap between
// two polls in exactly one, and codes GLFW cannot name are ignored.
// Alt+Enter (either Enter) asks for the other window mode once; Enter alone,
// a repeat or a release do not. The presses also come in their order, once.
TEST(KeyPressesTest, HeldKeysFollowThePollsATapCountsOnceAndAltEnterAsksForTheWindowModeOnce) {
  KeyPresses presses;
  presses.keyEvent(GLFW_KEY_LEFT, GLFW_PRESS);
  int heldPolls = 0;
  for (int poll = 0; poll < 7; ++poll) {
    presses.keyEvent(GLFW_KEY_LEFT, GLFW_REPEAT);
    heldPolls += presses.merge(GLFW_KEY_LEFT, true);
  }
  presses.keyEvent(GLFW_KEY_LEFT, GLFW_RELEASE);
  for (int poll = 0; poll < 3; ++poll)
    heldPolls += presses.merge(GLFW_KEY_LEFT, false);
  EXPECT_EQ(heldPolls, 7);

  // two taps between the same two polls still make one frame of fire
  presses.keyEvent(GLFW_KEY_SPACE, GLFW_PRESS);
  presses.keyEvent(GLFW_KEY_SPACE, GLFW_RELEASE);
  presses.keyEvent(GLFW_KEY_SPACE, GLFW_PRESS);
  presses.keyEvent(GLFW_KEY_SPACE, GLFW_RELEASE);
  int tapPolls = 0;
  for (int poll = 0; poll < 3; ++poll)
    tapPolls += presses.merge(GLFW_KEY_SPACE, false);
  EXPECT_EQ(tapPolls, 1);

  presses.keyEvent(GLFW_KEY_UNKNOWN, GLFW_PRESS);
  presses.keyEvent(GLFW_KEY_LAST + 1, GLFW_PRESS);
  EXPECT_FALSE(presses.merge(GLFW_KEY_UNKNOWN, false));
  EXPECT_FALSE(presses.merge(GLFW_KEY_LAST + 1, false));
  EXPECT_TRUE(presses.merge(GLFW_KEY_LAST, true));
  EXPECT_EQ(presses.takePressedKeys(), (std::vector<int>{GLFW_KEY_LEFT, GLFW_KEY_SPACE, GLFW_KEY_SPACE}));
  EXPECT_TRUE(presses.takePressedKeys().empty());

  EXPECT_FALSE(presses.takeWindowModeRequest());
  presses.keyEvent(GLFW_KEY_ENTER, GLFW_PRESS);
  presses.keyEvent(GLFW_KEY_F11, GLFW_REPEAT);
  presses.keyEvent(GLFW_KEY_F11, GLFW_RELEASE);
  presses.keyEvent(GLFW_KEY_ENTER, GLFW_RELEASE, GLFW_MOD_ALT);
  EXPECT_FALSE(presses.takeWindowModeRequest());
  for (const auto& [key, mods] :
       {std::pair{GLFW_KEY_ENTER, GLFW_MOD_ALT}, std::pair{GLFW_KEY_KP_ENTER, GLFW_MOD_ALT | GLFW_MOD_SHIFT}}) {
    presses.keyEvent(key, GLFW_PRESS, mods);
    presses.keyEvent(key, GLFW_PRESS, mods); // twice before a frame: asked once
    EXPECT_TRUE(presses.takeWindowModeRequest()) << key;
    EXPECT_FALSE(presses.takeWindowModeRequest()) << key;
  }
}

// A pad at rest, then each control: the stick only beyond its dead zone, the
// right trigger only beyond halfway, and the keys the keyboard would give.
TEST(GamepadTest, StickTriggerAndButtonsGiveTheKeyboardsKeysBeyondDeadZoneAndThreshold) {
  GLFWgamepadstate rest{};
  rest.axes[GLFW_GAMEPAD_AXIS_LEFT_TRIGGER] = rest.axes[GLFW_GAMEPAD_AXIS_RIGHT_TRIGGER] = -1.0f;
  const auto noKey = [](int) { return false; };
  const auto keysOf = [&noKey](const GLFWgamepadstate& state) {
    std::set<GameKey> keys;
    const KeySnapshot held = snapshotOf(defaultBindings(), noKey, padControls(state));
    for (int k = 0; k < kGameKeyCount; ++k)
      if (held.test(static_cast<std::size_t>(k)))
        keys.insert(static_cast<GameKey>(k));
    return keys;
  };
  EXPECT_TRUE(keysOf(rest).empty());
  const auto pause = [&noKey](const GLFWgamepadstate& state) {
    return heldAction(defaultBindings(), Action::Pause, noKey, padControls(state));
  };
  EXPECT_FALSE(pause(rest));

  const struct {
    int axis;
    float value;
    std::set<GameKey> keys;
  } axes[] = {{GLFW_GAMEPAD_AXIS_LEFT_X, -0.2f, {}},
              {GLFW_GAMEPAD_AXIS_LEFT_X, -0.5f, {GameKey::Left}},
              {GLFW_GAMEPAD_AXIS_LEFT_X, 0.9f, {GameKey::Right}},
              {GLFW_GAMEPAD_AXIS_LEFT_Y, 0.25f, {}},
              {GLFW_GAMEPAD_AXIS_LEFT_Y, -1.0f, {GameKey::Up}}, // pushed away: descend, as Up
              {GLFW_GAMEPAD_AXIS_LEFT_Y, 0.6f, {GameKey::Down}},
              {GLFW_GAMEPAD_AXIS_RIGHT_TRIGGER, -0.2f, {}},
              {GLFW_GAMEPAD_AXIS_RIGHT_TRIGGER, 0.3f, {GameKey::Space}},
              {GLFW_GAMEPAD_AXIS_LEFT_TRIGGER, 1.0f, {}}};
  for (const auto& a : axes) {
    GLFWgamepadstate state = rest;
    state.axes[a.axis] = a.value;
    EXPECT_EQ(keysOf(state), a.keys) << "axis " << a.axis << " at " << a.value;
  }

  const struct {
    int button;
    std::set<GameKey> keys;
  } buttons[] = {{GLFW_GAMEPAD_BUTTON_DPAD_LEFT, {GameKey::Left}},
                 {GLFW_GAMEPAD_BUTTON_DPAD_RIGHT, {GameKey::Right}},
                 {GLFW_GAMEPAD_BUTTON_DPAD_UP, {GameKey::Up}},
                 {GLFW_GAMEPAD_BUTTON_DPAD_DOWN, {GameKey::Down}},
                 {GLFW_GAMEPAD_BUTTON_A, {GameKey::Space}},
                 {GLFW_GAMEPAD_BUTTON_RIGHT_BUMPER, {GameKey::S}},
                 {GLFW_GAMEPAD_BUTTON_LEFT_BUMPER, {GameKey::A}},
                 {GLFW_GAMEPAD_BUTTON_Y, {GameKey::F1}},
                 {GLFW_GAMEPAD_BUTTON_BACK, {GameKey::F2}},
                 {GLFW_GAMEPAD_BUTTON_B, {}},
                 {GLFW_GAMEPAD_BUTTON_X, {}},
                 {GLFW_GAMEPAD_BUTTON_START, {}}};
  for (const auto& b : buttons) {
    GLFWgamepadstate state = rest;
    state.buttons[b.button] = GLFW_PRESS;
    EXPECT_EQ(keysOf(state), b.keys) << "button " << b.button;
    EXPECT_EQ(pause(state), b.button == GLFW_GAMEPAD_BUTTON_START) << "button " << b.button;
  }

  // keyboard and pad together: each holds what it holds, nothing is lost
  KeySnapshot keyboard, pad;
  keyboard.set(static_cast<std::size_t>(GameKey::Left));
  keyboard.set(static_cast<std::size_t>(GameKey::M));
  pad.set(static_cast<std::size_t>(GameKey::Left));
  pad.set(static_cast<std::size_t>(GameKey::Space));
  EXPECT_EQ(mergeKeys(keyboard, pad).to_ulong(), (1ul << 0) | (1ul << 4) | (1ul << 15));
  EXPECT_EQ(mergeKeys(keyboard, KeySnapshot()), keyboard);
}

} // namespace
