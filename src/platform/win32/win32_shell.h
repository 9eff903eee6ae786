#pragma once

#include <deque>
#include <functional>
#include <mutex>
#include <string>
#include <string_view>

#include "platform/shell.h"
#include "platform/win32/com_apartment.h"
#include "platform/win32/main_window.h"
#include "platform/win32/program_icon.h"
#include "platform/win32/tray_icon.h"
#include "platform/win32/windows_api.h"

namespace skein::platform {

// The Win32 front end: the main window with its menu and label, the tray icon, the event wait on
// the thread's message queue and the modal dialogs. Everything but SetLabelText belongs to the
// thread that created the object.
//
// The window procedure never acts on the program: it queues the ShellEvents that the messages
// stand for, and WaitForEvent hands them out oldest first, including those that came in while a
// modal dialog ran its own message loop.
class Win32Shell final : public Shell {
 public:
  // Initialises COM for the folder chooser.
  Win32Shell();
  ~Win32Shell() override;
  Win32Shell(const Win32Shell&) = delete;
  Win32Shell& operator=(const Win32Shell&) = delete;

  void BuildMainWindow() override;
  bool AddTrayIcon() override;
  void RestoreFromTray() override;
  void HideIfMinimised() override;
  // Never waits for the main thread: the text is kept and the window is told to take it, since
  // the main thread may be waiting for the capture thread at that very moment.
  void SetLabelText(std::string_view text) override;
  ShellEvent WaitForEvent(int timeoutMs) override;
  std::string ChooseFolder(std::string_view prompt, std::string_view initialFolder) override;
  void ShowMessage(std::string_view title, std::string_view text) override;
  void TearDown() override;
  void SetSessionEndHandler(std::function<void()> handler) override;

 private:
  static LRESULT CALLBACK WindowProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  LRESULT HandleMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  void ShowLatestLabelText();
  ShellEvent TakeEvent();

  ComApartment com_;
  MainWindowClass windowClass_;
  ProgramIcon programIcon_;
  HWND window_ = nullptr;
  HWND label_ = nullptr;
  TrayIcon trayIcon_;
  // Explorer broadcasts it when the taskbar was created again.
  UINT taskbarCreatedMessage_ = 0;

  std::deque<ShellEvent> events_;
  // The message just dispatched was the tray icon's and stood for no click.
  bool quietMessage_ = false;
  std::function<void()> sessionEnd_;

  // Shared with the capture thread.
  std::mutex labelMutex_;
  HWND labelOwner_ = nullptr;
  std::string labelText_;
  bool labelMessagePending_ = false;
};

}  // namespace skein::platform
