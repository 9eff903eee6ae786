#pragma once

#include <string>
#include <string_view>

#include "platform/system.h"

namespace skein::platform {

class Win32System final : public System {
 public:
  void Delay(int milliseconds) override;
  std::string ExecutablePath() override;
  int LocalYear() override;
  // Tries a new process first, then the shell, which also finds programs registered only with
  // it; neither is waited for, and a failure of both goes unreported.
  void StartProgram(std::string_view program, std::string_view argument) override;
};

}  // namespace skein::platform
