#include "settings/settings_persistence.h"

#include "settings/settings_store.h"

namespace skein {
namespace {

constexpr std::string_view kGlobalGroup = "Global";
constexpr std::string_view kApplicationNameKey = "ApplicationName";
constexpr std::string_view kVersionKey = "Version";
constexpr std::string_view kSettingGroup = "Setting";
constexpr std::string_view kDirectoryKey = "Directory";
constexpr std::string_view kLastKey = "Last";

constexpr std::string_view kFirstRunApplicationName = "#app_name";
constexpr std::string_view kSaveApplicationName = "SkeinerWard";

}  // namespace

std::string ProgramDirectory(std::string_view executablePath) {
  const std::size_t separator = executablePath.find_last_of("\\/");
  if (separator == std::string_view::npos) return {};
  return std::string(executablePath.substr(0, separator + 1));
}

std::string VersionBanner(std::string_view text, int year) {
  std::string banner(text);
  banner += std::to_string(year);
  return banner;
}

SettingsFile::SettingsFile(platform::Files& files, platform::System& system)
    : files_(files),
      system_(system),
      path_(ProgramDirectory(system.ExecutablePath()) + std::string(kSettingsFileName)) {}

StoredSettings SettingsFile::Load() {
  SettingsStore store(files_);
  // A file that exists is never replaced here, even an empty one.
  if (!store.OpenExisting(path_)) {
    CreateDefaultSettings();
    if (!store.OpenExisting(path_)) return {};
  }
  store.SelectGroup(kSettingGroup);
  StoredSettings settings;
  settings.baseDirectory = store.ReadString(kDirectoryKey, "");
  settings.lastRecord = store.ReadString(kLastKey, "");
  store.Close();
  return settings;
}

bool SettingsFile::Save(const StoredSettings& settings) {
  return Write(kSaveApplicationName, kSaveVersionText, settings);
}

void SettingsFile::CreateDefaultSettings() {
  Write(kFirstRunApplicationName, kFirstRunVersionText, {});
}

// The six lines, whole: the first run and every save differ only in the values.
bool SettingsFile::Write(std::string_view applicationName, std::string_view versionText,
                         const StoredSettings& settings) {
  SettingsStore store(files_);
  if (!store.CreateNew(path_)) return false;
  store.SelectGroup(kGlobalGroup);
  store.WriteString(kApplicationNameKey, applicationName);
  store.WriteString(kVersionKey, VersionBanner(versionText, system_.LocalYear()));
  store.SelectGroup(kSettingGroup);
  store.WriteString(kDirectoryKey, settings.baseDirectory);
  store.WriteString(kLastKey, settings.lastRecord);
  return store.Close();
}

}  // namespace skein
