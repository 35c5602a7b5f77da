// The enemy base: a scene object with the three values through which the rest
// of the game deals with an enemy. The game deletes an enemy whose `dead` is
// set after all enemy updates of the frame; the player loses `contactDamage`
// on touching it; each player shot takes its damage from `hitPoints`.
#pragma once

#include "render/SceneObject.h"

class Gegner : public SceneObject {
public:
  Gegner(const glm::vec3& position, Shader* shader, Shader* shadowShader);
  ~Gegner() override = default;

  void update(double dt, Game* game) override = 0;

  bool dead = false;
  int contactDamage = 0; // set by the subclass
  int hitPoints = 0;     // set by the subclass
};
