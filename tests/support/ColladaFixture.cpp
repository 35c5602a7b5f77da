#include "tests/support/ColladaFixture.h"
#include "tests/support/ProcessFolder.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

namespace felidora::test {

std::string fixturePath(const std::string& name) {
  static const ProcessFolder folder("felidora-fixtures-");
  return folder.file(name);
}

std::string writeCollada(const std::string& name, const std::vector<FixtureMesh>& meshes, bool withMaterial,
                         const std::string& texture, const std::vector<glm::vec3>& lightPositions) {
  std::ostringstream x;
  x << R"(<?xml version="1.0" encoding="utf-8"?>
<COLLADA xmlns="http://www.collada.org/2005/11/COLLADASchema" version="1.4.1">
<asset><unit name="meter" meter="1"/><up_axis>Y_UP</up_axis></asset>
)";
  if (withMaterial) {
    if (!texture.empty())
      x << "<library_images><image id=\"img0\"><init_from>" << texture << "</init_from></image></library_images>\n";
    x << "<library_effects><effect id=\"fx0\"><profile_COMMON>";
    if (!texture.empty())
      x << R"(<newparam sid="surf"><surface type="2D"><init_from>img0</init_from></surface></newparam>
<newparam sid="samp"><sampler2D><source>surf</source></sampler2D></newparam>)";
    x << "<technique sid=\"common\"><phong>";
    if (!texture.empty())
      x << "<diffuse><texture texture=\"samp\" texcoord=\"UVSET0\"/></diffuse>";
    else
      x << "<diffuse><color>0.25 0.5 0.75 1</color></diffuse>";
    x << "<specular><color>0.1 0.2 0.3 1</color></specular><shininess><float>17</float></shininess>";
    x << "</phong></technique></profile_COMMON></effect></library_effects>\n";
    x << "<library_materials><material id=\"mat0\"><instance_effect url=\"#fx0\"/></material></library_materials>\n";
  }
  x << "<library_geometries>\n";
  for (std::size_t m = 0; m < meshes.size(); ++m) {
    const FixtureMesh& mesh = meshes[m];
    const std::size_t vertices = mesh.positions.size() / 3;
    x << "<geometry id=\"g" << m << "\"><mesh>";
    x << "<source id=\"g" << m << "p\"><float_array id=\"g" << m << "pa\" count=\"" << mesh.positions.size() << "\">";
    for (float v : mesh.positions)
      x << v << ' ';
    x << "</float_array><technique_common><accessor source=\"#g" << m << "pa\" count=\"" << vertices
      << "\" stride=\"3\"><param name=\"X\" type=\"float\"/><param name=\"Y\" type=\"float\"/>"
         "<param name=\"Z\" type=\"float\"/></accessor></technique_common></source>";
    if (!mesh.uvs.empty()) {
      x << "<source id=\"g" << m << "t\"><float_array id=\"g" << m << "ta\" count=\"" << mesh.uvs.size() << "\">";
      for (float v : mesh.uvs)
        x << v << ' ';
      x << "</float_array><technique_common><accessor source=\"#g" << m << "ta\" count=\"" << vertices
        << "\" stride=\"2\"><param name=\"S\" type=\"float\"/><param name=\"T\" type=\"float\"/>"
           "</accessor></technique_common></source>";
    }
    x << "<vertices id=\"g" << m << "v\"><input semantic=\"POSITION\" source=\"#g" << m << "p\"/></vertices>";
    x << "<triangles count=\"" << mesh.triangles.size() / 3 << "\"" << (withMaterial ? " material=\"m\"" : "")
      << "><input semantic=\"VERTEX\" source=\"#g" << m << "v\" offset=\"0\"/>";
    if (!mesh.uvs.empty())
      x << "<input semantic=\"TEXCOORD\" source=\"#g" << m << "t\" offset=\"0\" set=\"0\"/>";
    x << "<p>";
    for (int i : mesh.triangles)
      x << i << ' ';
    x << "</p></triangles></mesh></geometry>\n";
  }
  x << "</library_geometries>\n";
  if (!lightPositions.empty()) {
    x << "<library_lights>";
    for (std::size_t l = 0; l < lightPositions.size(); ++l)
      x << "<light id=\"l" << l << "\"><technique_common><point><color>" << 0.5f + 0.1f * l
        << " 0.25 0.125</color><constant_attenuation>1</constant_attenuation><linear_attenuation>0.01"
           "</linear_attenuation><quadratic_attenuation>0.002</quadratic_attenuation></point>"
           "</technique_common></light>";
    x << "</library_lights>\n";
  }
  x << "<library_visual_scenes><visual_scene id=\"s\">";
  for (std::size_t m = 0; m < meshes.size(); ++m) {
    x << "<node id=\"n" << m << "\"><instance_geometry url=\"#g" << m << "\">";
    if (withMaterial)
      x << "<bind_material><technique_common><instance_material symbol=\"m\" target=\"#mat0\">"
           "<bind_vertex_input semantic=\"UVSET0\" input_semantic=\"TEXCOORD\" input_set=\"0\"/>"
           "</instance_material></technique_common></bind_material>";
    x << "</instance_geometry></node>";
  }
  for (std::size_t l = 0; l < lightPositions.size(); ++l) {
    const glm::vec3& p = lightPositions[l];
    x << "<node id=\"ln" << l << "\"><translate>" << p.x << ' ' << p.y << ' ' << p.z
      << "</translate><instance_light url=\"#l" << l << "\"/></node>";
  }
  x << "</visual_scene></library_visual_scenes><scene><instance_visual_scene url=\"#s\"/></scene></COLLADA>\n";

  const std::string path = fixturePath(name);
  std::ofstream(path) << x.str();
  return path;
}

FixtureMesh wallFacingPlusZ(float x0, float x1, float y0, float y1, float z) {
  FixtureMesh m;
  m.positions = {x0, y0, z, x1, y0, z, x1, y1, z, x0, y1, z};
  m.uvs = {0, 0, 1, 0, 1, 1, 0, 1};
  m.triangles = {0, 1, 2, 0, 2, 3};
  return m;
}

FixtureMesh groundFacingUp(float y, float half) {
  FixtureMesh m;
  m.positions = {-half, y, half, half, y, half, half, y, -half, -half, y, -half};
  m.uvs = {0, 0, 1, 0, 1, 1, 0, 1};
  m.triangles = {0, 1, 2, 0, 2, 3};
  return m;
}

} // namespace felidora::test
