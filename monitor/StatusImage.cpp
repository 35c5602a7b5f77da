#include "monitor/StatusImage.h"

#include <IL/il.h>

#include <cstddef>

namespace {

constexpr std::size_t kBytesPerPixel = 4;

} // namespace

bool StatusImage::load(const std::string &path) {
  pixels.clear();
  width = 0;
  height = 0;

  ILuint image = 0;
  ilGenImages(1, &image);
  ilBindImage(image);
  ilEnable(IL_ORIGIN_SET);
  ilOriginFunc(IL_ORIGIN_LOWER_LEFT);
  if (ilLoadImage(path.c_str()) && ilConvertImage(IL_RGBA, IL_UNSIGNED_BYTE)) {
    const int loadedWidth = ilGetInteger(IL_IMAGE_WIDTH);
    const int loadedHeight = ilGetInteger(IL_IMAGE_HEIGHT);
    const int size = ilGetInteger(IL_IMAGE_SIZE_OF_DATA);
    const ILubyte *data = ilGetData();
    // Trust the dimensions only when DevIL's data really holds that many bytes.
    if (data && loadedWidth > 0 && loadedHeight > 0 && size >= 0 &&
        static_cast<std::size_t>(size) ==
            static_cast<std::size_t>(loadedWidth) * static_cast<std::size_t>(loadedHeight) * kBytesPerPixel) {
      pixels.assign(data, data + size);
      width = loadedWidth;
      height = loadedHeight;
    }
  }
  // DevIL keeps its errors on a stack of its own; drop them with the image
  while (ilGetError() != IL_NO_ERROR) {
  }
  ilBindImage(0);
  ilDeleteImages(1, &image);
  return !pixels.empty();
}

bool StatusImage::fits(int rectWidth, int rectHeight) const {
  return rectWidth > 0 && rectHeight > 0 && width == rectWidth && height == rectHeight &&
         pixels.size() == static_cast<std::size_t>(rectWidth) * static_cast<std::size_t>(rectHeight) * kBytesPerPixel;
}
