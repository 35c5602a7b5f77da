#include "objects/GameEvents.h"

namespace {

class SilentEvents : public GameEvents {
public:
  void shotFired() override {}
  void superShotCharge(double) override {}
  void superShotFired() override {}
  void playerHit() override {}
  void lifeLost() override {}
  void boostStarted() override {}
  void brakeStarted() override {}
  void listenerView(const glm::mat4&) override {}
  void laserFired(const glm::vec3&) override {}
  void enemyHit(const glm::vec3&) override {}
  void enemyDestroyed(const glm::vec3&) override {}
  void rotorAt(const void*, const glm::vec3&) override {}
  void outcome(bool) override {}
  void frameDone(bool) override {}
  void setPaused(bool) override {}
};

} // namespace

// Holds nothing, so one for the whole process serves every game.
GameEvents& GameEvents::silent() {
  static SilentEvents none;
  return none;
}
