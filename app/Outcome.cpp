#include "app/Outcome.h"

namespace {
constexpr int kScoreLimit = 999999999;
constexpr long long kPointsPerKill = 100;
} // namespace

int Outcome::scoreAfterKill(int score, int combo) {
  if (score == kScoreLimit)
    return score;
  const long long raised = static_cast<long long>(score) + kPointsPerKill * combo;
  return raised > kScoreLimit ? kScoreLimit : static_cast<int>(raised);
}

// The end of a clip ends the run once an outcome is shown (the outcome clip,
// or whatever replaced it); without one it only brings the default clip back.
OutcomeStep Outcome::afterFrame(bool clipPlaying, bool lost, bool enemiesLeft, bool outcomeShown) {
  OutcomeStep step;
  if (!clipPlaying) {
    step.endRun = outcomeShown && (lost || !enemiesLeft);
    step.restartDefaultClip = true;
  }
  step.startGameOver = lost && !outcomeShown;
  step.startVictory = !enemiesLeft && !outcomeShown && !step.startGameOver;
  return step;
}
