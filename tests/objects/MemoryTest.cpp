// Shots are clones: destroying one frees nothing of its prototype, and the
// game's memory stays flat however many shots have come and gone.
//
// The leak check proper is these tests in the sanitizer build:
// scripts/sanitize.sh object_tests.
#include "objects/GegnerProjektil.h"
#include "objects/HummelotRotorblatt.h"
#include "objects/Projektil.h"
#include "tests/objects/ObjectWorld.h"

#include <GL/glew.h>
#include <malloc.h>

namespace felidora::test {
namespace {

class ShotMemory : public ObjectWorld {};

std::size_t heapInUse() { return mallinfo2().uordblks; }

bool allAlive(const SceneObject& object) {
  for (std::size_t i = 0; i < object.meshes.size(); ++i)
    if (!glIsVertexArray(object.vertexArrays[i]) || !glIsBuffer(object.positionBuffers[i]) ||
        !glIsBuffer(object.indexBuffers[i]))
      return false;
  return !object.meshes.empty();
}

TEST_F(ShotMemory, DestroyedShotsLeaveThePrototypeIntact) {
  Schnecke* player = addPlayer({0.0f, kSky, 0.0f});
  const Projektil& prototype = *player->shotPrototypes[0];
  ASSERT_TRUE(allAlive(prototype));
  for (int i = 0; i < 50; ++i)
    player->fire(0, *game->events);
  for (Projektil* shot : player->projectiles)
    delete shot;
  player->projectiles.clear();
  EXPECT_TRUE(allAlive(prototype));
  ASSERT_NE(prototype.boxCollisionModel, nullptr);

  // a shot made afterwards still draws and collides through the prototype
  player->fire(0, *game->events);
  EXPECT_EQ(player->projectiles[0]->draw(glm::mat4(1.0f), false), 1);
  EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
  Hummelot* enemy = addEnemy({0.0f, kSky, -100.0f});
  frame(0.1);
  EXPECT_EQ(enemy->hitPoints, 5);
}

TEST_F(ShotMemory, ThousandsOfShotsLeaveTheHeapFlat) {
  Schnecke* player = addPlayer({0.0f, kSky, 0.0f});
  Hummelot* enemy = addEnemy({0.0f, kSky, -3000.0f});
  enemy->hitPoints = 1000000; // stays through all of it
  KeyFlags.keyLeft = true;    // fly a circle
  const auto play = [&](int frames) {
    for (int i = 0; i < frames; ++i) {
      KeyFlags.keyFire = i % 2 == 0; // a tap every other frame
      frame(0.1);
      ASSERT_LE(player->projectiles.size(), 26u);
      ASSERT_LE(enemy->shots.size(), 6u);
    }
  };
  play(1000); // warm up: every container at its working size
  const std::size_t before = heapInUse();
  play(6000); // 3000 more player shots and 600 laser shots come and go
  const std::size_t after = heapInUse();
  // a clone is a few hundred bytes; a leak of even one per shot would show
  EXPECT_LT(after, before + 64 * 1024) << "heap grew from " << before << " to " << after;
}

TEST_F(ShotMemory, ADestroyedEnemyTakesItsShotsRotorAndPrototypeWithIt) {
  Hummelot* enemy = addEnemy({0.0f, kSky, 0.0f});
  for (int i = 0; i < 4; ++i)
    enemy->update(1.0, game);
  ASSERT_EQ(enemy->shots.size(), 4u);
  const unsigned laserArray = enemy->laserPrototype->vertexArrays.at(0);
  const unsigned rotorArray = enemy->rotor->vertexArrays.at(0);
  ASSERT_TRUE(glIsVertexArray(laserArray));
  ASSERT_TRUE(glIsVertexArray(rotorArray));

  game->enemies.clear();
  delete enemy;
  EXPECT_FALSE(glIsVertexArray(laserArray));
  EXPECT_FALSE(glIsVertexArray(rotorArray));
  EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

TEST_F(ShotMemory, ADestroyedPlayerTakesItsShotsAndPrototypesWithIt) {
  Schnecke* player = addPlayer({0.0f, kSky, 0.0f});
  player->fire(0, *game->events);
  player->fire(1, *game->events);
  const unsigned normal = player->shotPrototypes[0]->vertexArrays.at(0);
  const unsigned super = player->shotPrototypes[1]->vertexArrays.at(0);
  game->player = nullptr;
  delete player;
  EXPECT_FALSE(glIsVertexArray(normal));
  EXPECT_FALSE(glIsVertexArray(super));
}

} // namespace
} // namespace felidora::test
