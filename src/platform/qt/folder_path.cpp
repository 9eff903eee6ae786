#include "platform/qt/folder_path.h"

#include "platform/path_separator.h"

namespace skein::platform {

std::string_view FolderToOpen(std::string_view folder) {
  while (folder.size() > 1 && folder.back() == kPathSeparator) folder.remove_suffix(1);
  return folder;
}

std::string WithTrailingSeparator(std::string folder) {
  if (!folder.empty() && folder.back() != kPathSeparator) folder += kPathSeparator;
  return folder;
}

}  // namespace skein::platform
