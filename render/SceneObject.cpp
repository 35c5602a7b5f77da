#include "render/SceneObject.h"

#include "app/Console.h"
#include "app/Game.h"
#include "objects/LevelScene.h"
#include "render/CollisionModel3D.h"
#include "render/Shader.h"

#include <GL/glew.h>
#include <IL/il.h>
#include <assimp/Importer.hpp>
#include <assimp/material.h>
#include <assimp/postprocess.h>
#include <assimp/scene.h>
#include <glm/gtc/matrix_transform.hpp>
#include <glm/gtc/type_ptr.hpp>

#include <cmath>
#include <limits>
#include <string>

namespace {

constexpr int kViewportWidth = 800;
constexpr int kViewportHeight = 600;
constexpr int kShadowMapSize = 2048;
// JoinIdenticalVertices | Triangulate | GenSmoothNormals | PreTransformVertices
// | ImproveCacheLocality | SortByPType
constexpr unsigned kImportFlags = 0x894A;
constexpr std::size_t kMaxTexturePath = 1024;
const std::string kModelFolder = "Modelle/";

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
      specularLoc(prototype.specularLoc), shininessLoc(prototype.shininessLoc),
      shadowTexture(prototype.shadowTexture), shadowFramebuffer(prototype.shadowFramebuffer),
      shadowDepthMatrixLoc(prototype.shadowDepthMatrixLoc),
      depthProjectionViewModelMatrixLoc(prototype.depthProjectionViewModelMatrixLoc),
      boundingRadius(prototype.boundingRadius), textures(prototype.textures), modelMatrix(modelMatrix),
      shader(prototype.shader), shadowShader(prototype.shadowShader),
      boxCollisionModel(prototype.boxCollisionModel), meshCollisionModel(prototype.meshCollisionModel),
      borrowsFromPrototype(true) {
  vertexArrays = prototype.vertexArrays;
  meshes = prototype.meshes;
}

SceneObject::~SceneObject() {
  if (borrowsFromPrototype)
    return; // everything here belongs to the prototype
  release();
}

// Model import

// Reads a COLLADA model into meshes, lights, the two collision models and the
// bounding radius. On failure the importer's text is printed and the object
// stays empty.
bool SceneObject::loadModel(std::string path) {
  Assimp::Importer importer;
  const aiScene* scene = importer.ReadFile(path, kImportFlags);
  if (!scene) {
    messageStream() << importer.GetErrorString() << std::endl;
    return false;
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

  meshCollisionModel = newCollisionModel3D(false);
  boxCollisionModel = newCollisionModel3D(false);
  const float greatest = std::numeric_limits<float>::max();
  glm::vec3 boxMin(greatest), boxMax(-greatest);

  for (unsigned i = 0; i < scene->mNumMeshes; ++i) {
    const aiMesh* mesh = scene->mMeshes[i];
    auto* data = new MeshData;
    data->vertexCount = mesh->mNumVertices;
    data->positions.resize(3u * mesh->mNumVertices);
    data->normals.assign(3u * mesh->mNumVertices, 0.0f);
    for (unsigned v = 0; v < mesh->mNumVertices; ++v) {
      const aiVector3D& p = mesh->mVertices[v];
      data->positions[3 * v] = p.x, data->positions[3 * v + 1] = p.y, data->positions[3 * v + 2] = p.z;
      if (mesh->mNormals) {
        const aiVector3D& n = mesh->mNormals[v];
        data->normals[3 * v] = n.x, data->normals[3 * v + 1] = n.y, data->normals[3 * v + 2] = n.z;
      }
      boxMin = glm::min(boxMin, glm::vec3(p.x, p.y, p.z));
      boxMax = glm::max(boxMax, glm::vec3(p.x, p.y, p.z));
    }
    if (hasMaterials && mesh->HasTextureCoords(0)) {
      data->hasUvs = true;
      data->uvs.resize(2u * mesh->mNumVertices);
      for (unsigned v = 0; v < mesh->mNumVertices; ++v) {
        data->uvs[2 * v] = mesh->mTextureCoords[0][v].x;
        data->uvs[2 * v + 1] = mesh->mTextureCoords[0][v].y;
      }
    }
    data->indices.reserve(3u * mesh->mNumFaces);
    for (unsigned f = 0; f < mesh->mNumFaces; ++f) {
      const aiFace& face = mesh->mFaces[f];
      // SortByPType may leave point or line faces; they are no triangles
      if (face.mNumIndices < 3)
        continue;
      for (unsigned k = 0; k < 3; ++k)
        data->indices.push_back(face.mIndices[k]);
    }
    data->indexCount = static_cast<std::uint32_t>(data->indices.size());
    std::copy(diffuse, diffuse + 3, data->diffuse);
    std::copy(specular, specular + 3, data->specular);
    data->shininess = shininess;

    // The texture of material i goes to mesh i, whatever the mesh refers to.
    if (hasMaterials && i < scene->mNumMaterials) {
      aiString texture;
      if (aiGetMaterialTexture(scene->mMaterials[i], aiTextureType_DIFFUSE, 0, &texture) == AI_SUCCESS) {
        const std::string relative(texture.C_Str());
        if (!relative.empty() && kModelFolder.size() + relative.size() < kMaxTexturePath)
          data->texturePath = kModelFolder + relative;
        else
          data->texturePath = kModelFolder;
      }
    }
    meshes.push_back(data);

    // The collision surface is the drawn surface: the triangles of the index
    // list, after the import has joined identical vertices.
    const float* p = data->positions.data();
    for (std::size_t t = 0; t + 2 < data->indices.size(); t += 3) {
      const float* a = p + 3 * data->indices[t];
      const float* b = p + 3 * data->indices[t + 1];
      const float* c = p + 3 * data->indices[t + 2];
      meshCollisionModel->addTriangle(a[0], a[1], a[2], b[0], b[1], b[2], c[0], c[1], c[2]);
    }
  }
  meshCollisionModel->finalize();

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
    boxCollisionModel->addTriangle(t, t + 3, t + 6);
  boxCollisionModel->finalize();

  const float dx = x1 - x0, dy = y1 - y0, dz = z1 - z0;
  boundingRadius = 0.5f * std::sqrt(dy * dy + dx * dx + dz * dz);

  for (unsigned i = 0; i < scene->mNumLights; ++i) {
    const aiLight* source = scene->mLights[i];
    auto* light = new Light;
    light->constantAttenuation = source->mAttenuationConstant;
    light->linearAttenuation = source->mAttenuationLinear;
    light->quadraticAttenuation = source->mAttenuationQuadratic;
    const aiColor3D* colours[3] = {&source->mColorAmbient, &source->mColorDiffuse, &source->mColorSpecular};
    float* targets[3] = {light->ambient, light->diffuse, light->specular};
    for (int c = 0; c < 3; ++c) {
      targets[c][0] = colours[c]->r, targets[c][1] = colours[c]->g, targets[c][2] = colours[c]->b;
    }
    light->direction[0] = source->mDirection.x, light->direction[1] = source->mDirection.y;
    light->direction[2] = source->mDirection.z;
    light->position[0] = source->mPosition.x, light->position[1] = source->mPosition.y;
    light->position[2] = source->mPosition.z;
    lights.push_back(light);
    ownedLights.push_back(light);
  }
  return true;
}

// Upload

// Creates the buffers, vertex arrays and textures of every mesh and fetches
// the lit program's uniform locations.
void SceneObject::uploadMeshes() {
  glBindFramebuffer(GL_FRAMEBUFFER, 0);
  glViewport(0, 0, kViewportWidth, kViewportHeight);

  const std::size_t count = meshes.size();
  positionBuffers.assign(count, 0);
  normalBuffers.assign(count, 0);
  indexBuffers.assign(count, 0);
  uvBuffers.assign(count, 0);
  vertexArrays.assign(count, 0);
  textures.assign(count, 0);
  if (count == 0)
    return;

  const unsigned program = shader->program;
  for (std::size_t i = 0; i < count; ++i) {
    const MeshData& mesh = *meshes[i];
    glUseProgram(program);

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

    glGenVertexArrays(1, &vertexArrays[i]);
    glBindVertexArray(vertexArrays[i]);
    const auto wire = [program](const char* name, unsigned buffer, int components) {
      glBindBuffer(GL_ARRAY_BUFFER, buffer);
      const GLint location = glGetAttribLocation(program, name);
      if (location < 0)
        return; // the program does without it
      glEnableVertexAttribArray(static_cast<GLuint>(location));
      glVertexAttribPointer(static_cast<GLuint>(location), components, GL_FLOAT, GL_FALSE, 0, nullptr);
    };
    wire("position", positionBuffers[i], 3);
    wire("normal", normalBuffers[i], 3);
    if (mesh.hasUvs) {
      wire("uv", uvBuffers[i], 2);
      colorTextureLoc = glGetUniformLocation(program, "colorTexture");
      glUniform1i(colorTextureLoc, 0);
    }
    glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, indexBuffers[i]);

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

    glBindVertexArray(0);
    glBindBuffer(GL_ARRAY_BUFFER, 0);
    glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, 0);
  }
}

// Loads the mesh's texture file through DevIL into a mipmapped texture on
// unit 0. A file that does not load leaves the texture without an image.
void SceneObject::loadTexture(std::size_t meshIndex) {
  ILuint image = 0;
  ilGenImages(1, &image);
  glGenTextures(1, &textures[meshIndex]);
  glActiveTexture(GL_TEXTURE0);
  glBindTexture(GL_TEXTURE_2D, textures[meshIndex]);
  ilBindImage(image);
  ilEnable(IL_ORIGIN_SET);
  ilOriginFunc(IL_ORIGIN_LOWER_LEFT);

  if (ilLoadImage(meshes[meshIndex]->texturePath.c_str()) && ilConvertImage(IL_RGBA, IL_UNSIGNED_BYTE)) {
    const int width = ilGetInteger(IL_IMAGE_WIDTH);
    const int height = ilGetInteger(IL_IMAGE_HEIGHT);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, width, height, 0, GL_RGBA, GL_UNSIGNED_BYTE, ilGetData());
    glPixelStorei(GL_UNPACK_ALIGNMENT, 4);
    glGenerateMipmap(GL_TEXTURE_2D);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR_MIPMAP_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
  }
  // DevIL keeps its errors on a stack of its own; drop them with the image
  while (ilGetError() != IL_NO_ERROR) {
  }
  ilBindImage(0);
  ilDeleteImages(1, &image);
}

void SceneObject::bindShadowAttributes() {
  glUseProgram(shadowShader->program);
  const GLint location = glGetAttribLocation(shadowShader->program, "position");
  for (std::size_t i = 0; i < meshes.size(); ++i) {
    glBindVertexArray(vertexArrays[i]);
    glBindBuffer(GL_ARRAY_BUFFER, positionBuffers[i]);
    if (location >= 0)
      glEnableVertexAttribArray(static_cast<GLuint>(location));
  }
  glUseProgram(0);
  glBindBuffer(GL_ARRAY_BUFFER, 0);
  glBindVertexArray(0);
}

void SceneObject::bindWaterAttributes(Game* game) {
  const unsigned program = game->waterShader->program;
  glUseProgram(program);
  const GLint position = glGetAttribLocation(program, "position");
  const GLint uv = glGetAttribLocation(program, "uv");
  for (std::size_t i = 0; i < meshes.size(); ++i) {
    glBindVertexArray(vertexArrays[i]);
    glBindBuffer(GL_ARRAY_BUFFER, positionBuffers[i]);
    if (position >= 0)
      glEnableVertexAttribArray(static_cast<GLuint>(position));
    if (meshes[i]->hasUvs && uv >= 0) {
      glBindBuffer(GL_ARRAY_BUFFER, uvBuffers[i]);
      glEnableVertexAttribArray(static_cast<GLuint>(uv));
    }
  }
  glUseProgram(0);
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
    glActiveTexture(GL_TEXTURE0);
    glBindTexture(GL_TEXTURE_2D, textures[i]);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, minFilter);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, magFilter);
  }
}

void SceneObject::release() {
  for (std::size_t i = 0; i < meshes.size(); ++i) {
    if (i < positionBuffers.size()) {
      glDeleteBuffers(1, &positionBuffers[i]);
      glDeleteBuffers(1, &indexBuffers[i]);
      glDeleteBuffers(1, &normalBuffers[i]);
      if (uvBuffers[i])
        glDeleteBuffers(1, &uvBuffers[i]);
      glDeleteVertexArrays(1, &vertexArrays[i]);
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
}

// Drawing

// Lit draw of all meshes; returns 1 when drawn, 0 when culled.
int SceneObject::draw(glm::mat4 world, bool cull) {
  if (cull && !isVisible())
    return 0;
  glUseProgram(shader->program);
  glUniformMatrix4fv(modelMatrixLoc, 1, GL_FALSE, glm::value_ptr(modelMatrix));
  const glm::mat4 viewModel = (shader->viewMatrix * world) * modelMatrix;
  glUniformMatrix4fv(viewModelMatrixLoc, 1, GL_FALSE, glm::value_ptr(viewModel));
  const glm::mat4 projectionViewModel = shader->projectionMatrix * viewModel;
  glUniformMatrix4fv(projectionViewModelMatrixLoc, 1, GL_FALSE, glm::value_ptr(projectionViewModel));
  glUniformMatrix4fv(depthProjectionViewModelMatrixLoc, 1, GL_FALSE, glm::value_ptr(depthMatrix));

  for (std::size_t i = 0; i < meshes.size(); ++i) {
    const MeshData& mesh = *meshes[i];
    glUniform3fv(diffuseLoc, 1, mesh.diffuse);
    glUniform3fv(specularLoc, 1, mesh.specular);
    glUniform1f(shininessLoc, mesh.shininess);
    if (mesh.hasUvs) {
      glActiveTexture(GL_TEXTURE0);
      glBindTexture(GL_TEXTURE_2D, textures[i]);
    }
    glBindVertexArray(vertexArrays[i]);
    glDrawElements(GL_TRIANGLES, static_cast<GLsizei>(mesh.indexCount), GL_UNSIGNED_INT, nullptr);
    glBindVertexArray(0);
  }
  glUseProgram(0);
  return 1;
}

// Bounding sphere about the model's origin against the six planes of the view
// volume. The world matrix of the reflection pass plays no part.
bool SceneObject::isVisible() const {
  const glm::mat4 k = shader->projectionMatrix * (shader->viewMatrix * modelMatrix);
  const float* K = glm::value_ptr(k);
  const float* M = glm::value_ptr(modelMatrix);
  const auto row = [K](int r) { return glm::vec4(K[r], K[4 + r], K[8 + r], K[12 + r]); };
  const glm::vec4 planes[6] = {row(3) + row(0), row(3) - row(0), row(3) + row(1),
                               row(3) - row(1), row(3) + row(2), row(3) - row(2)};
  for (const glm::vec4& plane : planes) {
    const float n = static_cast<float>(
        std::sqrt(static_cast<double>(plane.x * plane.x + plane.y * plane.y + plane.z * plane.z)));
    const float distance = (plane.x / n) * M[3] + (plane.y / n) * M[7] + (plane.z / n) * M[11] + plane.w / n;
    if (-boundingRadius >= distance)
      return false;
  }
  return true;
}

// Depth-only draw into the level's shadow map, seen from the sun (light 0 of
// the level) looking at the player through the camera's perspective.
void SceneObject::drawShadow(Game* game) {
  LevelScene* level = game->level;
  if (!level || level->lights.empty())
    return; // no sun, no shadow
  glBindFramebuffer(GL_FRAMEBUFFER, level->shadowFramebuffer);
  glViewport(0, 0, kShadowMapSize, kShadowMapSize);
  glUseProgram(game->shadowShader->program);

  const Light* sun = level->lights[0];
  const glm::vec3 eye(sun->position[0], sun->position[1], sun->position[2]);
  const glm::mat4 lightView = glm::lookAt(eye, game->playerPosition(), glm::vec3(0.0f, 1.0f, 0.0f));
  depthMatrix = (game->shadowShader->projectionMatrix * lightView) * modelMatrix;
  glUniformMatrix4fv(level->shadowDepthMatrixLoc, 1, GL_FALSE, glm::value_ptr(depthMatrix));

  const glm::mat4 bias =
      glm::translate(glm::mat4(1.0f), glm::vec3(0.5f)) * glm::scale(glm::mat4(1.0f), glm::vec3(0.5f));
  depthMatrix = bias * depthMatrix;

  for (std::size_t i = 0; i < meshes.size(); ++i) {
    glBindVertexArray(vertexArrays[i]);
    glDrawElements(GL_TRIANGLES, static_cast<GLsizei>(meshes[i]->indexCount), GL_UNSIGNED_INT, nullptr);
    glBindVertexArray(0);
  }
  glUseProgram(0);
}

void SceneObject::createShadowMap() {
  glUseProgram(shadowShader->program);
  glGenTextures(1, &shadowTexture);
  glBindTexture(GL_TEXTURE_2D, shadowTexture);
  glTexImage2D(GL_TEXTURE_2D, 0, GL_DEPTH_COMPONENT24, kShadowMapSize, kShadowMapSize, 0, GL_DEPTH_COMPONENT,
               GL_UNSIGNED_BYTE, nullptr);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_COMPARE_MODE, GL_COMPARE_REF_TO_TEXTURE);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_COMPARE_FUNC, GL_LEQUAL);

  glGenFramebuffers(1, &shadowFramebuffer);
  glBindFramebuffer(GL_FRAMEBUFFER, shadowFramebuffer);
  glFramebufferTexture2D(GL_FRAMEBUFFER, GL_DEPTH_ATTACHMENT, GL_TEXTURE_2D, shadowTexture, 0);
  glDrawBuffer(GL_NONE);
  glReadBuffer(GL_NONE);

  glUseProgram(shader->program);
  glUniform1i(shadowMapLoc, 1);
  glActiveTexture(GL_TEXTURE1);
  glBindTexture(GL_TEXTURE_2D, shadowTexture);
  glActiveTexture(GL_TEXTURE0);
  shadowDepthMatrixLoc = glGetUniformLocation(shadowShader->program, "depthProjectionViewModelMatrix");
}

// Camera and lights of the shared lit program

void SceneObject::setProjectionMatrix(const glm::mat4& projection) {
  glUseProgram(shader->program);
  glUniformMatrix4fv(projectionMatrixLoc, 1, GL_FALSE, glm::value_ptr(projection));
  glUseProgram(0);
  shader->projectionMatrix = projection;
}

void SceneObject::setViewMatrix(const glm::mat4& view) {
  glUseProgram(shader->program);
  glUniformMatrix4fv(viewMatrixLoc, 1, GL_FALSE, glm::value_ptr(view));
  glUniform3fv(cameraLocationLoc, 1, glm::value_ptr(view) + 12);
  glUseProgram(0);
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

void SceneObject::uploadLights() {
  const int slots = lightSlots();
  glUseProgram(shader->program);
  glUniform1i(lichtquellenanzahlLoc, static_cast<GLint>(lights.size()));
  for (std::size_t k = 0; k < lights.size() && static_cast<int>(k) < slots; ++k) {
    const Light& light = *lights[k];
    const GLint offset = static_cast<GLint>(k);
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
  glUseProgram(0);
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
  const bool inProgram = index < lightSlots();
  glUseProgram(shader->program);
  if (inProgram)
    glUniform3fv(lichtquellenpositionLoc + index, 1, light.position);
  glUseProgram(0);
}
