#pragma once

#include <atomic>
#include <cstdio>
#include <string>
#include <string_view>

#include "platform/posix/close_signals.h"
#include "platform/shell.h"

namespace skein::platform {

// The shell without a window system: SIGTERM, SIGINT and SIGHUP are the window's close request,
// messages go to standard error, the folder chooser asks on a terminal, and the label is a
// status line when standard output is a terminal.
class HeadlessShell final : public Shell {
 public:
  // Installs the signal handlers.
  HeadlessShell();
  HeadlessShell(const HeadlessShell&) = delete;
  HeadlessShell& operator=(const HeadlessShell&) = delete;

  void BuildMainWindow() override {}
  bool AddTrayIcon() override { return false; }
  void RestoreFromTray() override {}
  void HideIfMinimised() override {}
  void SetLabelText(std::string_view text) override;
  ShellEvent WaitForEvent(int timeoutMs) override;
  std::string ChooseFolder(std::string_view prompt, std::string_view initialFolder) override;
  void ShowMessage(std::string_view title, std::string_view text) override;
  void TearDown() override;
  // Without a desktop session the close signals cover the end of the session.
  void SetSessionEndHandler(std::function<void()>) override {}

 private:
  CloseSignals closeSignals_;
  bool labelOnTerminal_ = false;
  std::atomic<bool> labelShown_{false};
};

}  // namespace skein::platform
