#include "app/application.h"

#include "capture/record_channel.h"

namespace skein {
namespace {
constexpr int kEventWaitMs = 1;
}  // namespace

Application::Application(PlatformServices services)
    : services_(std::move(services)), settings_(services_.files, services_.system) {}

int Application::Run() {
  StartUp();
  while (RunPass()) {
  }
  TearDown();
  return 0;
}

void Application::StartUp() {
  if (services_.openRecordChannel) {
    channel_ = services_.openRecordChannel(kRecordChannelName, kRecordChannelSize);
  }
  StoredSettings stored = settings_.Load();

  if (stored.baseDirectory.empty()) {
    std::string answer = services_.shell.ChooseFolder(kFolderPrompt, stored.baseDirectory);
    if (answer.empty()) {
      quit_ = true;
    } else {
      stored.baseDirectory = std::move(answer);
      if (!settings_.Save(stored)) {
        services_.shell.ShowMessage(kSaveErrorTitle, kSaveErrorText);
      }
    }
  }

  services_.shell.BuildMainWindow();
  platform::Shell& shell = services_.shell;
  capture_ =
      std::make_unique<CaptureLoop>(channel_.get(), services_.workingDirectory, services_.system,
                                    [&shell](std::string_view text) { shell.SetLabelText(text); });
  capture_->Restore(std::move(stored.baseDirectory), std::move(stored.lastRecord));
  capture_->Start();
  services_.shell.AddTrayIcon();
  // The system may end the process right after the session ends, without a close request.
  services_.shell.SetSessionEndHandler([this] {
    if (!quit_) CloseRequested();
  });
}

bool Application::RunPass() {
  using Kind = platform::ShellEvent::Kind;
  const platform::ShellEvent event = services_.shell.WaitForEvent(kEventWaitMs);
  if (event.kind == Kind::TrayClick) {
    if (event.trayClick == platform::TrayClick::LeftPress) services_.shell.RestoreFromTray();
  } else {
    services_.shell.HideIfMinimised();
  }
  if (event.kind == Kind::MenuCommand) RunMenuCommand(event.menuItemId);
  if (event.kind == Kind::CloseRequest) CloseRequested();
  return !quit_;
}

void Application::CloseRequested() {
  // The thread stops first, so the saved last record is the last line that reached the log.
  capture_->Stop();
  SaveSettings();
  ClosingSequence();
}

void Application::ClosingSequence() {
  capture_->Stop();
  capture_->CloseFiles();
  quit_ = true;
}

void Application::SaveSettings() {
  const CaptureState state = capture_->State();
  if (!settings_.Save({state.baseDirectory, state.lastRecord})) {
    services_.shell.ShowMessage(kSaveErrorTitle, kSaveErrorText);
  }
}

void Application::TearDown() {
  services_.shell.TearDown();
  // Whatever is still open is written out and closed as the loop goes away.
  capture_.reset();
}

}  // namespace skein
