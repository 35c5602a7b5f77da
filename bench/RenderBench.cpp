// Frame time of the four render passes with the landscape and the water alone,
// in an 800x600 window: median and 95th percentile over 300 frames, the camera
// flying a slow circle over the player's start.
//
// Run from the build folder under a display: ./bench/render_bench
#include "app/Game.h"
#include "objects/LevelScene.h"
#include "objects/WasserPlane.h"
#include "render/GlFlavour.h"
#include "render/Shader.h"

#include <GL/glew.h>
#include <GLFW/glfw3.h>
#include <IL/il.h>
#include <glm/gtc/matrix_transform.hpp>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <vector>

namespace {

constexpr int kFrames = 300;

double percentile(std::vector<double> values, double p) {
  std::sort(values.begin(), values.end());
  return values[static_cast<std::size_t>(p * (values.size() - 1))];
}

} // namespace

int main() {
  if (!glfwInit())
    return 1;
  glfwWindowHint(GLFW_CONTEXT_VERSION_MAJOR, 3);
  glfwWindowHint(GLFW_CONTEXT_VERSION_MINOR, 3);
  glfwWindowHint(GLFW_OPENGL_PROFILE, GLFW_OPENGL_CORE_PROFILE);
  GLFWwindow* window = glfwCreateWindow(800, 600, "Felidora render bench", nullptr, nullptr);
  if (!window) {
    std::fprintf(stderr, "no window\n");
    return 1;
  }
  glfwMakeContextCurrent(window);
  glewExperimental = GL_TRUE;
  glewInit();
  render::detectGl(); // FELIDORA_GL_FALLBACKS=1 measures the fallbacks
  glEnable(GL_DEPTH_TEST);
  glEnable(GL_BLEND);
  glEnable(GL_CULL_FACE);
  glClearColor(0.14f, 0.25f, 0.43f, 0.0f);
  ilInit();

  std::vector<double> frameMs;
  {
    Game game;
    game.level = new LevelScene({1, 1, 1}, game.mainShader, game.shadowShader, "Modelle/UmgebungGross.dae");
    game.water = new WasserPlane({0, 60, 0}, game.mainShader, game.shadowShader);
    game.water->bindWaterAttributes(&game);
    const glm::mat4 projection = glm::perspective(glm::radians(60.0f), 800.0f / 600.0f, 0.1f, 6500.0f);
    game.level->setProjectionMatrix(projection);
    game.shadowShader->projectionMatrix = projection;

    for (int frame = 0; frame < kFrames + 10; ++frame) {
      const float angle = frame * 0.01f;
      const glm::vec3 player(400.0f * std::sin(angle), 480.0f, 400.0f * std::cos(angle));
      const glm::vec3 eye = player + glm::vec3(6.0f * std::sin(angle), 4.0f, 6.0f * std::cos(angle));
      game.level->setViewMatrix(glm::lookAt(eye, player, glm::vec3(0, 1, 0)));

      const auto start = std::chrono::steady_clock::now();
      glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
      game.update(1.0 / 60.0);
      game.render();
      glfwSwapBuffers(window);
      glfwPollEvents();
      glFinish();
      const double ms = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
      if (frame >= 10) // the first frames warm up the driver's shader caches
        frameMs.push_back(ms);
    }
    if (glGetError() != GL_NO_ERROR)
      std::printf("GL error during the run\n");
  }
  std::printf("landscape + water, 4 passes, 800x600, %d frames: median %.2f ms, p95 %.2f ms\n", kFrames,
              percentile(frameMs, 0.5), percentile(frameMs, 0.95));
  glfwDestroyWindow(window);
  glfwTerminate();
  return 0;
}
