#include "skein-poke/poke_command.h"

#include <optional>
#include <ostream>
#include <string>
#include <string_view>
#include <vector>

#include <gtest/gtest.h>

namespace skein::poke {
namespace {

struct GoodCase {
  const char* label;
  std::vector<std::string_view> args;
  Verb verb;
  std::string text;
  std::int64_t number;
};

void PrintTo(const GoodCase& c, std::ostream* out) {
  *out << c.label;
}

class GoodPokeArgumentsTest : public ::testing::TestWithParam<GoodCase> {};

TEST_P(GoodPokeArgumentsTest, GiveTheCommand) {
  const std::optional<PokeCommand> command = ParsePokeCommand(GetParam().args);
  ASSERT_TRUE(command);
  EXPECT_EQ(command->verb, GetParam().verb);
  EXPECT_EQ(command->text, GetParam().text);
  EXPECT_EQ(command->number, GetParam().number);
}

INSTANTIATE_TEST_SUITE_P(
    Table, GoodPokeArgumentsTest,
    ::testing::Values(
        GoodCase{"WaitWindowDefaultsToTenSeconds",
                 {"wait-window", "SkeinerWard"},
                 Verb::WaitWindow,
                 "SkeinerWard",
                 10000},
        GoodCase{"WaitWindowWithWait",
                 {"wait-window", "Warning", "2500"},
                 Verb::WaitWindow,
                 "Warning",
                 2500},
        GoodCase{"WaitNoTimeAtAll", {"wait-gone", "Warning", "0"}, Verb::WaitGone, "Warning", 0},
        GoodCase{"WaitGoneDefault", {"wait-gone", "Warning"}, Verb::WaitGone, "Warning", 10000},
        GoodCase{"Exists", {"exists", "SkeinerWard"}, Verb::Exists, "SkeinerWard", 0},
        GoodCase{"TitleWithSpaces",
                 {"exists", "Browse for Folder"},
                 Verb::Exists,
                 "Browse for Folder",
                 0},
        GoodCase{"Close", {"close"}, Verb::Close, "", 0},
        GoodCase{"Menu", {"menu", "7"}, Verb::Menu, "", 7},
        GoodCase{"HighestMenuId", {"menu", "65535"}, Verb::Menu, "", 65535},
        GoodCase{"TrayLeftPress", {"tray", "513"}, Verb::Tray, "", 513},
        GoodCase{"Minimise", {"minimise"}, Verb::Minimise, "", 0},
        GoodCase{"State", {"state"}, Verb::State, "", 0},
        GoodCase{"Label", {"label"}, Verb::Label, "", 0},
        GoodCase{"EndSession", {"end-session"}, Verb::EndSession, "", 0},
        GoodCase{"Dismiss", {"dismiss", "Warning"}, Verb::Dismiss, "Warning", 0},
        GoodCase{"DismissText", {"dismiss-text", "SkeinWard"}, Verb::DismissText, "SkeinWard", 0},
        GoodCase{"MessageText", {"message-text", "Error"}, Verb::MessageText, "Error", 0}),
    [](const auto& row) { return std::string(row.param.label); });

struct BadCase {
  const char* label;
  std::vector<std::string_view> args;
};

void PrintTo(const BadCase& c, std::ostream* out) {
  *out << c.label;
}

class BadPokeArgumentsTest : public ::testing::TestWithParam<BadCase> {};

TEST_P(BadPokeArgumentsTest, AreRefused) {
  EXPECT_FALSE(ParsePokeCommand(GetParam().args));
}

INSTANTIATE_TEST_SUITE_P(
    Table, BadPokeArgumentsTest,
    ::testing::Values(
        BadCase{"Nothing", {}}, BadCase{"UnknownCommand", {"restore"}},
        BadCase{"CommandsAreCaseSensitive", {"Close"}}, BadCase{"AmericanSpelling", {"minimize"}},
        BadCase{"WaitWithoutTitle", {"wait-window"}},
        BadCase{"WaitWithTwoNumbers", {"wait-window", "X", "1", "2"}},
        BadCase{"NegativeWait", {"wait-window", "X", "-1"}},
        BadCase{"WaitWithUnit", {"wait-gone", "X", "10s"}},
        BadCase{"WaitPastTheSystemsRange", {"wait-window", "X", "4294967296"}},
        BadCase{"CloseTakesNothing", {"close", "now"}}, BadCase{"MenuWithoutId", {"menu"}},
        BadCase{"MenuIdNotANumber", {"menu", "quit"}}, BadCase{"MenuIdSigned", {"menu", "+2"}},
        BadCase{"MenuIdBeyondSixteenBits", {"menu", "65538"}},
        BadCase{"MenuIdWithSpace", {"menu", " 2"}}, BadCase{"TrayWithoutMessage", {"tray"}},
        BadCase{"TrayHex", {"tray", "0x201"}}, BadCase{"ExistsWithoutTitle", {"exists"}},
        BadCase{"DismissTwoTitles", {"dismiss", "A", "B"}},
        BadCase{"StateTakesNothing", {"state", "SkeinerWard"}}),
    [](const auto& row) { return std::string(row.param.label); });

}  // namespace
}  // namespace skein::poke
