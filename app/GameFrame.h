// One frame of the game, played by one call: the same call serves a desktop's
// while loop and a browser's animation frame. It never waits: a paused game
// says it is idle, and the loop around it waits for the next event (on the
// desktop) or for the next animation frame (in a browser).
//
// The frame's steps, in order: read the frame's time and input; end on
// Escape or a closed window; follow the window (the mode asked for, its
// picture needed again, its size); play the frame unless paused; draw it;
// report a GL error.
//
// While paused the picture stands still: it is drawn when the pause begins and
// again only when the window needs it (exposed, resized, switched by F11 or
// Alt+Enter).
#pragma once

class FrameSource;
class FrameActions;

// What the loop does after a frame.
enum class AfterFrame {
  End,      // the game is over: the recorded game ran out, Escape, the window closed, or the outcome clip ended
  Continue, // the next frame at once
  Idle,     // paused with its picture standing: the next frame after an event or a short while
};

class GameFrame {
public:
  GameFrame(FrameSource& source, FrameActions& actions) : source(source), actions(actions) {}

  AfterFrame play();

private:
  FrameSource& source;
  FrameActions& actions;
  bool pausedPictureShown = false;
  bool windowChanged = false;
};
