#pragma once

#include <QApplication>
#include <QStandardPaths>

namespace skein::testing {

// One application object for the whole test process, on the offscreen platform so that the tests
// need no display. It is never destroyed: a second one after it is not something Qt promises.
inline void EnsureQtApplication() {
  if (QCoreApplication::instance() != nullptr) return;
  qputenv("QT_QPA_PLATFORM", "offscreen");
  // What Qt's dialogs remember goes to a test location, not to the user's settings.
  QStandardPaths::setTestModeEnabled(true);
  static int argc = 1;
  static char name[] = "skein_tests";
  static char* argv[] = {name, nullptr};
  new QApplication(argc, argv);
  QApplication::setQuitOnLastWindowClosed(false);
}

}  // namespace skein::testing
