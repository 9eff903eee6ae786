#include "platform/win32/message_box.h"

#include <string>

#include "platform/win32/modal_scope.h"
#include "platform/win32/windows_api.h"

namespace skein::platform {

void ShowMessageBox(std::string_view title, std::string_view text) {
  const std::string terminatedTitle(title);
  const std::string terminatedText(text);
  ModalScope modal;
  ::MessageBoxA(modal.Owner(), terminatedText.c_str(), terminatedTitle.c_str(), MB_OK);
}

}  // namespace skein::platform
