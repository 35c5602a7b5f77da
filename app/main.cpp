// Felidora's entry point: start-up, the frame loop and shutdown. The frame is
// the list of steps in runFrameLoop, in order.
#include "app/Console.h"
#include "app/Game.h"
#include "app/KeyFlags.h"

#include <GL/glew.h>
#include <GLFW/glfw3.h>
#include <IL/il.h>

#include <cstdlib>

namespace {

constexpr int kWindowWidth = 800;
constexpr int kWindowHeight = 600;

GLFWwindow* gWindow = nullptr;
// The one game; kept reachable until exit so leak checkers see it as live.
Game* gGame = nullptr;

// Opens the full-screen window with its 3.3 core context and sets the global
// GL state; ends the process with a message on any failure.
void startUp() {
  if (!glfwInit())
    fatalError("GLFW konnte nicht initialisiert werden!");

  glfwWindowHint(GLFW_CONTEXT_VERSION_MAJOR, 3);
  glfwWindowHint(GLFW_CONTEXT_VERSION_MINOR, 3);
  glfwWindowHint(GLFW_OPENGL_PROFILE, GLFW_OPENGL_CORE_PROFILE);
  // NOTE: GLFW 3's defaults already ask for 24 depth bits; the depth test
  // needs them, so say so rather than rely on it.
  glfwWindowHint(GLFW_DEPTH_BITS, 24);

  gWindow = glfwCreateWindow(kWindowWidth, kWindowHeight, "Felidora", glfwGetPrimaryMonitor(), nullptr);
  if (!gWindow) {
    glfwTerminate();
    fatalError("Das Fenster konnte nicht geoeffnet werden!");
  }
  glfwMakeContextCurrent(gWindow);
  // NOTE: keys are polled once per frame; sticky keys keep a tap that went
  // down and up between two polls from being lost.
  glfwSetInputMode(gWindow, GLFW_STICKY_KEYS, GLFW_TRUE);

  glewExperimental = GL_TRUE;
  if (glewInit() != GLEW_OK)
    fatalError("GLEW konnte nicht initialisiert werden!");

  glfwSetWindowTitle(gWindow, "Felidora");

  glEnable(GL_DEPTH_TEST);
  glEnable(GL_BLEND);
  glEnable(GL_CULL_FACE);
  glClearColor(0.14f, 0.25f, 0.43f, 0.0f);
  glViewport(0, 0, kWindowWidth, kWindowHeight);

  ilInit();
  // FFmpeg needs no global registration any more.
}

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
  startUp();

  // Never destroyed: the process ends with exit() and the system reclaims it.
  gGame = new Game();
  gGame->assembleLevel();

  runFrameLoop(*gGame);

  glfwTerminate();
  std::exit(0);
}
