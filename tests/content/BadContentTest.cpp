// Damaged content: every file the game reads, missing, empty, cut to half its
// length, overwritten with random bytes and (images) replaced by a valid PNG
// of the wrong size. Each case damages one file in a private copy of the run
// folder and drives the real loading code of that file's kind from there:
// models and their textures through SceneObject, status images through
// StatusImage and a Monitor (the glyph atlas through the options page), clips through VideoPlayback, sounds through
// Audio (on a loopback device), shaders through the Game's constructor. The game must go on as designed or, for
// shaders, stop with its message and status -1; it must never crash, hang or read past a buffer (the sanitizer build
// watches the last).
//
// The files are not named here: the cases are made from the content folders
// of the build folder when the binary starts (CTest runs it there), so a file
// added to the content is damaged like the others of its kind, and
// BadContentCoverage fails for a file that no kind takes.
//
// With FELIDORA_BADCONTENT_TABLE set to a file name, the binary writes the
// observed outcomes there as a markdown document (docs/bad-content.md, written
// by scripts/bad-content-table.sh).
#include "app/Game.h"
#include "app/GameProgramCheck.h"
#include "app/KeyFlags.h"
#include "audio/Audio.h"
#include "audio/GameSounds.h"
#include "base/Console.h"
#include "base/ContentFiles.h"
#include "monitor/Monitor.h"
#include "monitor/OptionsPage.h"
#include "monitor/StatusImage.h"
#include "monitor/VideoPlayback.h"
#include "objects/Schnecke.h"
#include "render/ModelImport.h"
#include "render/SceneObject.h"
#include "render/Shader.h"
#include "tests/support/GameWithPlayer.h"
#include "tests/support/GlContext.h"
#include "tests/support/MessageCapture.h"
#include "tests/support/OutcomeTable.h"
#include "tests/support/PngFile.h"

#include <GL/glew.h>
#include <IL/il.h>
#include <assimp/Importer.hpp>
#include <glm/gtc/matrix_transform.hpp>
#include <gtest/gtest.h>

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <limits>
#include <map>
#include <random>
#include <set>
#include <sstream>
#include <string>
#include <tuple>
#include <vector>

namespace felidora::test {
namespace {

namespace fs = std::filesystem;

#define EXPECT_NO_GL_ERROR(step) EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR)) << "after " << step

// Damages

enum class Damage { Missing, Empty, Truncated, RandomBytes, WrongSize };

const char* damageName(Damage damage) {
  switch (damage) {
  case Damage::Missing: return "missing";
  case Damage::Empty: return "empty";
  case Damage::Truncated: return "truncated";
  case Damage::RandomBytes: return "random";
  case Damage::WrongSize: return "wrongsize";
  }
  return "?";
}

const auto kFileDamages = ::testing::Values(Damage::Missing, Damage::Empty, Damage::Truncated, Damage::RandomBytes);
const auto kImageDamages =
    ::testing::Values(Damage::Missing, Damage::Empty, Damage::Truncated, Damage::RandomBytes, Damage::WrongSize);

// A wrong-size image is one colour that the content does not use (the status
// test checks), so its texels can be recognised wherever they land.
constexpr std::array<std::uint8_t, 4> kMarker = {1, 254, 3, 255};

std::uint32_t fnv1a(const std::string& text) {
  std::uint32_t hash = 2166136261u;
  for (unsigned char c : text)
    hash = (hash ^ c) * 16777619u;
  return hash;
}

std::vector<char> readBytes(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::vector<char>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void writeBytes(const fs::path& path, const std::vector<char>& bytes) {
  std::ofstream(path, std::ios::binary).write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

// The run folder the tests started in: the build folder with the content.
const fs::path& buildFolder() {
  static const fs::path folder = fs::current_path();
  return folder;
}

// The content

// The files of one content folder of the build folder that end in `extension`,
// sorted by name.
std::vector<std::string> contentFiles(const char* folder, const std::string& extension) {
  std::vector<std::string> names;
  std::error_code error;
  for (fs::directory_iterator it(buildFolder() / folder, error), end; !error && it != end; it.increment(error))
    if (it->path().extension() == extension)
      names.push_back(it->path().filename().string());
  std::sort(names.begin(), names.end());
  return names;
}

std::string fileName(const char* path) { return fs::path(path).filename().string(); }

const std::vector<std::string>& models() {
  static const std::vector<std::string> names = contentFiles(content::kModelFolder, ".dae");
  return names;
}

// A texture lies beside the models and belongs to the model whose images name
// it; "" for one that no model names.
struct ModelTexture {
  std::string model;
  std::string texture;
};

const std::vector<ModelTexture>& modelTextures() {
  static const std::vector<ModelTexture> textures = [] {
    std::vector<std::pair<std::string, std::string>> modelTexts;
    for (const std::string& model : models()) {
      const std::vector<char> bytes = readBytes(buildFolder() / content::kModelFolder / model);
      modelTexts.emplace_back(model, std::string(bytes.begin(), bytes.end()));
    }
    std::vector<ModelTexture> found;
    for (const std::string& texture : contentFiles(content::kModelFolder, ".png")) {
      ModelTexture t{"", texture};
      for (const auto& [model, text] : modelTexts)
        if (text.find("<init_from>" + texture + "</init_from>") != std::string::npos) {
          t.model = model;
          break;
        }
      found.push_back(t);
    }
    return found;
  }();
  return textures;
}

const std::vector<std::string>& statusImageNames() {
  static const std::vector<std::string> names = contentFiles(content::kImageFolder, ".png");
  return names;
}

const std::vector<std::string>& clips() {
  static const std::vector<std::string> names = contentFiles(content::kClipFolder, ".mpg");
  return names;
}

const std::vector<std::string>& sounds() {
  static const std::vector<std::string> names = contentFiles(content::kSoundFolder, ".wav");
  return names;
}

const std::vector<std::string>& shaders() {
  static const std::vector<std::string> names = [] {
    std::vector<std::string> all = contentFiles(content::kShaderFolder, ".vert");
    for (const std::string& name : contentFiles(content::kShaderFolder, ".frag"))
      all.push_back(name);
    std::sort(all.begin(), all.end());
    return all;
  }();
  return names;
}

// Every file of the content folders is one that a kind of case damages: a file
// of another kind (or a texture no model names) would be left out, and a
// folder of content laid out otherwise would not be found.
TEST(BadContentCoverage, EveryContentFileIsDamagedByTheCases) {
  std::set<std::string> damaged;
  const auto add = [&damaged](const char* folder, const std::vector<std::string>& names) {
    for (const std::string& name : names)
      damaged.insert(std::string(folder) + "/" + name);
  };
  add(content::kModelFolder, models());
  for (const ModelTexture& t : modelTextures()) {
    EXPECT_NE(t.model, "") << "no model names the texture " << t.texture;
    if (!t.model.empty())
      damaged.insert(std::string(content::kModelFolder) + "/" + t.texture);
  }
  add(content::kImageFolder, statusImageNames());
  add(content::kClipFolder, clips());
  add(content::kSoundFolder, sounds());
  add(content::kShaderFolder, shaders());

  std::size_t files = 0;
  std::vector<const char*> folders{content::kShaderFolder};
  folders.insert(folders.end(), content::kGeneratedFolders.begin(), content::kGeneratedFolders.end());
  for (const char* folder : folders) {
    ASSERT_TRUE(fs::is_directory(buildFolder() / folder))
        << folder << " not beside the test: run it in the build folder";
    for (const fs::directory_entry& entry : fs::directory_iterator(buildFolder() / folder)) {
      ++files;
      const std::string relative = std::string(folder) + "/" + entry.path().filename().string();
      EXPECT_TRUE(entry.is_regular_file()) << relative << " is not a file";
      EXPECT_EQ(damaged.count(relative), 1u) << relative << " is damaged by no case";
    }
  }
  EXPECT_EQ(files, damaged.size());
  // the game's own names among them
  for (const char* path : {content::kLitVertexShader, content::kWaterFragmentShader, content::kMonitorModel,
                           content::kVictoryClip, content::kPauseImage, content::kOnImage})
    EXPECT_EQ(damaged.count(path), 1u) << path;
}

std::string currentTestName() {
  const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
  std::string name = std::string(info->test_suite_name()) + "." + info->name();
  for (char& c : name)
    if (c == '/')
      c = '_';
  return name;
}

// A private run folder: every content file a link to the build folder's, so
// that one of them can be damaged. Its name depends only on the test and the
// build folder, so the child of a death test, which runs the test again,
// builds the same folder.
class RunFolder {
public:
  RunFolder() {
    std::ostringstream name;
    name << "felidora-badcontent-" << std::hex << fnv1a(buildFolder().string()) << "-" << currentTestName();
    root = fs::temp_directory_path() / name.str();
    fs::remove_all(root);
    std::vector<const char*> folders{content::kShaderFolder};
    folders.insert(folders.end(), content::kGeneratedFolders.begin(), content::kGeneratedFolders.end());
    for (const char* folder : folders) {
      fs::create_directories(root / folder);
      for (const fs::directory_entry& entry : fs::directory_iterator(buildFolder() / folder))
        fs::create_symlink(entry.path(), root / folder / entry.path().filename());
    }
  }
  ~RunFolder() {
    std::error_code ignored;
    fs::remove_all(root, ignored);
  }
  RunFolder(const RunFolder&) = delete;
  RunFolder& operator=(const RunFolder&) = delete;

  const fs::path& path() const { return root; }

  // Replaces the link of `relative` by the damaged file. Returns the size a
  // wrong-size image was given.
  std::pair<int, int> damage(const std::string& relative, Damage damage) const {
    const fs::path file = root / relative;
    const std::vector<char> original = readBytes(buildFolder() / relative);
    fs::remove(file);
    switch (damage) {
    case Damage::Missing: break;
    case Damage::Empty: writeBytes(file, {}); break;
    case Damage::Truncated:
      writeBytes(file, std::vector<char>(original.begin(), original.begin() + original.size() / 2));
      break;
    case Damage::RandomBytes: {
      std::mt19937 random(fnv1a(relative));
      std::vector<char> bytes(original.size());
      for (char& c : bytes)
        c = static_cast<char>(random() & 0xff);
      writeBytes(file, bytes);
      break;
    }
    case Damage::WrongSize: {
      const auto [width, height] = pngSize(original);
      const int wrongWidth = std::max(1, width / 2), wrongHeight = std::max(1, height / 2);
      writeSolidPng(file.string(), wrongWidth, wrongHeight, kMarker);
      return {wrongWidth, wrongHeight};
    }
    }
    return {0, 0};
  }

private:
  fs::path root;
};

// The game reads its content relative to the working directory.
class WorkingDirectory {
public:
  explicit WorkingDirectory(const fs::path& folder) : previous(fs::current_path()) { fs::current_path(folder); }
  ~WorkingDirectory() { fs::current_path(previous); }
  WorkingDirectory(const WorkingDirectory&) = delete;
  WorkingDirectory& operator=(const WorkingDirectory&) = delete;

private:
  fs::path previous;
};

// DevIL hands a deleted image name out again at the next request. So when the
// name that comes back after some loading is the one freed before it, every
// image made while loading was deleted again.
class DevilImageNames {
public:
  DevilImageNames() {
    ilGenImages(1, &before);
    ilDeleteImages(1, &before);
  }
  bool allReturned() const {
    ILuint next = 0;
    ilGenImages(1, &next);
    ilDeleteImages(1, &next);
    return next == before;
  }

private:
  ILuint before = 0;
};

// The outcome table

void addTableRows(); // every file, in the order of the lists below

class OutcomeEnvironment : public ::testing::Environment {
public:
  void SetUp() override {
    buildFolder();
    addTableRows();
  }
  void TearDown() override {
    const char* path = std::getenv("FELIDORA_BADCONTENT_TABLE");
    if (!path)
      return;
    int cases = 0, passed = 0;
    const ::testing::UnitTest* unit = ::testing::UnitTest::GetInstance();
    for (int i = 0; i < unit->total_test_suite_count(); ++i) {
      const ::testing::TestSuite* suite = unit->GetTestSuite(i);
      if (std::string(suite->name()).rfind("BadContent/", 0) != 0)
        continue;
      cases += suite->test_to_run_count();
      passed += suite->successful_test_count();
    }
    std::ostringstream preamble;
    preamble << "# Damaged content: every file, every damage\n\n"
             << "Written by `scripts/bad-content-table.sh`, which runs the bad-content test (`badcontent_tests`, "
                "`tests/content/BadContentTest.cpp`) in the build folder under a private display: "
             << cases << " cases, "
             << (passed == cases ? std::string("all passed")
                                 : std::to_string(cases - passed) + " failed (their cells are left empty)")
             << ". Every file of the content folders is damaged in turn: missing, empty, cut to half its length, "
                "overwritten with random bytes of its length and (PNG files) replaced by a valid PNG of the wrong "
                "size. A cell says what the case's checks confirmed; \"in the whole game\" is the game assembled and "
                "played for 40 frames with that file damaged.\n\n";
    OutcomeTable::get().write(path, preamble.str());
  }
};

::testing::Environment* const kOutcomeEnvironment = ::testing::AddGlobalTestEnvironment(new OutcomeEnvironment);

// Records an outcome only for a case that passed: the table shows what the
// checks confirmed.
void recordIfPassed(const std::string& row, const std::string& column, const std::string& outcome, int part = 0) {
  if (!::testing::Test::HasFailure())
    OutcomeTable::get().record(row, column, outcome, part);
}

template <class Param> std::string caseName(const ::testing::TestParamInfo<Param>& info) {
  std::string name = std::get<0>(info.param) + "_" + damageName(std::get<1>(info.param));
  for (char& c : name)
    if (!std::isalnum(static_cast<unsigned char>(c)))
      c = '_';
  return name;
}

// A scene object that only loads, uploads and draws.
class ModelObject : public SceneObject {
public:
  using SceneObject::SceneObject;
  void update(double, Game*) override {}
};

// Pixels of the window that are not the clear colour.
int drawnPixels() {
  std::vector<std::uint8_t> pixels(800 * 600 * 4);
  glReadPixels(0, 0, 800, 600, GL_RGBA, GL_UNSIGNED_BYTE, pixels.data());
  GLfloat clear[4];
  glGetFloatv(GL_COLOR_CLEAR_VALUE, clear);
  int drawn = 0;
  for (std::size_t i = 0; i < pixels.size(); i += 4)
    for (int c = 0; c < 3; ++c)
      if (std::abs(int(pixels[i + c]) - int(clear[c] * 255.0f + 0.5f)) > 1) { // rounding of the clear colour
        ++drawn;
        break;
      }
  return drawn;
}

// Points the program's camera at the object's meshes, from in front and a
// little above, far enough to see all of them.
void lookAtMeshes(Shader* shader, const SceneObject& object) {
  glm::vec3 low(std::numeric_limits<float>::max()), high(-std::numeric_limits<float>::max());
  for (const MeshData* mesh : object.meshes)
    for (std::size_t i = 0; i + 2 < mesh->positions.size(); i += 3) {
      const glm::vec3 p(mesh->positions[i], mesh->positions[i + 1], mesh->positions[i + 2]);
      low = glm::min(low, p);
      high = glm::max(high, p);
    }
  const glm::vec3 centre = glm::vec3(object.modelMatrix * glm::vec4(0.5f * (low + high), 1.0f));
  const float radius = std::max(0.5f * glm::length(high - low), 0.01f);
  shader->projectionMatrix = glm::perspective(glm::radians(60.0f), 800.0f / 600.0f, 0.01f * radius, 10.0f * radius);
  shader->viewMatrix = glm::lookAt(centre + radius * glm::vec3(0.0f, 1.0f, 2.5f), centre, glm::vec3(0.0f, 1.0f, 0.0f));
}

// Programs built once from the build folder's sources.
class WithGamePrograms : public ::testing::Test {
protected:
  static void SetUpTestSuite() {
    if (!glAvailable())
      return;
    lit = new Shader("Shader/OurVertexShader.vert", "Shader/OurFragmentShader.frag");
    depth = new Shader("Shader/ShadowMap.vert", "Shader/ShadowMap.frag");
    drainGlErrors();
  }
  static void TearDownTestSuite() {
    delete depth;
    delete lit;
    depth = lit = nullptr;
  }
  void SetUp() override {
    FELIDORA_REQUIRE_GL();
    ASSERT_NE(lit, nullptr);
    drainGlErrors();
  }

  static Shader* lit;
  static Shader* depth;
};
Shader* WithGamePrograms::lit = nullptr;
Shader* WithGamePrograms::depth = nullptr;

// Models

using FileDamage = std::tuple<std::string, Damage>;

class ModelDamage : public WithGamePrograms, public ::testing::WithParamInterface<FileDamage> {};

// A model that cannot be imported leaves an empty object: the importer's
// message, no meshes, lights or collision models, and nothing to draw.
TEST_P(ModelDamage, GivesAnEmptyModelWithTheImportersMessage) {
  const auto& [model, damage] = GetParam();
  RunFolder run;
  run.damage("Modelle/" + model, damage);
  WorkingDirectory inRun(run.path());
  MessageCapture messages;

  ModelObject object(glm::vec3(0.0f, 0.0f, -10.0f), lit, depth);
  EXPECT_FALSE(object.loadModel("Modelle/" + model));
  // the importer's own text, asked of a second importer
  Assimp::Importer importer;
  ASSERT_EQ(importer.ReadFile("Modelle/" + model, ModelImport::kImportFlags), nullptr);
  const std::string importerText = importer.GetErrorString();
  ASSERT_FALSE(importerText.empty());
  EXPECT_EQ(messages.text(), importerText + "\n");
  EXPECT_TRUE(object.meshes.empty());
  EXPECT_TRUE(object.lights.empty());
  EXPECT_EQ(object.meshCollisionModel, nullptr);
  EXPECT_EQ(object.boxCollisionModel, nullptr);

  object.uploadMeshes();
  EXPECT_NO_GL_ERROR("uploadMeshes");
  object.bindShadowAttributes();
  EXPECT_NO_GL_ERROR("bindShadowAttributes");
  EXPECT_TRUE(object.textures.empty());
  object.setTextureFilter(false, false, false);
  EXPECT_NO_GL_ERROR("setTextureFilter");

  glBindFramebuffer(GL_FRAMEBUFFER, 0);
  glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
  EXPECT_EQ(object.draw(glm::mat4(1.0f), false), 1);
  EXPECT_NO_GL_ERROR("draw");
  EXPECT_EQ(drawnPixels(), 0);
  EXPECT_EQ(messages.text(), importerText + "\n") << "drawing an empty model reports nothing";
  recordIfPassed("model `" + model + "`", damageName(damage), "\"" + importerText + "\", empty model");
}

INSTANTIATE_TEST_SUITE_P(BadContent, ModelDamage, ::testing::Combine(::testing::ValuesIn(models()), kFileDamages),
                         caseName<FileDamage>);

// Textures

// The textures a model names, of every model or of one.
std::vector<std::string> textureNames(const std::string& ofModel = "") {
  std::vector<std::string> names;
  for (const ModelTexture& t : modelTextures())
    if (!t.model.empty() && (ofModel.empty() || t.model == ofModel))
      names.push_back(t.texture);
  return names;
}

std::string modelOf(const std::string& texture) {
  for (const ModelTexture& t : modelTextures())
    if (t.texture == texture)
      return t.model;
  return "";
}

std::pair<int, int> textureSize(unsigned texture) {
  GLint width = 0, height = 0;
  glActiveTexture(GL_TEXTURE0);
  glBindTexture(GL_TEXTURE_2D, texture);
  glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_WIDTH, &width);
  glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_HEIGHT, &height);
  return {width, height};
}

class TextureDamage : public WithGamePrograms, public ::testing::WithParamInterface<FileDamage> {};

// The model loads; the mesh whose texture is damaged keeps a texture without
// an image (or with the wrong-size image, which is just another size for a
// texture) and is still drawn. Nothing is reported.
TEST_P(TextureDamage, LeavesTheMeshUntexturedAndTheModelDrawable) {
  const auto& [texture, damage] = GetParam();
  const std::string model = modelOf(texture);
  RunFolder run;
  const auto [wrongWidth, wrongHeight] = run.damage("Modelle/" + texture, damage);
  WorkingDirectory inRun(run.path());
  MessageCapture messages;

  ModelObject object(glm::vec3(0.0f, 0.0f, -10.0f), lit, depth);
  ASSERT_TRUE(object.loadModel("Modelle/" + model));
  const DevilImageNames imageNames;
  object.uploadMeshes();
  EXPECT_NO_GL_ERROR("uploadMeshes");
  EXPECT_TRUE(imageNames.allReturned()) << "a DevIL image was kept";
  object.bindShadowAttributes();
  EXPECT_NO_GL_ERROR("bindShadowAttributes");

  int damagedMeshes = 0;
  for (std::size_t i = 0; i < object.meshes.size(); ++i) {
    if (!object.meshes[i]->hasUvs)
      continue;
    ASSERT_NE(object.textures[i], 0u) << "mesh " << i;
    const auto [width, height] = textureSize(object.textures[i]);
    if (object.meshes[i]->texturePath != "Modelle/" + texture) {
      EXPECT_GT(width, 0) << "undamaged texture " << object.meshes[i]->texturePath;
      continue;
    }
    ++damagedMeshes;
    if (damage == Damage::WrongSize) {
      EXPECT_EQ(width, wrongWidth);
      EXPECT_EQ(height, wrongHeight);
      std::vector<std::uint8_t> texel(static_cast<std::size_t>(width) * height * 4);
      glGetTexImage(GL_TEXTURE_2D, 0, GL_RGBA, GL_UNSIGNED_BYTE, texel.data());
      EXPECT_TRUE(std::equal(kMarker.begin(), kMarker.end(), texel.begin()));
    } else {
      EXPECT_EQ(width, 0) << "a texture image from a damaged file";
      EXPECT_EQ(height, 0);
    }
  }
  EXPECT_GT(damagedMeshes, 0) << "no mesh of " << model << " uses " << texture;
  EXPECT_NO_GL_ERROR("reading the textures back");

  object.setTextureFilter(true, false, false);
  EXPECT_NO_GL_ERROR("setTextureFilter");
  glBindFramebuffer(GL_FRAMEBUFFER, 0);
  glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
  lookAtMeshes(lit, object);
  EXPECT_EQ(object.draw(glm::mat4(1.0f), false), 1);
  lit->projectionMatrix = lit->viewMatrix = glm::mat4(1.0f);
  EXPECT_NO_GL_ERROR("draw");
  EXPECT_GT(drawnPixels(), 0) << "the model was not drawn";
  EXPECT_EQ(messages.text(), "");

  std::string outcome = damage == Damage::WrongSize ? "smaller texture " + std::to_string(wrongWidth) + "x" +
                                                          std::to_string(wrongHeight) + ", drawn"
                                                    : "untextured, drawn";
  recordIfPassed("texture `" + texture + "` (" + model + ")", damageName(damage), outcome);
}

INSTANTIATE_TEST_SUITE_P(BadContent, TextureDamage,
                         ::testing::Combine(::testing::ValuesIn(textureNames()), kImageDamages), caseName<FileDamage>);

// Monitor and status images

struct Rect {
  int x, y, width, height;
};

// What the player and the game show the monitor in one frame.
struct Shown {
  int lives = 5, health = 5, score = 5, speed = 5;
  bool stats = false;
  int fps = 5, objects = 5;
  bool linear = true, mipmap = true, mipmapLinear = true;
  bool paused = false;  // the pause notice after the update
  bool options = false; // then the options page
};

using Texels = std::vector<std::uint8_t>;

// The game the monitors are updated with: its programs and a player, built
// once from the build folder.
class WithGame : public GameWithPlayer {
protected:
  static void show(Monitor& monitor, const Shown& shown, double dt) {
    Schnecke* player = game->player;
    player->lives = shown.lives;
    player->health = shown.health;
    player->score = shown.score;
    player->speedStages.speedDisplay = static_cast<SpeedDisplay>(shown.speed);
    game->showStats = shown.stats;
    game->fps = shown.fps;
    game->objectsDrawn = shown.objects;
    game->linearFiltering = shown.linear;
    game->mipmapping = shown.mipmap;
    game->mipmapLinear = shown.mipmapLinear;
    monitor.update(dt, game);
    if (shown.paused)
      monitor.showPause(true);
    if (shown.options) {
      OptionsPage page;
      page.title = "Optionen";
      page.rows.push_back({"Feuern", "Leertaste, F", "A"});
      monitor.showOptions(&page);
    }
  }

  static Texels screen(const Monitor& monitor) {
    Texels texels(static_cast<std::size_t>(monitor.screenWidth) * monitor.screenHeight * 4);
    glActiveTexture(GL_TEXTURE0);
    glBindTexture(GL_TEXTURE_2D, monitor.screenTexture);
    glGetTexImage(GL_TEXTURE_2D, 0, GL_RGBA, GL_UNSIGNED_BYTE, texels.data());
    return texels;
  }

  // The screen filled with one colour, the frames shown, the screen read back.
  static Texels play(Monitor& monitor, const std::vector<Shown>& frames) {
    monitor.showOptions(nullptr);
    monitor.status = StatusDisplay{};
    const Texels sentinel = [&] {
      Texels t(static_cast<std::size_t>(monitor.screenWidth) * monitor.screenHeight * 4);
      for (std::size_t i = 0; i < t.size(); i += 4)
        t[i] = 255, t[i + 1] = 0, t[i + 2] = 255, t[i + 3] = 255;
      return t;
    }();
    glActiveTexture(GL_TEXTURE0);
    glBindTexture(GL_TEXTURE_2D, monitor.screenTexture);
    glTexSubImage2D(GL_TEXTURE_2D, 0, 0, 0, monitor.screenWidth, monitor.screenHeight, GL_RGBA, GL_UNSIGNED_BYTE,
                    sentinel.data());
    for (const Shown& frame : frames)
      show(monitor, frame, 0.1);
    return screen(monitor);
  }
};

struct StatusFile {
  int width, height;
  std::vector<Rect> rects; // where it is written; empty for an image no element shows
  std::vector<Shown> frames;
};

// The layout of the status display and the frames that show each image.
StatusFile statusFile(const std::string& name) {
  const Shown neutral;
  const auto changed = [&neutral](auto change) {
    Shown shown = neutral;
    change(shown);
    return shown;
  };
  const auto numbered = [&name](const std::string& prefix) {
    if (name.rfind(prefix, 0) != 0 || name.size() != prefix.size() + 5)
      return -1;
    return name[prefix.size()] - '0';
  };
  const Rect noticeLabel{100, 444, 218, 52}, noticeValue{318, 444, 218, 52};
  if (int i = numbered("WuerfelGross"); i >= 0)
    return {128, 128, {{100, 296, 128, 128}}, {neutral, changed([i](Shown& s) { s.health = i; })}};
  if (int i = numbered("LebensanzahlGross"); i >= 0)
    return {128, 64, {{100, 212, 128, 64}}, {neutral, changed([i](Shown& s) { s.lives = i; })}};
  if (int i = numbered("PunktezahlZiffernsatzGross"); i >= 0)
    return {32,
            44,
            {{546, 306, 32, 44}, {211, 965, 32, 44}, {647, 965, 32, 44}},
            {neutral, changed([i](Shown& s) { s.score = s.fps = s.objects = i, s.stats = true; })}};
  if (int i = numbered("BeschleunigungsanzeigenanimationOhneTrans"); i >= 0)
    return {242, 86, {{297, 358, 242, 86}}, {neutral, changed([i](Shown& s) { s.speed = i; })}};
  const Shown stats = changed([](Shown& s) { s.stats = true; });
  const Shown nearest = changed([](Shown& s) { s.linear = false; });
  const Shown noMipmaps = changed([](Shown& s) { s.mipmap = false; });
  if (name == "PunkteanzeigeGrossOhneTrans.png")
    return {340, 88, {{248, 296, 340, 88}}, {neutral, changed([](Shown& s) { s.score = 6; })}};
  if (name == "FPS.png")
    return {90, 52, {{25, 957, 90, 52}}, {neutral, stats}};
  if (name == "FPSleer.png")
    return {218, 52, {{25, 957, 218, 52}, {243, 957, 218, 52}, {461, 957, 218, 52}}, {neutral, stats}};
  if (name == "Objects_Rendered.png")
    return {218, 52, {{243, 957, 218, 52}}, {neutral, stats}};
  if (name == "FN_Texture_Sampling_Quality.png")
    return {218, 52, {noticeLabel}, {neutral, nearest}};
  if (name == "FN_Mip_Mapping_Quality.png")
    return {218, 52, {noticeLabel}, {neutral, noMipmaps}};
  if (name == "FN_LINEAR.png")
    return {218, 52, {noticeValue}, {neutral, changed([](Shown& s) { s.mipmapLinear = false; }), neutral}};
  if (name == "FN_BILINEAR.png")
    return {218, 52, {noticeValue}, {neutral, nearest, neutral}};
  if (name == "FN_NEAREST_NEIGHBOUR.png")
    return {218, 52, {noticeValue}, {neutral, nearest}};
  if (name == "FN_OFF.png")
    return {218, 52, {noticeValue}, {neutral, noMipmaps}};
  if (name == "FN_ON.png")
    return {218, 52, {}, {neutral, stats, nearest, noMipmaps}};
  if (name == "Pause.png")
    return {320, 120, {{180, 564, 320, 120}}, {neutral, changed([](Shown& s) { s.paused = true; })}};
  if (name == "Zeichensatz.png")
    return {208, 384, {{0, 0, 1024, 1024}}, {neutral, changed([](Shown& s) { s.options = true; })}};
  return {0, 0, {}, {}};
}

bool inside(const std::vector<Rect>& rects, int x, int y) {
  return std::any_of(rects.begin(), rects.end(),
                     [x, y](const Rect& r) { return x >= r.x && x < r.x + r.width && y >= r.y && y < r.y + r.height; });
}

bool holdsMarker(const Texels& texels) {
  for (std::size_t i = 0; i < texels.size(); i += 4)
    if (std::equal(kMarker.begin(), kMarker.end(), texels.begin() + static_cast<std::ptrdiff_t>(i)))
      return true;
  return false;
}

class StatusImageDamage : public WithGame, public ::testing::WithParamInterface<FileDamage> {
protected:
  static void SetUpTestSuite() {
    WithGame::SetUpTestSuite();
    if (game)
      reference = new Monitor(glm::mat4(1.0f), game->mainShader, game->shadowShader);
  }
  static void TearDownTestSuite() {
    intact.clear();
    intactName.clear();
    delete reference;
    reference = nullptr;
    WithGame::TearDownTestSuite();
  }
  // The screen after the same frames with the intact image; the cases of one
  // image run one after the other and share it.
  static const Texels& intactScreen(const std::string& name, const StatusFile& file) {
    if (name != intactName) {
      reference->stopVideo();
      intact = play(*reference, file.frames);
      intactName = name;
    }
    return intact;
  }

  static Monitor* reference; // from the undamaged build folder
  static std::string intactName;
  static Texels intact;
};
std::string StatusImageDamage::intactName;
Texels StatusImageDamage::intact;
Monitor* StatusImageDamage::reference = nullptr;

// A damaged status image does not load (or loads at its wrong size) and is
// never written: the screen shows everything else exactly as with the intact
// file, and nothing of the damaged file anywhere. Nothing is reported.
TEST_P(StatusImageDamage, IsSkippedAndTheRestOfTheDisplayGoesOn) {
  const auto& [name, damage] = GetParam();
  const StatusFile file = statusFile(name);
  ASSERT_FALSE(file.frames.empty()) << "no layout for " << name;
  RunFolder run;
  const auto [wrongWidth, wrongHeight] = run.damage("Bilder/" + name, damage);
  WorkingDirectory inRun(run.path());
  MessageCapture messages;

  const DevilImageNames imageNames;
  StatusImage image;
  if (damage == Damage::WrongSize) {
    EXPECT_TRUE(image.load("Bilder/" + name));
    EXPECT_EQ(image.width, wrongWidth);
    EXPECT_EQ(image.height, wrongHeight);
    EXPECT_EQ(image.pixels.size(), static_cast<std::size_t>(wrongWidth) * wrongHeight * 4);
  } else {
    EXPECT_FALSE(image.load("Bilder/" + name));
    EXPECT_TRUE(image.pixels.empty());
  }
  EXPECT_FALSE(image.fits(file.width, file.height));

  Monitor monitor(glm::mat4(1.0f), game->mainShader, game->shadowShader);
  EXPECT_NO_GL_ERROR("building the monitor");
  EXPECT_TRUE(imageNames.allReturned()) << "a DevIL image was kept";
  ASSERT_EQ(monitor.screenWidth, reference->screenWidth);
  ASSERT_EQ(monitor.screenHeight, reference->screenHeight);
  monitor.stopVideo(); // the clip would cover the notices
  const Texels damaged = play(monitor, file.frames);
  EXPECT_NO_GL_ERROR("showing the frames");
  const Texels& intact = intactScreen(name, file);
  ASSERT_FALSE(holdsMarker(intact)) << "the content uses the marker colour";

  std::size_t differentOutside = 0, differentInside = 0;
  for (int y = 0; y < monitor.screenHeight; ++y)
    for (int x = 0; x < monitor.screenWidth; ++x) {
      const std::size_t i = (static_cast<std::size_t>(y) * monitor.screenWidth + x) * 4;
      if (std::equal(damaged.begin() + i, damaged.begin() + i + 4, intact.begin() + i))
        continue;
      ++(inside(file.rects, x, y) ? differentInside : differentOutside);
    }
  EXPECT_EQ(differentOutside, 0u) << "the rest of the display changed";
  if (!file.rects.empty()) {
    EXPECT_GT(differentInside, 0u) << "the damaged image was written";
  }
  EXPECT_FALSE(holdsMarker(damaged)) << "the wrong-size image was written";
  EXPECT_EQ(messages.text(), "");

  const bool glyphs = name == "Zeichensatz.png";
  recordIfPassed(glyphs ? "glyph atlas `" + name + "`" : "status image `" + name + "`", damageName(damage),
                 glyphs                        ? "no characters: the options page shown without its text"
                 : !file.rects.empty()         ? "skipped, rest shown"
                 : damage == Damage::WrongSize ? "loaded at the wrong size, never shown"
                                               : "not loaded, never shown");
}

INSTANTIATE_TEST_SUITE_P(BadContent, StatusImageDamage,
                         ::testing::Combine(::testing::ValuesIn(statusImageNames()), kImageDamages),
                         caseName<FileDamage>);

class MonitorTextureDamage : public WithGame, public ::testing::WithParamInterface<FileDamage> {};

// The monitor with a damaged texture of its own model plays its clip and
// shows its status as far as the screen texture holds them.
TEST_P(MonitorTextureDamage, PlaysAndShowsItsStatusAsFarAsTheScreenHolds) {
  const auto& [texture, damage] = GetParam();
  RunFolder run;
  const auto [wrongWidth, wrongHeight] = run.damage("Modelle/" + texture, damage);
  WorkingDirectory inRun(run.path());
  MessageCapture messages;

  Monitor monitor(glm::mat4(1.0f), game->mainShader, game->shadowShader);
  EXPECT_NO_GL_ERROR("building the monitor");
  EXPECT_TRUE(monitor.isPlaying());
  const bool isScreen = texture == "MonitorBildschirm.png";
  if (isScreen && damage == Damage::WrongSize) {
    EXPECT_EQ(monitor.screenWidth, wrongWidth);
    EXPECT_EQ(monitor.screenHeight, wrongHeight);
  } else if (isScreen) {
    EXPECT_EQ(monitor.screenWidth, 0);
    EXPECT_EQ(monitor.screenHeight, 0);
  } else {
    EXPECT_EQ(monitor.screenWidth, 1024);
    EXPECT_EQ(monitor.screenHeight, 1024);
  }

  Shown shown;
  shown.stats = true;
  for (int frame = 0; frame < 12; ++frame) {
    shown.linear = frame < 6;
    shown.score = frame * 101;
    show(monitor, shown, 0.05);
    EXPECT_NO_GL_ERROR("frame " + std::to_string(frame));
  }
  EXPECT_TRUE(monitor.isPlaying());
  monitor.draw(glm::mat4(1.0f), false);
  EXPECT_NO_GL_ERROR("draw");
  if (isScreen && damage == Damage::WrongSize) {
    // the lives element fits into the small screen, the statistics row does not
    const Texels texels = screen(monitor);
    const std::size_t lives = (212u * static_cast<std::size_t>(monitor.screenWidth) + 100u) * 4;
    EXPECT_FALSE(std::equal(kMarker.begin(), kMarker.end(), texels.begin() + static_cast<std::ptrdiff_t>(lives)));
  }
  EXPECT_EQ(messages.text(), "");
  recordIfPassed("texture `" + texture + "` (Monitor.dae)", damageName(damage),
                 !isScreen ? "monitor plays and shows its status"
                 : damage == Damage::WrongSize
                     ? "monitor writes clip and status clipped to its " + std::to_string(wrongWidth) + "x" +
                           std::to_string(wrongHeight) + " screen"
                     : "monitor has no screen image and writes nothing, runs",
                 1);
}

INSTANTIATE_TEST_SUITE_P(BadContent, MonitorTextureDamage,
                         ::testing::Combine(::testing::ValuesIn(textureNames(fileName(content::kMonitorModel))),
                                            kImageDamages),
                         caseName<FileDamage>);

// Clips

class ClipDamage : public ::testing::TestWithParam<FileDamage> {
protected:
  void SetUp() override {
    FELIDORA_REQUIRE_GL();
    drainGlErrors();
    glGenTextures(1, &texture);
    glBindTexture(GL_TEXTURE_2D, texture);
    const std::vector<std::uint8_t> black(1024 * 1024 * 4, 0);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, 1024, 1024, 0, GL_RGBA, GL_UNSIGNED_BYTE, black.data());
    glGenerateMipmap(GL_TEXTURE_2D);
  }
  void TearDown() override {
    if (texture)
      glDeleteTextures(1, &texture);
  }

  // Any texel of the video rectangle that is no longer black.
  bool pictureShown() const {
    std::vector<std::uint8_t> texels(1024 * 1024 * 4);
    glBindTexture(GL_TEXTURE_2D, texture);
    glGetTexImage(GL_TEXTURE_2D, 0, GL_RGBA, GL_UNSIGNED_BYTE, texels.data());
    for (int y = 444; y < 444 + 360; ++y)
      for (int x = 100; x < 100 + 480; ++x)
        if (texels[(static_cast<std::size_t>(y) * 1024 + x) * 4 + 3] != 0)
          return true;
    return false;
  }

  GLuint texture = 0;
};

// Played to its end at one picture per step: the clip either does not open
// (its message, no clip) or plays what it holds and ends. It never hangs.
TEST_P(ClipDamage, OpensWithItsMessageOrPlaysWhatItHolds) {
  const auto& [clip, damage] = GetParam();
  RunFolder run;
  run.damage("Videos/" + clip, damage);
  WorkingDirectory inRun(run.path());
  MessageCapture messages;
  const std::string path = "Videos/" + clip;

  VideoPlayback video;
  video.setScreenTexture(texture, 1024, 1024);
  const bool opened = video.playVideo(path.c_str());
  const std::string openMessage = messages.text();
  int steps = 0, pictures = 0;
  while (video.isPlaying() && steps < 100000) {
    const bool running = video.advanceVideo(1.0);
    ++steps;
    if (running && video.elapsedSinceFrame == 0.0)
      ++pictures;
  }
  EXPECT_FALSE(video.isPlaying()) << "still playing after " << steps << " steps";
  EXPECT_NO_GL_ERROR("playing");
  const std::string playMessage = messages.text().substr(openMessage.size());

  std::string outcome;
  switch (damage) {
  case Damage::Missing:
  case Damage::Empty:
  case Damage::RandomBytes:
    EXPECT_FALSE(opened);
    EXPECT_EQ(openMessage, "could not open " + path + "\n");
    EXPECT_FALSE(pictureShown());
    outcome = "\"could not open Videos/...\", no clip; the same again on each retry";
    break;
  case Damage::Truncated:
    EXPECT_TRUE(opened);
    EXPECT_EQ(openMessage, "");
    EXPECT_GT(pictures, 0);
    EXPECT_TRUE(pictureShown());
    EXPECT_EQ(playMessage, "");
    outcome = "plays its first " + std::to_string(pictures) + " pictures, ends silently";
    break;
  case Damage::WrongSize: break;
  }

  // The game retries a failed clip every frame: the message comes again.
  if (!opened) {
    messages.clear();
    EXPECT_FALSE(video.playVideo(path.c_str()));
    EXPECT_EQ(messages.text(), openMessage);
  }
  EXPECT_NO_GL_ERROR("retrying");
  recordIfPassed("clip `" + clip + "`", damageName(damage), outcome);
}

INSTANTIATE_TEST_SUITE_P(BadContent, ClipDamage, ::testing::Combine(::testing::ValuesIn(clips()), kFileDamages),
                         caseName<FileDamage>);

// Sounds

class SoundDamage : public ::testing::TestWithParam<FileDamage> {};

// The damaged file silences its own sound with one message; every other
// sound loads, and the game's events, its own included, play on.
TEST_P(SoundDamage, SilencesItsOwnSoundOnlyWithOneMessage) {
  const auto& [name, damage] = GetParam();
  RunFolder run;
  const std::string path = std::string("Klaenge/") + name;
  run.damage(path, damage);
  WorkingDirectory inRun(run.path());
  MessageCapture messages;
  Audio audio;
  ASSERT_TRUE(audio.openLoopbackDevice(44100));
  audio.loadSounds();
  for (std::size_t i = 0; i < kSoundCount; ++i)
    EXPECT_EQ(audio.hasSound(static_cast<Sound>(i)), kSoundFiles[i] != name) << kSoundFiles[i];
  const std::string text = messages.text();
  EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), 1) << text;
  EXPECT_EQ(text.rfind("Der Klang " + path + " ", 0), 0u) << text;

  GameSounds sounds(audio);
  const int enemy = 0;
  std::vector<float> mixed(2 * 4410);
  for (int frame = 0; frame < 10; ++frame) {
    sounds.shotFired();
    sounds.superShotCharge(frame * 0.5);
    sounds.superShotFired();
    sounds.laserFired(glm::vec3(0, 0, -50));
    sounds.enemyHit(glm::vec3(0, 0, -50));
    sounds.enemyDestroyed(glm::vec3(0, 0, -50));
    sounds.playerHit();
    sounds.lifeLost();
    sounds.boostStarted();
    sounds.brakeStarted();
    sounds.outcome(frame % 2 == 0);
    sounds.rotorAt(&enemy, glm::vec3(0, 0, -50));
    sounds.frameDone(false);
    audio.renderStereo(mixed.data(), 4410);
  }
  EXPECT_GT(*std::max_element(mixed.begin(), mixed.end()), 0.0f) << "the other sounds play";
  EXPECT_EQ(messages.text(), text) << "playing added messages";
  recordIfPassed("sound `" + name + "`", damageName(damage),
                 "\"" + text.substr(0, text.find(':') == std::string::npos ? text.size() - 1 : text.find(':')) +
                     "\", that sound silent, the others play");
}

INSTANTIATE_TEST_SUITE_P(BadContent, SoundDamage, ::testing::Combine(::testing::ValuesIn(sounds()), kFileDamages),
                         caseName<FileDamage>);

// Shaders and the monitor's light: fatal

std::string escapeRegex(const std::string& text) {
  std::string escaped;
  for (char c : text) {
    if (std::string(".[]{}()*+?^$|\\").find(c) != std::string::npos)
      escaped += '\\';
    escaped += c;
  }
  return escaped;
}

// Runs in the child of a death test: the game's start-up from a damaged run
// folder, its messages on standard error for the matcher, and no terminal to
// wait on.
void startGameIn(const fs::path& folder, bool assembleLevel) {
  const int devNull = open("/dev/null", O_RDONLY);
  dup2(devNull, STDIN_FILENO);
  fs::current_path(folder);
  setMessageStream(&std::cerr);
  Game* game = new Game;
  if (assembleLevel)
    game->assembleLevel();
  std::exit(0);
}

// Whether the driver compiles the file on its own, asked directly.
bool compiles(const fs::path& path) {
  const std::vector<char> bytes = readBytes(path);
  const std::string source(bytes.begin(), bytes.end());
  const GLuint stage = glCreateShader(path.extension() == ".vert" ? GL_VERTEX_SHADER : GL_FRAGMENT_SHADER);
  const char* text = source.c_str();
  glShaderSource(stage, 1, &text, nullptr);
  glCompileShader(stage);
  GLint status = 0;
  glGetShaderiv(stage, GL_COMPILE_STATUS, &status);
  glDeleteShader(stage);
  return status != 0;
}

class ShaderDamageDeathTest : public ::testing::TestWithParam<FileDamage> {};

// A shader the game cannot build stops it: its message and status -1.
TEST_P(ShaderDamageDeathTest, StopsTheGameWithItsMessageAndStatus255) {
  FELIDORA_REQUIRE_GL();
  const auto& [shader, damage] = GetParam();
  // the compiler's complaints arrive as GL reports too, here and in the child
  GlReportCapture compilerReports;
  RunFolder run;
  run.damage("Shader/" + shader, damage);
  std::string expected, outcome;
  if (damage == Damage::Missing) {
    expected = "^Die Shader-Datei konnte nicht geoeffnet werden: Shader/" + escapeRegex(shader) + "\n$";
    outcome = "\"Die Shader-Datei konnte nicht geoeffnet werden: ...\", exit 255";
  } else if (!compiles(run.path() / "Shader" / shader)) {
    expected = "^Der Shader konnte nicht kompiliert werden\\.\n";
    outcome = "\"Der Shader konnte nicht kompiliert werden.\" + log, exit 255";
  } else {
    // a stage cut before its main compiles, but no program links without one
    expected = "^Linken des Shader-Programms fehlgeschlagen\\.\n";
    outcome = "\"Linken des Shader-Programms fehlgeschlagen.\" + log, exit 255";
  }
  EXPECT_EXIT(startGameIn(run.path(), false), ::testing::ExitedWithCode(255), expected);
  recordIfPassed("shader `" + shader + "`", damageName(damage), outcome);
}

INSTANTIATE_TEST_SUITE_P(BadContent, ShaderDamageDeathTest,
                         ::testing::Combine(::testing::ValuesIn(shaders()), kFileDamages), caseName<FileDamage>);

class MonitorModelDeathTest : public ::testing::TestWithParam<Damage> {};

// The level needs the monitor's light: without its model the game stops.
TEST_P(MonitorModelDeathTest, StopsTheGameForWantOfTheScreenLight) {
  FELIDORA_REQUIRE_GL();
  const Damage damage = GetParam();
  RunFolder run;
  run.damage("Modelle/Monitor.dae", damage);
  std::string importerText;
  {
    WorkingDirectory inRun(run.path());
    Assimp::Importer importer;
    ASSERT_EQ(importer.ReadFile("Modelle/Monitor.dae", ModelImport::kImportFlags), nullptr);
    importerText = importer.GetErrorString();
  }
  EXPECT_EXIT(startGameIn(run.path(), true), ::testing::ExitedWithCode(255),
              "^" + escapeRegex(importerText) + "\nDas Monitor-Modell enthaelt kein Licht!\n$");
  recordIfPassed("model `Monitor.dae`", damageName(damage),
                 "game stops: \"Das Monitor-Modell enthaelt kein Licht!\", exit 255", 1);
}

INSTANTIATE_TEST_SUITE_P(BadContent, MonitorModelDeathTest,
                         ::testing::Values(Damage::Missing, Damage::Empty, Damage::Truncated, Damage::RandomBytes),
                         [](const ::testing::TestParamInfo<Damage>& info) { return damageName(info.param); });

// The whole game with one model damaged

// Every model but the monitor's (without which the level stops, above), with
// how many objects of the level import it: the enemy's files once per enemy.
std::vector<std::tuple<std::string, int>> gameModels() {
  std::vector<std::tuple<std::string, int>> loads;
  for (const std::string& model : models()) {
    if (model == fileName(content::kMonitorModel))
      continue;
    const bool perEnemy = model == fileName(content::kEnemyModel) || model == fileName(content::kRotorModel) ||
                          model == fileName(content::kLaserModel);
    loads.emplace_back(model, perEnemy ? 17 : 1);
  }
  return loads;
}

class GameDamage : public ::testing::TestWithParam<std::tuple<std::string, int>> {};

// Forty frames of play, turning and firing (a super shot, then single shots),
// with two rendered frames: the game runs on with the model empty, and the
// importer's message once per object that imports it is all it says. The
// programs validate and no two sampler types share a unit (a GL report fails
// the case).
TEST_P(GameDamage, PlaysOnWithoutTheModel) {
  FELIDORA_REQUIRE_GL();
  drainGlErrors();
  const auto& [model, loads] = GetParam();
  RunFolder run;
  run.damage("Modelle/" + model, Damage::RandomBytes);
  WorkingDirectory inRun(run.path());
  Assimp::Importer importer;
  ASSERT_EQ(importer.ReadFile("Modelle/" + model, ModelImport::kImportFlags), nullptr);
  const std::string importerText = importer.GetErrorString();
  MessageCapture messages;
  KeyFlags = KeyFlagTable{};
  {
    Game game;
    game.assembleLevel();
    EXPECT_NO_GL_ERROR("assembleLevel");
    // what strict drivers refuse at the draw, seen before the first frame
    checkGamePrograms(game);
    for (int frame = 0; frame < 40; ++frame) {
      KeyFlags.keyFire = frame < 32 || frame % 2 == 0; // held past 3 s: a super shot on release
      KeyFlags.keyLeft = frame % 10 < 5;
      KeyFlags.keyDown = frame % 10 >= 5;
      game.handleFunctionKeys();
      game.update(0.1);
      if (frame == 0 || frame == 39) {
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        game.render();
      }
      EXPECT_NO_GL_ERROR("frame " + std::to_string(frame));
      ASSERT_TRUE(game.running);
    }
  }
  KeyFlags = KeyFlagTable{};
  std::string expected;
  for (int i = 0; i < loads; ++i)
    expected += importerText + "\n";
  EXPECT_EQ(messages.text(), expected);
  recordIfPassed("model `" + model + "`", "game",
                 "random bytes: the message " + (loads == 1 ? "once" : std::to_string(loads) + " times") +
                     ", 40 frames played and drawn");
}

INSTANTIATE_TEST_SUITE_P(BadContent, GameDamage, ::testing::ValuesIn(gameModels()),
                         [](const ::testing::TestParamInfo<std::tuple<std::string, int>>& info) {
                           std::string name = std::get<0>(info.param);
                           for (char& c : name)
                             if (!std::isalnum(static_cast<unsigned char>(c)))
                               c = '_';
                           return name;
                         });

void addTableRows() {
  OutcomeTable& table = OutcomeTable::get();
  for (const std::string& model : models())
    table.addRow("model `" + model + "`");
  for (const ModelTexture& t : modelTextures())
    table.addRow("texture `" + t.texture + "` (" + t.model + ")");
  for (const std::string& name : statusImageNames())
    table.addRow("status image `" + name + "`");
  for (const std::string& clip : clips())
    table.addRow("clip `" + clip + "`");
  for (const std::string& sound : sounds())
    table.addRow("sound `" + sound + "`");
  for (const std::string& shader : shaders())
    table.addRow("shader `" + shader + "`");
}

} // namespace
} // namespace felidora::test

// NOTE: DevIL 1.7.8 loses the row pointers of a PNG whose data ends early
// (readpng_get_image allocates them, then libpng's error jump skips the free;
// a bare DevIL program loading such a file shows the same 1 KB). The
// suppression names DevIL's library, so it covers only memory DevIL allocated
// itself; that the game deletes every DevIL image it makes is checked above
// through the recycled image names. Only sanitizer builds call this.
extern "C" const char* __lsan_default_suppressions() { return "leak:libIL.so\n"; }
