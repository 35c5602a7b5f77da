#include "tools/Icon.h"

#include <cstdio>

#include "tools/Canvas.h"
#include "tools/Cartoons.h"

namespace {
constexpr int kIconSize = 256;
}

bool writeIcon(const std::string& path) {
  Canvas canvas(kIconSize, kIconSize, /*opaque=*/false);
  cairo_t* cr = canvas.context();

  // a rounded tile, sky at the top fading to the game's water blue
  cairo_pattern_t* sky = cairo_pattern_create_linear(0, 0, 0, kIconSize);
  cairo_pattern_add_color_stop_rgb(sky, 0.0, 0.55, 0.78, 0.98);
  cairo_pattern_add_color_stop_rgb(sky, 1.0, 0.14, 0.25, 0.43);
  canvas.roundedRectangle(8, 8, kIconSize - 16, kIconSize - 16, 40);
  cairo_set_source(cr, sky);
  cairo_fill(cr);
  cairo_pattern_destroy(sky);

  drawSnail(cr, 122, 158, 185, 0.25);
  drawWoolBall(cr, 60, 58, 24, 0.1, 0.90, 0.30, 0.45);

  if (!canvas.savePng(path)) {
    std::fprintf(stderr, "cannot write %s\n", path.c_str());
    return false;
  }
  return true;
}
