// What the monitor's status display costs per frame, and how many mipmap
// regenerations of the 1024x1024 screen texture a frame does (each costs
// milliseconds under a software renderer, far more than the uploads).
//
//   StatusFrame/<case>: one monitor update without a clip, GL finished;
//     quiet: nothing changed; statistics: the statistics row rewritten;
//     score: a score change (panel, digits and the speed indicator);
//     notice: an active setting notice.
//   PlayingFrame/<dt in ms>/<statistics>: the default clip playing at that
//     frame time, with or without the statistics row; the counters give the
//     clip pictures and status elements per frame and their sum, the mipmap
//     regenerations per frame.
//
// Run from the build folder under a display: ./bench/monitor_bench
#include "app/Game.h"
#include "monitor/Monitor.h"
#include "monitor/VideoPlayback.h"
#include "objects/Schnecke.h"
#include "render/GlFlavour.h"

#include <GL/glew.h>
#include <GLFW/glfw3.h>
#include <IL/il.h>
#include <benchmark/benchmark.h>

#include <cstdio>

namespace {

Game* game = nullptr;

enum StatusCase { Quiet, Statistics, Score, Notice };

void resetStatus(Monitor& monitor) {
  monitor.stopVideo();
  game->showStats = false;
  game->linearFiltering = game->mipmapping = game->mipmapLinear = true;
  game->fps = 57;
  game->objectsDrawn = 21;
  monitor.update(0.0, game); // the first frame writes every element
  glFinish();
}

void StatusFrame(benchmark::State& state) {
  Monitor& monitor = *game->monitor;
  resetStatus(monitor);
  const auto which = static_cast<StatusCase>(state.range(0));
  game->showStats = which == Statistics;
  int elements = 0;
  long frames = 0;
  for (auto _ : state) {
    if (which == Score)
      game->player->score = (game->player->score + 100) % 1000000000;
    if (which == Notice) {
      // a notice that never runs out: no time passes
      game->linearFiltering = false;
      monitor.update(0.0, game);
    } else {
      monitor.update(0.016, game);
    }
    glFinish();
    elements += monitor.elementsWritten;
    ++frames;
  }
  state.counters["regenerations/frame"] = frames ? static_cast<double>(elements) / frames : 0.0;
  state.SetLabel(which == Quiet ? "quiet" : which == Statistics ? "statistics" : which == Score ? "score" : "notice");
}
BENCHMARK(StatusFrame)->Arg(Quiet)->Arg(Statistics)->Arg(Score)->Arg(Notice)->Unit(benchmark::kMillisecond);

// The default clip playing as the game plays it: restarted when it ends.
void PlayingFrame(benchmark::State& state) {
  Monitor& monitor = *game->monitor;
  resetStatus(monitor);
  const double dt = static_cast<double>(state.range(0)) / 1000.0;
  game->showStats = state.range(1) != 0;
  monitor.playVideo(monitor.defaultClipPath.c_str());
  long frames = 0, pictures = 0, elements = 0;
  for (auto _ : state) {
    monitor.update(dt, game);
    glFinish();
    const VideoPlayback& video = monitor.videoPlayback();
    // a shown picture restarts the interval from zero
    pictures += video.playing && video.elapsedSinceFrame == 0.0;
    elements += monitor.elementsWritten;
    ++frames;
    if (!monitor.isPlaying())
      monitor.playVideo(monitor.defaultClipPath.c_str());
  }
  const double perFrame = frames ? 1.0 / frames : 0.0;
  state.counters["pictures/frame"] = pictures * perFrame;
  state.counters["elements/frame"] = elements * perFrame;
  state.counters["regenerations/frame"] = (pictures + elements) * perFrame;
}
BENCHMARK(PlayingFrame)
    ->ArgsProduct({{16, 40, 100}, {0, 1}})
    ->ArgNames({"dt_ms", "stats"})
    ->Unit(benchmark::kMillisecond);

// Generating the screen texture's mipmap chain alone, for scale.
void MipmapRegeneration(benchmark::State& state) {
  glActiveTexture(GL_TEXTURE0);
  glBindTexture(GL_TEXTURE_2D, game->monitor->screenTexture);
  for (auto _ : state) {
    glGenerateMipmap(GL_TEXTURE_2D);
    glFinish();
  }
}
BENCHMARK(MipmapRegeneration)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  if (!glfwInit())
    return 1;
  glfwWindowHint(GLFW_CONTEXT_VERSION_MAJOR, 3);
  glfwWindowHint(GLFW_CONTEXT_VERSION_MINOR, 3);
  glfwWindowHint(GLFW_OPENGL_PROFILE, GLFW_OPENGL_CORE_PROFILE);
  glfwWindowHint(GLFW_VISIBLE, GLFW_FALSE);
  GLFWwindow* window = glfwCreateWindow(800, 600, "Felidora monitor bench", nullptr, nullptr);
  if (!window) {
    std::fprintf(stderr, "no OpenGL 3.3 window (no DISPLAY?)\n");
    glfwTerminate();
    return 1;
  }
  glfwMakeContextCurrent(window);
  glewExperimental = GL_TRUE;
  glewInit();
  glGetError();
  render::detectGl(); // the game's paths for this GL (the mip levels by region on a software one)
  ilInit();

  game = new Game;
  game->player = new Schnecke({0.0f, 500.0f, 400.0f}, game->mainShader, game->shadowShader);
  game->monitor = new Monitor(glm::mat4(1.0f), game->mainShader, game->shadowShader);
  if (game->monitor->screenTexture == 0) {
    std::fprintf(stderr, "no screen texture: run from the build folder with its content\n");
    return 1;
  }
  benchmark::RunSpecifiedBenchmarks();
  if (glGetError() != GL_NO_ERROR)
    std::printf("GL error during the run\n");
  delete game;
  benchmark::Shutdown();
  glfwDestroyWindow(window);
  glfwTerminate();
  return 0;
}
