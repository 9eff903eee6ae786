#include "capture/log_tree.h"

#include <array>
#include <cctype>

#include "platform/path_separator.h"

namespace skein {

namespace {

// Bytes no Windows file name may hold; on Linux only "/" and the zero byte are refused, but the
// same record should name the same tree everywhere.
bool RefusedInNames(char c) {
  return static_cast<unsigned char>(c) < 0x20 ||
         std::string_view("/\\:*?\"<>|").find(c) != std::string_view::npos;
}

// Windows opens a device, not a file, for these names.
bool IsDeviceName(std::string_view name) {
  std::string upper(name);
  for (char& c : upper) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  if (upper == "CON" || upper == "PRN" || upper == "AUX" || upper == "NUL") return true;
  return upper.size() == 4 && (upper.starts_with("COM") || upper.starts_with("LPT")) &&
         upper[3] >= '1' && upper[3] <= '9';
}

}  // namespace

std::string SafePathComponent(std::string_view field) {
  std::string safe(field);
  for (char& c : safe) {
    if (RefusedInNames(c)) c = '_';
  }
  // Windows drops trailing dots and blanks from a name, so "..", "." and "12 " would name another
  // directory there than here; made visible, they name the same one everywhere.
  for (auto it = safe.rbegin(); it != safe.rend() && (*it == '.' || *it == ' '); ++it) *it = '_';
  if (IsDeviceName(safe)) safe.front() = '_';
  return safe;
}

std::string DirectoryNameToCreate(std::string_view name) {
  constexpr std::size_t kMaxLength = 260;
  std::string_view cut = name.substr(0, kMaxLength);
  while (!cut.empty() && (cut.back() == ' ' || cut.back() == '\\' || cut.back() == '/')) {
    cut.remove_suffix(1);
  }
  return std::string(cut);
}

bool EnterRecordDirectory(platform::WorkingDirectory& directory, std::string_view baseDirectory,
                          const RecordTime& time) {
  const std::array<std::string, 4> levels = {
      std::string(baseDirectory), SafePathComponent(time.year), SafePathComponent(time.month),
      SafePathComponent(time.day)};
  for (const std::string& level : levels) {
    if (level.empty() || directory.Enter(level)) continue;
    const std::string toCreate = DirectoryNameToCreate(level);
    if (!toCreate.empty()) directory.Create(toCreate);
    if (!directory.Enter(level)) return false;
  }
  return true;
}

std::string HourlyLogPath(std::string_view baseDirectory, const RecordTime& time,
                          std::string_view logName) {
  constexpr char sep = platform::kPathSeparator;
  std::string path(baseDirectory);
  for (std::string_view part :
       {std::string_view(time.year), std::string_view(time.month), std::string_view(time.day)}) {
    path += sep;
    path += SafePathComponent(part);
  }
  path += sep;
  path += SafePathComponent(logName);
  return path;
}

}  // namespace skein
