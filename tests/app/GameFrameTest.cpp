// The frame as one call, without a window or GL: a scripted input and clock
// drive it through play, a pause and its end, a window-mode request and the
// quit, and the notes of its actions say what each frame did.
#include "app/GameFrame.h"
#include "app/FrameActions.h"
#include "app/FrameSource.h"
#include "app/KeyFlags.h"
#include "app/OptionsScreen.h"

#include <GLFW/glfw3.h>
#include <gtest/gtest.h>

#include <utility>

namespace {

struct NotedActions : FrameActions {
  bool goesOn = true;
  bool windowNeedsPicture = false;
  int played = 0;
  double timePlayed = 0.0;
  int drawn = 0;
  int toggles = 0;
  bool pauseShown = false;
  const OptionsPage* pageShown = nullptr;
  int pagesShown = 0;
  unsigned settingsApplied = 0;

  bool running() const override { return goesOn; }
  void play(double dt) override {
    ++played;
    timePlayed += dt;
  }
  void showPause(bool paused) override { pauseShown = paused; }
  void showOptions(const OptionsPage* page) override {
    pageShown = page;
    pagesShown += page != nullptr;
  }
  void applySettings(unsigned changes) override { settingsApplied |= changes; }
  void draw() override { ++drawn; }
  void toggleWindowMode() override { ++toggles; }
  bool windowChanged() override { return std::exchange(windowNeedsPicture, false); }
  void reportGlError() override {}
};

struct GameFrameTest : ::testing::Test {
  double clock = 10.0;
  FrameInput input; // what the next frame reads, used up by it
  FrameSource source;
  NotedActions actions;
  Settings settings;
  OptionsScreen options{settings, nullptr};
  GameFrame frame{source, actions, &options};

  void SetUp() override {
    KeyFlags = KeyFlagTable{};
    source.useClock([this] { return clock; });
    source.useInput([this] { return std::exchange(input, FrameInput{}); });
    source.startClock();
  }
  void TearDown() override { KeyFlags = KeyFlagTable{}; }

  AfterFrame next(double dt = 0.02) {
    clock += dt;
    return frame.play();
  }
};

// Played frames draw and go on; P pauses after its frame; the paused picture
// is drawn once and then stands, the loop told to wait, while paused time
// reaches nothing; the window asking for its picture draws it again; P again
// ends the pause with a frame that only draws, and the next one plays.
TEST_F(GameFrameTest, APauseStopsPlayAndDrawingUntilTheWindowNeedsThePictureAndPEndsIt) {
  input.keys.set(static_cast<std::size_t>(GameKey::Left));
  EXPECT_EQ(next(), AfterFrame::Continue);
  EXPECT_TRUE(KeyFlags.keyLeft);
  input.pause = true;
  EXPECT_EQ(next(), AfterFrame::Idle) << "paused from the end of this frame on";
  EXPECT_EQ(actions.played, 2);
  EXPECT_EQ(actions.drawn, 2) << "the frame that pauses draws the notice";
  EXPECT_TRUE(actions.pauseShown);

  input.pause = true; // held: no new press
  EXPECT_EQ(next(60.0), AfterFrame::Idle);
  for (int i = 0; i < 100; ++i)
    EXPECT_EQ(next(), AfterFrame::Idle);
  EXPECT_EQ(actions.played, 2);
  EXPECT_EQ(actions.drawn, 2) << "the paused picture stands";

  actions.windowNeedsPicture = true;
  EXPECT_EQ(next(), AfterFrame::Idle);
  EXPECT_EQ(actions.drawn, 3);
  EXPECT_EQ(next(), AfterFrame::Idle);
  EXPECT_EQ(actions.drawn, 3);

  input.pause = true;
  EXPECT_EQ(next(), AfterFrame::Continue);
  EXPECT_EQ(actions.played, 2) << "the frame that ends the pause only starts the clock";
  EXPECT_EQ(actions.drawn, 4);
  EXPECT_FALSE(actions.pauseShown);
  EXPECT_EQ(next(0.5), AfterFrame::Continue);
  EXPECT_EQ(actions.played, 3);
  EXPECT_NEAR(actions.timePlayed, 0.54, 1e-9) << "no paused time reached the game";
}

// The window losing its focus pauses like P, and only P resumes.
TEST_F(GameFrameTest, TheWindowLeftPausesAndOnlyPResumes) {
  input.windowLeft = true;
  EXPECT_EQ(next(), AfterFrame::Idle);
  for (int i = 0; i < 5; ++i)
    EXPECT_EQ(next(), AfterFrame::Idle);
  input.pause = true;
  EXPECT_EQ(next(), AfterFrame::Continue);
  EXPECT_EQ(next(), AfterFrame::Continue);
  EXPECT_EQ(actions.played, 2);
}

// F11 switches the window mode in its frame, playing or paused; switched while
// paused, the standing picture is drawn once more.
TEST_F(GameFrameTest, AWindowModeRequestTogglesInItsFrameAndRedrawsAPausedPicture) {
  input.windowMode = true;
  EXPECT_EQ(next(), AfterFrame::Continue);
  EXPECT_EQ(actions.toggles, 1);
  EXPECT_EQ(next(), AfterFrame::Continue);
  EXPECT_EQ(actions.toggles, 1) << "asked once, switched once";

  input.pause = true;
  next();
  next();
  const int drawn = actions.drawn;
  input.windowMode = true;
  EXPECT_EQ(next(), AfterFrame::Idle);
  EXPECT_EQ(actions.toggles, 2);
  EXPECT_EQ(actions.drawn, drawn + 1);
  EXPECT_EQ(actions.played, 3);
}

// Escape or a closed window ends the game before the frame plays or draws,
// also while paused; a game that ends itself ends after its last picture.
TEST_F(GameFrameTest, QuitEndsBeforeTheFramePlaysAndAnEndedGameAfterItsLastPicture) {
  EXPECT_EQ(next(), AfterFrame::Continue);
  input.escape = true;
  input.keys.set(static_cast<std::size_t>(GameKey::F2));
  EXPECT_EQ(next(), AfterFrame::End);
  EXPECT_EQ(actions.played, 1);
  EXPECT_EQ(actions.drawn, 1);
  EXPECT_FALSE(KeyFlags.keyF2);

  FrameSource paused;
  paused.useClock([this] { return clock; });
  paused.useInput([this] { return std::exchange(input, FrameInput{}); });
  NotedActions pausedSteps;
  GameFrame pausedFrame(paused, pausedSteps);
  input.pause = true;
  EXPECT_EQ(pausedFrame.play(), AfterFrame::Idle);
  input.quit = true;
  EXPECT_EQ(pausedFrame.play(), AfterFrame::End);

  struct EndingSteps : NotedActions {
    void play(double dt) override {
      NotedActions::play(dt);
      goesOn = false; // the outcome clip has run
    }
  } ending;
  FrameSource endingSource;
  endingSource.useClock([this] { return clock; });
  GameFrame last(endingSource, ending);
  EXPECT_EQ(last.play(), AfterFrame::End);
  EXPECT_EQ(ending.drawn, 1) << "the last frame is still drawn";
  EXPECT_EQ(last.play(), AfterFrame::End);
  EXPECT_EQ(ending.played, 1);
}

// F10 opens the options screen after its frame, and the game is paused: no
// frame plays, the page is drawn as it changes and otherwise stands. Escape
// there steps back out and does not end the game; a key the screen took (F1
// bound to fire) is not kept for the game; the next Escape quits.
TEST_F(GameFrameTest, TheOptionsScreenPausesTakesItsKeysAndEscapeStepsOutOfIt) {
  input.options = true;
  EXPECT_EQ(next(), AfterFrame::Idle);
  EXPECT_EQ(actions.played, 1) << "the frame that opens it still plays";
  EXPECT_TRUE(options.isOpen());
  EXPECT_EQ(actions.pagesShown, 1);
  const int drawn = actions.drawn;
  EXPECT_EQ(next(30.0), AfterFrame::Idle);
  EXPECT_EQ(actions.drawn, drawn) << "an unchanged page stands";

  // down to fire, rebind it to F1
  input.keysPressed = {GLFW_KEY_DOWN, GLFW_KEY_DOWN, GLFW_KEY_DOWN, GLFW_KEY_DOWN, GLFW_KEY_ENTER};
  EXPECT_EQ(next(), AfterFrame::Idle);
  EXPECT_EQ(actions.drawn, drawn + 1);
  EXPECT_TRUE(options.waiting());
  input.keysPressed = {GLFW_KEY_F1};
  input.keys.set(static_cast<std::size_t>(GameKey::F1)); // F1 is down as the bindings saw it before
  EXPECT_EQ(next(), AfterFrame::Idle);
  EXPECT_EQ(settings.bindings.of(Action::Fire, Device::Keyboard), (ActionBinding{GLFW_KEY_F1, kUnbound}));
  EXPECT_EQ(actions.settingsApplied, OptionsScreen::kBindings);

  input.escape = true;
  input.keysPressed = {GLFW_KEY_ESCAPE};
  EXPECT_EQ(next(), AfterFrame::Continue) << "Escape closes the screen, the game goes on";
  EXPECT_FALSE(options.isOpen());
  EXPECT_EQ(actions.pageShown, nullptr);
  EXPECT_FALSE(actions.pauseShown);
  EXPECT_EQ(next(), AfterFrame::Continue);
  EXPECT_EQ(actions.played, 2);
  EXPECT_FALSE(KeyFlags.keyF1) << "the key the screen took reached no game";
  EXPECT_NEAR(actions.timePlayed, 0.04, 1e-9);

  input.escape = true;
  EXPECT_EQ(next(), AfterFrame::End);
}

} // namespace
