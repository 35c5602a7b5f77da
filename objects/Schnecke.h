// The player: a flying snail under keyboard control. It turns and climbs with
// the arrow keys, always flies forward, boosts on S and brakes on A for a
// limited time, and fires balls of wool (a charged super shot after holding
// the fire key for three seconds). It keeps health, lives, score and the kill
// multiplier, owns its shots, drives the chase camera and carries the monitor
// in front of it.
#pragma once

#include "objects/FireTrigger.h"
#include "objects/SpeedStages.h"
#include "render/SceneObject.h"

#include <vector>

class Projektil;
class GameEvents;

class Schnecke : public SceneObject {
public:
  Schnecke(const glm::vec3& position, Shader* shader, Shader* shadowShader);

  void setTextureFilter(bool linear, bool mipmap, bool mipmapLinear) override;
  ~Schnecke() override;
  void update(double dt, Game* game) override;
  int draw(glm::mat4 world, bool cull) override;
  void drawShadow(Game* game) override;

  void resetPlayer();
  void handleInput(Game* game);
  // Between the sub-steps of a long frame: the frame's fire press has fired,
  // and the key counts as held, without charging, for the rest of the frame.
  void continueInput();
  // These report what happens to the events they are given (the game's).
  void fire(int type, GameEvents& events);
  void takeDamage(int amount, GameEvents& events);
  void loseLife(GameEvents& events);

  // status
  int lives = 0;
  int health = 6;
  int score = 0;
  bool invulnerable = false;
  double invulnerableTime = 0.0;
  // shots: the two prototypes (0 normal, 1 super) and the shots in flight
  Projektil* shotPrototypes[2] = {nullptr, nullptr};
  std::vector<Projektil*> projectiles;
  // steering
  int verticalInput = 0;
  int turnInput = 0;
  float verticalSpeed = 20.0f;
  float turnSpeed = 45.0f;
  // boost and brake (with the forward speed), fire and super-shot charge
  SpeedStages speedStages;
  FireTrigger fireTrigger;
  // outcome
  int combo = 1;
  bool gameOver = false;

private:
  void updateSpeedState(double dt, GameEvents& events);
  void touchLevel(double dt, Game* game);
  void updateShots(double dt, Game* game);
  void touchEnemies(Game* game);
  glm::vec3 updateCamera(GameEvents& events);
  void placeMonitor(Game* game, const glm::vec3& eye);
  void updateFire(double dt, GameEvents& events);
};
