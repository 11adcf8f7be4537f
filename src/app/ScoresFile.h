// The high-score table on disk: scores.txt in the player's state folder,
// written whole through the same safe replace as the settings, so a table is
// never lost or half written. A file that is not a table (garbage, too large)
// is kept aside as scores.txt.damaged (or .damaged-2, ...) and a fresh table
// begins; anything else in its place (a folder, a FIFO, a link) is left alone
// and the table lives for this run only. Each is said once in the log.
#pragma once

#include <filesystem>
#include <functional>
#include <string>

#include "app/HighScores.h"

using ScoresLog = std::function<void(const std::string&)>;

// scores.txt in the player's state folder ("" when there is no home folder).
std::filesystem::path scoresFilePath();

// The table in `file`: empty when there is none or it cannot be used.
HighScores loadHighScores(const std::filesystem::path& file, const ScoresLog& log);

// Writes the table to `file` in one step, making its folder when missing.
// False with the reason in `error`; the file on disk is then as it was.
bool saveHighScores(const std::filesystem::path& file, const HighScores& table, std::string& error);
