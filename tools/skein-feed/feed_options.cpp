#include "skein-feed/feed_options.h"

#include <charconv>
#include <cstdint>
#include <limits>
#include <utility>

namespace skein::feed {
namespace {

// A whole decimal number within [low, high]: no '+', no spaces, nothing after the digits.
template <typename Number>
std::optional<Number> ParseNumber(std::string_view text, Number low, Number high) {
  std::int64_t value = 0;
  const char* end = text.data() + text.size();
  const auto [stop, error] = std::from_chars(text.data(), end, value);
  if (text.empty() || error != std::errc{} || stop != end || value < low || value > high) {
    return std::nullopt;
  }
  return static_cast<Number>(value);
}

std::string Quoted(std::string_view text) {
  return "\"" + std::string(text) + "\"";
}

std::string NumberError(std::string_view option, std::string_view value, std::int64_t low,
                        std::int64_t high) {
  return std::string(option) + " wants a whole number from " + std::to_string(low) + " to " +
         std::to_string(high) + ", not " + Quoted(value);
}

constexpr std::string_view kSources = "--file, --stdin, --generate or --sample";

}  // namespace

ParsedFeedOptions ParseFeedOptions(std::span<const std::string_view> args) {
  FeedOptions options;
  std::string_view source;           // the option that chose the source, empty while none did
  std::string_view generatorOption;  // the first option that only makes sense with --generate

  auto fail = [](std::string message) {
    return ParsedFeedOptions{std::nullopt, std::move(message)};
  };

  for (std::size_t i = 0; i < args.size(); ++i) {
    std::string_view name = args[i];
    std::optional<std::string_view> inlineValue;
    if (!name.starts_with("--")) return fail("unexpected argument " + Quoted(name));
    if (const auto equals = name.find('='); equals != std::string_view::npos) {
      inlineValue = name.substr(equals + 1);
      name = name.substr(0, equals);
    }

    const bool isFlag = name == "--help" || name == "--stdin" || name == "--generate" ||
                        name == "--sample" || name == "--print";
    const bool takesValue = name == "--file" || name == "--block" || name == "--hold" ||
                            name == "--start" || name == "--per-hour" || name == "--count" ||
                            name == "--transmitted" || name == "--seed" || name == "--final";
    if (!isFlag && !takesValue) return fail("unknown option " + std::string(name));
    if (isFlag && inlineValue) return fail(std::string(name) + " takes no value");

    std::string_view value;
    if (takesValue) {
      if (inlineValue) {
        value = *inlineValue;
      } else if (i + 1 < args.size()) {
        value = args[++i];
      } else {
        return fail(std::string(name) + " needs a value");
      }
    }

    if (name == "--help") {
      options.help = true;
      return ParsedFeedOptions{options, {}};
    }
    if (name == "--file" || name == "--stdin" || name == "--generate" || name == "--sample") {
      if (!source.empty()) {
        return fail(std::string(source) + " and " + std::string(name) +
                    " both choose the records; give one of " + std::string(kSources));
      }
      source = name;
      if (name == "--file") {
        if (value.empty()) return fail("--file needs a path");
        options.source = RecordSource::File;
        options.file = value;
      } else {
        options.source = name == "--stdin" ? RecordSource::Stdin : RecordSource::Generate;
      }
    } else if (name == "--print") {
      options.print = true;
    } else if (name == "--block") {
      if (value.empty()) return fail("--block needs a name");
      options.block = value;
    } else if (name == "--final") {
      options.finalText = std::string(value);
    } else if (name == "--hold") {
      constexpr int kMax = std::numeric_limits<int>::max();
      const auto hold = ParseNumber<int>(value, 0, kMax);
      if (!hold) return fail(NumberError(name, value, 0, kMax));
      options.holdMs = *hold;
    } else {
      if (generatorOption.empty()) generatorOption = name;
      GenerateOptions& generate = options.generate;
      if (name == "--start") {
        const auto start = ParseCivilHour(value);
        if (!start) {
          return fail(
              "--start wants \"YYYY-MM-DD HH\" with a real date and an hour from 00 to 23, "
              "not " +
              Quoted(value));
        }
        generate.start = *start;
      } else if (name == "--per-hour") {
        const auto perHour = ParseNumber<int>(value, 1, kMaxPerHour);
        if (!perHour) return fail(NumberError(name, value, 1, kMaxPerHour));
        generate.perHour = *perHour;
      } else if (name == "--count") {
        constexpr int kMax = std::numeric_limits<int>::max();
        const auto count = ParseNumber<int>(value, 0, kMax);
        if (!count) return fail(NumberError(name, value, 0, kMax));
        generate.count = *count;
      } else if (name == "--seed") {
        constexpr std::uint32_t kMax = std::numeric_limits<std::uint32_t>::max();
        const auto seed = ParseNumber<std::uint32_t>(value, 0, kMax);
        if (!seed) return fail(NumberError(name, value, 0, kMax));
        generate.seed = *seed;
      } else {  // --transmitted
        generate.transmitted = value;
        if (value.empty()) return fail("--transmitted needs at least one character");
      }
    }
  }

  if (source.empty()) return fail("no records to write: give " + std::string(kSources));
  if (!generatorOption.empty() && source != "--generate") {
    return fail(std::string(generatorOption) + " only goes with --generate");
  }
  if (options.source == RecordSource::Generate) {
    if (std::string problem = CheckGenerateOptions(options.generate); !problem.empty()) {
      return fail(std::move(problem));
    }
  }
  return ParsedFeedOptions{std::move(options), {}};
}

std::string_view FeedHelpText() {
  return R"(Usage: skein-feed SOURCE [OPTIONS]

Writes records into the shared-memory block that SkeinerWard reads, one after the
other, the way the real writer does: the text at the start of the block followed
by one zero byte. The block is created with 256 zero bytes when it does not exist.

Sources (give exactly one):
  --file PATH              one record a line from PATH; a CR and/or LF ending the
                           line is taken off, every other byte is kept as it is,
                           and an empty line publishes the empty text
  --stdin                  one record a line from standard input, as with --file
  --generate               generated records, shaped by the options below
  --sample                 the demonstration stream: 60 records, 20 an hour, from
                           "2026-12-31 22" on, across a day, month and year change

Options for --generate only:
  --start "YYYY-MM-DD HH"  date and hour of the first record (default "2026-12-31 22")
  --per-hour N             records in each hour, 1 to 3600 (default 20)
  --count N                number of records, 0 or more (default 60)
  --transmitted PATTERN    characters used in turn as each record's last character
                           (default "10": transmitted, not transmitted, ...)
  --seed N                 seed of the records' payload, 0 to 4294967295 (default 1);
                           the same seed gives the same records

Other options:
  --block NAME             the shared-memory object to write (default: the record
                           channel SkeinerWard reads)
  --hold MS                milliseconds each record stays in the block (default 30)
  --print                  print every text right after it was published, one a line
                           ending in LF, on standard output
  --final TEXT             publish TEXT after the last record; --final "" clears it
  --help                   show this text

Options that take a value also accept the form --option=VALUE.
Exit status: 0 when all was published, 1 when the block or the file could not be
used, 2 when the arguments make no sense.
)";
}

}  // namespace skein::feed
