#include "monitor/OptionsPicture.h"

#include "base/MonitorScreen.h"

#include <algorithm>
#include <cstddef>
#include <string>

namespace {

using namespace monitorscreen;

// the status display's colours
constexpr Rgb kPanel{16, 22, 36};
constexpr Rgb kBand{23, 31, 50}; // every other row, a shade lighter
constexpr Rgb kWell{6, 9, 16};
constexpr Rgb kFrame{61, 92, 143};
constexpr Rgb kText{219, 235, 255};
constexpr Rgb kDimmed{122, 134, 156};
constexpr Rgb kHelp{165, 178, 200};
constexpr Rgb kAccent{255, 199, 66};
constexpr Rgb kWarn{255, 168, 51};
constexpr Rgb kBad{242, 64, 56};
constexpr Rgb kCool{89, 191, 255};

constexpr int kCellWidth = kGlyphCellWidth;
constexpr int kLine = kGlyphCellHeight;

// Horizontal places, in texel columns of the shown part.
constexpr int kMargin = 24;
constexpr int kColumnGap = 16;
constexpr int kLabelX = kShownLeft + kMargin;
constexpr int kKeysX = kLabelX + OptionsPicture::kLabelCells * kCellWidth + kColumnGap;
constexpr int kPadX = kKeysX + OptionsPicture::kKeysCells * kCellWidth + kColumnGap;
constexpr int kBarLeft = kLabelX - 8;
constexpr int kBarRight = kPadX + OptionsPicture::kPadCells * kCellWidth + 8;
constexpr int kCentre = (kShownLeft + kShownRight) / 2;
constexpr int kWideLabelCells = (kBarRight - 8 - kLabelX) / kCellWidth;
static_assert(kBarRight <= kShownRight - 8, "the three columns fit the shown part");

// Vertical places, in texel rows down from the shown part's top.
constexpr int kFrameInset = 8;
constexpr int kTitleTop = 22;
constexpr int kHeadingTop = 66;
constexpr int kUpperRuleTop = 104;
constexpr int kUpMarkTop = 110;
constexpr int kFirstRowTop = 126;
constexpr int kRowPitch = 42;
constexpr int kBarHeight = 38;
constexpr int kRowsEnd = kFirstRowTop + (kOptionsVisibleRows - 1) * kRowPitch + kBarHeight;
constexpr int kDownMarkTop = kRowsEnd + 4;
constexpr int kLowerRuleTop = kRowsEnd + 22;
constexpr int kNoticeTop = kLowerRuleTop + 10;
constexpr int kHelpTop = kNoticeTop + kLine + 10;
constexpr int kMarkHeight = 12;
static_assert(kHelpTop + kLine <= kShownTop - kShownBottom - kFrameInset - 4, "the help line fits above the frame");

// Bottom-up texel row of the lower edge of something top texels down from the
// shown part's top and height texels tall.
constexpr int rowBelow(int top, int height) { return kShownTop - top - height; }

// Text in a line of its own, centred on the page.
void centred(const GlyphAtlas& glyphs, const std::string& text, int top, Rgb colour, RgbaPicture& picture) {
  const int cells = std::min(GlyphAtlas::cells(text), OptionsPicture::kLineCells);
  glyphs.write(text, kCentre - cells * kCellWidth / 2, rowBelow(top, kLine), cells, colour, picture);
}

// A frame of lines `thickness` texels wide inside the rectangle.
void outline(RgbaPicture& picture, int x, int y, int width, int height, int thickness, Rgb colour) {
  picture.fillRectangle(x, y, width, thickness, colour);
  picture.fillRectangle(x, y + height - thickness, width, thickness, colour);
  picture.fillRectangle(x, y, thickness, height, colour);
  picture.fillRectangle(x + width - thickness, y, thickness, height, colour);
}

// A small triangle pointing up or down, centred on the page.
void mark(RgbaPicture& picture, int top, bool up, Rgb colour) {
  for (int line = 0; line < kMarkHeight; ++line) {
    const int halfWidth = (up ? line : kMarkHeight - 1 - line) + 1;
    picture.fillRectangle(kCentre - halfWidth, rowBelow(top + line, 1), 2 * halfWidth, 1, colour);
  }
}

struct Cell {
  const std::string& text;
  int x;
  int cells;
  bool marked;
};

// A row with nothing bound and nothing to set ("reset to defaults") has its
// label across the whole row.
bool wide(const OptionsRow& shown) {
  return shown.keys.empty() && shown.pad.empty() && !shown.keysMarked && !shown.padMarked;
}

// The columns' separators beside one row's place, through its bar.
void separators(RgbaPicture& picture, int top) {
  for (int x : {kKeysX - kColumnGap / 2 - 1, kPadX - kColumnGap / 2 - 1})
    picture.fillRectangle(x, rowBelow(top - 2, kRowPitch), 2, kRowPitch, kWell);
}

void row(const GlyphAtlas& glyphs, const OptionsRow& shown, int top, bool banded, RgbaPicture& picture) {
  const int barBottom = rowBelow(top, kBarHeight);
  const int textBottom = barBottom + (kBarHeight - kLine) / 2;
  Rgb text = shown.locked ? kDimmed : kText;
  Rgb warning = kWarn;
  if (shown.waiting) {
    // waiting for a key: the row stands out in gold, whatever else it is
    picture.fillRectangle(kBarLeft, barBottom, kBarRight - kBarLeft, kBarHeight, kAccent);
    text = kWell;
    warning = kBad;
  } else if (shown.selected) {
    picture.fillRectangle(kBarLeft, barBottom, kBarRight - kBarLeft, kBarHeight, kFrame);
    outline(picture, kBarLeft, barBottom, kBarRight - kBarLeft, kBarHeight, 2, kCool);
  } else if (banded) {
    picture.fillRectangle(kBarLeft, barBottom, kBarRight - kBarLeft, kBarHeight, kBand);
  }
  if (wide(shown)) {
    glyphs.write(shown.label, kLabelX, textBottom, kWideLabelCells, text, picture);
    return;
  }
  separators(picture, top);
  const Cell cells[] = {{shown.label, kLabelX, OptionsPicture::kLabelCells, false},
                        {shown.keys, kKeysX, OptionsPicture::kKeysCells, shown.keysMarked},
                        {shown.pad, kPadX, OptionsPicture::kPadCells, shown.padMarked}};
  for (const Cell& cell : cells) {
    if (cell.marked)
      outline(picture, cell.x - 6, barBottom + 2, cell.cells * kCellWidth + 12, kBarHeight - 4, 2, warning);
    glyphs.write(cell.text, cell.x, textBottom, cell.cells, cell.marked && !shown.waiting ? warning : text, picture);
  }
}

} // namespace

void OptionsPicture::compose(const OptionsPage& page, const GlyphAtlas& glyphs, int width, int height,
                             RgbaPicture& picture) {
  picture.fill(width, height, kPanel);
  const int shownHeight = kShownTop - kShownBottom;
  outline(picture, kShownLeft + kFrameInset, kShownBottom + kFrameInset, kShownRight - kShownLeft - 2 * kFrameInset,
          shownHeight - 2 * kFrameInset, 3, kFrame);

  centred(glyphs, page.title, kTitleTop, kAccent, picture);
  glyphs.write(page.keysHeading, kKeysX, rowBelow(kHeadingTop, kLine), kKeysCells, kCool, picture);
  glyphs.write(page.padHeading, kPadX, rowBelow(kHeadingTop, kLine), kPadCells, kCool, picture);
  picture.fillRectangle(kBarLeft, rowBelow(kUpperRuleTop, 2), kBarRight - kBarLeft, 2, kFrame);

  const int rows = static_cast<int>(page.rows.size());
  const int first = std::clamp(page.firstVisibleRow, 0, rows);
  const int end = std::min(first + kOptionsVisibleRows, rows);
  for (int slot = 0; slot < kOptionsVisibleRows; ++slot) {
    const int i = first + slot, top = kFirstRowTop + slot * kRowPitch;
    if (i < end)
      row(glyphs, page.rows[static_cast<std::size_t>(i)], top, i % 2 == 1, picture);
    else
      separators(picture, top);
  }
  if (first > 0)
    mark(picture, kUpMarkTop, true, kCool);
  if (end < rows)
    mark(picture, kDownMarkTop, false, kCool);

  picture.fillRectangle(kBarLeft, rowBelow(kLowerRuleTop, 2), kBarRight - kBarLeft, 2, kFrame);
  centred(glyphs, page.notice, kNoticeTop, kWarn, picture);
  centred(glyphs, page.help, kHelpTop, kHelp, picture);
}
