// Scene files as text:
//
//   scene "Test"
//   size width=1600 depth=200
//   picture-set 5
//   prop-chara "crate"
//   background 0
//   far x=0 y=0 picture=1
//   middle x=0 y=300 picture=2
//   near x=700 y=260 picture=3
//   prop x=300 z=150 y=0 action=0
//   enemy "guai01" x=600 z=120
//   wall x=500 z=100 width=100 depth=40 height=80
//   door "Stage2" x=1550 z=100 entry-x=100 entry-z=100
//
// docs/data-format.md describes every statement.
#pragma once

#include <string>
#include <vector>

#include "TextStatements.h"
#include "format/CountLog.h"
#include "format/SceneFile.h"

std::string printSceneText(const SceneFile& scene, const CountLog* counts);
void readSceneText(const std::vector<TextStatement>& file, SceneFile& scene, CountLog& counts);
