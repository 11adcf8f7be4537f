#include "app/SettingsFile.h"

#include <vector>

#include "base/FileBytes.h"
#include "base/ReplaceFile.h"
#include "engine/UserFolders.h"

namespace {

// A settings file is a few hundred bytes; anything much larger is not one.
constexpr uint64_t kMaxSettingsBytes = 64 * 1024;
// Lines left out that are each said in the log; beyond them, only how many.
constexpr size_t kNotesLogged = 8;

}  // namespace

std::filesystem::path settingsFilePath() {
  const std::filesystem::path folder = userConfigFolder();
  return folder.empty() ? folder : folder / "settings.ini";
}

Settings loadSettings(const std::filesystem::path& file, const SettingsLog& log) {
  if (file.empty()) {
    log("No home folder: default settings, and they are not kept");
    return Settings{};
  }
  Expected<std::vector<uint8_t>> bytes = readFileBytes(file.string(), kMaxSettingsBytes);
  if (!bytes) {
    if (bytes.error().what.find("No such file") != std::string::npos) {
      log("No settings file yet (" + file.string() + "): default settings");
    } else {
      log("Settings not read: " + file.string() + ": " + bytes.error().what + "; default settings");
    }
    return Settings{};
  }
  std::vector<std::string> notes;
  Settings settings = parseSettings(std::string(bytes->begin(), bytes->end()), file.string(), notes);
  for (size_t i = 0; i < notes.size() && i < kNotesLogged; ++i) log("Settings: " + notes[i]);
  if (notes.size() > kNotesLogged)
    log("Settings: " + std::to_string(notes.size() - kNotesLogged) + " more lines of " + file.string() +
        " left out or overridden");
  log("Settings read from " + file.string());
  return settings;
}

bool saveSettings(const std::filesystem::path& file, const Settings& settings, std::string& error) {
  if (file.empty()) {
    error = "no home folder to keep settings in";
    return false;
  }
  if (!makeUserFolder(file.parent_path(), error)) return false;
  const std::string text = formatSettings(settings);
  return replaceRegularFile(file.string(), std::vector<uint8_t>(text.begin(), text.end()), error);
}
