#include "skein-feed/record_lines.h"

namespace skein::feed {

bool ReadRecordLine(std::istream& in, std::string& record) {
  if (!std::getline(in, record, '\n')) return false;
  if (!record.empty() && record.back() == '\r') record.pop_back();
  return true;
}

}  // namespace skein::feed
