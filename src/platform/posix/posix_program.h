#pragma once

#include "platform/shell.h"

namespace skein::platform {

// Runs the whole program over `shell` with the POSIX services; the result is the exit code.
int RunPosixProgram(Shell& shell);

// Replaces this process with the program `name` that lies beside its executable, started with no
// arguments. Returns only when that program cannot be started.
void ExecSiblingProgram(const char* name);

}  // namespace skein::platform
