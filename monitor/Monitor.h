// The in-world monitor held in front of the camera. Its screen texture shows
// the current clip and, around and over it, the status display: health,
// lives, score, speed indicator, the optional statistics row and the notices
// of texture-filtering changes, all written into the texture itself. While
// the options page is open it covers the whole texture.
#pragma once

#include "monitor/CoveredTexels.h"
#include "monitor/GlyphAtlas.h"
#include "monitor/OptionsPage.h"
#include "monitor/RgbaPicture.h"
#include "monitor/ScreenOpacity.h"
#include "monitor/StatusDisplay.h"
#include "monitor/StatusImage.h"
#include "render/MipChain.h"
#include "render/SceneObject.h"
#include "render/TriangleSieve.h"

#include <memory>
#include <string>
#include <vector>

class VideoPlayback;

class Monitor : public SceneObject {
public:
  Monitor(const glm::mat4& modelMatrix, Shader* shader, Shader* shadowShader);
  ~Monitor() override;

  // Moves the screen light, steps the clip and, unless the clip ended in
  // this step, refreshes the status display.
  void update(double dt, Game* game) override;

  // Where the screen light floats, in front of the screen.
  glm::vec3 screenLightPosition() const;

  // clips (see VideoPlayback)
  bool playVideo(const char* path);
  void stopVideo();
  bool isPlaying() const;
  const std::string& currentClip() const; // empty when idle
  const VideoPlayback& videoPlayback() const { return *video; }

  // The status part of the update: decides this frame's elements and writes
  // them into the screen texture.
  void refreshStatus(double dt, const Game& game);
  // The paused game's notice over the standing clip, or, on resuming, exactly
  // the texels it covered back in their place.
  void showPause(bool paused);
  // With a page: the page composed over the whole screen texture, composed
  // anew whenever it changed. With nullptr: exactly the texels that were
  // there before the page first showed, as the writes since then left them.
  // While the page shows, the screen is the page's: the clip holds, and what
  // the status display or the pause notice write is kept for its closing.
  void showOptions(const OptionsPage* page);
  bool optionsShown() const { return pageShown; }
  // Uploads each write whose image fits its rectangle and the texture, and
  // regenerates the mipmap chain once after each element that wrote anything.
  // Returns how many elements were written.
  int writeStatus(const std::vector<StatusWrite>& statusWrites);
  // Whether a write may be uploaded from `image` into a texture of this size:
  // the image has exactly the rectangle's size and the rectangle lies inside.
  static bool uploadable(const StatusWrite& write, const StatusImage* image, int textureWidth, int textureHeight);
  const StatusImage* statusImage(StatusPicture picture, int index) const;

  // The pixel centres the screen's glass surely covers in the target, seen
  // through its lit program's projection and view, and the farthest clip w
  // of the glass. Empty unless the glass is one quad, wholly in view and
  // facing the eye (as the depth-only draw then lays it).
  TriangleSieve::Cover screenCover(const TriangleSieve::Target& target) const;

  // Whether every texel of the monitor's textures is opaque, so that where
  // it is drawn nothing behind it can show.
  bool hidesWhatIsBehind() const { return casingOpaque && screenOpacity.opaque(); }

  std::string defaultClipPath;
  int screenLightIndex = -1;
  unsigned screenTexture = 0;
  int screenWidth = 0; // level 0 of the screen texture, in texels
  int screenHeight = 0;

  // status images, loaded once
  StatusImage healthImages[7];
  StatusImage livesImages[10];
  StatusImage digitImages[10];
  StatusImage speedImages[9];
  StatusImage scorePanelImage;
  StatusImage fpsLabelImage;
  StatusImage emptySlotImage;
  StatusImage objectsLabelImage;
  StatusImage samplingLabelImage;
  StatusImage mipmapLabelImage;
  StatusImage linearImage;
  StatusImage bilinearImage;
  StatusImage nearestImage;
  StatusImage onImage; // loaded; no element shows it
  StatusImage offImage;
  StatusImage pauseImage;
  // the characters of the options page
  GlyphAtlas glyphs;

  // the remembered values and the notice timer
  StatusDisplay status;
  // elements written by the last update, each with one mipmap regeneration
  int elementsWritten = 0;

private:
  static bool textureOpaque(const std::vector<std::uint8_t>& level0);
  void uploadTexels(int x, int y, int width, int height, const std::uint8_t* rgba);
  void makeScreenMatte(bool matte);

  std::unique_ptr<VideoPlayback> video;
  MipChain screenMips; // the levels over each element written
  // the textures besides the screen never change after loading
  bool casingOpaque = true;
  ScreenOpacity screenOpacity;
  // what the pause notice covers, kept from every write but the notice's own
  CoveredTexels underPauseNotice;
  bool pauseNoticeShown = false;
  // the whole texture as it would be without the options page, kept from
  // every write but the page's own
  CoveredTexels underOptionsPage;
  bool pageShown = false;
  float screenSpecular[3] = {0.0f, 0.0f, 0.0f}; // the screen's own, while the page is matte
  OptionsPage shownPage;                        // the page on the screen, while pageShown
  RgbaPicture pagePicture;
};
