#include "platform/posix/posix_working_directory.h"

#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>

namespace skein::platform {
namespace {

namespace fs = std::filesystem;

class PosixWorkingDirectoryTest : public ::testing::Test {
 protected:
  void SetUp() override {
    char pattern[] = "/tmp/skein-wd-XXXXXX";
    ASSERT_NE(::mkdtemp(pattern), nullptr);
    root = pattern;
  }
  void TearDown() override { fs::remove_all(root); }

  static std::string Read(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
  }

  fs::path root;
  PosixWorkingDirectory directory;
};

TEST_F(PosixWorkingDirectoryTest, RelativeNamesResolveAgainstTheDirectoryEnteredLast) {
  const fs::path processDirectory = fs::current_path();
  ASSERT_TRUE(directory.Enter(root.string()));
  EXPECT_FALSE(directory.Enter("2026"));
  EXPECT_TRUE(directory.Create("2026"));
  EXPECT_FALSE(directory.Create("2026")) << "already there";
  ASSERT_TRUE(directory.Enter("2026"));
  auto file = directory.OpenForAppend("12.log");
  ASSERT_NE(file, nullptr);
  EXPECT_TRUE(file->Write("line\r\n"));
  file.reset();
  EXPECT_EQ(Read(root / "2026" / "12.log"), "line\r\n");
  EXPECT_EQ(fs::current_path(), processDirectory) << "the process's own directory never moves";
}

TEST_F(PosixWorkingDirectoryTest, CreatingNeedsTheParent) {
  ASSERT_TRUE(directory.Enter(root.string()));
  EXPECT_FALSE(directory.Create("a/b"));
  EXPECT_FALSE(fs::exists(root / "a"));
}

TEST_F(PosixWorkingDirectoryTest, OpeningAppendsToWhatIsThere) {
  std::ofstream(root / "log.txt", std::ios::binary) << "old\r\n";
  ASSERT_TRUE(directory.Enter(root.string()));
  auto file = directory.OpenForAppend("log.txt");
  ASSERT_NE(file, nullptr);
  file->Write("new\r\n");
  file.reset();
  EXPECT_EQ(Read(root / "log.txt"), "old\r\nnew\r\n");
}

TEST_F(PosixWorkingDirectoryTest, ASecondWriterIsRefusedWhileReadersAreNot) {
  ASSERT_TRUE(directory.Enter(root.string()));
  auto first = directory.OpenForAppend("12.log");
  ASSERT_NE(first, nullptr);
  PosixWorkingDirectory other;
  ASSERT_TRUE(other.Enter(root.string()));
  EXPECT_EQ(other.OpenForAppend("12.log"), nullptr);
  first->Write("visible\r\n");
  EXPECT_EQ(Read(root / "12.log"), "visible\r\n") << "a reader still gets in";
  first.reset();
  EXPECT_NE(other.OpenForAppend("12.log"), nullptr) << "free again once closed";
}

TEST_F(PosixWorkingDirectoryTest, ADirectoryIsNoLogFile) {
  fs::create_directory(root / "12.log");
  ASSERT_TRUE(directory.Enter(root.string()));
  EXPECT_EQ(directory.OpenForAppend("12.log"), nullptr);
}

}  // namespace
}  // namespace skein::platform
