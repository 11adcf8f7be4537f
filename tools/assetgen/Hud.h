// The heads-up display's pictures at their fixed sizes (frame, bars, gauge)
// and the title picture, all in the "ui" set.
#pragma once

#include "Manifest.h"

namespace assetgen {

// Where the display draws its bars over the frame picture (screen pixels).
struct HudWell {
  int x, y, w, h;
};
constexpr HudWell kPlayerWell{125, 17, 169, 7};
constexpr HudWell kSecondWell{125, 31, 169, 5};
constexpr HudWell kPowerWell{197, 41, 64, 7};
constexpr HudWell kEnemyWell{43, 146, 169, 10};

void makeHud(Manifest& manifest);
void makeTitle(Manifest& manifest);

}  // namespace assetgen
