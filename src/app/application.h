#pragma once

#include <cstddef>
#include <functional>
#include <memory>
#include <string_view>

#include "capture/capture_loop.h"
#include "platform/files.h"
#include "platform/record_block.h"
#include "platform/shell.h"
#include "platform/system.h"
#include "settings/settings_persistence.h"

namespace skein {

// The prompt of the folder chooser, at the first run and for "Directory".
inline constexpr std::string_view kFolderPrompt = "SkeinWard";

// What a front end hands the application: one object per platform service.
struct PlatformServices {
  using ChannelOpener = std::function<std::unique_ptr<platform::RecordBlock>(std::string_view name,
                                                                             std::size_t size)>;

  platform::Shell& shell;
  platform::Files& files;
  platform::System& system;
  platform::WorkingDirectory& workingDirectory;
  ChannelOpener openRecordChannel;
};

// The program's spine: start-up in its fixed order, the event loop, the menu commands, the two
// ways out and the tear-down.
class Application {
 public:
  explicit Application(PlatformServices services);
  Application(const Application&) = delete;
  Application& operator=(const Application&) = delete;

  // Runs the whole program; the result is the process's exit code, always 0.
  int Run();

  // One pass of the event loop. False once the loop is to end.
  bool RunPass();

  // The menu commands.
  void RunMenuCommand(std::int32_t menuItemId);
  void ChooseDirectory();
  void OpenLogfile();
  void WriteToDisk();
  void Quit();

  // A close request of the window: the settings are saved, then the closing sequence runs.
  void CloseRequested();

  // Start-up up to the event loop; Run() is StartUp(), the loop and TearDown().
  void StartUp();
  void TearDown();

  const CaptureLoop* Capture() const { return capture_.get(); }

 private:
  void SaveSettings();
  void ClosingSequence();

  PlatformServices services_;
  SettingsFile settings_;
  std::unique_ptr<platform::RecordBlock> channel_;
  std::unique_ptr<CaptureLoop> capture_;
  bool quit_ = false;
};

}  // namespace skein
