#include "platform/qt/qt_front_end.h"

#include <QApplication>

#include "platform/posix/close_signals.h"
#include "platform/qt/qt_shell.h"

namespace skein::platform {

int RunQtFrontEnd(const char* programName, const std::function<int(Shell&)>& program) {
  CloseSignals closeSignals;
  // Qt keeps both for the application object's lifetime.
  int argc = 1;
  char* argv[] = {const_cast<char*>(programName), nullptr};
  QApplication application(argc, argv);
  // The name a D-Bus notification area shows for the icon.
  QApplication::setApplicationName(QStringLiteral("SkeinerWard"));
  QApplication::setApplicationVersion(QStringLiteral("3.11"));
  QGuiApplication::setDesktopFileName(QStringLiteral("skeinerward"));
  // The window only goes with the tear-down; nothing else may end the application object's life.
  QApplication::setQuitOnLastWindowClosed(false);

  QtShell shell(closeSignals);
  return program(shell);
}

}  // namespace skein::platform
