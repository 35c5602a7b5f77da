// The edges of a mesh's triangles as pairs of vertex indices: what a GL
// without a polygon mode draws as GL_LINES to show the wireframe (F3). Plain
// data, made once per mesh when it is uploaded for such a GL.
//
// An edge that several triangles share is listed once, whichever way round
// they run it. A degenerate triangle adds only its edges between two
// different vertices, and a triangle with an index past the vertices adds
// none. The edges follow the triangles' order, so each tile of the mesh (a
// run of its index buffer, MeshTiles) has a run of edges right after the
// previous tile's: a shared edge goes with the first tile that holds it, and
// lies inside that tile's box.
#pragma once

#include "render/MeshTiles.h"

#include <cstdint>
#include <vector>

class MeshEdges {
public:
  // A run of the edge list, in indices (two per edge).
  struct Run {
    std::uint32_t firstIndex = 0;
    std::uint32_t indexCount = 0;
  };

  // triangles: three indices each (a trailing partial triangle is left out);
  // tiles: the runs of triangles, as MeshTiles gives them (empty: untiled).
  void build(const std::vector<std::uint32_t>& triangles, std::uint32_t vertexCount,
             const std::vector<MeshTiles::Tile>& tiles);

  const std::vector<std::uint32_t>& indices() const { return edgeIndices; }
  std::uint32_t indexCount() const { return static_cast<std::uint32_t>(edgeIndices.size()); }
  // One run per tile, in the tiles' order; empty when the mesh is untiled.
  const std::vector<Run>& runs() const { return tileRuns; }

private:
  std::vector<std::uint32_t> edgeIndices;
  std::vector<Run> tileRuns;
};
