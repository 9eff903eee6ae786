#include "platform/win32/modal_scope.h"

namespace skein::platform {
namespace {

bool BelongsToThisProcess(HWND window) {
  DWORD process = 0;
  ::GetWindowThreadProcessId(window, &process);
  return process == ::GetCurrentProcessId();
}

struct WindowSearch {
  HWND owner;
  std::vector<HWND>* found;
};

BOOL CALLBACK CollectOtherWindow(HWND window, LPARAM data) {
  auto& search = *reinterpret_cast<WindowSearch*>(data);
  if (window != search.owner && BelongsToThisProcess(window) && ::IsWindowVisible(window) &&
      ::IsWindowEnabled(window)) {
    search.found->push_back(window);
  }
  return TRUE;
}

}  // namespace

ModalScope::ModalScope() {
  HWND foreground = ::GetForegroundWindow();
  if (foreground != nullptr && BelongsToThisProcess(foreground)) owner_ = foreground;

  WindowSearch search{owner_, &disabled_};
  ::EnumWindows(CollectOtherWindow, reinterpret_cast<LPARAM>(&search));
  for (HWND window : disabled_) ::EnableWindow(window, FALSE);
}

ModalScope::~ModalScope() {
  for (HWND window : disabled_) {
    if (::IsWindow(window)) ::EnableWindow(window, TRUE);
  }
}

}  // namespace skein::platform
