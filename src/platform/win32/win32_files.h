#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "platform/files.h"

namespace skein::platform {

// Files by full path. A replacement is a temporary file "<target>.XXXXXX" beside the target that
// is flushed to disk and then moved over it, so the target holds either the old or the new
// content.
class Win32Files final : public Files {
 public:
  // Opens the way the settings file always was: for reading and writing if it can, else for
  // reading alone, else for reading beside another writer.
  std::optional<std::string> ReadAll(std::string_view path) override;
  std::unique_ptr<PendingFile> Replace(std::string_view path) override;
  // Looks at no more than the first 260 characters of `path`; -2 for an existing drive too.
  std::int64_t QueryFileSize(std::string_view path) override;
};

}  // namespace skein::platform
