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
#include <exception>
#include <filesystem>
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

// A relative path the player gives names a file in the folder the game was
// started from: the game has entered its own folder since.
std::string fromStartFolder(const std::filesystem::path& startFolder, const std::string& path) {
  if (path.empty() || startFolder.empty() || std::filesystem::path(path).is_absolute())
    return path;
  try {
    return (startFolder / path).string();
  } catch (const std::exception&) {
    return path; // NOTE: a folder name the narrow encoding cannot hold (Windows)
  }
}

// FELIDORA_REPLAY and FELIDORA_RECORD: where the frames come from, and where
// they go; FELIDORA_REPLAY_DRAW_EVERY: how many of a replay's frames are
// drawn. A bad file or value ends the game with its message before the
// window opens.
void openFrameSource(FrameSource& source, const std::filesystem::path& startFolder) {
  if (!source.open(fromStartFolder(startFolder, environment("FELIDORA_REPLAY")),
                   fromStartFolder(startFolder, environment("FELIDORA_RECORD"))) ||
      !source.drawReplayEvery(environment("FELIDORA_REPLAY_DRAW_EVERY")))
    fatalError(source.error());
}

// Escape or a closed window ends the game before the frame is played.
bool quitRequested(GLFWwindow* window) { return escapePressed() || glfwWindowShouldClose(window); }

// A changed framebuffer size (or the first one) chooses where the main view is
// drawn: straight into the window, or into a frame scaled into it.
// True when the size changed.
bool followFramebufferSize(Game& game, FramePresenter& presenter) {
  const FramebufferSize size = framebufferSize();
  if (presenter.sizedFor(size.width, size.height))
    return false;
  presenter.resize(size.width, size.height);
  game.sceneFramebuffer = presenter.sceneFramebuffer();
  return true;
}

void reportGlError() {
  if (glGetError() != GL_NO_ERROR)
    messageStream() << "Ein GL-Fehler ist aufgetreten!" << std::endl;
}

// How long a paused game sleeps at most between two looks at the pads, which
// send no events: a pad's Start resumes within this.
constexpr double kPausedPadPoll = 0.02;

// While paused the picture stands still: it is drawn when the pause begins
// and again only when the window needs it (resized, exposed, switched by F11
// or Alt+Enter); in between the loop sleeps until an event comes, so Escape
// and P act as soon as they are pressed and a paused game costs next to
// nothing.
void runFrameLoop(GLFWwindow* window, FrameSource& source, Game& game, FramePresenter& presenter) {
  source.startClock();
  bool pausedPictureShown = false;
  bool windowChanged = false;
  while (game.running) {
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
    const bool standsStill = source.paused() && pausedPictureShown && !windowChanged;
    if (source.drawsFrame() && !standsStill) {
      // nothing in the update binds a framebuffer: the scene's is still bound
      glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
      game.render();
      presenter.present();
      glfwSwapBuffers(window);
      windowChanged = false;
    }
    pausedPictureShown = source.paused(); // drawn now, or standing since
    if (pausedPictureShown)
      glfwWaitEventsTimeout(kPausedPadPoll);
    else
      glfwPollEvents();
    if (windowModeRequested()) {
      toggleWindowMode(window);
      windowChanged = true;
    }
    if (windowExposed())
      windowChanged = true;
    if (followFramebufferSize(game, presenter))
      windowChanged = true;
    reportGlError();
  }
}

} // namespace

int main() {
  setUpProcess();
  quietSoundLibraries();
  const std::filesystem::path startFolder = enterExecutableFolder();
  resetKeyToggles();
  // destroyed by exit(), which closes the recording's file
  static FrameSource source;
  openFrameSource(source, startFolder);
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
    gGame->reportTo(gSounds);
  }

  runFrameLoop(window, source, *gGame, *gPresenter);
  source.printSummaries(*gGame);
  // a closed device finishes what it wrote (a sound file's header, say)
  gGame->reportTo(nullptr);
  delete gSounds;
  delete gAudio;

  glfwTerminate();
  std::exit(0);
}
