// The one place where the game's events become sounds: which sound, where,
// how loud and how important. It plays them through the Audio it is given,
// which it does not own; its frameDone applies the frame's reports
// (listener, loops, muting) and checks that the device is still there.
#pragma once

#include "audio/Audio.h"
#include "objects/GameEvents.h"

#include <array>

class GameSounds : public GameEvents {
public:
  // As many rotors hum as there are enemies at the start; beyond that the nearest.
  static constexpr int kRotorVoices = 17;

  explicit GameSounds(Audio& audio);
  ~GameSounds() override;
  GameSounds(const GameSounds&) = delete;
  GameSounds& operator=(const GameSounds&) = delete;

  void shotFired() override;
  void superShotCharge(double chargeTime) override;
  void superShotFired() override;
  void playerHit() override;
  void lifeLost() override;
  void boostStarted() override;
  void brakeStarted() override;
  void listenerView(const glm::mat4& view) override;
  void laserFired(const glm::vec3& at) override;
  void enemyHit(const glm::vec3& at) override;
  void enemyDestroyed(const glm::vec3& at) override;
  void rotorAt(const void* enemy, const glm::vec3& at) override;
  void outcome(bool victory) override;
  void frameDone(bool muted) override;
  void setPaused(bool paused) override;

  Audio& audio;

private:
  struct Rotor {
    const void* enemy = nullptr;
    glm::vec3 position{0.0f};
  };

  void humRotors();

  // loops
  int windVoice = -1;
  int chargeVoice = -1;
  std::array<int, kRotorVoices> rotorVoices{};
  std::array<const void*, kRotorVoices> rotorOwners{};
  // this frame's reports; a fixed room, so no frame allocates
  static constexpr int kRotorReports = 64;
  std::array<Rotor, kRotorReports> rotors{};
  int rotorCount = 0;
  double chargeTime = 0.0;
  glm::mat4 view{1.0f};
  bool muted = false;
};
