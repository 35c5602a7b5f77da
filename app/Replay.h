// A recorded game read back for replay: the whole file is read and checked
// when it is loaded, before the game opens its window, so a bad file costs
// nothing but its message. Then each frame gives its time and keys in turn.
#pragma once

#include "app/RecordingFormat.h"

#include <cstdint>
#include <string>
#include <vector>

class Replay {
public:
  // Reads and checks the file: it must open and read, carry the magic and this
  // format's version, belong to the content with this fingerprint, and hold
  // only whole, valid frames. False (see error()) otherwise.
  bool load(const std::string& path, std::uint64_t fingerprint);

  // The next frame, or false at the end of the recording.
  bool nextFrame(recording::Frame& frame);

  long long frames() const { return static_cast<long long>(recorded.size()); }
  long long framesPlayed() const { return static_cast<long long>(next); }
  const std::string& error() const { return message; }

private:
  bool fail(const std::string& what, const std::string& path);

  std::vector<recording::Frame> recorded;
  std::size_t next = 0;
  std::string message;
};
