// The edge lists that draw the wireframe as lines where GL has no polygon
// mode: an edge lost shows as a gap in the wireframe, an index past the
// vertices reads outside the mesh's buffers (WebGL refuses the draw), and an
// edge filed under the wrong tile vanishes when that tile is left out.
#include "render/MeshEdges.h"
#include "render/MeshTiles.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <utility>
#include <vector>

namespace {

using Edge = std::pair<std::uint32_t, std::uint32_t>;

// Each edge with its smaller index first; fails on an edge listed twice.
std::set<Edge> undirected(const std::vector<std::uint32_t>& indices, std::size_t first, std::size_t count) {
  std::set<Edge> edges;
  for (std::size_t i = first; i + 1 < first + count; i += 2) {
    const Edge edge = std::minmax(indices[i], indices[i + 1]);
    EXPECT_TRUE(edges.insert(edge).second) << "edge " << edge.first << "-" << edge.second << " listed twice";
  }
  return edges;
}

TEST(MeshEdgesTest, SharedEdgesOnceDegenerateOnesAndBadTrianglesLeftOut) {
  // clang-format off
  const std::vector<std::uint32_t> triangles = {
      0, 1, 2,  // two triangles sharing 1-2, run the other way round by the second
      2, 1, 3,
      4, 4, 5,  // degenerate: only 4-5 is an edge
      6, 6, 6,  // a point: no edge
      5, 7, 99, // an index past the eight vertices: nothing of it
      7, 0};    // a partial triangle at the end
  // clang-format on
  MeshEdges edges;
  edges.build(triangles, 8, {});
  EXPECT_EQ(edges.indexCount() % 2, 0u);
  EXPECT_EQ(undirected(edges.indices(), 0, edges.indexCount()),
            (std::set<Edge>{{0, 1}, {1, 2}, {0, 2}, {1, 3}, {2, 3}, {4, 5}}));
  EXPECT_TRUE(edges.runs().empty());

  MeshEdges none;
  none.build({}, 0, {});
  EXPECT_EQ(none.indexCount(), 0u);
  none.build({0, 1, 2}, 2, {});
  EXPECT_EQ(none.indexCount(), 0u);
}

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

// Each tile's edges follow the last tile's, lie inside its box, and all tiles
// together hold every edge of the mesh once.
TEST(MeshEdgesTest, EachTileHasItsRunOfEdgesInsideItsBox) {
  std::vector<float> positions;
  std::vector<std::uint32_t> indices;
  makeGrid(64, positions, indices);
  MeshEdges whole;
  whole.build(indices, static_cast<std::uint32_t>(positions.size() / 3), {});
  // 65 rows and 65 columns of 64 edges, and a diagonal in each of the 4096 cells
  EXPECT_EQ(whole.indexCount(), 2u * (2 * 64 * 65 + 64 * 64));

  MeshTiles tiles;
  tiles.arrange(indices, positions);
  ASSERT_EQ(tiles.tileCount(), 36u);
  MeshEdges tiled;
  tiled.build(indices, static_cast<std::uint32_t>(positions.size() / 3), tiles.runs());
  ASSERT_EQ(tiled.runs().size(), 36u);
  std::set<Edge> all;
  std::uint32_t next = 0;
  for (std::size_t t = 0; t < 36; ++t) {
    const MeshEdges::Run& run = tiled.runs()[t];
    const MeshTiles::Tile& tile = tiles.runs()[t];
    EXPECT_EQ(run.firstIndex, next) << "tile " << t;
    EXPECT_GT(run.indexCount, 0u) << "tile " << t;
    next = run.firstIndex + run.indexCount;
    for (std::uint32_t i = run.firstIndex; i < next; ++i) {
      const glm::vec3 p(positions[3 * tiled.indices()[i]], positions[3 * tiled.indices()[i] + 1],
                        positions[3 * tiled.indices()[i] + 2]);
      EXPECT_TRUE(glm::all(glm::greaterThanEqual(p, tile.boxMin)) && glm::all(glm::lessThanEqual(p, tile.boxMax)))
          << "tile " << t << ": vertex " << tiled.indices()[i] << " outside its box";
    }
    const std::set<Edge> edges = undirected(tiled.indices(), run.firstIndex, run.indexCount);
    all.insert(edges.begin(), edges.end());
  }
  EXPECT_EQ(next, tiled.indexCount());
  EXPECT_EQ(all, undirected(whole.indices(), 0, whole.indexCount()));
  EXPECT_EQ(tiled.indexCount(), whole.indexCount());
}

} // namespace
