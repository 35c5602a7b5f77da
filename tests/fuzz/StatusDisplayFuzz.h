// Safety check of the status display's decisions: random sequences of player
// values, statistics, filter settings and frame times; every write must lie in
// the screen texture and in its element, name an image that exists, and never
// make an upload read past an image.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace felidora::fuzz {

// Runs one input; returns a description of the first violation, or an empty
// string when every frame's writes are sound.
std::string checkStatusDisplayCase(const std::uint8_t* data, std::size_t size);

} // namespace felidora::fuzz
