// Developer preview of the generated content: loads the models the way the
// game does (Assimp, the game's import flags), draws them with a simple sun-and-sky
// shading into an off-screen 800 x 600 picture and writes it as a PNG. Used to
// judge how the landscape, the characters and the monitor read on screen.
//
//   content_preview <content folder> <out.png> start|overview|models|monitor
//   content_preview <content folder> <out.png> eye ex ey ez tx ty tz
#include "base/ContentFiles.h"
#include "base/LevelLayout.h"
#include "render/ModelImport.h"
#include "render/RenderSizes.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <string>
#include <vector>

#include <GL/glew.h>
#include <GLFW/glfw3.h>
#include <assimp/Importer.hpp>
#include <assimp/scene.h>
#include <cairo.h>
#include <glm/glm.hpp>
#include <glm/gtc/matrix_transform.hpp>
#include <glm/gtc/type_ptr.hpp>

namespace {

constexpr int kWidth = render::kFrameWidth, kHeight = render::kFrameHeight;

struct GpuMesh {
  GLuint vao = 0, texture = 0;
  GLsizei count = 0;
};

struct GpuModel {
  std::vector<GpuMesh> meshes;
  std::vector<glm::vec3> lightPositions, lightColours;
  std::vector<glm::vec3> attenuations;
};

GLuint loadTexture(const std::string& path) {
  cairo_surface_t* image = cairo_image_surface_create_from_png(path.c_str());
  if (cairo_surface_status(image) != CAIRO_STATUS_SUCCESS) {
    std::fprintf(stderr, "cannot read %s\n", path.c_str());
    return 0;
  }
  const int w = cairo_image_surface_get_width(image), h = cairo_image_surface_get_height(image);
  const int stride = cairo_image_surface_get_stride(image);
  const unsigned char* data = cairo_image_surface_get_data(image);
  // Bottom row first, as the game's image loader delivers it.
  std::vector<unsigned char> rgba(static_cast<size_t>(w) * h * 4);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) {
      const uint32_t p = reinterpret_cast<const uint32_t*>(data + (h - 1 - y) * stride)[x];
      unsigned char* out = &rgba[(static_cast<size_t>(y) * w + x) * 4];
      out[0] = p >> 16 & 255;
      out[1] = p >> 8 & 255;
      out[2] = p & 255;
      out[3] = 255;
    }
  cairo_surface_destroy(image);
  GLuint texture;
  glGenTextures(1, &texture);
  glBindTexture(GL_TEXTURE_2D, texture);
  glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA8, w, h, 0, GL_RGBA, GL_UNSIGNED_BYTE, rgba.data());
  glGenerateMipmap(GL_TEXTURE_2D);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR_MIPMAP_LINEAR);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
  return texture;
}

GpuModel loadModel(const std::string& folder, const std::string& path) {
  GpuModel model;
  Assimp::Importer importer;
  const aiScene* scene = importer.ReadFile(folder + "/" + path, ModelImport::kImportFlags);
  if (!scene) {
    std::fprintf(stderr, "%s\n", importer.GetErrorString());
    return model;
  }
  for (unsigned i = 0; i < scene->mNumMeshes; ++i) {
    const aiMesh* mesh = scene->mMeshes[i];
    std::vector<float> vertices;
    for (unsigned v = 0; v < mesh->mNumVertices; ++v) {
      vertices.insert(vertices.end(), {mesh->mVertices[v].x, mesh->mVertices[v].y, mesh->mVertices[v].z,
                                       mesh->mNormals[v].x, mesh->mNormals[v].y, mesh->mNormals[v].z,
                                       mesh->mTextureCoords[0] ? mesh->mTextureCoords[0][v].x : 0.0f,
                                       mesh->mTextureCoords[0] ? mesh->mTextureCoords[0][v].y : 0.0f});
    }
    std::vector<unsigned> indices;
    for (unsigned f = 0; f < mesh->mNumFaces; ++f)
      indices.insert(indices.end(), mesh->mFaces[f].mIndices, mesh->mFaces[f].mIndices + 3);
    GpuMesh gpu;
    GLuint buffers[2];
    glGenVertexArrays(1, &gpu.vao);
    glBindVertexArray(gpu.vao);
    glGenBuffers(2, buffers);
    glBindBuffer(GL_ARRAY_BUFFER, buffers[0]);
    glBufferData(GL_ARRAY_BUFFER, vertices.size() * 4, vertices.data(), GL_STATIC_DRAW);
    glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, buffers[1]);
    glBufferData(GL_ELEMENT_ARRAY_BUFFER, indices.size() * 4, indices.data(), GL_STATIC_DRAW);
    for (int a = 0; a < 3; ++a) {
      glEnableVertexAttribArray(a);
      glVertexAttribPointer(a, a == 2 ? 2 : 3, GL_FLOAT, GL_FALSE, 32, reinterpret_cast<void*>(a * 12));
    }
    glBindVertexArray(0);
    gpu.count = static_cast<GLsizei>(indices.size());
    aiString path;
    if (i < scene->mNumMaterials && scene->mMaterials[i]->GetTexture(aiTextureType_DIFFUSE, 0, &path) == AI_SUCCESS)
      gpu.texture = loadTexture(folder + "/" + content::kModelFolder + "/" + path.C_Str());
    model.meshes.push_back(gpu);
  }
  for (unsigned l = 0; l < scene->mNumLights; ++l) {
    const aiLight* light = scene->mLights[l];
    model.lightPositions.emplace_back(light->mPosition.x, light->mPosition.y, light->mPosition.z);
    model.lightColours.emplace_back(light->mColorDiffuse.r, light->mColorDiffuse.g, light->mColorDiffuse.b);
    model.attenuations.emplace_back(light->mAttenuationConstant, light->mAttenuationLinear,
                                    light->mAttenuationQuadratic);
  }
  return model;
}

const char* kVertex = R"(#version 330 core
layout(location = 0) in vec3 position;
layout(location = 1) in vec3 normal;
layout(location = 2) in vec2 uv;
uniform mat4 projectionView, model;
out vec3 worldPosition, worldNormal;
out vec2 texcoord;
void main() {
  vec4 p = model * vec4(position, 1.0);
  worldPosition = p.xyz;
  worldNormal = mat3(transpose(inverse(model))) * normal;
  texcoord = uv;
  gl_Position = projectionView * p;
})";

const char* kFragment = R"(#version 330 core
in vec3 worldPosition, worldNormal;
in vec2 texcoord;
uniform sampler2D colorTexture;
uniform int lightCount, water;
uniform vec3 lightPosition[8], lightColour[8], attenuation[8], camera;
uniform float time;
out vec4 colour;
void main() {
  vec3 n = normalize(worldNormal);
  vec3 albedo = texture(colorTexture, texcoord).rgb;
  vec3 v = normalize(camera - worldPosition);
  if (water == 1) {
    vec3 t = texture(colorTexture, texcoord).xyz * 2.0 - 1.0;
    n = normalize(vec3(t.x, t.z, -t.y));
    float fresnel = 0.15 + 0.85 * pow(1.0 - max(dot(n, v), 0.0), 4.0);
    vec3 deep = vec3(0.05, 0.22, 0.32), sky = vec3(0.62, 0.78, 0.95);
    vec3 c = mix(deep, sky, fresnel);
    vec3 l = normalize(lightPosition[0] - worldPosition);
    c += lightColour[0] * pow(max(dot(reflect(-l, n), v), 0.0), 120.0);
    colour = vec4(c, 1.0);
    return;
  }
  vec3 c = 0.22 * albedo;
  for (int k = 0; k < lightCount; ++k) {
    vec3 d = lightPosition[k] - worldPosition;
    float dist = length(d);
    vec3 l = d / dist;
    float att = 1.0 / (attenuation[k].x + attenuation[k].y * dist + attenuation[k].z * dist * dist);
    c += albedo * lightColour[k] * max(dot(n, l), 0.0) * att;
    c += lightColour[k] * 0.3 * pow(max(dot(n, normalize(l + v)), 0.0), 32.0) * att;
  }
  float fog = clamp((length(camera - worldPosition) - 2500.0) / 4000.0, 0.0, 0.6);
  colour = vec4(mix(c, vec3(0.62, 0.78, 0.95), fog), 1.0);
})";

GLuint buildProgram() {
  auto compile = [](GLenum type, const char* source) {
    GLuint shader = glCreateShader(type);
    glShaderSource(shader, 1, &source, nullptr);
    glCompileShader(shader);
    GLint ok;
    glGetShaderiv(shader, GL_COMPILE_STATUS, &ok);
    if (!ok) {
      char log[2048];
      glGetShaderInfoLog(shader, sizeof(log), nullptr, log);
      std::fprintf(stderr, "%s\n", log);
    }
    return shader;
  };
  GLuint program = glCreateProgram();
  glAttachShader(program, compile(GL_VERTEX_SHADER, kVertex));
  glAttachShader(program, compile(GL_FRAGMENT_SHADER, kFragment));
  glLinkProgram(program);
  return program;
}

struct Renderer {
  GLuint program;
  glm::mat4 projectionView;
  glm::vec3 camera;

  void draw(const GpuModel& model, const glm::mat4& matrix, bool water = false) {
    glUniformMatrix4fv(glGetUniformLocation(program, "model"), 1, GL_FALSE, glm::value_ptr(matrix));
    glUniform1i(glGetUniformLocation(program, "water"), water ? 1 : 0);
    for (const GpuMesh& mesh : model.meshes) {
      glBindTexture(GL_TEXTURE_2D, mesh.texture);
      glBindVertexArray(mesh.vao);
      glDrawElements(GL_TRIANGLES, mesh.count, GL_UNSIGNED_INT, nullptr);
    }
  }
};

} // namespace

int main(int argc, char** argv) {
  if (argc < 4) {
    std::fprintf(stderr, "usage: %s <content folder> <out.png> start|overview|models|monitor|eye ...\n", argv[0]);
    return 2;
  }
  const std::string folder = argv[1], output = argv[2], view = argv[3];
  if (!glfwInit())
    return 1;
  glfwWindowHint(GLFW_VISIBLE, GLFW_FALSE);
  glfwWindowHint(GLFW_CONTEXT_VERSION_MAJOR, 3);
  glfwWindowHint(GLFW_CONTEXT_VERSION_MINOR, 3);
  glfwWindowHint(GLFW_OPENGL_PROFILE, GLFW_OPENGL_CORE_PROFILE);
  GLFWwindow* window = glfwCreateWindow(kWidth, kHeight, "preview", nullptr, nullptr);
  if (!window)
    return 1;
  glfwMakeContextCurrent(window);
  glewExperimental = GL_TRUE;
  glewInit();
  GLuint framebuffer, colour, depth;
  glGenFramebuffers(1, &framebuffer);
  glBindFramebuffer(GL_FRAMEBUFFER, framebuffer);
  glGenRenderbuffers(1, &colour);
  glBindRenderbuffer(GL_RENDERBUFFER, colour);
  glRenderbufferStorage(GL_RENDERBUFFER, GL_RGBA8, kWidth, kHeight);
  glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_RENDERBUFFER, colour);
  glGenRenderbuffers(1, &depth);
  glBindRenderbuffer(GL_RENDERBUFFER, depth);
  glRenderbufferStorage(GL_RENDERBUFFER, GL_DEPTH_COMPONENT24, kWidth, kHeight);
  glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_DEPTH_ATTACHMENT, GL_RENDERBUFFER, depth);
  glViewport(0, 0, kWidth, kHeight);
  glEnable(GL_DEPTH_TEST);
  glClearColor(0.62f, 0.78f, 0.95f, 1.0f);
  glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);

  std::map<std::string, GpuModel> models;
  // The status display as the game writes it at start: lives 0, health 6, score 0, neutral speed.
  auto compose = [&](GLuint texture) {
    auto put = [&](const std::string& file, int x, int y) {
      cairo_surface_t* image = cairo_image_surface_create_from_png((folder + "/" + file).c_str());
      if (cairo_surface_status(image) != CAIRO_STATUS_SUCCESS)
        return;
      const int w = cairo_image_surface_get_width(image), h = cairo_image_surface_get_height(image);
      const int stride = cairo_image_surface_get_stride(image);
      const unsigned char* data = cairo_image_surface_get_data(image);
      std::vector<unsigned char> rgba(static_cast<size_t>(w) * h * 4);
      for (int row = 0; row < h; ++row)
        for (int col = 0; col < w; ++col) {
          const uint32_t p = reinterpret_cast<const uint32_t*>(data + (h - 1 - row) * stride)[col];
          unsigned char* o = &rgba[(static_cast<size_t>(row) * w + col) * 4];
          o[0] = p >> 16 & 255;
          o[1] = p >> 8 & 255;
          o[2] = p & 255;
          o[3] = 255;
        }
      cairo_surface_destroy(image);
      glBindTexture(GL_TEXTURE_2D, texture);
      glTexSubImage2D(GL_TEXTURE_2D, 0, x, y, w, h, GL_RGBA, GL_UNSIGNED_BYTE, rgba.data());
    };
    if (const char* frame = std::getenv("PREVIEW_VIDEO_FRAME"))
      put(frame, 100, 444);
    put(content::numberedImage(content::kLivesImagePrefix, 3), 100, 212);
    put(content::numberedImage(content::kHealthImagePrefix, 5), 100, 296);
    put(content::kScorePanelImage, 248, 296);
    int score = 12300, x = 546;
    do {
      put(content::numberedImage(content::kDigitImagePrefix, score % 10), x, 306);
      x -= 32;
      score /= 10;
    } while (score > 0);
    put(content::numberedImage(content::kSpeedImagePrefix, 3), 297, 358);
    put(content::kEmptySlotImage, 25, 957);
    put(content::kFpsLabelImage, 25, 957);
    put(content::numberedImage(content::kDigitImagePrefix, 4), 211 - 32, 965);
    put(content::numberedImage(content::kDigitImagePrefix, 2), 211, 965);
    put(content::kObjectsLabelImage, 243, 957);
    put(content::kEmptySlotImage, 461, 957);
    put(content::numberedImage(content::kDigitImagePrefix, 1), 647 - 32, 965);
    put(content::numberedImage(content::kDigitImagePrefix, 9), 647, 965);
    if (std::getenv("PREVIEW_NOTICE")) {
      put(content::kSamplingLabelImage, 100, 444);
      put(content::kBilinearImage, 318, 444);
    }
    glGenerateMipmap(GL_TEXTURE_2D);
  };
  for (const char* path : {content::kLevelModel, content::kWaterModel, content::kPlayerModel, content::kShotModel,
                           content::kSuperShotModel, content::kEnemyModel, content::kRotorModel, content::kLaserModel,
                           content::kMonitorModel})
    models[path] = loadModel(folder, path);
  if (!models[content::kMonitorModel].meshes.empty())
    compose(models[content::kMonitorModel].meshes[0].texture);

  Renderer r{buildProgram(), glm::mat4(1.0f), glm::vec3(0.0f)};
  glUseProgram(r.program);
  // Lights: the landscape's, then the monitor's screen light.
  std::vector<glm::vec3> positions = models[content::kLevelModel].lightPositions;
  std::vector<glm::vec3> colours = models[content::kLevelModel].lightColours;
  std::vector<glm::vec3> attenuations = models[content::kLevelModel].attenuations;
  for (auto& p : positions)
    p += glm::vec3(1.0f);

  const glm::mat4 projection = glm::perspective(glm::radians(60.0f), float(kWidth) / float(kHeight), 0.1f, 6500.0f);
  const glm::vec3 start = layout::kPlayerStart;
  glm::mat4 player = glm::translate(glm::mat4(1.0f), start);
  glm::vec3 eye = start + glm::vec3(0, 4, 6), target = start;
  if (view == "overview") {
    eye = glm::vec3(0, 2600, 2600);
    target = glm::vec3(0, 0, -200);
  } else if (view == "eye" && argc >= 10) {
    eye = glm::vec3(std::stof(argv[4]), std::stof(argv[5]), std::stof(argv[6]));
    target = glm::vec3(std::stof(argv[7]), std::stof(argv[8]), std::stof(argv[9]));
  } else if (view == "models" || view == "monitor") {
    eye = glm::vec3(0, 1003, 18);
    target = glm::vec3(0, 1000, 0);
    if (view == "monitor") {
      eye = glm::vec3(0, 1000, 4.2f);
      target = glm::vec3(0, 1000, 0);
    }
    positions = {glm::vec3(300, 1600, 800)};
    colours = {glm::vec3(1.0f, 0.95f, 0.85f)};
    attenuations = {glm::vec3(1, 0, 0)};
  }
  r.camera = eye;
  r.projectionView = projection * glm::lookAt(eye, target, glm::vec3(0, 1, 0));
  glUniformMatrix4fv(glGetUniformLocation(r.program, "projectionView"), 1, GL_FALSE, glm::value_ptr(r.projectionView));
  glUniform3fv(glGetUniformLocation(r.program, "camera"), 1, glm::value_ptr(eye));

  // The monitor's screen light sits 1.75 units in front of the screen.
  glm::mat4 monitor(1.0f);
  {
    const glm::vec3 c0(player[0]), c1(player[1]), c2(player[2]);
    glm::mat4 b = player;
    b[3] = glm::vec4(eye - 0.5f * c0 - 1.3f * c1 - 1.2f * c2, 1.0f);
    monitor = glm::scale(glm::rotate(b, glm::radians(45.0f), glm::vec3(-1, 0, 0)), glm::vec3(0.4f));
  }
  if (view != "models" && view != "monitor") {
    const GpuModel& m = models[content::kMonitorModel];
    if (!m.lightPositions.empty()) {
      positions.push_back(glm::vec3(monitor * glm::vec4(0, 0, 1.75f, 1)));
      colours.push_back(m.lightColours[0]);
      attenuations.push_back(m.attenuations[0]);
    }
  }
  glUniform1i(glGetUniformLocation(r.program, "lightCount"), static_cast<int>(positions.size()));
  glUniform3fv(glGetUniformLocation(r.program, "lightPosition"), static_cast<int>(positions.size()),
               glm::value_ptr(positions[0]));
  glUniform3fv(glGetUniformLocation(r.program, "lightColour"), static_cast<int>(colours.size()),
               glm::value_ptr(colours[0]));
  glUniform3fv(glGetUniformLocation(r.program, "attenuation"), static_cast<int>(attenuations.size()),
               glm::value_ptr(attenuations[0]));
  glActiveTexture(GL_TEXTURE0);
  glUniform1i(glGetUniformLocation(r.program, "colorTexture"), 0);

  if (view == "models") {
    // A row of the characters, each at its game scale.
    const glm::vec3 base(0, 1000, 0);
    auto at = [&](float x, float y, float s, float yaw) {
      return glm::scale(glm::rotate(glm::translate(glm::mat4(1.0f), base + glm::vec3(x, y, 0)), glm::radians(yaw),
                                    glm::vec3(0, 1, 0)),
                        glm::vec3(s));
    };
    const float yaw = argc > 4 ? std::stof(argv[4]) : -60.0f;
    r.draw(models[content::kPlayerModel], at(-9, 1.5f, 1.5f, yaw));
    r.draw(models[content::kShotModel], at(-4.5f, 2, 1, yaw));
    r.draw(models[content::kSuperShotModel], at(-1, 2, 1, yaw));
    r.draw(models[content::kEnemyModel], at(-5, -5, 1, yaw));
    r.draw(models[content::kRotorModel], at(-5, -5, 1, yaw));
    r.draw(models[content::kLaserModel], at(2, -3, 1, yaw));
    r.draw(models[content::kMonitorModel], at(7, 0, 2, yaw / 3));
  } else if (view == "monitor") {
    r.draw(models[content::kMonitorModel], glm::translate(glm::mat4(1.0f), glm::vec3(0, 1000, 0)));
  } else {
    r.draw(models[content::kLevelModel], glm::translate(glm::mat4(1.0f), layout::kLandscapeOffset));
    r.draw(models[content::kPlayerModel], player);
    for (const glm::vec3& spawn : layout::kEnemySpawns) {
      glm::mat4 m = glm::translate(glm::mat4(1.0f), spawn);
      m[0] *= 2.0f;
      m[1] *= 2.0f;
      m[2] *= 2.0f;
      r.draw(models[content::kEnemyModel], m);
      r.draw(models[content::kRotorModel], m);
    }
    r.draw(models[content::kWaterModel], glm::translate(glm::mat4(1.0f), glm::vec3(0, layout::kWaterLevel, 0)), true);
    if (view == "start")
      r.draw(models[content::kMonitorModel], monitor);
  }

  std::vector<unsigned char> pixels(kWidth * kHeight * 4);
  glReadPixels(0, 0, kWidth, kHeight, GL_RGBA, GL_UNSIGNED_BYTE, pixels.data());
  cairo_surface_t* out = cairo_image_surface_create(CAIRO_FORMAT_RGB24, kWidth, kHeight);
  unsigned char* data = cairo_image_surface_get_data(out);
  const int stride = cairo_image_surface_get_stride(out);
  for (int y = 0; y < kHeight; ++y)
    for (int x = 0; x < kWidth; ++x) {
      const unsigned char* p = &pixels[((kHeight - 1 - y) * kWidth + x) * 4];
      reinterpret_cast<uint32_t*>(data + y * stride)[x] = p[0] << 16 | p[1] << 8 | p[2];
    }
  cairo_surface_mark_dirty(out);
  cairo_surface_write_to_png(out, output.c_str());
  cairo_surface_destroy(out);
  glfwTerminate();
  return 0;
}
