// Action scripts from any character file: the bytes are read as a character
// file and, when they read, a fighter, a second fighter of the other team and
// a plain object made from it run for 200 ticks in a small world (move, step,
// attacks against the other team, drawing), with the same file also standing
// in for the shared "system" file. Nothing may crash, hang or read out of
// bounds, whatever numbers the scripts hold.
#include <SDL2/SDL.h>
#include <SDL2/SDL_image.h>

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "engine/hge.h"
#include "format/CharaData.h"
#include "object/Library.h"
#include "world/Scene.h"

namespace {

constexpr int kTicks = 200;
constexpr size_t kMaxObjects = 32;  // a file that spawns without end stops the run here

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

void resolveAttack(Scene& s, Obj* o) {
  if (!o->hasAttackBox() || !o->hit.active) return;
  const Box a = o->worldAttack();
  bool landed = false;
  // Index loop: a lethal hit may append the death effect to the list.
  for (size_t j = 0; j < s.objects.size(); ++j) {
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

  for (int tick = 0; tick < kTicks && s.objects.size() < kMaxObjects; ++tick) {
    s.cameraX = tick;
    size_t n = s.objects.size();
    for (size_t i = 0; i < n && i < s.objects.size();) {
      Obj* o = s.objects[i];
      o->move();
      o->step();
      if (o->finished) {
        s.objects.erase(s.objects.begin() + static_cast<std::ptrdiff_t>(i));
        if (o->kind == 0) delete o;  // characters stay owned by charas
        --n;  // objects spawned in this tick wait for the next one
        continue;
      }
      resolveAttack(s, o);
      ++i;
    }
    if (tick % 16 == 0) {
      s.engine->Gfx_BeginScene();
      for (Obj* o : s.objects) o->render();
      s.engine->Gfx_EndScene();
    }
  }
  clearWorld(s);
  return 0;
}
