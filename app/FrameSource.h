// Where each frame's time and keys come from: the clock and the input reader
// (the keyboard and the pads), or a recorded game played back; beside either,
// a recording that keeps what was played. The frame asks it once and hands the
// time and keys on; nothing else reads the clock or the input. Escape, a
// closed window and the window mode are read in a replay too.
//
// It also keeps the pause of a live game: P, Pause or a pad's Start pause and
// resume, and the window losing its focus or being iconified pauses (only the
// player resumes). A paused frame is not played: its time is dropped and its
// flight keys reach nothing, so the recording holds only played frames and
// their times add up to the time played, and a replay plays straight through.
// M and the function keys pressed while paused are kept: they count as held in
// the first played frame, whose recorded keys hold them, so a replay of it
// mutes, toggles and starts clips exactly where the game did.
#pragma once

#include "app/FrameInput.h"
#include "app/RecordingFormat.h"

#include <functional>
#include <memory>
#include <string>

class Game;
class Recording;
class Replay;

class FrameSource {
public:
  FrameSource();
  ~FrameSource();
  FrameSource(const FrameSource&) = delete;
  FrameSource& operator=(const FrameSource&) = delete;

  // Reads and checks the replay (an empty path: play live) and creates the
  // recording (an empty path: none), before the window opens, so a bad file
  // costs nothing but its message. False (see error()) when either fails.
  bool open(const std::string& replayPath, const std::string& recordPath);
  const std::string& error() const { return message; }
  bool replaying() const { return replay != nullptr; }

  // A replay may draw only the first of every n frames (value, a whole number
  // from 1 in plain digits), so a long recording replays in a fraction of its
  // time; the game still steps through every frame. An empty value, or live
  // play, draws every frame. False (see error()) for anything else, also in
  // live play: a mistyped setting is said, not ignored.
  bool drawReplayEvery(const std::string& value);

  // The clock that live frames are measured with (glfwGetTime unless told
  // otherwise), in seconds.
  void useClock(std::function<double()> now);

  // Where each frame's input comes from (DesktopInput in the game, a script in
  // a test); without one nothing is ever pressed.
  void useInput(std::function<FrameInput()> read);

  // From now on the clock counts: the first frame's time runs from here, not
  // from start-up.
  void startClock();

  // Reads the frame's input once: this frame's time and keys, measured and
  // read, or the next recorded ones; the pause keys and the window leaving in
  // live play; the quit and window-mode requests. False once the replay has
  // run out.
  bool next(recording::Frame& frame);

  // This frame's input as read by next().
  const FrameInput& frameInput() const { return input; }
  // A closed window, as this frame's input said.
  bool quitRequested() const { return input.quit; }
  // The full screen's key or Alt+Enter, as this frame's input said.
  bool windowModeRequested() const { return input.windowMode; }

  // While a menu is open (the options screen) the game is paused as with the
  // pause key, which does nothing meanwhile; the menu's keys are its own, so
  // nothing pressed in it is kept for the game. Opened in a frame, the pause
  // begins after it.
  void setMenuOpen(bool open) { menuOpen = open; }

  // Unless the game was paused when the frame began, the frame reaches the
  // update: its keys (with those kept through a pause) are applied to
  // KeyFlags, the recording keeps them and the summary counts the frame; true
  // then. A paused frame only keeps its M and function keys. A pause asked for
  // in a frame begins after it; the frame that ends a pause only starts the
  // clock again.
  bool applyAndRecord(const recording::Frame& frame);

  // Whether this frame is drawn and presented: every frame but in a thinned
  // replay. Asked once a frame.
  bool drawsFrame();

  // Whether the game is paused once this frame's input is read (or a menu
  // opened since).
  bool paused() const { return pause || menuOpen; }

  // Closes the recording and prints, for a recording and for a replay, the
  // line that decides the game, in the same format for both.
  void printSummaries(const Game& game);

private:
  std::unique_ptr<Replay> replay;
  std::unique_ptr<Recording> recording;
  std::function<double()> clock;
  std::function<FrameInput()> readInput;
  FrameInput input; // this frame's
  double previousTime = 0.0;
  bool pause = false;
  bool pauseKeyHeld = false;
  bool menuOpen = false;
  bool frameRuns = true;
  bool frameInMenu = false; // the menu was open when the frame's input was read
  KeySnapshot keptKeys;     // pressed while paused, for the first played frame
  long long framesPlayed = 0;
  long long drawInterval = 1;
  long long framesDrawnOrSkipped = 0;
  std::string message;
};
