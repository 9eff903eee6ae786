#pragma once

#include "platform/win32/windows_api.h"

namespace skein::platform {

// The title the main window has and the tray's left press looks for.
inline constexpr const char* kMainWindowTitle = "SkeinerWard";

// The registration of the main window's class; unregistered with the object, after the window is
// gone.
class MainWindowClass {
 public:
  explicit MainWindowClass(WNDPROC procedure);
  ~MainWindowClass();
  MainWindowClass(const MainWindowClass&) = delete;
  MainWindowClass& operator=(const MainWindowClass&) = delete;

  bool Registered() const { return atom_ != 0; }

 private:
  ATOM atom_ = 0;
};

// Creates and shows the fixed-size main window, then attaches its menu and creates its empty
// label. `creationData` reaches the window procedure with WM_NCCREATE. Null when the window
// cannot be created; nothing else is made then.
HWND CreateMainWindow(void* creationData);

}  // namespace skein::platform
