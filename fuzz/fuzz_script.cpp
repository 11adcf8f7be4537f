// Action scripts from any character file, run by the real world: the bytes
// are read as a character file and, when they read, a fighter, a second
// fighter of the other team and a plain object made from it are stepped by
// World::update for up to 200 frames, with the same file also standing in for
// the shared "system" file. Nothing may crash, hang or read out of bounds,
// whatever numbers the scripts hold. Only the core is linked: no engine.
//
// The world holds as many objects as the game's (World::kMaxObjects), so a
// file that spawns copies of itself reaches the cap and has its later spawns
// dropped. A run stops before a frame whose work could overrun the budget:
// each object's tick costs what its script can run in one tick (the
// interpreter's limit for a script that can loop without a frame, else the
// size of its file), and, when the file can arm attacks, every object's attack
// may be tested against every object.
#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "base/Random.h"
#include "format/CharaData.h"
#include "object/Library.h"
#include "object/ScriptLoops.h"
#include "world/World.h"

namespace {

constexpr int kFrames = 200;
// About a second of work at most under the sanitizers; enough for a file that
// doubles its objects every frame to reach the cap and run a few frames there.
constexpr uint64_t kWorkBudget = 2000000;
// The interpreter stops a script after 10,000 instructions without a frame.
constexpr uint64_t kRunawayTickCost = 10001;

// What one object's tick can cost: a script that can loop without reaching
// a frame that waits runs into the interpreter's limit; any other runs each
// instruction at most once (and a plain object's follow-up action once more).
uint64_t tickCost(const CharaData& data) {
  bool loops = false;
  findWaitlessLoops(data.actions, true, [&](const std::string&, const std::string&) { loops = true; });
  if (loops) return kRunawayTickCost;
  uint64_t nodes = data.actions.size() + 1;
  for (const Action& a : data.actions) nodes += a.codes.size();
  return std::min(kRunawayTickCost, 2 * nodes + 1);
}

// Whether the file's scripts can arm an attack (opcode 4).
bool canAttack(const CharaData& data) {
  for (const Action& a : data.actions)
    for (const Instruction& c : a.codes)
      if (c.opcode == 4) return true;
  return false;
}

// The most work the next update can do: every object's tick and, when the
// file can arm attacks, every object's attack tested against every object.
uint64_t frameCost(const World& w, uint64_t cost, bool attacks) {
  const uint64_t n = w.objects.size();
  return n * cost + (attacks ? n * n : 0);
}

void addRecord(World& w, const CharaData& parsed, const std::string& id) {
  auto record = std::make_unique<CharaData>(parsed);
  record->id = id;
  record->standAction = 0;
  record->airAction = 4;
  w.library().charaData.push_back(std::move(record));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  Expected<CharaData> parsed = parseCharaFile({data, size}, "fuzz.dat");
  if (!parsed) return 0;
  Random chance(static_cast<uint64_t>(size));
  WorldServices services;
  services.log = [](const std::string&) {};
  services.random = [&chance](int lo, int hi) { return chance.range(lo, hi); };
  World w(std::move(services), World::Bare{});
  addRecord(w, *parsed, "f");
  addRecord(w, *parsed, "system");

  // The first character stands in for the player: the camera follows it and the enemies think about it.
  w.createChara("f", 0, 310, 300);
  w.createChara("f", 1, 300, 300);
  const int32_t start = size > 0 ? static_cast<int8_t>(data[size - 1]) : 0;
  w.createObj("f", start, 0, 0, 1, 305, -20, 300);
  w.width = 2000;
  w.depth = 600;

  const uint64_t cost = tickCost(*parsed);
  const bool attacks = canAttack(*parsed);
  uint64_t work = 0;
  for (int frame = 0; frame < kFrames && !w.gameOver; ++frame) {
    const uint64_t next = frameCost(w, cost, attacks);
    if (work + next > kWorkBudget) break;
    work += next;
    w.step(FrameInput{});
    if (w.objects.size() > World::kMaxObjects) std::abort();  // the world's cap must hold
  }
  return 0;
}
