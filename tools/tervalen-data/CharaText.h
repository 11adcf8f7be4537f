// Character files as text:
//
//   chara "guai01"
//   hp 120
//   picture-set 3
//   reactions 20 21 22
//   action 0 "stand" {
//     body x=0 y=-50 w=40 h=100 d=20
//     frame 0 ticks=10
//     goto action=0 pc=0
//   }
//   ai dx=0..80 dz=0..15 chance=30 action=13
//
// docs/data-format.md describes every statement.
#pragma once

#include <string>
#include <vector>

#include "TextStatements.h"
#include "format/CharaData.h"
#include "format/CountLog.h"

// The canonical text of a parsed character file. `counts` (from the parse)
// keeps unusual empty-list counts; nullptr means canonical counts.
std::string printCharaText(const CharaData& data, const CountLog* counts);

// Reads the statements of a character source (its first one is `chara`) into
// `data` and the count log the writer needs. Throws TextError.
void readCharaText(const std::vector<TextStatement>& file, CharaData& data, CountLog& counts);
