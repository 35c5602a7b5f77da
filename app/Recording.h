// Writes a played game to a file, frame by frame, as it goes: each frame's
// time and the keys it read (format in RecordingFormat.h). Every frame is
// handed to the system at once, so a crash keeps what was played.
#pragma once

#include "app/KeyFlags.h"

#include <cstdint>
#include <cstdio>
#include <string>

class Recording {
public:
  Recording() = default;
  ~Recording();
  Recording(const Recording&) = delete;
  Recording& operator=(const Recording&) = delete;

  // Creates the file and writes its header; false (see error()) when it
  // cannot be created.
  bool open(const std::string& path, std::uint64_t fingerprint);
  // A frame that could not be written ends the recording with a message; the
  // game goes on.
  void writeFrame(double dt, const KeySnapshot& keys);
  void close();

  long long frames() const { return framesWritten; }
  const std::string& error() const { return message; }

private:
  std::FILE* file = nullptr;
  std::string filePath;
  long long framesWritten = 0;
  std::string message;
};
