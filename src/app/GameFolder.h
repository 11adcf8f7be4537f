// Finding the game folder: the data files are read by paths relative to it.
#pragma once

#include <string>

// The folder to run in: `root` when given; else the current folder when it
// holds data/; else the folder "game" beside the program. Empty with the
// reason in `error` when none of these is a folder.
std::string resolveGameFolder(const std::string& root, std::string& error);
