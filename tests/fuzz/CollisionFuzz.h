// Differential check of the collision models: a triangle soup, placements and
// spheres decoded from a fuzz input, each sphere answered by the model's tree
// and by the brute-force reference.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace felidora::fuzz {

// Runs one input; returns a description of the first disagreement beyond
// rounding, or an empty string when every answer agrees.
std::string checkCollisionCase(const std::uint8_t* data, std::size_t size);

} // namespace felidora::fuzz
