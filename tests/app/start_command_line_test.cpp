#include "app/start_command_line.h"

#include <gtest/gtest.h>

#include <string_view>

namespace skein {
namespace {

using namespace std::string_view_literals;

struct CommandLineCase {
  std::string_view program;
  std::string_view argument;
  std::string_view line;
};

class StartCommandLineTest : public ::testing::TestWithParam<CommandLineCase> {};

TEST_P(StartCommandLineTest, QuotesTheProgramOnlyAndPassesTheArgumentAsItIs) {
  const CommandLineCase& c = GetParam();
  EXPECT_EQ(StartCommandLine(c.program, c.argument), c.line);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, StartCommandLineTest,
    ::testing::Values(
        CommandLineCase{"notepad", "C:\\logs\\\\2026\\12\\11\\13.log",
                        "\"notepad\" C:\\logs\\\\2026\\12\\11\\13.log"},
        // The viewer gets a path with spaces as the rest of its command line, unquoted.
        CommandLineCase{"notepad", "C:\\My Logs\\13.log", "\"notepad\" C:\\My Logs\\13.log"},
        CommandLineCase{"C:\\Program Files\\Viewer\\view.exe", "a.log",
                        "\"C:\\Program Files\\Viewer\\view.exe\" a.log"},
        // A program already quoted by the caller is not quoted twice.
        CommandLineCase{"\"C:\\Tools\\v.exe\" -r", "a.log", "\"C:\\Tools\\v.exe\" -r a.log"},
        CommandLineCase{"\"", "x", "\" x"},
        // Only a quote at the very start counts.
        CommandLineCase{" \"notepad\"", "x", "\" \"notepad\"\" x"},
        // No argument, no space behind the program.
        CommandLineCase{"notepad", "", "\"notepad\""},
        CommandLineCase{"\"notepad\"", "", "\"notepad\""}, CommandLineCase{"", "", "\"\""},
        CommandLineCase{"", "a b", "\"\" a b"},
        // The argument keeps its quotes, blanks and high bytes exactly.
        CommandLineCase{"notepad", " \"a\"  \xE9 ", "\"notepad\"  \"a\"  \xE9 "}));

}  // namespace
}  // namespace skein
