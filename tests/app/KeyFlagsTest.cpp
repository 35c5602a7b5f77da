// Keyboard polling: held entries follow their keys, F3 and F9 toggle GL state
// once per press however long the key is held.
#include "app/KeyFlags.h"
#include "tests/support/GlContext.h"

#include <GL/glew.h>
#include <GLFW/glfw3.h>
#include <gtest/gtest.h>

#include <set>

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
    glPolygonMode(GL_FRONT_AND_BACK, GL_FILL);
    glEnable(GL_BLEND);
  }
  void TearDown() override {
    glPolygonMode(GL_FRONT_AND_BACK, GL_FILL);
    glEnable(GL_BLEND);
    KeyFlags = KeyFlagTable{};
  }
  static GLint polygonMode() {
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
TEST(KeyMergeTest, HeldKeysFollowThePollsAndATapBetweenTwoPollsCountsOnce) {
  recordKeyEvent(GLFW_KEY_LEFT, GLFW_PRESS);
  int heldPolls = 0;
  for (int poll = 0; poll < 7; ++poll) {
    recordKeyEvent(GLFW_KEY_LEFT, GLFW_REPEAT);
    heldPolls += mergeKeyState(GLFW_KEY_LEFT, true);
  }
  recordKeyEvent(GLFW_KEY_LEFT, GLFW_RELEASE);
  for (int poll = 0; poll < 3; ++poll)
    heldPolls += mergeKeyState(GLFW_KEY_LEFT, false);
  EXPECT_EQ(heldPolls, 7);

  // two taps between the same two polls still make one frame of fire
  recordKeyEvent(GLFW_KEY_SPACE, GLFW_PRESS);
  recordKeyEvent(GLFW_KEY_SPACE, GLFW_RELEASE);
  recordKeyEvent(GLFW_KEY_SPACE, GLFW_PRESS);
  recordKeyEvent(GLFW_KEY_SPACE, GLFW_RELEASE);
  int tapPolls = 0;
  for (int poll = 0; poll < 3; ++poll)
    tapPolls += mergeKeyState(GLFW_KEY_SPACE, false);
  EXPECT_EQ(tapPolls, 1);

  recordKeyEvent(GLFW_KEY_UNKNOWN, GLFW_PRESS);
  recordKeyEvent(GLFW_KEY_LAST + 1, GLFW_PRESS);
  EXPECT_FALSE(mergeKeyState(GLFW_KEY_UNKNOWN, false));
  EXPECT_FALSE(mergeKeyState(GLFW_KEY_LAST + 1, false));
}

} // namespace
