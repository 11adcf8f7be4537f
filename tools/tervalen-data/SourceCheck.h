// `check --sources DIR`: the text sources against the data files the game
// reads. Every source is compiled in memory: one that does not compile, a data
// file that is not what its source compiles to (the game would play the old
// one), a source without a data file and a data file without a source are
// reported, each at the source's line when there is one.
#pragma once

#include <string>

#include "GameChecker.h"

void checkSources(const std::string& gameDir, const std::string& sourcesDir, CheckReport& report);
