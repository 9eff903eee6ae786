#pragma once

#include <QSystemTrayIcon>
#include <functional>
#include <memory>
#include <optional>

#include "platform/shell.h"

namespace skein::platform {

// The click an activation of the tray icon stands for. A left press triggers; the first press of a
// double click has triggered already. A middle click stands for none.
std::optional<TrayClick> TrayClickFor(QSystemTrayIcon::ActivationReason reason);

// The icon in the notification area, with its tooltip, reporting its clicks as ShellEvents.
class TrayIcon {
 public:
  using EventSink = std::function<void(const ShellEvent&)>;

  explicit TrayIcon(EventSink post) : post_(std::move(post)) {}
  TrayIcon(const TrayIcon&) = delete;
  TrayIcon& operator=(const TrayIcon&) = delete;

  // Shows the icon. False when no notification area is there to hold it; Qt puts it there when
  // one turns up later.
  bool Add(const QIcon& image, const QString& tooltip);
  void Remove();
  // Whether the icon sits in a notification area, so that a hidden window can come back through it.
  bool Reachable() const;
  QSystemTrayIcon* Icon() const { return icon_.get(); }

 private:
  EventSink post_;
  std::unique_ptr<QSystemTrayIcon> icon_;
};

}  // namespace skein::platform
