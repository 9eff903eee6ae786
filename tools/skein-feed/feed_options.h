#pragma once

#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "skein-feed/feed_block.h"
#include "skein-feed/record_generator.h"

namespace skein::feed {

enum class RecordSource { File, Stdin, Generate };

// What one run of skein-feed is to do. --sample arrives here as Generate with the defaults.
struct FeedOptions {
  bool help = false;
  std::string block = std::string(platform::kRecordChannelName);
  RecordSource source = RecordSource::Generate;
  std::string file;  // with RecordSource::File
  GenerateOptions generate;
  int holdMs = 30;
  bool print = false;
  std::optional<std::string> finalText;

  friend bool operator==(const FeedOptions&, const FeedOptions&) = default;
};

// Either the options or a one-line reason why the arguments make no sense.
struct ParsedFeedOptions {
  std::optional<FeedOptions> options;
  std::string error;
};

// Reads the arguments after the program name. Options taking a value accept both "--name VALUE"
// and "--name=VALUE"; --help stops the reading and wins over anything after it.
ParsedFeedOptions ParseFeedOptions(std::span<const std::string_view> args);

// The text --help prints.
std::string_view FeedHelpText();

}  // namespace skein::feed
