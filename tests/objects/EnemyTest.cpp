// The flying enemy: its circle, its once-a-second laser, and its rotor.
#include "objects/GegnerProjektil.h"
#include "objects/HummelotRotorblatt.h"
#include "render/GlFlavour.h"
#include "tests/objects/ObjectWorld.h"

#include <GL/glew.h>

#include <random>

namespace felidora::test {
namespace {

class Enemy : public ObjectWorld {};

TEST_F(Enemy, IsBackAtItsStartAfterEightSeconds) {
  const glm::vec3 start(10.0f, kSky, 10.0f);
  for (const double dt : {1.0 / 32.0, 0.125, 0.5}) {
    Hummelot* enemy = addEnemy(start);
    const glm::mat4 initial = enemy->modelMatrix;
    const int frames = static_cast<int>(8.0 / dt);
    float farthest = 0.0f;
    for (int i = 0; i < frames; ++i) {
      enemy->update(dt, game);
      farthest = std::max(farthest, glm::distance(enemy->position(), start));
    }
    // float rounding of a few hundred small moves and turns
    EXPECT_NEAR(glm::distance(enemy->position(), start), 0.0f, 0.02f) << "dt " << dt;
    for (int c = 0; c < 3; ++c)
      for (int r = 0; r < 3; ++r)
        EXPECT_NEAR(enemy->modelMatrix[c][r], initial[c][r], 1e-4) << "dt " << dt << " element " << c << r;
    // the circle of 20 units per second at 45 degrees per second: 51 across
    EXPECT_GT(farthest, 49.0f);
    EXPECT_LT(farthest, 51.5f); // half-second steps cut the circle into a 16-gon
    EXPECT_EQ(enemy->position().y, kSky);
    delete enemy;
    game->enemies.clear();
  }
}

TEST_F(Enemy, FiresAtTheFirstFrameItsTimerReachesOneSecond) {
  Hummelot* enemy = addEnemy({0.0f, kSky, 0.0f});
  // 0.3 s frames: the timer reads 0.3, 0.6, 0.9, 1.2 -> fire, restart at 0
  const std::size_t expected[8] = {0, 0, 0, 1, 1, 1, 1, 2};
  for (int i = 0; i < 8; ++i) {
    enemy->update(0.3, game);
    ASSERT_EQ(enemy->shots.size(), expected[i]) << "frame " << i + 1;
  }
  EXPECT_NEAR(enemy->fireTimer, 0.0, 1e-12);
  // the new shot left along the heading of its frame and has moved once
  const GegnerProjektil* shot = enemy->shots.back();
  EXPECT_EQ(shot->age, 0.3);
  EXPECT_EQ(shot->damage, 1);
  EXPECT_EQ(shot->speed, 60);
  EXPECT_EQ(shot->lifetime, 5.0);
  const glm::vec3 heading = -glm::normalize(glm::vec3(enemy->modelMatrix[2]));
  EXPECT_NEAR(glm::dot(glm::normalize(shot->position() - enemy->position()), heading), 1.0f, 1e-4);
  EXPECT_NEAR(glm::distance(shot->position(), enemy->position()), 36.0f, 1e-3);

  Hummelot* exact = addEnemy({100.0f, kSky, 0.0f});
  for (int i = 0; i < 3; ++i)
    exact->update(0.25, game);
  EXPECT_TRUE(exact->shots.empty());
  exact->update(0.25, game); // exactly 1.0
  EXPECT_EQ(exact->shots.size(), 1u);
}

TEST_F(Enemy, ShotsEndAfterTheirLifetime) {
  Hummelot* enemy = addEnemy({0.0f, kSky, 0.0f});
  for (int i = 0; i < 40; ++i)
    enemy->update(0.5, game);
  // one shot a second, each lasting five
  EXPECT_EQ(enemy->shots.size(), 5u);
}

TEST_F(Enemy, RotorSpinStaysWithinAFullTurn) {
  Hummelot* enemy = addEnemy({0.0f, kSky, 0.0f});
  std::mt19937 random(5);
  std::uniform_real_distribution<double> frameTime(0.0, 0.5);
  for (int i = 0; i < 20000; ++i) {
    const double dt = i % 97 == 0 ? 0.5 : frameTime(random);
    enemy->update(dt, game);
    ASSERT_GE(enemy->rotor->spinAngle, 0.0f) << "dt " << dt;
    ASSERT_LE(enemy->rotor->spinAngle, 360.0f) << "dt " << dt;
  }
}

TEST_F(Enemy, RotorSitsOnTheEnemyTurnedBySpin) {
  Hummelot* enemy = addEnemy({0.0f, kSky, 0.0f});
  enemy->update(0.1, game);
  enemy->update(0.1, game);
  EXPECT_FLOAT_EQ(enemy->rotor->spinAngle, 144.0f);
  const glm::mat4 expected = glm::rotate(enemy->modelMatrix, glm::radians(144.0f), glm::vec3(0.0f, 1.0f, 0.0f));
  for (int c = 0; c < 4; ++c)
    for (int r = 0; r < 4; ++r)
      EXPECT_NEAR(enemy->rotor->modelMatrix[c][r], expected[c][r], 1e-4);
}

// Counts the triangles the driver is given during `draw`.
template <typename Draw> GLuint primitivesOf(Draw draw) {
  GLuint query = 0;
  glGenQueries(1, &query);
  glBeginQuery(GL_PRIMITIVES_GENERATED, query);
  draw();
  glEndQuery(GL_PRIMITIVES_GENERATED);
  GLuint count = 0;
  glGetQueryObjectuiv(query, GL_QUERY_RESULT, &count);
  glDeleteQueries(1, &query);
  return count;
}

GLuint trianglesOf(const SceneObject& object) {
  GLuint sum = 0;
  for (const MeshData* mesh : object.meshes)
    sum += mesh->indexCount / 3;
  return sum;
}

TEST_F(Enemy, RotorIsDrawnButCastsNoShadow) {
  ASSERT_FALSE(game->level->lights.empty()) << "the shadow pass needs the sun";
  // below the sun, which looks at the origin: in its view
  Hummelot* enemy = addEnemy({0.0f, 500.0f, 0.0f});
  for (int i = 0; i < 5; ++i)
    enemy->update(0.5, game); // two shots in flight
  ASSERT_EQ(enemy->shots.size(), 2u);
  const GLuint body = trianglesOf(*enemy), rotor = trianglesOf(*enemy->rotor);
  const GLuint laser = trianglesOf(*enemy->laserPrototype);
  ASSERT_GT(rotor, 0u);
  drainGlErrors();
  // whole meshes are counted: the sieve would hand the GL only the triangles
  // that can colour a pixel
  const bool sifted = render::trianglesSifted();
  render::siftTriangles(false);

  int drawn = 0;
  const GLuint lit = primitivesOf([&] { drawn = enemy->draw(glm::mat4(1.0f), false); });
  EXPECT_EQ(drawn, 4);
  EXPECT_EQ(lit, body + rotor + 2 * laser);
  EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));

  game->aimSun();
  const GLuint shadow = primitivesOf([&] { enemy->drawShadow(game); });
  EXPECT_EQ(shadow, body + 2 * laser);
  EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
  render::siftTriangles(sifted);
  glBindFramebuffer(GL_FRAMEBUFFER, 0);
  glViewport(0, 0, 800, 600);
}

TEST_F(Enemy, TextureFilterReachesRotorAndShots) {
  Hummelot* enemy = addEnemy({0.0f, kSky, 0.0f});
  enemy->update(1.0, game);
  ASSERT_EQ(enemy->shots.size(), 1u);
  enemy->setTextureFilter(false, false, false);
  for (const SceneObject* part : {static_cast<const SceneObject*>(enemy), static_cast<const SceneObject*>(enemy->rotor),
                                  static_cast<const SceneObject*>(enemy->shots[0])}) {
    for (std::size_t i = 0; i < part->textures.size(); ++i) {
      if (!part->textures[i])
        continue;
      glBindTexture(GL_TEXTURE_2D, part->textures[i]);
      GLint minFilter = 0;
      glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, &minFilter);
      EXPECT_EQ(minFilter, GL_NEAREST);
    }
  }
  enemy->setTextureFilter(true, true, true);
  EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

} // namespace
} // namespace felidora::test
