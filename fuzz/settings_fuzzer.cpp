// Arbitrary bytes as the settings file, kept in memory: every lookup the program makes and
// lookups of names taken from the file itself, checked against the parsed lines; then values
// taken from the input written to a new file and read back.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "fakes/fake_system.h"
#include "fakes/memory_files.h"
#include "fuzz_check.h"
#include "settings/settings_persistence.h"
#include "settings/settings_store.h"
#include "settings/settings_text.h"

namespace skein::fuzz {
namespace {

constexpr std::string_view kPath = "/prog/Skeinward.prefs";
// Blanks around it: a default must come back as given, not trimmed.
constexpr std::string_view kDefault = " default\t";

constexpr std::string_view kGlobal = "Global";
constexpr std::string_view kSetting = "Setting";
constexpr std::string_view kApplicationName = "ApplicationName";
constexpr std::string_view kVersion = "Version";
constexpr std::string_view kDirectory = "Directory";
constexpr std::string_view kLast = "Last";

constexpr std::size_t kDerivedNames = 4;

std::string Trimmed(std::string_view text) {
  return std::string(TrimSettingsBlanksRight(TrimSettingsBlanksLeft(text)));
}

std::string WithoutLineBreaks(std::string_view text) {
  std::string kept;
  for (const char c : text) {
    if (c != '\r' && c != '\n') kept += c;
  }
  return kept;
}

std::string_view UpToLineBreak(std::string_view text) {
  return text.substr(0, text.find_first_of("\r\n"));
}

// The file's lines as the parser sees them, and the lookups worked out from them the slow,
// obvious way, independent of how the store walks its text.
class ParsedFile {
 public:
  explicit ParsedFile(std::string_view bytes)
      : utf8_(bytes.starts_with(kUtf8Mark)),
        text_(utf8_ ? bytes.substr(kUtf8Mark.size()) : bytes),
        entries_(ParseSettingsText(text_)) {}

  bool Utf8() const { return utf8_; }
  const std::vector<SettingsEntryView>& Entries() const { return entries_; }

  // Where the group's keys start: after its first header, or at the start for no group.
  std::optional<std::size_t> GroupBody(std::optional<std::string_view> group) const {
    if (!group) return 0;
    const std::string wanted = InFile(*group);
    for (std::size_t i = 0; i < entries_.size(); ++i) {
      if (entries_[i].kind == SettingsEntryKind::Group &&
          SameSettingsName(entries_[i].name, wanted))
        return i + 1;
    }
    return std::nullopt;
  }

  std::string Value(std::optional<std::string_view> group, std::string_view key,
                    std::string_view defaultValue) const {
    const std::optional<std::size_t> body = GroupBody(group);
    if (!body) return std::string(defaultValue);
    const std::string wanted = InFile(key);
    for (std::size_t i = *body; i < entries_.size(); ++i) {
      const SettingsEntryView& entry = entries_[i];
      if (entry.kind == SettingsEntryKind::Group) break;
      if (entry.kind != SettingsEntryKind::Key || !SameSettingsName(entry.name, wanted)) continue;
      // Blanks at the start go before decoding and those at the end after it, so bytes that
      // decoding drops can leave a blank at the start.
      const std::string_view value = TrimSettingsBlanksLeft(entry.value);
      return std::string(TrimSettingsBlanksRight(utf8_ ? DecodeUtf8(value) : std::string(value)));
    }
    return std::string(defaultValue);
  }

 private:
  std::string InFile(std::string_view name) const {
    return utf8_ ? EncodeUtf8(name) : std::string(name);
  }

  bool utf8_;
  std::string_view text_;
  std::vector<SettingsEntryView> entries_;
};

// What any line may turn into: no entry holds a line break, a header's name stops at its "]",
// and a key has no "=" and no blank at either end.
void CheckEntries(const ParsedFile& file) {
  for (const SettingsEntryView& entry : file.Entries()) {
    Check(entry.name.find_first_of("\r\n") == std::string_view::npos, "name holds a line break");
    Check(entry.value.find_first_of("\r\n") == std::string_view::npos, "value holds a line break");
    switch (entry.kind) {
      case SettingsEntryKind::Group:
        Check(entry.name.find(']') == std::string_view::npos, "group name holds ]");
        Check(entry.value.empty(), "group header with a value");
        break;
      case SettingsEntryKind::Comment:
        Check(entry.value.empty(), "comment with a value");
        break;
      case SettingsEntryKind::Key:
        Check(entry.name.find('=') == std::string_view::npos, "key holds =");
        Check(entry.name == Trimmed(entry.name), "key with outer blanks");
        Check(entry.value == TrimSettingsBlanksLeft(entry.value), "value with leading blanks");
        break;
    }
  }
}

void CheckUtf8(std::string_view bytes) {
  Check(DecodeUtf8(EncodeUtf8(bytes)) == bytes, "UTF-8 round trip");
  Check(DecodeUtf8(bytes).size() <= bytes.size(), "decoding made the text longer");
}

// Names the caller might pass that the file itself suggests: the first few group names and keys,
// decoded as the caller would spell them in a UTF-8 file, and a slice of the raw bytes.
void AddDerivedNames(const ParsedFile& file, std::string_view bytes,
                     std::vector<std::string>& groups, std::vector<std::string>& keys) {
  std::size_t groupCount = 0;
  std::size_t keyCount = 0;
  for (const SettingsEntryView& entry : file.Entries()) {
    const bool isGroup = entry.kind == SettingsEntryKind::Group;
    if (entry.kind == SettingsEntryKind::Comment) continue;
    std::size_t& count = isGroup ? groupCount : keyCount;
    if (count == kDerivedNames) continue;
    ++count;
    std::vector<std::string>& names = isGroup ? groups : keys;
    names.emplace_back(entry.name);
    if (file.Utf8()) names.push_back(DecodeUtf8(entry.name));
  }
  const std::string_view slice = UpToLineBreak(bytes.substr(0, 12));
  groups.emplace_back(slice);
  keys.emplace_back(slice);
}

void CheckLookups(std::string_view bytes) {
  const ParsedFile file(bytes);
  CheckEntries(file);

  testing::MemoryFiles files;
  files.files[std::string(kPath)] = std::string(bytes);
  SettingsStore store(files);
  Check(store.OpenExisting(kPath), "an existing file did not open");

  std::vector<std::string> groups = {std::string(kGlobal), std::string(kSetting)};
  std::vector<std::string> keys = {std::string(kApplicationName), std::string(kVersion),
                                   std::string(kDirectory), std::string(kLast)};
  AddDerivedNames(file, bytes, groups, keys);

  // Before any group is selected, only the lines ahead of the first header are searched.
  for (const std::string& key : keys) {
    Check(store.ReadString(key, kDefault) == file.Value(std::nullopt, key, kDefault),
          "lookup before any group");
  }
  for (const std::string& group : groups) {
    Check(store.SelectGroup(group) == file.GroupBody(group).has_value(), "SelectGroup result");
    for (const std::string& key : keys) {
      Check(store.ReadString(key, kDefault) == file.Value(group, key, kDefault), "lookup");
    }
  }
  Check(store.Close(), "closing a file that was only read");
  Check(files.replacesStarted == 0, "reading wrote the file");
}

// Start-up on this file: the values of the lookups above, and the file left alone.
void CheckLoad(std::string_view bytes) {
  const ParsedFile file(bytes);
  testing::MemoryFiles files;
  testing::FakeSystem system;
  SettingsFile settings(files, system);
  files.files[settings.Path()] = std::string(bytes);

  const StoredSettings loaded = settings.Load();
  Check(loaded.baseDirectory == file.Value(kSetting, kDirectory, ""), "loaded Directory");
  Check(loaded.lastRecord == file.Value(kSetting, kLast, ""), "loaded Last");
  Check(files.replacesStarted == 0 && files.files[settings.Path()] == bytes,
        "start-up replaced an existing file");
}

// Values written to a new file come back without their outer blanks. Only the value written
// last may hold line breaks: the break ends it, and the lines after it are new lines of the file
// that could otherwise come ahead of the keys written after it.
void CheckNewFileRoundTrip(std::string_view bytes) {
  const std::string name = WithoutLineBreaks(bytes.substr(0, 64));
  const std::string directory = WithoutLineBreaks(bytes);
  const std::string last(bytes);

  testing::MemoryFiles files;
  {
    SettingsStore store(files);
    Check(store.CreateNew(kPath), "CreateNew");
    store.SelectGroup(kGlobal);
    store.WriteString(kApplicationName, name);
    store.SelectGroup(kSetting);
    store.WriteString(kDirectory, directory);
    store.WriteString(kLast, last);
    Check(store.Close(), "writing a new file");
  }
  const std::string& written = files.files[std::string(kPath)];
  // The first line is a fixed header, so the file cannot start with the mark by accident.
  Check(written.starts_with("[Global]\r\n"), "a new file starts with its first header");
  Check(written.ends_with("\r\n"), "a new file ends with a line break");

  SettingsStore store(files);
  Check(store.OpenExisting(kPath), "reopening a written file");
  Check(store.SelectGroup(kGlobal), "written group Global is missing");
  Check(store.ReadString(kApplicationName, kDefault) == Trimmed(name), "ApplicationName back");
  Check(store.SelectGroup(kSetting), "written group Setting is missing");
  Check(store.ReadString(kDirectory, kDefault) == Trimmed(directory), "Directory back");
  Check(store.ReadString(kLast, kDefault) == Trimmed(UpToLineBreak(last)), "Last back");
}

// The program's own save and load: a base directory without line breaks and a last record as it
// came from the channel, which may hold them.
void CheckSaveAndLoad(std::string_view bytes) {
  testing::MemoryFiles files;
  testing::FakeSystem system;
  SettingsFile settings(files, system);
  const StoredSettings saved{WithoutLineBreaks(bytes), std::string(bytes)};
  Check(settings.Save(saved), "Save");
  const StoredSettings loaded = settings.Load();
  Check(loaded.baseDirectory == Trimmed(saved.baseDirectory), "saved base directory back");
  Check(loaded.lastRecord == Trimmed(UpToLineBreak(saved.lastRecord)), "saved last record back");
}

// Writing into a parsed file (the program never does, but the store allows it): the new value
// reads back and the values around it keep what they said.
void CheckWriteBack(std::string_view bytes) {
  const std::string value = WithoutLineBreaks(bytes.substr(bytes.size() / 2));
  testing::MemoryFiles files;
  files.files[std::string(kPath)] = std::string(bytes);

  std::string nameBefore;
  std::string directoryBefore;
  {
    SettingsStore store(files);
    Check(store.OpenExisting(kPath), "an existing file did not open");
    store.SelectGroup(kGlobal);
    nameBefore = store.ReadString(kApplicationName, kDefault);
    store.SelectGroup(kSetting);
    directoryBefore = store.ReadString(kDirectory, kDefault);
    store.WriteString(kLast, value);
    Check(store.Close(), "writing back a parsed file");
  }
  // Leading blanks are not written back. In a file without the mark whose first line starts with
  // blanks and then the mark's three bytes, the rewritten file starts with the mark and is read
  // as UTF-8 from then on: a known limit of writing back, not checked here.
  const std::string& written = files.files[std::string(kPath)];
  if (!bytes.starts_with(kUtf8Mark) && written.starts_with(kUtf8Mark)) return;

  SettingsStore store(files);
  Check(store.OpenExisting(kPath), "reopening a written-back file");
  store.SelectGroup(kGlobal);
  Check(store.ReadString(kApplicationName, kDefault) == nameBefore, "write-back changed Global");
  Check(store.SelectGroup(kSetting), "written-back group Setting is missing");
  Check(store.ReadString(kDirectory, kDefault) == directoryBefore, "write-back changed Directory");
  Check(store.ReadString(kLast, kDefault) == Trimmed(value), "written-back Last");
}

}  // namespace
}  // namespace skein::fuzz

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  skein::fuzz::CheckUtf8(bytes);
  skein::fuzz::CheckLookups(bytes);
  skein::fuzz::CheckLoad(bytes);
  skein::fuzz::CheckNewFileRoundTrip(bytes);
  skein::fuzz::CheckSaveAndLoad(bytes);
  skein::fuzz::CheckWriteBack(bytes);
  return 0;
}
