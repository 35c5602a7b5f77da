// The sizes the render passes draw at: the frame every pass renders, whatever
// the window's size (the presenter scales it into a window of another size),
// and the sun's shadow map.
#pragma once

namespace render {

constexpr int kFrameWidth = 800;
constexpr int kFrameHeight = 600;
constexpr int kShadowMapSize = 2048;

} // namespace render
