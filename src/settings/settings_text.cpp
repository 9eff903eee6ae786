#include "settings/settings_text.h"

namespace skein {
namespace {

constexpr bool IsLineBreak(char c) {
  return c == '\r' || c == '\n';
}

constexpr char FoldAsciiCase(char c) {
  return c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c;
}

constexpr bool IsContinuation(unsigned char b) {
  return b >= 0x80 && b <= 0xBF;
}

}  // namespace

std::optional<SettingsEntryView> ParseSettingsLine(std::string_view text, std::size_t& pos) {
  const std::size_t end = text.size();
  std::size_t i = pos;
  // Where the line's content stops: its first CR or LF, or the end of the text.
  auto lineEnd = [&](std::size_t from) {
    while (from < end && !IsLineBreak(text[from])) ++from;
    return from;
  };
  // One line break is any run of CR and LF bytes, so blank lines of any style vanish with it.
  auto finish = [&](std::size_t at) {
    while (at < end && IsLineBreak(text[at])) ++at;
    pos = at;
  };

  while (i < end && IsSettingsBlank(text[i])) ++i;

  // A line of blanks, or nothing at all before the break or the end of the text.
  if (i == end || IsLineBreak(text[i])) {
    finish(i);
    return std::nullopt;
  }

  if (text[i] == ';') {
    ++i;
    if (i < end && IsSettingsBlank(text[i])) ++i;
    const std::size_t stop = lineEnd(i);
    finish(stop);
    return SettingsEntryView{SettingsEntryKind::Comment, text.substr(i, stop - i), {}};
  }

  if (text[i] == '[') {
    ++i;
    std::size_t stop = i;
    while (stop < end && text[stop] != ']' && !IsLineBreak(text[stop])) ++stop;
    const std::string_view name = text.substr(i, stop - i);
    // Whatever follows the "]" is ignored.
    finish(lineEnd(stop));
    return SettingsEntryView{SettingsEntryKind::Group, name, {}};
  }

  // A key line: the key runs to the first "=" and loses its trailing blanks; the value keeps its
  // trailing blanks, which only the lookup removes.
  std::size_t keyStop = i;
  while (keyStop < end && text[keyStop] != '=' && !IsLineBreak(text[keyStop])) ++keyStop;
  const std::string_view key = TrimSettingsBlanksRight(text.substr(i, keyStop - i));

  // Without "=" the value is empty, whatever style of line break ends the line; taking the next
  // line as the value would let a file with LF line ends hide its following line.
  if (keyStop == end || text[keyStop] != '=') {
    finish(keyStop);
    return SettingsEntryView{SettingsEntryKind::Key, key, {}};
  }

  std::size_t valueStart = keyStop + 1;
  while (valueStart < end && IsSettingsBlank(text[valueStart])) ++valueStart;
  const std::size_t valueStop = lineEnd(valueStart);
  finish(valueStop);
  return SettingsEntryView{SettingsEntryKind::Key, key,
                           text.substr(valueStart, valueStop - valueStart)};
}

std::vector<SettingsEntryView> ParseSettingsText(std::string_view text) {
  std::vector<SettingsEntryView> entries;
  std::size_t pos = 0;
  while (pos < text.size()) {
    if (auto entry = ParseSettingsLine(text, pos)) entries.push_back(*entry);
  }
  return entries;
}

bool SameSettingsName(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (FoldAsciiCase(a[i]) != FoldAsciiCase(b[i])) return false;
  }
  return true;
}

std::string_view TrimSettingsBlanksLeft(std::string_view text) {
  std::size_t start = 0;
  while (start < text.size() && IsSettingsBlank(text[start])) ++start;
  return text.substr(start);
}

std::string_view TrimSettingsBlanksRight(std::string_view text) {
  std::size_t stop = text.size();
  while (stop > 0 && IsSettingsBlank(text[stop - 1])) --stop;
  return text.substr(0, stop);
}

std::string EncodeUtf8(std::string_view bytes) {
  std::string out;
  out.reserve(bytes.size());
  for (const char c : bytes) {
    const auto b = static_cast<unsigned char>(c);
    if (b < 0x80) {
      out += c;
    } else {
      out += static_cast<char>(0xC0 | (b >> 6));
      out += static_cast<char>(0x80 | (b & 0x3F));
    }
  }
  return out;
}

std::string DecodeUtf8(std::string_view utf8) {
  std::string out;
  out.reserve(utf8.size());
  const std::size_t n = utf8.size();
  std::size_t i = 0;
  auto byteAt = [&](std::size_t at) { return static_cast<unsigned char>(utf8[at]); };
  // Steps over the continuation bytes that directly follow, at most `most` of them.
  auto skipContinuations = [&](std::size_t most) {
    for (std::size_t k = 0; k < most && i < n && IsContinuation(byteAt(i)); ++k) ++i;
  };

  while (i < n) {
    const unsigned char lead = byteAt(i);
    const std::size_t left = n - i - 1;  // bytes after the lead
    if (lead < 0x80) {
      out += static_cast<char>(lead);
      ++i;
    } else if (lead >= 0xC0 && lead <= 0xDF && left >= 1) {
      const unsigned char next = byteAt(i + 1);
      if (IsContinuation(next)) {
        const unsigned number = ((lead & 0x1Fu) << 6) | (next & 0x3Fu);
        out += number < 256 ? static_cast<char>(number) : '?';
        i += 2;
      } else {
        // The byte after the lead is read afresh.
        out += '?';
        ++i;
      }
    } else if (lead >= 0xE0 && lead <= 0xEF && left >= 2) {
      out += '?';
      ++i;
      skipContinuations(2);
    } else if (lead >= 0xF0 && lead <= 0xF7 && left >= 3) {
      out += '?';
      ++i;
      skipContinuations(3);
    } else {
      // A stray continuation byte, 0xF8 to 0xFF, or a lead byte cut off by the end of the value.
      ++i;
    }
  }
  return out;
}

}  // namespace skein
