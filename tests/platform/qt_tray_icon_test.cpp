#include "platform/qt/tray_icon.h"

#include <gtest/gtest.h>

#include <QPixmap>
#include <optional>
#include <vector>

#include "platform/qt_test_application.h"

namespace skein::platform {
namespace {

struct ActivationCase {
  QSystemTrayIcon::ActivationReason reason;
  std::optional<TrayClick> click;
};

// The core restores on a left press alone; every other kind must stay distinguishable from it.
constexpr ActivationCase kActivations[] = {
    {QSystemTrayIcon::Trigger, TrayClick::LeftPress},
    {QSystemTrayIcon::DoubleClick, TrayClick::LeftDoubleClick},
    {QSystemTrayIcon::Context, TrayClick::RightPress},
    {QSystemTrayIcon::MiddleClick, std::nullopt},
    {QSystemTrayIcon::Unknown, std::nullopt},
};

TEST(QtTrayIcon, EachActivationStandsForItsClick) {
  for (const ActivationCase& c : kActivations) {
    EXPECT_EQ(TrayClickFor(c.reason), c.click) << c.reason;
  }
}

TEST(QtTrayIcon, ActivationsReachTheSinkAsTrayClicks) {
  testing::EnsureQtApplication();
  std::vector<ShellEvent> posted;
  TrayIcon tray([&](const ShellEvent& event) { posted.push_back(event); });
  QPixmap image(32, 32);
  image.fill(Qt::red);
  tray.Add(QIcon(image), QStringLiteral("SkeinerWard 3.11"));
  ASSERT_NE(tray.Icon(), nullptr);
  EXPECT_EQ(tray.Icon()->toolTip(), QStringLiteral("SkeinerWard 3.11"));

  for (const ActivationCase& c : kActivations) {
    posted.clear();
    emit tray.Icon()->activated(c.reason);
    if (!c.click) {
      EXPECT_TRUE(posted.empty()) << c.reason;
      continue;
    }
    ASSERT_EQ(posted.size(), 1u) << c.reason;
    EXPECT_EQ(posted[0].kind, ShellEvent::Kind::TrayClick);
    EXPECT_EQ(posted[0].trayClick, *c.click);
  }
  tray.Remove();
  EXPECT_EQ(tray.Icon(), nullptr);
  EXPECT_FALSE(tray.Reachable());
}

}  // namespace
}  // namespace skein::platform
