// Status images read back the way the monitor loads them (DevIL, RGBA, bottom
// row first): each has exactly the size of its place in the screen texture,
// is opaque, and no two images of a numbered set look alike.
#include "render/ImageFile.h"

#include <IL/il.h>
#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

namespace {

// Through the game's own decoder; the game initialises DevIL at start-up.
DecodedImage load(const std::string& path) {
  ilInit();
  DecodedImage image;
  decodeImageFile(path, image);
  return image;
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
      const DecodedImage image = load(file);
      EXPECT_EQ(image.width, set.width);
      EXPECT_EQ(image.height, set.height);
      EXPECT_EQ(image.pixels.size(), static_cast<size_t>(set.width) * set.height * 4);
    }
}

// The monitor copies the pixels straight into its screen texture: any
// transparency would show through the monitor itself.
TEST(ContentStatusImages, AreOpaque) {
  for (const ImageSet& set : kImageSets)
    for (const std::string& file : files(set)) {
      const DecodedImage image = load(file);
      size_t transparent = 0;
      for (size_t i = 3; i < image.pixels.size(); i += 4)
        transparent += image.pixels[i] != 255;
      EXPECT_EQ(transparent, 0u) << file;
    }
}

TEST(ContentStatusImages, NumberedImagesAllDiffer) {
  for (const ImageSet& set : kImageSets) {
    std::set<std::vector<unsigned char>> seen;
    for (const std::string& file : files(set))
      EXPECT_TRUE(seen.insert(load(file).pixels).second) << file << " repeats an earlier image";
  }
}

// Digits are written over the score panel's dark well and over the empty
// statistics slot: their background colour must match both, or every digit
// would sit in a visible box.
TEST(ContentStatusImages, DigitsBlendIntoPanelAndStatisticsRow) {
  const DecodedImage digit = load("Bilder/PunktezahlZiffernsatzGross1.png");
  const DecodedImage panel = load("Bilder/PunkteanzeigeGrossOhneTrans.png");
  const DecodedImage slot = load("Bilder/FPSleer.png");
  ASSERT_EQ(digit.width, 32);
  ASSERT_EQ(panel.width, 340);
  ASSERT_EQ(slot.width, 218);
  auto pixel = [](const DecodedImage& image, int x, int y) {
    const size_t i = (static_cast<size_t>(y) * image.width + x) * 4;
    return std::vector<unsigned char>(image.pixels.begin() + i, image.pixels.begin() + i + 3);
  };
  // A corner of the digit, the well under the score digits (x 42..330,
  // y 10..54 from the panel's bottom) and the slot under the FPS digits.
  const auto background = pixel(digit, 1, 1);
  EXPECT_EQ(pixel(panel, 44, 12), background);
  EXPECT_EQ(pixel(panel, 328, 52), background);
  EXPECT_EQ(pixel(slot, 100, 20), background);
  EXPECT_EQ(pixel(slot, 216, 50), background);
}
