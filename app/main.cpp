// Felidora's entry point: start-up, the frame loop and shutdown. The frame is
// the list of steps in runFrameLoop, in order.
#include "app/Console.h"
#include "app/Game.h"
#include "app/GameSummary.h"
#include "app/KeyFlags.h"
#include "app/Platform.h"
#include "app/Recording.h"
#include "app/RecordingFormat.h"
#include "app/Replay.h"
#include "app/StartUp.h"
#include "render/FramePresenter.h"
#include "render/GlDebug.h"

#include <GL/glew.h>
#include <GLFW/glfw3.h>

#include <cstdlib>
#include <filesystem>
#include <string>

namespace {

GLFWwindow* gWindow = nullptr;
// The one game; kept reachable until exit so leak checkers see it as live.
Game* gGame = nullptr;
FramePresenter* gPresenter = nullptr;
// FELIDORA_REPLAY and FELIDORA_RECORD: where a frame's time and keys come
// from, and where they go
Replay* gReplay = nullptr;
Recording* gRecording = nullptr;
long long gFramesPlayed = 0; // frames that reached the update

std::string environment(const char* name) {
  const char* value = std::getenv(name);
  return value ? value : "";
}

// Reads and checks a replay and creates a recording before the window opens,
// so a bad file costs nothing but its message.
void openReplayAndRecording() {
  const std::string replayPath = environment("FELIDORA_REPLAY");
  const std::string recordPath = environment("FELIDORA_RECORD");
  if (replayPath.empty() && recordPath.empty())
    return;
  const std::uint64_t fingerprint = recording::contentFingerprint();
  if (!replayPath.empty()) {
    gReplay = new Replay();
    if (!gReplay->load(replayPath, fingerprint))
      fatalError(gReplay->error());
  }
  if (!recordPath.empty()) {
    std::error_code error;
    if (!replayPath.empty() && std::filesystem::equivalent(replayPath, recordPath, error))
      fatalError("Aufnahme und Wiedergabe nennen dieselbe Datei: " + recordPath);
    gRecording = new Recording();
    if (!gRecording->open(recordPath, fingerprint))
      fatalError(gRecording->error());
  }
}

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

    // the frame's time and keys: measured and polled, or the recorded ones
    recording::Frame frame;
    if (gReplay) {
      if (!gReplay->nextFrame(frame))
        break; // the recorded game is over
      applyKeys(frame.keys);
    } else {
      const double now = glfwGetTime();
      frame.dt = now - previous;
      previous = now;
      frame.keys = pollKeys();
    }
    if (escapePressed())
      break;
    if (glfwWindowShouldClose(gWindow))
      break;
    if (gRecording)
      gRecording->writeFrame(frame.dt, frame.keys);
    ++gFramesPlayed;

    game.handleFunctionKeys();
    game.update(frame.dt);
    game.render();
    presenter.present();

    glfwSwapBuffers(gWindow);
    glfwPollEvents();
    followFramebufferSize(game, presenter);

    if (glGetError() != GL_NO_ERROR)
      messageStream() << "Ein GL-Fehler ist aufgetreten!" << std::endl;
  }
}

void printSummaries(const Game& game) {
  if (gRecording) {
    gRecording->close();
    messageStream() << "Aufnahme: " << gameSummary(game, gFramesPlayed) << std::endl;
  }
  if (gReplay)
    messageStream() << "Wiedergabe: " << gameSummary(game, gFramesPlayed) << std::endl;
}

} // namespace

int main() {
  enterExecutableFolder();
  resetKeyToggles();
  openReplayAndRecording();
  gWindow = startUp();
  if (gReplay)
    glfwSwapInterval(0); // a replay runs as fast as its frames render

  // Never destroyed: the process ends with exit() and the system reclaims it.
  gGame = new Game();
  gGame->assembleLevel();
  gPresenter = new FramePresenter(gGame->windowWidth, gGame->windowHeight);
  followFramebufferSize(*gGame, *gPresenter);
  GlDebug::checkGame(*gGame); // only with FELIDORA_GL_DEBUG set

  runFrameLoop(*gGame, *gPresenter);
  printSummaries(*gGame);

  glfwTerminate();
  std::exit(0);
}
