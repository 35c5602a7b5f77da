// The player's ball of wool. A prototype per shot type is built from a model
// and never flies; every shot in flight is a clone of one, sharing its meshes,
// GL objects and collision models. A shot flies straight along the heading the
// player had when it fired, damages every enemy it touches, and ends on its
// first hit, on touching the level or after its lifetime.
#pragma once

#include "render/SceneObject.h"

class Projektil : public SceneObject {
public:
  // A prototype: the model of the given shot type (0 normal, 1 super).
  Projektil(Shader* shader, Shader* shadowShader, int shotType);
  // A shot of the given type, cloned from that type's prototype.
  Projektil(const glm::mat4& modelMatrix, const Projektil& prototype, int shotType);

  void update(double dt, Game* game) override;

  int shotType = 0;
  int damage = 0;
  float speed = 0.0f; // along local Z; negative is forward
  bool finished = false;
  double lifetime = 0.0;
  double age = 0.0;
};
