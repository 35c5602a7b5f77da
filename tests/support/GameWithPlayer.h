// A game with its three programs and a player at the start, built once per
// test suite from the build folder; each test starts with no key held and no
// GL error pending.
#pragma once

#include "app/Game.h"
#include "app/KeyFlags.h"
#include "base/LevelLayout.h"
#include "objects/Schnecke.h"
#include "tests/support/GlContext.h"

#include <gtest/gtest.h>

namespace felidora::test {

class GameWithPlayer : public ::testing::Test {
protected:
  static void SetUpTestSuite() {
    if (!glAvailable())
      return;
    game = new Game;
    game->player = new Schnecke(layout::kPlayerStart, game->mainShader, game->shadowShader);
    drainGlErrors();
  }

  static void TearDownTestSuite() {
    delete game; // with its player
    game = nullptr;
  }

  void SetUp() override {
    FELIDORA_REQUIRE_GL();
    ASSERT_NE(game, nullptr);
    KeyFlags = KeyFlagTable{};
    drainGlErrors();
  }

  inline static Game* game = nullptr;
};

} // namespace felidora::test
