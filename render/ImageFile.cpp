#include "render/ImageFile.h"

#include <IL/il.h>

#include <cstddef>

namespace {
constexpr std::size_t kBytesPerPixel = 4;
}

bool decodeImageFile(const std::string& path, DecodedImage& decoded) {
  decoded = DecodedImage{};
  ILuint image = 0;
  ilGenImages(1, &image);
  ilBindImage(image);
  ilEnable(IL_ORIGIN_SET);
  ilOriginFunc(IL_ORIGIN_LOWER_LEFT);
  if (ilLoadImage(path.c_str()) && ilConvertImage(IL_RGBA, IL_UNSIGNED_BYTE)) {
    const int width = ilGetInteger(IL_IMAGE_WIDTH);
    const int height = ilGetInteger(IL_IMAGE_HEIGHT);
    const int size = ilGetInteger(IL_IMAGE_SIZE_OF_DATA);
    const ILubyte* data = ilGetData();
    // Trust the dimensions only when DevIL's data really holds that many bytes.
    if (data && width > 0 && height > 0 && size >= 0 &&
        static_cast<std::size_t>(size) ==
            static_cast<std::size_t>(width) * static_cast<std::size_t>(height) * kBytesPerPixel) {
      decoded.pixels.assign(data, data + size);
      decoded.width = width;
      decoded.height = height;
    }
  }
  // DevIL keeps its errors on a stack of its own; drop them with the image
  while (ilGetError() != IL_NO_ERROR) {
  }
  ilBindImage(0);
  ilDeleteImages(1, &image);
  return !decoded.pixels.empty();
}
