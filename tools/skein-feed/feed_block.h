#pragma once

// The writer's side of the record channel on this platform: a block with Open, Read and Publish,
// and the channel's name as the platform spells it.
#ifdef _WIN32
#include "platform/win32/named_mapping_block.h"
#else
#include "platform/posix/shared_memory_block.h"
#endif
