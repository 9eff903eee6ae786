#include "platform/posix/shared_memory_block.h"

#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <limits>
#include <new>
#include <string>
#include <utility>

namespace skein::platform {
namespace {

// Owns a descriptor until it is handed on with Release.
class Descriptor {
 public:
  explicit Descriptor(int fd) : fd_(fd) {}
  ~Descriptor() {
    if (fd_ >= 0) ::close(fd_);
  }
  Descriptor(const Descriptor&) = delete;
  Descriptor& operator=(const Descriptor&) = delete;

  bool Valid() const { return fd_ >= 0; }
  int Get() const { return fd_; }
  int Release() { return std::exchange(fd_, -1); }

 private:
  int fd_;
};

// O_NONBLOCK keeps a FIFO planted under the name from stalling the open; the type check below
// turns it away afterwards. shm_open adds O_NOFOLLOW, so a planted symbolic link fails too.
constexpr int kOpenFlags = O_RDWR | O_NONBLOCK;
// The writer has to run as the same user, as with the per-logon object namespace elsewhere.
constexpr mode_t kCreateMode = S_IRUSR | S_IWUSR;

bool IsSharedMemoryObject(int fd) {
  struct stat info {};
  return ::fstat(fd, &info) == 0 && S_ISREG(info.st_mode);
}

// The object's size right now, or 0 when it cannot be asked.
std::size_t CurrentSize(int fd) {
  struct stat info {};
  if (::fstat(fd, &info) != 0 || info.st_size <= 0) return 0;
  return static_cast<std::size_t>(info.st_size);
}

bool Truncate(int fd, std::size_t size) {
  int result;
  do {
    result = ::ftruncate(fd, static_cast<off_t>(size));
  } while (result != 0 && errno == EINTR);
  return result == 0;
}

}  // namespace

std::unique_ptr<SharedMemoryBlock> SharedMemoryBlock::Open(std::string_view name,
                                                           std::size_t size) {
  if (size == 0 || size > static_cast<std::size_t>(std::numeric_limits<off_t>::max())) {
    return nullptr;
  }
  // A zero byte would silently cut the name the system sees.
  if (name.find('\0') != std::string_view::npos) return nullptr;
  const std::string path(name);

  auto adopt = [size](Descriptor& fd) -> std::unique_ptr<SharedMemoryBlock> {
    std::unique_ptr<SharedMemoryBlock> block(new (std::nothrow) SharedMemoryBlock(fd.Get(), size));
    if (block) fd.Release();
    return block;
  };

  // The writer may create or remove the object between our two opens; a few rounds settle that.
  for (int attempt = 0; attempt < 3; ++attempt) {
    Descriptor created(::shm_open(path.c_str(), kOpenFlags | O_CREAT | O_EXCL, kCreateMode));
    if (created.Valid()) {
      // Exclusive creation means the object is ours to size; an existing one is never resized.
      if (!Truncate(created.Get(), size)) {
        // Leave no empty object behind for the next run to pick up.
        ::shm_unlink(path.c_str());
        return nullptr;
      }
      return adopt(created);
    }
    if (errno != EEXIST) return nullptr;

    Descriptor existing(::shm_open(path.c_str(), kOpenFlags, 0));
    if (existing.Valid()) {
      if (!IsSharedMemoryObject(existing.Get())) return nullptr;
      return adopt(existing);
    }
    if (errno != ENOENT) return nullptr;
  }
  return nullptr;
}

SharedMemoryBlock::SharedMemoryBlock(int descriptor, std::size_t size)
    : descriptor_(descriptor), size_(size) {}

SharedMemoryBlock::~SharedMemoryBlock() {
  if (view_ != nullptr) ::munmap(view_, viewSize_);
  ::close(descriptor_);
}

std::size_t SharedMemoryBlock::Read(std::span<char> into) {
  // pread is bounded by the object's real size, where a load from a mapping past its end would
  // raise SIGBUS.
  std::size_t copied = 0;
  while (copied < into.size()) {
    const ssize_t got = ::pread(descriptor_, into.data() + copied, into.size() - copied,
                                static_cast<off_t>(copied));
    if (got < 0 && errno == EINTR) continue;
    if (got <= 0) break;
    copied += static_cast<std::size_t>(got);
  }
  return copied;
}

bool SharedMemoryBlock::EnsureMapped() {
  if (view_ != nullptr) return true;
  // An object another process has just created may not have its size yet; map it once it has.
  const std::size_t length = std::min(size_, CurrentSize(descriptor_));
  if (length == 0) return false;
  void* view = ::mmap(nullptr, length, PROT_READ | PROT_WRITE, MAP_SHARED, descriptor_, 0);
  if (view == MAP_FAILED) return false;
  view_ = view;
  viewSize_ = length;
  return true;
}

bool SharedMemoryBlock::Publish(std::string_view text) {
  if (!EnsureMapped()) return false;
  // Stores past the object's current end would raise SIGBUS, should another process have shrunk
  // it since it was mapped.
  const std::size_t room = std::min(viewSize_, CurrentSize(descriptor_));
  if (room == 0) return false;

  // A plain copy with no lock: readers may catch it halfway, exactly as with the real writer.
  char* block = static_cast<char*>(view_);
  const std::size_t length = std::min(text.size(), room);
  std::memcpy(block, text.data(), length);
  if (length < room) block[length] = '\0';
  return true;
}

}  // namespace skein::platform
