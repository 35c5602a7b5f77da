// Drawing: visibility culling, the matrices handed to the lit program, and the
// shadow matrix that drawShadow leaves for the lit pass.
#include "app/Game.h"
#include "objects/LevelScene.h"
#include "render/Shader.h"
#include "tests/support/ColladaFixture.h"
#include "tests/support/GlContext.h"

#include <GL/glew.h>
#include <glm/gtc/matrix_transform.hpp>
#include <glm/gtc/type_ptr.hpp>
#include <gtest/gtest.h>

#include <limits>

namespace {

using felidora::test::wallFacingPlusZ;
using felidora::test::writeCollada;

class TestObject : public SceneObject {
public:
  using SceneObject::SceneObject;
  void update(double, Game*) override {}
};

class DrawingTest : public ::testing::Test {
protected:
  void SetUp() override {
    FELIDORA_REQUIRE_GL();
    game = std::make_unique<Game>();
    const std::string levelPath =
        writeCollada("drawing-level.dae", {wallFacingPlusZ(-50, 50, -5, 5, 0)}, true, "", {{300, 1500, 200}});
    game->level = new LevelScene(glm::vec3(0.0f), game->mainShader, game->shadowShader, levelPath);
    const std::string wallPath = writeCollada("drawing-wall.dae", {wallFacingPlusZ(-1, 1, -1, 1, 0)}, true, "", {});
    object = std::make_unique<TestObject>(glm::vec3(0.0f), game->mainShader, game->shadowShader);
    ASSERT_TRUE(object->loadModel(wallPath));
    object->uploadMeshes();
    object->bindShadowAttributes();
    game->mainShader->projectionMatrix = glm::perspective(glm::radians(60.0f), 800.0f / 600.0f, 0.1f, 6500.0f);
    game->shadowShader->projectionMatrix = game->mainShader->projectionMatrix;
    // camera at z = 20 looking down -z at the origin
    game->mainShader->viewMatrix = glm::lookAt(glm::vec3(0, 0, 20), glm::vec3(0), glm::vec3(0, 1, 0));
    glBindFramebuffer(GL_FRAMEBUFFER, 0);
    glViewport(0, 0, 800, 600);
    ASSERT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
  }
  void TearDown() override {
    object.reset();
    game.reset();
  }

  // Primitives sent down the pipe by one draw.
  GLuint primitivesOf(bool cull, int& result) {
    GLuint query = 0, count = 0;
    glGenQueries(1, &query);
    glBeginQuery(GL_PRIMITIVES_GENERATED, query);
    result = object->draw(glm::mat4(1.0f), cull);
    glEndQuery(GL_PRIMITIVES_GENERATED);
    glGetQueryObjectuiv(query, GL_QUERY_RESULT, &count);
    glDeleteQueries(1, &query);
    return count;
  }

  std::unique_ptr<Game> game;
  std::unique_ptr<TestObject> object;
};

TEST_F(DrawingTest, ObjectBehindTheCameraIsCulledAndDrawsNothing) {
  object->modelMatrix = glm::translate(glm::mat4(1.0f), glm::vec3(0, 0, 60)); // 40 behind the eye
  int result = -1;
  EXPECT_EQ(primitivesOf(true, result), 0u);
  EXPECT_EQ(result, 0);
  EXPECT_EQ(primitivesOf(false, result), 2u);
  EXPECT_EQ(result, 1);

  object->modelMatrix = glm::mat4(1.0f); // in front
  EXPECT_EQ(primitivesOf(true, result), 2u);
  EXPECT_EQ(result, 1);
  EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

TEST_F(DrawingTest, SphereTouchingAPlaneFromOutsideIsCulled) {
  // With identity projection and view the left plane is x = -1: an object at
  // x = -3 with radius 2 touches it from outside.
  game->mainShader->projectionMatrix = glm::mat4(1.0f);
  game->mainShader->viewMatrix = glm::mat4(1.0f);
  object->boundingRadius = 2.0f;
  object->modelMatrix = glm::translate(glm::mat4(1.0f), glm::vec3(-3.0f, 0, 0));
  EXPECT_FALSE(object->isVisible());
  object->modelMatrix = glm::translate(glm::mat4(1.0f), glm::vec3(-2.99f, 0, 0));
  EXPECT_TRUE(object->isVisible());
  object->modelMatrix = glm::translate(glm::mat4(1.0f), glm::vec3(0, 3.0f, 0)); // the top plane
  EXPECT_FALSE(object->isVisible());
  object->boundingRadius = std::numeric_limits<float>::infinity(); // a model without meshes
  object->modelMatrix = glm::translate(glm::mat4(1.0f), glm::vec3(0, 0, 1e6f));
  EXPECT_TRUE(object->isVisible());
}

TEST_F(DrawingTest, LitProgramGetsViewTimesModelAndTheUnmirroredModelMatrix) {
  object->modelMatrix = glm::translate(glm::mat4(1.0f), glm::vec3(3, -2, 1));
  object->modelMatrix = glm::rotate(object->modelMatrix, glm::radians(30.0f), glm::vec3(0, 1, 0));
  object->draw(glm::mat4(1.0f), false);
  const unsigned program = game->mainShader->program;
  glm::mat4 viewModel, model, projectionViewModel;
  glGetUniformfv(program, object->viewModelMatrixLoc, glm::value_ptr(viewModel));
  glGetUniformfv(program, object->projectionViewModelMatrixLoc, glm::value_ptr(projectionViewModel));
  const glm::mat4 expected = game->mainShader->viewMatrix * object->modelMatrix;
  for (int c = 0; c < 4; ++c)
    for (int r = 0; r < 4; ++r) {
      EXPECT_NEAR(viewModel[c][r], expected[c][r], 1e-5f);
      EXPECT_NEAR(projectionViewModel[c][r], (game->mainShader->projectionMatrix * expected)[c][r], 1e-4f);
    }

  glm::mat4 mirror(1.0f);
  mirror[1][1] = -1.0f;
  mirror[3][1] = 120.0f;
  object->draw(mirror, false);
  glGetUniformfv(program, object->modelMatrixLoc, glm::value_ptr(model));
  EXPECT_EQ(model, object->modelMatrix);
  glGetUniformfv(program, object->viewModelMatrixLoc, glm::value_ptr(viewModel));
  const glm::mat4 mirrored = game->mainShader->viewMatrix * mirror * object->modelMatrix;
  EXPECT_NEAR(viewModel[3][1], mirrored[3][1], 1e-4f);
  EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

TEST_F(DrawingTest, ShadowMatrixMapsThePlayersPositionToTheMapCentre) {
  // no player yet: the shadow pass aims at the origin
  object->modelMatrix = glm::translate(glm::mat4(1.0f), glm::vec3(40, 7, -25));
  object->modelMatrix = glm::scale(object->modelMatrix, glm::vec3(2.0f));
  game->aimSun();
  object->drawShadow(game.get());
  const glm::vec4 target = glm::inverse(object->modelMatrix) * glm::vec4(game->playerPosition(), 1.0f);
  const glm::vec4 lookup = object->depthMatrix * target;
  EXPECT_NEAR(lookup.x / lookup.w, 0.5f, 1e-5f);
  EXPECT_NEAR(lookup.y / lookup.w, 0.5f, 1e-5f);
  EXPECT_GT(lookup.z / lookup.w, 0.0f);
  EXPECT_LT(lookup.z / lookup.w, 1.0f);

  GLint framebuffer = 0, viewport[4] = {0, 0, 0, 0};
  glGetIntegerv(GL_FRAMEBUFFER_BINDING, &framebuffer);
  glGetIntegerv(GL_VIEWPORT, viewport);
  EXPECT_EQ(static_cast<unsigned>(framebuffer), game->level->shadowFramebuffer);
  EXPECT_EQ(viewport[2], 2048);
  EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
  glBindFramebuffer(GL_FRAMEBUFFER, 0);
  glViewport(0, 0, 800, 600);
}

TEST_F(DrawingTest, CloneDrawsThePrototypesMeshesAndFreesNothingOfThem) {
  auto* clone = new TestObject(glm::translate(glm::mat4(1.0f), glm::vec3(1, 0, 0)), *object);
  EXPECT_EQ(clone->draw(glm::mat4(1.0f), true), 1);
  EXPECT_TRUE(clone->isClone());
  const unsigned vertexArray = object->vertexArrays[0];
  const unsigned buffer = object->positionBuffers[0];
  delete clone;
  EXPECT_TRUE(glIsVertexArray(vertexArray));
  EXPECT_TRUE(glIsBuffer(buffer));
  int result = 0;
  EXPECT_EQ(primitivesOf(false, result), 2u);

  object.reset();
  EXPECT_FALSE(glIsVertexArray(vertexArray));
  EXPECT_FALSE(glIsBuffer(buffer));
  EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

TEST_F(DrawingTest, TextureFilterTableReachesEveryMeshTexture) {
  // an object whose mesh has a uv set gets a texture even if its file is gone
  ASSERT_NE(object->textures[0], 0u);
  const struct {
    bool linear, mipmap, mipmapLinear;
    GLint min, mag;
  } rows[] = {
      {true, true, true, GL_LINEAR_MIPMAP_LINEAR, GL_LINEAR},
      {true, true, false, GL_LINEAR_MIPMAP_NEAREST, GL_LINEAR},
      {false, true, true, GL_NEAREST_MIPMAP_LINEAR, GL_NEAREST},
      {false, true, false, GL_NEAREST_MIPMAP_NEAREST, GL_NEAREST},
      {true, false, true, GL_LINEAR, GL_LINEAR},
      {true, false, false, GL_LINEAR, GL_LINEAR},
      {false, false, true, GL_NEAREST, GL_NEAREST},
      {false, false, false, GL_NEAREST, GL_NEAREST},
  };
  for (const auto& row : rows) {
    object->setTextureFilter(row.linear, row.mipmap, row.mipmapLinear);
    glBindTexture(GL_TEXTURE_2D, object->textures[0]);
    GLint min = 0, mag = 0;
    glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, &min);
    glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, &mag);
    EXPECT_EQ(min, row.min);
    EXPECT_EQ(mag, row.mag);
  }
  EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

} // namespace
