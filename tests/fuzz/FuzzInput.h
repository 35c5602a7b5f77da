// Reads a fuzz input as a stream of choices. Past its end every read gives
// zero, so any input (even an empty one) decodes to a valid case, and a
// shorter input is a smaller case, which keeps libFuzzer's minimisation useful.
#pragma once

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstring>

namespace felidora::fuzz {

class FuzzInput {
public:
  FuzzInput(const std::uint8_t* data, std::size_t size) : data_(data), size_(size) {}

  bool exhausted() const { return offset_ >= size_; }

  std::uint8_t byte() { return offset_ < size_ ? data_[offset_++] : 0; }

  std::uint16_t u16() { return std::uint16_t(byte() | (byte() << 8)); }

  std::uint32_t u32() { return std::uint32_t(u16()) | (std::uint32_t(u16()) << 16); }

  std::uint64_t u64() { return std::uint64_t(u32()) | (std::uint64_t(u32()) << 32); }

  bool flag() { return byte() & 1; }

  // One of `count` choices.
  unsigned choice(unsigned count) { return count ? byte() % count : 0; }

  // Uniform in [0, 1], 16 bits of resolution.
  double unit() { return u16() / 65535.0; }

  // Uniform in [-1, 1].
  double signedUnit() { return 2.0 * unit() - 1.0; }

  // 10^e with e uniform in [lo, hi].
  double logUniform(double lo, double hi) { return std::pow(10.0, lo + (hi - lo) * unit()); }

  // Any finite float of at most `limit` in magnitude, straight from the bits
  // (so subnormals, exact powers of two and extremes all turn up).
  float rawFloat(float limit) {
    const std::uint32_t bits = u32();
    float value;
    std::memcpy(&value, &bits, sizeof value);
    if (!std::isfinite(value))
      return 0.0f;
    return std::fabs(value) <= limit ? value : std::fmod(value, limit);
  }

  // Any finite double, straight from the bits.
  double rawDouble() {
    const std::uint64_t bits = u64();
    double value;
    std::memcpy(&value, &bits, sizeof value);
    return std::isfinite(value) ? value : 0.0;
  }

private:
  const std::uint8_t* data_;
  std::size_t size_;
  std::size_t offset_ = 0;
};

} // namespace felidora::fuzz
