// Collision queries as the game makes them: setTransform + sphereCollision with
// radius 10 against a landscape, at points near its surface and high above it,
// measured beside an exact brute-force test over every triangle; and the cost
// of finalize. Runs on a synthetic 130,050-triangle height field and, when the
// build folder holds it, on the generated level "Modelle/UmgebungGross.dae".
//
// Run from the build folder: bench/collision_bench
// Each figure is the median of five repetitions; the query benchmarks also
// report the median and 95th percentile over single points (median_ns, p95_ns).
#include "render/CollisionModel3D.h"
#include "tests/support/CollisionReference.h"
#include "tests/support/ImportedTriangles.h"

#include <assimp/Importer.hpp>
#include <assimp/scene.h>
#include <benchmark/benchmark.h>
#include <glm/glm.hpp>
#include <glm/gtc/matrix_transform.hpp>
#include <glm/gtc/type_ptr.hpp>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <fstream>
#include <limits>
#include <map>
#include <memory>
#include <random>
#include <string>
#include <vector>

namespace {

constexpr float kRadius = 10.0f;
constexpr int kPointCount = 4096;

using Triangles = std::vector<float>;

// Rolling hills, 255 x 255 cells of 16 units, two triangles per cell.
Triangles heightfield(int cells, float spacing) {
  auto height = [&](int i, int j) {
    const float x = i * spacing, z = j * spacing;
    return 120.0f * std::sin(x * 0.0031f) * std::cos(z * 0.0027f) + 25.0f * std::sin(x * 0.013f + z * 0.009f) +
           6.0f * std::cos(x * 0.07f - z * 0.05f);
  };
  const float offset = cells * spacing * 0.5f;
  Triangles t;
  t.reserve(std::size_t(cells) * cells * 18);
  for (int i = 0; i < cells; ++i)
    for (int j = 0; j < cells; ++j) {
      const float x0 = i * spacing - offset, x1 = x0 + spacing, z0 = j * spacing - offset, z1 = z0 + spacing;
      const float h00 = height(i, j), h10 = height(i + 1, j), h01 = height(i, j + 1), h11 = height(i + 1, j + 1);
      t.insert(t.end(), {x0, h00, z0, x0, h01, z1, x1, h10, z0});
      t.insert(t.end(), {x1, h10, z0, x0, h01, z1, x1, h11, z1});
    }
  return t;
}

std::unique_ptr<CollisionModel3D> buildModel(const Triangles& triangles) {
  std::unique_ptr<CollisionModel3D> model(newCollisionModel3D(false));
  for (std::size_t i = 0; i + 8 < triangles.size(); i += 9)
    model->addTriangle(triangles[i], triangles[i + 1], triangles[i + 2], triangles[i + 3], triangles[i + 4],
                       triangles[i + 5], triangles[i + 6], triangles[i + 7], triangles[i + 8]);
  model->finalize();
  return model;
}

struct Terrain {
  std::string name;
  Triangles triangles;
  glm::mat4 placement{1.0f};
  std::vector<glm::dvec3> world;
  std::unique_ptr<CollisionModel3D> model;
  std::vector<glm::vec3> near, far;
};

// Points above random surface points: "near" 0..20 units up (about half touch
// with radius 10), "far" 40..200 units up, inside the terrain's bounds among
// the hills rather than above all of it.
void choosePoints(Terrain& terrain) {
  std::mt19937 rng(2024);
  std::uniform_real_distribution<double> unit(0.0, 1.0);
  const std::size_t count = terrain.world.size() / 3;
  auto surfacePoint = [&]() {
    const std::size_t t = std::min(count - 1, std::size_t(unit(rng) * count)) * 3;
    double u = unit(rng), v = unit(rng);
    if (u + v > 1.0) {
      u = 1.0 - u;
      v = 1.0 - v;
    }
    const glm::dvec3* w = &terrain.world[t];
    return w[0] + u * (w[1] - w[0]) + v * (w[2] - w[0]);
  };
  for (int i = 0; i < kPointCount; ++i) {
    terrain.near.push_back(glm::vec3(surfacePoint() + glm::dvec3(0.0, 20.0 * unit(rng), 0.0)));
    terrain.far.push_back(glm::vec3(surfacePoint() + glm::dvec3(0.0, 40.0 + 160.0 * unit(rng), 0.0)));
  }
}

bool query(Terrain& terrain, const glm::mat4& placement, const glm::vec3& point) {
  terrain.model->setTransform(glm::value_ptr(placement));
  return terrain.model->sphereCollision(&point.x, kRadius);
}

// The game's pattern: the level placed with its unchanging matrix before each
// query. With `moving`, the placement alternates between two matrices, so
// every query pays the full placement set-up.
void benchQuery(benchmark::State& state, Terrain* terrain, const std::vector<glm::vec3>* points, bool moving) {
  const glm::mat4 placements[2] = {terrain->placement,
                                   glm::translate(terrain->placement, glm::vec3(0.0f, 0.001f, 0.0f))};
  std::size_t i = 0, touching = 0, total = 0;
  for (auto _ : state) {
    const bool hit = query(*terrain, placements[moving ? (i & 1) : 0], (*points)[i]);
    benchmark::DoNotOptimize(hit);
    touching += hit;
    ++total;
    i = (i + 1) % points->size();
  }
  // Per-point cost: each of 512 points queried 64 times in a row.
  std::vector<double> perPoint;
  for (std::size_t p = 0; p < 512; ++p) {
    const glm::vec3& point = (*points)[p * points->size() / 512];
    const auto start = std::chrono::steady_clock::now();
    for (int k = 0; k < 64; ++k)
      benchmark::DoNotOptimize(query(*terrain, placements[moving ? (k & 1) : 0], point));
    perPoint.push_back(std::chrono::duration<double, std::nano>(std::chrono::steady_clock::now() - start).count() /
                       64.0);
  }
  std::sort(perPoint.begin(), perPoint.end());
  state.counters["median_ns"] = perPoint[perPoint.size() / 2];
  state.counters["p95_ns"] = perPoint[perPoint.size() * 95 / 100];
  state.counters["touching"] = total ? double(touching) / double(total) : 0.0;
}

// Every triangle tested, leaving at the first that touches. Its triangles are
// placed in world space beforehand, which flatters it: the ratio is a floor.
void benchBruteForce(benchmark::State& state, Terrain* terrain, const std::vector<glm::vec3>* points) {
  std::size_t i = 0;
  for (auto _ : state) {
    benchmark::DoNotOptimize(collision_reference::touches(terrain->world, &(*points)[i].x, kRadius));
    i = (i + 1) % points->size();
  }
}

void benchFinalize(benchmark::State& state, Terrain* terrain) {
  for (auto _ : state) {
    state.PauseTiming();
    std::unique_ptr<CollisionModel3D> model(newCollisionModel3D(false));
    const Triangles& t = terrain->triangles;
    for (std::size_t i = 0; i + 8 < t.size(); i += 9)
      model->addTriangle(t[i], t[i + 1], t[i + 2], t[i + 3], t[i + 4], t[i + 5], t[i + 6], t[i + 7], t[i + 8]);
    state.ResumeTiming();
    model->finalize();
    state.PauseTiming();
    model.reset();
    state.ResumeTiming();
  }
  state.counters["triangles"] = double(terrain->triangles.size() / 9);
}

// Keeps the medians (wall clock and CPU) of every benchmark for the summary.
class SummaryReporter : public benchmark::ConsoleReporter {
public:
  struct Figures {
    double realNs, cpuNs, perPointNs;
  };
  std::map<std::string, Figures> medians;

  void ReportRuns(const std::vector<Run>& runs) override {
    for (const Run& run : runs)
      if (run.run_type == Run::RT_Aggregate && run.aggregate_name == "median") {
        const double toNs = 1e9 / benchmark::GetTimeUnitMultiplier(run.time_unit);
        const auto perPoint = run.counters.find("median_ns");
        medians[run.run_name.function_name] = {run.GetAdjustedRealTime() * toNs, run.GetAdjustedCPUTime() * toNs,
                                               perPoint != run.counters.end() ? double(perPoint->second) : 0.0};
      }
    ConsoleReporter::ReportRuns(runs);
  }
};

} // namespace

int main(int argc, char** argv) {
  std::vector<std::unique_ptr<Terrain>> terrains;

  auto synthetic = std::make_unique<Terrain>();
  synthetic->name = "synthetic";
  synthetic->triangles = heightfield(255, 16.0f);
  terrains.push_back(std::move(synthetic));

  const std::string landscapePath = "Modelle/UmgebungGross.dae";
  if (std::ifstream(landscapePath).good()) {
    auto level = std::make_unique<Terrain>();
    level->name = "landscape";
    level->triangles = felidora::test::importedTriangles(landscapePath);
    level->placement = glm::translate(glm::mat4(1.0f), glm::vec3(1.0f, 1.0f, 1.0f));
    if (level->triangles.empty())
      std::printf("%s could not be imported; synthetic terrain only\n", landscapePath.c_str());
    else
      terrains.push_back(std::move(level));
  } else {
    std::printf("%s not found (run from the build folder); synthetic terrain only\n", landscapePath.c_str());
  }

  for (auto& terrain : terrains) {
    terrain->world = collision_reference::placeTriangles(terrain->triangles, glm::value_ptr(terrain->placement));
    terrain->model = buildModel(terrain->triangles);
    choosePoints(*terrain);
    std::printf("%s: %zu triangles\n", terrain->name.c_str(), terrain->triangles.size() / 9);
    Terrain* t = terrain.get();
    const std::string n = terrain->name;
    benchmark::RegisterBenchmark(("Finalize/" + n).c_str(), benchFinalize, t)
        ->Unit(benchmark::kMillisecond)
        ->Repetitions(5)
        ->ReportAggregatesOnly(true);
    for (bool moving : {false, true}) {
      const std::string suffix = moving ? "/moving" : "";
      benchmark::RegisterBenchmark(("Query/" + n + "/near" + suffix).c_str(), benchQuery, t, &t->near, moving)
          ->Repetitions(5)
          ->ReportAggregatesOnly(true);
      benchmark::RegisterBenchmark(("Query/" + n + "/far" + suffix).c_str(), benchQuery, t, &t->far, moving)
          ->Repetitions(5)
          ->ReportAggregatesOnly(true);
    }
    benchmark::RegisterBenchmark(("BruteForce/" + n + "/near").c_str(), benchBruteForce, t, &t->near)
        ->Unit(benchmark::kMicrosecond)
        ->Repetitions(5)
        ->ReportAggregatesOnly(true);
    benchmark::RegisterBenchmark(("BruteForce/" + n + "/far").c_str(), benchBruteForce, t, &t->far)
        ->Unit(benchmark::kMicrosecond)
        ->Repetitions(5)
        ->ReportAggregatesOnly(true);
  }

  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv))
    return 1;
  SummaryReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  benchmark::Shutdown();

  // Wall clock and CPU time differ only when other processes share the cores.
  // "one point" is the median over single points queried repeatedly (warm).
  std::printf("\nsummary: medians of the repetitions, wall clock (CPU)\n");
  for (auto& terrain : terrains) {
    const std::string n = terrain->name;
    for (const char* kind : {"near", "far", "near/moving", "far/moving"}) {
      const auto tree = reporter.medians.find("Query/" + n + "/" + kind);
      const std::string base = std::string(kind).substr(0, std::string(kind).find('/'));
      const auto brute = reporter.medians.find("BruteForce/" + n + "/" + base);
      if (tree == reporter.medians.end() || brute == reporter.medians.end())
        continue;
      const SummaryReporter::Figures q = tree->second, b = brute->second;
      std::printf("%-10s %-12s query %6.0f ns (%6.0f), one point %5.0f ns   brute force %7.0f us (%7.0f)   "
                  "ratio %5.0fx (%5.0fx)\n",
                  n.c_str(), kind, q.realNs, q.cpuNs, q.perPointNs, b.realNs / 1e3, b.cpuNs / 1e3, b.realNs / q.realNs,
                  b.cpuNs / q.cpuNs);
    }
    const auto finalize = reporter.medians.find("Finalize/" + n);
    if (finalize != reporter.medians.end())
      std::printf("%-10s finalize %.1f ms (%.1f)\n", n.c_str(), finalize->second.realNs / 1e6,
                  finalize->second.cpuNs / 1e6);
  }
  return 0;
}
