#include "platform/posix/posix_system.h"

#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <ctime>
#include <thread>
#include <vector>

extern char** environ;

namespace skein::platform {

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
  // The path goes over as one argument, never through a shell.
  std::string name(program);
  std::string arg(argument);
  std::vector<char*> argv{name.data()};
  if (!arg.empty()) argv.push_back(arg.data());
  argv.push_back(nullptr);
  pid_t pid = 0;
  if (::posix_spawnp(&pid, name.c_str(), nullptr, nullptr, argv.data(), environ) != 0) return;
  // Not waited for by the caller; a small thread collects its exit so no zombie is left.
  std::thread([pid] { ::waitpid(pid, nullptr, 0); }).detach();
}

}  // namespace skein::platform
