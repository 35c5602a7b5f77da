// The options page as a picture of the whole screen texture, composed on the
// processor from the page's text and the glyph atlas: a dark panel with the
// title, the column headings, the visible rows (label | keys | pad) with the
// selection, a waiting rebinding, marked and locked cells, marks for rows
// scrolled away, and the notice and help lines. Plain C++: what it draws is
// decided here, where it goes is the monitor's.
#pragma once

#include "monitor/GlyphAtlas.h"
#include "monitor/OptionsPage.h"
#include "monitor/RgbaPicture.h"

class OptionsPicture {
public:
  // The page into picture, made width x height (the screen texture's size);
  // the page lies in the part of the texture the screen shows.
  static void compose(const OptionsPage& page, const GlyphAtlas& glyphs, int width, int height, RgbaPicture& picture);

  // how many characters each column holds
  static constexpr int kLabelCells = 16;
  static constexpr int kKeysCells = 16;
  static constexpr int kPadCells = 16;
  static constexpr int kLineCells = 50; // title, notice and help
};
