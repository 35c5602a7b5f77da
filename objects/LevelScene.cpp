#include "objects/LevelScene.h"

#include "base/LevelLayout.h"

#include <vector>

LevelScene::LevelScene(const glm::vec3& position, Shader* shader, Shader* shadowShader, std::string modelPath)
    : SceneObject(position, shader, shadowShader) {
  loadModel(std::move(modelPath));
  uploadMeshes();
  createShadowMap();
  bindShadowAttributes();
  uploadLights();

  for (const MeshData* mesh : meshes) {
    std::vector<glm::vec3> world;
    world.reserve(mesh->positions.size() / 3);
    for (std::size_t i = 0; i + 2 < mesh->positions.size(); i += 3)
      world.emplace_back(modelMatrix *
                         glm::vec4(mesh->positions[i], mesh->positions[i + 1], mesh->positions[i + 2], 1.0f));
    waterReach = WaterReach(world, mesh->indices, layout::kWaterLevel);
    if (waterReach.knowsGround())
      break;
  }
}

void LevelScene::update(double, Game*) {}
