// The status display's images for the monitor: health dice, lives, digits,
// the speed indicator frames, the score panel, the statistics row and the
// texture-setting notices, each exactly the size of its place on the screen;
// and the glyph atlas the monitor writes its text with.
#pragma once

#include <string>
#include <vector>

#include "tools/Models.h"

void writeStatusImages(const std::string& folder, std::vector<GeneratedFile>& files);
