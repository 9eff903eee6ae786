#pragma once

#include <cstddef>
#include <span>

namespace skein::platform {

// The named shared-memory block a writer publishes its latest record in. Opened once; it stays
// open until the process ends and is never resized or cleared by this program.
class RecordBlock {
 public:
  virtual ~RecordBlock() = default;

  // Copies the block's current bytes from offset 0 into `into`, never more than the block really
  // holds, and returns how many were copied. The writer may change the bytes meanwhile.
  virtual std::size_t Read(std::span<char> into) = 0;
};

}  // namespace skein::platform
