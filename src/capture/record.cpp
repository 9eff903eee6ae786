#include "capture/record.h"

namespace skein {

std::string_view FirstChars(std::string_view text, std::size_t n) {
  return text.substr(0, n);
}

std::string_view CharsFrom(std::string_view text, std::size_t position, std::size_t n) {
  if (position == 0 || position > text.size()) return {};
  return text.substr(position - 1, n);
}

RecordTime RecordTime::Of(std::string_view text) {
  return {std::string(YearOf(text)), std::string(MonthOf(text)), std::string(DayOf(text))};
}

std::string LogNameOf(std::string_view text) {
  std::string name(HourOf(text));
  name += ".log";
  return name;
}

bool IsTransmitted(std::string_view record) {
  return !record.empty() && record.back() == '1';
}

}  // namespace skein
