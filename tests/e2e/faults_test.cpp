// The real program under faults: signals at any moment, a kill and a restart, directories and
// files it cannot reach, a full disk, a hostile writer and hostile settings files.
#include <fcntl.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <atomic>
#include <random>
#include <set>
#include <thread>

#include "e2e/program_fixture.h"
#include "fakes/records.h"
#include "platform/posix/posix_working_directory.h"

namespace skein {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;
using testing::Lines;
using testing::MakeRecord;
using testing::ReadBytes;
using testing::SavedSettings;
using testing::WriteBytes;

std::vector<std::string> SplitLines(const std::string& text) {
  std::vector<std::string> lines;
  std::size_t at = 0;
  while (at < text.size()) {
    const std::size_t end = text.find("\r\n", at);
    if (end == std::string::npos) {
      lines.push_back(text.substr(at) + "<no CR LF>");
      break;
    }
    lines.push_back(text.substr(at, end - at));
    at = end + 2;
  }
  return lines;
}

class FaultTest : public testing::ProgramTest {
 protected:
  // Every line of every hourly log, in the order of the hours and of the lines.
  std::vector<std::string> LoggedLines() const {
    std::vector<std::string> lines;
    for (const std::string& file : testing::FilesBelow(logs)) {
      if (!file.ends_with(".log")) continue;
      for (std::string& line : SplitLines(ReadBytes(logs / file))) lines.push_back(std::move(line));
    }
    return lines;
  }

  // The records all summary lines count together.
  long CountedInStatistics() const {
    long total = 0;
    for (const std::string& file : testing::FilesBelow(logs)) {
      if (!file.ends_with("-Statistics.txt")) continue;
      for (const std::string& line : SplitLines(ReadBytes(logs / file))) {
        const std::size_t at = line.find("otal ");
        if (at != std::string::npos) total += std::stol(line.substr(at + 5));
      }
    }
    return total;
  }

  std::vector<std::string> Generate(int count, int perHour, const std::string& start) {
    const std::string name = "/skein-e2e-generate-" + std::to_string(::getpid());
    testing::ChildProcess feed(
        {SKEIN_FEED_PATH, "--generate", "--count", std::to_string(count), "--per-hour",
         std::to_string(perHour), "--start", start, "--hold", "0", "--block", name, "--print"},
        root);
    EXPECT_EQ(feed.Wait(), 0);
    ::shm_unlink(name.c_str());
    std::vector<std::string> records;
    std::string text = ReadBytes(root / "stdout.txt");
    fs::remove(root / "stdout.txt");
    for (std::size_t at = 0, end; (end = text.find('\n', at)) != std::string::npos; at = end + 1) {
      records.push_back(text.substr(at, end - at));
    }
    return records;
  }

  std::string LastSaved() const {
    for (const std::string& line : SplitLines(ReadBytes(SettingsFile()))) {
      if (line.rfind("Last = ", 0) == 0) return line.substr(7);
    }
    return "<none>";
  }

  // Every file below the program's directory is one of the test's own or lies below `base`.
  void ExpectNothingOutsideTheLogs(const std::string& base = "logs/",
                                   const std::string& testOwn = "") const {
    for (const std::string& file : testing::FilesBelow(root)) {
      const bool ours = file == "skeinerward" || file == "Skeinward.prefs" || file == "feed.txt" ||
                        file == "stdout.txt" || file == "stderr.txt" || file == testOwn;
      EXPECT_TRUE(ours || file.rfind(base, 0) == 0) << file;
    }
  }
};

// Whatever moment the close signal comes, the tree holds each logged record once, in order and
// whole, the summary lines count exactly the logged records, and the saved last record is the
// last line logged.
TEST_F(FaultTest, ACloseSignalAtAnyMomentLosesAndDuplicatesNothing) {
  const std::vector<std::string> records = Generate(150, 40, "2026-12-31 22");
  std::mt19937 random(::getpid());
  for (int trial = 0; trial < 6; ++trial) {
    fs::remove_all(logs);
    fs::create_directory(logs);
    WriteBytes(SettingsFile(), SavedSettings(LogsDir(), ""));
    block->Publish("");  // the last trial's record is no record of this one
    StartProgram();
    std::string input;
    for (const std::string& record : records) input += record + "\n";
    WriteBytes(root / "feed.txt", input);
    testing::ChildProcess feed(
        {SKEIN_FEED_PATH, "--file", (root / "feed.txt").string(), "--hold", "15"}, root);
    std::this_thread::sleep_for(std::chrono::milliseconds(100 + random() % 2000));
    StopProgram();
    feed.Signal(SIGKILL);

    const std::vector<std::string> logged = LoggedLines();
    std::size_t next = 0;
    for (const std::string& line : logged) {
      const auto found = std::find(records.begin() + static_cast<long>(next), records.end(), line);
      ASSERT_NE(found, records.end())
          << "trial " << trial << ": out of order, twice or torn: " << line;
      next = static_cast<std::size_t>(found - records.begin()) + 1;
    }
    EXPECT_EQ(CountedInStatistics(), static_cast<long>(logged.size())) << "trial " << trial;
    EXPECT_EQ(LastSaved(), logged.empty() ? "" : logged.back()) << "trial " << trial;
  }
}

// A kill leaves only what reached the disk; the next run appends cleanly behind it.
TEST_F(FaultTest, AKillThenARestartAppendsCleanly) {
  const std::vector<std::string> records = Generate(60, 600, "2026-06-01 10");
  WriteBytes(SettingsFile(), SavedSettings(LogsDir(), ""));
  StartProgram();
  Feed({records.begin(), records.begin() + 30}, 20);
  ASSERT_TRUE(program->Started());
  program->Signal(SIGKILL);
  EXPECT_EQ(program->Wait(), std::nullopt) << "killed";
  program.reset();

  StartProgram();
  Feed({records.begin() + 30, records.end()}, 20);
  StopProgram();
  const std::vector<std::string> logged = LoggedLines();
  const std::set<std::string> known(records.begin(), records.end());
  for (const std::string& line : logged) EXPECT_TRUE(known.contains(line)) << line;
  for (auto it = records.begin() + 31; it != records.end(); ++it) {
    EXPECT_EQ(std::count(logged.begin(), logged.end(), *it), 1) << *it;
  }
  EXPECT_EQ(LastSaved(), records.back());
}

TEST_F(FaultTest, ALineCutShortByAnEarlierRunIsEndedBeforeTheNextRecord) {
  fs::create_directories(logs / "2026/12/11");
  WriteBytes(logs / "2026/12/11/12.log", "2026-12-11 12:00:00 whole record line 1\r\n2026-12-11 1");
  WriteBytes(SettingsFile(), SavedSettings(LogsDir(), ""));
  const std::string record = MakeRecord("2026-12-11", "12", '0');
  block->Publish(record);
  StartProgram();
  ASSERT_TRUE(testing::WaitForFile(logs / "2026/12/11/12-Statistics.txt"));
  StopProgram();
  EXPECT_EQ(ReadBytes(logs / "2026/12/11/12.log"),
            "2026-12-11 12:00:00 whole record line 1\r\n2026-12-11 1\r\n" + record + "\r\n");
}

// Until the base directory can be reached the record waits in the block; then it is written
// once, in the right place, and nothing lands anywhere else meanwhile.
TEST_F(FaultTest, AnUnreachableBaseDirectoryKeepsTheRecordUntilItCanBeReached) {
  struct Case {
    const char* name;
    bool blockWithAFile;
  };
  for (const Case& c : {Case{"parent missing", false}, Case{"a file in the path", true}}) {
    const fs::path later = root / "later";
    fs::remove_all(later);
    if (c.blockWithAFile) WriteBytes(later, "a file where a directory should be");
    const std::string base = (later / "logs").string() + "/";
    WriteBytes(SettingsFile(), SavedSettings(base, ""));
    const std::string record = MakeRecord("2026-12-11", "12", '1', c.blockWithAFile ? 'f' : 'm');
    block->Publish(record);
    StartProgram();
    std::this_thread::sleep_for(300ms);
    EXPECT_FALSE(fs::is_directory(later / "logs")) << c.name;
    ExpectNothingOutsideTheLogs("logs/", "later");

    fs::remove(later);
    fs::create_directory(later);
    ASSERT_TRUE(testing::WaitForFile(later / "logs/2026/12/11/12.log")) << c.name;
    std::this_thread::sleep_for(100ms);
    StopProgram();
    EXPECT_EQ(ReadBytes(later / "logs/2026/12/11/12.log"), Lines({record})) << c.name;
    EXPECT_EQ(ReadBytes(later / "logs/2026/12/11/12-Statistics.txt"),
              Lines({record.substr(0, 16) + " Total 1 transmitted 1 not transmitted 0"}))
        << c.name;
  }
}

TEST_F(FaultTest, ALogHeldByAnotherWriterIsRetriedThenWrittenOnce) {
  fs::create_directories(logs / "2026/12/11");
  platform::PosixWorkingDirectory other;
  ASSERT_TRUE(other.Enter((logs / "2026/12/11").string()));
  auto held = other.OpenForAppend("12.log");
  ASSERT_NE(held, nullptr);

  WriteBytes(SettingsFile(), SavedSettings(LogsDir(), ""));
  const std::string record = MakeRecord("2026-12-11", "12", '0');
  block->Publish(record);
  StartProgram();
  std::this_thread::sleep_for(400ms);
  EXPECT_FALSE(fs::exists(logs / "2026/12/11/12-Statistics.txt")) << "not taken while refused";
  held.reset();
  ASSERT_TRUE(testing::WaitForFile(logs / "2026/12/11/12-Statistics.txt"));
  std::this_thread::sleep_for(100ms);
  StopProgram();
  EXPECT_EQ(ReadBytes(logs / "2026/12/11/12.log"), Lines({record}));
  EXPECT_EQ(ReadBytes(logs / "2026/12/11/12-Statistics.txt"),
            Lines({record.substr(0, 16) + " Total 1 transmitted 0 not transmitted 1"}));
}

// The logs on a small file system that fills up and then gets room again: the program keeps
// running, loses only what did not fit, and goes on with whole lines.
TEST_F(FaultTest, AFullDiskLosesOnlyWhatDidNotFitAndWritingResumes) {
  if (::mount("tmpfs", logs.c_str(), "tmpfs", 0, "size=64k") != 0) {
    GTEST_SKIP() << "this machine does not let the test mount a small file system";
  }
  struct Unmount {
    fs::path path;
    ~Unmount() { ::umount2(path.c_str(), MNT_DETACH); }
  } unmount{logs};
  // Leave about two pages: one for the statistics file, one for the log.
  WriteBytes(logs / "filler", std::string(56 * 1024, 'f'));

  const std::vector<std::string> records = Generate(200, 3600, "2026-12-11 12");
  WriteBytes(SettingsFile(), SavedSettings(LogsDir(), ""));
  StartProgram();
  Feed({records.begin(), records.begin() + 150}, 15);
  fs::remove(logs / "filler");
  Feed({records.begin() + 150, records.end()}, 15);
  StopProgram();

  const std::vector<std::string> logged = LoggedLines();
  const std::set<std::string> known(records.begin(), records.end());
  int fragments = 0;
  for (const std::string& line : logged) fragments += known.contains(line) ? 0 : 1;
  EXPECT_LE(fragments, 1) << "at most the line the disk filled in";
  EXPECT_EQ(logged.back(), records.back()) << "writing resumed";
  const long lost = static_cast<long>(records.size() + fragments - logged.size());
  EXPECT_GT(lost, 0) << "the disk did fill";
  std::printf("full disk: %zu records fed, %zu lines logged, %d fragment, %ld records lost\n",
              records.size(), logged.size(), fragments, lost);
}

// The program's own directory cannot be written: the save shows its error, logging goes on, and
// the program still ends cleanly. The program runs as an unprivileged user, since root may write
// anywhere.
TEST_F(FaultTest, AnUnwritableProgramDirectoryShowsTheErrorAndLoggingGoesOn) {
  if (::access("/usr/bin/setpriv", X_OK) != 0) GTEST_SKIP() << "setpriv is missing";
  fs::permissions(root, fs::perms::owner_all | fs::perms::group_read | fs::perms::group_exec |
                            fs::perms::others_read | fs::perms::others_exec);
  fs::permissions(logs, fs::perms::all);
  WriteBytes(SettingsFile(), SavedSettings(LogsDir(), ""));
  const std::string before = ReadBytes(SettingsFile());
  ::chmod(("/dev/shm" + std::string(platform::kRecordChannelName)).c_str(), 0666);
  const std::string record = MakeRecord("2026-12-11", "12", '1');
  block->Publish(record);

  program = std::make_unique<testing::ChildProcess>(
      std::vector<std::string>{"/usr/bin/setpriv", "--reuid=65534", "--regid=65534",
                               "--clear-groups", (root / "skeinerward").string()},
      root);
  ASSERT_TRUE(testing::WaitForFile(logs / "2026/12/11/12-Statistics.txt"));
  std::this_thread::sleep_for(100ms);
  StopProgram();
  EXPECT_EQ(ReadBytes(root / "stderr.txt"),
            "Error: Can't create ini file. Your program setting's are stored\n");
  EXPECT_EQ(ReadBytes(SettingsFile()), before);
  EXPECT_EQ(ReadBytes(logs / "2026/12/11/12.log"), Lines({record}));
}

TEST_F(FaultTest, HostileChannelContentsNeverCrashOrEscapeTheBaseDirectory) {
  WriteBytes(SettingsFile(), SavedSettings(LogsDir(), ""));
  std::mt19937 random(::getpid());
  std::string noise(256, '\0');
  for (char& c : noise) c = static_cast<char>(1 + random() % 255);
  std::string pathLike = "../:\\/..:.\\../" + std::string(200, '/');
  StartProgram();
  for (const std::string& text : {noise, pathLike, std::string(256, '.')}) {
    block->Publish(text);
    std::this_thread::sleep_for(100ms);
  }
  StopProgram();
  ExpectNothingOutsideTheLogs();
  std::vector<std::string> logged = LoggedLines();
  std::vector<std::string> expected{noise, pathLike, std::string(256, '.')};
  std::sort(logged.begin(), logged.end());
  std::sort(expected.begin(), expected.end());
  EXPECT_EQ(logged, expected) << "each once, whichever directories their fields named";
}

TEST_F(FaultTest, AShortBlockLeftByAnotherProgramIsReadWithinItsSize) {
  block.reset();
  ::shm_unlink(std::string(platform::kRecordChannelName).c_str());
  const int fd = ::shm_open(std::string(platform::kRecordChannelName).c_str(),
                            O_CREAT | O_RDWR | O_EXCL, 0600);
  ASSERT_GE(fd, 0);
  ASSERT_EQ(::ftruncate(fd, 16), 0);
  ASSERT_EQ(::write(fd, "2026-12-11 12:00", 16), 16);
  ::close(fd);
  WriteBytes(SettingsFile(), SavedSettings(LogsDir(), ""));
  StartProgram();
  std::this_thread::sleep_for(300ms);
  StopProgram();
  EXPECT_TRUE(LoggedLines().empty()) << "16 characters are no record";
  EXPECT_TRUE(fs::is_directory(logs / "2026/12/11")) << "but they name the hour";
}

// A writer replacing the block every millisecond: each logged line is one of its records, never
// the start of one joined to the end of the other.
TEST_F(FaultTest, AWriterFlappingTheBlockNeverGetsATornMixLogged) {
  const std::string x = "2026-12-11 12:00:00 " + std::string(180, 'x') + " 1";
  const std::string y = "2026-12-11 12:00:00 " + std::string(200, 'y') + " 0";
  WriteBytes(SettingsFile(), SavedSettings(LogsDir(), ""));
  StartProgram();
  std::atomic<bool> stop{false};
  std::thread writer([&] {
    auto own = platform::SharedMemoryBlock::Open(platform::kRecordChannelName);
    for (bool odd = false; !stop; odd = !odd) {
      own->Publish(odd ? x : y);
      std::this_thread::sleep_for(1ms);
    }
  });
  std::this_thread::sleep_for(2s);
  stop = true;
  writer.join();
  StopProgram();
  const std::vector<std::string> logged = LoggedLines();
  EXPECT_GT(logged.size(), 10u);
  for (const std::string& line : logged) EXPECT_TRUE(line == x || line == y) << line;
  EXPECT_EQ(CountedInStatistics(), static_cast<long>(logged.size()));
}

// Start-up completes whatever the settings file holds; a file that exists is never replaced at
// start-up, and one that names no folder ends the run without a terminal to ask on.
TEST_F(FaultTest, HostileSettingsFiles) {
  std::mt19937 random(7);
  std::string junk(64 * 1024, '\0');
  for (char& c : junk) c = static_cast<char>(random());
  struct Case {
    const char* name;
    std::string bytes;
  };
  const Case cases[] = {
      {"empty", ""},
      {"NUL bytes", std::string(4096, '\0')},
      {"binary junk", junk},
      {"a mark with invalid UTF-8", "\xEF\xBB\xBF[Setting]\r\nLast = \xC3\x28\xF0\x28\x8C\xFF\r\n"},
      {"lines without =", "[Setting]\r\nDirectory\r\nLast\r\n"},
      {"50 MB", std::string(50 << 20, 'k')},
  };
  for (const Case& c : cases) {
    WriteBytes(SettingsFile(), c.bytes);
    StartProgram();
    EXPECT_EQ(program->Wait(), 0) << c.name;
    program.reset();
    EXPECT_TRUE(ReadBytes(SettingsFile()) == c.bytes) << c.name << ": rewritten at start-up";
  }

  // Junk before a readable folder: the program runs and logs.
  WriteBytes(SettingsFile(), junk + "\r\n[Setting]\r\nDirectory = " + LogsDir() + "\r\n");
  const std::string record = MakeRecord("2026-12-11", "12", '1');
  block->Publish(record);
  StartProgram();
  ASSERT_TRUE(testing::WaitForFile(logs / "2026/12/11/12.log"));
  std::this_thread::sleep_for(100ms);
  StopProgram();
  EXPECT_EQ(ReadBytes(SettingsFile()), SavedSettings(LogsDir(), record));
}

}  // namespace
}  // namespace skein
