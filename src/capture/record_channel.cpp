#include "capture/record_channel.h"

#include <array>
#include <cstring>

namespace skein {
namespace {

// A torn copy needs the writer to be mid-update; four copies span several microseconds, far
// longer than a writer takes to replace 256 bytes, and far shorter than a poll.
constexpr int kMaxCopies = 4;

std::string_view CopyText(platform::RecordBlock& block,
                          std::array<char, kRecordChannelSize>& into) {
  const std::size_t copied = block.Read(into);
  const void* zero = std::memchr(into.data(), 0, copied);
  const std::size_t length =
      zero ? static_cast<std::size_t>(static_cast<const char*>(zero) - into.data()) : copied;
  return {into.data(), length};
}

}  // namespace

std::optional<std::string> ReadRecordText(platform::RecordBlock& block) {
  std::array<char, kRecordChannelSize> first{};
  std::array<char, kRecordChannelSize> second{};
  std::string_view previous = CopyText(block, first);
  for (int copy = 1; copy < kMaxCopies; ++copy) {
    std::array<char, kRecordChannelSize>& into = (copy % 2 == 1) ? second : first;
    const std::string_view current = CopyText(block, into);
    if (current == previous) return std::string(current);
    previous = current;
  }
  return std::nullopt;
}

}  // namespace skein
