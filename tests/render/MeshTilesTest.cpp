// Tiling reorders a large mesh's triangles; a lost, doubled or turned
// triangle would show as a hole in the landscape, and a tile box too small
// as a part of it vanishing at the edge of the view.
#include "render/MeshTiles.h"
#include "render/ViewVolume.h"

#include <glm/gtc/matrix_transform.hpp>
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <vector>

namespace {

// A grid of n x n cells, two triangles each, on the ground plane with hills.
void makeGrid(int n, std::vector<float>& positions, std::vector<std::uint32_t>& indices) {
  for (int j = 0; j <= n; ++j)
    for (int i = 0; i <= n; ++i)
      positions.insert(positions.end(), {10.0f * i, 5.0f * ((i * 7 + j * 3) % 11), 10.0f * j});
  for (int j = 0; j < n; ++j)
    for (int i = 0; i < n; ++i) {
      const std::uint32_t a = j * (n + 1) + i, b = a + 1, d = a + n + 1, c = d + 1;
      indices.insert(indices.end(), {a, d, c, a, c, b});
    }
}

std::vector<std::array<std::uint32_t, 3>> triangles(const std::vector<std::uint32_t>& indices) {
  std::vector<std::array<std::uint32_t, 3>> result;
  for (std::size_t t = 0; t + 2 < indices.size(); t += 3)
    result.push_back({indices[t], indices[t + 1], indices[t + 2]});
  std::sort(result.begin(), result.end());
  return result;
}

TEST(MeshTilesTest, KeepsEveryTriangleWithItsWindingAndLeavesSmallOrBrokenMeshesAlone) {
  std::vector<float> positions;
  std::vector<std::uint32_t> indices;
  makeGrid(64, positions, indices);
  const std::vector<std::uint32_t> before = indices;
  MeshTiles tiles;
  tiles.arrange(indices, positions);
  EXPECT_EQ(tiles.tileCount(), 36u); // 8192 triangles in tiles of about 256
  EXPECT_NE(indices, before);
  EXPECT_EQ(triangles(indices), triangles(before));

  std::vector<float> small;
  std::vector<std::uint32_t> smallIndices;
  makeGrid(8, small, smallIndices);
  const std::vector<std::uint32_t> smallBefore = smallIndices;
  MeshTiles untiled;
  untiled.arrange(smallIndices, small);
  EXPECT_EQ(untiled.tileCount(), 0u);
  EXPECT_EQ(smallIndices, smallBefore);

  indices = before;
  indices[100] = static_cast<std::uint32_t>(positions.size() / 3); // one past the last vertex
  const std::vector<std::uint32_t> broken = indices;
  MeshTiles refused;
  refused.arrange(indices, positions);
  EXPECT_EQ(refused.tileCount(), 0u);
  EXPECT_EQ(indices, broken);
}

TEST(MeshTilesTest, LeavesOutOnlyBoxesWhollyOutsideTheView) {
  const glm::mat4 view = glm::lookAt(glm::vec3(0, 10, 0), glm::vec3(0, 10, -1), glm::vec3(0, 1, 0));
  const glm::mat4 camera = glm::perspective(glm::radians(60.0f), 4.0f / 3.0f, 0.1f, 1000.0f) * view;
  const glm::vec3 unit(1.0f);
  const auto at = [&](glm::vec3 centre) { return ViewVolume(camera).mayHoldBox(centre - unit, centre + unit); };
  EXPECT_TRUE(at({0, 10, -50}));    // ahead
  EXPECT_FALSE(at({0, 10, 50}));    // behind the camera
  EXPECT_FALSE(at({200, 10, -50})); // beside the view
  EXPECT_FALSE(at({0, 10, -1200})); // beyond the far plane
  EXPECT_TRUE(at({0, 10, 0}));      // around the camera
  // reaching into the view from beside it, its corners all outside
  EXPECT_TRUE(ViewVolume(camera).mayHoldBox(glm::vec3(-500, 9, -60), glm::vec3(500, 11, -40)));
  // a window: only the left half of the view
  const glm::vec4 leftHalf(-1.0f, -1.0f, 0.0f, 1.0f);
  EXPECT_TRUE(ViewVolume(camera, leftHalf).mayHoldBox(glm::vec3(-11, 9, -51), glm::vec3(-9, 11, -49)));
  EXPECT_FALSE(ViewVolume(camera, leftHalf).mayHoldBox(glm::vec3(9, 9, -51), glm::vec3(11, 11, -49)));
}

} // namespace
