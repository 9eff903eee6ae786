#pragma once

#include <string>
#include <string_view>

namespace skein::platform {

// The folder a folder dialog opens at: `folder` without its trailing separators, the root kept.
std::string_view FolderToOpen(std::string_view folder);

// A chosen folder as the program keeps it: ending with one separator. The empty text stays empty.
std::string WithTrailingSeparator(std::string folder);

}  // namespace skein::platform
