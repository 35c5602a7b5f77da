#include "render/ShadowRegion.h"

#include "render/ConvexClip.h"
#include "render/ViewVolume.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace {

// Points of world space, each with w 1.
using Polygon = std::vector<glm::dvec4>;

// The six faces of a hexahedron given by its corners, corner i having bit 0
// for +x, bit 1 for +y and bit 2 for +z; each face as a cycle of corners.
std::vector<Polygon> faces(const glm::dvec3 (&corner)[8]) {
  static const int kFaces[6][4] = {{0, 2, 6, 4}, {1, 3, 7, 5}, {0, 1, 5, 4}, {2, 3, 7, 6}, {0, 1, 3, 2}, {4, 5, 7, 6}};
  std::vector<Polygon> result;
  for (const auto& face : kFaces)
    result.push_back({glm::dvec4(corner[face[0]], 1.0), glm::dvec4(corner[face[1]], 1.0),
                      glm::dvec4(corner[face[2]], 1.0), glm::dvec4(corner[face[3]], 1.0)});
  return result;
}

// The convex hull of points, anticlockwise, without repeats (monotone chain).
std::vector<glm::dvec2> hull(std::vector<glm::dvec2> points) {
  std::sort(points.begin(), points.end(),
            [](const glm::dvec2& a, const glm::dvec2& b) { return a.x < b.x || (a.x == b.x && a.y < b.y); });
  if (points.size() < 3)
    return points;
  const auto turn = [](const glm::dvec2& o, const glm::dvec2& a, const glm::dvec2& b) {
    return (a.x - o.x) * (b.y - o.y) - (a.y - o.y) * (b.x - o.x);
  };
  std::vector<glm::dvec2> result(2 * points.size());
  std::size_t k = 0;
  for (const glm::dvec2& p : points) {
    while (k >= 2 && turn(result[k - 2], result[k - 1], p) <= 0.0)
      --k;
    result[k++] = p;
  }
  for (std::size_t i = points.size() - 1, lower = k + 1; i-- > 0;) {
    while (k >= lower && turn(result[k - 2], result[k - 1], points[i]) <= 0.0)
      --k;
    result[k++] = points[i];
  }
  result.resize(k - 1);
  return result;
}

// Row r of a column-major matrix.
glm::dvec4 row(const glm::dmat4& m, int r) { return glm::dvec4(m[0][r], m[1][r], m[2][r], m[3][r]); }

} // namespace

// The common part of the view volume and a box is a convex solid; each of
// its corners lies on a face of one of the two, so clipping every face of
// each by the planes of the other (and by the plane through the sun, behind
// which nothing is projected) finds them all. Their bounding rectangle in the
// sun's view holds the whole solid's. A box wholly inside the view volume is
// its own solid, and one wholly outside has none.
ShadowRegion ShadowRegion::compute(const glm::mat4& cameraProjectionView, const glm::mat4& sunProjectionView,
                                   const Box& lit, int mapSize, int margin) {
  return compute(cameraProjectionView, sunProjectionView, std::vector<Box>{lit}, mapSize, margin);
}

ShadowRegion ShadowRegion::compute(const glm::mat4& cameraProjectionView, const glm::mat4& sunProjectionView,
                                   const std::vector<Box>& lit, int mapSize, int margin) {
  const glm::dmat4 camera(cameraProjectionView);
  const glm::dmat4 sun(sunProjectionView);

  const glm::dmat4 toWorld = glm::inverse(camera);
  glm::dvec3 viewCorner[8];
  for (int i = 0; i < 8; ++i) {
    const glm::dvec4 p = toWorld * glm::dvec4(i & 1 ? 1.0 : -1.0, i & 2 ? 1.0 : -1.0, i & 4 ? 1.0 : -1.0, 1.0);
    viewCorner[i] = glm::dvec3(p) / p.w;
  }
  const std::vector<Polygon> viewFaces = faces(viewCorner);

  const ViewVolume seen(cameraProjectionView);
  const std::vector<glm::dvec4> viewPlanes(seen.planes().begin(), seen.planes().end());
  // w of the sun's clip space grows with the distance in front of it
  const glm::dvec4 inFrontOfSun = row(sun, 3) - glm::dvec4(0.0, 0.0, 0.0, 1e-3);

  std::vector<glm::dvec4> corners;
  const auto collect = [&](const std::vector<Polygon>& ownFaces, const std::vector<glm::dvec4>& otherPlanes) {
    for (Polygon face : ownFaces) {
      for (const glm::dvec4& plane : otherPlanes)
        face = render::clipConvex(face, plane);
      face = render::clipConvex(face, inFrontOfSun);
      corners.insert(corners.end(), face.begin(), face.end());
    }
  };
  const auto holds = [](const std::vector<glm::dvec4>& planes, const glm::dvec3& p) {
    for (const glm::dvec4& plane : planes)
      if (glm::dot(glm::dvec3(plane), p) + plane.w < 0.0)
        return false;
    return true;
  };
  for (const Box& box : lit) {
    if (!seen.mayHoldBox(box.min, box.max))
      continue;
    glm::dvec3 boxCorner[8];
    bool inside = true;
    for (int i = 0; i < 8; ++i) {
      boxCorner[i] =
          glm::dvec3(i & 1 ? box.max.x : box.min.x, i & 2 ? box.max.y : box.min.y, i & 4 ? box.max.z : box.min.z);
      inside =
          inside && holds(viewPlanes, boxCorner[i]) && glm::dot(inFrontOfSun, glm::dvec4(boxCorner[i], 1.0)) >= 0.0;
    }
    if (inside) {
      for (const glm::dvec3& corner : boxCorner)
        corners.emplace_back(corner, 1.0);
      continue;
    }
    const std::vector<glm::dvec4> boxPlanes = {{1, 0, 0, -box.min.x}, {-1, 0, 0, box.max.x}, {0, 1, 0, -box.min.y},
                                               {0, -1, 0, box.max.y}, {0, 0, 1, -box.min.z}, {0, 0, -1, box.max.z}};
    collect(viewFaces, boxPlanes);
    collect(faces(boxCorner), viewPlanes);
  }

  ShadowRegion region;
  if (corners.empty())
    return region;
  glm::dvec2 low(1.0), high(-1.0);
  std::vector<glm::dvec2> pictured;
  for (const glm::dvec4& corner : corners) {
    const glm::dvec4 p = sun * corner;
    const glm::dvec2 ndc = glm::dvec2(p) / p.w;
    low = glm::min(low, ndc);
    high = glm::max(high, ndc);
    pictured.push_back(ndc);
  }
  low = glm::clamp(low, -1.0, 1.0);
  high = glm::clamp(high, -1.0, 1.0);
  if (low.x >= high.x || low.y >= high.y)
    return region;
  const auto texel = [mapSize](double ndc) { return (ndc * 0.5 + 0.5) * mapSize; };
  const int x0 = std::max(0, static_cast<int>(std::floor(texel(low.x))) - margin);
  const int y0 = std::max(0, static_cast<int>(std::floor(texel(low.y))) - margin);
  const int x1 = std::min(mapSize, static_cast<int>(std::ceil(texel(high.x))) + margin);
  const int y1 = std::min(mapSize, static_cast<int>(std::ceil(texel(high.y))) + margin);
  region.x = x0;
  region.y = y0;
  region.width = x1 - x0;
  region.height = y1 - y0;
  const std::vector<glm::dvec2> outline = hull(std::move(pictured));
  if (outline.size() >= 3) {
    for (const glm::dvec2& corner : outline)
      region.outline.emplace_back(corner);
    // the margin's texels, and as much again for the rounding of a corner
    region.outlineMargin = 4.0f * static_cast<float>(margin + 1) / static_cast<float>(mapSize);
    // the sieve asks of texels: the edges in the map's texels, made once
    for (const glm::dvec3& edge : outlineEdges(region.outline, region.outlineMargin)) {
      const double perTexel = 2.0 / mapSize;
      region.texelEdges.emplace_back(edge.x * perTexel, edge.y * perTexel, edge.z + edge.x + edge.y);
    }
    region.texelEdgesMapSize = mapSize;
  }
  return region;
}

ShadowRegion ShadowRegion::whole(int mapSize) {
  ShadowRegion region;
  region.width = region.height = mapSize;
  return region;
}

std::vector<glm::dvec3> ShadowRegion::outlineEdges(const std::vector<glm::vec2>& outline, float margin) {
  std::vector<glm::dvec3> edges;
  for (std::size_t e = 0; e < outline.size(); ++e) {
    const glm::dvec2 a(outline[e]), b(outline[(e + 1) % outline.size()]);
    // outward for an anticlockwise outline
    const glm::dvec2 out = glm::dvec2(b.y - a.y, a.x - b.x) / glm::length(b - a);
    edges.emplace_back(out.x, out.y, glm::dot(out, a) + margin);
  }
  return edges;
}

// Left out only when every corner of the texels lies clearly beyond one edge
// of the outline, as a box is: the corner nearest the outline decides.
bool ShadowRegion::mayCover(int x0, int y0, int x1, int y1, int viewportWidth, int viewportHeight) const {
  if (outline.size() < 3 || viewportWidth <= 0 || viewportHeight <= 0)
    return true;
  if (viewportWidth == texelEdgesMapSize && viewportHeight == texelEdgesMapSize &&
      texelEdges.size() == outline.size()) {
    for (const glm::vec3& edge : texelEdges) {
      const float nearest =
          edge.x * static_cast<float>(edge.x > 0.0f ? x0 : x1) + edge.y * static_cast<float>(edge.y > 0.0f ? y0 : y1);
      if (nearest > edge.z)
        return false;
    }
    return true;
  }
  const std::vector<glm::dvec3> beyondEdges = outlineEdges(outline, outlineMargin);
  const double left = 2.0 * x0 / viewportWidth - 1.0, right = 2.0 * x1 / viewportWidth - 1.0;
  const double bottom = 2.0 * y0 / viewportHeight - 1.0, top = 2.0 * y1 / viewportHeight - 1.0;
  for (const glm::dvec3& edge : beyondEdges) {
    const double nearest = edge.x * (edge.x > 0.0 ? left : right) + edge.y * (edge.y > 0.0 ? bottom : top);
    if (nearest > edge.z)
      return false;
  }
  return true;
}

glm::vec4 ShadowRegion::window(int mapSize) const {
  const auto ndc = [mapSize](int texel) {
    return 2.0f * static_cast<float>(texel) / static_cast<float>(mapSize) - 1.0f;
  };
  return glm::vec4(ndc(x), ndc(y), ndc(x + width), ndc(y + height));
}

bool ShadowRegion::mayHold(const glm::mat4& sunProjectionView, const glm::mat4& model, const glm::vec3& boxMin,
                           const glm::vec3& boxMax, int mapSize) const {
  const glm::mat4 toClip = sunProjectionView * model;
  return !isEmpty() && ViewVolume(toClip, window(mapSize)).mayHoldBox(boxMin, boxMax) &&
         mayShow(toClip, boxMin, boxMax);
}

// Left out only when every corner of the box lies in front of the sun and
// clearly beyond one edge of the outline.
bool ShadowRegion::mayShow(const glm::mat4& toClip, const glm::vec3& boxMin, const glm::vec3& boxMax) const {
  if (outline.size() < 3)
    return true;
  const glm::dmat4 m(toClip);
  glm::dvec2 corner[8];
  for (int i = 0; i < 8; ++i) {
    const glm::dvec4 p =
        m * glm::dvec4(i & 1 ? boxMax.x : boxMin.x, i & 2 ? boxMax.y : boxMin.y, i & 4 ? boxMax.z : boxMin.z, 1.0);
    if (p.w <= 0.0)
      return true;
    corner[i] = glm::dvec2(p) / p.w;
  }
  for (const glm::dvec3& edge : outlineEdges(outline, outlineMargin)) {
    bool beyond = true;
    for (const glm::dvec2& p : corner)
      beyond = beyond && edge.x * p.x + edge.y * p.y > edge.z;
    if (beyond)
      return false;
  }
  return true;
}
