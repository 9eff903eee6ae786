#pragma once

#include <algorithm>
#include <string_view>

#include "platform/win32/windows_api.h"

namespace skein::platform {

// Hands every byte to `file`, going on after partial writes. False when the system refused any.
inline bool WriteAll(HANDLE file, std::string_view bytes) {
  while (!bytes.empty()) {
    // One call takes at most a DWORD's worth.
    const DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(bytes.size(), 0x40000000u));
    DWORD written = 0;
    if (!::WriteFile(file, bytes.data(), chunk, &written, nullptr) || written == 0) return false;
    bytes.remove_prefix(written);
  }
  return true;
}

}  // namespace skein::platform
