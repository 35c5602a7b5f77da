// Felidora's entry point: start-up, the frame loop and shutdown. The frame is
// the list of steps in runFrameLoop, in order.
#include "app/Console.h"
#include "app/Game.h"
#include "app/KeyFlags.h"
#include "app/Platform.h"
#include "app/StartUp.h"
#include "render/FramePresenter.h"

#include <GL/glew.h>
#include <GLFW/glfw3.h>

#include <cstdlib>

namespace {

GLFWwindow* gWindow = nullptr;
// The one game; kept reachable until exit so leak checkers see it as live.
Game* gGame = nullptr;
FramePresenter* gPresenter = nullptr;

// A changed framebuffer size (or the first one) chooses where the main view is
// drawn: straight into the window, or into a frame scaled into it.
void followFramebufferSize(Game& game, FramePresenter& presenter) {
  const FramebufferSize size = framebufferSize();
  if (size.width == presenter.framebufferWidth() && size.height == presenter.framebufferHeight())
    return;
  presenter.resize(size.width, size.height);
  game.sceneFramebuffer = presenter.sceneFramebuffer();
}

void runFrameLoop(Game& game, FramePresenter& presenter) {
  double previous = glfwGetTime();
  while (game.running) {
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);

    const double now = glfwGetTime();
    const double dt = now - previous;
    previous = now;

    pollKeys();
    if (escapePressed())
      break;
    if (glfwWindowShouldClose(gWindow))
      break;

    game.handleFunctionKeys();
    game.update(dt);
    game.render();
    presenter.present();

    glfwSwapBuffers(gWindow);
    glfwPollEvents();
    followFramebufferSize(game, presenter);

    if (glGetError() != GL_NO_ERROR)
      messageStream() << "Ein GL-Fehler ist aufgetreten!" << std::endl;
  }
}

} // namespace

int main() {
  enterExecutableFolder();
  resetKeyToggles();
  gWindow = startUp();

  // Never destroyed: the process ends with exit() and the system reclaims it.
  gGame = new Game();
  gGame->assembleLevel();
  gPresenter = new FramePresenter(gGame->windowWidth, gGame->windowHeight);
  followFramebufferSize(*gGame, *gPresenter);

  runFrameLoop(*gGame, *gPresenter);

  glfwTerminate();
  std::exit(0);
}
