#include "platform/qt/qt_shell.h"

#include <QApplication>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QLabel>
#include <QMessageBox>
#include <QSessionManager>
#include <QSocketNotifier>

#include "platform/qt/folder_path.h"

// Resources of a static library are registered by hand, outside any namespace.
static void RegisterProgramIcon() {
  Q_INIT_RESOURCE(skeinerward);
}

namespace skein::platform {
namespace {

constexpr const char* kTooltip = "SkeinerWard 3.11";

// Paths and the program's own texts are bytes for the file system's encoding.
QString FromSystemBytes(std::string_view bytes) {
  return QFile::decodeName(QByteArray(bytes.data(), static_cast<qsizetype>(bytes.size())));
}

QIcon ProgramIcon() {
  return QIcon(QStringLiteral(":/skeinerward.png"));
}

}  // namespace

bool QtShell::ApplicationWatch::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::Quit && watched == QCoreApplication::instance()) {
    onQuit_();
    return true;
  }
  return false;
}

QtShell::QtShell(CloseSignals& closeSignals)
    : closeSignals_(closeSignals), tray_([this](const ShellEvent& event) { Post(event); }) {
  RegisterProgramIcon();
  tick_.setTimerType(Qt::PreciseTimer);

  if (closeSignals_.ReadFd() >= 0) {
    closeNotifier_ =
        std::make_unique<QSocketNotifier>(closeSignals_.ReadFd(), QSocketNotifier::Read);
    QObject::connect(closeNotifier_.get(), &QSocketNotifier::activated,
                     [this] { TakeCloseSignals(); });
  }

  // A session manager asks for the data first, then may tell the application to quit; the
  // process can be ended right after either.
  watch_ = std::make_unique<ApplicationWatch>([this] { EndSession(); });
  if (auto* application = qobject_cast<QGuiApplication*>(QCoreApplication::instance())) {
    application->installEventFilter(watch_.get());
    QObject::connect(application, &QGuiApplication::commitDataRequest, watch_.get(),
                     [this](QSessionManager&) { EndSession(); });
    QObject::connect(application, &QCoreApplication::aboutToQuit, watch_.get(),
                     [this] { EndSession(); });
  }
}

QtShell::~QtShell() {
  TearDown();
}

void QtShell::Post(const ShellEvent& event) {
  events_.push_back(event);
}

void QtShell::TakeCloseSignals() {
  if (!closeSignals_.Take()) return;
  Post(ShellEvent{ShellEvent::Kind::CloseRequest});
  // An open dialog would hold the request back until someone answers it.
  if (modal_) modal_->reject();
}

void QtShell::EndSession() {
  if (modal_) modal_->reject();
  if (sessionEnd_) sessionEnd_();
}

void QtShell::BuildMainWindow() {
  window_ = std::make_unique<MainWindow>([this](const ShellEvent& event) { Post(event); });
  window_->setWindowIcon(ProgramIcon());
  window_->ShowAtHome();
  std::lock_guard lock(labelMutex_);
  labelTarget_ = window_->Label();
  // A text set before the window existed is shown now.
  if (!labelText_.empty()) {
    labelUpdatePending_ = QMetaObject::invokeMethod(
        labelTarget_, [this] { ShowLatestLabelText(); }, Qt::QueuedConnection);
  }
}

bool QtShell::AddTrayIcon() {
  if (!window_) return false;
  return tray_.Add(ProgramIcon(), QString::fromLatin1(kTooltip));
}

void QtShell::RestoreFromTray() {
  if (!window_) return;
  awaitingRestore_ = true;
  window_->showNormal();
  window_->raise();
  window_->activateWindow();
}

void QtShell::HideIfMinimised() {
  if (!window_ || !window_->isVisible()) return;
  if (!window_->isMinimized()) {
    minimiseChecked_ = false;
    awaitingRestore_ = false;
    return;
  }
  // The window manager answers a restore later than it is asked: until the window has been seen
  // in normal size, a minimised state is the old one, and hiding on it would undo the restore.
  if (awaitingRestore_) return;
  // Without a notification area the hidden window could not be brought back: it stays minimised
  // in the task bar instead.
  if (!minimiseChecked_) {
    hideWhenMinimised_ = tray_.Reachable();
    minimiseChecked_ = true;
  }
  if (hideWhenMinimised_) window_->hide();
}

void QtShell::SetLabelText(std::string_view text) {
  std::lock_guard lock(labelMutex_);
  labelText_.assign(text);
  // One queued call carries any number of changes: the label shows the latest text when it runs.
  if (labelUpdatePending_ || labelTarget_ == nullptr) return;
  labelUpdatePending_ = QMetaObject::invokeMethod(
      labelTarget_, [this] { ShowLatestLabelText(); }, Qt::QueuedConnection);
}

void QtShell::ShowLatestLabelText() {
  QString text;
  {
    std::lock_guard lock(labelMutex_);
    // Records are single-byte text: each byte is one character.
    text = QString::fromLatin1(labelText_.data(), static_cast<qsizetype>(labelText_.size()));
    labelUpdatePending_ = false;
  }
  if (window_) window_->SetLabelText(text);
}

ShellEvent QtShell::WaitForEvent(int timeoutMs) {
  if (events_.empty()) {
    // Objects handed to deleteLater between passes are not deleted by processEvents itself.
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    if (timeoutMs == 0) {
      QCoreApplication::processEvents(QEventLoop::AllEvents);
    } else {
      // A time-out given to processEvents does not wait, it spins; a timer ends the wait instead.
      if (timeoutMs < 0) {
        tick_.stop();
      } else if (!tick_.isActive() || tick_.interval() != timeoutMs) {
        tick_.start(timeoutMs);
      }
      QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents);
    }
  }
  if (events_.empty()) return ShellEvent{};
  const ShellEvent event = events_.front();
  events_.pop_front();
  return event;
}

int QtShell::RunModal(QDialog& dialog) {
  // The dialog runs its own loop; the next pass starts the tick again.
  tick_.stop();
  const QPointer<QDialog> outer = modal_;
  modal_ = &dialog;
  const int result = dialog.exec();
  modal_ = outer;
  return result;
}

QWidget* QtShell::DialogOwner() const {
  return window_ && window_->isVisible() ? window_.get() : nullptr;
}

std::string QtShell::ChooseFolder(std::string_view prompt, std::string_view initialFolder) {
  QFileDialog dialog(DialogOwner(), FromSystemBytes(prompt));
  // Qt's own dialog on every desktop: it has the edit box for typing a folder, and it can be
  // closed from here when a close request comes in.
  dialog.setOptions(QFileDialog::ShowDirsOnly | QFileDialog::DontUseNativeDialog);
  dialog.setFileMode(QFileDialog::Directory);
  const QString initial = FromSystemBytes(FolderToOpen(initialFolder));
  if (!initial.isEmpty() && QFileInfo(initial).isDir()) dialog.setDirectory(initial);

  if (RunModal(dialog) != QDialog::Accepted) return {};
  const QStringList chosen = dialog.selectedFiles();
  if (chosen.isEmpty()) return {};
  return WithTrailingSeparator(QFile::encodeName(chosen.front()).toStdString());
}

void QtShell::ShowMessage(std::string_view title, std::string_view text) {
  QMessageBox box(QMessageBox::NoIcon, FromSystemBytes(title), FromSystemBytes(text),
                  QMessageBox::Ok, DialogOwner());
  box.setTextFormat(Qt::PlainText);
  RunModal(box);
}

void QtShell::TearDown() {
  tray_.Remove();
  {
    // The capture thread may still be running; from here on its texts go nowhere.
    std::lock_guard lock(labelMutex_);
    labelTarget_ = nullptr;
  }
  window_.reset();
  tick_.stop();
}

void QtShell::SetSessionEndHandler(std::function<void()> handler) {
  sessionEnd_ = std::move(handler);
}

}  // namespace skein::platform
