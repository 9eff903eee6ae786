#pragma once

#include <string>
#include <string_view>

#include "platform/system.h"

namespace skein::platform {

class PosixSystem final : public System {
 public:
  void Delay(int milliseconds) override;
  std::string ExecutablePath() override;
  int LocalYear() override;
  // When the program is the text viewer and it cannot be started, or finds nothing to open the
  // file with, the first plain-text editor on the PATH from a fixed list takes its place.
  void StartProgram(std::string_view program, std::string_view argument) override;
};

}  // namespace skein::platform
