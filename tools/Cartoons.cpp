// Cartoon figures for the clips.
#include "tools/Cartoons.h"

#include <cmath>

namespace {

constexpr double kPi = 3.14159265358979;

void ellipse(cairo_t* cr, double x, double y, double rx, double ry) {
  cairo_save(cr);
  cairo_translate(cr, x, y);
  cairo_scale(cr, rx, ry);
  cairo_new_sub_path(cr);
  cairo_arc(cr, 0, 0, 1, 0, 2 * kPi);
  cairo_restore(cr);
}

void outline(cairo_t* cr, double width) {
  cairo_set_source_rgb(cr, 0.15, 0.09, 0.06);
  cairo_set_line_width(cr, width);
  cairo_stroke(cr);
}

} // namespace

void clipText(cairo_t* cr, const std::string& text, double x, double y, double size, bool bold, double align) {
  cairo_select_font_face(cr, "DejaVu Sans", CAIRO_FONT_SLANT_NORMAL,
                         bold ? CAIRO_FONT_WEIGHT_BOLD : CAIRO_FONT_WEIGHT_NORMAL);
  cairo_set_font_size(cr, size);
  cairo_text_extents_t extents;
  cairo_text_extents(cr, text.c_str(), &extents);
  cairo_move_to(cr, x - extents.x_advance * align, y + 0.365 * size);
  cairo_show_text(cr, text.c_str());
}

void drawCat(cairo_t* cr, double x, double y, double size, const CatPose& pose) {
  const double fur[3] = {1.0, 0.62, 0.22}, stripe[3] = {0.82, 0.40, 0.10};
  cairo_save(cr);
  cairo_translate(cr, x, y);
  cairo_scale(cr, size, size);
  const double line = 0.018;

  // Tail behind the body, swinging.
  const double swing = pose.tail * 0.25;
  cairo_move_to(cr, -0.25, -0.08);
  cairo_curve_to(cr, -0.6, -0.05, -0.62 + swing, -0.45, -0.45 + swing * 1.6, -0.7);
  cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
  cairo_set_source_rgb(cr, 0.15, 0.09, 0.06);
  cairo_set_line_width(cr, 0.13);
  cairo_stroke_preserve(cr);
  cairo_set_source_rgb(cr, fur[0], fur[1], fur[2]);
  cairo_set_line_width(cr, 0.095);
  cairo_stroke(cr);

  // Body and hind leg.
  ellipse(cr, 0.0, -0.34, 0.30, 0.36);
  cairo_set_source_rgb(cr, fur[0], fur[1], fur[2]);
  cairo_fill_preserve(cr);
  outline(cr, line);
  for (int s = 0; s < 3; ++s) {
    cairo_move_to(cr, -0.28 + 0.05 * s, -0.45 + 0.12 * s);
    cairo_curve_to(cr, -0.2 + 0.05 * s, -0.42 + 0.12 * s, -0.15 + 0.05 * s, -0.38 + 0.12 * s, -0.12 + 0.05 * s,
                   -0.36 + 0.12 * s);
  }
  cairo_set_source_rgb(cr, stripe[0], stripe[1], stripe[2]);
  cairo_set_line_width(cr, 0.035);
  cairo_stroke(cr);
  ellipse(cr, -0.12, -0.06, 0.2, 0.08);
  cairo_set_source_rgb(cr, fur[0], fur[1], fur[2]);
  cairo_fill_preserve(cr);
  outline(cr, line);
  // White chest.
  ellipse(cr, 0.14, -0.40, 0.12, 0.2);
  cairo_set_source_rgb(cr, 1.0, 0.97, 0.92);
  cairo_fill(cr);

  // Front paws: one resting, one batting.
  ellipse(cr, 0.20, -0.04, 0.1, 0.05);
  cairo_set_source_rgb(cr, 1.0, 0.97, 0.92);
  cairo_fill_preserve(cr);
  outline(cr, line);
  const double px = 0.22 + 0.22 * pose.paw, py = -0.06 - 0.42 * pose.paw;
  cairo_move_to(cr, 0.14, -0.3);
  cairo_line_to(cr, px, py);
  cairo_set_source_rgb(cr, 0.15, 0.09, 0.06);
  cairo_set_line_width(cr, 0.11);
  cairo_stroke(cr);
  cairo_move_to(cr, 0.14, -0.3);
  cairo_line_to(cr, px, py);
  cairo_set_source_rgb(cr, fur[0], fur[1], fur[2]);
  cairo_set_line_width(cr, 0.08);
  cairo_stroke(cr);
  ellipse(cr, px, py, 0.07, 0.055);
  cairo_set_source_rgb(cr, 1.0, 0.97, 0.92);
  cairo_fill_preserve(cr);
  outline(cr, line);

  // Head, facing the viewer.
  const double hx = 0.06, hy = -0.82;
  for (double side : {-1.0, 1.0}) {
    cairo_move_to(cr, hx + side * 0.24, hy - 0.08);
    cairo_line_to(cr, hx + side * 0.22, hy - 0.36);
    cairo_line_to(cr, hx + side * 0.05, hy - 0.22);
    cairo_close_path(cr);
    cairo_set_source_rgb(cr, fur[0], fur[1], fur[2]);
    cairo_fill_preserve(cr);
    outline(cr, line);
    cairo_move_to(cr, hx + side * 0.20, hy - 0.12);
    cairo_line_to(cr, hx + side * 0.20, hy - 0.29);
    cairo_line_to(cr, hx + side * 0.09, hy - 0.21);
    cairo_close_path(cr);
    cairo_set_source_rgb(cr, 1.0, 0.7, 0.75);
    cairo_fill(cr);
  }
  ellipse(cr, hx, hy, 0.27, 0.23);
  cairo_set_source_rgb(cr, fur[0], fur[1], fur[2]);
  cairo_fill_preserve(cr);
  outline(cr, line);
  for (int s = -1; s <= 1; ++s) {
    cairo_move_to(cr, hx + 0.06 * s, hy - 0.22);
    cairo_line_to(cr, hx + 0.05 * s, hy - 0.14);
  }
  cairo_set_source_rgb(cr, stripe[0], stripe[1], stripe[2]);
  cairo_set_line_width(cr, 0.03);
  cairo_stroke(cr);
  ellipse(cr, hx, hy + 0.09, 0.14, 0.09);
  cairo_set_source_rgb(cr, 1.0, 0.97, 0.92);
  cairo_fill(cr);
  // Eyes with slit pupils and lids for blinking.
  for (double side : {-1.0, 1.0}) {
    const double ex = hx + side * 0.1, ey = hy - 0.03;
    const double open = 1.0 - pose.blink;
    if (open > 0.05) {
      ellipse(cr, ex, ey, 0.06, 0.07 * open);
      cairo_set_source_rgb(cr, 0.55, 0.85, 0.25);
      cairo_fill_preserve(cr);
      outline(cr, line * 0.8);
      ellipse(cr, ex, ey, 0.018, 0.055 * open);
      cairo_set_source_rgb(cr, 0.05, 0.05, 0.05);
      cairo_fill(cr);
      ellipse(cr, ex + 0.02, ey - 0.025 * open, 0.012, 0.012);
      cairo_set_source_rgb(cr, 1, 1, 1);
      cairo_fill(cr);
    } else {
      cairo_move_to(cr, ex - 0.06, ey);
      cairo_curve_to(cr, ex - 0.02, ey + 0.03, ex + 0.02, ey + 0.03, ex + 0.06, ey);
      outline(cr, line * 1.2);
    }
  }
  // Nose, mouth and whiskers.
  cairo_move_to(cr, hx - 0.03, hy + 0.05);
  cairo_line_to(cr, hx + 0.03, hy + 0.05);
  cairo_line_to(cr, hx, hy + 0.085);
  cairo_close_path(cr);
  cairo_set_source_rgb(cr, 1.0, 0.5, 0.6);
  cairo_fill(cr);
  const double smile = 0.03 * pose.mood;
  cairo_move_to(cr, hx - 0.07, hy + 0.11);
  cairo_curve_to(cr, hx - 0.05, hy + 0.11 + smile, hx - 0.01, hy + 0.11 + smile, hx, hy + 0.09);
  cairo_curve_to(cr, hx + 0.01, hy + 0.11 + smile, hx + 0.05, hy + 0.11 + smile, hx + 0.07, hy + 0.11);
  outline(cr, line);
  for (double side : {-1.0, 1.0})
    for (int w = -1; w <= 1; ++w) {
      cairo_move_to(cr, hx + side * 0.12, hy + 0.08);
      cairo_line_to(cr, hx + side * 0.38, hy + 0.05 + 0.05 * w);
    }
  cairo_set_source_rgb(cr, 0.2, 0.15, 0.1);
  cairo_set_line_width(cr, 0.008);
  cairo_stroke(cr);
  cairo_restore(cr);
}

void drawWoolBall(cairo_t* cr, double x, double y, double radius, double spin, double r, double g, double b) {
  cairo_save(cr);
  cairo_translate(cr, x, y);
  cairo_arc(cr, 0, 0, radius, 0, 2 * kPi);
  cairo_set_source_rgb(cr, r, g, b);
  cairo_fill_preserve(cr);
  cairo_set_source_rgb(cr, r * 0.5, g * 0.5, b * 0.5);
  cairo_set_line_width(cr, radius * 0.08);
  cairo_stroke(cr);
  cairo_arc(cr, 0, 0, radius * 0.96, 0, 2 * kPi);
  cairo_clip(cr);
  cairo_rotate(cr, spin * 2 * kPi);
  cairo_set_line_width(cr, radius * 0.07);
  for (int k = -3; k <= 3; ++k) {
    cairo_move_to(cr, -radius, k * radius * 0.3);
    cairo_curve_to(cr, -radius * 0.3, k * radius * 0.3 - radius * 0.35, radius * 0.3, k * radius * 0.3 - radius * 0.35,
                   radius, k * radius * 0.3);
  }
  cairo_set_source_rgba(cr, std::min(1.0, r * 1.3 + 0.1), std::min(1.0, g * 1.3 + 0.1), std::min(1.0, b * 1.3 + 0.1),
                        0.9);
  cairo_stroke(cr);
  cairo_rotate(cr, kPi / 2);
  for (int k = -2; k <= 2; ++k) {
    cairo_move_to(cr, -radius, k * radius * 0.35);
    cairo_curve_to(cr, -radius * 0.3, k * radius * 0.35 + radius * 0.3, radius * 0.3, k * radius * 0.35 + radius * 0.3,
                   radius, k * radius * 0.35);
  }
  cairo_set_source_rgba(cr, r * 0.7, g * 0.7, b * 0.7, 0.8);
  cairo_stroke(cr);
  cairo_restore(cr);
}

void drawSnail(cairo_t* cr, double x, double y, double size, double wingPhase) {
  cairo_save(cr);
  cairo_translate(cr, x, y);
  cairo_scale(cr, size, size);
  const double line = 0.02;
  // Wing behind.
  const double flap = std::sin(wingPhase * 2 * kPi);
  cairo_save(cr);
  cairo_translate(cr, -0.05, -0.3);
  cairo_rotate(cr, -0.6 + 0.35 * flap);
  ellipse(cr, -0.18, 0, 0.22, 0.09);
  cairo_restore(cr);
  cairo_set_source_rgba(cr, 0.75, 0.92, 1.0, 0.9);
  cairo_fill_preserve(cr);
  outline(cr, line * 0.6);
  // Foot with raised head.
  cairo_move_to(cr, -0.5, 0.02);
  cairo_curve_to(cr, -0.2, -0.08, 0.2, -0.06, 0.3, -0.12);
  cairo_curve_to(cr, 0.36, -0.35, 0.52, -0.34, 0.52, -0.14);
  cairo_curve_to(cr, 0.52, 0.05, 0.3, 0.08, 0.0, 0.08);
  cairo_curve_to(cr, -0.2, 0.08, -0.45, 0.08, -0.5, 0.02);
  cairo_close_path(cr);
  cairo_set_source_rgb(cr, 0.80, 0.84, 0.40);
  cairo_fill_preserve(cr);
  outline(cr, line);
  // Eye stalks.
  for (double lean : {0.0, 0.08}) {
    cairo_move_to(cr, 0.42, -0.28);
    cairo_line_to(cr, 0.46 + lean, -0.52);
    cairo_set_source_rgb(cr, 0.15, 0.09, 0.06);
    cairo_set_line_width(cr, 0.05);
    cairo_stroke(cr);
    cairo_move_to(cr, 0.42, -0.28);
    cairo_line_to(cr, 0.46 + lean, -0.52);
    cairo_set_source_rgb(cr, 0.80, 0.84, 0.40);
    cairo_set_line_width(cr, 0.03);
    cairo_stroke(cr);
    cairo_arc(cr, 0.46 + lean, -0.55, 0.055, 0, 2 * kPi);
    cairo_set_source_rgb(cr, 1, 1, 1);
    cairo_fill_preserve(cr);
    outline(cr, line * 0.7);
    cairo_arc(cr, 0.48 + lean, -0.55, 0.025, 0, 2 * kPi);
    cairo_set_source_rgb(cr, 0.05, 0.05, 0.1);
    cairo_fill(cr);
  }
  // Smile.
  cairo_arc(cr, 0.44, -0.18, 0.05, 0.1 * kPi, 0.8 * kPi);
  outline(cr, line * 0.8);
  // Spiral shell.
  cairo_arc(cr, -0.1, -0.32, 0.3, 0, 2 * kPi);
  cairo_set_source_rgb(cr, 0.78, 0.48, 0.20);
  cairo_fill_preserve(cr);
  outline(cr, line);
  cairo_move_to(cr, -0.1, -0.32);
  for (int k = 0; k <= 60; ++k) {
    const double a = k * 0.2, r = 0.011 * k * 0.4;
    cairo_line_to(cr, -0.1 + r * std::cos(a), -0.32 + r * std::sin(a));
  }
  cairo_set_source_rgb(cr, 0.45, 0.25, 0.08);
  cairo_set_line_width(cr, 0.035);
  cairo_stroke(cr);
  // Front wing.
  cairo_save(cr);
  cairo_translate(cr, -0.02, -0.35);
  cairo_rotate(cr, -0.4 + 0.35 * flap);
  ellipse(cr, -0.2, 0, 0.24, 0.1);
  cairo_restore(cr);
  cairo_set_source_rgba(cr, 0.80, 0.95, 1.0, 0.85);
  cairo_fill_preserve(cr);
  outline(cr, line * 0.6);
  cairo_restore(cr);
}

void drawBee(cairo_t* cr, double x, double y, double size, double rotorPhase) {
  cairo_save(cr);
  cairo_translate(cr, x, y);
  cairo_scale(cr, size, size);
  const double line = 0.025;
  // Mast and rotor, the blade foreshortened as it turns.
  cairo_move_to(cr, 0.0, -0.3);
  cairo_line_to(cr, 0.0, -0.52);
  cairo_set_source_rgb(cr, 0.5, 0.5, 0.55);
  cairo_set_line_width(cr, 0.05);
  cairo_stroke(cr);
  const double span = 0.55 * std::fabs(std::cos(rotorPhase * 2 * kPi)) + 0.1;
  ellipse(cr, 0, -0.54, span, 0.035);
  cairo_set_source_rgb(cr, 0.85, 0.15, 0.12);
  cairo_fill_preserve(cr);
  outline(cr, line * 0.6);
  // Stinger, abdomen with stripes, thorax and head.
  cairo_move_to(cr, -0.62, 0.02);
  cairo_line_to(cr, -0.48, -0.05);
  cairo_line_to(cr, -0.48, 0.08);
  cairo_close_path(cr);
  cairo_set_source_rgb(cr, 0.1, 0.1, 0.1);
  cairo_fill(cr);
  ellipse(cr, -0.22, 0.0, 0.3, 0.24);
  cairo_set_source_rgb(cr, 1.0, 0.8, 0.1);
  cairo_fill_preserve(cr);
  cairo_save(cr);
  cairo_clip(cr);
  for (double sx : {-0.4, -0.22, -0.04}) {
    cairo_rectangle(cr, sx, -0.3, 0.08, 0.6);
  }
  cairo_set_source_rgb(cr, 0.08, 0.07, 0.06);
  cairo_fill(cr);
  cairo_restore(cr);
  ellipse(cr, -0.22, 0.0, 0.3, 0.24);
  outline(cr, line);
  ellipse(cr, 0.12, -0.06, 0.17, 0.17);
  cairo_set_source_rgb(cr, 0.1, 0.09, 0.08);
  cairo_fill(cr);
  ellipse(cr, 0.34, -0.04, 0.15, 0.14);
  cairo_set_source_rgb(cr, 0.12, 0.1, 0.09);
  cairo_fill(cr);
  // Angry red eye and brow.
  ellipse(cr, 0.4, -0.07, 0.06, 0.07);
  cairo_set_source_rgb(cr, 1.0, 0.25, 0.15);
  cairo_fill(cr);
  cairo_move_to(cr, 0.32, -0.16);
  cairo_line_to(cr, 0.47, -0.11);
  cairo_set_source_rgb(cr, 1.0, 0.85, 0.2);
  cairo_set_line_width(cr, 0.03);
  cairo_stroke(cr);
  // Small wing.
  ellipse(cr, -0.05, -0.25, 0.16, 0.08);
  cairo_set_source_rgba(cr, 0.85, 0.95, 1.0, 0.85);
  cairo_fill_preserve(cr);
  outline(cr, line * 0.5);
  cairo_restore(cr);
}

void drawKey(cairo_t* cr, double x, double y, double width, double height, const std::string& label, bool pressed) {
  const double r = 8, depth = pressed ? 2 : 6;
  auto rounded = [&](double rx, double ry, double rw, double rh) {
    cairo_new_sub_path(cr);
    cairo_arc(cr, rx + rw - r, ry + r, r, -kPi / 2, 0);
    cairo_arc(cr, rx + rw - r, ry + rh - r, r, 0, kPi / 2);
    cairo_arc(cr, rx + r, ry + rh - r, r, kPi / 2, kPi);
    cairo_arc(cr, rx + r, ry + r, r, kPi, 3 * kPi / 2);
    cairo_close_path(cr);
  };
  rounded(x, y + 6, width, height);
  cairo_set_source_rgb(cr, 0.35, 0.36, 0.42);
  cairo_fill(cr);
  const double top = y + 6 - depth;
  rounded(x, top, width, height);
  if (pressed)
    cairo_set_source_rgb(cr, 1.0, 0.82, 0.35);
  else
    cairo_set_source_rgb(cr, 0.93, 0.94, 0.97);
  cairo_fill_preserve(cr);
  cairo_set_source_rgb(cr, 0.25, 0.26, 0.32);
  cairo_set_line_width(cr, 2);
  cairo_stroke(cr);
  cairo_set_source_rgb(cr, 0.12, 0.12, 0.16);
  const double size = label.size() > 3 ? height * 0.36 : height * 0.5;
  clipText(cr, label, x + width / 2, top + height / 2, size);
}
