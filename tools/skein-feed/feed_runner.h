#pragma once

#include <istream>
#include <ostream>

#include "skein-feed/feed_options.h"

namespace skein::feed {

// Publishes the records `options` asks for into their block, each held for the hold time, and
// returns the exit status: 0 when all were published, 1 when the block or the record file could
// not be used. `input` feeds --stdin, `output` takes --print, `errors` the messages.
int RunFeed(const FeedOptions& options, std::istream& input, std::ostream& output,
            std::ostream& errors);

}  // namespace skein::feed
