// The player's own folders, for what the game writes outside its game folder
// (which an installed game never writes to), after the XDG base directory
// rules: the log goes to the state folder, settings to the config folder.
// Looking a folder up never creates it; makeUserFolder does, just before
// something is written there.
#pragma once

#include <filesystem>
#include <string>

// $XDG_STATE_HOME/tervalen, else ~/.local/state/tervalen. Empty when there is
// no usable home folder. A relative $XDG_STATE_HOME is ignored, as the rules say.
std::filesystem::path userStateFolder();

// $XDG_CONFIG_HOME/tervalen, else ~/.config/tervalen; empty likewise.
std::filesystem::path userConfigFolder();

// $XDG_DATA_HOME/tervalen, else ~/.local/share/tervalen; empty likewise. The
// installed mods are in its mods/ folder.
std::filesystem::path userDataFolder();

// Creates `folder` and any missing parents, each new one private to the user
// (mode 0700). False with the reason in `error` when it cannot.
bool makeUserFolder(const std::filesystem::path& folder, std::string& error);
