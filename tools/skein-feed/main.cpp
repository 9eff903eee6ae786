#ifdef _WIN32
#include <fcntl.h>
#include <io.h>

#include <cstdio>
#endif

#include <iostream>
#include <string_view>
#include <vector>

#include "skein-feed/feed_options.h"
#include "skein-feed/feed_runner.h"

int main(int argc, char** argv) {
#ifdef _WIN32
  // Records are bytes: no CR added before each printed LF, and no end of input at a 0x1A byte.
  _setmode(_fileno(stdin), _O_BINARY);
  _setmode(_fileno(stdout), _O_BINARY);
#endif
  const std::vector<std::string_view> args(argv + 1, argv + argc);
  const auto parsed = skein::feed::ParseFeedOptions(args);
  if (!parsed.options) {
    std::cerr << "skein-feed: " << parsed.error << "; try --help\n";
    return 2;
  }
  if (parsed.options->help) {
    std::cout << skein::feed::FeedHelpText();
    return 0;
  }
  return skein::feed::RunFeed(*parsed.options, std::cin, std::cout, std::cerr);
}
