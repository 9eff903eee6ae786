#pragma once

#include <cstdint>
#include <optional>

#include "platform/shell.h"
#include "platform/win32/win32_messages.h"

namespace skein::platform {

// What one message of the main window means to the event loop. Kept apart from the window
// procedure, and free of <windows.h>, so that the mapping is checked on every platform.
struct MessageMeaning {
  // The event queued for the loop, when the message stands for one.
  std::optional<ShellEvent> event;
  // True when the message is answered here and must not reach the default handling.
  bool consumed = false;
};

namespace message_numbers {
inline constexpr std::uint32_t kClose = 0x0010;             // WM_CLOSE
inline constexpr std::uint32_t kCommand = 0x0111;           // WM_COMMAND
inline constexpr std::uint32_t kMouseMove = 0x0200;         // WM_MOUSEMOVE
inline constexpr std::uint32_t kLeftDown = 0x0201;          // WM_LBUTTONDOWN
inline constexpr std::uint32_t kLeftUp = 0x0202;            // WM_LBUTTONUP
inline constexpr std::uint32_t kLeftDoubleClick = 0x0203;   // WM_LBUTTONDBLCLK
inline constexpr std::uint32_t kRightDown = 0x0204;         // WM_RBUTTONDOWN
inline constexpr std::uint32_t kRightUp = 0x0205;           // WM_RBUTTONUP
inline constexpr std::uint32_t kRightDoubleClick = 0x0206;  // WM_RBUTTONDBLCLK
}  // namespace message_numbers

// The click kind of a mouse message that the tray icon reports; none for moves and releases.
constexpr std::optional<TrayClick> TrayClickFor(std::intptr_t mouseMessage) {
  using namespace message_numbers;
  switch (mouseMessage) {
    case kLeftDown:
      return TrayClick::LeftPress;
    case kRightDown:
      return TrayClick::RightPress;
    case kLeftDoubleClick:
      return TrayClick::LeftDoubleClick;
    case kRightDoubleClick:
      return TrayClick::RightDoubleClick;
    default:
      return std::nullopt;
  }
}

// Menu commands, tray clicks and the close request; every other message is left to the window
// procedure and the default handling.
constexpr MessageMeaning InterpretMessage(std::uint32_t message, std::uintptr_t wParam,
                                          std::intptr_t lParam) {
  using namespace message_numbers;
  if (message == kCommand) {
    // A menu sends notification code 0 and no control handle; controls and accelerators differ.
    const bool fromMenu = ((wParam >> 16) & 0xFFFF) == 0 && lParam == 0;
    if (!fromMenu) return {};
    ShellEvent event{ShellEvent::Kind::MenuCommand};
    event.menuItemId = static_cast<std::int32_t>(wParam & 0xFFFF);
    return {event, true};
  }
  if (message == kTrayCallbackMessage) {
    // Moves and releases still wake the loop, with no event of their own.
    if (wParam != static_cast<std::uintptr_t>(TrayIconId)) return {std::nullopt, true};
    const std::optional<TrayClick> click = TrayClickFor(lParam);
    if (!click) return {std::nullopt, true};
    ShellEvent event{ShellEvent::Kind::TrayClick};
    event.trayClick = *click;
    return {event, true};
  }
  if (message == kClose) {
    // The loop decides; the window stays until the tear-down destroys it.
    return {ShellEvent{ShellEvent::Kind::CloseRequest}, true};
  }
  return {};
}

}  // namespace skein::platform
