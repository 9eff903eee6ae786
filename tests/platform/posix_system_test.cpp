#include "platform/posix/posix_system.h"

#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <thread>

#include "platform/text_viewer.h"

namespace skein::platform {
namespace {

namespace fs = std::filesystem;

// Each test gets a PATH of its own holding only the stand-in programs it writes.
class StartProgramTest : public ::testing::Test {
 protected:
  void SetUp() override {
    char pattern[] = "/tmp/skein-start-XXXXXX";
    ASSERT_NE(::mkdtemp(pattern), nullptr);
    root = pattern;
    fs::create_directory(root / "bin");
    if (const char* path = std::getenv("PATH")) savedPath = path;
    ::setenv("PATH", (root / "bin").c_str(), 1);
  }
  void TearDown() override {
    ::setenv("PATH", savedPath.c_str(), 1);
    fs::remove_all(root);
  }

  // A program that writes its argument count and arguments, one a line, to `<name>.args`, then
  // ends with `exitStatus`.
  void AddProgram(const std::string& name, int exitStatus) {
    const fs::path script = root / "bin" / name;
    std::ofstream(script) << "#!/bin/sh\nprintf '%s\\n' \"$#\" \"$@\" >\"" << (root / name).string()
                          << ".args.tmp\"\n/bin/mv \"" << (root / name).string() << ".args.tmp\" \""
                          << (root / name).string() << ".args\"\nexit " << exitStatus << "\n";
    ::chmod(script.c_str(), 0755);
  }

  // What `name` was started with; empty when it was not started within a generous wait.
  std::string ArgumentsOf(const std::string& name) {
    const fs::path written = root / (name + ".args");
    for (int i = 0; i < 1000 && !fs::exists(written); ++i) {
      std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    std::ifstream in(written, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
  }

  fs::path root;
  std::string savedPath;
  PosixSystem system;
};

TEST_F(StartProgramTest, ThePathIsOneArgumentAndNoShellSeesIt) {
  AddProgram("viewer", 0);
  const std::string path = "/base dir/it's \"quoted\"; $(touch x) *.log";
  system.StartProgram("viewer", path);
  EXPECT_EQ(ArgumentsOf("viewer"), "1\n" + path + "\n");
  EXPECT_FALSE(fs::exists("x"));
}

// The desktop's opener missing, or finding nothing to open the file with: an editor takes over.
struct OpenerCase {
  const char* name;
  int openerExitStatus;  // -1: no opener on the PATH
};

class TextViewerFallbackTest : public StartProgramTest,
                               public ::testing::WithParamInterface<OpenerCase> {};

TEST_P(TextViewerFallbackTest, TheFirstEditorOfTheListOpensTheLog) {
  if (GetParam().openerExitStatus >= 0) AddProgram(kTextViewerProgram, GetParam().openerExitStatus);
  AddProgram("mousepad", 0);
  AddProgram("leafpad", 0);
  system.StartProgram(kTextViewerProgram, "/logs/2026/12/11/12.log");
  EXPECT_EQ(ArgumentsOf("mousepad"), "1\n/logs/2026/12/11/12.log\n");
  EXPECT_FALSE(fs::exists(root / "leafpad.args")) << "only one editor is started";
}

INSTANTIATE_TEST_SUITE_P(Openers, TextViewerFallbackTest,
                         ::testing::Values(OpenerCase{"Missing", -1},
                                           OpenerCase{"NoMethodAvailable", 3},
                                           OpenerCase{"ActionFailed", 4}),
                         [](const auto& opener) { return std::string(opener.param.name); });

}  // namespace
}  // namespace skein::platform
