#pragma once

#include <cstddef>
#include <memory>
#include <span>
#include <string_view>

#include "platform/record_block.h"

namespace skein::platform {

// The block the writer publishes its records in: a named mapping backed by the paging file. The
// name has no namespace prefix, so it lives among the named objects of the user's logon session.
inline constexpr std::string_view kRecordChannelName = "KVOR_300871_140263_GATE1";
inline constexpr std::size_t kRecordBlockSize = 256;

// A named file mapping, mapped whole. Every view the process makes is kept in one registry until
// the process ends, so a view stays readable by any thread for as long as the process runs.
class SharedMemoryBlock final : public RecordBlock {
 public:
  // Opens the mapping `name`, creating it with `size` zero bytes when it does not exist; an
  // existing one keeps the size its creator gave and its content. Null when the mapping cannot be
  // created or opened (another kind of object holds the name) or cannot be mapped.
  static std::unique_ptr<SharedMemoryBlock> Open(std::string_view name,
                                                 std::size_t size = kRecordBlockSize);

  ~SharedMemoryBlock() override;
  SharedMemoryBlock(const SharedMemoryBlock&) = delete;
  SharedMemoryBlock& operator=(const SharedMemoryBlock&) = delete;

  std::size_t Read(std::span<char> into) override;

  // Writes `text` at offset 0 followed by one zero byte, the way the writer does; the zero byte is
  // left out when the text fills the block, and a longer text is cut to the block. Bytes behind
  // the zero byte stay as they were.
  bool Publish(std::string_view text);

 private:
  class OwnedView;

  SharedMemoryBlock(char* view, std::size_t mapped, std::size_t size,
                    std::unique_ptr<OwnedView> owned);

  char* view_;
  std::size_t mapped_;                // the view's pages: no read goes past them
  std::size_t size_;                  // the size asked for at open; no write goes past it
  std::unique_ptr<OwnedView> owned_;  // a view the registry had no room for, released with us
};

}  // namespace skein::platform
