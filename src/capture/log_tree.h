#pragma once

#include <string>
#include <string_view>

#include "capture/record.h"
#include "platform/files.h"

namespace skein {

// A field cut from a record, made safe as one path component. Records are untrusted: a field
// holding a separator, a drive colon or a zero byte, or one that is "." or "..", would otherwise
// reach outside the base directory, and one that Windows refuses as a name would never be logged.
// Bytes refused in Windows names, and trailing dots and blanks, become "_", and so does the first
// letter of a device name ("COM1"); digits and every other byte pass as they are, so ordinary
// records name exactly their own fields, on every system alike.
std::string SafePathComponent(std::string_view field);

// A directory name as it is handed to the system for creation: at most 260 characters, without
// trailing blanks and separators.
std::string DirectoryNameToCreate(std::string_view name);

// Makes base/year/month/day the current directory, level by level, creating each missing level;
// an empty level does nothing. Stops at a level that can be neither entered nor created and
// answers false: the levels below it would otherwise land in whatever directory was current, far
// from the base directory.
bool EnterRecordDirectory(platform::WorkingDirectory& directory, std::string_view baseDirectory,
                          const RecordTime& time);

// The path of the log file that `logName` names under the record's day directory.
std::string HourlyLogPath(std::string_view baseDirectory, const RecordTime& time,
                          std::string_view logName);

}  // namespace skein
