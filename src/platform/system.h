#pragma once

#include <string>
#include <string_view>

namespace skein::platform {

// Process-level services that are neither files nor the window system.
class System {
 public:
  virtual ~System() = default;

  // Sleeps about `milliseconds` (on Windows with a 1 ms timer resolution for its own duration).
  virtual void Delay(int milliseconds) = 0;
  // The executable's own full path, or the empty text when it cannot be found.
  virtual std::string ExecutablePath() = 0;
  // The current local calendar year.
  virtual int LocalYear() = 0;
  // Starts `program` with `argument` as its one argument and does not wait for it.
  virtual void StartProgram(std::string_view program, std::string_view argument) = 0;
};

}  // namespace skein::platform
