// Clipping a convex polygon by a plane, for the regions worked out on the
// processor (the shadow region, the water's reach on screen).
#pragma once

#include <glm/glm.hpp>

#include <vector>

namespace render {

// Keeps the part of a convex polygon of homogeneous points where
// dot(plane, p) >= 0: a plane of world space when every w is 1, of clip space
// for points in clip space.
inline std::vector<glm::dvec4> clipConvex(const std::vector<glm::dvec4>& polygon, const glm::dvec4& plane) {
  std::vector<glm::dvec4> kept;
  const std::size_t n = polygon.size();
  for (std::size_t i = 0; i < n; ++i) {
    const glm::dvec4& a = polygon[i];
    const glm::dvec4& b = polygon[(i + 1) % n];
    const double da = glm::dot(plane, a);
    const double db = glm::dot(plane, b);
    if (da >= 0.0)
      kept.push_back(a);
    if ((da >= 0.0) != (db >= 0.0))
      kept.push_back(a + (b - a) * (da / (da - db)));
  }
  return kept;
}

} // namespace render
