// Collision models: the tree answers exactly as a brute-force test over every
// triangle, touching at distance == radius counts, box models are hit where the
// placed box is, and bad input finds nothing without crashing.
#include "render/CollisionModel3D.h"
#include "tests/support/CollisionReference.h"
#include "tests/support/ImportedTriangles.h"
#include "tests/support/MessageCapture.h"

#include <assimp/Importer.hpp>
#include <assimp/scene.h>
#include <glm/glm.hpp>
#include <glm/gtc/matrix_transform.hpp>
#include <glm/gtc/type_ptr.hpp>
#include <gtest/gtest.h>

#include <cmath>
#include <fstream>
#include <limits>
#include <memory>
#include <random>
#include <string>
#include <vector>

namespace {

using Triangles = std::vector<float>;
using ModelPtr = std::unique_ptr<CollisionModel3D>;

ModelPtr buildModel(const Triangles& triangles) {
  ModelPtr model(newCollisionModel3D(false));
  for (std::size_t i = 0; i + 8 < triangles.size(); i += 9)
    model->addTriangle(triangles[i], triangles[i + 1], triangles[i + 2], triangles[i + 3], triangles[i + 4],
                       triangles[i + 5], triangles[i + 6], triangles[i + 7], triangles[i + 8]);
  model->finalize();
  return model;
}

// Rolling hills on a square grid, two triangles per cell, centred on the origin.
Triangles heightfield(int cells, float spacing) {
  auto height = [&](int i, int j) {
    const float x = i * spacing, z = j * spacing;
    return 40.0f * std::sin(x * 0.011f) * std::cos(z * 0.013f) + 12.0f * std::sin(x * 0.05f + z * 0.031f) +
           3.0f * std::cos(x * 0.21f - z * 0.17f);
  };
  const float offset = cells * spacing * 0.5f;
  Triangles t;
  for (int i = 0; i < cells; ++i)
    for (int j = 0; j < cells; ++j) {
      const float x0 = i * spacing - offset, x1 = x0 + spacing, z0 = j * spacing - offset, z1 = z0 + spacing;
      const float h00 = height(i, j), h10 = height(i + 1, j), h01 = height(i, j + 1), h11 = height(i + 1, j + 1);
      t.insert(t.end(), {x0, h00, z0, x0, h01, z1, x1, h10, z0});
      t.insert(t.end(), {x1, h10, z0, x0, h01, z1, x1, h11, z1});
    }
  return t;
}

// Triangles of every size and shape, slivers and points among them.
Triangles soup(int count, unsigned seed) {
  std::mt19937 rng(seed);
  std::uniform_real_distribution<float> where(-300.0f, 300.0f), unit(-1.0f, 1.0f);
  std::uniform_int_distribution<int> kind(0, 9);
  Triangles t;
  for (int i = 0; i < count; ++i) {
    const glm::vec3 a(where(rng), where(rng), where(rng));
    const float size = std::pow(10.0f, unit(rng) * 2.0f);
    glm::vec3 b = a + size * glm::vec3(unit(rng), unit(rng), unit(rng));
    glm::vec3 c = a + size * glm::vec3(unit(rng), unit(rng), unit(rng));
    const int k = kind(rng);
    if (k == 0)
      c = a + 2.5f * (b - a); // collinear
    else if (k == 1)
      b = c = a; // a point
    t.insert(t.end(), {a.x, a.y, a.z, b.x, b.y, b.z, c.x, c.y, c.z});
  }
  return t;
}

const float* ptr(const glm::mat4& m) { return glm::value_ptr(m); }

struct Placement {
  const char* name;
  glm::mat4 matrix;
};

std::vector<Placement> placements() {
  const glm::mat4 id(1.0f);
  const glm::mat4 turned = glm::rotate(glm::translate(id, glm::vec3(-250.0f, 35.0f, 410.0f)), glm::radians(37.0f),
                                       glm::normalize(glm::vec3(1.0f, 2.0f, 0.5f)));
  glm::mat4 sheared(1.0f);
  sheared[0] = glm::vec4(1.5f, 0.2f, 0.0f, 0.0f);
  sheared[1] = glm::vec4(0.3f, 0.7f, 0.1f, 0.0f);
  sheared[2] = glm::vec4(0.0f, -0.4f, 2.2f, 0.0f);
  sheared[3] = glm::vec4(10.0f, 20.0f, 30.0f, 1.0f);
  return {
      {"identity", id},
      {"translated", glm::translate(id, glm::vec3(300.0f, -40.0f, 125.0f))},
      {"rotated", turned},
      {"scaled by 2", glm::scale(turned, glm::vec3(2.0f))},
      {"scaled by 0.4", glm::scale(turned, glm::vec3(0.4f))},
      {"non-uniform and sheared", sheared},
      {"flattened (singular)",
       glm::scale(glm::translate(id, glm::vec3(0.0f, 7.0f, 0.0f)), glm::vec3(1.0f, 0.0f, 1.0f))},
  };
}

struct Sphere {
  glm::vec3 centre;
  float radius;
};

// Half the spheres sit around points of the placed surface, the rest anywhere
// in its enlarged bounds, so both answers are common.
std::vector<Sphere> randomSpheres(const std::vector<glm::dvec3>& world, int count, unsigned seed) {
  std::mt19937 rng(seed);
  std::uniform_real_distribution<double> unit(0.0, 1.0);
  glm::dvec3 lo(std::numeric_limits<double>::infinity()), hi(-std::numeric_limits<double>::infinity());
  for (const glm::dvec3& v : world) {
    lo = glm::min(lo, v);
    hi = glm::max(hi, v);
  }
  lo -= 30.0;
  hi += 30.0;
  std::vector<Sphere> spheres;
  for (int i = 0; i < count; ++i) {
    glm::dvec3 centre;
    if (i % 2 == 0) {
      const std::size_t t = std::size_t(unit(rng) * (world.size() / 3)) * 3;
      double u = unit(rng), v = unit(rng);
      if (u + v > 1.0) {
        u = 1.0 - u;
        v = 1.0 - v;
      }
      centre = world[t] + u * (world[t + 1] - world[t]) + v * (world[t + 2] - world[t]);
      centre += 24.0 * (glm::dvec3(unit(rng), unit(rng), unit(rng)) - 0.5);
    } else {
      centre = lo + (hi - lo) * glm::dvec3(unit(rng), unit(rng), unit(rng));
    }
    spheres.push_back({glm::vec3(centre), float(0.2 + 14.8 * unit(rng))});
  }
  return spheres;
}

// Compares the model with the reference on `count` spheres under one placement.
// Returns how many spheres touched.
int expectSameAsReference(CollisionModel3D& model, const Triangles& triangles, const glm::mat4& matrix, int count,
                          unsigned seed, const char* name) {
  const std::vector<glm::dvec3> world = collision_reference::placeTriangles(triangles, ptr(matrix));
  int touching = 0, differing = 0;
  for (const Sphere& s : randomSpheres(world, count, seed)) {
    model.setTransform(ptr(matrix));
    const bool hit = model.sphereCollision(&s.centre.x, s.radius);
    const bool expected = collision_reference::touches(world, &s.centre.x, s.radius);
    touching += expected;
    if (hit != expected) {
      // Two double-precision computations of one distance may only disagree
      // when it equals the radius to within rounding.
      const double d = collision_reference::smallestDistance(world, &s.centre.x);
      if (std::abs(d - s.radius) > 1e-9 * (1.0 + std::abs(d)) && ++differing <= 5)
        ADD_FAILURE() << name << ": centre (" << s.centre.x << ", " << s.centre.y << ", " << s.centre.z << ") radius "
                      << s.radius << " distance " << d << " model says " << hit;
    }
  }
  EXPECT_EQ(differing, 0) << name;
  return touching;
}

bool touches(CollisionModel3D& model, const glm::mat4& matrix, glm::vec3 centre, float radius) {
  model.setTransform(ptr(matrix));
  return model.sphereCollision(&centre.x, radius);
}

float justBelow(float radius) { return std::nextafter(radius, 0.0f); }

// One triangle (0,0,0) (10,0,0) (0,10,0) in the plane z = 0.
ModelPtr rightTriangle() { return buildModel({0, 0, 0, 10, 0, 0, 0, 10, 0}); }

// The box model of a bounding box: 12 triangles, two per face.
ModelPtr boxModel(glm::vec3 lo, glm::vec3 hi) {
  ModelPtr model(newCollisionModel3D(false));
  auto corner = [&](bool x, bool y, bool z) { return glm::vec3(x ? hi.x : lo.x, y ? hi.y : lo.y, z ? hi.z : lo.z); };
  const bool table[12][3][3] = {
      {{0, 1, 1}, {0, 0, 1}, {1, 0, 1}}, {{0, 1, 1}, {1, 0, 1}, {1, 1, 1}}, {{1, 1, 1}, {1, 0, 1}, {1, 0, 0}},
      {{1, 1, 1}, {1, 0, 0}, {1, 1, 0}}, {{1, 1, 0}, {1, 0, 0}, {0, 0, 0}}, {{1, 1, 0}, {0, 0, 0}, {0, 1, 0}},
      {{0, 1, 0}, {0, 0, 0}, {0, 0, 1}}, {{0, 1, 0}, {0, 0, 1}, {0, 1, 1}}, {{0, 1, 0}, {0, 1, 1}, {1, 1, 1}},
      {{0, 1, 0}, {1, 1, 1}, {1, 1, 0}}, {{0, 0, 1}, {0, 0, 0}, {1, 0, 0}}, {{0, 0, 1}, {1, 0, 0}, {1, 0, 1}}};
  for (const auto& tri : table) {
    glm::vec3 v[3];
    for (int k = 0; k < 3; ++k)
      v[k] = corner(tri[k][0], tri[k][1], tri[k][2]);
    model->addTriangle(&v[0].x, &v[1].x, &v[2].x);
  }
  model->finalize();
  return model;
}

} // namespace

// The tree against brute force

TEST(CollisionTreeMatchesBruteForce, TerrainUnderEveryPlacement) {
  const Triangles terrain = heightfield(48, 9.0f); // 4608 triangles
  ModelPtr model = buildModel(terrain);
  unsigned seed = 1;
  for (const Placement& p : placements()) {
    const int touching = expectSameAsReference(*model, terrain, p.matrix, 10000, seed++, p.name);
    // both answers must be well represented, or the comparison proves little
    EXPECT_GT(touching, 2000) << p.name;
    EXPECT_LT(touching, 8000) << p.name;
  }
}

TEST(CollisionTreeMatchesBruteForce, SoupOfSliversPointsAndGiants) {
  const Triangles triangles = soup(3000, 7);
  ModelPtr model = buildModel(triangles);
  unsigned seed = 100;
  for (const Placement& p : placements())
    expectSameAsReference(*model, triangles, p.matrix, 2000, seed++, p.name);
}

TEST(CollisionTreeMatchesBruteForce, GeneratedLandscapeWhenPresent) {
  const std::string path = "Modelle/UmgebungGross.dae";
  if (!std::ifstream(path).good())
    GTEST_SKIP() << path << " not generated in this build folder; the synthetic terrain covers the tree";
  const Triangles landscape = felidora::test::importedTriangles(path);
  ASSERT_GE(landscape.size(), 9u * 1000) << "the landscape should hold thousands of triangles";
  ModelPtr model = buildModel(landscape);
  const glm::mat4 level = glm::translate(glm::mat4(1.0f), glm::vec3(1.0f, 1.0f, 1.0f));
  const int touching = expectSameAsReference(*model, landscape, level, 1000, 99, "landscape");
  EXPECT_GT(touching, 100);
  EXPECT_LT(touching, 900);
}

// Touching is closed: distance == radius touches

TEST(CollisionTouching, FaceEdgeAndVertexAtExactlyTheRadius) {
  ModelPtr model = rightTriangle();
  const glm::mat4 id(1.0f);
  // face: 5 above an inner point
  EXPECT_TRUE(touches(*model, id, {2, 3, 5}, 5.0f));
  EXPECT_FALSE(touches(*model, id, {2, 3, 5}, justBelow(5.0f)));
  EXPECT_TRUE(touches(*model, id, {2, 3, -5}, 5.0f));
  // edge (0,0,0)-(10,0,0): closest point (5,0,0), distance 5
  EXPECT_TRUE(touches(*model, id, {5, -3, 4}, 5.0f));
  EXPECT_FALSE(touches(*model, id, {5, -3, 4}, justBelow(5.0f)));
  // edge (0,10,0)-(0,0,0): closest point (0,4,0)
  EXPECT_TRUE(touches(*model, id, {-4, 4, 3}, 5.0f));
  EXPECT_FALSE(touches(*model, id, {-4, 4, 3}, justBelow(5.0f)));
  // vertex (0,0,0)
  EXPECT_TRUE(touches(*model, id, {-3, -4, 0}, 5.0f));
  EXPECT_FALSE(touches(*model, id, {-3, -4, 0}, justBelow(5.0f)));
  // vertex (10,0,0), beyond it in all three axes
  EXPECT_TRUE(touches(*model, id, {12, -1, -2}, 3.0f));
  EXPECT_FALSE(touches(*model, id, {12, -1, -2}, justBelow(3.0f)));
  // a sphere of radius 0 touches only the surface itself
  EXPECT_TRUE(touches(*model, id, {1, 1, 0}, 0.0f));
  EXPECT_FALSE(touches(*model, id, {1, 1, 0.001f}, 0.0f));
}

TEST(CollisionTouching, ExactUnderTranslationAndScaleByTwo) {
  ModelPtr model = rightTriangle();
  const glm::mat4 placed = glm::scale(glm::translate(glm::mat4(1.0f), glm::vec3(100, 0, 0)), glm::vec3(2.0f));
  // world triangle (100,0,0) (120,0,0) (100,20,0)
  EXPECT_TRUE(touches(*model, placed, {94, -8, 0}, 10.0f));
  EXPECT_FALSE(touches(*model, placed, {94, -8, 0}, justBelow(10.0f)));
  EXPECT_TRUE(touches(*model, placed, {110, 5, 10}, 10.0f));
  EXPECT_FALSE(touches(*model, placed, {110, 5, 10}, justBelow(10.0f)));
  // the model-space distance (5) is not what counts
  EXPECT_FALSE(touches(*model, placed, {110, 5, 10}, 5.0f));
}

TEST(CollisionTouching, ZeroAreaTrianglesActAsTheirEdges) {
  ModelPtr line = buildModel({0, 0, 0, 5, 0, 0, 10, 0, 0});
  const glm::mat4 id(1.0f);
  EXPECT_TRUE(touches(*line, id, {5, 3, 0}, 3.0f));
  EXPECT_FALSE(touches(*line, id, {5, 3, 0}, justBelow(3.0f)));
  EXPECT_TRUE(touches(*line, id, {13, 4, 0}, 5.0f));
  EXPECT_FALSE(touches(*line, id, {13, 4, 0}, justBelow(5.0f)));

  ModelPtr point = buildModel({1, 2, 3, 1, 2, 3, 1, 2, 3});
  EXPECT_TRUE(touches(*point, id, {1, 2, 8}, 5.0f));
  EXPECT_FALSE(touches(*point, id, {1, 2, 8}, justBelow(5.0f)));
}

// Box models: the placed box is where spheres hit it

TEST(CollisionBoxModel, TranslatedBoxScaledByTwoIsHitAtItsFaces) {
  ModelPtr box = boxModel({-1, -2, -3}, {1, 2, 3});
  const glm::mat4 placed = glm::scale(glm::translate(glm::mat4(1.0f), glm::vec3(50, 60, 70)), glm::vec3(2.0f));
  // world box x 48..52, y 56..64, z 64..76
  const glm::vec3 faces[6][2] = {{{52, 60, 70}, {1, 0, 0}},  {{48, 60, 70}, {-1, 0, 0}}, {{50, 64, 70}, {0, 1, 0}},
                                 {{50, 56, 70}, {0, -1, 0}}, {{50, 60, 76}, {0, 0, 1}},  {{50, 60, 64}, {0, 0, -1}}};
  for (const auto& face : faces) {
    EXPECT_TRUE(touches(*box, placed, face[0] + 5.0f * face[1], 5.0f)) << face[1].x << face[1].y << face[1].z;
    EXPECT_FALSE(touches(*box, placed, face[0] + 5.01f * face[1], 5.0f)) << face[1].x << face[1].y << face[1].z;
  }
  // beside the edge x = 52, y = 64 and beyond the corner (52, 64, 76)
  EXPECT_TRUE(touches(*box, placed, {55, 68, 70}, 5.0f));
  EXPECT_FALSE(touches(*box, placed, {55, 68, 70}, justBelow(5.0f)));
  EXPECT_TRUE(touches(*box, placed, {54, 66, 77}, 3.0f));
  EXPECT_FALSE(touches(*box, placed, {54, 66, 77}, justBelow(3.0f)));
  // the unplaced box (at the origin, half the size) is not where the spheres are
  EXPECT_FALSE(touches(*box, glm::mat4(1.0f), {57, 60, 70}, 5.0f));
}

TEST(CollisionBoxModel, RotatedEnemyBoxFollowsItsTurn) {
  ModelPtr box = boxModel({-1, -1, -4}, {1, 1, 4});
  const glm::mat4 enemy = glm::scale(
      glm::rotate(glm::translate(glm::mat4(1.0f), glm::vec3(-20, 100, 5)), glm::radians(90.0f), glm::vec3(0, 1, 0)),
      glm::vec3(2.0f));
  // turned a quarter about y the long axis lies along world x: x -28..-12
  EXPECT_TRUE(touches(*box, enemy, {-33, 100, 5}, 5.0f));
  EXPECT_FALSE(touches(*box, enemy, {-20, 100, 18}, 5.0f));
  EXPECT_TRUE(touches(*box, enemy, {-20, 100, 12}, 5.0f));
}

TEST(CollisionBoxModel, ABoxIsAShellNotASolid) {
  ModelPtr box = boxModel({-10, -10, -10}, {10, 10, 10});
  const glm::mat4 placed = glm::scale(glm::mat4(1.0f), glm::vec3(2.0f));
  EXPECT_FALSE(touches(*box, placed, {0, 0, 0}, 5.0f));
  EXPECT_TRUE(touches(*box, placed, {0, 0, 16}, 5.0f));
}

TEST(CollisionBoxModel, BoxOfAModelWithoutMeshesIsNeverHitNearby) {
  // no vertex widened the box: minimum at the greatest float, maximum at the lowest
  const float big = std::numeric_limits<float>::max();
  ModelPtr box = boxModel({big, big, big}, {-big, -big, -big});
  EXPECT_FALSE(touches(*box, glm::mat4(1.0f), {0, 500, 400}, 5.0f));
  EXPECT_FALSE(touches(*box, glm::scale(glm::mat4(1.0f), glm::vec3(2.0f)), {0, 500, 400}, 5.0f));
  EXPECT_TRUE(touches(*box, glm::mat4(1.0f), {0, 0, big}, 5.0f));
}

// Misuse and bad input

TEST(CollisionBadInput, QueryBeforeFinalizeFindsNothingAndSaysSoOnce) {
  felidora::test::MessageCapture capture;
  ModelPtr model(newCollisionModel3D());
  model->addTriangle(0, 0, 0, 10, 0, 0, 0, 10, 0);
  const float centre[3] = {1, 1, 0};
  model->setTransform(ptr(glm::mat4(1.0f)));
  EXPECT_FALSE(model->sphereCollision(centre, 5.0f));
  EXPECT_FALSE(model->sphereCollision(centre, 5.0f));
  EXPECT_EQ(capture.text(), "Kollisionsmodell: Abfrage vor finalize findet nichts.\n");
  model->finalize();
  EXPECT_TRUE(model->sphereCollision(centre, 5.0f));
}

TEST(CollisionBadInput, TrianglesAfterFinalizeAreIgnored) {
  felidora::test::MessageCapture capture;
  ModelPtr model = rightTriangle();
  model->addTriangle(100, 0, 0, 110, 0, 0, 100, 10, 0);
  const float far[3] = {101, 1, 0};
  model->addTriangle(far, far, far);
  model->finalize();
  EXPECT_FALSE(touches(*model, glm::mat4(1.0f), {101, 1, 0}, 1.0f));
  EXPECT_TRUE(touches(*model, glm::mat4(1.0f), {1, 1, 0}, 1.0f));
  EXPECT_EQ(capture.text(), "Kollisionsmodell: Dreiecke nach finalize werden ignoriert.\n");
}

TEST(CollisionBadInput, EmptyModelIsNeverHit) {
  ModelPtr model(newCollisionModel3D());
  model->finalize();
  EXPECT_FALSE(touches(*model, glm::mat4(1.0f), {0, 0, 0}, 1000.0f));
}

TEST(CollisionBadInput, NonFiniteOrNegativeInputFindsNothing) {
  ModelPtr model = rightTriangle();
  const float nan = std::numeric_limits<float>::quiet_NaN();
  const float inf = std::numeric_limits<float>::infinity();
  const glm::mat4 id(1.0f);
  EXPECT_FALSE(touches(*model, id, {nan, 1, 0}, 5.0f));
  EXPECT_FALSE(touches(*model, id, {inf, 1, 0}, 5.0f));
  EXPECT_FALSE(touches(*model, id, {1, 1, 0}, nan));
  EXPECT_FALSE(touches(*model, id, {1, 1, 0}, -1.0f));
  model->setTransform(ptr(id));
  EXPECT_FALSE(model->sphereCollision(nullptr, 5.0f));

  glm::mat4 broken(1.0f);
  broken[3][1] = nan;
  EXPECT_FALSE(touches(*model, broken, {1, 1, 0}, 5.0f));
  broken = glm::mat4(1.0f);
  broken[0][0] = inf;
  EXPECT_FALSE(touches(*model, broken, {1, 1, 0}, 5.0f));
  model->setTransform(nullptr);
  const float centre[3] = {1, 1, 0};
  EXPECT_FALSE(model->sphereCollision(centre, 5.0f));
  // a good placement afterwards works again
  EXPECT_TRUE(touches(*model, id, {1, 1, 0}, 5.0f));
}

TEST(CollisionBadInput, TrianglesWithNonFiniteCornersAreDropped) {
  const float nan = std::numeric_limits<float>::quiet_NaN();
  ModelPtr model = buildModel({0, nan, 0, 1, 0, 0, 0, 1, 0, 50, 0, 0, 60, 0, 0, 50, 10, 0});
  EXPECT_FALSE(touches(*model, glm::mat4(1.0f), {0.2f, 0.2f, 0}, 1.0f));
  EXPECT_TRUE(touches(*model, glm::mat4(1.0f), {51, 1, 0}, 1.0f));
}

TEST(CollisionBadInput, ThousandsOfCopiesOfOneTriangle) {
  Triangles same;
  for (int i = 0; i < 5000; ++i)
    same.insert(same.end(), {0, 0, 0, 10, 0, 0, 0, 10, 0});
  ModelPtr model = buildModel(same);
  EXPECT_TRUE(touches(*model, glm::mat4(1.0f), {2, 3, 5}, 5.0f));
  EXPECT_FALSE(touches(*model, glm::mat4(1.0f), {2, 3, 5}, justBelow(5.0f)));
}
