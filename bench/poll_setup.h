#pragma once

#include <memory>
#include <optional>
#include <string>

#include "capture/capture_loop.h"
#include "platform/posix/posix_system.h"
#include "platform/posix/posix_working_directory.h"
#include "platform/posix/shared_memory_block.h"
#include "scratch_directory.h"

namespace skein::bench {

// A capture loop on a block of its own and a log tree on /dev/shm, with the real POSIX file layer,
// made ready so that every further poll is of one kind:
//   Idle:   the block keeps the record logged last, so a poll accepts nothing;
//   Accept: each poll first publishes the other of two records of the same hour, so a poll accepts
//           a record and appends it to the open log. Publishing is a 41-byte copy into a mapping
//           of the block, as a writer does it, and adds no system call to the poll's cost.
// The first poll, which rolls over into the day directory and opens the files, happens here.
class PollSetup {
 public:
  enum class Kind { Idle, Accept };

  // Null, with a reason on standard error, when the block or the directory cannot be made.
  static std::unique_ptr<PollSetup> Create(Kind kind);
  ~PollSetup();
  PollSetup(const PollSetup&) = delete;
  PollSetup& operator=(const PollSetup&) = delete;

  // One poll of the setup's kind. The result is the loop's: a label text when it accepted.
  std::optional<std::string> Poll();
  // Empties the hour's log, so that a long run does not fill the memory.
  void EmptyLog();

 private:
  // The writer's own mapping of the block.
  struct Unmap {
    void operator()(char* view) const;
  };
  using WriterView = std::unique_ptr<char, Unmap>;

  PollSetup(Kind kind, std::string blockName, std::unique_ptr<platform::SharedMemoryBlock> block,
            WriterView writerView);
  void Publish(const std::string& record);

  Kind kind_;
  std::string blockName_;
  std::unique_ptr<platform::SharedMemoryBlock> block_;
  WriterView writerView_;
  ScratchDirectory tree_{"/dev/shm"};
  platform::PosixWorkingDirectory directory_;
  platform::PosixSystem system_;
  std::unique_ptr<CaptureLoop> loop_;
  std::string records_[2];
  int next_ = 0;
};

}  // namespace skein::bench
