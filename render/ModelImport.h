// Reading a COLLADA model into plain data, away from GL: meshes with their
// material colours and texture paths, lights, the two finalized collision
// models (surface and bounding box) and the bounding radius. SceneObject
// takes a copy of the result and uploads it.
//
// Start-up spends much of its time here: while a SharingScope is alive, every
// object made from the same file gets the same result (seventeen enemies read
// their three models once). A result is only reused while
// its file keeps its size and modification time; outside a scope every read
// is fresh.
#pragma once

#include "render/CollisionModel3D.h"
#include "render/Light.h"
#include "render/MeshData.h"

#include <glm/glm.hpp>

#include <memory>
#include <string>
#include <vector>

class ModelImport {
public:
  // Assimp's flags for every model: JoinIdenticalVertices | Triangulate |
  // GenSmoothNormals | PreTransformVertices | ImproveCacheLocality | SortByPType
  static constexpr unsigned kImportFlags = 0x894A;

  struct Result {
    bool loaded = false;
    std::string error; // the importer's text when nothing was loaded
    std::vector<MeshData> meshes;
    std::vector<Light> lights; // in file order
    CollisionModel3D meshCollision;
    CollisionModel3D boxCollision;
    float boundingRadius = 0.0f;
    // the box around every vertex; min above max when there is none
    glm::vec3 boxMin{0.0f};
    glm::vec3 boxMax{0.0f};
  };

  // Within its lifetime, reads of one file share one result. Scopes nest.
  class SharingScope {
  public:
    SharingScope();
    ~SharingScope();
    SharingScope(const SharingScope&) = delete;
    SharingScope& operator=(const SharingScope&) = delete;
  };

  // The model in `path`: the shared result where there is one, else read now.
  static std::shared_ptr<const Result> read(const std::string& path);

  // Reads the file, sharing nothing.
  static std::shared_ptr<const Result> readFile(const std::string& path);
};
