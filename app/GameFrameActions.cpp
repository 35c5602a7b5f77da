#include "app/GameFrameActions.h"

#include "app/Game.h"
#include "app/StartUp.h"
#include "app/WindowEvents.h"
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

void GameFrameActions::play(double dt) {
  game.handleFunctionKeys();
  game.update(dt);
}

void GameFrameActions::showPause(bool paused) { game.showPause(paused); }

void GameFrameActions::draw() {
  // nothing in the update binds a framebuffer: the scene's is still bound
  glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
  game.render();
  presenter.present();
  glfwSwapBuffers(window);
}

void GameFrameActions::toggleWindowMode() { ::toggleWindowMode(window); }

bool GameFrameActions::windowChanged() {
  const bool exposed = events.takeExposed();
  const bool resized = followFramebufferSize();
  return exposed || resized;
}

void GameFrameActions::reportGlError() {
  if (glGetError() != GL_NO_ERROR)
    messageStream() << "Ein GL-Fehler ist aufgetreten!" << std::endl;
}
