#pragma once

#include <string>
#include <string_view>

namespace skein {

// The command line that starts `program` with `argument`: the program in double quotes (unless it
// already begins with one), then a space and the argument as it is, without quotes even when it
// holds spaces. An empty argument leaves out the space too.
std::string StartCommandLine(std::string_view program, std::string_view argument);

}  // namespace skein
