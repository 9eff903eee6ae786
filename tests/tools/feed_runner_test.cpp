#include "skein-feed/feed_runner.h"

#include <sys/mman.h>
#include <unistd.h>

#include <atomic>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "platform/posix/shared_memory_block.h"
#include "skein-feed/record_generator.h"
#include "skein-feed/record_lines.h"

namespace skein::feed {
namespace {

using namespace std::string_literals;

TEST(ReadRecordLineTest, SplitsLinesAndKeepsTheirBytes) {
  struct Case {
    std::string input;
    std::vector<std::string> records;
  };
  const std::vector<Case> cases = {
      {"", {}},
      {"one\n", {"one"}},
      {"one", {"one"}},
      {"one\r\n", {"one"}},
      {"one\r", {"one"}},
      {"one\ntwo", {"one", "two"}},
      {"one\r\ntwo\r\n", {"one", "two"}},
      {"\n", {""}},
      {"\r\n\r\n", {"", ""}},
      {"a\n\nb\n", {"a", "", "b"}},
      {"in\rside\r\n", {"in\rside"}},
      {"two CRs\r\r\n", {"two CRs\r"}},
      {"  spaces  \n", {"  spaces  "}},
      {"\xE9t\xE9 \x80\xFF\r\n", {"\xE9t\xE9 \x80\xFF"}},
      {"zero\0byte\n"s, {"zero\0byte"s}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(::testing::PrintToString(c.input));
    std::istringstream in(c.input);
    std::vector<std::string> records;
    std::string record;
    while (ReadRecordLine(in, record)) records.push_back(record);
    EXPECT_EQ(records, c.records);
  }
}

// Runs the tool's body against a block and files of the test's own.
class RunFeedTest : public ::testing::Test {
 protected:
  RunFeedTest() {
    static std::atomic<int> counter{0};
    const std::string id = std::to_string(::getpid()) + "-" + std::to_string(counter.fetch_add(1));
    options_.block = "/skein-feed-test-" + id;
    options_.holdMs = 0;
    options_.print = true;
    file_ = std::filesystem::temp_directory_path() / ("skein-feed-test-" + id + ".txt");
  }

  void TearDown() override {
    ::shm_unlink(options_.block.c_str());
    std::filesystem::remove(file_);
  }

  int Run(const std::string& input = {}) {
    std::istringstream in(input);
    return RunFeed(options_, in, out_, errors_);
  }

  std::string Block() {
    auto block = platform::SharedMemoryBlock::Open(options_.block);
    if (!block) return "(no block)";
    std::string bytes(platform::kRecordBlockSize, 'x');
    bytes.resize(block->Read(bytes));
    return bytes;
  }

  void WriteFile(const std::string& bytes) { std::ofstream(file_, std::ios::binary) << bytes; }

  FeedOptions options_;
  std::filesystem::path file_;
  std::ostringstream out_;
  std::ostringstream errors_;
};

TEST_F(RunFeedTest, PublishesAndPrintsGeneratedRecords) {
  options_.source = RecordSource::Generate;
  options_.generate.count = 5;
  ASSERT_EQ(Run(), 0) << errors_.str();

  const std::vector<std::string> records = GenerateRecords(options_.generate);
  std::string printed;
  for (const std::string& record : records) printed += record + "\n";
  EXPECT_EQ(out_.str(), printed);
  EXPECT_EQ(errors_.str(), "");
  EXPECT_EQ(Block().substr(0, records.back().size() + 1), records.back() + '\0');
}

TEST_F(RunFeedTest, PublishesStandardInputLineByLineThenTheFinalText) {
  options_.source = RecordSource::Stdin;
  options_.finalText = "";
  ASSERT_EQ(Run("first\r\nsecond\n\nthe last one"), 0) << errors_.str();

  EXPECT_EQ(out_.str(), "first\nsecond\n\nthe last one\n\n");
  EXPECT_EQ(Block().substr(0, 13), "\0he last one\0"s) << "the final text clears the block";
}

TEST_F(RunFeedTest, PublishesAFileByteForByte) {
  options_.source = RecordSource::File;
  options_.file = file_.string();
  const std::string highBit = "2026-12-31 22:00:00 caf\xE9 \x80\xFF 1";
  WriteFile("short\r\n" + highBit + "\r\n");
  ASSERT_EQ(Run(), 0) << errors_.str();

  EXPECT_EQ(out_.str(), "short\n" + highBit + "\n");
  EXPECT_EQ(Block().substr(0, highBit.size() + 1), highBit + '\0');
}

TEST_F(RunFeedTest, CutsAnOverlongLineToTheBlockAndPrintsWhatWasPublished) {
  options_.source = RecordSource::Stdin;
  const std::string overlong = std::string(256, 'a') + "cut off";
  ASSERT_EQ(Run(overlong + "\n"), 0) << errors_.str();

  EXPECT_EQ(out_.str(), std::string(256, 'a') + "\n");
  EXPECT_EQ(Block(), std::string(256, 'a'));
}

TEST_F(RunFeedTest, PrintsNothingUnlessAsked) {
  options_.source = RecordSource::Stdin;
  options_.print = false;
  ASSERT_EQ(Run("2026-12-31 22:00:00 quiet record #1 padding 1\n"), 0);
  EXPECT_EQ(out_.str(), "");
  EXPECT_EQ(Block().substr(0, 10), "2026-12-31");
}

TEST_F(RunFeedTest, FailsWhenTheFileCannotBeRead) {
  options_.source = RecordSource::File;
  options_.file = file_.string();  // never written
  EXPECT_EQ(Run(), 1);
  EXPECT_NE(errors_.str().find(file_.string()), std::string::npos) << errors_.str();
  EXPECT_EQ(out_.str(), "");
  EXPECT_NE(::access(("/dev/shm" + options_.block).c_str(), F_OK), 0)
      << "no block is left behind for a run that did nothing";
}

TEST_F(RunFeedTest, FailsWhenTheBlockCannotBeOpened) {
  options_.source = RecordSource::Generate;
  options_.block = "/no/such/block";
  EXPECT_EQ(Run(), 1);
  EXPECT_NE(errors_.str().find("cannot open the shared-memory block \"/no/such/block\""),
            std::string::npos)
      << errors_.str();
  EXPECT_EQ(out_.str(), "");
}

}  // namespace
}  // namespace skein::feed
