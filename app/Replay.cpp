#include "app/Replay.h"

#include <fstream>
#include <iterator>

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
  std::ifstream in(path, std::ios::binary);
  if (!in)
    return fail("Die Aufnahme konnte nicht geoeffnet werden", path);
  const std::vector<unsigned char> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  if (in.bad())
    return fail("Die Aufnahme konnte nicht gelesen werden", path);

  recording::Header header;
  if (bytes.size() < recording::kHeaderSize || !recording::decodeHeader(bytes.data(), header))
    return fail("Die Datei ist keine Felidora-Aufnahme", path);
  if (header.version < recording::kFirstVersion || header.version > recording::kVersion)
    return fail("Die Aufnahme hat die Formatversion " + std::to_string(header.version) + ", dieses Spiel liest " +
                    std::to_string(recording::kFirstVersion) + " bis " + std::to_string(recording::kVersion),
                path);
  if (header.fingerprint != fingerprint)
    return fail("Die Aufnahme gehoert zu anderen Spieldateien", path);

  const std::size_t body = bytes.size() - recording::kHeaderSize;
  if (body % recording::kFrameSize != 0)
    return fail("Die Aufnahme endet mitten in Bild " + std::to_string(body / recording::kFrameSize + 1), path);
  recorded.resize(body / recording::kFrameSize);
  for (std::size_t i = 0; i < recorded.size(); ++i)
    if (!recording::decodeFrame(bytes.data() + recording::kHeaderSize + i * recording::kFrameSize, recorded[i],
                                header.version))
      return fail("Die Aufnahme enthaelt ein ungueltiges Bild (Bild " + std::to_string(i + 1) + ")", path);
  return true;
}

bool Replay::nextFrame(recording::Frame& frame) {
  if (next >= recorded.size())
    return false;
  frame = recorded[next++];
  return true;
}
