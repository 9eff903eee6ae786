#pragma once

#include "platform/win32/windows_api.h"

namespace skein::platform {

// The program's first icon, taken from its own executable. Destroyed with the object.
class ProgramIcon {
 public:
  ProgramIcon();
  ~ProgramIcon();
  ProgramIcon(const ProgramIcon&) = delete;
  ProgramIcon& operator=(const ProgramIcon&) = delete;

  // Null when the executable holds no icon.
  HICON Get() const { return icon_; }

 private:
  HICON icon_ = nullptr;
};

}  // namespace skein::platform
