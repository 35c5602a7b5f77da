// The content generator fills the build folder with every file the game reads,
// needs nothing beforehand, and gives byte-identical files on every run.
#include "audio/SoundCatalogue.h"
#include "render/ModelImport.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <set>
#include <string>
#include <vector>

#include <unistd.h>

#include <assimp/Importer.hpp>
#include <assimp/scene.h>

namespace fs = std::filesystem;

namespace {

std::vector<std::string> filesTheGameReads() {
  std::vector<std::string> files = {
      "Modelle/UmgebungGross.dae",
      "Modelle/WasserNormal.dae",
      "Modelle/SchneckeModell.dae",
      "Modelle/Wollknaeuel.dae",
      "Modelle/WollknaeuelSuperschussLevel1.dae",
      "Modelle/HummelotModell.dae",
      "Modelle/Hummelot_Rotorblatt_Modell.dae",
      "Modelle/LaserschussModell.dae",
      "Modelle/Monitor.dae",
      "Bilder/PunkteanzeigeGrossOhneTrans.png",
      "Bilder/FPS.png",
      "Bilder/FPSleer.png",
      "Bilder/Objects_Rendered.png",
      "Bilder/FN_Texture_Sampling_Quality.png",
      "Bilder/FN_Mip_Mapping_Quality.png",
      "Bilder/FN_LINEAR.png",
      "Bilder/FN_BILINEAR.png",
      "Bilder/FN_NEAREST_NEIGHBOUR.png",
      "Bilder/FN_ON.png",
      "Bilder/FN_OFF.png",
      "Bilder/Zeichensatz.png",
      "Videos/Katzenvideo.mpg",
      "Videos/Katzentutorial.mpg",
      "Videos/GameOver.mpg",
      "Videos/Sieg.mpg",
  };
  for (int i = 0; i <= 6; ++i)
    files.push_back("Bilder/WuerfelGross" + std::to_string(i) + ".png");
  for (int i = 0; i <= 9; ++i) {
    files.push_back("Bilder/LebensanzahlGross" + std::to_string(i) + ".png");
    files.push_back("Bilder/PunktezahlZiffernsatzGross" + std::to_string(i) + ".png");
  }
  for (int i = 0; i <= 8; ++i)
    files.push_back("Bilder/BeschleunigungsanzeigenanimationOhneTrans" + std::to_string(i) + ".png");
  for (const char* sound : kSoundFiles)
    files.push_back(std::string("Klaenge/") + sound);
  return files;
}

std::set<std::string> listContent(const fs::path& folder) {
  std::set<std::string> names;
  for (const char* sub : {"Modelle", "Bilder", "Videos", "Klaenge"}) {
    if (!fs::is_directory(folder / sub))
      continue;
    for (const auto& entry : fs::directory_iterator(folder / sub))
      names.insert(std::string(sub) + "/" + entry.path().filename().string());
  }
  return names;
}

std::string readBytes(const fs::path& path) {
  std::ifstream file(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

} // namespace

TEST(ContentGeneration, BuildFolderHoldsEveryFileTheGameReads) {
  for (const auto& file : filesTheGameReads()) {
    SCOPED_TRACE(file);
    ASSERT_TRUE(fs::is_regular_file(file));
    EXPECT_GT(fs::file_size(file), 0u);
  }
}

TEST(ContentGeneration, EveryModelTextureLiesBesideItsModel) {
  for (const auto& file : filesTheGameReads()) {
    if (file.rfind("Modelle/", 0) != 0)
      continue;
    SCOPED_TRACE(file);
    Assimp::Importer importer;
    const aiScene* scene = importer.ReadFile(file, ModelImport::kImportFlags);
    ASSERT_NE(scene, nullptr) << importer.GetErrorString();
    for (unsigned i = 0; i < scene->mNumMaterials; ++i) {
      aiString path;
      if (scene->mMaterials[i]->GetTexture(aiTextureType_DIFFUSE, 0, &path) == AI_SUCCESS) {
        EXPECT_TRUE(fs::is_regular_file(fs::path("Modelle") / path.C_Str())) << path.C_Str();
      }
    }
  }
}

// Two runs into empty folders (side by side, to halve the wait) must produce
// the same files with the same bytes, and the same as the build folder holds.
TEST(ContentGeneration, EmptyFoldersFillWithIdenticalFiles) {
  const fs::path base = fs::temp_directory_path() / ("felidora-content-" + std::to_string(::getpid()));
  fs::remove_all(base);
  const fs::path first = base / "first", second = base / "second";
  fs::create_directories(first);
  fs::create_directories(second);
  const std::string generator = FELIDORA_CONTENT_GENERATOR;
  const std::string command = "'" + generator + "' '" + first.string() + "' > '" + (base / "first.log").string() +
                              "' 2>&1 & '" + generator + "' '" + second.string() + "' > '" +
                              (base / "second.log").string() + "' 2>&1; s=$?; wait $! || exit 1; exit $s";
  ASSERT_EQ(std::system(command.c_str()), 0) << readBytes(base / "first.log") << readBytes(base / "second.log");

  const auto firstFiles = listContent(first), secondFiles = listContent(second);
  for (const auto& file : filesTheGameReads())
    EXPECT_EQ(firstFiles.count(file), 1u) << file;
  EXPECT_EQ(firstFiles, secondFiles);
  for (const auto& file : firstFiles) {
    SCOPED_TRACE(file);
    const std::string bytes = readBytes(first / file);
    EXPECT_TRUE(bytes == readBytes(second / file)) << "differs between two runs";
    EXPECT_TRUE(bytes == readBytes(file)) << "differs from the build folder's copy";
  }
  fs::remove_all(base);
}
