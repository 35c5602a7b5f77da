// The charge counts from the frame after the press: a hold of exactly three
// seconds from the press falls short by that frame's time.
#include "objects/FireTrigger.h"

namespace {
constexpr double kChargeSeconds = 3.0;
}

void FireTrigger::readKey(bool fireKey) {
  if (fireKey) {
    firePressed = !fireLatch;
    fireHeld = fireLatch;
    fireLatch = true;
  } else {
    fireLatch = firePressed = fireHeld = false;
  }
  pressFrame = firePressed;
}

void FireTrigger::continueFrame() {
  if (!firePressed)
    return;
  firePressed = false;
  fireHeld = true;
}

// The frame of the press adds nothing to the charge, also in the later steps
// of a long frame.
FireTrigger::Shot FireTrigger::advance(double dt) {
  if (firePressed)
    return Shot::Normal;
  if (fireHeld) {
    if (!pressFrame)
      chargeTime += dt;
    return Shot::None;
  }
  const bool charged = chargeTime >= kChargeSeconds;
  chargeTime = 0.0;
  return charged ? Shot::Super : Shot::None;
}
