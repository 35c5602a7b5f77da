#include "app/RecordingFormat.h"

#include "base/ContentFiles.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace recording {
namespace {

void putLittleEndian(std::uint64_t value, int bytes, unsigned char* out) {
  for (int i = 0; i < bytes; ++i)
    out[i] = static_cast<unsigned char>(value >> (8 * i));
}

std::uint64_t getLittleEndian(const unsigned char* in, int bytes) {
  std::uint64_t value = 0;
  for (int i = 0; i < bytes; ++i)
    value |= static_cast<std::uint64_t>(in[i]) << (8 * i);
  return value;
}

// 64-bit FNV-1a: simple, and plenty to tell one set of files from another.
class Fnv1a {
public:
  void add(const void* data, std::size_t size) {
    const auto* bytes = static_cast<const unsigned char*>(data);
    for (std::size_t i = 0; i < size; ++i) {
      hash ^= bytes[i];
      hash *= 0x100000001b3ULL;
    }
  }
  std::uint64_t value() const { return hash; }

private:
  std::uint64_t hash = 0xcbf29ce484222325ULL;
};

} // namespace

void encodeHeader(const Header& header, unsigned char out[kHeaderSize]) {
  std::memcpy(out, kMagic, sizeof kMagic);
  putLittleEndian(header.version, 4, out + 8);
  putLittleEndian(header.fingerprint, 8, out + 12);
}

bool decodeHeader(const unsigned char in[kHeaderSize], Header& header) {
  if (std::memcmp(in, kMagic, sizeof kMagic) != 0)
    return false;
  header.version = static_cast<std::uint32_t>(getLittleEndian(in + 8, 4));
  header.fingerprint = getLittleEndian(in + 12, 8);
  return true;
}

void encodeFrame(const Frame& frame, unsigned char out[kFrameSize]) {
  std::uint64_t bits = 0;
  static_assert(sizeof bits == sizeof frame.dt, "a double is 64 bits");
  std::memcpy(&bits, &frame.dt, sizeof bits);
  putLittleEndian(bits, 8, out);
  putLittleEndian(frame.keys.to_ulong(), 2, out + 8);
}

bool decodeFrame(const unsigned char in[kFrameSize], Frame& frame, std::uint32_t version) {
  const int keyCount = version == 1 ? static_cast<int>(GameKey::M) : kGameKeyCount;
  const std::uint64_t bits = getLittleEndian(in, 8);
  std::memcpy(&frame.dt, &bits, sizeof bits);
  const std::uint64_t keys = getLittleEndian(in + 8, 2);
  if (!std::isfinite(frame.dt) || frame.dt < 0.0 || (keys >> keyCount) != 0)
    return false;
  frame.keys = KeySnapshot(keys);
  return true;
}

std::uint64_t contentFingerprint() {
  namespace fs = std::filesystem;
  // NOTE: names with "/" and sorted as plain bytes: Windows lists "\\" and
  // orders paths its own way, and the same content must give the same value.
  std::vector<std::string> files;
  for (const char* folder : content::kFolders) {
    std::error_code error;
    for (fs::recursive_directory_iterator it(folder, error), end; !error && it != end; it.increment(error))
      if (it->is_regular_file(error))
        files.push_back(it->path().generic_string());
  }
  std::sort(files.begin(), files.end());

  Fnv1a hash;
  std::vector<char> buffer(1 << 16);
  for (const std::string& name : files) {
    hash.add(name.c_str(), name.size() + 1);
    std::ifstream in(fs::path(name), std::ios::binary);
    std::uint64_t size = 0;
    while (in) {
      in.read(buffer.data(), static_cast<std::streamsize>(buffer.size()));
      const auto got = static_cast<std::size_t>(in.gcount());
      hash.add(buffer.data(), got);
      size += got;
    }
    // the size closes each file, so no two sets of files hash the same bytes
    unsigned char sizeBytes[8];
    putLittleEndian(size, 8, sizeBytes);
    hash.add(sizeBytes, sizeof sizeBytes);
  }
  return hash.value();
}

} // namespace recording
