// The water surface at y = 60. Drawn only by drawWaterSurface with the water
// program, which mirrors the world through the reflection texture and ripples
// it with the model's normal map.
#pragma once

#include "render/SceneObject.h"

class WasserPlane : public SceneObject {
public:
  WasserPlane(const glm::vec3& position, Shader* shader, Shader* shadowShader);

  void update(double dt, Game* game) override; // the water never moves
  void drawWaterSurface(Game* game, Shader* waterShader, glm::mat4 mirror);
};
