// One imported mesh as plain data: what loadModel fills and uploadMeshes turns
// into GL objects.
#pragma once

#include "render/MeshEdges.h"
#include "render/MeshTiles.h"

#include <cstdint>
#include <string>
#include <vector>

struct MeshData {
  std::vector<float> positions; // 3 per vertex
  std::vector<float> normals;   // 3 per vertex
  std::vector<float> uvs;       // 2 per vertex, empty when hasUvs is false
  bool hasUvs = false;
  std::vector<std::uint32_t> indices; // 3 per triangle
  std::string texturePath;            // "Modelle/..." or empty
  std::uint32_t vertexCount = 0;
  std::uint32_t indexCount = 0;
  float diffuse[3] = {0.0f, 0.0f, 0.0f};
  float specular[3] = {0.0f, 0.0f, 0.0f};
  float shininess = 0.0f;
  MeshTiles tiles; // empty for small meshes
  MeshEdges edges; // made only where wireframe is drawn as lines
};
