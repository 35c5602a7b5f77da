// What the player chooses and the game remembers between runs: the controls,
// the volume, full screen or a window of a size, vertical sync and muting.
// Without a settings file each has the value the game has always started
// with.
#pragma once

#include "app/Bindings.h"

struct Settings {
  // the window sizes a settings file may give
  static constexpr int kMinWindowWidth = 320;
  static constexpr int kMinWindowHeight = 240;
  static constexpr int kMaxWindowSide = 16384;

  Bindings bindings = defaultBindings();
  int volume = 100; // per cent, 0 to 100
  bool fullScreen = true;
  int windowWidth = 800; // the window's size when not full screen
  int windowHeight = 600;
  bool vsync = true;
  bool muted = false;

  bool operator==(const Settings& other) const {
    return bindings == other.bindings && volume == other.volume && fullScreen == other.fullScreen &&
           windowWidth == other.windowWidth && windowHeight == other.windowHeight && vsync == other.vsync &&
           muted == other.muted;
  }
  bool operator!=(const Settings& other) const { return !(*this == other); }
};
