// Which triangles of a mesh can colour a pixel at all, found on the
// processor before the draw.
//
// A software rasterizer pays for every triangle it is given: the vertex
// stage, the assembly, the facing test and the search for a pixel centre
// inside, on the thread that issues the draw. The enemies, their rotors and
// the shots are thousands of triangles each and a few pixels on screen, and
// the mountains and trees turn many of theirs away, so a good share faces
// away or falls between pixel centres. The sieve keeps every triangle that
// might still be rasterized, in its order, and drops only those the GL would
// surely drop: facing the culled way, or with no pixel centre of the target
// within its box; and, given the pass's reach, those that can only land on
// pixels nothing reads. So wherever the frame reads, the draw of what is kept
// lays down the same fragments in the same order as the draw of the whole.
// Each test leaves a margin far wider than the rounding between our
// transform and the GL's, and a triangle with a vertex behind the eye is
// always kept.
#pragma once

#include <glm/glm.hpp>

#include <cstdint>
#include <vector>

class DrawReach;

class TriangleSieve {
public:
  // Pixel centres [x0, x1) x [y0, y1) whose depth a nearer surface laid
  // before the pass's draws (the monitor's screen), nowhere farther than clip
  // w `beyond`. A triangle wholly beyond it whose pixel centres all lie
  // there fails the depth test at every one of them. Empty while x0 >= x1.
  struct Cover {
    int x0 = 0, y0 = 0, x1 = 0, y1 = 0;
    float beyond = 0.0f;
  };

  // What the draw is rasterized into: the viewport, the pixels the scissor
  // lets through (all of the viewport without one), and which facing the GL
  // culls; front faces turn counter-clockwise unless frontClockwise.
  struct Target {
    int viewportX = 0, viewportY = 0, viewportWidth = 0, viewportHeight = 0;
    int x0 = 0, y0 = 0, x1 = 0, y1 = 0; // pixels [x0, x1) x [y0, y1)
    bool cullFront = false;
    bool cullBack = false;
    bool frontClockwise = false;
    Cover cover; // none unless the pass's caller gives one
  };

  // The current GL state's target (viewport, scissor, culling, winding).
  static Target current();

  // Keeps the triangles of indices (three per triangle, into positions, three
  // floats per vertex) that may cover a pixel of target through toClip; kept
  // holds their indices in their order afterwards (keptCount of them). With
  // reach, a triangle must also cover pixels that may matter to it.
  void sift(const std::vector<float>& positions, const std::vector<std::uint32_t>& indices, const glm::mat4& toClip,
            const Target& target, const DrawReach* reach = nullptr);
  const std::uint32_t* kept() const { return keptIndices.data(); }
  std::size_t keptCount() const { return keptIndexCount; }

private:
  // Per vertex: whether it lies clearly in front of the eye, its window
  // position and clip w, and the pixel centres nearest it, widened by the
  // margin (the first column and row at or after it, the last at or before
  // it).
  struct Vertex {
    bool placed = false;
    float x = 0.0f, y = 0.0f, w = 0.0f; // w: the clip w, the distance along the view
    int columnFrom = 0, columnTo = 0, rowFrom = 0, rowTo = 0;
  };
  std::vector<Vertex> vertices;
  // which vertices this sift's triangles use: those marked usedMark
  std::vector<std::uint32_t> used;
  std::uint32_t usedMark = 0;
  std::vector<std::uint32_t> keptIndices; // room for a whole mesh, reused
  std::size_t keptIndexCount = 0;
};
