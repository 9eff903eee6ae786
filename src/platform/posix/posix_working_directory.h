#pragma once

#include <memory>
#include <string_view>

#include "platform/files.h"
#include "platform/posix/unique_fd.h"

namespace skein::platform {

// The capture thread's current directory, kept as a directory descriptor so that relative names
// resolve against it without moving the process's own current directory.
class PosixWorkingDirectory final : public WorkingDirectory {
 public:
  // Starts at the process's current directory.
  PosixWorkingDirectory();

  bool Enter(std::string_view name) override;
  bool Create(std::string_view name) override;
  std::unique_ptr<WritableFile> OpenForAppend(std::string_view name) override;

 private:
  UniqueFd current_;
};

}  // namespace skein::platform
