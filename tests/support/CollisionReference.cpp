#include "tests/support/CollisionReference.h"

#include <glm/gtc/type_ptr.hpp>

#include <algorithm>
#include <limits>

namespace collision_reference {

glm::dvec3 closestOnSegment(const glm::dvec3& p, const glm::dvec3& a, const glm::dvec3& b) {
  const glm::dvec3 ab = b - a;
  const double length2 = glm::dot(ab, ab);
  const double t = length2 > 0.0 ? glm::clamp(glm::dot(p - a, ab) / length2, 0.0, 1.0) : 0.0;
  return a + t * ab;
}

double distanceToTriangle(const glm::dvec3& p, const glm::dvec3& a, const glm::dvec3& b, const glm::dvec3& c) {
  const glm::dvec3 ab = b - a, ac = c - a, ap = p - a;
  const glm::dvec3 n = glm::cross(ab, ac);
  if (glm::dot(n, n) <= 1e-20 * glm::dot(ab, ab) * glm::dot(ac, ac)) {
    // no area: the closest point lies on an edge
    const double d1 = glm::length(p - closestOnSegment(p, a, b));
    const double d2 = glm::length(p - closestOnSegment(p, b, c));
    const double d3 = glm::length(p - closestOnSegment(p, c, a));
    return std::min({d1, d2, d3});
  }
  const double d1 = glm::dot(ab, ap), d2 = glm::dot(ac, ap);
  if (d1 <= 0.0 && d2 <= 0.0)
    return glm::length(p - a);
  const glm::dvec3 bp = p - b;
  const double d3 = glm::dot(ab, bp), d4 = glm::dot(ac, bp);
  if (d3 >= 0.0 && d4 <= d3)
    return glm::length(p - b);
  const double vc = d1 * d4 - d3 * d2;
  if (vc <= 0.0 && d1 >= 0.0 && d3 <= 0.0)
    return glm::length(p - (a + d1 / (d1 - d3) * ab));
  const glm::dvec3 cp = p - c;
  const double d5 = glm::dot(ab, cp), d6 = glm::dot(ac, cp);
  if (d6 >= 0.0 && d5 <= d6)
    return glm::length(p - c);
  const double vb = d5 * d2 - d1 * d6;
  if (vb <= 0.0 && d2 >= 0.0 && d6 <= 0.0)
    return glm::length(p - (a + d2 / (d2 - d6) * ac));
  const double va = d3 * d6 - d5 * d4;
  if (va <= 0.0 && d4 - d3 >= 0.0 && d5 - d6 >= 0.0)
    return glm::length(p - (b + (d4 - d3) / ((d4 - d3) + (d5 - d6)) * (c - b)));
  const double denom = 1.0 / (va + vb + vc);
  return glm::length(p - (a + ab * (vb * denom) + ac * (vc * denom)));
}

// World-space corners, 3 per triangle.
std::vector<glm::dvec3> placeTriangles(const std::vector<float>& triangles, const float* matrix) {
  const glm::dmat4 m(glm::make_mat4(matrix));
  std::vector<glm::dvec3> world;
  world.reserve(triangles.size() / 3);
  for (std::size_t i = 0; i + 2 < triangles.size(); i += 3)
    world.push_back(glm::dvec3(m * glm::dvec4(triangles[i], triangles[i + 1], triangles[i + 2], 1.0)));
  return world;
}

double smallestDistance(const std::vector<glm::dvec3>& world, const float* centre) {
  const glm::dvec3 p(centre[0], centre[1], centre[2]);
  double best = std::numeric_limits<double>::infinity();
  for (std::size_t i = 0; i + 2 < world.size(); i += 3)
    best = std::min(best, distanceToTriangle(p, world[i], world[i + 1], world[i + 2]));
  return best;
}

bool touches(const std::vector<glm::dvec3>& world, const float* centre, float radius) {
  const glm::dvec3 p(centre[0], centre[1], centre[2]);
  for (std::size_t i = 0; i + 2 < world.size(); i += 3)
    if (distanceToTriangle(p, world[i], world[i + 1], world[i + 2]) <= double(radius))
      return true;
  return false;
}

bool touches(const std::vector<float>& triangles, const float* matrix, const float* centre, float radius) {
  return touches(placeTriangles(triangles, matrix), centre, radius);
}

} // namespace collision_reference
