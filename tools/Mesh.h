// Indexed triangle meshes built in code: a few shape builders (surfaces of
// revolution, swept tubes, boxes) that the character models are composed of.
// Every vertex carries a position, a normal and one texture coordinate.
#pragma once

#include <cstdint>
#include <functional>
#include <vector>

#include <glm/glm.hpp>

struct Mesh {
  std::vector<glm::vec3> positions;
  std::vector<glm::vec3> normals;
  std::vector<glm::vec2> uvs;
  std::vector<uint32_t> indices;

  size_t triangleCount() const { return indices.size() / 3; }

  // Appends another mesh; its indices are shifted past this mesh's vertices.
  void append(const Mesh& other);
  // Moves every vertex by the matrix; normals go through its inverse transpose.
  Mesh& transform(const glm::mat4& matrix);
  // Replaces the texture coordinates by a + uv * scale (to place a part in an atlas).
  Mesh& mapUvs(glm::vec2 offset, glm::vec2 scale);
  // Reverses the winding and the normals (for surfaces seen from inside).
  Mesh& flip();
};

// One point of a lathe profile: distance from the axis and height along it.
struct ProfilePoint {
  float radius;
  float height;
};

// Surface of revolution about +Y. u runs around the axis (0..1, starting at +Z
// and turning towards +X), v along the profile (0 at the first point, 1 at the
// last). Normals come from the profile's tangents, so smooth profiles shade smoothly.
Mesh lathe(const std::vector<ProfilePoint>& profile, int segments);

// Ellipsoid centred on the origin with the given half axes.
Mesh ellipsoid(glm::vec3 halfAxes, int segments, int rings);

// Tube swept along a path: radiusAt(t) gives the radius at path parameter
// t in 0..1; u runs along the path, v around it. Open ends are capped when
// capEnds is set and the radius there is not zero.
Mesh tube(const std::vector<glm::vec3>& path, const std::function<float(float)>& radiusAt, int sides,
          bool capEnds = true);

// Closed ring of a tube (a torus when the path is a circle); path is implicitly closed.
Mesh ringTube(const std::vector<glm::vec3>& path, float radius, int sides);

// Axis-aligned box, each face mapped to the whole texture.
Mesh box(glm::vec3 minCorner, glm::vec3 maxCorner);

// Flat rectangle in the XY plane facing +Z, corners (x0, y0)..(x1, y1),
// texture coordinates uv0..uv1.
Mesh quad(glm::vec2 corner0, glm::vec2 corner1, glm::vec2 uv0, glm::vec2 uv1);
