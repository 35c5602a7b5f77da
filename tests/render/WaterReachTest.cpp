// Where the water can show: every pixel at which a ray from the eye meets the
// water plane before the ground must lie in the reach (else the water would
// look up a reflection that was never drawn there), and dry ground far from
// any water must lie outside it. Rays cast on the CPU against the same
// triangles; no GL.
#include "render/WaterReach.h"

#include <glm/gtc/matrix_transform.hpp>
#include <gtest/gtest.h>

#include <cmath>
#include <optional>
#include <vector>

namespace {

constexpr float kWater = 60.0f;

struct Ground {
  std::vector<glm::vec3> positions;
  std::vector<std::uint32_t> indices;
};

// A height field of n x n cells over [-400, 400]^2 from height(x, z), wound
// as the landscape is: facing up.
template <typename Height> Ground heightField(int n, Height height) {
  Ground ground;
  for (int j = 0; j <= n; ++j)
    for (int i = 0; i <= n; ++i) {
      const float x = -400.0f + 800.0f * i / n, z = -400.0f + 800.0f * j / n;
      ground.positions.emplace_back(x, height(x, z), z);
    }
  for (int j = 0; j < n; ++j)
    for (int i = 0; i < n; ++i) {
      const std::uint32_t a = j * (n + 1) + i, b = a + 1, c = a + n + 2, d = a + n + 1;
      ground.indices.insert(ground.indices.end(), {a, d, c, a, c, b});
    }
  return ground;
}

// Hills at 100 with a round lake (its bed at 30) around (150, 150), falling
// to a sea floor of -70 at the rim.
float hillsWithLake(float x, float z) {
  if (std::abs(x) > 399.0f || std::abs(z) > 399.0f)
    return -70.0f;
  return std::hypot(x - 150.0f, z - 150.0f) < 90.0f ? 30.0f : 100.0f;
}

std::optional<float> hitTriangle(const glm::vec3& from, const glm::vec3& way, const glm::vec3& a, const glm::vec3& b,
                                 const glm::vec3& c) {
  const glm::vec3 e1 = b - a, e2 = c - a, p = glm::cross(way, e2);
  const float det = glm::dot(e1, p);
  if (std::abs(det) < 1e-9f)
    return std::nullopt;
  const glm::vec3 s = from - a;
  const float u = glm::dot(s, p) / det;
  const glm::vec3 q = glm::cross(s, e1);
  const float v = glm::dot(way, q) / det;
  const float t = glm::dot(e2, q) / det;
  if (u < 0.0f || v < 0.0f || u + v > 1.0f || t <= 0.0f)
    return std::nullopt;
  return t;
}

// Whether the ray through the pixel's centre meets the water plane before
// the ground, and before the far plane.
bool waterSeenAt(const Ground& ground, const glm::mat4& camera, const glm::vec3& eye, int x, int y) {
  const glm::mat4 back = glm::inverse(camera);
  const glm::vec4 far = back * glm::vec4((x + 0.5f) / 400.0f - 1.0f, (y + 0.5f) / 300.0f - 1.0f, 1.0f, 1.0f);
  const glm::vec3 way = glm::normalize(glm::vec3(far) / far.w - eye);
  if (way.y >= 0.0f)
    return false;
  const float water = (kWater - eye.y) / way.y;
  const glm::vec4 onWater = camera * glm::vec4(eye + water * way, 1.0f);
  if (onWater.z > onWater.w)
    return false; // beyond the far plane
  for (std::size_t t = 0; t < ground.indices.size(); t += 3) {
    const auto hit = hitTriangle(eye, way, ground.positions[ground.indices[t]], ground.positions[ground.indices[t + 1]],
                                 ground.positions[ground.indices[t + 2]]);
    if (hit && *hit < water)
      return false;
  }
  return true;
}

glm::mat4 cameraAt(const glm::vec3& eye, const glm::vec3& target) {
  return glm::perspective(glm::radians(60.0f), 800.0f / 600.0f, 0.1f, 6500.0f) *
         glm::lookAt(eye, target, glm::vec3(0, 1, 0));
}

TEST(WaterReachTest, HoldsEveryPixelWhereTheWaterIsSeenAndLeavesDryGroundOut) {
  const Ground ground = heightField(32, hillsWithLake);
  const WaterReach reach(ground.positions, ground.indices, kWater);
  ASSERT_TRUE(reach.knowsGround());

  // over the lake, over the hills looking out to sea, from out at sea, and
  // low over a hill with the lake's far shore behind it
  const glm::vec3 eyes[][2] = {{{150, 300, -50}, {150, 60, 150}},
                               {{-100, 200, 0}, {-1000, 0, 0}},
                               {{-900, 250, 0}, {0, 60, 0}},
                               {{0, 108, 0}, {200, 90, 200}}};
  for (const auto& [eye, target] : eyes) {
    const glm::mat4 camera = cameraAt(eye, target);
    const ScreenReach seen = reach.visibleWater(camera, eye, 0.1f, 800, 600, {0, 0});
    int waterPixels = 0, dryOutside = 0;
    for (int y = 2; y < 600; y += 8)
      for (int x = 3; x < 800; x += 8) {
        if (waterSeenAt(ground, camera, eye, x, y)) {
          ++waterPixels;
          EXPECT_TRUE(seen.reachesAny(x, y, x + 1, y + 1))
              << "water seen at (" << x << ", " << y << ") from (" << eye.x << ", " << eye.y << ", " << eye.z << ")";
        } else {
          dryOutside += !seen.reachesAny(x, y, x + 1, y + 1);
        }
      }
    EXPECT_GT(waterPixels, 0);
    EXPECT_GT(dryOutside, 100) << "the reach left no dry ground out";
  }

  // a ripple's reach widens it; looking up at the sky, no water is seen
  const glm::vec3 eye(150, 330, 150);
  const glm::mat4 camera = cameraAt(eye, {150, 60, 151});
  const ScreenReach::Rect narrow = reach.visibleWater(camera, eye, 0.1f, 800, 600, {0, 0}).bounds();
  const ScreenReach::Rect wide = reach.visibleWater(camera, eye, 0.1f, 800, 600, {16, 12}).bounds();
  EXPECT_LE(wide.x, narrow.x - 16);
  EXPECT_LE(wide.y, narrow.y - 8); // whole blocks of 8
  EXPECT_GE(wide.width, narrow.width + 24);
  EXPECT_TRUE(reach.visibleWater(cameraAt({0, 300, 0}, {0, 900, 10}), {0, 300, 0}, 0.1f, 800, 600, {16, 12}).isEmpty());
}

// Only a proven height field is trusted, and only from an eye clearly above
// it and the water: anything else lets the water show everywhere.
TEST(WaterReachTest, AnyOtherGroundOrEyeLetsTheWaterShowEverywhere) {
  const Ground hills = heightField(8, hillsWithLake);
  const auto trusted = [](const Ground& ground) {
    return WaterReach(ground.positions, ground.indices, kWater).knowsGround();
  };
  ASSERT_TRUE(trusted(hills));

  Ground flipped = hills; // one triangle facing down
  std::swap(flipped.indices[4], flipped.indices[5]);
  EXPECT_FALSE(trusted(flipped));
  Ground holed = hills; // a cell missing inside
  holed.indices.erase(holed.indices.begin() + 6 * 27, holed.indices.begin() + 6 * 28);
  EXPECT_FALSE(trusted(holed));
  Ground layered = hills; // a second layer over one cell (a roof)
  for (int k = 0; k < 6; ++k) {
    glm::vec3 corner = layered.positions[layered.indices[6 * 27 + k]];
    corner.y += 50.0f;
    layered.indices.push_back(static_cast<std::uint32_t>(layered.positions.size()));
    layered.positions.push_back(corner);
  }
  EXPECT_FALSE(trusted(layered));
  Ground broken = hills; // an index past the vertices
  broken.indices[7] = 100000;
  EXPECT_FALSE(trusted(broken));
  EXPECT_FALSE(WaterReach().knowsGround());

  const WaterReach reach(hills.positions, hills.indices, kWater);
  const auto wholeFrom = [&](const glm::vec3& eye) {
    return reach.visibleWater(cameraAt(eye, eye + glm::vec3(0, -1, 1)), eye, 0.1f, 800, 600, {16, 12}).isWhole();
  };
  EXPECT_FALSE(wholeFrom({-200, 300, -200}));
  EXPECT_TRUE(wholeFrom({-200, 100.2f, -200})) << "the near plane would cut the ground away";
  EXPECT_TRUE(wholeFrom({-200, 80, -200})) << "inside a hill";
  EXPECT_TRUE(wholeFrom({-900, 50, 0})) << "under water";

  // a rim above the water: from outside, a ray could pass under it
  const Ground walled = heightField(8, [](float, float) { return 100.0f; });
  const WaterReach walls(walled.positions, walled.indices, kWater);
  const auto wallsFrom = [&](const glm::vec3& eye) {
    return walls.visibleWater(cameraAt(eye, glm::vec3(0, 60, 0)), eye, 0.1f, 800, 600, {0, 0});
  };
  EXPECT_TRUE(wallsFrom({-900, 300, 0}).isWhole());
  EXPECT_FALSE(wallsFrom({0, 300, 10}).isWhole());
}

// A box may cover a reached pixel only through what lies between the near
// and far planes, and only on the target.
TEST(WaterReachTest, ABoxMayShowOnlyWhereItsPictureMeetsTheReach) {
  const glm::mat4 camera = glm::perspective(glm::radians(60.0f), 800.0f / 600.0f, 1.0f, 100.0f);
  ScreenReach reach(800, 600);
  reach.add(0, 0, 80, 600); // the left tenth
  reach.seal();
  EXPECT_EQ(reach.bounds().width, 80);
  // in front: on the left, in the middle, off the target to the left
  EXPECT_TRUE(reach.mayShow(camera, {-20, -1, -31}, {-18, 1, -29}));
  EXPECT_FALSE(reach.mayShow(camera, {-1, -1, -31}, {1, 1, -29}));
  EXPECT_FALSE(reach.mayShow(camera, {-90, -1, -31}, {-80, 1, -29}));
  // behind the eye, and beyond the far plane
  EXPECT_FALSE(reach.mayShow(camera, {-20, -1, 29}, {-18, 1, 31}));
  EXPECT_FALSE(reach.mayShow(camera, {-85, -1, -131}, {-80, 1, -129}));
  // reaching from behind the eye to the left of the view in front of it
  EXPECT_TRUE(reach.mayShow(camera, {-40, -1, -20}, {-1, 1, 20}));
  EXPECT_FALSE(ScreenReach(800, 600).mayShow(camera, {-20, -1, -31}, {-18, 1, -29}));
}

} // namespace
