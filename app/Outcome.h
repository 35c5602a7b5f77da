// The rules of scoring and of the run's end, kept apart from GL: what a kill
// is worth, and what the end of each frame does with the monitor's clips and
// the frame loop. The game applies the decisions to its monitor.
#pragma once

// What the end of a frame does, in this order.
struct OutcomeStep {
  bool endRun = false;             // the outcome clip has ended: the frame loop stops
  bool restartDefaultClip = false; // no clip is playing: the default clip starts again
  bool startGameOver = false;      // the game-over clip starts
  bool startVictory = false;       // the victory clip starts
};

class Outcome {
public:
  // The score after one more kill: 100 x combo more, never above nine nines;
  // once there it stays.
  static int scoreAfterKill(int score, int combo);
  // Decides the end of a frame from what the frame left: whether a clip
  // still plays, whether the player is out of lives, whether any enemy is
  // left, and whether an outcome clip was started before. Only one outcome
  // clip is started per run, and game over wins over victory in the frame
  // that brings both.
  static OutcomeStep afterFrame(bool clipPlaying, bool lost, bool enemiesLeft, bool outcomeShown);
};
