// The names of the content files beside the executable, shared by the game
// (which reads them), the content generator (which writes them), the packaging
// (which installs the folders) and a recording's fingerprint (which covers the
// folders), so that none of them can name a file the others do not. Paths are
// relative to the game's folder. The build reads names from this file too
// (content_name in CMakeLists.txt): each stays one line of its own,
// constexpr const char* kName = "...";
#pragma once

#include <array>
#include <string>

namespace content {

constexpr const char* kShaderFolder = "Shader";
constexpr const char* kModelFolder = "Modelle";
constexpr const char* kImageFolder = "Bilder";
constexpr const char* kClipFolder = "Videos";
constexpr const char* kSoundFolder = "Klaenge";

// the folders whose files decide how a game plays, which a recording's
// fingerprint covers; the sounds change nothing of the game
constexpr std::array<const char*, 4> kFolders{kShaderFolder, kModelFolder, kImageFolder, kClipFolder};
// the folders the generator fills; the shaders are written by hand
constexpr std::array<const char*, 4> kGeneratedFolders{kModelFolder, kImageFolder, kClipFolder, kSoundFolder};

// extra gamepad mappings (SDL_GameControllerDB lines) the player may put beside
// the game; none is shipped
constexpr const char* kGamepadMappings = "gamecontrollerdb.txt";

// the three programs: lit, depth (the shadow map) and water
constexpr const char* kLitVertexShader = "Shader/OurVertexShader.vert";
constexpr const char* kLitFragmentShader = "Shader/OurFragmentShader.frag";
constexpr const char* kShadowVertexShader = "Shader/ShadowMap.vert";
constexpr const char* kShadowFragmentShader = "Shader/ShadowMap.frag";
constexpr const char* kWaterVertexShader = "Shader/Wasser.vert";
constexpr const char* kWaterFragmentShader = "Shader/Wasser.frag";

// models; the textures they name lie in the model folder too
constexpr const char* kLevelModel = "Modelle/UmgebungGross.dae";
constexpr const char* kWaterModel = "Modelle/WasserNormal.dae";
constexpr const char* kPlayerModel = "Modelle/SchneckeModell.dae";
constexpr const char* kShotModel = "Modelle/Wollknaeuel.dae";
constexpr const char* kSuperShotModel = "Modelle/WollknaeuelSuperschussLevel1.dae";
constexpr const char* kEnemyModel = "Modelle/HummelotModell.dae";
constexpr const char* kRotorModel = "Modelle/Hummelot_Rotorblatt_Modell.dae";
constexpr const char* kLaserModel = "Modelle/LaserschussModell.dae";
constexpr const char* kMonitorModel = "Modelle/Monitor.dae";

// the monitor's clips
constexpr const char* kDefaultClip = "Videos/Katzenvideo.mpg";
constexpr const char* kTutorialClip = "Videos/Katzentutorial.mpg";
constexpr const char* kGameOverClip = "Videos/GameOver.mpg";
constexpr const char* kVictoryClip = "Videos/Sieg.mpg";

// the status display's images; a numbered one is numberedImage(prefix, index)
constexpr const char* kHealthImagePrefix = "Bilder/WuerfelGross";
constexpr const char* kLivesImagePrefix = "Bilder/LebensanzahlGross";
constexpr const char* kDigitImagePrefix = "Bilder/PunktezahlZiffernsatzGross";
constexpr const char* kSpeedImagePrefix = "Bilder/BeschleunigungsanzeigenanimationOhneTrans";
constexpr const char* kScorePanelImage = "Bilder/PunkteanzeigeGrossOhneTrans.png";
constexpr const char* kFpsLabelImage = "Bilder/FPS.png";
constexpr const char* kEmptySlotImage = "Bilder/FPSleer.png";
constexpr const char* kObjectsLabelImage = "Bilder/Objects_Rendered.png";
constexpr const char* kSamplingLabelImage = "Bilder/FN_Texture_Sampling_Quality.png";
constexpr const char* kMipmapLabelImage = "Bilder/FN_Mip_Mapping_Quality.png";
constexpr const char* kLinearImage = "Bilder/FN_LINEAR.png";
constexpr const char* kBilinearImage = "Bilder/FN_BILINEAR.png";
constexpr const char* kNearestImage = "Bilder/FN_NEAREST_NEIGHBOUR.png";
constexpr const char* kOnImage = "Bilder/FN_ON.png";
constexpr const char* kOffImage = "Bilder/FN_OFF.png";
constexpr const char* kPauseImage = "Bilder/Pause.png";
// the characters the monitor writes its text with (the options page)
constexpr const char* kGlyphAtlasImage = "Bilder/Zeichensatz.png";

inline std::string numberedImage(const char* prefix, int index) { return prefix + std::to_string(index) + ".png"; }

// True when path names a file directly inside folder.
constexpr bool liesIn(const char* path, const char* folder) {
  while (*folder)
    if (*path++ != *folder++)
      return false;
  return *path == '/';
}

static_assert(liesIn(kLitVertexShader, kShaderFolder) && liesIn(kLitFragmentShader, kShaderFolder) &&
                  liesIn(kShadowVertexShader, kShaderFolder) && liesIn(kShadowFragmentShader, kShaderFolder) &&
                  liesIn(kWaterVertexShader, kShaderFolder) && liesIn(kWaterFragmentShader, kShaderFolder),
              "every program's source lies in the shader folder");
static_assert(liesIn(kLevelModel, kModelFolder) && liesIn(kWaterModel, kModelFolder) &&
                  liesIn(kPlayerModel, kModelFolder) && liesIn(kShotModel, kModelFolder) &&
                  liesIn(kSuperShotModel, kModelFolder) && liesIn(kEnemyModel, kModelFolder) &&
                  liesIn(kRotorModel, kModelFolder) && liesIn(kLaserModel, kModelFolder) &&
                  liesIn(kMonitorModel, kModelFolder),
              "every model lies in the model folder");
static_assert(liesIn(kDefaultClip, kClipFolder) && liesIn(kTutorialClip, kClipFolder) &&
                  liesIn(kGameOverClip, kClipFolder) && liesIn(kVictoryClip, kClipFolder),
              "every clip lies in the clip folder");
static_assert(liesIn(kHealthImagePrefix, kImageFolder) && liesIn(kLivesImagePrefix, kImageFolder) &&
                  liesIn(kDigitImagePrefix, kImageFolder) && liesIn(kSpeedImagePrefix, kImageFolder) &&
                  liesIn(kScorePanelImage, kImageFolder) && liesIn(kFpsLabelImage, kImageFolder) &&
                  liesIn(kEmptySlotImage, kImageFolder) && liesIn(kObjectsLabelImage, kImageFolder) &&
                  liesIn(kSamplingLabelImage, kImageFolder) && liesIn(kMipmapLabelImage, kImageFolder) &&
                  liesIn(kLinearImage, kImageFolder) && liesIn(kBilinearImage, kImageFolder) &&
                  liesIn(kNearestImage, kImageFolder) && liesIn(kOnImage, kImageFolder) &&
                  liesIn(kOffImage, kImageFolder) && liesIn(kPauseImage, kImageFolder) &&
                  liesIn(kGlyphAtlasImage, kImageFolder),
              "every status image lies in the image folder");

} // namespace content
