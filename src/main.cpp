// SkeinerWard on Linux: the POSIX services with the headless front end.
#include <string>

#include "app/application.h"
#include "platform/headless/headless_shell.h"
#include "platform/posix/posix_files.h"
#include "platform/posix/posix_system.h"
#include "platform/posix/posix_working_directory.h"
#include "platform/posix/shared_memory_block.h"

int main() {
  using namespace skein;
  // The shell comes first: from here on a close signal is a close request, not an abrupt end.
  platform::HeadlessShell shell;
  platform::PosixFiles files;
  platform::PosixSystem system;
  platform::PosixWorkingDirectory workingDirectory;

  Application application(
      {shell, files, system, workingDirectory, [](std::string_view name, std::size_t size) {
         return std::unique_ptr<platform::RecordBlock>(
             platform::SharedMemoryBlock::Open("/" + std::string(name), size));
       }});
  return application.Run();
}
