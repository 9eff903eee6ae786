// SkeinerWard on Linux. This program never loads a toolkit: when a display can be opened and the
// desktop program was built beside it, it becomes that program; otherwise it runs headless.
#include "platform/headless/headless_shell.h"
#include "platform/posix/posix_program.h"
#ifdef SKEIN_DESKTOP_PROGRAM
#include "platform/qt/display_probe.h"
#endif

int main() {
  using namespace skein;
#ifdef SKEIN_DESKTOP_PROGRAM
  if (platform::DisplayCanBeOpened()) platform::ExecSiblingProgram(SKEIN_DESKTOP_PROGRAM);
#endif
  // The shell comes first: from here on a close signal is a close request, not an abrupt end.
  platform::HeadlessShell shell;
  return platform::RunPosixProgram(shell);
}
