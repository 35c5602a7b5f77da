#include "monitor/Monitor.h"

#include "app/Game.h"
#include "base/ContentFiles.h"
#include "monitor/OptionsPicture.h"
#include "monitor/VideoPlayback.h"
#include "objects/LevelScene.h"
#include "objects/Schnecke.h"
#include "render/Shader.h"
#include "render/TextureUnits.h"

#include <GL/glew.h>

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <iterator>
#include <utility>
#include <vector>

namespace {

// The screen light floats this far in front of the screen, along local z.
constexpr float kScreenLightDistance = 1.75f;

template <std::size_t N> void loadNumbered(StatusImage (&images)[N], const char* prefix) {
  for (std::size_t i = 0; i < N; ++i)
    images[i].load(content::numberedImage(prefix, static_cast<int>(i)));
}

bool sameRow(const OptionsRow& a, const OptionsRow& b) {
  return a.label == b.label && a.keys == b.keys && a.pad == b.pad && a.selected == b.selected &&
         a.waiting == b.waiting && a.keysMarked == b.keysMarked && a.padMarked == b.padMarked && a.locked == b.locked;
}

bool samePage(const OptionsPage& a, const OptionsPage& b) {
  return a.title == b.title && a.keysHeading == b.keysHeading && a.padHeading == b.padHeading &&
         a.firstVisibleRow == b.firstVisibleRow && a.notice == b.notice && a.help == b.help &&
         std::equal(a.rows.begin(), a.rows.end(), b.rows.begin(), b.rows.end(), sameRow);
}

template <std::size_t N> const StatusImage* entry(const StatusImage (&images)[N], int index) {
  return index >= 0 && static_cast<std::size_t>(index) < N ? &images[index] : nullptr;
}

} // namespace

Monitor::Monitor(const glm::mat4& modelMatrix, Shader* shader, Shader* shadowShader)
    : SceneObject(modelMatrix, shader, shadowShader), video(new VideoPlayback) {
  loadModel(content::kMonitorModel);
  // the textures' texels are kept as they go up: nothing is read back
  keepsTextureTexels = true;
  uploadMeshes();
  bindShadowAttributes();
  screenTexture = textures.empty() ? 0u : textures[0];
  if (screenTexture != 0) {
    screenWidth = uploadedTextures[0].width;
    screenHeight = uploadedTextures[0].height;
  }
  video->setScreenTexture(screenTexture, screenWidth, screenHeight);
  for (std::size_t i = 0; i < textures.size(); ++i)
    if (textures[i] != screenTexture)
      casingOpaque = casingOpaque && textureOpaque(uploadedTextures[i].texels);
  std::vector<std::uint8_t> level0;
  if (screenTexture != 0)
    level0 = std::move(uploadedTextures[0].texels);
  for (UploadedTexture& texture : uploadedTextures)
    texture.texels = {};
  keepsTextureTexels = false;
  if (!textureOpaque(level0))
    screenOpacity.reset(screenWidth, screenHeight, level0);
  else
    screenOpacity.reset(screenWidth, screenHeight, {});
  // the screen as loaded is what lies under the notice until a write lands there
  const StatusWrite notice = StatusDisplay::pauseNotice();
  underPauseNotice.reset(notice.x, notice.y, notice.width, notice.height, screenWidth, screenHeight, level0);
  underOptionsPage.reset(0, 0, screenWidth, screenHeight, screenWidth, screenHeight, level0);

  video->playing = false;
  defaultClipPath = content::kDefaultClip;
  playVideo(defaultClipPath.c_str());

  glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);

  loadNumbered(healthImages, content::kHealthImagePrefix);
  loadNumbered(livesImages, content::kLivesImagePrefix);
  loadNumbered(digitImages, content::kDigitImagePrefix);
  loadNumbered(speedImages, content::kSpeedImagePrefix);

  scorePanelImage.load(content::kScorePanelImage);
  fpsLabelImage.load(content::kFpsLabelImage);
  emptySlotImage.load(content::kEmptySlotImage);
  objectsLabelImage.load(content::kObjectsLabelImage);
  samplingLabelImage.load(content::kSamplingLabelImage);
  mipmapLabelImage.load(content::kMipmapLabelImage);
  linearImage.load(content::kLinearImage);
  bilinearImage.load(content::kBilinearImage);
  nearestImage.load(content::kNearestImage);
  onImage.load(content::kOnImage);
  offImage.load(content::kOffImage);
  pauseImage.load(content::kPauseImage);
  glyphs.load(content::kGlyphAtlasImage);

  status = StatusDisplay{};
}

// The clip goes first, while the screen texture still exists.
Monitor::~Monitor() { video.reset(); }

void Monitor::update(double dt, Game* game) {
  elementsWritten = 0;
  LevelScene* level = game->level;
  if (level && screenLightIndex >= 0 && static_cast<std::size_t>(screenLightIndex) < level->lights.size())
    level->setLightPosition(screenLightIndex, screenLightPosition());
  // the options page owns the screen: the clip holds and the status waits
  if (pageShown)
    return;

  // NOTE: the frame in which the clip ends leaves the display alone; the
  // changes are written in the next frame.
  const unsigned pictures = video->uploadCount;
  const bool goesOn = video->advanceVideo(dt);
  if (video->uploadCount != pictures) {
    screenOpacity.writeOpaque(video->uploadedX, video->uploadedY, video->uploadedWidth, video->uploadedHeight);
    underPauseNotice.write(video->uploadedX, video->uploadedY, video->uploadedWidth, video->uploadedHeight,
                           video->uploadedPixels(), video->uploadedRowLength());
    underOptionsPage.write(video->uploadedX, video->uploadedY, video->uploadedWidth, video->uploadedHeight,
                           video->uploadedPixels(), video->uploadedRowLength());
  }
  if (!goesOn)
    return;
  refreshStatus(dt, *game);
}

glm::vec3 Monitor::screenLightPosition() const {
  return glm::vec3(modelMatrix * glm::vec4(0.0f, 0.0f, kScreenLightDistance, 1.0f));
}

TriangleSieve::Cover Monitor::screenCover(const TriangleSieve::Target& target) const {
  // a pixel of margin, far wider than the rounding between our transform and
  // the GL's; clip w a thousandth beyond the glass, far more than the depth
  // step by which its depth went in behind it
  constexpr float kMargin = 1.0f;
  constexpr float kBeyond = 1.001f;
  const TriangleSieve::Cover none;
  if (meshes.empty() || !meshes[0] || !shader || target.viewportWidth <= 0 || target.viewportHeight <= 0)
    return none;
  const MeshData& glass = *meshes[0];
  if (glass.positions.size() != 12 || glass.indices.size() != 6)
    return none;
  const glm::mat4 toClip = shader->projectionMatrix * (shader->viewMatrix * modelMatrix);
  glm::vec2 corners[4];
  float farthest = 0.0f;
  for (int v = 0; v < 4; ++v) {
    const glm::vec4 clip =
        toClip * glm::vec4(glass.positions[3 * v], glass.positions[3 * v + 1], glass.positions[3 * v + 2], 1.0f);
    // wholly inside the view volume: the GL clips nothing of it
    if (!(clip.w > 0.0f) || std::fabs(clip.x) > clip.w || std::fabs(clip.y) > clip.w || std::fabs(clip.z) > clip.w)
      return none;
    corners[v] = {static_cast<float>(target.viewportX) + (clip.x / clip.w + 1.0f) * 0.5f * target.viewportWidth,
                  static_cast<float>(target.viewportY) + (clip.y / clip.w + 1.0f) * 0.5f * target.viewportHeight};
    farthest = std::max(farthest, clip.w);
  }
  const auto cross = [](glm::vec2 a, glm::vec2 b, glm::vec2 c) {
    return (b.x - a.x) * (c.y - a.y) - (c.x - a.x) * (b.y - a.y);
  };
  // Both triangles drawn (front faces turn counter-clockwise unless the
  // target says otherwise; a culled face lays no depth) ...
  const float facing = target.frontClockwise ? -1.0f : 1.0f;
  float triangleArea = 0.0f;
  for (int t = 0; t < 2; ++t) {
    const std::uint32_t* i = &glass.indices[3 * t];
    if (i[0] >= 4 || i[1] >= 4 || i[2] >= 4)
      return none;
    const float area = facing * cross(corners[i[0]], corners[i[1]], corners[i[2]]);
    if ((target.cullBack && area <= 0.0f) || (target.cullFront && area >= 0.0f))
      return none;
    triangleArea += std::fabs(area);
  }
  // ... and together the convex quad of the four corners: both inside it,
  // so only if they do not overlap do their areas add up to its area.
  const glm::vec2 centre = 0.25f * (corners[0] + corners[1] + corners[2] + corners[3]);
  std::sort(std::begin(corners), std::end(corners), [&centre](glm::vec2 a, glm::vec2 b) {
    return std::atan2(a.y - centre.y, a.x - centre.x) < std::atan2(b.y - centre.y, b.x - centre.x);
  });
  float quadArea = 0.0f;
  for (int k = 0; k < 4; ++k) {
    const float turn = cross(corners[k], corners[(k + 1) % 4], corners[(k + 2) % 4]);
    if (turn <= 0.0f)
      return none; // not convex
    quadArea += cross(centre, corners[k], corners[(k + 1) % 4]);
  }
  if (std::fabs(quadArea - triangleArea) > 1e-3f * quadArea)
    return none;

  // The rectangle between the middle two corners on each axis, if the quad
  // holds all four of its corners, less the margin; then its pixel centres.
  float xs[4], ys[4];
  for (int k = 0; k < 4; ++k)
    xs[k] = corners[k].x, ys[k] = corners[k].y;
  std::sort(xs, xs + 4);
  std::sort(ys, ys + 4);
  const glm::vec2 inner[4] = {{xs[1], ys[1]}, {xs[2], ys[1]}, {xs[1], ys[2]}, {xs[2], ys[2]}};
  for (const glm::vec2& p : inner)
    for (int k = 0; k < 4; ++k)
      if (cross(corners[k], corners[(k + 1) % 4], p) < 0.0f)
        return none;
  TriangleSieve::Cover cover;
  cover.x0 = static_cast<int>(std::ceil(xs[1] + kMargin - 0.5f));
  cover.x1 = static_cast<int>(std::floor(xs[2] - kMargin - 0.5f)) + 1;
  cover.y0 = static_cast<int>(std::ceil(ys[1] + kMargin - 0.5f));
  cover.y1 = static_cast<int>(std::floor(ys[2] - kMargin - 0.5f)) + 1;
  cover.beyond = kBeyond * farthest;
  return cover.x0 < cover.x1 && cover.y0 < cover.y1 ? cover : none;
}

void Monitor::refreshStatus(double dt, const Game& game) {
  PlayerStatus player{};
  if (game.player)
    player = {game.player->lives, game.player->health, game.player->score,
              static_cast<int>(game.player->speedStages.speedDisplay)};
  const GameStatus settings{game.showStats,       game.fps,        game.objectsDrawn,
                            game.linearFiltering, game.mipmapping, game.mipmapLinear};
  elementsWritten = writeStatus(status.refresh(dt, game.player ? &player : nullptr, settings));
}

// NOTE: resuming puts back the texels kept on this side, not the clip's
// picture: a clip opened in the frame of the pause has converted nothing yet,
// and with no clip at all there is no picture to cover the notice.
void Monitor::showPause(bool paused) {
  if (paused) {
    const int written = writeStatus({StatusDisplay::pauseNotice()});
    elementsWritten += written;
    pauseNoticeShown = pauseNoticeShown || written > 0;
    return;
  }
  if (!pauseNoticeShown)
    return;
  pauseNoticeShown = false;
  const CoveredTexels& covered = underPauseNotice;
  underOptionsPage.write(covered.x(), covered.y(), covered.width(), covered.height(), covered.texels().data(),
                         covered.width());
  if (pageShown)
    return; // the page's closing puts it back
  uploadTexels(covered.x(), covered.y(), covered.width(), covered.height(), covered.texels().data());
  screenOpacity.write(covered.x(), covered.y(), covered.width(), covered.height(), covered.texels().data());
  screenMips.regenerate(screenTexture, screenWidth, screenHeight, covered.x(), covered.y(), covered.width(),
                        covered.height());
  ++elementsWritten;
}

// The page is composed on this side and goes up in one upload; closing puts
// back the texels kept on this side, so nothing is ever read back.
void Monitor::showOptions(const OptionsPage* page) {
  if (screenTexture == 0)
    return;
  if (page) {
    if (pageShown && samePage(*page, shownPage))
      return;
    OptionsPicture::compose(*page, glyphs, screenWidth, screenHeight, pagePicture);
    if (!pagePicture.whole())
      return;
    uploadTexels(0, 0, screenWidth, screenHeight, pagePicture.rgba.data());
    screenOpacity.write(0, 0, screenWidth, screenHeight, pagePicture.rgba.data());
    screenMips.regenerate(screenTexture, screenWidth, screenHeight, 0, 0, screenWidth, screenHeight);
    ++elementsWritten;
    shownPage = *page;
    if (!pageShown)
      makeScreenMatte(true);
    pageShown = true;
    return;
  }
  if (!pageShown)
    return;
  makeScreenMatte(false);
  pageShown = false;
  shownPage = OptionsPage{};
  pagePicture = RgbaPicture{};
  const CoveredTexels& covered = underOptionsPage;
  uploadTexels(covered.x(), covered.y(), covered.width(), covered.height(), covered.texels().data());
  screenOpacity.write(covered.x(), covered.y(), covered.width(), covered.height(), covered.texels().data());
  screenMips.regenerate(screenTexture, screenWidth, screenHeight, covered.x(), covered.y(), covered.width(),
                        covered.height());
  ++elementsWritten;
}

// The page is read straight on, with the screen light behind the eye: the
// glass's highlight would lie in the middle of the page and wash its text out.
void Monitor::makeScreenMatte(bool matte) {
  if (meshes.empty() || !meshes[0])
    return;
  float* specular = meshes[0]->specular;
  for (int channel = 0; channel < 3; ++channel) {
    if (matte)
      screenSpecular[channel] = specular[channel];
    specular[channel] = matte ? 0.0f : screenSpecular[channel];
  }
}

// One tightly packed RGBA rectangle into level 0 of the screen texture, which
// stays bound.
void Monitor::uploadTexels(int x, int y, int width, int height, const std::uint8_t* rgba) {
  glActiveTexture(GL_TEXTURE0 + render::kColorTextureUnit);
  glBindTexture(GL_TEXTURE_2D, screenTexture);
  GLint alignment = 4;
  glGetIntegerv(GL_UNPACK_ALIGNMENT, &alignment);
  glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
  glTexSubImage2D(GL_TEXTURE_2D, 0, x, y, width, height, GL_RGBA, GL_UNSIGNED_BYTE, rgba);
  glPixelStorei(GL_UNPACK_ALIGNMENT, alignment);
}

// A write is skipped when its image is missing or has another size than its
// rectangle (it would be read past its end), or when the rectangle does not
// lie inside the texture; the rest of the display goes on. While the options
// page lies over the screen a write is only kept for the page's closing.
int Monitor::writeStatus(const std::vector<StatusWrite>& statusWrites) {
  if (statusWrites.empty() || screenTexture == 0)
    return 0;
  glActiveTexture(GL_TEXTURE0 + render::kColorTextureUnit);
  glBindTexture(GL_TEXTURE_2D, screenTexture);
  GLint alignment = 4;
  glGetIntegerv(GL_UNPACK_ALIGNMENT, &alignment);
  glPixelStorei(GL_UNPACK_ALIGNMENT, 1);

  int elements = 0;
  bool elementWrote = false;
  int left = screenWidth, bottom = screenHeight, right = 0, top = 0; // what the element wrote
  for (const StatusWrite& write : statusWrites) {
    const StatusImage* image = statusImage(write.picture, write.index);
    if (uploadable(write, image, screenWidth, screenHeight)) {
      left = std::min(left, write.x), bottom = std::min(bottom, write.y);
      right = std::max(right, write.x + write.width), top = std::max(top, write.y + write.height);
      const std::uint8_t* pixels = image->pixels.data();
      if (!pageShown) {
        glTexSubImage2D(GL_TEXTURE_2D, 0, write.x, write.y, write.width, write.height, GL_RGBA, GL_UNSIGNED_BYTE,
                        pixels);
        screenOpacity.write(write.x, write.y, write.width, write.height, pixels);
      }
      underOptionsPage.write(write.x, write.y, write.width, write.height, pixels, write.width);
      // the notice is what resuming takes away, so it is never kept under itself
      if (write.picture != StatusPicture::Pause)
        underPauseNotice.write(write.x, write.y, write.width, write.height, pixels, write.width);
      elementWrote = true;
    }
    if (write.endsElement && elementWrote) {
      if (!pageShown)
        screenMips.regenerate(screenTexture, screenWidth, screenHeight, left, bottom, right - left, top - bottom);
      ++elements;
      elementWrote = false;
      left = screenWidth, bottom = screenHeight, right = 0, top = 0;
    }
  }
  glPixelStorei(GL_UNPACK_ALIGNMENT, alignment);
  return elements;
}

// Level 0 of a texture as it went up (RGBA); a texture without an image
// samples as opaque black.
bool Monitor::textureOpaque(const std::vector<std::uint8_t>& level0) {
  for (std::size_t i = 3; i < level0.size(); i += 4)
    if (level0[i] != 255)
      return false;
  return true;
}

bool Monitor::uploadable(const StatusWrite& write, const StatusImage* image, int textureWidth, int textureHeight) {
  const bool inside =
      write.x >= 0 && write.y >= 0 && write.x + write.width <= textureWidth && write.y + write.height <= textureHeight;
  return image && inside && image->fits(write.width, write.height);
}

const StatusImage* Monitor::statusImage(StatusPicture picture, int index) const {
  switch (picture) {
  case StatusPicture::Health: return entry(healthImages, index);
  case StatusPicture::Lives: return entry(livesImages, index);
  case StatusPicture::Digit: return entry(digitImages, index);
  case StatusPicture::Speed: return entry(speedImages, index);
  case StatusPicture::ScorePanel: return &scorePanelImage;
  case StatusPicture::FpsLabel: return &fpsLabelImage;
  case StatusPicture::EmptySlot: return &emptySlotImage;
  case StatusPicture::ObjectsLabel: return &objectsLabelImage;
  case StatusPicture::SamplingLabel: return &samplingLabelImage;
  case StatusPicture::MipmapLabel: return &mipmapLabelImage;
  case StatusPicture::Linear: return &linearImage;
  case StatusPicture::Bilinear: return &bilinearImage;
  case StatusPicture::Nearest: return &nearestImage;
  case StatusPicture::Off: return &offImage;
  case StatusPicture::Pause: return &pauseImage;
  }
  return nullptr;
}

bool Monitor::playVideo(const char* path) { return video->playVideo(path); }

void Monitor::stopVideo() { video->stopVideo(); }

bool Monitor::isPlaying() const { return video->isPlaying(); }

const std::string& Monitor::currentClip() const { return video->currentClip(); }
