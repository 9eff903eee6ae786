#pragma once

#include <cstddef>
#include <memory>
#include <span>
#include <string_view>

#include "platform/record_block.h"

namespace skein::platform {

// The block the writer publishes its records in, as a POSIX shared-memory object (it shows up as
// /dev/shm/KVOR_300871_140263_GATE1).
inline constexpr std::string_view kRecordChannelName = "/KVOR_300871_140263_GATE1";
inline constexpr std::size_t kRecordBlockSize = 256;

// A named POSIX shared-memory object. Reads go through the descriptor, so an object that is
// shorter than expected, or that another process shrinks while we hold it, only gives fewer bytes.
// The writer side publishes through a shared mapping with a plain copy, as a real writer does.
class SharedMemoryBlock final : public RecordBlock {
 public:
  // Opens the object `name` read/write, creating it with `size` zero bytes when it does not exist.
  // An existing object keeps its size and content. Null on any failure, including a name that is
  // not a plain object name or one that belongs to something other than a shared-memory object.
  static std::unique_ptr<SharedMemoryBlock> Open(std::string_view name,
                                                 std::size_t size = kRecordBlockSize);

  ~SharedMemoryBlock() override;
  SharedMemoryBlock(const SharedMemoryBlock&) = delete;
  SharedMemoryBlock& operator=(const SharedMemoryBlock&) = delete;

  std::size_t Read(std::span<char> into) override;

  // Writes `text` at offset 0 followed by one zero byte, the way the writer does; the zero byte is
  // left out when the text fills the block, and a longer text is cut to the block. Bytes behind
  // the zero byte stay as they were. False when the block cannot be mapped.
  bool Publish(std::string_view text);

 private:
  SharedMemoryBlock(int descriptor, std::size_t size);
  bool EnsureMapped();

  int descriptor_;
  std::size_t size_;  // the size asked for at open; the mapping never exceeds it
  void* view_ = nullptr;
  std::size_t viewSize_ = 0;
};

}  // namespace skein::platform
