#pragma once

#include "platform/posix/unique_fd.h"

namespace skein::platform {

// SIGTERM, SIGINT and SIGHUP as the window's close request. The handler only writes a byte to a
// pipe; the event loop watches the pipe's read end and turns what it finds into one request.
// SIGPIPE is ignored, so that a reader that went away from standard output or error does not end
// the program. One object at a time: the handler writes to the pipe of the latest one.
class CloseSignals {
 public:
  // Installs the handlers.
  CloseSignals();
  ~CloseSignals();
  CloseSignals(const CloseSignals&) = delete;
  CloseSignals& operator=(const CloseSignals&) = delete;

  // Becomes readable when a close signal came in; -1 when the pipe could not be made.
  int ReadFd() const { return read_.Get(); }
  // Empties the pipe: true when at least one close signal came in since the last call.
  bool Take();

 private:
  UniqueFd read_;
  UniqueFd write_;
};

}  // namespace skein::platform
