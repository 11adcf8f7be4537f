// The resource list as text:
//
//   resources
//   set 0 "ui" {
//     picture 0 "bg.png"
//     picture 1 "hp.png"
//     sound 0 "bg.mp3"
//   }
//
// docs/data-format.md describes every statement.
#pragma once

#include <string>
#include <vector>

#include "TextStatements.h"
#include "format/CountLog.h"
#include "format/ResourceCatalog.h"

std::string printResText(const ResourceCatalog& catalog, const CountLog* counts);
void readResText(const std::vector<TextStatement>& file, ResourceCatalog& catalog, CountLog& counts);
