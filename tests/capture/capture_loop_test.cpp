#include "capture/capture_loop.h"

#include <gtest/gtest.h>

#include <vector>

#include "fakes/fake_record_block.h"
#include "fakes/fake_system.h"
#include "fakes/fake_working_directory.h"
#include "fakes/records.h"

namespace skein {
namespace {

using testing::MakeRecord;

class CaptureLoopTest : public ::testing::Test {
 protected:
  void SetUp() override { directory.AddDirectory("/base"); }

  CaptureLoop& Loop(std::string lastRecord = {}, std::string base = "/base/") {
    loop = std::make_unique<CaptureLoop>(
        &block, directory, system, [this](std::string_view text) { labels.emplace_back(text); });
    loop->Restore(std::move(base), std::move(lastRecord));
    return *loop;
  }

  // The writer publishes `text`, then the loop polls once.
  std::optional<std::string> Show(std::string_view text) {
    block.Publish(text);
    return loop->Poll();
  }

  const std::string& File(const std::string& path) { return directory.files[path].content; }

  testing::FakeRecordBlock block;
  testing::FakeWorkingDirectory directory;
  testing::FakeSystem system;
  std::vector<std::string> labels;
  std::unique_ptr<CaptureLoop> loop;
};

// The sequence zero bytes, A, A, B, C from a fresh start: A and B share hour 12, C is hour 13.
TEST_F(CaptureLoopTest, WorkedSequence) {
  const std::string a = MakeRecord("2026-12-11", "12", '1', 'a');
  const std::string b = MakeRecord("2026-12-11", "12", '0', 'b');
  const std::string c = MakeRecord("2026-12-11", "13", '1', 'c');
  CaptureLoop& capture = Loop();
  capture.Begin();

  EXPECT_EQ(Show(""), std::nullopt);
  CaptureState s = capture.State();
  EXPECT_EQ(s.logName, ".log");
  EXPECT_EQ(s.activeLogName, ".log");
  EXPECT_EQ(s.periodHour, "");
  EXPECT_EQ(directory.current, "/base");

  EXPECT_EQ(Show(a), a.substr(0, 30));
  s = capture.State();
  EXPECT_EQ(directory.current, "/base/2026/12/11");
  EXPECT_EQ(s.counters, (HourCounters{1, 1, 0}));
  EXPECT_EQ(s.periodHour, "") << "opening the statistics file does not set the period's hour";
  EXPECT_TRUE(s.statisticsOpen);
  EXPECT_TRUE(s.logOpen);
  EXPECT_EQ(s.lastRecord, a);
  EXPECT_TRUE(directory.files.contains("/base/2026/12/11/12-Statistics.txt"));

  EXPECT_EQ(Show(a), std::nullopt);
  EXPECT_EQ(capture.State().counters, (HourCounters{1, 1, 0}));

  EXPECT_EQ(Show(b), b.substr(0, 30));
  s = capture.State();
  EXPECT_EQ(s.counters, (HourCounters{0, 0, 0}));
  EXPECT_EQ(s.periodHour, "12");
  EXPECT_EQ(File("/base/2026/12/11/12-Statistics.txt"),
            "2026-12-11 12:00 total 2 transmitted 1 not transmitted 1\r\n");

  EXPECT_EQ(Show(c), c.substr(0, 30));
  s = capture.State();
  EXPECT_EQ(File("/base/2026/12/11/12-Statistics.txt"),
            "2026-12-11 12:00 total 2 transmitted 1 not transmitted 1\r\n"
            "2026-12-11 13:00 Total 0 transmitted 0 not transmitted 0\r\n");
  EXPECT_EQ(File("/base/2026/12/11/12.log"), a + "\r\n" + b + "\r\n");
  EXPECT_EQ(s.counters, (HourCounters{1, 1, 0}));
  EXPECT_EQ(s.periodHour, "13");
  EXPECT_EQ(s.lastRecord, c);
  EXPECT_TRUE(directory.files.contains("/base/2026/12/11/13-Statistics.txt"));
  EXPECT_EQ(File("/base/2026/12/11/13.log"), "") << "still in the buffer";

  capture.CloseFiles();
  EXPECT_EQ(File("/base/2026/12/11/13.log"), c + "\r\n");
  EXPECT_EQ(File("/base/2026/12/11/13-Statistics.txt"),
            "2026-12-11 13:00 Total 1 transmitted 1 not transmitted 0\r\n");
}

TEST_F(CaptureLoopTest, AcceptanceNeedsThirtySixCharactersAndANewText) {
  struct Case {
    std::size_t length;
    bool accepted;
  };
  for (const Case& c : {Case{35, false}, Case{36, true}, Case{256, true}}) {
    directory = {};
    directory.AddDirectory("/base");
    CaptureLoop& capture = Loop();
    const std::string text = MakeRecord("2026-12-11", "12", '1', 'k', c.length);
    EXPECT_EQ(Show(text).has_value(), c.accepted) << c.length;
    const CaptureState s = capture.State();
    EXPECT_EQ(s.logName, "12.log") << "rejected texts still set the log name";
    EXPECT_EQ(s.activeLogName, "12.log") << "and can roll over";
    EXPECT_EQ(s.counters.total, c.accepted ? 1 : 0);
  }
}

TEST_F(CaptureLoopTest, ARestartWithTheLastRecordStillInTheBlockLogsNothing) {
  const std::string last = MakeRecord("2026-12-11", "12", '1');
  CaptureLoop& capture = Loop(last);
  EXPECT_EQ(capture.Begin(), last.substr(0, 29));
  EXPECT_EQ(capture.State().logName, "12.log");
  for (int i = 0; i < 5; ++i) EXPECT_EQ(Show(last), std::nullopt);
  capture.CloseFiles();
  EXPECT_FALSE(directory.files.contains("/base/2026/12/11/12.log"));
  EXPECT_EQ(capture.State().counters.total, 0);
}

TEST_F(CaptureLoopTest, ARestartWithinTheHourAppendsToTheExistingLog) {
  directory.AddDirectory("/base/2026/12/11");
  directory.files["/base/2026/12/11/12.log"].content = "earlier\r\n";
  directory.files["/base/2026/12/11/12-Statistics.txt"].content = "old line\r\n";
  CaptureLoop& capture = Loop("earlier");
  const std::string next = MakeRecord("2026-12-11", "12", '0');
  Show(next);
  capture.CloseFiles();
  EXPECT_EQ(File("/base/2026/12/11/12.log"), "earlier\r\n" + next + "\r\n");
  EXPECT_EQ(File("/base/2026/12/11/12-Statistics.txt"),
            "old line\r\n" + next.substr(0, 16) + " Total 1 transmitted 0 not transmitted 1\r\n");
}

TEST_F(CaptureLoopTest, ALaterDayWithTheSameHourStaysInTheOpenLog) {
  CaptureLoop& capture = Loop();
  const std::string first = MakeRecord("2026-12-11", "12", '1');
  const std::string nextDay = MakeRecord("2026-12-12", "12", '1');
  Show(first);
  Show(nextDay);
  EXPECT_EQ(capture.CurrentLogPath(), "/base//2026/12/12/12.log");
  capture.CloseFiles();
  EXPECT_EQ(File("/base/2026/12/11/12.log"), first + "\r\n" + nextDay + "\r\n");
  EXPECT_FALSE(directory.directories.contains("/base/2026/12/12"));
}

// A record that cannot be written yet stays pending: it is not shown, counted or remembered until
// the poll that writes it, and then it is written and counted once.
TEST_F(CaptureLoopTest, ALogThatCannotOpenKeepsTheRecordPendingUntilItCan) {
  CaptureLoop& capture = Loop();
  directory.refusedFiles.insert("/base/2026/12/11/12.log");  // another writer holds it
  const std::string record = MakeRecord("2026-12-11", "12", '1');
  for (int i = 0; i < 3; ++i) EXPECT_EQ(Show(record), std::nullopt);
  CaptureState s = capture.State();
  EXPECT_EQ(s.lastRecord, "");
  EXPECT_EQ(s.counters.total, 0);
  EXPECT_FALSE(s.statisticsOpen);

  directory.refusedFiles.clear();
  EXPECT_EQ(Show(record), record.substr(0, 30));
  EXPECT_EQ(Show(record), std::nullopt);
  s = capture.State();
  EXPECT_EQ(s.lastRecord, record);
  EXPECT_EQ(s.counters, (HourCounters{1, 1, 0}));
  capture.CloseFiles();
  EXPECT_EQ(File("/base/2026/12/11/12.log"), record + "\r\n");
  EXPECT_EQ(File("/base/2026/12/11/12-Statistics.txt"),
            record.substr(0, 16) + " Total 1 transmitted 1 not transmitted 0\r\n");
}

TEST_F(CaptureLoopTest, AnUnreachableBaseDirectoryKeepsTheRecordPendingUntilItExists) {
  CaptureLoop& capture = Loop({}, "/later/logs/");
  const std::string record = MakeRecord("2026-12-11", "12", '0');
  for (int i = 0; i < 3; ++i) EXPECT_EQ(Show(record), std::nullopt);
  EXPECT_TRUE(directory.files.empty()) << "nothing is written anywhere else meanwhile";
  EXPECT_EQ(capture.State().counters.total, 0);

  directory.AddDirectory("/later");
  EXPECT_TRUE(Show(record).has_value());
  Show(record);
  capture.CloseFiles();
  EXPECT_EQ(File("/later/logs/2026/12/11/12.log"), record + "\r\n");
  EXPECT_EQ(capture.State().counters.total, 1);
}

TEST_F(CaptureLoopTest, TheLogIsFlushedAtTheSixThousandAndFirstPoll) {
  CaptureLoop& capture = Loop();
  Show(MakeRecord("2026-12-11", "12", '1'));
  for (int poll = 2; poll <= CaptureLoop::kPollsPerFlush; ++poll) capture.Poll();
  EXPECT_EQ(File("/base/2026/12/11/12.log"), "");
  capture.Poll();
  EXPECT_NE(File("/base/2026/12/11/12.log"), "");
}

TEST_F(CaptureLoopTest, ANewBaseDirectoryRollsOverAtTheNextPoll) {
  directory.AddDirectory("/other");
  CaptureLoop& capture = Loop();
  const std::string first = MakeRecord("2026-12-11", "12", '1', 'a');
  const std::string second = MakeRecord("2026-12-11", "12", '1', 'b');
  Show(first);
  capture.ChangeBaseDirectory("/other/");
  capture.Poll();
  EXPECT_EQ(File("/base/2026/12/11/12.log"), first + "\r\n") << "closed at the rollover";
  EXPECT_EQ(File("/base/2026/12/11/12-Statistics.txt"),
            first.substr(0, 13) + ":00 Total 1 transmitted 1 not transmitted 0\r\n");
  Show(second);
  capture.CloseFiles();
  EXPECT_EQ(File("/other/2026/12/11/12.log"), second + "\r\n");
  EXPECT_EQ(capture.CurrentLogPath(), "/other//2026/12/11/12.log");
}

TEST_F(CaptureLoopTest, WriteToDiskHandsTheBufferedLinesOver) {
  CaptureLoop& capture = Loop();
  const std::string record = MakeRecord("2026-12-11", "12", '1');
  Show(record);
  EXPECT_EQ(File("/base/2026/12/11/12.log"), "");
  capture.WriteToDisk();
  EXPECT_EQ(File("/base/2026/12/11/12.log"), record + "\r\n");
  capture.WriteToDisk();
  EXPECT_EQ(directory.files["/base/2026/12/11/12.log"].writes, 1);
}

TEST_F(CaptureLoopTest, AFirstPollOfAnEmptyBlockMakesTheSecondRecordWriteAnHourChangeLine) {
  CaptureLoop& capture = Loop();
  Show("");
  Show(MakeRecord("2026-12-11", "09", '1', 'a'));
  Show(MakeRecord("2026-12-11", "09", '0', 'b'));
  Show(MakeRecord("2026-12-11", "09", '0', 'c'));
  capture.CloseFiles();
  EXPECT_EQ(File("/base/2026/12/11/09-Statistics.txt"),
            "2026-12-11 09:00 total 2 transmitted 1 not transmitted 1\r\n"
            "2026-12-11 09:00 Total 1 transmitted 0 not transmitted 1\r\n");
}

TEST_F(CaptureLoopTest, AfterTheExitSummaryNothingIsWrittenAnymore) {
  CaptureLoop& capture = Loop();
  Show(MakeRecord("2026-12-11", "12", '1', 'a'));
  capture.CloseFiles();
  const auto before = directory.files;
  Show(MakeRecord("2026-12-11", "12", '1', 'b'));
  Show(MakeRecord("2026-12-11", "12", '1', 'c'));
  capture.CloseFiles();
  EXPECT_EQ(directory.files.size(), before.size());
  for (const auto& [path, data] : before) EXPECT_EQ(directory.files[path].content, data.content);
}

TEST_F(CaptureLoopTest, HostileRecordsNeverLeaveTheBaseDirectory) {
  CaptureLoop& capture = Loop();
  const std::string suffix = " 00:00:00 hostile payload, long enough 1";
  for (std::string_view head :
       {"../../etc", "..\\..\\x", "/etc/passwd", "C:\\Windows", "./../../.", ":::::::::::"}) {
    std::string text(head);
    text += suffix;
    Show(text);
  }
  capture.CloseFiles();
  for (const auto& [path, data] : directory.files) {
    EXPECT_EQ(path.rfind("/base/", 0), 0u) << path;
    EXPECT_EQ(path.find("/../"), std::string::npos) << path;
  }
  for (const std::string& path : directory.directories) {
    EXPECT_TRUE(path == "/" || path.rfind("/base", 0) == 0) << path;
  }
}

TEST_F(CaptureLoopTest, WithoutAChannelTheThreadEndsAtOnceAndTouchesNothing) {
  CaptureLoop capture(nullptr, directory, system,
                      [this](std::string_view t) { labels.emplace_back(t); });
  capture.Start();
  capture.Stop();
  EXPECT_TRUE(labels.empty());
  EXPECT_EQ(directory.enters, 0);
  EXPECT_EQ(system.delays, 0);
}

TEST_F(CaptureLoopTest, TheThreadShowsTheLastRecordThenLogsUntilStopped) {
  const std::string last = MakeRecord("2026-12-11", "11", '1', 'l');
  const std::string record = MakeRecord("2026-12-11", "12", '1', 'n');
  block.Publish(record);
  CaptureLoop& capture = Loop(last);
  capture.Start();
  while (capture.State().lastRecord != record) std::this_thread::yield();
  capture.Stop();
  capture.CloseFiles();
  ASSERT_GE(labels.size(), 2u);
  EXPECT_EQ(labels[0], last.substr(0, 29));
  EXPECT_EQ(labels[1], record.substr(0, 30));
  EXPECT_EQ(File("/base/2026/12/11/12.log"), record + "\r\n");
}

}  // namespace
}  // namespace skein
