#include "capture/hourly_statistics.h"

#include "capture/log_tree.h"
#include "capture/record.h"

namespace skein {
namespace {

std::int32_t Increment(std::int32_t count) {
  return static_cast<std::int32_t>(static_cast<std::uint32_t>(count) + 1u);
}

std::string StatisticsFileName(std::string_view record) {
  std::string name = SafePathComponent(HourOf(record));
  name += "-Statistics.txt";
  return name;
}

}  // namespace

void HourCounters::Count(bool wasTransmitted) {
  total = Increment(total);
  if (wasTransmitted) {
    transmitted = Increment(transmitted);
  } else {
    notTransmitted = Increment(notTransmitted);
  }
}

std::string SummaryLine(std::string_view prefix, std::string_view label,
                        const HourCounters& counters) {
  std::string line(prefix);
  line += label;
  line += std::to_string(counters.total);
  line += " transmitted ";
  line += std::to_string(counters.transmitted);
  line += " not transmitted ";
  line += std::to_string(counters.notTransmitted);
  return line;
}

void HourlyStatistics::StartPeriod(std::string_view text) {
  periodHour_ = HourOf(text);
}

void HourlyStatistics::CloseAtRollover(std::string_view text) {
  if (!file_.IsOpen()) return;
  file_.WriteLine(SummaryLine(FirstChars(text, 13), ":00 Total ", counters_));
  file_.Close();
  opened_ = false;
  counters_.Reset();
  periodHour_ = HourOf(text);
}

void HourlyStatistics::StepForRecord(std::string_view record) {
  if (!opened_) {
    opened_ = file_.Open(directory_, StatisticsFileName(record));
    return;
  }
  const std::string_view hour = HourOf(record);
  if (hour == periodHour_) return;
  periodHour_ = hour;
  file_.WriteLine(SummaryLine(FirstChars(record, 13), ":00 total ", counters_));
  file_.Flush();
  counters_.Reset();
}

void HourlyStatistics::WriteExitSummary(std::string_view currentRecord) {
  if (!file_.IsOpen()) return;
  file_.WriteLine(SummaryLine(FirstChars(currentRecord, 16), " Total ", counters_));
  file_.Close();
}

}  // namespace skein
