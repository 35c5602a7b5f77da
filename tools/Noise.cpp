// Gradient noise from an integer hash: the same seed gives the same landscape
// and the same textures on every run.
#include "tools/Noise.h"

#include <cmath>

namespace {

// 256 unit vectors evenly around the circle.
struct GradientTable {
  float values[256][2];
  GradientTable() {
    for (int k = 0; k < 256; ++k) {
      const double angle = 6.283185307179586 * (k + 0.5) / 256.0;
      values[k][0] = static_cast<float>(std::cos(angle));
      values[k][1] = static_cast<float>(std::sin(angle));
    }
  }
};
const GradientTable kGradientTable;
const auto& kGradients = kGradientTable.values;

} // namespace

uint32_t Noise::hash(int x, int y) const {
  uint32_t h = seed * 0x9E3779B9u ^ static_cast<uint32_t>(x) * 0x85EBCA6Bu ^ static_cast<uint32_t>(y) * 0xC2B2AE35u;
  h ^= h >> 16;
  h *= 0x7FEB352Du;
  h ^= h >> 15;
  h *= 0x846CA68Bu;
  h ^= h >> 16;
  return h;
}

float Noise::cell(int x, int y) const { return static_cast<float>(hash(x, y) & 0xFFFFFF) / 16777215.0f; }

float Noise::gradient(float x, float y, int period) const {
  const float fx = std::floor(x), fy = std::floor(y);
  const int ix = static_cast<int>(fx), iy = static_cast<int>(fy);
  const float dx = x - fx, dy = y - fy;
  auto wrap = [period](int v) { return period > 0 ? ((v % period) + period) % period : v; };
  auto corner = [&](int cx, int cy, float ox, float oy) {
    const float* g = kGradients[hash(wrap(ix + cx), wrap(iy + cy)) & 255];
    return g[0] * ox + g[1] * oy;
  };
  auto fade = [](float t) { return t * t * t * (t * (t * 6.0f - 15.0f) + 10.0f); };
  const float u = fade(dx), v = fade(dy);
  const float a = corner(0, 0, dx, dy), b = corner(1, 0, dx - 1.0f, dy);
  const float c = corner(0, 1, dx, dy - 1.0f), d = corner(1, 1, dx - 1.0f, dy - 1.0f);
  const float top = a + (b - a) * u, bottom = c + (d - c) * u;
  return (top + (bottom - top) * v) * 1.41421356f;
}

float Noise::fractal(float x, float y, int octaves, float gain, int period) const {
  float sum = 0.0f, amplitude = 1.0f, frequency = 1.0f, norm = 0.0f;
  for (int o = 0; o < octaves; ++o) {
    sum += amplitude * gradient(x * frequency, y * frequency, period > 0 ? period * static_cast<int>(frequency) : 0);
    norm += amplitude;
    amplitude *= gain;
    frequency *= 2.0f;
  }
  return sum / norm;
}

float Noise::ridged(float x, float y, int octaves) const {
  float sum = 0.0f, amplitude = 1.0f, frequency = 1.0f, norm = 0.0f;
  for (int o = 0; o < octaves; ++o) {
    const float r = 1.0f - std::fabs(gradient(x * frequency + 17.0f * o, y * frequency - 9.0f * o));
    sum += amplitude * r * r;
    norm += amplitude;
    amplitude *= 0.5f;
    frequency *= 2.0f;
  }
  return sum / norm;
}
