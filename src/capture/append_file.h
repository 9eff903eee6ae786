#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string_view>

#include "platform/files.h"

namespace skein {

// A text file opened for appending through a write buffer, so that a line normally costs one copy
// and no system call. Closed, it has neither file nor buffer; writing, flushing and closing a
// closed file do nothing.
//
// A line cut short on disk (the program was killed between two writes of one line, or the disk
// filled in the middle of one) is ended with CR LF before anything else is written, so the next
// line never sticks to the fragment. The fragment itself is kept: a log is never cut back.
class AppendFile {
 public:
  static constexpr std::size_t kBufferSize = 4096;

  AppendFile() = default;
  AppendFile(const AppendFile&) = delete;
  AppendFile& operator=(const AppendFile&) = delete;
  ~AppendFile() { Close(); }

  // Opens `name` in `directory`, creating it empty when missing; new bytes go after its content.
  bool Open(platform::WorkingDirectory& directory, std::string_view name);
  // The text's bytes, then CR LF.
  void WriteLine(std::string_view text);
  // Hands the waiting bytes to the system.
  void Flush();
  void Close();
  bool IsOpen() const { return file_ != nullptr; }

  // Bytes the system refused since the program started; they are not retried.
  std::uint64_t BytesLost() const { return bytesLost_; }

 private:
  void WritePiece(std::string_view piece);
  void Hand(std::string_view bytes);

  std::unique_ptr<platform::WritableFile> file_;
  std::unique_ptr<char[]> buffer_;
  std::size_t waiting_ = 0;
  std::uint64_t bytesLost_ = 0;
  bool lastWriteFailed_ = false;
};

}  // namespace skein
