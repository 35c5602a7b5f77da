// Felidora's entry point: start-up, the frame loop and shutdown. The frame is
// the list of steps in runFrameLoop, in order.
#include "app/Console.h"
#include "app/Game.h"
#include "app/KeyFlags.h"
#include "app/StartUp.h"
#include "render/GlDebug.h"

#include <GL/glew.h>
#include <GLFW/glfw3.h>

#include <cstdlib>

namespace {

GLFWwindow* gWindow = nullptr;
// The one game; kept reachable until exit so leak checkers see it as live.
Game* gGame = nullptr;

void runFrameLoop(Game& game) {
  double previous = glfwGetTime();
  while (game.running) {
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);

    const double now = glfwGetTime();
    const double dt = now - previous;
    previous = now;

    pollKeys();
    if (glfwGetKey(gWindow, GLFW_KEY_ESCAPE) == GLFW_PRESS)
      break;
    if (glfwWindowShouldClose(gWindow))
      break;

    game.handleFunctionKeys();
    game.update(dt);
    game.render();

    glfwSwapBuffers(gWindow);
    glfwPollEvents();

    if (glGetError() != GL_NO_ERROR)
      messageStream() << "Ein GL-Fehler ist aufgetreten!" << std::endl;
  }
}

} // namespace

int main() {
  resetKeyToggles();
  gWindow = startUp();

  // Never destroyed: the process ends with exit() and the system reclaims it.
  gGame = new Game();
  gGame->assembleLevel();
  GlDebug::checkGame(*gGame); // only with FELIDORA_GL_DEBUG set

  runFrameLoop(*gGame);

  glfwTerminate();
  std::exit(0);
}
