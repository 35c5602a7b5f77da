#include "objects/GegnerProjektil.h"

#include "app/Game.h"
#include "objects/LevelScene.h"
#include "objects/Schnecke.h"
#include "render/CollisionModel3D.h"

#include <glm/gtc/type_ptr.hpp>

GegnerProjektil::GegnerProjektil(Shader* shader, Shader* shadowShader, std::string modelPath)
    : SceneObject(shader, shadowShader) {
  loadModel(std::move(modelPath));
  uploadMeshes();
  bindShadowAttributes();
}

GegnerProjektil::GegnerProjektil(const glm::mat4& modelMatrix, const GegnerProjektil& prototype, int damage, int speed,
                                 double lifetime)
    : SceneObject(modelMatrix, prototype), dead(false), damage(damage), speed(speed), lifetime(lifetime), age(0.0) {}

// Ages, moves, then tests the level and the player. Both tests run in the same
// update: a shot grazing the ground can still hit the player.
void GegnerProjektil::update(double dt, Game* game) {
  age += dt;
  if (age >= lifetime) {
    dead = true;
    return;
  }

  modelMatrix[3] += modelMatrix[2] * (-static_cast<float>(speed) * static_cast<float>(dt));
  const float* centre = glm::value_ptr(modelMatrix) + 12;

  const LevelScene* level = game->level;
  if (level && level->meshCollisionModel) {
    level->meshCollisionModel->setTransform(glm::value_ptr(level->modelMatrix));
    if (level->meshCollisionModel->sphereCollision(centre, kLandscapeHitRadius))
      dead = true;
  }

  // The player placed its box at its current matrix earlier in this frame.
  Schnecke* player = game->player;
  if (player && player->boxCollisionModel && player->boxCollisionModel->sphereCollision(centre, kBoxHitRadius)) {
    dead = true;
    player->takeDamage(damage, *game->events);
  }
}
