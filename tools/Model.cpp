// COLLADA output written as plain text. Material ids are numbered so that the
// importer, which orders materials by id, keeps material i with mesh i.
#include "tools/Model.h"

#include <cstdio>
#include <fstream>
#include <sstream>

size_t Model::triangleCount() const {
  size_t total = 0;
  for (const auto& part : parts)
    total += part.mesh.triangleCount();
  return total;
}

namespace {

// Fixed, locale-free number format keeps files byte-identical between runs.
std::string num(float value) {
  char text[32];
  std::snprintf(text, sizeof(text), "%.6g", static_cast<double>(value));
  if (text[0] == '-' && std::string(text) == "-0")
    return "0";
  return text;
}

std::string partId(size_t index, const std::string& name) {
  char prefix[8];
  std::snprintf(prefix, sizeof(prefix), "m%02zu_", index);
  return prefix + name;
}

void writeFloatArray(std::ostream& out, const std::string& id, const float* values, size_t count, int stride,
                     const char* params) {
  out << "        <source id=\"" << id << "\">\n          <float_array id=\"" << id << "-array\" count=\"" << count
      << "\">";
  for (size_t i = 0; i < count; ++i)
    out << (i % 12 == 0 ? "\n" : " ") << num(values[i]);
  out << "\n          </float_array>\n          <technique_common>\n            <accessor source=\"#" << id
      << "-array\" count=\"" << count / stride << "\" stride=\"" << stride << "\">\n";
  for (const char* p = params; *p; ++p)
    out << "              <param name=\"" << *p << "\" type=\"float\"/>\n";
  out << "            </accessor>\n          </technique_common>\n        </source>\n";
}

} // namespace

bool writeCollada(const Model& model, const std::string& path) {
  std::ostringstream out;
  out << "<?xml version=\"1.0\" encoding=\"utf-8\"?>\n"
         "<COLLADA xmlns=\"http://www.collada.org/2005/11/COLLADASchema\" version=\"1.4.1\">\n"
         "  <asset>\n    <contributor><authoring_tool>Felidora content generator</authoring_tool></contributor>\n"
         "    <unit name=\"meter\" meter=\"1\"/>\n    <up_axis>Y_UP</up_axis>\n  </asset>\n";

  out << "  <library_images>\n";
  for (size_t i = 0; i < model.parts.size(); ++i)
    out << "    <image id=\"" << partId(i, model.parts[i].name) << "-image\"><init_from>" << model.parts[i].texture
        << "</init_from></image>\n";
  out << "  </library_images>\n";

  out << "  <library_effects>\n";
  for (size_t i = 0; i < model.parts.size(); ++i) {
    const std::string id = partId(i, model.parts[i].name);
    out << "    <effect id=\"" << id << "-effect\">\n      <profile_COMMON>\n"
        << "        <newparam sid=\"" << id << "-surface\"><surface type=\"2D\"><init_from>" << id
        << "-image</init_from></surface></newparam>\n"
        << "        <newparam sid=\"" << id << "-sampler\"><sampler2D><source>" << id
        << "-surface</source></sampler2D></newparam>\n"
        << "        <technique sid=\"common\">\n          <phong>\n"
        << "            <diffuse><texture texture=\"" << id << "-sampler\" texcoord=\"UVSET0\"/></diffuse>\n"
        << "            <specular><color>" << num(model.specular.r) << " " << num(model.specular.g) << " "
        << num(model.specular.b) << " 1</color></specular>\n"
        << "            <shininess><float>" << num(model.shininess) << "</float></shininess>\n"
        << "          </phong>\n        </technique>\n      </profile_COMMON>\n    </effect>\n";
  }
  out << "  </library_effects>\n";

  out << "  <library_materials>\n";
  for (size_t i = 0; i < model.parts.size(); ++i) {
    const std::string id = partId(i, model.parts[i].name);
    out << "    <material id=\"" << id << "-material\" name=\"" << id << "\"><instance_effect url=\"#" << id
        << "-effect\"/></material>\n";
  }
  out << "  </library_materials>\n";

  out << "  <library_geometries>\n";
  for (size_t i = 0; i < model.parts.size(); ++i) {
    const std::string id = partId(i, model.parts[i].name);
    const Mesh& mesh = model.parts[i].mesh;
    out << "    <geometry id=\"" << id << "-mesh\" name=\"" << id << "\">\n      <mesh>\n";
    writeFloatArray(out, id + "-positions", &mesh.positions[0].x, mesh.positions.size() * 3, 3, "XYZ");
    writeFloatArray(out, id + "-normals", &mesh.normals[0].x, mesh.normals.size() * 3, 3, "XYZ");
    writeFloatArray(out, id + "-uvs", &mesh.uvs[0].x, mesh.uvs.size() * 2, 2, "ST");
    out << "        <vertices id=\"" << id << "-vertices\"><input semantic=\"POSITION\" source=\"#" << id
        << "-positions\"/></vertices>\n"
        << "        <triangles material=\"" << id << "-symbol\" count=\"" << mesh.triangleCount() << "\">\n"
        << "          <input semantic=\"VERTEX\" source=\"#" << id << "-vertices\" offset=\"0\"/>\n"
        << "          <input semantic=\"NORMAL\" source=\"#" << id << "-normals\" offset=\"0\"/>\n"
        << "          <input semantic=\"TEXCOORD\" source=\"#" << id << "-uvs\" offset=\"0\" set=\"0\"/>\n"
        << "          <p>";
    for (size_t k = 0; k < mesh.indices.size(); ++k)
      out << (k % 24 == 0 ? "\n" : " ") << mesh.indices[k];
    out << "\n          </p>\n        </triangles>\n      </mesh>\n    </geometry>\n";
  }
  out << "  </library_geometries>\n";

  if (!model.lights.empty()) {
    out << "  <library_lights>\n";
    for (const auto& light : model.lights)
      out << "    <light id=\"" << light.name << "-light\" name=\"" << light.name
          << "\">\n      <technique_common>\n        <point>\n          <color>" << num(light.colour.r) << " "
          << num(light.colour.g) << " " << num(light.colour.b) << "</color>\n"
          << "          <constant_attenuation>" << num(light.constantAttenuation) << "</constant_attenuation>\n"
          << "          <linear_attenuation>" << num(light.linearAttenuation) << "</linear_attenuation>\n"
          << "          <quadratic_attenuation>" << num(light.quadraticAttenuation)
          << "</quadratic_attenuation>\n        </point>\n      </technique_common>\n    </light>\n";
    out << "  </library_lights>\n";
  }

  out << "  <library_visual_scenes>\n    <visual_scene id=\"Scene\" name=\"Scene\">\n";
  for (size_t i = 0; i < model.parts.size(); ++i) {
    const std::string id = partId(i, model.parts[i].name);
    out << "      <node id=\"" << id << "-node\" name=\"" << id << "\">\n"
        << "        <instance_geometry url=\"#" << id << "-mesh\">\n"
        << "          <bind_material><technique_common><instance_material symbol=\"" << id << "-symbol\" target=\"#"
        << id << "-material\"><bind_vertex_input semantic=\"UVSET0\" input_semantic=\"TEXCOORD\" input_set=\"0\"/>"
        << "</instance_material></technique_common></bind_material>\n"
        << "        </instance_geometry>\n      </node>\n";
  }
  for (const auto& light : model.lights)
    out << "      <node id=\"" << light.name << "-node\" name=\"" << light.name << "\">\n"
        << "        <translate>" << num(light.position.x) << " " << num(light.position.y) << " "
        << num(light.position.z) << "</translate>\n"
        << "        <instance_light url=\"#" << light.name << "-light\"/>\n      </node>\n";
  out << "    </visual_scene>\n  </library_visual_scenes>\n"
         "  <scene><instance_visual_scene url=\"#Scene\"/></scene>\n</COLLADA>\n";

  std::ofstream file(path, std::ios::binary);
  file << out.str();
  return static_cast<bool>(file);
}
