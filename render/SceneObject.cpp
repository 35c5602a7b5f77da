#include "render/SceneObject.h"

#include "app/Game.h"
#include "base/Console.h"
#include "render/CollisionModel3D.h"
#include "render/GlFlavour.h"
#include "render/ImageFile.h"
#include "render/ModelImport.h"
#include "render/RenderSizes.h"
#include "render/ScreenReach.h"
#include "render/Shader.h"
#include "render/ShadowPass.h"
#include "render/TextureUnits.h"
#include "render/TriangleSieve.h"
#include "render/ViewVolume.h"

#include <GL/glew.h>
#include <glm/gtc/matrix_transform.hpp>
#include <glm/gtc/type_ptr.hpp>

#include <algorithm>
#include <cstdint>
#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace {

using render::kShadowMapSize;

// From the sun's clip space to the shadow map's texture coordinates and depth.
const glm::mat4 kShadowMapBias =
    glm::translate(glm::mat4(1.0f), glm::vec3(0.5f)) * glm::scale(glm::mat4(1.0f), glm::vec3(0.5f));

const void* indexOffset(std::uint32_t firstIndex) {
  return reinterpret_cast<const void*>(static_cast<std::uintptr_t>(firstIndex) * sizeof(std::uint32_t));
}

// The runs of a mesh's tiles (triangles, or with edges its edge list's lines)
// whose box may reach into seen (the pass's view volume in model space) and
// may cover a pixel of reach, adjacent tiles in one run: each given to run
// as its first index and count.
template <typename Run>
void forEachRun(const MeshData& mesh, const ViewVolume& seen, bool edges, const DrawReach* reach,
                const glm::mat4& toClip, Run run) {
  const std::vector<MeshTiles::Tile>& tiles = mesh.tiles.runs();
  std::uint32_t runStart = 0, runEnd = 0;
  const auto flush = [&]() {
    if (runEnd > runStart)
      run(runStart, runEnd - runStart);
    runStart = runEnd = 0;
  };
  for (std::size_t t = 0; t < tiles.size(); ++t) {
    const MeshTiles::Tile& tile = tiles[t];
    if (!seen.mayHoldBox(tile.boxMin, tile.boxMax) || (reach && !reach->mayShow(toClip, tile.boxMin, tile.boxMax)))
      continue;
    const std::uint32_t first = edges ? mesh.edges.runs()[t].firstIndex : tile.firstIndex;
    const std::uint32_t count = edges ? mesh.edges.runs()[t].indexCount : tile.indexCount;
    if (runEnd != first)
      flush(), runStart = first;
    runEnd = first + count;
  }
  flush();
}

// Draws a mesh of the bound vertex array, its triangles or (edges) its edge
// list's lines: the runs of its tiles that may be seen, each in one call; an
// untiled mesh whole, and every mesh whole without seen.
void drawTiles(const MeshData& mesh, const ViewVolume* seen, bool edges, const DrawReach* reach,
               const glm::mat4& toClip) {
  const GLenum mode = edges ? GL_LINES : GL_TRIANGLES;
  if (!seen || mesh.tiles.runs().empty()) {
    glDrawElements(mode, static_cast<GLsizei>(edges ? mesh.edges.indexCount() : mesh.indexCount), GL_UNSIGNED_INT,
                   nullptr);
    return;
  }
  forEachRun(mesh, *seen, edges, reach, toClip, [mode](std::uint32_t first, std::uint32_t count) {
    glDrawElements(mode, static_cast<GLsizei>(count), GL_UNSIGNED_INT, indexOffset(first));
  });
}

} // namespace

SceneObject::SceneObject(const glm::vec3& position, Shader* shader, Shader* shadowShader)
    : shader(shader), shadowShader(shadowShader) {
  modelMatrix = glm::mat4(1.0f);
  modelMatrix[3] = glm::vec4(position, 1.0f);
}

SceneObject::SceneObject(Shader* shader, Shader* shadowShader) : shader(shader), shadowShader(shadowShader) {}

SceneObject::SceneObject(const glm::mat4& modelMatrix, Shader* shader, Shader* shadowShader)
    : modelMatrix(modelMatrix), shader(shader), shadowShader(shadowShader) {}

SceneObject::SceneObject(const glm::mat4& modelMatrix, const SceneObject& prototype)
    : modelMatrixLoc(prototype.modelMatrixLoc), projectionViewModelMatrixLoc(prototype.projectionViewModelMatrixLoc),
      viewModelMatrixLoc(prototype.viewModelMatrixLoc), diffuseLoc(prototype.diffuseLoc),
      specularLoc(prototype.specularLoc), shininessLoc(prototype.shininessLoc), shadowTexture(prototype.shadowTexture),
      shadowFramebuffer(prototype.shadowFramebuffer), shadowDepthMatrixLoc(prototype.shadowDepthMatrixLoc),
      depthProjectionViewModelMatrixLoc(prototype.depthProjectionViewModelMatrixLoc),
      boundingRadius(prototype.boundingRadius), boundsMin(prototype.boundsMin), boundsMax(prototype.boundsMax),
      textures(prototype.textures), modelMatrix(modelMatrix), shader(prototype.shader),
      shadowShader(prototype.shadowShader), boxCollisionModel(prototype.boxCollisionModel),
      meshCollisionModel(prototype.meshCollisionModel), borrowsFromPrototype(true) {
  vertexArrays = prototype.vertexArrays;
  indexBuffers = prototype.indexBuffers; // put back into the arrays after a sifted draw
  edgeArrays = prototype.edgeArrays;
  meshes = prototype.meshes;
}

SceneObject::~SceneObject() { release(); }

// Model import

// Reads a COLLADA model into meshes, lights, the two collision models and the
// bounding radius. On failure the importer's text is printed and the object
// stays empty.
bool SceneObject::loadModel(std::string path) {
  const std::shared_ptr<const ModelImport::Result> model = ModelImport::read(path);
  if (!model->loaded) {
    messageStream() << model->error << std::endl;
    return false;
  }
  // Copies: the same result may serve other objects made from this file.
  for (const MeshData& mesh : model->meshes)
    meshes.push_back(new MeshData(mesh));
  meshCollisionModel = new CollisionModel3D(model->meshCollision);
  boxCollisionModel = new CollisionModel3D(model->boxCollision);
  boundingRadius = model->boundingRadius;
  boundsMin = model->boxMin;
  boundsMax = model->boxMax;
  for (const Light& source : model->lights) {
    auto* light = new Light(source);
    lights.push_back(light);
    ownedLights.push_back(light);
  }
  return true;
}

// Upload

// Fetches the lit program's uniform locations and creates the buffers, vertex
// arrays and textures of every mesh.
void SceneObject::uploadMeshes() {
  glBindFramebuffer(GL_FRAMEBUFFER, 0);
  glViewport(0, 0, render::kFrameWidth, render::kFrameHeight);

  const std::size_t count = meshes.size();
  positionBuffers.assign(count, 0);
  normalBuffers.assign(count, 0);
  indexBuffers.assign(count, 0);
  uvBuffers.assign(count, 0);
  vertexArrays.assign(count, 0);
  edgeBuffers.assign(count, 0);
  edgeArrays.assign(count, 0);
  textures.assign(count, 0);
  uploadedTextures.assign(count, UploadedTexture{});
  fetchUniformLocations();
  if (count == 0)
    return;

  const unsigned program = shader->program;
  // without a polygon mode, wireframe draws each mesh's edges as lines
  const bool edgesNeeded = !render::glFeatures().polygonMode;
  for (std::size_t i = 0; i < count; ++i) {
    MeshData& mesh = *meshes[i];
    shader->use();

    glGenBuffers(1, &positionBuffers[i]);
    glBindBuffer(GL_ARRAY_BUFFER, positionBuffers[i]);
    glBufferData(GL_ARRAY_BUFFER, mesh.vertexCount * 12, mesh.positions.data(), GL_STATIC_DRAW);
    glGenBuffers(1, &normalBuffers[i]);
    glBindBuffer(GL_ARRAY_BUFFER, normalBuffers[i]);
    glBufferData(GL_ARRAY_BUFFER, mesh.vertexCount * 12, mesh.normals.data(), GL_STATIC_DRAW);
    glBindBuffer(GL_ARRAY_BUFFER, 0);

    glGenBuffers(1, &indexBuffers[i]);
    glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, indexBuffers[i]);
    glBufferData(GL_ELEMENT_ARRAY_BUFFER, mesh.indexCount * 4, mesh.indices.data(), GL_STATIC_DRAW);
    glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, 0);

    if (mesh.hasUvs) {
      glGenBuffers(1, &uvBuffers[i]);
      glBindBuffer(GL_ARRAY_BUFFER, uvBuffers[i]);
      glBufferData(GL_ARRAY_BUFFER, mesh.vertexCount * 8, mesh.uvs.data(), GL_STATIC_DRAW);
      glBindBuffer(GL_ARRAY_BUFFER, 0);
      loadTexture(i);
    }

    const auto wire = [program](const char* name, unsigned buffer, int components) {
      glBindBuffer(GL_ARRAY_BUFFER, buffer);
      const GLint location = glGetAttribLocation(program, name);
      if (location < 0)
        return; // the program does without it
      glEnableVertexAttribArray(static_cast<GLuint>(location));
      glVertexAttribPointer(static_cast<GLuint>(location), components, GL_FLOAT, GL_FALSE, 0, nullptr);
    };
    const auto makeArray = [&](unsigned& array, unsigned elements) {
      glGenVertexArrays(1, &array);
      glBindVertexArray(array);
      wire("position", positionBuffers[i], 3);
      wire("normal", normalBuffers[i], 3);
      if (mesh.hasUvs)
        wire("uv", uvBuffers[i], 2);
      glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, elements);
      glBindVertexArray(0);
    };
    makeArray(vertexArrays[i], indexBuffers[i]);
    if (mesh.hasUvs) {
      colorTextureLoc = glGetUniformLocation(program, "colorTexture");
      glUniform1i(colorTextureLoc, render::kColorTextureUnit);
    }

    if (edgesNeeded) {
      mesh.edges.build(mesh.indices, mesh.vertexCount, mesh.tiles.runs());
      if (mesh.edges.indexCount() > 0) {
        glGenBuffers(1, &edgeBuffers[i]);
        glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, edgeBuffers[i]);
        glBufferData(GL_ELEMENT_ARRAY_BUFFER, mesh.edges.indexCount() * 4, mesh.edges.indices().data(), GL_STATIC_DRAW);
        glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, 0);
        makeArray(edgeArrays[i], edgeBuffers[i]);
      }
    }

    glBindBuffer(GL_ARRAY_BUFFER, 0);
    glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, 0);
  }
}

// The lit program's locations are the program's, not a mesh's: they are
// fetched even for an object without meshes, since the level sets the
// program-wide values (shadow map unit, clip plane, projection, lights)
// through them whether or not its model loaded.
void SceneObject::fetchUniformLocations() {
  const unsigned program = shader->program;
  modelMatrixLoc = glGetUniformLocation(program, "modelMatrix");
  projectionMatrixLoc = glGetUniformLocation(program, "projectionMatrix");
  viewMatrixLoc = glGetUniformLocation(program, "viewMatrix");
  cameraLocationLoc = glGetUniformLocation(program, "cameraLocation");
  projectionViewModelMatrixLoc = glGetUniformLocation(program, "projectionViewModelMatrix");
  viewModelMatrixLoc = glGetUniformLocation(program, "viewModelMatrix");
  diffuseLoc = glGetUniformLocation(program, "diffuse");
  specularLoc = glGetUniformLocation(program, "specular");
  shininessLoc = glGetUniformLocation(program, "shininess");
  lichtquellenanzahlLoc = glGetUniformLocation(program, "lichtquellenanzahl");
  lichtquellenpositionLoc = glGetUniformLocation(program, "lichtquellenposition");
  intensityDiffuseLoc = glGetUniformLocation(program, "intensityDiffuse");
  intensitySpecularLoc = glGetUniformLocation(program, "intensitySpecular");
  constantAttenuationLoc = glGetUniformLocation(program, "constantAttenuation");
  linearAttenuationLoc = glGetUniformLocation(program, "linearAttenuation");
  quadraticAttenuationLoc = glGetUniformLocation(program, "quadraticAttenuation");
  clipPlaneLoc = glGetUniformLocation(program, "clipPlane");
  depthProjectionViewModelMatrixLoc = glGetUniformLocation(program, "depthProjectionViewModelMatrix");
  shadowMapLoc = glGetUniformLocation(program, "shadowMap");
}

// Loads the mesh's texture file through DevIL into a mipmapped texture. A
// file that does not load leaves the texture without an image.
void SceneObject::loadTexture(std::size_t meshIndex) {
  glGenTextures(1, &textures[meshIndex]);
  glActiveTexture(GL_TEXTURE0 + render::kColorTextureUnit);
  glBindTexture(GL_TEXTURE_2D, textures[meshIndex]);
  DecodedImage image;
  if (decodeImageFile(meshes[meshIndex]->texturePath, image)) {
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, image.width, image.height, 0, GL_RGBA, GL_UNSIGNED_BYTE,
                 image.pixels.data());
    glPixelStorei(GL_UNPACK_ALIGNMENT, 4);
    glGenerateMipmap(GL_TEXTURE_2D);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR_MIPMAP_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    UploadedTexture& uploaded = uploadedTextures[meshIndex];
    uploaded.width = image.width;
    uploaded.height = image.height;
    if (keepsTextureTexels)
      uploaded.texels = std::move(image.pixels);
  }
}

void SceneObject::bindShadowAttributes() {
  shadowShader->use();
  const GLint location = glGetAttribLocation(shadowShader->program, "position");
  for (std::size_t i = 0; i < meshes.size(); ++i)
    for (unsigned array : {vertexArrays[i], edgeArrays[i]}) {
      if (array == 0)
        continue;
      glBindVertexArray(array);
      glBindBuffer(GL_ARRAY_BUFFER, positionBuffers[i]);
      if (location >= 0)
        glEnableVertexAttribArray(static_cast<GLuint>(location));
    }
  Shader::useNone();
  glBindBuffer(GL_ARRAY_BUFFER, 0);
  glBindVertexArray(0);
}

void SceneObject::bindWaterAttributes(Game* game) {
  const unsigned program = game->waterShader->program;
  game->waterShader->use();
  const GLint position = glGetAttribLocation(program, "position");
  const GLint uv = glGetAttribLocation(program, "uv");
  for (std::size_t i = 0; i < meshes.size(); ++i)
    for (unsigned array : {vertexArrays[i], edgeArrays[i]}) {
      if (array == 0)
        continue;
      glBindVertexArray(array);
      glBindBuffer(GL_ARRAY_BUFFER, positionBuffers[i]);
      if (position >= 0)
        glEnableVertexAttribArray(static_cast<GLuint>(position));
      if (meshes[i]->hasUvs && uv >= 0) {
        glBindBuffer(GL_ARRAY_BUFFER, uvBuffers[i]);
        glEnableVertexAttribArray(static_cast<GLuint>(uv));
      }
    }
  Shader::useNone();
  glBindBuffer(GL_ARRAY_BUFFER, 0);
  glBindVertexArray(0);
}

void SceneObject::setTextureFilter(bool linear, bool mipmap, bool mipmapLinear) {
  GLint minFilter, magFilter;
  if (mipmap) {
    if (linear)
      minFilter = mipmapLinear ? GL_LINEAR_MIPMAP_LINEAR : GL_LINEAR_MIPMAP_NEAREST;
    else
      minFilter = mipmapLinear ? GL_NEAREST_MIPMAP_LINEAR : GL_NEAREST_MIPMAP_NEAREST;
    magFilter = linear ? GL_LINEAR : GL_NEAREST;
  } else {
    minFilter = magFilter = linear ? GL_LINEAR : GL_NEAREST;
  }
  for (std::size_t i = 0; i < meshes.size() && i < textures.size(); ++i) {
    if (!meshes[i]->hasUvs || textures[i] == 0)
      continue;
    glActiveTexture(GL_TEXTURE0 + render::kColorTextureUnit);
    glBindTexture(GL_TEXTURE_2D, textures[i]);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, minFilter);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, magFilter);
  }
}

// Frees what this object owns. A clone owns none of its GL names, meshes or
// collision models: it only lets go of its prototype's.
void SceneObject::release() {
  if (siftedIndexBuffer)
    glDeleteBuffers(1, &siftedIndexBuffer);
  siftedIndexBuffer = 0;
  siftedIndexBytes = 0;
  if (borrowsFromPrototype) {
    meshes.clear();
    boxCollisionModel = meshCollisionModel = nullptr;
    shadowFramebuffer = shadowTexture = 0;
    positionBuffers.clear(), normalBuffers.clear(), indexBuffers.clear();
    uvBuffers.clear(), vertexArrays.clear(), textures.clear();
    edgeBuffers.clear(), edgeArrays.clear();
    return;
  }
  for (std::size_t i = 0; i < meshes.size(); ++i) {
    if (i < positionBuffers.size()) {
      glDeleteBuffers(1, &positionBuffers[i]);
      glDeleteBuffers(1, &indexBuffers[i]);
      glDeleteBuffers(1, &normalBuffers[i]);
      if (uvBuffers[i])
        glDeleteBuffers(1, &uvBuffers[i]);
      glDeleteVertexArrays(1, &vertexArrays[i]);
      if (edgeArrays[i])
        glDeleteVertexArrays(1, &edgeArrays[i]);
      if (edgeBuffers[i])
        glDeleteBuffers(1, &edgeBuffers[i]);
      if (textures[i])
        glDeleteTextures(1, &textures[i]);
    }
    delete meshes[i];
  }
  meshes.clear();
  for (Light* light : ownedLights)
    delete light;
  ownedLights.clear();
  lights.clear();
  if (shadowFramebuffer)
    glDeleteFramebuffers(1, &shadowFramebuffer);
  if (shadowTexture)
    glDeleteTextures(1, &shadowTexture);
  shadowFramebuffer = shadowTexture = 0;
  delete boxCollisionModel;
  delete meshCollisionModel;
  boxCollisionModel = meshCollisionModel = nullptr;
  positionBuffers.clear(), normalBuffers.clear(), indexBuffers.clear();
  uvBuffers.clear(), vertexArrays.clear(), textures.clear();
  edgeBuffers.clear(), edgeArrays.clear(), uploadedTextures.clear();
}

// Drawing

// Lit draw of all meshes; returns 1 when drawn, 0 when culled.
int SceneObject::draw(glm::mat4 world, bool cull) {
  if (cull && !isVisible())
    return 0;
  const glm::mat4 projectionViewModel = cameraProduct(world);
  const ScreenReach* reach = cull ? shader->reach : nullptr;
  if (reach && !reach->mayShow(projectionViewModel, boundsMin, boundsMax))
    return 0;
  shader->use();
  glUniformMatrix4fv(modelMatrixLoc, 1, GL_FALSE, glm::value_ptr(modelMatrix));
  const glm::mat4 viewModel = (shader->viewMatrix * world) * modelMatrix;
  glUniformMatrix4fv(viewModelMatrixLoc, 1, GL_FALSE, glm::value_ptr(viewModel));
  glUniformMatrix4fv(projectionViewModelMatrixLoc, 1, GL_FALSE, glm::value_ptr(projectionViewModel));
  glUniformMatrix4fv(depthProjectionViewModelMatrixLoc, 1, GL_FALSE, glm::value_ptr(depthMatrix));

  const ViewVolume seen(projectionViewModel);
  for (std::size_t i = 0; i < meshes.size(); ++i) {
    const MeshData& mesh = *meshes[i];
    glUniform3fv(diffuseLoc, 1, mesh.diffuse);
    glUniform3fv(specularLoc, 1, mesh.specular);
    glUniform1f(shininessLoc, mesh.shininess);
    if (mesh.hasUvs) {
      glActiveTexture(GL_TEXTURE0 + render::kColorTextureUnit);
      glBindTexture(GL_TEXTURE_2D, textures[i]);
    }
    drawMesh(i, cull ? &seen : nullptr, reach, projectionViewModel);
  }
  Shader::useNone();
  return 1;
}

// A mesh without edges (none made, or none to make) draws its triangles.
void SceneObject::drawMesh(std::size_t i, const ViewVolume* seen, const DrawReach* reach,
                           const glm::mat4& toClip) const {
  const bool edges = render::wireframeAsEdges() && i < edgeArrays.size() && edgeArrays[i] != 0;
  glBindVertexArray(edges ? edgeArrays[i] : vertexArrays[i]);
  // the sieve judges filled triangles only, and culling off (F8) draws whole
  if (seen && render::trianglesSifted() && !render::wireframeShown())
    drawSifted(i, *seen, reach, toClip);
  else
    drawTiles(*meshes[i], seen, edges, reach, toClip);
  glBindVertexArray(0);
}

void SceneObject::drawSifted(std::size_t i, const ViewVolume& seen, const DrawReach* reach,
                             const glm::mat4& toClip) const {
  // their room is reused by every draw; one thread draws
  static TriangleSieve sieve;
  static std::vector<std::uint32_t> reached;
  const MeshData& mesh = *meshes[i];
  const bool tiled = !mesh.tiles.runs().empty();
  if (tiled) {
    // the tiles that may be seen, in their order
    reached.clear();
    forEachRun(mesh, seen, false, reach, toClip, [&mesh](std::uint32_t first, std::uint32_t count) {
      reached.insert(reached.end(), mesh.indices.begin() + first, mesh.indices.begin() + first + count);
    });
  }
  const std::vector<std::uint32_t>& indices = tiled ? reached : mesh.indices;
  TriangleSieve::Target target = TriangleSieve::current();
  if (shader)
    target.cover = shader->cover;
  sieve.sift(mesh.positions, indices, toClip, target, reach);
  const std::size_t kept = sieve.keptCount();
  if (kept == 0)
    return;
  if (kept == indices.size() || i >= indexBuffers.size()) {
    drawTiles(mesh, &seen, false, reach, toClip);
    return;
  }
  if (!siftedIndexBuffer)
    glGenBuffers(1, &siftedIndexBuffer);
  // NOTE: the element binding is the bound vertex array's: it gets the
  // mesh's own back before the array is left.
  glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, siftedIndexBuffer);
  // sized once for the whole mesh, then only written: no new storage a draw
  const std::size_t bytes = kept * sizeof(std::uint32_t);
  if (bytes > siftedIndexBytes) {
    siftedIndexBytes = std::max(bytes, mesh.indices.size() * sizeof(std::uint32_t));
    glBufferData(GL_ELEMENT_ARRAY_BUFFER, static_cast<GLsizeiptr>(siftedIndexBytes), nullptr, GL_STREAM_DRAW);
  }
  glBufferSubData(GL_ELEMENT_ARRAY_BUFFER, 0, static_cast<GLsizeiptr>(bytes), sieve.kept());
  glDrawElements(GL_TRIANGLES, static_cast<GLsizei>(kept), GL_UNSIGNED_INT, nullptr);
  glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, indexBuffers[i]);
}

glm::mat4 SceneObject::cameraProduct(const glm::mat4& world) const {
  return shader->projectionMatrix * ((shader->viewMatrix * world) * modelMatrix);
}

// The depth program and its uniform location come with the level's shadow
// map; without a level there is nothing to draw with.
void SceneObject::drawDepth(const ShadowPass& pass) {
  if (!pass.depthShader)
    return;
  pass.depthShader->use();
  const glm::mat4 product = cameraProduct(glm::mat4(1.0f));
  glUniformMatrix4fv(pass.depthMatrixLoc, 1, GL_FALSE, glm::value_ptr(product));
  const ViewVolume seen(product);
  for (std::size_t i = 0; i < meshes.size(); ++i)
    drawMesh(i, &seen, nullptr, product);
  Shader::useNone();
}

// Bounding sphere about the model's origin against the view volume, in model
// space. The world matrix of the reflection pass plays no part.
bool SceneObject::isVisible() const {
  const ViewVolume seen(shader->projectionMatrix * (shader->viewMatrix * modelMatrix));
  return seen.mayHoldSphere(glm::vec3(0.0f), boundingRadius);
}

// Depth-only draw into the level's shadow map, seen from the sun (light 0 of
// the level) looking at the player through the camera's perspective: the
// frame's shadow pass, gathered once for all casters (Game::aimSun).
void SceneObject::drawShadow(Game* game) {
  const ShadowPass& pass = game->shadowPass;
  if (!pass.sunUp)
    return; // no sun, no shadow
  glBindFramebuffer(GL_FRAMEBUFFER, pass.framebuffer);
  glViewport(0, 0, kShadowMapSize, kShadowMapSize);
  pass.depthShader->use();

  const glm::mat4 sunModel = pass.sun * modelMatrix;
  glUniformMatrix4fv(pass.depthMatrixLoc, 1, GL_FALSE, glm::value_ptr(sunModel));
  depthMatrix = kShadowMapBias * sunModel;

  // what casts no shadow into the part of the map the frame reads is left out
  // (its matrix above is still the lit draw's)
  if (!pass.region.mayHold(pass.sun, modelMatrix, boundsMin, boundsMax, kShadowMapSize)) {
    Shader::useNone();
    return;
  }

  const ViewVolume seen(sunModel, pass.region.window(kShadowMapSize));
  for (std::size_t i = 0; i < meshes.size(); ++i)
    drawMesh(i, &seen, &pass.region, sunModel);
  Shader::useNone();
}

void SceneObject::createShadowMap() {
  shadowShader->use();
  glGenTextures(1, &shadowTexture);
  glActiveTexture(GL_TEXTURE0 + render::kColorTextureUnit);
  glBindTexture(GL_TEXTURE_2D, shadowTexture);
  // NOTE: ES takes a 24-bit depth texture only as unsigned ints
  glTexImage2D(GL_TEXTURE_2D, 0, GL_DEPTH_COMPONENT24, kShadowMapSize, kShadowMapSize, 0, GL_DEPTH_COMPONENT,
               GL_UNSIGNED_INT, nullptr);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
  // a lookup next to the map's edge filters the edge texels, never the far
  // side's (which hold the clear depth or another part of the world)
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP_TO_EDGE);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_CLAMP_TO_EDGE);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_COMPARE_MODE, GL_COMPARE_REF_TO_TEXTURE);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_COMPARE_FUNC, GL_LEQUAL);

  glGenFramebuffers(1, &shadowFramebuffer);
  glBindFramebuffer(GL_FRAMEBUFFER, shadowFramebuffer);
  glFramebufferTexture2D(GL_FRAMEBUFFER, GL_DEPTH_ATTACHMENT, GL_TEXTURE_2D, shadowTexture, 0);
  const GLenum noColour = GL_NONE;
  glDrawBuffers(1, &noColour);
  glReadBuffer(GL_NONE);

  shader->use();
  glUniform1i(shadowMapLoc, render::kShadowMapUnit);
  glActiveTexture(GL_TEXTURE0 + render::kShadowMapUnit);
  glBindTexture(GL_TEXTURE_2D, shadowTexture);
  glActiveTexture(GL_TEXTURE0 + render::kColorTextureUnit);
  shadowDepthMatrixLoc = glGetUniformLocation(shadowShader->program, "depthProjectionViewModelMatrix");
}

// Camera and lights of the shared lit program

void SceneObject::setProjectionMatrix(const glm::mat4& projection) {
  shader->use();
  glUniformMatrix4fv(projectionMatrixLoc, 1, GL_FALSE, glm::value_ptr(projection));
  Shader::useNone();
  shader->projectionMatrix = projection;
}

void SceneObject::setViewMatrix(const glm::mat4& view) {
  shader->use();
  glUniformMatrix4fv(viewMatrixLoc, 1, GL_FALSE, glm::value_ptr(view));
  glUniform3fv(cameraLocationLoc, 1, glm::value_ptr(view) + 12);
  Shader::useNone();
  shader->viewMatrix = view;
}

// How many light slots the lit program's arrays hold. Element k sits at the
// location of element 0 plus k only inside the array; past its end that
// location may belong to another uniform.
int SceneObject::lightSlots() {
  if (lightSlotCount < 0) {
    lightSlotCount = 0;
    if (lichtquellenpositionLoc >= 0) {
      const std::string name = "lichtquellenposition[";
      while (lightSlotCount < 64 &&
             glGetUniformLocation(shader->program, (name + std::to_string(lightSlotCount) + "]").c_str()) ==
                 lichtquellenpositionLoc + lightSlotCount)
        ++lightSlotCount;
    }
  }
  return lightSlotCount;
}

// Light k takes element k while every light has one. When the list holds
// more lights than the program has elements (each costs every pixel), the sun
// (light 0, the one with the shadow) comes first, then the lights added from
// other objects (the monitor's screen), then the imported ones in list order.
std::vector<int> SceneObject::chooseLightSlots(const std::vector<bool>& added, int slots) {
  std::vector<int> slot(added.size(), -1);
  const int count = static_cast<int>(added.size());
  if (count <= slots) {
    for (int k = 0; k < count; ++k)
      slot[static_cast<std::size_t>(k)] = k;
    return slot;
  }
  int used = 0;
  const auto give = [&](std::size_t k) {
    if (slot[k] < 0 && used < slots)
      slot[k] = used++;
  };
  if (!added.empty())
    give(0);
  for (std::size_t k = 0; k < added.size(); ++k)
    if (added[k])
      give(k);
  for (std::size_t k = 0; k < added.size(); ++k)
    give(k);
  return slot;
}

// A light left without a slot is named once.
void SceneObject::assignLightSlots() {
  const int slots = lightSlots();
  std::vector<bool> added(lights.size());
  for (std::size_t k = 0; k < lights.size(); ++k)
    added[k] = std::find(ownedLights.begin(), ownedLights.end(), lights[k]) == ownedLights.end();
  lightSlot = chooseLightSlots(added, slots);
  for (std::size_t k = 0; k < lights.size(); ++k)
    if (lightSlot[k] < 0 && std::find(unlitLights.begin(), unlitLights.end(), lights[k]) == unlitLights.end()) {
      unlitLights.push_back(lights[k]);
      const float* p = lights[k]->position;
      messageStream() << "Licht " << k + 1 << " (bei " << p[0] << ", " << p[1] << ", " << p[2]
                      << ") findet im Shader keinen Platz mehr und bleibt dunkel (Platz fuer " << slots << " Lichter)"
                      << std::endl;
    }
}

void SceneObject::uploadLights() {
  assignLightSlots();
  shader->use();
  glUniform1i(lichtquellenanzahlLoc, static_cast<GLint>(lights.size()));
  for (std::size_t k = 0; k < lights.size(); ++k) {
    if (lightSlot[k] < 0)
      continue;
    const Light& light = *lights[k];
    const GLint offset = lightSlot[k];
    // arrays the program lacks have location -1; -1 + k must not hit another
    if (lichtquellenpositionLoc >= 0)
      glUniform3fv(lichtquellenpositionLoc + offset, 1, light.position);
    if (intensityDiffuseLoc >= 0)
      glUniform3fv(intensityDiffuseLoc + offset, 1, light.diffuse);
    if (intensitySpecularLoc >= 0)
      glUniform3fv(intensitySpecularLoc + offset, 1, light.specular);
    if (constantAttenuationLoc >= 0)
      glUniform1f(constantAttenuationLoc + offset, light.constantAttenuation);
    if (linearAttenuationLoc >= 0)
      glUniform1f(linearAttenuationLoc + offset, light.linearAttenuation);
    if (quadraticAttenuationLoc >= 0)
      glUniform1f(quadraticAttenuationLoc + offset, light.quadraticAttenuation);
  }
  Shader::useNone();
}

int SceneObject::addLight(Light* light) {
  lights.push_back(light);
  return static_cast<int>(lights.size()) - 1;
}

// An index outside the list is ignored: there is no such light to move.
void SceneObject::setLightPosition(int index, const glm::vec3& position) {
  if (index < 0 || static_cast<std::size_t>(index) >= lights.size())
    return;
  Light& light = *lights[static_cast<std::size_t>(index)];
  light.position[0] = position.x, light.position[1] = position.y, light.position[2] = position.z;
  // a light added since the last upload has its own element if all fit, and
  // otherwise none until the next upload chooses
  int slot = -1;
  if (static_cast<std::size_t>(index) < lightSlot.size())
    slot = lightSlot[static_cast<std::size_t>(index)];
  else if (static_cast<int>(lights.size()) <= lightSlots())
    slot = index;
  shader->use();
  if (slot >= 0 && lichtquellenpositionLoc >= 0)
    glUniform3fv(lichtquellenpositionLoc + slot, 1, light.position);
  Shader::useNone();
}
