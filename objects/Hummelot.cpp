#include "objects/Hummelot.h"

#include "app/Game.h"
#include "base/ContentFiles.h"
#include "objects/GegnerProjektil.h"
#include "objects/HummelotRotorblatt.h"
#include "objects/OwnedObjects.h"

#include <glm/gtc/matrix_transform.hpp>

namespace {

// The model matrix carries this scale, and so do the laser shots that copy it.
constexpr float kModelScale = 2.0f;
constexpr int kContactDamage = 1;
constexpr int kHitPoints = 5;
constexpr int kForwardSpeed = 10;
constexpr int kTurnRate = 45;
constexpr double kFireInterval = 1.0;
constexpr int kShotDamage = 1;
constexpr int kShotSpeed = 60;
constexpr double kShotLifetime = 5.0;
// Replaced by the enemy's own matrix before the rotor is first drawn.
const glm::vec3 kRotorStart(1.0f, 1.0f, 1.0f);

} // namespace

Hummelot::Hummelot(const glm::vec3& position, Shader* shader, Shader* shadowShader)
    : Gegner(position, shader, shadowShader) {
  loadModel(content::kEnemyModel);
  uploadMeshes();
  bindShadowAttributes();
  for (int c = 0; c < 3; ++c)
    modelMatrix[c] *= kModelScale;
  fireTimer = 0.0;
  forwardSpeed = kForwardSpeed;
  turnRate = kTurnRate;
  hitPoints = kHitPoints;
  contactDamage = kContactDamage;
  fireInterval = kFireInterval;
  laserPrototype = new GegnerProjektil(shader, shadowShader, content::kLaserModel);
  shotDamage = kShotDamage;
  shotSpeed = kShotSpeed;
  shotLifetime = kShotLifetime;
  rotor = new HummelotRotorblatt(kRotorStart, shader, shadowShader);
}

// The shots in flight end with their enemy; they borrow from the prototype,
// which therefore goes after them.
Hummelot::~Hummelot() {
  for (GegnerProjektil* shot : shots)
    delete shot;
  shots.clear();
  shots.shrink_to_fit();
  delete rotor;
  rotor = nullptr;
  delete laserPrototype;
  laserPrototype = nullptr;
}

// Fly the circle, carry the rotor, fire on the second, then move the shots.
// A new shot is moved in the frame it is fired.
void Hummelot::update(double dt, Game* game) {
  const float step = static_cast<float>(dt);
  modelMatrix[3] += modelMatrix[2] * (-static_cast<float>(forwardSpeed) * step);
  modelMatrix = glm::rotate(modelMatrix, glm::radians(static_cast<float>(turnRate) * step), glm::vec3(0, 1, 0));

  rotor->modelMatrix = modelMatrix;

  fireTimer += dt;
  if (fireTimer >= fireInterval) {
    fireTimer = 0.0; // the excess is dropped
    shots.push_back(new GegnerProjektil(modelMatrix, *laserPrototype, shotDamage, shotSpeed, shotLifetime));
    game->events->laserFired(position());
  }

  for (GegnerProjektil* shot : shots)
    shot->update(dt, game);
  removeFinished(shots, [](const GegnerProjektil* shot) { return shot->dead; });

  rotor->update(dt, game);
  game->events->rotorAt(this, position());
}

int Hummelot::draw(glm::mat4 world, bool cull) {
  return SceneObject::draw(world, cull) + rotor->draw(world, cull) + drawEach(shots, world, cull);
}

// The rotor casts no shadow.
void Hummelot::drawShadow(Game* game) {
  SceneObject::drawShadow(game);
  drawShadowOfEach(shots, game);
}

void Hummelot::setTextureFilter(bool linear, bool mipmap, bool mipmapLinear) {
  SceneObject::setTextureFilter(linear, mipmap, mipmapLinear);
  rotor->setTextureFilter(linear, mipmap, mipmapLinear);
  setTextureFilterOfEach(shots, linear, mipmap, mipmapLinear);
  // later laser shots share the prototype's textures
  laserPrototype->setTextureFilter(linear, mipmap, mipmapLinear);
}
