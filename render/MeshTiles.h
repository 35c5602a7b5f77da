// The triangles of a large mesh (the landscape's ground and forest) sorted
// into square tiles of its ground plane, each tile a run of the index buffer
// with the box around it: plain data, made at import. The mesh's draw
// (SceneObject) then leaves out the tiles that lie wholly outside what its
// pass sees: most of the landscape is behind the camera, and a software
// renderer pays for every vertex it transforms and clips.
#pragma once

#include <glm/glm.hpp>

#include <cstdint>
#include <vector>

class MeshTiles {
public:
  // A run of the index buffer and the box around its vertices.
  struct Tile {
    std::uint32_t firstIndex = 0;
    std::uint32_t indexCount = 0;
    glm::vec3 boxMin{0.0f};
    glm::vec3 boxMax{0.0f};
  };

  // Below this many triangles a mesh is drawn whole.
  static constexpr std::size_t kLeastTriangles = 2048;

  // Reorders the triangles of indices (3 per triangle into positions, 3
  // floats per vertex) tile by tile, each tile keeping its triangles' order.
  // Small meshes, and indices that point past the positions, stay untiled.
  void arrange(std::vector<std::uint32_t>& indices, const std::vector<float>& positions);

  // In index order, each tile's run right after the one before; empty when
  // the mesh stays untiled.
  const std::vector<Tile>& runs() const { return tiles; }
  std::size_t tileCount() const { return tiles.size(); }

private:
  std::vector<Tile> tiles;
};
