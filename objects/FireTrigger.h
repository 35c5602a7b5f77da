// The player's fire key, kept apart from GL: a press fires a normal shot, and
// a release after the key was held three seconds fires a super shot as well.
// The player reads the key into it once a frame and asks it each step which
// shot to fire.
#pragma once

class FireTrigger {
public:
  enum class Shot { None, Normal, Super };

  // The input step: the fire key (Space or F) as held in this frame.
  void readKey(bool fireKey);
  // Between the sub-steps of a long frame: the frame's press has fired, and
  // the key counts as held, without charging, for the rest of the frame.
  void continueFrame();
  // One step of the update: the shot this step fires, if any.
  Shot advance(double dt);

  double chargeTime = 0.0; // seconds the key has been held
  bool fireLatch = false;  // the key was down at the previous input step
  bool firePressed = false;
  bool fireHeld = false;

private:
  // The key went down in this frame, which adds nothing to the charge.
  bool pressFrame = false;
};
