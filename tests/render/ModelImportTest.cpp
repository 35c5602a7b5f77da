// Model import: small COLLADA scenes written here are read back into meshes,
// colours, texture paths, bounding box, radius, the box model and lights.
#include "render/ModelImport.h"
#include "render/CollisionModel3D.h"
#include "render/SceneObject.h"
#include "render/Shader.h"
#include "tests/support/ColladaFixture.h"
#include "tests/support/GlContext.h"
#include "tests/support/MessageCapture.h"

#include <GL/glew.h>
#include <glm/gtc/matrix_transform.hpp>
#include <glm/gtc/type_ptr.hpp>
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <limits>

namespace {

using felidora::test::FixtureMesh;
using felidora::test::writeCollada;

// A plain object for tests: import and upload only.
class TestObject : public SceneObject {
public:
  using SceneObject::SceneObject;
  void update(double, Game*) override {}
};

// Two separate triangles: (0,0,0)-(1,0,0)-(0,1,0) and (0,0,2)-(2,0,2)-(0,2,2).
FixtureMesh twoTriangles(float shiftX = 0.0f) {
  FixtureMesh m;
  m.positions = {0, 0, 0, 1, 0, 0, 0, 1, 0, 0, 0, 2, 2, 0, 2, 0, 2, 2};
  for (std::size_t i = 0; i < m.positions.size(); i += 3)
    m.positions[i] += shiftX;
  m.uvs = {0, 0, 1, 0, 0, 1, 0, 0, 1, 0, 0, 1};
  m.triangles = {0, 1, 2, 3, 4, 5};
  return m;
}

class ModelImportTest : public ::testing::Test {
protected:
  void SetUp() override {
    FELIDORA_REQUIRE_GL();
    shader = std::make_unique<Shader>("Shader/OurVertexShader.vert", "Shader/OurFragmentShader.frag");
    depth = std::make_unique<Shader>("Shader/ShadowMap.vert", "Shader/ShadowMap.frag");
  }
  std::unique_ptr<Shader> shader, depth;
};

TEST_F(ModelImportTest, TwoMeshesShareMaterialZeroColoursButOnlyMeshZeroGetsItsTexture) {
  // The import merges meshes that share a material and vertex layout, so the
  // second mesh comes without a uv set.
  FixtureMesh second = twoTriangles(10.0f);
  second.uvs.clear();
  const std::string path = writeCollada("two.dae", {twoTriangles(), second}, true, "holz.png", {});
  TestObject object(shader.get(), depth.get());
  ASSERT_TRUE(object.loadModel(path));
  ASSERT_EQ(object.meshes.size(), 2u);
  // (the import may put either mesh first)
  EXPECT_NE(object.meshes[0]->hasUvs, object.meshes[1]->hasUvs);
  for (const MeshData* mesh : object.meshes) {
    EXPECT_EQ(mesh->vertexCount, 6u);
    EXPECT_EQ(mesh->indexCount, 6u);
    // a textured diffuse reads back as white
    EXPECT_FLOAT_EQ(mesh->diffuse[0], 1.0f);
    EXPECT_FLOAT_EQ(mesh->specular[0], 0.1f);
    EXPECT_FLOAT_EQ(mesh->specular[1], 0.2f);
    EXPECT_FLOAT_EQ(mesh->specular[2], 0.3f);
    EXPECT_FLOAT_EQ(mesh->shininess, 17.0f);
  }
  EXPECT_EQ(object.meshes[0]->texturePath, "Modelle/holz.png");
  EXPECT_EQ(object.meshes[1]->texturePath, "");
}

TEST_F(ModelImportTest, PlainColourMaterialWithoutUvsGivesNoTexture) {
  FixtureMesh mesh = twoTriangles();
  mesh.uvs.clear();
  const std::string path = writeCollada("plain.dae", {mesh}, true, "", {});
  TestObject object(shader.get(), depth.get());
  ASSERT_TRUE(object.loadModel(path));
  ASSERT_EQ(object.meshes.size(), 1u);
  EXPECT_FALSE(object.meshes[0]->hasUvs);
  EXPECT_FLOAT_EQ(object.meshes[0]->diffuse[0], 0.25f);
  EXPECT_FLOAT_EQ(object.meshes[0]->diffuse[1], 0.5f);
  EXPECT_FLOAT_EQ(object.meshes[0]->diffuse[2], 0.75f);

  object.uploadMeshes();
  EXPECT_EQ(object.uvBuffers[0], 0u);
  EXPECT_EQ(object.textures[0], 0u);
  EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

TEST_F(ModelImportTest, AllNegativeAxisGivesATightBoxAndItsRadius) {
  FixtureMesh mesh;
  mesh.positions = {-5, 1, 0, -3, 1, 0, -4, 3, 2};
  mesh.uvs = {0, 0, 1, 0, 0, 1};
  mesh.triangles = {0, 1, 2};
  const std::string path = writeCollada("negative.dae", {mesh}, true, "a.png", {});
  TestObject object(shader.get(), depth.get());
  ASSERT_TRUE(object.loadModel(path));
  // box x -5..-3, y 1..3, z 0..2: diagonal sqrt(12)
  EXPECT_NEAR(object.boundingRadius, 0.5f * std::sqrt(12.0f), 1e-5f);

  // The box model: a sphere of radius 0.5 just outside x = -3 misses, one
  // touching the face hits; nothing is near x = 0 where a loose box would end.
  const glm::mat4 identity(1.0f);
  object.boxCollisionModel->setTransform(glm::value_ptr(identity));
  const float inside[3] = {-2.6f, 2.0f, 1.0f};
  const float outside[3] = {-2.4f, 2.0f, 1.0f};
  const float nearOrigin[3] = {-0.5f, 2.0f, 1.0f};
  EXPECT_TRUE(object.boxCollisionModel->sphereCollision(inside, 0.5f));
  EXPECT_FALSE(object.boxCollisionModel->sphereCollision(outside, 0.5f));
  EXPECT_FALSE(object.boxCollisionModel->sphereCollision(nearOrigin, 0.5f));
}

TEST_F(ModelImportTest, BoxModelOfATranslatedScaledObjectIsHitWhereTheBoxIs) {
  // unit cube corners 0..1 from two triangles spanning it
  FixtureMesh mesh;
  mesh.positions = {0, 0, 0, 1, 1, 0, 0, 1, 1};
  mesh.uvs = {0, 0, 1, 0, 0, 1};
  mesh.triangles = {0, 1, 2};
  const std::string path = writeCollada("cube.dae", {mesh}, true, "a.png", {});
  TestObject object(shader.get(), depth.get());
  ASSERT_TRUE(object.loadModel(path));
  glm::mat4 placed = glm::translate(glm::mat4(1.0f), glm::vec3(100, 50, -20));
  placed = glm::scale(placed, glm::vec3(2.0f)); // the box spans 100..102, 50..52, -20..-18
  object.boxCollisionModel->setTransform(glm::value_ptr(placed));
  const float touchingTop[3] = {101, 56.9f, -19};
  const float aboveTop[3] = {101, 57.1f, -19};
  const float beside[3] = {95.5f, 51, -19};
  EXPECT_TRUE(object.boxCollisionModel->sphereCollision(touchingTop, 5.0f));
  EXPECT_FALSE(object.boxCollisionModel->sphereCollision(aboveTop, 5.0f));
  EXPECT_TRUE(object.boxCollisionModel->sphereCollision(beside, 5.0f));
}

TEST_F(ModelImportTest, CollisionSurfaceFollowsTheIndexListAfterVerticesAreJoined) {
  // A quad of two triangles sharing an edge: after joining there are 4
  // vertices, so consecutive groups of three would not be the triangles.
  FixtureMesh quad;
  quad.positions = {0, 0, 0, 10, 0, 0, 10, 0, -10, 0, 0, 0, 10, 0, -10, 0, 0, -10};
  quad.uvs = {0, 0, 1, 0, 1, 1, 0, 0, 1, 1, 0, 1};
  quad.triangles = {0, 1, 2, 3, 4, 5};
  const std::string path = writeCollada("quad.dae", {quad}, true, "a.png", {});
  TestObject object(shader.get(), depth.get());
  ASSERT_TRUE(object.loadModel(path));
  ASSERT_EQ(object.meshes.size(), 1u);
  EXPECT_EQ(object.meshes[0]->vertexCount, 4u);
  const glm::mat4 identity(1.0f);
  object.meshCollisionModel->setTransform(glm::value_ptr(identity));
  // every point of the drawn quad is solid, including the far corner region
  for (float x = 0.5f; x < 10.0f; x += 1.0f)
    for (float z = -0.5f; z > -10.0f; z -= 1.0f) {
      const float centre[3] = {x, 0.2f, z};
      EXPECT_TRUE(object.meshCollisionModel->sphereCollision(centre, 0.25f)) << x << ", " << z;
    }
  const float beyond[3] = {10.5f, 0.2f, -5.0f};
  EXPECT_FALSE(object.meshCollisionModel->sphereCollision(beyond, 0.25f));
}

TEST_F(ModelImportTest, LightsArriveInFileOrderWithTheirNodeTransform) {
  const std::string path = writeCollada("lights.dae", {twoTriangles()}, true, "a.png", {{1, 2, 3}, {-40, 500, 7}});
  TestObject object(shader.get(), depth.get());
  ASSERT_TRUE(object.loadModel(path));
  ASSERT_EQ(object.lights.size(), 2u);
  EXPECT_FLOAT_EQ(object.lights[0]->position[0], 1.0f);
  EXPECT_FLOAT_EQ(object.lights[0]->position[1], 2.0f);
  EXPECT_FLOAT_EQ(object.lights[0]->position[2], 3.0f);
  EXPECT_FLOAT_EQ(object.lights[1]->position[1], 500.0f);
  EXPECT_FLOAT_EQ(object.lights[0]->constantAttenuation, 1.0f);
  EXPECT_FLOAT_EQ(object.lights[0]->linearAttenuation, 0.01f);
  EXPECT_FLOAT_EQ(object.lights[0]->quadraticAttenuation, 0.002f);
  EXPECT_FLOAT_EQ(object.lights[0]->diffuse[0], 0.5f);
  EXPECT_FLOAT_EQ(object.lights[1]->diffuse[0], 0.6f);
}

TEST_F(ModelImportTest, MissingFileLeavesAnEmptyObjectWithTheImportersMessage) {
  felidora::test::MessageCapture messages;
  TestObject object(shader.get(), depth.get());
  EXPECT_FALSE(object.loadModel("Modelle/gibt-es-nicht.dae"));
  EXPECT_NE(messages.text().find("gibt-es-nicht.dae"), std::string::npos) << messages.text();
  EXPECT_EQ(messages.text().back(), '\n');
  EXPECT_TRUE(object.meshes.empty());
  EXPECT_EQ(object.meshCollisionModel, nullptr);
  object.uploadMeshes();
  object.bindShadowAttributes();
  EXPECT_EQ(object.draw(glm::mat4(1.0f), false), 1); // draws nothing, but counts
  object.setTextureFilter(false, false, false);
  EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

// Reads of one file share a result only inside a SharingScope and only while
// the file is unchanged. Every object still owns what it loaded.
class ModelSharingTest : public ModelImportTest {
protected:
  static std::vector<float> firstPositions(const ModelImport::Result& model) {
    return model.meshes.empty() ? std::vector<float>{} : model.meshes[0].positions;
  }
};

TEST_F(ModelSharingTest, OneFileIsReadOncePerScopeAndAgainWhenItChanges) {
  const std::string path = writeCollada("shared.dae", {twoTriangles()}, true, "a.png", {{1, 2, 3}});
  EXPECT_NE(ModelImport::read(path), ModelImport::read(path)) << "no scope: every read is fresh";
  {
    const ModelImport::SharingScope outer;
    const auto first = ModelImport::read(path);
    {
      const ModelImport::SharingScope inner;
      EXPECT_EQ(ModelImport::read(path), first);
    }
    EXPECT_EQ(ModelImport::read(path), first) << "nested scopes keep the outer one's results";

    // rewritten in place with another size: read again
    writeCollada("shared.dae", {twoTriangles(5.0f), twoTriangles(20.0f)}, true, "a.png", {});
    const auto changed = ModelImport::read(path);
    EXPECT_NE(changed, first);
    EXPECT_TRUE(changed->lights.empty());
    EXPECT_EQ(firstPositions(*changed), firstPositions(*ModelImport::readFile(path)));
  }
  EXPECT_NE(ModelImport::read(path), ModelImport::read(path)) << "the scope's results went with it";
}

TEST_F(ModelSharingTest, AMissingFileFailsForEveryObjectUntilItAppears) {
  const std::string path = felidora::test::fixturePath("spaeter.dae");
  std::remove(path.c_str());
  const ModelImport::SharingScope sharing;
  felidora::test::MessageCapture messages;
  TestObject first(shader.get(), depth.get()), second(shader.get(), depth.get());
  EXPECT_FALSE(first.loadModel(path));
  EXPECT_FALSE(second.loadModel(path));
  const std::string once = ModelImport::readFile(path)->error + "\n";
  EXPECT_EQ(messages.text(), once + once) << "each object reports the failure";

  writeCollada("spaeter.dae", {twoTriangles()}, true, "a.png", {});
  TestObject third(shader.get(), depth.get());
  EXPECT_TRUE(third.loadModel(path));
  EXPECT_EQ(third.meshes.size(), 1u);
}

TEST_F(ModelSharingTest, ObjectsFromOneSharedReadOwnTheirData) {
  const std::string path = writeCollada("own.dae", {twoTriangles()}, true, "a.png", {{1, 2, 3}});
  const ModelImport::SharingScope sharing;
  auto first = std::make_unique<TestObject>(shader.get(), depth.get());
  TestObject second(shader.get(), depth.get());
  ASSERT_TRUE(first->loadModel(path));
  ASSERT_TRUE(second.loadModel(path));
  EXPECT_NE(first->meshes[0], second.meshes[0]);
  EXPECT_NE(first->meshCollisionModel, second.meshCollisionModel);
  EXPECT_NE(first->lights[0], second.lights[0]);

  first.reset(); // frees its copies only (the sanitizer build watches)
  const float onTriangle[3] = {0.25f, 0.25f, 0.0f};
  const float far[3] = {50.0f, 50.0f, 50.0f};
  const glm::mat4 identity(1.0f);
  second.meshCollisionModel->setTransform(glm::value_ptr(identity));
  EXPECT_TRUE(second.meshCollisionModel->sphereCollision(onTriangle, 0.1f));
  EXPECT_FALSE(second.meshCollisionModel->sphereCollision(far, 0.1f));
  EXPECT_FLOAT_EQ(second.lights[0]->position[2], 3.0f);
}

} // namespace
