// Felidora's entry point: start-up, the frame loop and shutdown. The frame is
// the list of steps in runFrameLoop, in order.
#include "app/Console.h"
#include "app/FrameSource.h"
#include "app/Game.h"
#include "app/GameProgramCheck.h"
#include "app/KeyFlags.h"
#include "app/Platform.h"
#include "app/StartUp.h"
#include "audio/Audio.h"
#include "audio/GameSounds.h"
#include "render/FramePresenter.h"

#include <GL/glew.h>
#include <GLFW/glfw3.h>

#include <cstdlib>
#include <string>

namespace {

// The one game; kept reachable until exit so leak checkers see it as live.
Game* gGame = nullptr;
FramePresenter* gPresenter = nullptr;
// Sound is optional: without a device the game plays silently.
Audio* gAudio = nullptr;
GameSounds* gSounds = nullptr;

std::string environment(const char* name) {
  const char* value = std::getenv(name);
  return value ? value : "";
}

// FELIDORA_REPLAY and FELIDORA_RECORD: where the frames come from, and where
// they go; FELIDORA_REPLAY_DRAW_EVERY: how many of a replay's frames are
// drawn. A bad file or value ends the game with its message before the
// window opens.
void openFrameSource(FrameSource& source) {
  if (!source.open(environment("FELIDORA_REPLAY"), environment("FELIDORA_RECORD")) ||
      !source.drawReplayEvery(environment("FELIDORA_REPLAY_DRAW_EVERY")))
    fatalError(source.error());
}

// Escape or a closed window ends the game before the frame is played.
bool quitRequested(GLFWwindow* window) { return escapePressed() || glfwWindowShouldClose(window); }

// A changed framebuffer size (or the first one) chooses where the main view is
// drawn: straight into the window, or into a frame scaled into it.
void followFramebufferSize(Game& game, FramePresenter& presenter) {
  const FramebufferSize size = framebufferSize();
  if (presenter.sizedFor(size.width, size.height))
    return;
  presenter.resize(size.width, size.height);
  game.sceneFramebuffer = presenter.sceneFramebuffer();
}

void reportGlError() {
  if (glGetError() != GL_NO_ERROR)
    messageStream() << "Ein GL-Fehler ist aufgetreten!" << std::endl;
}

void runFrameLoop(GLFWwindow* window, FrameSource& source, Game& game, FramePresenter& presenter) {
  source.startClock();
  while (game.running) {
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    recording::Frame frame;
    if (!source.next(frame))
      break; // the recorded game is over
    if (quitRequested(window))
      break; // also while paused
    if (source.played(frame)) {
      game.handleFunctionKeys();
      game.update(frame.dt);
    }
    game.showPause(source.paused());
    if (source.drawsFrame()) {
      game.render();
      presenter.present();
      glfwSwapBuffers(window);
    }
    glfwPollEvents();
    if (windowModeRequested())
      toggleWindowMode(window);
    followFramebufferSize(game, presenter);
    reportGlError();
  }
}

} // namespace

int main() {
  setUpProcess();
  quietSoundLibraries();
  enterExecutableFolder();
  resetKeyToggles();
  // destroyed by exit(), which closes the recording's file
  static FrameSource source;
  openFrameSource(source);
  GLFWwindow* window = startUp();
  if (source.replaying())
    glfwSwapInterval(0); // a replay runs as fast as its frames render

  // Never destroyed: the process ends with exit() and the system reclaims it.
  gGame = new Game();
  gGame->assembleLevel();
  gPresenter = new FramePresenter(gGame->windowWidth, gGame->windowHeight);
  followFramebufferSize(*gGame, *gPresenter);
  checkGamePrograms(*gGame); // only with FELIDORA_GL_DEBUG set
  gAudio = new Audio();
  if (gAudio->openDefaultDevice()) {
    gAudio->loadSounds();
    gSounds = new GameSounds(*gAudio);
    gGame->attachSounds(gSounds);
  }

  runFrameLoop(window, source, *gGame, *gPresenter);
  source.printSummaries(*gGame);
  // a closed device finishes what it wrote (a sound file's header, say)
  gGame->attachSounds(nullptr);
  delete gSounds;
  delete gAudio;

  glfwTerminate();
  std::exit(0);
}
