#include "app/Game.h"

#include "app/FrameSteps.h"
#include "app/KeyFlags.h"
#include "app/Outcome.h"
#include "base/Console.h"
#include "base/ContentFiles.h"
#include "base/LevelLayout.h"
#include "monitor/Monitor.h"
#include "objects/Gegner.h"
#include "objects/GegnerProjektil.h"
#include "objects/Hummelot.h"
#include "objects/LevelScene.h"
#include "objects/OwnedObjects.h"
#include "objects/Projektil.h"
#include "objects/Schnecke.h"
#include "objects/WasserPlane.h"
#include "render/GlFlavour.h"
#include "render/ModelImport.h"
#include "render/Shader.h"
#include "render/TextureUnits.h"

#include <GL/glew.h>
#include <glm/gtc/matrix_transform.hpp>
#include <glm/gtc/type_ptr.hpp>

#include <algorithm>
#include <cmath>
#include <limits>

namespace {

using layout::kWaterLevel;
using render::kShadowMapSize;
constexpr float kFieldOfView = 60.0f; // degrees, vertical
constexpr float kNearPlane = 0.1f;
constexpr float kFarPlane = 6500.0f;
// Texels kept around the part of the shadow map that is read: each lookup
// filters the texels next to it.
constexpr int kShadowMargin = 4;
// How far a ripple moves the water's look-up of the reflection, as a share
// of the target's width and height (the water program's ripple scale).
constexpr float kRippleReach = 0.02f;
// The monitor while the options page is open: this far in front of the eye,
// its screen this share of the view's height.
constexpr float kOptionsDistance = 0.5f;
constexpr float kOptionsHeightShare = 0.92f;
// How far from its centre an object carries what is drawn with it (the
// player its camera and monitor, an enemy its rotor).
constexpr float kCarriedReach = 20.0f;

using content::kGameOverClip;
using content::kLevelModel;
using content::kTutorialClip;
using content::kVictoryClip;

const glm::vec3 kWaterPosition(0.0f, kWaterLevel, 0.0f);

// The reflection in the water plane y = 60: (x, y, z) -> (x, 120 - y, z).
glm::mat4 waterMirror() {
  glm::mat4 mirror(1.0f);
  mirror[1][1] = -1.0f;
  mirror[3][1] = 2.0f * kWaterLevel;
  return mirror;
}

// One rising edge per press: acts when the key is down and was up last frame.
bool risingEdge(bool keyDown, bool& latch) {
  if (!keyDown) {
    latch = false;
    return false;
  }
  if (latch)
    return false;
  latch = true;
  return true;
}

} // namespace

Game::Game() {
  mainShader = new Shader(content::kLitVertexShader, content::kLitFragmentShader);
  shadowShader = new Shader(content::kShadowVertexShader, content::kShadowFragmentShader);
  waterShader = new Shader(content::kWaterVertexShader, content::kWaterFragmentShader);
  locSunShadowOff = glGetUniformLocation(mainShader->program, "sunShadowOff");
  setupReflectionTarget();
  // the level's new shadow map holds no depths yet: its first frame clears it whole
  shadowPass.region = ShadowRegion::whole(kShadowMapSize);
}

// The running program never gets here (it ends with exit); tests do, and free
// everything in the reverse order of creation.
Game::~Game() {
  for (auto it = enemies.rbegin(); it != enemies.rend(); ++it)
    delete *it;
  enemies.clear();
  delete player;
  delete water;
  delete level;
  delete monitor;
  glDeleteRenderbuffers(1, &reflectionDepthRenderbuffer);
  glDeleteFramebuffers(1, &reflectionFramebuffer);
  glDeleteTextures(1, &reflectionColorTexture);
  delete waterShader;
  delete shadowShader;
  delete mainShader;
}

void Game::setupReflectionTarget() {
  waterShader->use();

  glGenTextures(1, &reflectionColorTexture);
  glBindTexture(GL_TEXTURE_2D, reflectionColorTexture);
  glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, windowWidth, windowHeight, 0, GL_RGBA, GL_UNSIGNED_BYTE, nullptr);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);

  glGenFramebuffers(1, &reflectionFramebuffer);
  glBindFramebuffer(GL_FRAMEBUFFER, reflectionFramebuffer);
  glFramebufferTexture2D(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_TEXTURE_2D, reflectionColorTexture, 0);

  glGenRenderbuffers(1, &reflectionDepthRenderbuffer);
  glBindRenderbuffer(GL_RENDERBUFFER, reflectionDepthRenderbuffer);
  // sized: ES takes no unsized depth renderbuffer
  glRenderbufferStorage(GL_RENDERBUFFER, GL_DEPTH_COMPONENT24, windowWidth, windowHeight);
  glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_DEPTH_ATTACHMENT, GL_RENDERBUFFER, reflectionDepthRenderbuffer);
  glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);

  waterShader->use();
  const unsigned p = waterShader->program;
  locProjectionModelView = glGetUniformLocation(p, "projectionModelView");
  locReflectionProjectionModelView = glGetUniformLocation(p, "reflectionProjectionModelView");
  locReflectionTexture = glGetUniformLocation(p, "reflectionTexture");
  locLichtposition = glGetUniformLocation(p, "lichtposition");
  locModelMatrix = glGetUniformLocation(p, "modelMatrix");
  locNormalMap = glGetUniformLocation(p, "normalMap");
  locTime = glGetUniformLocation(p, "time");
  locViewTranslation = glGetUniformLocation(p, "viewTranslation");

  glUniform1i(locNormalMap, render::kColorTextureUnit);
  glUniform1i(locReflectionTexture, render::kReflectionUnit);
  glActiveTexture(GL_TEXTURE0 + render::kReflectionUnit);
  glBindTexture(GL_TEXTURE_2D, reflectionColorTexture);
  glActiveTexture(GL_TEXTURE0 + render::kColorTextureUnit);
  // the reflection framebuffer stays bound; the passes bind what they need
}

// Builds the one level: monitor, landscape with the shared screen light,
// water, player, the seventeen enemies, the projection and the first view.
void Game::assembleLevel() { assembleLevel(kLevelModel); }

void Game::assembleLevel(const std::string& levelModel) {
  // Each enemy reads the same three files: they are read once.
  const ModelImport::SharingScope sharing;
  monitor = new Monitor(glm::mat4(1.0f), mainShader, shadowShader);
  level = new LevelScene(layout::kLandscapeOffset, mainShader, shadowShader, levelModel);

  const std::vector<Light*> screenLights = monitor->getLights();
  if (screenLights.empty())
    fatalError("Das Monitor-Modell enthaelt kein Licht!");
  monitor->screenLightIndex = level->addLight(screenLights[0]);
  level->uploadLights();

  water = new WasserPlane(kWaterPosition, mainShader, shadowShader);
  water->bindWaterAttributes(this);

  player = new Schnecke(layout::kPlayerStart, mainShader, shadowShader);
  for (const glm::vec3& spawn : layout::kEnemySpawns)
    enemies.push_back(new Hummelot(spawn, mainShader, shadowShader));

  const float aspect = static_cast<float>(windowWidth) / static_cast<float>(windowHeight);
  const glm::mat4 projection = glm::perspective(glm::radians(kFieldOfView), aspect, kNearPlane, kFarPlane);
  level->shader->use();
  glUniformMatrix4fv(level->projectionMatrixLoc, 1, GL_FALSE, glm::value_ptr(projection));
  Shader::useNone();
  mainShader->projectionMatrix = projection;
  shadowShader->projectionMatrix = projection;

  level->setViewMatrix(glm::translate(glm::mat4(1.0f), glm::vec3(0.0f, -2.0f, -7.0f)));
}

// The player's steering keys, then the edge-triggered function keys.
void Game::handleFunctionKeys() {
  if (player)
    player->handleInput(this);

  if (risingEdge(KeyFlags.keyF1, f1Latch) && monitor)
    monitor->playVideo(kTutorialClip);
  if (risingEdge(KeyFlags.keyF2, f2Latch))
    showStats = !showStats;
  if (risingEdge(KeyFlags.keyF4, f4Latch)) {
    linearFiltering = !linearFiltering;
    applyTextureFiltering();
  }
  if (risingEdge(KeyFlags.keyF5, f5Latch)) {
    // no mipmaps -> nearest between levels -> linear between levels -> ...
    if (!mipmapping) {
      mipmapping = true;
      mipmapLinear = false;
    } else if (!mipmapLinear) {
      mipmapLinear = true;
    } else {
      mipmapping = false;
    }
    applyTextureFiltering();
  }
  if (risingEdge(KeyFlags.keyF8, f8Latch))
    cullingEnabled = !cullingEnabled;
}

// The water keeps its own filtering: it is not in this list.
void Game::applyTextureFiltering() {
  if (level)
    level->setTextureFilter(linearFiltering, mipmapping, mipmapLinear);
  if (player)
    player->setTextureFilter(linearFiltering, mipmapping, mipmapLinear);
  for (Gegner* enemy : enemies)
    enemy->setTextureFilter(linearFiltering, mipmapping, mipmapLinear);
  if (monitor)
    monitor->setTextureFilter(linearFiltering, mipmapping, mipmapLinear);
}

// One frame of the world: statistics, player, enemies, removal and scoring of
// the dead, the monitor, and the outcome of the game.
//
// A long frame moves the world in sub-steps (FrameSteps): each runs the
// player's update, every enemy's update and the removal and scoring of the
// dead, in that order, exactly as a short frame does; the player's input was
// read once before the frame. The once-a-frame parts keep their place around
// the movement: the statistics before it, the sound's frame end, the monitor
// (clip and status display) and the outcome after the last sub-step, with the
// frame's whole time.
void Game::update(double dt) {
  const FrameSteps steps(dt);

  elapsedTime += static_cast<float>(steps.frameTime);
  framesThisSecond += 1;
  fpsTimer += steps.frameTime;
  if (fpsTimer >= 1.0) {
    fps = framesThisSecond;
    framesThisSecond = 0;
    fpsTimer -= 1.0;
  }

  for (int i = 0; i < steps.count; ++i) {
    if (i > 0 && player)
      player->continueInput(); // a press fires once, then the key is held
    moveWorld(steps.length);
  }
  events->frameDone(KeyFlags.soundMuted);

  if (!monitor)
    return;
  monitor->update(steps.frameTime, this);

  const OutcomeStep next =
      Outcome::afterFrame(monitor->isPlaying(), player && player->gameOver, !enemies.empty(), outcomeShown);
  if (next.endRun)
    running = false;
  if (next.restartDefaultClip)
    monitor->playVideo(monitor->defaultClipPath.c_str());
  if (next.startGameOver) {
    outcomeShown = true;
    monitor->playVideo(kGameOverClip);
    events->outcome(false);
  }
  if (next.startVictory) {
    outcomeShown = true;
    monitor->playVideo(kVictoryClip);
    events->outcome(true);
  }
}

// The movement and collision part of the update: the player, then every
// enemy, then the removal and scoring of the enemies that died.
void Game::moveWorld(double dt) {
  if (player)
    player->update(dt, this);
  for (std::size_t i = 0; i < enemies.size(); ++i)
    enemies[i]->update(dt, this);

  removeFinished(
      enemies, [](const Gegner* enemy) { return enemy->dead; }, [this] { scoreKill(); });
}

void Game::showPause(bool pause) {
  if (pause == paused)
    return;
  paused = pause;
  if (monitor)
    monitor->showPause(paused);
  events->setPaused(paused);
}

namespace {

// The monitor's screen (its first mesh) centred in the view, facing the eye
// with the camera's up, scaled so that it fills kOptionsHeightShare of the
// view's height. Near the eye, so that nothing of the world comes between.
glm::mat4 optionsPlacement(const Monitor& monitor, const glm::mat4& view) {
  glm::vec3 low(-1.0f), high(1.0f);
  if (!monitor.meshes.empty() && monitor.meshes[0]->positions.size() >= 3) {
    const std::vector<float>& positions = monitor.meshes[0]->positions;
    low = high = glm::vec3(positions[0], positions[1], positions[2]);
    for (std::size_t i = 0; i + 2 < positions.size(); i += 3) {
      const glm::vec3 p(positions[i], positions[i + 1], positions[i + 2]);
      low = glm::min(low, p);
      high = glm::max(high, p);
    }
  }
  const float screenHeight = std::max(high.y - low.y, 1e-3f);
  const float viewHeight = 2.0f * kOptionsDistance * std::tan(glm::radians(kFieldOfView) / 2.0f);
  const float scale = kOptionsHeightShare * viewHeight / screenHeight;
  const glm::vec3 centre = (low + high) / 2.0f;
  return glm::inverse(view) * glm::translate(glm::mat4(1.0f), glm::vec3(0.0f, 0.0f, -kOptionsDistance)) *
         glm::scale(glm::mat4(1.0f), glm::vec3(scale)) * glm::translate(glm::mat4(1.0f), -centre);
}

} // namespace

void Game::showOptions(const OptionsPage* page) {
  if (!monitor)
    return;
  const bool screenLight = level && monitor->screenLightIndex >= 0 &&
                           static_cast<std::size_t>(monitor->screenLightIndex) < level->lights.size();
  if (page && !optionsShown) {
    monitorMatrixBeforeOptions = monitor->modelMatrix;
    monitor->modelMatrix = optionsPlacement(*monitor, mainShader->viewMatrix);
    if (screenLight) {
      const float* light = level->lights[static_cast<std::size_t>(monitor->screenLightIndex)]->position;
      screenLightBeforeOptions = glm::vec3(light[0], light[1], light[2]);
      // the screen lights the page as it lights the status display
      level->setLightPosition(monitor->screenLightIndex, monitor->screenLightPosition());
    }
  } else if (!page && optionsShown) {
    monitor->modelMatrix = monitorMatrixBeforeOptions;
    if (screenLight)
      level->setLightPosition(monitor->screenLightIndex, screenLightBeforeOptions);
  }
  optionsShown = page != nullptr;
  monitor->showOptions(page);
}

void Game::reportTo(GameEvents* sink) { events = sink ? sink : &GameEvents::silent(); }

// Each enemy removed raises the score by 100 times the combo, which then grows.
void Game::scoreKill() {
  if (!player)
    return;
  player->score = Outcome::scoreAfterKill(player->score, player->combo);
  player->combo += 1;
}

// The frame in four passes: shadow map, reflection in the water, main view,
// water surface.
void Game::render() {
  renderShadowPass();
  renderReflectionPass();
  renderMainPass();
  renderWaterSurface();
}

// The casters are drawn only into the part of the map this frame reads, and
// only those (and those tiles of the landscape) that reach into it.
// NOTE: the map is cleared whole: a software rasterizer clears a whole target
// as it starts each of its tiles, but draws a scissored clear as a rectangle
// through a program, which cost llvmpipe more for the region alone.
void Game::renderShadowPass() {
  aimSun();
  const ShadowRegion region = shadowRegion();
  glDisable(GL_SCISSOR_TEST);
  if (level) {
    glBindFramebuffer(GL_FRAMEBUFFER, level->shadowFramebuffer);
    glViewport(0, 0, kShadowMapSize, kShadowMapSize);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
  }
  glEnable(GL_POLYGON_OFFSET_FILL);
  glPolygonOffset(1.1f, 4.0f);
  shadowPass.region = region;
  glEnable(GL_SCISSOR_TEST);
  glScissor(region.x, region.y, region.width, region.height);
  drawShadowCasters();
  glDisable(GL_SCISSOR_TEST);
}

// The world above the water, mirrored, into the reflection texture. The
// polygon offset of the shadow pass is still in force.
void Game::renderReflectionPass() {
  // the mirror flips the winding, so front faces turn clockwise
  glFrontFace(GL_CW);
  glBindFramebuffer(GL_FRAMEBUFFER, reflectionFramebuffer);
  glViewport(0, 0, windowWidth, windowHeight);
  // Only where the water can show is the reflection ever looked up: it is
  // drawn only there, and what can only land elsewhere is left out. Cleared
  // whole, as the shadow map is, which is the cheaper clear.
  const ScreenReach reach = reflectionReach();
  const ScreenReach::Rect reached = reach.bounds();
  glDisable(GL_SCISSOR_TEST);
  glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
  glEnable(GL_SCISSOR_TEST);
  glScissor(reached.x, reached.y, reached.width, reached.height);
  mainShader->reach = &reach;
  mainShader->use();
  if (level)
    glUniform4f(level->clipPlaneLoc, 0.0f, 1.0f, 0.0f, -kWaterLevel);
  // rippled and blended, the reflection goes without the sun's shadow
  glUniform1i(locSunShadowOff, 1);
  // the lit program clips against the plane: in its vertex stage where the GL
  // has clip distances, else in its fragment stage
  // NOTE: the reflection is drawn behind land too: a ripple looks it up as
  // far as 16 x 12 pixels beside its own, and from far away that reaches
  // past any shore. (Leaving it out behind land wrote more depth than the
  // mirrored world ever shades: 0.8 samples a pixel against 0.07.)
  render::clipBelowPlane(true);
  drawScene(waterMirror(), cullingEnabled);
  render::clipBelowPlane(false);
  mainShader->reach = nullptr;
  glDisable(GL_SCISSOR_TEST);
  glFrontFace(GL_CCW);
}

// The window was cleared by the frame loop at the start of the frame.
void Game::renderMainPass() {
  glBindFramebuffer(GL_FRAMEBUFFER, sceneFramebuffer);
  glViewport(0, 0, windowWidth, windowHeight);
  glPolygonOffset(0.0f, 0.0f);
  mainShader->use();
  if (level)
    glUniform4f(level->clipPlaneLoc, 0.0f, 0.0f, 0.0f, 0.0f);
  glUniform1i(locSunShadowOff, 0);
  // what lies wholly behind the screen where its depth went in first is left
  // out of the sifted draws
  if (layMonitorDepth())
    mainShader->cover = monitor->screenCover(TriangleSieve::current());
  objectsDrawn = drawScene(glm::mat4(1.0f), cullingEnabled);
  mainShader->cover = TriangleSieve::Cover{};
}

// The monitor hides a good part of the view but is drawn last. Where it is
// opaque its depth can go in first and nothing behind it is shaded; one depth
// step further back, so that its own lit draw still passes the less-than
// test. A translucent texel blends the scene behind, which must then be
// drawn; in wireframe the offset would not apply to the lines, and a line
// hides next to nothing anyway.
bool Game::layMonitorDepth() {
  if (!monitorDepthFirst || !monitor || !fillsPolygons() || !shadowPass.depthShader)
    return false;
  if (glIsEnabled(GL_BLEND) && !monitor->hidesWhatIsBehind())
    return false;
  glColorMask(GL_FALSE, GL_FALSE, GL_FALSE, GL_FALSE);
  glPolygonOffset(0.0f, 1.0f);
  monitor->drawDepth(shadowPass);
  glPolygonOffset(0.0f, 0.0f);
  glColorMask(GL_TRUE, GL_TRUE, GL_TRUE, GL_TRUE);
  return true;
}

// Wireframe (F3) draws only the edges: the shortcuts that count on a surface
// hiding what lies behind it do not hold.
bool Game::fillsPolygons() const { return !render::wireframeShown(); }

void Game::renderWaterSurface() {
  if (water)
    water->drawWaterSurface(this, waterShader, waterMirror());
}

void Game::drawShadowCasters() {
  if (level)
    level->drawShadow(this);
  if (player)
    player->drawShadow(this);
  for (Gegner* enemy : enemies)
    enemy->drawShadow(this);
  if (monitor)
    monitor->drawShadow(this);
}

// Draws the world with the world matrix between view and model; the monitor
// is never culled. Returns how many objects were drawn.
int Game::drawScene(glm::mat4 world, bool culling) {
  int drawn = 0;
  if (level)
    drawn += level->draw(world, culling);
  if (player)
    drawn += player->draw(world, culling);
  for (Gegner* enemy : enemies)
    drawn += enemy->draw(world, culling);
  if (monitor)
    drawn += monitor->draw(world, false);
  return drawn;
}

glm::mat4 Game::sunProjectionView() const {
  if (!level || level->lights.empty())
    return glm::mat4(1.0f);
  const float* sun = level->lights[0]->position;
  return shadowShader->projectionMatrix *
         glm::lookAt(glm::vec3(sun[0], sun[1], sun[2]), playerPosition(), glm::vec3(0.0f, 1.0f, 0.0f));
}

// The casters draw through the level's map and depth program; before there
// is a level the record stays empty and they draw nothing.
void Game::aimSun() {
  shadowPass.sunUp = level && !level->lights.empty();
  shadowPass.framebuffer = level ? level->shadowFramebuffer : 0;
  shadowPass.depthShader = level ? shadowShader : nullptr;
  shadowPass.depthMatrixLoc = level ? level->shadowDepthMatrixLoc : -1;
  shadowPass.sun = sunProjectionView();
}

// Each tile's own box rather than one box around the landscape: seen from
// the sun, the tops of the mountains and of the flying enemies no longer
// stand over the whole of the ground the camera sees.
std::vector<ShadowRegion::Box> Game::litBoxes() const {
  std::vector<ShadowRegion::Box> boxes;
  const auto hold = [&boxes](const glm::vec3& point, float reach) {
    boxes.push_back({point - glm::vec3(reach), point + glm::vec3(reach)});
  };
  if (level && !level->meshes.empty()) {
    const auto holdModelBox = [&](const glm::vec3& low, const glm::vec3& high) {
      ShadowRegion::Box box{glm::vec3(std::numeric_limits<float>::max()),
                            glm::vec3(-std::numeric_limits<float>::max())};
      for (int i = 0; i < 8; ++i) {
        const glm::vec3 corner(i & 1 ? high.x : low.x, i & 2 ? high.y : low.y, i & 4 ? high.z : low.z);
        const glm::vec3 world(level->modelMatrix * glm::vec4(corner, 1.0f));
        box.min = glm::min(box.min, world);
        box.max = glm::max(box.max, world);
      }
      boxes.push_back(box);
    };
    for (const MeshData* mesh : level->meshes) {
      if (mesh->tiles.runs().empty()) {
        holdModelBox(level->boundsMin, level->boundsMax);
        continue;
      }
      for (const MeshTiles::Tile& tile : mesh->tiles.runs())
        holdModelBox(tile.boxMin, tile.boxMax);
    }
  }
  // the shots fly on beyond the landscape and still take shadows
  const auto holdShot = [&hold](const SceneObject& shot) {
    hold(shot.position(), shot.boundingRadius * glm::length(glm::vec3(shot.modelMatrix[0])));
  };
  if (player) {
    hold(player->position(), player->boundingRadius + kCarriedReach);
    for (const Projektil* shot : player->projectiles)
      holdShot(*shot);
  }
  for (const Gegner* enemy : enemies) {
    hold(enemy->position(), enemy->boundingRadius + kCarriedReach);
    if (const auto* flyer = dynamic_cast<const Hummelot*>(enemy))
      for (const GegnerProjektil* shot : flyer->shots)
        holdShot(*shot);
  }
  return boxes;
}

// Culling off (F8) draws everything, and in wireframe (F3) the ground hides
// no water.
ScreenReach Game::reflectionReach() const {
  if (!cullingEnabled || !fillsPolygons() || !level)
    return ScreenReach::whole(windowWidth, windowHeight);
  const glm::mat4& view = mainShader->viewMatrix;
  const glm::vec3 eye = -glm::transpose(glm::mat3(view)) * glm::vec3(view[3]);
  const glm::ivec2 ripple(static_cast<int>(std::ceil(kRippleReach * static_cast<float>(windowWidth))),
                          static_cast<int>(std::ceil(kRippleReach * static_cast<float>(windowHeight))));
  return level->waterReach.visibleWater(mainShader->projectionMatrix * view, eye, kNearPlane, windowWidth, windowHeight,
                                        ripple);
}

// Only the main view reads the map: the reflection goes without shadows. The
// sun is aimed first (aimSun).
ShadowRegion Game::shadowRegion() const {
  if (!level || level->lights.empty())
    return ShadowRegion::whole(kShadowMapSize);
  const glm::mat4 camera = mainShader->projectionMatrix * mainShader->viewMatrix;
  return ShadowRegion::compute(camera, shadowPass.sun, litBoxes(), kShadowMapSize, kShadowMargin);
}

glm::vec3 Game::playerPosition() const { return player ? player->position() : glm::vec3(0.0f); }

SceneObject* Game::monitorObject() const { return monitor; }
