#include "platform/posix/posix_program.h"

#include <unistd.h>

#include <string>

#include "app/application.h"
#include "platform/posix/posix_files.h"
#include "platform/posix/posix_system.h"
#include "platform/posix/posix_working_directory.h"
#include "platform/posix/shared_memory_block.h"

namespace skein::platform {

int RunPosixProgram(Shell& shell) {
  PosixFiles files;
  PosixSystem system;
  PosixWorkingDirectory workingDirectory;
  Application application(
      {shell, files, system, workingDirectory, [](std::string_view name, std::size_t size) {
         return std::unique_ptr<RecordBlock>(
             SharedMemoryBlock::Open("/" + std::string(name), size));
       }});
  return application.Run();
}

void ExecSiblingProgram(const char* name) {
  std::string path = PosixSystem().ExecutablePath();
  const std::size_t slash = path.rfind('/');
  if (slash == std::string::npos) return;
  path.replace(slash + 1, std::string::npos, name);
  if (::access(path.c_str(), X_OK) != 0) return;
  char* const argv[] = {path.data(), nullptr};
  ::execv(path.c_str(), argv);
}

}  // namespace skein::platform
