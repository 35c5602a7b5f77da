#include "render/GlFlavour.h"

#include <GL/glew.h>

#include <cstdlib>
#include <cstring>

#ifdef __EMSCRIPTEN__
#include <emscripten.h>

// NOTE: this Emscripten (3.1.6) knows neither extension, so both are asked of
// the browser's context by name; asking for one turns it on.
EM_JS(int, webGlExtension, (const char* name), { return GLctx.getExtension(UTF8ToString(name)) ? 1 : 0; });
EM_JS(void, webGlPolygonMode, (int face, int mode),
      { GLctx.getExtension("WEBGL_polygon_mode").polygonModeWEBGL(face, mode); });
#endif

namespace {

GlFlavour gFlavour = render::buildFlavour();
GlFeatures gFeatures;
bool gWireframe = false;
bool gSifted = false;
bool gMipmapsByRegion = false;

// What each flavour's sources are compiled as.
constexpr const char* kDesktopVersion = "#version 330 core\n";
constexpr const char* kEsVersion = "#version 300 es\n";
// ES has no default precision for floats in the fragment stage, nor for the
// shadow sampler in any; highp throughout is what the desktop computes with.
constexpr const char* kEsPrecisions = "precision highp float;\n"
                                      "precision highp int;\n"
                                      "precision highp sampler2D;\n"
                                      "precision highp sampler2DShadow;\n";
// WebGL 2's gl_ClipDistance, asked for where it is written.
constexpr const char* kEsClipDistanceExtension = "#extension GL_ANGLE_clip_cull_distance : require\n";
// The sources pick their clip-plane path with #ifdef on this.
constexpr const char* kClipDistanceDefine = "#define CLIP_DISTANCE\n";
// Desktop GL's names, which ES's headers lack; WebGL's
// extensions take the same values.
constexpr GLenum kLine = 0x1B01;          // GL_LINE, LINE_WEBGL
constexpr GLenum kFill = 0x1B02;          // GL_FILL, FILL_WEBGL
constexpr GLenum kClipDistance0 = 0x3000; // GL_CLIP_DISTANCE0, CLIP_DISTANCE0_WEBGL

void setPolygonMode(bool lines) {
#ifdef __EMSCRIPTEN__
  webGlPolygonMode(GL_FRONT_AND_BACK, lines ? kLine : kFill);
#else
  glPolygonMode(GL_FRONT_AND_BACK, lines ? kLine : kFill);
#endif
}

} // namespace

namespace render {

GlFlavour buildFlavour() {
#ifdef __EMSCRIPTEN__
  return GlFlavour::Es;
#else
  return GlFlavour::Desktop;
#endif
}

GlFlavour glFlavour() { return gFlavour; }

const GlFeatures& glFeatures() { return gFeatures; }

bool glFallbacksRequested() {
  const char* value = std::getenv("FELIDORA_GL_FALLBACKS");
  return value && std::strcmp(value, "") != 0 && std::strcmp(value, "0") != 0;
}

// Desktop GL 3.3 core has both; WebGL 2 has each as an extension.
void detectGl() {
  GlFeatures features;
#ifdef __EMSCRIPTEN__
  features.polygonMode = webGlExtension("WEBGL_polygon_mode") != 0;
  features.clipDistance = webGlExtension("WEBGL_clip_cull_distance") != 0;
#endif
  if (glFallbacksRequested())
    features = GlFeatures{false, false};
  useGl(buildFlavour(), features);
  gSifted = rendersOnProcessor(reinterpret_cast<const char*>(glGetString(GL_RENDERER)));
  // (not yet tried on the browsers' GLs, which check blits more strictly)
  gMipmapsByRegion = gSifted && buildFlavour() == GlFlavour::Desktop;
}

// Mesa's llvmpipe and softpipe, its older swrast, and SwiftShader (the
// browsers' fallback, where the page may name it).
bool rendersOnProcessor(const char* renderer) {
  if (!renderer)
    return false;
  for (const char* name : {"llvmpipe", "softpipe", "swrast", "Software Rasterizer", "SwiftShader"})
    if (std::strstr(renderer, name))
      return true;
  return false;
}

void siftTriangles(bool on) { gSifted = on; }

bool trianglesSifted() { return gSifted; }

void regenerateMipmapsByRegion(bool on) { gMipmapsByRegion = on; }

bool mipmapsByRegion() { return gMipmapsByRegion; }

void useGl(GlFlavour flavour, const GlFeatures& features) {
  if (gWireframe)
    showWireframe(false);
  gFlavour = flavour;
  gFeatures = features;
}

std::string shaderHeader(GlFlavour flavour, const GlFeatures& features, bool vertexStage, int nextLine) {
  std::string header = flavour == GlFlavour::Es ? kEsVersion : kDesktopVersion;
  if (features.clipDistance) {
    if (flavour == GlFlavour::Es && vertexStage)
      header += kEsClipDistanceExtension;
    header += kClipDistanceDefine;
  }
  if (flavour == GlFlavour::Es)
    header += kEsPrecisions;
  header += "#line " + std::to_string(nextLine) + "\n";
  return header;
}

std::string withShaderHeader(const std::string& source, GlFlavour flavour, const GlFeatures& features,
                             bool vertexStage) {
  const std::size_t start = source.find_first_not_of(" \t\r\n");
  if (start == std::string::npos || source.compare(start, 8, "#version") != 0)
    return source;
  const std::size_t lineEnd = source.find('\n', start);
  if (lineEnd == std::string::npos)
    return shaderHeader(flavour, features, vertexStage, 2); // nothing but the version line
  int nextLine = 2;
  for (std::size_t i = 0; i < start; ++i)
    nextLine += source[i] == '\n';
  return shaderHeader(flavour, features, vertexStage, nextLine) + source.substr(lineEnd + 1);
}

// The polygon mode is the context's; the flag is what every draw reads.
void showWireframe(bool on) {
  gWireframe = on;
  if (gFeatures.polygonMode)
    setPolygonMode(on);
}

bool wireframeShown() { return gWireframe; }

bool wireframeAsEdges() { return gWireframe && !gFeatures.polygonMode; }

void clipBelowPlane(bool on) {
  if (!gFeatures.clipDistance)
    return;
  if (on)
    glEnable(kClipDistance0);
  else
    glDisable(kClipDistance0);
}

} // namespace render
