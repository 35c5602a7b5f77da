// Which element of the lit program's light arrays each light takes. The
// monitor moves its light by the light's index, and the shading reads the
// arrays by element: while every light fits, light k must be element k.
#include "render/SceneObject.h"

#include <gtest/gtest.h>

#include <vector>

TEST(LightSlots, EveryLightKeepsItsOwnElementWhileAllFitAndTheSunAndTheScreenComeFirstWhenNot) {
  using Slots = std::vector<int>;
  // the shipped level: sun and sky imported, the screen light added
  EXPECT_EQ(SceneObject::chooseLightSlots({false, false, true}, 3), (Slots{0, 1, 2}));
  EXPECT_EQ(SceneObject::chooseLightSlots({false, true}, 8), (Slots{0, 1}));
  EXPECT_EQ(SceneObject::chooseLightSlots({}, 3), Slots{});

  // one light too many: the sun, then the added light, then the imported in
  // list order; the rest stay dark
  EXPECT_EQ(SceneObject::chooseLightSlots({false, false, false, false, true}, 3), (Slots{0, 2, -1, -1, 1}));
  EXPECT_EQ(SceneObject::chooseLightSlots({false, true, false, true}, 2), (Slots{0, 1, -1, -1}));
  EXPECT_EQ(SceneObject::chooseLightSlots({false, true}, 0), (Slots{-1, -1}));
}
