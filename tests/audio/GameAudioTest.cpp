// The game's sound rendered sample-exact in process: OpenAL Soft's loopback
// device mixes only when asked, so each game frame can be followed by exactly
// that frame's samples (1/60 s at 44.1 kHz: 735 stereo frames).
#include "app/Game.h"
#include "app/KeyFlags.h"
#include "audio/Audio.h"
#include "audio/GameSounds.h"
#include "base/LevelLayout.h"
#include "objects/Hummelot.h"
#include "objects/Schnecke.h"
#include "tests/support/GlContext.h"

#include <glm/gtc/matrix_transform.hpp>
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <fstream>
#include <vector>

namespace {

constexpr int kRate = 44100;
constexpr int kFrameSamples = 735; // one frame of 1/60 s

struct Stereo {
  std::vector<float> samples; // interleaved left, right

  void render(Audio& audio, int frames) {
    const std::size_t start = samples.size();
    samples.resize(start + 2 * static_cast<std::size_t>(frames));
    audio.renderStereo(samples.data() + start, frames);
  }
  std::size_t frames() const { return samples.size() / 2; }
  double rms(int channel, std::size_t from = 0) const {
    double sum = 0.0;
    for (std::size_t f = from; f < frames(); ++f)
      sum += samples[2 * f + channel] * samples[2 * f + channel];
    return std::sqrt(sum / static_cast<double>(frames() - from));
  }
};

// Resident memory in bytes where the system tells (0 elsewhere).
long residentBytes() {
#ifdef __linux__
  std::ifstream statm("/proc/self/statm");
  long pages = 0, resident = 0;
  statm >> pages >> resident;
  return resident * 4096;
#else
  return 0;
#endif
}

class SourcePool : public ::testing::Test {
protected:
  void SetUp() override {
    ASSERT_TRUE(audio.openLoopbackDevice(kRate)) << "OpenAL Soft without ALC_SOFT_loopback";
    audio.loadSounds();
    for (std::size_t i = 0; i < kSoundCount; ++i)
      ASSERT_TRUE(audio.hasSound(static_cast<Sound>(i))) << kSoundFiles[i];
  }

  Audio audio;
};

// Plays `frames` frames of script(sounds, frame) on a fresh loopback device
// and returns the mix. The mix is exact: two plays that report the same
// things mix the same samples, so the difference of two plays is exactly what
// the one reported more.
template <class Script> Stereo playSounds(int frames, Script script) {
  Audio audio;
  EXPECT_TRUE(audio.openLoopbackDevice(kRate));
  audio.loadSounds();
  GameSounds sounds(audio);
  Stereo out;
  for (int frame = 0; frame < frames; ++frame) {
    script(sounds, frame);
    sounds.frameDone(false);
    out.render(audio, kFrameSamples);
  }
  return out;
}

Stereo difference(const Stereo& a, const Stereo& b) {
  Stereo d;
  d.samples.resize(a.samples.size());
  for (std::size_t i = 0; i < a.samples.size(); ++i)
    d.samples[i] = a.samples[i] - b.samples[i];
  return d;
}

// Both channels over frames [from, to) of the game.
double level(const Stereo& out, int from, int to) {
  Stereo part;
  part.samples.assign(out.samples.begin() + 2 * from * kFrameSamples, out.samples.begin() + 2 * to * kFrameSamples);
  return part.rms(0) + part.rms(1);
}

// A listener at the origin, facing +x: its left is -z. A listener that kept
// the library's default facing (-z) would hear -z straight ahead.
const glm::mat4 kFacingPlusX = glm::lookAt(glm::vec3(0.0f), glm::vec3(1, 0, 0), glm::vec3(0, 1, 0));

TEST(GameAudio, ALaserIsHeardFromItsSide) {
  const auto listening = [](GameSounds& sounds, int) { sounds.listenerView(kFacingPlusX); };
  const Stereo base = playSounds(12, listening);
  for (const float side : {-1.0f, 1.0f}) {
    const Stereo laser = difference(playSounds(12,
                                               [&](GameSounds& sounds, int frame) {
                                                 listening(sounds, frame);
                                                 if (frame == 1)
                                                   sounds.laserFired(glm::vec3(0.0f, 0.0f, 100.0f * side));
                                               }),
                                    base);
    const double left = laser.rms(0), right = laser.rms(1);
    EXPECT_GT(left + right, 0.01) << "the laser is heard";
    if (side < 0)
      EXPECT_GT(left, 2.0 * right) << "laser at the listener's left";
    else
      EXPECT_GT(right, 2.0 * left) << "laser at the listener's right";
  }
}

// The hum follows its enemy, fades with distance and ends with it: 40 units
// away, then 500, then 2,000, then the enemy is gone.
TEST(GameAudio, ARotorHumsLouderNearThanFarAndStopsWithItsEnemy) {
  const Stereo base = playSounds(60, [](GameSounds&, int) {});
  const int enemy = 0;
  const Stereo hum = difference(
      playSounds(60,
                 [&enemy](GameSounds& sounds, int frame) {
                   const float distance = frame < 15 ? 40.0f : frame < 30 ? 500.0f : frame < 45 ? 2000.0f : 0.0f;
                   if (distance > 0.0f)
                     sounds.rotorAt(&enemy, glm::vec3(0.0f, 0.0f, -distance));
                 }),
      base);
  const double near = level(hum, 5, 15), far = level(hum, 20, 30), gone = level(hum, 35, 45);
  EXPECT_GT(near, 0.05);
  EXPECT_GT(near, 10.0 * far);
  EXPECT_GT(far, 0.01 * near) << "a few hundred units away it is faint but there";
  EXPECT_LT(gone, 0.005 * near) << "2,000 units away it is gone (below -46 dB)";
  EXPECT_EQ(level(hum, 47, 60), 0.0) << "the enemy is gone, its hum goes on";
}

// Ten minutes at 60 frames a second: a wool ball every other frame, every
// enemy's laser each second and a hit each second. The pool holds its 32
// voices throughout; the lasers give way first, the player's shots never.
TEST_F(SourcePool, TenMinutesOfConstantFireNeitherExhaustNorGrowThePool) {
  GameSounds sounds(audio);
  const int enemies[17] = {};
  const int loops = audio.loopVoices();
  ASSERT_EQ(loops, 2 + GameSounds::kRotorVoices);
  std::vector<float> scratch(2 * kFrameSamples);
  int busiest = 0;
  std::uint64_t startedBefore = 0;
  long residentAfterAMinute = 0;
  for (int frame = 0; frame < 10 * 60 * 60; ++frame) {
    if (frame == 60 * 60)
      residentAfterAMinute = residentBytes();
    const float turn = static_cast<float>(frame) * 0.01f;
    sounds.listenerView(glm::rotate(glm::mat4(1.0f), turn, glm::vec3(0, 1, 0)));
    for (int e = 0; e < 17; ++e) {
      const glm::vec3 at(100.0f * std::cos(e + turn), 0.0f, 100.0f * std::sin(e + turn));
      sounds.rotorAt(&enemies[e], at);
      if ((frame + e * 3) % 60 == 0)
        sounds.laserFired(at);
    }
    if (frame % 2 == 0) {
      startedBefore = audio.oneShotsStarted;
      sounds.shotFired();
      ASSERT_EQ(audio.oneShotsStarted, startedBefore + 1) << "the player's shot found no voice, frame " << frame;
    }
    if (frame % 60 == 30)
      sounds.enemyHit(glm::vec3(0, 0, -50));
    sounds.superShotCharge(frame % 600 < 300 ? (frame % 600) / 60.0 : 0.0);
    sounds.frameDone(false);
    audio.renderStereo(scratch.data(), kFrameSamples);
    busiest = std::max(busiest, audio.busyOneShots());
    ASSERT_LE(audio.busyOneShots(), Audio::kVoiceCount - loops);
  }
  EXPECT_EQ(audio.loopVoices(), loops);
  // nine more minutes cost nothing: a page or two of slack for the allocator
  EXPECT_LE(residentBytes() - residentAfterAMinute, 64 * 1024);
  EXPECT_EQ(busiest, Audio::kVoiceCount - loops) << "the pool was full at times";
  EXPECT_GT(audio.oneShotsStolen, 0u);
  // the most important sound still finds a voice at the end
  EXPECT_TRUE(audio.playOneShot(Sound::Victory, Audio::Placement::listener(), 5, 1.0f));
}

// A scripted game: nothing, then the fire key in frame 10, then M in frame
// 20. Played twice, with and without the fire key; the two mixes part in the
// fire key's frame and not before, and after M both are exactly silent.
class ScriptedGame : public ::testing::Test {
protected:
  static Stereo play(bool fire) {
    Audio audio;
    EXPECT_TRUE(audio.openLoopbackDevice(kRate));
    audio.loadSounds();
    GameSounds sounds(audio);
    Stereo out;
    {
      Game game;
      game.player = new Schnecke(layout::kPlayerStart, game.mainShader, game.shadowShader);
      // an enemy ahead, so rotor and lasers are in the mix
      game.enemies.push_back(
          new Hummelot(layout::kPlayerStart + glm::vec3(0, 0, -150), game.mainShader, game.shadowShader));
      game.reportTo(&sounds);
      KeyFlags = KeyFlagTable{};
      for (int frame = 0; frame < 90; ++frame) {
        KeySnapshot keys;
        if (fire && frame == 10)
          keys.set(static_cast<std::size_t>(GameKey::Space));
        if (frame == 20)
          keys.set(static_cast<std::size_t>(GameKey::M));
        applyKeys(keys);
        game.handleFunctionKeys();
        game.update(1.0 / 60.0);
        out.render(audio, kFrameSamples);
      }
      game.reportTo(nullptr);
    }
    KeyFlags = KeyFlagTable{};
    return out;
  }
};

TEST_F(ScriptedGame, TheFireKeysFrameStartsTheShotAndMSilencesEverything) {
  FELIDORA_REQUIRE_GL();
  const Stereo quiet = play(false);
  const Stereo fired = play(true);
  ASSERT_EQ(quiet.samples.size(), fired.samples.size());
  std::size_t firstDifference = quiet.samples.size();
  for (std::size_t i = 0; i < quiet.samples.size(); ++i)
    if (quiet.samples[i] != fired.samples[i]) {
      firstDifference = i / 2;
      break;
    }
  EXPECT_GE(firstDifference, 10u * kFrameSamples) << "the mixes part before the fire key";
  EXPECT_LT(firstDifference, 11u * kFrameSamples) << "the shot is not heard in its own frame";
  EXPECT_GT(fired.rms(0, 10 * kFrameSamples), quiet.rms(0, 10 * kFrameSamples));

  // The mixer fades a gain change over its first samples; from the frame
  // after M on there is nothing at all, in either game.
  for (const Stereo* out : {&quiet, &fired}) {
    EXPECT_GT(out->rms(0, 0), 0.0);
    std::size_t loud = 0;
    for (std::size_t i = 2 * 21 * kFrameSamples; i < out->samples.size(); ++i)
      loud += out->samples[i] != 0.0f;
    EXPECT_EQ(loud, 0u) << "samples after M";
  }
}

} // namespace
