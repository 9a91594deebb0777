#pragma once

#include <cmath>
#include <cstdint>

namespace roombox {

// A small pseudo-random generator (xoshiro256**, seeded through splitmix64)
// whose sequence depends on its seed and stream number alone, so that every
// chunk of rays and every noise channel draws the same numbers on any
// machine and with any number of threads.
class RandomStream {
 public:
  RandomStream(std::uint64_t seed, std::uint64_t stream) {
    std::uint64_t x = seed ^ (0x9E3779B97F4A7C15ull * (stream + 1));
    for (std::uint64_t& word : state_) word = splitMix(x);
  }

  std::uint64_t next() {
    const std::uint64_t result = rotate(state_[1] * 5, 7) * 9;
    const std::uint64_t t = state_[1] << 17;
    state_[2] ^= state_[0];
    state_[3] ^= state_[1];
    state_[1] ^= state_[2];
    state_[0] ^= state_[3];
    state_[2] ^= t;
    state_[3] = rotate(state_[3], 45);
    return result;
  }

  // Uniform in [0, 1).
  double uniform() { return double(next() >> 11) * 0x1.0p-53; }

  // Standard normal (Box and Muller's transform, one value per call).
  double normal() {
    const double u = 1.0 - uniform();  // (0, 1]
    const double v = uniform();
    return std::sqrt(-2.0 * std::log(u)) * std::cos(6.283185307179586 * v);
  }

 private:
  static std::uint64_t rotate(std::uint64_t x, int k) { return (x << k) | (x >> (64 - k)); }
  static std::uint64_t splitMix(std::uint64_t& x) {
    std::uint64_t z = (x += 0x9E3779B97F4A7C15ull);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    return z ^ (z >> 31);
  }

  std::uint64_t state_[4];
};

}  // namespace roombox
