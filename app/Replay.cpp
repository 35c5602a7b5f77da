#include "app/Replay.h"

#include <cstdio>
#include <memory>

namespace {

using File = std::unique_ptr<std::FILE, int (*)(std::FILE*)>;

// Appends what is left of the file; false when a read fails. A folder opens
// on Linux and fails only at its first read, as does a file the system will
// not hand out (/proc/self/mem): the game says so rather than throwing.
bool readRest(std::FILE* file, std::vector<unsigned char>& bytes) {
  unsigned char chunk[1 << 16];
  for (;;) {
    const std::size_t got = std::fread(chunk, 1, sizeof chunk, file);
    bytes.insert(bytes.end(), chunk, chunk + got);
    if (got < sizeof chunk)
      return std::ferror(file) == 0;
  }
}

} // namespace

bool Replay::fail(const std::string& what, const std::string& path) {
  message = what + ": " + path;
  recorded.clear();
  next = 0;
  return false;
}

bool Replay::load(const std::string& path, std::uint64_t fingerprint) {
  recorded.clear();
  next = 0;
  message.clear();
  const File file(std::fopen(path.c_str(), "rb"), &std::fclose);
  if (!file)
    return fail("Die Aufnahme konnte nicht geoeffnet werden", path);

  // The header first: a file without it (an endless device, say) is refused
  // before anything more is read.
  unsigned char headerBytes[recording::kHeaderSize];
  const std::size_t headerRead = std::fread(headerBytes, 1, sizeof headerBytes, file.get());
  if (std::ferror(file.get()))
    return fail("Die Aufnahme konnte nicht geoeffnet werden", path);
  recording::Header header;
  if (headerRead < recording::kHeaderSize || !recording::decodeHeader(headerBytes, header))
    return fail("Die Datei ist keine Felidora-Aufnahme", path);
  if (header.version < recording::kFirstVersion || header.version > recording::kVersion)
    return fail("Die Aufnahme hat die Formatversion " + std::to_string(header.version) + ", dieses Spiel liest " +
                    std::to_string(recording::kFirstVersion) + " bis " + std::to_string(recording::kVersion),
                path);
  if (header.fingerprint != fingerprint)
    return fail("Die Aufnahme gehoert zu anderen Spieldateien", path);

  std::vector<unsigned char> body;
  if (!readRest(file.get(), body))
    return fail("Die Aufnahme konnte nicht geoeffnet werden", path);
  if (body.size() % recording::kFrameSize != 0)
    return fail("Die Aufnahme endet mitten in Bild " + std::to_string(body.size() / recording::kFrameSize + 1), path);
  recorded.resize(body.size() / recording::kFrameSize);
  for (std::size_t i = 0; i < recorded.size(); ++i)
    if (!recording::decodeFrame(body.data() + i * recording::kFrameSize, recorded[i], header.version))
      return fail("Die Aufnahme enthaelt ein ungueltiges Bild (Bild " + std::to_string(i + 1) + ")", path);
  return true;
}

bool Replay::nextFrame(recording::Frame& frame) {
  if (next >= recorded.size())
    return false;
  frame = recorded[next++];
  return true;
}
