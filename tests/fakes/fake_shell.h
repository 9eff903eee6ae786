#pragma once

#include <deque>
#include <mutex>
#include <string>
#include <string_view>
#include <vector>

#include "platform/shell.h"

namespace skein::testing {

// A window system driven by the test: it hands out queued events and folder answers and records
// every call in order.
class FakeShell final : public platform::Shell {
 public:
  void BuildMainWindow() override { Record("BuildMainWindow"); }
  bool AddTrayIcon() override {
    Record("AddTrayIcon");
    return true;
  }
  void RestoreFromTray() override { Record("RestoreFromTray"); }
  void HideIfMinimised() override { Record("HideIfMinimised"); }
  void SetLabelText(std::string_view text) override {
    std::lock_guard lock(mutex_);
    labels.emplace_back(text);
  }
  platform::ShellEvent WaitForEvent(int timeoutMs) override {
    Record("WaitForEvent " + std::to_string(timeoutMs));
    if (events.empty()) return {};
    const platform::ShellEvent event = events.front();
    events.pop_front();
    return event;
  }
  std::string ChooseFolder(std::string_view prompt, std::string_view initial) override {
    Record("ChooseFolder " + std::string(prompt) + " [" + std::string(initial) + "]");
    if (folderAnswers.empty()) return {};
    std::string answer = folderAnswers.front();
    folderAnswers.pop_front();
    return answer;
  }
  void ShowMessage(std::string_view title, std::string_view text) override {
    Record("ShowMessage " + std::string(title) + ": " + std::string(text));
  }
  void TearDown() override { Record("TearDown"); }
  void SetSessionEndHandler(std::function<void()> handler) override {
    sessionEnd = std::move(handler);
  }

  void Push(platform::ShellEvent::Kind kind, std::int32_t id = 0,
            platform::TrayClick click = platform::TrayClick::LeftPress) {
    events.push_back({kind, id, click});
  }
  std::vector<std::string> Labels() {
    std::lock_guard lock(mutex_);
    return labels;
  }
  int Count(std::string_view call) const {
    int n = 0;
    for (const std::string& c : calls) n += c.rfind(call, 0) == 0 ? 1 : 0;
    return n;
  }

  std::vector<std::string> calls;
  std::deque<platform::ShellEvent> events;
  std::deque<std::string> folderAnswers;
  std::function<void()> sessionEnd;

 private:
  void Record(std::string call) { calls.push_back(std::move(call)); }

  std::mutex mutex_;
  std::vector<std::string> labels;
};

}  // namespace skein::testing
