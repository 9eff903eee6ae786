#pragma once

#include <sys/types.h>

#include <chrono>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace skein::testing {

// A program started for a test, with standard input from /dev/null and its output in files.
class ChildProcess {
 public:
  ChildProcess(const std::vector<std::string>& argv, const std::filesystem::path& outputDir);
  ~ChildProcess();
  ChildProcess(const ChildProcess&) = delete;
  ChildProcess& operator=(const ChildProcess&) = delete;

  bool Started() const { return pid_ > 0; }
  void Signal(int signal) const;
  // The exit code, or nothing when it did not exit within `limit` (it is then killed) or died of
  // a signal.
  std::optional<int> Wait(std::chrono::milliseconds limit = std::chrono::seconds(30));

 private:
  pid_t pid_ = -1;
};

// Reads a whole file as bytes; empty when it is missing.
std::string ReadBytes(const std::filesystem::path& path);
void WriteBytes(const std::filesystem::path& path, const std::string& bytes);

// Waits until `path` exists; false after `limit`.
bool WaitForFile(const std::filesystem::path& path,
                 std::chrono::milliseconds limit = std::chrono::seconds(20));

// Every regular file below `root`, as paths relative to it.
std::vector<std::string> FilesBelow(const std::filesystem::path& root);

}  // namespace skein::testing
