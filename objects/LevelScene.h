// The landscape: what everything flies over, collides with and is lit and
// shadowed by. It owns the scene's lights (the sun is light 0) and the shadow
// map, and it is the object through which the shared lit program's camera,
// clip plane and lights are set. It knows where its ground dips under the
// water, so that the reflection is drawn only where water can show.
#pragma once

#include "render/SceneObject.h"
#include "render/WaterReach.h"

#include <string>

class LevelScene : public SceneObject {
public:
  LevelScene(const glm::vec3& position, Shader* shader, Shader* shadowShader, std::string modelPath);
  ~LevelScene() override = default;

  void update(double dt, Game* game) override; // the landscape never moves

  // The first mesh that is a height field over a rectangle, against the water
  // plane; knows no ground when none is.
  WaterReach waterReach;
};
