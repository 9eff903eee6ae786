#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <random>
#include <string>
#include <string_view>
#include <vector>

namespace skein::feed {

// One hour of the calendar: the date and hour fields at the start of a record.
struct CivilHour {
  int year = 2026;
  int month = 12;
  int day = 31;
  int hour = 22;

  friend bool operator==(const CivilHour&, const CivilHour&) = default;
};

// "YYYY-MM-DD HH" naming a real date and an hour from 00 to 23; nothing otherwise.
std::optional<CivilHour> ParseCivilHour(std::string_view text);
// `start` moved on by `hours`, through day, month and year ends and leap days.
CivilHour AddHours(const CivilHour& start, std::int64_t hours);

// Every generated record lies within these lengths: the shortest one the reader accepts, and
// well inside the block.
inline constexpr std::size_t kMinRecordLength = 36;
inline constexpr std::size_t kMaxRecordLength = 200;
// The time field counts seconds, so more records an hour could no longer move it on.
inline constexpr int kMaxPerHour = 3600;

struct GenerateOptions {
  CivilHour start;
  int perHour = 20;
  int count = 60;
  std::string transmitted = "10";  // cycled through as each record's last character
  std::uint32_t seed = 1;

  friend bool operator==(const GenerateOptions&, const GenerateOptions&) = default;
};

// Empty when `options` can be generated from, else a one-line reason why not.
std::string CheckGenerateOptions(const GenerateOptions& options);

// Makes records like "2026-12-31 22:03:00 #000002 Qz81xa 1" one at a time: `perHour` of them
// spread evenly over each hour from `start` on, numbered from 1, with a payload of pseudo-random
// length and content that depends on the seed only.
class RecordGenerator {
 public:
  explicit RecordGenerator(const GenerateOptions& options);

  // The next record; nothing once `count` records were made, or at once when the options are
  // unusable.
  std::optional<std::string> Next();

 private:
  // A draw below `bound`. Taken straight from the engine, whose output the language fixes, where
  // the standard distributions may differ between libraries: a seed gives the same records
  // wherever the tool was built.
  std::uint32_t Draw(std::uint32_t bound);

  GenerateOptions options_;
  bool usable_;
  int made_ = 0;
  std::mt19937 engine_;
};

// All the records of `options` at once; empty when the options are unusable.
std::vector<std::string> GenerateRecords(const GenerateOptions& options);

}  // namespace skein::feed
