// Damaged content: every file the game reads, missing, empty, cut to half its
// length, overwritten with random bytes and (images) replaced by a valid PNG
// of the wrong size. Each case damages one file in a private copy of the run
// folder and drives the real loading code of that file's kind from there:
// models and their textures through SceneObject, status images through
// StatusImage and a Monitor, clips through VideoPlayback, shaders through the
// Game's constructor. The game must go on as designed or, for shaders, stop
// with its message and status -1; it must never crash, hang or read past a
// buffer (the sanitizer build watches the last).
//
// With FELIDORA_BADCONTENT_TABLE set to a file name, the binary writes the
// observed outcomes there as a markdown table.
#include "app/Console.h"
#include "app/Game.h"
#include "app/KeyFlags.h"
#include "monitor/Monitor.h"
#include "monitor/StatusImage.h"
#include "monitor/VideoPlayback.h"
#include "objects/Schnecke.h"
#include "render/SceneObject.h"
#include "render/Shader.h"
#include "tests/support/GlContext.h"
#include "tests/support/MessageCapture.h"

#include <GL/glew.h>
#include <assimp/Importer.hpp>
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
#include <map>
#include <memory>
#include <random>
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

// A wrong-size image is a single colour that no content file uses, so its
// texels can be recognised wherever they land.
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

// Width and height from a PNG's header chunk.
std::pair<int, int> pngSize(const std::vector<char>& png) {
  const auto be32 = [&png](std::size_t at) {
    std::uint32_t v = 0;
    for (std::size_t i = 0; i < 4; ++i)
      v = (v << 8) | static_cast<unsigned char>(png.at(at + i));
    return static_cast<int>(v);
  };
  return {be32(16), be32(20)};
}

// A minimal PNG writer (RGBA, stored deflate blocks), independent of the
// image library under test.
void appendBe32(std::vector<char>& out, std::uint32_t v) {
  for (int shift = 24; shift >= 0; shift -= 8)
    out.push_back(static_cast<char>((v >> shift) & 0xff));
}

std::uint32_t crc32(const char* data, std::size_t size) {
  std::uint32_t crc = 0xffffffffu;
  for (std::size_t i = 0; i < size; ++i) {
    crc ^= static_cast<unsigned char>(data[i]);
    for (int k = 0; k < 8; ++k)
      crc = (crc >> 1) ^ (0xedb88320u & (0u - (crc & 1u)));
  }
  return ~crc;
}

void appendChunk(std::vector<char>& out, const char* type, const std::vector<char>& data) {
  appendBe32(out, static_cast<std::uint32_t>(data.size()));
  std::vector<char> typed(type, type + 4);
  typed.insert(typed.end(), data.begin(), data.end());
  out.insert(out.end(), typed.begin(), typed.end());
  appendBe32(out, crc32(typed.data(), typed.size()));
}

std::vector<char> solidPng(int width, int height, const std::array<std::uint8_t, 4>& colour) {
  std::vector<char> raw;
  raw.reserve(static_cast<std::size_t>(height) * (1 + 4 * static_cast<std::size_t>(width)));
  for (int y = 0; y < height; ++y) {
    raw.push_back(0); // filter: none
    for (int x = 0; x < width; ++x)
      raw.insert(raw.end(), colour.begin(), colour.end());
  }
  std::vector<char> zlib = {0x78, 0x01};
  std::uint32_t a = 1, b = 0;
  for (char c : raw) {
    a = (a + static_cast<unsigned char>(c)) % 65521u;
    b = (b + a) % 65521u;
  }
  for (std::size_t at = 0; at < raw.size() || at == 0; at += 65535) {
    const std::size_t length = std::min<std::size_t>(65535, raw.size() - at);
    zlib.push_back(at + length >= raw.size() ? 1 : 0);
    zlib.push_back(static_cast<char>(length & 0xff));
    zlib.push_back(static_cast<char>(length >> 8));
    zlib.push_back(static_cast<char>(~length & 0xff));
    zlib.push_back(static_cast<char>((~length >> 8) & 0xff));
    zlib.insert(zlib.end(), raw.begin() + static_cast<std::ptrdiff_t>(at),
                raw.begin() + static_cast<std::ptrdiff_t>(at + length));
    if (raw.empty())
      break;
  }
  appendBe32(zlib, (b << 16) | a);

  std::vector<char> png = {'\x89', 'P', 'N', 'G', '\r', '\n', '\x1a', '\n'};
  std::vector<char> header;
  appendBe32(header, static_cast<std::uint32_t>(width));
  appendBe32(header, static_cast<std::uint32_t>(height));
  header.insert(header.end(), {8, 6, 0, 0, 0}); // 8 bits, RGBA, deflate, no filter set, no interlace
  appendChunk(png, "IHDR", header);
  appendChunk(png, "IDAT", zlib);
  appendChunk(png, "IEND", {});
  return png;
}

// The run folder the tests started in: the build folder with the content.
const fs::path& buildFolder() {
  static const fs::path folder = fs::current_path();
  return folder;
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
    for (const char* folder : {"Shader", "Modelle", "Bilder", "Videos"}) {
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
    case Damage::Truncated: writeBytes(file, std::vector<char>(original.begin(), original.begin() + original.size() / 2)); break;
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
      writeBytes(file, solidPng(wrongWidth, wrongHeight, kMarker));
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

std::vector<std::string> lines(const std::string& text) {
  std::vector<std::string> result;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);)
    result.push_back(line);
  return result;
}

// The outcome table

const char* const kColumns[] = {"missing", "empty", "truncated", "random", "wrongsize", "game"};

class OutcomeTable {
public:
  static OutcomeTable& get() {
    static OutcomeTable table;
    return table;
  }

  void record(const std::string& row, const std::string& column, const std::string& outcome) {
    auto it = std::find_if(rows.begin(), rows.end(), [&](const Row& r) { return r.name == row; });
    if (it == rows.end()) {
      rows.push_back({row, {}});
      it = rows.end() - 1;
    }
    std::string& cell = it->cells[column];
    cell = cell.empty() ? outcome : cell + "; " + outcome;
  }

  void write(const std::string& path) const {
    std::ofstream out(path);
    out << "| file | missing | empty | truncated to half | random bytes | wrong-size PNG | in the whole game |\n";
    out << "|---|---|---|---|---|---|---|\n";
    for (const Row& row : rows) {
      out << "| " << row.name;
      for (const char* column : kColumns) {
        const auto cell = row.cells.find(column);
        out << " | " << (cell == row.cells.end() ? "-" : cell->second);
      }
      out << " |\n";
    }
  }

private:
  struct Row {
    std::string name;
    std::map<std::string, std::string> cells;
  };
  std::vector<Row> rows;
};

class OutcomeEnvironment : public ::testing::Environment {
public:
  void SetUp() override { buildFolder(); }
  void TearDown() override {
    if (const char* path = std::getenv("FELIDORA_BADCONTENT_TABLE"))
      OutcomeTable::get().write(path);
  }
};

::testing::Environment* const kOutcomeEnvironment = ::testing::AddGlobalTestEnvironment(new OutcomeEnvironment);

// Records an outcome only for a case that passed: the table shows what the
// checks confirmed.
void recordIfPassed(const std::string& row, const std::string& column, const std::string& outcome) {
  if (!::testing::Test::HasFailure())
    OutcomeTable::get().record(row, column, outcome);
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

// Everything on screen is the clear colour.
::testing::AssertionResult windowIsClear() {
  std::vector<std::uint8_t> pixels(800 * 600 * 4);
  glReadPixels(0, 0, 800, 600, GL_RGBA, GL_UNSIGNED_BYTE, pixels.data());
  GLfloat clear[4];
  glGetFloatv(GL_COLOR_CLEAR_VALUE, clear);
  for (std::size_t i = 0; i < pixels.size(); i += 4)
    for (int c = 0; c < 3; ++c)
      if (std::abs(int(pixels[i + c]) - int(clear[c] * 255.0f + 0.5f)) > 1) // rounding of the clear colour
        return ::testing::AssertionFailure() << "pixel " << i / 4 << " was drawn";
  return ::testing::AssertionSuccess();
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

const std::vector<std::string> kModels = {
    "UmgebungGross.dae", "WasserNormal.dae",   "SchneckeModell.dae", "Wollknaeuel.dae",
    "WollknaeuelSuperschussLevel1.dae", "HummelotModell.dae", "Hummelot_Rotorblatt_Modell.dae",
    "LaserschussModell.dae", "Monitor.dae",
};

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
  ASSERT_EQ(importer.ReadFile("Modelle/" + model, 0x894A), nullptr);
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
  EXPECT_TRUE(windowIsClear());
  EXPECT_EQ(messages.text(), importerText + "\n") << "drawing an empty model reports nothing";
  recordIfPassed("model `" + model + "`", damageName(damage), "\"" + importerText + "\", empty model");
}

INSTANTIATE_TEST_SUITE_P(BadContent, ModelDamage, ::testing::Combine(::testing::ValuesIn(kModels), kFileDamages),
                         caseName<FileDamage>);

// Textures

struct ModelTexture {
  std::string model;
  std::string texture;
};

const std::vector<ModelTexture> kTextures = {
    {"UmgebungGross.dae", "UmgebungBoden.png"},
    {"UmgebungGross.dae", "UmgebungWald.png"},
    {"WasserNormal.dae", "WasserNormalmap.png"},
    {"SchneckeModell.dae", "SchneckeKoerper.png"},
    {"SchneckeModell.dae", "SchneckeHaus.png"},
    {"SchneckeModell.dae", "SchneckeAugen.png"},
    {"SchneckeModell.dae", "SchneckeFluegel.png"},
    {"Wollknaeuel.dae", "WollknaeuelBall.png"},
    {"Wollknaeuel.dae", "WollknaeuelFaden.png"},
    {"WollknaeuelSuperschussLevel1.dae", "SuperknaeuelBall.png"},
    {"WollknaeuelSuperschussLevel1.dae", "SuperknaeuelFaden.png"},
    {"WollknaeuelSuperschussLevel1.dae", "SuperknaeuelFunken.png"},
    {"HummelotModell.dae", "HummelotRumpf.png"},
    {"HummelotModell.dae", "HummelotAugen.png"},
    {"HummelotModell.dae", "HummelotFluegel.png"},
    {"HummelotModell.dae", "HummelotTechnik.png"},
    {"Hummelot_Rotorblatt_Modell.dae", "RotorBlaetter.png"},
    {"Hummelot_Rotorblatt_Modell.dae", "RotorNabe.png"},
    {"LaserschussModell.dae", "LaserStrahl.png"},
    {"LaserschussModell.dae", "LaserRinge.png"},
    {"Monitor.dae", "MonitorBildschirm.png"},
    {"Monitor.dae", "MonitorGehaeuse.png"},
    {"Monitor.dae", "MonitorOhren.png"},
};

std::vector<std::string> textureNames() {
  std::vector<std::string> names;
  for (const ModelTexture& t : kTextures)
    names.push_back(t.texture);
  return names;
}

std::string modelOf(const std::string& texture) {
  for (const ModelTexture& t : kTextures)
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
  object.uploadMeshes();
  EXPECT_NO_GL_ERROR("uploadMeshes");
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
  EXPECT_EQ(object.draw(glm::mat4(1.0f), false), 1);
  EXPECT_NO_GL_ERROR("draw");
  EXPECT_EQ(messages.text(), "");

  std::string outcome = damage == Damage::WrongSize ? "smaller texture " + std::to_string(wrongWidth) + "x" +
                                                          std::to_string(wrongHeight) + ", drawn"
                                                    : "untextured, drawn";
  recordIfPassed("texture `" + texture + "` (" + model + ")", damageName(damage), outcome);
}

INSTANTIATE_TEST_SUITE_P(BadContent, TextureDamage,
                         ::testing::Combine(::testing::ValuesIn(textureNames()), kImageDamages),
                         caseName<FileDamage>);

} // namespace
} // namespace felidora::test
