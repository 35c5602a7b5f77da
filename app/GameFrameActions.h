// The frame's steps on the real game: its update and render, the frame
// presented into the window's framebuffer at whatever size that has, the
// buffer swap, the window mode and the GL error check.
#pragma once

#include "app/FrameActions.h"

struct GLFWwindow;
class FramePresenter;
class Game;
class WindowEvents;

class GameFrameActions : public FrameActions {
public:
  GameFrameActions(GLFWwindow* window, Game& game, FramePresenter& presenter, WindowEvents& events)
      : window(window), game(game), presenter(presenter), events(events) {}

  // A changed framebuffer size (or the first one) chooses where the main view
  // is drawn: straight into the window, or into a frame scaled into it. True
  // when the size changed.
  bool followFramebufferSize();

  bool running() const override;
  void play(double dt) override;
  void showPause(bool paused) override;
  void draw() override;
  void toggleWindowMode() override;
  bool windowChanged() override;
  void reportGlError() override;

private:
  GLFWwindow* window;
  Game& game;
  FramePresenter& presenter;
  WindowEvents& events;
};
