// The part of the shadow map a frame reads: every point the camera can see
// inside the lit box must fall into it (a point outside would read a texel
// the shadow pass never drew), and it must leave out what the view cannot
// reach. Plain arithmetic, no GL.
#include "render/ShadowRegion.h"

#include <glm/gtc/matrix_transform.hpp>
#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <vector>

namespace {

const ShadowRegion::Box kLit{{-2047.0f, 0.0f, -2047.0f}, {2049.0f, 700.0f, 2049.0f}};

glm::mat4 perspective() { return glm::perspective(glm::radians(60.0f), 800.0f / 600.0f, 0.1f, 6500.0f); }

// The chase camera 4 up and 6 behind a player at `player` heading along `ahead`.
glm::mat4 chaseCamera(const glm::vec3& player, const glm::vec3& ahead) {
  return perspective() * glm::lookAt(player + glm::vec3(0, 4, 0) - 6.0f * ahead, player, glm::vec3(0, 1, 0));
}

glm::mat4 sunAt(const glm::vec3& player) {
  return perspective() * glm::lookAt(glm::vec3(899, 1749, 1199), player, glm::vec3(0, 1, 0));
}

TEST(ShadowRegionTest, HoldsEveryVisiblePointOfTheLitBoxAndLeavesTheRestOut) {
  struct View {
    glm::mat4 camera;
    glm::vec3 player;
  };
  // the start, a turn towards the sun, a low flight over the far corner, and
  // the whole box in view from high above (its corners then bound the region)
  const View views[] = {
      {chaseCamera({0, 500, 400}, {0, 0, -1}), {0, 500, 400}},
      {chaseCamera({300, 350, -200}, {0.6f, 0, 0.8f}), {300, 350, -200}},
      {chaseCamera({-1500, 120, -1500}, {-1, 0, 0}), {-1500, 120, -1500}},
      {perspective() * glm::lookAt(glm::vec3(0, 5000, 0), glm::vec3(0), glm::vec3(0, 0, -1)), {0, 500, 0}}};
  std::mt19937 random(7);
  std::uniform_real_distribution<float> unit(-1.0f, 1.0f), logDistance(std::log(0.2f), std::log(6500.0f));
  // the lit box as columns of their own heights, as the landscape's tiles are
  std::vector<ShadowRegion::Box> columns;
  for (int i = 0; i < 4; ++i)
    for (int j = 0; j < 4; ++j)
      columns.push_back({{-2047.0f + 1024.0f * i, 0.0f, -2047.0f + 1024.0f * j},
                         {-1023.0f + 1024.0f * i, 100.0f + 150.0f * ((i + j) % 4), -1023.0f + 1024.0f * j}});
  const auto inAny = [](const std::vector<ShadowRegion::Box>& boxes, const glm::vec3& p) {
    for (const ShadowRegion::Box& box : boxes)
      if (glm::all(glm::greaterThanEqual(p, box.min)) && glm::all(glm::lessThanEqual(p, box.max)))
        return true;
    return false;
  };
  for (const View& view : views) {
    const glm::mat4& camera = view.camera;
    const glm::mat4 sun = sunAt(view.player);
    for (const std::vector<ShadowRegion::Box>& lit : {std::vector<ShadowRegion::Box>{kLit}, columns}) {
      const ShadowRegion region = ShadowRegion::compute(camera, sun, lit, 2048, 4);
      ASSERT_FALSE(region.isEmpty());

      const glm::mat4 toWorld = glm::inverse(camera);
      int inside = 0;
      for (int i = 0; i < 40000; ++i) {
        // points spread through the view volume, as many near the camera as far
        const glm::vec4 atDistance = perspective() * glm::vec4(0.0f, 0.0f, -std::exp(logDistance(random)), 1.0f);
        const glm::vec4 p = toWorld * glm::vec4(unit(random), unit(random), atDistance.z / atDistance.w, 1.0f);
        const glm::vec3 world = glm::vec3(p) / p.w;
        if (!inAny(lit, world))
          continue;
        const glm::vec4 s = sun * glm::vec4(world, 1.0f);
        if (s.w <= 0.0f)
          continue;
        const glm::vec2 texel = (glm::vec2(s) / s.w * 0.5f + 0.5f) * 2048.0f;
        if (texel.x < 0.0f || texel.y < 0.0f || texel.x >= 2048.0f || texel.y >= 2048.0f)
          continue; // outside the sun's view: looked up as lit, never read
        ++inside;
        EXPECT_TRUE(texel.x >= region.x && texel.x < region.x + region.width && texel.y >= region.y &&
                    texel.y < region.y + region.height)
            << "visible point (" << world.x << ", " << world.y << ", " << world.z << ") reads texel (" << texel.x
            << ", " << texel.y << ") outside the region";
        // and a caster there is drawn: the point lies inside the outline
        EXPECT_TRUE(region.mayShow(sun, world - glm::vec3(0.01f), world + glm::vec3(0.01f)))
            << "visible point (" << world.x << ", " << world.y << ", " << world.z << ") outside the outline";
        // and so is a triangle covering its texel, or a span of texels beside it
        const int tx = static_cast<int>(texel.x), ty = static_cast<int>(texel.y);
        EXPECT_TRUE(region.mayCover(tx, ty, tx + 1, ty + 1, 2048, 2048)) << "texel (" << tx << ", " << ty << ")";
        EXPECT_TRUE(region.mayCover(tx - 40, ty, tx + 1, ty + 3, 2048, 2048)) << "texels left of " << tx;
        if (::testing::Test::HasFailure())
          return;
      }
      EXPECT_GT(inside, 40) << "too few sample points landed in the lit boxes to judge";
    }
  }
  // from the start the view reaches ahead only: half the map or less is read,
  // and less again when the lower columns do not stand as high as the box
  const ShadowRegion start = ShadowRegion::compute(views[0].camera, sunAt(views[0].player), kLit, 2048, 4);
  EXPECT_LT(start.width * start.height, 2048 * 2048 / 2);
  const ShadowRegion fromColumns = ShadowRegion::compute(views[0].camera, sunAt(views[0].player), columns, 2048, 4);
  EXPECT_LT(fromColumns.width * fromColumns.height, start.width * start.height);
}

TEST(ShadowRegionTest, NothingIsReadWhenTheViewMissesTheLitBox) {
  // looking straight up from above the box
  const glm::mat4 camera =
      perspective() * glm::lookAt(glm::vec3(0, 900, 0), glm::vec3(0, 2000, 0), glm::vec3(0, 0, -1));
  EXPECT_TRUE(ShadowRegion::compute(camera, sunAt(glm::vec3(0, 500, 0)), kLit, 2048, 4).isEmpty());
}

TEST(ShadowRegionTest, LeavesOutCastersWhoseBoxFallsBesideTheRegion) {
  const glm::vec3 player(0, 500, 400);
  const glm::mat4 sun = sunAt(player);
  const ShadowRegion region = ShadowRegion::compute(chaseCamera(player, {0, 0, -1}), sun, kLit, 2048, 4);
  const glm::vec3 small(-5.0f), large(5.0f);
  // just ahead of the player, in view: kept
  EXPECT_TRUE(
      region.mayHold(sun, glm::translate(glm::mat4(1.0f), player + glm::vec3(0, -50, -100)), small, large, 2048));
  // far behind the camera and off to the side: left out
  EXPECT_FALSE(region.mayHold(sun, glm::translate(glm::mat4(1.0f), glm::vec3(-900, 300, 1400)), small, large, 2048));
  // behind the sun: left out
  EXPECT_FALSE(region.mayHold(sun, glm::translate(glm::mat4(1.0f), glm::vec3(1400, 2600, 1700)), small, large, 2048));
  // an empty region holds nothing
  EXPECT_FALSE(ShadowRegion().mayHold(sun, glm::mat4(1.0f), small, large, 2048));
}

} // namespace
