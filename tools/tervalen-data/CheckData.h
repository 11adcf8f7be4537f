// What `check` has read of a game folder, shared by its parts: the character
// and scene files with their relative paths, and the way it reports.
#pragma once

#include <functional>
#include <string>

#include "format/CharaData.h"
#include "format/SceneFile.h"

struct CheckedCharacter {
  std::string id;    // GBK, as data names it
  std::string file;  // relative path for messages
  CharaData data;
  bool fighter = false;
  bool player = false;
  bool enemy = false;
  bool prop = false;
};

struct CheckedScene {
  std::string id;    // GBK, as doors name it
  std::string file;  // relative path for messages
  SceneFile data;
};

// Reports one finding: the file (relative to the game folder), where in it, what.
using CheckReportFn = std::function<void(const std::string& file, const std::string& where, const std::string& message)>;
