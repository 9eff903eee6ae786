// skein_poll_driver idle|accept N
// Sets up a capture loop (see poll_setup.h) and runs N polls of one kind, for instruction counts
// under callgrind: the difference between two runs with different N is the cost of the extra
// polls alone, whatever the set-up costs.
#include <charconv>
#include <cstdio>
#include <string_view>

#include "poll_setup.h"

int main(int argc, char** argv) {
  using skein::bench::PollSetup;
  long polls = -1;
  if (argc == 3) {
    const std::string_view count = argv[2];
    const auto [end, error] = std::from_chars(count.data(), count.data() + count.size(), polls);
    if (error != std::errc{} || end != count.data() + count.size()) polls = -1;
  }
  const std::string_view kind = argc >= 2 ? argv[1] : "";
  if (polls < 0 || (kind != "idle" && kind != "accept")) {
    std::fputs("usage: skein_poll_driver idle|accept N\n", stderr);
    return 2;
  }
  auto setup = PollSetup::Create(kind == "idle" ? PollSetup::Kind::Idle : PollSetup::Kind::Accept);
  if (!setup) return 1;
  long accepted = 0;
  for (long i = 0; i < polls; ++i) accepted += setup->Poll().has_value();
  const long expected = kind == "idle" ? 0 : polls;
  if (accepted != expected) {
    std::fprintf(stderr, "poll driver: %ld of %ld polls accepted, expected %ld\n", accepted, polls,
                 expected);
    return 1;
  }
  return 0;
}
