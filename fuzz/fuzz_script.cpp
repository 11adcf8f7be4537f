// Action scripts from any character file: the bytes are read as a character
// file and, when they read, a fighter, a second fighter of the other team and
// a plain object made from it run for up to 200 ticks in a small world (move,
// step, attacks against the other team, drawing), with the same file also
// standing in for the shared "system" file. Nothing may crash, hang or read
// out of bounds, whatever numbers the scripts hold.
//
// The world holds as many objects as the game's (Scene::kMaxObjects), so a
// file that spawns copies of itself reaches the cap and has its later spawns
// dropped. A run stops early when its work budget is spent: each object's
// tick costs what its script can run in one tick (the interpreter's limit for
// a script that can loop without a frame, else the size of its file), each
// attack test against an object costs one.
#include <SDL2/SDL.h>
#include <SDL2/SDL_image.h>

#include <cstdint>
#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "ScriptLoops.h"
#include "engine/hge.h"
#include "object/CharaData.h"
#include "object/Library.h"
#include "world/Scene.h"

namespace {

constexpr int kTicks = 200;
// About a second of work at most under the sanitizers; enough for a file that
// doubles its objects every tick to reach the cap and run a few ticks there.
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

void writePng(const std::string& path, int w, int h) {
  SDL_Surface* s = SDL_CreateRGBSurfaceWithFormat(0, w, h, 32, SDL_PIXELFORMAT_ARGB8888);
  if (!s) std::abort();
  SDL_FillRect(s, nullptr, 0xFF8040C0u);
  if (IMG_SavePNG(s, path.c_str()) != 0) std::abort();
  SDL_FreeSurface(s);
}

// One headless engine and one world for the whole run, in a temporary folder
// with two picture sets of two pictures each.
Scene& world() {
  static Scene* scene = [] {
    // Pictures are made and loaded in a temporary folder; the working folder is
    // then restored, since libFuzzer writes its corpus relative to it.
    const std::filesystem::path previous = std::filesystem::current_path();
    char pattern[] = "/tmp/tervalen-fuzz-script-XXXXXX";
    if (!mkdtemp(pattern)) std::abort();
    std::filesystem::current_path(pattern);
    ResourceCatalog catalog;
    for (const char* name : {"a", "b"}) {
      std::filesystem::create_directories(std::string("pak/") + name + "/hta");
      writePng(std::string("pak/") + name + "/hta/0.png", 40, 60);
      writePng(std::string("pak/") + name + "/hta/1.png", 24, 12);
      catalog.entries.push_back(ResourceEntry{name, {"0.png", "1.png", "missing.png"}, {}});
    }
    HGE* engine = hgeCreate(HGE_VERSION);
    engine->System_SetState(HGE_HEADLESS, true);
    engine->System_SetState(HGE_USESOUND, false);
    engine->System_SetState(HGE_LOGFILE, "/dev/null");
    engine->System_Initiate();
    Scene* made = new Scene(engine, Scene::Bare{}, catalog);
    for (int32_t set = 0; set < 4; ++set) made->library->findOrLoadTextureList(set);
    std::filesystem::current_path(previous);
    std::filesystem::remove_all(pattern);
    return made;
  }();
  return *scene;
}

// Empties the world's lists and forgets the previous input's records.
void clearWorld(Scene& s) {
  for (Obj* o : s.objects)
    if (o->kind == 0) delete o;
  s.objects.clear();
  for (Chara* c : s.charas) delete c;
  s.charas.clear();
  std::erase_if(s.library->charaData, [](const std::unique_ptr<CharaData>& d) {
    return d->id == "f" || d->id == "system";
  });
  s.library->reported = ReportOnce{};
}

void addRecord(Scene& s, const CharaData& parsed, const std::string& id) {
  auto record = std::make_unique<CharaData>(parsed);
  record->id = id;
  record->standAction = 0;
  record->airAction = 4;
  // Sets 0 and 1 hold pictures, 2 and 3 are outside the catalog; other numbers
  // would only grow the cache of empty lists.
  record->textureList = s.library->findOrLoadTextureList(parsed.pictureSet & 3);
  s.library->charaData.push_back(std::move(record));
}

void resolveAttack(Scene& s, Obj* o, uint64_t& work) {
  if (!o->hasAttackBox() || !o->hit.active) return;
  const Box a = o->worldAttack();
  bool landed = false;
  // Index loop: a lethal hit may append the death effect to the list.
  for (size_t j = 0; j < s.objects.size() && work < kWorkBudget; ++j, ++work) {
    Obj* t = s.objects[j];
    if (t == o || t->team == o->team) continue;
    const Box b = t->worldBody();
    if (b.width == 0 || !overlaps(a, b)) continue;
    o->attackLanded();
    t->takeHit(o->hit, o->damage, o->facing);
    landed = true;
  }
  if (landed) o->disarmAttack();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  Expected<CharaData> parsed = parseCharaFile({data, size}, "fuzz.dat");
  if (!parsed) return 0;
  Scene& s = world();
  clearWorld(s);
  addRecord(s, *parsed, "f");
  addRecord(s, *parsed, "system");

  s.createChara("f", 1, 300, 300);
  Chara* other = s.createChara("f", 0, 310, 300);
  if (other) other->setFacing(1);
  const int32_t start = size > 0 ? static_cast<int8_t>(data[size - 1]) : 0;
  s.createObj("f", start, 0, 0, 1, 305, -20, 300);

  const uint64_t cost = tickCost(*parsed);
  uint64_t work = 0;
  for (int tick = 0; tick < kTicks && work < kWorkBudget; ++tick) {
    s.cameraX = tick;
    size_t n = s.objects.size();
    for (size_t i = 0; i < n && i < s.objects.size() && work < kWorkBudget;) {
      Obj* o = s.objects[i];
      work += cost;
      o->move();
      o->step();
      if (o->finished) {
        s.objects.erase(s.objects.begin() + static_cast<std::ptrdiff_t>(i));
        if (o->kind == 0) delete o;  // characters stay owned by charas
        --n;  // objects spawned in this tick wait for the next one
        continue;
      }
      resolveAttack(s, o, work);
      ++i;
    }
    if (s.objects.size() > Scene::kMaxObjects) std::abort();  // the world's cap must hold
    if (tick % 16 == 0) {
      work += s.objects.size();
      s.engine->Gfx_BeginScene();
      for (Obj* o : s.objects) o->render();
      s.engine->Gfx_EndScene();
    }
  }
  clearWorld(s);
  return 0;
}
