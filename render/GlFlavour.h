// What differs between the two GLs the game draws with, said once: desktop
// OpenGL 3.3 core, and OpenGL ES 3.0 as WebGL 2 offers it in a browser.
// Everything else is the same code on both.
//
// - The shaders' first lines. Every source in the shader folder begins with
//   "#version 330 core"; when it is loaded that line gives way to the
//   flavour's header: the version, ES's precisions, and the define that
//   picks the clip-plane path.
// - Two features, each with a fallback, found once after the context exists:
//   the polygon mode for wireframe (F3), else the meshes' edges are drawn as
//   lines; gl_ClipDistance for the reflection's clip plane, else the lit
//   program's fragment stage discards what lies below the plane.
//   FELIDORA_GL_FALLBACKS=1 forces both fallbacks, so the desktop runs them too.
#pragma once

#include <string>

enum class GlFlavour { Desktop, Es };

// Which paths are used; both native until detectGl says otherwise.
struct GlFeatures {
  bool polygonMode = true;  // glPolygonMode, else the edges as GL_LINES
  bool clipDistance = true; // gl_ClipDistance with GL_CLIP_DISTANCE0, else a discard
};

namespace render {

// The flavour this build draws with: ES under Emscripten, desktop elsewhere.
GlFlavour buildFlavour();

// The flavour and features in use.
GlFlavour glFlavour();
const GlFeatures& glFeatures();
// Finds the current context's features (FELIDORA_GL_FALLBACKS=1 turns both
// off) and uses them with the build's flavour. Call once the context exists,
// before any shader or mesh is made.
void detectGl();
// Uses this flavour and these features from now on, wireframe off: for
// tests (Mesa's desktop GL also compiles GLSL ES 3.00).
void useGl(GlFlavour flavour, const GlFeatures& features);
// FELIDORA_GL_FALLBACKS set to anything but "" or "0".
bool glFallbacksRequested();

// The lines a shader begins with, in place of its source's "#version" line,
// ending with a #line that keeps the driver's line numbers the file's.
std::string shaderHeader(GlFlavour flavour, const GlFeatures& features, bool vertexStage, int nextLine);
// The source with its "#version" line (the first thing in it, after white
// space) replaced by the header. A source without one goes unchanged: the
// driver then says what it makes of it.
std::string withShaderHeader(const std::string& source, GlFlavour flavour, const GlFeatures& features,
                             bool vertexStage);

// Wireframe (F3): through the polygon mode where there is one; without it
// every draw of a mesh draws its edges as lines while this is on.
void showWireframe(bool on);
bool wireframeShown();
bool wireframeAsEdges();

// Each mesh's triangles through the triangle sieve before its draw (TriangleSieve):
// on where the GL rasterizes on the processor, which pays for every
// triangle it is given. detectGl decides; tests switch it.
void siftTriangles(bool on);
bool trianglesSifted();
// The mip levels under a changed rectangle remade by blits of just that
// part (MipChain), rather than every level whole: on where the GL
// rasterizes on the processor. detectGl decides; tests switch it.
void regenerateMipmapsByRegion(bool on);
bool mipmapsByRegion();
// Whether a GL_RENDERER string names a rasterizer that runs on the processor.
bool rendersOnProcessor(const char* renderer);

// The reflection's clip plane on or off: GL_CLIP_DISTANCE0 where the lit
// program writes gl_ClipDistance. Without it the plane itself decides (the
// main pass's all-zero plane keeps everything), and nothing is switched.
void clipBelowPlane(bool on);

} // namespace render
