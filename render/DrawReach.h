// What a pass's draws can still change: a test of a box seen through a
// matrix to the target's clip space, and of a rectangle of pixels. A draw
// leaves out the tiles (and an object the whole of itself) that cannot reach
// it, and the triangle sieve the triangles.
#pragma once

#include <glm/glm.hpp>

class DrawReach {
public:
  virtual ~DrawReach() = default;

  // Whether a box, in the space that toClip takes to clip space, may change
  // a part of the target that matters.
  virtual bool mayShow(const glm::mat4& toClip, const glm::vec3& boxMin, const glm::vec3& boxMax) const = 0;
  // Whether the pixels x0 <= x < x1, y0 <= y < y1 of a viewport of width x
  // height at the target's corner may hold a part that matters.
  virtual bool mayCover(int x0, int y0, int x1, int y1, int viewportWidth, int viewportHeight) const = 0;
};
