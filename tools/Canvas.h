// A cairo image surface with the few helpers the generator needs: direct
// pixel access for computed textures, centred text in DejaVu fonts, and PNG
// output.
#pragma once

#include <cstdint>
#include <string>

#include <cairo.h>

class Canvas {
public:
  // opaque: RGB without alpha (written as an RGB PNG); otherwise premultiplied ARGB.
  Canvas(int width, int height, bool opaque = true);
  ~Canvas();
  Canvas(const Canvas&) = delete;
  Canvas& operator=(const Canvas&) = delete;

  int width() const { return w; }
  int height() const { return h; }
  cairo_t* context() const { return cr; }
  cairo_surface_t* surface() const { return surf; }

  // Direct pixel access; call beginPixels before and endPixels after writing.
  void beginPixels();
  void endPixels();
  void setPixel(int x, int y, uint8_t r, uint8_t g, uint8_t b, uint8_t a = 255);
  uint32_t pixel(int x, int y) const;

  // Text in DejaVu Sans (bold when asked), size in pixels, centred on (x, y)
  // (y is the middle of the capital letters).
  void centredText(const std::string& text, double x, double y, double size, bool bold = true);
  void leftText(const std::string& text, double x, double y, double size, bool bold = true);
  double textWidth(const std::string& text, double size, bool bold = true);

  void setColour(double r, double g, double b, double a = 1.0);
  void roundedRectangle(double x, double y, double width, double height, double radius);

  bool savePng(const std::string& path);

private:
  int w, h;
  cairo_surface_t* surf;
  cairo_t* cr;
  unsigned char* data = nullptr;
  int stride = 0;
};
