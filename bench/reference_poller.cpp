// The baselines of the idle comparison: the least a program can do to meet the two loops the
// logger has to run, and nothing else.
//
//   skein_reference_poller poll [BLOCK]  maps the block and copies it every 10 ms
//   skein_reference_poller wait          a bare 1 ms poll() loop on one descriptor
//   skein_reference_poller both [BLOCK]  the copying loop on a std::thread, the wait loop on main
//
// BLOCK defaults to the record channel. SIGTERM or SIGINT ends the program; it then prints, per
// loop, how many passes it made and their mean period, which is the real period a 10 ms sleep
// gives on this machine.
#include <fcntl.h>
#include <poll.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <string>
#include <string_view>
#include <thread>

namespace {

constexpr std::size_t kBlockSize = 256;
constexpr char kDefaultBlock[] = "/KVOR_300871_140263_GATE1";

std::atomic<bool> gStop{false};

extern "C" void OnStop(int) {
  gStop = true;
}

struct LoopFigures {
  long passes = 0;
  std::chrono::steady_clock::duration elapsed{};
};

void Report(const char* loop, const LoopFigures& figures) {
  const double seconds = std::chrono::duration<double>(figures.elapsed).count();
  const double periodMs = figures.passes > 0 ? seconds * 1000.0 / double(figures.passes) : 0.0;
  std::printf("%s: %ld passes in %.3f s, mean period %.4f ms\n", loop, figures.passes, seconds,
              periodMs);
}

// Returns the mapped block, or null when it cannot be opened.
const char* MapBlock(const char* name) {
  const int fd = ::shm_open(name, O_RDWR | O_CREAT, S_IRUSR | S_IWUSR);
  if (fd < 0) return nullptr;
  struct stat info {};
  if (::fstat(fd, &info) != 0 || (info.st_size == 0 && ::ftruncate(fd, kBlockSize) != 0)) {
    ::close(fd);
    return nullptr;
  }
  void* view = ::mmap(nullptr, kBlockSize, PROT_READ, MAP_SHARED, fd, 0);
  ::close(fd);
  return view == MAP_FAILED ? nullptr : static_cast<const char*>(view);
}

// What any reader of the block has to do: copy it, find the text's end, and see whether it
// changed since the last copy.
LoopFigures PollEvery10Ms(const char* block) {
  char last[kBlockSize] = {};
  char copy[kBlockSize];
  std::size_t lastLength = 0;
  long changes = 0;
  LoopFigures figures;
  const auto start = std::chrono::steady_clock::now();
  while (!gStop) {
    std::memcpy(copy, block, kBlockSize);
    const void* zero = std::memchr(copy, 0, kBlockSize);
    const std::size_t length =
        zero ? std::size_t(static_cast<const char*>(zero) - copy) : kBlockSize;
    if (length != lastLength || std::memcmp(copy, last, length) != 0) {
      std::memcpy(last, copy, length);
      lastLength = length;
      ++changes;
    }
    ++figures.passes;
    timespec delay{0, 10'000'000L};
    ::clock_nanosleep(CLOCK_MONOTONIC, 0, &delay, nullptr);
  }
  figures.elapsed = std::chrono::steady_clock::now() - start;
  // Keeps the copies from being optimised away.
  if (changes < 0) std::puts(last);
  return figures;
}

LoopFigures WaitEvery1Ms() {
  int fds[2];
  if (::pipe(fds) != 0) return {};
  LoopFigures figures;
  const auto start = std::chrono::steady_clock::now();
  while (!gStop) {
    pollfd fd{fds[0], POLLIN, 0};
    ::poll(&fd, 1, 1);
    ++figures.passes;
  }
  figures.elapsed = std::chrono::steady_clock::now() - start;
  ::close(fds[0]);
  ::close(fds[1]);
  return figures;
}

int Usage() {
  std::fputs("usage: skein_reference_poller poll|wait|both [BLOCK]\n", stderr);
  return 2;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2 || argc > 3) return Usage();
  const std::string_view mode = argv[1];
  const char* blockName = argc == 3 ? argv[2] : kDefaultBlock;

  // No SA_RESTART: the sleep and the wait end early, and the loops see the flag at once.
  struct sigaction action {};
  action.sa_handler = OnStop;
  sigemptyset(&action.sa_mask);
  ::sigaction(SIGTERM, &action, nullptr);
  ::sigaction(SIGINT, &action, nullptr);

  if (mode == "wait") {
    Report("wait 1 ms", WaitEvery1Ms());
    return 0;
  }
  if (mode != "poll" && mode != "both") return Usage();
  const char* block = MapBlock(blockName);
  if (block == nullptr) {
    std::fprintf(stderr, "skein_reference_poller: cannot open the block %s\n", blockName);
    return 1;
  }
  if (mode == "poll") {
    Report("poll 10 ms", PollEvery10Ms(block));
    return 0;
  }
  // The signal goes to whichever thread the kernel picks; both watch the same flag.
  LoopFigures pollFigures;
  std::thread poller([&] { pollFigures = PollEvery10Ms(block); });
  const LoopFigures waitFigures = WaitEvery1Ms();
  poller.join();
  Report("poll 10 ms", pollFigures);
  Report("wait 1 ms", waitFigures);
  return 0;
}
