#include "capture/log_tree.h"

#include <gtest/gtest.h>

#include "fakes/fake_working_directory.h"

namespace skein {
namespace {

using testing::FakeWorkingDirectory;

TEST(SafePathComponent, DigitsPassAndHostileBytesBecomeUnderscores) {
  struct Case {
    std::string_view field;
    std::string_view safe;
  };
  for (const Case& c : {Case{"2026", "2026"},
                        Case{"", ""},
                        Case{"..", "__"},
                        Case{".", "_"},
                        Case{"../", ".._"},
                        Case{"/", "_"},
                        Case{"\\x", "_x"},
                        Case{"C:", "C_"},
                        Case{std::string_view("a\0b", 3), "a_b"},
                        Case{"...", "___"},
                        Case{"12 ", "12_"},
                        Case{"1. ", "1__"},
                        Case{" 1", " 1"},
                        Case{".x", ".x"},
                        Case{"a*?b", "a__b"},
                        Case{"<|>\"", "____"},
                        Case{"\t1\x1F", "_1_"},
                        Case{"COM1", "_OM1"},
                        Case{"lpt9", "_pt9"},
                        Case{"Con", "_on"},
                        Case{"COM0", "COM0"},
                        Case{"nul.", "nul_"},
                        Case{"CONS", "CONS"},
                        Case{"..log", "..log"},
                        Case{"\xE9t\xE9", "\xE9t\xE9"}}) {
    EXPECT_EQ(SafePathComponent(c.field), c.safe) << c.field;
  }
}

TEST(DirectoryNameToCreate, DropsTrailingBlanksAndSeparatorsAndCutsAt260) {
  EXPECT_EQ(DirectoryNameToCreate("/data/logs/"), "/data/logs");
  EXPECT_EQ(DirectoryNameToCreate("C:\\logs\\ \\"), "C:\\logs");
  EXPECT_EQ(DirectoryNameToCreate("2026"), "2026");
  EXPECT_EQ(DirectoryNameToCreate("/"), "");
  EXPECT_EQ(DirectoryNameToCreate(std::string(300, 'd')), std::string(260, 'd'));
}

TEST(HourlyLogPath, JoinsTheFieldsUnderTheBaseAsTheyAre) {
  const RecordTime time{"2026", "12", "11"};
  EXPECT_EQ(HourlyLogPath("/data/", time, "13.log"), "/data//2026/12/11/13.log");
  EXPECT_EQ(HourlyLogPath("/data", time, "13.log"), "/data/2026/12/11/13.log");
  EXPECT_EQ(HourlyLogPath("/data/", RecordTime{}, ".log"), "/data/////.log");
  EXPECT_EQ(HourlyLogPath("/data/", RecordTime{"..", "/", "x"}, "/.log"), "/data//__/_/x/_.log");
}

class EnterRecordDirectoryTest : public ::testing::Test {
 protected:
  void SetUp() override { directory.AddDirectory("/data"); }
  FakeWorkingDirectory directory;
};

TEST_F(EnterRecordDirectoryTest, CreatesTheMissingLevelsOneBelowTheOther) {
  EXPECT_TRUE(EnterRecordDirectory(directory, "/data/", {"2026", "12", "11"}));
  EXPECT_EQ(directory.current, "/data/2026/12/11");
  EXPECT_EQ(directory.created, (std::vector<std::string>{"2026", "12", "11"}));
}

TEST_F(EnterRecordDirectoryTest, ExistingLevelsAreEnteredWithoutCreating) {
  directory.AddDirectory("/data/2026/12/11");
  EnterRecordDirectory(directory, "/data/", {"2026", "12", "11"});
  EXPECT_EQ(directory.current, "/data/2026/12/11");
  EXPECT_TRUE(directory.created.empty());
}

TEST_F(EnterRecordDirectoryTest, ALevelThatCannotBeReachedStopsTheChain) {
  directory.current = "/data";
  EXPECT_FALSE(EnterRecordDirectory(directory, "/missing/base/", {"2026", "12", "11"}));
  EXPECT_EQ(directory.created, std::vector<std::string>{"/missing/base"})
      << "tried once, without its separator";
  EXPECT_FALSE(directory.directories.contains("/data/2026"))
      << "nothing is built where the previous hour left off";
}

TEST_F(EnterRecordDirectoryTest, AFileInThePathStopsTheChainBelowIt) {
  directory.files["/data/2026"].content = "not a directory";
  EXPECT_FALSE(EnterRecordDirectory(directory, "/data/", {"2026", "12", "11"}));
  EXPECT_EQ(directory.current, "/data");
}

TEST_F(EnterRecordDirectoryTest, EmptyLevelsEnterAndCreateNothing) {
  EXPECT_TRUE(EnterRecordDirectory(directory, "/data/", {"2026", "", ""}));
  EXPECT_EQ(directory.current, "/data/2026");
  EXPECT_EQ(directory.created, std::vector<std::string>{"2026"});
}

TEST_F(EnterRecordDirectoryTest, ARelativeBaseGrowsBelowTheCurrentDirectory) {
  directory.current = "/data";
  EnterRecordDirectory(directory, "rel", {"2026", "12", "11"});
  EXPECT_EQ(directory.current, "/data/rel/2026/12/11");
  EnterRecordDirectory(directory, "rel", {"2026", "12", "12"});
  EXPECT_EQ(directory.current, "/data/rel/2026/12/11/rel/2026/12/12");
}

TEST_F(EnterRecordDirectoryTest, HostileFieldsStayBelowTheBase) {
  for (const RecordTime& time : {RecordTime{"..", "..", ".."}, RecordTime{"/etc", "/x", "/y"},
                                 RecordTime{"../.", "..", "."}, RecordTime{"\\..", "C:", ".."}}) {
    directory.current = "/";
    EnterRecordDirectory(directory, "/data", time);
    EXPECT_EQ(directory.current.rfind("/data/", 0), 0u) << directory.current;
    EXPECT_EQ(directory.current.find("/../"), std::string::npos);
  }
  for (const std::string& path : directory.directories) {
    EXPECT_TRUE(path == "/" || path.rfind("/data", 0) == 0) << path;
  }
}

}  // namespace
}  // namespace skein
