// The system data file as text:
//
//   system
//   string "Tervalen"
//   string "ok"
//
// docs/data-format.md describes every statement.
#pragma once

#include <string>
#include <vector>

#include "TextStatements.h"
#include "format/CountLog.h"
#include "format/SystemData.h"

std::string printSystemText(const SystemData& data, const CountLog* counts);
void readSystemText(const std::vector<TextStatement>& file, SystemData& data, CountLog& counts);
