// Shader programs: the game's six sources build; every failure ends the
// process with its exact message and status -1.
#include "render/Shader.h"
#include "base/Console.h"
#include "render/GlFlavour.h"
#include "tests/support/GlContext.h"

#include <GL/glew.h>
#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <iostream>

namespace {

std::string writeTemp(const std::string& name, const std::string& text) {
  const std::string path = ::testing::TempDir() + name;
  std::ofstream(path) << text;
  return path;
}

const char* kVertex = "#version 330 core\nlayout(location = 0) in vec3 position;\n"
                      "void main() { gl_Position = vec4(position, 1.0); }\n";
const char* kFragment = "#version 330 core\nout vec4 fragColor;\nvoid main() { fragColor = vec4(1.0); }\n";

TEST(ShaderTest, GameProgramsBuildWithIdentityMatricesAndSharedAttributeLocations) {
  FELIDORA_REQUIRE_GL();
  Shader lit("Shader/OurVertexShader.vert", "Shader/OurFragmentShader.frag");
  Shader depth("Shader/ShadowMap.vert", "Shader/ShadowMap.frag");
  Shader water("Shader/Wasser.vert", "Shader/Wasser.frag");
  EXPECT_EQ(lit.projectionMatrix, glm::mat4(1.0f));
  EXPECT_EQ(lit.viewMatrix, glm::mat4(1.0f));
  for (const Shader* s : {&lit, &depth, &water}) {
    EXPECT_TRUE(glIsProgram(s->getProgram()));
    EXPECT_EQ(glGetFragDataLocation(s->program, "fragColor"), 0);
  }
  const GLint position = glGetAttribLocation(lit.program, "position");
  const GLint uv = glGetAttribLocation(lit.program, "uv");
  ASSERT_GE(position, 0);
  ASSERT_GE(uv, 0);
  EXPECT_GE(glGetAttribLocation(lit.program, "normal"), 0);
  EXPECT_EQ(glGetAttribLocation(depth.program, "position"), position);
  EXPECT_EQ(glGetAttribLocation(water.program, "position"), position);
  EXPECT_EQ(glGetAttribLocation(water.program, "uv"), uv);

  // every name the game looks up in the lit program is active
  for (const char* name : {"modelMatrix",
                           "projectionMatrix",
                           "colorTexture",
                           "viewMatrix",
                           "projectionViewModelMatrix",
                           "viewModelMatrix",
                           "cameraLocation",
                           "diffuse",
                           "specular",
                           "shininess",
                           "lichtquellenanzahl",
                           "lichtquellenposition",
                           "intensityDiffuse",
                           "intensitySpecular",
                           "constantAttenuation",
                           "linearAttenuation",
                           "quadraticAttenuation",
                           "clipPlane",
                           "depthProjectionViewModelMatrix",
                           "shadowMap"})
    EXPECT_GE(glGetUniformLocation(lit.program, name), 0) << name;
  EXPECT_GE(glGetUniformLocation(depth.program, "depthProjectionViewModelMatrix"), 0);
  EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

// The browser compiles the same six sources as GLSL ES 3.00 with the header
// ES needs; Mesa's desktop GL takes that language too. Without the two
// WebGL extensions (as in Firefox) the sources must not mention
// gl_ClipDistance at all.
TEST(ShaderTest, GameProgramsAlsoBuildAsGlslEs) {
  FELIDORA_REQUIRE_GL();
  const GlFlavour flavour = render::glFlavour();
  const GlFeatures features = render::glFeatures();
  render::useGl(GlFlavour::Es, GlFeatures{false, false});
  {
    Shader lit("Shader/OurVertexShader.vert", "Shader/OurFragmentShader.frag");
    Shader depth("Shader/ShadowMap.vert", "Shader/ShadowMap.frag");
    Shader water("Shader/Wasser.vert", "Shader/Wasser.frag");
    for (const Shader* s : {&lit, &depth, &water})
      EXPECT_EQ(glGetFragDataLocation(s->program, "fragColor"), 0);
    EXPECT_GE(glGetUniformLocation(lit.program, "clipPlane"), 0);
  }
  render::useGl(flavour, features);

  const std::string header = render::shaderHeader(GlFlavour::Es, GlFeatures{false, true}, true, 2);
  EXPECT_EQ(header.rfind("#version 300 es\n#extension GL_ANGLE_clip_cull_distance : require\n", 0), 0u) << header;
  EXPECT_EQ(render::shaderHeader(GlFlavour::Es, GlFeatures{false, true}, false, 2).find("#extension"),
            std::string::npos);
  EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

// The driver's log names the line of the file, whatever the header added.
TEST(ShaderTest, HeaderKeepsTheFilesLineNumbers) {
  EXPECT_EQ(render::withShaderHeader("#version 330 core\nint a;\n", GlFlavour::Desktop, GlFeatures{}, false),
            "#version 330 core\n#define CLIP_DISTANCE\n#line 2\nint a;\n");
  EXPECT_EQ(
      render::withShaderHeader("\n\n  #version 330 core\nint a;", GlFlavour::Desktop, GlFeatures{false, false}, true),
      "#version 330 core\n#line 4\nint a;");
  EXPECT_EQ(render::withShaderHeader("", GlFlavour::Es, GlFeatures{}, true), "");
  EXPECT_EQ(render::withShaderHeader("void main() {}\n", GlFlavour::Es, GlFeatures{}, true), "void main() {}\n");
}

TEST(ShaderTest, DestructorDeletesProgramAndStages) {
  FELIDORA_REQUIRE_GL();
  const std::string v = writeTemp("ok.vert", kVertex);
  const std::string f = writeTemp("ok.frag", kFragment);
  auto* shader = new Shader(v, f);
  const unsigned program = shader->program, vs = shader->vertexShader, fs = shader->fragmentShader;
  shader->use();
  GLint current = 0;
  glGetIntegerv(GL_CURRENT_PROGRAM, &current);
  EXPECT_EQ(static_cast<unsigned>(current), program);
  glUseProgram(0);
  delete shader;
  EXPECT_FALSE(glIsProgram(program));
  EXPECT_FALSE(glIsShader(vs));
  EXPECT_FALSE(glIsShader(fs));
}

// Death tests run the constructor in a child; the child sends its messages to
// standard error so the matcher can see them. The compiler's complaints also
// arrive as GL reports, which are expected here.
void buildWithMessagesOnStderr(const std::string& vertex, const std::string& fragment) {
  felidora::test::GlReportCapture compilerReports;
  setMessageStream(&std::cerr);
  Shader shader(vertex, fragment);
  std::exit(0);
}

TEST(ShaderDeathTest, MissingVertexFileStopsBeforeTheFragmentFile) {
  FELIDORA_REQUIRE_GL();
  EXPECT_EXIT(buildWithMessagesOnStderr("Shader/gibt-es-nicht.vert", "Shader/auch-nicht.frag"),
              ::testing::ExitedWithCode(255),
              "^Die Shader-Datei konnte nicht geoeffnet werden: Shader/gibt-es-nicht\\.vert\n$");
}

TEST(ShaderDeathTest, CompileFailurePrintsMessageThenTheLog) {
  FELIDORA_REQUIRE_GL();
  const std::string v = writeTemp("ok2.vert", kVertex);
  const std::string f =
      writeTemp("broken.frag", "#version 330 core\nout vec4 fragColor;\nvoid main() { fragColor = }\n");
  EXPECT_EXIT(buildWithMessagesOnStderr(v, f), ::testing::ExitedWithCode(255),
              "^Der Shader konnte nicht kompiliert werden\\.\n.*error.*\n");
}

TEST(ShaderDeathTest, EmptyFileIsHandedToGlAndFailsToCompile) {
  FELIDORA_REQUIRE_GL();
  const std::string v = writeTemp("empty.vert", "");
  EXPECT_EXIT(buildWithMessagesOnStderr(v, v), ::testing::ExitedWithCode(255),
              "^Der Shader konnte nicht kompiliert werden\\.\n");
}

TEST(ShaderDeathTest, LinkFailurePrintsMessageThenTheLog) {
  FELIDORA_REQUIRE_GL();
  // a stage without main compiles but cannot be linked
  const std::string v = writeTemp("ok3.vert", kVertex);
  const std::string f = writeTemp("nomain.frag", "#version 330 core\nout vec4 fragColor;\nvoid helper() {}\n");
  EXPECT_EXIT(buildWithMessagesOnStderr(v, f), ::testing::ExitedWithCode(255),
              "^Linken des Shader-Programms fehlgeschlagen\\.\n");
}

} // namespace
