// The real program and the real writer tool, run against a temporary directory.
#include <gtest/gtest.h>

#include <thread>

#include "e2e/program_fixture.h"
#include "fakes/records.h"

namespace skein {
namespace {

namespace fs = std::filesystem;
using testing::Lines;
using testing::MakeRecord;
using testing::ProgramTest;
using testing::ReadBytes;
using testing::SavedSettings;
using testing::ThisYear;

TEST_F(ProgramTest, LogsAStreamAcrossHoursAndADayThenAppendsAfterARestart) {
  testing::WriteBytes(SettingsFile(), SavedSettings(LogsDir(), ""));
  const std::string r0 = MakeRecord("2026-12-31", "22", '1', 'a');
  const std::string r1 = MakeRecord("2026-12-31", "22", '0', 'b');
  const std::string r2 = MakeRecord("2026-12-31", "23", '1', 'c');
  const std::string r3 = MakeRecord("2026-12-31", "23", '0', 'd');
  const std::string r4 = MakeRecord("2027-01-01", "00", '1', 'e');
  const std::string r5 = MakeRecord("2027-01-01", "00", '0', 'f');

  // The first record is in the block before the program starts, so its first poll reads it.
  block->Publish(r0);
  StartProgram();
  ASSERT_TRUE(testing::WaitForFile(logs / "2026/12/31/22.log"));
  Feed({r1, r2, r3, r4});
  StopProgram();

  const fs::path day1 = logs / "2026/12/31";
  const fs::path day2 = logs / "2027/01/01";
  EXPECT_EQ(ReadBytes(day1 / "22.log"), Lines({r0, r1}));
  EXPECT_EQ(ReadBytes(day1 / "22-Statistics.txt"),
            Lines({"2026-12-31 23:00 Total 2 transmitted 1 not transmitted 1"}));
  EXPECT_EQ(ReadBytes(day1 / "23.log"), Lines({r2, r3}));
  EXPECT_EQ(ReadBytes(day1 / "23-Statistics.txt"),
            Lines({"2027-01-01 00:00 Total 2 transmitted 1 not transmitted 1"}));
  EXPECT_EQ(ReadBytes(day2 / "00.log"), Lines({r4}));
  EXPECT_EQ(ReadBytes(day2 / "00-Statistics.txt"),
            Lines({r4.substr(0, 16) + " Total 1 transmitted 1 not transmitted 0"}));
  EXPECT_EQ(ReadBytes(SettingsFile()), SavedSettings(LogsDir(), r4));

  // Restart with r4 still in the block: it is not logged again; the hour's files take more.
  StartProgram();
  Feed({r5});
  StopProgram();
  EXPECT_EQ(ReadBytes(day2 / "00.log"), Lines({r4, r5}));
  EXPECT_EQ(ReadBytes(day2 / "00-Statistics.txt"),
            Lines({r4.substr(0, 16) + " Total 1 transmitted 1 not transmitted 0",
                   r5.substr(0, 16) + " Total 1 transmitted 0 not transmitted 1"}));
  EXPECT_EQ(ReadBytes(SettingsFile()), SavedSettings(LogsDir(), r5));
  EXPECT_EQ(testing::FilesBelow(logs),
            (std::vector<std::string>{"2026/12/31/22-Statistics.txt", "2026/12/31/22.log",
                                      "2026/12/31/23-Statistics.txt", "2026/12/31/23.log",
                                      "2027/01/01/00-Statistics.txt", "2027/01/01/00.log"}));
}

TEST_F(ProgramTest, AFirstRunWithoutATerminalWritesTheFirstRunFileAndEnds) {
  StartProgram();
  EXPECT_EQ(program->Wait(), 0);
  program.reset();
  EXPECT_EQ(ReadBytes(SettingsFile()),
            "[Global]\r\nApplicationName = #app_name\r\nVersion = #version \xA9 " +
                std::to_string(ThisYear()) + "\r\n[Setting]\r\nDirectory = \r\nLast = \r\n");
}

TEST_F(ProgramTest, EachCloseSignalSavesAndEndsWithCodeZero) {
  for (int signal : {SIGTERM, SIGINT, SIGHUP}) {
    testing::WriteBytes(SettingsFile(), SavedSettings(LogsDir(), ""));
    const std::string record = MakeRecord("2026-12-11", "10", '1', static_cast<char>('a' + signal));
    block->Publish(record);
    StartProgram();
    ASSERT_TRUE(testing::WaitForFile(logs / "2026/12/11/10.log"));
    // The log file exists from its open; the record is logged in the same poll.
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    StopProgram(signal);
    EXPECT_EQ(ReadBytes(SettingsFile()), SavedSettings(LogsDir(), record)) << signal;
    fs::remove_all(logs / "2026");
  }
}

TEST_F(ProgramTest, HostileRecordsStayInsideTheBaseDirectory) {
  testing::WriteBytes(SettingsFile(), SavedSettings(LogsDir(), ""));
  StartProgram();
  const std::string tail = " 00:00:00 a hostile record, long enough 0";
  const std::vector<std::string> records = {"../../" + tail, "/tmp/" + tail, "..\\..\\.." + tail,
                                            "C:\\x" + tail, "../." + std::string(250, '/')};
  Feed(records);
  StopProgram();
  std::string logged;
  for (const std::string& file : testing::FilesBelow(root)) {
    const bool ours = file == "skeinerward" || file == "Skeinward.prefs" || file == "feed.txt" ||
                      file == "stdout.txt" || file == "stderr.txt";
    EXPECT_TRUE(ours || file.rfind("logs/", 0) == 0) << file;
    if (file.ends_with(".log")) logged += ReadBytes(root / file);
  }
  // Each record still reached a log below the base directory, once and byte for byte.
  for (const std::string& record : records) {
    const std::size_t at = logged.find(record + "\r\n");
    EXPECT_NE(at, std::string::npos) << record;
    EXPECT_EQ(logged.find(record + "\r\n", at + 1), std::string::npos) << record;
  }
}

}  // namespace
}  // namespace skein
