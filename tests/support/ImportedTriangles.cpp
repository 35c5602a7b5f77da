#include "tests/support/ImportedTriangles.h"

#include "render/ModelImport.h"

#include <assimp/Importer.hpp>
#include <assimp/scene.h>

namespace felidora::test {

std::vector<float> importedTriangles(const std::string& path) {
  Assimp::Importer importer;
  const aiScene* scene = importer.ReadFile(path, ModelImport::kImportFlags);
  std::vector<float> t;
  if (!scene)
    return t;
  for (unsigned m = 0; m < scene->mNumMeshes; ++m) {
    const aiMesh* mesh = scene->mMeshes[m];
    for (unsigned f = 0; f < mesh->mNumFaces; ++f) {
      const aiFace& face = mesh->mFaces[f];
      if (face.mNumIndices != 3)
        continue;
      for (unsigned k = 0; k < 3; ++k) {
        const aiVector3D& v = mesh->mVertices[face.mIndices[k]];
        t.insert(t.end(), {v.x, v.y, v.z});
      }
    }
  }
  return t;
}

} // namespace felidora::test
