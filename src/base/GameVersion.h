// The version of the game a mod says it was made for (mod.txt's `game`).
#pragma once

inline constexpr const char* kGameVersion = "0.1";
