// Every sound of the game and the file it is read from. The content generator
// writes the same files, so the list is kept here once for both.
#pragma once

#include "base/ContentFiles.h"

#include <cstddef>

enum class Sound {
  WoolBall,        // a ball of wool leaves the snail
  SuperShotCharge, // loop: the fire key held towards a super shot
  SuperShot,       // a super shot leaves the snail
  Laser,           // an enemy fires
  EnemyHit,        // a ball of wool hits an enemy
  EnemyDestroyed,  // an enemy bursts
  PlayerHit,       // the snail takes damage
  LifeLost,        // the snail loses a life
  Boost,           // S starts a boost
  Brake,           // A starts a brake
  Victory,         // the last enemy is gone
  GameOver,        // no life is left
  RotorHum,        // loop: one enemy's rotor
  Wind,            // loop: the air over the landscape
};
constexpr std::size_t kSoundCount = static_cast<std::size_t>(Sound::Wind) + 1;

inline std::size_t soundIndex(Sound sound) { return static_cast<std::size_t>(sound); }

// File names in the sound folder (content::kSoundFolder), in Sound order.
constexpr const char* kSoundFiles[kSoundCount] = {
    "Wollknaeuel.wav", "Aufladen.wav",       "Superschuss.wav",   "Laserschuss.wav", "Treffer.wav",
    "Explosion.wav",   "Spielertreffer.wav", "Lebensverlust.wav", "Boost.wav",       "Bremse.wav",
    "Sieg.wav",        "GameOver.wav",       "Rotor.wav",         "Wind.wav"};

// Loops are made to repeat without a seam: their last sample leads into their first.
inline bool isLoop(Sound sound) {
  return sound == Sound::SuperShotCharge || sound == Sound::RotorHum || sound == Sound::Wind;
}
