// What the sieve drops must be what the GL would never rasterize: for every
// dropped triangle, either it faces the culled way by a clear margin, or no
// pixel centre of the target lies inside it, checked point by point in
// double precision. What it keeps stays in its order. No GL.
#include "render/TriangleSieve.h"

#include <glm/gtc/matrix_transform.hpp>
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <random>
#include <vector>

namespace {

struct Mesh {
  std::vector<float> positions;
  std::vector<std::uint32_t> indices;
};

glm::dvec2 toWindow(const glm::mat4& toClip, const TriangleSieve::Target& target, const float* p) {
  const glm::dvec4 c = glm::dmat4(toClip) * glm::dvec4(p[0], p[1], p[2], 1.0);
  return {target.viewportX + (c.x / c.w + 1.0) * 0.5 * target.viewportWidth,
          target.viewportY + (c.y / c.w + 1.0) * 0.5 * target.viewportHeight};
}

// Whether the GL could give the triangle a fragment: not culled by its
// facing, and some pixel centre of the target inside or on its edges.
bool mayCover(const Mesh& mesh, std::size_t t, const glm::mat4& toClip, const TriangleSieve::Target& target) {
  glm::dvec2 v[3];
  for (int k = 0; k < 3; ++k) {
    const float* p = &mesh.positions[3 * mesh.indices[3 * t + k]];
    const glm::dvec4 c = glm::dmat4(toClip) * glm::dvec4(p[0], p[1], p[2], 1.0);
    if (c.w <= 0.0)
      return true; // clipped by the GL, not judged here
    v[k] = toWindow(toClip, target, p);
  }
  const double area = (v[1].x - v[0].x) * (v[2].y - v[0].y) - (v[2].x - v[0].x) * (v[1].y - v[0].y);
  const bool counterClockwise = area > 0.0;
  const bool front = target.frontClockwise ? !counterClockwise : counterClockwise;
  if (area != 0.0 && ((front && target.cullFront) || (!front && target.cullBack)))
    return false;
  const double sign = counterClockwise ? 1.0 : -1.0;
  const auto edge = [&](int a, int b, double x, double y) {
    return sign * ((v[b].x - v[a].x) * (y - v[a].y) - (v[b].y - v[a].y) * (x - v[a].x));
  };
  for (int y = target.y0; y < target.y1; ++y)
    for (int x = target.x0; x < target.x1; ++x) {
      const double cx = x + 0.5, cy = y + 0.5;
      if (edge(0, 1, cx, cy) >= 0.0 && edge(1, 2, cx, cy) >= 0.0 && edge(2, 0, cx, cy) >= 0.0)
        return true;
    }
  return false;
}

// Triangles from sub-pixel to a third of the view, scattered in front of,
// beside and behind the eye, both windings.
Mesh scattered(std::mt19937& random, int triangles) {
  std::uniform_real_distribution<float> place(-40.0f, 40.0f), depth(-120.0f, 15.0f);
  std::uniform_real_distribution<float> sizes(-8.0f, 1.5f); // as a power of two
  std::uniform_real_distribution<float> unit(-1.0f, 1.0f);
  Mesh mesh;
  for (int t = 0; t < triangles; ++t) {
    const glm::vec3 centre(place(random), place(random) * 0.6f, depth(random));
    const float size = std::exp2(sizes(random));
    for (int k = 0; k < 3; ++k) {
      const glm::vec3 p = centre + size * glm::vec3(unit(random), unit(random), unit(random));
      mesh.positions.insert(mesh.positions.end(), {p.x, p.y, p.z});
      mesh.indices.push_back(static_cast<std::uint32_t>(3 * t + k));
    }
  }
  return mesh;
}

} // namespace

TEST(TriangleSieveTest, DropsOnlyWhatTheGlWouldNeverRasterize) {
  std::mt19937 random(7);
  const glm::mat4 toClip =
      glm::perspective(glm::radians(60.0f), 4.0f / 3.0f, 0.1f, 6500.0f) *
      glm::lookAt(glm::vec3(0.0f, 2.0f, 10.0f), glm::vec3(0.0f, 0.0f, -20.0f), glm::vec3(0.0f, 1.0f, 0.0f));
  // a small odd viewport, so that the reference can try every pixel centre
  TriangleSieve::Target targets[4];
  for (TriangleSieve::Target& target : targets) {
    target.viewportX = 7, target.viewportY = 5, target.viewportWidth = 96, target.viewportHeight = 72;
    target.x0 = 7, target.y0 = 5, target.x1 = 103, target.y1 = 77;
    target.cullBack = true;
  }
  targets[1].frontClockwise = true;                                               // the mirrored reflection's winding
  targets[2].x0 = 30, targets[2].y0 = 20, targets[2].x1 = 61, targets[2].y1 = 44; // a scissor
  targets[3].cullBack = false;                                                    // no culling

  TriangleSieve sieve;
  for (const TriangleSieve::Target& target : targets) {
    const Mesh mesh = scattered(random, 3000);
    sieve.sift(mesh.positions, mesh.indices, toClip, target);
    std::size_t kept = 0, dropped = 0;
    for (std::size_t t = 0; t < mesh.indices.size() / 3; ++t) {
      const bool isKept = kept < sieve.keptCount() && sieve.kept()[kept] == mesh.indices[3 * t];
      if (isKept) {
        for (int k = 0; k < 3; ++k)
          ASSERT_EQ(sieve.kept()[kept + k], mesh.indices[3 * t + k]) << "kept out of order";
        kept += 3;
        continue;
      }
      ++dropped;
      EXPECT_FALSE(mayCover(mesh, t, toClip, target)) << "triangle " << t << " dropped but may cover a pixel";
    }
    EXPECT_EQ(kept, sieve.keptCount()) << "kept something that is not the mesh's";
    // the sieve has to earn its keep: most of these miss the small view
    EXPECT_GT(dropped, 1500u);

    // A part of the mesh (the landscape's tiles in view) is judged as in the
    // whole, though only the vertices it uses are placed.
    const std::vector<std::uint32_t> whole(sieve.kept(), sieve.kept() + sieve.keptCount());
    std::vector<std::uint32_t> part, expected;
    for (std::size_t t = 0; t < mesh.indices.size() / 3; t += 4)
      part.insert(part.end(), mesh.indices.begin() + 3 * t, mesh.indices.begin() + 3 * t + 3);
    for (std::size_t i = 0; i < whole.size(); i += 3)
      if (whole[i] % 12 == 0) // the first vertex of every fourth triangle
        expected.insert(expected.end(), whole.begin() + i, whole.begin() + i + 3);
    sieve.sift(scattered(random, 3000).positions, mesh.indices, toClip, target); // another mesh's vertices first
    sieve.sift(mesh.positions, part, toClip, target);
    EXPECT_EQ(std::vector<std::uint32_t>(sieve.kept(), sieve.kept() + sieve.keptCount()), expected);
  }
}

// A mesh wound inward shows its back faces only; behind the eye nothing can
// be placed, and the sieve keeps what it cannot judge rather than guess.
TEST(TriangleSieveTest, BackFacesGoAndWhatLiesAtTheEyeStays) {
  TriangleSieve::Target target;
  target.viewportWidth = 800, target.viewportHeight = 600, target.x1 = 800, target.y1 = 600;
  target.cullBack = true;
  const glm::mat4 toClip = glm::perspective(glm::radians(60.0f), 4.0f / 3.0f, 0.1f, 6500.0f);
  // two large triangles facing the eye at z = -10, one of each winding
  const Mesh facing{{-4, -3, -10, 4, -3, -10, 0, 3, -10, -4, -3, -10, 0, 3, -10, 4, -3, -10}, {0, 1, 2, 3, 4, 5}};
  TriangleSieve sieve;
  sieve.sift(facing.positions, facing.indices, toClip, target);
  ASSERT_EQ(sieve.keptCount(), 3u);
  EXPECT_EQ(sieve.kept()[0], 0u);
  target.frontClockwise = true;
  sieve.sift(facing.positions, facing.indices, toClip, target);
  ASSERT_EQ(sieve.keptCount(), 3u);
  EXPECT_EQ(sieve.kept()[0], 3u);

  // one corner behind the eye: kept whatever its winding
  const Mesh throughTheEye{{-4, -3, -10, 4, -3, -10, 0, 3, 5}, {0, 2, 1}};
  sieve.sift(throughTheEye.positions, throughTheEye.indices, toClip, target);
  EXPECT_EQ(sieve.keptCount(), 3u);
  // an index past the positions is left to the GL
  const Mesh broken{{0, 0, -10, 1, 0, -10, 0, 1, -10}, {0, 1, 7}};
  sieve.sift(broken.positions, broken.indices, toClip, target);
  EXPECT_EQ(sieve.keptCount(), 3u);
  // no pixel to draw into keeps nothing
  target.x1 = target.x0;
  sieve.sift(facing.positions, facing.indices, toClip, target);
  EXPECT_EQ(sieve.keptCount(), 0u);
}

// Behind the monitor's screen, whose depth went in first, a triangle goes
// only when every pixel centre it may cover lies under the screen and all of
// it lies farther: one reaching past the edge, or reaching nearer than the
// screen at a single corner, can still show.
TEST(TriangleSieveTest, WhatTheScreenHidesGoesAndNothingThatCanShow) {
  TriangleSieve::Target target;
  target.viewportWidth = 800, target.viewportHeight = 600, target.x1 = 800, target.y1 = 600;
  target.cullBack = true;
  target.cover = {100, 50, 300, 250, 2.0f}; // pixel centres 100.5 to 299.5 and 50.5 to 249.5, nearer than w 2
  const glm::mat4 toClip = glm::perspective(glm::radians(60.0f), 4.0f / 3.0f, 0.1f, 6500.0f);
  // A small triangle facing the eye, its box corner at (x, y) in the window
  // and about 20 pixels across (the view is 2 * 0.577 w tall), w units away
  // but for its third corner, which lies `nearest` away at the same pixel.
  const auto triangle = [](float x, float y, float w, float nearest) {
    const float perPixel = 2.0f * 0.57735f * w / 600.0f, toNearest = nearest / w;
    const float left = (x - 400.0f) * perPixel, bottom = (y - 300.0f) * perPixel, size = 20.0f * perPixel;
    return Mesh{{left, bottom, -w, left + size, bottom, -w, left * toNearest, (bottom + size) * toNearest, -nearest},
                {0, 1, 2}};
  };
  TriangleSieve sieve;
  const auto kept = [&](const Mesh& mesh) {
    sieve.sift(mesh.positions, mesh.indices, toClip, target);
    return sieve.keptCount() > 0;
  };
  EXPECT_FALSE(kept(triangle(150, 100, 50.0f, 50.0f))); // under the screen, far behind
  EXPECT_TRUE(kept(triangle(150, 100, 50.0f, 1.5f)));   // one corner in front of it
  EXPECT_TRUE(kept(triangle(150, 100, 1.9f, 1.9f)));    // nearer than the screen
  EXPECT_TRUE(kept(triangle(290, 100, 50.0f, 50.0f)));  // reaching past its right edge
  EXPECT_TRUE(kept(triangle(150, 40, 50.0f, 50.0f)));   // and past its bottom edge
  target.cover = TriangleSieve::Cover{};
  EXPECT_TRUE(kept(triangle(150, 100, 50.0f, 50.0f))); // no screen, nothing hidden
}
