#pragma once

#include <memory>
#include <string_view>

#include "platform/files.h"

namespace skein::platform {

// The capture thread's current directory is the process's own on Windows: it is also the
// directory "Open logfile" starts the viewer in. The main thread opens nothing by a relative name.
class Win32WorkingDirectory final : public WorkingDirectory {
 public:
  bool Enter(std::string_view name) override;
  bool Create(std::string_view name) override;
  // Opens for reading and writing with only readers shared, and puts the position at the end.
  std::unique_ptr<WritableFile> OpenForAppend(std::string_view name) override;
};

}  // namespace skein::platform
