// What the content generator and the monitor agree on about the monitor's
// screen: the screen texture's size and the part of it the screen model
// shows, and the grid of the glyph atlas the monitor writes its text with.
#pragma once

namespace monitorscreen {

// The screen texture and the part of it that the monitor's screen shows.
constexpr int kTextureSize = 1024;
constexpr int kShownLeft = 0, kShownRight = 704;    // texel columns shown
constexpr int kShownBottom = 192, kShownTop = 1024; // texel rows shown, counted from the bottom

// The glyph atlas: every character of Latin-1 that prints (32..126 and
// 160..255), one fixed cell each, row by row from the picture's top left.
// The cells are as wide as the characters' advance, so text is cells laid
// side by side.
constexpr int kGlyphCellWidth = 13;
constexpr int kGlyphCellHeight = 32;
constexpr int kGlyphColumns = 16;
constexpr int kGlyphRows = 12;
constexpr int kGlyphAtlasWidth = kGlyphColumns * kGlyphCellWidth;
constexpr int kGlyphAtlasHeight = kGlyphRows * kGlyphCellHeight;

// The cell of a character (a Unicode code point) in the atlas, or -1 for one
// the atlas does not hold.
constexpr int glyphCell(unsigned codePoint) {
  if (codePoint >= 32 && codePoint <= 126)
    return static_cast<int>(codePoint - 32);
  if (codePoint >= 160 && codePoint <= 255)
    return static_cast<int>(codePoint - 160 + 95);
  return -1;
}

static_assert(glyphCell(255) < kGlyphColumns * kGlyphRows, "every character has a cell");

} // namespace monitorscreen
