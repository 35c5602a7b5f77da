// Triangle-soup collision model tested with spheres. Triangles are added in
// model space, finalize() builds a bounding-volume hierarchy over them, and
// each query places the model with a column-major model-to-world matrix.
// Queries are exact: a sphere touches the model when the closest point of some
// triangle lies within its radius (a distance equal to the radius touches).
//
// The tree lives in model space. A query maps the sphere into model space,
// where under a non-uniform scale or shear it becomes an ellipsoid; the tree is
// walked with a ball that encloses that ellipsoid, and every triangle the walk
// reaches is then tested exactly in world space. So the placement may be any
// affine matrix, even a singular one (the walk then visits every triangle).
//
// finalize() ends triangle input: later addTriangle calls are ignored, and a
// query before finalize() finds nothing. The model is a shell, not a solid: a
// sphere wholly inside a closed box of triangles touches none of them.
#pragma once

#include <glm/glm.hpp>

#include <cstdint>
#include <vector>

// The game's two query spheres: against the landscape's triangle model, and
// against an object's bounding-box model.
constexpr float kLandscapeHitRadius = 10.0f;
constexpr float kBoxHitRadius = 5.0f;

class CollisionModel3D {
public:
  virtual ~CollisionModel3D();

  void addTriangle(const float* v1, const float* v2, const float* v3);
  void addTriangle(float x1, float y1, float z1, float x2, float y2, float z2, float x3, float y3, float z3);
  void finalize();
  // 16 floats, column-major, translation in elements 12..14.
  void setTransform(const float* matrix);
  // centre in world space
  bool sphereCollision(const float* centre, float radius);

private:
  // One node of the flat 4-wide tree, one cache line. The boxes of its four
  // children are stored in 8 bits per side on a grid over the node's own box
  // (origin + q * scale, rounded outwards); per child either the index of its
  // node or, flagged, a run of triangles in `triangles`.
  struct alignas(64) Node {
    float origin[3];
    float scale[3];
    std::uint8_t lo[3][4];
    std::uint8_t hi[3][4];
    std::uint32_t child[4];
  };

  struct BuildInput;
  std::uint32_t buildBinary(BuildInput& input, std::uint32_t begin, std::uint32_t end, int depth);
  std::uint32_t collapse(BuildInput& input, std::uint32_t binaryIndex);
  bool touchesInWorld(const float* triangle, const glm::dvec3& centre, double radiusSquared) const;
  bool touchesAnyTriangle(const glm::dvec3& centre, double radiusSquared) const;

  // input and tree
  std::vector<float> pending;   // 9 floats per triangle, in the order added
  std::vector<float> triangles; // 9 floats per triangle, in leaf order
  std::vector<Node> nodes;
  bool finalized = false;
  bool warnedLateTriangle = false;
  bool warnedEarlyQuery = false;

  // placement: world = linear * model + translation
  glm::dmat3 linear{1.0};
  glm::dvec3 translation{0.0};
  glm::dmat3 inverseLinear{1.0};
  // a world ball of radius r lies within a model ball of radius r * ballScale
  // and within a model box of half-size r * boxScale[i] on axis i
  double ballScale = 1.0;
  glm::dvec3 boxScale{1.0};
  bool boxTestUseful = false; // only under non-uniform scale or shear
  // bounding sphere of the triangles, in model space and as placed
  glm::dvec3 boundCentre{0.0};
  double boundRadius = 0.0;
  bool boundUsable = false;
  glm::dvec3 worldBoundCentre{0.0};
  double worldBoundRadius = 0.0;
  float placedMatrix[16] = {};
  bool placementCached = false;
  bool placementValid = true;
  bool placementSingular = false;
};

// isStatic marks a model whose transform never changes (the game passes false).
CollisionModel3D* newCollisionModel3D(bool isStatic = false);
