// Names read from data files become file names: character ids (a scene's
// enemies and props, the player), scene ids (door targets, the first scene).
// Every such name goes through dataFilePath, which refuses anything but a
// plain name and converts the GBK of the data files to the UTF-8 of the disk
// the same way for every kind of file.
#pragma once

#include <string>

#include "format/LoadError.h"

enum class DataFileKind {
  Chara,  // data/chara/<id>.dat
  Scene,  // data/scene/<id>.dat
};

// The longest plain name, in bytes (the data files' short strings hold 127).
constexpr size_t kMaxPlainNameBytes = 127;

// Why `name` (GBK bytes, as stored in a data file) cannot name a file, or ""
// when it is a plain name: not empty, at most 127 bytes, valid GBK, no '/' or
// '\', not "." or "..", no NUL or other control character.
std::string plainNameProblem(const std::string& name);

// The path of the data file named by `id`, relative to the game folder and in
// UTF-8: "data/chara/<id>.dat" or "data/scene/<id>.dat". When the id is not a
// plain name, the error's `what` says why (its file is the escaped id).
Expected<std::string> dataFilePath(DataFileKind kind, const std::string& id);

// The path of a character or scene file for messages: dataFilePath's result,
// or the escaped id in its place when it is not a plain name.
std::string charaFilePath(const std::string& id);
std::string sceneFilePath(const std::string& id);

// The name as it can be shown in a log line or a message: valid GBK converted
// to UTF-8, quotes and backslashes escaped, control and stray bytes as \xNN,
// cut after 64 characters. Always valid, printable UTF-8 on one line.
std::string escapedName(const std::string& name);
