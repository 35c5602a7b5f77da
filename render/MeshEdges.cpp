#include "render/MeshEdges.h"

#include <algorithm>
#include <unordered_set>

void MeshEdges::build(const std::vector<std::uint32_t>& triangles, std::uint32_t vertexCount,
                      const std::vector<MeshTiles::Tile>& tiles) {
  edgeIndices.clear();
  tileRuns.clear();
  std::unordered_set<std::uint64_t> seen;
  seen.reserve(triangles.size());
  const auto addTriangles = [&](std::size_t first, std::size_t end) {
    end = std::min(end, triangles.size() - triangles.size() % 3);
    for (std::size_t t = first; t + 3 <= end; t += 3) {
      const std::uint32_t corner[3] = {triangles[t], triangles[t + 1], triangles[t + 2]};
      if (corner[0] >= vertexCount || corner[1] >= vertexCount || corner[2] >= vertexCount)
        continue;
      for (int k = 0; k < 3; ++k) {
        const std::uint32_t a = std::min(corner[k], corner[(k + 1) % 3]);
        const std::uint32_t b = std::max(corner[k], corner[(k + 1) % 3]);
        if (a == b || !seen.insert(std::uint64_t{a} << 32 | b).second)
          continue;
        edgeIndices.push_back(corner[k]);
        edgeIndices.push_back(corner[(k + 1) % 3]);
      }
    }
  };
  if (tiles.empty()) {
    addTriangles(0, triangles.size());
    return;
  }
  for (const MeshTiles::Tile& tile : tiles) {
    Run run;
    run.firstIndex = indexCount();
    addTriangles(tile.firstIndex, std::size_t{tile.firstIndex} + tile.indexCount);
    run.indexCount = indexCount() - run.firstIndex;
    tileRuns.push_back(run);
  }
}
