// The rules of one run of the game: data/rules.txt over the game's own rules,
// then what the command line asks for (--scene, --invincible), which a game
// started without those options never sees.
#pragma once

#include <cstdint>
#include <string>

#include "app/Options.h"
#include "world/GameRules.h"

class DataLayers;

struct RunRules {
  GameRules rules;
  bool fromFile = false;  // data/rules.txt was there and was read
};

// Reads the rules in the game folder (the current folder) and applies the
// options. False with a one-line reason ("data/rules.txt:3: what", or what is
// wrong with --scene) when the game cannot start with them.
// `files`: the game folder with its mods, whose rules lie over it (nullptr: the game folder alone).
bool rulesForRun(const Options& options, RunRules& out, std::string& error, const DataLayers* files = nullptr);

// The lines a recording of a run by these rules starts with after its seed and
// players lines, so that it replays the same: the difficulty when it is not
// normal and each seat's chosen hero ("" when there is nothing to say).
std::string recordingHeader(const GameRules& rules);

// Where the player stands when scene `id` (GBK) begins without coming through
// a door: in the first scene, the rules' start; else where the first door
// that leads there (data/scene/ in name order) puts the player; else the
// rules' start, kept within the scene's ground.
struct ScenePlace {
  int32_t x = 0, z = 0;
};
ScenePlace sceneEntryPoint(const std::string& id, const GameRules& rules, const DataLayers* files = nullptr);
