#pragma once

#include <string>
#include <string_view>

#include "capture/record.h"
#include "platform/files.h"

namespace skein {

// A field cut from a record, made safe as one path component. Records are untrusted: a field
// holding a separator, a drive colon or a zero byte, or one that is "." or "..", would otherwise
// reach outside the base directory. Such bytes become "_"; digits and every other byte pass as
// they are, so ordinary records name exactly their own fields.
std::string SafePathComponent(std::string_view field);

// A directory name as it is handed to the system for creation: at most 260 characters, without
// trailing blanks and separators.
std::string DirectoryNameToCreate(std::string_view name);

// Makes base/year/month/day the current directory, level by level, creating each missing level.
// A level that can be neither entered nor created is passed over and the next level is tried
// where the previous ones left the current directory; an empty level does nothing.
void EnterRecordDirectory(platform::WorkingDirectory& directory, std::string_view baseDirectory,
                          const RecordTime& time);

// The path of the log file that `logName` names under the record's day directory.
std::string HourlyLogPath(std::string_view baseDirectory, const RecordTime& time,
                          std::string_view logName);

}  // namespace skein
