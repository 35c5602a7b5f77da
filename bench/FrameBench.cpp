// Frame-time benchmark of the real game: the game's own start-up and level,
// 1,000 frames of scripted flying (turning, climbing, firing), and where each
// frame's time goes: the update, each of the four render passes (wall time
// and GL timer queries) and the buffer swap. Beside each pass's time stand the
// samples that passed its depth test (occlusion queries) and what that makes
// per pixel of its target: under a software renderer the frame costs what it
// shades.
//
// Run from the build folder under a display (bench/frame_bench.sh does both):
//   ./bench/frame_bench [--culling off] [--frames N] [--dt SECONDS] [--keys fight] [--apart]
//                       [--pictures FOLDER [--every N]] [--shading] [--sieve on|off]
// --keys fight plays a fight (fire every half second, a super shot) in place
// of the scripted flight.
// --apart draws each pass between two glFinish calls and adds the processor
// time it took the game thread and every other thread (llvmpipe's
// rasterizers): what each pass costs whatever it overlaps with. Work moves
// less with the machine's load than time does; the frame itself is no longer
// the game's, since no pass overlaps another.
// With --dt every update gets that frame time instead of the measured one, so
// each run plays the same frames whatever the machine's speed and load: the
// pictures, and with them the samples, stay comparable between builds.
// --pictures saves every Nth frame (10 unless --every says) as a PPM file
// into FOLDER: bench/picture_diff.py compares two builds' folders.
// --shading counts, per pass, the fragments its programs shaded (a software
// rasterizer shades blocks of 4 x 4, so against the samples that passed this
// shows what half-covered blocks cost), the vertices and the triangles the GL
// took in and kept after clipping (where the GL has pipeline statistics).
// --sieve on|off sifts the meshes' triangles before each draw or not,
// whatever the GL would decide (TriangleSieve); --mip-region on|off
// likewise remakes the monitor's mip levels under each new picture only, or
// whole (MipChain).
#include "app/Settings.h"
#include "app/StartUp.h"
#include "base/Platform.h"
#include "bench/BenchFlight.h"
#include "render/GlFlavour.h"

#include <GL/glew.h>
#include <GLFW/glfw3.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <fstream>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

double msSince(Clock::time_point start) {
  return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

// Seconds since this process was started by the system.
double secondsSinceProcessStart() {
  std::ifstream stat("/proc/self/stat");
  std::string text((std::istreambuf_iterator<char>(stat)), std::istreambuf_iterator<char>());
  // the fields after the command name, which ends with the last ')'
  std::size_t pos = text.rfind(')');
  unsigned long long startTicks = 0;
  int field = 2;
  for (std::size_t i = pos + 2; i < text.size() && field < 22; ++i)
    if (text[i] == ' ' && ++field == 21)
      startTicks = std::stoull(text.substr(i + 1));
  double uptime = 0.0;
  std::ifstream("/proc/uptime") >> uptime;
  return uptime - static_cast<double>(startTicks) / static_cast<double>(sysconf(_SC_CLK_TCK));
}

// CLOCK_MONOTONIC, the clock perf stamps its samples with under -k.
double monotonicSeconds() {
  timespec now{};
  clock_gettime(CLOCK_MONOTONIC, &now);
  return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) * 1e-9;
}

// Processor time of the calling thread alone: the game's own thread, which
// runs the vertex stages and sorts triangles for the rasterizer threads.
double threadMs() {
  timespec now{};
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
  return static_cast<double>(now.tv_sec) * 1e3 + static_cast<double>(now.tv_nsec) * 1e-6;
}

double residentMegabytes() {
  long pages = 0, resident = 0;
  std::ifstream("/proc/self/statm") >> pages >> resident;
  return static_cast<double>(resident) * static_cast<double>(sysconf(_SC_PAGESIZE)) / (1024.0 * 1024.0);
}

// The pilot's keys for frame i: turns both ways, climbs and descends, taps
// the fire key and now and then charges a super shot.
struct Stat {
  std::vector<double> values;
  double median() const { return at(0.5); }
  double p95() const { return at(0.95); }
  double mean() const {
    double sum = 0;
    for (double v : values)
      sum += v;
    return values.empty() ? 0 : sum / static_cast<double>(values.size());
  }
  double at(double p) const {
    if (values.empty())
      return 0;
    std::vector<double> sorted = values;
    std::sort(sorted.begin(), sorted.end());
    return sorted[static_cast<std::size_t>(p * static_cast<double>(sorted.size() - 1))];
  }
};

// Pipeline statistics per pass (--shading): how many fragments the programs
// shaded against how many samples passed, and the triangles the driver took
// in and gave to the rasterizer.
constexpr int kStatistics = 4;
constexpr GLenum kStatisticTargets[kStatistics] = {GL_FRAGMENT_SHADER_INVOCATIONS_ARB, GL_VERTEX_SHADER_INVOCATIONS_ARB,
                                                   GL_CLIPPING_INPUT_PRIMITIVES_ARB, GL_CLIPPING_OUTPUT_PRIMITIVES_ARB};
constexpr const char* kStatisticNames[kStatistics] = {"fragments shaded", "vertices shaded", "triangles in",
                                                      "triangles out"};

// The frame as drawn, into DIR/frame-NNNNN.ppm (rows top-down), so that two
// builds' pictures of the same flight can be compared.
void savePicture(const char* folder, int frame) {
  GLint viewport[4] = {0, 0, 0, 0};
  glGetIntegerv(GL_VIEWPORT, viewport);
  const int width = viewport[2], height = viewport[3];
  std::vector<unsigned char> rgb(static_cast<std::size_t>(width) * height * 3);
  glPixelStorei(GL_PACK_ALIGNMENT, 1);
  glReadPixels(0, 0, width, height, GL_RGB, GL_UNSIGNED_BYTE, rgb.data());
  char path[4096];
  std::snprintf(path, sizeof path, "%s/frame-%05d.ppm", folder, frame);
  std::FILE* file = std::fopen(path, "wb");
  if (!file) {
    std::fprintf(stderr, "cannot write %s\n", path);
    return;
  }
  std::fprintf(file, "P6\n%d %d\n255\n", width, height);
  for (int row = height - 1; row >= 0; --row)
    std::fwrite(&rgb[static_cast<std::size_t>(row) * width * 3], 1, static_cast<std::size_t>(width) * 3, file);
  std::fclose(file);
}

} // namespace

int main(int argc, char** argv) {
  bool culling = true;
  int frames = 1000;
  double fixedDt = 0.0;
  bool fight = false;
  bool apart = false;
  const char* pictures = nullptr;
  int picturesEvery = 10;
  bool shading = false;
  int sieve = -1; // as the GL decides
  int mipRegion = -1;
  for (int i = 1; i < argc; ++i) {
    if (!std::strcmp(argv[i], "--culling") && i + 1 < argc)
      culling = std::strcmp(argv[++i], "off") != 0;
    else if (!std::strcmp(argv[i], "--frames") && i + 1 < argc)
      frames = std::max(1, std::atoi(argv[++i]));
    else if (!std::strcmp(argv[i], "--dt") && i + 1 < argc)
      fixedDt = std::max(0.0, std::atof(argv[++i]));
    else if (!std::strcmp(argv[i], "--keys") && i + 1 < argc)
      fight = !std::strcmp(argv[++i], "fight");
    else if (!std::strcmp(argv[i], "--apart"))
      apart = true;
    else if (!std::strcmp(argv[i], "--pictures") && i + 1 < argc)
      pictures = argv[++i];
    else if (!std::strcmp(argv[i], "--shading"))
      shading = true;
    else if (!std::strcmp(argv[i], "--sieve") && i + 1 < argc)
      sieve = std::strcmp(argv[++i], "off") != 0 ? 1 : 0;
    else if (!std::strcmp(argv[i], "--mip-region") && i + 1 < argc)
      mipRegion = std::strcmp(argv[++i], "off") != 0 ? 1 : 0;
    else if (!std::strcmp(argv[i], "--every") && i + 1 < argc)
      picturesEvery = std::max(1, std::atoi(argv[++i]));
  }

  // Start-up in its steps, each as seconds since the process began.
  const double atMain = secondsSinceProcessStart();
  setUpProcess();
  resetKeyToggles();
  GLFWwindow* window = startUp(Settings{});
  if (sieve >= 0)
    render::siftTriangles(sieve != 0);
  if (mipRegion >= 0)
    render::regenerateMipmapsByRegion(mipRegion != 0);
  const double atWindow = secondsSinceProcessStart();
  Game* game = new Game();
  const double atShaders = secondsSinceProcessStart();
  game->assembleLevel();
  const double atLevel = secondsSinceProcessStart();
  game->cullingEnabled = culling;

  GLuint queries[4], sampleQueries[4];
  glGenQueries(4, queries);
  glGenQueries(4, sampleQueries);
  // what each pass costs the shading and the driver's primitive work, where
  // the GL counts them
  if (shading && !GLEW_ARB_pipeline_statistics_query) {
    std::fprintf(stderr, "--shading: this GL has no pipeline statistics; left out\n");
    shading = false;
  }
  GLuint statisticQueries[4][kStatistics];
  if (shading)
    glGenQueries(4 * kStatistics, &statisticQueries[0][0]);
  Stat passStatistics[4][kStatistics];
  Stat frame, processor, update, swap, objects, region, passWall[4], passGl[4], passSamples[4], passThread[4];
  Stat apartGame[4], apartOthers[4];
  double firstFrameAt = 0.0;
  double previous = glfwGetTime();
  const double loopStart = monotonicSeconds();
  int played = 0;
  double gameTime = 0.0;
  for (; played < frames && game->running; ++played) {
    const auto frameStart = Clock::now();
    const double processorStart = bench::processorMs();
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    const double now = glfwGetTime();
    const double dt = fixedDt > 0.0 ? fixedDt : now - previous;
    previous = now;
    if (fight)
      bench::fightKeys(gameTime);
    else
      bench::scriptedKeys(played);
    gameTime += dt;

    auto start = Clock::now();
    game->handleFunctionKeys();
    game->update(dt);
    update.values.push_back(msSince(start));

    for (int p = 0; p < 4; ++p) {
      if (apart)
        glFinish();
      const double processorBefore = bench::processorMs();
      start = Clock::now();
      const double threadStart = threadMs();
      glBeginQuery(GL_TIME_ELAPSED, queries[p]);
      glBeginQuery(GL_SAMPLES_PASSED, sampleQueries[p]);
      for (int q = 0; shading && q < kStatistics; ++q)
        glBeginQuery(kStatisticTargets[q], statisticQueries[p][q]);
      (game->*bench::kPasses[p])();
      for (int q = 0; shading && q < kStatistics; ++q)
        glEndQuery(kStatisticTargets[q]);
      glEndQuery(GL_SAMPLES_PASSED);
      glEndQuery(GL_TIME_ELAPSED);
      passWall[p].values.push_back(msSince(start));
      passThread[p].values.push_back(threadMs() - threadStart);
      if (apart) {
        glFinish();
        const double game = threadMs() - threadStart;
        apartGame[p].values.push_back(game);
        apartOthers[p].values.push_back(bench::processorMs() - processorBefore - game);
      }
    }

    // the finished picture, before the swap leaves the back buffer undefined
    if (pictures && played % picturesEvery == 0)
      savePicture(pictures, played);

    start = Clock::now();
    glfwSwapBuffers(window);
    glfwPollEvents();
    swap.values.push_back(msSince(start));

    for (int p = 0; p < 4; ++p) {
      GLuint64 ns = 0;
      glGetQueryObjectui64v(queries[p], GL_QUERY_RESULT, &ns);
      passGl[p].values.push_back(static_cast<double>(ns) / 1e6);
      GLuint64 samples = 0;
      glGetQueryObjectui64v(sampleQueries[p], GL_QUERY_RESULT, &samples);
      passSamples[p].values.push_back(static_cast<double>(samples));
      for (int q = 0; shading && q < kStatistics; ++q) {
        GLuint64 count = 0;
        glGetQueryObjectui64v(statisticQueries[p][q], GL_QUERY_RESULT, &count);
        passStatistics[p][q].values.push_back(static_cast<double>(count));
      }
    }
    objects.values.push_back(game->objectsDrawn);
    const ShadowRegion& drawn = game->shadowPass.region;
    region.values.push_back(100.0 * drawn.width * drawn.height / bench::kPassTargetPixels[0]);
    frame.values.push_back(msSince(frameStart));
    processor.values.push_back(bench::processorMs() - processorStart);
    if (played == 0)
      firstFrameAt = secondsSinceProcessStart();
  }
  const double loopEnd = monotonicSeconds();
  const bool glError = glGetError() != GL_NO_ERROR;

  const char* names[4] = {"shadow pass", "reflection pass", "main pass", "water surface"};
  std::printf("Felidora frame benchmark: %d frames, culling %s%s%s%s%s\n", played, culling ? "on" : "off",
              fixedDt > 0.0 ? ", fixed frame time" : "", fight ? ", a fight" : "", apart ? ", passes apart" : "",
              glError ? " (a GL error was pending)" : "");
  std::printf("  start to first frame     %8.3f s   (libraries loaded %.3f, window and context %.3f, shaders %.3f,\n"
              "                                        level assembled %.3f, first frame %.3f)\n",
              firstFrameAt, atMain, atWindow - atMain, atShaders - atWindow, atLevel - atShaders,
              firstFrameAt - atLevel);
  std::printf("  frame                    median %8.2f ms   p95 %8.2f ms\n", frame.median(), frame.p95());
  std::printf("  processor time per frame median %8.2f ms   (all threads; moves little with the load)\n",
              processor.median());
  std::printf("  update (game + monitor)  median %8.2f ms   p95 %8.2f ms\n", update.median(), update.p95());
  for (int p = 0; p < 4; ++p)
    std::printf("  %-24s median %8.2f ms   p95 %8.2f ms   (GL timer %6.2f ms, game thread %6.2f ms)\n", names[p],
                passWall[p].median(), passWall[p].p95(), passGl[p].median(), passThread[p].median());
  for (int p = 0; p < 4; ++p)
    std::printf("  %-24s samples passed mean %10.0f   per pixel of its target %5.2f\n", names[p], passSamples[p].mean(),
                passSamples[p].mean() / bench::kPassTargetPixels[p]);
  for (int p = 0; shading && p < 4; ++p) {
    std::printf("  %-24s", names[p]);
    for (int q = 0; q < kStatistics; ++q)
      std::printf(" %s %.0f%s", kStatisticNames[q], passStatistics[p][q].mean(), q + 1 < kStatistics ? "," : "");
    std::printf(" (means)\n");
  }
  if (apart)
    for (int p = 0; p < 4; ++p)
      std::printf("  %-24s processor time, apart: game thread %6.2f ms, other threads %6.2f ms (medians)\n", names[p],
                  apartGame[p].median(), apartOthers[p].median());
  std::printf("  swap                     median %8.2f ms   p95 %8.2f ms\n", swap.median(), swap.p95());
  std::printf("  objects drawn per frame  mean %6.1f\n", objects.mean());
  std::printf("  shadow region            mean %6.1f %% of the map   p95 %6.1f %%\n", region.mean(), region.p95());
  std::printf("  resident memory          %8.1f MB\n", residentMegabytes());
  std::printf("  update share of frame    %8.2f %% (its GL uploads included; bench/frame_profile.sh splits them off)\n",
              100.0 * update.median() / frame.median());
  // for bench/frame_profile.sh, which splits the loop's processor time
  std::printf("  frame loop (monotonic)   %.6f %.6f\n", loopStart, loopEnd);

  glfwTerminate();
  std::fflush(stdout);
  std::_Exit(0); // like the game: the system reclaims the rest
}
