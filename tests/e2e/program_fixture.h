#pragma once

// A temporary program directory with its own copy of the real program, the real record channel
// cleared before and after, and ways to feed it and stop it.
#include <sys/mman.h>

#include <gtest/gtest.h>

#include <csignal>
#include <ctime>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "e2e/program_runner.h"
#include "platform/posix/shared_memory_block.h"

namespace skein::testing {

namespace fs = std::filesystem;

inline int ThisYear() {
  const std::time_t now = std::time(nullptr);
  std::tm local{};
  localtime_r(&now, &local);
  return local.tm_year + 1900;
}

inline std::string SavedSettings(const std::string& directory, const std::string& last) {
  return "[Global]\r\nApplicationName = SkeinerWard\r\nVersion = SkeinerWard 3.11 \xA9 " +
         std::to_string(ThisYear()) + "\r\n[Setting]\r\nDirectory = " + directory +
         "\r\nLast = " + last + "\r\n";
}

inline std::string Lines(const std::vector<std::string>& lines) {
  std::string text;
  for (const std::string& line : lines) text += line + "\r\n";
  return text;
}

class ProgramTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ::shm_unlink(std::string(platform::kRecordChannelName).c_str());
    char pattern[] = "/tmp/skein-e2e-XXXXXX";
    ASSERT_NE(::mkdtemp(pattern), nullptr);
    root = pattern;
    logs = root / "logs";
    fs::create_directory(logs);
    fs::copy_file(SKEIN_PROGRAM_PATH, root / "skeinerward");
    block = platform::SharedMemoryBlock::Open(platform::kRecordChannelName);
    ASSERT_NE(block, nullptr);
  }

  void TearDown() override {
    program.reset();
    block.reset();
    ::shm_unlink(std::string(platform::kRecordChannelName).c_str());
    std::error_code ignored;
    fs::remove_all(root, ignored);
  }

  fs::path SettingsFile() const { return root / "Skeinward.prefs"; }
  std::string LogsDir() const { return logs.string() + "/"; }

  void StartProgram() {
    program = std::make_unique<ChildProcess>(
        std::vector<std::string>{(root / "skeinerward").string()}, root);
    ASSERT_TRUE(program->Started());
  }

  // Ends the program the way a user would, and expects it to end cleanly.
  void StopProgram(int signal = SIGTERM) {
    program->Signal(signal);
    EXPECT_EQ(program->Wait(), 0) << ReadBytes(root / "stderr.txt");
    program.reset();
  }

  // Publishes each record through the writer tool, each held long enough for the poller.
  void Feed(const std::vector<std::string>& records, int holdMs = 100) {
    std::string input;
    for (const std::string& record : records) input += record + "\n";
    WriteBytes(root / "feed.txt", input);
    ChildProcess feed(
        {SKEIN_FEED_PATH, "--file", (root / "feed.txt").string(), "--hold", std::to_string(holdMs)},
        root);
    ASSERT_EQ(feed.Wait(), 0) << ReadBytes(root / "stderr.txt");
  }

  fs::path root;
  fs::path logs;
  std::unique_ptr<platform::SharedMemoryBlock> block;
  std::unique_ptr<ChildProcess> program;
};

}  // namespace skein::testing
