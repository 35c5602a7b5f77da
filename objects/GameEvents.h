// What happens in the game, as the game tells it: the player fires, is hit,
// boosts; an enemy fires, is hit, is destroyed; the game is won or lost. The
// game holds one of these and reports to it as things happen; what becomes of
// a report (a sound, a line in a test) is the receiver's business. Positions
// are world positions.
#pragma once

#include <glm/glm.hpp>

class GameEvents {
public:
  virtual ~GameEvents() = default;

  // The receiver that does nothing: the game reports to it while nobody listens.
  static GameEvents& silent();

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
  // Every frame, for each enemy alive: where its rotor is. The enemy is only
  // a name that tells one rotor from another.
  virtual void rotorAt(const void* enemy, const glm::vec3& at) = 0;

  // the game
  virtual void outcome(bool victory) = 0;
  // After the frame's update, with the frame's mute toggle: what was
  // reported in the frame is complete.
  virtual void frameDone(bool muted) = 0;
  // The game is paused (everything holds) or resumed.
  virtual void setPaused(bool paused) = 0;
};
