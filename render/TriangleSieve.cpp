#include "render/TriangleSieve.h"

#include "render/DrawReach.h"

#include <GL/glew.h>

#include <algorithm>
#include <cmath>

namespace {

// Our transform and the GL's round differently, and the rasterizer snaps
// vertices to a sub-pixel grid (llvmpipe to 1/256 of a pixel): every test
// below decides only with a margin far wider than both.
constexpr float kCentreSlack = 0.0625f; // pixels, for the pixel centres
constexpr float kFacingSlack = 0.0625f; // pixels, each corner's uncertainty for the facing

// A vertex behind the eye, or this many half viewports or more beside its
// centre, is not placed on screen, where our rounding would grow with its
// distance: the triangles it belongs to are kept. (Nothing else is judged by
// the view volume's planes: a triangle beyond the near or the far plane that
// the pixel centres let through is kept, and the GL clips it.)
constexpr float kPlaceable = 64.0f;

// The pixel centres k + 0.5 nearest a window coordinate, widened by the
// margin: the first at or after it and the last at or before it. A placed
// vertex lies within kPlaceable half viewports, well inside an int.
void nearestCentres(float at, int& from, int& to) {
  const float centres = at - 0.5f; // in units of pixel centres
  int below = static_cast<int>(centres);
  below -= centres < static_cast<float>(below) ? 1 : 0;
  const float past = centres - static_cast<float>(below); // 0 <= past < 1
  from = below + (past > kCentreSlack ? 1 : 0);
  to = below + (past + kCentreSlack >= 1.0f ? 1 : 0);
}

} // namespace

TriangleSieve::Target TriangleSieve::current() {
  Target target;
  GLint box[4] = {0, 0, 0, 0};
  glGetIntegerv(GL_VIEWPORT, box);
  target.viewportX = box[0], target.viewportY = box[1];
  target.viewportWidth = box[2], target.viewportHeight = box[3];
  target.x0 = box[0], target.y0 = box[1];
  target.x1 = box[0] + box[2], target.y1 = box[1] + box[3];
  if (glIsEnabled(GL_SCISSOR_TEST)) {
    glGetIntegerv(GL_SCISSOR_BOX, box);
    target.x0 = std::max(target.x0, box[0]), target.y0 = std::max(target.y0, box[1]);
    target.x1 = std::min(target.x1, box[0] + box[2]), target.y1 = std::min(target.y1, box[1] + box[3]);
  }
  if (glIsEnabled(GL_CULL_FACE)) {
    GLint mode = GL_BACK;
    glGetIntegerv(GL_CULL_FACE_MODE, &mode);
    target.cullFront = mode == GL_FRONT || mode == GL_FRONT_AND_BACK;
    target.cullBack = mode == GL_BACK || mode == GL_FRONT_AND_BACK;
  }
  GLint frontFace = GL_CCW;
  glGetIntegerv(GL_FRONT_FACE, &frontFace);
  target.frontClockwise = frontFace == GL_CW;
  return target;
}

void TriangleSieve::sift(const std::vector<float>& positions, const std::vector<std::uint32_t>& indices,
                         const glm::mat4& toClip, const Target& target, const DrawReach* reach) {
  keptIndexCount = 0;
  if (target.x0 >= target.x1 || target.y0 >= target.y1 || target.viewportWidth <= 0 || target.viewportHeight <= 0)
    return; // nothing can be drawn into no pixel

  // Each vertex to clip space, as the vertex stage places it, then to the
  // window.
  const std::size_t vertexCount = positions.size() / 3;
  if (vertices.size() < vertexCount) // grown only: a smaller mesh leaves the room as it was
    vertices.resize(vertexCount);
  const float halfWidth = 0.5f * static_cast<float>(target.viewportWidth);
  const float halfHeight = 0.5f * static_cast<float>(target.viewportHeight);
  const float centreX = static_cast<float>(target.viewportX) + halfWidth;
  const float centreY = static_cast<float>(target.viewportY) + halfHeight;
  const auto place = [&](std::size_t v) {
    const float px = positions[3 * v], py = positions[3 * v + 1], pz = positions[3 * v + 2];
    const float x = toClip[0][0] * px + toClip[1][0] * py + toClip[2][0] * pz + toClip[3][0];
    const float y = toClip[0][1] * px + toClip[1][1] * py + toClip[2][1] * pz + toClip[3][1];
    const float w = toClip[0][3] * px + toClip[1][3] * py + toClip[2][3] * pz + toClip[3][3];
    Vertex& out = vertices[v];
    out.placed = w > 0.0f && std::fabs(x) < kPlaceable * w && std::fabs(y) < kPlaceable * w;
    if (!out.placed)
      return;
    const float perW = 1.0f / w;
    out.w = w;
    out.x = centreX + halfWidth * (x * perW);
    out.y = centreY + halfHeight * (y * perW);
    nearestCentres(out.x, out.columnFrom, out.columnTo);
    nearestCentres(out.y, out.rowFrom, out.rowTo);
  };
  // The landscape's tiles in view use a small part of its vertices: with
  // fewer triangles than vertices only those the triangles use are placed
  // (the others are never read).
  if (indices.size() < 3 * vertexCount) {
    if (used.size() < vertexCount)
      used.resize(vertexCount, 0);
    if (++usedMark == 0) { // after four billion sifts the marks start over
      std::fill(used.begin(), used.end(), 0);
      usedMark = 1;
    }
    for (const std::uint32_t i : indices)
      if (i < vertexCount)
        used[i] = usedMark;
    for (std::size_t v = 0; v < vertexCount; ++v)
      if (used[v] == usedMark)
        place(v);
  } else {
    for (std::size_t v = 0; v < vertexCount; ++v)
      place(v);
  }

  if (keptIndices.size() < indices.size())
    keptIndices.resize(indices.size());
  std::uint32_t* next = keptIndices.data();
  for (std::size_t t = 0; t + 2 < indices.size(); t += 3) {
    const std::uint32_t i0 = indices[t], i1 = indices[t + 1], i2 = indices[t + 2];
    const auto keep = [&] { next[0] = i0, next[1] = i1, next[2] = i2, next += 3; };
    if (i0 >= vertexCount || i1 >= vertexCount || i2 >= vertexCount) {
      keep(); // not ours to judge
      continue;
    }
    const Vertex& a = vertices[i0];
    const Vertex& b = vertices[i1];
    const Vertex& c = vertices[i2];
    if (!a.placed || !b.placed || !c.placed) {
      keep();
      continue;
    }

    // Facing by the winding in the window (y up): counter-clockwise turns
    // have a positive area.
    // (in floats: their rounding stays far below the slack for triangles
    // within kPlaceable half viewports)
    const float e1x = b.x - a.x, e1y = b.y - a.y, e2x = c.x - a.x, e2y = c.y - a.y;
    const float area = e1x * e2y - e2x * e1y;
    const float areaSlack = 2.0f * kFacingSlack * (std::fabs(e1x) + std::fabs(e1y) + std::fabs(e2x) + std::fabs(e2y)) +
                            8.0f * kFacingSlack * kFacingSlack;
    const bool counterClockwise = area > areaSlack, clockwise = area < -areaSlack;
    const bool front = target.frontClockwise ? clockwise : counterClockwise;
    const bool back = target.frontClockwise ? counterClockwise : clockwise;
    if ((target.cullBack && back) || (target.cullFront && front))
      continue;

    // no pixel centre of the target within the triangle's box
    const int columnFrom = std::max(std::min({a.columnFrom, b.columnFrom, c.columnFrom}), target.x0);
    const int columnTo = std::min(std::max({a.columnTo, b.columnTo, c.columnTo}), target.x1 - 1);
    const int rowFrom = std::max(std::min({a.rowFrom, b.rowFrom, c.rowFrom}), target.y0);
    const int rowTo = std::min(std::max({a.rowTo, b.rowTo, c.rowTo}), target.y1 - 1);
    if (columnFrom > columnTo || rowFrom > rowTo)
      continue;
    if (reach &&
        !reach->mayCover(columnFrom, rowFrom, columnTo + 1, rowTo + 1, target.viewportWidth, target.viewportHeight))
      continue;
    // hidden wholly behind what already lies nearer (w grows along the view,
    // so the triangle lies at least as far as its nearest corner)
    const TriangleSieve::Cover& cover = target.cover;
    if (columnFrom >= cover.x0 && columnTo < cover.x1 && rowFrom >= cover.y0 && rowTo < cover.y1 &&
        std::min({a.w, b.w, c.w}) > cover.beyond)
      continue;
    keep();
  }
  keptIndexCount = static_cast<std::size_t>(next - keptIndices.data());
}
