#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

namespace skein::platform {

enum class TrayClick { LeftPress, RightPress, LeftDoubleClick, RightDoubleClick };

// What one wait of the event loop yields.
struct ShellEvent {
  enum class Kind { None, MenuCommand, TrayClick, CloseRequest, Other };

  Kind kind = Kind::None;
  std::int32_t menuItemId = 0;
  TrayClick trayClick = TrayClick::LeftPress;
};

// Menu item and control ids, shared by every front end.
inline constexpr std::int32_t MenuQuit = 2;
inline constexpr std::int32_t MenuDirectory = 3;
inline constexpr std::int32_t LabelControlId = 4;
inline constexpr std::int32_t MenuOpenLogfile = 5;
inline constexpr std::int32_t MenuWriteToDisk = 7;
inline constexpr std::int32_t TrayIconId = 8;

// The window system as the application sees it: the main window with its menu and label, the tray
// icon, the event wait and the modal dialogs. A front end turns its own messages into
// ShellEvents; it keeps no program state of its own.
class Shell {
 public:
  virtual ~Shell() = default;

  // Creates and shows the main window with its menu and empty label.
  virtual void BuildMainWindow() = 0;
  // Adds the tray icon with its tooltip; false when it could not be added.
  virtual bool AddTrayIcon() = 0;
  virtual void RestoreFromTray() = 0;
  virtual void HideIfMinimised() = 0;
  // Called from the capture thread; may wait for the main thread to take the text.
  virtual void SetLabelText(std::string_view text) = 0;
  // The next event, or one of kind None when nothing came within `timeoutMs`.
  virtual ShellEvent WaitForEvent(int timeoutMs) = 0;
  // A modal folder choice; the chosen path ends with a separator, a cancel gives the empty text.
  virtual std::string ChooseFolder(std::string_view prompt, std::string_view initialFolder) = 0;
  // A modal message with one OK button and no icon.
  virtual void ShowMessage(std::string_view title, std::string_view text) = 0;
  // Removes the tray icon and destroys the window.
  virtual void TearDown() = 0;

  // `handler` runs on the main thread when the desktop session ends, before the window system may
  // end the process without a close request; it does what the close request does.
  virtual void SetSessionEndHandler(std::function<void()> handler) = 0;
};

}  // namespace skein::platform
