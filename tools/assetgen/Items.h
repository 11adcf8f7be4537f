// The "items" set: what lies in the street to be picked up (food, treasure and
// the two weapons, each lying on the ground with its feet at the bottom
// centre, in the props' ink outline and the fighters' light), and the sparkle
// shown where something is picked up (bright on transparent, drawn additively).
#pragma once

#include "Manifest.h"

namespace assetgen {

void makeItems(Manifest& manifest);

}  // namespace assetgen
