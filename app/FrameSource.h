// Where each frame's time and keys come from: the clock and the keyboard, or
// a recorded game played back; beside either, a recording that keeps what was
// played. The frame loop asks it once a frame and hands the time and keys on;
// nothing else reads the clock.
#pragma once

#include "app/RecordingFormat.h"

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

  // From now on the clock counts: the first frame's time runs from here, not
  // from start-up.
  void startClock();

  // This frame's time and keys, already applied to KeyFlags: measured and
  // polled, or the next recorded ones. False once the replay has run out.
  bool next(recording::Frame& frame);

  // The frame reaches the update: the recording keeps it, the summary counts it.
  void played(const recording::Frame& frame);

  // Closes the recording and prints, for a recording and for a replay, the
  // line that decides the game, in the same format for both.
  void printSummaries(const Game& game);

private:
  std::unique_ptr<Replay> replay;
  std::unique_ptr<Recording> recording;
  double previousTime = 0.0;
  long long framesPlayed = 0;
  std::string message;
};
