// The part of the shadow map that a frame can read. Only surfaces inside the
// camera's view volume look the map up, and every lit surface lies inside one
// box (the landscape with everything flying above it). The sun's view of
// their common part is all the shadow pass has to draw; the rest of the map
// is never read.
#pragma once

#include "render/DrawReach.h"

#include <glm/glm.hpp>

#include <vector>

class ShadowRegion : public DrawReach {
public:
  // A box in world space, corners min and max.
  struct Box {
    glm::vec3 min;
    glm::vec3 max;
  };

  // Pixels of a square map of mapSize texels: lower-left corner and size, as
  // glScissor takes them. Empty (width or height 0) when nothing visible can
  // be lit.
  int x = 0;
  int y = 0;
  int width = 0;
  int height = 0;
  // The sun's view of what the frame reads is a convex polygon; the
  // rectangle holds it, but a view seen slanting leaves much of the
  // rectangle unread. Its corners in the sun's normalized device
  // coordinates, anticlockwise, and how far (in the same units) a caster
  // must stay off its edges to be left out. Empty: only the rectangle is
  // known.
  std::vector<glm::vec2> outline;
  float outlineMargin = 0.0f;

  // The region for a camera (projection x view), the sun's projection x view
  // and the box of everything lit, widened by margin texels on every side
  // for the filtered lookups next to each texel.
  static ShadowRegion compute(const glm::mat4& cameraProjectionView, const glm::mat4& sunProjectionView, const Box& lit,
                              int mapSize, int margin);
  // The same for lit surfaces that lie in any of several boxes: the region
  // the camera reads of all of them.
  static ShadowRegion compute(const glm::mat4& cameraProjectionView, const glm::mat4& sunProjectionView,
                              const std::vector<Box>& lit, int mapSize, int margin);

  // The whole of a square map of mapSize texels.
  static ShadowRegion whole(int mapSize);

  bool isEmpty() const { return width <= 0 || height <= 0; }
  // The region in the sun's normalized device coordinates: left, bottom,
  // right, top.
  glm::vec4 window(int mapSize) const;
  // Whether a box in model space (corners boxMin, boxMax, placed by model),
  // seen by the sun, can reach into the region of a map of mapSize texels.
  bool mayHold(const glm::mat4& sunProjectionView, const glm::mat4& model, const glm::vec3& boxMin,
               const glm::vec3& boxMax, int mapSize) const;
  // Whether a box, in the space that toClip takes to the sun's clip space,
  // can reach into the outline (the rectangle is the view volume's test).
  bool mayShow(const glm::mat4& toClip, const glm::vec3& boxMin, const glm::vec3& boxMax) const override;
  // Whether texels of the map (the viewport) may lie in the outline, by the
  // same margin; the rectangle is the scissor's.
  bool mayCover(int x0, int y0, int x1, int y1, int viewportWidth, int viewportHeight) const override;

private:
  // Each edge of an outline as its outward unit normal (x, y) and how far
  // along it a point lies clearly beyond (z): the margin included.
  static std::vector<glm::dvec3> outlineEdges(const std::vector<glm::vec2>& outline, float margin);
  // The outline's edges as compute made them, in texels of a map of
  // texelEdgesMapSize: the sieve asks for each triangle. Another outline's
  // edges are made when asked.
  std::vector<glm::vec3> texelEdges;
  int texelEdgesMapSize = 0;
};
