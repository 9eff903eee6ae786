#include "platform/win32/win32_working_directory.h"

#include <cstdint>
#include <new>
#include <optional>
#include <string>
#include <utility>

#include "platform/win32/unique_handle.h"
#include "platform/win32/windows_api.h"
#include "platform/win32/write_all.h"

namespace skein::platform {
namespace {

class HandleFile final : public WritableFile {
 public:
  explicit HandleFile(UniqueHandle file) : file_(std::move(file)) {}

  bool Write(std::string_view bytes) override { return WriteAll(file_.Get(), bytes); }

  // Reads the last byte at its offset; the position ends up at the end again, where the next
  // write belongs.
  bool EndsInsideLine() override {
    LARGE_INTEGER size{};
    if (!::GetFileSizeEx(file_.Get(), &size) || size.QuadPart <= 0) return false;
    const std::uint64_t last = static_cast<std::uint64_t>(size.QuadPart) - 1;
    OVERLAPPED at{};
    at.Offset = static_cast<DWORD>(last & 0xFFFFFFFFu);
    at.OffsetHigh = static_cast<DWORD>(last >> 32);
    char byte = 0;
    DWORD read = 0;
    return ::ReadFile(file_.Get(), &byte, 1, &read, &at) && read == 1 && byte != '\n';
  }

 private:
  UniqueHandle file_;
};

// The system takes zero-terminated names; one with a zero byte inside would name another file.
std::optional<std::string> SystemName(std::string_view name) {
  if (name.find('\0') != std::string_view::npos) return std::nullopt;
  return std::string(name);
}

// Writes only ever go after the existing content: a file whose end cannot be found or reached is
// not used at all, since writing from its start would overwrite logged lines.
bool MoveToEnd(HANDLE file) {
  DWORD high = 0;
  const DWORD low = ::GetFileSize(file, &high);
  if (low == INVALID_FILE_SIZE && ::GetLastError() != NO_ERROR) return false;
  const std::uint64_t size = (static_cast<std::uint64_t>(high) << 32) | low;

  LONG moveHigh = static_cast<LONG>(size >> 32);
  const DWORD moved =
      ::SetFilePointer(file, static_cast<LONG>(size & 0xFFFFFFFFu), &moveHigh, FILE_BEGIN);
  if (moved == INVALID_SET_FILE_POINTER && ::GetLastError() != NO_ERROR) return false;
  return true;
}

}  // namespace

bool Win32WorkingDirectory::Enter(std::string_view name) {
  const std::optional<std::string> path = SystemName(name);
  return path && ::SetCurrentDirectoryA(path->c_str()) != 0;
}

bool Win32WorkingDirectory::Create(std::string_view name) {
  const std::optional<std::string> path = SystemName(name);
  return path && ::CreateDirectoryA(path->c_str(), nullptr) != 0;
}

std::unique_ptr<WritableFile> Win32WorkingDirectory::OpenForAppend(std::string_view name) {
  const std::optional<std::string> path = SystemName(name);
  if (!path) return nullptr;
  UniqueHandle file(::CreateFileA(path->c_str(), GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ,
                                  nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file.Valid() || !MoveToEnd(file.Get())) return nullptr;
  return std::unique_ptr<WritableFile>(new (std::nothrow) HandleFile(std::move(file)));
}

}  // namespace skein::platform
