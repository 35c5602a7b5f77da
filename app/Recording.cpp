#include "app/Recording.h"

#include "app/RecordingFormat.h"
#include "base/Console.h"

Recording::~Recording() { close(); }

bool Recording::open(const std::string& path, std::uint64_t fingerprint) {
  close();
  filePath = path;
  framesWritten = 0;
  file = std::fopen(path.c_str(), "wb");
  unsigned char header[recording::kHeaderSize];
  recording::encodeHeader({recording::kVersion, fingerprint}, header);
  if (!file || std::fwrite(header, sizeof header, 1, file) != 1 || std::fflush(file) != 0) {
    message = "Die Aufnahme konnte nicht angelegt werden: " + path;
    close();
    return false;
  }
  return true;
}

void Recording::writeFrame(double dt, const KeySnapshot& keys) {
  if (!file)
    return;
  unsigned char bytes[recording::kFrameSize];
  recording::encodeFrame({dt, keys}, bytes);
  if (std::fwrite(bytes, sizeof bytes, 1, file) != 1 || std::fflush(file) != 0) {
    messageStream() << "Die Aufnahme konnte nicht weitergeschrieben werden: " << filePath << std::endl;
    close();
    return;
  }
  ++framesWritten;
}

void Recording::close() {
  if (file)
    std::fclose(file);
  file = nullptr;
}
