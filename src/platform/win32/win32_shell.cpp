#include "platform/win32/win32_shell.h"

#include "platform/win32/folder_chooser.h"
#include "platform/win32/message_box.h"
#include "platform/win32/message_events.h"
#include "platform/win32/win32_messages.h"

namespace skein::platform {
namespace {

constexpr std::string_view kTooltip = "SkeinerWard 3.11";

static_assert(kTrayCallbackMessage == WM_APP + 1 && kLabelTextMessage == WM_APP + 2);
static_assert(message_numbers::kClose == WM_CLOSE && message_numbers::kCommand == WM_COMMAND);
static_assert(message_numbers::kLeftDown == WM_LBUTTONDOWN &&
              message_numbers::kRightDown == WM_RBUTTONDOWN &&
              message_numbers::kLeftDoubleClick == WM_LBUTTONDBLCLK &&
              message_numbers::kRightDoubleClick == WM_RBUTTONDBLCLK);

}  // namespace

Win32Shell::Win32Shell() : windowClass_(WindowProcedure) {}

Win32Shell::~Win32Shell() {
  TearDown();
}

void Win32Shell::BuildMainWindow() {
  taskbarCreatedMessage_ = ::RegisterWindowMessageA("TaskbarCreated");
  if (!windowClass_.Registered()) return;
  window_ = CreateMainWindow(this);
  if (window_ == nullptr) return;
  label_ = ::GetDlgItem(window_, LabelControlId);
  std::lock_guard lock(labelMutex_);
  labelOwner_ = window_;
  // A text set before the window existed is shown now.
  if (!labelText_.empty()) {
    labelMessagePending_ = ::PostMessageA(labelOwner_, kLabelTextMessage, 0, 0) != FALSE;
  }
}

bool Win32Shell::AddTrayIcon() {
  return trayIcon_.Add(window_, programIcon_.Get(), kTooltip);
}

void Win32Shell::RestoreFromTray() {
  if (window_ == nullptr) return;
  if (::IsZoomed(window_)) {
    ::ShowWindow(window_, SW_SHOWMAXIMIZED);
  } else if (::IsIconic(window_)) {
    ::ShowWindow(window_, SW_SHOWMINIMIZED);
  } else {
    ::ShowWindow(window_, SW_SHOWNORMAL);
  }
  ::ShowWindow(window_, SW_RESTORE);
  // Found by title, not by our own handle: with a second copy running, the window that comes to
  // the front is the first one the search finds.
  if (HWND found = ::FindWindowA(nullptr, kMainWindowTitle)) ::SetForegroundWindow(found);
}

void Win32Shell::HideIfMinimised() {
  if (window_ != nullptr && ::IsIconic(window_)) ::ShowWindow(window_, SW_HIDE);
}

void Win32Shell::SetLabelText(std::string_view text) {
  std::lock_guard lock(labelMutex_);
  labelText_.assign(text);
  // One message carries any number of changes: the window shows the latest text when it comes.
  if (labelMessagePending_ || labelOwner_ == nullptr) return;
  labelMessagePending_ = ::PostMessageA(labelOwner_, kLabelTextMessage, 0, 0) != FALSE;
}

void Win32Shell::ShowLatestLabelText() {
  std::string text;
  {
    std::lock_guard lock(labelMutex_);
    text = labelText_;
    labelMessagePending_ = false;
  }
  if (label_ != nullptr) ::SetWindowTextA(label_, text.c_str());
}

ShellEvent Win32Shell::TakeEvent() {
  const ShellEvent event = events_.front();
  events_.pop_front();
  return event;
}

ShellEvent Win32Shell::WaitForEvent(int timeoutMs) {
  if (!events_.empty()) return TakeEvent();

  MSG message;
  constexpr UINT kRemove = PM_REMOVE | PM_NOYIELD;
  bool got = ::PeekMessageA(&message, nullptr, 0, 0, kRemove) != FALSE;
  if (!got) {
    // Messages sent from other threads or processes were handled inside the peek.
    if (!events_.empty()) return TakeEvent();
    const DWORD timeout = timeoutMs < 0 ? INFINITE : static_cast<DWORD>(timeoutMs);
    ::MsgWaitForMultipleObjects(0, nullptr, FALSE, timeout, QS_ALLINPUT | QS_ALLPOSTMESSAGE);
    got = ::PeekMessageA(&message, nullptr, 0, 0, kRemove) != FALSE;
  }
  if (!got) return events_.empty() ? ShellEvent{} : TakeEvent();

  quietMessage_ = false;
  ::TranslateMessage(&message);
  ::DispatchMessageA(&message);
  if (!events_.empty()) return TakeEvent();
  return ShellEvent{quietMessage_ ? ShellEvent::Kind::None : ShellEvent::Kind::Other};
}

std::string Win32Shell::ChooseFolder(std::string_view prompt, std::string_view initialFolder) {
  return ShowFolderChooser(prompt, initialFolder);
}

void Win32Shell::ShowMessage(std::string_view title, std::string_view text) {
  ShowMessageBox(title, text);
}

void Win32Shell::TearDown() {
  trayIcon_.Remove();
  {
    // The capture thread may still be running; from here on its texts go nowhere.
    std::lock_guard lock(labelMutex_);
    labelOwner_ = nullptr;
  }
  if (window_ != nullptr) {
    HWND window = window_;
    window_ = nullptr;
    label_ = nullptr;
    ::DestroyWindow(window);
  }
}

void Win32Shell::SetSessionEndHandler(std::function<void()> handler) {
  sessionEnd_ = std::move(handler);
}

LRESULT CALLBACK Win32Shell::WindowProcedure(HWND window, UINT message, WPARAM wParam,
                                             LPARAM lParam) {
  if (message == WM_NCCREATE) {
    const auto* creation = reinterpret_cast<const CREATESTRUCTA*>(lParam);
    ::SetWindowLongPtrA(window, GWLP_USERDATA,
                        reinterpret_cast<LONG_PTR>(creation->lpCreateParams));
  }
  auto* shell = reinterpret_cast<Win32Shell*>(::GetWindowLongPtrA(window, GWLP_USERDATA));
  if (shell == nullptr) return ::DefWindowProcA(window, message, wParam, lParam);
  return shell->HandleMessage(window, message, wParam, lParam);
}

LRESULT Win32Shell::HandleMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  const MessageMeaning meaning = InterpretMessage(message, wParam, lParam);
  if (meaning.event) events_.push_back(*meaning.event);
  if (message == kTrayCallbackMessage && !meaning.event) quietMessage_ = true;
  if (meaning.consumed) return 0;

  switch (message) {
    case kLabelTextMessage:
      ShowLatestLabelText();
      return 0;
    case WM_QUERYENDSESSION:
      return TRUE;
    case WM_ENDSESSION:
      // The system may end the process as soon as this returns, so the handler runs now.
      if (wParam != FALSE && sessionEnd_) sessionEnd_();
      return 0;
    default:
      break;
  }
  if (taskbarCreatedMessage_ != 0 && message == taskbarCreatedMessage_) {
    trayIcon_.AddAgain();
    return 0;
  }
  return ::DefWindowProcA(window, message, wParam, lParam);
}

}  // namespace skein::platform
