#include "app/GameFrameActions.h"

#include "app/Game.h"
#include "app/KeyFlags.h"
#include "app/OptionsScreen.h"
#include "app/Settings.h"
#include "app/SettingsFile.h"
#include "app/StartUp.h"
#include "app/WindowEvents.h"
#include "audio/Audio.h"
#include "base/Console.h"
#include "render/FramePresenter.h"

#include <GL/glew.h>
#include <GLFW/glfw3.h>

#include <ostream>

bool GameFrameActions::followFramebufferSize() {
  const FramebufferSize size = events.framebufferSize();
  if (presenter.sizedFor(size.width, size.height))
    return false;
  presenter.resize(size.width, size.height);
  game.sceneFramebuffer = presenter.sceneFramebuffer();
  return true;
}

bool GameFrameActions::running() const { return game.running; }

void GameFrameActions::useAudio(Audio* sound) {
  audio = sound;
  if (audio)
    audio->setVolume(settings.volume / 100.0f);
}

void GameFrameActions::play(double dt) {
  game.handleFunctionKeys();
  game.update(dt);
  // M is remembered between runs
  if (KeyFlags.soundMuted != settings.muted) {
    settings.muted = KeyFlags.soundMuted;
    save();
  }
}

void GameFrameActions::showPause(bool paused) { game.showPause(paused); }

void GameFrameActions::showOptions(const OptionsPage* page) { game.showOptions(page); }

void GameFrameActions::applySettings(unsigned changes) {
  if ((changes & OptionsScreen::kVolume) && audio)
    audio->setVolume(settings.volume / 100.0f);
  if (changes & OptionsScreen::kVsync)
    glfwSwapInterval(settings.vsync ? 1 : 0);
  if (changes & OptionsScreen::kWindow) {
    ::keepWindowSize(window, settings); // while it is still the window
    setWindowMode(window, settings);
  }
  save();
}

void GameFrameActions::draw() {
  // nothing in the update binds a framebuffer: the scene's is still bound
  glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
  game.render();
  presenter.present();
  glfwSwapBuffers(window);
  ++drawn;
}

void GameFrameActions::toggleWindowMode() {
  ::keepWindowSize(window, settings);
  settings.fullScreen = !settings.fullScreen;
  setWindowMode(window, settings);
  save();
}

void GameFrameActions::keepWindowSize() {
  const Settings before = settings;
  ::keepWindowSize(window, settings);
  if (settings != before)
    save();
}

void GameFrameActions::save() {
  if (settingsFile)
    settingsFile->save(settings);
}

bool GameFrameActions::windowChanged() {
  const bool exposed = events.takeExposed();
  const bool resized = followFramebufferSize();
  return exposed || resized;
}

void GameFrameActions::reportGlError() {
  if (glGetError() != GL_NO_ERROR)
    messageStream() << "Ein GL-Fehler ist aufgetreten!" << std::endl;
}
