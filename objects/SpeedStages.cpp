// Boost and brake: 80 then 120 units a second on S, 20 then a third of 40 on
// A, each stage 1.5 s, and a recovery at 40 that takes twice the time built up.
#include "objects/SpeedStages.h"

namespace {

// units per second
constexpr float kNeutralSpeed = 40.0f;
constexpr float kBoostSpeed = 80.0f;
constexpr float kFullBoostSpeed = 120.0f;
constexpr float kBrakeSpeed = 20.0f;
constexpr float kFullBrakeSpeed = 13.333333f; // 40 / 3
constexpr double kSpeedStageSeconds = 1.5;    // first stage of boost or brake
constexpr double kSpeedLimitSeconds = 3.0;    // longest boost or brake
constexpr double kRecoveryRate = 0.5;         // recovery takes twice as long

bool boosting(SpeedDisplay display) { return display == SpeedDisplay::Boost || display == SpeedDisplay::FullBoost; }
bool braking(SpeedDisplay display) { return display == SpeedDisplay::Brake || display == SpeedDisplay::FullBrake; }

} // namespace

// Both keys or neither count as neutral; switching straight from S to A (or
// back) goes on building the same time.
void SpeedStages::readKeys(bool boostKey, bool brakeKey) {
  if (speedRecovering)
    return; // S and A are ignored until the recovery is over
  if (boostKey == brakeKey) {
    speed = kNeutralSpeed;
    if (speedTimer > 0.0)
      speedRecovering = true;
    else
      boostActive = brakeActive = false;
  } else {
    boostActive = boostKey;
    brakeActive = brakeKey;
    if (speedTimer >= kSpeedLimitSeconds) {
      speed = kNeutralSpeed;
      speedTimer = kSpeedLimitSeconds;
      speedRecovering = true;
    }
  }
}

// A boost or brake starts in the step that enters its stages from any other.
SpeedStages::Start SpeedStages::advance(double dt) {
  if (speedRecovering) {
    speed = kNeutralSpeed;
    speedTimer -= kRecoveryRate * dt;
    if (speedTimer <= 0.0) {
      // Neutral until the keys are read again: the later steps of a long
      // frame must not boost or brake on the keys from before the recovery.
      speedTimer = 0.0;
      speedRecovering = false;
      boostActive = brakeActive = false;
      speedDisplay = SpeedDisplay::Neutral;
    } else if (boostActive) {
      speedDisplay =
          speedTimer <= kSpeedStageSeconds ? SpeedDisplay::RecoverBoostShort : SpeedDisplay::RecoverBoostLong;
    } else {
      speedDisplay =
          speedTimer <= kSpeedStageSeconds ? SpeedDisplay::RecoverBrakeShort : SpeedDisplay::RecoverBrakeLong;
    }
    return Start::None;
  }
  if (boostActive) {
    const Start start = boosting(speedDisplay) ? Start::None : Start::Boost;
    speedTimer += dt;
    const bool firstStage = speedTimer <= kSpeedStageSeconds;
    speedDisplay = firstStage ? SpeedDisplay::Boost : SpeedDisplay::FullBoost;
    speed = firstStage ? kBoostSpeed : kFullBoostSpeed;
    return start;
  }
  if (brakeActive) {
    const Start start = braking(speedDisplay) ? Start::None : Start::Brake;
    speedTimer += dt;
    const bool firstStage = speedTimer <= kSpeedStageSeconds;
    speedDisplay = firstStage ? SpeedDisplay::Brake : SpeedDisplay::FullBrake;
    speed = firstStage ? kBrakeSpeed : kFullBrakeSpeed;
    return start;
  }
  return Start::None;
}
