#pragma once

#include <cstddef>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/files.h"
#include "settings/settings_text.h"

namespace skein {

// A settings file of named groups holding key lines, either parsed from disk (OpenExisting) or
// made anew (CreateNew), and written back whole at Close when a value was written. Group names
// and keys ignore ASCII case. Used from one thread; it takes no lock.
//
// A new file never replaces the old one before Close: its bytes go to a temporary file that is
// put in the target's place only once all of them are on disk.
class SettingsStore {
 public:
  explicit SettingsStore(platform::Files& files);
  SettingsStore(const SettingsStore&) = delete;
  SettingsStore& operator=(const SettingsStore&) = delete;
  ~SettingsStore();  // closes (writes if changed)

  // Closes the open file, then reads and parses `path`. False when it cannot be read.
  bool OpenExisting(std::string_view path);
  // Closes the open file, then starts `path` anew with no entries. False when the replacement
  // cannot be started (the target stays as it is).
  bool CreateNew(std::string_view path);
  // Makes `name` the group that later reads and writes work in. False when the file has no such
  // group; a write then adds its header at the end of the file.
  bool SelectGroup(std::string_view name);
  void WriteString(std::string_view key, std::string_view value);
  // The key's value in the current group without leading and trailing blanks, or
  // `defaultValue` as given when the group or the key is missing.
  std::string ReadString(std::string_view key, std::string_view defaultValue) const;
  // Writes the file if a value was written (a file started with CreateNew is written even when
  // empty), then releases it. False only when a write was due and did not reach the disk; the
  // file on disk is then the one from before.
  bool Close();

  bool IsOpen() const { return open_; }

 private:
  struct Entry {
    SettingsEntryKind kind;
    std::string name;
    std::string value;
  };
  struct KeySearch {
    bool found = false;
    std::size_t at = 0;  // the matching entry, or where the current group ends
    std::string_view value;
  };

  std::optional<SettingsEntryView> NextEntry(std::size_t& pos) const;
  std::optional<std::size_t> FindGroup(std::string_view name) const;
  KeySearch FindKey(std::string_view key) const;
  void BuildEntries();
  std::string InFileEncoding(std::string_view text) const;
  std::string FileBytes() const;
  void Reset();

  platform::Files& files_;
  std::string path_;
  bool open_ = false;
  bool changed_ = false;
  bool utf8_ = false;
  // A parsed file is kept as its text and walked line by line, so a huge file costs no more than
  // its bytes; only a write turns it into `entries_`. A new file starts as `entries_`.
  bool built_ = false;
  std::string text_;
  std::vector<Entry> entries_;
  // Positions are byte offsets into `text_` before BuildEntries and indices into `entries_`
  // after it; `groupBody_` is the position just after the current group's header.
  std::optional<std::size_t> groupBody_;
  std::optional<std::string> pendingGroup_;
  std::unique_ptr<platform::PendingFile> replacement_;
};

}  // namespace skein
