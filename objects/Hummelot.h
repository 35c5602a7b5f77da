// The flying enemy. It circles in place (one turn every eight seconds), fires
// a laser shot straight ahead once per second and carries a spinning rotor.
// It owns its rotor, its laser prototype and its shots in flight; all of them
// go when the enemy is destroyed.
#pragma once

#include "objects/Gegner.h"

#include <vector>

class GegnerProjektil;
class HummelotRotorblatt;

class Hummelot : public Gegner {
public:
  Hummelot(const glm::vec3& position, Shader* shader, Shader* shadowShader);

  void setTextureFilter(bool linear, bool mipmap, bool mipmapLinear) override;
  ~Hummelot() override;
  void update(double dt, Game* game) override;
  int draw(glm::mat4 world, bool cull) override;
  void drawShadow(Game* game) override;

  // flight
  int forwardSpeed = 0; // model units per second along local -Z
  int turnRate = 0;     // degrees per second about local Y
  // firing
  double fireTimer = 0.0;
  double fireInterval = 0.0;
  int shotDamage = 0;
  int shotSpeed = 0;
  double shotLifetime = 0.0;
  GegnerProjektil* laserPrototype = nullptr;
  std::vector<GegnerProjektil*> shots;
  // parts
  HummelotRotorblatt* rotor = nullptr;
};
