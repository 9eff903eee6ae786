// The Win32 window procedure's reading of messages, checked on every platform: the mapping is
// plain numbers, kept apart from <windows.h>.
#include "platform/win32/message_events.h"

#include <cstdint>
#include <optional>
#include <ostream>

#include <gtest/gtest.h>

namespace skein::platform {
namespace {

namespace m = message_numbers;

struct MessageCase {
  const char* label;
  std::uint32_t message;
  std::uintptr_t wParam;
  std::intptr_t lParam;
  std::optional<ShellEvent> event;
  bool consumed;
};

void PrintTo(const MessageCase& c, std::ostream* out) {
  *out << c.label;
}

ShellEvent Menu(std::int32_t id) {
  ShellEvent event{ShellEvent::Kind::MenuCommand};
  event.menuItemId = id;
  return event;
}

ShellEvent Tray(TrayClick click) {
  ShellEvent event{ShellEvent::Kind::TrayClick};
  event.trayClick = click;
  return event;
}

constexpr std::uintptr_t kIcon = TrayIconId;

class InterpretMessageTest : public ::testing::TestWithParam<MessageCase> {};

TEST_P(InterpretMessageTest, GivesTheEventAndKeepsItFromTheDefaultHandling) {
  const MessageCase& c = GetParam();
  const MessageMeaning meaning = InterpretMessage(c.message, c.wParam, c.lParam);
  ASSERT_EQ(meaning.event.has_value(), c.event.has_value());
  if (c.event) {
    EXPECT_EQ(meaning.event->kind, c.event->kind);
    EXPECT_EQ(meaning.event->menuItemId, c.event->menuItemId);
    EXPECT_EQ(meaning.event->trayClick, c.event->trayClick);
  }
  EXPECT_EQ(meaning.consumed, c.consumed);
}

INSTANTIATE_TEST_SUITE_P(
    Table, InterpretMessageTest,
    ::testing::Values(
        MessageCase{"MenuQuit", m::kCommand, 2, 0, Menu(MenuQuit), true},
        MessageCase{"MenuDirectory", m::kCommand, 3, 0, Menu(MenuDirectory), true},
        MessageCase{"MenuOpenLogfile", m::kCommand, 5, 0, Menu(MenuOpenLogfile), true},
        MessageCase{"MenuWriteToDisk", m::kCommand, 7, 0, Menu(MenuWriteToDisk), true},
        // The loop ignores unknown ids; the window procedure passes them on all the same.
        MessageCase{"UnknownMenuId", m::kCommand, 9, 0, Menu(9), true},
        MessageCase{"HighestMenuIdStaysPositive", m::kCommand, 0xFFFF, 0, Menu(0xFFFF), true},
        MessageCase{"BitsAboveTheCommandWordAreNotTheId", m::kCommand,
                    static_cast<std::uintptr_t>(0xABCD0000'00000005ULL), 0, Menu(5), true},
        MessageCase{"AcceleratorIsNoMenuCommand", m::kCommand, 0x0001'0002, 0, std::nullopt, false},
        MessageCase{"ControlNotificationIsNoMenuCommand", m::kCommand, 2, 0x1234, std::nullopt,
                    false},
        MessageCase{"TrayLeftPress", kTrayCallbackMessage, kIcon, m::kLeftDown,
                    Tray(TrayClick::LeftPress), true},
        MessageCase{"TrayRightPress", kTrayCallbackMessage, kIcon, m::kRightDown,
                    Tray(TrayClick::RightPress), true},
        MessageCase{"TrayLeftDoubleClick", kTrayCallbackMessage, kIcon, m::kLeftDoubleClick,
                    Tray(TrayClick::LeftDoubleClick), true},
        MessageCase{"TrayRightDoubleClick", kTrayCallbackMessage, kIcon, m::kRightDoubleClick,
                    Tray(TrayClick::RightDoubleClick), true},
        MessageCase{"TrayMoveIsNoClick", kTrayCallbackMessage, kIcon, m::kMouseMove, std::nullopt,
                    true},
        MessageCase{"TrayLeftReleaseIsNoClick", kTrayCallbackMessage, kIcon, m::kLeftUp,
                    std::nullopt, true},
        MessageCase{"TrayRightReleaseIsNoClick", kTrayCallbackMessage, kIcon, m::kRightUp,
                    std::nullopt, true},
        MessageCase{"AnotherIconsPressIsNoClick", kTrayCallbackMessage, kIcon + 1, m::kLeftDown,
                    std::nullopt, true},
        MessageCase{"CloseIsARequestAndKeepsTheWindow", m::kClose, 0, 0,
                    ShellEvent{ShellEvent::Kind::CloseRequest}, true},
        // Mouse messages of the window itself are no tray clicks.
        MessageCase{"LeftPressInTheWindow", m::kLeftDown, 0, 0, std::nullopt, false},
        MessageCase{"LabelTextIsNoEvent", kLabelTextMessage, 0, 0, std::nullopt, false},
        MessageCase{"PaintIsLeftToTheDefault", 0x000F, 0, 0, std::nullopt, false}),
    [](const auto& row) { return std::string(row.param.label); });

TEST(TrayMessageNumbers, AreTheApplicationRangeAndDistinct) {
  EXPECT_GE(kTrayCallbackMessage, 0x8000u);
  EXPECT_LT(kTrayCallbackMessage, 0xC000u);
  EXPECT_GE(kLabelTextMessage, 0x8000u);
  EXPECT_LT(kLabelTextMessage, 0xC000u);
  EXPECT_NE(kTrayCallbackMessage, kLabelTextMessage);
}

}  // namespace
}  // namespace skein::platform
