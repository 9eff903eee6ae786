#include "platform/posix/posix_files.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <set>
#include <string>
#include <string_view>

namespace skein::platform {
namespace {

namespace fs = std::filesystem;
using namespace std::string_literals;
using namespace std::string_view_literals;

class PosixFilesTest : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string pattern = (fs::temp_directory_path() / "skein-files-XXXXXX").string();
    ASSERT_NE(::mkdtemp(pattern.data()), nullptr);
    dir_ = pattern;
  }
  void TearDown() override {
    std::error_code ignored;
    fs::permissions(dir_, fs::perms::owner_all, fs::perm_options::add, ignored);
    fs::remove_all(dir_, ignored);
  }

  std::string PathOf(std::string_view name) const { return (dir_ / name).string(); }

  void Put(std::string_view name, std::string_view bytes) const {
    std::ofstream out(dir_ / name, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  }

  std::string Get(std::string_view name) const {
    std::ifstream in(dir_ / name, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
  }

  std::set<std::string> Names() const {
    std::set<std::string> names;
    for (const auto& entry : fs::directory_iterator(dir_)) {
      names.insert(entry.path().filename().string());
    }
    return names;
  }

  fs::path dir_;
  PosixFiles files_;
};

TEST_F(PosixFilesTest, ReadAllGivesEveryByte) {
  std::string binary;
  for (int i = 0; i < 3 * 65536 + 17; ++i) binary += static_cast<char>(i * 7);
  const std::string_view cases[] = {""sv, "a\0b\r\nc\xFF"sv, binary};
  for (const std::string_view bytes : cases) {
    Put("f", bytes);
    const auto read = files_.ReadAll(PathOf("f"));
    ASSERT_TRUE(read.has_value());
    EXPECT_EQ(*read, bytes);
  }
}

TEST_F(PosixFilesTest, ReadAllOfNothingReadableIsNothing) {
  fs::create_directory(dir_ / "sub");
  Put("file", "x");
  EXPECT_FALSE(files_.ReadAll(PathOf("missing")).has_value());
  EXPECT_FALSE(files_.ReadAll(PathOf("sub")).has_value());
  EXPECT_FALSE(files_.ReadAll(PathOf("file") + "/below").has_value());
  EXPECT_FALSE(files_.ReadAll("").has_value());
  // A zero byte would cut the path short and name "file" instead.
  EXPECT_FALSE(files_.ReadAll(PathOf("file") + "\0.other"s).has_value());
}

TEST_F(PosixFilesTest, CommitCreatesAMissingFile) {
  auto pending = files_.Replace(PathOf("new"));
  ASSERT_NE(pending, nullptr);
  EXPECT_TRUE(pending->Commit("a\0b\r\n"sv));
  EXPECT_EQ(Get("new"), "a\0b\r\n"sv);
  EXPECT_EQ(Names(), std::set<std::string>{"new"});
}

TEST_F(PosixFilesTest, CommitReplacesTheWholeFile) {
  Put("target", std::string(10000, 'o'));
  auto pending = files_.Replace(PathOf("target"));
  ASSERT_NE(pending, nullptr);
  // Until the commit, the old content is whole and the new bytes wait in a file beside it.
  EXPECT_EQ(Get("target"), std::string(10000, 'o'));
  const std::set<std::string> during = Names();
  ASSERT_EQ(during.size(), 2u);
  for (const std::string& name : during) {
    if (name == "target") continue;
    EXPECT_TRUE(name.starts_with("target.")) << name;
    EXPECT_EQ(name.size(), std::string_view("target.XXXXXX").size()) << name;
  }
  EXPECT_TRUE(pending->Commit("short"));
  EXPECT_EQ(Get("target"), "short");
  EXPECT_EQ(Names(), std::set<std::string>{"target"});
  // A replacement is used once.
  EXPECT_FALSE(pending->Commit("again"));
  EXPECT_EQ(Get("target"), "short");
}

TEST_F(PosixFilesTest, CommitOfNothingLeavesAnEmptyFile) {
  Put("target", "old");
  auto pending = files_.Replace(PathOf("target"));
  ASSERT_NE(pending, nullptr);
  EXPECT_TRUE(pending->Commit(""));
  EXPECT_EQ(Get("target"), "");
}

TEST_F(PosixFilesTest, DroppedReplacementLeavesTheOldFile) {
  Put("target", "old");
  files_.Replace(PathOf("target")).reset();
  EXPECT_EQ(Get("target"), "old");
  EXPECT_EQ(Names(), std::set<std::string>{"target"});
}

TEST_F(PosixFilesTest, ReplacementsOfOneTargetDoNotCollide) {
  auto first = files_.Replace(PathOf("target"));
  auto second = files_.Replace(PathOf("target"));
  ASSERT_NE(first, nullptr);
  ASSERT_NE(second, nullptr);
  EXPECT_EQ(Names().size(), 2u);
  EXPECT_TRUE(second->Commit("second"));
  EXPECT_TRUE(first->Commit("first"));
  EXPECT_EQ(Get("target"), "first");
  EXPECT_EQ(Names(), std::set<std::string>{"target"});
}

TEST_F(PosixFilesTest, NewFileTakesTheUsualMode) {
  const mode_t mask = ::umask(022);
  ::umask(mask);
  auto pending = files_.Replace(PathOf("target"));
  ASSERT_NE(pending, nullptr);
  ASSERT_TRUE(pending->Commit("x"));
  struct stat info {};
  ASSERT_EQ(::stat(PathOf("target").c_str(), &info), 0);
  EXPECT_EQ(info.st_mode & 0777, 0644 & ~mask);
}

TEST_F(PosixFilesTest, FailedCommitRemovesItsTemporaryFile) {
  // A directory cannot be replaced by a file.
  fs::create_directory(dir_ / "target");
  Put("target/inside", "kept");
  auto pending = files_.Replace(PathOf("target"));
  ASSERT_NE(pending, nullptr);
  EXPECT_FALSE(pending->Commit("bytes"));
  EXPECT_EQ(Names(), std::set<std::string>{"target"});
  EXPECT_EQ(Get("target/inside"), "kept");
}

TEST_F(PosixFilesTest, ReplaceWhereNoFileCanBeMadeIsNull) {
  Put("file", "x");
  EXPECT_EQ(files_.Replace(PathOf("missing/target")), nullptr);
  EXPECT_EQ(files_.Replace(PathOf("file/target")), nullptr);
  EXPECT_EQ(files_.Replace(""), nullptr);
  EXPECT_EQ(files_.Replace(PathOf("target") + "\0x"s), nullptr);
  EXPECT_EQ(Names(), std::set<std::string>{"file"});
}

TEST_F(PosixFilesTest, ReplaceInAReadOnlyDirectoryIsNull) {
  if (::geteuid() == 0) GTEST_SKIP() << "root ignores directory permissions";
  fs::create_directory(dir_ / "locked");
  Put("locked/target", "old");
  fs::permissions(dir_ / "locked", fs::perms::owner_read | fs::perms::owner_exec);
  EXPECT_EQ(files_.Replace(PathOf("locked/target")), nullptr);
  fs::permissions(dir_ / "locked", fs::perms::owner_all);
  EXPECT_EQ(Get("locked/target"), "old");
}

TEST_F(PosixFilesTest, QueryFileSizeTellsFilesFromDirectoriesAndNothing) {
  fs::create_directory(dir_ / "sub");
  Put("empty", "");
  Put("five", "12345");
  struct Case {
    std::string path;
    std::int64_t size;
  };
  const Case cases[] = {
      {"", -1},
      {PathOf("missing"), -1},
      {PathOf("five") + "/below", -1},
      {PathOf("sub"), -2},
      {PathOf("sub") + "/", -2},
      {PathOf("sub") + "//", -2},
      {"/", -2},
      {PathOf("empty"), 0},
      {PathOf("five"), 5},
      {PathOf("five") + "/", 5},
      {PathOf("five") + "\0x"s, -1},
  };
  for (const Case& c : cases) EXPECT_EQ(files_.QueryFileSize(c.path), c.size) << c.path;
}

}  // namespace
}  // namespace skein::platform
