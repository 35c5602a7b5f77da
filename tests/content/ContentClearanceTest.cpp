// The landscape leaves room for the level's fixed flights: every enemy's whole
// circle stays at least 40 units clear of the ground, and the player's first
// ten seconds of straight flight touch nothing. The landscape is tested as the
// game tests it: its triangles in a collision model placed at (1, 1, 1).
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <memory>

#include <assimp/Importer.hpp>
#include <assimp/scene.h>
#include <glm/glm.hpp>
#include <glm/gtc/matrix_transform.hpp>
#include <glm/gtc/type_ptr.hpp>

#include "render/CollisionModel3D.h"
#include "render/ModelImport.h"

namespace {

struct Landscape {
  std::unique_ptr<CollisionModel3D> collision{newCollisionModel3D(false)};
  std::vector<glm::vec3> worldVertices;

  Landscape() {
    Assimp::Importer importer;
    const aiScene* scene = importer.ReadFile("Modelle/UmgebungGross.dae", ModelImport::kImportFlags);
    if (!scene)
      return;
    const glm::mat4 placement = glm::translate(glm::mat4(1.0f), glm::vec3(1.0f, 1.0f, 1.0f));
    for (unsigned m = 0; m < scene->mNumMeshes; ++m) {
      const aiMesh* mesh = scene->mMeshes[m];
      for (unsigned f = 0; f < mesh->mNumFaces; ++f) {
        const unsigned* index = mesh->mFaces[f].mIndices;
        const aiVector3D &a = mesh->mVertices[index[0]], &b = mesh->mVertices[index[1]], &c = mesh->mVertices[index[2]];
        collision->addTriangle(a.x, a.y, a.z, b.x, b.y, b.z, c.x, c.y, c.z);
      }
      for (unsigned v = 0; v < mesh->mNumVertices; ++v)
        worldVertices.push_back(
            glm::vec3(placement * glm::vec4(mesh->mVertices[v].x, mesh->mVertices[v].y, mesh->mVertices[v].z, 1.0f)));
    }
    collision->finalize();
    collision->setTransform(glm::value_ptr(placement));
  }

  bool touches(const glm::vec3& centre, float radius) const {
    return collision->sphereCollision(glm::value_ptr(centre), radius);
  }
};

const Landscape& landscape() {
  static const Landscape instance;
  return instance;
}

const glm::vec3 kEnemySpawns[17] = {
    {-417, 213, 40},  {409, 359, 407},  {409, 359, 480},  {657, 252, -56},  {542, 252, -56},   {830, 217, -820},
    {830, 217, -924}, {851, 182, -880}, {666, 182, -880}, {118, 259, -880}, {118, 328, -880},  {-505, 202, -1015},
    {-972, 399, 588}, {-972, 399, 399}, {-972, 399, 832}, {-944, 415, 709}, {-1094, 415, 709},
};

} // namespace

TEST(ContentClearance, CollisionModelFindsTheGround) {
  ASSERT_FALSE(landscape().worldVertices.empty());
  // Lowering a sphere at the player's start column must meet the ground
  // somewhere between sea level and the start height.
  float contact = -1e9f;
  for (float y = 500.0f; y > -200.0f; y -= 2.0f)
    if (landscape().touches(glm::vec3(0.0f, y, 400.0f), 10.0f)) {
      contact = y;
      break;
    }
  EXPECT_GT(contact, 0.0f);
  EXPECT_LT(contact, 450.0f);
}

// Each enemy flies its circle exactly as the game moves it (scale 2, ten model
// units a second forward, 45 degrees a second to the left), sampled every 20 ms
// over one full turn of 8 s.
TEST(ContentClearance, EveryEnemyCircleStaysFortyUnitsClear) {
  for (int e = 0; e < 17; ++e) {
    SCOPED_TRACE("enemy " + std::to_string(e + 1));
    const glm::vec3 spawn = kEnemySpawns[e];
    glm::mat4 model = glm::translate(glm::mat4(1.0f), spawn);
    model[0] *= 2.0f;
    model[1] *= 2.0f;
    model[2] *= 2.0f;
    const glm::vec3 centre = spawn + glm::vec3(-25.4648f, 0.0f, 0.0f);
    int touching = 0, crowded = 0;
    for (int step = 0; step <= 400; ++step) {
      const glm::vec3 position(model[3]);
      // The circle is the one the landscape was shaped around (the 20 ms steps
      // cut it into chords, which moves it by a fraction of a unit).
      EXPECT_NEAR(glm::length(position - centre), 25.4648f, 0.5f);
      touching += landscape().touches(position, 40.0f);
      // Extra room so a chasing player can get close without scraping the ground.
      crowded += landscape().touches(position, 60.0f);
      const float dt = 0.02f;
      model[3] += model[2] * (-10.0f * dt);
      model = glm::rotate(model, glm::radians(45.0f * dt), glm::vec3(0, 1, 0));
    }
    EXPECT_EQ(touching, 0);
    EXPECT_EQ(crowded, 0);
  }
}

// A player chasing an enemy needs room around its circle: all ground within 80
// units (horizontally) of the circle lies at least 40 below the enemy.
TEST(ContentClearance, WideRoomAroundEveryCircle) {
  ASSERT_FALSE(landscape().worldVertices.empty());
  for (int e = 0; e < 17; ++e) {
    const glm::vec3 spawn = kEnemySpawns[e];
    const glm::vec2 centre(spawn.x - 25.4648f, spawn.z);
    float highest = -1e9f;
    for (const glm::vec3& v : landscape().worldVertices)
      if (std::fabs(glm::length(glm::vec2(v.x, v.z) - centre) - 25.4648f) <= 80.0f)
        highest = std::max(highest, v.y);
    EXPECT_LE(highest, spawn.y - 40.0f) << "enemy " << e + 1;
  }
}

// The player starts at (0, 500, 400) facing -Z at 40 units a second.
TEST(ContentClearance, PlayerFliesTenSecondsStraightWithoutTouching) {
  glm::mat4 model = glm::translate(glm::mat4(1.0f), glm::vec3(0.0f, 500.0f, 400.0f));
  int touching = 0;
  for (int step = 0; step <= 500; ++step) {
    touching += landscape().touches(glm::vec3(model[3]), 10.0f);
    model[3] += model[2] * (-40.0f * 0.02f);
  }
  EXPECT_EQ(touching, 0);
  EXPECT_NEAR(model[3].z, -0.8f, 0.01f); // one step past the ten seconds
}

// Water (y = 60) must show: part of the level lies below it, most above, and
// there is low ground in sight of the start.
TEST(ContentClearance, LowGroundForTheWater) {
  const auto& vertices = landscape().worldVertices;
  ASSERT_FALSE(vertices.empty());
  size_t inside = 0, below = 0, belowNearStart = 0;
  for (const glm::vec3& v : vertices) {
    if (std::fabs(v.x) > 2000.0f || std::fabs(v.z) > 2000.0f)
      continue;
    ++inside;
    below += v.y < 60.0f;
    belowNearStart += v.y < 60.0f && glm::length(glm::vec2(v.x, v.z - 400.0f)) < 1000.0f;
  }
  const double share = static_cast<double>(below) / static_cast<double>(inside);
  EXPECT_GT(share, 0.05);
  EXPECT_LT(share, 0.5);
  EXPECT_GT(belowNearStart, 50u);
}
