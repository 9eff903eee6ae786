#include "skein-feed/record_generator.h"

#include <chrono>
#include <utility>

namespace skein::feed {
namespace {

using std::chrono::days;
using std::chrono::hours;
using std::chrono::sys_days;
using std::chrono::year_month_day;
using namespace std::string_view_literals;

// The layout keeps the year to four digits.
constexpr int kLastYear = 9999;

constexpr std::string_view kPayloadAlphabet =
    "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";

std::optional<int> Digits(std::string_view text) {
  int value = 0;
  for (const char c : text) {
    if (c < '0' || c > '9') return std::nullopt;
    value = value * 10 + (c - '0');
  }
  return value;
}

void AppendNumber(std::string& to, std::int64_t value, std::size_t width) {
  const std::string digits = std::to_string(value);
  if (digits.size() < width) to.append(width - digits.size(), '0');
  to += digits;
}

year_month_day ToDate(const CivilHour& at) {
  return year_month_day{std::chrono::year{at.year},
                        std::chrono::month{static_cast<unsigned>(at.month)},
                        std::chrono::day{static_cast<unsigned>(at.day)}};
}

}  // namespace

std::optional<CivilHour> ParseCivilHour(std::string_view text) {
  if (text.size() != 13 || text[4] != '-' || text[7] != '-' || text[10] != ' ') {
    return std::nullopt;
  }
  const auto year = Digits(text.substr(0, 4));
  const auto month = Digits(text.substr(5, 2));
  const auto day = Digits(text.substr(8, 2));
  const auto hour = Digits(text.substr(11, 2));
  if (!year || !month || !day || !hour || *hour > 23) return std::nullopt;

  const CivilHour parsed{*year, *month, *day, *hour};
  if (!ToDate(parsed).ok()) return std::nullopt;
  return parsed;
}

CivilHour AddHours(const CivilHour& start, std::int64_t count) {
  const auto moved = sys_days{ToDate(start)} + hours{start.hour} + hours{count};
  const auto day = std::chrono::floor<days>(moved);
  const year_month_day date{day};
  return CivilHour{static_cast<int>(date.year()), static_cast<int>(unsigned{date.month()}),
                   static_cast<int>(unsigned{date.day()}), static_cast<int>((moved - day).count())};
}

std::string CheckGenerateOptions(const GenerateOptions& options) {
  if (!ToDate(options.start).ok() || options.start.hour < 0 || options.start.hour > 23 ||
      options.start.year < 0 || options.start.year > kLastYear) {
    return "the start is no real date and hour";
  }
  if (options.perHour < 1 || options.perHour > kMaxPerHour) {
    return "records per hour must lie between 1 and " + std::to_string(kMaxPerHour);
  }
  if (options.count < 0) return "the count of records must be 0 or more";
  if (options.transmitted.empty()) return "the transmitted pattern needs at least one character";
  // A zero byte would end the record early in the block, a line break would split it in a log.
  if (options.transmitted.find_first_of("\0\r\n"sv) != std::string::npos) {
    return "the transmitted pattern may not hold a zero byte, CR or LF";
  }
  if (options.count > 0) {
    const CivilHour last = AddHours(options.start, (options.count - 1) / options.perHour);
    if (last.year > kLastYear) return "the records would run past the year 9999";
  }
  return {};
}

RecordGenerator::RecordGenerator(const GenerateOptions& options)
    : options_(options), usable_(CheckGenerateOptions(options).empty()), engine_(options.seed) {}

std::uint32_t RecordGenerator::Draw(std::uint32_t bound) {
  return static_cast<std::uint32_t>(engine_() % bound);
}

std::optional<std::string> RecordGenerator::Next() {
  if (!usable_ || made_ >= options_.count) return std::nullopt;
  const int index = made_++;

  const CivilHour at = AddHours(options_.start, index / options_.perHour);
  const int second = (index % options_.perHour) * 3600 / options_.perHour;

  std::string record;
  record.reserve(kMaxRecordLength);
  AppendNumber(record, at.year, 4);
  record += '-';
  AppendNumber(record, at.month, 2);
  record += '-';
  AppendNumber(record, at.day, 2);
  record += ' ';
  AppendNumber(record, at.hour, 2);
  record += ':';
  AppendNumber(record, second / 60, 2);
  record += ':';
  AppendNumber(record, second % 60, 2);
  record += " #";
  // The sequence number is what keeps every record of a run unique.
  AppendNumber(record, index + 1, 6);
  record += ' ';

  // The head is at most 32 characters long, so a payload of at least two always fits.
  const std::size_t length =
      kMinRecordLength + Draw(static_cast<std::uint32_t>(kMaxRecordLength - kMinRecordLength + 1));
  const std::size_t payload = length - record.size() - 2;
  for (std::size_t i = 0; i < payload; ++i) {
    record += kPayloadAlphabet[Draw(static_cast<std::uint32_t>(kPayloadAlphabet.size()))];
  }
  record += ' ';
  record += options_.transmitted[static_cast<std::size_t>(index) % options_.transmitted.size()];
  return record;
}

std::vector<std::string> GenerateRecords(const GenerateOptions& options) {
  std::vector<std::string> records;
  RecordGenerator generator(options);
  while (auto record = generator.Next()) records.push_back(std::move(*record));
  return records;
}

}  // namespace skein::feed
