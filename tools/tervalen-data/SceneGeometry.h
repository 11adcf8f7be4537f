// `check`'s look at a scene's numbers: a ground of no or absurd size, walls of
// negative size and places far beyond any scene make the game's camera, wall
// and door arithmetic meaningless, so they are reported.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "format/SceneFile.h"

// Sizes and coordinates beyond this are absurd for a scene (the default game's
// widest is 2,200).
constexpr int64_t kMaxSceneExtent = 1000000;

// Calls report(where, message) for every such number of `scene`.
void checkSceneGeometry(const SceneFile& scene, const std::function<void(const std::string&, const std::string&)>& report);
