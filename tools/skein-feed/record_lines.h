#pragma once

#include <istream>
#include <string>

namespace skein::feed {

// Reads the next record from a stream of one record a line into `record`: everything up to the
// LF, with a CR just before it (or at the very end of the stream) taken off and every other byte
// kept as it is. A last line without LF still counts; an empty line is the empty record. False
// at the end of the stream.
bool ReadRecordLine(std::istream& in, std::string& record);

}  // namespace skein::feed
