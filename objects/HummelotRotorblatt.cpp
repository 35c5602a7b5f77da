#include "objects/HummelotRotorblatt.h"

#include "base/ContentFiles.h"

#include <glm/gtc/matrix_transform.hpp>

namespace {

constexpr float kModelScale = 2.0f;
constexpr float kSpinRate = 720.0f; // degrees per second: two turns
constexpr float kFullTurn = 360.0f;

} // namespace

HummelotRotorblatt::HummelotRotorblatt(const glm::vec3& position, Shader* shader, Shader* shadowShader)
    : Gegner(position, shader, shadowShader) {
  loadModel(content::kRotorModel);
  uploadMeshes();
  bindShadowAttributes();
  for (int c = 0; c < 3; ++c)
    modelMatrix[c] *= kModelScale;
  spinAngle = 0.0f;
}

// One subtraction keeps the angle in range for frames up to half a second.
void HummelotRotorblatt::update(double dt, Game*) {
  spinAngle += kSpinRate * static_cast<float>(dt);
  if (spinAngle > kFullTurn)
    spinAngle -= kFullTurn;
  modelMatrix = glm::rotate(modelMatrix, glm::radians(spinAngle), glm::vec3(0.0f, 1.0f, 0.0f));
}
