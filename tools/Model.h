// A model as the game reads it: meshes in order, each with its own diffuse
// texture (material i belongs to mesh i), the colours of material 0, and the
// point lights the model carries.
#pragma once

#include <string>
#include <vector>

#include <glm/glm.hpp>

#include "tools/Mesh.h"

struct ModelPart {
  std::string name; // used for the COLLADA ids
  Mesh mesh;
  std::string texture; // file name beside the model
};

struct PointLight {
  std::string name;
  glm::vec3 position;
  glm::vec3 colour;
  float constantAttenuation;
  float linearAttenuation;
  float quadraticAttenuation;
};

struct Model {
  std::vector<ModelPart> parts;
  glm::vec3 specular{0.2f};
  float shininess = 16.0f;
  std::vector<PointLight> lights;

  size_t triangleCount() const;
};

// Writes the model as COLLADA 1.4 (Y up, one unit per metre). The text depends
// only on the model, so equal models give equal files.
bool writeCollada(const Model& model, const std::string& path);
