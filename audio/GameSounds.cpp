#include "audio/GameSounds.h"

#include <algorithm>

namespace {

// Importance when the pool is full: the outcome and the player's own fate
// above everything, the enemies' constant fire below everything.
enum Priority { kLaser = 1, kCommon = 2, kMajor = 3, kPlayerFate = 4, kOutcome = 5 };

constexpr float kWindGain = 0.10f;
constexpr float kRotorGain = 0.9f;
// The charge rises an octave and a half until the super shot is ready, then holds.
constexpr double kChargeSeconds = 3.0;
constexpr float kChargeLowPitch = 0.6f;
constexpr float kChargeHighPitch = 1.7f;
constexpr float kChargeGain = 0.35f;

// Neighbouring rotors run a little apart in pitch: identical loops started in
// the same frame would otherwise sum into one comb-filtered tone.
float rotorPitch(int voice) { return 0.97f + 0.015f * static_cast<float>(voice % 5); }

} // namespace

GameSounds::GameSounds(Audio& audio) : audio(audio) {
  windVoice = audio.reserveLoopVoice();
  chargeVoice = audio.reserveLoopVoice();
  for (int& voice : rotorVoices)
    voice = audio.reserveLoopVoice();
}

// The loops end with their owner and their voices go back to the pool.
GameSounds::~GameSounds() {
  audio.releaseLoopVoice(windVoice);
  audio.releaseLoopVoice(chargeVoice);
  for (int voice : rotorVoices)
    audio.releaseLoopVoice(voice);
}

void GameSounds::shotFired() { audio.playOneShot(Sound::WoolBall, Audio::Placement::listener(), kCommon, 0.7f); }

void GameSounds::superShotCharge(double seconds) { chargeTime = seconds; }

void GameSounds::superShotFired() { audio.playOneShot(Sound::SuperShot, Audio::Placement::listener(), kMajor, 0.9f); }

void GameSounds::playerHit() { audio.playOneShot(Sound::PlayerHit, Audio::Placement::listener(), kPlayerFate, 0.9f); }

void GameSounds::lifeLost() { audio.playOneShot(Sound::LifeLost, Audio::Placement::listener(), kPlayerFate, 1.0f); }

void GameSounds::boostStarted() { audio.playOneShot(Sound::Boost, Audio::Placement::listener(), kCommon, 0.6f); }

void GameSounds::brakeStarted() { audio.playOneShot(Sound::Brake, Audio::Placement::listener(), kCommon, 0.6f); }

void GameSounds::listenerView(const glm::mat4& camera) { view = camera; }

void GameSounds::laserFired(const glm::vec3& at) {
  audio.playOneShot(Sound::Laser, Audio::Placement::at(at), kLaser, 1.0f);
}

void GameSounds::enemyHit(const glm::vec3& at) {
  audio.playOneShot(Sound::EnemyHit, Audio::Placement::at(at), kCommon, 1.0f);
}

void GameSounds::enemyDestroyed(const glm::vec3& at) {
  audio.playOneShot(Sound::EnemyDestroyed, Audio::Placement::at(at), kMajor, 1.0f);
}

// A long frame moves the enemies in several steps: each reports its rotor in
// every step, and the last place counts.
void GameSounds::rotorAt(const void* enemy, const glm::vec3& at) {
  const auto reportedEnd = rotors.begin() + rotorCount;
  const auto same = std::find_if(rotors.begin(), reportedEnd, [enemy](const Rotor& r) { return r.enemy == enemy; });
  if (same != reportedEnd)
    same->position = at;
  else if (rotorCount < kRotorReports)
    rotors[static_cast<std::size_t>(rotorCount++)] = {enemy, at};
}

void GameSounds::outcome(bool victory) {
  audio.playOneShot(victory ? Sound::Victory : Sound::GameOver, Audio::Placement::listener(), kOutcome, 1.0f);
}

void GameSounds::setPaused(bool paused) { audio.setPaused(paused); }

void GameSounds::frameDone(bool mute) {
  if (mute != muted) {
    muted = mute;
    audio.setMuted(muted);
  }
  audio.placeListener(view);
  audio.holdLoop(windVoice, Sound::Wind, Audio::Placement::listener(), kWindGain);

  if (chargeTime > 0.0) {
    const float rise = static_cast<float>(std::min(chargeTime / kChargeSeconds, 1.0));
    audio.holdLoop(chargeVoice, Sound::SuperShotCharge, Audio::Placement::listener(), kChargeGain,
                   kChargeLowPitch + (kChargeHighPitch - kChargeLowPitch) * rise);
  } else {
    audio.stopLoop(chargeVoice);
  }

  humRotors();
  rotorCount = 0;
  audio.checkDevice();
}

// Each rotor keeps its voice from frame to frame; a rotor no longer reported
// (its enemy is gone) falls silent, and a new one takes a free voice.
void GameSounds::humRotors() {
  if (rotorCount > kRotorVoices) {
    const glm::vec3 listener(glm::inverse(view)[3]);
    const auto nearer = [&listener](const Rotor& a, const Rotor& b) {
      return glm::length(a.position - listener) < glm::length(b.position - listener);
    };
    std::partial_sort(rotors.begin(), rotors.begin() + kRotorVoices, rotors.begin() + rotorCount, nearer);
    rotorCount = kRotorVoices;
  }
  const auto reported = rotors.begin(), reportedEnd = rotors.begin() + rotorCount;
  for (int v = 0; v < kRotorVoices; ++v) {
    const void*& owner = rotorOwners[static_cast<std::size_t>(v)];
    if (owner && std::none_of(reported, reportedEnd, [owner](const Rotor& r) { return r.enemy == owner; })) {
      audio.stopLoop(rotorVoices[static_cast<std::size_t>(v)]);
      owner = nullptr;
    }
  }
  for (auto rotor = reported; rotor != reportedEnd; ++rotor) {
    auto voice = std::find(rotorOwners.begin(), rotorOwners.end(), rotor->enemy);
    if (voice == rotorOwners.end())
      voice = std::find(rotorOwners.begin(), rotorOwners.end(), nullptr);
    if (voice == rotorOwners.end())
      continue;
    *voice = rotor->enemy;
    const int v = static_cast<int>(voice - rotorOwners.begin());
    audio.holdLoop(rotorVoices[static_cast<std::size_t>(v)], Sound::RotorHum, Audio::Placement::at(rotor->position),
                   kRotorGain, rotorPitch(v));
  }
}
