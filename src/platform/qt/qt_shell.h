#pragma once

#include <QObject>
#include <QPointer>
#include <QTimer>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>

#include "platform/posix/close_signals.h"
#include "platform/qt/main_window.h"
#include "platform/qt/tray_icon.h"
#include "platform/shell.h"

class QDialog;
class QLabel;
class QSocketNotifier;

namespace skein::platform {

// The desktop front end over Qt Widgets: the main window with its menu and label, the tray icon,
// the event wait and the modal dialogs. Everything but SetLabelText belongs to the thread that owns
// the application object, which must exist first.
//
// Slots never act on the program: they queue the ShellEvents that they stand for, and
// WaitForEvent hands them out oldest first, including those that came in while a modal dialog ran
// its own event loop. A close signal, the close button and a quit request of the window system are
// all the close request; the end of the desktop session runs the session-end handler at once.
class QtShell final : public Shell {
 public:
  explicit QtShell(CloseSignals& closeSignals);
  ~QtShell() override;
  QtShell(const QtShell&) = delete;
  QtShell& operator=(const QtShell&) = delete;

  void BuildMainWindow() override;
  bool AddTrayIcon() override;
  void RestoreFromTray() override;
  // Hides only while the tray icon is there to bring the window back.
  void HideIfMinimised() override;
  // Never waits for the main thread and takes no lock of the program's: the text is kept and the
  // label is told to take it, which it does in the main loop and in a modal dialog's loop alike.
  void SetLabelText(std::string_view text) override;
  // One pass of Qt's event processing that waits at most `timeoutMs` (forever when negative).
  ShellEvent WaitForEvent(int timeoutMs) override;
  std::string ChooseFolder(std::string_view prompt, std::string_view initialFolder) override;
  void ShowMessage(std::string_view title, std::string_view text) override;
  void TearDown() override;
  void SetSessionEndHandler(std::function<void()> handler) override;

  // The window once built, null before and after; for the tests.
  MainWindow* Window() const { return window_.get(); }

 private:
  // Receives the application's quit requests and holds the connections to its signals, so that
  // they end with the shell.
  class ApplicationWatch final : public QObject {
   public:
    explicit ApplicationWatch(std::function<void()> onQuit) : onQuit_(std::move(onQuit)) {}
    bool eventFilter(QObject* watched, QEvent* event) override;

   private:
    std::function<void()> onQuit_;
  };

  void Post(const ShellEvent& event);
  void TakeCloseSignals();
  void EndSession();
  int RunModal(QDialog& dialog);
  QWidget* DialogOwner() const;
  void ShowLatestLabelText();

  CloseSignals& closeSignals_;
  std::unique_ptr<QSocketNotifier> closeNotifier_;
  // Kept running, so that a pass that waits for events ends after the time-out at the latest.
  QTimer tick_;
  std::unique_ptr<MainWindow> window_;
  TrayIcon tray_;
  std::deque<ShellEvent> events_;
  QPointer<QDialog> modal_;
  std::function<void()> sessionEnd_;
  // Decided once each time the window is minimised, not in every pass.
  bool minimiseChecked_ = false;
  bool hideWhenMinimised_ = false;
  bool awaitingRestore_ = false;

  // Shared with the capture thread.
  std::mutex labelMutex_;
  QLabel* labelTarget_ = nullptr;
  std::string labelText_;
  bool labelUpdatePending_ = false;

  // Last, so that its connections go first.
  std::unique_ptr<ApplicationWatch> watch_;
};

}  // namespace skein::platform
