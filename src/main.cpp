// SkeinerWard on Linux: the POSIX services with the desktop front end when a display can be
// opened, and with the headless front end otherwise.
#include <string>

#include "app/application.h"
#include "platform/headless/headless_shell.h"
#include "platform/posix/posix_files.h"
#include "platform/posix/posix_system.h"
#include "platform/posix/posix_working_directory.h"
#include "platform/posix/shared_memory_block.h"
#ifdef SKEIN_WITH_QT
#include "platform/qt/display_probe.h"
#include "platform/qt/qt_front_end.h"
#endif

namespace {

int RunProgram(skein::platform::Shell& shell) {
  using namespace skein;
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

}  // namespace

int main([[maybe_unused]] int argc, [[maybe_unused]] char** argv) {
  using namespace skein;
#ifdef SKEIN_WITH_QT
  // Decided before any Qt object exists: without a display Qt would abort the process.
  if (platform::DisplayCanBeOpened()) {
    return platform::RunQtFrontEnd(argc > 0 ? argv[0] : "skeinerward", RunProgram);
  }
#endif
  // The shell comes first: from here on a close signal is a close request, not an abrupt end.
  platform::HeadlessShell shell;
  return RunProgram(shell);
}
