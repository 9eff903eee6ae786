#include "platform/win32/win32_system.h"

#include "app/start_command_line.h"
#include "platform/win32/unique_handle.h"
#include "platform/win32/windows_api.h"

// Not part of the lean <windows.h>.
#include <shellapi.h>
#include <timeapi.h>

namespace skein::platform {
namespace {

// Far beyond the longest path the system accepts for a module.
constexpr std::size_t kMaxModulePath = 64 * 1024;

}  // namespace

void Win32System::Delay(int milliseconds) {
  // Without the finer timer resolution a 10 ms sleep lasts up to a whole 15.6 ms tick.
  ::timeBeginPeriod(1);
  ::Sleep(milliseconds > 0 ? static_cast<DWORD>(milliseconds) : 0);
  ::timeEndPeriod(1);
}

std::string Win32System::ExecutablePath() {
  // Room for 255 characters first; a path that does not fit is fetched again, whole.
  std::string path(255, '\0');
  for (;;) {
    const DWORD length =
        ::GetModuleFileNameA(nullptr, path.data(), static_cast<DWORD>(path.size()));
    if (length == 0) return {};
    if (length < path.size()) {
      path.resize(length);
      return path;
    }
    if (path.size() >= kMaxModulePath) return {};
    path.resize(path.size() * 2);
  }
}

int Win32System::LocalYear() {
  SYSTEMTIME now{};
  ::GetLocalTime(&now);
  return now.wYear;
}

void Win32System::StartProgram(std::string_view program, std::string_view argument) {
  // A zero byte would cut the command short and start something else.
  if (program.empty() || program.find('\0') != std::string_view::npos ||
      argument.find('\0') != std::string_view::npos) {
    return;
  }

  // No application name: the system searches for the program the way a command prompt would.
  std::string commandLine = StartCommandLine(program, argument);
  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESHOWWINDOW;
  startup.wShowWindow = SW_SHOWNORMAL;
  PROCESS_INFORMATION started{};
  if (::CreateProcessA(nullptr, commandLine.data(), nullptr, nullptr, FALSE, NORMAL_PRIORITY_CLASS,
                       nullptr, nullptr, &startup, &started)) {
    UniqueHandle process(started.hProcess);
    UniqueHandle thread(started.hThread);
    return;
  }

  const std::string file(program);
  const std::string parameters(argument);
  SHELLEXECUTEINFOA shell{};
  shell.cbSize = sizeof shell;
  // NO_UI: a start that fails shows nothing, as a failed new process does.
  shell.fMask = SEE_MASK_NOCLOSEPROCESS | SEE_MASK_FLAG_NO_UI;
  shell.lpFile = file.c_str();
  shell.lpParameters = parameters.empty() ? nullptr : parameters.c_str();
  shell.nShow = SW_SHOWNORMAL;
  if (::ShellExecuteExA(&shell)) {
    UniqueHandle process(shell.hProcess);
  }
}

}  // namespace skein::platform
