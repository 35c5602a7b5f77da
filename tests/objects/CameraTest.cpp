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

TEST_F(ChaseCamera, LooksAtThePlayerFromFourUpAndSixBehind) {
  Schnecke* player = addPlayer({30.0f, kSky, -20.0f});
  KeyFlags.keyLeft = true; // a heading that is not an axis
  KeyFlags.keyDown = true;
  frame(0.7);
  EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));

  const glm::mat4 m = player->modelMatrix;
  const glm::vec3 p(m[3]);
  const glm::vec3 eye = p + 4.0f * glm::vec3(m[1]) + 6.0f * glm::vec3(m[2]);
  const glm::mat4 expected = glm::lookAt(eye, p, glm::vec3(0.0f, 1.0f, 0.0f));

  const unsigned program = game->mainShader->program;
  const glm::mat4 uploaded = uniformMatrix(program, "viewMatrix");
  for (int c = 0; c < 4; ++c)
    for (int r = 0; r < 4; ++r) {
      EXPECT_NEAR(uploaded[c][r], expected[c][r], 1e-3) << "element " << c << r;
      EXPECT_EQ(game->mainShader->viewMatrix[c][r], uploaded[c][r]);
    }

  glm::vec3 cameraLocation(0.0f);
  glGetUniformfv(program, glGetUniformLocation(program, "cameraLocation"), &cameraLocation[0]);
  EXPECT_EQ(cameraLocation, glm::vec3(uploaded[3]));

  // seen through the view the player sits straight ahead, 7.2 units away
  const glm::vec4 inView = uploaded * glm::vec4(p, 1.0f);
  EXPECT_NEAR(inView.x, 0.0f, 1e-3);
  EXPECT_NEAR(inView.y, 0.0f, 1e-3);
  EXPECT_NEAR(inView.z, -std::sqrt(52.0f), 1e-3);

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
