// Cost of each render pass alone, in a fixed scene: the real game played at a
// fixed frame time with scripted keys to a few chosen moments; there every pass
// is rendered again and again, each between two glFinish calls. The fastest of
// the repeats is the figure that moves least with the load of the machine.
//
// Run from the build folder under a display: ./bench/pass_bench [--repeats N]
// [--no-shortcuts] [--wireframe] [--fallback wireframe|clip] (--no-shortcuts
// draws without the monitor's depth first, to see what it pays; --wireframe
// draws as F3 does; --fallback takes that one fallback path, where
// FELIDORA_GL_FALLBACKS=1 takes both).
#include "app/Settings.h"
#include "app/StartUp.h"
#include "bench/BenchFlight.h"
#include "render/GlFlavour.h"

#include <GL/glew.h>
#include <GLFW/glfw3.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

constexpr double kFrameTime = 1.0 / 60.0;
// the moments looked at, in frames of kFrameTime
const int kMoments[] = {60, 240, 600};

} // namespace

int main(int argc, char** argv) {
  int repeats = 15;
  bool shortcuts = true;
  bool wireframe = false;
  bool fallbackWireframe = false, fallbackClip = false;
  for (int i = 1; i < argc; ++i) {
    if (!std::strcmp(argv[i], "--repeats") && i + 1 < argc)
      repeats = std::max(1, std::atoi(argv[++i]));
    if (!std::strcmp(argv[i], "--no-shortcuts"))
      shortcuts = false;
    if (!std::strcmp(argv[i], "--wireframe"))
      wireframe = true;
    if (!std::strcmp(argv[i], "--fallback") && i + 1 < argc) {
      ++i;
      fallbackWireframe = fallbackWireframe || !std::strcmp(argv[i], "wireframe");
      fallbackClip = fallbackClip || !std::strcmp(argv[i], "clip");
    }
  }

  resetKeyToggles();
  GLFWwindow* window = startUp(Settings{});
  if (fallbackWireframe || fallbackClip) {
    GlFeatures features = render::glFeatures();
    features.polygonMode = features.polygonMode && !fallbackWireframe;
    features.clipDistance = features.clipDistance && !fallbackClip;
    render::useGl(render::glFlavour(), features);
  }
  Game* game = new Game();
  game->assembleLevel();
  game->monitorDepthFirst = shortcuts;
  render::showWireframe(wireframe);

  const char* names[4] = {"shadow", "reflection", "main", "water"};
  double sumMin[4] = {0, 0, 0, 0};
  double sumCpu[4] = {0, 0, 0, 0};
  double sumSamples[4] = {0, 0, 0, 0};
  GLuint query = 0;
  glGenQueries(1, &query);

  int frame = 0;
  for (int moment : kMoments) {
    for (; frame < moment; ++frame) {
      bench::scriptedKeys(frame);
      game->handleFunctionKeys();
      game->update(kFrameTime);
    }
    std::vector<double> ms[4], cpu[4];
    for (int r = 0; r < repeats + 1; ++r) {
      glBindFramebuffer(GL_FRAMEBUFFER, 0);
      glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
      for (int p = 0; p < 4; ++p) {
        glFinish();
        const double cpuStart = bench::processorMs();
        const auto start = Clock::now();
        glBeginQuery(GL_SAMPLES_PASSED, query);
        (game->*bench::kPasses[p])();
        glEndQuery(GL_SAMPLES_PASSED);
        glFinish();
        const double elapsed = std::chrono::duration<double, std::milli>(Clock::now() - start).count();
        if (r > 0)
          cpu[p].push_back(bench::processorMs() - cpuStart);
        GLuint64 samples = 0;
        glGetQueryObjectui64v(query, GL_QUERY_RESULT, &samples);
        if (r > 0) // the first round warms the driver up
          ms[p].push_back(elapsed);
        if (r == 1)
          sumSamples[p] += static_cast<double>(samples);
      }
      glfwSwapBuffers(window);
    }
    std::printf("moment %4d:", moment);
    for (int p = 0; p < 4; ++p) {
      std::sort(ms[p].begin(), ms[p].end());
      sumMin[p] += ms[p][0];
      std::sort(cpu[p].begin(), cpu[p].end());
      sumCpu[p] += cpu[p][cpu[p].size() / 2];
      std::printf("  %s %6.2f (med %6.2f)", names[p], ms[p][0], ms[p][ms[p].size() / 2]);
    }
    std::printf("\n");
  }
  const int count = static_cast<int>(sizeof(kMoments) / sizeof(kMoments[0]));
  double total = 0;
  std::printf("mean of the fastest:");
  for (int p = 0; p < 4; ++p) {
    total += sumMin[p] / count;
    std::printf("  %s %6.2f ms %5.2f/px", names[p], sumMin[p] / count,
                sumSamples[p] / count / bench::kPassTargetPixels[p]);
  }
  std::printf("  all %6.2f ms%s\n", total, glGetError() != GL_NO_ERROR ? "  (GL error pending)" : "");
  double totalCpu = 0;
  std::printf("processor time (median):");
  for (int p = 0; p < 4; ++p) {
    totalCpu += sumCpu[p] / count;
    std::printf("  %s %6.2f ms", names[p], sumCpu[p] / count);
  }
  std::printf("  all %6.2f ms\n", totalCpu);
  glfwTerminate();
  std::fflush(stdout);
  std::_Exit(0);
}
