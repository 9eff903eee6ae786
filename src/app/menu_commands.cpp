#include "app/application.h"
#include "platform/text_viewer.h"

namespace skein {

void Application::RunMenuCommand(std::int32_t menuItemId) {
  switch (menuItemId) {
    case platform::MenuDirectory:
      ChooseDirectory();
      break;
    case platform::MenuOpenLogfile:
      OpenLogfile();
      break;
    case platform::MenuWriteToDisk:
      WriteToDisk();
      break;
    case platform::MenuQuit:
      Quit();
      break;
    default:
      break;
  }
}

void Application::ChooseDirectory() {
  // The dialog is modal and the capture thread keeps polling meanwhile, so no lock is held here.
  std::string answer = services_.shell.ChooseFolder(kFolderPrompt, capture_->State().baseDirectory);
  if (answer.empty()) return;
  capture_->ChangeBaseDirectory(std::move(answer));
  SaveSettings();
}

void Application::OpenLogfile() {
  const std::string path = capture_->CurrentLogPath();
  if (services_.files.QueryFileSize(path) > 0) {
    services_.system.StartProgram(platform::kTextViewerProgram, path);
  } else {
    std::string text = "File ";
    text += path;
    text += " doesn't exist";
    services_.shell.ShowMessage("Warning", text);
  }
}

void Application::WriteToDisk() {
  capture_->WriteToDisk();
}

void Application::Quit() {
  ClosingSequence();
}

}  // namespace skein
