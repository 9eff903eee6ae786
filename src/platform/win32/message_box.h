#pragma once

#include <string_view>

namespace skein::platform {

// A modal message with one OK button and no icon; returns once the user closed it.
void ShowMessageBox(std::string_view title, std::string_view text);

}  // namespace skein::platform
