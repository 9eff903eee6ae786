#pragma once

namespace skein::platform {

// The program "Open logfile" starts with the log's path as its one argument.
#ifdef _WIN32
inline constexpr const char* kTextViewerProgram = "notepad";
#else
inline constexpr const char* kTextViewerProgram = "xdg-open";
#endif

}  // namespace skein::platform
