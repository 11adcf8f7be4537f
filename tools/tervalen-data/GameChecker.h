// `tervalen-data check GAMEDIR`: reads a whole game folder the way the game
// will use it and lists every broken reference, so that a modder learns about
// it before the game trips over it.
#pragma once

#include <string>
#include <vector>

struct CheckProblem {
  std::string file;     // relative to the game folder, e.g. "data/chara/guai01.dat"
  std::string where;    // e.g. "action 13 instruction 4", or "-" for the whole file
  std::string message;
  std::string place;    // "SOURCE:LINE" when the finding is about a text source's own line, else ""
  std::string line() const { return file + ": " + where + ": " + message; }
  std::string warningLine() const { return file + ": " + where + ": warning: " + message; }
};

struct CheckReport {
  std::vector<CheckProblem> problems;  // the game would go wrong: check fails
  std::vector<CheckProblem> warnings;  // the game copes (e.g. ignores bytes): check still passes
  std::vector<CheckProblem> notes;     // worth knowing, never a failure (a rule a mod overrides)
  size_t characters = 0, scenes = 0, pictureSets = 0, packFiles = 0;
  std::string summary() const;  // one line for a folder without problems
};

// Why `gameDir` cannot be checked at all ("the game folder does not exist",
// "it is not a folder"), or "".
std::string gameFolderProblem(const std::string& gameDir);

class DataLayers;
// `layers`: the game folder with mods over it, checked as the game would play
// them (nullptr: the game folder alone). Findings in a mod's file name the mod.
CheckReport checkGameFolder(const std::string& gameDir, const DataLayers* layers = nullptr);
