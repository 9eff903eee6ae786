#include "platform/win32/tray_icon.h"

#include "platform/shell.h"
#include "platform/win32/text_fields.h"
#include "platform/win32/win32_messages.h"

#include <shellapi.h>

namespace skein::platform {
namespace {

// The tooltip field of the structure's first version holds 64 characters with the zero.
constexpr std::size_t kTooltipChars = 63;

// The structure's first version: every system takes it, and it carries all that is needed.
NOTIFYICONDATAA Describe(HWND owner, UINT flags) {
  NOTIFYICONDATAA data{};
  data.cbSize = NOTIFYICONDATAA_V1_SIZE;
  data.hWnd = owner;
  data.uID = static_cast<UINT>(TrayIconId);
  data.uFlags = flags;
  return data;
}

}  // namespace

bool TrayIcon::Add(HWND owner, HICON image, std::string_view tooltip) {
  if (owner == nullptr || image == nullptr) return false;
  owner_ = owner;
  image_ = image;
  tooltip_.assign(tooltip);
  return AddToNotificationArea();
}

void TrayIcon::AddAgain() {
  if (owner_ != nullptr) AddToNotificationArea();
}

bool TrayIcon::AddToNotificationArea() {
  NOTIFYICONDATAA icon = Describe(owner_, NIF_MESSAGE | NIF_ICON);
  icon.uCallbackMessage = kTrayCallbackMessage;
  icon.hIcon = image_;
  added_ = ::Shell_NotifyIconA(NIM_ADD, &icon) != FALSE;
  if (!added_) return false;

  NOTIFYICONDATAA tip = Describe(owner_, NIF_TIP);
  CopyTextField(tip.szTip, tooltip_, kTooltipChars);
  ::Shell_NotifyIconA(NIM_MODIFY, &tip);
  return true;
}

void TrayIcon::Remove() {
  if (added_) {
    NOTIFYICONDATAA icon = Describe(owner_, 0);
    ::Shell_NotifyIconA(NIM_DELETE, &icon);
  }
  added_ = false;
  owner_ = nullptr;
  image_ = nullptr;
}

}  // namespace skein::platform
