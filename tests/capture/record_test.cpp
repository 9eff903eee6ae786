#include "capture/record.h"

#include <gtest/gtest.h>

namespace skein {
namespace {

struct CutCase {
  std::string_view text;
  std::string_view year, month, day, hour;
  std::string logName;
};

class FieldCuts : public ::testing::TestWithParam<CutCase> {};

TEST_P(FieldCuts, FieldsComeFromFixedPositionsAndShortTextsGiveShortFields) {
  const CutCase& c = GetParam();
  EXPECT_EQ(YearOf(c.text), c.year);
  EXPECT_EQ(MonthOf(c.text), c.month);
  EXPECT_EQ(DayOf(c.text), c.day);
  EXPECT_EQ(HourOf(c.text), c.hour);
  EXPECT_EQ(LogNameOf(c.text), c.logName);
  EXPECT_EQ(RecordTime::Of(c.text),
            (RecordTime{std::string(c.year), std::string(c.month), std::string(c.day)}));
}

INSTANTIATE_TEST_SUITE_P(
    Texts, FieldCuts,
    ::testing::Values(CutCase{"2026-12-11 13:45:00 payload", "2026", "12", "11", "13", "13.log"},
                      CutCase{"", "", "", "", "", ".log"}, CutCase{"20", "20", "", "", "", ".log"},
                      CutCase{"2026-12-11 ", "2026", "12", "11", "", ".log"},
                      CutCase{"2026-12-11 1", "2026", "12", "11", "1", "1.log"},
                      CutCase{"2026-12-11 13", "2026", "12", "11", "13", "13.log"},
                      // Separators are never read: any byte between the fields is fine.
                      CutCase{"ABCDxEFxGHxIJxxx", "ABCD", "EF", "GH", "IJ", "IJ.log"}));

TEST(FirstChars, TakesAtMostNCharacters) {
  EXPECT_EQ(FirstChars("abcdef", 3), "abc");
  EXPECT_EQ(FirstChars("ab", 3), "ab");
  EXPECT_EQ(FirstChars("", 30), "");
}

TEST(CharsFrom, PositionsCountFromOneAndRunOutQuietly) {
  EXPECT_EQ(CharsFrom("abcdef", 1, 2), "ab");
  EXPECT_EQ(CharsFrom("abcdef", 6, 2), "f");
  EXPECT_EQ(CharsFrom("abcdef", 7, 2), "");
  EXPECT_EQ(CharsFrom("abcdef", 0, 2), "");
}

TEST(IsTransmitted, OnlyTheDigitOneInTheLastCharacter) {
  struct Case {
    std::string_view record;
    bool transmitted;
  };
  for (const Case& c :
       {Case{"....1", true}, Case{"....0", false}, Case{"....2", false}, Case{"..1. ", false},
        Case{"....a", false}, Case{"...11", true}, Case{"", false}, Case{"...\xB1", false}}) {
    EXPECT_EQ(IsTransmitted(c.record), c.transmitted) << c.record;
  }
}

}  // namespace
}  // namespace skein
