// Record fields that end in a blank. A directory is created without its trailing blanks but
// entered by its full name; on a system that keeps trailing blanks in names the two differed, so
// such a record never reached its day directory and was never logged.

#include <gtest/gtest.h>

#include <string>
#include <string_view>

#include "capture/capture_loop.h"
#include "fakes/fake_record_block.h"
#include "fakes/fake_system.h"
#include "fakes/fake_working_directory.h"
#include "fakes/records.h"

namespace skein {
namespace {

using testing::MakeRecord;

// A record whose year, month or day field ends in a blank, and the hour's log it belongs in.
struct BlankFieldCase {
  std::string_view date;
  std::string_view logPath;
};

TEST(TrailingBlankField, RecordIsLoggedInTheFileItsPathNames) {
  for (const BlankFieldCase& c : {BlankFieldCase{"2026-03-5 ", "/base/2026/03/5_/14.log"},
                                  BlankFieldCase{"2026-3 -05", "/base/2026/3_/05/14.log"},
                                  BlankFieldCase{"26  -03-05", "/base/26__/03/05/14.log"}}) {
    SCOPED_TRACE(c.date);
    testing::FakeRecordBlock block;
    testing::FakeWorkingDirectory directory;
    testing::FakeSystem system;
    directory.AddDirectory("/base");
    CaptureLoop loop(&block, directory, system, [](std::string_view) {});
    loop.Restore("/base", "");
    loop.Begin();

    const std::string record = MakeRecord(c.date, "14", '1');
    block.Publish(record);
    EXPECT_EQ(loop.Poll(), record.substr(0, 30)) << "taken at the first poll";
    loop.CloseFiles();

    EXPECT_EQ(directory.files[std::string(c.logPath)].content, record + "\r\n");
    EXPECT_EQ(loop.CurrentLogPath(), c.logPath) << "\"Open logfile\" names the file written";
  }
}

}  // namespace
}  // namespace skein
