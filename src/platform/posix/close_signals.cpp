#include "platform/posix/close_signals.h"

#include <fcntl.h>
#include <unistd.h>

#include <array>
#include <atomic>
#include <cerrno>
#include <csignal>

namespace skein::platform {
namespace {

constexpr std::array kCloseSignals = {SIGTERM, SIGINT, SIGHUP};

// The handler may only write to the pipe; everything else happens in the event loop.
std::atomic<int> gSignalWriteFd{-1};

extern "C" void OnCloseSignal(int) {
  const int savedErrno = errno;
  const int fd = gSignalWriteFd.load();
  if (fd >= 0) {
    const char byte = 1;
    [[maybe_unused]] const ssize_t ignored = ::write(fd, &byte, 1);
  }
  errno = savedErrno;
}

}  // namespace

CloseSignals::CloseSignals() {
  int fds[2];
  if (::pipe2(fds, O_CLOEXEC | O_NONBLOCK) == 0) {
    read_.Reset(fds[0]);
    write_.Reset(fds[1]);
  }
  gSignalWriteFd = write_.Get();
  struct sigaction action {};
  action.sa_handler = OnCloseSignal;
  sigemptyset(&action.sa_mask);
  action.sa_flags = SA_RESTART;
  for (int signal : kCloseSignals) ::sigaction(signal, &action, nullptr);
  ::signal(SIGPIPE, SIG_IGN);
}

// The handlers stay installed with nowhere to write: a late signal while the process winds down
// must not turn a clean exit into death by signal.
CloseSignals::~CloseSignals() {
  int mine = write_.Get();
  gSignalWriteFd.compare_exchange_strong(mine, -1);
}

bool CloseSignals::Take() {
  char bytes[64];
  bool any = false;
  for (;;) {
    const ssize_t got = ::read(read_.Get(), bytes, sizeof bytes);
    if (got > 0) {
      any = true;
      continue;
    }
    if (got < 0 && errno == EINTR) continue;
    return any;
  }
}

}  // namespace skein::platform
