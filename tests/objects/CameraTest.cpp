// The chase camera: every player update makes the view of the lit program.
#include "tests/objects/ObjectWorld.h"

#include <GL/glew.h>

namespace felidora::test {
namespace {

class ChaseCamera : public ObjectWorld {};

glm::mat4 uniformMatrix(unsigned program, const char* name) {
  glm::mat4 value(0.0f);
  const GLint location = glGetUniformLocation(program, name);
  EXPECT_GE(location, 0) << name;
  glGetUniformfv(program, location, &value[0][0]);
  return value;
}

// The player at (30, 2000, -20) turned a quarter left faces world -x, so
// behind it is world +x: the eye sits at (36, 2004, -20), looks down at the
// player over a slope of 4 in 6, and the view's right is world -z.
TEST_F(ChaseCamera, LooksAtThePlayerFromFourUpAndSixBehind) {
  Schnecke* player = addPlayer({30.0f, 2000.0f, -20.0f});
  player->modelMatrix = glm::rotate(player->modelMatrix, glm::radians(90.0f), glm::vec3(0.0f, 1.0f, 0.0f));
  frame(0.0); // no time: the player stays put, the camera follows
  EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));

  const unsigned program = game->mainShader->program;
  const glm::mat4 view = uniformMatrix(program, "viewMatrix");
  EXPECT_EQ(game->mainShader->viewMatrix, view);
  const auto seen = [&view](float x, float y, float z) { return glm::vec3(view * glm::vec4(x, y, z, 1.0f)); };
  // world coordinates near 2000 keep about four decimals in single precision
  const float tolerance = 2e-3f;
  const glm::vec3 eye = seen(36.0f, 2004.0f, -20.0f);
  EXPECT_NEAR(glm::length(eye), 0.0f, tolerance) << "the eye";
  const glm::vec3 target = seen(30.0f, 2000.0f, -20.0f);
  EXPECT_NEAR(target.x, 0.0f, tolerance);
  EXPECT_NEAR(target.y, 0.0f, tolerance);
  EXPECT_NEAR(target.z, -7.2111f, tolerance) << "straight ahead, sqrt(6 * 6 + 4 * 4) away";
  const glm::vec3 right = seen(36.0f, 2004.0f, -21.0f);
  EXPECT_NEAR(right.x, 1.0f, tolerance);
  EXPECT_NEAR(right.y, 0.0f, tolerance);
  EXPECT_NEAR(right.z, 0.0f, tolerance);
  // up in the view is world up tilted towards the player: (-4, 6, 0) / 7.2111
  const glm::vec3 up = seen(36.0f - 0.5547f, 2004.0f + 0.8321f, -20.0f);
  EXPECT_NEAR(up.x, 0.0f, tolerance);
  EXPECT_NEAR(up.y, 1.0f, tolerance);
  EXPECT_NEAR(up.z, 0.0f, tolerance);

  glm::vec3 cameraLocation(0.0f);
  glGetUniformfv(program, glGetUniformLocation(program, "cameraLocation"), &cameraLocation[0]);
  EXPECT_EQ(cameraLocation, glm::vec3(view[3]));

  GLint current = -1;
  glGetIntegerv(GL_CURRENT_PROGRAM, &current);
  EXPECT_EQ(current, 0);
  EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

TEST_F(ChaseCamera, DrawsThePlayerAndItsShots) {
  Schnecke* player = addPlayer({0.0f, kSky, 0.0f});
  player->fire(0, *game->events);
  frame(0.5);
  player->fire(1, *game->events);
  frame(0.5);
  EXPECT_EQ(player->draw(glm::mat4(1.0f), false), 3);
  // both shots are ahead of the camera, inside the view
  EXPECT_EQ(player->draw(glm::mat4(1.0f), true), 3);
  game->aimSun();
  player->drawShadow(game);
  glBindFramebuffer(GL_FRAMEBUFFER, 0);
  glViewport(0, 0, 800, 600);
  EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

} // namespace
} // namespace felidora::test
