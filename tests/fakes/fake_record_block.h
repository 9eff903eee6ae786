#pragma once

#include <algorithm>
#include <cstring>
#include <deque>
#include <mutex>
#include <string>
#include <string_view>

#include "platform/record_block.h"

namespace skein::testing {

// A block whose bytes the test sets, from any thread. Queued contents are handed out one per read
// first, to act out a writer that changes the block between two copies.
class FakeRecordBlock final : public platform::RecordBlock {
 public:
  explicit FakeRecordBlock(std::size_t size = 256) : bytes(size, '\0') {}

  // The writer's way: the text at offset 0, then one zero byte when there is room.
  void Publish(std::string_view text) {
    std::lock_guard lock(mutex_);
    const std::size_t n = std::min(text.size(), bytes.size());
    std::memcpy(bytes.data(), text.data(), n);
    if (n < bytes.size()) bytes[n] = '\0';
  }

  std::size_t Read(std::span<char> into) override {
    std::lock_guard lock(mutex_);
    ++reads;
    std::string_view source = bytes;
    if (!queued.empty()) {
      current = queued.front();
      queued.pop_front();
      source = current;
    }
    const std::size_t n = std::min(into.size(), source.size());
    std::memcpy(into.data(), source.data(), n);
    return n;
  }

  std::string bytes;
  std::deque<std::string> queued;
  int reads = 0;

 private:
  std::mutex mutex_;
  std::string current;
};

}  // namespace skein::testing
