#include "monitor/StatusImage.h"

#include "render/ImageFile.h"

#include <cstddef>
#include <utility>

namespace {

constexpr std::size_t kBytesPerPixel = 4;

} // namespace

bool StatusImage::load(const std::string& path) {
  DecodedImage decoded;
  decodeImageFile(path, decoded);
  pixels = std::move(decoded.pixels);
  width = decoded.width;
  height = decoded.height;
  return !pixels.empty();
}

bool StatusImage::fits(int rectWidth, int rectHeight) const {
  return rectWidth > 0 && rectHeight > 0 && width == rectWidth && height == rectHeight &&
         pixels.size() == static_cast<std::size_t>(rectWidth) * static_cast<std::size_t>(rectHeight) * kBytesPerPixel;
}
