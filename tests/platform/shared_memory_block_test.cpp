#include "platform/posix/shared_memory_block.h"

#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <array>
#include <atomic>
#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include <gtest/gtest.h>

namespace skein::platform {
namespace {

using namespace std::string_literals;

// Each test gets names of its own and removes whatever it left under them.
class SharedMemoryBlockTest : public ::testing::Test {
 protected:
  void TearDown() override {
    for (const std::string& name : names_) ::shm_unlink(name.c_str());
    for (const std::string& path : paths_) {
      ::unlink(path.c_str());
      ::rmdir(path.c_str());
    }
  }

  std::string UniqueName() {
    static std::atomic<int> counter{0};
    std::string name =
        "/skein-test-" + std::to_string(::getpid()) + "-" + std::to_string(counter.fetch_add(1));
    names_.push_back(name);
    return name;
  }

  // The file that stands for `name` under /dev/shm, for planting things that are no object.
  std::string PathOf(const std::string& name) {
    std::string path = "/dev/shm" + name;
    paths_.push_back(path);
    return path;
  }

  // Creates an object of `bytes` behind the block's back, as a writer that came first would.
  void CreateObject(const std::string& name, std::string_view bytes) {
    const int fd = ::shm_open(name.c_str(), O_RDWR | O_CREAT | O_EXCL, 0600);
    ASSERT_GE(fd, 0);
    ASSERT_EQ(::ftruncate(fd, static_cast<off_t>(bytes.size())), 0);
    ASSERT_EQ(::pwrite(fd, bytes.data(), bytes.size(), 0), static_cast<ssize_t>(bytes.size()));
    ::close(fd);
  }

  static off_t SizeOf(const std::string& name) {
    const int fd = ::shm_open(name.c_str(), O_RDONLY, 0);
    if (fd < 0) return -1;
    struct stat info {};
    const off_t size = ::fstat(fd, &info) == 0 ? info.st_size : -1;
    ::close(fd);
    return size;
  }

  static std::string ContentOf(const std::string& name) {
    const int fd = ::shm_open(name.c_str(), O_RDONLY, 0);
    if (fd < 0) return {};
    std::string content(4096, '\0');
    const ssize_t got = ::pread(fd, content.data(), content.size(), 0);
    ::close(fd);
    content.resize(got > 0 ? static_cast<std::size_t>(got) : 0);
    return content;
  }

  static void Resize(const std::string& name, off_t size) {
    const int fd = ::shm_open(name.c_str(), O_RDWR, 0);
    ASSERT_GE(fd, 0);
    ASSERT_EQ(::ftruncate(fd, size), 0);
    ::close(fd);
  }

  static std::string ReadAll(SharedMemoryBlock& block, std::size_t limit) {
    std::string into(limit, 'x');
    into.resize(block.Read(into));
    return into;
  }

 private:
  std::vector<std::string> names_;
  std::vector<std::string> paths_;
};

TEST_F(SharedMemoryBlockTest, CreatesAMissingObjectWithTheSizeInZeroBytes) {
  const std::string name = UniqueName();
  auto block = SharedMemoryBlock::Open(name);
  ASSERT_NE(block, nullptr);

  EXPECT_EQ(SizeOf(name), 256);
  EXPECT_EQ(ReadAll(*block, 1000), std::string(256, '\0'));
}

TEST_F(SharedMemoryBlockTest, ReadStopsAtTheBufferSize) {
  const std::string name = UniqueName();
  auto block = SharedMemoryBlock::Open(name);
  ASSERT_NE(block, nullptr);
  ASSERT_TRUE(block->Publish(std::string(256, 'r')));

  EXPECT_EQ(ReadAll(*block, 10), std::string(10, 'r'));
  EXPECT_EQ(ReadAll(*block, 0), "");
}

TEST_F(SharedMemoryBlockTest, OpensAnExistingObjectWithoutClearingIt) {
  const std::string name = UniqueName();
  const std::string earlier = "2026-01-02 03:04:05 held over from the writer" + "\0tail"s;
  std::string content = earlier + std::string(1000 - earlier.size(), 'z');
  CreateObject(name, content);

  auto block = SharedMemoryBlock::Open(name);
  ASSERT_NE(block, nullptr);

  EXPECT_EQ(SizeOf(name), 1000) << "an existing object is never resized";
  EXPECT_EQ(ReadAll(*block, 256), content.substr(0, 256));

  // Publishing touches the text and its end mark only, never the bytes further on.
  ASSERT_TRUE(block->Publish("abc"));
  content.replace(0, 4, "abc\0"s);
  EXPECT_EQ(ContentOf(name), content);
}

TEST_F(SharedMemoryBlockTest, AShortExistingObjectLimitsReadsAndPublishing) {
  const std::string name = UniqueName();
  CreateObject(name, "0123456789abcdef");

  auto block = SharedMemoryBlock::Open(name);
  ASSERT_NE(block, nullptr);
  EXPECT_EQ(SizeOf(name), 16);
  EXPECT_EQ(ReadAll(*block, 256), "0123456789abcdef");

  ASSERT_TRUE(block->Publish("a text much longer than sixteen bytes"));
  EXPECT_EQ(ReadAll(*block, 256), "a text much long");
  EXPECT_EQ(SizeOf(name), 16);
}

TEST_F(SharedMemoryBlockTest, SurvivesAnObjectShrunkByAnotherProcess) {
  const std::string name = UniqueName();
  auto block = SharedMemoryBlock::Open(name);
  ASSERT_NE(block, nullptr);
  ASSERT_TRUE(block->Publish(std::string(200, 'w')));

  Resize(name, 10);
  EXPECT_EQ(ReadAll(*block, 256), std::string(10, 'w'));
  // Writing through the older, longer mapping must stay inside what the object still holds.
  EXPECT_TRUE(block->Publish(std::string(100, 'n')));
  EXPECT_EQ(ReadAll(*block, 256), std::string(10, 'n'));

  Resize(name, 0);
  EXPECT_EQ(ReadAll(*block, 256), "");
  EXPECT_FALSE(block->Publish("nothing fits"));
}

TEST_F(SharedMemoryBlockTest, MapsAnObjectThatGetsItsSizeOnlyAfterTheOpen) {
  const std::string name = UniqueName();
  CreateObject(name, "");  // caught between its creator's create and size steps
  auto block = SharedMemoryBlock::Open(name);
  ASSERT_NE(block, nullptr);
  EXPECT_FALSE(block->Publish("too early"));

  Resize(name, 256);
  EXPECT_TRUE(block->Publish("in time"));
  EXPECT_EQ(ReadAll(*block, 8), "in time"s + '\0');
}

TEST_F(SharedMemoryBlockTest, TwoOpensOfOneNameShareTheBlock) {
  const std::string name = UniqueName();
  auto writer = SharedMemoryBlock::Open(name);
  auto reader = SharedMemoryBlock::Open(name);
  ASSERT_NE(writer, nullptr);
  ASSERT_NE(reader, nullptr);

  ASSERT_TRUE(writer->Publish("2026-12-31 22:00:00 #000001 first record 1"));
  EXPECT_EQ(ReadAll(*reader, 43), "2026-12-31 22:00:00 #000001 first record 1"s + '\0');
  ASSERT_TRUE(writer->Publish("2026"));
  EXPECT_EQ(ReadAll(*reader, 8),
            "2026\0"
            "12-"s);
}

struct PublishCase {
  const char* label;
  std::string text;
  std::string expectedBlockStart;  // the block's first bytes after publishing on "#" fill
};

class PublishTest : public SharedMemoryBlockTest,
                    public ::testing::WithParamInterface<PublishCase> {};

TEST_P(PublishTest, WritesTheTextAndOneZeroByteAtTheStart) {
  const std::string name = UniqueName();
  CreateObject(name, std::string(256, '#'));
  auto block = SharedMemoryBlock::Open(name);
  ASSERT_NE(block, nullptr);

  ASSERT_TRUE(block->Publish(GetParam().text));
  const std::string content = ReadAll(*block, 256);
  ASSERT_EQ(content.size(), 256u);
  const std::string& expected = GetParam().expectedBlockStart;
  EXPECT_EQ(content.substr(0, expected.size()), expected);
  EXPECT_EQ(content.find_first_not_of('#', expected.size()), std::string::npos)
      << "bytes behind the zero byte are left alone";
}

const std::string kHighBit = "\x80\xC4\xE9\xFF r\xE9sum\xE9";
const std::string kFull(256, 'f');

INSTANTIATE_TEST_SUITE_P(
    Texts, PublishTest,
    ::testing::Values(PublishCase{"Empty", "", "\0"s}, PublishCase{"Short", "hello", "hello\0"s},
                      PublishCase{"HighBitBytes", kHighBit, kHighBit + '\0'},
                      PublishCase{"OneShortOfFull", kFull.substr(1), kFull.substr(1) + '\0'},
                      PublishCase{"FillsTheBlockWithoutZero", kFull, kFull},
                      PublishCase{"CutToTheBlock", kFull + "overflow", kFull},
                      PublishCase{"EmbeddedZero", "ab\0cd"s, "ab\0cd\0"s}),
    [](const auto& each) { return std::string(each.param.label); });

TEST_F(SharedMemoryBlockTest, RefusesNamesThatAreNoPlainObjectName) {
  const std::string base = UniqueName();
  const std::vector<std::string> names = {
      "", "/", base + "/inner", base + '\0' + "hidden", "/" + std::string(300, 'n'),
  };
  for (const std::string& name : names) {
    SCOPED_TRACE(name);
    EXPECT_EQ(SharedMemoryBlock::Open(name), nullptr);
  }
  EXPECT_EQ(SizeOf(base), -1) << "a name cut at its zero byte must not be created";
}

TEST_F(SharedMemoryBlockTest, RefusesSizesNoObjectCanHave) {
  const std::string name = UniqueName();
  EXPECT_EQ(SharedMemoryBlock::Open(name, 0), nullptr);
  EXPECT_EQ(SharedMemoryBlock::Open(name, static_cast<std::size_t>(-1)), nullptr);
  EXPECT_EQ(SizeOf(name), -1) << "a failed open leaves no object behind";
}

// Whatever sits under the name that is not a shared-memory object is left alone, even for root.
TEST_F(SharedMemoryBlockTest, RefusesANameHeldByAnotherKindOfFile) {
  const std::string directory = UniqueName();
  ASSERT_EQ(::mkdir(PathOf(directory).c_str(), 0700), 0);
  EXPECT_EQ(SharedMemoryBlock::Open(directory), nullptr);

  const std::string fifo = UniqueName();
  ASSERT_EQ(::mkfifo(PathOf(fifo).c_str(), 0600), 0);
  EXPECT_EQ(SharedMemoryBlock::Open(fifo), nullptr);

  // A planted link must not lead the writer into some other file.
  const std::string target = UniqueName();
  CreateObject(target, "untouched");
  const std::string link = UniqueName();
  ASSERT_EQ(::symlink(("/dev/shm" + target).c_str(), PathOf(link).c_str()), 0);
  EXPECT_EQ(SharedMemoryBlock::Open(link), nullptr);
  EXPECT_EQ(ContentOf(target), "untouched");
}

}  // namespace
}  // namespace skein::platform
