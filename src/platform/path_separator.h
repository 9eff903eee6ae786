#pragma once

namespace skein::platform {

// The separator the program joins paths with and a chosen folder ends with.
#ifdef _WIN32
inline constexpr char kPathSeparator = '\\';
#else
inline constexpr char kPathSeparator = '/';
#endif

}  // namespace skein::platform
