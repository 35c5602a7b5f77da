// Replays every stored fuzz input, the seed corpus and the input of every past
// finding, through the very checks the fuzz targets run, so the normal suite
// keeps each finding fixed.
#include "monitor/StatusDisplay.h"
#include "render/CollisionModel3D.h"
#include "tests/fuzz/CollisionFuzz.h"
#include "tests/fuzz/StatusDisplayFuzz.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;

// The stored inputs of one target, in name order.
std::vector<fs::path> storedInputs(const std::string& target) {
  std::vector<fs::path> inputs;
  for (const char* kind : {"corpus", "regressions"}) {
    const fs::path folder = fs::path(FELIDORA_FUZZ_DIR) / kind / target;
    if (!fs::is_directory(folder))
      continue;
    for (const fs::directory_entry& entry : fs::directory_iterator(folder))
      if (entry.is_regular_file() && entry.path().filename().string()[0] != '.')
        inputs.push_back(entry.path());
  }
  std::sort(inputs.begin(), inputs.end());
  return inputs;
}

std::vector<std::uint8_t> contents(const fs::path& path) {
  std::ifstream file(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}

template <class Check> void replay(const std::string& target, Check check) {
  const std::vector<fs::path> inputs = storedInputs(target);
  ASSERT_FALSE(inputs.empty()) << "no stored inputs for " << target << " in " << FELIDORA_FUZZ_DIR;
  for (const fs::path& path : inputs) {
    const std::vector<std::uint8_t> bytes = contents(path);
    EXPECT_EQ(check(bytes.data(), bytes.size()), "") << path.string();
  }
}

} // namespace

TEST(FuzzReplay, CollisionModelAgreesWithBruteForceOnStoredInputs) {
  replay("collision", felidora::fuzz::checkCollisionCase);
}

TEST(FuzzReplay, StatusDisplayWritesStayInPlaceOnStoredInputs) {
  replay("status_display", felidora::fuzz::checkStatusDisplayCase);
}

// Empty and short inputs decode to valid (small) cases.
TEST(FuzzReplay, EmptyAndTinyInputsAreValidCases) {
  const std::uint8_t bytes[3] = {0xff, 0x00, 0x7f};
  for (std::size_t size = 0; size <= 3; ++size) {
    EXPECT_EQ(felidora::fuzz::checkCollisionCase(bytes, size), "") << size;
    EXPECT_EQ(felidora::fuzz::checkStatusDisplayCase(bytes, size), "") << size;
  }
}

// Found by the status-display target: seven-digit statistics ran out of their
// slots (objects drawn into the middle slot, frames per second past the
// texture's left edge). Numbers longer than their slot show as all nines.
TEST(FuzzFindings, LongStatisticsStayInTheirSlots) {
  StatusDisplay display;
  const PlayerStatus player{3, 6, 0, 0};
  const GameStatus game{true, 12345678, 1000000, true, true, true};
  std::string fps, objects;
  for (const StatusWrite& w : display.refresh(0.0, &player, game)) {
    if (w.picture != StatusPicture::Digit || w.y != 965)
      continue;
    if (w.x < 243) {
      EXPECT_GE(w.x, 25);
      fps.insert(fps.begin(), char('0' + w.index));
    } else {
      EXPECT_GE(w.x, 461);
      EXPECT_LE(w.x + w.width, 679);
      objects.insert(objects.begin(), char('0' + w.index));
    }
  }
  EXPECT_EQ(fps, "999999");
  EXPECT_EQ(objects, "999999");
}

TEST(FuzzFindings, SixDigitStatisticsAndTheLargestScoreShowInFull) {
  StatusDisplay display;
  const PlayerStatus player{3, 6, 2147483647, 0};
  const GameStatus game{true, 999999, 123456, true, true, true};
  std::string score, fps, objects;
  for (const StatusWrite& w : display.refresh(0.0, &player, game)) {
    if (w.picture != StatusPicture::Digit)
      continue;
    std::string& number = w.y == 306 ? score : (w.x < 243 ? fps : objects);
    number.insert(number.begin(), char('0' + w.index));
    if (w.y == 306) {
      EXPECT_GE(w.x, 248);
    }
  }
  EXPECT_EQ(score, "2147483647");
  EXPECT_EQ(fps, "999999");
  EXPECT_EQ(objects, "123456");
}

// Found by the collision target: a sphere of radius 0 lying 4.7e27 beyond the
// tip of a needle (a triangle 0.0014 wide and 2.7e28 long, its sharp corner
// far from where the model took its normal) was reported as touching: past the
// tip the inside test was rounding noise. The sharpest corner now decides
// whether a triangle counts as its edges.
TEST(FuzzFindings, SphereBeyondTheTipOfANeedleIsMissed) {
  std::unique_ptr<CollisionModel3D> model(newCollisionModel3D(false));
  model->addTriangle(9.18340949e-41f, 8.81620903e-39f, 1.69558945e-09f, -3.36590745e-07f, -4.25362086e+37f,
                     -3.35276809e-07f, -5.37506606e-32f, -5.37508134e-32f, -5.37508134e-32f);
  model->finalize();
  // nearly singular: its second column is a million million times shorter than the others
  const float placement[16] = {150912.0f,       681600.0f, 6.41981968e-10f, 0.0f,      6.40969056e-10f, 6.40969056e-10f,
                               6.40969056e-10f, 0.0f,      6.40969056e-10f, 445632.0f, 681600.0f,       0.0f,
                               681600.0f,       681600.0f, 681600.0f,       1.0f};
  model->setTransform(placement);
  const float beyondTip[3] = {-2.999083339360744e+28f, -2.999083339360744e+28f, -2.999083339360744e+28f};
  EXPECT_FALSE(model->sphereCollision(beyondTip, 0.0f));
  EXPECT_FALSE(model->sphereCollision(beyondTip, 4.7e27f));
  // the tip itself, placed at about -2.7264e28 on every axis, is 4.7223e27 away
  EXPECT_TRUE(model->sphereCollision(beyondTip, 4.73e27f));
}
