#include "render/ViewVolume.h"

#include <cmath>

// A plane c of clip space holds for M p exactly where c M (the row vector c
// times M) holds for p: each plane is a sum of M's rows.
ViewVolume::ViewVolume(const glm::mat4& toClip, const glm::vec4& window) {
  const glm::dmat4 m(toClip);
  const auto row = [&m](int r) { return glm::dvec4(m[0][r], m[1][r], m[2][r], m[3][r]); };
  const glm::dvec4 x = row(0), y = row(1), z = row(2), w = row(3);
  // x >= left w, x <= right w, y >= bottom w, y <= top w, -w <= z <= w
  bounds = {x - static_cast<double>(window.x) * w,
            static_cast<double>(window.z) * w - x,
            y - static_cast<double>(window.y) * w,
            static_cast<double>(window.w) * w - y,
            w + z,
            w - z};
}

bool ViewVolume::mayHoldBox(const glm::vec3& boxMin, const glm::vec3& boxMax) const {
  glm::dvec4 corners[8];
  for (int i = 0; i < 8; ++i)
    corners[i] = glm::dvec4(i & 1 ? boxMax.x : boxMin.x, i & 2 ? boxMax.y : boxMin.y, i & 4 ? boxMax.z : boxMin.z, 1.0);
  for (const glm::dvec4& plane : bounds) {
    bool allOutside = true;
    for (const glm::dvec4& corner : corners)
      allOutside = allOutside && glm::dot(plane, corner) < 0.0;
    if (allOutside)
      return false;
  }
  return true;
}

bool ViewVolume::mayHoldSphere(const glm::vec3& centre, float radius) const {
  for (const glm::dvec4& plane : bounds) {
    const double length = std::sqrt(plane.x * plane.x + plane.y * plane.y + plane.z * plane.z);
    const double distance = (glm::dot(glm::dvec3(plane), glm::dvec3(centre)) + plane.w) / length;
    if (-static_cast<double>(radius) >= distance)
      return false;
  }
  return true;
}
