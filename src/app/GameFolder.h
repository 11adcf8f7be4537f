// Finding the game folder: the data files are read by paths relative to it.
#pragma once

#include <string>

struct GameFolder {
  std::string path;
  // The folder an installation put beside the program (PREFIX/share/tervalen):
  // shared by every user of the machine, so the game writes nothing into it.
  bool installed = false;
};

// The folder to run in, the first of: `root` when given; the current folder
// when it holds data/; the folder "game" beside the program (a build tree);
// ../share/tervalen from the folder of the program (an installation, found
// from the program's real path so that a moved prefix still works).
// `program` is the real path of the running program ("" when unknown).
// An empty path, with the reason in `error`, when none of these is a folder.
GameFolder resolveGameFolder(const std::string& root, const std::string& program, std::string& error);

// The real path of the running program, "" when the system cannot tell.
std::string runningProgramPath();

// Where the log of a game run from `folder` goes: log.txt in the game folder,
// or in the user's state folder for an installed game ("" when there is none).
std::string logFileFor(const GameFolder& folder);
