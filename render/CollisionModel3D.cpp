// The collision models: triangles in model space, a bounding-volume tree built
// once by finalize(), and sphere queries that walk the tree in model space and
// decide every triangle they reach exactly in world space, in double precision.
#include "render/CollisionModel3D.h"

#include "base/Console.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>

#if defined(__SSE2__) || defined(_M_X64)
#include <emmintrin.h>
#define COLLISION_SSE2 1
#endif

namespace {

// Leaves hold at most this many triangles; a query tests a leaf's triangles
// one by one, so small leaves keep the exact tests few.
constexpr std::uint32_t kLeafSize = 4;
// Centroid bins per axis for the surface-area split.
constexpr int kBins = 16;
// Below this depth the binary tree is split by surface area; deeper nodes
// (only possible with very uneven triangle sizes) are halved by count, so no
// path grows past kMaxSahDepth + 28 levels and the walk's fixed stack suffices.
constexpr int kMaxSahDepth = 64;
// A child word with kLeafFlag holds a triangle count (4 bits) and the first
// triangle (27 bits); without it, the index of a node.
constexpr std::uint32_t kLeafFlag = 0x80000000u;
constexpr int kCountShift = 27;
constexpr std::uint32_t kFirstMask = (1u << kCountShift) - 1;
constexpr std::uint32_t kMaxTriangles = kFirstMask;
// Each node visited leaves at most three siblings on the stack.
constexpr int kWalkStackSize = 3 * (kMaxSahDepth + 28) + 8;
// Placements whose linear part is this badly conditioned are not inverted;
// their queries test every triangle.
constexpr double kMaxCondition = 1e8;
// Relative widening of the walk's model-space ball and box. The walk only
// prunes; it must never drop a triangle because of rounding in the inverse.
constexpr double kWalkSlack = 1e-7;
// A triangle whose sharpest corner has a squared sine below this (an angle
// under 1e-8 radians) is treated as its three edges: its plane direction, or
// its inside test near that corner, would be noise.
constexpr double kFlatness = 1e-16;

// Squared distance from the segment start + t * edge (t in [0, 1]) to a point
// lying at `offset` from the segment start.
double segmentDistanceSquared(const glm::dvec3& offset, const glm::dvec3& edge) {
  const double along = glm::dot(offset, edge);
  const double length2 = glm::dot(edge, edge);
  if (along <= 0.0 || length2 <= 0.0)
    return glm::dot(offset, offset);
  if (along >= length2) {
    const glm::dvec3 rest = offset - edge;
    return glm::dot(rest, rest);
  }
  const glm::dvec3 rest = offset - (along / length2) * edge;
  return glm::dot(rest, rest);
}

// Exact sphere-triangle test: is the closest point of triangle abc within
// sqrt(radiusSquared) of p? Zero-area triangles count as their edges.
bool triangleTouches(const glm::dvec3& a, const glm::dvec3& b, const glm::dvec3& c, const glm::dvec3& p,
                     double radiusSquared) {
  const glm::dvec3 ab = b - a, bc = c - b, ca = a - c;
  const glm::dvec3 ap = p - a, bp = p - b, cp = p - c;
  const glm::dvec3 n = glm::cross(ab, c - a);
  const double nn = glm::dot(n, n);
  // The sharpest corner decides, whichever corner the normal was taken at:
  // past the tip of a needle the inside test below is only as good as the
  // sine of the tip's angle.
  const double ab2 = glm::dot(ab, ab), bc2 = glm::dot(bc, bc), ca2 = glm::dot(ca, ca);
  if (nn > kFlatness * std::max({ab2 * bc2, bc2 * ca2, ca2 * ab2})) {
    const double height = glm::dot(n, ap);
    if (height * height > radiusSquared * nn)
      return false;
    // The foot of the perpendicular lies inside: the plane distance decides.
    if (glm::dot(n, glm::cross(ab, ap)) >= 0.0 && glm::dot(n, glm::cross(bc, bp)) >= 0.0 &&
        glm::dot(n, glm::cross(ca, cp)) >= 0.0)
      return true;
  }
  return segmentDistanceSquared(ap, ab) <= radiusSquared || segmentDistanceSquared(bp, bc) <= radiusSquared ||
         segmentDistanceSquared(cp, ca) <= radiusSquared;
}

bool allFinite(const float* values, int count) {
  for (int i = 0; i < count; ++i)
    if (!std::isfinite(values[i]))
      return false;
  return true;
}

// Largest eigenvalue of the symmetric 3x3 matrix s, by the trigonometric
// closed form; accurate for the largest one.
double largestEigenvalue(const glm::dmat3& s) {
  const double p1 = s[1][0] * s[1][0] + s[2][0] * s[2][0] + s[2][1] * s[2][1];
  const double q = (s[0][0] + s[1][1] + s[2][2]) / 3.0;
  const glm::dmat3 shifted = s - glm::dmat3(q);
  const double p2 =
      shifted[0][0] * shifted[0][0] + shifted[1][1] * shifted[1][1] + shifted[2][2] * shifted[2][2] + 2.0 * p1;
  if (p2 <= 0.0)
    return q;
  const double p = std::sqrt(p2 / 6.0);
  const double half = glm::determinant(shifted / p) / 2.0;
  const double phi = std::acos(std::clamp(half, -1.0, 1.0)) / 3.0;
  return q + 2.0 * p * std::cos(phi);
}

// A child box side from its 8-bit grid step. The build checks its outward
// rounding with this very formula.
inline double gridValue(float origin, float scale, std::uint8_t step) { return double(origin) + step * double(scale); }

// A float not below x, at most two steps above it (cheaper than nextafter,
// which the walk would call per query).
inline float floatAtLeast(double x) {
  float f = float(x);
  if (double(f) < x)
    f += std::max(std::abs(f) * 0x1p-23f, std::numeric_limits<float>::denorm_min());
  return f;
}

double boxArea(const double* lo, const double* hi) {
  const double dx = hi[0] - lo[0], dy = hi[1] - lo[1], dz = hi[2] - lo[2];
  return dx * dy + dy * dz + dz * dx;
}

inline void prefetch(const void* address) {
#if defined(__GNUC__) || defined(__clang__)
  __builtin_prefetch(address);
#elif defined(COLLISION_SSE2)
  _mm_prefetch(static_cast<const char*>(address), _MM_HINT_T0);
#else
  (void)address;
#endif
}

// What the walk carries: the sphere's model-space centre and the ball (and,
// under shear, the box) that holds the sphere's image, in double precision
// and, for the four-wide test, in float.
struct WalkBall {
  glm::dvec3 centre;
  double ballSquared;
  glm::dvec3 boxLo, boxHi;
  bool useBox;
  bool floatsSuffice; // magnitudes small enough for the float test below
  float centreF[3], ballSquaredF, boxLoF[3], boxHiF[3];
};

// The grid sides of the four children of `node` against the ball, in double
// precision. Sets distance[slot] (squared) and returns a bit per child reached.
template <class NodeT> int childrenInReachExact(const NodeT& node, const WalkBall& ball, float* distance) {
  double gap2[4] = {0.0, 0.0, 0.0, 0.0};
  bool outside[4] = {false, false, false, false};
  for (int axis = 0; axis < 3; ++axis) {
    const double c = ball.centre[axis];
    for (int slot = 0; slot < 4; ++slot) {
      const double l = gridValue(node.origin[axis], node.scale[axis], node.lo[axis][slot]);
      const double h = gridValue(node.origin[axis], node.scale[axis], node.hi[axis][slot]);
      const double gap = std::max(std::max(l - c, c - h), 0.0);
      gap2[slot] += gap * gap;
      outside[slot] |= ball.useBox && (l > ball.boxHi[axis] || h < ball.boxLo[axis]);
    }
  }
  int mask = 0;
  for (int slot = 0; slot < 4; ++slot) {
    distance[slot] = float(gap2[slot]);
    if (gap2[slot] <= ball.ballSquared && !outside[slot])
      mask |= 1 << slot;
  }
  return mask;
}

#ifdef COLLISION_SSE2
// The same test for all four children at once in float. Every gap is first
// shrunk by a bound on the float rounding of the grid sides and the centre, so
// a child is never dropped that the exact test would keep.
template <class NodeT> int childrenInReach(const NodeT& node, const WalkBall& ball, float* distance) {
  if (!ball.floatsSuffice)
    return childrenInReachExact(node, ball, distance);
  const __m128 zero = _mm_setzero_ps();
  __m128 sum = zero, outside = zero;
  for (int axis = 0; axis < 3; ++axis) {
    const float origin = node.origin[axis], scale = node.scale[axis];
    const float magnitude = std::abs(origin) + 255.0f * scale;
    if (!(magnitude < 1e30f))
      return childrenInReachExact(node, ball, distance);
    const __m128 rounding = _mm_set1_ps((magnitude + std::abs(ball.centreF[axis])) * 0x1p-20f);
    std::int32_t packedLo, packedHi;
    std::memcpy(&packedLo, node.lo[axis], 4);
    std::memcpy(&packedHi, node.hi[axis], 4);
    const __m128i bytes = _mm_setzero_si128();
    const __m128i stepLo = _mm_unpacklo_epi16(_mm_unpacklo_epi8(_mm_cvtsi32_si128(packedLo), bytes), bytes);
    const __m128i stepHi = _mm_unpacklo_epi16(_mm_unpacklo_epi8(_mm_cvtsi32_si128(packedHi), bytes), bytes);
    const __m128 o = _mm_set1_ps(origin), s = _mm_set1_ps(scale);
    const __m128 lo = _mm_add_ps(o, _mm_mul_ps(_mm_cvtepi32_ps(stepLo), s));
    const __m128 hi = _mm_add_ps(o, _mm_mul_ps(_mm_cvtepi32_ps(stepHi), s));
    const __m128 c = _mm_set1_ps(ball.centreF[axis]);
    __m128 gap = _mm_max_ps(_mm_max_ps(_mm_sub_ps(lo, c), _mm_sub_ps(c, hi)), zero);
    gap = _mm_max_ps(_mm_sub_ps(gap, rounding), zero);
    sum = _mm_add_ps(sum, _mm_mul_ps(gap, gap));
    if (ball.useBox)
      outside = _mm_or_ps(outside, _mm_or_ps(_mm_cmpgt_ps(_mm_sub_ps(lo, rounding), _mm_set1_ps(ball.boxHiF[axis])),
                                             _mm_cmplt_ps(_mm_add_ps(hi, rounding), _mm_set1_ps(ball.boxLoF[axis]))));
  }
  _mm_storeu_ps(distance, sum);
  const __m128 inReach = _mm_andnot_ps(outside, _mm_cmple_ps(sum, _mm_set1_ps(ball.ballSquaredF)));
  return _mm_movemask_ps(inReach);
}
#else
template <class NodeT> int childrenInReach(const NodeT& node, const WalkBall& ball, float* distance) {
  return childrenInReachExact(node, ball, distance);
}
#endif

} // namespace

// Working data of one finalize(): per triangle its model-space box and
// centroid, the triangle order being partitioned, the binary tree that is then
// collapsed into the 4-wide one, and the leaf-ordered triangles.
struct CollisionModel3D::BuildInput {
  struct BinaryNode {
    float lo[3], hi[3];
    std::uint32_t left = 0, right = 0;  // inner nodes
    std::uint32_t first = 0, count = 0; // leaves (count > 0)
  };

  const float* source = nullptr;
  std::vector<std::uint32_t> order;
  std::vector<float> bounds; // lo xyz, hi xyz per triangle
  std::vector<float> centroids;
  std::vector<BinaryNode> binary;
  std::vector<float> leafTriangles;
};

CollisionModel3D::~CollisionModel3D() = default;

void CollisionModel3D::addTriangle(const float* v1, const float* v2, const float* v3) {
  if (!v1 || !v2 || !v3)
    return;
  addTriangle(v1[0], v1[1], v1[2], v2[0], v2[1], v2[2], v3[0], v3[1], v3[2]);
}

void CollisionModel3D::addTriangle(float x1, float y1, float z1, float x2, float y2, float z2, float x3, float y3,
                                   float z3) {
  if (finalized) {
    if (!warnedLateTriangle)
      messageStream() << "Kollisionsmodell: Dreiecke nach finalize werden ignoriert." << std::endl;
    warnedLateTriangle = true;
    return;
  }
  pending.insert(pending.end(), {x1, y1, z1, x2, y2, z2, x3, y3, z3});
}

// Builds the tree. Triangles with a non-finite coordinate are dropped: no
// sphere can be decided against them, and they would poison the node boxes.
void CollisionModel3D::finalize() {
  if (finalized)
    return;
  finalized = true;

  BuildInput input;
  input.source = pending.data();
  const std::size_t added = pending.size() / 9;
  if (added > kMaxTriangles) {
    messageStream() << "Kollisionsmodell: zu viele Dreiecke." << std::endl;
    std::vector<float>().swap(pending);
    return;
  }
  input.order.reserve(added);
  input.bounds.resize(added * 6);
  input.centroids.resize(added * 3);
  for (std::uint32_t t = 0; t < added; ++t) {
    const float* v = &pending[std::size_t(t) * 9];
    if (!allFinite(v, 9))
      continue;
    input.order.push_back(t);
    for (int axis = 0; axis < 3; ++axis) {
      input.bounds[t * 6 + axis] = std::min({v[axis], v[3 + axis], v[6 + axis]});
      input.bounds[t * 6 + 3 + axis] = std::max({v[axis], v[3 + axis], v[6 + axis]});
      // in double: coordinates near the float limit would overflow the sum
      const double sum = double(v[axis]) + double(v[3 + axis]) + double(v[6 + axis]);
      input.centroids[t * 3 + axis] = float(sum / 3.0);
    }
  }

  const auto kept = std::uint32_t(input.order.size());
  if (kept > 0) {
    input.binary.reserve(2 * (kept / 2 + 1));
    input.leafTriangles.reserve(std::size_t(kept) * 9);
    buildBinary(input, 0, kept, 0);
    nodes.reserve(input.binary.size() / 3 + 1);
    collapse(input, 0);
  }
  triangles = std::move(input.leafTriangles);
  nodes.shrink_to_fit();
  std::vector<float>().swap(pending);

  // A bounding sphere of the kept triangles, for the one-compare rejection of
  // queries that are nowhere near (most box tests of the game are).
  glm::dvec3 lo(std::numeric_limits<double>::infinity()), hi(-lo);
  for (std::size_t i = 0; i < triangles.size(); i += 3) {
    const glm::dvec3 v(triangles[i], triangles[i + 1], triangles[i + 2]);
    lo = glm::min(lo, v), hi = glm::max(hi, v);
  }
  boundCentre = 0.5 * (lo + hi);
  boundRadius = 0.0;
  for (std::size_t i = 0; i < triangles.size(); i += 3)
    boundRadius =
        std::max(boundRadius, glm::length(glm::dvec3(triangles[i], triangles[i + 1], triangles[i + 2]) - boundCentre));
  boundUsable = !triangles.empty() && std::isfinite(boundRadius);
  if (placementCached) {
    // placed before the triangles were final: place again for the new bound
    float placed[16];
    std::memcpy(placed, placedMatrix, sizeof placed);
    placementCached = false;
    setTransform(placed);
  }
}

std::uint32_t CollisionModel3D::buildBinary(BuildInput& input, std::uint32_t begin, std::uint32_t end, int depth) {
  double lo[3], hi[3], centreLo[3], centreHi[3];
  for (int axis = 0; axis < 3; ++axis) {
    lo[axis] = centreLo[axis] = std::numeric_limits<double>::infinity();
    hi[axis] = centreHi[axis] = -std::numeric_limits<double>::infinity();
  }
  for (std::uint32_t i = begin; i < end; ++i) {
    const std::uint32_t t = input.order[i];
    for (int axis = 0; axis < 3; ++axis) {
      lo[axis] = std::min(lo[axis], double(input.bounds[t * 6 + axis]));
      hi[axis] = std::max(hi[axis], double(input.bounds[t * 6 + 3 + axis]));
      centreLo[axis] = std::min(centreLo[axis], double(input.centroids[t * 3 + axis]));
      centreHi[axis] = std::max(centreHi[axis], double(input.centroids[t * 3 + axis]));
    }
  }

  const auto index = std::uint32_t(input.binary.size());
  BuildInput::BinaryNode node;
  for (int axis = 0; axis < 3; ++axis) {
    node.lo[axis] = float(lo[axis]);
    node.hi[axis] = float(hi[axis]);
  }
  const std::uint32_t count = end - begin;
  if (count <= kLeafSize) {
    node.first = std::uint32_t(input.leafTriangles.size() / 9);
    node.count = count;
    for (std::uint32_t i = begin; i < end; ++i) {
      const float* v = input.source + std::size_t(input.order[i]) * 9;
      input.leafTriangles.insert(input.leafTriangles.end(), v, v + 9);
    }
    input.binary.push_back(node);
    return index;
  }
  input.binary.push_back(node);

  auto binOf = [&](std::uint32_t t, int axis) {
    const double extent = centreHi[axis] - centreLo[axis];
    const int bin = int((double(input.centroids[t * 3 + axis]) - centreLo[axis]) / extent * kBins);
    return std::clamp(bin, 0, kBins - 1);
  };

  std::uint32_t mid = begin;
  if (depth < kMaxSahDepth) {
    // Binned surface-area split over all three axes.
    double bestCost = std::numeric_limits<double>::infinity();
    int bestAxis = -1, bestBin = 0;
    for (int axis = 0; axis < 3; ++axis) {
      if (!(centreHi[axis] > centreLo[axis]))
        continue;
      std::uint32_t binCount[kBins] = {};
      double binLo[kBins][3], binHi[kBins][3];
      for (int b = 0; b < kBins; ++b)
        for (int k = 0; k < 3; ++k) {
          binLo[b][k] = std::numeric_limits<double>::infinity();
          binHi[b][k] = -std::numeric_limits<double>::infinity();
        }
      for (std::uint32_t i = begin; i < end; ++i) {
        const std::uint32_t t = input.order[i];
        const int b = binOf(t, axis);
        ++binCount[b];
        for (int k = 0; k < 3; ++k) {
          binLo[b][k] = std::min(binLo[b][k], double(input.bounds[t * 6 + k]));
          binHi[b][k] = std::max(binHi[b][k], double(input.bounds[t * 6 + 3 + k]));
        }
      }
      // costs of splitting after bin b, left side swept up, right side down
      double leftCost[kBins];
      double accLo[3], accHi[3];
      std::uint32_t acc = 0;
      for (int k = 0; k < 3; ++k) {
        accLo[k] = std::numeric_limits<double>::infinity();
        accHi[k] = -std::numeric_limits<double>::infinity();
      }
      for (int b = 0; b < kBins - 1; ++b) {
        acc += binCount[b];
        for (int k = 0; k < 3; ++k) {
          accLo[k] = std::min(accLo[k], binLo[b][k]);
          accHi[k] = std::max(accHi[k], binHi[b][k]);
        }
        leftCost[b] = acc > 0 ? boxArea(accLo, accHi) * acc : -1.0;
      }
      acc = 0;
      for (int k = 0; k < 3; ++k) {
        accLo[k] = std::numeric_limits<double>::infinity();
        accHi[k] = -std::numeric_limits<double>::infinity();
      }
      for (int b = kBins - 1; b > 0; --b) {
        acc += binCount[b];
        for (int k = 0; k < 3; ++k) {
          accLo[k] = std::min(accLo[k], binLo[b][k]);
          accHi[k] = std::max(accHi[k], binHi[b][k]);
        }
        if (acc == 0 || leftCost[b - 1] < 0.0)
          continue;
        const double cost = leftCost[b - 1] + boxArea(accLo, accHi) * acc;
        if (cost < bestCost) {
          bestCost = cost;
          bestAxis = axis;
          bestBin = b - 1;
        }
      }
    }
    if (bestAxis >= 0) {
      auto first = input.order.begin() + begin, last = input.order.begin() + end;
      mid = std::uint32_t(std::partition(first, last, [&](std::uint32_t t) { return binOf(t, bestAxis) <= bestBin; }) -
                          input.order.begin());
    }
  }
  if (mid <= begin || mid >= end) {
    // Halve by count along the widest centroid spread (or in input order when
    // every centroid coincides).
    int axis = 0;
    for (int k = 1; k < 3; ++k)
      if (centreHi[k] - centreLo[k] > centreHi[axis] - centreLo[axis])
        axis = k;
    mid = begin + count / 2;
    std::nth_element(input.order.begin() + begin, input.order.begin() + mid, input.order.begin() + end,
                     [&](std::uint32_t a, std::uint32_t b) {
                       return input.centroids[a * 3 + axis] < input.centroids[b * 3 + axis];
                     });
  }

  const std::uint32_t left = buildBinary(input, begin, mid, depth + 1);
  const std::uint32_t right = buildBinary(input, mid, end, depth + 1);
  input.binary[index].left = left;
  input.binary[index].right = right;
  return index;
}

// Turns the binary subtree at binaryIndex into 4-wide nodes: the node's
// children are gathered by opening the widest inner child until four are
// found. Nodes come in depth-first order, the first inner child right after
// its parent.
std::uint32_t CollisionModel3D::collapse(BuildInput& input, std::uint32_t binaryIndex) {
  std::uint32_t gathered[4];
  int count = 0;
  const BuildInput::BinaryNode& top = input.binary[binaryIndex];
  if (top.count > 0) {
    gathered[count++] = binaryIndex; // a tree of one leaf
  } else {
    gathered[count++] = top.left;
    gathered[count++] = top.right;
  }
  auto area = [&](std::uint32_t b) {
    const BuildInput::BinaryNode& n = input.binary[b];
    const double lo[3] = {n.lo[0], n.lo[1], n.lo[2]}, hi[3] = {n.hi[0], n.hi[1], n.hi[2]};
    return boxArea(lo, hi);
  };
  while (count < 4) {
    int widest = -1;
    for (int k = 0; k < count; ++k)
      if (input.binary[gathered[k]].count == 0 && (widest < 0 || area(gathered[k]) > area(gathered[widest])))
        widest = k;
    if (widest < 0)
      break;
    const BuildInput::BinaryNode& opened = input.binary[gathered[widest]];
    gathered[count++] = opened.right;
    gathered[widest] = opened.left;
  }

  const auto index = std::uint32_t(nodes.size());
  nodes.emplace_back();
  Node node{};
  // The grid spans the node's box with one step to spare, so rounding the
  // children's sides outwards never runs off its end.
  for (int axis = 0; axis < 3; ++axis) {
    node.origin[axis] = top.lo[axis];
    node.scale[axis] = floatAtLeast((double(top.hi[axis]) - double(top.lo[axis])) / 254.0);
  }
  for (int slot = 0; slot < 4; ++slot) {
    // an empty slot holds an empty run, harmless should a sphere reach it
    node.child[slot] = kLeafFlag;
    for (int axis = 0; axis < 3; ++axis) {
      node.lo[axis][slot] = 255;
      node.hi[axis][slot] = 0;
    }
  }
  for (int slot = 0; slot < count; ++slot) {
    const BuildInput::BinaryNode& c = input.binary[gathered[slot]];
    for (int axis = 0; axis < 3; ++axis) {
      const double o = node.origin[axis], step = node.scale[axis];
      int qLo = 0, qHi = 255;
      if (step > 0.0) {
        qLo = std::clamp(int(std::floor((double(c.lo[axis]) - o) / step)) - 1, 0, 255);
        qHi = std::clamp(int(std::ceil((double(c.hi[axis]) - o) / step)) + 1, 0, 255);
      }
      while (qLo > 0 && gridValue(node.origin[axis], node.scale[axis], std::uint8_t(qLo)) > c.lo[axis])
        --qLo;
      while (qHi < 255 && gridValue(node.origin[axis], node.scale[axis], std::uint8_t(qHi)) < c.hi[axis])
        ++qHi;
      node.lo[axis][slot] = std::uint8_t(qLo);
      node.hi[axis][slot] = std::uint8_t(qHi);
    }
  }
  for (int slot = 0; slot < count; ++slot) {
    const BuildInput::BinaryNode& c = input.binary[gathered[slot]];
    node.child[slot] = c.count > 0 ? (kLeafFlag | (c.count << kCountShift) | c.first) : collapse(input, gathered[slot]);
  }
  nodes[index] = node;
  return index;
}

// Stores the placement and what the walk needs from it: the inverse of the
// linear part and how far a world ball can reach in model space. The bottom
// row of the matrix is taken as (0, 0, 0, 1), as for every model matrix.
void CollisionModel3D::setTransform(const float* matrix) {
  // The game places each model anew before every test, mostly unmoved.
  if (matrix && placementCached && std::memcmp(matrix, placedMatrix, sizeof placedMatrix) == 0)
    return;
  placementCached = matrix != nullptr;
  if (matrix)
    std::memcpy(placedMatrix, matrix, sizeof placedMatrix);
  placementValid = matrix && allFinite(matrix, 16);
  if (!placementValid)
    return;
  for (int column = 0; column < 3; ++column)
    for (int row = 0; row < 3; ++row)
      linear[column][row] = matrix[column * 4 + row];
  translation = glm::dvec3(matrix[12], matrix[13], matrix[14]);

  const double det = glm::determinant(linear);
  placementSingular = !(det != 0.0 && std::isfinite(det));
  if (!placementSingular) {
    inverseLinear = glm::inverse(linear);
    double linearNorm2 = 0.0, inverseNorm2 = 0.0;
    for (int column = 0; column < 3; ++column) {
      linearNorm2 += glm::dot(linear[column], linear[column]);
      inverseNorm2 += glm::dot(inverseLinear[column], inverseLinear[column]);
    }
    const double condition = std::sqrt(linearNorm2 * inverseNorm2);
    placementSingular = !(std::isfinite(condition) && condition <= kMaxCondition);
    ballScale = std::sqrt(inverseNorm2);
  }
  if (placementSingular)
    return;

  // The world ball of radius r maps into the model-space ellipsoid
  // inverse * ball, which fits in a ball of radius r * |inverse|_2. The
  // Frobenius norm bounds that always; Gershgorin's bound on the smallest
  // eigenvalue of A^T A is tight for rotations with uniform scale, the game's
  // placements, and needs no trigonometry.
  const glm::dmat3 gram = glm::transpose(linear) * linear;
  double gershgorin = std::numeric_limits<double>::infinity(), smallestDiagonal = gershgorin;
  for (int i = 0; i < 3; ++i) {
    const double off = std::abs(gram[i][(i + 1) % 3]) + std::abs(gram[i][(i + 2) % 3]);
    gershgorin = std::min(gershgorin, gram[i][i] - off);
    smallestDiagonal = std::min(smallestDiagonal, gram[i][i]);
  }
  if (gershgorin > 0.0)
    ballScale = std::min(ballScale, 1.0 / std::sqrt(gershgorin));
  if (!(gershgorin > 0.999 * smallestDiagonal)) {
    // sheared or unevenly scaled: the spectral norm of the inverse itself
    const glm::dmat3 inverseGram = inverseLinear * glm::transpose(inverseLinear);
    ballScale = std::min(ballScale, std::sqrt(std::max(largestEigenvalue(inverseGram), 0.0)) * (1.0 + 1e-6));
  }
  ballScale *= 1.0 + kWalkSlack;

  // The model's bounding sphere in the world: the linear part stretches it by
  // at most its largest singular value, bounded by Gershgorin on A^T A (exact
  // for a rotation with uniform scale).
  double stretch2 = 0.0;
  for (int i = 0; i < 3; ++i)
    stretch2 = std::max(stretch2, gram[i][i] + std::abs(gram[i][(i + 1) % 3]) + std::abs(gram[i][(i + 2) % 3]));
  worldBoundCentre = linear * boundCentre + translation;
  worldBoundRadius = boundRadius * std::sqrt(stretch2) * (1.0 + kWalkSlack);

  // The ellipsoid's extent along model axis i is r times the length of row i
  // of the inverse.
  const glm::dmat3 rows = glm::transpose(inverseLinear);
  for (int axis = 0; axis < 3; ++axis)
    boxScale[axis] = glm::length(rows[axis]) * (1.0 + kWalkSlack);
  const double widest = std::max({boxScale.x, boxScale.y, boxScale.z});
  boxTestUseful = widest < 0.999 * ballScale;
}

bool CollisionModel3D::touchesInWorld(const float* v, const glm::dvec3& centre, double radiusSquared) const {
  const glm::dvec3 a = linear * glm::dvec3(v[0], v[1], v[2]) + translation;
  const glm::dvec3 b = linear * glm::dvec3(v[3], v[4], v[5]) + translation;
  const glm::dvec3 c = linear * glm::dvec3(v[6], v[7], v[8]) + translation;
  return triangleTouches(a, b, c, centre, radiusSquared);
}

bool CollisionModel3D::touchesAnyTriangle(const glm::dvec3& centre, double radiusSquared) const {
  for (std::size_t t = 0; t < triangles.size(); t += 9)
    if (touchesInWorld(&triangles[t], centre, radiusSquared))
      return true;
  return false;
}

// The walk: model-space boxes against a ball (and, under shear, a box) that
// holds the sphere's image, nearer child first, leaving at the first triangle
// that touches.
bool CollisionModel3D::sphereCollision(const float* centre, float radius) {
  if (!finalized) {
    if (!warnedEarlyQuery)
      messageStream() << "Kollisionsmodell: Abfrage vor finalize findet nichts." << std::endl;
    warnedEarlyQuery = true;
    return false;
  }
  if (!centre || nodes.empty() || !placementValid || !allFinite(centre, 3) || !(radius >= 0.0f))
    return false;
  const glm::dvec3 world(centre[0], centre[1], centre[2]);
  const double r = radius;
  const double radiusSquared = r * r;
  if (placementSingular)
    return touchesAnyTriangle(world, radiusSquared);

  if (boundUsable) {
    const double reach = worldBoundRadius + r;
    const glm::dvec3 away = world - worldBoundCentre;
    if (glm::dot(away, away) > reach * reach * (1.0 + 4.0 * kWalkSlack))
      return false;
  }

  const glm::dvec3 offset = world - translation;
  const glm::dvec3 local = inverseLinear * offset;
  const double reach = r * ballScale;
  // rounding of the model-space centre is relative to the distances involved
  const double slack =
      kWalkSlack * (ballScale * (std::abs(offset.x) + std::abs(offset.y) + std::abs(offset.z)) + reach);
  const double ball = reach + slack;
  const double ballSquared = ball * ball;
  const glm::dvec3 half = r * boxScale + slack;
  const glm::dvec3 boxLo = local - half, boxHi = local + half;

  WalkBall walk{};
  walk.centre = local;
  walk.ballSquared = ballSquared;
  walk.boxLo = boxLo;
  walk.boxHi = boxHi;
  walk.useBox = boxTestUseful;
  // Floats carry the test while squares of the distances involved stay far
  // from the float limit.
  walk.floatsSuffice =
      ballSquared < 1e36 && std::abs(local.x) < 1e30 && std::abs(local.y) < 1e30 && std::abs(local.z) < 1e30;
  if (walk.floatsSuffice) {
    for (int axis = 0; axis < 3; ++axis) {
      walk.centreF[axis] = float(local[axis]);
      walk.boxLoF[axis] = -floatAtLeast(-boxLo[axis]);
      walk.boxHiF[axis] = floatAtLeast(boxHi[axis]);
    }
    // room for the rounding of three squares and their sum
    walk.ballSquaredF = floatAtLeast(ballSquared * (1.0 + 1e-5));
  }

  std::uint32_t stack[kWalkStackSize];
  int top = 0;
  stack[top++] = 0;
  while (top > 0) {
    const std::uint32_t word = stack[--top];
    if (word & kLeafFlag) {
      const float* v = triangles.data() + std::size_t(word & kFirstMask) * 9;
      const std::uint32_t count = (word & ~kLeafFlag) >> kCountShift;
      for (std::uint32_t i = 0; i < count; ++i, v += 9) {
        // the triangle's own box first: most leaf triangles are out of reach
        double gap2 = 0.0;
        bool outside = false;
        for (int axis = 0; axis < 3; ++axis) {
          const double lo = std::min({v[axis], v[3 + axis], v[6 + axis]});
          const double hi = std::max({v[axis], v[3 + axis], v[6 + axis]});
          const double gap = std::max(std::max(lo - local[axis], local[axis] - hi), 0.0);
          gap2 += gap * gap;
          outside |= walk.useBox && (lo > boxHi[axis] || hi < boxLo[axis]);
        }
        if (gap2 <= ballSquared && !outside && touchesInWorld(v, world, radiusSquared))
          return true;
      }
      continue;
    }
    // The reached children are pushed farthest first, so the nearest is
    // walked next.
    const Node& node = nodes[word];
    float distance[4];
    int mask = childrenInReach(node, walk, distance);
    std::uint32_t reached[4];
    float order[4];
    int count = 0;
    for (int slot = 0; mask != 0; ++slot, mask >>= 1) {
      if (!(mask & 1))
        continue;
      const float d = distance[slot];
      int k = count++;
      for (; k > 0 && order[k - 1] < d; --k) {
        order[k] = order[k - 1];
        reached[k] = reached[k - 1];
      }
      order[k] = d;
      reached[k] = node.child[slot];
    }
    // Fetch every reached child at once, so their cache misses overlap.
    for (int k = 0; k < count; ++k) {
      const std::uint32_t child = reached[k];
      if (child & kLeafFlag) {
        const char* run = reinterpret_cast<const char*>(triangles.data() + std::size_t(child & kFirstMask) * 9);
        for (std::uint32_t line = 0; line < 9 * sizeof(float) * ((child & ~kLeafFlag) >> kCountShift); line += 64)
          prefetch(run + line);
      } else {
        prefetch(&nodes[child]);
      }
      stack[top++] = child;
    }
  }
  return false;
}

// isStatic: every placement is given per query, so a model that never moves
// needs nothing different.
CollisionModel3D* newCollisionModel3D(bool /*isStatic*/) { return new CollisionModel3D(); }
