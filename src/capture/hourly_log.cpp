#include "capture/hourly_log.h"

#include "capture/log_tree.h"

namespace skein {

bool HourlyLog::AppendRecord(std::string_view record, std::string_view logName) {
  if (!opened_) {
    if (!file_.Open(directory_, SafePathComponent(logName))) return false;
    opened_ = true;
  }
  file_.WriteLine(record);
  return true;
}

void HourlyLog::CloseForRollover() {
  file_.Close();
  opened_ = false;
}

}  // namespace skein
