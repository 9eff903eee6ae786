#pragma once

#include <string>
#include <string_view>

namespace skein::platform {

// The modal folder dialog with `prompt` above the folder tree and `initialFolder` preselected when
// it exists. The chosen path ends with a backslash; a cancel, or a dialog that cannot be shown,
// gives the empty text. COM must be initialised on the calling thread.
std::string ShowFolderChooser(std::string_view prompt, std::string_view initialFolder);

}  // namespace skein::platform
