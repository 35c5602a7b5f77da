// The rotor blade on top of a flying enemy. Its enemy copies its own matrix
// onto the rotor every frame; the rotor then turns itself by its spin angle
// about the enemy's vertical axis. It is no target: it is not in the game's
// enemy list, and it casts no shadow.
#pragma once

#include "objects/Gegner.h"

class HummelotRotorblatt : public Gegner {
public:
  HummelotRotorblatt(const glm::vec3& position, Shader* shader, Shader* shadowShader);

  void update(double dt, Game* game) override;

  float spinAngle = 0.0f; // degrees, kept within 0..360
};
