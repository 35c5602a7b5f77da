// Where the water can show on screen. The ground is a height field: wherever
// it stands above the water, a ray from an eye above the ground meets the
// ground before it meets the water, and the ground, drawn first, hides the
// water there. So the water shows only above the cells where the ground dips
// below it, and beyond the ground's rectangle when its rim lies under water.
// The reflection is looked up nowhere else (a ripple's reach aside), and its
// pass draws only what can land there.
//
// Only a ground that is proven to be a height field is trusted: every
// triangle facing up, each inner edge shared by two of them, the others on
// the rim of a rectangle they cover exactly once. Any other ground, or an eye
// not clearly above it, lets the water show everywhere.
#pragma once

#include "render/ScreenReach.h"

#include <glm/glm.hpp>

#include <cstdint>
#include <vector>

class WaterReach {
public:
  // A grid of at most kCells x kCells over the ground's rectangle.
  static constexpr int kCells = 128;

  // Knows no ground: the water may show anywhere.
  WaterReach() = default;
  // The ground from a mesh in world space (3 floats per vertex, 3 indices per
  // triangle) and the water plane y = waterLevel.
  WaterReach(const std::vector<glm::vec3>& positions, const std::vector<std::uint32_t>& indices, float waterLevel);

  bool knowsGround() const { return !cells.empty(); }

  // The pixels of a width x height target where the water plane may be seen
  // by the camera (projection x view) at eye, each widened by reach pixels
  // on either side (x, y). The whole target when the ground is not known, or
  // when the eye is not clearly above the ground and the water: nearPlane is
  // the camera's near distance, within which the ground would be cut away.
  ScreenReach visibleWater(const glm::mat4& cameraProjectionView, const glm::vec3& eye, float nearPlane, int width,
                           int height, glm::ivec2 reach) const;

private:
  struct Cell {
    bool wet = false;
    float highest = 0.0f; // the highest point of the ground over the cell
  };
  // A rectangle of water in world x and z.
  struct Area {
    glm::dvec2 min;
    glm::dvec2 max;
  };

  bool eyeClearlyAbove(const glm::vec3& eye, float nearPlane) const;
  void collectWetAreas();

  float waterLevel = 0.0f;
  bool rimUnderWater = false;
  glm::vec2 groundMin{0.0f};
  glm::vec2 groundMax{0.0f};
  int columns = 0;
  int rows = 0;
  std::vector<Cell> cells;    // columns x rows, empty when the ground is not known
  std::vector<Area> wetAreas; // the wet cells merged into rectangles, then the water around the ground
};
