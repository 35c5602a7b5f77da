#include "app/FrameSource.h"

#include "app/Console.h"
#include "app/GameSummary.h"
#include "app/KeyFlags.h"
#include "app/Recording.h"
#include "app/Replay.h"

#include <GLFW/glfw3.h>

#include <cstdlib>
#include <filesystem>
#include <ostream>
#include <system_error>

FrameSource::FrameSource() = default;
FrameSource::~FrameSource() = default;

bool FrameSource::open(const std::string& replayPath, const std::string& recordPath) {
  if (replayPath.empty() && recordPath.empty())
    return true;
  const std::uint64_t fingerprint = recording::contentFingerprint();
  if (!replayPath.empty()) {
    replay = std::make_unique<Replay>();
    if (!replay->load(replayPath, fingerprint)) {
      message = replay->error();
      return false;
    }
  }
  if (!recordPath.empty()) {
    std::error_code error;
    if (!replayPath.empty() && std::filesystem::equivalent(replayPath, recordPath, error)) {
      message = "Aufnahme und Wiedergabe nennen dieselbe Datei: " + recordPath;
      return false;
    }
    recording = std::make_unique<Recording>();
    if (!recording->open(recordPath, fingerprint)) {
      message = recording->error();
      return false;
    }
  }
  return true;
}

bool FrameSource::drawReplayEvery(const std::string& value) {
  if (!replaying() || value.empty())
    return true;
  char* end = nullptr;
  drawInterval = std::strtoll(value.c_str(), &end, 10);
  if (*end != '\0' || drawInterval < 1) {
    drawInterval = 1;
    message = "FELIDORA_REPLAY_DRAW_EVERY braucht eine ganze Zahl ab 1: " + value;
    return false;
  }
  return true;
}

bool FrameSource::drawsFrame() { return framesDrawnOrSkipped++ % drawInterval == 0; }

void FrameSource::useClock(double (*now)()) { clock = now; }

void FrameSource::startClock() { previousTime = clock ? clock() : glfwGetTime(); }

bool FrameSource::next(recording::Frame& frame) {
  if (replay) {
    frameRuns = true;
    return replay->nextFrame(frame); // false: the recorded game is over
  }
  // the time between two readings as measured: the game's update is what
  // shortens a stall, so that a replay of this frame does the same
  const double now = clock ? clock() : glfwGetTime();
  frame.dt = now - previousTime;
  previousTime = now;
  frame.keys = readKeys();

  frameRuns = !pause;
  const bool pauseKey = pausePressed();
  if (pauseKey && !pauseKeyHeld)
    pause = !pause;
  pauseKeyHeld = pauseKey;
  if (windowLeft())
    pause = true;
  return true;
}

bool FrameSource::played(const recording::Frame& frame) {
  if (!frameRuns)
    return false;
  applyKeys(frame.keys);
  if (recording)
    recording->writeFrame(frame.dt, frame.keys);
  ++framesPlayed;
  return true;
}

void FrameSource::printSummaries(const Game& game) {
  if (recording) {
    recording->close();
    messageStream() << "Aufnahme: " << gameSummary(game, framesPlayed) << std::endl;
  }
  if (replay)
    messageStream() << "Wiedergabe: " << gameSummary(game, framesPlayed) << std::endl;
}
