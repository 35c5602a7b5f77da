// What a frame does beyond its own decisions: play the game, draw and show
// it, and follow the window. GameFrame decides which of them a frame takes;
// GameFrameActions takes them on the real game, its window and GL, and a test
// may take them on nothing but its notes.
#pragma once

struct OptionsPage;

class FrameActions {
public:
  virtual ~FrameActions() = default;

  // The game goes on (it ends itself once its outcome clip has run).
  virtual bool running() const = 0;
  // The function keys, then the update by dt: the game's part of a played frame.
  virtual void play(double dt) = 0;
  virtual void showPause(bool paused) = 0;
  // The options page on the monitor, or (nullptr) the monitor as it was.
  virtual void showOptions(const OptionsPage* page) = 0;
  // The settings changed on the options screen (OptionsScreen::Change bits):
  // they take effect and are kept.
  virtual void applySettings(unsigned changes) = 0;
  // Clears, renders, presents and shows the picture.
  virtual void draw() = 0;
  // Full screen to a window, or back (and kept as the player's setting).
  virtual void toggleWindowMode() = 0;
  // The window needs its picture again (exposed, or a new framebuffer size,
  // which the frame then follows) since the previous call.
  virtual bool windowChanged() = 0;
  // Says so once if a GL error is pending.
  virtual void reportGlError() = 0;
};
