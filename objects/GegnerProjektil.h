// An enemy's laser shot. Each enemy builds one prototype from the laser model;
// every shot in flight is a clone of it. A shot flies straight along the
// heading its enemy had when it fired and ends on touching the level, on
// touching the player (whom it damages) or after its lifetime.
#pragma once

#include "render/SceneObject.h"

#include <string>

class GegnerProjektil : public SceneObject {
public:
  // The prototype, loaded from a model file.
  GegnerProjektil(Shader* shader, Shader* shadowShader, std::string modelPath);
  // A shot, cloned from the prototype with the enemy's matrix at firing.
  GegnerProjektil(const glm::mat4& modelMatrix, const GegnerProjektil& prototype, int damage, int speed,
                  double lifetime);

  void update(double dt, Game* game) override;

  bool dead = false;
  int damage = 0;
  int speed = 0; // model units per second along local -Z
  double lifetime = 0.0;
  double age = 0.0;
};
