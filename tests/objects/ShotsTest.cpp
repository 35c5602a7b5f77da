// Shots in flight: the player's balls of wool and the enemies' laser shots,
// their range, what they hit and when they end.
#include "objects/GegnerProjektil.h"
#include "objects/Projektil.h"
#include "tests/objects/ObjectWorld.h"
#include "tests/support/RecordedEvents.h"

#include <GL/glew.h>

#include <cmath>
#include <string>
#include <vector>

namespace felidora::test {
namespace {

class Shots : public ObjectWorld {
protected:
  // A player shot whose first move of `dt` ends at `target`, flying along -Z.
  Projektil* shotEndingAt(const glm::vec3& target, int type, double dt) {
    Schnecke* player = game->player ? game->player : addPlayer({0.0f, kSky, 0.0f});
    const glm::vec3 start = target + glm::vec3(0.0f, 0.0f, 80.0f * static_cast<float>(dt));
    return new Projektil(glm::translate(glm::mat4(1.0f), start), *player->shotPrototypes[type], type);
  }

  // Where the enemy's +Z box face crosses its forward axis.
  static glm::vec3 frontOfBox(const Hummelot& enemy) {
    glm::vec3 lo, hi;
    modelBox(enemy, lo, hi);
    return enemy.position() + glm::vec3(0.0f, 0.0f, 2.0f * hi.z);
  }

  static glm::mat4 enemyMatrixAt(const glm::vec3& position) {
    return glm::scale(glm::translate(glm::mat4(1.0f), position), glm::vec3(2.0f));
  }
};

TEST_F(Shots, AnUnobstructedPlayerShotEndsAfterFiveSecondsNear400Units) {
  Schnecke* player = addPlayer({0.0f, kSky, 0.0f});
  for (int type = 0; type < 2; ++type) {
    Projektil shot(player->modelMatrix, *player->shotPrototypes[type], type);
    const glm::vec3 start = shot.position();
    const double dt = 1.0 / 64.0;
    int updates = 0;
    while (!shot.finished && updates < 1000) {
      shot.update(dt, game);
      ++updates;
    }
    EXPECT_EQ(updates, 320) << "type " << type;
    EXPECT_GE(shot.age, 5.0);
    // 319 moves of 1.25 units: the last update only ends the shot
    EXPECT_NEAR(glm::distance(shot.position(), start), 398.75f, 0.05f); // float sums of 319 moves
    EXPECT_NEAR(shot.position().z - start.z, -398.75f, 0.05f);
  }
}

TEST_F(Shots, AnUnobstructedLaserShotEndsNear600WorldUnits) {
  Hummelot* enemy = addEnemy({0.0f, kSky, 0.0f});
  GegnerProjektil shot(enemy->modelMatrix, *enemy->laserPrototype, 1, 60, 5.0);
  const glm::vec3 start = shot.position();
  int updates = 0;
  while (!shot.dead && updates < 1000) {
    shot.update(1.0 / 64.0, game);
    ++updates;
  }
  EXPECT_EQ(updates, 320);
  EXPECT_NEAR(glm::distance(shot.position(), start), 598.125f, 0.05f); // float sums of 319 moves
}

TEST_F(Shots, FiveNormalShotsKillAnEnemy) {
  Hummelot* enemy = addEnemy({0.0f, kSky, 0.0f});
  for (int k = 1; k <= 5; ++k) {
    Projektil* shot = shotEndingAt(frontOfBox(*enemy), 0, 0.1);
    shot->update(0.1, game);
    EXPECT_TRUE(shot->finished) << "shot " << k;
    delete shot;
    EXPECT_EQ(enemy->hitPoints, 5 - k);
    EXPECT_EQ(enemy->dead, k == 5) << "shot " << k;
  }
}

TEST_F(Shots, ThreeSuperShotsKillAnEnemy) {
  RecordedEvents events;
  game->reportTo(&events);
  Hummelot* enemy = addEnemy({0.0f, kSky, 0.0f});
  const int expected[3] = {3, 1, -1};
  for (int k = 0; k < 3; ++k) {
    Projektil* shot = shotEndingAt(frontOfBox(*enemy), 1, 0.1);
    shot->update(0.1, game);
    delete shot;
    EXPECT_EQ(enemy->hitPoints, expected[k]);
    EXPECT_EQ(enemy->dead, k == 2);
  }
  // a later hit in the same frame changes nothing that matters: still dead
  Projektil* late = shotEndingAt(frontOfBox(*enemy), 0, 0.1);
  late->update(0.1, game);
  delete late;
  EXPECT_TRUE(enemy->dead);
  EXPECT_EQ(enemy->hitPoints, -2);
  // and the wreck hit again is not heard again
  EXPECT_EQ(events.heard, (std::vector<std::string>{"enemyHit", "enemyHit", "enemyDestroyed"}));
}

TEST_F(Shots, OneShotTouchingTwoEnemiesDamagesBothAndEnds) {
  const glm::vec3 point(0.0f, kSky, 0.0f);
  Hummelot probe({0.0f, kSky, 0.0f}, game->mainShader, game->shadowShader);
  glm::vec3 lo, hi;
  modelBox(probe, lo, hi);
  ASSERT_TRUE(lo.x < 0.0f && hi.x > 0.0f);
  // the point lies on the right face of one and the left face of the other
  Hummelot* left = addEnemy(point - glm::vec3(2.0f * hi.x, 0.0f, 0.0f));
  Hummelot* right = addEnemy(point - glm::vec3(2.0f * lo.x, 0.0f, 0.0f));
  Projektil* shot = shotEndingAt(point, 0, 0.1);
  shot->update(0.1, game);
  EXPECT_TRUE(shot->finished);
  EXPECT_EQ(left->hitPoints, 4);
  EXPECT_EQ(right->hitPoints, 4);
  delete shot;
}

TEST_F(Shots, APlayerShotEndsOnTheLandscape) {
  const float y = contactHeight(0.0f, 400.0f, 10.0f);
  ASSERT_FALSE(std::isnan(y));
  Projektil* shot = shotEndingAt({0.0f, y - 1.0f, 400.0f}, 0, 0.1);
  shot->update(0.1, game);
  EXPECT_TRUE(shot->finished);
  delete shot;
}

// A filter change with no shot in flight still reaches the shots fired later:
// they share their prototypes' textures.
TEST_F(Shots, ShotsFiredAfterAFilterChangeSampleWithTheNewFilter) {
  Schnecke* player = addPlayer({0.0f, kSky, 0.0f});
  Hummelot* enemy = addEnemy({0.0f, kSky, -500.0f});
  ASSERT_TRUE(player->projectiles.empty());
  ASSERT_TRUE(enemy->shots.empty());
  player->setTextureFilter(false, false, false);
  enemy->setTextureFilter(false, false, false);
  player->fire(0, *game->events);
  player->fire(1, *game->events);
  frame(1.05); // the enemy fires its first laser shot
  ASSERT_EQ(enemy->shots.size(), 1u);
  std::vector<const SceneObject*> shots(player->projectiles.begin(), player->projectiles.end());
  shots.push_back(enemy->shots[0]);
  for (const SceneObject* shot : shots)
    for (unsigned texture : shot->textures) {
      glBindTexture(GL_TEXTURE_2D, texture);
      GLint minFilter = 0, magFilter = 0;
      glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, &minFilter);
      glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, &magFilter);
      EXPECT_EQ(minFilter, GL_NEAREST);
      EXPECT_EQ(magFilter, GL_NEAREST);
    }
  player->setTextureFilter(true, true, true);
  enemy->setTextureFilter(true, true, true);
  EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

TEST_F(Shots, TheGameFreesAFinishedShotAndKeepsTheOthers) {
  Schnecke* player = addPlayer({0.0f, kSky, 0.0f});
  player->fire(0, *game->events);
  frame(1.0);
  player->fire(1, *game->events);
  frame(3.5);
  ASSERT_EQ(player->projectiles.size(), 2u);
  frame(1.0); // the first is 5.5 s old, the second 4.5 s
  ASSERT_EQ(player->projectiles.size(), 1u);
  EXPECT_EQ(player->projectiles[0]->shotType, 1);
}

TEST_F(Shots, ALaserShotTouchingLevelAndPlayerBothEndsAndDamages) {
  const float x = 0.0f, z = 400.0f;
  const float ground = contactHeight(x, z, 10.0f);
  ASSERT_FALSE(std::isnan(ground));
  const glm::vec3 hit(x, ground - 1.0f, z); // inside the ground's reach

  Schnecke* player = addPlayer(hit);
  glm::vec3 lo, hi;
  modelBox(*player, lo, hi);
  player->modelMatrix[3] = glm::vec4(hit - glm::vec3(hi.x, 0.0f, 0.0f), 1.0f); // its right face at the hit
  // the placement the player's own update makes before the enemies move
  player->boxCollisionModel->setTransform(&player->modelMatrix[0][0]);

  Hummelot* enemy = addEnemy({0.0f, kSky, 0.0f});
  const double dt = 0.05; // 6 units at 120 per second
  GegnerProjektil shot(enemyMatrixAt(hit + glm::vec3(0.0f, 0.0f, 6.0f)), *enemy->laserPrototype, 1, 60, 5.0);
  shot.update(dt, game);
  EXPECT_TRUE(shot.dead);
  EXPECT_EQ(player->health, 5);
  EXPECT_TRUE(player->invulnerable);
}

TEST_F(Shots, ALaserShotOnAnInvulnerablePlayerOnlyEnds) {
  Schnecke* player = addPlayer({0.0f, kSky, 0.0f});
  Hummelot* enemy = addEnemy({0.0f, kSky + 500.0f, 0.0f});
  player->update(0.0, game);
  glm::vec3 lo, hi;
  modelBox(*player, lo, hi);
  const glm::vec3 onTheBox = player->position() + glm::vec3(hi.x, 0.0f, 0.0f);
  GegnerProjektil first(enemyMatrixAt(onTheBox), *enemy->laserPrototype, 1, 60, 5.0);
  GegnerProjektil second(enemyMatrixAt(onTheBox), *enemy->laserPrototype, 1, 60, 5.0);
  first.update(0.0, game);
  second.update(0.0, game);
  EXPECT_TRUE(first.dead);
  EXPECT_TRUE(second.dead);
  EXPECT_EQ(player->health, 5);
}

TEST_F(Shots, TheLastHitPointToALaserWithNoSpareLifeEndsTheGame) {
  Schnecke* player = addPlayer({0.0f, kSky, 0.0f});
  Hummelot* enemy = addEnemy({0.0f, kSky + 500.0f, 0.0f});
  player->update(0.0, game);
  player->health = 1;
  glm::vec3 lo, hi;
  modelBox(*player, lo, hi);
  GegnerProjektil shot(enemyMatrixAt(player->position() + glm::vec3(0.0f, hi.y, 0.0f)), *enemy->laserPrototype, 1, 60,
                       5.0);
  shot.update(0.0, game);
  EXPECT_TRUE(shot.dead);
  EXPECT_TRUE(player->gameOver);
}

} // namespace
} // namespace felidora::test
