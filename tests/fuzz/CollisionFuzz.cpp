// The collision model's tree against the brute-force reference. One input
// decodes to a triangle soup (general, tiny, huge, sliver, degenerate,
// edge-sharing, axis-aligned and raw-bit triangles, optionally snapped to a
// coarse grid so that planes, boxes and vertices coincide exactly), two
// placements (identity, translation, rotation, uniform and non-uniform scale,
// shear, general affine, raw entries) and spheres near, on the boundary of,
// and away from the placed triangles. The model is built and placed the way
// the game does it: addTriangle in both forms, finalize, then setTransform
// before every sphereCollision.
//
// Tolerance. The game forms every placement by float matrix products, so a
// world-space vertex is known only to the float rounding of the terms that
// form it: a coordinate m[0][r] v[0] + m[1][r] v[1] + m[2][r] v[2] + m[3][r]
// evaluated in float is off by up to about four roundings (2^-22) of the sum
// of the terms' magnitudes, and a distance moves no more than the vertices
// do. A model answer may therefore differ from the reference only when some
// triangle's distance lies within that margin of the radius: a hit stands
// when a triangle has distance <= radius + margin, a miss when every triangle
// has distance > radius - margin, where a triangle's margin is 2^-22 times
// (the largest sum of term magnitudes over its corners and rows + the largest
// centre coordinate + the radius). Both sides compute in double, far inside
// that margin, except on triangles with an angle below about 1e-8 radians,
// where a double computation of a plane direction or an inside test loses up
// to about 1e-8 of the triangle's length.
#include "tests/fuzz/CollisionFuzz.h"

#include "render/CollisionModel3D.h"
#include "tests/fuzz/FuzzInput.h"
#include "tests/fuzz/MessageSink.h"
#include "tests/support/CollisionReference.h"

#include <glm/glm.hpp>
#include <glm/gtc/matrix_transform.hpp>
#include <glm/gtc/type_ptr.hpp>

#include <algorithm>
#include <cmath>
#include <iomanip>
#include <memory>
#include <sstream>
#include <vector>

namespace felidora::fuzz {
namespace {

constexpr unsigned kMaxTriangles = 160;
constexpr unsigned kMaxSpheres = 32;
constexpr double kPlacementRounding = 0x1p-22;
// Raw vertex and centre bits may take any finite float; raw placement entries
// stay below this, so that squares of products of world coordinates (the
// reference's and the model's cross and dot products) remain finite in double.
constexpr float kAnyFloat = 3.4e38f;
constexpr float kMatrixLimit = 1e6f;
constexpr double kTurn = 6.283185307179586;

using Triangles = std::vector<float>;

struct Sphere {
  glm::vec3 centre;
  float radius;
  int placement;
};

glm::dvec3 direction(FuzzInput& in) {
  const glm::dvec3 d(in.signedUnit(), in.signedUnit(), in.signedUnit());
  const double length = glm::length(d);
  return length > 1e-3 ? d / length : glm::dvec3(0.0, 1.0, 0.0);
}

void push(Triangles& t, const glm::dvec3& a, const glm::dvec3& b, const glm::dvec3& c) {
  t.insert(t.end(), {float(a.x), float(a.y), float(a.z), float(b.x), float(b.y), float(b.z), float(c.x), float(c.y),
                     float(c.z)});
}

Triangles decodeTriangles(FuzzInput& in, double span) {
  const unsigned count = in.choice(kMaxTriangles + 1);
  const bool snap = in.choice(4) == 0;
  const double grid = span / 8.0;
  auto snapped = [&](glm::dvec3 v) { return snap ? glm::round(v / grid) * grid : v; };
  auto point = [&] { return span * glm::dvec3(in.signedUnit(), in.signedUnit(), in.signedUnit()); };

  Triangles t;
  for (unsigned i = 0; i < count; ++i) {
    glm::dvec3 a = point(), b, c;
    switch (in.choice(8)) {
    case 0: // general
      b = point();
      c = point();
      break;
    case 1: { // tiny
      const double size = span * in.logUniform(-7.0, -3.0);
      b = a + size * direction(in);
      c = a + size * direction(in);
      break;
    }
    case 2: { // huge
      const double size = span * in.logUniform(1.0, 4.0);
      b = a + size * direction(in);
      c = a + size * direction(in);
      break;
    }
    case 3: { // sliver: c close to the line ab, beside it (needle) or between a and b (cap)
      b = point();
      const double width = glm::length(b - a) * in.logUniform(-12.0, -2.0);
      c = a + (1.5 * in.signedUnit() + 0.5) * (b - a) + width * direction(in);
      break;
    }
    case 4: // without area: a point, a repeated vertex, or three points on a line
      switch (in.choice(3)) {
      case 0: b = c = a; break;
      case 1:
        b = a;
        c = point();
        break;
      default: b = point(); c = a + 2.0 * (b - a);
      }
      break;
    case 5: // shares an edge with the previous triangle, as mesh triangles do
      if (!t.empty()) {
        const float* last = &t[t.size() - 9];
        const unsigned k = in.choice(3);
        a = glm::dvec3(last[3 * k], last[3 * k + 1], last[3 * k + 2]);
        const unsigned n = (k + 1) % 3;
        b = glm::dvec3(last[3 * n], last[3 * n + 1], last[3 * n + 2]);
      } else {
        b = point();
      }
      c = point();
      break;
    case 6: { // axis-aligned, as the faces of box models
      const int u = int(in.choice(3)), v = (u + 1 + int(in.choice(2))) % 3;
      b = a;
      c = a;
      b[u] += span * in.signedUnit();
      c[v] += span * in.signedUnit();
      break;
    }
    default: { // raw bits, any finite magnitude
      float v[9];
      for (float& x : v)
        x = in.rawFloat(kAnyFloat);
      t.insert(t.end(), v, v + 9);
      continue;
    }
    }
    push(t, snapped(a), snapped(b), snapped(c));
  }
  return t;
}

glm::mat4 decodePlacement(FuzzInput& in, double span) {
  const glm::mat4 id(1.0f);
  const glm::vec3 shift(span * in.logUniform(-2.0, 2.0) * direction(in));
  auto rotation = [&] { return glm::rotate(id, float(kTurn * in.unit()), glm::vec3(direction(in))); };
  auto factor = [&] { return float(in.logUniform(-3.0, 3.0)); };
  switch (in.choice(8)) {
  case 0: return id;
  case 1: return glm::translate(id, shift);
  case 2: return glm::translate(id, shift) * rotation();
  case 3: return glm::translate(id, shift) * rotation() * glm::scale(id, glm::vec3(factor()));
  case 4: { // non-uniform, sometimes flattened onto a plane (singular)
    glm::vec3 scale(factor(), factor(), factor());
    if (in.choice(4) == 0)
      scale[in.choice(3)] = 0.0f;
    return glm::translate(id, shift) * glm::scale(id, scale);
  }
  case 5: { // shear
    glm::mat4 m = glm::translate(id, shift);
    for (int k = int(in.choice(4)); k >= 0; --k) {
      const int column = int(in.choice(3)), row = (column + 1 + int(in.choice(2))) % 3;
      m[column][row] = float(3.0 * in.signedUnit());
    }
    return m;
  }
  case 6: // any affine map: rotation, uneven scale, rotation
    return glm::translate(id, shift) * rotation() * glm::scale(id, glm::vec3(factor(), factor(), factor())) *
           rotation();
  default: { // raw entries; the bottom row stays (0, 0, 0, 1) as in every model matrix
    glm::mat4 m(1.0f);
    for (int column = 0; column < 4; ++column)
      for (int row = 0; row < 3; ++row)
        m[column][row] = in.rawFloat(kMatrixLimit);
    return m;
  }
  }
}

float decodeRadius(FuzzInput& in, double span) {
  switch (in.choice(6)) {
  case 0: return 0.0f;
  case 1: return 5.0f;
  case 2: return 10.0f;
  case 3: return float(span * in.logUniform(-4.0, 1.0));
  case 4: return std::fabs(in.rawFloat(kAnyFloat));
  default: return float(span * in.unit());
  }
}

// A point of placed triangle t: inside, on an edge or at a corner.
glm::dvec3 surfacePoint(FuzzInput& in, const std::vector<glm::dvec3>& world, std::size_t t) {
  const glm::dvec3 &a = world[3 * t], &b = world[3 * t + 1], &c = world[3 * t + 2];
  double u = in.unit(), v = in.unit();
  switch (in.choice(4)) {
  case 0:
    v = 0.0; // on edge ab
    break;
  case 1:
    u = v = 0.0; // corner a
    break;
  default:
    if (u + v > 1.0) {
      u = 1.0 - u;
      v = 1.0 - v;
    }
  }
  return a + u * (b - a) + v * (c - a);
}

Sphere decodeSphere(FuzzInput& in, double span, const std::vector<glm::dvec3> (&world)[2]) {
  Sphere s{};
  s.placement = int(in.choice(2));
  s.radius = decodeRadius(in, span);
  const std::vector<glm::dvec3>& placed = world[s.placement];
  const std::size_t count = placed.size() / 3;
  const double r = s.radius;
  glm::dvec3 centre;
  switch (count ? in.choice(4) : 2 + in.choice(2)) {
  case 0: // near the surface
    centre = surfacePoint(in, placed, in.u16() % count) + 2.0 * r * in.unit() * direction(in);
    break;
  case 1: { // on the sphere's boundary: a surface point at (almost) exactly the radius
    const std::size_t t = in.u16() % count;
    const glm::dvec3 q = surfacePoint(in, placed, t);
    glm::dvec3 away = direction(in);
    if (in.flag()) {
      const glm::dvec3 n = glm::cross(placed[3 * t + 1] - placed[3 * t], placed[3 * t + 2] - placed[3 * t]);
      if (glm::length(n) > 0.0 && std::isfinite(glm::length(n)))
        away = glm::normalize(n);
    }
    const double nudge[4] = {0.0, 0x1p-20, -0x1p-20, 1e-3 * in.signedUnit()};
    centre = q + r * (1.0 + nudge[in.choice(4)]) * away;
    break;
  }
  case 2: { // anywhere in the placed soup's bounds, enlarged
    glm::dvec3 lo(-span), hi(span);
    for (const glm::dvec3& v : placed) {
      lo = glm::min(lo, v);
      hi = glm::max(hi, v);
    }
    const glm::dvec3 margin = 0.1 * (hi - lo) + r;
    lo -= margin;
    hi += margin;
    centre = lo + (hi - lo) * glm::dvec3(in.unit(), in.unit(), in.unit());
    break;
  }
  default: // raw bits
    centre = glm::dvec3(in.rawFloat(kAnyFloat), in.rawFloat(kAnyFloat), in.rawFloat(kAnyFloat));
  }
  // a centre beyond the float range (from a raw soup) is brought back into it
  centre = glm::clamp(centre, glm::dvec3(-kAnyFloat), glm::dvec3(kAnyFloat));
  s.centre = glm::vec3(centre);
  return s;
}

// Per triangle: the largest magnitude summed into one of its world coordinates.
std::vector<double> placementMagnitudes(const Triangles& triangles, const glm::mat4& m) {
  std::vector<double> magnitude;
  for (std::size_t i = 0; i + 8 < triangles.size(); i += 9) {
    double largest = 0.0;
    for (int corner = 0; corner < 3; ++corner)
      for (int row = 0; row < 3; ++row) {
        double sum = std::fabs(double(m[3][row]));
        for (int column = 0; column < 3; ++column)
          sum += std::fabs(double(m[column][row]) * double(triangles[i + 3 * corner + column]));
        largest = std::max(largest, sum);
      }
    magnitude.push_back(largest);
  }
  return magnitude;
}

std::string describeTriangle(const Sphere& s, bool hit, const Triangles& triangles,
                             const std::vector<glm::dvec3>& placed, std::size_t t, double distance, double margin) {
  std::ostringstream out;
  out << std::setprecision(17) << "model says " << (hit ? "hit" : "miss") << " for centre (" << s.centre.x << ", "
      << s.centre.y << ", " << s.centre.z << ") radius " << s.radius << ", but triangle " << t << " placed at";
  for (int corner = 0; corner < 3; ++corner) {
    const glm::dvec3& v = placed[3 * t + corner];
    out << " (" << v.x << ", " << v.y << ", " << v.z << ")";
  }
  out << " lies at distance " << distance << " (margin " << margin << "); in the model it is (";
  out << std::setprecision(9);
  for (int k = 0; k < 9; ++k)
    out << triangles[9 * t + k] << (k < 8 ? ", " : ")");
  return out.str();
}

std::string describePlacement(const glm::mat4& m, const Triangles& triangles) {
  std::ostringstream out;
  out << std::setprecision(9) << "; placement [";
  for (int k = 0; k < 16; ++k)
    out << glm::value_ptr(m)[k] << (k < 15 ? ", " : "]");
  out << "; " << triangles.size() / 9 << " triangles";
  return out.str();
}

// Whether the model's answer stands against every triangle's distance, each
// judged within its margin; empty when it does.
std::string judge(bool hit, const Sphere& s, const Triangles& triangles, const std::vector<glm::dvec3>& placed,
                  const std::vector<double>& magnitude) {
  const glm::dvec3 p(s.centre);
  const double r = s.radius;
  const double extent = std::max({std::fabs(p.x), std::fabs(p.y), std::fabs(p.z)}) + r;
  std::size_t nearest = 0;
  double nearestDistance = HUGE_VAL, nearestMargin = 0.0;
  for (std::size_t t = 0; t < placed.size() / 3; ++t) {
    const double d = collision_reference::distanceToTriangle(p, placed[3 * t], placed[3 * t + 1], placed[3 * t + 2]);
    const double margin = kPlacementRounding * (magnitude[t] + extent);
    if (hit && d <= r + margin)
      return {}; // a triangle within reach justifies the hit
    if (!hit && d <= r - margin)
      return describeTriangle(s, hit, triangles, placed, t, d, margin); // clearly touched, yet missed
    if (d - margin < nearestDistance - nearestMargin) {
      nearest = t;
      nearestDistance = d;
      nearestMargin = margin;
    }
  }
  if (!hit)
    return {};
  if (placed.empty())
    return "model says hit with no triangles";
  return describeTriangle(s, hit, triangles, placed, nearest, nearestDistance, nearestMargin);
}

} // namespace

std::string checkCollisionCase(const std::uint8_t* data, std::size_t size) {
  MessageSink sink;
  FuzzInput in(data, size);
  const double span = std::pow(10.0, double(in.choice(10)) - 3.0);
  const Triangles triangles = decodeTriangles(in, span);
  const glm::mat4 placements[2] = {decodePlacement(in, span), decodePlacement(in, span)};
  const unsigned options = in.byte();

  std::unique_ptr<CollisionModel3D> model(newCollisionModel3D(false));
  if (options & 1) {
    const float centre[3] = {0.0f, 0.0f, 0.0f};
    if (model->sphereCollision(centre, 1e30f))
      return "a query before finalize found a triangle";
  }
  if (options & 2)
    model->setTransform(glm::value_ptr(placements[1]));
  for (std::size_t i = 0; i + 8 < triangles.size(); i += 9) {
    const float* v = &triangles[i];
    if (in.flag())
      model->addTriangle(v, v + 3, v + 6);
    else
      model->addTriangle(v[0], v[1], v[2], v[3], v[4], v[5], v[6], v[7], v[8]);
  }
  model->finalize();
  if (options & 4) {
    // ignored: input has ended
    const float late[9] = {-1e6f, 0.0f, -1e6f, 1e6f, 0.0f, -1e6f, 0.0f, 0.0f, 1e6f};
    model->addTriangle(late, late + 3, late + 6);
  }

  const std::vector<glm::dvec3> world[2] = {
      collision_reference::placeTriangles(triangles, glm::value_ptr(placements[0])),
      collision_reference::placeTriangles(triangles, glm::value_ptr(placements[1]))};
  const std::vector<double> magnitude[2] = {placementMagnitudes(triangles, placements[0]),
                                            placementMagnitudes(triangles, placements[1])};

  const unsigned spheres = 1 + in.choice(kMaxSpheres);
  for (unsigned k = 0; k < spheres; ++k) {
    const Sphere s = decodeSphere(in, span, world);
    const glm::mat4& m = placements[s.placement];
    model->setTransform(glm::value_ptr(m));
    const bool hit = model->sphereCollision(&s.centre.x, s.radius);

    const std::string verdict = judge(hit, s, triangles, world[s.placement], magnitude[s.placement]);
    if (!verdict.empty())
      return verdict + describePlacement(m, triangles);
  }
  return {};
}

} // namespace felidora::fuzz
