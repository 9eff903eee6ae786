#include "platform/win32/program_icon.h"

#include <string>

#include <shellapi.h>

namespace skein::platform {
namespace {

constexpr std::size_t kLongestPath = 32768;

// The executable by its full path: a bare file name would be looked up in the current
// directory, which need not be the executable's.
std::string ExecutablePath() {
  std::string path(MAX_PATH, '\0');
  for (;;) {
    const DWORD length =
        ::GetModuleFileNameA(nullptr, path.data(), static_cast<DWORD>(path.size()));
    if (length == 0) return {};
    if (length < path.size()) {
      path.resize(length);
      return path;
    }
    if (path.size() >= kLongestPath) return {};
    path.resize(path.size() * 2);
  }
}

}  // namespace

ProgramIcon::ProgramIcon() {
  const std::string path = ExecutablePath();
  if (path.empty()) return;
  HICON icon = ::ExtractIconA(::GetModuleHandleA(nullptr), path.c_str(), 0);
  // 1 means the file is neither an executable nor an icon file.
  if (icon != nullptr && icon != reinterpret_cast<HICON>(1)) icon_ = icon;
}

ProgramIcon::~ProgramIcon() {
  if (icon_ != nullptr) ::DestroyIcon(icon_);
}

}  // namespace skein::platform
