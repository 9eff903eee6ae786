#include "platform/win32/program_icon.h"

#include <string>

#include <shellapi.h>

#include "platform/win32/win32_system.h"

namespace skein::platform {

ProgramIcon::ProgramIcon() {
  // The executable by its full path: a bare file name would be looked up in the current
  // directory, which need not be the executable's.
  const std::string path = Win32System().ExecutablePath();
  if (path.empty()) return;
  HICON icon = ::ExtractIconA(::GetModuleHandleA(nullptr), path.c_str(), 0);
  // 1 means the file is neither an executable nor an icon file.
  if (icon != nullptr && icon != reinterpret_cast<HICON>(1)) icon_ = icon;
}

ProgramIcon::~ProgramIcon() {
  if (icon_ != nullptr) ::DestroyIcon(icon_);
}

}  // namespace skein::platform
