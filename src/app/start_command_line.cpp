#include "app/start_command_line.h"

namespace skein {

std::string StartCommandLine(std::string_view program, std::string_view argument) {
  std::string line;
  line.reserve(program.size() + argument.size() + 3);
  if (program.starts_with('"')) {
    line += program;
  } else {
    line += '"';
    line += program;
    line += '"';
  }
  if (!argument.empty()) {
    line += ' ';
    line += argument;
  }
  return line;
}

}  // namespace skein
