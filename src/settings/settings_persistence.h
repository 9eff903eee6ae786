#pragma once

#include <string>
#include <string_view>

#include "platform/files.h"
#include "platform/system.h"

namespace skein {

// What the program keeps across runs.
struct StoredSettings {
  std::string baseDirectory;
  std::string lastRecord;
};

inline constexpr std::string_view kSettingsFileName = "Skeinward.prefs";
inline constexpr std::string_view kSaveErrorTitle = "Error";
inline constexpr std::string_view kSaveErrorText =
    "Can't create ini file. Your program setting's are stored";

// The texts the `Version` key's year is appended to; 0xA9 is the copyright sign.
inline constexpr std::string_view kFirstRunVersionText = "#version \xA9 ";
inline constexpr std::string_view kSaveVersionText = "SkeinerWard 3.11 \xA9 ";

// Everything up to and including the last "\" or "/" of `executablePath`; empty when it has none.
std::string ProgramDirectory(std::string_view executablePath);
// `text` followed directly by `year` in decimal.
std::string VersionBanner(std::string_view text, int year);

// The settings file beside the executable. Used from the main thread only.
class SettingsFile {
 public:
  // The path comes from system.ExecutablePath().
  SettingsFile(platform::Files& files, platform::System& system);

  const std::string& Path() const { return path_; }

  // Reads the base directory and the last record, first writing the first-run file when there is
  // none that can be read. Values that cannot be read come back empty; nothing is reported.
  StoredSettings Load();
  // Writes the whole file anew. False when it could not be written, in which case the previous
  // file is left as it was; the caller shows kSaveErrorTitle/kSaveErrorText.
  bool Save(const StoredSettings& settings);

 private:
  void CreateDefaultSettings();
  bool Write(std::string_view applicationName, std::string_view versionText,
             const StoredSettings& settings);

  platform::Files& files_;
  platform::System& system_;
  std::string path_;
};

}  // namespace skein
