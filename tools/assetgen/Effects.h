// The shared "system" set's pictures: hit sparks (small, heavy, special) as
// star bursts with a hot core, the death burst, dust puffs, the door marker
// and the hero's energy ball. Sparks, bursts, the marker and the ball are
// bright on transparent ground, made to be drawn additively.
#pragma once

#include "Manifest.h"

namespace assetgen {

void makeEffects(Manifest& manifest);

}  // namespace assetgen
