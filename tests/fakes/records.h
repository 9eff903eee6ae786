#pragma once

#include <string>
#include <string_view>

namespace skein::testing {

// A record of `length` characters dated `date` ("YYYY-MM-DD") and `hour` ("HH"), whose last
// character is `flag`; `tag` tells records of the same hour apart.
inline std::string MakeRecord(std::string_view date, std::string_view hour, char flag,
                              char tag = 'x', std::size_t length = 40) {
  std::string record(date);
  record += ' ';
  record += hour;
  record += ":00:00 ";
  while (record.size() + 1 < length) record += tag;
  record.resize(length - 1);
  record += flag;
  return record;
}

}  // namespace skein::testing
