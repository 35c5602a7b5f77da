// The base of everything drawn: the GPU side of an imported model (one vertex
// array with its buffers and, for textured meshes, one texture per mesh), the
// lit program's uniform locations, the model and shadow matrices, a bounding
// radius and two collision models.
//
// An object built from a model owns all of that. A clone (the fourth
// constructor) borrows its prototype's meshes, GL objects and collision models
// and frees none of them; the prototype must outlive its clones.
#pragma once

#include "render/Light.h"
#include "render/MeshData.h"

#include <glm/glm.hpp>

#include <cstdint>
#include <string>
#include <vector>

class CollisionModel3D;
class DrawReach;
class Game;
class Shader;
class ViewVolume;
struct ShadowPass;

class SceneObject {
public:
  SceneObject(const glm::vec3& position, Shader* shader, Shader* shadowShader);
  SceneObject(Shader* shader, Shader* shadowShader);
  SceneObject(const glm::mat4& modelMatrix, Shader* shader, Shader* shadowShader);
  SceneObject(const glm::mat4& modelMatrix, const SceneObject& prototype);
  SceneObject(const SceneObject&) = delete;
  SceneObject& operator=(const SceneObject&) = delete;

  // per-frame operations, in the order the game's virtual table lists them
  virtual void setTextureFilter(bool linear, bool mipmap, bool mipmapLinear);
  virtual ~SceneObject();
  virtual void update(double dt, Game* game) = 0;
  virtual int draw(glm::mat4 world, bool cull);
  virtual void drawShadow(Game* game);

  // building
  bool loadModel(std::string path);
  void uploadMeshes();
  void bindShadowAttributes();
  void bindWaterAttributes(Game* game);

  // drawing and lighting
  bool isVisible() const;
  // Draws mesh i with the current program: its triangles, or its edges as
  // lines while wireframe is drawn that way; with seen, only the tiles that
  // may reach into it, and with reach too, only those that may cover a
  // reached pixel through toClip (model space to clip space). With seen, the
  // triangles go through the sieve where it is on.
  void drawMesh(std::size_t i, const ViewVolume* seen, const DrawReach* reach = nullptr,
                const glm::mat4& toClip = glm::mat4(1.0f)) const;
  // Depth only, seen by the camera, through the shadow pass's depth program.
  void drawDepth(const ShadowPass& pass);
  void setProjectionMatrix(const glm::mat4& projection);
  void setViewMatrix(const glm::mat4& view);
  void uploadLights();
  int addLight(Light* light);
  void setLightPosition(int index, const glm::vec3& position);
  std::vector<Light*> getLights() const { return lights; }
  // The lit program's element for each light (-1: none), given which lights
  // were added from other objects and how many elements the program has.
  static std::vector<int> chooseLightSlots(const std::vector<bool>& added, int slots);
  void createShadowMap();
  unsigned getShadowFramebuffer() const { return shadowFramebuffer; }
  unsigned getShadowTexture() const { return shadowTexture; }
  int getShadowDepthMatrixLoc() const { return shadowDepthMatrixLoc; }

  // the position is the translation column of the model matrix
  glm::vec3 position() const { return glm::vec3(modelMatrix[3]); }
  bool isClone() const { return borrowsFromPrototype; }

  // GL objects, one entry per mesh (0 where a mesh has no uv set / texture)
  std::vector<unsigned> positionBuffers;
  std::vector<unsigned> normalBuffers;
  std::vector<unsigned> indexBuffers;
  std::vector<unsigned> uvBuffers;
  std::vector<unsigned> vertexArrays;
  // the same wiring with the mesh's edges as elements, where wireframe is
  // drawn as lines (0 elsewhere)
  std::vector<unsigned> edgeBuffers;
  std::vector<unsigned> edgeArrays;
  std::vector<MeshData*> meshes;
  std::vector<Light*> lights;

  // lit program uniform locations
  int modelMatrixLoc = -1;
  int projectionMatrixLoc = -1;
  int colorTextureLoc = -1;
  int viewMatrixLoc = -1;
  int projectionViewModelMatrixLoc = -1;
  int viewModelMatrixLoc = -1;
  int cameraLocationLoc = -1;
  int diffuseLoc = -1;
  int specularLoc = -1;
  int shininessLoc = -1;
  int lichtquellenanzahlLoc = -1;
  int lichtquellenpositionLoc = -1;
  int intensityDiffuseLoc = -1;
  int intensitySpecularLoc = -1;
  int constantAttenuationLoc = -1;
  int linearAttenuationLoc = -1;
  int quadraticAttenuationLoc = -1;
  int clipPlaneLoc = -1;

  // shadow map (only the level creates one)
  unsigned shadowTexture = 0;
  unsigned shadowFramebuffer = 0;
  int shadowDepthMatrixLoc = -1;
  int depthProjectionViewModelMatrixLoc = -1;
  int shadowMapLoc = -1;
  glm::mat4 depthMatrix{1.0f};

  float boundingRadius = 0.0f;
  // the box around the model's vertices, in model space; min above max when
  // there are none
  glm::vec3 boundsMin{0.0f};
  glm::vec3 boundsMax{0.0f};
  std::vector<unsigned> textures;
  // Level 0 of each mesh texture as it went up, since ES cannot read a
  // texture back: the size always, the texels (RGBA, rows bottom-up) only
  // when keepsTextureTexels is set before uploadMeshes.
  struct UploadedTexture {
    int width = 0;
    int height = 0;
    std::vector<std::uint8_t> texels;
  };
  std::vector<UploadedTexture> uploadedTextures;
  bool keepsTextureTexels = false;
  glm::mat4 modelMatrix{1.0f};
  Shader* shader = nullptr;
  Shader* shadowShader = nullptr;
  CollisionModel3D* boxCollisionModel = nullptr;
  CollisionModel3D* meshCollisionModel = nullptr;

private:
  void release();
  void fetchUniformLocations();
  // The triangles of mesh i (of its tiles that may be seen, when it has
  // them) that may cover a pixel through toClip, drawn from the bound vertex
  // array in their order (TriangleSieve).
  void drawSifted(std::size_t i, const ViewVolume& seen, const DrawReach* reach, const glm::mat4& toClip) const;
  void loadTexture(std::size_t meshIndex);
  // projection x (view x world) x model: the lit draw's product, which the
  // depth-only draw repeats exactly so that both land on the same depths
  glm::mat4 cameraProduct(const glm::mat4& world) const;
  int lightSlots();
  void assignLightSlots();

  int lightSlotCount = -1; // found on first use
  // what the sieve kept of the mesh drawn last, as elements (made on first use)
  mutable unsigned siftedIndexBuffer = 0;
  mutable std::size_t siftedIndexBytes = 0; // its size
  bool borrowsFromPrototype = false;
  std::vector<Light*> ownedLights;       // imported here; added lights stay their creator's
  std::vector<int> lightSlot;            // per light: its slot in the lit program, or -1
  std::vector<const Light*> unlitLights; // left without a slot, already named
};
