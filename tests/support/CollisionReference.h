// The brute-force reference for collision models: every triangle placed in
// world space and its distance measured in double precision as the nearer of
// its three edges and, when the foot of the perpendicular falls inside, its
// plane, with the plane direction taken where rounding hurts least, so that
// slivers are measured as accurately as ordinary triangles. Shared by the
// collision tests, the collision benchmark and the collision fuzz target.
// `triangles` holds 9 floats per triangle, `matrix` 16 column-major floats.
#pragma once

#include <glm/glm.hpp>

#include <vector>

namespace collision_reference {

glm::dvec3 closestOnSegment(const glm::dvec3& p, const glm::dvec3& a, const glm::dvec3& b);

// Distance from p to the closed triangle abc; a triangle without area counts
// as its edges.
double distanceToTriangle(const glm::dvec3& p, const glm::dvec3& a, const glm::dvec3& b, const glm::dvec3& c);

// World-space corners, 3 per triangle.
std::vector<glm::dvec3> placeTriangles(const std::vector<float>& triangles, const float* matrix);

// Smallest distance from the centre to any placed triangle (infinity when none).
double smallestDistance(const std::vector<glm::dvec3>& world, const float* centre);

// Whether a sphere touches some placed triangle: distance <= radius.
bool touches(const std::vector<glm::dvec3>& world, const float* centre, float radius);
bool touches(const std::vector<float>& triangles, const float* matrix, const float* centre, float radius);

} // namespace collision_reference
