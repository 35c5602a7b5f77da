// Triangle-soup collision model tested with spheres. Triangles are added in
// model space, finalize() builds a bounding-volume hierarchy over them, and
// each query places the model with a column-major model-to-world matrix.
// Queries are exact: a sphere touches the model when the closest point of some
// triangle lies within its radius.
#pragma once

class CollisionModel3D {
public:
  // (implementation details are private to render/CollisionModel3D.cpp)
  virtual ~CollisionModel3D();

  void addTriangle(const float* v1, const float* v2, const float* v3);
  void addTriangle(float x1, float y1, float z1, float x2, float y2, float z2, float x3, float y3, float z3);
  void finalize();
  // 16 floats, column-major, translation in elements 12..14.
  void setTransform(const float* matrix);
  // centre in world space
  bool sphereCollision(const float* centre, float radius);
};

// isStatic marks a model whose transform never changes (the game passes false).
CollisionModel3D* newCollisionModel3D(bool isStatic = false);
