// Replays every stored fuzz input, the seed corpus and the input of every past
// finding, through the very checks the fuzz targets run, so the normal suite
// keeps each finding fixed.
#include "tests/fuzz/CollisionFuzz.h"
#include "tests/fuzz/StatusDisplayFuzz.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
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
