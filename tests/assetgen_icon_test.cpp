// The desktop's icons: PNG pictures of the same emblem as the window icon at
// the hicolor theme's sizes, and the emblem as an SVG drawing.
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>

#include "assetgen_support.h"

using namespace assetgen_test;

namespace {

std::filesystem::path iconFile(const std::string& name) { return genDir() / "icons" / name; }

// The pixels of the ICO entry that is `size` pixels wide, as RGBA rows from the top.
std::vector<uint8_t> icoEntryPixels(const std::vector<uint8_t>& ico, int size) {
  auto u32 = [&](size_t o) {
    return ico[o] | ico[o + 1] << 8 | ico[o + 2] << 16 | static_cast<uint32_t>(ico[o + 3]) << 24;
  };
  int count = ico[4] | ico[5] << 8;
  for (int i = 0; i < count; ++i) {
    const uint8_t* e = &ico[6 + 16 * i];
    if (e[0] != size) continue;
    size_t bits = u32(6 + 16 * i + 12) + 40;  // past the BMP header
    if (bits + static_cast<size_t>(size) * size * 4 > ico.size()) return {};
    std::vector<uint8_t> rgba(static_cast<size_t>(size) * size * 4);
    for (int y = 0; y < size; ++y)
      for (int x = 0; x < size; ++x) {
        const uint8_t* p = &ico[bits + (static_cast<size_t>(size - 1 - y) * size + x) * 4];  // bottom-up BGRA
        uint8_t* q = &rgba[(static_cast<size_t>(y) * size + x) * 4];
        q[0] = p[2];
        q[1] = p[1];
        q[2] = p[0];
        q[3] = p[3];
      }
    return rgba;
  }
  return {};
}

TEST(AssetgenDesktopIcons, ArePicturesOfTheWindowIconsEmblemAtEachThemeSize) {
  ASSETGEN_REQUIRE_OUTPUT();
  for (int size : {16, 32, 48, 64, 128, 256}) {
    SCOPED_TRACE(size);
    std::vector<uint8_t> bytes = readAll(iconFile("tervalen-" + std::to_string(size) + ".png"));
    ASSERT_GT(bytes.size(), 24u);
    // A real PNG with alpha: RGBA (colour type 6), or a palette (3) where the
    // small sizes have few enough colours; the pixels below prove the alpha.
    EXPECT_EQ(std::string(bytes.begin() + 1, bytes.begin() + 4), "PNG");
    EXPECT_TRUE(bytes[25] == 6 || bytes[25] == 3) << int(bytes[25]);
    Surface icon = loadRgba(iconFile("tervalen-" + std::to_string(size) + ".png"));
    ASSERT_TRUE(icon) << IMG_GetError();
    ASSERT_EQ(icon->w, size);
    ASSERT_EQ(icon->h, size);
    // A round medallion: clear corners, an opaque middle.
    EXPECT_EQ(pixel(icon.get(), 0, 0).a, 0);
    EXPECT_EQ(pixel(icon.get(), size - 1, size - 1).a, 0);
    EXPECT_EQ(pixel(icon.get(), size / 2, size / 2).a, 255);
    EXPECT_EQ(pixel(icon.get(), size / 2, size * 7 / 8).a, 255);
  }
  // The sizes the window icon also has are the very same pixels.
  std::vector<uint8_t> ico = readAll(genDir() / "icon.ico");
  ASSERT_GE(ico.size(), 6u);
  for (int size : {16, 32, 48, 64}) {
    SCOPED_TRACE(size);
    std::vector<uint8_t> fromIco = icoEntryPixels(ico, size);
    ASSERT_FALSE(fromIco.empty()) << "no " << size << " px entry in icon.ico";
    Surface png = loadRgba(iconFile("tervalen-" + std::to_string(size) + ".png"));
    ASSERT_TRUE(png);
    std::vector<uint8_t> fromPng;
    for (int y = 0; y < size; ++y) {
      const uint8_t* row = static_cast<const uint8_t*>(png->pixels) + y * png->pitch;
      fromPng.insert(fromPng.end(), row, row + size * 4);
    }
    EXPECT_TRUE(fromPng == fromIco);
  }
}

TEST(AssetgenDesktopIcons, TheScalableIconDrawsTheSameEmblem) {
  ASSETGEN_REQUIRE_OUTPUT();
  std::string svg;
  {
    std::vector<uint8_t> b = readAll(iconFile("tervalen.svg"));
    svg.assign(b.begin(), b.end());
  }
  ASSERT_NE(svg.find("<svg xmlns=\"http://www.w3.org/2000/svg\""), std::string::npos) << svg;
  EXPECT_NE(svg.find("viewBox=\"0 0 64 64\""), std::string::npos) << svg;
  if (std::system("command -v rsvg-convert >/dev/null 2>&1") != 0)
    GTEST_SKIP() << "rsvg-convert (Debian package librsvg2-bin) is not installed: the drawing is not compared";
  std::filesystem::path drawn =
      std::filesystem::temp_directory_path() / ("tervalen-svg-" + std::to_string(getpid()) + ".png");
  std::string cmd = "rsvg-convert -w 256 -h 256 -o '" + drawn.string() + "' '" + iconFile("tervalen.svg").string() + "'";
  ASSERT_EQ(std::system(cmd.c_str()), 0) << cmd;
  Surface vector = loadRgba(drawn);
  std::filesystem::remove(drawn);
  Surface raster = loadRgba(iconFile("tervalen-256.png"));
  ASSERT_TRUE(vector && raster) << IMG_GetError();
  ASSERT_EQ(vector->w, 256);
  // Two anti-aliasing rasterisers differ along edges only: compare premultiplied colour.
  long total = 0;
  int far = 0;
  for (int y = 0; y < 256; ++y)
    for (int x = 0; x < 256; ++x) {
      Rgba a = pixel(vector.get(), x, y), b = pixel(raster.get(), x, y);
      int worst = std::abs(a.a - b.a);
      for (auto [ca, cb] : {std::pair{a.r, b.r}, std::pair{a.g, b.g}, std::pair{a.b, b.b}})
        worst = std::max(worst, std::abs(ca * a.a - cb * b.a) / 255);
      total += worst;
      if (worst > 48) ++far;
    }
  EXPECT_LT(total / (256.0 * 256.0), 2.0) << "mean difference per pixel";
  EXPECT_LT(far, 256 * 256 / 200) << "pixels far apart";
}

}  // namespace
