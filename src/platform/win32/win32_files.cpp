#include "platform/win32/win32_files.h"

#include <algorithm>
#include <exception>
#include <new>
#include <utility>

#include "platform/temporary_name.h"
#include "platform/win32/unique_handle.h"
#include "platform/win32/windows_api.h"
#include "platform/win32/write_all.h"

namespace skein::platform {
namespace {

// The longest path the size check looks at, as the system's own path buffers hold.
constexpr std::size_t kMaxCheckedPath = 260;

// The system takes zero-terminated paths; a path with a zero byte inside would name another file.
std::optional<std::string> SystemPath(std::string_view path) {
  if (path.empty() || path.find('\0') != std::string_view::npos) return std::nullopt;
  return std::string(path);
}

UniqueHandle OpenExisting(const std::string& path) {
  struct Attempt {
    DWORD access;
    DWORD share;
  };
  // Another program holding the file open for writing only costs us the write access.
  static constexpr Attempt kAttempts[] = {
      {GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ},
      {GENERIC_READ, FILE_SHARE_READ},
      {GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE},
  };
  for (const Attempt& attempt : kAttempts) {
    UniqueHandle file(::CreateFileA(path.c_str(), attempt.access, attempt.share, nullptr,
                                    OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (file.Valid()) return file;
  }
  return UniqueHandle();
}

std::string UniqueSuffix() {
  return TemporaryNameSuffix(static_cast<std::uint64_t>(::GetTickCount64()) ^
                             (static_cast<std::uint64_t>(::GetCurrentProcessId()) << 32));
}

class Win32PendingFile final : public PendingFile {
 public:
  Win32PendingFile(UniqueHandle file, std::string target, std::string temporary)
      : file_(std::move(file)), target_(std::move(target)), temporary_(std::move(temporary)) {}
  Win32PendingFile(const Win32PendingFile&) = delete;
  Win32PendingFile& operator=(const Win32PendingFile&) = delete;

  ~Win32PendingFile() override { Discard(); }

  bool Commit(std::string_view bytes) override {
    if (!file_.Valid()) return false;
    if (!WriteAll(file_.Get(), bytes) || !::FlushFileBuffers(file_.Get())) {
      Discard();
      return false;
    }
    file_.Reset();
    if (!::MoveFileExA(temporary_.c_str(), target_.c_str(),
                       MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
      Discard();
      return false;
    }
    temporary_.clear();
    return true;
  }

 private:
  void Discard() {
    file_.Reset();
    if (!temporary_.empty()) ::DeleteFileA(temporary_.c_str());
    temporary_.clear();
  }

  UniqueHandle file_;
  std::string target_;
  std::string temporary_;  // empty once moved or removed
};

bool IsSeparator(char c) {
  return c == '\\' || c == '/';
}

// "X:" alone, which the search below would take for the current directory on that drive.
bool IsBareDrive(std::string_view path) {
  if (path.size() != 2 || path[1] != ':') return false;
  const char letter = path[0];
  return (letter >= 'A' && letter <= 'Z') || (letter >= 'a' && letter <= 'z');
}

bool IsNetworkPath(std::string_view path) {
  return path.size() >= 2 && IsSeparator(path[0]) && IsSeparator(path[1]);
}

// A file search takes these as patterns and would answer with whatever file matches; no name
// can hold them, so such a path names nothing. The "\\?\" and "\\.\" prefixes are no pattern.
bool HasPattern(std::string_view path) {
  if (path.starts_with("\\\\?\\") || path.starts_with("\\\\.\\")) path.remove_prefix(4);
  return path.find_first_of("*?<>\"") != std::string_view::npos;
}

}  // namespace

std::optional<std::string> Win32Files::ReadAll(std::string_view path) {
  const std::optional<std::string> name = SystemPath(path);
  if (!name) return std::nullopt;
  const UniqueHandle file = OpenExisting(*name);
  if (!file.Valid()) return std::nullopt;

  DWORD high = 0;
  const DWORD low = ::GetFileSize(file.Get(), &high);
  if (low == INVALID_FILE_SIZE && ::GetLastError() != NO_ERROR) return std::nullopt;
  const std::uint64_t size = (static_cast<std::uint64_t>(high) << 32) | low;

  std::string content;
  try {
    content.resize(static_cast<std::size_t>(size));
  } catch (const std::exception&) {
    // Far too large for a settings file; nothing that can be read whole.
    return std::nullopt;
  }
  // One read for any file below a gigabyte; the content is what the reads gave.
  std::size_t got = 0;
  while (got < content.size()) {
    const DWORD chunk =
        static_cast<DWORD>(std::min<std::size_t>(content.size() - got, 0x40000000u));
    DWORD read = 0;
    if (!::ReadFile(file.Get(), content.data() + got, chunk, &read, nullptr)) return std::nullopt;
    if (read == 0) break;
    got += read;
  }
  content.resize(got);
  return content;
}

std::unique_ptr<PendingFile> Win32Files::Replace(std::string_view path) {
  const std::optional<std::string> target = SystemPath(path);
  if (!target) return nullptr;
  // A few tries against names that happen to exist already.
  for (int attempt = 0; attempt < 100; ++attempt) {
    std::string temporary = *target + "." + UniqueSuffix();
    UniqueHandle file(::CreateFileA(temporary.c_str(), GENERIC_READ | GENERIC_WRITE,
                                    FILE_SHARE_READ, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL,
                                    nullptr));
    if (file.Valid()) {
      // Without the object nothing would remove the temporary file again.
      std::unique_ptr<PendingFile> pending(
          new (std::nothrow) Win32PendingFile(std::move(file), *target, temporary));
      if (!pending) ::DeleteFileA(temporary.c_str());
      return pending;
    }
    const DWORD error = ::GetLastError();
    if (error != ERROR_FILE_EXISTS && error != ERROR_ALREADY_EXISTS) return nullptr;
  }
  return nullptr;
}

std::int64_t Win32Files::QueryFileSize(std::string_view path) {
  path = path.substr(0, kMaxCheckedPath);
  while (!path.empty() && IsSeparator(path.back())) path.remove_suffix(1);
  const std::optional<std::string> name = SystemPath(path);
  if (!name || HasPattern(*name)) return -1;

  if (IsBareDrive(*name)) {
    const UINT type = ::GetDriveTypeA((*name + "\\").c_str());
    return type == DRIVE_UNKNOWN || type == DRIVE_NO_ROOT_DIR ? -1 : -2;
  }

  WIN32_FIND_DATAA found{};
  const HANDLE search = ::FindFirstFileA(name->c_str(), &found);
  if (search != INVALID_HANDLE_VALUE) {
    ::FindClose(search);
    if ((found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0) return -2;
    return static_cast<std::int64_t>((static_cast<std::uint64_t>(found.nFileSizeHigh) << 32) |
                                     found.nFileSizeLow);
  }
  // The root of a share cannot be searched for, only asked about.
  if (IsNetworkPath(*name)) {
    const DWORD attributes = ::GetFileAttributesA(name->c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
      return -2;
    }
  }
  return -1;
}

}  // namespace skein::platform
