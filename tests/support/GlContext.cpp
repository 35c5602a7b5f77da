// The GL test environment: one invisible GLFW window with a 3.3 core debug
// context, created before the first test and destroyed after the last.
#include "tests/support/GlContext.h"

#include "render/GlDebug.h"
#include "render/GlFlavour.h"

#include <GL/glew.h>
#include <GLFW/glfw3.h>
#include <IL/il.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <iostream>

namespace felidora::test {

void reportGl(const std::string& line);

namespace {

bool gAvailable = false;
bool gWithheld = false;
GlReportCapture* gCapture = nullptr;

class GlEnvironment : public ::testing::Environment {
public:
  void SetUp() override {
    if (!glfwInit()) {
      std::cerr << "[gl] glfwInit failed\n";
      return;
    }
    glfwWindowHint(GLFW_CONTEXT_VERSION_MAJOR, 3);
    glfwWindowHint(GLFW_CONTEXT_VERSION_MINOR, 3);
    glfwWindowHint(GLFW_OPENGL_PROFILE, GLFW_OPENGL_CORE_PROFILE);
    glfwWindowHint(GLFW_VISIBLE, GLFW_FALSE);
    glfwWindowHint(GLFW_OPENGL_DEBUG_CONTEXT, GLFW_TRUE);
    window_ = glfwCreateWindow(800, 600, "Felidora tests", nullptr, nullptr);
    if (!window_) {
      std::cerr << "[gl] no 3.3 core window\n";
      glfwTerminate();
      return;
    }
    glfwMakeContextCurrent(window_);
    glewExperimental = GL_TRUE;
    if (glewInit() != GLEW_OK) {
      std::cerr << "[gl] glewInit failed\n";
      return;
    }
    drainGlErrors();
    // FELIDORA_GL_FALLBACKS=1 runs the tests on the fallback paths
    render::detectGl();
    if (!GlDebug::install(reportGl)) {
      ADD_FAILURE() << "[gl] the driver gave no debug context";
      return;
    }
    // The game's start-up state that the objects rely on.
    glEnable(GL_DEPTH_TEST);
    glEnable(GL_BLEND);
    glEnable(GL_CULL_FACE);
    glClearColor(0.14f, 0.25f, 0.43f, 0.0f);
    glViewport(0, 0, 800, 600);
    ilInit();
    gAvailable = true;
  }

  void TearDown() override {
    GlDebug::uninstall();
    if (window_)
      glfwDestroyWindow(window_);
    glfwTerminate();
    gAvailable = false;
  }

private:
  GLFWwindow* window_ = nullptr;
};

} // namespace

// A report outside a GlReportCapture fails whatever runs: the test, or the
// suite set-up or environment that caused it.
void reportGl(const std::string& line) {
  if (gCapture)
    gCapture->lines_.push_back(line);
  else
    ADD_FAILURE() << line;
}

GlReportCapture::GlReportCapture() : previous_(gCapture) { gCapture = this; }

GlReportCapture::~GlReportCapture() { gCapture = previous_; }

bool glAvailable() { return gAvailable; }

bool runningUnderCi() {
  const char* ci = std::getenv("CI");
  return ci && std::strcmp(ci, "") != 0 && std::strcmp(ci, "false") != 0 && std::strcmp(ci, "0") != 0;
}

void installGlEnvironment() { ::testing::AddGlobalTestEnvironment(new GlEnvironment); }

void withholdGl() { gWithheld = true; }

bool glWithheld() { return gWithheld; }

unsigned drainGlErrors() {
  if (!gAvailable && !glfwGetCurrentContext())
    return 0;
  unsigned first = 0;
  for (GLenum e = glGetError(); e != GL_NO_ERROR; e = glGetError())
    if (!first)
      first = e;
  return first;
}

} // namespace felidora::test
