// The six planes that bound what a matrix to clip space shows, taken back
// into the matrix's own space: the four sides of a window of normalized device
// coordinates and the near and far planes. A point p is inside when
// dot(plane, (p, 1)) >= 0 for all six, whatever the sign of its clip w.
// Derived once for a matrix, they serve every test against it: an object's
// bounding sphere, each tile of a mesh, the shadow region's corners.
//
// The planes are sums of the matrix's single-precision rows, formed in single
// precision, and the sphere test keeps to single precision too (only the
// square root of a plane's length is taken in double): whether a sphere that
// just touches a plane counts as seen depends on the last bit, and this is
// the arithmetic the visibility test has always had.
#pragma once

#include <glm/glm.hpp>

#include <array>

class ViewVolume {
public:
  // A window of normalized device coordinates: left, bottom, right, top.
  static constexpr glm::vec4 kWholeView{-1.0f, -1.0f, 1.0f, 1.0f};

  // The volume that toClip (some space to clip space) shows through window;
  // the planes in the order left, right, bottom, top, near, far.
  explicit ViewVolume(const glm::mat4& toClip, const glm::vec4& window = kWholeView);

  // Whether a box can reach into the volume: false only when all its corners
  // lie outside one plane.
  bool mayHoldBox(const glm::vec3& boxMin, const glm::vec3& boxMax) const;
  // Whether a sphere can reach into the volume: false when it lies outside
  // one plane, touching it from outside included.
  bool mayHoldSphere(const glm::vec3& centre, float radius) const;

  const std::array<glm::vec4, 6>& planes() const { return bounds; }

private:
  std::array<glm::vec4, 6> bounds;
};
