#include "app/StartUp.h"

#include "app/Gamepad.h"
#include "app/Settings.h"
#include "base/Console.h"
#include "base/ContentFiles.h"
#include "render/GlDebug.h"
#include "render/GlFlavour.h"
#include "render/RenderSizes.h"

#include <GL/glew.h>
#include <GLFW/glfw3.h>
#include <IL/il.h>
#ifdef __EMSCRIPTEN__
extern "C" {
#include <libavutil/log.h>
}
#endif

#include <algorithm>
#include <cstdlib>
#include <cstring>

namespace {

using render::kFrameHeight;
using render::kFrameWidth;

#ifndef __EMSCRIPTEN__
// FELIDORA_GL_DEBUG=1 asks for a debug context and prints what the driver
// and our own program checks object to; unset, nothing of it runs.
bool glDebugRequested() {
  const char* value = std::getenv("FELIDORA_GL_DEBUG");
  return value && std::strcmp(value, "") != 0 && std::strcmp(value, "0") != 0;
}
#endif

} // namespace

// Opens the window with its 3.3 core context and sets the global GL state;
// ends the process with a message on any failure.
GLFWwindow* startUp(const Settings& settings) {
  if (!glfwInit())
    fatalError("GLFW konnte nicht initialisiert werden!");

  // NOTE: GLFW 3's defaults already ask for 24 depth bits; the depth test
  // needs them, so say so rather than rely on it.
  glfwWindowHint(GLFW_DEPTH_BITS, 24);
#ifdef __EMSCRIPTEN__
  // The page's 800 x 600 canvas with a WebGL 2 context (the build allows no
  // other). A page may go full screen only from a key or click of the
  // player's, so the game starts in the canvas; the page's F11 asks for more.
  GLFWwindow* window = glfwCreateWindow(kFrameWidth, kFrameHeight, "Felidora", nullptr, nullptr);
  if (!window) {
    glfwTerminate();
    fatalError("Das Fenster konnte nicht geoeffnet werden!");
  }
  glfwMakeContextCurrent(window);
  // NOTE: the browser paces the frames by its animation frames (the swap
  // interval can only be set once the frame loop exists), and the canvas has
  // no window mode to take from the settings.
  static_cast<void>(settings);
#else
  glfwWindowHint(GLFW_CONTEXT_VERSION_MAJOR, 3);
  glfwWindowHint(GLFW_CONTEXT_VERSION_MINOR, 3);
  glfwWindowHint(GLFW_OPENGL_PROFILE, GLFW_OPENGL_CORE_PROFILE);
  const bool glDebug = glDebugRequested();
  if (glDebug)
    glfwWindowHint(GLFW_OPENGL_DEBUG_CONTEXT, GLFW_TRUE);

  GLFWwindow* window = glfwCreateWindow(kFrameWidth, kFrameHeight, "Felidora", glfwGetPrimaryMonitor(), nullptr);
  if (!window) {
    glfwTerminate();
    fatalError("Das Fenster konnte nicht geoeffnet werden!");
  }
  if (!settings.fullScreen)
    setWindowMode(window, settings);
  glfwMakeContextCurrent(window);
  // the display paces the frames: no tearing, no thousands of frames a second
  glfwSwapInterval(settings.vsync ? 1 : 0);
#endif
  loadGamepadMappings(content::kGamepadMappings);

  glewExperimental = GL_TRUE;
  if (glewInit() != GLEW_OK)
    fatalError("GLEW konnte nicht initialisiert werden!");
  // which GL paths the shaders and draws take, before the first is made
  render::detectGl();
#ifndef __EMSCRIPTEN__ // the browser reports WebGL's errors itself
  if (glDebug && !GlDebug::install([](const std::string& line) { messageStream() << line << std::endl; }))
    messageStream() << GlDebug::kPrefix << "kein Debug-Kontext erhalten" << std::endl;
#endif

  glfwSetWindowTitle(window, "Felidora");

  glEnable(GL_DEPTH_TEST);
  glEnable(GL_BLEND);
  glEnable(GL_CULL_FACE);
  glClearColor(0.14f, 0.25f, 0.43f, 0.0f);
  glViewport(0, 0, kFrameWidth, kFrameHeight);

  ilInit();
  // FFmpeg needs no global registration any more.
#ifdef __EMSCRIPTEN__
  // NOTE: built without assembly, FFmpeg's scaler warns at every clip that
  // it has no fast colour conversion; the page would show it to the player.
  av_log_set_level(AV_LOG_ERROR);
#endif
  return window;
}

#ifdef __EMSCRIPTEN__

// The canvas keeps its size: full screen is the page's (its F11), and the
// settings' window belongs to the desktop.
void setWindowMode(GLFWwindow*, const Settings&) {}

void keepWindowSize(GLFWwindow*, Settings&) {}

#else

void setWindowMode(GLFWwindow* window, const Settings& settings) {
  GLFWmonitor* screen = glfwGetPrimaryMonitor();
  if (!screen)
    return; // no screen to be full on or to place a window on: stay as it is
  if (settings.fullScreen) {
    glfwSetWindowMonitor(window, screen, 0, 0, kFrameWidth, kFrameHeight, GLFW_DONT_CARE);
    return;
  }
  int x = 0, y = 0, width = settings.windowWidth, height = settings.windowHeight;
  glfwGetMonitorWorkarea(screen, &x, &y, &width, &height);
  glfwSetWindowMonitor(window, nullptr, x + std::max(0, (width - settings.windowWidth) / 2),
                       y + std::max(0, (height - settings.windowHeight) / 2), settings.windowWidth,
                       settings.windowHeight, GLFW_DONT_CARE);
}

void keepWindowSize(GLFWwindow* window, Settings& settings) {
  if (glfwGetWindowMonitor(window))
    return; // full screen: the window's size is the one it had
  int width = 0, height = 0;
  glfwGetWindowSize(window, &width, &height);
  if (width > 0 && height > 0) {
    // a window dragged smaller than the settings file allows is kept at that least size
    settings.windowWidth = std::max(width, Settings::kMinWindowWidth);
    settings.windowHeight = std::max(height, Settings::kMinWindowHeight);
  }
}

#endif
