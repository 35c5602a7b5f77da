// The generated models as the game imports them (Assimp with the game's flag
// set): triangles with normals and one UV set, a textured material per mesh,
// the lights of the landscape and the monitor, and shapes of the right size.
#include "render/ModelImport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <string>

#include <IL/il.h>
#include <assimp/Importer.hpp>
#include <assimp/postprocess.h>
#include <assimp/scene.h>
#include <glm/glm.hpp>
#include <glm/gtc/matrix_transform.hpp>

namespace {

struct Box {
  glm::vec3 lo{1e30f}, hi{-1e30f};
  glm::vec3 size() const { return hi - lo; }
  glm::vec3 centre() const { return (lo + hi) * 0.5f; }
  void add(const aiVector3D& v) {
    lo = glm::min(lo, glm::vec3(v.x, v.y, v.z));
    hi = glm::max(hi, glm::vec3(v.x, v.y, v.z));
  }
};

Box meshBox(const aiMesh* mesh) {
  Box box;
  for (unsigned v = 0; v < mesh->mNumVertices; ++v)
    box.add(mesh->mVertices[v]);
  return box;
}

Box sceneBox(const aiScene* scene) {
  Box box;
  for (unsigned m = 0; m < scene->mNumMeshes; ++m)
    for (unsigned v = 0; v < scene->mMeshes[m]->mNumVertices; ++v)
      box.add(scene->mMeshes[m]->mVertices[v]);
  return box;
}

size_t triangleCount(const aiScene* scene) {
  size_t total = 0;
  for (unsigned m = 0; m < scene->mNumMeshes; ++m)
    total += scene->mMeshes[m]->mNumFaces;
  return total;
}

std::string texturePath(const aiScene* scene, unsigned material) {
  aiString path;
  if (material >= scene->mNumMaterials ||
      scene->mMaterials[material]->GetTexture(aiTextureType_DIFFUSE, 0, &path) != AI_SUCCESS)
    return "";
  return std::string("Modelle/") + path.C_Str();
}

// Width and height of a PNG as the game's image loader sees it; (0, 0) if it fails.
glm::ivec2 imageSize(const std::string& path) {
  ilInit();
  ILuint image = 0;
  ilGenImages(1, &image);
  ilBindImage(image);
  glm::ivec2 size(0);
  if (ilLoadImage(path.c_str()))
    size = glm::ivec2(ilGetInteger(IL_IMAGE_WIDTH), ilGetInteger(IL_IMAGE_HEIGHT));
  ilBindImage(0);
  ilDeleteImages(1, &image);
  return size;
}

class ContentModel : public ::testing::TestWithParam<const char*> {};

} // namespace

TEST_P(ContentModel, ImportsAsTexturedTrianglesWithOneMaterialPerMesh) {
  Assimp::Importer importer;
  const aiScene* scene = importer.ReadFile(std::string("Modelle/") + GetParam(), ModelImport::kImportFlags);
  ASSERT_NE(scene, nullptr) << importer.GetErrorString();
  ASSERT_GE(scene->mNumMeshes, 1u);
  ASSERT_GE(scene->mNumMaterials, scene->mNumMeshes);
  for (unsigned m = 0; m < scene->mNumMeshes; ++m) {
    SCOPED_TRACE("mesh " + std::to_string(m));
    const aiMesh* mesh = scene->mMeshes[m];
    EXPECT_TRUE(mesh->HasNormals());
    EXPECT_TRUE(mesh->HasTextureCoords(0));
    EXPECT_FALSE(mesh->HasTextureCoords(1));
    // The game gives mesh i the texture of material i: they must belong together.
    EXPECT_EQ(mesh->mMaterialIndex, m);
    for (unsigned f = 0; f < mesh->mNumFaces; ++f) {
      ASSERT_EQ(mesh->mFaces[f].mNumIndices, 3u);
      for (unsigned k = 0; k < 3; ++k)
        ASSERT_LT(mesh->mFaces[f].mIndices[k], mesh->mNumVertices);
    }
    const std::string texture = texturePath(scene, m);
    ASSERT_FALSE(texture.empty());
    EXPECT_LT(texture.size(), 1024u);
    const glm::ivec2 size = imageSize(texture);
    EXPECT_GT(size.x, 0) << texture;
    EXPECT_GT(size.y, 0) << texture;
  }
}

INSTANTIATE_TEST_SUITE_P(EveryModel, ContentModel,
                         ::testing::Values("UmgebungGross.dae", "WasserNormal.dae", "SchneckeModell.dae",
                                           "Wollknaeuel.dae", "WollknaeuelSuperschussLevel1.dae", "HummelotModell.dae",
                                           "Hummelot_Rotorblatt_Modell.dae", "LaserschussModell.dae", "Monitor.dae"));

TEST(ContentLandscape, CoversTheLevelWithinTheTriangleBudget) {
  Assimp::Importer importer;
  const aiScene* scene = importer.ReadFile("Modelle/UmgebungGross.dae", ModelImport::kImportFlags);
  ASSERT_NE(scene, nullptr);
  // Placed at (1, 1, 1): world x and z -2000..2000 need model -2001..1999.
  const Box box = sceneBox(scene);
  EXPECT_LE(box.lo.x, -2001.0f);
  EXPECT_GE(box.hi.x, 1999.0f);
  EXPECT_LE(box.lo.z, -2001.0f);
  EXPECT_GE(box.hi.z, 1999.0f);
  EXPECT_GE(triangleCount(scene), 20000u);
  EXPECT_LE(triangleCount(scene), 100000u);
  // Dull ground: some specular, no mirror.
  aiColor4D specular;
  float shininess = 0;
  ASSERT_EQ(aiGetMaterialColor(scene->mMaterials[0], AI_MATKEY_COLOR_SPECULAR, &specular), AI_SUCCESS);
  ASSERT_EQ(aiGetMaterialFloat(scene->mMaterials[0], AI_MATKEY_SHININESS, &shininess), AI_SUCCESS);
  EXPECT_LT(specular.r, 0.3f);
  EXPECT_GT(shininess, 0.0f);
  // The ground texture is baked at 1024 x 1024 or finer.
  const glm::ivec2 ground = imageSize(texturePath(scene, 0));
  EXPECT_GE(ground.x, 1024);
  EXPECT_GE(ground.y, 1024);
}

// Light 0 is the sun: the shadow pass looks from it at the player through the
// camera's 60 degree perspective, so the ground around the start must be in view.
TEST(ContentLandscape, SunLooksDownOnTheGroundAroundThePlayer) {
  Assimp::Importer importer;
  const aiScene* scene = importer.ReadFile("Modelle/UmgebungGross.dae", ModelImport::kImportFlags);
  ASSERT_NE(scene, nullptr);
  ASSERT_GE(scene->mNumLights, 1u);
  const aiLight* sun = scene->mLights[0];
  EXPECT_EQ(sun->mType, aiLightSource_POINT);
  EXPECT_FLOAT_EQ(sun->mAttenuationConstant, 1.0f);
  EXPECT_FLOAT_EQ(sun->mAttenuationLinear, 0.0f);
  EXPECT_FLOAT_EQ(sun->mAttenuationQuadratic, 0.0f);
  EXPECT_GT(sun->mColorDiffuse.r, 0.8f);
  const glm::vec3 sunWorld = glm::vec3(sun->mPosition.x, sun->mPosition.y, sun->mPosition.z) + glm::vec3(1.0f);
  EXPECT_GE(sunWorld.y, 1000.0f);

  const glm::vec3 player(0.0f, 500.0f, 400.0f);
  const glm::mat4 view = glm::lookAt(sunWorld, player, glm::vec3(0, 1, 0));
  const glm::mat4 projection = glm::perspective(glm::radians(60.0f), 800.0f / 600.0f, 0.1f, 6500.0f);
  // Ground points 300 units around the start, at the lowest and highest ground there.
  for (float ground : {0.0f, 250.0f})
    for (int k = 0; k < 8; ++k) {
      const float a = k * 3.14159265f / 4.0f;
      const glm::vec4 clip =
          projection * view * glm::vec4(300.0f * std::cos(a), ground, 400.0f + 300.0f * std::sin(a), 1);
      ASSERT_GT(clip.w, 0.0f);
      EXPECT_LT(std::fabs(clip.x / clip.w), 1.0f) << k;
      EXPECT_LT(std::fabs(clip.y / clip.w), 1.0f) << k;
    }
}

TEST(ContentWater, FlatTiledPlaneAtModelHeightZero) {
  Assimp::Importer importer;
  const aiScene* scene = importer.ReadFile("Modelle/WasserNormal.dae", ModelImport::kImportFlags);
  ASSERT_NE(scene, nullptr);
  const Box box = sceneBox(scene);
  EXPECT_FLOAT_EQ(box.lo.y, 0.0f);
  EXPECT_FLOAT_EQ(box.hi.y, 0.0f);
  EXPECT_LE(box.lo.x, -2000.0f);
  EXPECT_GE(box.hi.x, 2000.0f);
  EXPECT_LE(box.lo.z, -2000.0f);
  EXPECT_GE(box.hi.z, 2000.0f);
  // The normal map repeats many times across the plane.
  const aiMesh* mesh = scene->mMeshes[0];
  float uLo = 1e9f, uHi = -1e9f;
  for (unsigned v = 0; v < mesh->mNumVertices; ++v) {
    uLo = std::min(uLo, mesh->mTextureCoords[0][v].x);
    uHi = std::max(uHi, mesh->mTextureCoords[0][v].x);
    EXPECT_NEAR(mesh->mNormals[v].y, 1.0f, 1e-5f);
  }
  EXPECT_GE(uHi - uLo, 20.0f);
}

// The water normal map has z up (blue near full) and no seam where it repeats.
TEST(ContentWater, NormalMapTilesWithoutSeam) {
  Assimp::Importer importer;
  const aiScene* scene = importer.ReadFile("Modelle/WasserNormal.dae", ModelImport::kImportFlags);
  ASSERT_NE(scene, nullptr);
  ilInit();
  ILuint image = 0;
  ilGenImages(1, &image);
  ilBindImage(image);
  ASSERT_TRUE(ilLoadImage(texturePath(scene, 0).c_str()));
  ASSERT_TRUE(ilConvertImage(IL_RGBA, IL_UNSIGNED_BYTE));
  const int w = ilGetInteger(IL_IMAGE_WIDTH), h = ilGetInteger(IL_IMAGE_HEIGHT);
  const ILubyte* data = ilGetData();
  auto at = [&](int x, int y, int c) { return static_cast<int>(data[(y * w + x) * 4 + c]); };
  double blue = 0, seam = 0, inside = 0;
  for (int y = 0; y < h; ++y) {
    blue += at(w / 2, y, 2);
    for (int c = 0; c < 3; ++c) {
      seam += std::abs(at(w - 1, y, c) - at(0, y, c)) + std::abs(at(y % w, h - 1, c) - at(y % w, 0, c));
      inside +=
          std::abs(at(w / 2, y, c) - at(w / 2 - 1, y, c)) + std::abs(at(y % w, h / 2, c) - at(y % w, h / 2 - 1, c));
    }
  }
  ilBindImage(0);
  ilDeleteImages(1, &image);
  EXPECT_GT(blue / h, 200.0);
  // Across the wrap the picture changes no more than between two inner neighbours (plus rounding).
  EXPECT_LE(seam, 1.5 * inside + 6.0 * h);
}

TEST(ContentCharacters, SizesFitTheirRoles) {
  auto box = [](const char* file) {
    Assimp::Importer importer;
    const aiScene* scene = importer.ReadFile(std::string("Modelle/") + file, ModelImport::kImportFlags);
    EXPECT_NE(scene, nullptr) << file;
    return scene ? sceneBox(scene) : Box{};
  };
  // The snail flies at unit scale, 2 to 3 units from head to tail (Z).
  const Box snail = box("SchneckeModell.dae");
  EXPECT_GE(snail.size().z, 2.0f);
  EXPECT_LE(snail.size().z, 3.0f);
  // The super shot is clearly bigger than the normal ball of wool.
  const Box wool = box("Wollknaeuel.dae"), super = box("WollknaeuelSuperschussLevel1.dae");
  EXPECT_GE(super.size().x, 1.6f * wool.size().x);
  EXPECT_GE(super.size().y, 1.6f * wool.size().y);
  // The enemy body is 4 to 6 model units long; the game doubles it.
  const Box bee = box("HummelotModell.dae");
  EXPECT_GE(bee.size().z, 4.0f);
  EXPECT_LE(bee.size().z, 6.0f);
  // The rotor turns about the enemy's Y axis: its blades balance around it
  // (mean of the vertices on the axis) and it sits on top of the body.
  const Box rotor = box("Hummelot_Rotorblatt_Modell.dae");
  {
    Assimp::Importer importer;
    const aiScene* scene = importer.ReadFile("Modelle/Hummelot_Rotorblatt_Modell.dae", ModelImport::kImportFlags);
    ASSERT_NE(scene, nullptr);
    glm::dvec3 sum(0.0);
    size_t count = 0;
    for (unsigned m = 0; m < scene->mNumMeshes; ++m)
      for (unsigned v = 0; v < scene->mMeshes[m]->mNumVertices; ++v, ++count)
        sum += glm::dvec3(scene->mMeshes[m]->mVertices[v].x, 0.0, scene->mMeshes[m]->mVertices[v].z);
    EXPECT_NEAR(sum.x / count, 0.0, 0.05);
    EXPECT_NEAR(sum.z / count, 0.0, 0.05);
  }
  EXPECT_GE(rotor.lo.y, bee.hi.y - 0.1f);
  EXPECT_GE(rotor.size().x, 0.7f * bee.size().z);
  // The laser bolt is long along Z.
  const Box laser = box("LaserschussModell.dae");
  EXPECT_GE(laser.size().z, 3.0f * laser.size().x);
  EXPECT_GE(laser.size().z, 3.0f * laser.size().y);
}

TEST(ContentMonitor, ScreenIsMeshZeroFacingForwardWithItsTextureUpright) {
  Assimp::Importer importer;
  const aiScene* scene = importer.ReadFile("Modelle/Monitor.dae", ModelImport::kImportFlags);
  ASSERT_NE(scene, nullptr);
  const aiMesh* screen = scene->mMeshes[0];
  const Box box = meshBox(screen);
  EXPECT_NEAR(box.size().x, 2.0f, 0.2f);
  EXPECT_NEAR(box.centre().x, 0.0f, 0.05f);
  EXPECT_NEAR(box.centre().y, 0.0f, 0.05f);
  EXPECT_NEAR(box.size().z, 0.0f, 1e-4f);
  for (unsigned v = 0; v < screen->mNumVertices; ++v)
    EXPECT_NEAR(screen->mNormals[v].z, 1.0f, 1e-4f);
  // Texture coordinates grow with x and y (upright, not mirrored), cover the
  // status layout x 25..679, y 212..1009 of the 1024 texture, undistorted.
  glm::vec2 uvLo(1e9f), uvHi(-1e9f);
  for (unsigned v = 0; v < screen->mNumVertices; ++v) {
    const aiVector3D& p = screen->mVertices[v];
    const glm::vec2 uv(screen->mTextureCoords[0][v].x, screen->mTextureCoords[0][v].y);
    uvLo = glm::min(uvLo, uv);
    uvHi = glm::max(uvHi, uv);
    EXPECT_EQ(p.x > box.centre().x, uv.x > 0.5f * (704.0f / 1024.0f));
    EXPECT_EQ(p.y > box.centre().y, uv.y > (192.0f + 416.0f) / 1024.0f);
  }
  EXPECT_LE(uvLo.x * 1024.0f, 25.0f);
  EXPECT_GE(uvHi.x * 1024.0f, 679.0f);
  EXPECT_LE(uvLo.y * 1024.0f, 212.0f);
  EXPECT_GE(uvHi.y * 1024.0f, 1009.0f);
  EXPECT_LE(uvHi.x, 1.0f);
  EXPECT_LE(uvHi.y, 1.0f);
  const float texelAspect = (uvHi.y - uvLo.y) / (uvHi.x - uvLo.x);
  EXPECT_NEAR(box.size().y / box.size().x, texelAspect, 0.02f * texelAspect);
  const glm::ivec2 size = imageSize(texturePath(scene, 0));
  EXPECT_EQ(size.x, 1024);
  EXPECT_EQ(size.y, 1024);
}

TEST(ContentMonitor, CarriesOneScreenLightInFrontOfTheScreen) {
  Assimp::Importer importer;
  const aiScene* scene = importer.ReadFile("Modelle/Monitor.dae", ModelImport::kImportFlags);
  ASSERT_NE(scene, nullptr);
  ASSERT_EQ(scene->mNumLights, 1u);
  const aiLight* light = scene->mLights[0];
  EXPECT_EQ(light->mType, aiLightSource_POINT);
  EXPECT_GT(light->mPosition.z, 0.0f);
  // Strong falloff: bright on the screen, faint 100 units away.
  auto attenuation = [light](float d) {
    return 1.0f / (light->mAttenuationConstant + light->mAttenuationLinear * d + light->mAttenuationQuadratic * d * d);
  };
  EXPECT_GT(attenuation(1.0f), 0.5f);
  EXPECT_LT(attenuation(100.0f), 0.01f);
}
