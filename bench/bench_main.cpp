// skein_bench [--disk-dir=DIR] [Google Benchmark options]
// The write path on /dev/shm and on the disk (below DIR, /var/tmp unless given), and one poll.
#include <benchmark/benchmark.h>

#include <string>
#include <string_view>
#include <vector>

#include "poll_bench.h"
#include "write_path_bench.h"

int main(int argc, char** argv) {
  constexpr std::string_view kDiskOption = "--disk-dir=";
  std::string diskDirectory = "/var/tmp";
  std::vector<char*> rest;
  for (int i = 0; i < argc; ++i) {
    const std::string_view arg = argv[i];
    if (i > 0 && arg.starts_with(kDiskOption)) {
      diskDirectory = arg.substr(kDiskOption.size());
    } else {
      rest.push_back(argv[i]);
    }
  }
  int restCount = static_cast<int>(rest.size());
  benchmark::Initialize(&restCount, rest.data());
  if (benchmark::ReportUnrecognizedArguments(restCount, rest.data())) return 1;

  skein::bench::RegisterWritePathBenchmarks(diskDirectory);
  skein::bench::RegisterPollBenchmarks();
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
