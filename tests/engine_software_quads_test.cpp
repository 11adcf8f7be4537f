// Pictures flipped, stretched or drawn in another tint on a software
// renderer: drawn from a copy kept from the first time, the same pixels as
// the renderer's own drawing, and no allocation a frame after that.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <functional>
#include <vector>

#include "AllocationCounter.h"
#include "engine/QuadRenderer.h"
#include "engine/TextureStore.h"

namespace {

constexpr int kW = 4, kH = 3;
// A picture large enough to be blitted straight onto the canvas.
constexpr int kBigW = 80, kBigH = 60;
// Its translucent pixels: where rounding may differ from the renderer's.
constexpr int kTranslucent = 3 * kBigH + 1;

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
  SurfacePtr surface;
  RendererPtr renderer;
  TextureStore store;
  HTEXTURE picture = 0;

  // A picture `w` by `h` on a canvas three times its size.
  explicit Canvas(bool opaque = false, int w = kW, int h = kH)
      : surface(SDL_CreateRGBSurfaceWithFormat(0, 3 * w, 3 * h, 32, SDL_PIXELFORMAT_ARGB8888)),
        renderer(SDL_CreateSoftwareRenderer(surface.get())) {
    // Every pixel of the picture different, all opaque but one (unless `opaque`).
    SurfacePtr p(SDL_CreateRGBSurfaceWithFormat(0, w, h, 32, SDL_PIXELFORMAT_ARGB8888));
    for (int y = 0; y < h; ++y)
      for (int x = 0; x < w; ++x) pixelAt(p.get(), x, y) = 0xFF000000u | static_cast<uint32_t>(y * 0x40 << 8 | x * 0x30);
    if (!opaque) pixelAt(p.get(), 1, 1) = 0x40C08020u;
    // A larger one, like most of the game's, has a clear band and a translucent one too.
    for (int y = 0; y < h && w > kW; ++y)
      for (int x = 0; x < w / 8; ++x) {
        pixelAt(p.get(), x, y) = 0x00102030u;
        pixelAt(p.get(), w / 2 + x % 3, y) &= 0x40FFFFFFu;
      }
    picture = store.add(std::move(p), renderer.get(), true);
    // Filtered linearly, as the game's window asks of its textures.
    SDL_SetTextureScaleMode(store.textureFor(picture, renderer.get()), SDL_ScaleModeLinear);
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
  for (const auto& [acrossX, acrossY] : {std::pair{true, false}, {false, true}, {true, true}}) {
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
        const int px = acrossX ? kW - 1 - x : x, py = acrossY ? kH - 1 - y : y;
        if (px == 1 && py == 1) continue;  // the one translucent pixel
        const uint32_t want = 0xFF000000u | static_cast<uint32_t>(py * 0x40 << 8 | px * 0x30);
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

namespace {

// A part of the picture (texture coordinates u0..u1, v0..v1) at (x, y), w by
// h, in `color`: drawn by the quad renderer (`kept`) or by the renderer's own
// geometry straight from the picture, as the quad renderer would draw it
// without its copies.
struct Placed {
  float x, y, w, h;
  uint32_t color;
  float u0 = 0, v0 = 0, u1 = 1, v1 = 1;
};

void drawPart(Canvas& c, QuadRenderer& quads, bool kept, const Placed& p) {
  hgeQuad q = wholePicture(c.picture, false, false);
  const float xs[4] = {p.x, p.x + p.w, p.x + p.w, p.x}, ys[4] = {p.y, p.y, p.y + p.h, p.y + p.h};
  const float us[4] = {p.u0, p.u1, p.u1, p.u0}, vs[4] = {p.v0, p.v0, p.v1, p.v1};
  for (int i = 0; i < 4; ++i) {
    q.v[i].x = xs[i];
    q.v[i].y = ys[i];
    q.v[i].tx = us[i];
    q.v[i].ty = vs[i];
    q.v[i].col = p.color;
  }
  if (kept) {
    quads.draw(q);
    quads.flush();
  } else {
    SDL_Texture* t = c.store.textureFor(c.picture, c.renderer.get());
    SDL_SetTextureBlendMode(t, SDL_BLENDMODE_BLEND);
    SDL_Vertex v[4];
    for (int i = 0; i < 4; ++i) v[i] = SDL_Vertex{{xs[i], ys[i]}, toSdlColor(p.color), {us[i], vs[i]}};
    const int order[6] = {0, 1, 2, 0, 2, 3};
    SDL_RenderGeometry(c.renderer.get(), t, v, 4, order, 6);
  }
  SDL_RenderFlush(c.renderer.get());
}

void drawStretched(Canvas& c, QuadRenderer& quads, bool kept, float x, float y, int w, int h, uint32_t color) {
  drawPart(c, quads, kept, Placed{x, y, static_cast<float>(w), static_cast<float>(h), color});
}

int differingPixels(const Canvas& a, const Canvas& b) {
  int differing = 0;
  for (int y = 0; y < a.surface->h; ++y)
    for (int x = 0; x < a.surface->w; ++x) differing += Canvas::pixelAt(a.surface.get(), x, y) != Canvas::pixelAt(b.surface.get(), x, y);
  return differing;
}

}  // namespace

TEST(OpaquePictures, AreCopiedToTheSamePixelsAsBlending) {
  const Placed cases[] = {
      {1, 2, kW, kH, 0xFFFFFFFF},           // its own size
      {0.5f, 1, 2 * kW, kH + 1, 0xFFFFFFFF},  // stretched
      {2, 0, kW, kH, 0xFF40C080},           // tinted
      {3, 3, kW, kH, 0x80FFFFFF},           // translucent: blended
  };
  for (const Placed& p : cases) {
    Canvas own(true), kept(true);
    QuadRenderer ownQuads(own.renderer.get(), own.store), keptQuads(kept.renderer.get(), kept.store);
    EXPECT_TRUE(kept.store.opaque(kept.picture));
    for (Canvas* c : {&own, &kept}) {
      SDL_SetRenderDrawColor(c->renderer.get(), 30, 90, 60, 255);
      SDL_RenderClear(c->renderer.get());
      drawPart(*c, c == &own ? ownQuads : keptQuads, c == &kept, p);
    }
    EXPECT_EQ(differingPixels(own, kept), 0) << p.x << "," << p.y << " colour " << std::hex << p.color;
  }
  Canvas translucent;
  EXPECT_FALSE(translucent.store.opaque(translucent.picture)) << "one pixel lets the background through";
}

TEST(KeptCopies, DrawTheSamePixelsAsTheRenderersOwnDrawing) {
  // Each case is drawn twice, in turn with the plain picture at its own size
  // (so the picture's first tint is plain): once making the copies, once
  // drawing the kept ones.
  struct Case {
    const char* what;
    Placed placed;
  } const cases[] = {
      {"twice as large", {1, 0, 2 * kW, 2 * kH, 0xFFFFFFFF}},
      {"squashed, a translucent shadow", {2, 3, kW, 1, 0x64000000}},
      {"wider and lower, tinted", {0, 1, 3 * kW, 2, 0xC080FF40}},
      {"over the left edge", {-3, 2, 2 * kW, kH + 2, 0xFFFFFFFF}},
      {"between pixels", {1.5f, 0.75f, 2 * kW + 0.5f, 2 * kH - 0.25f, 0xFFFFFFFF}},
      {"rows a third of the way down, a little smaller", {2, 2, kW, 1.9f, 0xFF20FF20, 0, 1.0f / kH, 1, 2.0f / kH}},
      {"its own size, tinted", {3, 1, kW, kH, 0xFF8040C0}},
      {"its own size, translucent, a part", {0.5f, 4, 2, 2, 0x80FFFFFF, 0.25f, 1.0f / kH, 0.75f, 1}},
  };
  const Placed plain{5, 4, kW, kH, 0xFFFFFFFF};
  for (const Case& k : cases) {
    Canvas own, kept;
    QuadRenderer ownQuads(own.renderer.get(), own.store), keptQuads(kept.renderer.get(), kept.store);
    for (Canvas* c : {&own, &kept}) {
      SDL_SetRenderDrawColor(c->renderer.get(), 30, 90, 60, 255);
      SDL_RenderClear(c->renderer.get());
      for (int round = 0; round < 2; ++round) {
        drawPart(*c, c == &own ? ownQuads : keptQuads, c == &kept, plain);
        drawPart(*c, c == &own ? ownQuads : keptQuads, c == &kept, k.placed);
      }
    }
    EXPECT_EQ(differingPixels(own, kept), 0) << k.what;
    const uint32_t corner = Canvas::pixelAt(kept.surface.get(), 3 * kW - 1, 3 * kH - 1);
    EXPECT_EQ(corner & 0xFFFFFF, 0x1E5A3Cu) << k.what << ": the background is left as it was";
  }
}

TEST(KeptCopies, DrawingThemAgainAllocatesNothing) {
  if (!AllocationCounter::available()) GTEST_SKIP() << AllocationCounter::kWhyNot;
  for (bool direct : {false, true}) {
  Canvas c;
  std::function<SDL_Surface*()> canvas;
  if (direct) canvas = [&] { return c.surface.get(); };
  QuadRenderer quads(c.renderer.get(), c.store, canvas);
  Canvas big(false, kBigW, kBigH);
  QuadRenderer bigQuads(big.renderer.get(), big.store, [&] { return big.surface.get(); });
  auto frame = [&] {
    if (direct) {
      // Blitted: plain at its own size, its shadow squashed and a tint of
      // another kind (both from kept copies).
      bigQuads.clear(0);
      drawPart(big, bigQuads, true, Placed{3, 2, kBigW, kBigH, 0xFFFFFFFF});
      drawPart(big, bigQuads, true, Placed{1, 50, 2 * kBigW, kBigH / 2, 0x64000000});
      drawPart(big, bigQuads, true, Placed{9, 4, kBigW, kBigH, 0x80FF8040});
      return;
    }
    quads.clear(0);
    drawStretched(c, quads, true, 1, 2, kW, 1, 0x64000000);
    drawStretched(c, quads, true, 0, 0, 2 * kW, 2 * kH, 0xFFFFFFFF);
    // The Hud's way with text: a dark translucent shadow, then the plain
    // letters, each at the picture's own size.
    drawStretched(c, quads, true, 1, 1, kW, kH, 0xC0000000);
    drawStretched(c, quads, true, 0, 0, kW, kH, 0xFFFFFFFF);
  };
  frame();  // the copies are made
  frame();  // the renderer's queue grows to a whole frame (the first was cut by the copying)
  EXPECT_EQ(AllocationCounter::count([&] {
              for (int i = 0; i < 50; ++i) frame();
            }),
            0) << (direct ? "blitted straight onto the canvas" : "through the renderer");
  if (direct) EXPECT_EQ(bigQuads.blits(), 3u * 52);
  }
}

namespace {

// Largest difference of any colour channel between the two canvases.
int largestDifference(const Canvas& a, const Canvas& b) {
  int largest = 0;
  for (int y = 0; y < a.surface->h; ++y)
    for (int x = 0; x < a.surface->w; ++x) {
      const uint32_t p = Canvas::pixelAt(a.surface.get(), x, y), q = Canvas::pixelAt(b.surface.get(), x, y);
      for (int shift : {0, 8, 16}) largest = std::max(largest, std::abs(int(p >> shift & 0xFF) - int(q >> shift & 0xFF)));
    }
  return largest;
}

// A quad without texture, filled with its colour: left in the batch.
void drawFill(QuadRenderer& quads, float x, float y, float w, float h, uint32_t color) {
  hgeQuad q = wholePicture(0, false, false);
  const float xs[4] = {x, x + w, x + w, x}, ys[4] = {y, y, y + h, y + h};
  for (int i = 0; i < 4; ++i) {
    q.v[i].x = xs[i];
    q.v[i].y = ys[i];
    q.v[i].col = color;
  }
  quads.draw(q);
}

}  // namespace

TEST(DirectBlits, KeepTheOrderAndThePixelsOfTheRenderersOwnDrawing) {
  // Each case lies between a quad without texture drawn before it and a
  // translucent one over it, both batched by the renderer: the blit straight
  // onto the canvas must come between them.
  struct Case {
    const char* what;
    Placed placed;
    bool blitted;          // drawn straight onto the canvas
    int differingAtMost;   // pixels that may differ by rounding (translucent ones)
  } const cases[] = {
      {"its own size", {1, 2, kBigW, kBigH, 0xFFFFFFFF}, true, kTranslucent},
      {"between pixels", {1.5f, 0.75f, kBigW, kBigH, 0xFFFFFFFF}, true, kTranslucent},
      {"over the top left corner", {-2.5f, -1, kBigW, kBigH, 0xFFFFFFFF}, true, kTranslucent},
      {"over the bottom right corner", {3 * kBigW - 2, 3 * kBigH - 1, kBigW, kBigH, 0xFFFFFFFF}, true, kTranslucent},
      {"a part", {4, 2, kBigW / 2, 9, 0xFFFFFFFF, 0.25f, 10.0f / kBigH, 0.75f, 19.0f / kBigH}, true, kTranslucent},
      {"a translucent shadow", {2, 3, kBigW, kBigH, 0x64000000}, true, kBigW * kBigH},
      {"translucent", {0, 0, kBigW, kBigH, 0x80FFFFFF}, true, kBigW * kBigH},
      // Stretching spreads the translucent pixels.
      {"twice as large: its kept copy", {1, 0, 2 * kBigW, 2 * kBigH, 0xFFFFFFFF}, true, kBigW * kBigH},
  };
  for (const Case& k : cases) {
    Canvas own(false, kBigW, kBigH), direct(false, kBigW, kBigH);
    QuadRenderer ownQuads(own.renderer.get(), own.store);
    QuadRenderer directQuads(direct.renderer.get(), direct.store, [&] { return direct.surface.get(); });
    for (Canvas* c : {&own, &direct}) {
      QuadRenderer& quads = c == &own ? ownQuads : directQuads;
      quads.clear(0x1E5A3C);
      drawFill(quads, 0, 0, 2 * kBigW, 2 * kBigH, 0xFF4080C0);
      drawPart(*c, quads, true, k.placed);
      drawFill(quads, kBigW, 0, 2 * kBigW, 3 * kBigH, 0x60FF2000);
      quads.flush();
      SDL_RenderFlush(c->renderer.get());
    }
    EXPECT_EQ(directQuads.blits() > 0, k.blitted) << k.what;
    EXPECT_EQ(ownQuads.blits(), 0u) << k.what;
    EXPECT_LE(largestDifference(own, direct), 2) << k.what;
    EXPECT_LE(differingPixels(own, direct), k.differingAtMost) << k.what;
  }
}

TEST(DirectBlits, AreLeftToTheRendererWhereItScalesOrTintsAgainOrThePictureIsSmall) {
  struct Case {
    const char* what;
    float scale;
    std::vector<uint32_t> tints;  // drawn in turn, at the picture's own size
    uint64_t blits;
    int w = kBigW, h = kBigH;
  } const cases[] = {
      {"a scaled renderer", 2, {0xFFFFFFFF}, 0},
      // A tint of another kind is drawn from a kept copy, coded on its own.
      {"plain, then a shadow", 1, {0xFFFFFFFF, 0x64000000, 0xFFFFFFFF}, 3},
      {"a shadow, then plain", 1, {0x64000000, 0xFFFFFFFF, 0x64000000}, 3},
      {"a second tint of the same kind: the usual way", 1, {0x64000000, 0xC0000000, 0x64000000}, 2},
      {"a small picture", 1, {0xFFFFFFFF}, 0, kW, kH},
  };
  for (const Case& k : cases) {
    Canvas own(false, k.w, k.h), direct(false, k.w, k.h);
    QuadRenderer ownQuads(own.renderer.get(), own.store);
    QuadRenderer directQuads(direct.renderer.get(), direct.store, [&] { return direct.surface.get(); });
    for (Canvas* c : {&own, &direct}) {
      QuadRenderer& quads = c == &own ? ownQuads : directQuads;
      SDL_RenderSetScale(c->renderer.get(), k.scale, k.scale);
      quads.clear(0x1E5A3C);
      for (uint32_t tint : k.tints)
        drawPart(*c, quads, true, Placed{1, 1, static_cast<float>(k.w), static_cast<float>(k.h), tint});
    }
    EXPECT_EQ(directQuads.blits(), k.blits) << k.what;
    EXPECT_LE(largestDifference(own, direct), 2 * static_cast<int>(k.tints.size())) << k.what;
  }
}
