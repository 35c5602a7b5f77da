// Sound synthesis. Each sound is a function of time summed into a float
// buffer, normalised and written with libsndfile. Everything is seeded, so the
// files are the same on every build.
#include "tools/Sounds.h"

#include <sndfile.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <functional>

#include "audio/SoundCatalogue.h"
#include "tools/Noise.h"

namespace {

constexpr int kRate = 44100;
constexpr double kPi = 3.14159265358979;
constexpr double kTwoPi = 2.0 * kPi;

using Samples = std::vector<float>;

Samples silence(double seconds) { return Samples(static_cast<std::size_t>(std::lround(seconds * kRate)), 0.0f); }

double timeOf(std::size_t i) { return static_cast<double>(i) / kRate; }

// A fast rise (never later than a few milliseconds: a shot is heard in the
// frame it is fired) and an exponential fall.
double strike(double t, double attack, double decay) {
  return t < attack ? t / attack : std::exp(-(t - attack) / decay);
}

// Fades the last milliseconds to zero, so a one-shot never ends on a click.
void fadeOut(Samples& s, double seconds) {
  const std::size_t n = std::min(s.size(), static_cast<std::size_t>(seconds * kRate));
  for (std::size_t i = 0; i < n; ++i)
    s[s.size() - 1 - i] *= static_cast<float>(i) / static_cast<float>(n);
}

// A tone whose frequency follows f(t): the phase is the running sum.
void addSweep(Samples& s, const std::function<double(double)>& frequency, const std::function<double(double)>& envelope,
              double gain, int harmonics = 1) {
  double phase = 0.0;
  for (std::size_t i = 0; i < s.size(); ++i) {
    const double t = timeOf(i);
    double v = 0.0;
    for (int h = 1; h <= harmonics; ++h)
      v += std::sin(phase * h) / h;
    s[i] += static_cast<float>(gain * envelope(t) * v);
    phase += kTwoPi * frequency(t) / kRate;
  }
}

// Noise through a one-pole low-pass whose cut-off may move: 0..1 per sample.
void addNoise(Samples& s, std::uint32_t seed, const std::function<double(double)>& brightness,
              const std::function<double(double)>& envelope, double gain) {
  Random random(seed);
  double low = 0.0;
  for (std::size_t i = 0; i < s.size(); ++i) {
    const double t = timeOf(i);
    low += brightness(t) * (random.range(-1.0f, 1.0f) - low);
    s[i] += static_cast<float>(gain * envelope(t) * low);
  }
}

// Periodic low-passed noise for loops: the filter runs over the buffer twice,
// so the state it starts the kept pass with is the one it ends it with.
void addLoopNoise(Samples& s, std::uint32_t seed, double brightness, const std::function<double(double)>& envelope,
                  double gain) {
  Random random(seed);
  Samples white(s.size());
  for (float& w : white)
    w = random.range(-1.0f, 1.0f);
  double low = 0.0;
  for (int pass = 0; pass < 2; ++pass)
    for (std::size_t i = 0; i < s.size(); ++i) {
      low += brightness * (white[i] - low);
      if (pass == 1)
        s[i] += static_cast<float>(gain * envelope(timeOf(i)) * low);
    }
}

void normalise(Samples& s, float peak) {
  float loudest = 0.0f;
  for (float v : s)
    loudest = std::max(loudest, std::fabs(v));
  if (loudest > 0.0f)
    for (float& v : s)
      v *= peak / loudest;
}

double constant(double) { return 1.0; }

Samples woolBall() {
  Samples s = silence(0.28);
  addSweep(
      s, [](double t) { return 520.0 - 330.0 * std::min(t / 0.2, 1.0); },
      [](double t) { return strike(t, 0.002, 0.06); }, 1.0, 3);
  addNoise(
      s, 11, [](double) { return 0.25; }, [](double t) { return strike(t, 0.001, 0.03); }, 0.8);
  fadeOut(s, 0.02);
  normalise(s, 0.8f);
  return s;
}

// 0.5 s holds whole cycles of every partial and of the tremolo: it repeats
// without a seam. The game raises its pitch while the shot charges.
Samples charge() {
  Samples s = silence(0.5);
  addSweep(
      s, [](double) { return 220.0; }, [](double t) { return 0.7 + 0.3 * std::sin(kTwoPi * 8.0 * t); }, 1.0, 4);
  addSweep(
      s, [](double) { return 662.0; }, constant, 0.25);
  normalise(s, 0.6f);
  return s;
}

Samples superShot() {
  Samples s = silence(0.7);
  addSweep(
      s, [](double t) { return 320.0 * std::exp(-t * 3.0) + 50.0; }, [](double t) { return strike(t, 0.002, 0.18); },
      1.0, 4);
  addNoise(
      s, 12, [](double t) { return 0.5 * std::exp(-t * 5.0) + 0.05; }, [](double t) { return strike(t, 0.001, 0.12); },
      0.9);
  addSweep(
      s, [](double t) { return 2400.0 + 900.0 * t; }, [](double t) { return strike(t, 0.003, 0.08); }, 0.2);
  fadeOut(s, 0.03);
  normalise(s, 0.9f);
  return s;
}

Samples laser() {
  Samples s = silence(0.35);
  addSweep(
      s, [](double t) { return 300.0 + 1600.0 * std::exp(-t * 14.0); },
      [](double t) { return strike(t, 0.0015, 0.09); }, 1.0, 5);
  fadeOut(s, 0.02);
  normalise(s, 0.8f);
  return s;
}

Samples enemyHit() {
  Samples s = silence(0.22);
  addNoise(
      s, 13, [](double) { return 0.35; }, [](double t) { return strike(t, 0.001, 0.035); }, 1.0);
  addSweep(
      s, [](double t) { return 180.0 - 60.0 * t; }, [](double t) { return strike(t, 0.002, 0.06); }, 0.8, 2);
  addSweep(
      s, [](double) { return 1250.0; }, [](double t) { return strike(t, 0.001, 0.02); }, 0.3);
  fadeOut(s, 0.02);
  normalise(s, 0.85f);
  return s;
}

Samples enemyDestroyed() {
  Samples s = silence(1.3);
  addNoise(
      s, 14, [](double t) { return 0.3 * std::exp(-t * 2.5) + 0.02; }, [](double t) { return strike(t, 0.002, 0.35); },
      1.0);
  addSweep(
      s, [](double t) { return 90.0 * std::exp(-t * 1.2) + 30.0; }, [](double t) { return strike(t, 0.004, 0.4); }, 0.9,
      3);
  fadeOut(s, 0.1);
  normalise(s, 0.95f);
  return s;
}

Samples playerHit() {
  Samples s = silence(0.38);
  addSweep(
      s, [](double t) { return 140.0 - 50.0 * t; }, [](double t) { return strike(t, 0.002, 0.12); }, 1.0, 7);
  addNoise(
      s, 15, [](double) { return 0.6; }, [](double t) { return strike(t, 0.001, 0.04); }, 0.5);
  fadeOut(s, 0.03);
  normalise(s, 0.85f);
  return s;
}

// Three falling notes, the last one long.
Samples lifeLost() {
  Samples s = silence(1.3);
  const double starts[3] = {0.0, 0.25, 0.5};
  const double notes[3] = {440.0, 370.0, 311.0};
  const double lengths[3] = {0.08, 0.08, 0.3};
  for (int n = 0; n < 3; ++n)
    addSweep(
        s, [&, n](double t) { return notes[n] * (n == 2 ? 1.0 - 0.05 * std::max(0.0, t - starts[n]) : 1.0); },
        [&, n](double t) { return t < starts[n] ? 0.0 : strike(t - starts[n], 0.004, lengths[n]); }, 1.0, 3);
  fadeOut(s, 0.1);
  normalise(s, 0.85f);
  return s;
}

Samples whoosh(bool rising, std::uint32_t seed) {
  Samples s = silence(0.6);
  const auto envelope = [](double t) { return std::sin(kPi * std::min(t / 0.6, 1.0)) * (t < 0.003 ? t / 0.003 : 1.0); };
  addNoise(
      s, seed, [rising](double t) { return rising ? 0.05 + 0.4 * t / 0.6 : 0.45 - 0.4 * t / 0.6; }, envelope, 1.0);
  addSweep(
      s, [rising](double t) { return rising ? 200.0 + 700.0 * t : 600.0 - 600.0 * t; }, envelope, 0.3, 2);
  normalise(s, 0.7f);
  return s;
}

Samples melody(const std::vector<double>& notes, double step, double last, double seconds) {
  Samples s = silence(seconds);
  for (std::size_t n = 0; n < notes.size(); ++n) {
    const double start = step * static_cast<double>(n);
    const double decay = n + 1 == notes.size() ? last : step * 0.8;
    addSweep(
        s, [&, n](double) { return notes[n]; },
        [start, decay](double t) { return t < start ? 0.0 : strike(t - start, 0.005, decay); }, 1.0, 3);
  }
  fadeOut(s, 0.15);
  normalise(s, 0.85f);
  return s;
}

// The hum of one rotor: a buzz at 110 Hz beaten at the rate the blades pass.
// 0.5 s holds whole cycles of both.
Samples rotorHum() {
  Samples s = silence(0.5);
  addSweep(
      s, [](double) { return 110.0; }, [](double t) { return 0.75 + 0.25 * std::sin(kTwoPi * 24.0 * t); }, 1.0, 6);
  addLoopNoise(
      s, 16, 0.2, [](double t) { return 0.6 + 0.4 * std::sin(kTwoPi * 24.0 * t); }, 0.5);
  normalise(s, 0.7f);
  return s;
}

// Dark noise swelling once over its four seconds.
Samples wind() {
  Samples s = silence(4.0);
  addLoopNoise(
      s, 17, 0.02, [](double t) { return 0.65 + 0.35 * std::sin(kTwoPi * t / 4.0); }, 1.0);
  normalise(s, 0.7f);
  return s;
}

Samples synthesise(Sound sound) {
  switch (sound) {
  case Sound::WoolBall: return woolBall();
  case Sound::SuperShotCharge: return charge();
  case Sound::SuperShot: return superShot();
  case Sound::Laser: return laser();
  case Sound::EnemyHit: return enemyHit();
  case Sound::EnemyDestroyed: return enemyDestroyed();
  case Sound::PlayerHit: return playerHit();
  case Sound::LifeLost: return lifeLost();
  case Sound::Boost: return whoosh(true, 18);
  case Sound::Brake: return whoosh(false, 19);
  case Sound::Victory: return melody({523.25, 659.25, 783.99, 1046.5}, 0.18, 0.7, 1.8);
  case Sound::GameOver: return melody({392.0, 311.13, 261.63, 196.0}, 0.3, 0.9, 2.2);
  case Sound::RotorHum: return rotorHum();
  case Sound::Wind: return wind();
  }
  return {};
}

bool writeWav(const std::string& path, const Samples& samples) {
  SF_INFO info{};
  info.samplerate = kRate;
  info.channels = 1;
  info.format = SF_FORMAT_WAV | SF_FORMAT_PCM_16;
  SNDFILE* file = sf_open(path.c_str(), SFM_WRITE, &info);
  if (!file) {
    std::fprintf(stderr, "cannot write %s: %s\n", path.c_str(), sf_strerror(nullptr));
    return false;
  }
  std::vector<short> pcm(samples.size());
  for (std::size_t i = 0; i < samples.size(); ++i)
    pcm[i] = static_cast<short>(std::lround(std::clamp(samples[i], -1.0f, 1.0f) * 32767.0f));
  const sf_count_t written = sf_writef_short(file, pcm.data(), static_cast<sf_count_t>(pcm.size()));
  sf_close(file);
  return written == static_cast<sf_count_t>(pcm.size());
}

} // namespace

bool writeSounds(const std::string& folder, std::vector<GeneratedFile>& files) {
  for (std::size_t i = 0; i < kSoundCount; ++i) {
    const std::string relative = std::string(content::kSoundFolder) + "/" + kSoundFiles[i];
    if (!writeWav(folder + "/" + relative, synthesise(static_cast<Sound>(i))))
      return false;
    files.push_back({relative, 0});
  }
  return true;
}
