#include "app/FrameSource.h"

#include "app/GameSummary.h"
#include "app/KeyFlags.h"
#include "app/Recording.h"
#include "app/Replay.h"
#include "base/Console.h"

#include <GLFW/glfw3.h>

#include <charconv>
#include <filesystem>
#include <ostream>
#include <system_error>
#include <utility>

namespace {

// The keys that set the program rather than steer the flight: M and the
// function keys. A flight key held while paused moves nothing, ever.
KeySnapshot keptWhilePaused() {
  KeySnapshot keys;
  for (GameKey key :
       {GameKey::F1, GameKey::F2, GameKey::F3, GameKey::F4, GameKey::F5, GameKey::F8, GameKey::F9, GameKey::M})
    keys.set(static_cast<std::size_t>(key));
  return keys;
}

} // namespace

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
  drawInterval = 1;
  if (value.empty())
    return true;
  // digits only: no sign, no space, nothing after, and no more than fits
  long long interval = 0;
  const char* end = value.data() + value.size();
  const std::from_chars_result read = std::from_chars(value.data(), end, interval);
  if (value.front() < '0' || value.front() > '9' || read.ec != std::errc() || read.ptr != end || interval < 1) {
    message = "FELIDORA_REPLAY_DRAW_EVERY braucht eine ganze Zahl ab 1: " + value;
    return false;
  }
  if (replaying())
    drawInterval = interval;
  return true;
}

bool FrameSource::drawsFrame() { return framesDrawnOrSkipped++ % drawInterval == 0; }

void FrameSource::useClock(std::function<double()> now) { clock = std::move(now); }

void FrameSource::useInput(std::function<FrameInput()> read) { readInput = std::move(read); }

void FrameSource::startClock() { previousTime = clock ? clock() : glfwGetTime(); }

bool FrameSource::next(recording::Frame& frame) {
  if (replay) {
    // a replay plays straight through: only the program's requests count
    input = readInput ? readInput() : FrameInput{};
    frameRuns = true;
    return replay->nextFrame(frame); // false: the recorded game is over
  }
  // the time between two readings as measured: the game's update is what
  // shortens a stall, so that a replay of this frame does the same
  const double now = clock ? clock() : glfwGetTime();
  frame.dt = now - previousTime;
  previousTime = now;
  input = readInput ? readInput() : FrameInput{};
  frame.keys = input.keys;

  frameRuns = !pause && !menuOpen;
  frameInMenu = menuOpen;
  if (input.pause && !pauseKeyHeld && !menuOpen)
    pause = !pause;
  pauseKeyHeld = input.pause;
  if (input.windowLeft)
    pause = true;
  return true;
}

bool FrameSource::applyAndRecord(const recording::Frame& frame) {
  if (!frameRuns) {
    if (!frameInMenu)
      keptKeys |= frame.keys & keptWhilePaused();
    return false;
  }
  // what was kept through a pause is held in this frame, and recorded so
  const KeySnapshot keys = frame.keys | keptKeys;
  keptKeys.reset();
  applyKeys(keys);
  if (recording)
    recording->writeFrame(frame.dt, keys);
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
