#pragma once

namespace skein::bench {

// "poll/idle" (a poll that accepts nothing) and "poll/accept" (one that logs a record).
void RegisterPollBenchmarks();

}  // namespace skein::bench
