#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace skein::platform {

// The longest folder path the folder dialog takes, without its terminating zero.
inline constexpr std::size_t kMaxFolderPathChars = 259;

// The folder the dialog starts in. The dialog finds no folder whose name ends in a backslash, so
// one is dropped, except from a drive root such as "C:\".
inline std::string InitialFolderForDialog(std::string_view folder) {
  std::string initial(folder.substr(0, kMaxFolderPathChars));
  if (initial.size() > 3 && initial.back() == '\\') initial.pop_back();
  return initial;
}

// What the dialog's choice becomes: a path that ends with a backslash, so that file names can be
// joined to it; the empty text when the entry had no file-system path.
inline std::string ChosenFolder(std::string_view path) {
  std::string chosen(path);
  if (!chosen.empty() && chosen.back() != '\\') chosen += '\\';
  return chosen;
}

}  // namespace skein::platform
