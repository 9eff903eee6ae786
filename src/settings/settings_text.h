#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace skein {

// The bytes a settings file starts with when it was saved as UTF-8.
inline constexpr std::string_view kUtf8Mark = "\xEF\xBB\xBF";

enum class SettingsEntryKind { Group, Comment, Key };

// One line of a settings file as the parser sees it: a group header (`name` is the group's
// name), a comment (`name` is its text) or a key line (`name` is the key). Views point into the
// parsed text.
struct SettingsEntryView {
  SettingsEntryKind kind = SettingsEntryKind::Key;
  std::string_view name;
  std::string_view value;

  bool operator==(const SettingsEntryView&) const = default;
};

// Space and tab; nothing else counts as a blank in a settings file.
constexpr bool IsSettingsBlank(char c) {
  return c == ' ' || c == '\t';
}

// Parses the line of `text` that starts at `pos` and moves `pos` past the line break that ends
// it. Blank lines give nothing. `pos` must not be beyond the end of `text`.
std::optional<SettingsEntryView> ParseSettingsLine(std::string_view text, std::size_t& pos);

// Every entry of `text`, in file order.
std::vector<SettingsEntryView> ParseSettingsText(std::string_view text);

// Group names and keys match byte for byte, except that ASCII letters ignore case.
bool SameSettingsName(std::string_view a, std::string_view b);

// Blanks removed from the start or the end of `text`.
std::string_view TrimSettingsBlanksLeft(std::string_view text);
std::string_view TrimSettingsBlanksRight(std::string_view text);

// Each byte taken as the character with that number, written as UTF-8.
std::string EncodeUtf8(std::string_view bytes);
// UTF-8 brought back to single bytes: characters above 255 and sequences longer than two bytes
// become "?", stray and truncated bytes are dropped.
std::string DecodeUtf8(std::string_view utf8);

}  // namespace skein
