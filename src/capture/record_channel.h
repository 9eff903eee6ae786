#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

#include "platform/record_block.h"

namespace skein {

inline constexpr std::string_view kRecordChannelName = "KVOR_300871_140263_GATE1";
inline constexpr std::size_t kRecordChannelSize = 256;

// The text at the start of the block: its bytes up to the first zero byte, or all 256.
//
// The writer replaces the block while we copy it, so one copy can join the start of one record
// to the end of another. The block is copied until two copies in a row agree; when they never
// do within a few tries, the result is empty and this poll takes nothing new.
std::optional<std::string> ReadRecordText(platform::RecordBlock& block);

}  // namespace skein
