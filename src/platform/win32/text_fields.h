#pragma once

#include <algorithm>
#include <cstddef>
#include <string_view>

namespace skein::platform {

// Fills a fixed character field of a system structure with at most `maxChars` characters of
// `text` and a terminating zero, never overrunning the field. A structure of an older version may
// use only the front of a field that later versions widened; `maxChars` says how much.
template <std::size_t N>
void CopyTextField(char (&field)[N], std::string_view text, std::size_t maxChars = N - 1) {
  static_assert(N > 0);
  const std::size_t count = std::min({text.size(), maxChars, N - 1});
  std::copy_n(text.data(), count, field);
  field[count] = '\0';
}

}  // namespace skein::platform
