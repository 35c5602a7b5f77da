// Game construction: the reflection target and the water program's samplers.
// (The starting toggles show in what the first function-key presses do.)
#include "app/Game.h"
#include "render/Shader.h"
#include "tests/support/GlContext.h"

#include <GL/glew.h>
#include <gtest/gtest.h>

namespace {

TEST(GameConstructionTest, ReflectionTargetIsComplete800x600OnUnitTwo) {
  FELIDORA_REQUIRE_GL();
  Game game;
  GLint bound = 0;
  glGetIntegerv(GL_FRAMEBUFFER_BINDING, &bound);
  EXPECT_EQ(static_cast<unsigned>(bound), game.reflectionFramebuffer);
  EXPECT_EQ(glCheckFramebufferStatus(GL_FRAMEBUFFER), static_cast<GLenum>(GL_FRAMEBUFFER_COMPLETE));

  glActiveTexture(GL_TEXTURE2);
  GLint onUnit2 = 0;
  glGetIntegerv(GL_TEXTURE_BINDING_2D, &onUnit2);
  EXPECT_EQ(static_cast<unsigned>(onUnit2), game.reflectionColorTexture);
  GLint w = 0, h = 0;
  glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_WIDTH, &w);
  glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_HEIGHT, &h);
  EXPECT_EQ(w, 800);
  EXPECT_EQ(h, 600);
  glActiveTexture(GL_TEXTURE0);

  GLint sampler = -1;
  ASSERT_GE(game.locReflectionTexture, 0);
  ASSERT_GE(game.locNormalMap, 0);
  glGetUniformiv(game.waterShader->program, game.locReflectionTexture, &sampler);
  EXPECT_EQ(sampler, 2);
  glGetUniformiv(game.waterShader->program, game.locNormalMap, &sampler);
  EXPECT_EQ(sampler, 0);
  for (int loc : {game.locProjectionModelView, game.locReflectionProjectionModelView, game.locLichtposition,
                  game.locModelMatrix, game.locTime, game.locViewTranslation})
    EXPECT_GE(loc, 0);
  glBindFramebuffer(GL_FRAMEBUFFER, 0);
  EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

} // namespace
