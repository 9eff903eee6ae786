#include "platform/headless/headless_shell.h"

#include <gtest/gtest.h>

#include <csignal>

namespace skein::platform {
namespace {

TEST(HeadlessShell, EveryCloseSignalBecomesOneCloseRequest) {
  HeadlessShell shell;
  for (int signal : {SIGTERM, SIGINT, SIGHUP}) {
    EXPECT_EQ(shell.WaitForEvent(1).kind, ShellEvent::Kind::None);
    ASSERT_EQ(std::raise(signal), 0);
    ASSERT_EQ(std::raise(signal), 0);
    EXPECT_EQ(shell.WaitForEvent(1).kind, ShellEvent::Kind::CloseRequest) << signal;
    EXPECT_EQ(shell.WaitForEvent(1).kind, ShellEvent::Kind::None) << "two signals, one request";
  }
}

TEST(HeadlessShell, AMessageIsOneLineOnStandardError) {
  HeadlessShell shell;
  ::testing::internal::CaptureStderr();
  shell.ShowMessage("Error", "Can't create ini file. Your program setting's are stored");
  EXPECT_EQ(::testing::internal::GetCapturedStderr(),
            "Error: Can't create ini file. Your program setting's are stored\n");
}

}  // namespace
}  // namespace skein::platform
