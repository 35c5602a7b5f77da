// Status images as the monitor holds them: RGBA, bottom row first, exactly
// width x height x 4 bytes, checked against PNGs written by the ffmpeg tool.
#include "monitor/StatusImage.h"
#include "tests/support/GlContext.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace felidora::test {
namespace {

// Writes a PNG through the ffmpeg tool from raw RGBA rows given top row
// first, in the pixel format asked for; empty when the tool fails.
std::string writePng(const std::string& name, int width, int height, const std::vector<std::uint8_t>& topDown,
                     const char* pixelFormat) {
  const std::string raw = ::testing::TempDir() + name + ".rgba";
  const std::string png = ::testing::TempDir() + name + ".png";
  std::ofstream(raw, std::ios::binary).write(reinterpret_cast<const char*>(topDown.data()), topDown.size());
  const std::string command = "ffmpeg -v error -y -f rawvideo -pix_fmt rgba -s " + std::to_string(width) + "x" +
                              std::to_string(height) + " -i '" + raw + "' -pix_fmt " + pixelFormat + " '" + png + "'";
  if (std::system(command.c_str()) != 0 || !std::filesystem::exists(png))
    return "";
  return png;
}

// Three columns, two rows: red, green, blue on top; white, black and a
// half-transparent grey below.
const std::vector<std::uint8_t> kTopDown = {
    255, 0,   0,   255, 0, 255, 0, 255, 0,   0,   255, 255, //
    255, 255, 255, 255, 0, 0,   0, 255, 128, 128, 128, 64,
};

TEST(StatusImageLoading, RowsComeBottomUpAsRgba) {
  FELIDORA_REQUIRE_GL(); // DevIL is set up with the context
  const std::string png = writePng("status_rgba", 3, 2, kTopDown, "rgba");
  ASSERT_FALSE(png.empty()) << "the ffmpeg tool could not write a PNG";
  StatusImage image;
  ASSERT_TRUE(image.load(png));
  EXPECT_EQ(image.width, 3);
  EXPECT_EQ(image.height, 2);
  const std::vector<std::uint8_t> bottomUp(kTopDown.begin() + 12, kTopDown.end());
  std::vector<std::uint8_t> expected = bottomUp;
  expected.insert(expected.end(), kTopDown.begin(), kTopDown.begin() + 12);
  EXPECT_EQ(image.pixels, expected);
  EXPECT_TRUE(image.fits(3, 2));
  EXPECT_FALSE(image.fits(2, 3));
  EXPECT_FALSE(image.fits(3, 1));
}

TEST(StatusImageLoading, OpaqueRgbFileGetsFullAlpha) {
  FELIDORA_REQUIRE_GL();
  const std::string png = writePng("status_rgb", 3, 2, kTopDown, "rgb24");
  ASSERT_FALSE(png.empty()) << "the ffmpeg tool could not write a PNG";
  StatusImage image;
  ASSERT_TRUE(image.load(png));
  ASSERT_EQ(image.pixels.size(), 24u);
  for (std::size_t i = 3; i < image.pixels.size(); i += 4)
    EXPECT_EQ(image.pixels[i], 255) << "texel " << i / 4;
}

TEST(StatusImageLoading, MissingOrBrokenFileLeavesAnEmptyImageThatFitsNothing) {
  FELIDORA_REQUIRE_GL();
  const std::string broken = ::testing::TempDir() + "status_broken.png";
  std::ofstream(broken) << "not a picture";
  for (const std::string& path : {std::string("Bilder/GibtEsNicht.png"), broken}) {
    StatusImage image;
    image.pixels.assign(16, 7); // an earlier picture goes with the failed load
    image.width = image.height = 2;
    EXPECT_FALSE(image.load(path)) << path;
    EXPECT_TRUE(image.pixels.empty());
    EXPECT_FALSE(image.fits(2, 2));
    EXPECT_FALSE(image.fits(0, 0));
  }
}

} // namespace
} // namespace felidora::test
