#include "skein-feed/feed_options.h"

#include <functional>
#include <ostream>
#include <string>
#include <string_view>
#include <vector>

#include <gtest/gtest.h>

namespace skein::feed {

// Readable failure output for whole option sets.
void PrintTo(const FeedOptions& o, std::ostream* out) {
  const GenerateOptions& g = o.generate;
  *out << "{help=" << o.help << " block=" << o.block << " source=" << static_cast<int>(o.source)
       << " file=" << o.file << " start=" << g.start.year << '-' << g.start.month << '-'
       << g.start.day << ' ' << g.start.hour << " perHour=" << g.perHour << " count=" << g.count
       << " transmitted=" << g.transmitted << " seed=" << g.seed << " hold=" << o.holdMs
       << " print=" << o.print << " final=" << (o.finalText ? '"' + *o.finalText + '"' : "none")
       << "}";
}

namespace {

ParsedFeedOptions Parse(const std::vector<std::string_view>& args) {
  return ParseFeedOptions(args);
}

struct GoodCase {
  const char* label;
  std::vector<std::string_view> args;
  std::function<void(FeedOptions&)> expect;  // applied to the defaults
};

class GoodArgumentsTest : public ::testing::TestWithParam<GoodCase> {};

TEST_P(GoodArgumentsTest, GiveTheOptions) {
  const ParsedFeedOptions parsed = Parse(GetParam().args);
  ASSERT_TRUE(parsed.options) << parsed.error;
  EXPECT_EQ(parsed.error, "");
  FeedOptions expected;
  GetParam().expect(expected);
  EXPECT_EQ(*parsed.options, expected);
}

INSTANTIATE_TEST_SUITE_P(
    Table, GoodArgumentsTest,
    ::testing::Values(
        GoodCase{"SampleIsTheDefaultStream",
                 {"--sample"},
                 [](FeedOptions& o) {
                   o.source = RecordSource::Generate;
                   o.generate.start = CivilHour{2026, 12, 31, 22};
                   o.generate.perHour = 20;
                   o.generate.count = 60;
                   o.generate.transmitted = "10";
                   o.generate.seed = 1;
                   o.holdMs = 30;
                   o.block = "/KVOR_300871_140263_GATE1";
                 }},
        GoodCase{"EveryGeneratorOption",
                 {"--generate", "--start", "2024-02-28 23", "--per-hour", "5", "--count", "12",
                  "--transmitted", "1102", "--seed", "42", "--hold", "0", "--print", "--block",
                  "/other", "--final", ""},
                 [](FeedOptions& o) {
                   o.generate = {CivilHour{2024, 2, 28, 23}, 5, 12, "1102", 42};
                   o.holdMs = 0;
                   o.print = true;
                   o.block = "/other";
                   o.finalText = "";
                 }},
        GoodCase{"InlineValues",
                 {"--generate", "--count=0", "--hold=250", "--final=", "--transmitted=a=b"},
                 [](FeedOptions& o) {
                   o.generate.count = 0;
                   o.holdMs = 250;
                   o.finalText = "";
                   o.generate.transmitted = "a=b";
                 }},
        GoodCase{"File",
                 {"--file", "records.txt", "--final", "2026-01-01 00:00:00 last"},
                 [](FeedOptions& o) {
                   o.source = RecordSource::File;
                   o.file = "records.txt";
                   o.finalText = "2026-01-01 00:00:00 last";
                 }},
        GoodCase{"Stdin",
                 {"--print", "--stdin"},
                 [](FeedOptions& o) {
                   o.source = RecordSource::Stdin;
                   o.print = true;
                 }},
        GoodCase{"LargestNumbers",
                 {"--generate", "--seed", "4294967295", "--per-hour", "3600", "--count",
                  "2147483647", "--hold", "2147483647"},
                 [](FeedOptions& o) {
                   o.generate.seed = 4294967295u;
                   o.generate.perHour = 3600;
                   o.generate.count = 2147483647;
                   o.holdMs = 2147483647;
                 }},
        GoodCase{"LaterValueWins",
                 {"--generate", "--count", "60", "--count", "7"},
                 [](FeedOptions& o) { o.generate.count = 7; }},
        GoodCase{"LeapDayStart",
                 {"--generate", "--start", "2000-02-29 00"},
                 [](FeedOptions& o) {
                   o.generate.start = CivilHour{2000, 2, 29, 0};
                 }},
        GoodCase{"LastRecordInYear9999",
                 {"--generate", "--start", "9999-12-31 22", "--per-hour", "1", "--count", "2"},
                 [](FeedOptions& o) {
                   o.generate.start = CivilHour{9999, 12, 31, 22};
                   o.generate.perHour = 1;
                   o.generate.count = 2;
                 }},
        GoodCase{"HelpAlone", {"--help"}, [](FeedOptions& o) { o.help = true; }},
        GoodCase{"HelpWinsOverWhatFollows",
                 {"--print", "--help", "--bogus"},
                 [](FeedOptions& o) {
                   o.print = true;
                   o.help = true;
                 }}),
    [](const auto& each) { return std::string(each.param.label); });

struct BadCase {
  std::vector<std::string_view> args;
  std::string_view errorPart;  // the part of the message that names the fault
};

TEST(BadArgumentsTest, AreRefusedWithAReason) {
  const std::vector<BadCase> cases = {
      {{}, "no records to write"},
      {{"--print"}, "no records to write"},
      {{"--bogus", "--sample"}, "unknown option --bogus"},
      {{"-h"}, "unexpected argument \"-h\""},
      {{"--sample", "records.txt"}, "unexpected argument \"records.txt\""},
      {{"--sample", "--hold"}, "--hold needs a value"},
      {{"--generate", "--count"}, "--count needs a value"},
      {{"--sample", "--hold", "abc"}, "--hold wants a whole number from 0 to 2147483647"},
      {{"--sample", "--hold", "-5"}, "--hold wants a whole number"},
      {{"--sample", "--hold", "12ms"}, "--hold wants a whole number"},
      {{"--sample", "--hold", "+5"}, "--hold wants a whole number"},
      {{"--sample", "--hold", " 5"}, "--hold wants a whole number"},
      {{"--sample", "--hold", ""}, "--hold wants a whole number"},
      {{"--sample", "--hold", "2147483648"}, "--hold wants a whole number"},
      {{"--generate", "--count", "-1"}, "--count wants a whole number from 0"},
      {{"--generate", "--count", "99999999999999999999"}, "--count wants a whole number"},
      {{"--generate", "--per-hour", "0"}, "--per-hour wants a whole number from 1 to 3600"},
      {{"--generate", "--per-hour", "3601"}, "--per-hour wants a whole number"},
      {{"--generate", "--seed", "4294967296"}, "--seed wants a whole number"},
      {{"--generate", "--seed", "-1"}, "--seed wants a whole number"},
      {{"--generate", "--start", "2026-12-31"}, "--start wants \"YYYY-MM-DD HH\""},
      {{"--generate", "--start", "2026-12-31 22:00"}, "--start wants"},
      {{"--generate", "--start", "2026/12/31 22"}, "--start wants"},
      {{"--generate", "--start", "2026-1-031 22"}, "--start wants"},
      {{"--generate", "--start", "20x6-12-31 22"}, "--start wants"},
      {{"--generate", "--start", "2026-12-31 24"}, "--start wants"},
      {{"--generate", "--start", "2026-13-01 00"}, "--start wants"},
      {{"--generate", "--start", "2026-00-10 00"}, "--start wants"},
      {{"--generate", "--start", "2026-12-00 00"}, "--start wants"},
      {{"--generate", "--start", "2026-12-32 00"}, "--start wants"},
      {{"--generate", "--start", "2026-04-31 00"}, "--start wants"},
      {{"--generate", "--start", "2026-02-29 00"}, "--start wants"},
      {{"--generate", "--start", "1900-02-29 00"}, "--start wants"},
      {{"--generate", "--transmitted", ""}, "--transmitted needs at least one character"},
      {{"--generate", "--transmitted", "1\n0"}, "may not hold a zero byte, CR or LF"},
      {{"--generate", "--start", "9999-12-31 22", "--per-hour", "1", "--count", "3"},
       "past the year 9999"},
      {{"--file", "a.txt", "--generate"}, "--file and --generate both choose the records"},
      {{"--stdin", "--sample"}, "--stdin and --sample both choose"},
      {{"--stdin", "--stdin"}, "--stdin and --stdin both choose"},
      {{"--sample", "--count", "5"}, "--count only goes with --generate"},
      {{"--file", "a.txt", "--seed", "3"}, "--seed only goes with --generate"},
      {{"--per-hour", "3", "--stdin"}, "--per-hour only goes with --generate"},
      {{"--sample", "--print=yes"}, "--print takes no value"},
      {{"--help=1"}, "--help takes no value"},
      {{"--file", ""}, "--file needs a path"},
      {{"--file="}, "--file needs a path"},
      {{"--sample", "--block", ""}, "--block needs a name"},
  };
  for (const BadCase& c : cases) {
    std::string joined;
    for (const std::string_view arg : c.args) joined += "[" + std::string(arg) + "]";
    SCOPED_TRACE(joined);
    const ParsedFeedOptions parsed = Parse(c.args);
    EXPECT_FALSE(parsed.options);
    EXPECT_NE(parsed.error.find(c.errorPart), std::string::npos) << parsed.error;
    EXPECT_EQ(parsed.error.find('\n'), std::string::npos) << "the reason fits on one line";
  }
}

TEST(FeedHelpTextTest, NamesEveryOption) {
  const std::string_view help = FeedHelpText();
  for (const std::string_view option :
       {"--file PATH", "--stdin", "--generate", "--sample", "--start", "--per-hour N", "--count N",
        "--transmitted PATTERN", "--seed N", "--block NAME", "--hold MS", "--print", "--final TEXT",
        "--help"}) {
    EXPECT_NE(help.find(option), std::string_view::npos) << option;
  }
}

}  // namespace
}  // namespace skein::feed
