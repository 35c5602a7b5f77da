// Scoring and the run's end without GL: what a kill is worth, which clip the
// end of a frame starts, and when the run ends.
#include "app/Outcome.h"

#include <gtest/gtest.h>

namespace {

TEST(Outcome, ScoreStopsAtNineNines) {
  EXPECT_EQ(Outcome::scoreAfterKill(999999999 - 50, 1), 999999999);
  EXPECT_EQ(Outcome::scoreAfterKill(999999999, 2), 999999999);
  // far beyond an int's range before the limit is applied
  EXPECT_EQ(Outcome::scoreAfterKill(999999998, 2147483647), 999999999);
}

TEST(Outcome, GameOverWinsOverVictoryInTheSameFrame) {
  const OutcomeStep both = Outcome::afterFrame(true, true, false, false);
  EXPECT_TRUE(both.startGameOver);
  EXPECT_FALSE(both.startVictory);
  EXPECT_FALSE(both.endRun);
  EXPECT_FALSE(both.restartDefaultClip);

  const OutcomeStep won = Outcome::afterFrame(true, false, false, false);
  EXPECT_TRUE(won.startVictory);
  EXPECT_FALSE(won.startGameOver);
}

// The default clip loops while no outcome is shown; once one is, only one
// clip is ever started, and the end of whatever then plays (the outcome
// clip, or the tutorial that replaced it) ends the run.
TEST(Outcome, OnlyTheEndOfAClipAfterTheOutcomeEndsTheRun) {
  const OutcomeStep looping = Outcome::afterFrame(false, false, true, false);
  EXPECT_TRUE(looping.restartDefaultClip);
  EXPECT_FALSE(looping.endRun || looping.startGameOver || looping.startVictory);

  const OutcomeStep playing = Outcome::afterFrame(true, true, false, true);
  EXPECT_FALSE(playing.endRun || playing.restartDefaultClip || playing.startGameOver || playing.startVictory);

  for (const bool lost : {true, false}) {
    const OutcomeStep ended = Outcome::afterFrame(false, lost, lost, true); // lost among enemies, or won
    EXPECT_TRUE(ended.endRun) << "lost " << lost;
    EXPECT_TRUE(ended.restartDefaultClip) << "the default clip starts, never seen";
    EXPECT_FALSE(ended.startGameOver || ended.startVictory);
  }
}

} // namespace
