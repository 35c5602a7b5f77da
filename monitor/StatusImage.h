// One picture of the monitor's status display, decoded once at start-up so
// that writing it is a single texture upload: RGBA, 8 bits per channel, rows
// bottom-up (the first row is the picture's bottom row), exactly
// width x height x 4 bytes.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

class StatusImage {
public:
  // Decodes a PNG through DevIL. A file that does not load leaves the image
  // empty; nothing is reported (missing images are silent).
  bool load(const std::string& path);

  // Whether the image holds a picture of exactly this size, the only case in
  // which it may be written into a rectangle of that size.
  bool fits(int rectWidth, int rectHeight) const;

  std::vector<std::uint8_t> pixels;
  int width = 0; // as loaded
  int height = 0;
};
