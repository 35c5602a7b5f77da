// Felidora's content generator: writes every model, texture, status image,
// video clip and sound the game reads into Modelle/, Bilder/, Videos/ and
// Klaenge/ of the folder given on the command line, and the desktop icon felidora.png beside them.
// The output depends on nothing but this program.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <map>
#include <string>
#include <thread>
#include <vector>

#include "base/ContentFiles.h"
#include "tools/Clips.h"
#include "tools/Icon.h"
#include "tools/Models.h"
#include "tools/Sounds.h"
#include "tools/StatusImages.h"

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: %s <output folder>\n", argv[0]);
    return 2;
  }
  const std::string folder = argv[1];
  std::error_code error;
  for (const char* sub : content::kGeneratedFolders) {
    std::filesystem::create_directories(folder + "/" + sub, error);
    if (error) {
      std::fprintf(stderr, "cannot create %s/%s: %s\n", folder.c_str(), sub, error.message().c_str());
      return 1;
    }
  }
  const auto start = std::chrono::steady_clock::now();
  // Clips and models take about equally long and share nothing: one thread each.
  std::vector<GeneratedFile> files, clipFiles;
  bool clipsWritten = false;
  std::thread clips([&] { clipsWritten = writeClips(folder, clipFiles); });
  writeModels(folder, files);
  writeStatusImages(folder, files);
  const bool soundsWritten = writeSounds(folder, files);
  clips.join();
  if (!clipsWritten || !soundsWritten || !writeIcon(folder + "/felidora.png"))
    return 1;
  files.insert(files.end(), clipFiles.begin(), clipFiles.end());
  const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();

  // List everything written, models with their triangle counts.
  std::map<std::string, size_t> triangles;
  for (const auto& file : files)
    triangles[file.path] = file.triangles;
  std::vector<std::string> written;
  for (const char* sub : content::kGeneratedFolders)
    for (const auto& entry : std::filesystem::directory_iterator(folder + "/" + sub))
      written.push_back(std::string(sub) + "/" + entry.path().filename().string());
  std::sort(written.begin(), written.end());
  uintmax_t total = 0;
  for (const auto& path : written) {
    const uintmax_t bytes = std::filesystem::file_size(folder + "/" + path);
    total += bytes;
    const auto model = triangles.find(path);
    if (model != triangles.end() && model->second > 0)
      std::printf("%-56s %10ju bytes %7zu triangles\n", path.c_str(), bytes, model->second);
    else
      std::printf("%-56s %10ju bytes\n", path.c_str(), bytes);
  }
  std::printf("%zu files, %ju bytes, generated in %.1f s\n", written.size(), total, seconds);
  return 0;
}
