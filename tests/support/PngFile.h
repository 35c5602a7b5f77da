// PNG helpers for tests that damage content: the size a PNG's header names,
// and a PNG of one solid colour written by cairo, not by the image library
// under test.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

namespace felidora::test {

// Width and height from the header chunk; {0, 0} when the bytes are too short.
std::pair<int, int> pngSize(const std::vector<char>& png);

// An opaque or translucent picture of width x height in one RGBA colour.
bool writeSolidPng(const std::string& path, int width, int height, const std::array<std::uint8_t, 4>& rgba);

} // namespace felidora::test
