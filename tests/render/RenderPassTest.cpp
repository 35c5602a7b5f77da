// The four render passes, read back from GL: the mirrored world in the
// reflection texture, depths in the shadow map, the water surface, object
// counts and the GL state a frame leaves behind.
#include "app/Game.h"
#include "app/GameProgramCheck.h"
#include "objects/LevelScene.h"
#include "objects/WasserPlane.h"
#include "render/Shader.h"
#include "render/ShadowRegion.h"
#include "tests/support/ColladaFixture.h"
#include "tests/support/GlContext.h"

#include <GL/glew.h>
#include <glm/gtc/matrix_transform.hpp>
#include <glm/gtc/type_ptr.hpp>
#include <gtest/gtest.h>

#include <vector>

namespace {

using felidora::test::FixtureMesh;
using felidora::test::wallFacingPlusZ;
using felidora::test::writeCollada;

// A ground quad at y = -5 facing up.
FixtureMesh ground() { return felidora::test::groundFacingUp(-5, 200); }

const glm::vec3 kEye(0, 100, 300);

class RenderPassTest : public ::testing::Test {
protected:
  void SetUp() override {
    FELIDORA_REQUIRE_GL();
    game = std::make_unique<Game>();
    // wall A above the water (x < 0), wall B below it (x > 0), and the ground
    const std::string path =
        writeCollada("passes.dae", {wallFacingPlusZ(-60, -10, 80, 120, 0), wallFacingPlusZ(10, 60, 0, 40, 0), ground()},
                     true, "", {{0, 1000, 300}});
    game->level = new LevelScene(glm::vec3(0.0f), game->mainShader, game->shadowShader, path);
    const glm::mat4 projection = glm::perspective(glm::radians(60.0f), 800.0f / 600.0f, 0.1f, 6500.0f);
    game->level->setProjectionMatrix(projection);
    game->shadowShader->projectionMatrix = projection;
    look(kEye, glm::vec3(0, 60, 0));
    checkGamePrograms(*game);
    ASSERT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
  }

  void look(const glm::vec3& eye, const glm::vec3& centre) {
    game->level->setViewMatrix(glm::lookAt(eye, centre, glm::vec3(0, 1, 0)));
  }

  // Window pixel (x, y from the bottom) where a world point lands, seen
  // through the world matrix.
  glm::ivec2 pixelOf(const glm::vec3& point, const glm::mat4& world = glm::mat4(1.0f)) const {
    const glm::vec4 clip =
        game->mainShader->projectionMatrix * game->mainShader->viewMatrix * world * glm::vec4(point, 1.0f);
    const glm::vec2 ndc = glm::vec2(clip) / clip.w;
    return glm::ivec2((ndc.x * 0.5f + 0.5f) * 800.0f, (ndc.y * 0.5f + 0.5f) * 600.0f);
  }

  static std::vector<unsigned char> readTexture(unsigned texture, int width, int height) {
    std::vector<unsigned char> pixels(static_cast<std::size_t>(width) * height * 4);
    glBindTexture(GL_TEXTURE_2D, texture);
    glGetTexImage(GL_TEXTURE_2D, 0, GL_RGBA, GL_UNSIGNED_BYTE, pixels.data());
    return pixels;
  }

  // The clear colour (0.14, 0.25, 0.43) as bytes, within rounding.
  static bool isClearColour(const unsigned char* p) {
    return std::abs(p[0] - 36) <= 1 && std::abs(p[1] - 64) <= 1 && std::abs(p[2] - 110) <= 1;
  }

  std::unique_ptr<Game> game;
};

TEST_F(RenderPassTest, ReflectionHoldsTheWorldAboveTheWaterMirroredAndNothingBelowIt) {
  glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
  game->render();
  ASSERT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));

  glm::mat4 mirror(1.0f);
  mirror[1][1] = -1.0f;
  mirror[3][1] = 120.0f;
  const auto reflection = readTexture(game->reflectionColorTexture, 800, 600);
  const auto at = [&](glm::ivec2 p) { return &reflection[(static_cast<std::size_t>(p.y) * 800 + p.x) * 4]; };

  const glm::ivec2 mirroredA = pixelOf({-35, 100, 0}, mirror);
  const glm::ivec2 mirroredB = pixelOf({35, 20, 0}, mirror);
  ASSERT_TRUE(mirroredA.x > 0 && mirroredA.x < 800 && mirroredA.y > 0 && mirroredA.y < 600);
  ASSERT_TRUE(mirroredB.x > 0 && mirroredB.x < 800 && mirroredB.y > 0 && mirroredB.y < 600);
  EXPECT_FALSE(isClearColour(at(mirroredA))) << "wall above the water missing from the reflection";
  EXPECT_TRUE(isClearColour(at(mirroredB))) << "wall below the water leaked into the reflection";
  // the ground lies below the water too: nowhere in the reflection
  EXPECT_TRUE(isClearColour(at(pixelOf({0, -5, 150}, mirror))));

  // the main pass shows both walls unmirrored
  unsigned char pixel[4];
  for (const glm::vec3& wall : {glm::vec3(-35, 100, 0), glm::vec3(35, 20, 0)}) {
    const glm::ivec2 p = pixelOf(wall);
    glReadPixels(p.x, p.y, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, pixel);
    EXPECT_FALSE(isClearColour(pixel));
  }
}

// Land in front of the water hides the surface there, but a ripple looks the
// reflection up as far as 16 x 12 pixels beside its own, and seen from afar
// that reaches well past the shore: the reflection holds the mirrored world
// behind land too.
TEST_F(RenderPassTest, ReflectionHoldsTheMirroredWorldBehindLandToo) {
  // a bank of land at y = 75 just in front of the eye, and far beyond it a
  // tall wall whose mirror image lies where the bank is seen
  FixtureMesh bank;
  bank.positions = {-300, 75, 280, 300, 75, 280, 300, 75, 200, -300, 75, 200};
  bank.uvs = {0, 0, 1, 0, 1, 1, 0, 1};
  bank.triangles = {0, 1, 2, 0, 2, 3};
  const std::string path =
      writeCollada("ufer.dae", {bank, wallFacingPlusZ(-300, 300, 60, 400, -200)}, true, "", {{0, 1000, 300}});
  delete game->level;
  game->level = new LevelScene(glm::vec3(0.0f), game->mainShader, game->shadowShader, path);
  game->level->setProjectionMatrix(game->mainShader->projectionMatrix);
  look(kEye, glm::vec3(0, 60, 0));
  glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
  game->render();
  ASSERT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));

  const glm::ivec2 onBank = pixelOf({0, 75, 240});
  unsigned char seen[4];
  glReadPixels(onBank.x, onBank.y, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, seen);
  ASSERT_FALSE(isClearColour(seen)) << "the bank must stand in front of the water there";
  const auto reflection = readTexture(game->reflectionColorTexture, 800, 600);
  EXPECT_FALSE(isClearColour(&reflection[(static_cast<std::size_t>(onBank.y) * 800 + onBank.x) * 4]))
      << "no mirrored wall behind the bank at (" << onBank.x << ", " << onBank.y << ")";
}

glm::mat4 uniformMatrix(unsigned program, int location) {
  glm::mat4 value(0.0f);
  glGetUniformfv(program, location, glm::value_ptr(value));
  return value;
}

// The water samples the reflection where the mirrored world lies behind the
// surface: below the mirrored wall A it shows the wall's red, beside it the
// sky's blue. Its uniforms hold what the frame drew with.
TEST_F(RenderPassTest, WaterShowsTheMirroredWallAndHoldsTheFramesUniforms) {
  game->water = new WasserPlane(glm::vec3(0, 60, 0), game->mainShader, game->shadowShader);
  game->water->bindWaterAttributes(game.get());
  // wall A (mesh 0) painted a strong red: a white texel times a red diffuse
  const unsigned char white[4] = {255, 255, 255, 255};
  glActiveTexture(GL_TEXTURE0);
  glBindTexture(GL_TEXTURE_2D, game->level->textures[0]);
  glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, 1, 1, 0, GL_RGBA, GL_UNSIGNED_BYTE, white);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
  MeshData& wallA = *game->level->meshes[0];
  wallA.diffuse[0] = 4.0f, wallA.diffuse[1] = wallA.diffuse[2] = 0.0f;
  wallA.specular[0] = wallA.specular[1] = wallA.specular[2] = 0.0f;
  game->elapsedTime = 12.5f;

  glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
  game->render();
  ASSERT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));

  glm::mat4 mirror(1.0f);
  mirror[1][1] = -1.0f;
  mirror[3][1] = 120.0f;
  unsigned char below[4], beside[4];
  // the surface points in front of the walls whose view rays meet the mirrored
  // wall A and the empty mirrored space above wall B
  const glm::ivec2 underA = pixelOf({-35, 100, 0}, mirror);
  const glm::ivec2 underB = pixelOf({35, 100, 0}, mirror);
  glReadPixels(underA.x, underA.y, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, below);
  glReadPixels(underB.x, underB.y, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, beside);
  // the reflection is blended with the deep-water colour (at least 55 %
  // reflection) and its lookup rippled by up to 2 % of the screen, well
  // inside the wall's mirror image
  EXPECT_GT(below[0], 100) << "red " << int(below[0]) << " green " << int(below[1]) << " blue " << int(below[2]);
  EXPECT_LT(below[1], 40);
  EXPECT_LT(below[2], 50);
  EXPECT_LT(beside[0], 40) << "red " << int(beside[0]) << " green " << int(beside[1]) << " blue " << int(beside[2]);
  EXPECT_GT(beside[2], 70);

  const unsigned program = game->waterShader->program;
  const glm::mat4 projection = glm::perspective(glm::radians(60.0f), 800.0f / 600.0f, 0.1f, 6500.0f);
  const glm::mat4 view = glm::lookAt(kEye, glm::vec3(0, 60, 0), glm::vec3(0, 1, 0));
  const glm::mat4 model = glm::translate(glm::mat4(1.0f), glm::vec3(0, 60, 0));
  const glm::mat4 drawn = uniformMatrix(program, game->locProjectionModelView);
  const glm::mat4 reflected = uniformMatrix(program, game->locReflectionProjectionModelView);
  const glm::mat4 expectedDrawn = projection * view * model;
  const glm::mat4 expectedReflected = projection * view * mirror * model;
  for (int c = 0; c < 4; ++c)
    for (int r = 0; r < 4; ++r) {
      // the game forms the same products; only the order of rounding differs
      EXPECT_NEAR(drawn[c][r], expectedDrawn[c][r], 1e-4f) << "projectionModelView " << c << r;
      EXPECT_NEAR(reflected[c][r], expectedReflected[c][r], 1e-4f) << "reflectionProjectionModelView " << c << r;
    }
  glm::vec3 light(0.0f);
  glGetUniformfv(program, game->locLichtposition, glm::value_ptr(light));
  EXPECT_EQ(light, glm::vec3(0, 1000, 300));
  float time = 0.0f;
  glGetUniformfv(program, game->locTime, &time);
  EXPECT_EQ(time, 12.5f);
  EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

TEST_F(RenderPassTest, ShadowMapHoldsDepthsWhereTheLandscapeIs) {
  std::vector<float> depth(2048u * 2048u);
  const auto readShadowMap = [this, &depth] {
    // NOTE: on a loaded machine llvmpipe now and then handed back the map of
    // the pass before the last one; the read waits for every pass first.
    glFinish();
    glBindTexture(GL_TEXTURE_2D, game->level->shadowTexture);
    glGetTexImage(GL_TEXTURE_2D, 0, GL_DEPTH_COMPONENT, GL_FLOAT, depth.data());
  };
  game->render();
  readShadowMap();
  // the sun looks at the player's place (the origin here), over the ground
  EXPECT_LT(depth[1024u * 2048u + 1024u], 1.0f);
  EXPECT_GT(depth[1024u * 2048u + 1024u], 0.0f);
  // a corner of the light's view sees past the 400-unit ground: cleared
  EXPECT_FLOAT_EQ(depth[0], 1.0f);
  // a lookup next to one edge must not filter in the far edge's texels
  GLint wrap[2] = {0, 0};
  glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, &wrap[0]);
  glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, &wrap[1]);
  EXPECT_EQ(wrap[0], GL_CLAMP_TO_EDGE);
  EXPECT_EQ(wrap[1], GL_CLAMP_TO_EDGE);

  // Each frame clears only its region and the last one's: once the view has
  // turned away, nothing drawn for the old view is left outside the new region.
  const auto drawnOutside = [&depth](const ShadowRegion& region) {
    int drawn = 0;
    for (int y = 0; y < 2048; ++y)
      for (int x = 0; x < 2048; ++x) {
        const bool inside =
            x >= region.x && x < region.x + region.width && y >= region.y && y < region.y + region.height;
        drawn += !inside && depth[static_cast<std::size_t>(y) * 2048u + x] < 1.0f;
      }
    return drawn;
  };
  const glm::vec3 aside = kEye + glm::vec3(-1.0f, -0.1f, 0.0f);
  look(kEye, aside);
  game->render();
  const ShadowRegion turned = game->shadowPass.region;
  look(kEye, glm::vec3(0, 60, 0));
  game->render();
  readShadowMap();
  ASSERT_GT(drawnOutside(turned), 0) << "the two views must draw different parts of the map";
  look(kEye, aside);
  game->render();
  readShadowMap();
  EXPECT_EQ(drawnOutside(game->shadowPass.region), 0);
  EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

TEST_F(RenderPassTest, FrameLeavesTheWindowBoundWithCounterClockwiseFrontFaces) {
  game->render();
  GLint framebuffer = -1, viewport[4] = {0, 0, 0, 0}, frontFace = 0;
  glGetIntegerv(GL_FRAMEBUFFER_BINDING, &framebuffer);
  glGetIntegerv(GL_VIEWPORT, viewport);
  glGetIntegerv(GL_FRONT_FACE, &frontFace);
  EXPECT_EQ(framebuffer, 0);
  EXPECT_EQ(viewport[0], 0);
  EXPECT_EQ(viewport[1], 0);
  EXPECT_EQ(viewport[2], 800);
  EXPECT_EQ(viewport[3], 600);
  EXPECT_EQ(frontFace, GL_CCW);
  EXPECT_TRUE(glIsEnabled(GL_POLYGON_OFFSET_FILL));
  GLfloat factor = -1, units = -1;
  glGetFloatv(GL_POLYGON_OFFSET_FACTOR, &factor);
  glGetFloatv(GL_POLYGON_OFFSET_UNITS, &units);
  EXPECT_EQ(factor, 0.0f);
  EXPECT_EQ(units, 0.0f);
  GLint onUnit = 0;
  glActiveTexture(GL_TEXTURE1);
  glGetIntegerv(GL_TEXTURE_BINDING_2D, &onUnit);
  EXPECT_EQ(static_cast<unsigned>(onUnit), game->level->shadowTexture);
  glActiveTexture(GL_TEXTURE2);
  glGetIntegerv(GL_TEXTURE_BINDING_2D, &onUnit);
  EXPECT_EQ(static_cast<unsigned>(onUnit), game->reflectionColorTexture);
  glActiveTexture(GL_TEXTURE0);
}

TEST_F(RenderPassTest, ObjectsDrawnCountsOnlyVisibleObjectsWhileCullingIsOn) {
  game->render();
  EXPECT_EQ(game->objectsDrawn, 1);
  look({0, 100, 900}, {0, 100, 2000}); // facing away from the level
  game->render();
  EXPECT_EQ(game->objectsDrawn, 0);
  game->cullingEnabled = false;
  game->render();
  EXPECT_EQ(game->objectsDrawn, 1);
}

} // namespace
