// One game update of the objects: the player, seventeen enemies and about a
// hundred shots in flight over the generated landscape. A second benchmark
// asks the collision queries of each update once more, so the update's time
// splits into collision queries and everything else.
//
//   cmake --build <build> --target objects_bench content shaders
//   cd <build> && ./bench/objects_bench --benchmark_repetitions=9 --benchmark_report_aggregates_only=true
#include "app/Game.h"
#include "app/KeyFlags.h"
#include "objects/GegnerProjektil.h"
#include "objects/Hummelot.h"
#include "objects/LevelScene.h"
#include "objects/Projektil.h"
#include "objects/Schnecke.h"
#include "render/CollisionModel3D.h"
#include "render/Shader.h"

#include <GL/glew.h>
#include <GLFW/glfw3.h>
#include <IL/il.h>
#include <benchmark/benchmark.h>
#include <glm/gtc/matrix_transform.hpp>
#include <glm/gtc/type_ptr.hpp>

#include <cstdio>
#include <memory>

namespace {

constexpr double kFrame = 1.0 / 60.0;
constexpr int kFireEvery = 20; // three taps a second: fifteen wool balls in flight

const glm::vec3 kEnemyPositions[17] = {
    {-417, 213, 40},  {409, 359, 407},  {409, 359, 480},  {657, 252, -56},  {542, 252, -56},  {830, 217, -820},
    {830, 217, -924}, {851, 182, -880}, {666, 182, -880}, {118, 259, -880}, {118, 328, -880}, {-505, 202, -1015},
    {-972, 399, 588}, {-972, 399, 399}, {-972, 399, 832}, {-944, 415, 709}, {-1094, 415, 709}};

// The game as the level set-up leaves it, with enemies that cannot die so the
// population stays the same however long the benchmark runs.
class World {
public:
  World() {
    if (!glfwInit())
      return;
    glfwWindowHint(GLFW_CONTEXT_VERSION_MAJOR, 3);
    glfwWindowHint(GLFW_CONTEXT_VERSION_MINOR, 3);
    glfwWindowHint(GLFW_OPENGL_PROFILE, GLFW_OPENGL_CORE_PROFILE);
    glfwWindowHint(GLFW_VISIBLE, GLFW_FALSE);
    window = glfwCreateWindow(800, 600, "Felidora bench", nullptr, nullptr);
    if (!window)
      return;
    glfwMakeContextCurrent(window);
    glewExperimental = GL_TRUE;
    if (glewInit() != GLEW_OK)
      return;
    ilInit();
    game = std::make_unique<Game>();
    game->level = new LevelScene(glm::vec3(1.0f), game->mainShader, game->shadowShader, "Modelle/UmgebungGross.dae");
    game->player = new Schnecke(glm::vec3(0.0f, 500.0f, 400.0f), game->mainShader, game->shadowShader);
    for (const glm::vec3& position : kEnemyPositions) {
      auto* enemy = new Hummelot(position, game->mainShader, game->shadowShader);
      enemy->hitPoints = 1 << 30;
      game->enemies.push_back(enemy);
    }
    KeyFlags = KeyFlagTable{};
    KeyFlags.keyLeft = true;      // circle near the start
    for (int i = 0; i < 600; ++i) // ten seconds: every kind of shot at its working count
      frame();
  }

  ~World() {
    if (game) {
      for (Gegner* enemy : game->enemies)
        delete enemy;
      game->enemies.clear();
      delete game->player;
      game->player = nullptr;
      delete game->level;
      game->level = nullptr;
      game.reset();
    }
    if (window)
      glfwDestroyWindow(window);
    glfwTerminate();
  }

  bool ready() const { return game != nullptr; }

  // One frame of the objects as the game runs it.
  void frame() {
    KeyFlags.keyFire = frameNumber++ % kFireEvery == 0;
    Schnecke* player = game->player;
    player->handleInput(game.get());
    player->update(kFrame, game.get());
    for (Gegner* enemy : game->enemies)
      enemy->update(kFrame, game.get());
  }

  std::size_t playerShots() const { return game->player->projectiles.size(); }
  std::size_t laserShots() const {
    std::size_t count = 0;
    for (Gegner* enemy : game->enemies)
      count += static_cast<Hummelot*>(enemy)->shots.size();
    return count;
  }

  // The collision queries of one update, in the update's pattern (place the
  // model, then ask), without moving anything: the landscape queries (the
  // player and every shot, radius 10) and the box queries (player shots
  // against every enemy, the player against every enemy and the laser shots
  // against the player, radius 5). Returns the number of queries.
  int collisionQueries(bool landscape, bool boxes) {
    Game* g = game.get();
    CollisionModel3D* ground = g->level->meshCollisionModel;
    const float* groundPlacement = glm::value_ptr(g->level->modelMatrix);
    Schnecke* player = g->player;
    int queries = 0, touches = 0;
    const auto askGround = [&](const float* centre) {
      ground->setTransform(groundPlacement);
      touches += ground->sphereCollision(centre, 10.0f);
      ++queries;
    };

    if (landscape)
      askGround(glm::value_ptr(player->modelMatrix) + 12);
    for (Projektil* shot : player->projectiles) {
      const float* centre = glm::value_ptr(shot->modelMatrix) + 12;
      for (Gegner* enemy : g->enemies) {
        if (!boxes)
          break;
        enemy->boxCollisionModel->setTransform(glm::value_ptr(enemy->modelMatrix));
        touches += enemy->boxCollisionModel->sphereCollision(centre, 5.0f);
        ++queries;
      }
      if (landscape)
        askGround(centre);
    }
    if (boxes) {
      player->boxCollisionModel->setTransform(glm::value_ptr(player->modelMatrix));
      for (Gegner* enemy : g->enemies) {
        touches += player->boxCollisionModel->sphereCollision(glm::value_ptr(enemy->modelMatrix) + 12, 5.0f);
        ++queries;
      }
    }
    for (Gegner* enemy : g->enemies)
      for (GegnerProjektil* shot : static_cast<Hummelot*>(enemy)->shots) {
        const float* centre = glm::value_ptr(shot->modelMatrix) + 12;
        if (landscape)
          askGround(centre);
        if (boxes) {
          touches += player->boxCollisionModel->sphereCollision(centre, 5.0f);
          ++queries;
        }
      }
    benchmark::DoNotOptimize(touches);
    return queries;
  }

  std::unique_ptr<Game> game;

private:
  GLFWwindow* window = nullptr;
  long frameNumber = 0;
};

World* world = nullptr;

void BM_GameUpdate(benchmark::State& state) {
  if (!world->ready()) {
    state.SkipWithError("no GL context or game");
    return;
  }
  double shots = 0.0;
  for (auto _ : state) {
    world->frame();
    shots += static_cast<double>(world->playerShots() + world->laserShots());
  }
  state.counters["shotsInFlight"] = shots / static_cast<double>(state.iterations());
}
BENCHMARK(BM_GameUpdate)->Unit(benchmark::kMicrosecond);

// An update followed by its collision queries asked once more (all, the
// landscape ones, the box ones): the difference to BM_GameUpdate is what the
// queries cost in the game. Asked over and over on a frozen world they would
// look cheaper than they are, since the same walks repeat and the branch
// predictor learns them.
// range(0): 0 all queries, 1 the landscape ones, 2 the box ones.
void BM_GameUpdateThenItsQueriesAgain(benchmark::State& state) {
  if (!world->ready()) {
    state.SkipWithError("no GL context or game");
    return;
  }
  const bool landscape = state.range(0) != 2, boxes = state.range(0) != 1;
  int queries = 0;
  for (auto _ : state) {
    world->frame();
    queries = world->collisionQueries(landscape, boxes);
  }
  state.SetLabel(state.range(0) == 0 ? "all" : landscape ? "landscape" : "boxes");
  state.counters["queries"] = queries;
  state.counters["playerShots"] = static_cast<double>(world->playerShots());
  state.counters["laserShots"] = static_cast<double>(world->laserShots());
}
BENCHMARK(BM_GameUpdateThenItsQueriesAgain)->Arg(0)->Arg(1)->Arg(2)->Unit(benchmark::kMicrosecond);

} // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv))
    return 1;
  World theWorld;
  world = &theWorld;
  if (!theWorld.ready())
    std::fprintf(stderr, "objects_bench: no GL 3.3 context (DISPLAY?) or no game\n");
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
