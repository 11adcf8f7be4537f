// Flipped pictures on a software renderer: drawn from a turned-over copy of
// the picture, the same pixels as the flip asked for, and no allocation a
// frame once the copy is made.
#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "AllocationCounter.h"
#include "engine/QuadRenderer.h"
#include "engine/TextureStore.h"

namespace {

constexpr int kW = 4, kH = 3;

// A quad over the whole canvas showing the whole picture, flipped as asked.
hgeQuad wholePicture(HTEXTURE tex, bool acrossX, bool acrossY) {
  hgeQuad q;
  q.tex = tex;
  q.blend = BLEND_ALPHABLEND;
  const float xs[4] = {0, kW, kW, 0}, ys[4] = {0, 0, kH, kH};
  const float us[4] = {0, 1, 1, 0}, vs[4] = {0, 0, 1, 1};
  for (int i = 0; i < 4; ++i) {
    q.v[i].x = xs[i];
    q.v[i].y = ys[i];
    q.v[i].tx = acrossX ? 1 - us[i] : us[i];
    q.v[i].ty = acrossY ? 1 - vs[i] : vs[i];
  }
  return q;
}

struct Canvas {
  SurfacePtr surface{SDL_CreateRGBSurfaceWithFormat(0, kW, kH, 32, SDL_PIXELFORMAT_ARGB8888)};
  RendererPtr renderer{SDL_CreateSoftwareRenderer(surface.get())};
  TextureStore store;
  HTEXTURE picture = 0;

  Canvas() {
    // Every pixel of the picture different, all opaque.
    SurfacePtr p(SDL_CreateRGBSurfaceWithFormat(0, kW, kH, 32, SDL_PIXELFORMAT_ARGB8888));
    for (int y = 0; y < kH; ++y)
      for (int x = 0; x < kW; ++x) pixelAt(p.get(), x, y) = 0xFF000000u | static_cast<uint32_t>(y * 0x40 << 8 | x * 0x30);
    picture = store.add(std::move(p), renderer.get(), true);
  }
  static uint32_t& pixelAt(SDL_Surface* s, int x, int y) {
    return reinterpret_cast<uint32_t*>(static_cast<uint8_t*>(s->pixels) + y * s->pitch)[x];
  }
};

}  // namespace

TEST(FlippedRects, AreFoundOnlyWhereTheTurnedPictureGivesTheSamePixels) {
  struct Case {
    const char* what;
    hgeQuad quad;
    bool found, acrossX, acrossY;
  };
  hgeQuad gradient = wholePicture(1, true, false);
  gradient.v[2].col = 0xFF808080;
  hgeQuad slanted = wholePicture(1, true, false);
  slanted.v[1].y = 1;
  hgeQuad offTexel = wholePicture(1, true, false);
  offTexel.v[0].tx = offTexel.v[3].tx = 0.9f;  // 3.6 texels in
  const Case cases[] = {
    {"upright", wholePicture(1, false, false), false, false, false},
    {"across x", wholePicture(1, true, false), true, true, false},
    {"across y", wholePicture(1, false, true), true, false, true},
    {"across both", wholePicture(1, true, true), true, true, true},
    {"corners of two colours", gradient, false, false, false},
    {"not upright", slanted, false, false, false},
    {"edge between texels", offTexel, false, false, false},
  };
  for (const Case& c : cases) {
    bool x = false, y = false;
    EXPECT_EQ(flippedRect(c.quad, kW, kH, x, y), c.found) << c.what;
    if (c.found) {
      EXPECT_EQ(x, c.acrossX) << c.what;
      EXPECT_EQ(y, c.acrossY) << c.what;
    }
  }
}

TEST(FlippedRects, DrawTheMirrorImageOfThePicture) {
  for (const auto [acrossX, acrossY] : {std::pair{true, false}, {false, true}, {true, true}}) {
    Canvas c;
    ASSERT_TRUE(c.renderer);
    QuadRenderer quads(c.renderer.get(), c.store);
    quads.clear(0);
    quads.draw(wholePicture(c.picture, acrossX, acrossY));
    quads.flush();
    SDL_RenderFlush(c.renderer.get());
    SurfacePtr expected(SDL_CreateRGBSurfaceWithFormat(0, kW, kH, 32, SDL_PIXELFORMAT_ARGB8888));
    for (int y = 0; y < kH; ++y)
      for (int x = 0; x < kW; ++x) {
        const uint32_t want = 0xFF000000u | static_cast<uint32_t>((acrossY ? kH - 1 - y : y) * 0x40 << 8 |
                                                                 (acrossX ? kW - 1 - x : x) * 0x30);
        EXPECT_EQ(Canvas::pixelAt(c.surface.get(), x, y) | 0xFF000000u, want)
            << "x " << x << " y " << y << " across x " << acrossX << " across y " << acrossY;
      }
  }
}

TEST(FlippedRects, DrawingThemAgainAllocatesNothing) {
  if (!AllocationCounter::available()) GTEST_SKIP() << AllocationCounter::kWhyNot;
  Canvas c;
  QuadRenderer quads(c.renderer.get(), c.store);
  auto frame = [&] {
    quads.clear(0);
    quads.draw(wholePicture(c.picture, true, false));
    quads.draw(wholePicture(c.picture, false, true));
    quads.draw(wholePicture(c.picture, true, true));
    quads.flush();
    SDL_RenderFlush(c.renderer.get());
  };
  frame();  // the turned copies are made
  EXPECT_EQ(AllocationCounter::count([&] {
              for (int i = 0; i < 50; ++i) frame();
            }),
            0);
}
