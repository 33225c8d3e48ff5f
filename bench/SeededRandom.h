// A small deterministic random source (splitmix64): the same seed gives the same numbers on every
// platform and standard library, so a generated school is the same file everywhere.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace vadelux::bench {

class SeededRandom {
 public:
  explicit SeededRandom(std::uint64_t seed) : state_(seed) {}

  std::uint64_t next() {
    std::uint64_t z = (state_ += 0x9E3779B97F4A7C15ull);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    return z ^ (z >> 31);
  }

  // A whole number in [0, n); n must not be 0.
  std::size_t below(std::size_t n) { return static_cast<std::size_t>(next() % n); }

  // True with the given chance in percent.
  bool percent(unsigned chance) { return below(100) < chance; }

  template <typename T>
  const T& pick(const std::vector<T>& items) {
    return items[below(items.size())];
  }

 private:
  std::uint64_t state_;
};

}  // namespace vadelux::bench
