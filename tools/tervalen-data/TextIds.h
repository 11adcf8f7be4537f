// Ids in text sources: character and scene ids become file names in the game
// (data/chara/<id>.dat, data/scene/<id>.dat), so the compiler accepts plain
// names only, by the game's own rule (resource/DataPath.h), and decompile marks
// an id the game would refuse.
#pragma once

#include <string>

#include "TextStatements.h"

// The string value `v` as an id; throws TextError at `v` when it is not a
// plain name: `what` "\"../x\"" is not a plain name: it holds a folder separator.
std::string readPlainId(const TextValue& v, const std::string& what);

// A comment line to print before a statement holding `id`, or "" when the id
// is a plain name.
std::string idNote(const std::string& id);
