// Damage and lives: invulnerability, contact with the landscape and with
// enemies, the loss of a life and the end of the game.
#include "objects/GegnerProjektil.h"
#include "tests/objects/ObjectWorld.h"

#include <cmath>

namespace felidora::test {
namespace {

class PlayerDamage : public ObjectWorld {
protected:
  // A player resting against the landscape: its sphere touches the ground.
  Schnecke* addGroundedPlayer() {
    const float x = 0.0f, z = 400.0f; // below the player's start
    const float y = contactHeight(x, z, 10.0f);
    if (std::isnan(y))
      return nullptr;
    return addPlayer({x, y - 1.0f, z});
  }
};

TEST_F(PlayerDamage, InvulnerabilityLastsTwoSeconds) {
  Schnecke* player = addPlayer({0.0f, kSky, 0.0f});
  player->takeDamage(1, *game->events);
  EXPECT_EQ(player->health, 5);
  EXPECT_TRUE(player->invulnerable);
  player->takeDamage(3, *game->events);
  EXPECT_EQ(player->health, 5);

  for (int i = 0; i < 7; ++i)
    frame(0.25);
  EXPECT_TRUE(player->invulnerable) << "1.75 s";
  frame(0.25);
  EXPECT_FALSE(player->invulnerable) << "2.0 s";
  EXPECT_EQ(player->invulnerableTime, 0.0);
  player->takeDamage(1, *game->events);
  EXPECT_EQ(player->health, 4);
}

TEST_F(PlayerDamage, LevelContactHurtsTurnsAndLifts) {
  Schnecke* player = addGroundedPlayer();
  ASSERT_NE(player, nullptr) << "no ground below the player's start";
  player->combo = 4;
  const glm::vec3 start = player->position();
  frame(0.1);
  EXPECT_EQ(player->health, 5);
  EXPECT_EQ(player->combo, 1);
  EXPECT_TRUE(player->invulnerable);
  // 18 degrees about its own vertical axis, 5 units up, then 4 ahead
  EXPECT_NEAR(player->modelMatrix[0].x, std::cos(glm::radians(18.0f)), 1e-5);
  EXPECT_NEAR(player->modelMatrix[0].z, -std::sin(glm::radians(18.0f)), 1e-5);
  EXPECT_NEAR(player->position().y - start.y, 5.0f, 1e-3);
  EXPECT_NEAR(glm::length(glm::vec2(player->position().x - start.x, player->position().z - start.z)), 4.0f, 1e-3);
}

TEST_F(PlayerDamage, LevelContactWhileInvulnerableTurnsAndLiftsButCostsNothing) {
  Schnecke* player = addGroundedPlayer();
  ASSERT_NE(player, nullptr) << "no ground below the player's start";
  player->invulnerable = true;
  player->combo = 4;
  const glm::vec3 start = player->position();
  frame(0.1);
  EXPECT_EQ(player->health, 6);
  EXPECT_EQ(player->combo, 4);
  EXPECT_NEAR(player->modelMatrix[0].x, std::cos(glm::radians(18.0f)), 1e-5);
  EXPECT_NEAR(player->position().y - start.y, 5.0f, 1e-3);
}

class EnemyContact : public PlayerDamage {
protected:
  // Two enemies whose centres lie on the left and right faces of the
  // player's box, so both touch it.
  void addFlankingEnemies(Schnecke* player) {
    glm::vec3 lo, hi;
    modelBox(*player, lo, hi);
    ASSERT_LT(lo.x, 0.0f);
    ASSERT_GT(hi.x, 0.0f);
    ASSERT_TRUE(lo.y <= 0.0f && hi.y >= 0.0f && lo.z <= 0.0f && hi.z >= 0.0f);
    addEnemy(player->position() + glm::vec3(hi.x, 0.0f, 0.0f));
    addEnemy(player->position() + glm::vec3(lo.x, 0.0f, 0.0f));
  }
  static constexpr double kBlink = 0.001; // the player moves 0.04 units
};

TEST_F(EnemyContact, TwoEnemiesTouchedInOneFrameCostOnce) {
  Schnecke* player = addPlayer({0.0f, kSky, 0.0f});
  addFlankingEnemies(player);
  player->combo = 3;
  player->handleInput(game);
  player->update(kBlink, game);
  EXPECT_EQ(player->health, 5);
  EXPECT_EQ(player->combo, 1);
  EXPECT_TRUE(player->invulnerable);
}

TEST_F(EnemyContact, EachEnemyTouchCostsWhenTheFirstTookTheLastHitPoint) {
  Schnecke* player = addPlayer({0.0f, kSky, 0.0f});
  addFlankingEnemies(player);
  player->lives = 1;
  player->health = 1;
  player->update(kBlink, game);
  EXPECT_EQ(player->lives, 0);
  EXPECT_EQ(player->health, 5); // a fresh life, then the second enemy
  EXPECT_TRUE(player->invulnerable);
  EXPECT_FALSE(player->gameOver);
}

TEST_F(EnemyContact, AnEnemyAwayFromTheBoxCostsNothing) {
  Schnecke* player = addPlayer({0.0f, kSky, 0.0f});
  glm::vec3 lo, hi;
  modelBox(*player, lo, hi);
  addEnemy(player->position() + glm::vec3(hi.x + 5.5f, 0.0f, 0.0f));
  player->update(kBlink, game);
  EXPECT_EQ(player->health, 6);
}

TEST_F(PlayerDamage, SixthPointWithNoSpareLifeEndsTheGameAndNothingHurtsAfter) {
  Schnecke* player = addPlayer({0.0f, kSky, 0.0f});
  ASSERT_EQ(player->lives, 0);
  for (int i = 1; i <= 5; ++i) {
    player->takeDamage(1, *game->events);
    frame(2.0); // out of invulnerability
  }
  EXPECT_EQ(player->health, 1);
  EXPECT_FALSE(player->gameOver);
  player->takeDamage(1, *game->events);
  EXPECT_TRUE(player->gameOver);
  EXPECT_EQ(player->health, 0);
  EXPECT_EQ(player->lives, -1);
  EXPECT_FALSE(player->invulnerable);
  player->takeDamage(2, *game->events); // a game that is over is over
  EXPECT_EQ(player->lives, -1);
  EXPECT_EQ(player->health, 0);
  EXPECT_TRUE(player->gameOver);
}

TEST_F(PlayerDamage, ALostLifeWithASpareOneRestoresHealth) {
  Schnecke* player = addPlayer({0.0f, kSky, 0.0f});
  player->lives = 2;
  player->health = 2;
  player->takeDamage(3, *game->events);
  EXPECT_EQ(player->lives, 1);
  EXPECT_EQ(player->health, 6);
  EXPECT_FALSE(player->invulnerable);
  EXPECT_FALSE(player->gameOver);
}

TEST_F(PlayerDamage, ComboResetsOnALaserHit) {
  Schnecke* player = addPlayer({0.0f, kSky, 0.0f});
  Hummelot* enemy = addEnemy({0.0f, kSky, 300.0f});
  player->update(0.0, game); // places the player's box
  player->combo = 9;
  glm::vec3 lo, hi;
  modelBox(*player, lo, hi);
  const glm::vec3 onTheBox = player->position() + glm::vec3(hi.x, 0.0f, 0.0f);
  GegnerProjektil shot(glm::translate(glm::mat4(1.0f), onTheBox), *enemy->laserPrototype, 1, 60, 5.0);
  shot.update(0.0, game);
  EXPECT_TRUE(shot.dead);
  EXPECT_EQ(player->health, 5);
  EXPECT_EQ(player->combo, 1);
}

} // namespace
} // namespace felidora::test
