// SkeinerWard on a Linux desktop: the POSIX services with the Qt front end, and headless when the
// display went away between the check of the launching program and this one.
#include "platform/headless/headless_shell.h"
#include "platform/posix/posix_program.h"
#include "platform/qt/display_probe.h"
#include "platform/qt/qt_front_end.h"

int main() {
  using namespace skein;
  // Decided before any Qt object exists: without a display Qt would abort the process.
  if (platform::DisplayCanBeOpened()) {
    // Named like the program the user started, so the window's class is "skeinerward".
    return platform::RunQtFrontEnd("skeinerward", platform::RunPosixProgram);
  }
  platform::HeadlessShell shell;
  return platform::RunPosixProgram(shell);
}
