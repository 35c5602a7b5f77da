#include "objects/LevelScene.h"

LevelScene::LevelScene(const glm::vec3& position, Shader* shader, Shader* shadowShader, std::string modelPath)
    : SceneObject(position, shader, shadowShader) {
  loadModel(std::move(modelPath));
  uploadMeshes();
  createShadowMap();
  bindShadowAttributes();
  uploadLights();
}

void LevelScene::update(double, Game*) {}
