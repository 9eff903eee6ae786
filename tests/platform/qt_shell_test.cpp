#include "platform/qt/qt_shell.h"

#include <unistd.h>

#include <gtest/gtest.h>

#include <QDialog>
#include <QFileDialog>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QTimer>
#include <csignal>
#include <filesystem>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "platform/qt_test_application.h"

namespace skein::platform {
namespace {

namespace fs = std::filesystem;
using Kind = ShellEvent::Kind;

constexpr int kManyPasses = 5000;

class QtShellTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { testing::EnsureQtApplication(); }
  void SetUp() override {
    shell.BuildMainWindow();
    ASSERT_NE(shell.Window(), nullptr);
  }

  // The next event the loop hands out, within many passes.
  ShellEvent NextEvent() {
    for (int i = 0; i < kManyPasses; ++i) {
      const ShellEvent event = shell.WaitForEvent(1);
      if (event.kind != Kind::None) return event;
    }
    return {};
  }
  // Passes of the loop until `done` holds; false when it never did.
  bool PassUntil(const std::function<bool()>& done) {
    for (int i = 0; i < kManyPasses && !done(); ++i) shell.WaitForEvent(1);
    return done();
  }
  // Runs `act` inside the loop of the next modal dialog, with that dialog at hand.
  static void WhenADialogOpens(std::function<void(QDialog&)> act) {
    auto* timer = new QTimer;
    QObject::connect(timer, &QTimer::timeout, [timer, act = std::move(act)] {
      auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
      if (dialog == nullptr) return;
      timer->stop();
      timer->deleteLater();
      act(*dialog);
    });
    timer->start(5);
  }
  QLabel* Label() const { return shell.Window()->Label(); }

  CloseSignals closeSignals;
  QtShell shell{closeSignals};
};

TEST_F(QtShellTest, TheWindowIsFixedInSizeWithTheMenuBarInsideItsClientArea) {
  MainWindow* window = shell.Window();
  EXPECT_TRUE(window->isVisible());
  EXPECT_EQ(window->windowTitle(), QStringLiteral("SkeinerWard"));
  EXPECT_EQ(window->size(), QSize(205, 60));
  EXPECT_EQ(window->minimumSize(), QSize(205, 60));
  EXPECT_EQ(window->maximumSize(), QSize(205, 60));
  EXPECT_TRUE(window->windowFlags() & Qt::WindowMinimizeButtonHint);
  EXPECT_FALSE(window->windowIcon().isNull()) << "the icon comes from the program's resources";

  const int barHeight = window->menuBar()->height();
  EXPECT_GT(barHeight, 0);
  EXPECT_FALSE(window->menuBar()->isNativeMenuBar());
  QWidget* client = window->centralWidget();
  EXPECT_EQ(client->geometry(), QRect(0, barHeight, 205, 60 - barHeight));
  EXPECT_EQ(Label()->parentWidget(), client);
  EXPECT_EQ(Label()->geometry(), QRect(2, 10, 196, 20));
  EXPECT_TRUE(Label()->text().isEmpty());
  EXPECT_EQ(Label()->textFormat(), Qt::PlainText);
}

// The tree of the menu, each item with the id its choice hands to the loop.
struct MenuItem {
  std::vector<const char*> path;
  std::int32_t id;
};
const std::vector<MenuItem> kMenuItems = {
    {{"Program", "Settings", "Directory"}, MenuDirectory},
    {{"Program", "File", "Open logfile"}, MenuOpenLogfile},
    {{"Program", "File", "Write to disk"}, MenuWriteToDisk},
    {{"Program", "Quit"}, MenuQuit},
};

// The entries of a menu as text, "-" for a separator and a trailing ">" for a submenu.
std::vector<std::string> Entries(const QList<QAction*>& actions) {
  std::vector<std::string> entries;
  for (const QAction* action : actions) {
    if (action->isSeparator()) {
      entries.push_back("-");
    } else {
      entries.push_back(action->text().toStdString() + (action->menu() != nullptr ? ">" : ""));
    }
  }
  return entries;
}

QAction* Find(const QList<QAction*>& actions, const char* text) {
  for (QAction* action : actions) {
    if (action->text() == QLatin1String(text)) return action;
  }
  return nullptr;
}

TEST_F(QtShellTest, TheMenuTreeHasProgramAloneOnTheBar) {
  QMenuBar* bar = shell.Window()->menuBar();
  EXPECT_EQ(Entries(bar->actions()), (std::vector<std::string>{"Program>"}));
  QMenu* program = Find(bar->actions(), "Program")->menu();
  EXPECT_EQ(Entries(program->actions()),
            (std::vector<std::string>{"Settings>", "File>", "-", "Quit"}));
  EXPECT_EQ(Entries(Find(program->actions(), "Settings")->menu()->actions()),
            (std::vector<std::string>{"Directory"}));
  EXPECT_EQ(Entries(Find(program->actions(), "File")->menu()->actions()),
            (std::vector<std::string>{"Open logfile", "Write to disk"}));
  for (const QAction* action : program->actions()) {
    EXPECT_TRUE(action->shortcut().isEmpty());
    EXPECT_FALSE(action->isCheckable());
  }
}

TEST_F(QtShellTest, EachItemHandsItsIdToTheLoopOldestFirst) {
  std::vector<QAction*> items;
  for (const MenuItem& item : kMenuItems) {
    QList<QAction*> actions = shell.Window()->menuBar()->actions();
    QAction* action = nullptr;
    for (const char* text : item.path) {
      action = Find(actions, text);
      ASSERT_NE(action, nullptr) << text;
      if (action->menu() != nullptr) actions = action->menu()->actions();
    }
    items.push_back(action);
  }
  // All chosen before the loop looks: they come out in the order they were chosen.
  for (QAction* action : items) action->trigger();
  for (const MenuItem& item : kMenuItems) {
    const ShellEvent event = NextEvent();
    EXPECT_EQ(event.kind, Kind::MenuCommand) << item.path.back();
    EXPECT_EQ(event.menuItemId, item.id) << item.path.back();
  }
  EXPECT_EQ(shell.WaitForEvent(1).kind, Kind::None);
}

TEST_F(QtShellTest, TheCloseButtonIsARequestAndTheWindowStays) {
  EXPECT_FALSE(shell.Window()->close());
  EXPECT_EQ(NextEvent().kind, Kind::CloseRequest);
  EXPECT_TRUE(shell.Window()->isVisible());
}

TEST_F(QtShellTest, EveryCloseSignalBecomesOneCloseRequest) {
  for (int signal : {SIGTERM, SIGINT, SIGHUP}) {
    ASSERT_EQ(std::raise(signal), 0);
    ASSERT_EQ(std::raise(signal), 0);
    EXPECT_EQ(NextEvent().kind, Kind::CloseRequest) << signal;
    EXPECT_EQ(shell.WaitForEvent(1).kind, Kind::None) << "two signals, one request";
  }
}

TEST_F(QtShellTest, TheLabelShowsTheLatestTextFromAnotherThreadAsPlainSingleByteText) {
  const std::string last = "2026-12-11 <b>12</b>:00 \xA9\xE9";
  std::thread capture([&] {
    for (int i = 0; i < 100; ++i) shell.SetLabelText("record " + std::to_string(i));
    shell.SetLabelText(last);
  });
  capture.join();
  const QString expected = QString::fromLatin1(last.data(), static_cast<qsizetype>(last.size()));
  EXPECT_TRUE(PassUntil([&] { return Label()->text() == expected; }))
      << Label()->text().toStdString();
  EXPECT_EQ(Label()->textFormat(), Qt::PlainText);
}

TEST_F(QtShellTest, ALongTextKeepsItsStartInView) {
  shell.SetLabelText("2026");
  ASSERT_TRUE(PassUntil([&] { return Label()->text() == QStringLiteral("2026"); }));
  EXPECT_TRUE(Label()->alignment() & Qt::AlignHCenter);
  const std::string wide(60, 'W');
  shell.SetLabelText(wide);
  ASSERT_TRUE(PassUntil([&] { return Label()->text().size() == 60; }));
  EXPECT_TRUE(Label()->alignment() & Qt::AlignLeft);
}

TEST_F(QtShellTest, TheLabelKeepsChangingWhileAModalDialogIsOpen) {
  bool seenWhileOpen = false;
  WhenADialogOpens([&](QDialog& dialog) {
    std::thread([&] { shell.SetLabelText("while modal"); }).join();
    auto* poll = new QTimer(&dialog);
    int tries = 0;
    QObject::connect(poll, &QTimer::timeout, [&, poll] {
      seenWhileOpen = Label()->text() == QStringLiteral("while modal");
      if (seenWhileOpen || ++tries > 2000) {
        poll->stop();
        dialog.accept();
      }
    });
    poll->start(1);
  });
  shell.ShowMessage("Warning", "File /nowhere doesn't exist");
  EXPECT_TRUE(seenWhileOpen);
}

TEST_F(QtShellTest, AMessageHasOneOkButtonNoIconAndItsTextAsGiven) {
  QString title, text;
  int buttons = 0;
  QMessageBox::Icon icon = QMessageBox::Information;
  Qt::TextFormat format = Qt::RichText;
  WhenADialogOpens([&](QDialog& dialog) {
    auto& box = dynamic_cast<QMessageBox&>(dialog);
    title = box.windowTitle();
    text = box.text();
    buttons = static_cast<int>(box.buttons().size());
    icon = box.icon();
    format = box.textFormat();
    box.accept();
  });
  shell.ShowMessage("Warning", "File /b\xC3\xA4se/<i>x</i>//// doesn't exist");
  EXPECT_EQ(title, QStringLiteral("Warning"));
  EXPECT_EQ(text, QString::fromUtf8("File /b\xC3\xA4se/<i>x</i>//// doesn't exist"));
  EXPECT_EQ(buttons, 1);
  EXPECT_EQ(icon, QMessageBox::NoIcon);
  EXPECT_EQ(format, Qt::PlainText);
}

class QtFolderChooserTest : public QtShellTest {
 protected:
  void SetUp() override {
    QtShellTest::SetUp();
    char pattern[] = "/tmp/skein-chooser-XXXXXX";
    ASSERT_NE(::mkdtemp(pattern), nullptr);
    root = pattern;
  }
  void TearDown() override { fs::remove_all(root); }

  fs::path root;
};

TEST_F(QtFolderChooserTest, TheInitialFolderIsPreselectedAndTheAnswerEndsWithASeparator) {
  fs::create_directory(root / "log tree");
  const std::string initial = (root / "log tree").string() + "/";
  QString title, opened;
  bool nativeDialog = true;
  WhenADialogOpens([&](QDialog& dialog) {
    auto& chooser = dynamic_cast<QFileDialog&>(dialog);
    title = chooser.windowTitle();
    opened = chooser.directory().absolutePath();
    nativeDialog = !chooser.testOption(QFileDialog::DontUseNativeDialog);
    dialog.accept();
  });
  EXPECT_EQ(shell.ChooseFolder("SkeinWard", initial), initial);
  EXPECT_EQ(title, QStringLiteral("SkeinWard"));
  EXPECT_EQ(opened.toStdString(), (root / "log tree").string());
  EXPECT_FALSE(nativeDialog);
}

TEST_F(QtFolderChooserTest, AMissingInitialFolderIsNotOpened) {
  QString opened;
  WhenADialogOpens([&](QDialog& dialog) {
    opened = dynamic_cast<QFileDialog&>(dialog).directory().absolutePath();
    dialog.reject();
  });
  EXPECT_EQ(shell.ChooseFolder("SkeinWard", (root / "gone").string() + "/"), "");
  EXPECT_FALSE(opened.isEmpty());
  EXPECT_NE(opened.toStdString(), (root / "gone").string());
}

TEST_F(QtFolderChooserTest, ACloseSignalClosesTheChooserAndIsStillTheCloseRequest) {
  WhenADialogOpens([](QDialog&) { std::raise(SIGTERM); });
  EXPECT_EQ(shell.ChooseFolder("SkeinWard", root.string()), "");
  EXPECT_EQ(NextEvent().kind, Kind::CloseRequest);
}

// What the window system sends when the session manager tells the program to go.
void SendQuitRequest() {
  QEvent quit(QEvent::Quit);
  QCoreApplication::sendEvent(QCoreApplication::instance(), &quit);
}

TEST_F(QtShellTest, AQuitRequestOfTheWindowSystemEndsTheSessionAndClosesTheDialog) {
  int sessionEnds = 0;
  shell.SetSessionEndHandler([&] { ++sessionEnds; });
  bool dialogClosed = false;
  WhenADialogOpens([&](QDialog& dialog) {
    SendQuitRequest();
    dialogClosed = !dialog.isVisible();
    if (!dialogClosed) dialog.done(0);
  });
  shell.ShowMessage("Error", "text");
  EXPECT_EQ(sessionEnds, 1);
  EXPECT_TRUE(dialogClosed) << "an open dialog would keep the program from going";
  SendQuitRequest();
  EXPECT_EQ(sessionEnds, 2) << "each request runs the handler; the program makes a repeat a no-op";
}

TEST_F(QtShellTest, AMinimisedWindowStaysInTheTaskBarWithoutANotificationArea) {
  EXPECT_FALSE(shell.AddTrayIcon()) << "the offscreen platform has no notification area";
  shell.Window()->showMinimized();
  ASSERT_TRUE(PassUntil([&] { return shell.Window()->isMinimized(); }));
  shell.HideIfMinimised();
  EXPECT_TRUE(shell.Window()->isVisible());
  shell.RestoreFromTray();
  EXPECT_FALSE(shell.Window()->isMinimized());
  EXPECT_TRUE(shell.Window()->isVisible());
}

TEST_F(QtShellTest, AfterTheTearDownLabelTextsGoNowhere) {
  shell.TearDown();
  EXPECT_EQ(shell.Window(), nullptr);
  std::thread([&] { shell.SetLabelText("late"); }).join();
  EXPECT_EQ(shell.WaitForEvent(1).kind, Kind::None);
}

}  // namespace
}  // namespace skein::platform
