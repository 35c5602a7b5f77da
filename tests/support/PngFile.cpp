#include "tests/support/PngFile.h"

#include <cairo.h>

namespace felidora::test {

std::pair<int, int> pngSize(const std::vector<char>& png) {
  if (png.size() < 24)
    return {0, 0};
  const auto be32 = [&png](std::size_t at) {
    std::uint32_t v = 0;
    for (std::size_t i = 0; i < 4; ++i)
      v = (v << 8) | static_cast<unsigned char>(png[at + i]);
    return static_cast<int>(v);
  };
  return {be32(16), be32(20)};
}

bool writeSolidPng(const std::string& path, int width, int height, const std::array<std::uint8_t, 4>& rgba) {
  cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, width, height);
  cairo_t* cr = cairo_create(surface);
  // cairo keeps premultiplied alpha and writes the PNG unpremultiplied: an
  // opaque colour comes out byte for byte
  cairo_set_operator(cr, CAIRO_OPERATOR_SOURCE);
  cairo_set_source_rgba(cr, rgba[0] / 255.0, rgba[1] / 255.0, rgba[2] / 255.0, rgba[3] / 255.0);
  cairo_paint(cr);
  cairo_destroy(cr);
  const bool written = cairo_surface_write_to_png(surface, path.c_str()) == CAIRO_STATUS_SUCCESS;
  cairo_surface_destroy(surface);
  return written;
}

} // namespace felidora::test
