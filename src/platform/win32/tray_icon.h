#pragma once

#include <string>
#include <string_view>

#include "platform/win32/windows_api.h"

namespace skein::platform {

// The one icon in the notification area, reporting its mouse messages to its owner window.
class TrayIcon {
 public:
  TrayIcon() = default;
  ~TrayIcon() { Remove(); }
  TrayIcon(const TrayIcon&) = delete;
  TrayIcon& operator=(const TrayIcon&) = delete;

  // Adds the icon with its tooltip. False when the window or the image is missing or the
  // notification area refused the icon.
  bool Add(HWND owner, HICON image, std::string_view tooltip);
  // The taskbar was created again (Explorer restarted) and has forgotten every icon: the icon is
  // added once more when it was ever asked for, even when the first attempt failed because the
  // taskbar was not up yet.
  void AddAgain();
  void Remove();

 private:
  bool AddToNotificationArea();

  HWND owner_ = nullptr;
  HICON image_ = nullptr;
  std::string tooltip_;
  bool added_ = false;
};

}  // namespace skein::platform
