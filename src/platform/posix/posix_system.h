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
  void StartProgram(std::string_view program, std::string_view argument) override;
};

}  // namespace skein::platform
