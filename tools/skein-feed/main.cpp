#include <iostream>
#include <string_view>
#include <vector>

#include "skein-feed/feed_options.h"
#include "skein-feed/feed_runner.h"

int main(int argc, char** argv) {
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
