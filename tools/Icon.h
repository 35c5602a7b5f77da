// The desktop icon: the flying snail with a ball of wool on a sky-blue tile,
// written as a 256 x 256 PNG for the desktop's menus.
#pragma once

#include <string>

// Writes the icon to path; false (with a message) when it cannot be written.
bool writeIcon(const std::string& path);
