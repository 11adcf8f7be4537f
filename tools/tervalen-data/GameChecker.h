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
  std::string line() const { return file + ": " + where + ": " + message; }
  std::string warningLine() const { return file + ": " + where + ": warning: " + message; }
};

struct CheckReport {
  std::vector<CheckProblem> problems;  // the game would go wrong: check fails
  std::vector<CheckProblem> warnings;  // the game copes (e.g. ignores bytes): check still passes
  size_t characters = 0, scenes = 0, pictureSets = 0, packFiles = 0;
  std::string summary() const;  // one line for a folder without problems
};

// Why `gameDir` cannot be checked at all ("the game folder does not exist",
// "it is not a folder"), or "".
std::string gameFolderProblem(const std::string& gameDir);

CheckReport checkGameFolder(const std::string& gameDir);
