#pragma once

namespace skein::platform {

// Whether the X display that the environment names accepts a connection. Asked before any Qt
// application object exists, because Qt aborts the process when its own attempt fails.
bool DisplayCanBeOpened();

}  // namespace skein::platform
