// Felidora's entry point: start-up, the frame loop (the desktop's, or a
// browser's animation frames) and shutdown. The frame itself is GameFrame's,
// its steps listed there in order.
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

#ifdef __EMSCRIPTEN__
#include <emscripten.h>
#include <emscripten/html5.h>
#endif

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

// After the last frame: the summaries, the sound device closed (a sound
// file's header finished), and the end.
[[noreturn]] void endGame(FrameSource& source, GameFrameActions& actions) {
  actions.keepWindowSize();
  source.printSummaries(*gGame);
  gGame->reportTo(nullptr);
  delete gSounds;
  delete gAudio;
#ifndef __EMSCRIPTEN__
  glfwTerminate(); // NOTE: a browser's GLFW would shrink the canvas under the summary to nothing
#endif
  std::exit(0); // in a page: the page hears of it (Module.quit) and shows the end
}

#ifdef __EMSCRIPTEN__

// What the browser's frames need; main has returned by the time they run.
struct PageLoop {
  GameFrame& frame;
  FrameSource& source;
  GameFrameActions& actions;
};

// How long one animation frame may go on playing frames that draw nothing (a
// thinned replay's), so the page stays quick to answer.
constexpr double kPageFrameBudgetMs = 25.0;

// One animation frame of the page: frames played until one is drawn (one in
// live play), a paused one, or the time is up; the frames drawn told to the
// page (window.felidoraFrames). The last frame ends the loop and the game.
void playPageFrame(void* data) {
  PageLoop& loop = *static_cast<PageLoop*>(data);
  const long long drawnBefore = loop.actions.framesDrawn();
  const double started = emscripten_get_now();
  AfterFrame after;
  do
    after = loop.frame.play();
  while (after == AfterFrame::Continue && loop.actions.framesDrawn() == drawnBefore &&
         emscripten_get_now() - started < kPageFrameBudgetMs);
  EM_ASM({ window.felidoraFrames = $0; }, static_cast<double>(loop.actions.framesDrawn()));
  if (after != AfterFrame::End)
    return;
  emscripten_cancel_main_loop();
  endGame(loop.source, loop.actions);
}

// Emscripten's GLFW tells no focus: the page leaving the window or its tab
// hidden count as the window's focus lost, which pauses as on the desktop.
void followPageFocus(WindowEvents& events) {
  emscripten_set_blur_callback(EMSCRIPTEN_EVENT_TARGET_WINDOW, &events, true,
                               [](int, const EmscriptenFocusEvent*, void* data) {
                                 static_cast<WindowEvents*>(data)->focusChanged(false);
                                 return EM_FALSE;
                               });
  emscripten_set_visibilitychange_callback(&events, true,
                                           [](int, const EmscriptenVisibilityChangeEvent* change, void* data) {
                                             if (change->hidden)
                                               static_cast<WindowEvents*>(data)->focusChanged(false);
                                             return EM_FALSE;
                                           });
}

// The animation frames play the game from now on; main returns at once and
// leaves the game to them.
[[noreturn]] void runFrames(GameFrame& frame, FrameSource& source, GameFrameActions& actions) {
  static PageLoop loop{frame, source, actions};
  emscripten_set_main_loop_arg(playPageFrame, &loop, 0, true);
  std::abort(); // not reached: the call above never returns
}

#else

// How long a paused game sleeps at most between two looks at the pads, which
// send no events: a pad's Start resumes within this.
constexpr double kPausedPadPoll = 0.02;

// The desktop's loop: one frame after another, the window's events fetched
// between two. An idle frame (paused, its picture standing) lets the loop
// sleep until an event comes, so Escape and P act as soon as they are pressed
// and a paused game costs next to nothing.
[[noreturn]] void runFrames(GameFrame& frame, FrameSource& source, GameFrameActions& actions) {
  AfterFrame after;
  while ((after = frame.play()) != AfterFrame::End) {
    if (after == AfterFrame::Idle)
      glfwWaitEventsTimeout(kPausedPadPoll);
    else
      glfwPollEvents();
  }
  endGame(source, actions);
}

#endif

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
  // Kept to the end: a browser's frames run after main has returned.
  static WindowEvents windowEvents;
  static DesktopInput input(window, windowEvents, settings.bindings);
  source.useInput([] { return input.read(); });
#ifdef __EMSCRIPTEN__
  followPageFocus(windowEvents);
#else
  if (source.replaying())
    glfwSwapInterval(0); // a replay runs as fast as its frames render
#endif

  // Never destroyed: the process ends with exit() and the system reclaims it.
  gGame = new Game();
  gGame->assembleLevel();
  gPresenter = new FramePresenter(gGame->windowWidth, gGame->windowHeight);
  static GameFrameActions actions(window, *gGame, *gPresenter, windowEvents, settings,
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

#ifdef __EMSCRIPTEN__
  // NOTE: a browser's GLFW cannot name the keys of the player's layout
  const auto layoutName = [](int) -> const char* { return nullptr; };
#else
  const auto layoutName = [](int key) { return glfwGetKeyName(key, 0); };
#endif
  static OptionsScreen options(settings, layoutName);
  source.startClock();
  static GameFrame frame(source, actions, &options);
  runFrames(frame, source, actions);
}
