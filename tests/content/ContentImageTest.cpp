// Status images read back the way the monitor loads them (DevIL, RGBA, bottom
// row first): each has exactly the size of its place in the screen texture,
// is opaque, and no two images of a numbered set look alike.
#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

#include <IL/il.h>

namespace {

struct Loaded {
  int width = 0, height = 0;
  std::vector<unsigned char> rgba;
};

Loaded load(const std::string& path) {
  ilInit();
  Loaded result;
  ILuint image = 0;
  ilGenImages(1, &image);
  ilBindImage(image);
  ilEnable(IL_ORIGIN_SET);
  ilOriginFunc(IL_ORIGIN_LOWER_LEFT);
  if (ilLoadImage(path.c_str()) && ilConvertImage(IL_RGBA, IL_UNSIGNED_BYTE)) {
    result.width = ilGetInteger(IL_IMAGE_WIDTH);
    result.height = ilGetInteger(IL_IMAGE_HEIGHT);
    const ILubyte* data = ilGetData();
    result.rgba.assign(data, data + ilGetInteger(IL_IMAGE_SIZE_OF_DATA));
  }
  ilBindImage(0);
  ilDeleteImages(1, &image);
  return result;
}

struct ImageSet {
  std::string prefix;
  int count; // numbered 0..count-1; 0 for a single file named prefix
  int width, height;
};

const ImageSet kImageSets[] = {
    {"Bilder/WuerfelGross", 7, 128, 128},
    {"Bilder/LebensanzahlGross", 10, 128, 64},
    {"Bilder/PunktezahlZiffernsatzGross", 10, 32, 44},
    {"Bilder/BeschleunigungsanzeigenanimationOhneTrans", 9, 242, 86},
    {"Bilder/PunkteanzeigeGrossOhneTrans.png", 0, 340, 88},
    {"Bilder/FPS.png", 0, 90, 52},
    {"Bilder/FPSleer.png", 0, 218, 52},
    {"Bilder/Objects_Rendered.png", 0, 218, 52},
    {"Bilder/FN_Texture_Sampling_Quality.png", 0, 218, 52},
    {"Bilder/FN_Mip_Mapping_Quality.png", 0, 218, 52},
    {"Bilder/FN_LINEAR.png", 0, 218, 52},
    {"Bilder/FN_BILINEAR.png", 0, 218, 52},
    {"Bilder/FN_NEAREST_NEIGHBOUR.png", 0, 218, 52},
    {"Bilder/FN_ON.png", 0, 218, 52},
    {"Bilder/FN_OFF.png", 0, 218, 52},
};

std::vector<std::string> files(const ImageSet& set) {
  if (set.count == 0)
    return {set.prefix};
  std::vector<std::string> names;
  for (int i = 0; i < set.count; ++i)
    names.push_back(set.prefix + std::to_string(i) + ".png");
  return names;
}

} // namespace

TEST(ContentStatusImages, EachHasExactlyItsLayoutSize) {
  for (const ImageSet& set : kImageSets)
    for (const std::string& file : files(set)) {
      SCOPED_TRACE(file);
      const Loaded image = load(file);
      EXPECT_EQ(image.width, set.width);
      EXPECT_EQ(image.height, set.height);
      EXPECT_EQ(image.rgba.size(), static_cast<size_t>(set.width) * set.height * 4);
    }
}

// The monitor copies the pixels straight into its screen texture: any
// transparency would show through the monitor itself.
TEST(ContentStatusImages, AreOpaque) {
  for (const ImageSet& set : kImageSets)
    for (const std::string& file : files(set)) {
      const Loaded image = load(file);
      size_t transparent = 0;
      for (size_t i = 3; i < image.rgba.size(); i += 4)
        transparent += image.rgba[i] != 255;
      EXPECT_EQ(transparent, 0u) << file;
    }
}

TEST(ContentStatusImages, NumberedImagesAllDiffer) {
  for (const ImageSet& set : kImageSets) {
    std::set<std::vector<unsigned char>> seen;
    for (const std::string& file : files(set))
      EXPECT_TRUE(seen.insert(load(file).rgba).second) << file << " repeats an earlier image";
  }
}

// Digits are written over the score panel's dark well and over the empty
// statistics slot: their background colour must match both, or every digit
// would sit in a visible box.
TEST(ContentStatusImages, DigitsBlendIntoPanelAndStatisticsRow) {
  const Loaded digit = load("Bilder/PunktezahlZiffernsatzGross1.png");
  const Loaded panel = load("Bilder/PunkteanzeigeGrossOhneTrans.png");
  const Loaded slot = load("Bilder/FPSleer.png");
  ASSERT_EQ(digit.width, 32);
  ASSERT_EQ(panel.width, 340);
  ASSERT_EQ(slot.width, 218);
  auto pixel = [](const Loaded& image, int x, int y) {
    const size_t i = (static_cast<size_t>(y) * image.width + x) * 4;
    return std::vector<unsigned char>(image.rgba.begin() + i, image.rgba.begin() + i + 3);
  };
  // A corner of the digit, the well under the score digits (x 42..330,
  // y 10..54 from the panel's bottom) and the slot under the FPS digits.
  const auto background = pixel(digit, 1, 1);
  EXPECT_EQ(pixel(panel, 44, 12), background);
  EXPECT_EQ(pixel(panel, 328, 52), background);
  EXPECT_EQ(pixel(slot, 100, 20), background);
  EXPECT_EQ(pixel(slot, 216, 50), background);
}
