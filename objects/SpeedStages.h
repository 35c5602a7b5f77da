// The player's boost and brake, kept apart from GL: S or A alone speeds the
// player up or slows it down in two stages for at most three seconds, then
// S and A are ignored while the time built up winds down at half the rate.
// The player reads the keys into it once a frame, advances it each step and
// flies at its speed; the monitor shows its stage.
#pragma once

// The stage as the monitor's speed indicator shows it: each value is the
// number of its picture.
enum class SpeedDisplay : int {
  FullBrake = 0,
  Brake = 1,
  Neutral = 2,
  Boost = 3,
  FullBoost = 4,
  RecoverBrakeLong = 5,
  RecoverBrakeShort = 6,
  RecoverBoostShort = 7,
  RecoverBoostLong = 8,
};

class SpeedStages {
public:
  // What a step of advance started, for the sound of a boost or a brake.
  enum class Start { None, Boost, Brake };

  // The input step: S and A as held in this frame.
  void readKeys(bool boostKey, bool brakeKey);
  // One step of the update: builds up or winds down the time and sets the
  // speed and the stage.
  Start advance(double dt);

  float speed = 40.0f; // units per second
  double speedTimer = 0.0;
  bool speedRecovering = false;
  SpeedDisplay speedDisplay = SpeedDisplay::Neutral;
  bool boostActive = false;
  bool brakeActive = false;
};
