#include "poll_setup.h"

#include <fcntl.h>
#include <sys/mman.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <utility>

namespace skein::bench {
namespace {

// Two 40-character records of the same hour that differ only in their sequence number.
constexpr char kRecordA[] = "2026-12-31 22:03:00 #000001 Qz81xaBcDe 1";
constexpr char kRecordB[] = "2026-12-31 22:03:00 #000002 Rk47pwFgHi 0";
constexpr char kLogPath[] = "/2026/12/31/22.log";

// The writer's side: a shared mapping of the block that the reader opened, or null.
char* MapForWriting(const std::string& name) {
  const int fd = ::shm_open(name.c_str(), O_RDWR, 0);
  if (fd < 0) return nullptr;
  void* view =
      ::mmap(nullptr, platform::kRecordBlockSize, PROT_READ | PROT_WRITE, MAP_SHARED, fd, 0);
  ::close(fd);
  return view == MAP_FAILED ? nullptr : static_cast<char*>(view);
}

}  // namespace

std::unique_ptr<PollSetup> PollSetup::Create(Kind kind) {
  // A name of our own: the record channel may be in use by a running program or a test.
  std::string name = "/skein-bench-poll-" + std::to_string(::getpid());
  auto block = platform::SharedMemoryBlock::Open(name);
  WriterView writerView(block ? MapForWriting(name) : nullptr);
  if (!writerView) {
    std::fprintf(stderr, "poll setup: cannot open the block %s\n", name.c_str());
    if (block) ::shm_unlink(name.c_str());
    return nullptr;
  }
  std::unique_ptr<PollSetup> setup(
      new PollSetup(kind, std::move(name), std::move(block), std::move(writerView)));
  if (setup->tree_.Path().empty()) {
    std::fputs("poll setup: cannot make a directory below /dev/shm\n", stderr);
    return nullptr;
  }
  setup->loop_ = std::make_unique<CaptureLoop>(setup->block_.get(), setup->directory_,
                                               setup->system_, [](std::string_view) {});
  // The first poll logs record A, so that it is the last record from then on.
  setup->loop_->Restore(setup->tree_.Path() + "/", "");
  setup->loop_->Begin();
  setup->Publish(setup->records_[0]);
  if (!setup->loop_->Poll()) {
    std::fputs("poll setup: the first record was not logged\n", stderr);
    return nullptr;
  }
  setup->next_ = 1;
  return setup;
}

PollSetup::PollSetup(Kind kind, std::string blockName,
                     std::unique_ptr<platform::SharedMemoryBlock> block, WriterView writerView)
    : kind_(kind),
      blockName_(std::move(blockName)),
      block_(std::move(block)),
      writerView_(std::move(writerView)),
      records_{kRecordA, kRecordB} {}

PollSetup::~PollSetup() {
  // The loop's files close before their directory goes.
  loop_.reset();
  ::shm_unlink(blockName_.c_str());
}

void PollSetup::Unmap::operator()(char* view) const {
  ::munmap(view, platform::kRecordBlockSize);
}

void PollSetup::Publish(const std::string& record) {
  std::memcpy(writerView_.get(), record.c_str(), record.size() + 1);
}

std::optional<std::string> PollSetup::Poll() {
  if (kind_ == Kind::Accept) {
    Publish(records_[next_]);
    next_ ^= 1;
  }
  return loop_->Poll();
}

void PollSetup::EmptyLog() {
  EmptyFile(tree_.Path() + kLogPath);
}

}  // namespace skein::bench
