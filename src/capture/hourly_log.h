#pragma once

#include <string_view>

#include "capture/append_file.h"
#include "platform/files.h"

namespace skein {

// The log file of the current hour, opened by the first accepted record after a rollover and kept
// open until the next rollover or the end of the program.
class HourlyLog {
 public:
  explicit HourlyLog(platform::WorkingDirectory& directory) : directory_(directory) {}

  // Writes the record as a line, opening `logName` in the current directory first when this
  // hour's log is not open yet. False when it could not be opened; the caller retries later.
  bool AppendRecord(std::string_view record, std::string_view logName);
  void Flush() { file_.Flush(); }
  // At a rollover: the next record opens the new hour's log.
  void CloseForRollover();
  // At the end of the program: the log stays closed for good, so a record accepted after it is
  // written nowhere rather than into a file reopened behind the exit summary.
  void CloseAtExit() { file_.Close(); }

  bool IsOpen() const { return file_.IsOpen(); }
  const AppendFile& File() const { return file_; }

 private:
  platform::WorkingDirectory& directory_;
  AppendFile file_;
  bool opened_ = false;
};

}  // namespace skein
