// The monitor's video clips: the looping cat scene, the controls tutorial,
// game over and victory, 480 x 360 MPEG-2 at 25 pictures per second.
#pragma once

#include <string>
#include <vector>

#include "tools/Models.h"

// Writes the four clips into folder + "/Videos"; false if encoding failed.
bool writeClips(const std::string& folder, std::vector<GeneratedFile>& files);
