#include "objects/Projektil.h"

#include "app/Game.h"
#include "base/ContentFiles.h"
#include "objects/Gegner.h"
#include "objects/LevelScene.h"
#include "render/CollisionModel3D.h"

#include <glm/gtc/type_ptr.hpp>

namespace {

const char* const kModelPaths[2] = {content::kShotModel, content::kSuperShotModel};
constexpr int kDamage[2] = {1, 2};
constexpr float kShotSpeed = -80.0f;
constexpr double kLifetime = 5.0;

int clampedType(int shotType) { return shotType == 1 ? 1 : 0; }

} // namespace

Projektil::Projektil(Shader* shader, Shader* shadowShader, int shotType) : SceneObject(shader, shadowShader) {
  this->shotType = clampedType(shotType);
  loadModel(kModelPaths[this->shotType]);
  uploadMeshes();
  bindShadowAttributes();
}

Projektil::Projektil(const glm::mat4& modelMatrix, const Projektil& prototype, int shotType)
    : SceneObject(modelMatrix, prototype) {
  lifetime = kLifetime;
  this->shotType = clampedType(shotType);
  age = 0.0;
  finished = false;
  damage = kDamage[this->shotType];
  speed = kShotSpeed;
}

// Ages, moves, then hits every enemy it touches (it does not stop at the
// first) and ends on any hit or on the level.
void Projektil::update(double dt, Game* game) {
  age += dt;
  if (age >= lifetime) {
    finished = true;
    return;
  }

  modelMatrix[3] += modelMatrix[2] * (speed * static_cast<float>(dt));
  const float* centre = glm::value_ptr(modelMatrix) + 12;

  bool hit = false;
  for (Gegner* enemy : game->enemies) {
    CollisionModel3D* box = enemy->boxCollisionModel;
    if (!box)
      continue; // an enemy without a model cannot be hit
    box->setTransform(glm::value_ptr(enemy->modelMatrix));
    if (box->sphereCollision(centre, kBoxHitRadius)) {
      const bool wasDead = enemy->dead;
      enemy->hitPoints -= damage;
      if (enemy->hitPoints < 1)
        enemy->dead = true;
      hit = true;
      if (!wasDead) { // a wreck hit again is not reported again
        if (enemy->dead)
          game->events->enemyDestroyed(enemy->position());
        else
          game->events->enemyHit(enemy->position());
      }
    }
  }

  const LevelScene* level = game->level;
  if (level && level->meshCollisionModel) {
    level->meshCollisionModel->setTransform(glm::value_ptr(level->modelMatrix));
    if (level->meshCollisionModel->sphereCollision(centre, kLandscapeHitRadius))
      finished = true;
  }

  if (hit)
    finished = true;
}
