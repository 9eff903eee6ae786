#pragma once

#include <atomic>
#include <chrono>
#include <string>
#include <string_view>
#include <thread>
#include <utility>
#include <vector>

#include "platform/system.h"

namespace skein::testing {

class FakeSystem final : public platform::System {
 public:
  // A short real pause, so that a running capture thread does not spin.
  void Delay(int) override {
    ++delays;
    std::this_thread::sleep_for(std::chrono::microseconds(200));
  }
  std::string ExecutablePath() override { return executablePath; }
  int LocalYear() override {
    ++yearQueries;
    return year;
  }
  void StartProgram(std::string_view program, std::string_view argument) override {
    started.emplace_back(program, argument);
  }

  std::string executablePath = "/opt/skein/skeinerward";
  int year = 2026;
  int yearQueries = 0;
  std::atomic<int> delays{0};
  std::vector<std::pair<std::string, std::string>> started;
};

}  // namespace skein::testing
