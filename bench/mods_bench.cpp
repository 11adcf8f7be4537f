// What two mods add to starting the default game: opening them (listing and
// hashing their files), reading the rules and the resource list through the
// layers, and building the world with its first scene, then one step of it.
//   BM_StartWithoutMods: the game folder alone, as the game reads it.
//   BM_StartWithTwoMods: two mods over it, each with a character, a scene,
//     a resource list of its own set, rules lines and 16 pictures.
// The goal: two mods add at most 10 ms. Run from the build folder (the game
// folder is build/game) or set TERVALEN_GAME to a game folder.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>

#include "app/Mods.h"
#include "base/FileBytes.h"
#include "base/GameFolderLayer.h"
#include "world/RulesFile.h"
#include "world/World.h"

namespace {

namespace fs = std::filesystem;

fs::path gameFolder() {
  if (const char* given = std::getenv("TERVALEN_GAME")) return given;
  return fs::current_path() / "game";
}

void copyFile(const fs::path& from, const fs::path& to) {
  fs::create_directories(to.parent_path());
  fs::copy_file(from, to, fs::copy_options::overwrite_existing);
}

// A mod made of the game's own files under new names.
void makeMod(const fs::path& game, const fs::path& mod, const std::string& name, int set) {
  fs::create_directories(mod);
  std::ofstream(mod / "mod.txt") << "name = " << name << "\ndescription = a mod of the benchmark\ngame = 0.1\n";
  copyFile(game / "data/chara/guai01.dat", mod / ("data/chara/" + name + ".dat"));
  copyFile(game / "data/scene/Test.dat", mod / "data/scene/Test.dat");
  std::ofstream(mod / "data/rules.txt") << "score " << name << " = 30\n";
  ResourceCatalog c;
  c.entries.resize(static_cast<size_t>(set) + 1);
  c.entries.back().name = name;
  for (int i = 0; i < 16; ++i) {
    c.entries.back().pictures.push_back(std::to_string(i) + ".png");
    std::ofstream(mod / "pak" / name / "hta" / (std::to_string(i) + ".png")) << std::string(4000, 'x');
  }
  const std::vector<uint8_t> bytes = writeResourceCatalog(c);
  std::ofstream(mod / "data/res.dat", std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()),
                                                               static_cast<std::streamsize>(bytes.size()));
}

void start(benchmark::State& state, bool withMods) {
  const fs::path previous = fs::current_path();
  const fs::path game = fs::absolute(gameFolder());
  const fs::path mods = fs::temp_directory_path() / ("tervalen-mods-bench-" + std::to_string(::getpid()));
  if (withMods) {
    for (const char* name : {"one", "two"}) fs::create_directories(mods / name / "pak" / name / "hta");
    makeMod(game, mods / "one", "one", 20);
    makeMod(game, mods / "two", "two", 21);
  }
  std::error_code ec;
  fs::current_path(game, ec);
  if (ec) {
    state.SkipWithError("no game folder: run from the build folder or set TERVALEN_GAME");
    return;
  }
  for (auto _ : state) {
    DataLayers layers(std::make_unique<GameFolderLayer>(""));
    std::vector<ModUse> used;
    std::string error;
    if (withMods && !layMods(layers, {(mods / "one").string(), (mods / "two").string()}, used, error)) {
      state.SkipWithError(error.c_str());
      break;
    }
    const DataLayers* files = layers.modded() ? &layers : nullptr;
    Expected<GameRules> rules = readGameRules(files);
    WorldServices services;
    services.log = [](const std::string&) {};
    services.random = [](int lo, int) { return lo; };
    services.files = files;
    World world(*rules, std::move(services));
    world.step(FrameInput{});
    benchmark::DoNotOptimize(world.objects.size());
  }
  fs::current_path(previous, ec);
  fs::remove_all(mods, ec);
}

void BM_StartWithoutMods(benchmark::State& state) { start(state, false); }
void BM_StartWithTwoMods(benchmark::State& state) { start(state, true); }

}  // namespace

BENCHMARK(BM_StartWithoutMods)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_StartWithTwoMods)->Unit(benchmark::kMillisecond);
