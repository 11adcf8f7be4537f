// The engine's own cost: a headless frame with nothing in it, a frame of an
// empty world, and quads counted (headless) or drawn in software (screenshots).
#include <benchmark/benchmark.h>

#include "engine/hge.h"
#include "render/WorldRenderer.h"
#include "world/World.h"

namespace {

constexpr int kFramesPerRun = 1000;

// A headless engine reference for one benchmark.
struct Headless {
  Headless() : hge(hgeCreate(HGE_VERSION)) {
    hge->System_SetState(HGE_HEADLESS, true);
    hge->System_SetState(HGE_USESOUND, false);
    hge->System_Initiate();
  }
  ~Headless() {
    hge->System_Shutdown();
    hge->Release();
  }
  HGE* hge;
};

void BM_HeadlessFrame(benchmark::State& state) {
  Headless engine;
  HGE* hge = engine.hge;
  hge->System_SetState(HGE_FRAMEFUNC, [] { return false; });
  hge->System_SetState(HGE_RENDERFUNC, [hge] {
    hge->Gfx_BeginScene();
    hge->Gfx_EndScene();
    return false;
  });
  int limit = 0;
  for (auto _ : state) {
    limit += kFramesPerRun;
    hge->System_SetState(HGE_MAXFRAMES, limit);
    hge->System_Start();
  }
  state.counters["frame"] = benchmark::Counter(static_cast<double>(state.iterations()) * kFramesPerRun,
                                               benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}
BENCHMARK(BM_HeadlessFrame);

void BM_EmptyWorldFrame(benchmark::State& state) {
  Headless engine;
  HGE* hge = engine.hge;
  World world(WorldServices{}, World::Bare{});
  WorldRenderer renderer(hge, world.catalog);
  hge->System_SetState(HGE_FRAMEFUNC, [&world] {
    world.step(FrameInput{});
    return false;
  });
  hge->System_SetState(HGE_RENDERFUNC, [hge, &world, &renderer] {
    hge->Gfx_BeginScene();
    renderer.draw(world);
    hge->Gfx_EndScene();
    return false;
  });
  int limit = 0;
  for (auto _ : state) {
    limit += kFramesPerRun;
    hge->System_SetState(HGE_MAXFRAMES, limit);
    hge->System_Start();
  }
  state.counters["frame"] = benchmark::Counter(static_cast<double>(state.iterations()) * kFramesPerRun,
                                               benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}
BENCHMARK(BM_EmptyWorldFrame);

hgeQuad sampleQuad(int i, uint32_t colour) {
  hgeQuad q;
  float x = static_cast<float>((i * 37) % 736), y = static_cast<float>((i * 53) % 416);
  q.v[0] = {x, y, 0.5f, colour, 0, 0};
  q.v[1] = {x + 64, y, 0.5f, colour, 1, 0};
  q.v[2] = {x + 64, y + 64, 0.5f, colour, 1, 1};
  q.v[3] = {x, y + 64, 0.5f, colour, 0, 1};
  return q;
}

void BM_CountedQuads(benchmark::State& state) {
  Headless engine;
  HGE* hge = engine.hge;
  hgeQuad q = sampleQuad(1, 0xFFFFFFFF);
  hge->Gfx_BeginScene();
  for (auto _ : state) hge->Gfx_RenderQuad(&q);
  hge->Gfx_EndScene();
  state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_CountedQuads);

// A frame of 200 untextured 64x64 quads drawn in software into the headless
// engine's 800x480 picture (nothing encoded or written). Plain white, and
// tinted half-transparent.
void BM_SoftwareDrawnFrame(benchmark::State& state) {
  Headless engine;
  HGE* hge = engine.hge;
  const uint32_t colour = static_cast<uint32_t>(state.range(0));
  std::vector<hgeQuad> quads;
  for (int i = 0; i < 200; ++i) quads.push_back(sampleQuad(i, colour));
  int frame = 0;
  hge->System_SetState(HGE_FRAMEFUNC, [] { return false; });
  hge->System_SetState(HGE_RENDERFUNC, [&] {
    hge->Gfx_BeginScene();
    for (const hgeQuad& q : quads) hge->Gfx_RenderQuad(&q);
    hge->Gfx_EndScene();
    return false;
  });
  hge->System_SetState(HGE_DRAWALWAYS, true);
  for (auto _ : state) {
    ++frame;
    hge->System_SetState(HGE_MAXFRAMES, frame);
    hge->System_Start();
  }
  state.SetItemsProcessed(state.iterations() * 200);
}
BENCHMARK(BM_SoftwareDrawnFrame)->Arg(0xFFFFFFFF)->Arg(0x80FF8040)->Unit(benchmark::kMillisecond);

}  // namespace
