// The settings file on disk: read at start, written whole when something
// changes. A missing file means the defaults; a file that cannot be read, or
// lines that cannot, are said in the log and the rest goes on; a file that
// cannot be written loses nothing but the saving.
#pragma once

#include <filesystem>
#include <functional>
#include <string>

#include "app/Settings.h"

using SettingsLog = std::function<void(const std::string&)>;

// The file: settings.ini in the player's config folder ("" when there is no home folder).
std::filesystem::path settingsFilePath();

// The settings in `file`; every line left out is logged (the first few, then how many more).
Settings loadSettings(const std::filesystem::path& file, const SettingsLog& log);

// Writes `settings` to `file` in one step, making its folder when missing.
// False with the reason in `error`.
bool saveSettings(const std::filesystem::path& file, const Settings& settings, std::string& error);
