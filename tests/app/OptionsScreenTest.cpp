// The options screen's decisions without GL: a rebinding that takes a key
// from another action and marks it on the page, the keys no player can bind
// away, a waiting rebinding cancelled, the reset, and the rows scrolling
// with the selection.
#include "app/OptionsScreen.h"

#include <GLFW/glfw3.h>
#include <gtest/gtest.h>

namespace {

struct OptionsScreenTest : ::testing::Test {
  Settings settings;
  OptionsScreen screen{settings, nullptr};

  void SetUp() override { screen.open(); }
  unsigned keys(std::vector<int> pressed) { return screen.handle(pressed, PadControls{}); }
  unsigned pad(PadControl control) {
    PadControls pressed;
    pressed.set(static_cast<std::size_t>(control));
    return screen.handle({}, pressed);
  }
  const OptionsRow& row(Action action) const { return screen.page().rows[static_cast<std::size_t>(action)]; }
  void selectRow(int wanted) {
    while (screen.selectedRow() != wanted)
      keys({GLFW_KEY_DOWN});
  }
};

TEST_F(OptionsScreenTest, AKeyTakenFromAnotherActionLeavesItMarkedUntilItIsBoundAgain) {
  selectRow(static_cast<int>(Action::Boost));
  EXPECT_EQ(keys({GLFW_KEY_ENTER, GLFW_KEY_A}), OptionsScreen::kPage) << "the press that starts waiting is not its key";
  EXPECT_TRUE(screen.waiting());
  EXPECT_TRUE(row(Action::Boost).waiting);
  EXPECT_EQ(keys({GLFW_KEY_A}), OptionsScreen::kPage | OptionsScreen::kBindings);
  EXPECT_EQ(settings.bindings.of(Action::Boost, Device::Keyboard), (ActionBinding{GLFW_KEY_A, kUnbound}));
  EXPECT_EQ(settings.bindings.of(Action::Brake, Device::Keyboard), (ActionBinding{kUnbound, kUnbound}));
  EXPECT_TRUE(row(Action::Brake).keysMarked);
  EXPECT_FALSE(row(Action::Brake).padMarked);
  EXPECT_NE(screen.page().notice.find(row(Action::Brake).label), std::string::npos) << screen.page().notice;

  // the pad's right bumper, boost's, goes to the brake by pad; then a key
  keys({GLFW_KEY_DOWN, GLFW_KEY_ENTER});
  pad(PadControl::RightBumper);
  EXPECT_TRUE(row(Action::Boost).padMarked);
  keys({GLFW_KEY_ENTER});
  keys({GLFW_KEY_Q});
  EXPECT_FALSE(row(Action::Brake).keysMarked);
  EXPECT_EQ(row(Action::Brake).keys, "Q");
}

TEST_F(OptionsScreenTest, EscapeAndTheOptionsKeysCannotBeBoundAndAWaitCanBeCancelledOrReset) {
  selectRow(static_cast<int>(Action::Fire));
  const Bindings before = settings.bindings;
  keys({GLFW_KEY_ENTER});
  EXPECT_EQ(keys({GLFW_KEY_F10}), OptionsScreen::kPage);
  EXPECT_TRUE(screen.waiting()) << "refused, it still waits";
  pad(kOptionsPadButton);
  EXPECT_FALSE(screen.waiting()) << "the pad's options button cancels";
  keys({GLFW_KEY_ENTER});
  EXPECT_EQ(keys({GLFW_KEY_ESCAPE}), OptionsScreen::kPage);
  EXPECT_FALSE(screen.waiting());
  EXPECT_TRUE(screen.isOpen()) << "Escape cancelled the wait, not the screen";
  EXPECT_EQ(settings.bindings, before);

  keys({GLFW_KEY_ENTER});
  keys({GLFW_KEY_K});
  keys({GLFW_KEY_DOWN, GLFW_KEY_DELETE});
  keys({GLFW_KEY_RIGHT, GLFW_KEY_RIGHT}); // on an action's row: nothing
  EXPECT_NE(settings.bindings, before);
  selectRow(static_cast<int>(screen.page().rows.size()) - 1);
  EXPECT_EQ(screen.page().rows.back().label, "Standard wiederherstellen");
  EXPECT_LE(screen.page().firstVisibleRow, screen.selectedRow());
  EXPECT_GT(screen.page().firstVisibleRow + kOptionsVisibleRows, screen.selectedRow()) << "scrolled into view";
  EXPECT_EQ(keys({GLFW_KEY_ENTER}), OptionsScreen::kPage | OptionsScreen::kBindings);
  EXPECT_EQ(settings.bindings, defaultBindings());
  EXPECT_EQ(keys({GLFW_KEY_ESCAPE}), OptionsScreen::kClosed);
  EXPECT_FALSE(screen.isOpen());
}

} // namespace
