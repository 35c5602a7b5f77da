// The characters the monitor writes its text with: the generator's atlas of
// every printing Latin-1 character, white on transparent in fixed cells
// (base/MonitorScreen.h), loaded like a status image. Text goes into a
// picture on the processor one cell a character, tinted; the cells of a
// monospaced face line columns up without any metrics.
#pragma once

#include "monitor/RgbaPicture.h"
#include "monitor/StatusImage.h"

#include <string>

class GlyphAtlas {
public:
  // Decodes the atlas like a status image: a file that does not load, or
  // that has another size than the grid, leaves it without characters, and
  // nothing is reported.
  bool load(const std::string& path);
  bool loaded() const;

  // How many cells text takes: one a character, and one for each byte of it
  // that is not UTF-8.
  static int cells(const std::string& utf8);

  // Writes UTF-8 text into picture, its first cell's lower-left corner at
  // (x, y), each character in colour over what is there, at most maxCells
  // characters. A character outside Latin-1, a control character or a byte
  // that is not UTF-8 shows as "?". Whatever lies outside the picture is
  // left out. Returns the cells written (or that would have been, had the
  // atlas loaded).
  int write(const std::string& utf8, int x, int y, int maxCells, Rgb colour, RgbaPicture& picture) const;

private:
  void writeCell(int cell, int x, int y, Rgb colour, RgbaPicture& picture) const;

  StatusImage atlas;
};
