#include "settings/settings_persistence.h"

#include <gtest/gtest.h>

#include <string>
#include <string_view>

#include "fakes/fake_system.h"
#include "fakes/memory_files.h"

namespace skein {
namespace {

using namespace std::string_view_literals;

TEST(ProgramDirectoryTest, KeepsEverythingUpToTheLastSeparator) {
  struct Case {
    std::string_view executable, directory;
  };
  const std::string longDirectory = "/" + std::string(300, 'd') + "/";
  const std::string longExecutable = longDirectory + "skeinerward";
  const Case cases[] = {
      {"C:\\Program Files\\Skein\\skein.exe", "C:\\Program Files\\Skein\\"},
      {"/opt/skein/skeinerward", "/opt/skein/"},
      {"C:\\mixed/dirs\\x.exe", "C:\\mixed/dirs\\"},
      {"C:/mixed\\dirs/x.exe", "C:/mixed\\dirs/"},
      {"/skeinerward", "/"},
      {"dir/", "dir/"},
      {"skeinerward", ""},
      {"", ""},
      {longExecutable, longDirectory},  // no length limit here
  };
  for (const Case& c : cases)
    EXPECT_EQ(ProgramDirectory(c.executable), c.directory) << c.executable;
}

TEST(VersionBannerTest, AppendsTheYear) {
  EXPECT_EQ(VersionBanner(kFirstRunVersionText, 2024), "#version \xA9 2024");
  EXPECT_EQ(VersionBanner(kSaveVersionText, 1999), "SkeinerWard 3.11 \xA9 1999");
}

class SettingsFileTest : public ::testing::Test {
 protected:
  SettingsFileTest() { system_.year = 2024; }

  static constexpr std::string_view kPath = "/opt/skein/Skeinward.prefs";

  std::string& OnDisk() { return files_.files[std::string(kPath)]; }

  testing::MemoryFiles files_;
  testing::FakeSystem system_;
};

constexpr std::string_view kFirstRunFile =
    "[Global]\r\n"
    "ApplicationName = #app_name\r\n"
    "Version = #version \xA9 2024\r\n"
    "[Setting]\r\n"
    "Directory = \r\n"
    "Last = \r\n";

TEST_F(SettingsFileTest, LivesBesideTheExecutable) {
  EXPECT_EQ(SettingsFile(files_, system_).Path(), kPath);
  system_.executablePath = "C:\\Skein\\skein.exe";
  EXPECT_EQ(SettingsFile(files_, system_).Path(), "C:\\Skein\\Skeinward.prefs");
  system_.executablePath = "";
  EXPECT_EQ(SettingsFile(files_, system_).Path(), "Skeinward.prefs");
}

TEST_F(SettingsFileTest, FirstRunWritesTheDefaultsAndReadsThemBack) {
  SettingsFile file(files_, system_);
  const StoredSettings loaded = file.Load();
  EXPECT_EQ(loaded.baseDirectory, "");
  EXPECT_EQ(loaded.lastRecord, "");
  EXPECT_EQ(OnDisk(), kFirstRunFile);
  EXPECT_EQ(files_.reads, 2);
}

TEST_F(SettingsFileTest, SaveWritesTheSixLines) {
  SettingsFile file(files_, system_);
  OnDisk() = kFirstRunFile;
  ASSERT_TRUE(file.Save({"C:\\Logs\\", "2024061112000000 record text \xA9 ending 1"}));
  EXPECT_EQ(OnDisk(),
            "[Global]\r\n"
            "ApplicationName = SkeinerWard\r\n"
            "Version = SkeinerWard 3.11 \xA9 2024\r\n"
            "[Setting]\r\n"
            "Directory = C:\\Logs\\\r\n"
            "Last = 2024061112000000 record text \xA9 ending 1\r\n");
}

TEST_F(SettingsFileTest, SaveOfEmptyValuesEndsTheirLinesInABlank) {
  SettingsFile file(files_, system_);
  ASSERT_TRUE(file.Save({"/data/", ""}));
  EXPECT_TRUE(OnDisk().ends_with("[Setting]\r\nDirectory = /data/\r\nLast = \r\n"));
}

TEST_F(SettingsFileTest, SaveDropsWhateverElseTheFileHeld) {
  OnDisk() = "\xEF\xBB\xBF; mine\r\n[Extra]\r\nx = 1\r\n[setting]\r\ndirectory = /old/\r\n";
  SettingsFile file(files_, system_);
  ASSERT_TRUE(file.Save({"/new/", "r"}));
  EXPECT_EQ(OnDisk(),
            "[Global]\r\nApplicationName = SkeinerWard\r\nVersion = SkeinerWard 3.11 \xA9 2024\r\n"
            "[Setting]\r\nDirectory = /new/\r\nLast = r\r\n");
}

TEST_F(SettingsFileTest, VersionTakesTheYearOfEachWrite) {
  SettingsFile file(files_, system_);
  system_.year = 2023;
  file.Load();
  EXPECT_NE(OnDisk().find("Version = #version \xA9 2023\r\n"), std::string::npos);
  ASSERT_TRUE(file.Save({"/d/", ""}));
  EXPECT_NE(OnDisk().find("Version = SkeinerWard 3.11 \xA9 2023\r\n"), std::string::npos);
  system_.year = 2025;
  ASSERT_TRUE(file.Save({"/d/", ""}));
  EXPECT_NE(OnDisk().find("Version = SkeinerWard 3.11 \xA9 2025\r\n"), std::string::npos);
  EXPECT_EQ(system_.yearQueries, 3);
}

// Hand-edited files, and files that later saves made, as start-up reads them.
TEST_F(SettingsFileTest, LoadReadsDirectoryAndLast) {
  struct Case {
    const char* name;
    std::string_view file;
    std::string_view directory, last;
  };
  const Case cases[] = {
      {"Saved",
       "[Global]\r\nApplicationName = SkeinerWard\r\n[Setting]\r\nDirectory = C:\\L\\\r\n"
       "Last = rec 1\r\n",
       "C:\\L\\", "rec 1"},
      {"OtherCaseAndBlanks", "[SETTING]\n  directory  =  /logs/  \n\tLAST=\t rec \t\n", "/logs/",
       "rec"},
      {"NoGlobalGroup", "[Setting]\r\nDirectory = /d/\r\n", "/d/", ""},
      {"KeysUnderAnotherGroup", "[Global]\r\nDirectory = /d/\r\nLast = r\r\n", "", ""},
      {"KeysBeforeAnyGroup", "Directory = /d/\r\n[Setting]\r\n", "", ""},
      {"CommentedOut", "[Setting]\r\n;Directory = /d/\r\nLast = r\r\n", "", "r"},
      {"Utf8File", "\xEF\xBB\xBF[Setting]\r\nDirectory = /d\xC3\xBC/\r\nLast = \xE2\x82\xAC\r\n",
       "/d\xFC/", "?"},
      {"LoneLfWithoutEquals", "[Setting]\nDirectory\nLast = r\n", "", "r"},
      {"Junk", "\0\xFF[Setting\r\n=\r\n\0"sv, "", ""},
  };
  for (const Case& c : cases) {
    OnDisk() = std::string(c.file);
    const StoredSettings loaded = SettingsFile(files_, system_).Load();
    EXPECT_EQ(loaded.baseDirectory, c.directory) << c.name;
    EXPECT_EQ(loaded.lastRecord, c.last) << c.name;
    EXPECT_EQ(OnDisk(), c.file) << c.name;  // reading never rewrites
  }
  EXPECT_EQ(files_.replacesStarted, 0);
}

TEST_F(SettingsFileTest, SavedValuesComeBackAsTheReaderSeesThem) {
  struct Case {
    StoredSettings saved, loaded;
  };
  const Case cases[] = {
      {{"C:\\Logs\\", "2024061112 rec 1"}, {"C:\\Logs\\", "2024061112 rec 1"}},
      {{"", ""}, {"", ""}},
      {{" /d/ ", "\t rec \t"}, {"/d/", "rec"}},
      {{"/d/", "line\r\nDirectory = /evil/"}, {"/d/", "line"}},
      {{"/d/", "cut\rhere"}, {"/d/", "cut"}},
      {{"/d\xE9/", "\xA9\xFF"}, {"/d\xE9/", "\xA9\xFF"}},
  };
  SettingsFile file(files_, system_);
  for (const Case& c : cases) {
    ASSERT_TRUE(file.Save(c.saved));
    const StoredSettings loaded = file.Load();
    EXPECT_EQ(loaded.baseDirectory, c.loaded.baseDirectory);
    EXPECT_EQ(loaded.lastRecord, c.loaded.lastRecord);
  }
}

TEST_F(SettingsFileTest, ExistingEmptyFileIsNotRewrittenAtStartUp) {
  OnDisk() = "";
  const StoredSettings loaded = SettingsFile(files_, system_).Load();
  EXPECT_EQ(loaded.baseDirectory, "");
  EXPECT_EQ(loaded.lastRecord, "");
  EXPECT_EQ(OnDisk(), "");
  EXPECT_EQ(files_.replacesStarted, 0);
}

TEST_F(SettingsFileTest, UnreadableFileIsMadeAnewButStaysUnread) {
  OnDisk() = "[Setting]\r\nDirectory = /d/\r\n";
  files_.unreadable.insert(std::string(kPath));
  const StoredSettings loaded = SettingsFile(files_, system_).Load();
  EXPECT_EQ(loaded.baseDirectory, "");
  EXPECT_EQ(loaded.lastRecord, "");
  EXPECT_EQ(OnDisk(), kFirstRunFile);
  EXPECT_EQ(files_.reads, 2);
}

TEST_F(SettingsFileTest, UnwritableDirectoryLoadsEmptyValuesSilently) {
  files_.refuseReplace = true;
  const StoredSettings loaded = SettingsFile(files_, system_).Load();
  EXPECT_EQ(loaded.baseDirectory, "");
  EXPECT_EQ(loaded.lastRecord, "");
  EXPECT_FALSE(files_.Has(kPath));
  EXPECT_EQ(files_.reads, 2);
}

TEST_F(SettingsFileTest, RefusedSaveReportsAndKeepsTheOldFile) {
  OnDisk() = "[Setting]\r\nDirectory = /old/\r\n";
  SettingsFile file(files_, system_);
  files_.refuseReplace = true;
  EXPECT_FALSE(file.Save({"/new/", "r"}));
  EXPECT_EQ(OnDisk(), "[Setting]\r\nDirectory = /old/\r\n");
}

TEST_F(SettingsFileTest, SaveThatCannotReachTheDiskReportsAndKeepsTheOldFile) {
  OnDisk() = "[Setting]\r\nDirectory = /old/\r\n";
  SettingsFile file(files_, system_);
  files_.failCommit = true;
  EXPECT_FALSE(file.Save({"/new/", "r"}));
  EXPECT_EQ(OnDisk(), "[Setting]\r\nDirectory = /old/\r\n");
  files_.failCommit = false;
  EXPECT_EQ(file.Load().baseDirectory, "/old/");
}

}  // namespace
}  // namespace skein
