#include "capture/append_file.h"

#include <cstring>

namespace skein {

bool AppendFile::Open(platform::WorkingDirectory& directory, std::string_view name) {
  if (IsOpen()) return true;
  file_ = directory.OpenForAppend(name);
  if (!file_) return false;
  buffer_ = std::make_unique<char[]>(kBufferSize);
  waiting_ = 0;
  lastWriteFailed_ = false;
  if (file_->EndsInsideLine()) WritePiece("\r\n");
  return true;
}

void AppendFile::WriteLine(std::string_view text) {
  if (!IsOpen()) return;
  if (!text.empty()) WritePiece(text);
  WritePiece("\r\n");
}

void AppendFile::WritePiece(std::string_view piece) {
  if (piece.size() < kBufferSize - waiting_) {
    std::memcpy(buffer_.get() + waiting_, piece.data(), piece.size());
    waiting_ += piece.size();
    return;
  }
  Flush();
  if (piece.size() >= kBufferSize) {
    Hand(piece);
  } else {
    std::memcpy(buffer_.get(), piece.data(), piece.size());
    waiting_ = piece.size();
  }
}

void AppendFile::Flush() {
  if (!IsOpen() || waiting_ == 0) return;
  Hand({buffer_.get(), waiting_});
  waiting_ = 0;
}

void AppendFile::Hand(std::string_view bytes) {
  // After a failed write the file may end inside a line that the lost bytes were to finish.
  if (lastWriteFailed_ && file_->EndsInsideLine()) file_->Write("\r\n");
  lastWriteFailed_ = !file_->Write(bytes);
  if (lastWriteFailed_) bytesLost_ += bytes.size();
}

void AppendFile::Close() {
  if (!IsOpen()) return;
  Flush();
  buffer_.reset();
  file_.reset();
}

}  // namespace skein
