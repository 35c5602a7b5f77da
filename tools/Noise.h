// Deterministic 2D gradient noise (no global random state), with fractal sums
// for terrain and texture detail. An optional period makes the noise tile.
#pragma once

#include <cstdint>

class Noise {
public:
  explicit Noise(uint32_t seed) : seed(seed) {}

  // Gradient noise in about -1..1. With period > 0 the pattern repeats every
  // period units on both axes (for tileable textures).
  float gradient(float x, float y, int period = 0) const;
  // Sum of octaves, each twice the frequency and gain times the amplitude.
  float fractal(float x, float y, int octaves, float gain = 0.5f, int period = 0) const;
  // Ridged fractal (sharp crests), about 0..1.
  float ridged(float x, float y, int octaves) const;
  // Hash of an integer lattice point, 0..1.
  float cell(int x, int y) const;

private:
  uint32_t hash(int x, int y) const;
  uint32_t seed;
};

// Small deterministic random source for scattering strokes and spots.
class Random {
public:
  explicit Random(uint32_t seed) : state(seed * 2654435761u + 1u) {}
  uint32_t next() {
    state ^= state << 13;
    state ^= state >> 17;
    state ^= state << 5;
    return state;
  }
  // Uniform in [lo, hi).
  float range(float lo, float hi) { return lo + (hi - lo) * static_cast<float>(next() & 0xFFFFFF) / 16777216.0f; }

private:
  uint32_t state;
};
