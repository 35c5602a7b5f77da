// Felidora's entry point: start-up, the desktop's frame loop and shutdown.
// The frame itself is GameFrame's, its steps listed there in order.
#include "app/DesktopInput.h"
#include "app/FrameSource.h"
#include "app/Game.h"
#include "app/GameFrame.h"
#include "app/GameFrameActions.h"
#include "app/GameProgramCheck.h"
#include "app/KeyFlags.h"
#include "app/OptionsScreen.h"
#include "app/Settings.h"
#include "app/SettingsFile.h"
#include "app/StartUp.h"
#include "app/WindowEvents.h"
#include "audio/Audio.h"
#include "audio/GameSounds.h"
#include "base/Console.h"
#include "base/Platform.h"
#include "render/FramePresenter.h"

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

// How long a paused game sleeps at most between two looks at the pads, which
// send no events: a pad's Start resumes within this.
constexpr double kPausedPadPoll = 0.02;

// The desktop's loop: one frame after another, the window's events fetched
// between two. An idle frame (paused, its picture standing) lets the loop
// sleep until an event comes, so Escape and P act as soon as they are pressed
// and a paused game costs next to nothing.
void runFrames(GameFrame& frame) {
  AfterFrame after;
  while ((after = frame.play()) != AfterFrame::End) {
    if (after == AfterFrame::Idle)
      glfwWaitEventsTimeout(kPausedPadPoll);
    else
      glfwPollEvents();
  }
}

} // namespace

int main() {
  setUpProcess();
  quietSoundLibraries();
  const std::filesystem::path startFolder = enterExecutableFolder();
  // destroyed by exit(), which closes the recording's file
  static FrameSource source;
  openFrameSource(source, startFolder);
  // the player's settings; a replay plays with them but changes none for good
  static SettingsFile settingsFile(SettingsFile::defaultPath());
  static Settings settings = settingsFile.load();
  resetKeyToggles();
  KeyFlags.soundMuted = settings.muted;
  GLFWwindow* window = startUp(settings);
  WindowEvents windowEvents;
  DesktopInput input(window, windowEvents, settings.bindings);
  source.useInput([&input] { return input.read(); });
  if (source.replaying())
    glfwSwapInterval(0); // a replay runs as fast as its frames render

  // Never destroyed: the process ends with exit() and the system reclaims it.
  gGame = new Game();
  gGame->assembleLevel();
  gPresenter = new FramePresenter(gGame->windowWidth, gGame->windowHeight);
  GameFrameActions actions(window, *gGame, *gPresenter, windowEvents, settings,
                           source.replaying() ? nullptr : &settingsFile);
  actions.followFramebufferSize();
  checkGamePrograms(*gGame); // only with FELIDORA_GL_DEBUG set
  gAudio = new Audio();
  if (gAudio->openDefaultDevice()) {
    gAudio->loadSounds();
    gSounds = new GameSounds(*gAudio);
    gGame->reportTo(gSounds);
    actions.useAudio(gAudio);
  }

  OptionsScreen options(settings, [](int key) { return glfwGetKeyName(key, 0); });
  source.startClock();
  GameFrame frame(source, actions, &options);
  runFrames(frame);
  actions.keepWindowSize();
  source.printSummaries(*gGame);
  // a closed device finishes what it wrote (a sound file's header, say)
  gGame->reportTo(nullptr);
  delete gSounds;
  delete gAudio;

  glfwTerminate();
  std::exit(0);
}
