// What a pass's draws can still change: a test of a box seen through a
// matrix to the target's clip space. A draw leaves out the tiles (and an
// object the whole of itself) that cannot reach it.
#pragma once

#include <glm/glm.hpp>

class DrawReach {
public:
  virtual ~DrawReach() = default;

  // Whether a box, in the space that toClip takes to clip space, may change
  // a part of the target that matters.
  virtual bool mayShow(const glm::mat4& toClip, const glm::vec3& boxMin, const glm::vec3& boxMax) const = 0;
};
