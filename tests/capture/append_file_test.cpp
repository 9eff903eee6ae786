#include "capture/append_file.h"

#include <gtest/gtest.h>

#include "fakes/fake_working_directory.h"

namespace skein {
namespace {

class AppendFileTest : public ::testing::Test {
 protected:
  const testing::FakeWorkingDirectory::FileData& Data() { return directory.files["/log.txt"]; }

  testing::FakeWorkingDirectory directory;
  AppendFile file;
};

TEST_F(AppendFileTest, LinesCollectInTheBufferUntilFlushed) {
  ASSERT_TRUE(file.Open(directory, "log.txt"));
  file.WriteLine("first");
  file.WriteLine("second");
  EXPECT_EQ(Data().writes, 0);
  EXPECT_EQ(Data().content, "");
  file.Flush();
  EXPECT_EQ(Data().writes, 1);
  EXPECT_EQ(Data().content, "first\r\nsecond\r\n");
  file.Flush();
  EXPECT_EQ(Data().writes, 1) << "a flush with nothing waiting writes nothing";
}

TEST_F(AppendFileTest, NewLinesFollowWhatTheFileAlreadyHolds) {
  directory.files["/log.txt"].content = "old\r\n";
  ASSERT_TRUE(file.Open(directory, "log.txt"));
  file.WriteLine("new");
  file.Close();
  EXPECT_EQ(Data().content, "old\r\nnew\r\n");
}

TEST_F(AppendFileTest, APieceThatExactlyFillsTheFreeSpaceFlushesFirst) {
  ASSERT_TRUE(file.Open(directory, "log.txt"));
  const std::string piece(AppendFile::kBufferSize - 2, 'a');
  file.WriteLine(piece);  // the line's CR LF exactly fills the buffer's free space
  EXPECT_EQ(Data().writes, 1);
  EXPECT_EQ(Data().content, piece);
  file.Close();
  EXPECT_EQ(Data().content, piece + "\r\n");
}

TEST_F(AppendFileTest, APieceOfAWholeBufferOrMoreGoesStraightThrough) {
  ASSERT_TRUE(file.Open(directory, "log.txt"));
  file.WriteLine("head");
  const std::string big(AppendFile::kBufferSize, 'b');
  file.WriteLine(big);
  EXPECT_EQ(Data().writes, 2) << "waiting bytes first, then the big piece itself";
  EXPECT_EQ(Data().content, "head\r\n" + big);
  file.Close();
  EXPECT_EQ(Data().content, "head\r\n" + big + "\r\n");
}

TEST_F(AppendFileTest, ManyLinesReachTheFileWholeAndInOrder) {
  ASSERT_TRUE(file.Open(directory, "log.txt"));
  std::string expected;
  for (int i = 0; i < 1000; ++i) {
    const std::string line = std::string(static_cast<std::size_t>(i % 97), 'x') + std::to_string(i);
    file.WriteLine(line);
    expected += line + "\r\n";
  }
  file.Close();
  EXPECT_EQ(Data().content, expected);
  EXPECT_GT(Data().writes, 1);
}

TEST_F(AppendFileTest, AClosedFileTakesNothingAndCanBeClosedAgain) {
  file.WriteLine("nowhere");
  file.Flush();
  file.Close();
  EXPECT_FALSE(file.IsOpen());
  ASSERT_TRUE(file.Open(directory, "log.txt"));
  file.Close();
  file.WriteLine("after close");
  file.Close();
  EXPECT_EQ(Data().content, "");
}

TEST_F(AppendFileTest, AFailedOpenLeavesTheFileClosed) {
  directory.refuseOpen = true;
  EXPECT_FALSE(file.Open(directory, "log.txt"));
  EXPECT_FALSE(file.IsOpen());
}

TEST_F(AppendFileTest, RefusedBytesAreCounted) {
  ASSERT_TRUE(file.Open(directory, "log.txt"));
  file.WriteLine("lost line");
  directory.refuseWrites = true;
  file.Flush();
  EXPECT_EQ(file.BytesLost(), 11u);
}

}  // namespace
}  // namespace skein

namespace skein {
namespace {

// A log whose last line was cut short, by a kill between two writes or by a full disk.
class BrokenLineTest : public AppendFileTest {};

TEST_F(BrokenLineTest, AFragmentLeftByAnEarlierRunIsEndedBeforeTheNextLine) {
  directory.files["/log.txt"].content = "whole\r\nfragm";
  ASSERT_TRUE(file.Open(directory, "log.txt"));
  file.WriteLine("next");
  file.Close();
  EXPECT_EQ(Data().content, "whole\r\nfragm\r\nnext\r\n");
}

TEST_F(BrokenLineTest, AFileEndingInALineFeedGetsNothingExtra) {
  for (const std::string before : {"", "whole\r\n", "unix line\n"}) {
    directory.files["/log.txt"].content = before;
    ASSERT_TRUE(file.Open(directory, "log.txt"));
    file.WriteLine("next");
    file.Close();
    EXPECT_EQ(Data().content, before + "next\r\n");
  }
}

TEST_F(BrokenLineTest, AFullDiskLosesWhatDidNotFitAndWritingResumesOnAFreshLine) {
  ASSERT_TRUE(file.Open(directory, "log.txt"));
  file.WriteLine("first line");
  file.WriteLine("second line");
  directory.freeSpace = 17;  // the disk fills in the middle of the second line
  file.Flush();
  EXPECT_EQ(Data().content, "first line\r\nsecon");
  EXPECT_EQ(file.BytesLost(), 25u);

  directory.freeSpace = std::numeric_limits<std::size_t>::max();  // space comes back
  file.WriteLine("third line");
  file.Close();
  EXPECT_EQ(Data().content, "first line\r\nsecon\r\nthird line\r\n");
}

TEST_F(BrokenLineTest, AFailedWriteThatLeftTheFileOnALineEndAddsNothing) {
  ASSERT_TRUE(file.Open(directory, "log.txt"));
  file.WriteLine("kept");
  file.Flush();
  file.WriteLine("lost");
  directory.refuseWrites = true;
  file.Flush();
  directory.refuseWrites = false;
  file.WriteLine("after");
  file.Close();
  EXPECT_EQ(Data().content, "kept\r\nafter\r\n");
  EXPECT_EQ(file.BytesLost(), 6u);
}

}  // namespace
}  // namespace skein
