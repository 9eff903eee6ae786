#include "settings/settings_store.h"

#include <gtest/gtest.h>

#include <optional>
#include <random>
#include <string>
#include <string_view>
#include <vector>

#include "fakes/memory_files.h"

namespace skein {
namespace {

using namespace std::string_view_literals;

constexpr std::string_view kPath = "/prog/Skeinward.prefs";

class SettingsStoreTest : public ::testing::Test {
 protected:
  // Puts `bytes` on "disk" and opens them.
  void OpenWith(std::string_view bytes) {
    files_.files[std::string(kPath)] = std::string(bytes);
    ASSERT_TRUE(store_.OpenExisting(kPath));
  }
  const std::string& OnDisk() { return files_.files[std::string(kPath)]; }

  testing::MemoryFiles files_;
  SettingsStore store_{files_};
};

// ---------------------------------------------------------------------------------------------
// Lookups in parsed files.

constexpr std::string_view kDefault = "  default  ";  // comes back untrimmed

struct LookupCase {
  const char* name;
  std::string_view file;
  std::vector<std::string_view> groups;  // selected in this order
  std::string_view key;
  std::string_view expected;
};

class SettingsLookupTest : public SettingsStoreTest,
                           public ::testing::WithParamInterface<LookupCase> {};

TEST_P(SettingsLookupTest, ReadsTheValueOrTheDefault) {
  const LookupCase& c = GetParam();
  OpenWith(c.file);
  for (std::string_view group : c.groups) store_.SelectGroup(group);
  EXPECT_EQ(store_.ReadString(c.key, kDefault), c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Files, SettingsLookupTest,
    ::testing::Values(
        LookupCase{
            "Plain", "[Setting]\r\nDirectory = /logs/\r\n", {"Setting"}, "Directory", "/logs/"},
        LookupCase{"OtherCaseExtraBlanks",
                   "[setting]\r\n  directory=C:\\Logs\\  \r\n",
                   {"Setting"},
                   "Directory",
                   "C:\\Logs\\"},
        LookupCase{"TabsAroundValue", "[Setting]\nLast =\t\t rec \t\n", {"Setting"}, "Last", "rec"},
        LookupCase{"ValueHoldsEquals",
                   "[Setting]\r\nLast = one = two\r\n",
                   {"Setting"},
                   "Last",
                   "one = two"},
        LookupCase{
            "KeyWithoutEqualsIsEmptyNotDefault", "[Setting]\r\nLast\r\n", {"Setting"}, "Last", ""},
        LookupCase{"KeyWithoutEqualsLoneLfKeepsNextLine",
                   "[Setting]\nLast\nDirectory = /d/\n",
                   {"Setting"},
                   "Directory",
                   "/d/"},
        LookupCase{"BlanksInsideBracketsDoNotMatch",
                   "[ Setting ]\r\nLast = x\r\n",
                   {"Setting"},
                   "Last",
                   kDefault},
        LookupCase{"HeaderWithBlanksAndCommentMatches",
                   "   [Setting]  ; mine\r\nLast = x\r\n",
                   {"Setting"},
                   "Last",
                   "x"},
        LookupCase{"FirstOfTwoGroupsWins",
                   "[Setting]\r\nA = 1\r\n[Setting]\r\nA = 2\r\nB = 3\r\n",
                   {"Setting"},
                   "B",
                   kDefault},
        LookupCase{"FirstOfTwoKeysWins", "[Setting]\r\nA = 1\r\na = 2\r\n", {"Setting"}, "A", "1"},
        LookupCase{"CommentIsNoKey",
                   "[Setting]\r\n; Directory = x\r\n",
                   {"Setting"},
                   "Directory",
                   kDefault},
        LookupCase{"KeyOfAnotherGroup",
                   "[Other]\r\nLast = x\r\n[Setting]\r\n",
                   {"Setting"},
                   "Last",
                   kDefault},
        LookupCase{"KeyBeforeAnyHeaderWithGroupSelected",
                   "Last = x\r\n[Setting]\r\n",
                   {"Setting"},
                   "Last",
                   kDefault},
        LookupCase{"KeyBeforeAnyHeaderWithoutGroup",
                   "Last = x\r\n[Setting]\r\nLast = y\r\n",
                   {},
                   "Last",
                   "x"},
        LookupCase{
            "MissingGroupGivesDefault", "[Global]\r\nLast = x\r\n", {"Setting"}, "Last", kDefault},
        // A failed selection leaves a pending group, which hides the previous current group.
        LookupCase{"MissingGroupAfterGoodOne",
                   "[Setting]\r\nLast = x\r\n",
                   {"Setting", "Nope"},
                   "Last",
                   kDefault},
        LookupCase{"KeyIsNoPrefix",
                   "[Setting]\r\nLast2 = x\r\nLas = y\r\n",
                   {"Setting"},
                   "Last",
                   kDefault},
        LookupCase{"KeyWithBlankInsideIsSignificant",
                   "[Setting]\r\nLa st = x\r\n",
                   {"Setting"},
                   "Last",
                   kDefault},
        LookupCase{
            "NulBytesAreKept", "[Setting]\r\nLast = a\0b\r\n"sv, {"Setting"}, "Last", "a\0b"sv},
        LookupCase{"EmptyFile", "", {"Setting"}, "Last", kDefault},
        LookupCase{"HighBytesWithoutMarkUnchanged",
                   "[Setting]\r\nLast = \xC3\xBC\r\n",
                   {"Setting"},
                   "Last",
                   "\xC3\xBC"},
        LookupCase{"HighByteGroupWithoutMark", "[Gr\xFC]\r\nk = v\r\n", {"GR\xFC"}, "K", "v"},

        // Files that start with the UTF-8 mark.
        LookupCase{"Utf8TwoByteCharacter",
                   "\xEF\xBB\xBF[Setting]\r\nLast = \xC3\xBC\r\n",
                   {"Setting"},
                   "Last",
                   "\xFC"},
        LookupCase{"Utf8ThreeByteCharacter",
                   "\xEF\xBB\xBF[Setting]\r\nLast = \xE2\x82\xAC\r\n",
                   {"Setting"},
                   "Last",
                   "?"},
        LookupCase{"Utf8NamesComparedEncoded",
                   "\xEF\xBB\xBF[Gr\xC3\xBC\xC3\x9F]\r\nk\xC3\xA9 = v\r\n",
                   {"gr\xFC\xDF"},
                   "K\xE9",
                   "v"},
        LookupCase{"Utf8RawHighByteNameDoesNotMatch",
                   "\xEF\xBB\xBF[Gr\xFC]\r\nk = v\r\n",
                   {"Gr\xFC"},
                   "k",
                   kDefault},
        LookupCase{"Utf8TrailingBlanksTrimmedAfterDecoding",
                   "\xEF\xBB\xBF[Setting]\r\nLast = \xE2\x82\xAC \t\xC3\r\n",
                   {"Setting"},
                   "Last",
                   "?"},
        LookupCase{"Utf8InvalidBytes",
                   "\xEF\xBB\xBF[Setting]\r\nLast = \xFF\xC3\x41\xE2\r\n",
                   {"Setting"},
                   "Last",
                   "?A"},
        LookupCase{"Utf8MarkOnly", "\xEF\xBB\xBF", {"Setting"}, "Last", kDefault},
        LookupCase{"MarkNotAtStartIsPartOfTheName",
                   " \xEF\xBB\xBF[Setting]\r\nLast = x\r\n",
                   {},
                   "\xEF\xBB\xBF[Setting]",
                   ""},
        LookupCase{"ShortMarkPrefix", "\xEF\xBB", {}, "\xEF\xBB", ""}),
    [](const ::testing::TestParamInfo<LookupCase>& param) { return param.param.name; });

TEST_F(SettingsStoreTest, SelectGroupTellsWhetherTheGroupExists) {
  EXPECT_FALSE(store_.SelectGroup("Setting"));  // nothing open
  OpenWith("[Global]\r\n[setting]\r\n");
  EXPECT_TRUE(store_.SelectGroup("Setting"));
  EXPECT_TRUE(store_.SelectGroup("GLOBAL"));
  EXPECT_FALSE(store_.SelectGroup("Other"));
}

TEST_F(SettingsStoreTest, NothingOpenGivesDefaultsAndWritesNothing) {
  EXPECT_EQ(store_.ReadString("Last", "d"), "d");
  EXPECT_FALSE(store_.OpenExisting(kPath));
  EXPECT_FALSE(store_.IsOpen());
  store_.WriteString("Last", "x");
  EXPECT_EQ(store_.ReadString("Last", "d"), "d");
  EXPECT_TRUE(store_.Close());
  EXPECT_FALSE(files_.Has(kPath));
  EXPECT_EQ(files_.replacesStarted, 0);
}

TEST_F(SettingsStoreTest, ReadingNeverWrites) {
  OpenWith("  [Setting]\n; c\nLast=x  \n");
  store_.SelectGroup("Setting");
  store_.SelectGroup("Missing");
  EXPECT_EQ(store_.ReadString("Last", ""), "");
  EXPECT_TRUE(store_.Close());
  EXPECT_EQ(files_.replacesStarted, 0);
  EXPECT_EQ(OnDisk(), "  [Setting]\n; c\nLast=x  \n");
}

// ---------------------------------------------------------------------------------------------
// Writing new files.

TEST_F(SettingsStoreTest, NewFileHoldsExactlyTheWrittenLines) {
  ASSERT_TRUE(store_.CreateNew(kPath));
  store_.SelectGroup("Global");
  store_.WriteString("ApplicationName", "#app_name");
  store_.SelectGroup("Setting");
  store_.WriteString("Directory", "");
  EXPECT_TRUE(store_.Close());
  EXPECT_EQ(OnDisk(), "[Global]\r\nApplicationName = #app_name\r\n[Setting]\r\nDirectory = \r\n");
}

TEST_F(SettingsStoreTest, SecondWriteOfAKeyTakesItsPlaceAndSpelling) {
  ASSERT_TRUE(store_.CreateNew(kPath));
  store_.SelectGroup("G");
  store_.WriteString("directory", "a");
  store_.WriteString("Other", "x");
  store_.WriteString("DIRECTORY", "b");
  store_.Close();
  EXPECT_EQ(OnDisk(), "[G]\r\nDIRECTORY = b\r\nOther = x\r\n");
}

TEST_F(SettingsStoreTest, KeysGoToTheEndOfTheirOwnGroup) {
  ASSERT_TRUE(store_.CreateNew(kPath));
  store_.SelectGroup("One");
  store_.WriteString("k1", "1");
  store_.SelectGroup("Two");
  store_.WriteString("k2", "2");
  store_.SelectGroup("one");
  store_.WriteString("k3", "3");
  store_.Close();
  EXPECT_EQ(OnDisk(), "[One]\r\nk1 = 1\r\nk3 = 3\r\n[Two]\r\nk2 = 2\r\n");
}

TEST_F(SettingsStoreTest, KeysBeforeAnyGroupStayAheadOfTheHeaders) {
  ASSERT_TRUE(store_.CreateNew(kPath));
  store_.WriteString("a", "1");
  store_.SelectGroup("G");
  store_.WriteString("b", "2");
  store_.SelectGroup("Missing");  // pending, no header yet, until a write
  EXPECT_EQ(store_.ReadString("b", "none"), "none");
  store_.Close();
  EXPECT_EQ(OnDisk(), "a = 1\r\n[G]\r\nb = 2\r\n");
}

TEST_F(SettingsStoreTest, WrittenValuesReadBackInTheSameSession) {
  ASSERT_TRUE(store_.CreateNew(kPath));
  store_.SelectGroup("Setting");
  store_.WriteString("Last", " \tvalue\t ");
  EXPECT_EQ(store_.ReadString("LAST", "d"), "value");
  EXPECT_EQ(store_.ReadString("Directory", "d"), "d");
}

TEST_F(SettingsStoreTest, NewFileReplacesTheOldOneOnlyAtClose) {
  files_.files[std::string(kPath)] = "old content";
  ASSERT_TRUE(store_.CreateNew(kPath));
  store_.SelectGroup("G");
  store_.WriteString("k", "v");
  EXPECT_EQ(OnDisk(), "old content");
  EXPECT_TRUE(store_.Close());
  EXPECT_EQ(OnDisk(), "[G]\r\nk = v\r\n");
}

TEST_F(SettingsStoreTest, NewFileClosedWithoutWritesIsEmpty) {
  files_.files[std::string(kPath)] = "old content";
  ASSERT_TRUE(store_.CreateNew(kPath));
  store_.SelectGroup("G");
  EXPECT_TRUE(store_.Close());
  EXPECT_EQ(OnDisk(), "");
}

TEST_F(SettingsStoreTest, RefusedCreationWritesNothing) {
  files_.files[std::string(kPath)] = "old content";
  files_.refuseReplace = true;
  EXPECT_FALSE(store_.CreateNew(kPath));
  EXPECT_FALSE(store_.SelectGroup("G"));
  store_.WriteString("k", "v");
  store_.Close();
  EXPECT_EQ(OnDisk(), "old content");
}

TEST_F(SettingsStoreTest, FailedCommitReportsAndKeepsTheOldFile) {
  files_.files[std::string(kPath)] = "old content";
  files_.failCommit = true;
  ASSERT_TRUE(store_.CreateNew(kPath));
  store_.WriteString("k", "v");
  EXPECT_FALSE(store_.Close());
  EXPECT_EQ(OnDisk(), "old content");
  EXPECT_FALSE(store_.IsOpen());
}

TEST_F(SettingsStoreTest, OpeningAnotherFileWritesTheFirstOut) {
  ASSERT_TRUE(store_.CreateNew(kPath));
  store_.WriteString("k", "v");
  files_.files["/other"] = "[G]\r\nk = w\r\n";
  ASSERT_TRUE(store_.OpenExisting("/other"));
  EXPECT_EQ(OnDisk(), "k = v\r\n");
  store_.SelectGroup("G");
  EXPECT_EQ(store_.ReadString("k", ""), "w");
}

TEST_F(SettingsStoreTest, DestructionWritesPendingChanges) {
  {
    SettingsStore store(files_);
    ASSERT_TRUE(store.CreateNew(kPath));
    store.WriteString("k", "v");
  }
  EXPECT_EQ(OnDisk(), "k = v\r\n");
}

// A value goes to the file as it is; what the reader makes of it is the round trip.
TEST_F(SettingsStoreTest, ValuesRoundTripAsTheReaderSeesThem) {
  struct Case {
    std::string_view written, read;
  };
  const Case cases[] = {
      {"", ""},
      {"C:\\Logs\\", "C:\\Logs\\"},
      {"  lead and trail \t", "lead and trail"},
      {"a = b = c", "a = b = c"},
      {"\xA9 \xFF bytes", "\xA9 \xFF bytes"},
      {"nul\0inside"sv, "nul\0inside"sv},
      {"first\r\nDirectory = evil", "first"},
      {"first\rsecond", "first"},
      {"first\nsecond", "first"},
  };
  for (const Case& c : cases) {
    ASSERT_TRUE(store_.CreateNew(kPath));
    store_.SelectGroup("Setting");
    store_.WriteString("Directory", "/d/");
    store_.WriteString("Last", c.written);
    ASSERT_TRUE(store_.Close());
    ASSERT_TRUE(store_.OpenExisting(kPath));
    store_.SelectGroup("Setting");
    EXPECT_EQ(store_.ReadString("Last", "default"), c.read) << ::testing::PrintToString(c.written);
    // Lines a value smuggles in come after the real key and never win over it.
    EXPECT_EQ(store_.ReadString("Directory", "default"), "/d/");
    store_.Close();
  }
}

// ---------------------------------------------------------------------------------------------
// Writing back a parsed file (the program itself never does): entries keep their order and
// comments, the spacing becomes the written form.

TEST_F(SettingsStoreTest, WriteBackOfAParsedFileKeepsItsEntries) {
  OpenWith("; mine\n  [A]  junk\nk=1\n\n[B]\nk = 2  \n");
  store_.SelectGroup("b");
  store_.WriteString("K", "3");
  store_.WriteString("n", "4");
  store_.SelectGroup("A");
  store_.WriteString("m", "5");
  EXPECT_EQ(OnDisk(), "; mine\n  [A]  junk\nk=1\n\n[B]\nk = 2  \n");
  EXPECT_TRUE(store_.Close());
  EXPECT_EQ(OnDisk(), "; mine\r\n[A]\r\nk = 1\r\nm = 5\r\n[B]\r\nK = 3\r\nn = 4\r\n");
}

TEST_F(SettingsStoreTest, WriteBackOfAParsedFileAddsAMissingGroupAtTheEnd) {
  OpenWith("[A]\r\nk = 1\r\n");
  EXPECT_FALSE(store_.SelectGroup("New"));
  store_.WriteString("k", "2");
  EXPECT_EQ(store_.ReadString("k", ""), "2");
  store_.Close();
  EXPECT_EQ(OnDisk(), "[A]\r\nk = 1\r\n[New]\r\nk = 2\r\n");
}

TEST_F(SettingsStoreTest, WriteBackOfAUtf8FileKeepsTheMarkAndEncodes) {
  OpenWith("\xEF\xBB\xBF[Gr\xC3\xBC]\r\nk = \xC3\xA9\r\n");
  store_.SelectGroup("Gr\xFC");
  store_.WriteString("n\xE9", "\xA9");
  EXPECT_EQ(store_.ReadString("N\xE9", ""), "\xA9");
  EXPECT_EQ(store_.ReadString("k", ""), "\xE9");
  store_.SelectGroup("\xC4");
  store_.WriteString("x", "y");
  store_.Close();
  EXPECT_EQ(OnDisk(),
            "\xEF\xBB\xBF[Gr\xC3\xBC]\r\nk = \xC3\xA9\r\nn\xC3\xA9 = \xC2\xA9\r\n[\xC3\x84]\r\n"
            "x = y\r\n");
}

// ---------------------------------------------------------------------------------------------
// Hostile files: any bytes must open, read and close without harm.

struct HostileCase {
  const char* name;
  std::string bytes;
};

std::vector<HostileCase> HostileFiles() {
  std::mt19937 random(1234);
  std::string junk(1 << 20, '\0');
  for (char& c : junk) c = static_cast<char>(random());
  std::string bomJunk = "\xEF\xBB\xBF[Setting]\r\nLast = ";
  for (int i = 0; i < 4096; ++i) bomJunk += static_cast<char>(0x80 + random() % 0x80);
  return {
      {"Empty", ""},
      {"NulBytes", std::string(1 << 20, '\0')},
      {"BinaryJunk", junk},
      {"MarkWithInvalidUtf8", bomJunk},
      {"MarkCutShort", "\xEF\xBB"},
      {"LinesWithoutEquals", "[Setting]\nLast\nDirectory\n[\n=\n;\n"},
      {"OnlyLineBreaks", std::string(1 << 16, '\r')},
      {"OpenBracketAtEnd", "["},
      {"LongLine", "[Setting]\r\nLast = " + std::string(1 << 22, 'x')},
  };
}

class HostileFileTest : public SettingsStoreTest,
                        public ::testing::WithParamInterface<HostileCase> {};

TEST_P(HostileFileTest, OpensReadsAndWritesBackSafely) {
  OpenWith(GetParam().bytes);
  store_.SelectGroup("Setting");
  const std::string last = store_.ReadString("Last", "d");
  const std::string directory = store_.ReadString("Directory", "d");
  // Whatever came back is one line's worth.
  EXPECT_EQ(last.find_first_of("\r\n"), std::string::npos);
  EXPECT_EQ(directory.find_first_of("\r\n"), std::string::npos);
  store_.WriteString("Last", "v");
  EXPECT_EQ(store_.ReadString("Last", ""), "v");
  EXPECT_TRUE(store_.Close());
  EXPECT_TRUE(store_.OpenExisting(kPath));
  store_.SelectGroup("Setting");
  EXPECT_EQ(store_.ReadString("Last", ""), "v");
}

INSTANTIATE_TEST_SUITE_P(Files, HostileFileTest, ::testing::ValuesIn(HostileFiles()),
                         [](const ::testing::TestParamInfo<HostileCase>& param) {
                           return param.param.name;
                         });

TEST_F(SettingsStoreTest, FiftyMegabyteFileIsReadToItsEnd) {
  std::string& big = files_.files[std::string(kPath)];
  big = "[Setting]\r\n";
  const std::string_view line = "Filler = some value that is not wanted\r\n";
  while (big.size() < (50u << 20)) big += line;
  big += "Last = found at the end \r\n";
  ASSERT_TRUE(store_.OpenExisting(kPath));
  EXPECT_TRUE(store_.SelectGroup("Setting"));
  EXPECT_EQ(store_.ReadString("Last", ""), "found at the end");
  EXPECT_EQ(store_.ReadString("Missing", "d"), "d");
  EXPECT_TRUE(store_.Close());
  EXPECT_EQ(files_.replacesStarted, 0);
}

}  // namespace
}  // namespace skein
