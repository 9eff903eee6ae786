// The capture loop fed a sequence of block contents against a real directory tree: whatever the
// records hold, nothing lands outside the base directory, and every record the loop accepts is a
// line of a log file below it.
//
// Input: the last record of an earlier run, then one block content after another, each up to
// 256 bytes and ended by a backslash and any other byte ("\\" stands for one backslash), as
// FuzzedDataProvider::ConsumeRandomLengthString reads them. Seed files therefore hold one text
// per line, each line ending in a backslash.

#include <fuzzer/FuzzedDataProvider.h>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <optional>
#include <string>
#include <string_view>

#include "capture/capture_loop.h"
#include "capture/record.h"
#include "capture/record_channel.h"
#include "fakes/fake_record_block.h"
#include "fakes/fake_system.h"
#include "fuzz_check.h"
#include "platform/posix/posix_working_directory.h"

namespace skein::fuzz {
namespace {

namespace fs = std::filesystem;

constexpr std::string_view kLineEnd = "\r\n";

// root/base/ is the base directory. root/start is where the capture thread's current directory
// starts, so anything opened before the first rollover would show up there. The temporary
// directory honours TMPDIR, so a runner can keep it inside its own scratch space.
struct Sandbox {
  fs::path root;
  fs::path base;
  fs::path start;

  Sandbox() {
    std::string pattern = (fs::temp_directory_path() / "skein-fuzz-XXXXXX").string();
    Check(::mkdtemp(pattern.data()) != nullptr, "mkdtemp");
    root = pattern;
    base = root / "base";
    start = root / "start";
  }
  ~Sandbox() {
    std::error_code ignored;
    fs::remove_all(root, ignored);
  }

  void Reset() const {
    for (const fs::path& dir : {base, start}) {
      fs::remove_all(dir);
      fs::create_directory(dir);
    }
  }
};

const Sandbox& TheSandbox() {
  static const Sandbox sandbox;
  return sandbox;
}

std::string ReadFile(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// The text the loop sees for a block content: up to the first zero byte.
std::string TextOf(const std::string& content) {
  return content.substr(0, content.find('\0'));
}

// How often `line` followed by CR LF starts a line of `file`.
std::size_t LineCount(std::string_view file, std::string_view line) {
  const std::string whole = std::string(line) + std::string(kLineEnd);
  std::size_t count = 0;
  for (std::size_t at = file.find(whole); at != std::string_view::npos;
       at = file.find(whole, at + 1)) {
    const bool lineStart =
        at == 0 ||
        (at >= kLineEnd.size() && file.substr(at - kLineEnd.size(), kLineEnd.size()) == kLineEnd);
    if (lineStart) ++count;
  }
  return count;
}

// What the run left on disk: the log files' contents, after every entry was checked to lie
// below the base directory and to be what the tree may hold.
std::map<fs::path, std::string> CheckTree(const Sandbox& sandbox) {
  std::map<fs::path, std::string> logs;
  for (auto it = fs::recursive_directory_iterator(sandbox.root);
       it != fs::recursive_directory_iterator(); ++it) {
    const fs::path relative = it->path().lexically_relative(sandbox.root);
    Check(!it->is_symlink(), "a symbolic link in the tree");
    if (it->path() == sandbox.base || it->path() == sandbox.start) continue;
    Check(*relative.begin() == "base", "something was created outside the base directory");

    // base/year/month/day/file: a record is taken only once its whole day directory was
    // entered, and every field of a record is long enough to name its level.
    const int depth = it.depth();
    if (it->is_directory()) {
      Check(depth <= 3, "a directory below a day directory");
      continue;
    }
    Check(it->is_regular_file(), "neither file nor directory");
    Check(depth == 4, "a file outside a day directory");
    const std::string name = it->path().filename().string();
    if (name.ends_with(".log")) {
      logs[it->path()] = ReadFile(it->path());
    } else {
      Check(name.ends_with("-Statistics.txt"), "a file that is neither log nor statistics");
    }
  }
  return logs;
}

void Run(const std::uint8_t* data, std::size_t size) {
  const Sandbox& sandbox = TheSandbox();
  sandbox.Reset();
  FuzzedDataProvider input(data, size);

  // The records the loop must have logged, and how often; and the log bytes they make.
  std::map<std::string, std::size_t> accepted;
  std::size_t logBytes = 0;
  bool lineBreakInside = false;
  {
    testing::FakeRecordBlock block(kRecordChannelSize);
    testing::FakeSystem system;
    platform::PosixWorkingDirectory directory;
    Check(directory.Enter(sandbox.start.string()), "entering the start directory");
    CaptureLoop loop(&block, directory, system, [](std::string_view) {});

    std::string last = input.ConsumeRandomLengthString(kRecordChannelSize);
    loop.Restore(sandbox.base.string() + "/", last);
    loop.Begin();

    while (input.remaining_bytes() > 0) {
      const std::string content = input.ConsumeRandomLengthString(kRecordChannelSize);
      block.bytes.assign(kRecordChannelSize, '\0');
      block.bytes.replace(0, content.size(), content);
      const std::string text = TextOf(content);
      const bool isNew = text.size() >= kMinimumRecordLength && text != last;

      const std::optional<std::string> label = loop.Poll();
      Check(label.has_value() == isNew, "accepted what the rule rejects, or the other way");
      if (!isNew) continue;
      Check(*label == FirstChars(text, 30), "label text");
      ++accepted[text];
      logBytes += text.size() + kLineEnd.size();
      lineBreakInside = lineBreakInside || text.find(kLineEnd) != std::string::npos;
      last = text;
    }
    Check(loop.State().lastRecord == last, "the last record is not the last one logged");
    loop.CloseFiles();
  }

  const std::map<fs::path, std::string> logs = CheckTree(sandbox);
  std::size_t onDisk = 0;
  for (const auto& [path, content] : logs) onDisk += content.size();
  Check(onDisk == logBytes, "the log files hold other bytes than the accepted records");

  // A record holding CR LF is several lines of its own, and another record may match one of
  // them, so then the count is only a lower bound; the byte total above still holds.
  for (const auto& [record, times] : accepted) {
    std::size_t found = 0;
    for (const auto& [path, content] : logs) found += LineCount(content, record);
    Check(lineBreakInside ? found >= times : found == times, "an accepted record is not logged");
  }
}

}  // namespace
}  // namespace skein::fuzz

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  skein::fuzz::Run(data, size);
  return 0;
}
