// SkeinerWard on Windows: the Win32 services with the window, menu and tray icon front end.
#include <memory>
#include <string_view>

#include "app/application.h"
#include "platform/win32/named_mapping_block.h"
#include "platform/win32/win32_files.h"
#include "platform/win32/win32_shell.h"
#include "platform/win32/win32_system.h"
#include "platform/win32/win32_working_directory.h"
#include "platform/win32/windows_api.h"

#include <commctrl.h>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  using namespace skein;
  // The manifest asks for the themed controls; this makes them available to the label and dialogs.
  ::InitCommonControls();

  platform::Win32Shell shell;
  platform::Win32Files files;
  platform::Win32System system;
  platform::Win32WorkingDirectory workingDirectory;

  Application application(
      {shell, files, system, workingDirectory, [](std::string_view name, std::size_t size) {
         return std::unique_ptr<platform::RecordBlock>(
             platform::SharedMemoryBlock::Open(name, size));
       }});
  return application.Run();
}
