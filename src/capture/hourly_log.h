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

  // Opens `logName` in the current directory unless this hour's log was opened already. False
  // when it cannot be opened; the caller tries again with a later poll.
  bool Open(std::string_view logName);
  // Writes the record as a line of the log opened for this hour.
  void Append(std::string_view record) { file_.WriteLine(record); }
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
