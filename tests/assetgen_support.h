// Where the asset generator's output of this build lives, and small helpers
// for reading it in the assetgen tests.
#pragma once

#include <SDL.h>
#include <SDL_image.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

namespace assetgen_test {

inline std::filesystem::path genDir() { return std::filesystem::path(TERVALEN_BINARY_DIR) / "gen"; }
inline std::filesystem::path generator() { return std::filesystem::path(TERVALEN_BINARY_DIR) / "tervalen-assetgen"; }
inline std::filesystem::path packDir() { return genDir() / "pack" / "pak"; }

// Skips the test when this build does not lay out the game folder.
#define ASSETGEN_REQUIRE_OUTPUT()                                                              \
  do {                                                                                         \
    if (!std::filesystem::exists(assetgen_test::genDir() / "stamp"))                           \
      GTEST_SKIP() << "no generated assets in " << assetgen_test::genDir()                     \
                   << " (configure with TERVALEN_GAME_FOLDER=ON and build)";                   \
  } while (0)

inline std::vector<uint8_t> readAll(const std::filesystem::path& p) {
  std::ifstream f(p, std::ios::binary);
  return std::vector<uint8_t>(std::istreambuf_iterator<char>(f), std::istreambuf_iterator<char>());
}

struct SurfaceDeleter {
  void operator()(SDL_Surface* s) const { SDL_FreeSurface(s); }
};
using Surface = std::unique_ptr<SDL_Surface, SurfaceDeleter>;

// The picture as 32-bit RGBA, or null with the reason in SDL's error.
inline Surface loadRgba(const std::filesystem::path& p) {
  Surface raw(IMG_Load(p.string().c_str()));
  if (!raw) return nullptr;
  return Surface(SDL_ConvertSurfaceFormat(raw.get(), SDL_PIXELFORMAT_RGBA32, 0));
}

struct Rgba {
  uint8_t r, g, b, a;
};
inline Rgba pixel(const SDL_Surface* s, int x, int y) {
  const uint8_t* p = static_cast<const uint8_t*>(s->pixels) + y * s->pitch + x * 4;
  return {p[0], p[1], p[2], p[3]};
}

}  // namespace assetgen_test
