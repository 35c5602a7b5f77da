// Writes small COLLADA scenes for tests: meshes bound to one material, an
// optional texture, and point lights on translated nodes.
#pragma once

#include <glm/glm.hpp>

#include <string>
#include <vector>

namespace felidora::test {

struct FixtureMesh {
  std::vector<float> positions; // 3 per vertex
  std::vector<float> uvs;       // 2 per vertex or empty
  std::vector<int> triangles;   // 3 per triangle
};

// Where writeCollada puts `name`: a folder of this test process's own.
std::string fixturePath(const std::string& name);

// Returns the path of the written file, fixturePath(name).
std::string writeCollada(const std::string& name, const std::vector<FixtureMesh>& meshes, bool withMaterial,
                         const std::string& texture, const std::vector<glm::vec3>& lightPositions);

// A rectangle in the plane z = const, facing +z (counter-clockwise seen from
// +z), spanning x0..x1 and y0..y1.
FixtureMesh wallFacingPlusZ(float x0, float x1, float y0, float y1, float z);

// A square in the plane y = const, facing up, from -half to half in x and z.
FixtureMesh groundFacingUp(float y, float half);

} // namespace felidora::test
