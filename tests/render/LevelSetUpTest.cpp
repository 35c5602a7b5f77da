// The level's set-up and the texture units: each sampler of the lit program
// reads its own unit, and the shadow map and the reflection stay on theirs.
#include "app/Game.h"
#include "app/GameProgramCheck.h"
#include "objects/LevelScene.h"
#include "render/Shader.h"
#include "tests/support/ColladaFixture.h"
#include "tests/support/GlContext.h"
#include "tests/support/MessageCapture.h"

#include <GL/glew.h>
#include <glm/glm.hpp>
#include <gtest/gtest.h>

#include <string>

namespace {

using felidora::test::FixtureMesh;
using felidora::test::writeCollada;

// A ground quad at y = -5 facing up.
FixtureMesh ground() { return felidora::test::groundFacingUp(-5, 200); }

// The lit program's "colorTexture" reads unit 0 and its "shadowMap" unit 1,
// and units 1 and 2 keep the shadow map and the reflection, however the level
// turned out: imported without a single textured mesh, or not at all.
TEST(LevelSetUp, LeavesEverySamplerOnItsOwnUnitWithoutTexturesOrWithoutAModel) {
  FELIDORA_REQUIRE_GL();
  FixtureMesh bare = ground();
  bare.uvs.clear();
  const std::string untextured = writeCollada("untextured.dae", {bare}, true, "", {{0, 1000, 300}});
  for (const std::string& model : {untextured, std::string("Modelle/Fehlt.dae")}) {
    SCOPED_TRACE(model);
    Game game;
    {
      // before any level sets it, "shadowMap" shares unit 0 with "colorTexture"
      felidora::test::GlReportCapture reports;
      checkGamePrograms(game);
      ASSERT_EQ(reports.lines().size(), 1u);
      EXPECT_EQ(reports.lines()[0].rfind("GL: Hauptprogramm: Sampler ", 0), 0u) << reports.lines()[0];
      EXPECT_NE(reports.lines()[0].find("\"shadowMap\" (sampler2DShadow)"), std::string::npos);
      EXPECT_NE(reports.lines()[0].find("\"colorTexture\" (sampler2D)"), std::string::npos);
      EXPECT_NE(reports.lines()[0].find("Textureinheit 0"), std::string::npos);
    }
    felidora::test::MessageCapture importer;
    game.level = new LevelScene(glm::vec3(1.0f), game.mainShader, game.shadowShader, model);

    const unsigned lit = game.mainShader->program;
    GLint unit = -1;
    glGetUniformiv(lit, glGetUniformLocation(lit, "shadowMap"), &unit);
    EXPECT_EQ(unit, 1);
    glGetUniformiv(lit, glGetUniformLocation(lit, "colorTexture"), &unit);
    EXPECT_EQ(unit, 0);
    GLint bound = 0;
    glActiveTexture(GL_TEXTURE1);
    glGetIntegerv(GL_TEXTURE_BINDING_2D, &bound);
    EXPECT_EQ(static_cast<unsigned>(bound), game.level->shadowTexture);
    glActiveTexture(GL_TEXTURE2);
    glGetIntegerv(GL_TEXTURE_BINDING_2D, &bound);
    EXPECT_EQ(static_cast<unsigned>(bound), game.reflectionColorTexture);
    glActiveTexture(GL_TEXTURE0);
    checkGamePrograms(game); // any report now fails the test
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
  }
}

} // namespace
