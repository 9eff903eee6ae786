#pragma once

// <windows.h> as the backend's sources take it: no min/max macros to break std::min, and none of
// the rarely used parts, which the few files that need them include themselves.
#ifndef NOMINMAX
#define NOMINMAX
#endif
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>
