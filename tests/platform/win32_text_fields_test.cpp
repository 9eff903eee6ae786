// The texts the Win32 front end hands the system: the folder dialog's start and result, and
// fixed character fields of system structures.
#include <cstring>
#include <string>
#include <string_view>

#include <gtest/gtest.h>

#include "platform/win32/folder_paths.h"
#include "platform/win32/text_fields.h"

namespace skein::platform {
namespace {

struct PathCase {
  const char* label;
  std::string given;
  std::string expected;
};

void PrintTo(const PathCase& c, std::ostream* out) {
  *out << c.label << ": \"" << c.given << '"';
}

class InitialFolderTest : public ::testing::TestWithParam<PathCase> {};

TEST_P(InitialFolderTest, IsCutAndLosesOneTrailingBackslash) {
  EXPECT_EQ(InitialFolderForDialog(GetParam().given), GetParam().expected);
}

const std::string k259(259, 'a');

INSTANTIATE_TEST_SUITE_P(
    Table, InitialFolderTest,
    ::testing::Values(
        PathCase{"Empty", "", ""}, PathCase{"DriveRootKeepsItsBackslash", "C:\\", "C:\\"},
        PathCase{"ThreeCharactersKeepTheirs", "ab\\", "ab\\"},
        PathCase{"FourCharactersLoseIt", "C:\\a\\", "C:\\a"},
        PathCase{"ChosenFolder", "D:\\logs\\gate\\", "D:\\logs\\gate"},
        PathCase{"NoBackslash", "D:\\logs", "D:\\logs"},
        PathCase{"OnlyOneOfTwoIsDropped", "D:\\logs\\\\", "D:\\logs\\"},
        PathCase{"NetworkShare", "\\\\server\\share\\", "\\\\server\\share"},
        PathCase{"SlashIsNoBackslash", "D:\\logs/", "D:\\logs/"},
        PathCase{"LongestIsKept", k259, k259}, PathCase{"LongerIsCut", k259 + "bcd", k259},
        // The cut comes first: a backslash that becomes the last one is dropped.
        PathCase{"CutEndingInBackslash", std::string(258, 'a') + "\\xyz", std::string(258, 'a')}),
    [](const auto& row) { return std::string(row.param.label); });

class ChosenFolderTest : public ::testing::TestWithParam<PathCase> {};

TEST_P(ChosenFolderTest, EndsWithABackslash) {
  EXPECT_EQ(ChosenFolder(GetParam().given), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Table, ChosenFolderTest,
    ::testing::Values(PathCase{"NoPathStaysEmpty", "", ""},
                      PathCase{"DriveRootGetsNoSecond", "C:\\", "C:\\"},
                      PathCase{"FolderGetsOne", "D:\\logs", "D:\\logs\\"},
                      PathCase{"NetworkShare", "\\\\server\\share", "\\\\server\\share\\"},
                      PathCase{"SpacesAreKept", "D:\\my logs", "D:\\my logs\\"}),
    [](const auto& row) { return std::string(row.param.label); });

// A field with guard bytes behind it, so that a write past its end shows.
struct GuardedField {
  char field[8];
  char guard[8];
};

class TextFieldTest : public ::testing::Test {
 protected:
  void SetUp() override { std::memset(&f, '#', sizeof f); }
  std::string Guard() const { return std::string(f.guard, sizeof f.guard); }
  GuardedField f;
};

TEST_F(TextFieldTest, ShortTextIsCopiedWithItsZero) {
  CopyTextField(f.field, "abc");
  EXPECT_STREQ(f.field, "abc");
  EXPECT_EQ(Guard(), "########");
}

TEST_F(TextFieldTest, EmptyTextLeavesOnlyTheZero) {
  CopyTextField(f.field, "");
  EXPECT_STREQ(f.field, "");
}

TEST_F(TextFieldTest, LongTextIsCutToLeaveRoomForTheZero) {
  CopyTextField(f.field, "abcdefghijk");
  EXPECT_EQ(std::string(f.field, sizeof f.field), std::string("abcdefg\0", 8));
  EXPECT_EQ(Guard(), "########");
}

TEST_F(TextFieldTest, LimitBelowTheFieldCutsEarlier) {
  CopyTextField(f.field, "abcdefghijk", 3);
  EXPECT_STREQ(f.field, "abc");
}

TEST_F(TextFieldTest, LimitAboveTheFieldNeverOverruns) {
  CopyTextField(f.field, "abcdefghijk", 100);
  EXPECT_STREQ(f.field, "abcdefg");
  EXPECT_EQ(Guard(), "########");
}

TEST(TooltipField, SixtyThreeCharactersOfAWiderField) {
  // The first version of the tray structure reads 64 characters of a field later widened to 128.
  char tip[128];
  std::memset(tip, '#', sizeof tip);
  const std::string longTip(100, 't');
  CopyTextField(tip, longTip, 63);
  EXPECT_EQ(std::strlen(tip), 63u);
  CopyTextField(tip, "SkeinerWard 3.11", 63);
  EXPECT_STREQ(tip, "SkeinerWard 3.11");
}

}  // namespace
}  // namespace skein::platform
