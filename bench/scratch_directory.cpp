#include "scratch_directory.h"

#include <stdlib.h>
#include <unistd.h>

#include <filesystem>
#include <system_error>

namespace skein::bench {

ScratchDirectory::ScratchDirectory(std::string_view parent) {
  std::string pattern = std::string(parent) + "/skein-bench.XXXXXX";
  if (::mkdtemp(pattern.data()) != nullptr) path_ = std::move(pattern);
}

ScratchDirectory::~ScratchDirectory() {
  if (path_.empty()) return;
  std::error_code ignored;
  std::filesystem::remove_all(path_, ignored);
}

void EmptyFile(const std::string& path) {
  [[maybe_unused]] const int ignored = ::truncate(path.c_str(), 0);
}

}  // namespace skein::bench
