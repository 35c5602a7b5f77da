#include "monitor/GlyphAtlas.h"

#include "base/MonitorScreen.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>

namespace {

using namespace monitorscreen;

constexpr unsigned kReplacement = '?';

// The next character of text from byte i on, which it passes: the code point,
// or kReplacement for a byte that begins no well-formed sequence (the byte
// alone is passed, so what follows is read again).
unsigned nextCharacter(const std::string& text, std::size_t& i) {
  const auto byte = [&text](std::size_t at) { return static_cast<unsigned char>(text[at]); };
  const unsigned lead = byte(i);
  if (lead < 0x80) {
    ++i;
    return lead;
  }
  int length = 0;
  unsigned codePoint = 0, lowest = 0;
  if (lead >= 0xC2 && lead <= 0xDF)
    length = 2, codePoint = lead & 0x1F, lowest = 0x80;
  else if (lead >= 0xE0 && lead <= 0xEF)
    length = 3, codePoint = lead & 0x0F, lowest = 0x800;
  else if (lead >= 0xF0 && lead <= 0xF4)
    length = 4, codePoint = lead & 0x07, lowest = 0x10000;
  if (length == 0 || i + static_cast<std::size_t>(length) > text.size()) {
    ++i;
    return kReplacement;
  }
  for (int k = 1; k < length; ++k) {
    const unsigned continuation = byte(i + static_cast<std::size_t>(k));
    if ((continuation & 0xC0) != 0x80) {
      ++i;
      return kReplacement;
    }
    codePoint = codePoint << 6 | (continuation & 0x3F);
  }
  // too long a form, a surrogate half or beyond Unicode: not UTF-8
  if (codePoint < lowest || (codePoint >= 0xD800 && codePoint <= 0xDFFF) || codePoint > 0x10FFFF) {
    ++i;
    return kReplacement;
  }
  i += static_cast<std::size_t>(length);
  return codePoint;
}

} // namespace

bool GlyphAtlas::load(const std::string& path) {
  atlas.load(path);
  return loaded();
}

bool GlyphAtlas::loaded() const { return atlas.fits(kGlyphAtlasWidth, kGlyphAtlasHeight); }

int GlyphAtlas::cells(const std::string& utf8) {
  int count = 0;
  for (std::size_t i = 0; i < utf8.size(); ++count)
    nextCharacter(utf8, i);
  return count;
}

int GlyphAtlas::write(const std::string& utf8, int x, int y, int maxCells, Rgb colour, RgbaPicture& picture) const {
  int written = 0;
  for (std::size_t i = 0; i < utf8.size() && written < maxCells; ++written) {
    int cell = glyphCell(nextCharacter(utf8, i));
    if (cell < 0)
      cell = glyphCell(kReplacement);
    const long long left = static_cast<long long>(x) + static_cast<long long>(written) * kGlyphCellWidth;
    if (left > -kGlyphCellWidth && left < picture.width)
      writeCell(cell, static_cast<int>(left), y, colour, picture);
  }
  return written;
}

// The cell's alpha lays the colour over the picture; a cell reaching past the
// picture's edges is cut there.
void GlyphAtlas::writeCell(int cell, int x, int y, Rgb colour, RgbaPicture& picture) const {
  if (!loaded() || !picture.whole() || y <= -kGlyphCellHeight || y >= picture.height)
    return;
  // the atlas's rows are bottom-up too: its top row of cells lies highest
  const int cellLeft = cell % kGlyphColumns * kGlyphCellWidth;
  const int cellBottom = kGlyphAtlasHeight - (cell / kGlyphColumns + 1) * kGlyphCellHeight;
  const int fromColumn = std::max(0, -x), toColumn = std::min(kGlyphCellWidth, picture.width - x);
  const int fromRow = std::max(0, -y), toRow = std::min(kGlyphCellHeight, picture.height - y);
  const std::uint8_t tint[3] = {colour.r, colour.g, colour.b};
  for (int row = fromRow; row < toRow; ++row)
    for (int column = fromColumn; column < toColumn; ++column) {
      const std::uint8_t* glyph =
          &atlas.pixels[(static_cast<std::size_t>(cellBottom + row) * kGlyphAtlasWidth + cellLeft + column) * 4];
      const unsigned alpha = glyph[3];
      if (alpha == 0)
        continue;
      std::uint8_t* texel = &picture.rgba[(static_cast<std::size_t>(y + row) * picture.width + x + column) * 4];
      for (int channel = 0; channel < 3; ++channel) {
        const unsigned source = tint[channel] * glyph[channel] / 255;
        texel[channel] = static_cast<std::uint8_t>((source * alpha + texel[channel] * (255 - alpha) + 127) / 255);
      }
      texel[3] = static_cast<std::uint8_t>(alpha + (texel[3] * (255 - alpha) + 127) / 255);
    }
}
