#include "render/ModelImport.h"

#include "base/ContentFiles.h"

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
#include <utility>

namespace {

constexpr std::size_t kMaxTexturePath = 1024;
const std::string kModelFolder = std::string(content::kModelFolder) + "/";

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
