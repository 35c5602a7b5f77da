// Status images, drawn with cairo on the screen's panel colours. All are
// opaque: the game copies them into the screen texture as they are. The glyph
// atlas alone is transparent: the game tints its characters as it writes them.
#include "tools/StatusImages.h"

#include <cmath>

#include "base/ContentFiles.h"
#include "base/MonitorScreen.h"
#include "tools/Canvas.h"
#include "tools/HudStyle.h"

namespace {

constexpr double kPi = 3.14159265358979;

using hud::Colour;

void use(Canvas& canvas, Colour c, double alpha = 1.0) { canvas.setColour(c.r, c.g, c.b, alpha); }

void paintBackground(Canvas& canvas, Colour c) {
  use(canvas, c);
  cairo_paint(canvas.context());
}

void save(Canvas& canvas, const std::string& folder, const std::string& path, std::vector<GeneratedFile>& files) {
  canvas.savePng(folder + "/" + path);
  files.push_back({path, 0});
}

Colour healthColour(int health) {
  if (health >= 5)
    return hud::kGood;
  if (health >= 3)
    return hud::kWarn;
  return hud::kBad;
}

void heart(cairo_t* cr, double x, double y, double size) {
  cairo_move_to(cr, x, y + size * 0.35);
  cairo_curve_to(cr, x - size * 0.05, y - size * 0.15, x - size * 0.6, y - size * 0.1, x - size * 0.5, y + size * 0.2);
  cairo_curve_to(cr, x - size * 0.42, y + size * 0.45, x - size * 0.1, y + size * 0.55, x, y + size * 0.8);
  cairo_curve_to(cr, x + size * 0.1, y + size * 0.55, x + size * 0.42, y + size * 0.45, x + size * 0.5, y + size * 0.2);
  cairo_curve_to(cr, x + size * 0.6, y - size * 0.1, x + size * 0.05, y - size * 0.15, x, y + size * 0.35);
  cairo_close_path(cr);
}

// Health: a die showing the hit points left, coloured green to red, with a heart.
void healthDie(Canvas& c, int health) {
  cairo_t* cr = c.context();
  paintBackground(c, hud::kPanel);
  const Colour tint = health > 0 ? healthColour(health) : Colour{0.45, 0.45, 0.5};
  // Glow behind the die.
  use(c, tint, 0.25);
  c.roundedRectangle(8, 8, 112, 112, 20);
  cairo_fill(cr);
  // Die body with a light top edge.
  cairo_pattern_t* face = cairo_pattern_create_linear(0, 14, 0, 114);
  cairo_pattern_add_color_stop_rgb(face, 0, 1.0, 1.0, 0.97);
  cairo_pattern_add_color_stop_rgb(face, 1, 0.80, 0.80, 0.76);
  cairo_set_source(cr, face);
  c.roundedRectangle(14, 14, 100, 100, 16);
  cairo_fill_preserve(cr);
  cairo_pattern_destroy(face);
  use(c, tint);
  cairo_set_line_width(cr, 5);
  cairo_stroke(cr);
  // Pips in the usual die layout.
  static const int layouts[7][7][2] = {{},
                                       {{1, 1}},
                                       {{0, 0}, {2, 2}},
                                       {{0, 0}, {1, 1}, {2, 2}},
                                       {{0, 0}, {2, 0}, {0, 2}, {2, 2}},
                                       {{0, 0}, {2, 0}, {1, 1}, {0, 2}, {2, 2}},
                                       {{0, 0}, {2, 0}, {0, 1}, {2, 1}, {0, 2}, {2, 2}}};
  const Colour pip = health <= 2 ? hud::kBad : Colour{0.12, 0.12, 0.16};
  for (int p = 0; p < health; ++p) {
    use(c, pip);
    cairo_arc(cr, 36 + 28 * layouts[health][p][0], 36 + 28 * layouts[health][p][1], 10, 0, 2 * kPi);
    cairo_fill(cr);
  }
  if (health == 0) {
    use(c, hud::kBad);
    cairo_set_line_width(cr, 10);
    cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
    cairo_move_to(cr, 38, 38);
    cairo_line_to(cr, 90, 90);
    cairo_move_to(cr, 90, 38);
    cairo_line_to(cr, 38, 90);
    cairo_stroke(cr);
  }
  // The heart names the meaning: this is the player's health.
  heart(cr, 18, 6, 30);
  use(c, health > 0 ? hud::kBad : Colour{0.4, 0.4, 0.45});
  cairo_fill_preserve(cr);
  use(c, {1, 1, 1});
  cairo_set_line_width(cr, 2);
  cairo_stroke(cr);
}

// A cat's head: the lives of the player.
void catHead(Canvas& c, double x, double y, double size, Colour fur) {
  cairo_t* cr = c.context();
  use(c, fur);
  for (double side : {-1.0, 1.0}) {
    cairo_move_to(cr, x + side * size * 0.45, y - size * 0.05);
    cairo_line_to(cr, x + side * size * 0.42, y - size * 0.62);
    cairo_line_to(cr, x + side * size * 0.08, y - size * 0.32);
    cairo_close_path(cr);
    cairo_fill(cr);
  }
  cairo_save(cr);
  cairo_translate(cr, x, y);
  cairo_scale(cr, 1.0, 0.85);
  cairo_arc(cr, 0, 0, size * 0.46, 0, 2 * kPi);
  cairo_restore(cr);
  cairo_fill(cr);
  use(c, {1.0, 0.7, 0.75});
  for (double side : {-1.0, 1.0}) {
    cairo_move_to(cr, x + side * size * 0.38, y - size * 0.18);
    cairo_line_to(cr, x + side * size * 0.37, y - size * 0.5);
    cairo_line_to(cr, x + side * size * 0.15, y - size * 0.3);
    cairo_close_path(cr);
    cairo_fill(cr);
  }
  use(c, {0.1, 0.1, 0.12});
  for (double side : {-1.0, 1.0}) {
    cairo_save(cr);
    cairo_translate(cr, x + side * size * 0.17, y - size * 0.04);
    cairo_scale(cr, 0.55, 1.0);
    cairo_arc(cr, 0, 0, size * 0.09, 0, 2 * kPi);
    cairo_restore(cr);
    cairo_fill(cr);
  }
  use(c, {1.0, 0.55, 0.6});
  cairo_move_to(cr, x - size * 0.06, y + size * 0.1);
  cairo_line_to(cr, x + size * 0.06, y + size * 0.1);
  cairo_line_to(cr, x, y + size * 0.17);
  cairo_close_path(cr);
  cairo_fill(cr);
  use(c, {0.95, 0.95, 0.95}, 0.8);
  cairo_set_line_width(cr, 1.5);
  for (double side : {-1.0, 1.0})
    for (int w = -1; w <= 1; ++w) {
      cairo_move_to(cr, x + side * size * 0.14, y + size * 0.14);
      cairo_line_to(cr, x + side * size * 0.5, y + size * (0.1 + 0.08 * w));
    }
  cairo_stroke(cr);
}

void livesImage(Canvas& c, int lives) {
  paintBackground(c, hud::kPanel);
  use(c, hud::kFrame);
  cairo_set_line_width(c.context(), 2);
  c.roundedRectangle(3, 3, 122, 58, 10);
  cairo_stroke(c.context());
  catHead(c, 34, 36, 48, lives > 0 ? Colour{1.0, 0.62, 0.22} : Colour{0.45, 0.45, 0.5});
  use(c, lives > 0 ? hud::kText : hud::kBad);
  c.centredText("x" + std::to_string(lives), 92, 32, 30);
}

void digitImage(Canvas& c, int digit) {
  paintBackground(c, hud::kWell);
  use(c, hud::kAccent);
  c.centredText(std::to_string(digit), 16, 22, 40);
}

void scorePanel(Canvas& c) {
  cairo_t* cr = c.context();
  paintBackground(c, hud::kPanel);
  use(c, hud::kFrame);
  cairo_set_line_width(cr, 2);
  c.roundedRectangle(2, 2, 336, 84, 12);
  cairo_stroke(cr);
  // The digits are written into x 42..330, 10..54 texels above the bottom edge.
  use(c, hud::kWell);
  c.roundedRectangle(38, 30, 296, 52, 8);
  cairo_fill(cr);
  // A gold star for the score.
  use(c, hud::kAccent);
  const double cx = 21, cy = 54;
  for (int k = 0; k < 10; ++k) {
    const double a = -kPi / 2 + k * kPi / 5;
    const double r = k % 2 ? 7.5 : 17;
    if (k == 0)
      cairo_move_to(cr, cx + r * std::cos(a), cy + r * std::sin(a));
    else
      cairo_line_to(cr, cx + r * std::cos(a), cy + r * std::sin(a));
  }
  cairo_close_path(cr);
  cairo_fill(cr);
  use(c, hud::kText, 0.9);
  c.centredText("PUNKTE", 24, 15, 10);
}

// Speed states: strong brake, brake, neutral, boost, strong boost, then the
// recovery after a brake (long, short) and after a boost (short, long).
void speedFrame(Canvas& c, int state) {
  cairo_t* cr = c.context();
  paintBackground(c, hud::kPanel);
  use(c, hud::kFrame);
  cairo_set_line_width(cr, 2);
  c.roundedRectangle(2, 2, 238, 82, 12);
  cairo_stroke(cr);

  static const char* const titles[9] = {"VOLLBREMSUNG", "BREMSEN",  "NORMAL",   "SCHUB",   "TURBO",
                                        "ERHOLUNG",     "ERHOLUNG", "ERHOLUNG", "ERHOLUNG"};
  const Colour brake = hud::kCool, boost = hud::kWarn, neutral = hud::kGood;
  const Colour titleColour = state <= 1 ? brake : state == 2 ? neutral : state <= 4 ? boost : hud::kText;
  use(c, titleColour);
  c.centredText(titles[state], 121, 22, 22);

  // Five segments from strong brake (left) to strong boost (right), lit
  // outwards from the centre; recovery dims them and shows the time left.
  const bool recovering = state >= 5;
  int lo = 2, hi = 2;
  if (state == 0)
    lo = 0;
  else if (state == 1)
    lo = 1;
  else if (state == 3)
    hi = 3;
  else if (state == 4)
    hi = 4;
  const double left = 10, width = 40, gap = 5, top = 44, height = 32;
  for (int s = 0; s < 5; ++s) {
    const double x = left + s * (width + gap);
    const bool lit = !recovering && s >= lo && s <= hi;
    const Colour colour = s < 2 ? brake : s == 2 ? neutral : boost;
    use(c, lit ? colour : hud::kWell);
    c.roundedRectangle(x, top, width, height, 6);
    cairo_fill_preserve(cr);
    use(c, colour, lit ? 1.0 : 0.45);
    cairo_set_line_width(cr, 2);
    cairo_stroke(cr);
    // Chevrons: pointing left for braking, right for boosting, a dot for neutral.
    use(c, lit ? Colour{0.05, 0.07, 0.12} : colour, lit ? 1.0 : 0.5);
    cairo_set_line_width(cr, 4);
    cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
    cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);
    const double mx = x + width / 2, my = top + height / 2;
    if (s == 2) {
      cairo_arc(cr, mx, my, 6, 0, 2 * kPi);
      cairo_fill(cr);
    } else {
      const double dir = s < 2 ? -1 : 1;
      const int count = s == 0 || s == 4 ? 2 : 1;
      for (int k = 0; k < count; ++k) {
        const double ox = mx + (count == 2 ? (k - 0.5) * 11 : 0) * dir;
        cairo_move_to(cr, ox - 5 * dir, my - 9);
        cairo_line_to(cr, ox + 5 * dir, my);
        cairo_line_to(cr, ox - 5 * dir, my + 9);
      }
      cairo_stroke(cr);
    }
  }
  if (recovering) {
    // One bar over all segments, filled by the recovery still to go.
    const bool afterBrake = state <= 6;
    const double remaining = state == 5 || state == 8 ? 0.75 : 0.35;
    const Colour colour = afterBrake ? brake : boost;
    use(c, hud::kWell);
    c.roundedRectangle(8, 42, 226, 36, 8);
    cairo_fill_preserve(cr);
    use(c, colour);
    cairo_set_line_width(cr, 2);
    cairo_stroke(cr);
    c.roundedRectangle(12, 46, 218 * remaining, 28, 6);
    cairo_fill(cr);
    // Outlined text stays readable over the bar and the empty well alike.
    const char* label = afterBrake ? "BREMSE" : "SCHUB";
    cairo_select_font_face(cr, "DejaVu Sans", CAIRO_FONT_SLANT_NORMAL, CAIRO_FONT_WEIGHT_BOLD);
    cairo_set_font_size(cr, 18);
    cairo_text_extents_t extents;
    cairo_text_extents(cr, label, &extents);
    cairo_move_to(cr, 121 - extents.x_advance / 2, 60 + 0.365 * 18);
    cairo_text_path(cr, label);
    use(c, {0.02, 0.03, 0.06});
    cairo_set_line_width(cr, 4);
    cairo_stroke_preserve(cr);
    use(c, {1, 1, 1});
    cairo_fill(cr);
  }
}

// Statistics row: a dark strip with a rule underneath; digits sit on top.
void statisticsSlot(Canvas& c) {
  paintBackground(c, hud::kWell);
  use(c, hud::kFrame);
  cairo_rectangle(c.context(), 0, 47, c.width(), 2);
  cairo_fill(c.context());
}

// Setting notices: a label box (left) and a value box (right) that meet into one banner.
void noticeBox(Canvas& c, bool leftPart, Colour frame) {
  cairo_t* cr = c.context();
  paintBackground(c, hud::kPanel);
  const double r = 12, x0 = leftPart ? 2 : 0, x1 = leftPart ? c.width() : c.width() - 2;
  cairo_new_sub_path(cr);
  if (leftPart) {
    cairo_arc(cr, x0 + r, 2 + r, r, kPi, 1.5 * kPi);
    cairo_line_to(cr, x1, 2);
    cairo_line_to(cr, x1, 50);
    cairo_arc(cr, x0 + r, 50 - r, r, 0.5 * kPi, kPi);
  } else {
    cairo_move_to(cr, x0, 2);
    cairo_arc(cr, x1 - r, 2 + r, r, 1.5 * kPi, 2 * kPi);
    cairo_arc(cr, x1 - r, 50 - r, r, 0, 0.5 * kPi);
    cairo_line_to(cr, x0, 50);
  }
  cairo_close_path(cr);
  use(c, leftPart ? hud::kPanel : hud::kWell);
  cairo_fill_preserve(cr);
  use(c, frame);
  cairo_set_line_width(cr, 3);
  cairo_stroke(cr);
}

void noticeLabel(Canvas& c, const char* line1, const char* line2) {
  noticeBox(c, true, hud::kCool);
  use(c, hud::kText);
  c.centredText(line1, 110, 16, 17);
  c.centredText(line2, 110, 36, 17);
}

void noticeValue(Canvas& c, const std::string& line1, const std::string& line2, Colour colour) {
  noticeBox(c, false, hud::kCool);
  use(c, colour);
  if (line2.empty())
    c.centredText(line1, 109, 26, 24);
  else {
    c.centredText(line1, 109, 16, 16);
    c.centredText(line2, 109, 35, 16);
  }
}

// The pause notice laid over the middle of the clip: a framed banner with the
// word and how to play on.
void pauseNotice(Canvas& c) {
  cairo_t* cr = c.context();
  paintBackground(c, hud::kPanel);
  const double r = 16, w = c.width(), h = c.height();
  cairo_new_sub_path(cr);
  cairo_arc(cr, r + 3, r + 3, r, kPi, 1.5 * kPi);
  cairo_arc(cr, w - r - 3, r + 3, r, 1.5 * kPi, 2 * kPi);
  cairo_arc(cr, w - r - 3, h - r - 3, r, 0, 0.5 * kPi);
  cairo_arc(cr, r + 3, h - r - 3, r, 0.5 * kPi, kPi);
  cairo_close_path(cr);
  use(c, hud::kWell);
  cairo_fill_preserve(cr);
  use(c, hud::kAccent);
  cairo_set_line_width(cr, 4);
  cairo_stroke(cr);
  c.centredText("PAUSE", w / 2, 52, 44);
  use(c, hud::kText);
  c.centredText("P OR START: PLAY ON", w / 2, 94, 18);
}

// The glyph atlas: every printing Latin-1 character in white on transparent,
// antialiased in the alpha channel, so the monitor can tint it. The face is
// monospaced and drawn narrower than it is (kGlyphNarrowing), so that the
// advance is exactly a cell's width and a row of the options page holds about
// 48 characters at a capital height the player can read.
constexpr const char* kGlyphFace = "DejaVu Sans Mono";
constexpr double kGlyphSize = 26.0;          // em in texels, upright
constexpr double kGlyphBaseline = 25.0;      // from a cell's top: room for accents over capitals
constexpr double kMonospacedAdvance = 0.602; // DejaVu Sans Mono's advance, in em
constexpr double kGlyphNarrowing = monitorscreen::kGlyphCellWidth / (kMonospacedAdvance * kGlyphSize);

std::string utf8(unsigned codePoint) {
  if (codePoint < 0x80)
    return std::string(1, static_cast<char>(codePoint));
  return {static_cast<char>(0xC0 | codePoint >> 6), static_cast<char>(0x80 | (codePoint & 0x3F))};
}

void glyphAtlas(Canvas& c) {
  using namespace monitorscreen;
  cairo_t* cr = c.context();
  cairo_select_font_face(cr, kGlyphFace, CAIRO_FONT_SLANT_NORMAL, CAIRO_FONT_WEIGHT_BOLD);
  cairo_matrix_t size;
  cairo_matrix_init_scale(&size, kGlyphSize * kGlyphNarrowing, kGlyphSize);
  cairo_set_font_matrix(cr, &size);
  // the outlines as drawn, not moved to whole texels: the advance must stay a cell
  cairo_font_options_t* options = cairo_font_options_create();
  cairo_font_options_set_antialias(options, CAIRO_ANTIALIAS_GRAY);
  cairo_font_options_set_hint_metrics(options, CAIRO_HINT_METRICS_OFF);
  cairo_font_options_set_hint_style(options, CAIRO_HINT_STYLE_SLIGHT);
  cairo_set_font_options(cr, options);
  cairo_font_options_destroy(options);
  use(c, {1, 1, 1});
  for (unsigned code = 0; code < 256; ++code) {
    const int cell = glyphCell(code);
    if (cell < 0)
      continue;
    const double x = cell % kGlyphColumns * kGlyphCellWidth, y = cell / kGlyphColumns * kGlyphCellHeight;
    const std::string text = utf8(code);
    cairo_text_extents_t extents;
    cairo_text_extents(cr, text.c_str(), &extents);
    // a wide glyph (W, @, Æ) is cut at its cell rather than reach into the next
    cairo_save(cr);
    cairo_rectangle(cr, x, y, kGlyphCellWidth, kGlyphCellHeight);
    cairo_clip(cr);
    cairo_move_to(cr, x + (kGlyphCellWidth - extents.x_advance) / 2, y + kGlyphBaseline);
    cairo_show_text(cr, text.c_str());
    cairo_restore(cr);
  }
}

} // namespace

void writeStatusImages(const std::string& folder, std::vector<GeneratedFile>& files) {
  for (int health = 0; health <= 6; ++health) {
    Canvas c(128, 128);
    healthDie(c, health);
    save(c, folder, content::numberedImage(content::kHealthImagePrefix, health), files);
  }
  for (int lives = 0; lives <= 9; ++lives) {
    Canvas c(128, 64);
    livesImage(c, lives);
    save(c, folder, content::numberedImage(content::kLivesImagePrefix, lives), files);
  }
  for (int digit = 0; digit <= 9; ++digit) {
    Canvas c(32, 44);
    digitImage(c, digit);
    save(c, folder, content::numberedImage(content::kDigitImagePrefix, digit), files);
  }
  for (int state = 0; state <= 8; ++state) {
    Canvas c(242, 86);
    speedFrame(c, state);
    save(c, folder, content::numberedImage(content::kSpeedImagePrefix, state), files);
  }
  {
    Canvas c(340, 88);
    scorePanel(c);
    save(c, folder, content::kScorePanelImage, files);
  }
  {
    Canvas c(90, 52);
    statisticsSlot(c);
    use(c, hud::kText);
    c.centredText("FPS", 45, 23, 24);
    save(c, folder, content::kFpsLabelImage, files);
  }
  {
    Canvas c(218, 52);
    statisticsSlot(c);
    save(c, folder, content::kEmptySlotImage, files);
  }
  {
    Canvas c(218, 52);
    statisticsSlot(c);
    use(c, hud::kText);
    c.centredText("OBJECTS", 109, 12, 18);
    c.centredText("RENDERED", 109, 33, 18);
    save(c, folder, content::kObjectsLabelImage, files);
  }
  {
    Canvas c(218, 52);
    noticeLabel(c, "TEXTURE SAMPLING", "QUALITY");
    save(c, folder, content::kSamplingLabelImage, files);
  }
  {
    Canvas c(218, 52);
    noticeLabel(c, "MIP MAPPING", "QUALITY");
    save(c, folder, content::kMipmapLabelImage, files);
  }
  struct Value {
    const char* file;
    const char* line1;
    const char* line2;
    Colour colour;
  };
  const Value values[] = {{content::kLinearImage, "LINEAR", "", hud::kAccent},
                          {content::kBilinearImage, "BILINEAR", "", hud::kAccent},
                          {content::kNearestImage, "NEAREST", "NEIGHBOUR", hud::kAccent},
                          {content::kOnImage, "ON", "", hud::kGood},
                          {content::kOffImage, "OFF", "", hud::kBad}};
  for (const Value& v : values) {
    Canvas c(218, 52);
    noticeValue(c, v.line1, v.line2, v.colour);
    save(c, folder, v.file, files);
  }
  {
    Canvas c(320, 120);
    pauseNotice(c);
    save(c, folder, content::kPauseImage, files);
  }
  {
    Canvas c(monitorscreen::kGlyphAtlasWidth, monitorscreen::kGlyphAtlasHeight, false);
    glyphAtlas(c);
    save(c, folder, content::kGlyphAtlasImage, files);
  }
}
