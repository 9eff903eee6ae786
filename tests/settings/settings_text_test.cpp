#include "settings/settings_text.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <ostream>
#include <random>
#include <string>
#include <string_view>
#include <vector>

namespace skein {

// Shows entries readably when a case fails.
void PrintTo(const SettingsEntryView& entry, std::ostream* out) {
  const char* kinds[] = {"group", "comment", "key"};
  *out << kinds[static_cast<int>(entry.kind)] << " " << ::testing::PrintToString(entry.name);
  if (entry.kind == SettingsEntryKind::Key) *out << " = " << ::testing::PrintToString(entry.value);
}

namespace {

using namespace std::string_view_literals;

SettingsEntryView Group(std::string_view name) {
  return {SettingsEntryKind::Group, name, {}};
}
SettingsEntryView Comment(std::string_view text) {
  return {SettingsEntryKind::Comment, text, {}};
}
SettingsEntryView Key(std::string_view key, std::string_view value) {
  return {SettingsEntryKind::Key, key, value};
}

struct ParseCase {
  const char* name;
  std::string_view text;
  std::vector<SettingsEntryView> expected;
};

class ParseSettingsTextTest : public ::testing::TestWithParam<ParseCase> {};

TEST_P(ParseSettingsTextTest, GivesEntriesInFileOrder) {
  const ParseCase& c = GetParam();
  EXPECT_EQ(ParseSettingsText(c.text), c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Lines, ParseSettingsTextTest,
    ::testing::Values(
        ParseCase{"Empty", "", {}},
        ParseCase{"WrittenForm",
                  "[Global]\r\nApplicationName = #app_name\r\n[Setting]\r\nDirectory = \r\n",
                  {Group("Global"), Key("ApplicationName", "#app_name"), Group("Setting"),
                   Key("Directory", "")}},
        ParseCase{"LoneLfAndLoneCrAndNoFinalBreak",
                  "[a]\nk=1\rm=2",
                  {Group("a"), Key("k", "1"), Key("m", "2")}},
        ParseCase{"BlankLinesOfAnyStyle",
                  "\r\n\n\r\r\n[a]\r\n\r\n   \t \r\n\n\rk=1\r\n\r\n",
                  {Group("a"), Key("k", "1")}},
        ParseCase{"BlanksOnlyAtTheEnd", "k=1\r\n \t ", {Key("k", "1")}},
        ParseCase{"LeadingBlanksOnEveryKind",
                  " \t[a]\r\n\t; c\r\n  k = v\r\n",
                  {Group("a"), Comment("c"), Key("k", "v")}},

        // Group headers.
        ParseCase{"BlanksInsideBracketsBelongToTheName", "[ Setting ]", {Group(" Setting ")}},
        ParseCase{"RestAfterBracketIgnored",
                  "[Setting]  ; note = x\r\nk=1",
                  {Group("Setting"), Key("k", "1")}},
        ParseCase{
            "HeaderWithoutClosingBracket", "[Setting\r\nk=1", {Group("Setting"), Key("k", "1")}},
        ParseCase{"HeaderCutByEndOfText", "[Sett", {Group("Sett")}},
        ParseCase{"EmptyHeader", "[]\r\n[", {Group(""), Group("")}},
        ParseCase{"FirstClosingBracketEndsName", "[a]b]", {Group("a")}},
        ParseCase{"EqualsInsideHeader", "[a = b]", {Group("a = b")}},

        // Comments.
        ParseCase{"CommentThatLooksLikeAKey", "; Directory = x", {Comment("Directory = x")}},
        ParseCase{"CommentLosesOneBlankOnly",
                  ";x\r\n;\ty\r\n;  z\r\n;",
                  {Comment("x"), Comment("y"), Comment(" z"), Comment("")}},
        ParseCase{"SemicolonInsideValueIsNotAComment", "k = a ; b", {Key("k", "a ; b")}},

        // Key lines.
        ParseCase{"ValueKeepsTrailingBlanks",
                  "  directory=C:\\Logs\\  \r\n",
                  {Key("directory", "C:\\Logs\\  ")}},
        ParseCase{"BlanksAroundEqualsDropped", "Last \t = \t value", {Key("Last", "value")}},
        ParseCase{"FurtherEqualsBelongToValue", "Last = a = b", {Key("Last", "a = b")}},
        ParseCase{"EmptyKey", "= v", {Key("", "v")}},
        ParseCase{"EqualsAtEndOfText", "k =", {Key("k", "")}},
        ParseCase{"ValueOfBlanksOnly", "k = \t \r\nm=1", {Key("k", ""), Key("m", "1")}},
        ParseCase{
            "NoEqualsWithCrLf", "Last\r\nDirectory = x", {Key("Last", ""), Key("Directory", "x")}},
        // Lone LF or CR after a key without "=" ends the line like CR LF: the value is empty and
        // the next line stays a line of its own.
        ParseCase{
            "NoEqualsWithLoneLf", "Last\nDirectory = x", {Key("Last", ""), Key("Directory", "x")}},
        ParseCase{
            "NoEqualsWithLoneCr", "Last\rDirectory = x", {Key("Last", ""), Key("Directory", "x")}},
        ParseCase{"NoEqualsKeyLosesTrailingBlanks", "Last  \t\r\n", {Key("Last", "")}},
        ParseCase{"NoEqualsAtEndOfText", "Last", {Key("Last", "")}},
        ParseCase{"BracketLaterInLineIsPartOfKey", "k[x] = 1", {Key("k[x]", "1")}},
        ParseCase{"HighBytesPassUnchanged", "\xA9k = \xFF\xFE", {Key("\xA9k", "\xFF\xFE")}},
        ParseCase{"NulBytesAreOrdinaryBytes",
                  "a\0b = c\0d\r\n[\0]"sv,
                  {Key("a\0b"sv, "c\0d"sv), Group("\0"sv)}}),
    [](const ::testing::TestParamInfo<ParseCase>& param) { return param.param.name; });

// Junk of every kind must parse to views inside the text, with every line moving forwards.
TEST(ParseSettingsLineTest, JunkStaysInsideTheTextAndAlwaysAdvances) {
  std::mt19937 random(20240611);
  const std::string_view alphabet = "[]=; \t\r\nab\0\xEF\xBB\xBF\xC3\xFF"sv;
  for (int round = 0; round < 200; ++round) {
    std::string text(random() % 300, '\0');
    for (char& c : text) c = alphabet[random() % alphabet.size()];
    const char* begin = text.data();
    const char* end = text.data() + text.size();
    std::size_t pos = 0;
    while (pos < text.size()) {
      const std::size_t before = pos;
      const auto entry = ParseSettingsLine(text, pos);
      ASSERT_GT(pos, before) << ::testing::PrintToString(text);
      ASSERT_LE(pos, text.size());
      if (!entry) continue;
      for (std::string_view part : {entry->name, entry->value}) {
        if (part.empty()) continue;
        EXPECT_GE(part.data(), begin);
        EXPECT_LE(part.data() + part.size(), end);
        EXPECT_EQ(part.find_first_of("\r\n"), std::string_view::npos);
      }
    }
  }
}

TEST(SameSettingsNameTest, FoldsOnlyAsciiLetters) {
  struct Case {
    std::string_view a, b;
    bool same;
  };
  const Case cases[] = {
      {"Setting", "setting", true},
      {"SETTING", "setting", true},
      {"", "", true},
      {"Setting", "Setting ", false},
      {" Setting", "Setting", false},
      {"Setting", "Settin", false},
      {"\xC9", "\xE9", false},  // no folding beyond ASCII
      {"[", "{", false},        // 0x5B and 0x7B differ by the case bit but are no letters
      {"@", "`", false},
      {"a\0b"sv, "A\0B"sv, true},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(SameSettingsName(c.a, c.b), c.same)
        << ::testing::PrintToString(c.a) << " vs " << ::testing::PrintToString(c.b);
  }
}

TEST(Utf8Test, DecodeFollowsTheTable) {
  struct Case {
    std::string_view utf8, bytes;
  };
  const Case cases[] = {
      {"plain text", "plain text"},
      {"\xC3\xBC", "\xFC"},
      {"\xC2\x80", "\x80"},
      {"\xC2\xA9 2024", "\xA9 2024"},
      {"\xC0\x80"sv, "\0"sv},  // two-byte form of a small number is taken at its value
      {"\xC4\x80", "?"},       // above 255
      {"\xDF\xBF", "?"},
      {"\xC3", ""},  // lead byte at the end
      {"a\xC3", "a"},
      {"\xC3"
       "A",
       "?A"},  // the byte after a bad lead is read afresh
      {"\xC3\xC3\xBC", "?\xFC"},
      {"\xE2\x82\xAC", "?"},
      {"\xE2\x82\xAC\xAC", "?"},  // a fourth byte is a stray continuation
      {"\xE2xy", "?xy"},          // no continuation bytes to step over
      {"\xE2\x82x", "?x"},
      {"\xE2\x82", ""},  // too near the end, then a stray byte
      {"\xF0\x9F\x98\x80", "?"},
      {"\xF0\x9F\x98", ""},
      {"\xF0\x9F\x98\x80\x80", "?"},
      {"\xF0"
       "abc",
       "?abc"},
      {"\x80\xBF"
       "abc",
       "abc"},  // stray continuation bytes
      {"\xF8\xFC\xFF", ""},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(DecodeUtf8(c.utf8), c.bytes) << ::testing::PrintToString(c.utf8);
  }
}

TEST(Utf8Test, EncodeTakesEachByteAsItsCharacter) {
  struct Case {
    std::string_view bytes, utf8;
  };
  const Case cases[] = {
      {"abc", "abc"},       {"\x7F", "\x7F"},     {"\x80", "\xC2\x80"},
      {"\xA9", "\xC2\xA9"}, {"\xBF", "\xC2\xBF"}, {"\xC0", "\xC3\x80"},
      {"\xFC", "\xC3\xBC"}, {"\xFF", "\xC3\xBF"}, {"a\0b"sv, "a\0b"sv},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(EncodeUtf8(c.bytes), c.utf8) << ::testing::PrintToString(c.bytes);
  }
}

TEST(Utf8Test, EveryByteSurvivesEncodeThenDecode) {
  for (int b = 0; b < 256; ++b) {
    const std::string one(1, static_cast<char>(b));
    EXPECT_EQ(DecodeUtf8(EncodeUtf8(one)), one) << b;
  }
}

}  // namespace
}  // namespace skein
