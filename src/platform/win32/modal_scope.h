#pragma once

#include <vector>

#include "platform/win32/windows_api.h"

namespace skein::platform {

// Makes one of the program's dialogs modal to the whole program while it is open. The owner is
// the foreground window when that is one of ours (the dialog itself disables it); our other
// visible windows are disabled here and enabled again afterwards. Windows that were disabled
// before are left as they were.
class ModalScope {
 public:
  ModalScope();
  ~ModalScope();
  ModalScope(const ModalScope&) = delete;
  ModalScope& operator=(const ModalScope&) = delete;

  // The owner for the dialog, or null.
  HWND Owner() const { return owner_; }

 private:
  HWND owner_ = nullptr;
  std::vector<HWND> disabled_;
};

}  // namespace skein::platform
