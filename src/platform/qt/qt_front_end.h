#pragma once

#include <functional>

#include "platform/shell.h"

namespace skein::platform {

// Runs `program` over the desktop shell and returns its result. The close signals are caught
// before anything else is made, then the Qt application object lives around the program.
// `programName` is the only argument Qt gets: the program takes no command line, so none of Qt's
// own options reach it either.
int RunQtFrontEnd(const char* programName, const std::function<int(Shell&)>& program);

}  // namespace skein::platform
