// What the game reports for its sounds. The game holds one of these (none when
// it plays silently) and tells it what happens as it happens; it never calls
// the audio library itself. Positions are world positions.
#pragma once

#include <glm/glm.hpp>

class SoundEvents {
public:
  virtual ~SoundEvents() = default;

  // the player
  virtual void shotFired() = 0;
  // Every frame: how long the fire key has been held towards a super shot (0 when it is up).
  virtual void superShotCharge(double chargeTime) = 0;
  virtual void superShotFired() = 0;
  virtual void playerHit() = 0;
  virtual void lifeLost() = 0;
  virtual void boostStarted() = 0;
  virtual void brakeStarted() = 0;
  // The camera of this frame: the listener's place and orientation.
  virtual void listenerView(const glm::mat4& view) = 0;

  // the enemies
  virtual void laserFired(const glm::vec3& at) = 0;
  virtual void enemyHit(const glm::vec3& at) = 0;
  virtual void enemyDestroyed(const glm::vec3& at) = 0;
  // Every frame, for each enemy alive: where its rotor hums. The enemy is
  // only a name that tells one rotor from another.
  virtual void rotorAt(const void* enemy, const glm::vec3& at) = 0;

  // the game
  virtual void outcome(bool victory) = 0;
  // After the frame's update: applies what was reported (listener, loops,
  // muting) and checks that the device is still there.
  virtual void frameDone(bool muted) = 0;
  // The game is paused (everything heard holds) or resumed.
  virtual void setPaused(bool paused) = 0;
};
