// One frame of the game, played by one call: the same call serves a desktop's
// while loop and a browser's animation frame. It never waits: a paused game
// says it is idle, and the loop around it waits for the next event (on the
// desktop) or for the next animation frame (in a browser).
//
// The frame's steps, in order: read the frame's time and input; end on a
// closed window, or on Escape unless the options screen is open (there it
// steps back out); open the options screen, or hand it the frame's presses;
// follow the window (the mode asked for, its picture needed again, its size);
// play the frame unless paused; show the pause and the options page; draw it;
// report a GL error.
//
// While paused the picture stands still: it is drawn when the pause begins and
// again only when the window needs it (exposed, resized, switched by F11 or
// Alt+Enter) or the options page changes.
#pragma once

class FrameSource;
class FrameActions;
class OptionsScreen;

// What the loop does after a frame.
enum class AfterFrame {
  End,      // the game is over: the recorded game ran out, Escape, the window closed, or the outcome clip ended
  Continue, // the next frame at once
  Idle,     // paused with its picture standing: the next frame after an event or a short while
};

class GameFrame {
public:
  // Without an options screen (a test's frame), F10 does nothing.
  GameFrame(FrameSource& source, FrameActions& actions, OptionsScreen* options = nullptr)
      : source(source), actions(actions), options(options) {}

  AfterFrame play();

private:
  // What the options screen did in this frame.
  enum class PageStep { None, Shown, Closed };
  // Opens the options screen on its key in live play, or hands it the
  // frame's presses while open.
  PageStep followOptions();

  FrameSource& source;
  FrameActions& actions;
  OptionsScreen* options;
  bool pausedPictureShown = false;
  bool windowChanged = false;
};
