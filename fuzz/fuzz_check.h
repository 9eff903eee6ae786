#pragma once

#include <cstdio>

namespace skein::fuzz {

// A broken property is reported like a crash, so libFuzzer keeps the input that broke it.
inline void Check(bool holds, const char* what) {
  if (holds) return;
  std::fprintf(stderr, "fuzz check failed: %s\n", what);
  std::fflush(stderr);
  __builtin_trap();
}

}  // namespace skein::fuzz
