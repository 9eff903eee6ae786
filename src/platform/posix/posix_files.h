#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "platform/files.h"

namespace skein::platform {

// Files by full path. A replacement is a temporary file "<target>.XXXXXX" beside the target that
// is synced and renamed over it, so the target is always either the old or the new content.
class PosixFiles final : public Files {
 public:
  std::optional<std::string> ReadAll(std::string_view path) override;
  std::unique_ptr<PendingFile> Replace(std::string_view path) override;
  std::int64_t QueryFileSize(std::string_view path) override;
};

}  // namespace skein::platform
