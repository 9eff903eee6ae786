#include "settings/settings_store.h"

#include <utility>

namespace skein {

SettingsStore::SettingsStore(platform::Files& files) : files_(files) {}

SettingsStore::~SettingsStore() {
  Close();
}

bool SettingsStore::OpenExisting(std::string_view path) {
  Close();
  std::optional<std::string> bytes = files_.ReadAll(path);
  if (!bytes) return false;

  text_ = std::move(*bytes);
  // The mark counts only at the very start of the file.
  if (text_.starts_with(kUtf8Mark)) {
    utf8_ = true;
    text_.erase(0, kUtf8Mark.size());
  }
  path_ = path;
  open_ = true;
  return true;
}

bool SettingsStore::CreateNew(std::string_view path) {
  Close();
  replacement_ = files_.Replace(path);
  if (!replacement_) return false;

  path_ = path;
  built_ = true;
  open_ = true;
  return true;
}

bool SettingsStore::SelectGroup(std::string_view name) {
  if (!open_) return false;
  if (const std::optional<std::size_t> body = FindGroup(InFileEncoding(name))) {
    groupBody_ = body;
    pendingGroup_.reset();
    return true;
  }
  pendingGroup_ = std::string(name);
  return false;
}

void SettingsStore::WriteString(std::string_view key, std::string_view value) {
  if (!open_) return;
  BuildEntries();

  if (pendingGroup_) {
    entries_.push_back({SettingsEntryKind::Group, InFileEncoding(*pendingGroup_), {}});
    groupBody_ = entries_.size();
    pendingGroup_.reset();
  }

  std::string fileKey = InFileEncoding(key);
  std::string fileValue = InFileEncoding(value);
  const KeySearch search = FindKey(fileKey);
  if (search.found) {
    // The key takes the caller's spelling; the line keeps its place.
    entries_[search.at].name = std::move(fileKey);
    entries_[search.at].value = std::move(fileValue);
  } else {
    entries_.insert(entries_.begin() + static_cast<std::ptrdiff_t>(search.at),
                    Entry{SettingsEntryKind::Key, std::move(fileKey), std::move(fileValue)});
  }
  changed_ = true;
}

std::string SettingsStore::ReadString(std::string_view key, std::string_view defaultValue) const {
  if (!open_ || pendingGroup_) return std::string(defaultValue);
  const KeySearch search = FindKey(InFileEncoding(key));
  if (!search.found) return std::string(defaultValue);

  const std::string_view value = TrimSettingsBlanksLeft(search.value);
  if (!utf8_) return std::string(TrimSettingsBlanksRight(value));
  const std::string decoded = DecodeUtf8(value);
  return std::string(TrimSettingsBlanksRight(decoded));
}

bool SettingsStore::Close() {
  if (!open_) return true;
  bool written = true;
  if (changed_) {
    if (!replacement_) replacement_ = files_.Replace(path_);
    written = replacement_ != nullptr && replacement_->Commit(FileBytes());
  } else if (replacement_) {
    // A file started anew exists once it is closed, even with nothing in it.
    written = replacement_->Commit({});
  }
  Reset();
  return written;
}

std::optional<SettingsEntryView> SettingsStore::NextEntry(std::size_t& pos) const {
  if (built_) {
    if (pos >= entries_.size()) return std::nullopt;
    const Entry& entry = entries_[pos++];
    return SettingsEntryView{entry.kind, entry.name, entry.value};
  }
  while (pos < text_.size()) {
    if (std::optional<SettingsEntryView> entry = ParseSettingsLine(text_, pos)) return entry;
  }
  return std::nullopt;
}

std::optional<std::size_t> SettingsStore::FindGroup(std::string_view name) const {
  std::size_t pos = 0;
  while (const std::optional<SettingsEntryView> entry = NextEntry(pos)) {
    if (entry->kind == SettingsEntryKind::Group && SameSettingsName(entry->name, name)) return pos;
  }
  return std::nullopt;
}

SettingsStore::KeySearch SettingsStore::FindKey(std::string_view key) const {
  // Before any group is selected the search covers the lines ahead of the first header.
  std::size_t pos = groupBody_.value_or(0);
  for (;;) {
    const std::size_t at = pos;
    const std::optional<SettingsEntryView> entry = NextEntry(pos);
    if (!entry || entry->kind == SettingsEntryKind::Group) return {false, at, {}};
    if (entry->kind == SettingsEntryKind::Key && SameSettingsName(entry->name, key)) {
      return {true, at, entry->value};
    }
  }
}

void SettingsStore::BuildEntries() {
  if (built_) return;
  std::optional<std::size_t> groupIndex;
  std::size_t pos = 0;
  while (pos < text_.size()) {
    const std::optional<SettingsEntryView> entry = ParseSettingsLine(text_, pos);
    if (!entry) continue;
    entries_.push_back({entry->kind, std::string(entry->name), std::string(entry->value)});
    if (groupBody_ && pos == *groupBody_) groupIndex = entries_.size();
  }
  groupBody_ = groupIndex;
  text_.clear();
  text_.shrink_to_fit();
  built_ = true;
}

std::string SettingsStore::InFileEncoding(std::string_view text) const {
  return utf8_ ? EncodeUtf8(text) : std::string(text);
}

std::string SettingsStore::FileBytes() const {
  static constexpr std::string_view kLineEnd = "\r\n";
  static constexpr std::string_view kAssign = " = ";
  static constexpr std::string_view kCommentStart = "; ";

  std::size_t size = utf8_ ? kUtf8Mark.size() : 0;
  for (const Entry& entry : entries_) {
    switch (entry.kind) {
      case SettingsEntryKind::Group:
        size += entry.name.size() + 4;
        break;
      case SettingsEntryKind::Comment:
        size += entry.name.size() + kCommentStart.size() + kLineEnd.size();
        break;
      case SettingsEntryKind::Key:
        size += entry.name.size() + entry.value.size() + 5;
        break;
    }
  }

  std::string bytes;
  bytes.reserve(size);
  // A file that came with the mark is written back with it, so its other lines keep meaning
  // what they meant.
  if (utf8_) bytes += kUtf8Mark;
  for (const Entry& entry : entries_) {
    switch (entry.kind) {
      case SettingsEntryKind::Group:
        bytes += '[';
        bytes += entry.name;
        bytes += ']';
        break;
      case SettingsEntryKind::Comment:
        bytes += kCommentStart;
        bytes += entry.name;
        break;
      case SettingsEntryKind::Key:
        bytes += entry.name;
        bytes += kAssign;
        bytes += entry.value;
        break;
    }
    bytes += kLineEnd;
  }
  return bytes;
}

void SettingsStore::Reset() {
  replacement_.reset();
  path_.clear();
  open_ = false;
  changed_ = false;
  utf8_ = false;
  built_ = false;
  text_.clear();
  text_.shrink_to_fit();
  entries_.clear();
  groupBody_.reset();
  pendingGroup_.reset();
}

}  // namespace skein
