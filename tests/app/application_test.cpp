#include "app/application.h"

#include <gtest/gtest.h>

#include <thread>

#include "fakes/fake_record_block.h"
#include "fakes/fake_shell.h"
#include "fakes/fake_system.h"
#include "fakes/fake_working_directory.h"
#include "fakes/memory_files.h"
#include "fakes/records.h"

namespace skein {
namespace {

using Kind = platform::ShellEvent::Kind;
using testing::MakeRecord;

constexpr std::string_view kSettingsPath = "/opt/skein/Skeinward.prefs";

std::string SavedSettings(std::string_view directory, std::string_view last) {
  return "[Global]\r\nApplicationName = SkeinerWard\r\nVersion = SkeinerWard 3.11 \xA9 2026\r\n"
         "[Setting]\r\nDirectory = " +
         std::string(directory) + "\r\nLast = " + std::string(last) + "\r\n";
}

// A block that the test keeps while the application owns the channel.
class SharedBlock final : public platform::RecordBlock {
 public:
  explicit SharedBlock(testing::FakeRecordBlock& block) : block_(block) {}
  std::size_t Read(std::span<char> into) override { return block_.Read(into); }

 private:
  testing::FakeRecordBlock& block_;
};

class ApplicationTest : public ::testing::Test {
 protected:
  void SetUp() override { directory.AddDirectory("/logs"); }

  Application& App(bool withChannel = true) {
    PlatformServices::ChannelOpener opener;
    if (withChannel) {
      opener = [this](std::string_view name, std::size_t size) {
        openedName = name;
        openedSize = size;
        return std::make_unique<SharedBlock>(block);
      };
    }
    app = std::make_unique<Application>(
        PlatformServices{shell, files, system, directory, std::move(opener)});
    return *app;
  }

  void HaveSettings(std::string_view directoryValue, std::string_view last = "") {
    files.files[std::string(kSettingsPath)] = SavedSettings(directoryValue, last);
  }

  // Runs passes until the loop ends; false when it did not end within `limit` passes.
  bool RunToEnd(Application& application, int limit = 100) {
    for (int pass = 0; pass < limit; ++pass) {
      if (!application.RunPass()) {
        application.TearDown();
        return true;
      }
    }
    return false;
  }

  // Starts the program with `record` in the block and waits until the capture thread logged it.
  Application& StartWithLogged(const std::string& record) {
    block.Publish(record);
    Application& application = App();
    application.StartUp();
    WaitUntilLogged(application, record);
    return application;
  }

  void WaitUntilLogged(Application& application, const std::string& record) {
    while (application.Capture()->State().lastRecord != record) std::this_thread::yield();
  }

  const std::string& Log(const std::string& path) { return directory.files[path].content; }

  testing::FakeShell shell;
  testing::MemoryFiles files;
  testing::FakeSystem system;
  testing::FakeWorkingDirectory directory;
  testing::FakeRecordBlock block;
  std::string openedName;
  std::size_t openedSize = 0;
  std::unique_ptr<Application> app;
};

TEST_F(ApplicationTest, AFirstRunWhosePromptIsCancelledEndsAfterOnePass) {
  Application& application = App();
  EXPECT_EQ(application.Run(), 0);
  EXPECT_EQ(openedName, "KVOR_300871_140263_GATE1");
  EXPECT_EQ(openedSize, 256u);
  EXPECT_EQ(files.files[std::string(kSettingsPath)],
            "[Global]\r\nApplicationName = #app_name\r\nVersion = #version \xA9 2026\r\n"
            "[Setting]\r\nDirectory = \r\nLast = \r\n");
  EXPECT_EQ(shell.calls,
            (std::vector<std::string>{"ChooseFolder SkeinWard []", "BuildMainWindow", "AddTrayIcon",
                                      "WaitForEvent 1", "HideIfMinimised", "TearDown"}));
}

TEST_F(ApplicationTest, AFolderChosenAtTheFirstRunIsSavedBeforeTheWindowComes) {
  shell.folderAnswers = {"/logs/"};
  Application& application = App();
  application.StartUp();
  EXPECT_EQ(files.files[std::string(kSettingsPath)], SavedSettings("/logs/", ""));
  EXPECT_EQ(shell.calls.at(0), "ChooseFolder SkeinWard []");
  EXPECT_EQ(shell.calls.at(1), "BuildMainWindow");
  EXPECT_TRUE(application.RunPass()) << "the program goes on";
  application.Quit();
  application.TearDown();
}

TEST_F(ApplicationTest, ASavedDirectoryMeansNoPrompt) {
  HaveSettings("/logs/");
  Application& application = App();
  application.StartUp();
  EXPECT_EQ(shell.Count("ChooseFolder"), 0);
  shell.Push(Kind::MenuCommand, platform::MenuQuit);
  EXPECT_TRUE(RunToEnd(application));
}

TEST_F(ApplicationTest, ACloseRequestSavesTheLastRecordThenWritesTheExitLine) {
  HaveSettings("/logs/");
  const std::string record = MakeRecord("2026-12-11", "12", '1');
  Application& application = StartWithLogged(record);

  shell.Push(Kind::CloseRequest);
  EXPECT_TRUE(RunToEnd(application));
  EXPECT_EQ(files.files[std::string(kSettingsPath)], SavedSettings("/logs/", record));
  EXPECT_EQ(Log("/logs/2026/12/11/12.log"), record + "\r\n");
  EXPECT_EQ(Log("/logs/2026/12/11/12-Statistics.txt"),
            record.substr(0, 16) + " Total 1 transmitted 1 not transmitted 0\r\n");
}

TEST_F(ApplicationTest, TheEndOfTheSessionDoesWhatACloseRequestDoesBeforeReturning) {
  HaveSettings("/logs/");
  const std::string record = MakeRecord("2026-12-11", "12", '1');
  Application& application = StartWithLogged(record);

  ASSERT_TRUE(shell.sessionEnd);
  shell.sessionEnd();
  EXPECT_EQ(files.files[std::string(kSettingsPath)], SavedSettings("/logs/", record));
  EXPECT_EQ(Log("/logs/2026/12/11/12.log"), record + "\r\n");
  EXPECT_EQ(Log("/logs/2026/12/11/12-Statistics.txt"),
            record.substr(0, 16) + " Total 1 transmitted 1 not transmitted 0\r\n");
  shell.sessionEnd();
  EXPECT_EQ(files.commits, 1) << "a second end of session changes nothing";
  EXPECT_FALSE(application.RunPass());
  application.TearDown();
}

TEST_F(ApplicationTest, QuitWritesTheExitLineAndSavesNothing) {
  HaveSettings("/logs/");
  const std::string before = files.files[std::string(kSettingsPath)];
  const std::string record = MakeRecord("2026-12-11", "12", '0');
  Application& application = StartWithLogged(record);

  shell.Push(Kind::MenuCommand, platform::MenuQuit);
  EXPECT_TRUE(RunToEnd(application));
  EXPECT_EQ(files.commits, 0);
  EXPECT_EQ(files.files[std::string(kSettingsPath)], before);
  EXPECT_EQ(Log("/logs/2026/12/11/12.log"), record + "\r\n");
  EXPECT_EQ(Log("/logs/2026/12/11/12-Statistics.txt"),
            record.substr(0, 16) + " Total 1 transmitted 0 not transmitted 1\r\n");
}

TEST_F(ApplicationTest, QuitBeforeAnyRecordWritesNoFile) {
  HaveSettings("/logs/");
  Application& application = App();
  application.StartUp();
  shell.Push(Kind::MenuCommand, platform::MenuQuit);
  EXPECT_TRUE(RunToEnd(application));
  EXPECT_TRUE(directory.files.empty());
  EXPECT_EQ(files.commits, 0);
}

TEST_F(ApplicationTest, TrayClicksAndUnknownCommands) {
  HaveSettings("/logs/");
  Application& application = App(false);
  application.StartUp();
  struct Case {
    platform::ShellEvent event;
    std::string call;
  };
  const Case cases[] = {
      {{Kind::TrayClick, 0, platform::TrayClick::LeftPress}, "RestoreFromTray"},
      {{Kind::TrayClick, 0, platform::TrayClick::RightPress}, ""},
      {{Kind::TrayClick, 0, platform::TrayClick::LeftDoubleClick}, ""},
      {{Kind::TrayClick, 0, platform::TrayClick::RightDoubleClick}, ""},
      {{Kind::MenuCommand, 99, {}}, "HideIfMinimised"},
      {{Kind::Other, 0, {}}, "HideIfMinimised"},
      {{Kind::None, 0, {}}, "HideIfMinimised"},
  };
  for (const Case& c : cases) {
    shell.calls.clear();
    shell.events = {c.event};
    EXPECT_TRUE(application.RunPass());
    std::vector<std::string> expected{"WaitForEvent 1"};
    if (!c.call.empty()) expected.push_back(c.call);
    EXPECT_EQ(shell.calls, expected) << c.call;
  }
  application.Quit();
  application.TearDown();
}

TEST_F(ApplicationTest, OpenLogfileWarnsWhileTheLogIsEmptyOnDiskAndOpensItAfterWriteToDisk) {
  HaveSettings("/logs/");
  const std::string record = MakeRecord("2026-12-11", "12", '1');
  Application& application = StartWithLogged(record);

  const std::string path = "/logs//2026/12/11/12.log";
  application.RunMenuCommand(platform::MenuOpenLogfile);
  EXPECT_EQ(shell.calls.back(), "ShowMessage Warning: File " + path + " doesn't exist");
  EXPECT_TRUE(system.started.empty());

  application.RunMenuCommand(platform::MenuWriteToDisk);
  files.files[path] = Log("/logs/2026/12/11/12.log");  // what the disk now holds
  application.RunMenuCommand(platform::MenuOpenLogfile);
  ASSERT_EQ(system.started.size(), 1u);
  EXPECT_EQ(system.started[0].second, path);
  application.Quit();
  application.TearDown();
}

TEST_F(ApplicationTest, OpenLogfileWithoutAChannelNamesTheBaseDirectoryWithEmptyFields) {
  HaveSettings("/logs/");
  Application& application = App(false);
  application.StartUp();
  application.RunMenuCommand(platform::MenuOpenLogfile);
  EXPECT_EQ(shell.calls.back(), "ShowMessage Warning: File /logs///// doesn't exist");
  application.Quit();
  application.TearDown();
}

TEST_F(ApplicationTest, DirectoryCancelledChangesNothingAndChosenSavesAndRollsOver) {
  HaveSettings("/logs/");
  directory.AddDirectory("/new");
  const std::string first = MakeRecord("2026-12-11", "12", '1', 'a');
  Application& application = StartWithLogged(first);

  application.RunMenuCommand(platform::MenuDirectory);
  EXPECT_EQ(shell.calls.back(), "ChooseFolder SkeinWard [/logs/]");
  EXPECT_EQ(files.commits, 0);

  shell.folderAnswers = {"/new/"};
  application.RunMenuCommand(platform::MenuDirectory);
  EXPECT_EQ(files.files[std::string(kSettingsPath)], SavedSettings("/new/", first));
  const std::string second = MakeRecord("2026-12-11", "12", '1', 'b');
  block.Publish(second);
  WaitUntilLogged(application, second);
  application.Quit();
  application.TearDown();
  EXPECT_EQ(Log("/logs/2026/12/11/12.log"), first + "\r\n");
  EXPECT_EQ(Log("/new/2026/12/11/12.log"), second + "\r\n");
}

TEST_F(ApplicationTest, ASaveThatFailsShowsTheErrorAndTheProgramStillEnds) {
  HaveSettings("/logs/");
  files.refuseReplace = true;
  Application& application = App(false);
  application.StartUp();
  shell.Push(Kind::CloseRequest);
  EXPECT_TRUE(RunToEnd(application));
  EXPECT_EQ(
      shell.Count("ShowMessage Error: Can't create ini file. Your program setting's are stored"),
      1);
}

}  // namespace
}  // namespace skein
