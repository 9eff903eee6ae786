#include "platform/posix/posix_system.h"

#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <ctime>
#include <thread>
#include <vector>

#include "platform/text_viewer.h"

extern char** environ;

namespace skein::platform {
namespace {

// Plain-text editors of the common desktops, tried in this order when the desktop's opener is
// missing or has nothing to open the log with. Only programs with a window of their own: nothing
// here may need a terminal.
constexpr std::array<const char*, 10> kFallbackEditors = {
    "gnome-text-editor", "gedit",   "kate", "kwrite", "mousepad", "pluma", "xed",
    "featherpad",        "leafpad", "geany"};

// The opener's exit statuses for "no method available" and "action failed".
bool IsNothingToOpenWith(int exitStatus) {
  return exitStatus == 3 || exitStatus == 4;
}

// Starts `program`, searched on the PATH, with `argument` as its one argument: no shell in between,
// so spaces and quotes in a path stay part of it.
bool Spawn(std::string& program, std::string& argument, pid_t& pid) {
  std::vector<char*> argv{program.data()};
  if (!argument.empty()) argv.push_back(argument.data());
  argv.push_back(nullptr);
  return ::posix_spawnp(&pid, program.c_str(), nullptr, nullptr, argv.data(), environ) == 0;
}

int WaitFor(pid_t pid) {
  int status = 0;
  while (::waitpid(pid, &status, 0) < 0) {
    if (errno != EINTR) return -1;
  }
  return status;
}

// Runs on a thread of its own: the first editor that starts, collected when it ends.
void StartFallbackEditor(std::string argument) {
  for (const char* editor : kFallbackEditors) {
    std::string name(editor);
    pid_t pid = 0;
    if (Spawn(name, argument, pid)) {
      WaitFor(pid);
      return;
    }
  }
}

}  // namespace

void PosixSystem::Delay(int milliseconds) {
  timespec remaining{milliseconds / 1000, static_cast<long>(milliseconds % 1000) * 1'000'000L};
  while (::clock_nanosleep(CLOCK_MONOTONIC, 0, &remaining, &remaining) == EINTR) {
  }
}

std::string PosixSystem::ExecutablePath() {
  std::vector<char> buffer(256);
  for (;;) {
    const ssize_t length = ::readlink("/proc/self/exe", buffer.data(), buffer.size());
    if (length < 0) return {};
    if (static_cast<std::size_t>(length) < buffer.size()) {
      return std::string(buffer.data(), static_cast<std::size_t>(length));
    }
    buffer.resize(buffer.size() * 2);
  }
}

int PosixSystem::LocalYear() {
  const std::time_t now = std::time(nullptr);
  std::tm local{};
  if (::localtime_r(&now, &local) == nullptr) return 1970;
  return local.tm_year + 1900;
}

void PosixSystem::StartProgram(std::string_view program, std::string_view argument) {
  std::string name(program);
  std::string arg(argument);
  const bool textViewer = program == kTextViewerProgram;
  pid_t pid = 0;
  if (!Spawn(name, arg, pid)) {
    if (textViewer) std::thread(StartFallbackEditor, std::move(arg)).detach();
    return;
  }
  // Not waited for by the caller; a small thread collects its exit so no zombie is left.
  std::thread([pid, textViewer, arg = std::move(arg)]() mutable {
    const int status = WaitFor(pid);
    if (textViewer && WIFEXITED(status) && IsNothingToOpenWith(WEXITSTATUS(status))) {
      StartFallbackEditor(std::move(arg));
    }
  }).detach();
}

}  // namespace skein::platform
