#include "platform/headless/headless_shell.h"

#include <poll.h>
#include <unistd.h>

#include <array>
#include <cerrno>

#include "platform/path_separator.h"

namespace skein::platform {
namespace {

void WriteAll(int fd, std::string_view bytes) {
  while (!bytes.empty()) {
    const ssize_t written = ::write(fd, bytes.data(), bytes.size());
    if (written < 0 && errno == EINTR) continue;
    if (written <= 0) return;
    bytes.remove_prefix(static_cast<std::size_t>(written));
  }
}

}  // namespace

HeadlessShell::HeadlessShell() : labelOnTerminal_(::isatty(STDOUT_FILENO) == 1) {}

ShellEvent HeadlessShell::WaitForEvent(int timeoutMs) {
  pollfd fd{closeSignals_.ReadFd(), POLLIN, 0};
  if (::poll(&fd, 1, timeoutMs) > 0 && closeSignals_.Take()) {
    return ShellEvent{ShellEvent::Kind::CloseRequest};
  }
  return ShellEvent{};
}

void HeadlessShell::SetLabelText(std::string_view text) {
  if (!labelOnTerminal_) return;
  std::string line = "\r\033[K";
  line += text;
  WriteAll(STDOUT_FILENO, line);
  labelShown_ = true;
}

std::string HeadlessShell::ChooseFolder(std::string_view prompt, std::string_view) {
  if (::isatty(STDIN_FILENO) != 1) return {};
  std::string question(prompt);
  question += ": ";
  WriteAll(STDOUT_FILENO, question);

  // Read one line, giving up when a close signal comes in meanwhile.
  std::string answer;
  for (;;) {
    std::array<pollfd, 2> fds{{{STDIN_FILENO, POLLIN, 0}, {closeSignals_.ReadFd(), POLLIN, 0}}};
    if (::poll(fds.data(), fds.size(), -1) < 0) {
      if (errno == EINTR) continue;
      return {};
    }
    if (fds[1].revents != 0 && closeSignals_.Take()) return {};
    if (fds[0].revents == 0) continue;
    char c = 0;
    const ssize_t got = ::read(STDIN_FILENO, &c, 1);
    if (got < 0 && errno == EINTR) continue;
    if (got <= 0) return {};
    if (c == '\n') break;
    answer += c;
  }
  if (!answer.empty() && answer.back() == '\r') answer.pop_back();
  if (answer.empty()) return {};
  if (answer.back() != kPathSeparator) answer += kPathSeparator;
  return answer;
}

void HeadlessShell::ShowMessage(std::string_view title, std::string_view text) {
  std::string line(title);
  line += ": ";
  line += text;
  line += '\n';
  WriteAll(STDERR_FILENO, line);
}

void HeadlessShell::TearDown() {
  if (labelShown_) WriteAll(STDOUT_FILENO, "\n");
}

}  // namespace skein::platform
