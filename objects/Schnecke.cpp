#include "objects/Schnecke.h"

#include "app/Game.h"
#include "app/KeyFlags.h"
#include "base/ContentFiles.h"
#include "objects/Gegner.h"
#include "objects/LevelScene.h"
#include "objects/OwnedObjects.h"
#include "objects/Projektil.h"
#include "render/CollisionModel3D.h"

#include <glm/gtc/matrix_transform.hpp>
#include <glm/gtc/type_ptr.hpp>

namespace {

constexpr float kVerticalSpeed = 20.0f;
constexpr float kTurnSpeed = 45.0f; // degrees per second

// collisions
constexpr float kContactTurnRate = 180.0f; // degrees per second while touching the level
constexpr float kContactLift = 50.0f;      // units per second while touching the level

// damage and lives
constexpr int kMaxHealth = 6;
constexpr double kInvulnerableSeconds = 2.0;

// chase camera and the monitor it carries, in the player's own axes
constexpr float kCameraUp = 4.0f;
constexpr float kCameraBack = 6.0f;
constexpr float kMonitorLeft = 0.5f;
constexpr float kMonitorDown = 1.3f;
constexpr float kMonitorAhead = 1.2f;
constexpr float kMonitorTilt = 45.0f; // degrees about the camera's horizontal axis
constexpr float kMonitorScale = 0.4f;

const glm::vec3 kUp(0.0f, 1.0f, 0.0f);

} // namespace

Schnecke::Schnecke(const glm::vec3& position, Shader* shader, Shader* shadowShader)
    : SceneObject(position, shader, shadowShader) {
  loadModel(content::kPlayerModel);
  uploadMeshes();
  bindShadowAttributes();
  for (int type = 0; type < 2; ++type)
    shotPrototypes[type] = new Projektil(shader, shadowShader, type);
  resetPlayer();
}

// Shots first: they borrow from the prototypes.
Schnecke::~Schnecke() {
  for (Projektil* shot : projectiles)
    delete shot;
  projectiles.clear();
  projectiles.shrink_to_fit();
  for (Projektil*& prototype : shotPrototypes) {
    delete prototype;
    prototype = nullptr;
  }
}

void Schnecke::resetPlayer() {
  lives = 0;
  health = kMaxHealth;
  score = 0;
  invulnerable = false;
  invulnerableTime = 0.0;
  verticalInput = 0;
  turnInput = 0;
  verticalSpeed = kVerticalSpeed;
  turnSpeed = kTurnSpeed;
  speedStages = SpeedStages{};
  fireTrigger = FireTrigger{};
  combo = 1;
  gameOver = false;
}

// Turns this frame's keys into steering, fire and boost requests.
void Schnecke::handleInput(Game*) {
  turnInput = 0;
  verticalInput = 0;
  if (KeyFlags.keyLeft)
    turnInput = 1;
  if (KeyFlags.keyRight)
    --turnInput;
  if (KeyFlags.keyUp)
    verticalInput = -1;
  if (KeyFlags.keyDown)
    ++verticalInput;

  fireTrigger.readKey(KeyFlags.keyFire);
  speedStages.readKeys(KeyFlags.keyS, KeyFlags.keyA);
}

void Schnecke::continueInput() { fireTrigger.continueFrame(); }

// One frame of the player, in a fixed order: speed, level, flight, shots,
// enemies, camera, monitor, fire.
void Schnecke::update(double dt, Game* game) {
  const float step = static_cast<float>(dt);

  updateSpeedState(dt, *game->events);
  touchLevel(dt, game);

  modelMatrix[3] += modelMatrix[2] * (-speedStages.speed * step);

  float climb = 0.0f;
  if (verticalInput == -1)
    climb = -verticalSpeed * step;
  else if (verticalInput == 1)
    climb = verticalSpeed * step;
  modelMatrix[3] += modelMatrix[1] * climb;

  float turn = 0.0f;
  if (turnInput == -1)
    turn = -turnSpeed * step;
  else if (turnInput == 1)
    turn = turnSpeed * step;
  modelMatrix = glm::rotate(modelMatrix, glm::radians(turn), kUp);

  if (invulnerable) {
    invulnerableTime += dt;
    if (invulnerableTime >= kInvulnerableSeconds) {
      invulnerable = false;
      invulnerableTime = 0.0;
    }
  }

  updateShots(dt, game);

  // Enemy laser shots, updated later in this frame, test against this placement.
  if (boxCollisionModel)
    boxCollisionModel->setTransform(glm::value_ptr(modelMatrix));
  touchEnemies(game);

  const glm::vec3 eye = updateCamera(*game->events);
  placeMonitor(game, eye);
  updateFire(dt, *game->events);
}

// Boost and brake last at most three seconds and wind down at half the rate.
void Schnecke::updateSpeedState(double dt, GameEvents& events) {
  const SpeedStages::Start start = speedStages.advance(dt);
  if (start == SpeedStages::Start::Boost)
    events.boostStarted();
  if (start == SpeedStages::Start::Brake)
    events.brakeStarted();
}

// Touching the landscape hurts (unless invulnerable), and turns and lifts the
// player away from it for as long as the contact lasts.
void Schnecke::touchLevel(double dt, Game* game) {
  const LevelScene* level = game->level;
  if (!level || !level->meshCollisionModel)
    return;
  level->meshCollisionModel->setTransform(glm::value_ptr(level->modelMatrix));
  if (!level->meshCollisionModel->sphereCollision(glm::value_ptr(modelMatrix) + 12, kLandscapeHitRadius))
    return;
  const float step = static_cast<float>(dt);
  takeDamage(1, *game->events);
  modelMatrix = glm::rotate(modelMatrix, glm::radians(kContactTurnRate * step), kUp);
  modelMatrix[3] += modelMatrix[1] * (kContactLift * step);
}

// Finished shots are gone before the frame goes on.
void Schnecke::updateShots(double dt, Game* game) {
  for (Projektil* shot : projectiles)
    shot->update(dt, game);
  removeFinished(projectiles, [](const Projektil* shot) { return shot->finished; });
}

// Enemies have not moved yet this frame: these are last frame's positions.
void Schnecke::touchEnemies(Game* game) {
  if (!boxCollisionModel)
    return;
  for (Gegner* enemy : game->enemies) {
    if (boxCollisionModel->sphereCollision(glm::value_ptr(enemy->modelMatrix) + 12, kBoxHitRadius))
      takeDamage(enemy->contactDamage, *game->events);
  }
}

// The camera sits above and behind the player, looks at it with world up,
// and becomes the view of every lit draw. Returns the eye.
glm::vec3 Schnecke::updateCamera(GameEvents& events) {
  const glm::vec3 up(modelMatrix[1]);
  const glm::vec3 back(modelMatrix[2]);
  const glm::vec3 target(modelMatrix[3]);
  const glm::vec3 eye = target + kCameraUp * up + kCameraBack * back;
  const glm::mat4 view = glm::lookAt(eye, target, kUp);
  setViewMatrix(view);
  events.listenerView(view);
  return eye;
}

// The monitor hangs below and left of the line of sight, tilted towards the
// camera, at a fraction of its model size.
void Schnecke::placeMonitor(Game* game, const glm::vec3& eye) {
  SceneObject* monitor = game->monitorObject();
  if (!monitor)
    return; // nothing to carry yet
  const glm::vec3 right(modelMatrix[0]);
  const glm::vec3 up(modelMatrix[1]);
  const glm::vec3 back(modelMatrix[2]);
  glm::mat4 placed = modelMatrix;
  placed[3] = glm::vec4(eye - kMonitorLeft * right - kMonitorDown * up - kMonitorAhead * back, 1.0f);
  placed = glm::rotate(placed, glm::radians(kMonitorTilt), glm::vec3(-1.0f, 0.0f, 0.0f));
  monitor->modelMatrix = glm::scale(placed, glm::vec3(kMonitorScale));
}

// A normal shot on the press; a super shot on a release after a long enough
// hold.
void Schnecke::updateFire(double dt, GameEvents& events) {
  const FireTrigger::Shot shot = fireTrigger.advance(dt);
  if (shot == FireTrigger::Shot::Normal)
    fire(0, events);
  else if (shot == FireTrigger::Shot::Super)
    fire(1, events);
  events.superShotCharge(fireTrigger.chargeTime);
}

// The shot starts inside the player, facing its way, and first moves next frame.
void Schnecke::fire(int type, GameEvents& events) {
  if (type < 0 || type > 1 || !shotPrototypes[type])
    return; // there are only the two shot types
  projectiles.push_back(new Projektil(modelMatrix, *shotPrototypes[type], type));
  if (type == 0)
    events.shotFired();
  else
    events.superShotFired();
}

// A game that is over is over: the player lying on the ground while the
// game-over clip plays loses nothing more, so lives stays at -1.
void Schnecke::takeDamage(int amount, GameEvents& events) {
  if (invulnerable || gameOver)
    return;
  health -= amount;
  combo = 1;
  events.playerHit();
  if (health >= 1)
    invulnerable = true;
  else
    loseLife(events);
}

// Losing a life grants no invulnerability: a lasting contact goes on hurting.
void Schnecke::loseLife(GameEvents& events) {
  --lives;
  events.lifeLost();
  if (lives < 0)
    gameOver = true;
  else
    health = kMaxHealth;
}

int Schnecke::draw(glm::mat4 world, bool cull) {
  return SceneObject::draw(world, cull) + drawEach(projectiles, world, cull);
}

void Schnecke::drawShadow(Game* game) {
  SceneObject::drawShadow(game);
  drawShadowOfEach(projectiles, game);
}

void Schnecke::setTextureFilter(bool linear, bool mipmap, bool mipmapLinear) {
  SceneObject::setTextureFilter(linear, mipmap, mipmapLinear);
  setTextureFilterOfEach(projectiles, linear, mipmap, mipmapLinear);
  // Shots share their prototype's textures: filtering the prototypes too
  // reaches the shots fired later, even when none is in flight now.
  setTextureFilterOfEach(shotPrototypes, linear, mipmap, mipmapLinear);
}
