#pragma once

#include <cstdint>

namespace skein::platform {

// Private window messages of the main window. skein-poke posts the tray one to stand in for the
// notification area, so both sides take the numbers from here. WM_APP is 0x8000; the values are
// spelt out to keep <windows.h> away from the tests that build on Linux.
inline constexpr std::uint32_t kAppMessageBase = 0x8000;
// The tray icon's mouse messages: wParam is the icon id, lParam the mouse message.
inline constexpr std::uint32_t kTrayCallbackMessage = kAppMessageBase + 1;
// The label's text changed on the capture thread; the window procedure takes it over.
inline constexpr std::uint32_t kLabelTextMessage = kAppMessageBase + 2;

}  // namespace skein::platform
