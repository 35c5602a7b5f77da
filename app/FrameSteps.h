// How a frame's time is played, kept apart from GL: a frame longer than the
// longest movement step moves the world in equal sub-steps of at most that
// length, so that no collision test is skipped; a frame longer than the
// longest frame is a stall, not play, and counts as that longest frame. A
// frame up to one step is one sub-step of exactly its own time.
#pragma once

class FrameSteps {
public:
  explicit FrameSteps(double dt);

  double frameTime; // seconds the frame counts as
  int count;        // sub-steps, at least one
  double length;    // seconds each sub-step moves the world
};
