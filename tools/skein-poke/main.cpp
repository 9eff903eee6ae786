// skein-poke: drives the running SkeinerWard window from outside, for the scenarios run under
// Wine. It does what the user, the notification area and the end of a session would do, and
// reads back what the window shows.
#include <string>
#include <string_view>
#include <vector>

#include "platform/shell.h"
#include "platform/win32/main_window.h"
#include "platform/win32/unique_handle.h"
#include "platform/win32/win32_messages.h"
#include "platform/win32/windows_api.h"
#include "poke_command.h"

namespace {

using skein::poke::PokeCommand;
using skein::poke::Verb;

constexpr int kDone = 0;
constexpr int kNotFound = 1;
constexpr int kBadArguments = 2;

using skein::platform::kMainWindowTitle;
constexpr const char* kDialogClass = "#32770";
constexpr int kMessageBoxTextId = 0xFFFF;
constexpr DWORD kPollMs = 50;
// Windows gives a program some seconds to answer the end of the session; a hung one must not
// hang the scenario.
constexpr UINT kSessionAnswerMs = 60000;
constexpr DWORD kProcessEndMs = 10000;

// Straight to the handle: the C runtime would turn LF into CR LF.
void Write(DWORD stream, std::string_view text) {
  HANDLE handle = ::GetStdHandle(stream);
  while (!text.empty()) {
    DWORD written = 0;
    if (!::WriteFile(handle, text.data(), static_cast<DWORD>(text.size()), &written, nullptr) ||
        written == 0) {
      return;
    }
    text.remove_prefix(written);
  }
}

int Fail(std::string_view why) {
  Write(STD_ERROR_HANDLE, std::string("skein-poke: ") + std::string(why) + "\n");
  return kNotFound;
}

std::string TextOf(HWND window) {
  char text[4096] = {};
  const int length = ::GetWindowTextA(window, text, sizeof text);
  return std::string(text, length > 0 ? static_cast<std::size_t>(length) : 0);
}

std::string ClassOf(HWND window) {
  char name[256] = {};
  const int length = ::GetClassNameA(window, name, sizeof name);
  return std::string(name, length > 0 ? static_cast<std::size_t>(length) : 0);
}

// Top-level windows by their exact title, byte for byte (FindWindowA ignores case).
struct Search {
  std::string_view text;
  bool dialogsOnly = false;
  HWND found = nullptr;
};

BOOL CALLBACK MatchTitle(HWND window, LPARAM data) {
  auto& search = *reinterpret_cast<Search*>(data);
  if (search.dialogsOnly && ClassOf(window) != kDialogClass) return TRUE;
  if (TextOf(window) != search.text) return TRUE;
  search.found = window;
  return FALSE;
}

HWND FindTopLevel(std::string_view title, bool dialogsOnly = false) {
  Search search{title, dialogsOnly};
  ::EnumWindows(MatchTitle, reinterpret_cast<LPARAM>(&search));
  return search.found;
}

BOOL CALLBACK MatchChildText(HWND child, LPARAM data) {
  auto& search = *reinterpret_cast<Search*>(data);
  if (TextOf(child) != search.text) return TRUE;
  search.found = child;
  return FALSE;
}

// Dialogs only: the main window's menu ids overlap the dialog button ids (2 is both IDCANCEL and
// "Quit").
BOOL CALLBACK MatchDialogShowing(HWND window, LPARAM data) {
  auto& search = *reinterpret_cast<Search*>(data);
  if (ClassOf(window) != kDialogClass) return TRUE;
  Search child{search.text};
  ::EnumChildWindows(window, MatchChildText, reinterpret_cast<LPARAM>(&child));
  if (child.found == nullptr) return TRUE;
  search.found = window;
  return FALSE;
}

HWND FindDialogShowing(std::string_view text) {
  Search search{text};
  ::EnumWindows(MatchDialogShowing, reinterpret_cast<LPARAM>(&search));
  return search.found;
}

BOOL CALLBACK FirstStaticText(HWND child, LPARAM data) {
  auto& text = *reinterpret_cast<std::string*>(data);
  if (ClassOf(child) != "Static") return TRUE;
  text = TextOf(child);
  return text.empty() ? TRUE : FALSE;
}

int WaitFor(std::string_view title, std::int64_t waitMs, bool present) {
  const ULONGLONG deadline = ::GetTickCount64() + static_cast<ULONGLONG>(waitMs);
  for (;;) {
    if ((FindTopLevel(title) != nullptr) == present) return kDone;
    if (::GetTickCount64() >= deadline) return kNotFound;
    ::Sleep(kPollMs);
  }
}

int Post(UINT message, WPARAM wParam, LPARAM lParam) {
  HWND window = ::FindWindowA(nullptr, kMainWindowTitle);
  if (window == nullptr) return Fail("no SkeinerWard window");
  if (!::PostMessageA(window, message, wParam, lParam)) return Fail("the message was refused");
  return kDone;
}

int PrintState() {
  HWND window = ::FindWindowA(nullptr, kMainWindowTitle);
  if (window == nullptr) return Fail("no SkeinerWard window");
  const auto flag = [](BOOL value) { return value ? "1" : "0"; };
  Write(STD_OUTPUT_HANDLE, std::string("visible=") + flag(::IsWindowVisible(window)) +
                               " iconic=" + flag(::IsIconic(window)) +
                               " zoomed=" + flag(::IsZoomed(window)) + "\n");
  return kDone;
}

int PrintLabel() {
  HWND window = ::FindWindowA(nullptr, kMainWindowTitle);
  if (window == nullptr) return Fail("no SkeinerWard window");
  HWND label = ::GetDlgItem(window, skein::platform::LabelControlId);
  if (label == nullptr) return Fail("the window has no label");
  Write(STD_OUTPUT_HANDLE, TextOf(label) + "\n");
  return kDone;
}

// What Windows does at the end of a session: ask, tell, and end the process once the program
// has answered.
int EndSession() {
  HWND window = ::FindWindowA(nullptr, kMainWindowTitle);
  if (window == nullptr) return Fail("no SkeinerWard window");
  DWORD processId = 0;
  ::GetWindowThreadProcessId(window, &processId);
  skein::platform::UniqueHandle process(
      ::OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE, FALSE, processId));
  if (!process.Valid()) return Fail("cannot open the program's process");

  DWORD_PTR answer = 0;
  if (!::SendMessageTimeoutA(window, WM_QUERYENDSESSION, 0, 0, SMTO_NORMAL, kSessionAnswerMs,
                             &answer)) {
    return Fail("no answer to WM_QUERYENDSESSION");
  }
  if (answer == FALSE) {
    ::SendMessageTimeoutA(window, WM_ENDSESSION, FALSE, 0, SMTO_NORMAL, kSessionAnswerMs, &answer);
    return Fail("the program refused to end the session");
  }
  if (!::SendMessageTimeoutA(window, WM_ENDSESSION, TRUE, 0, SMTO_NORMAL, kSessionAnswerMs,
                             &answer)) {
    return Fail("no answer to WM_ENDSESSION");
  }
  ::TerminateProcess(process.Get(), 0);
  if (::WaitForSingleObject(process.Get(), kProcessEndMs) != WAIT_OBJECT_0) {
    return Fail("the process did not end");
  }
  return kDone;
}

int Dismiss(std::string_view title) {
  HWND box = FindTopLevel(title, true);
  if (box == nullptr) return Fail("no such dialog");
  ::PostMessageA(box, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED),
                 reinterpret_cast<LPARAM>(::GetDlgItem(box, IDOK)));
  return kDone;
}

int DismissShowing(std::string_view text) {
  HWND dialog = FindDialogShowing(text);
  if (dialog == nullptr) return Fail("no dialog shows that text");
  ::PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED),
                 reinterpret_cast<LPARAM>(::GetDlgItem(dialog, IDCANCEL)));
  return kDone;
}

int PrintMessageText(std::string_view title) {
  HWND box = FindTopLevel(title, true);
  if (box == nullptr) return Fail("no such dialog");
  std::string text;
  if (HWND message = ::GetDlgItem(box, kMessageBoxTextId)) text = TextOf(message);
  if (text.empty()) ::EnumChildWindows(box, FirstStaticText, reinterpret_cast<LPARAM>(&text));
  Write(STD_OUTPUT_HANDLE, text + "\n");
  return kDone;
}

int Run(const PokeCommand& command) {
  switch (command.verb) {
    case Verb::WaitWindow:
      return WaitFor(command.text, command.number, true);
    case Verb::Exists:
      return FindTopLevel(command.text) != nullptr ? kDone : kNotFound;
    case Verb::WaitGone:
      return WaitFor(command.text, command.number, false);
    case Verb::Close:
      return Post(WM_CLOSE, 0, 0);
    case Verb::Menu:
      return Post(WM_COMMAND, static_cast<WPARAM>(command.number), 0);
    case Verb::Tray:
      return Post(skein::platform::kTrayCallbackMessage,
                  static_cast<WPARAM>(skein::platform::TrayIconId),
                  static_cast<LPARAM>(command.number));
    case Verb::Minimise:
      return Post(WM_SYSCOMMAND, SC_MINIMIZE, 0);
    case Verb::State:
      return PrintState();
    case Verb::Label:
      return PrintLabel();
    case Verb::EndSession:
      return EndSession();
    case Verb::Dismiss:
      return Dismiss(command.text);
    case Verb::DismissText:
      return DismissShowing(command.text);
    case Verb::MessageText:
      return PrintMessageText(command.text);
  }
  return kBadArguments;
}

}  // namespace

int main(int argc, char** argv) {
  const std::vector<std::string_view> args(argv + 1, argv + argc);
  const auto command = skein::poke::ParsePokeCommand(args);
  if (!command) {
    Write(STD_ERROR_HANDLE, skein::poke::kPokeUsage);
    return kBadArguments;
  }
  return Run(*command);
}
