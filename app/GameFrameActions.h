// The frame's steps on the real game: its update and render, the frame
// presented into the window's framebuffer at whatever size that has, the
// buffer swap, the window mode, the options page and the player's settings
// (taking effect, and kept in the settings file), and the GL error check.
#pragma once

#include "app/FrameActions.h"

struct GLFWwindow;
struct Settings;
class Audio;
class FramePresenter;
class Game;
class SettingsFile;
class WindowEvents;

class GameFrameActions : public FrameActions {
public:
  // Without a settings file (a replay) the settings change for this run only.
  GameFrameActions(GLFWwindow* window, Game& game, FramePresenter& presenter, WindowEvents& events, Settings& settings,
                   SettingsFile* settingsFile)
      : window(window), game(game), presenter(presenter), events(events), settings(settings),
        settingsFile(settingsFile) {}

  // The sound, once it is open: it takes the volume now and at each change.
  void useAudio(Audio* sound);

  // A changed framebuffer size (or the first one) chooses where the main view
  // is drawn: straight into the window, or into a frame scaled into it. True
  // when the size changed.
  bool followFramebufferSize();

  // The window's last size is kept when the game ends in a window.
  void keepWindowSize();

  // How many frames were drawn so far.
  long long framesDrawn() const { return drawn; }

  bool running() const override;
  void play(double dt) override;
  void showPause(bool paused) override;
  void showOptions(const OptionsPage* page) override;
  void applySettings(unsigned changes) override;
  void draw() override;
  void toggleWindowMode() override;
  bool windowChanged() override;
  void reportGlError() override;

private:
  void save();

  GLFWwindow* window;
  Game& game;
  FramePresenter& presenter;
  WindowEvents& events;
  Settings& settings;
  SettingsFile* settingsFile;
  Audio* audio = nullptr;
  long long drawn = 0;
};
