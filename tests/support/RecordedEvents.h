// What the game reported, kept for a test to read: each event that happens
// once as its name, in order; the reports of every frame as their latest
// value and a count. Needs no sound device.
#pragma once

#include "objects/GameEvents.h"

#include <string>
#include <vector>

namespace felidora::test {

class RecordedEvents : public GameEvents {
public:
  void shotFired() override { heard.push_back("shotFired"); }
  void superShotCharge(double seconds) override { charge = seconds; }
  void superShotFired() override { heard.push_back("superShotFired"); }
  void playerHit() override { heard.push_back("playerHit"); }
  void lifeLost() override { heard.push_back("lifeLost"); }
  void boostStarted() override { heard.push_back("boostStarted"); }
  void brakeStarted() override { heard.push_back("brakeStarted"); }
  void listenerView(const glm::mat4& camera) override { view = camera; }
  void laserFired(const glm::vec3&) override { heard.push_back("laserFired"); }
  void enemyHit(const glm::vec3&) override { heard.push_back("enemyHit"); }
  void enemyDestroyed(const glm::vec3&) override { heard.push_back("enemyDestroyed"); }
  void rotorAt(const void*, const glm::vec3&) override { ++rotorReports; }
  void outcome(bool victory) override { heard.push_back(victory ? "victory" : "gameOver"); }
  void frameDone(bool mute) override {
    ++frames;
    muted = mute;
  }
  void setPaused(bool paused) override { heard.push_back(paused ? "paused" : "resumed"); }

  // How many times `event` was reported.
  int count(const std::string& event) const;

  std::vector<std::string> heard;
  double charge = 0.0;
  glm::mat4 view{1.0f};
  int rotorReports = 0;
  int frames = 0;
  bool muted = false;
};

} // namespace felidora::test
