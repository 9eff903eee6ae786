#include "capture/hourly_log.h"

#include "capture/log_tree.h"

namespace skein {

bool HourlyLog::Open(std::string_view logName) {
  if (!opened_) opened_ = file_.Open(directory_, SafePathComponent(logName));
  return opened_;
}

void HourlyLog::CloseForRollover() {
  file_.Close();
  opened_ = false;
}

}  // namespace skein
