#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace skein {

// A text is a new record only from this length on.
inline constexpr std::size_t kMinimumRecordLength = 36;

// The first `n` characters, or the whole text when it is shorter.
std::string_view FirstChars(std::string_view text, std::size_t n);
// `n` characters from `position` (counted from 1); fewer or none when the text ends earlier.
std::string_view CharsFrom(std::string_view text, std::size_t position, std::size_t n);

// Fields at fixed positions of a record. None of them is validated.
inline std::string_view YearOf(std::string_view text) {
  return CharsFrom(text, 1, 4);
}
inline std::string_view MonthOf(std::string_view text) {
  return CharsFrom(text, 6, 2);
}
inline std::string_view DayOf(std::string_view text) {
  return CharsFrom(text, 9, 2);
}
inline std::string_view HourOf(std::string_view text) {
  return CharsFrom(text, 12, 2);
}

// The year, month and day a text names: the directory levels below the base directory.
struct RecordTime {
  std::string year;
  std::string month;
  std::string day;

  static RecordTime Of(std::string_view text);
  bool operator==(const RecordTime&) const = default;
};

// The hour's log file name: the hour field followed by ".log".
std::string LogNameOf(std::string_view text);

// Only the digit 1 in the last character marks a record as transmitted.
bool IsTransmitted(std::string_view record);

}  // namespace skein
