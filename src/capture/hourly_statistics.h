#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "capture/append_file.h"
#include "platform/files.h"

namespace skein {

// Records accepted in the current statistics period.
struct HourCounters {
  std::int32_t total = 0;
  std::int32_t transmitted = 0;
  std::int32_t notTransmitted = 0;

  // Counts one accepted record. The counts wrap rather than overflow: a log that cannot be opened
  // counts the same record a hundred times a second, for as long as it stays shut.
  void Count(bool wasTransmitted);
  void Reset() { *this = {}; }
  bool operator==(const HourCounters&) const = default;
};

// One summary line without its CR LF: prefix, label, then the three counts.
std::string SummaryLine(std::string_view prefix, std::string_view label,
                        const HourCounters& counters);

// The summary lines of each hour, in HH-Statistics.txt beside the hour's log.
class HourlyStatistics {
 public:
  explicit HourlyStatistics(platform::WorkingDirectory& directory) : directory_(directory) {}

  // Called once, with the text of the first poll.
  void StartPeriod(std::string_view text);
  // First step of a rollover caused by `text`: an open file gets its ":00 Total " line and closes.
  void CloseAtRollover(std::string_view text);
  // For an accepted record, already counted: opens the hour's file, or writes the ":00 total "
  // line when the record's hour differs from the period's.
  void StepForRecord(std::string_view record);
  // At the end of the program, with the latest text read: the exit line, then the file closes
  // for good.
  void WriteExitSummary(std::string_view currentRecord);

  HourCounters& Counters() { return counters_; }
  const HourCounters& Counters() const { return counters_; }
  const std::string& PeriodHour() const { return periodHour_; }
  bool IsOpen() const { return file_.IsOpen(); }
  const AppendFile& File() const { return file_; }

 private:
  platform::WorkingDirectory& directory_;
  AppendFile file_;
  bool opened_ = false;
  std::string periodHour_;
  HourCounters counters_;
};

}  // namespace skein
