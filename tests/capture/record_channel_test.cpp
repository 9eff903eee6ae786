#include "capture/record_channel.h"

#include <gtest/gtest.h>

#include "fakes/fake_record_block.h"

namespace skein {
namespace {

using testing::FakeRecordBlock;

TEST(ReadRecordText, AFreshBlockOfZeroBytesGivesTheEmptyText) {
  FakeRecordBlock block;
  EXPECT_EQ(ReadRecordText(block), std::string());
}

TEST(ReadRecordText, StopsAtTheFirstZeroByteAndIgnoresWhatFollows) {
  FakeRecordBlock block;
  block.bytes.replace(0, 12, std::string("abc\0garbage!", 12));
  EXPECT_EQ(ReadRecordText(block), "abc");
}

TEST(ReadRecordText, AFullBlockWithoutZeroByteIsAll256Characters) {
  FakeRecordBlock block;
  block.bytes.assign(256, 'r');
  const std::optional<std::string> text = ReadRecordText(block);
  ASSERT_TRUE(text);
  EXPECT_EQ(text->size(), 256u);
}

TEST(ReadRecordText, HighBitBytesPassUnchanged) {
  FakeRecordBlock block;
  const std::string text = "caf\xE9 \xA9 \xFF\x80";
  block.Publish(text);
  EXPECT_EQ(ReadRecordText(block), text);
}

TEST(ReadRecordText, ASmallerBlockIsReadOnlyAsFarAsItGoes) {
  FakeRecordBlock block(16);
  block.bytes.assign(16, 'q');
  EXPECT_EQ(ReadRecordText(block), std::string(16, 'q'));
}

TEST(ReadRecordText, ATornCopyIsNotTakenWhenTheNextCopyDiffers) {
  FakeRecordBlock block;
  block.Publish("new record, complete");
  // The first copy caught the writer halfway: the start of the new text, the end of the old one.
  block.queued = {std::string("new recordd, old tail\0", 22)};
  EXPECT_EQ(ReadRecordText(block), "new record, complete");
}

TEST(ReadRecordText, CopiesThatNeverAgreeTakeNothing) {
  FakeRecordBlock block;
  block.queued = {"one", "two", "three", "four", "five", "six"};
  EXPECT_EQ(ReadRecordText(block), std::nullopt);
}

TEST(ReadRecordText, AQuietBlockCostsTwoCopies) {
  FakeRecordBlock block;
  block.Publish("steady");
  ASSERT_EQ(ReadRecordText(block), "steady");
  EXPECT_EQ(block.reads, 2);
}

}  // namespace
}  // namespace skein
