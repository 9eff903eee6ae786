#include "platform/posix/close_signals.h"

#include <unistd.h>

#include <gtest/gtest.h>

#include <cerrno>
#include <csignal>

namespace skein::platform {
namespace {

TEST(CloseSignals, SignalsThatCameInBecomeOneTake) {
  CloseSignals closeSignals;
  EXPECT_FALSE(closeSignals.Take());
  for (int signal : {SIGTERM, SIGINT, SIGHUP}) ASSERT_EQ(std::raise(signal), 0);
  EXPECT_TRUE(closeSignals.Take());
  EXPECT_FALSE(closeSignals.Take()) << "the pipe is empty again";
}

TEST(CloseSignals, ALateSignalEndsNothingAndReachesNoLaterObject) {
  { CloseSignals gone; }
  // The process is still here after these: the handlers stay, with nowhere to write.
  ASSERT_EQ(std::raise(SIGTERM), 0);
  ASSERT_EQ(std::raise(SIGHUP), 0);
  CloseSignals next;
  EXPECT_FALSE(next.Take());
  ASSERT_EQ(std::raise(SIGINT), 0);
  EXPECT_TRUE(next.Take());
}

TEST(CloseSignals, AReaderThatWentAwayIsAnErrorNotTheEnd) {
  CloseSignals closeSignals;
  int fds[2];
  ASSERT_EQ(::pipe(fds), 0);
  ::close(fds[0]);
  errno = 0;
  EXPECT_EQ(::write(fds[1], "x", 1), -1);
  EXPECT_EQ(errno, EPIPE);
  ::close(fds[1]);
}

}  // namespace
}  // namespace skein::platform
