// The file format of a recorded game, shared by Recording (which writes it)
// and Replay (which reads it). All numbers are little-endian.
//
//   header, 20 bytes:  "FELIDREC" | format version, uint32 | content fingerprint, uint64
//   each frame, 10 bytes: frame time in seconds, IEEE 754 double | held keys, uint16 (bit i: GameKey i)
//
// Version 1 knew the keys up to F9; version 2 added M (bit 15). Both replay.
// The version also names the rules a frame is played by: changing those
// (how a recorded frame's time and keys reach the update, such as sub-steps)
// raises it, bytes unchanged or not.
//
// The frames follow the header until the end of the file; a file written by a
// game that was killed simply ends after its last whole frame.
#pragma once

#include "app/KeyFlags.h"

#include <cstddef>
#include <cstdint>

namespace recording {

constexpr char kMagic[8] = {'F', 'E', 'L', 'I', 'D', 'R', 'E', 'C'};
constexpr std::uint32_t kVersion = 2;
constexpr std::uint32_t kFirstVersion = 1;
constexpr std::size_t kHeaderSize = 20;
constexpr std::size_t kFrameSize = 10;
static_assert(kGameKeyCount <= 16, "the keys of a frame are stored in 16 bits");

struct Header {
  std::uint32_t version = kVersion;
  std::uint64_t fingerprint = 0;
};

struct Frame {
  double dt = 0.0;
  KeySnapshot keys;
};

void encodeHeader(const Header& header, unsigned char out[kHeaderSize]);
// False when the bytes do not start with the magic.
bool decodeHeader(const unsigned char in[kHeaderSize], Header& header);
void encodeFrame(const Frame& frame, unsigned char out[kFrameSize]);
// False for a frame no game could have played: a frame time that is negative
// or not finite, or key bits beyond the keys of the file's version.
bool decodeFrame(const unsigned char in[kFrameSize], Frame& frame, std::uint32_t version = kVersion);

// A fingerprint of every file the game reads (the content folders under the
// working directory): names, sizes and contents.
std::uint64_t contentFingerprint();

} // namespace recording
