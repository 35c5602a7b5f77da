// Every model file of the game with its textures: the landscape, the water,
// the flying snail, the two balls of wool, the bumblebee enemy with its rotor,
// the laser bolt and the monitor.
#pragma once

#include <string>
#include <vector>

struct GeneratedFile {
  std::string path; // relative to the output folder
  size_t triangles; // 0 for images and clips
};

// Writes the models and their textures into folder + "/Modelle".
void writeModels(const std::string& folder, std::vector<GeneratedFile>& files);
