#include "render/ViewVolume.h"

#include <cmath>

// A plane c of clip space holds for M p exactly where c M (the row vector c
// times M) holds for p: each plane is a sum of M's rows. With the whole view
// (window -1, 1) each plane is exactly row 3 plus or minus another row.
ViewVolume::ViewVolume(const glm::mat4& toClip, const glm::vec4& window) {
  const auto row = [&toClip](int r) { return glm::vec4(toClip[0][r], toClip[1][r], toClip[2][r], toClip[3][r]); };
  const glm::vec4 x = row(0), y = row(1), z = row(2), w = row(3);
  // x >= left w, x <= right w, y >= bottom w, y <= top w, -w <= z <= w
  bounds = {x - window.x * w, window.z * w - x, y - window.y * w, window.w * w - y, w + z, w - z};
}

// The corners are weighed in double: a tile is only left out when it lies
// clearly outside.
bool ViewVolume::mayHoldBox(const glm::vec3& boxMin, const glm::vec3& boxMax) const {
  glm::dvec4 corners[8];
  for (int i = 0; i < 8; ++i)
    corners[i] = glm::dvec4(i & 1 ? boxMax.x : boxMin.x, i & 2 ? boxMax.y : boxMin.y, i & 4 ? boxMax.z : boxMin.z, 1.0);
  for (const glm::vec4& plane : bounds) {
    const glm::dvec4 exact(plane);
    bool allOutside = true;
    for (const glm::dvec4& corner : corners)
      allOutside = allOutside && glm::dot(exact, corner) < 0.0;
    if (allOutside)
      return false;
  }
  return true;
}

// Term by term in single precision, in this order: the plane's normal and
// offset divided by its length, then the distance of the centre.
bool ViewVolume::mayHoldSphere(const glm::vec3& centre, float radius) const {
  for (const glm::vec4& plane : bounds) {
    const float squared = plane.x * plane.x + plane.y * plane.y + plane.z * plane.z;
    const float length = static_cast<float>(std::sqrt(static_cast<double>(squared)));
    const float a = plane.x / length, b = plane.y / length, c = plane.z / length, d = plane.w / length;
    const float distance = a * centre.x + b * centre.y + c * centre.z + d;
    if (-radius >= distance)
      return false;
  }
  return true;
}
