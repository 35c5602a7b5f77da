#include "app/FrameSource.h"

#include "app/Console.h"
#include "app/GameSummary.h"
#include "app/KeyFlags.h"
#include "app/Recording.h"
#include "app/Replay.h"

#include <GLFW/glfw3.h>

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

void FrameSource::startClock() { previousTime = glfwGetTime(); }

bool FrameSource::next(recording::Frame& frame) {
  if (replay) {
    if (!replay->nextFrame(frame))
      return false; // the recorded game is over
    applyKeys(frame.keys);
    return true;
  }
  // the time between two readings, neither clamped nor smoothed
  const double now = glfwGetTime();
  frame.dt = now - previousTime;
  previousTime = now;
  frame.keys = pollKeys();
  return true;
}

void FrameSource::played(const recording::Frame& frame) {
  if (recording)
    recording->writeFrame(frame.dt, frame.keys);
  ++framesPlayed;
}

void FrameSource::printSummaries(const Game& game) {
  if (recording) {
    recording->close();
    messageStream() << "Aufnahme: " << gameSummary(game, framesPlayed) << std::endl;
  }
  if (replay)
    messageStream() << "Wiedergabe: " << gameSummary(game, framesPlayed) << std::endl;
}
