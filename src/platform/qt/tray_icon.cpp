#include "platform/qt/tray_icon.h"

namespace skein::platform {

std::optional<TrayClick> TrayClickFor(QSystemTrayIcon::ActivationReason reason) {
  switch (reason) {
    case QSystemTrayIcon::Trigger:
      return TrayClick::LeftPress;
    case QSystemTrayIcon::DoubleClick:
      return TrayClick::LeftDoubleClick;
    case QSystemTrayIcon::Context:
      return TrayClick::RightPress;
    case QSystemTrayIcon::MiddleClick:
    case QSystemTrayIcon::Unknown:
      break;
  }
  return std::nullopt;
}

bool TrayIcon::Add(const QIcon& image, const QString& tooltip) {
  if (!icon_) {
    icon_ = std::make_unique<QSystemTrayIcon>(image);
    QObject::connect(icon_.get(), &QSystemTrayIcon::activated,
                     [this](QSystemTrayIcon::ActivationReason reason) {
                       const std::optional<TrayClick> click = TrayClickFor(reason);
                       if (!click) return;
                       ShellEvent event{ShellEvent::Kind::TrayClick};
                       event.trayClick = *click;
                       post_(event);
                     });
  }
  icon_->setToolTip(tooltip);
  icon_->show();
  return Reachable();
}

void TrayIcon::Remove() {
  if (!icon_) return;
  icon_->hide();
  icon_.reset();
}

bool TrayIcon::Reachable() const {
  return icon_ && icon_->isVisible() && QSystemTrayIcon::isSystemTrayAvailable();
}

}  // namespace skein::platform
