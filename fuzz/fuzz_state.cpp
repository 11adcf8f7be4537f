// Saved world states from anywhere (a state file of a bug report, a peer's
// rollback): the bytes are put back into a world and, when they are taken,
// the world is stepped for 50 frames. Nothing may crash, hang or read out of
// bounds. Half the inputs are raw bytes; the other half change a real state
// of a small fight (each input byte is mixed into the state at its place, and
// the input's length cuts or keeps it), so the reader is tried past its first
// checks. Only the core is linked.
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "base/Random.h"
#include "format/CharaData.h"
#include "object/Library.h"
#include "world/World.h"

namespace {

// A fighter that strikes with an armed attack (its spark from the shared effects) and starts over.
CharaData fighter(const std::string& id) {
  CharaData d;
  d.id = id;
  d.name = id;
  d.maxHp = 50;
  d.standAction = 0;
  d.airAction = 0;
  auto op = [](int32_t code, std::vector<double> args) { return Instruction{code, std::move(args)}; };
  for (int i = 0; i < 12; ++i)
    d.actions.push_back(Action{"a", {op(2, {0, -50, 40, 100, 20}), op(3, {0, -50, 60, 60, 30, 5}),
                                     op(4, {0, 0, -2, 0, 3, 2, 1, 1}), op(0, {0, 5, 0, 0}), op(8, {1, 0, 0})}});
  d.reactions = {1, 1, 5};
  return d;
}

std::unique_ptr<World> smallWorld(Random& chance) {
  WorldServices services{[](const std::string&) {}, [&chance](int lo, int hi) { return chance.range(lo, hi); }};
  auto w = std::make_unique<World>(std::move(services), World::Bare{});
  w->library().charaData.push_back(std::make_unique<CharaData>(fighter("f")));
  // The shared effects: sparks that show a picture for a few frames and go.
  CharaData system;
  system.id = system.name = "system";
  system.maxHp = 1;
  for (int i = 0; i < 20; ++i) system.actions.push_back(Action{"spark", {Instruction{0, {0, 3, 0, 0}}}});
  w->library().charaData.push_back(std::make_unique<CharaData>(std::move(system)));
  w->width = 2000;
  w->depth = 600;
  w->walls = {Box{-250, 0, 300, 500, 0, 1100}, Box{2250, 0, 300, 500, 0, 1100}};
  return w;
}

const std::vector<uint8_t>& realState() {
  static const std::vector<uint8_t> state = [] {
    Random chance(7);
    std::unique_ptr<World> w = smallWorld(chance);
    w->createChara("f", 0, 300, 300);
    w->join(2);
    for (int i = 0; i < 4; ++i) w->createChara("f", 1, 320 + 30 * i, 300 + 5 * i);
    for (int frame = 0; frame < 40; ++frame) w->step(SeatInputs{});
    std::vector<uint8_t> bytes;
    w->saveState(chance.state(), bytes);
    return bytes;
  }();
  return state;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::vector<uint8_t> state;
  if (size > 0 && data[0] % 2 == 0) {
    state = realState();
    for (size_t i = 1; i < size; ++i) state[(i * 131) % state.size()] ^= data[i];
    if (size % 3 == 0) state.resize(state.size() - size % state.size());
  } else {
    state.assign(data, data + size);
  }
  Random chance(1);
  std::unique_ptr<World> w = smallWorld(chance);
  Expected<uint64_t> random = w->restoreState(state, "fuzz.state");
  if (!random) return 0;
  chance.setState(*random);
  for (int frame = 0; frame < 50 && !w->gameOver; ++frame) w->step(SeatInputs{});
  return 0;
}
