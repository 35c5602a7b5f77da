// cairo drawing helpers for textures, status images and clip pictures.
#include "tools/Canvas.h"

#include <cmath>

Canvas::Canvas(int width, int height, bool opaque)
    : w(width), h(height),
      surf(cairo_image_surface_create(opaque ? CAIRO_FORMAT_RGB24 : CAIRO_FORMAT_ARGB32, width, height)),
      cr(cairo_create(surf)) {
  cairo_set_antialias(cr, CAIRO_ANTIALIAS_GRAY);
}

Canvas::~Canvas() {
  cairo_destroy(cr);
  cairo_surface_destroy(surf);
}

void Canvas::beginPixels() {
  cairo_surface_flush(surf);
  data = cairo_image_surface_get_data(surf);
  stride = cairo_image_surface_get_stride(surf);
}

void Canvas::endPixels() {
  cairo_surface_mark_dirty(surf);
  data = nullptr;
}

void Canvas::setPixel(int x, int y, uint8_t r, uint8_t g, uint8_t b, uint8_t a) {
  auto* p = reinterpret_cast<uint32_t*>(data + y * stride) + x;
  // cairo keeps premultiplied alpha in native-endian 32-bit words.
  *p = static_cast<uint32_t>(a) << 24 | static_cast<uint32_t>(r * a / 255) << 16 |
       static_cast<uint32_t>(g * a / 255) << 8 | static_cast<uint32_t>(b * a / 255);
}

uint32_t Canvas::pixel(int x, int y) const {
  cairo_surface_flush(surf);
  const unsigned char* bytes = cairo_image_surface_get_data(surf);
  return reinterpret_cast<const uint32_t*>(bytes + y * cairo_image_surface_get_stride(surf))[x];
}

namespace {

void selectFont(cairo_t* cr, double size, bool bold) {
  cairo_select_font_face(cr, "DejaVu Sans", CAIRO_FONT_SLANT_NORMAL,
                         bold ? CAIRO_FONT_WEIGHT_BOLD : CAIRO_FONT_WEIGHT_NORMAL);
  cairo_set_font_size(cr, size);
}

} // namespace

double Canvas::textWidth(const std::string& text, double size, bool bold) {
  selectFont(cr, size, bold);
  cairo_text_extents_t extents;
  cairo_text_extents(cr, text.c_str(), &extents);
  return extents.x_advance;
}

void Canvas::centredText(const std::string& text, double x, double y, double size, bool bold) {
  selectFont(cr, size, bold);
  cairo_text_extents_t extents;
  cairo_text_extents(cr, text.c_str(), &extents);
  // Centre on the capital height (0.73 em in DejaVu Sans) so lines of mixed text sit alike.
  cairo_move_to(cr, x - extents.x_advance / 2.0, y + 0.365 * size);
  cairo_show_text(cr, text.c_str());
}

void Canvas::leftText(const std::string& text, double x, double y, double size, bool bold) {
  selectFont(cr, size, bold);
  cairo_move_to(cr, x, y + 0.365 * size);
  cairo_show_text(cr, text.c_str());
}

void Canvas::setColour(double r, double g, double b, double a) { cairo_set_source_rgba(cr, r, g, b, a); }

void Canvas::roundedRectangle(double x, double y, double width, double height, double radius) {
  const double pi = 3.14159265358979;
  cairo_new_sub_path(cr);
  cairo_arc(cr, x + width - radius, y + radius, radius, -pi / 2, 0);
  cairo_arc(cr, x + width - radius, y + height - radius, radius, 0, pi / 2);
  cairo_arc(cr, x + radius, y + height - radius, radius, pi / 2, pi);
  cairo_arc(cr, x + radius, y + radius, radius, pi, 3 * pi / 2);
  cairo_close_path(cr);
}

bool Canvas::savePng(const std::string& path) {
  cairo_surface_flush(surf);
  return cairo_surface_write_to_png(surf, path.c_str()) == CAIRO_STATUS_SUCCESS;
}
