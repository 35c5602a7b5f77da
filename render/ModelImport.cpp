#include "render/ModelImport.h"

#include <assimp/Importer.hpp>
#include <assimp/material.h>
#include <assimp/postprocess.h>
#include <assimp/scene.h>
#include <glm/glm.hpp>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <filesystem>
#include <limits>
#include <map>
#include <tuple>
#include <unordered_map>
#include <utility>

namespace {

// Whether the triangles enclose space: with the vertices welded (the import
// keeps apart the copies of a point that differ in normal or texture
// coordinate, and the pole of a lathed shape is a ring of nearly equal
// points), every edge is met by exactly one triangle in each direction.
// Triangles that weld to a line or a point are left out. A point that rounds
// apart from its twin only makes the mesh count as open. The winding must
// turn outwards (a positive volume): culled, an inside-out surface would
// vanish.
bool enclosesSpace(const std::vector<std::uint32_t>& indices, const std::vector<float>& positions) {
  const std::size_t vertices = positions.size() / 3;
  if (indices.empty() || indices.size() % 3 != 0 ||
      std::any_of(indices.begin(), indices.end(), [vertices](std::uint32_t i) { return i >= vertices; }))
    return false;
  glm::vec3 low(std::numeric_limits<float>::max()), high(-std::numeric_limits<float>::max());
  for (std::size_t v = 0; v < vertices; ++v) {
    const glm::vec3 p(positions[3 * v], positions[3 * v + 1], positions[3 * v + 2]);
    low = glm::min(low, p);
    high = glm::max(high, p);
  }
  const double weld = std::max(1e-5 * static_cast<double>(glm::length(high - low)), 1e-9);
  std::map<std::tuple<long long, long long, long long>, std::uint32_t> ids;
  std::vector<std::uint32_t> point(vertices);
  for (std::size_t v = 0; v < vertices; ++v) {
    const auto grid = [&](std::size_t k) { return std::llround(static_cast<double>(positions[3 * v + k]) / weld); };
    point[v] =
        ids.emplace(std::make_tuple(grid(0), grid(1), grid(2)), static_cast<std::uint32_t>(ids.size())).first->second;
  }
  std::unordered_map<std::uint64_t, int> edges; // directed, point to point
  const auto key = [](std::uint32_t from, std::uint32_t to) { return (std::uint64_t{from} << 32) | to; };
  const auto at = [&](std::uint32_t i) {
    return glm::dvec3(positions[3 * i], positions[3 * i + 1], positions[3 * i + 2]) - glm::dvec3(low);
  };
  double volume = 0.0; // six times the signed volume
  for (std::size_t t = 0; t < indices.size(); t += 3) {
    const std::uint32_t a = point[indices[t]], b = point[indices[t + 1]], c = point[indices[t + 2]];
    if (a == b || b == c || c == a)
      continue;
    ++edges[key(a, b)], ++edges[key(b, c)], ++edges[key(c, a)];
    volume += glm::dot(at(indices[t]), glm::cross(at(indices[t + 1]), at(indices[t + 2])));
  }
  if (edges.empty() || !(volume > 0.0))
    return false;
  for (const auto& [edge, count] : edges) {
    const auto twin = edges.find(key(static_cast<std::uint32_t>(edge), static_cast<std::uint32_t>(edge >> 32)));
    if (count != 1 || twin == edges.end() || twin->second != 1)
      return false;
  }
  return true;
}

constexpr std::size_t kMaxTexturePath = 1024;
const std::string kModelFolder = "Modelle/";

using ResultPtr = std::shared_ptr<const ModelImport::Result>;

// What a file looked like when it was read: a result is only reused while
// the file still looks the same.
struct FileStamp {
  bool exists = false;
  std::uintmax_t size = 0;
  std::filesystem::file_time_type modified{};
  bool operator==(const FileStamp& other) const {
    return exists == other.exists && size == other.size && modified == other.modified;
  }
};

FileStamp stampOf(const std::string& path) {
  std::error_code error;
  FileStamp stamp;
  stamp.size = std::filesystem::file_size(path, error);
  if (error)
    return FileStamp{};
  stamp.modified = std::filesystem::last_write_time(path, error);
  stamp.exists = !error;
  return stamp;
}

// The results of the open scopes (there is one thread: no lock).
struct Sharing {
  int scopes = 0;
  std::map<std::string, std::pair<FileStamp, ResultPtr>> results;
};

Sharing& sharing() {
  static Sharing instance;
  return instance;
}

void copyColour(const aiColor3D& from, float* to) { to[0] = from.r, to[1] = from.g, to[2] = from.b; }

} // namespace

ModelImport::SharingScope::SharingScope() { ++sharing().scopes; }

ModelImport::SharingScope::~SharingScope() {
  if (--sharing().scopes == 0)
    sharing().results.clear();
}

std::shared_ptr<const ModelImport::Result> ModelImport::read(const std::string& path) {
  Sharing& shared = sharing();
  if (shared.scopes == 0)
    return readFile(path);
  const FileStamp stamp = stampOf(path);
  auto& [knownStamp, result] = shared.results[path];
  if (!result || !(knownStamp == stamp)) {
    knownStamp = stamp;
    result = readFile(path);
  }
  return result;
}

std::shared_ptr<const ModelImport::Result> ModelImport::readFile(const std::string& path) {
  auto model = std::make_shared<Result>();
  Assimp::Importer importer;
  const aiScene* scene = importer.ReadFile(path, ModelImport::kImportFlags);
  if (!scene) {
    model->error = importer.GetErrorString();
    return model;
  }

  // Every mesh takes the colours of material 0.
  float diffuse[3] = {0, 0, 0}, specular[3] = {0, 0, 0}, shininess = 0.0f;
  const bool hasMaterials = scene->mNumMaterials > 0;
  if (hasMaterials) {
    const aiMaterial* material = scene->mMaterials[0];
    aiColor4D colour;
    if (aiGetMaterialColor(material, AI_MATKEY_COLOR_DIFFUSE, &colour) == AI_SUCCESS) {
      diffuse[0] = colour.r, diffuse[1] = colour.g, diffuse[2] = colour.b;
    }
    if (aiGetMaterialColor(material, AI_MATKEY_COLOR_SPECULAR, &colour) == AI_SUCCESS) {
      specular[0] = colour.r, specular[1] = colour.g, specular[2] = colour.b;
    }
    unsigned count = 1;
    if (aiGetMaterialFloatArray(material, AI_MATKEY_SHININESS, &shininess, &count) != AI_SUCCESS)
      shininess = 0.0f;
  }

  const float greatest = std::numeric_limits<float>::max();
  glm::vec3 boxMin(greatest), boxMax(-greatest);

  model->meshes.reserve(scene->mNumMeshes);
  for (unsigned i = 0; i < scene->mNumMeshes; ++i) {
    const aiMesh* mesh = scene->mMeshes[i];
    MeshData& data = model->meshes.emplace_back();
    data.vertexCount = mesh->mNumVertices;
    data.positions.resize(3u * mesh->mNumVertices);
    data.normals.assign(3u * mesh->mNumVertices, 0.0f);
    for (unsigned v = 0; v < mesh->mNumVertices; ++v) {
      const aiVector3D& p = mesh->mVertices[v];
      data.positions[3 * v] = p.x, data.positions[3 * v + 1] = p.y, data.positions[3 * v + 2] = p.z;
      if (mesh->mNormals) {
        const aiVector3D& n = mesh->mNormals[v];
        data.normals[3 * v] = n.x, data.normals[3 * v + 1] = n.y, data.normals[3 * v + 2] = n.z;
      }
      boxMin = glm::min(boxMin, glm::vec3(p.x, p.y, p.z));
      boxMax = glm::max(boxMax, glm::vec3(p.x, p.y, p.z));
    }
    if (hasMaterials && mesh->HasTextureCoords(0)) {
      data.hasUvs = true;
      data.uvs.resize(2u * mesh->mNumVertices);
      for (unsigned v = 0; v < mesh->mNumVertices; ++v) {
        data.uvs[2 * v] = mesh->mTextureCoords[0][v].x;
        data.uvs[2 * v + 1] = mesh->mTextureCoords[0][v].y;
      }
    }
    data.indices.reserve(3u * mesh->mNumFaces);
    for (unsigned f = 0; f < mesh->mNumFaces; ++f) {
      const aiFace& face = mesh->mFaces[f];
      // SortByPType may leave point or line faces; they are no triangles
      if (face.mNumIndices < 3)
        continue;
      for (unsigned k = 0; k < 3; ++k)
        data.indices.push_back(face.mIndices[k]);
    }
    data.indexCount = static_cast<std::uint32_t>(data.indices.size());
    std::copy(diffuse, diffuse + 3, data.diffuse);
    std::copy(specular, specular + 3, data.specular);
    data.shininess = shininess;

    // The texture of material i goes to mesh i, whatever the mesh refers to.
    if (hasMaterials && i < scene->mNumMaterials) {
      aiString texture;
      if (aiGetMaterialTexture(scene->mMaterials[i], aiTextureType_DIFFUSE, 0, &texture) == AI_SUCCESS) {
        const std::string relative(texture.C_Str());
        if (!relative.empty() && kModelFolder.size() + relative.size() < kMaxTexturePath)
          data.texturePath = kModelFolder + relative;
        else
          data.texturePath = kModelFolder;
      }
    }

    // The collision surface is the drawn surface: the triangles of the index
    // list, after the import has joined identical vertices.
    const float* p = data.positions.data();
    for (std::size_t t = 0; t + 2 < data.indices.size(); t += 3) {
      const float* a = p + 3 * data.indices[t];
      const float* b = p + 3 * data.indices[t + 1];
      const float* c = p + 3 * data.indices[t + 2];
      model->meshCollision.addTriangle(a[0], a[1], a[2], b[0], b[1], b[2], c[0], c[1], c[2]);
    }
    data.tiles.arrange(data.indices, data.positions);
    data.closed = enclosesSpace(data.indices, data.positions);
  }
  model->meshCollision.finalize();

  const float x0 = boxMin.x, y0 = boxMin.y, z0 = boxMin.z;
  const float x1 = boxMax.x, y1 = boxMax.y, z1 = boxMax.z;
  const float corners[12][9] = {
      {x0, y1, z1, x0, y0, z1, x1, y0, z1}, {x0, y1, z1, x1, y0, z1, x1, y1, z1}, // z = max
      {x1, y1, z1, x1, y0, z1, x1, y0, z0}, {x1, y1, z1, x1, y0, z0, x1, y1, z0}, // x = max
      {x1, y1, z0, x1, y0, z0, x0, y0, z0}, {x1, y1, z0, x0, y0, z0, x0, y1, z0}, // z = min
      {x0, y1, z0, x0, y0, z0, x0, y0, z1}, {x0, y1, z0, x0, y0, z1, x0, y1, z1}, // x = min
      {x0, y1, z0, x0, y1, z1, x1, y1, z1}, {x0, y1, z0, x1, y1, z1, x1, y1, z0}, // y = max
      {x0, y0, z1, x0, y0, z0, x1, y0, z0}, {x0, y0, z1, x1, y0, z0, x1, y0, z1}, // y = min
  };
  for (const auto& t : corners)
    model->boxCollision.addTriangle(t, t + 3, t + 6);
  model->boxCollision.finalize();

  const float dx = x1 - x0, dy = y1 - y0, dz = z1 - z0;
  model->boundingRadius = 0.5f * std::sqrt(dy * dy + dx * dx + dz * dz);
  model->boxMin = boxMin;
  model->boxMax = boxMax;

  for (unsigned i = 0; i < scene->mNumLights; ++i) {
    const aiLight* source = scene->mLights[i];
    Light& light = model->lights.emplace_back();
    light.constantAttenuation = source->mAttenuationConstant;
    light.linearAttenuation = source->mAttenuationLinear;
    light.quadraticAttenuation = source->mAttenuationQuadratic;
    copyColour(source->mColorAmbient, light.ambient);
    copyColour(source->mColorDiffuse, light.diffuse);
    copyColour(source->mColorSpecular, light.specular);
    light.direction[0] = source->mDirection.x, light.direction[1] = source->mDirection.y;
    light.direction[2] = source->mDirection.z;
    light.position[0] = source->mPosition.x, light.position[1] = source->mPosition.y;
    light.position[2] = source->mPosition.z;
  }
  model->loaded = true;
  return model;
}
