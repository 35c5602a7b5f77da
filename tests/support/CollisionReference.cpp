#include "tests/support/CollisionReference.h"

#include <glm/gtc/type_ptr.hpp>

#include <algorithm>
#include <cmath>
#include <limits>

namespace collision_reference {

namespace {

// Height over the longest edge, relative to that edge, below which a triangle
// counts as its edges: there the two ways of measuring differ by less than
// this fraction of the edge, and double rounding of the plane direction no
// longer exceeds it.
constexpr double kFlat = 1e-8;

} // namespace

glm::dvec3 closestOnSegment(const glm::dvec3& p, const glm::dvec3& a, const glm::dvec3& b) {
  const glm::dvec3 ab = b - a;
  const double length2 = glm::dot(ab, ab);
  const double t = length2 > 0.0 ? glm::clamp(glm::dot(p - a, ab) / length2, 0.0, 1.0) : 0.0;
  return a + t * ab;
}

double distanceToTriangle(const glm::dvec3& p, const glm::dvec3& a, const glm::dvec3& b, const glm::dvec3& c) {
  const double edges = std::min({glm::length(p - closestOnSegment(p, a, b)), glm::length(p - closestOnSegment(p, b, c)),
                                 glm::length(p - closestOnSegment(p, c, a))});

  // The face's normal comes from the two shorter edges, which meet at the
  // largest angle: their cross product keeps its direction to rounding even
  // for needles, where the cross product at a sharp corner would not.
  const glm::dvec3 corners[3] = {a, b, c};
  const double opposite[3] = {glm::length(c - b), glm::length(a - c), glm::length(b - a)};
  const int apex = int(std::max_element(opposite, opposite + 3) - opposite);
  const glm::dvec3& o = corners[apex];
  const glm::dvec3& x = corners[(apex + 1) % 3];
  const glm::dvec3& y = corners[(apex + 2) % 3];
  const glm::dvec3 n = glm::cross(x - o, y - o);
  const double twiceArea = glm::length(n);
  const double longest = opposite[apex];
  // A triangle flatter than kFlat (its height over the longest edge against
  // that edge) lies within that height of its edges, where its plane
  // direction would be noise: it counts as its edges.
  if (!(twiceArea > kFlat * longest * longest))
    return edges;

  const glm::dvec3 unit = n / twiceArea;
  const double height = glm::dot(unit, p - o);
  const glm::dvec3 foot = p - height * unit;
  const bool inside = glm::dot(unit, glm::cross(x - o, foot - o)) >= 0.0 &&
                      glm::dot(unit, glm::cross(y - x, foot - x)) >= 0.0 &&
                      glm::dot(unit, glm::cross(o - y, foot - y)) >= 0.0;
  return inside ? std::min(std::abs(height), edges) : edges;
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
