#include "tests/support/CollisionReference.h"

#include <glm/gtc/type_ptr.hpp>

#include <algorithm>
#include <cmath>
#include <limits>

namespace collision_reference {

namespace {

// Sine of a triangle's sharpest angle below which it counts as its edges
// (about the square root of double rounding, which balances the two errors).
// Below it the triangle is thinner than this fraction of its longest edge, so
// edges and face differ by less than that. Above it, the plane direction
// (taken at the largest angle) is off by at most about 1e-16 / kFlat radians,
// and the inside test cannot be fooled by more than the same fraction: a
// foot just beyond a sharp corner, within rounding of both edge lines, is
// within about 1e-16 / kFlat of the longest edge's length from that corner.
constexpr double kFlat = 1e-8;

} // namespace

glm::dvec3 closestOnSegment(const glm::dvec3& p, const glm::dvec3& a, const glm::dvec3& b) {
  const glm::dvec3 ab = b - a;
  const double length2 = glm::dot(ab, ab);
  const double t = length2 > 0.0 ? glm::clamp(glm::dot(p - a, ab) / length2, 0.0, 1.0) : 0.0;
  return a + t * ab;
}

double distanceToTriangle(const glm::dvec3& p, const glm::dvec3& a, const glm::dvec3& b, const glm::dvec3& c) {
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
  // The sine of the sharpest angle, between the two longest edges, decides
  // whether the face is measured at all.
  const double shortest = std::min({opposite[0], opposite[1], opposite[2]});
  const double middle = opposite[0] + opposite[1] + opposite[2] - opposite[apex] - shortest;
  if (twiceArea > kFlat * opposite[apex] * middle) {
    const glm::dvec3 unit = n / twiceArea;
    const double height = glm::dot(unit, p - o);
    const glm::dvec3 foot = p - height * unit;
    // the foot inside: no point of the triangle is nearer than its plane
    if (glm::dot(unit, glm::cross(x - o, foot - o)) >= 0.0 && glm::dot(unit, glm::cross(y - x, foot - x)) >= 0.0 &&
        glm::dot(unit, glm::cross(o - y, foot - y)) >= 0.0)
      return std::abs(height);
  }
  const glm::dvec3 pa = p - closestOnSegment(p, a, b), pb = p - closestOnSegment(p, b, c),
                   pc = p - closestOnSegment(p, c, a);
  return std::sqrt(std::min({glm::dot(pa, pa), glm::dot(pb, pb), glm::dot(pc, pc)}));
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
