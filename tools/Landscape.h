// The level's landscape: a height field shaped around the level's fixed places
// (a bay open to the north, a river valley, two lakes, a western highland and
// a ring of snowy mountains), its mesh with lights and its baked ground texture.
#pragma once

#include <vector>

#include "tools/Model.h"
#include "tools/Noise.h"

class Canvas;

class Landscape {
public:
  static constexpr int kCells = 144;          // grid cells per side
  static constexpr float kHalfSize = 2048.0f; // model units from the centre to each edge
  static constexpr int kTextureSize = 1024;

  Landscape();

  // The designed ground height in world units at world (x, z).
  float designHeight(float x, float z) const;
  // The height of the triangulated mesh in world units at world (x, z), as drawn.
  float meshHeight(float x, float z) const;

  // Ground and forest meshes, materials and the scene lights; texture names as given.
  Model model(const std::string& groundTexture, const std::string& treeTexture) const;
  // The forest texture: foliage shades on the left, bark on the right.
  static void paintTrees(Canvas& canvas);
  // Grass, sand, rock and snow by height and slope, one texel per two units.
  void bakeTexture(Canvas& canvas) const;

private:
  glm::vec3 meshNormal(float x, float z) const;
  // Conifers where the ground texture shows thickets, kept clear of the flights.
  Mesh trees() const;
  float forest(float x, float z) const;
  float gridHeight(int i, int j) const { return heights[j * (kCells + 1) + i]; }

  Noise noise;
  std::vector<float> heights;     // world heights at the grid points
  std::vector<glm::vec3> normals; // at the grid points
};
