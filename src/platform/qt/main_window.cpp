#include "platform/qt/main_window.h"

#include <QCloseEvent>
#include <QLabel>
#include <QMenuBar>
#include <QWindow>

namespace skein::platform {
namespace {

constexpr int kLeft = 200;
constexpr int kTop = 100;
// The menu bar takes its height out of this; the outer size stays.
constexpr int kClientWidth = 205;
constexpr int kClientHeight = 60;
// In the client area below the menu bar.
constexpr QRect kLabelBounds{2, 10, 196, 20};

}  // namespace

MainWindow::MainWindow(EventSink post) : post_(std::move(post)) {
  setWindowTitle(QString::fromLatin1(kWindowTitle));
  // Title bar, system menu, minimise and maximise buttons; no sizing border. X window managers
  // leave out the maximise button of a window whose size is fixed.
  setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                 Qt::WindowSystemMenuHint | Qt::WindowMinMaxButtonsHint |
                 Qt::WindowCloseButtonHint);
  setFixedSize(kClientWidth, kClientHeight);
  BuildMenu();

  auto* client = new QWidget(this);
  label_ = new QLabel(client);
  label_->setGeometry(kLabelBounds);
  label_->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
  // A record is shown as it is; markup in it must not become formatting.
  label_->setTextFormat(Qt::PlainText);
  setCentralWidget(client);
}

void MainWindow::BuildMenu() {
  // In the window on every desktop, as its size is reckoned with the bar inside.
  menuBar()->setNativeMenuBar(false);
  const auto item = [this](QMenu* menu, std::int32_t id, const char* text) {
    QAction* action = menu->addAction(QString::fromLatin1(text));
    connect(action, &QAction::triggered, this, [this, id] {
      ShellEvent event{ShellEvent::Kind::MenuCommand};
      event.menuItemId = id;
      post_(event);
    });
  };
  QMenu* program = menuBar()->addMenu(QStringLiteral("Program"));
  QMenu* settings = program->addMenu(QStringLiteral("Settings"));
  item(settings, MenuDirectory, "Directory");
  QMenu* file = program->addMenu(QStringLiteral("File"));
  item(file, MenuOpenLogfile, "Open logfile");
  item(file, MenuWriteToDisk, "Write to disk");
  program->addSeparator();
  item(program, MenuQuit, "Quit");
}

void MainWindow::SetLabelText(const QString& text) {
  const bool fits = label_->fontMetrics().horizontalAdvance(text) <= label_->contentsRect().width();
  label_->setAlignment((fits ? Qt::AlignHCenter : Qt::AlignLeft) | Qt::AlignTop);
  label_->setText(text);
}

void MainWindow::ShowAtHome() {
  move(kLeft, kTop);
  showNormal();
  // Before the window is mapped, X places its client area there, not its frame: it is moved again
  // once the window manager has framed it.
  if (QWindow* window = windowHandle()) window->installEventFilter(this);
}

void MainWindow::closeEvent(QCloseEvent* event) {
  // The loop decides; the window stays until the tear-down.
  event->ignore();
  post_(ShellEvent{ShellEvent::Kind::CloseRequest});
}

bool MainWindow::eventFilter(QObject* watched, QEvent* event) {
  if (!placed_ && event->type() == QEvent::Expose && watched == windowHandle() &&
      windowHandle()->isExposed()) {
    placed_ = true;
    move(kLeft, kTop);
  }
  return QMainWindow::eventFilter(watched, event);
}

}  // namespace skein::platform
