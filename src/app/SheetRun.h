// The contact sheet of one character (`tervalen-data sheet ID -o FILE.png`):
// drawn headless with the game's own renderer from the game folder (the
// current folder) and written as a PNG picture.
#pragma once

#include <string>

class DataLayers;

// Writes the sheet of character `id` (as typed, UTF-8) to `outPath`; the
// engine logs to `logFile`; `files`, when given, are the game folder with its
// mods. False with a one-line reason when it cannot.
bool writeContactSheet(const std::string& id, const std::string& outPath, const std::string& logFile,
                       std::string& error, const DataLayers* files = nullptr);
