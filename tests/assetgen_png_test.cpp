// The generator's PNG writer: what it writes reads back as the pixels it was
// given (exactly, or within a dither's reach when the colours were brought down
// to 256), in the form the pixels call for, the same bytes every time.
#include <SDL.h>
#include <SDL_image.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <stdexcept>
#include <string>
#include <vector>

#include "PngFile.h"

namespace {

using assetgen::encodePng;
using assetgen::PngColours;

struct Picture {
  int w = 0, h = 0;
  std::vector<uint8_t> rgba;
};

Picture make(int w, int h, const std::function<void(int, int, uint8_t*)>& paint) {
  Picture p{w, h, std::vector<uint8_t>(static_cast<size_t>(w) * h * 4)};
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) paint(x, y, &p.rgba[(static_cast<size_t>(y) * w + x) * 4]);
  return p;
}

// Three colours, one of them half transparent, and a transparent border.
Picture fewColours() {
  return make(40, 30, [](int x, int y, uint8_t* p) {
    const bool border = x < 2 || y < 2 || x >= 38 || y >= 28;
    const uint8_t c[3][4] = {{200, 40, 40, 255}, {20, 90, 220, 255}, {250, 250, 250, 128}};
    const uint8_t* k = c[(x / 5 + y / 7) % 3];
    for (int i = 0; i < 4; ++i) p[i] = border ? 0 : k[i];
  });
}

// A smooth gradient of thousands of colours with a soft alpha edge, like a
// fighter's shaded limb.
Picture manyColours() {
  return make(96, 64, [](int x, int y, uint8_t* p) {
    const int a = x < 8 ? x * 32 : 255;
    p[0] = static_cast<uint8_t>(x * 2 + 40);
    p[1] = static_cast<uint8_t>(y * 3 + 20);
    p[2] = static_cast<uint8_t>((x + y) % 200 + 30);
    p[3] = static_cast<uint8_t>(a > 255 ? 255 : a);
    if (a == 0) p[0] = p[1] = p[2] = 0;
  });
}

std::vector<uint8_t> decode(const std::vector<uint8_t>& png, int& w, int& h) {
  SDL_Surface* read = IMG_Load_RW(SDL_RWFromConstMem(png.data(), static_cast<int>(png.size())), 1);
  if (!read) return {};
  SDL_Surface* rgba = SDL_ConvertSurfaceFormat(read, SDL_PIXELFORMAT_RGBA32, 0);
  SDL_FreeSurface(read);
  if (!rgba) return {};
  w = rgba->w;
  h = rgba->h;
  std::vector<uint8_t> out(static_cast<size_t>(w) * h * 4);
  for (int y = 0; y < h; ++y)
    std::memcpy(&out[static_cast<size_t>(y) * w * 4], static_cast<uint8_t*>(rgba->pixels) + y * rgba->pitch,
                static_cast<size_t>(w) * 4);
  SDL_FreeSurface(rgba);
  return out;
}

TEST(AssetgenPng, ReadsBackAsDrawnInTheSmallestFittingForm) {
  struct Case {
    const char* name;
    Picture picture;
    PngColours colours;
    int colourType;   // 3 palette, 6 RGBA
    double meanError;  // per channel; 0 means every byte exact
    int worstError;
  } cases[] = {
      {"few colours, exact", fewColours(), PngColours::Exact, 3, 0, 0},
      {"few colours, quantised: its own palette", fewColours(), PngColours::Quantised, 3, 0, 0},
      {"many colours, exact", manyColours(), PngColours::Exact, 6, 0, 0},
      {"many colours, quantised", manyColours(), PngColours::Quantised, 3, 3.0, 24},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const std::vector<uint8_t> png = encodePng(c.picture.rgba, c.picture.w, c.picture.h, c.colours);
    ASSERT_GT(png.size(), 33u);
    EXPECT_EQ(png[25], c.colourType);
    EXPECT_EQ(encodePng(c.picture.rgba, c.picture.w, c.picture.h, c.colours), png) << "not the same bytes twice";
    int w = 0, h = 0;
    const std::vector<uint8_t> back = decode(png, w, h);
    ASSERT_FALSE(back.empty()) << IMG_GetError();
    ASSERT_EQ(w, c.picture.w);
    ASSERT_EQ(h, c.picture.h);
    double sum = 0;
    int worst = 0;
    for (size_t i = 0; i < back.size(); ++i) {
      // Colours weighed by their alpha, as they show over the scene: a nearly
      // transparent pixel's colour hardly matters.
      const size_t a = i - i % 4 + 3;
      const int d = i == a ? std::abs(back[i] - c.picture.rgba[i])
                           : std::abs(back[i] * back[a] - c.picture.rgba[i] * c.picture.rgba[a]) / 255;
      sum += d;
      worst = std::max(worst, d);
      // Nothing transparent turns visible, nothing opaque turns see-through.
      if (i % 4 == 3 && (c.picture.rgba[i] == 0 || c.picture.rgba[i] == 255))
        ASSERT_EQ(back[i], c.picture.rgba[i]) << "alpha of pixel " << i / 4;
    }
    EXPECT_LE(sum / back.size(), c.meanError);
    EXPECT_LE(worst, c.worstError);
  }
}

TEST(AssetgenPng, RefusesPixelsThatDoNotFitTheSize) {
  const Picture p = fewColours();
  for (auto [w, h] : {std::pair{0, 30}, {40, -1}, {41, 30}, {40, 29}})
    EXPECT_THROW(encodePng(p.rgba, w, h), std::runtime_error) << w << "x" << h;
}

}  // namespace
