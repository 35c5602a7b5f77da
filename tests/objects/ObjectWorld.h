// A running game without the level set-up: the three programs, the generated
// landscape at (1, 1, 1) and whatever player and enemies a test puts in. The
// landscape is loaded once per suite; each test's objects go with the test.
#pragma once

#include "app/Game.h"
#include "app/KeyFlags.h"
#include "objects/Hummelot.h"
#include "objects/LevelScene.h"
#include "objects/Schnecke.h"
#include "render/CollisionModel3D.h"
#include "render/Shader.h"
#include "tests/support/GlContext.h"

#include <glm/glm.hpp>
#include <glm/gtc/matrix_transform.hpp>
#include <gtest/gtest.h>

#include <limits>

namespace felidora::test {

class ObjectWorld : public ::testing::Test {
protected:
  static void SetUpTestSuite() {
    if (!glAvailable())
      return;
    game = new Game;
    game->level =
        new LevelScene(glm::vec3(1.0f, 1.0f, 1.0f), game->mainShader, game->shadowShader, "Modelle/UmgebungGross.dae");
    // the camera values of the level set-up, so draws have a sane projection
    game->level->setProjectionMatrix(glm::perspective(glm::radians(60.0f), 800.0f / 600.0f, 0.1f, 6500.0f));
    game->shadowShader->projectionMatrix = game->mainShader->projectionMatrix;
    drainGlErrors();
  }

  static void TearDownTestSuite() {
    if (!game)
      return;
    delete game->level;
    game->level = nullptr;
    delete game;
    game = nullptr;
  }

  void SetUp() override {
    FELIDORA_REQUIRE_GL();
    ASSERT_NE(game, nullptr);
    ASSERT_NE(game->level->meshCollisionModel, nullptr) << "the generated landscape did not load";
    KeyFlags = KeyFlagTable{};
  }

  // The game never holds a test's objects beyond the test, nor reports to them.
  void TearDown() override {
    KeyFlags = KeyFlagTable{};
    if (!game)
      return;
    game->reportTo(nullptr);
    delete game->player;
    game->player = nullptr;
    for (Gegner* enemy : game->enemies)
      delete enemy;
    game->enemies.clear();
  }

  Schnecke* addPlayer(const glm::vec3& position) {
    delete game->player;
    game->player = new Schnecke(position, game->mainShader, game->shadowShader);
    return game->player;
  }

  Hummelot* addEnemy(const glm::vec3& position) {
    auto* enemy = new Hummelot(position, game->mainShader, game->shadowShader);
    game->enemies.push_back(enemy);
    return enemy;
  }

  // One frame as the game runs it: input, the player, then every enemy.
  void frame(double dt) {
    if (game->player) {
      game->player->handleInput(game);
      game->player->update(dt, game);
    }
    for (Gegner* enemy : game->enemies)
      enemy->update(dt, game);
  }

  static bool touchesLevel(const glm::vec3& centre, float radius) {
    LevelScene* level = game->level;
    level->meshCollisionModel->setTransform(&level->modelMatrix[0][0]);
    return level->meshCollisionModel->sphereCollision(&centre[0], radius);
  }

  // The highest height at which a sphere of the given radius above (x, z)
  // touches the landscape (to a hundredth of a unit); NaN if it never does.
  static float contactHeight(float x, float z, float radius) {
    const float step = radius * 0.5f; // never jumps across a surface
    for (float y = 3000.0f; y > -3000.0f; y -= step) {
      if (!touchesLevel({x, y, z}, radius))
        continue;
      float touching = y, free = y + step;
      while (free - touching > 0.01f) {
        const float middle = 0.5f * (touching + free);
        (touchesLevel({x, middle, z}, radius) ? touching : free) = middle;
      }
      return touching;
    }
    return std::numeric_limits<float>::quiet_NaN();
  }

  // The model-space bounding box of an object's meshes.
  static void modelBox(const SceneObject& object, glm::vec3& lo, glm::vec3& hi) {
    lo = glm::vec3(std::numeric_limits<float>::max());
    hi = -lo;
    for (const MeshData* mesh : object.meshes)
      for (std::size_t v = 0; v + 2 < mesh->positions.size(); v += 3) {
        const glm::vec3 p(mesh->positions[v], mesh->positions[v + 1], mesh->positions[v + 2]);
        lo = glm::min(lo, p);
        hi = glm::max(hi, p);
      }
  }

  inline static Game* game = nullptr;
  // Far above anything the landscape holds.
  inline static const float kSky = 2000.0f;
};

} // namespace felidora::test
