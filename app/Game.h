// The one controller of the running game: the three shader programs, the
// reflection render target, every object of the world and the game-wide
// counters and toggles. Every object's per-frame operations receive a pointer
// to it and read what they need.
#pragma once

#include "base/LevelLayout.h"
#include "objects/GameEvents.h"
#include "render/RenderSizes.h"
#include "render/ScreenReach.h"
#include "render/ShadowPass.h"
#include "render/ShadowRegion.h"

#include <glm/glm.hpp>

#include <string>
#include <vector>

class Gegner;
class LevelScene;
class Monitor;
class SceneObject;
class Schnecke;
class Shader;
class WasserPlane;
struct OptionsPage;

class Game {
public:
  Game();
  ~Game();
  Game(const Game&) = delete;
  Game& operator=(const Game&) = delete;

  void setupReflectionTarget();
  void assembleLevel();
  // the same with another landscape model
  void assembleLevel(const std::string& levelModel);
  void handleFunctionKeys();
  void applyTextureFiltering();
  void update(double dt);
  void moveWorld(double dt);
  void scoreKill();
  // Shows the pause (the monitor's notice, the sounds held) or the resumed game.
  void showPause(bool pause);
  // Shows the options page on the monitor, brought to the middle of the view
  // and grown so that the page can be read; nullptr closes it and the monitor
  // goes back exactly where it hung. The game is paused meanwhile: nothing
  // else moves the monitor.
  void showOptions(const OptionsPage* page);
  // Where the game reports what happens from now on (nullptr: to no one).
  void reportTo(GameEvents* sink);
  void render();
  // the four passes of render, in their order
  void renderShadowPass();
  void renderReflectionPass();
  void renderMainPass();
  void renderWaterSurface();
  // within the passes: what keeps them from shading what nobody sees
  bool layMonitorDepth(); // whether it laid it
  bool fillsPolygons() const;
  void drawShadowCasters();
  int drawScene(glm::mat4 world, bool culling);

  // Where the shadow pass aims: the player, or the origin before there is one.
  glm::vec3 playerPosition() const;
  // The sun's view of the scene: the depth program's projection looking from
  // light 0 of the level at the player.
  glm::mat4 sunProjectionView() const;
  // Fills shadowPass for the frame (the level's map and depth program, the
  // sun aimed at the player): the shadow pass does it before any caster draws.
  void aimSun();
  // Boxes that hold every lit surface between them: each tile of the
  // landscape, and what flies above it with what it carries.
  std::vector<ShadowRegion::Box> litBoxes() const;
  // The part of the shadow map that this frame's lit draws can read.
  ShadowRegion shadowRegion() const;
  // The part of the reflection that the water surface can look up this
  // frame: all of it unless culling is on and surfaces hide what is behind.
  ScreenReach reflectionReach() const;
  // The monitor as a scene object (nullptr before the level is assembled).
  SceneObject* monitorObject() const;

  // reflection target
  int windowWidth = render::kFrameWidth;
  int windowHeight = render::kFrameHeight;
  unsigned reflectionColorTexture = 0;
  unsigned reflectionFramebuffer = 0;
  unsigned reflectionDepthRenderbuffer = 0;
  // where the main view and the water surface are drawn: the window (0), or
  // a frame of the same size that is scaled into a window of another size
  unsigned sceneFramebuffer = 0;
  // water program uniform locations
  int locProjectionModelView = -1;
  int locReflectionProjectionModelView = -1;
  int locReflectionTexture = -1;
  int locLichtposition = -1;
  int locModelMatrix = -1;
  int locNormalMap = -1;
  int locTime = -1;
  int locViewTranslation = -1;
  // lit program: "sunShadowOff", set for the reflection pass
  int locSunShadowOff = -1;
  // what the casters draw the current frame's shadow with (aimSun), and the
  // part of the map it reads (renderShadowPass)
  ShadowPass shadowPass;
  // The monitor's depth before the scene: a shortcut of the main pass, taken
  // only where it cannot change the picture; switched off it is never taken,
  // which draws the same frame.
  bool monitorDepthFirst = true;
  // statistics and toggles
  int fps = 0;
  double fpsTimer = 0.0;
  int framesThisSecond = 0;
  bool showStats = false;
  bool f1Latch = false;
  bool f2Latch = false;
  bool f4Latch = false;
  bool linearFiltering = true;
  bool mipmapping = true;
  bool mipmapLinear = true;
  bool f5Latch = false;
  bool f8Latch = false;
  bool outcomeShown = false;
  bool running = true;
  bool paused = false; // while paused the frame loop updates nothing
  // where the monitor and its screen light were before the options page
  bool optionsShown = false;
  glm::mat4 monitorMatrixBeforeOptions{1.0f};
  glm::vec3 screenLightBeforeOptions{0.0f};
  int objectsDrawn = 0;
  bool cullingEnabled = true;
  float elapsedTime = 0.0f;
  // the world
  Schnecke* player = nullptr;
  LevelScene* level = nullptr;
  WasserPlane* water = nullptr;
  std::vector<Gegner*> enemies;
  Monitor* monitor = nullptr;
  // where every object reports what happens; never null, not owned
  GameEvents* events = &GameEvents::silent();
  // programs
  Shader* mainShader = nullptr;
  Shader* shadowShader = nullptr;
  Shader* waterShader = nullptr;
};
