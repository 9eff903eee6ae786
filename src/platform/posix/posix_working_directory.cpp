#include "platform/posix/posix_working_directory.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <string>

namespace skein::platform {
namespace {

class AppendingFd final : public WritableFile {
 public:
  explicit AppendingFd(UniqueFd fd) : fd_(std::move(fd)) {}

  bool Write(std::string_view bytes) override {
    while (!bytes.empty()) {
      const ssize_t written = ::write(fd_.Get(), bytes.data(), bytes.size());
      if (written < 0 && errno == EINTR) continue;
      if (written <= 0) return false;
      bytes.remove_prefix(static_cast<std::size_t>(written));
    }
    return true;
  }

  bool EndsInsideLine() override {
    struct stat status {};
    if (::fstat(fd_.Get(), &status) != 0 || status.st_size <= 0) return false;
    char last = 0;
    return ::pread(fd_.Get(), &last, 1, status.st_size - 1) == 1 && last != '\n';
  }

 private:
  UniqueFd fd_;
};

// Locks held on an open file description belong to this descriptor alone, so a second writer,
// in this process or another, is refused while the file is open here; readers are not affected.
bool LockForWriting(int fd) {
  struct flock lock {};
  lock.l_type = F_WRLCK;
  lock.l_whence = SEEK_SET;
  lock.l_start = 0;
  lock.l_len = 0;
  return ::fcntl(fd, F_OFD_SETLK, &lock) == 0;
}

}  // namespace

PosixWorkingDirectory::PosixWorkingDirectory()
    : current_(::open(".", O_RDONLY | O_DIRECTORY | O_CLOEXEC)) {}

bool PosixWorkingDirectory::Enter(std::string_view name) {
  const std::string path(name);
  const int at = current_.Valid() ? current_.Get() : AT_FDCWD;
  UniqueFd next(::openat(at, path.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
  if (!next.Valid()) return false;
  current_ = std::move(next);
  return true;
}

bool PosixWorkingDirectory::Create(std::string_view name) {
  const std::string path(name);
  const int at = current_.Valid() ? current_.Get() : AT_FDCWD;
  return ::mkdirat(at, path.c_str(), 0777) == 0;
}

std::unique_ptr<WritableFile> PosixWorkingDirectory::OpenForAppend(std::string_view name) {
  const std::string path(name);
  const int at = current_.Valid() ? current_.Get() : AT_FDCWD;
  UniqueFd fd(::openat(at, path.c_str(), O_RDWR | O_CREAT | O_APPEND | O_CLOEXEC, 0666));
  if (!fd.Valid() || !LockForWriting(fd.Get())) return nullptr;
  return std::make_unique<AppendingFd>(std::move(fd));
}

}  // namespace skein::platform
