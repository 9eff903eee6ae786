#pragma once

#include <atomic>
#include <cstdint>
#include <string>
#include <string_view>

namespace skein::platform {

// Six name characters that differ between calls, for a temporary file beside its target. The
// exclusive create, not the name, keeps two replacements apart; the name only has to make
// collisions rare. `entropy` is what the backend knows of the moment and the process.
inline std::string TemporaryNameSuffix(std::uint64_t entropy) {
  static constexpr std::string_view kAlphabet =
      "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
  static std::atomic<std::uint64_t> counter{0};
  std::uint64_t x = counter.fetch_add(1, std::memory_order_relaxed) * 0x9E3779B97F4A7C15ull;
  x ^= entropy;
  // splitmix64 finaliser
  x = (x ^ (x >> 30)) * 0xBF58476D1CE4E5B9ull;
  x = (x ^ (x >> 27)) * 0x94D049BB133111EBull;
  x ^= x >> 31;
  std::string suffix(6, 'X');
  for (char& c : suffix) {
    c = kAlphabet[x % kAlphabet.size()];
    x /= kAlphabet.size();
  }
  return suffix;
}

}  // namespace skein::platform
