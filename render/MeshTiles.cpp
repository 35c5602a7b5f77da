#include "render/MeshTiles.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace {

// Tiles of about this many triangles: small enough to leave most of a large
// mesh out, large enough that the draw calls stay few.
constexpr std::size_t kTrianglesPerTile = 256;
constexpr int kMostTilesPerSide = 16;

} // namespace

void MeshTiles::arrange(std::vector<std::uint32_t>& indices, const std::vector<float>& positions) {
  tiles.clear();
  const std::size_t triangles = indices.size() / 3;
  const std::size_t vertices = positions.size() / 3;
  if (triangles < kLeastTriangles || indices.size() % 3 != 0 ||
      std::any_of(indices.begin(), indices.end(), [vertices](std::uint32_t i) { return i >= vertices; }))
    return;

  const auto vertex = [&positions](std::uint32_t i) {
    return glm::vec3(positions[3 * i], positions[3 * i + 1], positions[3 * i + 2]);
  };
  // the ground plane's extent of the triangles' centres
  std::vector<glm::vec3> centre(triangles);
  glm::vec2 low(std::numeric_limits<float>::max()), high(-std::numeric_limits<float>::max());
  for (std::size_t t = 0; t < triangles; ++t) {
    centre[t] = (vertex(indices[3 * t]) + vertex(indices[3 * t + 1]) + vertex(indices[3 * t + 2])) / 3.0f;
    low = glm::min(low, glm::vec2(centre[t].x, centre[t].z));
    high = glm::max(high, glm::vec2(centre[t].x, centre[t].z));
  }
  const int side =
      std::clamp(static_cast<int>(std::lround(std::sqrt(static_cast<double>(triangles) / kTrianglesPerTile))), 1,
                 kMostTilesPerSide);
  const glm::vec2 extent = glm::max(high - low, glm::vec2(1e-6f));
  const auto cell = [&](float value, float from, float size) {
    return std::clamp(static_cast<int>((value - from) / size * static_cast<float>(side)), 0, side - 1);
  };
  std::vector<int> tileOf(triangles);
  for (std::size_t t = 0; t < triangles; ++t)
    tileOf[t] = cell(centre[t].z, low.y, extent.y) * side + cell(centre[t].x, low.x, extent.x);

  // a stable counting sort of the triangles by tile
  std::vector<std::uint32_t> start(static_cast<std::size_t>(side) * side + 1, 0);
  for (int tile : tileOf)
    ++start[tile + 1];
  for (std::size_t k = 1; k < start.size(); ++k)
    start[k] += start[k - 1];
  std::vector<std::uint32_t> sorted(indices.size());
  std::vector<std::uint32_t> next(start.begin(), start.end() - 1);
  for (std::size_t t = 0; t < triangles; ++t) {
    const std::uint32_t to = 3 * next[tileOf[t]]++;
    std::copy_n(indices.begin() + 3 * t, 3, sorted.begin() + to);
  }
  indices.swap(sorted);

  for (std::size_t k = 0; k + 1 < start.size(); ++k) {
    if (start[k] == start[k + 1])
      continue;
    Tile tile;
    tile.firstIndex = 3 * start[k];
    tile.indexCount = 3 * (start[k + 1] - start[k]);
    tile.boxMin = glm::vec3(std::numeric_limits<float>::max());
    tile.boxMax = glm::vec3(-std::numeric_limits<float>::max());
    for (std::uint32_t i = tile.firstIndex; i < tile.firstIndex + tile.indexCount; ++i) {
      tile.boxMin = glm::min(tile.boxMin, vertex(indices[i]));
      tile.boxMax = glm::max(tile.boxMax, vertex(indices[i]));
    }
    tiles.push_back(tile);
  }
}
