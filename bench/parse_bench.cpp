// Reading data files: a character file of about 1 MB of instructions (target:
// well under 5 ms), and findOrLoad of an id already in the library (a lookup).
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "base/DataPath.h"
#include "engine/hge.h"
#include "object/Library.h"

namespace {

// About 1 MB: 400 actions of 60 instructions with 4 or 5 arguments each.
std::vector<uint8_t> bigCharaFile() {
  CharaData d;
  d.name = "bench";
  d.maxHp = 100;
  d.pictureSet = 0;
  for (int a = 0; a < 400; ++a) {
    Action action;
    action.name = "action" + std::to_string(a);
    for (int c = 0; c < 60; ++c) {
      Instruction code;
      code.opcode = c % 12;
      for (int k = 0; k < 4 + c % 2; ++k) code.args.push_back(a * 0.5 + c - k);
      action.codes.push_back(std::move(code));
    }
    d.actions.push_back(std::move(action));
  }
  d.reactions = {8, 8, 10};
  for (int r = 0; r < 10; ++r) d.aiRules.push_back(AiRule{-r, r, -r, r, 30, 1, 0, 13});
  return writeCharaFile(d);
}

void BM_ParseCharaFile1MB(benchmark::State& state) {
  const std::vector<uint8_t> bytes = bigCharaFile();
  for (auto _ : state) {
    Expected<CharaData> parsed = parseCharaFile(bytes, "bench.dat");
    if (!parsed) state.SkipWithError(parsed.error().message().c_str());
    benchmark::DoNotOptimize(parsed);
  }
  state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(bytes.size()));
  state.counters["file_bytes"] = double(bytes.size());
}
BENCHMARK(BM_ParseCharaFile1MB)->Unit(benchmark::kMillisecond);

void BM_FindOrLoadCachedId(benchmark::State& state) {
  namespace fs = std::filesystem;
  char pattern[] = "/tmp/tervalen-bench-XXXXXX";
  const char* dir = mkdtemp(pattern);
  if (!dir) {
    state.SkipWithError("mkdtemp failed");
    return;
  }
  const fs::path previous = fs::current_path();
  fs::current_path(dir);
  fs::create_directories("data/chara");
  HGE* engine = hgeCreate(HGE_VERSION);
  engine->System_SetState(HGE_HEADLESS, true);
  engine->System_SetState(HGE_USESOUND, false);
  engine->System_SetState(HGE_LOGFILE, "log.txt");
  engine->System_Initiate();
  {
    CharaData small;
    small.name = "small";
    const std::vector<uint8_t> bytes = writeCharaFile(small);
    // Twenty ids in the cache; the one asked for is the last.
    for (int i = 0; i < 20; ++i) {
      std::ofstream out(charaFilePath("guai" + std::to_string(i)), std::ios::binary);
      out.write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
    }
    Library library([engine](const std::string& line) { engine->System_Log("%s", line.c_str()); });
    for (int i = 0; i < 20; ++i) library.findOrLoad("guai" + std::to_string(i));
    const std::string id = "guai19";
    for (auto _ : state) benchmark::DoNotOptimize(library.findOrLoad(id));
  }
  engine->System_Shutdown();
  engine->Release();
  fs::current_path(previous);
  fs::remove_all(dir);
}
BENCHMARK(BM_FindOrLoadCachedId);

}  // namespace
