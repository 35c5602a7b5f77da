#include "render/WaterReach.h"

#include "render/ConvexClip.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>
#include <map>
#include <unordered_map>
#include <utility>

namespace {

// The water beyond the ground's rectangle reaches this far; the camera's
// far plane cuts it long before.
constexpr double kOpenWater = 1.0e6;

using Polygon = std::vector<glm::dvec4>;

// Vertices at the same place are one, whatever else they carry.
std::vector<std::uint32_t> placeIds(const std::vector<glm::vec3>& positions) {
  std::unordered_map<std::uint64_t, std::vector<std::uint32_t>> seen;
  std::vector<std::uint32_t> ids(positions.size());
  for (std::uint32_t i = 0; i < positions.size(); ++i) {
    const glm::vec3& p = positions[i];
    std::uint32_t bits[3];
    std::memcpy(bits, &p, sizeof bits);
    const std::uint64_t key = (static_cast<std::uint64_t>(bits[0]) * 0x9E3779B1u) ^
                              (static_cast<std::uint64_t>(bits[1]) << 21) ^ (static_cast<std::uint64_t>(bits[2]) << 42);
    std::vector<std::uint32_t>& same = seen[key];
    ids[i] = i;
    for (std::uint32_t other : same)
      if (positions[other] == p) {
        ids[i] = other;
        break;
      }
    if (ids[i] == i)
      same.push_back(i);
  }
  return ids;
}

} // namespace

WaterReach::WaterReach(const std::vector<glm::vec3>& positions, const std::vector<std::uint32_t>& indices,
                       float waterLevel)
    : waterLevel(waterLevel) {
  if (indices.empty() || indices.size() % 3 != 0)
    return;
  const float greatest = std::numeric_limits<float>::max();
  glm::vec2 low(greatest), high(-greatest);
  for (std::uint32_t index : indices) {
    if (index >= positions.size() || !std::isfinite(positions[index].x) || !std::isfinite(positions[index].y) ||
        !std::isfinite(positions[index].z))
      return;
    low = glm::min(low, glm::vec2(positions[index].x, positions[index].z));
    high = glm::max(high, glm::vec2(positions[index].x, positions[index].z));
  }
  const double span = std::max(high.x - low.x, high.y - low.y);
  if (!(high.x > low.x && high.y > low.y))
    return;
  const double tolerance = span * 1e-6;

  // Every triangle faces up, and together they cover the rectangle once.
  double area = 0.0;
  for (std::size_t t = 0; t < indices.size(); t += 3) {
    const glm::dvec3 a(positions[indices[t]]), b(positions[indices[t + 1]]), c(positions[indices[t + 2]]);
    const double up = (b.z - a.z) * (c.x - a.x) - (b.x - a.x) * (c.z - a.z);
    if (!(up > 0.0))
      return;
    area += 0.5 * up;
  }
  const double rectangle = (static_cast<double>(high.x) - low.x) * (static_cast<double>(high.y) - low.y);
  if (std::abs(area - rectangle) > rectangle * 1e-5)
    return;

  // Each inner edge is shared by two triangles; the others lie on the rim.
  const std::vector<std::uint32_t> place = placeIds(positions);
  std::unordered_map<std::uint64_t, int> edgeUses;
  edgeUses.reserve(indices.size() * 2);
  for (std::size_t t = 0; t < indices.size(); t += 3)
    for (int k = 0; k < 3; ++k) {
      std::uint32_t a = place[indices[t + k]], b = place[indices[t + (k + 1) % 3]];
      if (a == b)
        return;
      if (a > b)
        std::swap(a, b);
      if (++edgeUses[(static_cast<std::uint64_t>(a) << 32) | b] > 2)
        return;
    }
  bool rimDry = false;
  for (const auto& [edge, uses] : edgeUses) {
    if (uses == 2)
      continue;
    const glm::vec3& a = positions[edge >> 32];
    const glm::vec3& b = positions[edge & 0xFFFFFFFFu];
    const auto onLine = [tolerance](float u, float v) { return std::abs(static_cast<double>(u) - v) <= tolerance; };
    const bool onRim = (onLine(a.x, low.x) && onLine(b.x, low.x)) || (onLine(a.x, high.x) && onLine(b.x, high.x)) ||
                       (onLine(a.z, low.y) && onLine(b.z, low.y)) || (onLine(a.z, high.y) && onLine(b.z, high.y));
    if (!onRim)
      return;
    rimDry = rimDry || a.y >= waterLevel || b.y >= waterLevel;
  }
  rimUnderWater = !rimDry;

  groundMin = low;
  groundMax = high;
  columns = rows = kCells;
  cells.assign(static_cast<std::size_t>(columns) * rows, Cell{false, -greatest});
  const glm::dvec2 cellSize = (glm::dvec2(high) - glm::dvec2(low)) / static_cast<double>(kCells);
  for (std::size_t t = 0; t < indices.size(); t += 3) {
    const glm::vec3& a = positions[indices[t]];
    const glm::vec3& b = positions[indices[t + 1]];
    const glm::vec3& c = positions[indices[t + 2]];
    const glm::dvec2 from =
        (glm::dvec2(std::min({a.x, b.x, c.x}), std::min({a.z, b.z, c.z})) - glm::dvec2(low)) / cellSize;
    const glm::dvec2 to =
        (glm::dvec2(std::max({a.x, b.x, c.x}), std::max({a.z, b.z, c.z})) - glm::dvec2(low)) / cellSize;
    // a triangle on a cell's edge counts for the cells on both sides
    const int c0 = std::clamp(static_cast<int>(std::floor(from.x - 1e-6)), 0, columns - 1);
    const int c1 = std::clamp(static_cast<int>(std::floor(to.x + 1e-6)), 0, columns - 1);
    const int r0 = std::clamp(static_cast<int>(std::floor(from.y - 1e-6)), 0, rows - 1);
    const int r1 = std::clamp(static_cast<int>(std::floor(to.y + 1e-6)), 0, rows - 1);
    const float lowest = std::min({a.y, b.y, c.y}), highest = std::max({a.y, b.y, c.y});
    for (int row = r0; row <= r1; ++row)
      for (int column = c0; column <= c1; ++column) {
        Cell& cell = cells[static_cast<std::size_t>(row) * columns + column];
        // ground level with the water counts as under it: the two would
        // meet in the depth test
        cell.wet = cell.wet || lowest <= waterLevel;
        cell.highest = std::max(cell.highest, highest);
      }
  }
  collectWetAreas();
}

// Runs of wet cells along each row, each run carried on to the next row that
// has the same run.
void WaterReach::collectWetAreas() {
  const glm::dvec2 low(groundMin), high(groundMax);
  const glm::dvec2 cellSize = (high - low) / static_cast<double>(kCells);
  std::map<std::pair<int, int>, std::size_t> open; // run -> index in wetAreas
  for (int row = 0; row < rows; ++row) {
    std::map<std::pair<int, int>, std::size_t> carried;
    for (int column = 0; column < columns;) {
      if (!cells[static_cast<std::size_t>(row) * columns + column].wet) {
        ++column;
        continue;
      }
      const int start = column;
      while (column < columns && cells[static_cast<std::size_t>(row) * columns + column].wet)
        ++column;
      const std::pair<int, int> run(start, column);
      const auto found = open.find(run);
      std::size_t index;
      if (found != open.end()) {
        index = found->second;
      } else {
        index = wetAreas.size();
        wetAreas.push_back(Area{low + glm::dvec2(start, row) * cellSize, glm::dvec2(0.0)});
      }
      wetAreas[index].max = low + glm::dvec2(column, row + 1) * cellSize;
      carried[run] = index;
    }
    open = std::move(carried);
  }
  // the open water around the ground
  wetAreas.push_back(Area{{-kOpenWater, -kOpenWater}, {low.x, kOpenWater}});
  wetAreas.push_back(Area{{high.x, -kOpenWater}, {kOpenWater, kOpenWater}});
  wetAreas.push_back(Area{{low.x, -kOpenWater}, {high.x, low.y}});
  wetAreas.push_back(Area{{low.x, high.y}, {high.x, kOpenWater}});
}

// The near plane cuts away what lies within about 1.4 near distances of the
// eye (at the corners of a 60 degree, 4:3 view); ground that close would let
// the water behind it through.
bool WaterReach::eyeClearlyAbove(const glm::vec3& eye, float nearPlane) const {
  const float clearance = 4.0f * nearPlane;
  if (!(eye.y > waterLevel + clearance))
    return false;
  const bool inside = eye.x >= groundMin.x && eye.x <= groundMax.x && eye.z >= groundMin.y && eye.z <= groundMax.y;
  // from outside, a ray enters above the rim only when the rim is under water
  if (!inside && !rimUnderWater)
    return false;
  const glm::vec2 cellSize = (groundMax - groundMin) / static_cast<float>(kCells);
  const int c0 = static_cast<int>(std::floor((eye.x - clearance - groundMin.x) / cellSize.x));
  const int c1 = static_cast<int>(std::floor((eye.x + clearance - groundMin.x) / cellSize.x));
  const int r0 = static_cast<int>(std::floor((eye.z - clearance - groundMin.y) / cellSize.y));
  const int r1 = static_cast<int>(std::floor((eye.z + clearance - groundMin.y) / cellSize.y));
  for (int row = std::max(r0, 0); row <= std::min(r1, rows - 1); ++row)
    for (int column = std::max(c0, 0); column <= std::min(c1, columns - 1); ++column)
      if (!(cells[static_cast<std::size_t>(row) * columns + column].highest < eye.y - clearance))
        return false;
  return true;
}

// NOTE: where ground stands just above the water far away, the depth test may
// let the water win by a rounding step; such water lies within a pixel of a
// wet cell's on screen, well inside the widening.
ScreenReach WaterReach::visibleWater(const glm::mat4& cameraProjectionView, const glm::vec3& eye, float nearPlane,
                                     int width, int height, glm::ivec2 reach) const {
  if (!knowsGround() || !eyeClearlyAbove(eye, nearPlane))
    return ScreenReach::whole(width, height);
  const glm::dmat4 camera(cameraProjectionView);
  static const glm::dvec4 kPlanes[6] = {{1, 0, 0, 1},  {-1, 0, 0, 1}, {0, 1, 0, 1},
                                        {0, -1, 0, 1}, {0, 0, 1, 1},  {0, 0, -1, 1}};
  ScreenReach seen(width, height);
  for (const Area& area : wetAreas) {
    Polygon quad = {camera * glm::dvec4(area.min.x, waterLevel, area.min.y, 1.0),
                    camera * glm::dvec4(area.max.x, waterLevel, area.min.y, 1.0),
                    camera * glm::dvec4(area.max.x, waterLevel, area.max.y, 1.0),
                    camera * glm::dvec4(area.min.x, waterLevel, area.max.y, 1.0)};
    for (const glm::dvec4& plane : kPlanes)
      quad = render::clipConvex(quad, plane);
    if (quad.empty())
      continue;
    glm::dvec2 low(std::numeric_limits<double>::max()), high(-std::numeric_limits<double>::max());
    std::vector<glm::dvec2> onScreen;
    for (const glm::dvec4& p : quad)
      if (p.w > 0.0)
        onScreen.push_back(glm::dvec2(p) / p.w);
    // what is left of an area wholly outside can be a sliver along the
    // view's edge, made of rounding alone: it covers nothing
    double covered = 0.0;
    for (std::size_t i = 0; i < onScreen.size(); ++i) {
      const glm::dvec2& a = onScreen[i];
      const glm::dvec2& b = onScreen[(i + 1) % onScreen.size()];
      covered += a.x * b.y - b.x * a.y;
      low = glm::min(low, a);
      high = glm::max(high, a);
    }
    if (onScreen.size() < 3 || std::abs(covered) < 1e-9)
      continue;
    // one pixel more on each side for rounding and the lookup's filter
    const auto pixel = [](double ndc, int size) { return (glm::clamp(ndc, -1.0, 1.0) * 0.5 + 0.5) * size; };
    seen.add(static_cast<int>(std::floor(pixel(low.x, width))) - reach.x - 1,
             static_cast<int>(std::floor(pixel(low.y, height))) - reach.y - 1,
             static_cast<int>(std::ceil(pixel(high.x, width))) + reach.x + 1,
             static_cast<int>(std::ceil(pixel(high.y, height))) + reach.y + 1);
  }
  seen.seal();
  return seen;
}
