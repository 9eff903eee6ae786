#pragma once

#include <QMainWindow>
#include <functional>

#include "platform/shell.h"

class QLabel;

namespace skein::platform {

// The title the main window has.
inline constexpr const char* kWindowTitle = "SkeinerWard";

// The program's one window: fixed in size, with the menu "Program" and the centred label. It never
// acts on the program: a menu choice or the close button becomes a ShellEvent handed to `post`,
// and the close button leaves the window where it is.
class MainWindow final : public QMainWindow {
 public:
  using EventSink = std::function<void(const ShellEvent&)>;

  explicit MainWindow(EventSink post);

  // Shows the window in normal size at its place on the screen.
  void ShowAtHome();
  // Centred while it fits; a longer text keeps its start in view and loses its end instead.
  void SetLabelText(const QString& text);
  QLabel* Label() const { return label_; }

 protected:
  void closeEvent(QCloseEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void BuildMenu();

  EventSink post_;
  QLabel* label_ = nullptr;
  bool placed_ = false;
};

}  // namespace skein::platform
