// Forty objects that keep running every instruction but spawning (which makes
// an object): frames, motion, boxes, an armed hit, both jumps, a sound, a tint,
// and opcode 8 back to the start. The allocation tests run them for many frames.
#pragma once

#include <vector>

#include "ObjectWorld.h"

namespace objtest {

inline void addBusyObjects(ObjectWorld& w) {
  w.addPictureSet("s", {{32, 48}, {40, 40}});
  const Action busy = act({frame(0, 2, 3, -1), op(1, {0.5, 0, 0.25, 0, 1, 0, 0, 0, 0, 1, 1, 1, 1}),
                           op(2, {0, -20, 30, 40, 10}), op(3, {10, -20, 20, 20, 10, 5}),
                           op(4, {0, 1, -2, -1, 3, 2, 1, 4}), op(7, {0, 0, 1}), op(7, {1, 0, 2}), op(6, {0, 0}),
                           op(10, {200, 255, 255, 255}), frame(1, 3, -2, 0), op(9), op(8, {0, 0})});
  std::vector<Action> actions(6, busy);
  w.writeChara("busy", chara(100, 0, actions, {0, 1, 2}));
  World& s = w.scene();
  s.objects.reserve(64);
  for (int i = 0; i < 20; ++i) s.createChara("busy", i % 2, 10 * i, 300 + i);
  for (int i = 0; i < 20; ++i) s.createObj("busy", i % 6, 0, i % 2, 0, 5 * i, -i, 200 + i);
  s.sounds.reserve(256);
}

}  // namespace objtest
