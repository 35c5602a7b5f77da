// What every caster's depth draw needs of the frame's shadow pass: where the
// depths go, the program that writes them, and the sun's view aimed at the
// player. The Game fills it once before the first caster draws, so the
// casters read one small record instead of the level.
#pragma once

#include "render/ShadowRegion.h"

#include <glm/glm.hpp>

class Shader;

struct ShadowPass {
  // a level with a sun: without one nothing casts a shadow
  bool sunUp = false;
  // the level's shadow map
  unsigned framebuffer = 0;
  // the depth program (none before there is a level) and its
  // "depthProjectionViewModelMatrix"
  Shader* depthShader = nullptr;
  int depthMatrixLoc = -1;
  // the sun's projection x view, for all casters and the lit lookups
  glm::mat4 sun{1.0f};
  // the part of the map the frame reads
  ShadowRegion region;
};
