// The part of a render target that can still matter to the frame, in blocks
// of 8 x 8 pixels: a pass whose target is only read there draws only what may
// cover one of them. Built by adding rectangles, then sealed; the tests of a
// box are then one projection and one look-up each.
#pragma once

#include "render/DrawReach.h"

#include <glm/glm.hpp>

#include <cstdint>
#include <vector>

class ScreenReach : public DrawReach {
public:
  static constexpr int kBlock = 8;

  // Pixels of the target: lower-left corner and size, as glScissor takes
  // them (width and height 0 when empty).
  struct Rect {
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
  };

  // A target of width x height pixels of which nothing is reached yet.
  ScreenReach(int width, int height);
  // Every pixel of the target, sealed.
  static ScreenReach whole(int width, int height);

  // Reaches the pixels x0 <= x < x1, y0 <= y < y1 (clipped to the target).
  void add(int x0, int y0, int x1, int y1);
  // Ends the adding; the tests below need it.
  void seal();

  bool isEmpty() const { return reached == 0; }
  bool isWhole() const { return reached == static_cast<long>(columns) * rows; }
  // The smallest rectangle of whole blocks (clipped to the target) holding
  // every reached block.
  Rect bounds() const;

  // Whether a box, in the space that toClip takes to clip space, may cover a
  // reached pixel. Only what lies between the near and far planes counts;
  // what lies off the target does not.
  bool mayShow(const glm::mat4& toClip, const glm::vec3& boxMin, const glm::vec3& boxMax) const override;
  // Whether any block overlapping the pixels x0 <= x < x1, y0 <= y < y1 is
  // reached.
  bool reachesAny(int x0, int y0, int x1, int y1) const;
  // The same, for a viewport that is the whole target; any other viewport
  // may cover anything.
  bool mayCover(int x0, int y0, int x1, int y1, int viewportWidth, int viewportHeight) const override;

private:
  int width;
  int height;
  int columns;
  int rows;
  long reached = 0;
  std::vector<std::uint8_t> blocks; // columns x rows, row by row from the bottom
  // counts of reached blocks below and left of each block corner, (columns + 1) x (rows + 1)
  std::vector<int> below;
};
