#include "objects/Gegner.h"

Gegner::Gegner(const glm::vec3& position, Shader* shader, Shader* shadowShader)
    : SceneObject(position, shader, shadowShader) {
  dead = false;
}
