#include "platform/posix/posix_files.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <utility>

#include "platform/posix/unique_fd.h"
#include "platform/temporary_name.h"

namespace skein::platform {
namespace {

// The system takes zero-terminated paths; a path with a zero byte inside would name another file.
std::optional<std::string> SystemPath(std::string_view path) {
  if (path.empty() || path.find('\0') != std::string_view::npos) return std::nullopt;
  return std::string(path);
}

std::string DirectoryOf(const std::string& path) {
  const std::size_t slash = path.find_last_of('/');
  if (slash == std::string::npos) return ".";
  if (slash == 0) return "/";
  return path.substr(0, slash);
}

bool WriteAll(int fd, std::string_view bytes) {
  while (!bytes.empty()) {
    const ssize_t written = ::write(fd, bytes.data(), bytes.size());
    if (written < 0 && errno == EINTR) continue;
    if (written <= 0) return false;
    bytes.remove_prefix(static_cast<std::size_t>(written));
  }
  return true;
}

int FsyncRetrying(int fd) {
  int result;
  do {
    result = ::fsync(fd);
  } while (result != 0 && errno == EINTR);
  return result;
}

std::string UniqueSuffix() {
  return TemporaryNameSuffix(
      static_cast<std::uint64_t>(std::chrono::steady_clock::now().time_since_epoch().count()) ^
      (static_cast<std::uint64_t>(::getpid()) << 32));
}

// Durability of the rename itself. A directory that cannot be opened for reading cannot be
// synced, and some file systems do not sync directories at all; the new content is in place
// either way, so only a real I/O error counts as a failure.
bool SyncDirectory(const std::string& directory) {
  UniqueFd fd(::open(directory.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
  if (!fd.Valid()) return true;
  if (FsyncRetrying(fd.Get()) == 0) return true;
  return errno == EINVAL || errno == ENOTSUP;
}

class PosixPendingFile final : public PendingFile {
 public:
  PosixPendingFile(UniqueFd fd, std::string target, std::string temporary)
      : fd_(std::move(fd)), target_(std::move(target)), temporary_(std::move(temporary)) {}
  PosixPendingFile(const PosixPendingFile&) = delete;
  PosixPendingFile& operator=(const PosixPendingFile&) = delete;

  ~PosixPendingFile() override { Discard(); }

  bool Commit(std::string_view bytes) override {
    if (!fd_.Valid()) return false;
    if (!WriteAll(fd_.Get(), bytes) || FsyncRetrying(fd_.Get()) != 0) {
      Discard();
      return false;
    }
    fd_.Reset();
    if (::rename(temporary_.c_str(), target_.c_str()) != 0) {
      Discard();
      return false;
    }
    temporary_.clear();
    return SyncDirectory(DirectoryOf(target_));
  }

 private:
  void Discard() {
    fd_.Reset();
    if (!temporary_.empty()) ::unlink(temporary_.c_str());
    temporary_.clear();
  }

  UniqueFd fd_;
  std::string target_;
  std::string temporary_;  // empty once renamed or removed
};

}  // namespace

std::optional<std::string> PosixFiles::ReadAll(std::string_view path) {
  const std::optional<std::string> name = SystemPath(path);
  if (!name) return std::nullopt;
  UniqueFd fd(::open(name->c_str(), O_RDONLY | O_CLOEXEC));
  if (!fd.Valid()) return std::nullopt;

  std::string content;
  struct stat info {};
  if (::fstat(fd.Get(), &info) == 0 && S_ISREG(info.st_mode) && info.st_size > 0) {
    content.reserve(static_cast<std::size_t>(info.st_size));
  }
  // The size is only a hint: the file may grow or shrink while it is read.
  char buffer[64 * 1024];
  for (;;) {
    const ssize_t got = ::read(fd.Get(), buffer, sizeof buffer);
    if (got < 0 && errno == EINTR) continue;
    if (got < 0) return std::nullopt;
    if (got == 0) break;
    content.append(buffer, static_cast<std::size_t>(got));
  }
  return content;
}

std::unique_ptr<PendingFile> PosixFiles::Replace(std::string_view path) {
  const std::optional<std::string> target = SystemPath(path);
  if (!target) return nullptr;
  // A few tries against names that happen to exist already.
  for (int attempt = 0; attempt < 100; ++attempt) {
    std::string temporary = *target + "." + UniqueSuffix();
    // 0644 before the umask, as any new file of the program.
    UniqueFd fd(::open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644));
    if (fd.Valid()) {
      return std::make_unique<PosixPendingFile>(std::move(fd), *target, std::move(temporary));
    }
    if (errno != EEXIST) return nullptr;
  }
  return nullptr;
}

std::int64_t PosixFiles::QueryFileSize(std::string_view path) {
  // Trailing separators are ignored, but "/" itself stays the root.
  while (path.size() > 1 && path.back() == '/') path.remove_suffix(1);
  const std::optional<std::string> name = SystemPath(path);
  if (!name) return -1;
  struct stat info {};
  if (::stat(name->c_str(), &info) != 0) return -1;
  if (S_ISDIR(info.st_mode)) return -2;
  return static_cast<std::int64_t>(info.st_size);
}

}  // namespace skein::platform
