// The texture units the lit and water programs read. The shadow map and the
// reflection are bound to theirs once, when they are made, and stay there for
// the whole game; every other texture (a mesh's colour, the water's normal
// map, the monitor's video frame) is set up and bound on the colour unit, so
// no set-up or draw ever lands on the other two.
#pragma once

namespace render {

constexpr int kColorTextureUnit = 0;
constexpr int kShadowMapUnit = 1;
constexpr int kReflectionUnit = 2;

} // namespace render
