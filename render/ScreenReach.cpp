#include "render/ScreenReach.h"

#include <algorithm>
#include <cmath>
#include <limits>

ScreenReach::ScreenReach(int width, int height)
    : width(std::max(width, 0)), height(std::max(height, 0)), columns((this->width + kBlock - 1) / kBlock),
      rows((this->height + kBlock - 1) / kBlock), blocks(static_cast<std::size_t>(columns) * rows, 0) {}

ScreenReach ScreenReach::whole(int width, int height) {
  ScreenReach reach(width, height);
  reach.add(0, 0, reach.width, reach.height);
  reach.seal();
  return reach;
}

void ScreenReach::add(int x0, int y0, int x1, int y1) {
  x0 = std::max(x0, 0), y0 = std::max(y0, 0);
  x1 = std::min(x1, width), y1 = std::min(y1, height);
  if (x0 >= x1 || y0 >= y1)
    return;
  for (int row = y0 / kBlock; row <= (y1 - 1) / kBlock; ++row)
    for (int column = x0 / kBlock; column <= (x1 - 1) / kBlock; ++column) {
      std::uint8_t& block = blocks[static_cast<std::size_t>(row) * columns + column];
      reached += block == 0;
      block = 1;
    }
}

void ScreenReach::seal() {
  const int stride = columns + 1;
  below.assign(static_cast<std::size_t>(stride) * (rows + 1), 0);
  for (int row = 0; row < rows; ++row)
    for (int column = 0; column < columns; ++column)
      below[static_cast<std::size_t>(row + 1) * stride + column + 1] =
          blocks[static_cast<std::size_t>(row) * columns + column] +
          below[static_cast<std::size_t>(row) * stride + column + 1] +
          below[static_cast<std::size_t>(row + 1) * stride + column] -
          below[static_cast<std::size_t>(row) * stride + column];
}

ScreenReach::Rect ScreenReach::bounds() const {
  int low[2] = {columns, rows}, high[2] = {-1, -1};
  for (int row = 0; row < rows; ++row)
    for (int column = 0; column < columns; ++column)
      if (blocks[static_cast<std::size_t>(row) * columns + column]) {
        low[0] = std::min(low[0], column), low[1] = std::min(low[1], row);
        high[0] = std::max(high[0], column), high[1] = std::max(high[1], row);
      }
  Rect rect;
  if (high[0] < 0)
    return rect;
  rect.x = low[0] * kBlock;
  rect.y = low[1] * kBlock;
  rect.width = std::min((high[0] + 1) * kBlock, width) - rect.x;
  rect.height = std::min((high[1] + 1) * kBlock, height) - rect.y;
  return rect;
}

bool ScreenReach::reachesAny(int x0, int y0, int x1, int y1) const {
  x0 = std::max(x0, 0), y0 = std::max(y0, 0);
  x1 = std::min(x1, width), y1 = std::min(y1, height);
  if (x0 >= x1 || y0 >= y1 || below.empty())
    return false;
  const int c0 = x0 / kBlock, c1 = (x1 - 1) / kBlock + 1, r0 = y0 / kBlock, r1 = (y1 - 1) / kBlock + 1;
  const int stride = columns + 1;
  const auto at = [&](int row, int column) { return below[static_cast<std::size_t>(row) * stride + column]; };
  return at(r1, c1) - at(r0, c1) - at(r1, c0) + at(r0, c0) > 0;
}

bool ScreenReach::mayCover(int x0, int y0, int x1, int y1, int viewportWidth, int viewportHeight) const {
  if (viewportWidth != width || viewportHeight != height || isWhole())
    return true;
  return reachesAny(x0, y0, x1, y1);
}

// The part of the box between the near and far planes has for corners the
// box's own corners there and the points where its edges cross either
// plane; its picture on the target lies within theirs.
bool ScreenReach::mayShow(const glm::mat4& toClip, const glm::vec3& boxMin, const glm::vec3& boxMax) const {
  if (isEmpty())
    return false;
  if (isWhole() || boxMin.x > boxMax.x || boxMin.y > boxMax.y || boxMin.z > boxMax.z)
    return true;
  const glm::dmat4 m(toClip);
  glm::dvec4 corner[8];
  for (int i = 0; i < 8; ++i)
    corner[i] =
        m * glm::dvec4(i & 1 ? boxMax.x : boxMin.x, i & 2 ? boxMax.y : boxMin.y, i & 4 ? boxMax.z : boxMin.z, 1.0);
  const auto nearSide = [](const glm::dvec4& p) { return p.w + p.z; };
  const auto farSide = [](const glm::dvec4& p) { return p.w - p.z; };

  const double greatest = std::numeric_limits<double>::max();
  glm::dvec2 low(greatest), high(-greatest);
  const auto take = [&](const glm::dvec4& p) {
    if (p.w <= 0.0)
      return;
    low = glm::min(low, glm::dvec2(p) / p.w);
    high = glm::max(high, glm::dvec2(p) / p.w);
  };
  for (const glm::dvec4& p : corner)
    if (nearSide(p) >= 0.0 && farSide(p) >= 0.0)
      take(p);
  for (int a = 0; a < 8; ++a)
    for (int bit = 1; bit < 8; bit <<= 1) {
      if (a & bit)
        continue;
      const glm::dvec4& p = corner[a];
      const glm::dvec4& q = corner[a | bit];
      for (int plane = 0; plane < 2; ++plane) {
        const double dp = plane == 0 ? nearSide(p) : farSide(p);
        const double dq = plane == 0 ? nearSide(q) : farSide(q);
        if ((dp < 0.0) == (dq < 0.0))
          continue;
        const glm::dvec4 crossing = p + (q - p) * (dp / (dp - dq));
        // a point may miss the other plane's side by a rounding step
        if ((plane == 0 ? farSide(crossing) : nearSide(crossing)) >= -1e-9 * std::abs(crossing.w))
          take(crossing);
      }
    }
  if (low.x > high.x)
    return false;
  // a pixel is drawn when its centre is covered: one pixel more on each side
  // keeps rounding on the safe side
  const auto pixel = [](double ndc, int size) { return (ndc * 0.5 + 0.5) * size; };
  const double x0 = std::floor(pixel(glm::clamp(low.x, -2.0, 2.0), width)) - 1.0;
  const double x1 = std::ceil(pixel(glm::clamp(high.x, -2.0, 2.0), width)) + 1.0;
  const double y0 = std::floor(pixel(glm::clamp(low.y, -2.0, 2.0), height)) - 1.0;
  const double y1 = std::ceil(pixel(glm::clamp(high.y, -2.0, 2.0), height)) + 1.0;
  return reachesAny(static_cast<int>(x0), static_cast<int>(y0), static_cast<int>(x1), static_cast<int>(y1));
}
